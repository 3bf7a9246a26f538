// The typed stream reader and writer over an IBStream.
#include "base/source/fstreamer.h"
#include "lyingstream.h"
#include "memorystream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace Steinberg;
using PalvisTest::LyingStream;
using PalvisTest::MemoryStream;

TEST (IBStreamer, LittleEndianWritesTheMemoryImageOfEachValue)
{
	MemoryStream stream;
	IBStreamer s (&stream, kLittleEndian);
	ASSERT_TRUE (s.writeInt64 (0x0102030405060708LL));
	ASSERT_TRUE (s.writeInt32 (-2));
	ASSERT_TRUE (s.writeDouble (0.75));
	ASSERT_TRUE (s.writeInt16 (0x1234));
	const std::vector<uint8_t> expected = {0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01, 0xFE, 0xFF, 0xFF,
	                                       0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE8, 0x3F, 0x34, 0x12};
	EXPECT_EQ (stream.bytes (), expected);
}

TEST (IBStreamer, BigEndianSwapsEveryMultiByteValue)
{
	MemoryStream stream;
	IBStreamer s (&stream, kBigEndian);
	ASSERT_TRUE (s.writeInt32 (0x01020304));
	ASSERT_TRUE (s.writeDouble (0.75));
	ASSERT_TRUE (s.writeInt8 (0x7F));
	const std::vector<uint8_t> expected = {0x01, 0x02, 0x03, 0x04, 0x3F, 0xE8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x7F};
	EXPECT_EQ (stream.bytes (), expected);

	stream.rewind ();
	IBStreamer r (&stream, kBigEndian);
	int32 i = 0;
	double d = 0;
	int8 c = 0;
	EXPECT_TRUE (r.readInt32 (i));
	EXPECT_TRUE (r.readDouble (d));
	EXPECT_TRUE (r.readInt8 (c));
	EXPECT_EQ (i, 0x01020304);
	EXPECT_EQ (d, 0.75);
	EXPECT_EQ (c, 0x7F);
}

TEST (IBStreamer, ShortReadFailsAndZeroesTheValue)
{
	const uint8_t bytes[] = {1, 2, 3, 4, 5, 6, 7};
	MemoryStream stream (bytes, sizeof (bytes));
	IBStreamer s (&stream, kLittleEndian);
	int64 v = 99;
	EXPECT_FALSE (s.readInt64 (v));
	EXPECT_EQ (v, 0);
	double d = 1.5;
	EXPECT_FALSE (s.readDouble (d)); // stream is exhausted now
	EXPECT_EQ (d, 0.0);
}

TEST (IBStreamer, WriteFailsWhenTheStreamTakesOnlyPart)
{
	MemoryStream stream;
	stream.setWriteLimit (6);
	IBStreamer s (&stream, kLittleEndian);
	EXPECT_TRUE (s.writeInt32 (1));
	EXPECT_FALSE (s.writeInt32 (2)); // only 2 of 4 bytes fit
	EXPECT_EQ (stream.bytes ().size (), 6u);

	MemoryStream refusing;
	refusing.setMode (MemoryStream::Mode::kRefuseWrites);
	IBStreamer r (&refusing, kLittleEndian);
	EXPECT_FALSE (r.writeDouble (1.0));
	EXPECT_TRUE (refusing.bytes ().empty ());
}

TEST (IBStreamer, NullStreamMovesNothing)
{
	IBStreamer s (nullptr, kLittleEndian);
	int32 v = 5;
	EXPECT_FALSE (s.readInt32 (v));
	EXPECT_EQ (v, 0);
	EXPECT_FALSE (s.writeInt32 (5));
	EXPECT_EQ (s.tell (), 0);
}

TEST (IBStreamer, BoolTravelsAsSixteenBits)
{
	MemoryStream stream;
	IBStreamer s (&stream, kLittleEndian);
	ASSERT_TRUE (s.writeBool (true));
	ASSERT_TRUE (s.writeBool (false));
	EXPECT_EQ (stream.bytes (), (std::vector<uint8_t> {1, 0, 0, 0}));

	const uint8_t other[] = {0x00, 0x02};
	MemoryStream in (other, sizeof (other));
	IBStreamer r (&in, kLittleEndian);
	bool b = false;
	EXPECT_TRUE (r.readBool (b));
	EXPECT_TRUE (b);
}

TEST (IBStreamer, SeekAndTellFollowTheStream)
{
	const uint8_t bytes[] = {10, 20, 30, 40, 50, 60, 70, 80};
	MemoryStream stream (bytes, sizeof (bytes));
	IBStreamer s (&stream, kLittleEndian);
	EXPECT_EQ (s.seek (4, kSeekSet), 4);
	uint8 c = 0;
	EXPECT_TRUE (s.readInt8u (c));
	EXPECT_EQ (c, 50);
	EXPECT_EQ (s.tell (), 5);
	EXPECT_EQ (s.seek (-2, kSeekEnd), 6);
	EXPECT_EQ (s.seek (-1, kSeekCurrent), 5);
}

