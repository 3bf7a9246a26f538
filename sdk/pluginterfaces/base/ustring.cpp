#include "pluginterfaces/base/ustring.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace Steinberg {

namespace {

// Switches the calling thread to the C locale for the lifetime of the object, so
// that a host's setlocale (for instance a German one with ',' as the decimal
// point) cannot change how parameter values are printed or read. Thread-local:
// other threads and the process locale are not touched.
class CLocaleScope
{
public:
	CLocaleScope ()
	{
		if (locale_t c = cLocale ())
			previous = uselocale (c);
	}
	~CLocaleScope ()
	{
		if (previous)
			uselocale (previous);
	}
	CLocaleScope (const CLocaleScope&) = delete;
	CLocaleScope& operator= (const CLocaleScope&) = delete;

private:
	static locale_t cLocale ()
	{
		// Created once; lives until the process ends.
		static locale_t c = newlocale (LC_ALL_MASK, "C", static_cast<locale_t> (nullptr));
		return c;
	}
	locale_t previous {nullptr};
};

int32 length16 (const char16* s, int32 limit)
{
	int32 n = 0;
	if (!s)
		return 0;
	while ((limit < 0 || n < limit) && s[n])
		++n;
	return n;
}

// Large enough for any "%lld" and for "%.*lf" of every double with up to
// the precision a 256-unit buffer can show.
constexpr int kPrintBufferSize = 512;

} // namespace

int32 UString::getLength () const
{
	if (!thisBuffer || thisSize <= 0)
		return 0;
	return length16 (thisBuffer, thisSize);
}

UString& UString::assign (const char16* src, int32 srcSize)
{
	if (!thisBuffer || thisSize <= 0)
		return *this;
	int32 n = length16 (src, srcSize);
	if (n > thisSize - 1)
		n = thisSize - 1;
	// Overlapping source (e.g. assigning a part of itself) is allowed.
	if (n > 0)
		std::memmove (thisBuffer, src, static_cast<size_t> (n) * sizeof (char16));
	thisBuffer[n] = 0;
	return *this;
}

UString& UString::append (const char16* src, int32 srcSize)
{
	if (!thisBuffer || thisSize <= 0)
		return *this;
	int32 length = getLength ();
	int32 n = length16 (src, srcSize);
	if (n > thisSize - 1 - length)
		n = thisSize - 1 - length;
	if (n > 0)
		std::memmove (thisBuffer + length, src, static_cast<size_t> (n) * sizeof (char16));
	thisBuffer[length + (n > 0 ? n : 0)] = 0;
	return *this;
}

const UString& UString::copyTo (char16* dst, int32 dstSize) const
{
	if (!dst || dstSize <= 0)
		return *this;
	int32 n = getLength ();
	if (n > dstSize - 1)
		n = dstSize - 1;
	if (n > 0)
		std::memmove (dst, thisBuffer, static_cast<size_t> (n) * sizeof (char16));
	dst[n] = 0;
	return *this;
}

UString& UString::fromAscii (const char* src, int32 srcSize)
{
	if (!thisBuffer || thisSize <= 0)
		return *this;
	int32 i = 0;
	if (src)
	{
		for (; i < thisSize - 1 && (srcSize < 0 || i < srcSize) && src[i]; ++i)
			thisBuffer[i] = static_cast<char16> (static_cast<uint8> (src[i]));
	}
	thisBuffer[i] = 0;
	return *this;
}

const UString& UString::toAscii (char* dst, int32 dstSize) const
{
	if (!dst || dstSize <= 0)
		return *this;
	int32 n = getLength ();
	if (n > dstSize - 1)
		n = dstSize - 1;
	for (int32 i = 0; i < n; ++i)
	{
		char16 c = thisBuffer[i];
		dst[i] = c > 0x7F ? '_' : static_cast<char> (c);
	}
	dst[n] = 0;
	return *this;
}

bool UString::printAscii (const char* text, int32 length)
{
	if (!thisBuffer || thisSize <= 0)
		return false;
	if (length < 0 || length > thisSize - 1)
	{
		// A cut number would be a wrong number: leave the text empty instead.
		thisBuffer[0] = 0;
		return false;
	}
	fromAscii (text, length);
	return true;
}

bool UString::printFloat (double value, int32 precision)
{
	// A finite value prints at least one digit, the point and `precision`
	// digits (infinities and NaN ignore the precision; a negative one means 6).
	// The formatter's work grows with the precision, whether or not the text
	// fits, so a precision that cannot fit gives up before formatting.
	const int32 room = std::min<int32> (thisSize, kPrintBufferSize) - 1;
	if (std::isfinite (value) && precision > 0 && precision > room - 2)
	{
		if (thisBuffer && thisSize > 0)
			thisBuffer[0] = 0;
		return false;
	}
	char text[kPrintBufferSize];
	int written;
	{
		CLocaleScope cLocale;
		written = std::snprintf (text, sizeof (text), "%.*lf", precision, value);
	}
	if (written < 0 || written >= kPrintBufferSize)
	{
		if (thisBuffer && thisSize > 0)
			thisBuffer[0] = 0;
		return false;
	}
	return printAscii (text, written);
}

bool UString::printInt (int64 value)
{
	char text[32];
	int written = std::snprintf (text, sizeof (text), "%" PRId64, value);
	if (written < 0 || written >= static_cast<int> (sizeof (text)))
	{
		if (thisBuffer && thisSize > 0)
			thisBuffer[0] = 0;
		return false;
	}
	return printAscii (text, written);
}

bool UString::toScanBuffer (char* dst, int32 dstSize) const
{
	if (!thisBuffer || thisSize <= 0 || dstSize <= 0)
		return false;
	// A code unit outside ASCII ends the text for scanning: no number contains one.
	int32 n = 0;
	for (; n < dstSize - 1 && n < thisSize && thisBuffer[n]; ++n)
	{
		char16 c = thisBuffer[n];
		if (c > 0x7F)
			break;
		dst[n] = static_cast<char> (c);
	}
	dst[n] = 0;
	return true;
}

bool UString::scanFloat (double& value) const
{
	char text[kPrintBufferSize];
	if (!toScanBuffer (text, kPrintBufferSize))
		return false;
	char* end = nullptr;
	double result;
	{
		CLocaleScope cLocale;
		result = std::strtod (text, &end);
	}
	if (end == text)
		return false;
	value = result;
	return true;
}

bool UString::scanInt (int64& value) const
{
	char text[kPrintBufferSize];
	if (!toScanBuffer (text, kPrintBufferSize))
		return false;
	// strtoll saturates instead of overflowing.
	char* end = nullptr;
	long long result = std::strtoll (text, &end, 10);
	if (end == text)
		return false;
	value = static_cast<int64> (result);
	return true;
}

} // namespace Steinberg
