#include "pluginterfaces/base/ustring.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

using namespace Steinberg;

namespace {
std::u16string text (const char16* s)
{
	return s;
}
} // namespace

TEST (UString, AssignCutsToSizeAndAlwaysTerminates)
{
	char16 buffer[5];
	for (auto& c : buffer)
		c = u'x';
	UString s (buffer, 5);
	s.assign (u"abcdefgh");
	EXPECT_EQ (text (buffer), u"abcd");
	EXPECT_EQ (buffer[4], 0);
	EXPECT_EQ (s.getLength (), 4);

	s.assign (u"abcdefgh", 2);
	EXPECT_EQ (text (buffer), u"ab");

	s.assign (static_cast<const char16*> (nullptr));
	EXPECT_EQ (s.getLength (), 0);

	s.assign ("hi\xe9");
	EXPECT_EQ (text (buffer), u"hi\u00e9");
}

TEST (UString, ZeroOrNullBufferIsLeftAlone)
{
	char16 buffer[2] = {u'a', u'b'};
	UString empty (buffer, 0);
	empty.assign (u"xyz");
	EXPECT_EQ (buffer[0], u'a');
	EXPECT_FALSE (empty.printFloat (1.0));
	EXPECT_EQ (buffer[0], u'a');

	UString none (nullptr, 10);
	none.assign (u"xyz").append (u"q");
	EXPECT_EQ (none.getLength (), 0);
}

TEST (UString, AppendFillsUpToTheEnd)
{
	UString128 s ("Level");
	s.append (u" dB");
	EXPECT_EQ (text (s), u"Level dB");

	char16 small[6];
	UString t (small, 6);
	t.assign (u"abc").append (u"defgh");
	EXPECT_EQ (text (small), u"abcde");
	t.append (u"z");
	EXPECT_EQ (text (small), u"abcde");
}

TEST (UString, AsciiRoundTripReplacesWideCharacters)
{
	UString128 s (u"2.5kHz \u00b5");
	char out[16];
	s.toAscii (out, 16);
	EXPECT_STREQ (out, "2.5kHz _");
	char tiny[4];
	s.toAscii (tiny, 4);
	EXPECT_STREQ (tiny, "2.5");
}

TEST (UString, PrintFloatIsFixedPoint)
{
	UString128 s;
	EXPECT_TRUE (s.printFloat (3.5, 2));
	EXPECT_EQ (text (s), u"3.50");
	EXPECT_TRUE (s.printFloat (-36.0, 2));
	EXPECT_EQ (text (s), u"-36.00");
	EXPECT_TRUE (s.printFloat (0.0));
	EXPECT_EQ (text (s), u"0.0000");
	EXPECT_TRUE (s.printFloat (-0.0, 2));
	EXPECT_EQ (text (s), u"-0.00");
	EXPECT_TRUE (s.printFloat (1234567.891, 1));
	EXPECT_EQ (text (s), u"1234567.9");
	EXPECT_TRUE (s.printFloat (2.5, 0));
	EXPECT_EQ (text (s), u"2");
}

TEST (UString, PrintThatDoesNotFitLeavesTheTextEmpty)
{
	char16 buffer[6];
	UString s (buffer, 6);
	EXPECT_TRUE (s.printFloat (12.5, 2)); // "12.50" is five units
	EXPECT_EQ (text (buffer), u"12.50");
	EXPECT_FALSE (s.printFloat (123.5, 2));
	EXPECT_EQ (buffer[0], 0);

	UString128 big;
	EXPECT_FALSE (big.printFloat (1e300, 2)); // 301 digits do not fit in 127
	EXPECT_EQ (big.getLength (), 0);
	EXPECT_FALSE (s.printInt (-12345678));
	EXPECT_EQ (buffer[0], 0);
}

TEST (UString, PrintFloatPrecisionAtTheEdgeOfTheBuffer)
{
	// 127 units of text fit in 128: "1." and 125 digits, "-1." and 124.
	UString128 s;
	EXPECT_TRUE (s.printFloat (1.5, 125));
	EXPECT_EQ (text (s), u"1.5" + std::u16string (124, u'0'));
	EXPECT_FALSE (s.printFloat (1.5, 126));
	EXPECT_EQ (s.getLength (), 0);
	EXPECT_TRUE (s.printFloat (-1.5, 124));
	EXPECT_EQ (s.getLength (), 127);
	EXPECT_FALSE (s.printFloat (-1.5, 125));
	EXPECT_EQ (s.getLength (), 0);
	EXPECT_TRUE (s.printFloat (99.0, 124));
	EXPECT_EQ (s.getLength (), 127);
	EXPECT_FALSE (s.printFloat (100.0, 124));

	// Rounding that adds a digit before the point needs the room as well.
	char16 buffer[6];
	UString small (buffer, 6);
	EXPECT_TRUE (small.printFloat (9.5, 3)); // "9.500"
	EXPECT_EQ (text (buffer), u"9.500");
	EXPECT_FALSE (small.printFloat (9.9996, 3)); // "10.000"
	EXPECT_EQ (buffer[0], 0);
	EXPECT_FALSE (small.printFloat (1.0, 4));
	EXPECT_TRUE (small.printFloat (1.0, 3));

	// A buffer larger than the formatter's own: still the same 511-unit limit.
	UStringBuffer<1024> large;
	EXPECT_TRUE (large.printFloat (0.25, 509));
	EXPECT_EQ (large.getLength (), 511);
	EXPECT_FALSE (large.printFloat (0.25, 510));
	EXPECT_EQ (large.getLength (), 0);
}

