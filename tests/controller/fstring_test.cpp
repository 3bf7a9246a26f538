#include "base/source/fstring.h"

#include <gtest/gtest.h>

#include <string>

using namespace Steinberg;

TEST (FString, BuildsTheAboutLineFromPieces)
{
	String version ("2.1.0");
	String format ("VST3");
	String platform ("x86_64-Linux");
	String line;
	line += version;
	line += ", ";
	line += format;
	line += " ";
	line += platform;
	ASSERT_TRUE (line.toMultiByte (kCP_Utf8));
	EXPECT_STREQ (line.text8 (), "2.1.0, VST3 x86_64-Linux");
	EXPECT_EQ (line.length (), 24);
	EXPECT_FALSE (line.isWideString ());
}

TEST (FString, AssignTakesLengthAndEmbeddedZeros)
{
	String s;
	s.assign ("abcdef", 3);
	EXPECT_STREQ (s.text8 (), "abc");
	s.assign ("ab\0cd", 5, false);
	EXPECT_EQ (s.length (), 5);
	String copy (s);
	EXPECT_EQ (copy.length (), 5);
	EXPECT_TRUE (copy == s);
	s.assign (static_cast<const char8*> (nullptr));
	EXPECT_TRUE (s.isEmpty ());
	s.assign (u"wide", 2);
	EXPECT_TRUE (s.isWideString ());
	EXPECT_EQ (std::u16string (s.text16 ()), u"wi");
}

TEST (FString, Utf16ToUtf8IsRealUtf8)
{
	// e-acute (2 bytes), euro sign (3 bytes), G clef as a surrogate pair (4 bytes).
	String s (u"\u00e9\u20ac\U0001D11E!");
	ASSERT_TRUE (s.toMultiByte (kCP_Utf8));
	EXPECT_EQ (std::string (s.text8 ()), "\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E!");

	String lone (u"a\xD800" "b");
	lone.toMultiByte (kCP_Utf8);
	EXPECT_EQ (std::string (lone.text8 ()), "a\xEF\xBF\xBD" "b");
}

TEST (FString, Utf8ToUtf16RoundTripsAndRejectsMalformedBytes)
{
	String s ("\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E!");
	ASSERT_TRUE (s.toWideString (kCP_Utf8));
	EXPECT_EQ (std::u16string (s.text16 ()), u"\u00e9\u20ac\U0001D11E!");

	// Overlong '/', a cut sequence at the end, an encoded surrogate.
	String bad ("\xC0\xAFx\xED\xA0\x80y\xE2\x82");
	bad.toWideString (kCP_Utf8);
	std::u16string wide = bad.text16 ();
	EXPECT_EQ (wide.find (u'x'), 2u);
	EXPECT_NE (wide.find (u'y'), std::u16string::npos);
	for (char16 c : wide)
		EXPECT_TRUE (c == u'x' || c == u'y' || c == 0xFFFD);
}

TEST (FString, OtherCodePagesKeepAsciiOnly)
{
	String s (u"Gr\u00fc\U0001D11Ee");
	s.toMultiByte (kCP_Default);
	EXPECT_STREQ (s.text8 (), "Gr__e");
	String t ("caf\xC3\xA9");
	t.toWideString (kCP_US_ASCII);
	EXPECT_EQ (std::u16string (t.text16 ()), u"caf__");
}

TEST (FString, MixedWidthAppendAndCompare)
{
	String s ("dB");
	s.append (u" \u00b1");
	EXPECT_TRUE (s.isWideString ());
	EXPECT_EQ (std::u16string (s.text16 ()), u"dB \u00b1");

	String w (u"x");
	w.append ("yz", 1);
	EXPECT_EQ (std::u16string (w.text16 ()), u"xy");
	w.append ('!', 3);
	EXPECT_EQ (std::u16string (w.text16 ()), u"xy!!!");

	String self ("ab");
	self += self;
	EXPECT_STREQ (self.text8 (), "abab");

	EXPECT_TRUE (String ("\xC3\xA9t\xC3\xA9") == String (u"\u00e9t\u00e9"));
	EXPECT_TRUE (String ("a") != String ("b"));

	// A const string answers in the width it holds, without converting.
	const String constWide (u"wide");
	EXPECT_STREQ (constWide.text8 (), "");
	EXPECT_TRUE (constWide.isWideString ());
}
