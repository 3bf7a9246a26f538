#include "base/source/fstring.h"

#include <cstring>

namespace Steinberg {

namespace {

constexpr char16 kReplacement = 0xFFFD;

// Characters of str: n of them when it is not terminated, else up to the first
// zero but never more than n (n < 0: no limit).
template <typename Char>
size_t textLength (const Char* str, int32 n, bool isTerminated)
{
	if (!str)
		return 0;
	if (!isTerminated && n >= 0)
		return static_cast<size_t> (n);
	size_t len = 0;
	while ((n < 0 || len < static_cast<size_t> (n)) && str[len])
		++len;
	return len;
}

// The 8-bit code pages other than UTF-8: ASCII passes, everything else is '_'.
std::string utf16ToAscii (const std::u16string& text)
{
	std::string out;
	out.reserve (text.size ());
	for (size_t i = 0; i < text.size (); ++i)
	{
		char16 c = text[i];
		// A surrogate pair is one character: one '_'.
		if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size () && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
			++i;
		out.push_back (c > 0x7F ? '_' : static_cast<char8> (c));
	}
	return out;
}

std::u16string asciiToUtf16 (const std::string& text)
{
	std::u16string out;
	out.reserve (text.size ());
	for (char8 c : text)
	{
		auto b = static_cast<uint8> (c);
		out.push_back (b > 0x7F ? u'_' : static_cast<char16> (b));
	}
	return out;
}

} // namespace

//------------------------------------------------------------------------
bool ConstString::operator== (const ConstString& other) const
{
	if (isWide == other.isWide)
		return isWide ? buffer16 == other.buffer16 : buffer8 == other.buffer8;
	// Different widths: compare as UTF-16, reading 8-bit text as UTF-8.
	const std::u16string a = isWide ? buffer16 : String::utf8ToUtf16 (buffer8.data (), buffer8.size ());
	const std::u16string b =
	    other.isWide ? other.buffer16 : String::utf8ToUtf16 (other.buffer8.data (), other.buffer8.size ());
	return a == b;
}

//------------------------------------------------------------------------
String& String::assign (const char8* str, int32 n, bool isTerminated)
{
	std::string text;
	if (str)
		text.assign (str, textLength (str, n, isTerminated));
	buffer8.swap (text);
	buffer16.clear ();
	isWide = false;
	return *this;
}

String& String::assign (const char16* str, int32 n, bool isTerminated)
{
	std::u16string text;
	if (str)
		text.assign (str, textLength (str, n, isTerminated));
	buffer16.swap (text);
	buffer8.clear ();
	isWide = true;
	return *this;
}

String& String::assign (const ConstString& str, int32 n)
{
	if (&str == this && n < 0)
		return *this;
	if (str.isWideString ())
		return assign (str.text16 (), n < 0 ? str.length () : n, true);
	// Taken with its length so that embedded zeros survive a copy.
	int32 len = str.length ();
	return assign (str.text8 (), n < 0 || n > len ? len : n, false);
}

String& String::append (const char8* str, int32 n)
{
	if (!str)
		return *this;
	size_t len = textLength (str, n, true);
	if (isWide)
	{
		if (buffer16.empty ())
			return assign (str, static_cast<int32> (len), false);
		buffer16 += asciiToUtf16 (std::string (str, len));
	}
	else
		buffer8.append (str, len);
	return *this;
}

String& String::append (const char16* str, int32 n)
{
	if (!str)
		return *this;
	size_t len = textLength (str, n, true);
	if (!isWide)
	{
		if (buffer8.empty ())
			return assign (str, static_cast<int32> (len), false);
		toWideString (kCP_Default);
	}
	buffer16.append (str, len);
	return *this;
}

String& String::append (const ConstString& str, int32 n)
{
	if (str.isWideString ())
		return append (std::u16string (str.text16 (), static_cast<size_t> (str.length ())).c_str (), n);
	// A copy: str may be this very string.
	std::string text (str.text8 (), static_cast<size_t> (str.length ()));
	if (n >= 0 && static_cast<size_t> (n) < text.size ())
		text.resize (static_cast<size_t> (n));
	if (isWide)
		return append (text.c_str (), static_cast<int32> (text.size ()));
	buffer8 += text;
	return *this;
}

String& String::append (char8 c, int32 count)
{
	if (count <= 0)
		return *this;
	if (isWide)
		buffer16.append (static_cast<size_t> (count), asciiToUtf16 (std::string (1, c))[0]);
	else
		buffer8.append (static_cast<size_t> (count), c);
	return *this;
}

bool String::toMultiByte (uint32 destCodePage)
{
	if (!isWide)
		return true;
	buffer8 = destCodePage == kCP_Utf8 ? utf16ToUtf8 (buffer16.data (), buffer16.size ())
	                                   : utf16ToAscii (buffer16);
	buffer16.clear ();
	isWide = false;
	return true;
}

bool String::toWideString (uint32 sourceCodePage)
{
	if (isWide)
		return true;
	buffer16 = sourceCodePage == kCP_Utf8 ? utf8ToUtf16 (buffer8.data (), buffer8.size ())
	                                      : asciiToUtf16 (buffer8);
	buffer8.clear ();
	isWide = true;
	return true;
}

const char8* String::text8 ()
{
	toMultiByte (kCP_Default);
	return buffer8.c_str ();
}

const char16* String::text16 ()
{
	toWideString (kCP_Default);
	return buffer16.c_str ();
}

//------------------------------------------------------------------------
std::string String::utf16ToUtf8 (const char16* str, size_t n)
{
	std::string out;
	out.reserve (n);
	for (size_t i = 0; i < n; ++i)
	{
		uint32 cp = str[i];
		if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && str[i + 1] >= 0xDC00 && str[i + 1] <= 0xDFFF)
		{
			cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<uint32> (str[i + 1]) - 0xDC00);
			++i;
		}
		else if (cp >= 0xD800 && cp <= 0xDFFF)
			cp = kReplacement; // a lone surrogate is no character
		if (cp < 0x80)
			out.push_back (static_cast<char8> (cp));
		else if (cp < 0x800)
		{
			out.push_back (static_cast<char8> (0xC0 | (cp >> 6)));
			out.push_back (static_cast<char8> (0x80 | (cp & 0x3F)));
		}
		else if (cp < 0x10000)
		{
			out.push_back (static_cast<char8> (0xE0 | (cp >> 12)));
			out.push_back (static_cast<char8> (0x80 | ((cp >> 6) & 0x3F)));
			out.push_back (static_cast<char8> (0x80 | (cp & 0x3F)));
		}
		else
		{
			out.push_back (static_cast<char8> (0xF0 | (cp >> 18)));
			out.push_back (static_cast<char8> (0x80 | ((cp >> 12) & 0x3F)));
			out.push_back (static_cast<char8> (0x80 | ((cp >> 6) & 0x3F)));
			out.push_back (static_cast<char8> (0x80 | (cp & 0x3F)));
		}
	}
	return out;
}