TEST (IBStreamer, CountBeyondTheRequestFailsTheValue)
{
	const std::vector<uint8_t> bytes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
	for (int32 reports : {9, 16, 1000, 0x7fffffff})
	{
		SCOPED_TRACE (reports);
		// Everything asked for was really copied; the count alone is wrong.
		LyingStream in (bytes, LyingStream::lieAt (0, {8, reports}));
		IBStreamer s (&in, kLittleEndian);
		int64 v = 99;
		EXPECT_FALSE (s.readInt64 (v));
		EXPECT_EQ (v, 0);

		LyingStream out ({}, LyingStream::lieAt (0, {4, reports}));
		IBStreamer w (&out, kLittleEndian);
		EXPECT_FALSE (w.writeInt32 (7));
		EXPECT_TRUE (w.writeInt32 (8)); // the next, honest call goes through
	}
}

TEST (IBStreamer, BytesReportedButNeverWrittenReadAsZero)
{
	const std::vector<uint8_t> bytes = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
	// Only half of the value arrives, the count says all of it.
	{
		LyingStream in (bytes, LyingStream::lieAt (0, {4, 8}));
		IBStreamer s (&in, kLittleEndian);
		int64 v = -1;
		PalvisTest::paintStack ();
		EXPECT_TRUE (s.readInt64 (v));
		EXPECT_EQ (v, 0x44332211);
	}
	// Nothing arrives, the count says all of it.
	{
		LyingStream in (bytes, LyingStream::lieAt (0, {0, 8}));
		IBStreamer s (&in, kLittleEndian);
		double d = -1.0;
		PalvisTest::paintStack ();
		EXPECT_TRUE (s.readDouble (d));
		uint64 bits = 1;
		std::memcpy (&bits, &d, 8);
		EXPECT_EQ (bits, 0u);
	}
	{
		LyingStream in (bytes, LyingStream::lieAt (0, {0, 4}));
		IBStreamer s (&in, kBigEndian);
		int32 i = -1;
		PalvisTest::paintStack ();
		EXPECT_TRUE (s.readInt32 (i));
		EXPECT_EQ (i, 0);
	}
}

// Whatever a stream does on each call, a typed value succeeds exactly when the
// count is the value's size; it then holds the bytes the stream copied and
// zeros for the rest, and on failure it is zero.
TEST (IBStreamer, RandomLiesNeverLeakUnwrittenBytes)
{
	std::mt19937 random (20240611);
	for (int round = 0; round < 400; ++round)
	{
		std::vector<uint8_t> bytes (std::uniform_int_distribution<size_t> (0, 40) (random));
		for (auto& b : bytes)
			b = static_cast<uint8_t> (random ());
		std::vector<LyingStream::Call> calls;
		auto rule = [&] (int32 /*call*/, int32 asked, int32 available) {
			LyingStream::Call c = LyingStream::honest (0, asked, available);
			switch (random () % 6)
			{
				case 0: c.reports = asked + 1 + static_cast<int32> (random () % 100); break; // more than asked
				case 1: c.reports = -1 - static_cast<int32> (random () % 100); break;        // negative
				case 2: c.copies = static_cast<int32> (random () % (asked + 1)); break;     // copies fewer
				case 3: c.reports = static_cast<int32> (random () % (asked + 1)); break;    // reports fewer
				default: break;                                                               // honest
			}
			calls.push_back (c);
			return c;
		};
		LyingStream in (bytes, rule);
		IBStreamer s (&in, kLittleEndian);
		for (int value = 0; value < 6; ++value)
		{
			SCOPED_TRACE (testing::Message () << "round " << round << " value " << value);
			const int64 before = in.position ();
			const size_t sizes[] = {1, 2, 4, 8};
			const size_t size = sizes[random () % 4];
			uint8_t got[8];
			bool ok = false;
			PalvisTest::paintStack ();
			switch (size)
			{
				case 1: { int8 v = 9; ok = s.readInt8 (v); std::memcpy (got, &v, 1); break; }
				case 2: { int16 v = 9; ok = s.readInt16 (v); std::memcpy (got, &v, 2); break; }
				case 4: { int32 v = 9; ok = s.readInt32 (v); std::memcpy (got, &v, 4); break; }
				default: { int64 v = 9; ok = s.readInt64 (v); std::memcpy (got, &v, 8); break; }
			}
			ASSERT_FALSE (calls.empty ());
			const LyingStream::Call c = calls.back ();
			calls.clear ();
			EXPECT_EQ (ok, c.reports == static_cast<int32> (size));
			const size_t available = bytes.size () - std::min (bytes.size (), static_cast<size_t> (before));
			const size_t copied = ok ? std::min ({static_cast<size_t> (std::max (c.copies, 0)), size, available}) : 0;
			for (size_t i = 0; i < size; ++i)
				EXPECT_EQ (got[i], i < copied ? bytes[static_cast<size_t> (before) + i] : 0) << "byte " << i;
		}
	}
}
