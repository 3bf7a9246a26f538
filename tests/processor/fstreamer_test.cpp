// The typed stream reader and writer over an IBStream.
#include "base/source/fstreamer.h"
#include "memorystream.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Steinberg;
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
