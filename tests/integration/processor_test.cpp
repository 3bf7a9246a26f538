// The processor component through IComponent / IAudioProcessor: buses,
// processing set-up, parameter changes and the state stream.

#include "hostlib/memorystream.h"

#include "test_support.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <cstring>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace testsupport;

class BundleProcessor : public BundleTest
{
};

TEST_F (BundleProcessor, StereoMainBusesActiveByDefault)
{
	auto instance = createInstance ();
	ASSERT_NE (instance, nullptr);
	IComponent* component = instance->getComponent ();
	IAudioProcessor* processor = instance->getProcessor ();
	EXPECT_EQ (component->getBusCount (kAudio, kInput), 1);
	EXPECT_EQ (component->getBusCount (kAudio, kOutput), 1);
	EXPECT_EQ (component->getBusCount (kEvent, kInput), 0);
	EXPECT_EQ (component->getBusCount (kEvent, kOutput), 0);

	const char16_t* names[2] = {u"AudioInput", u"AudioOutput"};
	for (BusDirection direction : {kInput, kOutput})
	{
		SCOPED_TRACE (direction == kInput ? "input" : "output");
		BusInfo bus {};
		ASSERT_EQ (component->getBusInfo (kAudio, direction, 0, bus), kResultOk);
		EXPECT_EQ (std::u16string (bus.name), names[direction]);
		EXPECT_EQ (bus.mediaType, kAudio);
		EXPECT_EQ (bus.direction, direction);
		EXPECT_EQ (bus.channelCount, 2);
		EXPECT_EQ (bus.busType, kMain);
		EXPECT_EQ (bus.flags, static_cast<uint32> (BusInfo::kDefaultActive));
		SpeakerArrangement arrangement = 0;
		EXPECT_EQ (processor->getBusArrangement (direction, 0, arrangement), kResultOk);
		EXPECT_EQ (arrangement, SpeakerArr::kStereo);
		EXPECT_NE (component->getBusInfo (kAudio, direction, 1, bus), kResultOk);
	}
	EXPECT_EQ (processor->getLatencySamples (), 0u);
	EXPECT_EQ (processor->getTailSamples (), 0u);
	EXPECT_EQ (processor->canProcessSampleSize (kSample32), kResultTrue);
	EXPECT_EQ (processor->canProcessSampleSize (kSample64), kResultTrue);
	EXPECT_EQ (processor->canProcessSampleSize (2), kResultFalse);
}

TEST_F (BundleProcessor, AcceptsOnlyTwoSpeakerArrangements)
{
	auto instance = createInstance ();
	ASSERT_NE (instance, nullptr);
	IAudioProcessor* processor = instance->getProcessor ();
	SpeakerArrangement mono = SpeakerArr::kMono;
	SpeakerArrangement stereo = SpeakerArr::kStereo;
	SpeakerArrangement leftCentre = kSpeakerL | kSpeakerC;
	SpeakerArrangement three = kSpeakerL | kSpeakerR | kSpeakerC;
	EXPECT_EQ (processor->setBusArrangements (&mono, 1, &stereo, 1), kResultFalse);
	EXPECT_EQ (processor->setBusArrangements (&stereo, 1, &three, 1), kResultFalse);
	SpeakerArrangement arrangement = 0;
	EXPECT_EQ (processor->getBusArrangement (kInput, 0, arrangement), kResultOk);
	EXPECT_EQ (arrangement, SpeakerArr::kStereo);
	EXPECT_EQ (processor->setBusArrangements (&leftCentre, 1, &leftCentre, 1), kResultTrue);
	EXPECT_EQ (processor->getBusArrangement (kOutput, 0, arrangement), kResultOk);
	EXPECT_EQ (arrangement, leftCentre);
	EXPECT_EQ (processor->setBusArrangements (&stereo, 1, &stereo, 1), kResultTrue);
}