TEST (UString, HugePrecisionGivesAnEmptyTextOrTheWordForNonFinite)
{
	const double inf = std::numeric_limits<double>::infinity ();
	const double nan = std::numeric_limits<double>::quiet_NaN ();
	UString128 s;
	for (int32 precision : {1000, 100000000, 1 << 30, std::numeric_limits<int32>::max ()})
	{
		SCOPED_TRACE (precision);
		s.assign (u"old");
		EXPECT_FALSE (s.printFloat (1.5, precision));
		EXPECT_EQ (s.getLength (), 0);
		s.assign (u"old");
		EXPECT_FALSE (s.printFloat (-0.0, precision));
		EXPECT_EQ (s.getLength (), 0);
		EXPECT_FALSE (s.printFloat (std::numeric_limits<double>::denorm_min (), precision));
		// Infinities and NaN have no digits to show: the precision does not matter.
		EXPECT_TRUE (s.printFloat (inf, precision));
		EXPECT_EQ (text (s), u"inf");
		EXPECT_TRUE (s.printFloat (-inf, precision));
		EXPECT_EQ (text (s), u"-inf");
		EXPECT_TRUE (s.printFloat (nan, precision));
		EXPECT_EQ (text (s), u"nan");
	}
	// A negative precision is no precision: six digits.
	for (int32 precision : {-1, std::numeric_limits<int32>::min ()})
	{
		EXPECT_TRUE (s.printFloat (1.5, precision));
		EXPECT_EQ (text (s), u"1.500000");
	}
	// Nowhere to print.
	UString none (nullptr, 0);
	EXPECT_FALSE (none.printFloat (1.5, std::numeric_limits<int32>::max ()));
	EXPECT_FALSE (none.printFloat (1.5, 2));
}

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// The C library's formatter builds the whole text in a buffer of its own, as
// long as the precision asks for, before the length can be compared with the
// room. With the heap kept from mapping or giving back memory, the heap's size
// after the call shows the largest buffer it took.
TEST (UString, HugePrecisionTakesNoBufferOfItsSize)
{
	mallopt (M_MMAP_MAX, 0);
	mallopt (M_TRIM_THRESHOLD, std::numeric_limits<int>::max ());
	const size_t before = mallinfo2 ().arena;
	UString128 s;
	EXPECT_FALSE (s.printFloat (1.5, 10000000));
	EXPECT_EQ (s.getLength (), 0);
	const size_t grown = mallinfo2 ().arena - before;
	mallopt (M_TRIM_THRESHOLD, 128 * 1024);
	mallopt (M_MMAP_MAX, 65536);
	EXPECT_LT (grown, size_t (1) << 20) << "the heap grew by " << grown << " bytes";
}
#endif

TEST (UString, PrintIntAndScanInt)
{
	UString128 s;
	EXPECT_TRUE (s.printInt (-9223372036854775807LL - 1));
	EXPECT_EQ (text (s), u"-9223372036854775808");
	int64 v = 0;
	EXPECT_TRUE (s.scanInt (v));
	EXPECT_EQ (v, std::numeric_limits<int64>::min ());

	UString128 t (u"  42 dB");
	EXPECT_TRUE (t.scanInt (v));
	EXPECT_EQ (v, 42);
	UString128 bad (u"dB");
	v = 7;
	EXPECT_FALSE (bad.scanInt (v));
	EXPECT_EQ (v, 7);
}

TEST (UString, ScanFloatReadsLeadingNumber)
{
	double v = 0;
	EXPECT_TRUE (UString128 (u"-3.25").scanFloat (v));
	EXPECT_EQ (v, -3.25);
	EXPECT_TRUE (UString128 (u" 6 dB").scanFloat (v));
	EXPECT_EQ (v, 6.0);
	EXPECT_TRUE (UString128 (u"1e2").scanFloat (v));
	EXPECT_EQ (v, 100.0);
	v = 9;
	EXPECT_FALSE (UString128 (u"").scanFloat (v));
	EXPECT_FALSE (UString128 (u"abc").scanFloat (v));
	EXPECT_FALSE (UString128 (u"\u00b53").scanFloat (v));
	EXPECT_EQ (v, 9);
}

TEST (UString, MacrosMakeUtf16Temporaries)
{
	EXPECT_EQ (text (USTRING ("dB")), u"dB");
	char16 buffer[128];
	EXPECT_EQ (USTRINGSIZE (buffer), 128);
}

// A host may switch the process to a locale whose decimal point is ','.
// The display text of a parameter must not follow it.
TEST (UString, NumbersIgnoreTheProcessLocale)
{
	const char* candidates[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8"};
	std::string previous = std::setlocale (LC_ALL, nullptr);
	const char* active = nullptr;
	for (auto* name : candidates)
		if ((active = std::setlocale (LC_ALL, name)))
			break;
	if (!active)
		GTEST_SKIP () << "no locale with a decimal comma is installed";
	char probe[16];
	std::snprintf (probe, sizeof (probe), "%.1f", 1.5);
	if (std::string (probe) != "1,5")
	{
		std::setlocale (LC_ALL, previous.c_str ());
		GTEST_SKIP () << "the installed locale does not use a decimal comma";
	}

	UString128 s;
	bool printed = s.printFloat (-36.0, 2);
	std::u16string shown = text (s);
	double scanned = 0;
	bool read = UString128 (u"2.75").scanFloat (scanned);
	// The process locale is left as the host set it.
	std::snprintf (probe, sizeof (probe), "%.1f", 1.5);
	std::string after = probe;
	std::setlocale (LC_ALL, previous.c_str ());

	EXPECT_TRUE (printed);
	EXPECT_EQ (shown, u"-36.00");
	EXPECT_TRUE (read);
	EXPECT_EQ (scanned, 2.75);
	EXPECT_EQ (after, "1,5");
}
