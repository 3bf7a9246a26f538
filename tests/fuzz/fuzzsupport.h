// What the fuzz targets share: the entry points (one per target, called by
// libFuzzer in the fuzz build and by the replay tests in every build), the
// check that reports a broken property, and a reader that turns the fuzz input
// into decisions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>

namespace fuzz {

// The entry points. Each returns 0 (the input is always accepted).
int stateTarget (const uint8_t* data, size_t size);
int processTarget (const uint8_t* data, size_t size);
int uidescTarget (const uint8_t* data, size_t size);
int inputTarget (const uint8_t* data, size_t size);
int eventsTarget (const uint8_t* data, size_t size);

// The kinds of control (class names) that the last uidescTarget call drew.
const std::set<std::string>& uidescDrawnKinds ();

// One-time set-up of a target, before its first input (resources, registrations).
void prepareTargets ();

// Called when a property does not hold: the fuzz build aborts (the input is
// kept as a crash), the replay tests record a test failure.
void reportBrokenProperty (const char* file, int line, const std::string& what);

#define FUZZ_CHECK(condition, what)                                        \
	do                                                                     \
	{                                                                      \
		if (!(condition))                                                  \
			::fuzz::reportBrokenProperty (__FILE__, __LINE__, (what));       \
	} while (false)

// Reads the fuzz input front to back; past its end every value is 0.
class Reader
{
public:
	Reader (const uint8_t* data, size_t size) : data (data), size (size) {}

	bool empty () const { return pos >= size; }
	size_t remaining () const { return pos < size ? size - pos : 0; }

	template <typename T>
	T take ()
	{
		T value {};
		uint8_t raw[sizeof (T)] = {};
		for (size_t i = 0; i < sizeof (T) && pos < size; ++i)
			raw[i] = data[pos++];
		std::memcpy (&value, raw, sizeof (T));
		return value;
	}
	uint8_t byte () { return take<uint8_t> (); }
	bool flag () { return (byte () & 1) != 0; }
	// A number in [0, n); n > 0.
	uint32_t below (uint32_t n) { return take<uint16_t> () % n; }
	// The next count bytes (fewer at the end of the input).
	const uint8_t* bytes (size_t count, size_t& got)
	{
		got = count < remaining () ? count : remaining ();
		const uint8_t* p = data + pos;
		pos += got;
		return p;
	}

private:
	const uint8_t* data;
	size_t size;
	size_t pos {0};
};

// Parameter values worth trying: ordinary, out of range, huge, tiny, infinite, NaN.
double interestingValue (Reader& r);

} // namespace fuzz