TEST_F (BundleProcessor, DefaultStateIsTheDocumented204Bytes)
{
	auto instance = createInstance ();
	ASSERT_NE (instance, nullptr);
	std::vector<uint8> state;
	ASSERT_EQ (instance->getState (state), kResultOk);
	ASSERT_EQ (state.size (), kStateSize);
	std::vector<uint8> expected (kStateSize, 0);
	const uint8 level[8] = {0, 0, 0, 0, 0, 0, 0xE8, 0x3F};
	const uint8 half[8] = {0, 0, 0, 0, 0, 0, 0xE0, 0x3F};
	std::memcpy (&expected[12], level, 8);
	for (int band = 0; band < 15; ++band)
		std::memcpy (&expected[20 + 8 * band], half, 8);
	EXPECT_EQ (state, expected);
	EXPECT_EQ (state, encodeState ({}));
}

TEST_F (BundleProcessor, StateRoundTripIsByteExact)
{
	auto instance = createInstance ();
	ASSERT_NE (instance, nullptr);
	StateValues values;
	values.bypass = 1;
	values.level = 0.123456789;
	for (int i = 0; i < 15; ++i)
		values.bands[static_cast<size_t> (i)] = i / 14.0;
	values.bands[3] = 1.5;   // out of range values are kept as they are
	values.bands[4] = -0.25;
	values.reserved = {1.0, -2.5, 3.25, 1e-300, 7.0, -0.0};
	values.reservedFlags = {1, 0, 1, 1};
	const auto bytes = encodeState (values);
	ASSERT_EQ (instance->setState (bytes), kResultOk);
	std::vector<uint8> saved;
	ASSERT_EQ (instance->getState (saved), kResultOk);
	EXPECT_EQ (saved, bytes);

	// The same after activation and a few blocks with no changes.
	std::string error;
	ASSERT_TRUE (instance->start (48000, 256, kSample32, error)) << error;
	std::vector<float> left (256, 0.1f), right (256, -0.1f), outL (256), outR (256);
	float* in[2] = {left.data (), right.data ()};
	float* out[2] = {outL.data (), outR.data ()};
	for (int i = 0; i < 4; ++i)
		ASSERT_EQ (instance->process32 (in, out, 2, 256), kResultOk);
	ASSERT_EQ (instance->getState (saved), kResultOk);
	EXPECT_EQ (saved, bytes);
}

TEST_F (BundleProcessor, StateIsReadLeniently)
{
	auto instance = createInstance ();
	ASSERT_NE (instance, nullptr);
	StateValues odd;
	odd.leadingWord = 7;
	odd.bypass = 2;
	odd.reservedFlags = {5, -1, 0, 1};
	std::vector<uint8> bytes = encodeState (odd);
	bytes.resize (300, 0xAB); // bytes after the state are not read
	ASSERT_EQ (instance->setState (bytes), kResultOk);
	std::vector<uint8> saved;
	ASSERT_EQ (instance->getState (saved), kResultOk);
	StateValues normalised = odd;
	normalised.leadingWord = 0;
	normalised.bypass = 1;
	normalised.reservedFlags = {1, 0, 0, 1};
	EXPECT_EQ (saved, encodeState (normalised));

	odd.bypass = -1;
	ASSERT_EQ (instance->setState (encodeState (odd)), kResultOk);
	ASSERT_EQ (instance->getState (saved), kResultOk);
	EXPECT_EQ (saved[8], 0);
}

TEST_F (BundleProcessor, ShortStateIsRefusedAndChangesNothing)
{
	auto instance = createInstance ();
	ASSERT_NE (instance, nullptr);
	StateValues values;
	values.level = 0.5;
	const auto good = encodeState (values);
	ASSERT_EQ (instance->setState (good), kResultOk);

	StateValues other;
	other.level = 1.0;
	other.bypass = 1;
	auto shortState = encodeState (other);
	shortState.pop_back ();
	EXPECT_EQ (instance->setState (shortState), kResultFalse);
	EXPECT_EQ (instance->setState ({}), kResultFalse);
	EXPECT_EQ (instance->getComponent ()->setState (nullptr), kResultFalse);
	std::vector<uint8> saved;
	ASSERT_EQ (instance->getState (saved), kResultOk);
	EXPECT_EQ (saved, good);
}

