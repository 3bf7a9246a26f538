// An in-memory IBStream for feeding state to the controller.
#pragma once

#include "pluginterfaces/base/ibstream.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace ControllerTest {

using namespace Steinberg;

class MemoryStream : public IBStream
{
public:
	explicit MemoryStream (std::vector<uint8> bytes = {}) : data (std::move (bytes)) {}

	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override
	{
		if (FUnknownPrivate::iidEqual (iid, FUnknown::iid) || FUnknownPrivate::iidEqual (iid, IBStream::iid))
		{
			addRef ();
			*obj = this;
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
		int32 n = std::max (0, std::min<int32> (numBytes, static_cast<int32> (data.size () - pos)));
		if (n > 0)
			std::memcpy (buffer, data.data () + pos, static_cast<size_t> (n));
		pos += static_cast<size_t> (n);
		if (numBytesRead)
			*numBytesRead = n;
		return kResultOk;
	}
	tresult PLUGIN_API write (void* buffer, int32 numBytes, int32* numBytesWritten) override
	{
		if (numBytes < 0)
			return kInvalidArgument;
		if (pos + static_cast<size_t> (numBytes) > data.size ())
			data.resize (pos + static_cast<size_t> (numBytes));
		std::memcpy (data.data () + pos, buffer, static_cast<size_t> (numBytes));
		pos += static_cast<size_t> (numBytes);
		if (numBytesWritten)
			*numBytesWritten = numBytes;
		return kResultOk;
	}
	tresult PLUGIN_API seek (int64 to, int32 mode, int64* result) override
	{
		int64 base = mode == kIBSeekSet ? 0 : mode == kIBSeekCur ? static_cast<int64> (pos) : static_cast<int64> (data.size ());
		int64 target = base + to;
		if (target < 0)
			return kInvalidArgument;
		pos = static_cast<size_t> (target);
		if (result)
			*result = target;
		return kResultOk;
	}
	tresult PLUGIN_API tell (int64* result) override
	{
		if (!result)
			return kInvalidArgument;
		*result = static_cast<int64> (pos);
		return kResultOk;
	}

	std::vector<uint8> data;
	size_t pos {0};
};

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
