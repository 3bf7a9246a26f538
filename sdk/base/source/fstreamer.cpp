#include "base/source/fstreamer.h"

#include <cstring>
#include <new>
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
	T tmp;
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

template <typename T>
bool FStreamer::writeArray (const T* array, int32 count)
{
	if (count < 0 || (count > 0 && !array))
		return false;
	for (int32 i = 0; i < count; ++i)
		if (!writeValue (array[i]))
			return false;
	return true;
}

template <typename T>
bool FStreamer::readArray (T* array, int32 count)
{
	if (count < 0 || (count > 0 && !array))
		return false;
	for (int32 i = 0; i < count; ++i)
		if (!readValue (array[i]))
			return false;
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

bool FStreamer::writeInt16Array (const int16* a, int32 n) { return writeArray (a, n); }
bool FStreamer::readInt16Array (int16* a, int32 n) { return readArray (a, n); }
bool FStreamer::writeInt32Array (const int32* a, int32 n) { return writeArray (a, n); }
bool FStreamer::readInt32Array (int32* a, int32 n) { return readArray (a, n); }
bool FStreamer::writeInt64Array (const int64* a, int32 n) { return writeArray (a, n); }
bool FStreamer::readInt64Array (int64* a, int32 n) { return readArray (a, n); }
bool FStreamer::writeFloatArray (const float* a, int32 n) { return writeArray (a, n); }
bool FStreamer::readFloatArray (float* a, int32 n) { return readArray (a, n); }
bool FStreamer::writeDoubleArray (const double* a, int32 n) { return writeArray (a, n); }
bool FStreamer::readDoubleArray (double* a, int32 n) { return readArray (a, n); }

TSize FStreamer::writeString8 (const char8* ptr, bool terminate)
{
	if (!ptr)
		return 0;
	TSize len = static_cast<TSize> (std::strlen (ptr));
	if (terminate)
		++len;
	return writeRaw (ptr, len);
}

TSize FStreamer::readString8 (char8* ptr, TSize size)
{
	if (!ptr || size <= 0)
		return 0;
	TSize i = 0;
	char8 c = 0;
	while (i < size - 1)
	{
		if (readRaw (&c, 1) != 1)
			break;
		if (c == '\0')
			break;
		if (c == '\n' || c == '\r')
		{
			// A "\r\n" pair ends the line as one.
			if (c == '\r')
			{
				char8 next = 0;
				if (readRaw (&next, 1) == 1 && next != '\n')
					seek (-1, kSeekCurrent);
			}
			break;
		}
		ptr[i++] = c;
	}
	ptr[i] = 0;
	return i;
}

bool FStreamer::writeStr8 (const char8* ptr)
{
	int32 len = ptr ? static_cast<int32> (std::strlen (ptr)) : 0;
	if (!writeInt32 (len))
		return false;
	if (len > 0 && writeRaw (ptr, len) != len)
		return false;
	return writeInt8 (0);
}

char8* FStreamer::readStr8 ()
{
	int32 len = 0;
	if (!readInt32 (len) || len < 0)
		return nullptr;
	auto* result = new (std::nothrow) char8[static_cast<size_t> (len) + 1];
	if (!result)
		return nullptr;
	if (len > 0 && readRaw (result, len) != len)
	{
		delete[] result;
		return nullptr;
	}
	result[len] = 0;
	int8 terminator = 0;
	readInt8 (terminator);
	return result;
}

bool FStreamer::skip (uint32 bytes)
{
	char8 c;
	for (uint32 i = 0; i < bytes; ++i)
		if (readRaw (&c, 1) != 1)
			return false;
	return true;
}

bool FStreamer::pad (uint32 bytes)
{
	const char8 zero = 0;
	for (uint32 i = 0; i < bytes; ++i)
		if (writeRaw (&zero, 1) != 1)
			return false;
	return true;
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
		// A stream that claims more than was asked is not trusted beyond the request.
		if (numRead <= 0)
			break;
		if (numRead > chunk)
			numRead = static_cast<int32> (chunk);
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
		if (numWritten <= 0)
			break;
		if (numWritten > chunk)
			numWritten = static_cast<int32> (chunk);
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