std::u16string String::utf8ToUtf16 (const char8* str, size_t n)
{
	std::u16string out;
	out.reserve (n);
	size_t i = 0;
	while (i < n)
	{
		auto b0 = static_cast<uint8> (str[i]);
		if (b0 < 0x80)
		{
			out.push_back (b0);
			++i;
			continue;
		}
		int extra = b0 >= 0xF0 && b0 <= 0xF4 ? 3 : b0 >= 0xE0 ? (b0 <= 0xEF ? 2 : -1) : b0 >= 0xC2 ? 1 : -1;
		uint32 cp = extra == 1 ? (b0 & 0x1F) : extra == 2 ? (b0 & 0x0F) : (b0 & 0x07);
		// The sequence needs bytes i + 1 to i + extra.
		bool valid = extra > 0 && i + static_cast<size_t> (extra) < n;
		for (int k = 1; valid && k <= extra; ++k)
		{
			auto b = static_cast<uint8> (str[i + static_cast<size_t> (k)]);
			if ((b & 0xC0) != 0x80)
				valid = false;
			else
				cp = (cp << 6) | (b & 0x3F);
		}
		// Overlong forms, surrogates and values past U+10FFFF are not characters.
		if (valid && ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
		              (cp >= 0xD800 && cp <= 0xDFFF)))
			valid = false;
		if (!valid)
		{
			out.push_back (kReplacement);
			++i;
			continue;
		}
		if (cp >= 0x10000)
		{
			cp -= 0x10000;
			out.push_back (static_cast<char16> (0xD800 + (cp >> 10)));
			out.push_back (static_cast<char16> (0xDC00 + (cp & 0x3FF)));
		}
		else
			out.push_back (static_cast<char16> (cp));
		i += static_cast<size_t> (extra) + 1;
	}
	return out;
}

} // namespace Steinberg