TEST_F (BundleProcessor, GetStateReportsAStreamThatRefusesWrites)
{
	auto instance = createInstance ();
	ASSERT_NE (instance, nullptr);
	auto readOnly = vsthost::MemoryStream::create (vsthost::MemoryStream::Mode::ReadOnly);
	EXPECT_EQ (instance->getComponent ()->getState (readOnly.get ()), kResultFalse);
	EXPECT_TRUE (readOnly->getData ().empty ());

	auto limited = vsthost::MemoryStream::create ();
	limited->setWriteLimit (100);
	EXPECT_EQ (instance->getComponent ()->getState (limited.get ()), kResultFalse);
	EXPECT_LE (limited->getData ().size (), 100u);
	EXPECT_EQ (limited->getRefusedWrites (), 1); // no write after the first refusal

	EXPECT_EQ (instance->getComponent ()->getState (nullptr), kResultFalse);
}

TEST_F (BundleProcessor, ParameterChangesReachTheState)
{
	auto instance = createInstance ();
	ASSERT_NE (instance, nullptr);
	std::string error;
	ASSERT_TRUE (instance->start (44100, 512, kSample32, error)) << error;

	// Several points: the last one counts. Unknown IDs are ignored.
	instance->queueParameterChange (kLevelId, 0.1, 0);
	instance->queueParameterChange (kLevelId, 0.2, 100);
	instance->queueParameterChange (kLevelId, 0.3, 200);
	instance->queueParameterChange (kFirstBandId + 5, 0.875);
	instance->queueParameterChange (17, 1.0);
	instance->queueParameterChange (kBypassId, 0.5); // exactly 0.5 is still off
	ASSERT_EQ (instance->flushParameters (), kResultOk);
	EXPECT_EQ (instance->getLastBlockChanges ().getParameterCount (), 4);

	StateValues expected;
	expected.level = 0.3;
	expected.bands[5] = 0.875;
	std::vector<uint8> saved;
	ASSERT_EQ (instance->getState (saved), kResultOk);
	EXPECT_EQ (saved, encodeState (expected));

	instance->queueParameterChange (kBypassId, 0.5000001);
	ASSERT_EQ (instance->flushParameters (), kResultOk);
	expected.bypass = 1;
	ASSERT_EQ (instance->getState (saved), kResultOk);
	EXPECT_EQ (saved, encodeState (expected));
}

TEST_F (BundleProcessor, ProcessingIdleBlocksDoesNotTouchHostMemory)
{
	// Zero-length blocks and blocks without buses are legal; the plug-in must not
	// write to the audio buffers it is given for them.
	auto instance = createInstance ();
	ASSERT_NE (instance, nullptr);
	std::string error;
	ASSERT_TRUE (instance->start (48000, 64, kSample64, error)) << error;
	std::vector<double> in0 (64, 0.5), in1 (64, 0.5), out0 (64, 7.0), out1 (64, 7.0);
	double* in[2] = {in0.data (), in1.data ()};
	double* out[2] = {out0.data (), out1.data ()};
	instance->queueParameterChange (kFirstBandId, 1.0);
	ASSERT_EQ (instance->process64 (in, out, 2, 0), kResultOk);
	for (double v : out0)
		ASSERT_EQ (v, 7.0);
	ASSERT_EQ (instance->flushParameters (), kResultOk);
	std::vector<uint8> saved;
	ASSERT_EQ (instance->getState (saved), kResultOk);
	StateValues expected;
	expected.bands[0] = 1.0;
	EXPECT_EQ (saved, encodeState (expected));
}

} // namespace
