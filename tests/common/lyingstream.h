// An in-memory IBStream that can misreport, call by call, how many bytes it
// moved: more than asked, fewer than it moved, a negative count, or a full
// count for bytes it never wrote into the reader's buffer.
#pragma once

#include "memorystream.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace PalvisTest {

class LyingStream : public MemoryStream
{
public:
	// What one call does: it copies `copies` bytes (cut to what was asked and
	// what is there), reports `reports`, and moves its position past what it
	// copied or, when it reports more, past what it reports (cut to the data).
	struct Call
	{
		int32 copies;
		int32 reports;
	};
	// Decides each call from its number (reads and writes counted apart, from
	// 0), the bytes asked for and the bytes the stream could really move.
	using Rule = std::function<Call (int32 call, int32 asked, int32 available)>;

	static Call honest (int32 /*call*/, int32 asked, int32 available)
	{
		int32 n = std::min (asked, available);
		return {n, n};
	}

	// Call `call` (of the reads, and of the writes) does `lie`; every other call is honest.
	static Rule lieAt (int32 call, Call lie)
	{
		return [call, lie] (int32 n, int32 asked, int32 available) {
			return n == call ? lie : honest (n, asked, available);
		};
	}

	explicit LyingStream (std::vector<uint8_t> bytes = {}, Rule rule = honest)
	: MemoryStream (std::move (bytes)), rule (std::move (rule))
	{
	}

	tresult PLUGIN_API read (void* buffer, int32 numBytes, int32* numBytesRead) override
	{
		const int32 available = static_cast<int32> (static_cast<int64> (data.size ()) - pos);
		const Call c = rule (lieReads++, numBytes, available);
		const int32 copies = std::max (0, std::min ({c.copies, numBytes, available}));
		if (copies > 0)
			std::memcpy (buffer, data.data () + pos, static_cast<size_t> (copies));
		pos += std::max (copies, std::min (c.reports, available));
		if (numBytesRead)
			*numBytesRead = c.reports;
		return kResultOk;
	}

	// Appends what it copies.
	tresult PLUGIN_API write (void* buffer, int32 numBytes, int32* numBytesWritten) override
	{
		const Call c = rule (lieWrites++, numBytes, numBytes);
		const int32 copies = std::max (0, std::min (c.copies, numBytes));
		auto* b = static_cast<const uint8_t*> (buffer);
		data.insert (data.end (), b, b + copies);
		pos = static_cast<int64> (data.size ());
		if (numBytesWritten)
			*numBytesWritten = c.reports;
		return kResultOk;
	}

private:
	Rule rule;
	int32 lieReads {0};
	int32 lieWrites {0};
};

// Fills a stretch of the stack below the caller with a pattern and returns, so
// that a variable the next call leaves unset would show the pattern instead of
// happening to be zero.
[[gnu::noinline]] inline void paintStack (uint8_t pattern = 0x5A)
{
	volatile uint8_t area[16384];
	for (auto& b : area)
		b = pattern;
}

} // namespace PalvisTest
