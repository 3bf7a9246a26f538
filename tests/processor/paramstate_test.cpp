// The state record and its 204-byte little-endian stream form.
#include "processorfixture.h"

#include "base/source/fstreamer.h"

#include <cmath>
#include <limits>

using namespace PalvisTest;

namespace {

std::vector<uint8_t> le64 (uint64_t v)
{
	std::vector<uint8_t> b (8);
	for (int i = 0; i < 8; ++i)
		b[static_cast<size_t> (i)] = static_cast<uint8_t> (v >> (8 * i));
	return b;
}

void putInt32 (std::vector<uint8_t>& bytes, size_t offset, int32 value)
{
	for (int i = 0; i < 4; ++i)
		bytes[offset + static_cast<size_t> (i)] = static_cast<uint8_t> (static_cast<uint32> (value) >> (8 * i));
}

void putDouble (std::vector<uint8_t>& bytes, size_t offset, double value)
{
	uint64_t bits;
	std::memcpy (&bits, &value, 8);
	auto b = le64 (bits);
	std::copy (b.begin (), b.end (), bytes.begin () + static_cast<std::ptrdiff_t> (offset));
}

ParamState oddState ()
{
	ParamState s {};
	s.bypass = true;
	s.level = 0.3125;
	for (int i = 0; i < kNumBands; ++i)
		s.bands[i] = 0.01 * (i + 1);
	for (int i = 0; i < 6; ++i)
		s.reserved[i] = -1.5 * i;
	s.reservedFlags[0] = true;
	s.reservedFlags[1] = false;
	s.reservedFlags[2] = true;
	s.reservedFlags[3] = true;
	return s;
}

} // namespace

TEST (ParamState, InitialRecordWritesTheExact204Bytes)
{
	ProcessorHandle p;
	auto bytes = stateOf (*p);
	ASSERT_EQ (bytes.size (), 204u);
	for (size_t i = 0; i < 12; ++i)
		EXPECT_EQ (bytes[i], 0) << i;
	const std::vector<uint8_t> level = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE8, 0x3F};
	EXPECT_TRUE (std::equal (level.begin (), level.end (), bytes.begin () + 12));
	const std::vector<uint8_t> half = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x3F};
	for (int band = 0; band < 15; ++band)
		EXPECT_TRUE (std::equal (half.begin (), half.end (), bytes.begin () + 20 + 8 * band)) << band;
	for (size_t i = 140; i < 204; ++i)
		EXPECT_EQ (bytes[i], 0) << i;
}

TEST (ParamState, ReadBackGivesTheSameRecordAndTheSameBytes)
{
	const ParamState original = oddState ();
	auto bytes = streamBytes (original);
	ASSERT_EQ (bytes.size (), 204u);

	ParamState back = defaultState ();
	MemoryStream in (bytes);
	ASSERT_EQ (back.read (&in), kResultOk);
	EXPECT_TRUE (sameRecord (back, original));
	EXPECT_EQ (streamBytes (back), bytes);
}

TEST (ParamState, LeadingWordIsIgnoredAndWrittenAsZero)
{
	auto bytes = streamBytes (oddState ());
	auto seven = le64 (7);
	std::copy (seven.begin (), seven.end (), bytes.begin ());
	ParamState s = defaultState ();
	MemoryStream in (bytes);
	ASSERT_EQ (s.read (&in), kResultOk);
	EXPECT_TRUE (sameRecord (s, oddState ()));
	auto out = streamBytes (s);
	for (size_t i = 0; i < 8; ++i)
		EXPECT_EQ (out[i], 0);
}

TEST (ParamState, FlagWordsArePositiveForOn)
{
	auto bytes = streamBytes (defaultState ());
	ParamState s = defaultState ();

	putInt32 (bytes, 8, 2);
	MemoryStream a (bytes);
	ASSERT_EQ (s.read (&a), kResultOk);
	EXPECT_TRUE (s.bypass);

	putInt32 (bytes, 8, -1);
	MemoryStream b (bytes);
	ASSERT_EQ (s.read (&b), kResultOk);
	EXPECT_FALSE (s.bypass);

	putInt32 (bytes, 188, 5);  // reserved flag 0
	putInt32 (bytes, 200, -7); // reserved flag 3
	MemoryStream c (bytes);
	ASSERT_EQ (s.read (&c), kResultOk);
	EXPECT_TRUE (s.reservedFlags[0]);
	EXPECT_FALSE (s.reservedFlags[3]);
	auto out = streamBytes (s);
	EXPECT_EQ (std::vector<uint8_t> (out.begin () + 188, out.begin () + 192), (std::vector<uint8_t> {1, 0, 0, 0}));
	EXPECT_EQ (std::vector<uint8_t> (out.begin () + 200, out.begin () + 204), (std::vector<uint8_t> {0, 0, 0, 0}));
}

