// The processor's state, built byte by byte, for feeding to the controller.
#pragma once

#include "memorystream.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace ControllerTest {

using namespace Steinberg;

using PalvisTest::MemoryStream;

// Builds the processor's 204-byte state by hand, little-endian.
class StateBuilder
{
public:
	StateBuilder ()
	{
		put64 (0);
		put32 (0);
		putDouble (0.75);
		for (int i = 0; i < 15; ++i)
			putDouble (0.5);
		for (int i = 0; i < 6; ++i)
			putDouble (0.);
		for (int i = 0; i < 4; ++i)
			put32 (0);
	}
	StateBuilder& bypassWord (int32 v) { return patch32 (8, v); }
	StateBuilder& level (double v) { return patchDouble (12, v); }
	StateBuilder& band (int index, double v) { return patchDouble (20 + 8 * static_cast<size_t> (index), v); }
	StateBuilder& reserved (int index, double v) { return patchDouble (140 + 8 * static_cast<size_t> (index), v); }
	StateBuilder& reservedFlag (int index, int32 v) { return patch32 (188 + 4 * static_cast<size_t> (index), v); }
	StateBuilder& truncate (size_t size)
	{
		bytes.resize (size);
		return *this;
	}
	MemoryStream stream () const { return MemoryStream (bytes); }

	std::vector<uint8> bytes;

private:
	void put64 (int64 v) { append (&v, 8); }
	void put32 (int32 v) { append (&v, 4); }
	void putDouble (double v) { append (&v, 8); }
	void append (const void* p, size_t n)
	{
		auto* b = static_cast<const uint8*> (p);
		bytes.insert (bytes.end (), b, b + n);
	}
	StateBuilder& patch32 (size_t at, int32 v)
	{
		std::memcpy (bytes.data () + at, &v, 4);
		return *this;
	}
	StateBuilder& patchDouble (size_t at, double v)
	{
		std::memcpy (bytes.data () + at, &v, 8);
		return *this;
	}
};

} // namespace ControllerTest
