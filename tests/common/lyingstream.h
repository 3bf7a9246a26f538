// An IBStream over a byte buffer that can misreport, call by call, how many
// bytes it moved: more than asked, fewer than it moved, a negative count, or a
// full count for bytes it never wrote into the reader's buffer.
#pragma once

#include "pluginterfaces/base/ibstream.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace PalvisTest {

using namespace Steinberg;

class LyingStream : public IBStream
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

	explicit LyingStream (std::vector<uint8_t> bytes = {}, Rule rule = honest) : data (std::move (bytes)), rule (rule) {}

	// Call `call` (reads and writes alike) does `lie`; every other call is honest.
	static Rule lieAt (int32 call, Call lie)
	{
		return [call, lie] (int32 n, int32 asked, int32 available) {
			return n == call ? lie : honest (n, asked, available);
		};
	}

	const std::vector<uint8_t>& bytes () const { return data; }
	int64 position () const { return pos; }

	tresult PLUGIN_API queryInterface (const TUID _iid, void** obj) override
	{
		if (!obj)
			return kInvalidArgument;
		if (FUnknownPrivate::iidEqual (_iid, FUnknown::iid) || FUnknownPrivate::iidEqual (_iid, IBStream::iid))
		{
			*obj = static_cast<IBStream*> (this);
			return kResultOk;
		}
		*obj = nullptr;
		return kNoInterface;
	}
	// Lives on the test's stack.
	uint32 PLUGIN_API addRef () override { return 1; }
	uint32 PLUGIN_API release () override { return 1; }

	tresult PLUGIN_API read (void* buffer, int32 numBytes, int32* numBytesRead) override
	{
		const int32 available = static_cast<int32> (static_cast<int64> (data.size ()) - pos);
		Call c = rule (readCalls++, numBytes, available);
		int32 copies = std::max (0, std::min ({c.copies, numBytes, available}));
		if (copies > 0)
			std::memcpy (buffer, data.data () + pos, static_cast<size_t> (copies));
		pos += std::max (copies, std::min (c.reports, available));
		if (numBytesRead)
			*numBytesRead = c.reports;
		return kResultOk;
	}

	tresult PLUGIN_API write (void* buffer, int32 numBytes, int32* numBytesWritten) override
	{
		Call c = rule (writeCalls++, numBytes, numBytes);
		int32 copies = std::max (0, std::min (c.copies, numBytes));
		auto* b = static_cast<const uint8_t*> (buffer);
		data.insert (data.end (), b, b + copies);
		pos = static_cast<int64> (data.size ());
		if (numBytesWritten)
			*numBytesWritten = c.reports;
		return kResultOk;
	}

	tresult PLUGIN_API seek (int64, int32, int64*) override { return kNotImplemented; }
	tresult PLUGIN_API tell (int64* result) override
	{
		if (!result)
			return kInvalidArgument;
		*result = pos;
		return kResultOk;
	}

private:
	std::vector<uint8_t> data;
	Rule rule;
	int64 pos {0};
	int32 readCalls {0};
	int32 writeCalls {0};
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
