#include "hostlib/memorystream.h"

#include <algorithm>
#include <cstring>

namespace vsthost {

using namespace Steinberg;

IPtr<MemoryStream> MemoryStream::create (Mode mode)
{
	return owned (new MemoryStream (mode));
}

IPtr<MemoryStream> MemoryStream::create (const std::vector<uint8>& bytes, Mode mode)
{
	auto stream = owned (new MemoryStream (mode));
	stream->data = bytes;
	return stream;
}

tresult PLUGIN_API MemoryStream::read (void* buffer, int32 numBytes, int32* numBytesRead)
{
	if (numBytesRead)
		*numBytesRead = 0;
	if (numBytes < 0 || (numBytes > 0 && !buffer))
		return kInvalidArgument;
	const int64 size = static_cast<int64> (data.size ());
	int64 available = position < size ? size - position : 0;
	auto count = static_cast<int32> (std::min<int64> (available, numBytes));
	if (count > 0)
	{
		std::memcpy (buffer, data.data () + position, static_cast<size_t> (count));
		position += count;
	}
	if (numBytesRead)
		*numBytesRead = count;
	return kResultOk;
}

tresult PLUGIN_API MemoryStream::write (void* buffer, int32 numBytes, int32* numBytesWritten)
{
	if (numBytesWritten)
		*numBytesWritten = 0;
	if (numBytes < 0 || (numBytes > 0 && !buffer))
		return kInvalidArgument;
	const int64 end = position + numBytes;
	if (mode == Mode::ReadOnly || (writeLimit >= 0 && end > writeLimit))
	{
		++refusedWrites;
		return kResultFalse;
	}
	if (end > static_cast<int64> (data.size ()))
		data.resize (static_cast<size_t> (end), 0);
	if (numBytes > 0)
		std::memcpy (data.data () + position, buffer, static_cast<size_t> (numBytes));
	position = end;
	if (numBytesWritten)
		*numBytesWritten = numBytes;
	return kResultOk;
}

tresult PLUGIN_API MemoryStream::seek (int64 pos, int32 seekMode, int64* result)
{
	int64 base = 0;
	switch (seekMode)
	{
		case IBStream::kIBSeekSet: base = 0; break;
		case IBStream::kIBSeekCur: base = position; break;
		case IBStream::kIBSeekEnd: base = static_cast<int64> (data.size ()); break;
		default: return kInvalidArgument;
	}
	const int64 target = base + pos;
	if (target < 0)
		return kInvalidArgument;
	position = target;
	if (result)
		*result = position;
	return kResultOk;
}

tresult PLUGIN_API MemoryStream::tell (int64* pos)
{
	if (!pos)
		return kInvalidArgument;
	*pos = position;
	return kResultOk;
}

tresult PLUGIN_API MemoryStream::getStreamSize (int64& size)
{
	size = static_cast<int64> (data.size ());
	return kResultOk;
}

tresult PLUGIN_API MemoryStream::setStreamSize (int64 size)
{
	if (size < 0)
		return kInvalidArgument;
	if (mode == Mode::ReadOnly || (writeLimit >= 0 && size > writeLimit))
		return kResultFalse;
	data.resize (static_cast<size_t> (size), 0);
	return kResultOk;
}

} // namespace vsthost
