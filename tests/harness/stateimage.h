// The processor's 204-byte state stream built and taken apart byte by byte,
// independent of the plug-in's own reader and writer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace stress {

constexpr size_t kStateBytes = 204;
constexpr int kBands = 15;

struct StateImage
{
	std::int64_t leadingWord {0};
	std::int32_t bypass {0};
	double level {0.75};
	std::array<double, kBands> bands {0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5};
	std::array<double, 6> reserved {};
	std::array<std::int32_t, 4> flags {};

	std::vector<std::uint8_t> encode () const;
	// False when fewer than 204 bytes are given; extra bytes are ignored.
	static bool decode (const std::uint8_t* bytes, size_t size, StateImage& image);

	// What a reader keeps of this image, written back: leading word 0, bypass
	// and flags as 0/1 from "greater than 0", doubles bit for bit.
	std::vector<std::uint8_t> canonical () const;
};

// Same bits (NaN payloads included).
bool sameBits (double a, double b);

} // namespace stress
