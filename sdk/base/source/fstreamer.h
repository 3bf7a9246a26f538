// Typed reading and writing of integers, floating-point values and strings
// over a byte stream, in a chosen byte order.
#pragma once

#include "pluginterfaces/base/ftypes.h"
#include "pluginterfaces/base/ibstream.h"

namespace Steinberg {

enum FSeekMode
{
	kSeekSet = 0,
	kSeekCurrent = 1,
	kSeekEnd = 2
};

//------------------------------------------------------------------------
// FStreamer: the typed layer. Every read succeeds only when all bytes of the
// value arrived; on failure the value is set to zero and false is returned.
// Values of more than one byte are swapped when the requested byte order
// differs from the machine's.
//------------------------------------------------------------------------
class FStreamer
{
public:
	explicit FStreamer (int16 byteOrder = BYTEORDER);
	virtual ~FStreamer () = default;

	// Raw access; each returns the number of bytes actually moved.
	virtual TSize readRaw (void* buffer, TSize size) = 0;
	virtual TSize writeRaw (const void* buffer, TSize size) = 0;
	virtual int64 seek (int64 pos, FSeekMode mode) = 0;
	virtual int64 tell () = 0;

	void setByteOrder (int32 e) { byteOrder = static_cast<int16> (e); }
	int16 getByteOrder () const { return byteOrder; }

	bool writeChar8 (char8 c);
	bool readChar8 (char8& c);
	bool writeUChar8 (unsigned char c);
	bool readUChar8 (unsigned char& c);
	bool writeChar16 (char16 c);
	bool readChar16 (char16& c);

	bool writeInt8 (int8 c);
	bool readInt8 (int8& c);
	bool writeInt8u (uint8 c);
	bool readInt8u (uint8& c);

	bool writeInt16 (int16 i);
	bool readInt16 (int16& i);
	bool writeInt16u (uint16 i);
	bool readInt16u (uint16& i);

	bool writeInt32 (int32 i);
	bool readInt32 (int32& i);
	bool writeInt32u (uint32 i);
	bool readInt32u (uint32& i);

	bool writeInt64 (int64 i);
	bool readInt64 (int64& i);
	bool writeInt64u (uint64 i);
	bool readInt64u (uint64& i);

	bool writeFloat (float f);
	bool readFloat (float& f);
	bool writeDouble (double d);
	bool readDouble (double& d);

	// A bool travels as a 16-bit integer; any non-zero value reads as true.
	bool writeBool (bool b);
	bool readBool (bool& b);

protected:
	template <typename T>
	bool writeValue (T value);
	template <typename T>
	bool readValue (T& value);

	int16 byteOrder;
};

//------------------------------------------------------------------------
// IBStreamer: an FStreamer over a host's IBStream. It neither owns nor
// reference-counts the stream. It trusts the count the stream reports only
// from 1 up to the bytes asked for; any other count (none, negative, more
// than asked) ends the transfer there, so the typed value fails.
//------------------------------------------------------------------------
class IBStreamer : public FStreamer
{
public:
	explicit IBStreamer (IBStream* stream, int16 byteOrder = BYTEORDER);

	IBStream* getStream () { return stream; }

	TSize readRaw (void* buffer, TSize size) override;
	TSize writeRaw (const void* buffer, TSize size) override;
	int64 seek (int64 pos, FSeekMode mode) override;
	int64 tell () override;

protected:
	IBStream* stream;
};

} // namespace Steinberg
