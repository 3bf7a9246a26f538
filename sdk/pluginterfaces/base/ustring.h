// UString: a non-owning view over a fixed-size UTF-16 buffer (such as a String128)
// with copying, appending and number formatting. Every write keeps the buffer
// terminated inside its size. Numbers are always formatted and scanned with the
// C locale's decimal point, whatever locale the host process has set.
#pragma once

#include "pluginterfaces/base/ftypes.h"

namespace Steinberg {

class UString
{
public:
	// size: the buffer's capacity in char16 units, terminating zero included.
	UString (char16* buffer, int32 size) : thisBuffer (buffer), thisSize (size) {}

	int32 getSize () const { return thisSize; }
	operator const char16* () const { return thisBuffer; }

	// Number of code units before the terminating zero (at most size - 1).
	int32 getLength () const;
	bool isEmpty () const { return getLength () == 0; }

	// Copy srcSize code units of src (-1: up to its terminating zero), cut to size - 1.
	UString& assign (const char16* src, int32 srcSize = -1);
	// Byte-wise widening of an 8-bit string (ASCII / Latin-1), cut like assign.
	UString& assign (const char* src, int32 srcSize = -1) { return fromAscii (src, srcSize); }
	// Appends as much of src as fits.
	UString& append (const char16* src, int32 srcSize = -1);
	UString& append (const UString& src, int32 srcSize = -1) { return append (src.thisBuffer, srcSize); }

	// Copies this text into dst (dstSize code units), cut and terminated.
	const UString& copyTo (char16* dst, int32 dstSize) const;

	UString& fromAscii (const char* src, int32 srcSize = -1);
	// Narrows to 8 bits; code units above 0x7F become '_'.
	const UString& toAscii (char* dst, int32 dstSize) const;

	// "%.*lf": fixed point, precision digits after the point, C locale.
	// False (and the buffer empty) when the text does not fit.
	bool printFloat (double value, int32 precision = 4);
	// "%lld". False (and the buffer empty) when the text does not fit.
	bool printInt (int64 value);
	// "%lf" / "%lld" on the text (leading blanks skipped). False when no number was read.
	bool scanFloat (double& value) const;
	bool scanInt (int64& value) const;

protected:
	bool printAscii (const char* text, int32 length);
	// The text as 8 bits for scanning; false if it holds anything outside ASCII before a number could end.
	bool toScanBuffer (char* dst, int32 dstSize) const;

	char16* thisBuffer;
	int32 thisSize;
};

//------------------------------------------------------------------------
// A UString that owns its buffer of maxSize code units.
template <int32 maxSize>
class UStringBuffer : public UString
{
public:
	UStringBuffer () : UString (data, maxSize) { data[0] = 0; }
	UStringBuffer (const char16* src, int32 srcSize = -1) : UString (data, maxSize)
	{
		data[0] = 0;
		if (src)
			assign (src, srcSize);
	}
	UStringBuffer (const char* src, int32 srcSize = -1) : UString (data, maxSize)
	{
		data[0] = 0;
		if (src)
			fromAscii (src, srcSize);
	}
	UStringBuffer (const UStringBuffer& other) : UString (data, maxSize) { assign (other.data); }
	UStringBuffer& operator= (const UStringBuffer& other)
	{
		if (this != &other)
			assign (other.data);
		return *this;
	}

private:
	char16 data[maxSize];
};

using UString128 = UStringBuffer<128>;
using UString256 = UStringBuffer<256>;

} // namespace Steinberg

// A UTF-16 temporary from an ASCII literal.
#define USTRING(asciiString) Steinberg::UString256 (asciiString)
#define USTRINGSIZE(var) static_cast<Steinberg::int32> (sizeof (var) / sizeof (Steinberg::char16))
