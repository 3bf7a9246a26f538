// An in-memory IBStream for tests, as a host would pass one to getState and
// setState. It can refuse writes, accept only a limited number of bytes, or
// report success for reads that end early.
#pragma once

#include "pluginterfaces/base/ibstream.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

namespace PalvisTest {

using namespace Steinberg;

class MemoryStream : public IBStream
{
public:
	enum class Mode
	{
		kReadWrite,
		kRefuseWrites // every write moves nothing and fails, like a read-only host stream
	};

	MemoryStream () = default;
	explicit MemoryStream (std::vector<uint8_t> bytes) : data (std::move (bytes)) {}
	MemoryStream (const void* bytes, size_t size)
	: data (static_cast<const uint8_t*> (bytes), static_cast<const uint8_t*> (bytes) + size)
	{
	}

	void setMode (Mode m) { mode = m; }
	// At most this many bytes in the stream; a write that crosses the limit
	// stores what fits, reports that count and fails. Negative: no limit.
	void setWriteLimit (int64 limit) { writeLimit = limit; }
	// A read that ends early still returns kResultOk, as some host streams do;
	// only the count it reports tells the reader that bytes are missing.
	void setShortReadsSucceed (bool state) { shortReadsSucceed = state; }

	const std::vector<uint8_t>& bytes () const { return data; }
	int64 position () const { return pos; }
	void rewind () { pos = 0; }
	int32 readCalls () const { return numReadCalls; }
	int32 writeCalls () const { return numWriteCalls; }

	// FUnknown: the stream lives on the test's stack; counting only.
	tresult PLUGIN_API queryInterface (const TUID _iid, void** obj) override
	{
		if (!obj)
			return kInvalidArgument;
		if (FUnknownPrivate::iidEqual (_iid, FUnknown::iid) || FUnknownPrivate::iidEqual (_iid, IBStream::iid))
		{
			addRef ();
			*obj = static_cast<IBStream*> (this);
			return kResultOk;
		}
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return static_cast<uint32> (++refs); }
	uint32 PLUGIN_API release () override { return static_cast<uint32> (--refs); }

	tresult PLUGIN_API read (void* buffer, int32 numBytes, int32* numBytesRead) override
	{
		++numReadCalls;
		if (numBytesRead)
			*numBytesRead = 0;
		if (!buffer || numBytes < 0)
			return kInvalidArgument;
		int64 available = static_cast<int64> (data.size ()) - pos;
		int32 n = static_cast<int32> (std::max<int64> (0, std::min<int64> (available, numBytes)));
		if (n > 0)
			std::memcpy (buffer, data.data () + pos, static_cast<size_t> (n));
		pos += n;
		if (numBytesRead)
			*numBytesRead = n;
		return n == numBytes || shortReadsSucceed ? kResultOk : kResultFalse;
	}

	tresult PLUGIN_API write (void* buffer, int32 numBytes, int32* numBytesWritten) override
	{
		++numWriteCalls;
		if (numBytesWritten)
			*numBytesWritten = 0;
		if (!buffer || numBytes < 0)
			return kInvalidArgument;
		if (mode == Mode::kRefuseWrites)
			return kResultFalse;
		int64 n = numBytes;
		if (writeLimit >= 0)
			n = std::max<int64> (0, std::min<int64> (n, writeLimit - pos));
		if (pos + n > static_cast<int64> (data.size ()))
			data.resize (static_cast<size_t> (pos + n));
		if (n > 0)
			std::memcpy (data.data () + pos, buffer, static_cast<size_t> (n));
		pos += n;
		if (numBytesWritten)
			*numBytesWritten = static_cast<int32> (n);
		return n == numBytes ? kResultOk : kResultFalse;
	}

	tresult PLUGIN_API seek (int64 offset, int32 seekMode, int64* result) override
	{
		int64 base = seekMode == kIBSeekSet ? 0 : seekMode == kIBSeekCur ? pos : static_cast<int64> (data.size ());
		if (seekMode < kIBSeekSet || seekMode > kIBSeekEnd || base + offset < 0)
			return kInvalidArgument;
		pos = base + offset;
		if (result)
			*result = pos;
		return kResultOk;
	}

	tresult PLUGIN_API tell (int64* result) override
	{
		if (!result)
			return kInvalidArgument;
		*result = pos;
		return kResultOk;
	}

protected:
	std::vector<uint8_t> data;
	int64 pos {0};

private:
	Mode mode {Mode::kReadWrite};
	int64 writeLimit {-1};
	bool shortReadsSucceed {false};
	int32 numReadCalls {0};
	int32 numWriteCalls {0};
	std::atomic<int32> refs {1};
};

} // namespace PalvisTest
