#include "base/source/fstreamer.h"

#include <cstring>
#include <limits>

namespace Steinberg {

namespace {

template <typename T>
void swapBytes (T& value)
{
	unsigned char bytes[sizeof (T)];
	std::memcpy (bytes, &value, sizeof (T));
	for (size_t i = 0; i < sizeof (T) / 2; ++i)
	{
		unsigned char tmp = bytes[i];
		bytes[i] = bytes[sizeof (T) - 1 - i];
		bytes[sizeof (T) - 1 - i] = tmp;
	}
	std::memcpy (&value, bytes, sizeof (T));
}

} // namespace

//------------------------------------------------------------------------
FStreamer::FStreamer (int16 _byteOrder) : byteOrder (_byteOrder) {}

template <typename T>
bool FStreamer::writeValue (T value)
{
	if (sizeof (T) > 1 && byteOrder != BYTEORDER)
		swapBytes (value);
	return writeRaw (&value, sizeof (T)) == static_cast<TSize> (sizeof (T));
}

template <typename T>
bool FStreamer::readValue (T& value)
{
	// Zeroed first: a stream that reports bytes it never wrote must not hand
	// out whatever the stack held.
	T tmp {};
	if (readRaw (&tmp, sizeof (T)) != static_cast<TSize> (sizeof (T)))
	{
		value = T (0);
		return false;
	}
	if (sizeof (T) > 1 && byteOrder != BYTEORDER)
		swapBytes (tmp);
	value = tmp;
	return true;
}

bool FStreamer::writeChar8 (char8 c) { return writeValue (c); }
bool FStreamer::readChar8 (char8& c) { return readValue (c); }
bool FStreamer::writeUChar8 (unsigned char c) { return writeValue (c); }
bool FStreamer::readUChar8 (unsigned char& c) { return readValue (c); }
bool FStreamer::writeChar16 (char16 c) { return writeValue (c); }
bool FStreamer::readChar16 (char16& c) { return readValue (c); }

bool FStreamer::writeInt8 (int8 c) { return writeValue (c); }
bool FStreamer::readInt8 (int8& c) { return readValue (c); }
bool FStreamer::writeInt8u (uint8 c) { return writeValue (c); }
bool FStreamer::readInt8u (uint8& c) { return readValue (c); }

bool FStreamer::writeInt16 (int16 i) { return writeValue (i); }
bool FStreamer::readInt16 (int16& i) { return readValue (i); }
bool FStreamer::writeInt16u (uint16 i) { return writeValue (i); }
bool FStreamer::readInt16u (uint16& i) { return readValue (i); }

bool FStreamer::writeInt32 (int32 i) { return writeValue (i); }
bool FStreamer::readInt32 (int32& i) { return readValue (i); }
bool FStreamer::writeInt32u (uint32 i) { return writeValue (i); }
bool FStreamer::readInt32u (uint32& i) { return readValue (i); }

bool FStreamer::writeInt64 (int64 i) { return writeValue (i); }
bool FStreamer::readInt64 (int64& i) { return readValue (i); }
bool FStreamer::writeInt64u (uint64 i) { return writeValue (i); }
bool FStreamer::readInt64u (uint64& i) { return readValue (i); }

bool FStreamer::writeFloat (float f) { return writeValue (f); }
bool FStreamer::readFloat (float& f) { return readValue (f); }
bool FStreamer::writeDouble (double d) { return writeValue (d); }
bool FStreamer::readDouble (double& d) { return readValue (d); }

bool FStreamer::writeBool (bool b) { return writeValue (static_cast<int16> (b ? 1 : 0)); }
bool FStreamer::readBool (bool& b)
{
	int16 v = 0;
	bool ok = readValue (v);
	b = ok && v != 0;
	return ok;
}

//------------------------------------------------------------------------
IBStreamer::IBStreamer (IBStream* _stream, int16 _byteOrder) : FStreamer (_byteOrder), stream (_stream) {}

TSize IBStreamer::readRaw (void* buffer, TSize size)
{
	if (!stream || !buffer || size <= 0)
		return 0;
	TSize total = 0;
	auto* bytes = static_cast<char8*> (buffer);
	while (total < size)
	{
		TSize chunk = size - total;
		if (chunk > std::numeric_limits<int32>::max ())
			chunk = std::numeric_limits<int32>::max ();
		int32 numRead = 0;
		stream->read (bytes + total, static_cast<int32> (chunk), &numRead);
		// A count beyond the request is a lie, and nothing of such a call can
		// be trusted: it moved no bytes, and the read ends there.
		if (numRead <= 0 || numRead > chunk)
			break;
		total += numRead;
		if (numRead < chunk)
			break;
	}
	return total;
}

TSize IBStreamer::writeRaw (const void* buffer, TSize size)
{
	if (!stream || !buffer || size <= 0)
		return 0;
	TSize total = 0;
	auto* bytes = static_cast<const char8*> (buffer);
	while (total < size)
	{
		TSize chunk = size - total;
		if (chunk > std::numeric_limits<int32>::max ())
			chunk = std::numeric_limits<int32>::max ();
		int32 numWritten = 0;
		stream->write (const_cast<char8*> (bytes + total), static_cast<int32> (chunk), &numWritten);
		// As for reading: a count beyond the request says nothing about what
		// the stream kept, so the write fails.
		if (numWritten <= 0 || numWritten > chunk)
			break;
		total += numWritten;
		if (numWritten < chunk)
			break;
	}
	return total;
}

int64 IBStreamer::seek (int64 pos, FSeekMode mode)
{
	int64 result = -1;
	if (stream)
		stream->seek (pos, static_cast<int32> (mode), &result);
	return result;
}

int64 IBStreamer::tell ()
{
	int64 pos = 0;
	if (stream)
		stream->tell (&pos);
	return pos;
}

} // namespace Steinberg