TEST (ParamState, ShortOrEmptyStreamLeavesTheRecordUntouched)
{
	auto bytes = streamBytes (defaultState ());
	bytes.pop_back (); // 203 bytes
	ParamState s = oddState ();
	MemoryStream shortStream (bytes);
	EXPECT_EQ (s.read (&shortStream), kResultFalse);
	EXPECT_TRUE (sameRecord (s, oddState ()));

	MemoryStream empty;
	EXPECT_EQ (s.read (&empty), kResultFalse);
	EXPECT_TRUE (sameRecord (s, oddState ()));

	EXPECT_EQ (s.read (nullptr), kResultFalse);
	EXPECT_TRUE (sameRecord (s, oddState ()));
}

TEST (ParamState, LongerStreamIsReadFromItsFirst204Bytes)
{
	auto bytes = streamBytes (oddState ());
	bytes.resize (300, 0xAB);
	ParamState s = defaultState ();
	MemoryStream in (bytes);
	ASSERT_EQ (s.read (&in), kResultOk);
	EXPECT_TRUE (sameRecord (s, oddState ()));
	EXPECT_EQ (in.position (), 204);
}

TEST (ParamState, ValuesPassThroughUnchecked)
{
	auto bytes = streamBytes (defaultState ());
	putDouble (bytes, 20, 1.5);
	putDouble (bytes, 28, -0.25);
	putDouble (bytes, 12, std::numeric_limits<double>::infinity ());
	putDouble (bytes, 140, std::numeric_limits<double>::quiet_NaN ());
	ParamState s = defaultState ();
	MemoryStream in (bytes);
	ASSERT_EQ (s.read (&in), kResultOk);
	EXPECT_EQ (s.bands[0], 1.5);
	EXPECT_EQ (s.bands[1], -0.25);
	EXPECT_TRUE (std::isinf (s.level));
	EXPECT_TRUE (std::isnan (s.reserved[0]));
	EXPECT_EQ (streamBytes (s), bytes);
}

TEST (ParamState, BigEndianStreamIsReadAsLittleEndian)
{
	const ParamState original = oddState ();
	MemoryStream big;
	IBStreamer w (&big, kBigEndian);
	ASSERT_TRUE (w.writeInt64 (0));
	ASSERT_TRUE (w.writeInt32 (original.bypass ? 1 : 0));
	ASSERT_TRUE (w.writeDouble (original.level));
	for (double b : original.bands)
		ASSERT_TRUE (w.writeDouble (b));
	for (double r : original.reserved)
		ASSERT_TRUE (w.writeDouble (r));
	for (bool f : original.reservedFlags)
		ASSERT_TRUE (w.writeInt32 (f ? 1 : 0));
	ASSERT_EQ (big.bytes ().size (), 204u);

	big.rewind ();
	ParamState s = defaultState ();
	ASSERT_EQ (s.read (&big), kResultOk);
	// Big-endian 1 is 0x01000000 read little-endian: still positive, so on.
	EXPECT_TRUE (s.bypass);
	uint64_t levelBits, originalBits;
	std::memcpy (&levelBits, &s.level, 8);
	std::memcpy (&originalBits, &original.level, 8);
	EXPECT_EQ (levelBits, __builtin_bswap64 (originalBits));
	EXPECT_NE (s.level, original.level);
}

TEST (ParamState, WriteStopsAtTheFirstRefusedValue)
{
	MemoryStream refusing;
	refusing.setMode (MemoryStream::Mode::kRefuseWrites);
	EXPECT_EQ (oddState ().write (&refusing), kResultFalse);
	EXPECT_EQ (refusing.writeCalls (), 1);

	MemoryStream limited;
	limited.setWriteLimit (100); // 8 + 4 + 11 doubles = 100: the 12th double fails
	EXPECT_EQ (oddState ().write (&limited), kResultFalse);
	EXPECT_EQ (limited.bytes ().size (), 100u);
	EXPECT_EQ (limited.writeCalls (), 1 + 1 + 12);

	EXPECT_EQ (oddState ().write (nullptr), kResultFalse);
}

TEST (ParamState, ReadStartsAtTheCurrentPosition)
{
	auto bytes = streamBytes (oddState ());
	bytes.insert (bytes.begin (), {9, 9, 9});
	MemoryStream in (bytes);
	int64 pos = 0;
	ASSERT_EQ (in.seek (3, IBStream::kIBSeekSet, &pos), kResultOk);
	ParamState s = defaultState ();
	ASSERT_EQ (s.read (&in), kResultOk);
	EXPECT_TRUE (sameRecord (s, oddState ()));
}
