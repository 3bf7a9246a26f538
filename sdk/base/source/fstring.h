// ConstString / String: text that is held either as 8-bit or as UTF-16 code
// units, with conversion between the two.
#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <string>

namespace Steinberg {

// Code pages for the 8-bit form. On this platform only kCP_Utf8 is a real
// conversion; the others keep ASCII and turn every other character into '_'.
enum MBCodePage
{
	kCP_ANSI = 0,
	kCP_MAC_ROMAN = 2,
	kCP_ANSI_WEL = 1252,
	kCP_MAC_CEE = 10029,
	kCP_Utf8 = 65001,
	kCP_ShiftJIS = 932,
	kCP_US_ASCII = 20127,
	kCP_Default = kCP_ANSI
};

//------------------------------------------------------------------------
// Read access to a text in whichever form it is held.
class ConstString
{
public:
	ConstString () = default;
	virtual ~ConstString () = default;

	bool isWideString () const { return isWide; }
	int32 length () const { return static_cast<int32> (isWide ? buffer16.size () : buffer8.size ()); }
	bool isEmpty () const { return length () == 0; }

	// The 8-bit text; empty while the text is held as UTF-16.
	const char8* text8 () const { return isWide ? "" : buffer8.c_str (); }
	// The UTF-16 text; empty while the text is held as 8-bit.
	const char16* text16 () const { return isWide ? buffer16.c_str () : u""; }

	bool operator== (const ConstString& other) const;
	bool operator!= (const ConstString& other) const { return !(*this == other); }

protected:
	std::string buffer8;
	std::u16string buffer16;
	bool isWide {false};
};

//------------------------------------------------------------------------
class String : public ConstString
{
public:
	String () = default;
	String (const char8* str, int32 n = -1, bool isTerminated = true) { assign (str, n, isTerminated); }
	String (const char16* str, int32 n = -1, bool isTerminated = true) { assign (str, n, isTerminated); }
	String (const ConstString& str, int32 n = -1) { assign (str, n); }
	String (const String& str) : ConstString (str) {}
	String (String&& str) noexcept = default;
	~String () override = default;

	String& operator= (const String& str) { return assign (str); }
	String& operator= (String&& str) noexcept = default;
	String& operator= (const char8* str) { return assign (str); }
	String& operator= (const char16* str) { return assign (str); }

	// n: number of code units to take (-1: up to the terminating zero). With
	// isTerminated false, exactly n units are taken (embedded zeros included).
	String& assign (const char8* str, int32 n = -1, bool isTerminated = true);
	String& assign (const char16* str, int32 n = -1, bool isTerminated = true);
	String& assign (const ConstString& str, int32 n = -1);

	// Appending text of the other width converts this string to that text's
	// width first when it is empty, otherwise converts the appended text.
	String& append (const char8* str, int32 n = -1);
	String& append (const char16* str, int32 n = -1);
	String& append (const ConstString& str, int32 n = -1);
	String& append (char8 c, int32 count = 1);

	String& operator+= (const char8* str) { return append (str); }
	String& operator+= (const char16* str) { return append (str); }
	String& operator+= (const ConstString& str) { return append (str); }
	String& operator+= (char8 c) { return append (c); }

	// UTF-16 -> 8-bit in the given code page; an 8-bit text is kept as it is.
	bool toMultiByte (uint32 destCodePage = kCP_Default);
	// 8-bit in the given code page -> UTF-16; a UTF-16 text is kept as it is.
	bool toWideString (uint32 sourceCodePage = kCP_Default);

	// These convert the held text to the asked width first (default code page);
	// on a const String they answer as ConstString does.
	using ConstString::text8;
	using ConstString::text16;
	const char8* text8 ();
	const char16* text16 ();

	// Static helpers, also used by the conversions above.
	static std::string utf16ToUtf8 (const char16* str, size_t n);
	static std::u16string utf8ToUtf16 (const char8* str, size_t n);
};

} // namespace Steinberg
