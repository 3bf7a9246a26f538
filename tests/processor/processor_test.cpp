// PlugProcessor as the host drives it: buses, set-up, activation, blocks with
// parameter changes, silence, bypass and state.
#include "lyingstream.h"
#include "processorfixture.h"

#include <cmath>
#include <malloc.h>

using namespace PalvisTest;

namespace {

const double kLevelOneTarget = 3.9810717055349754; // level 1.0 (+12 dB)

// Level 1.0 and band 8 (1 kHz) at 0.75 (+6 dB), given to a processor through one block.
void shapeSound (PlugProcessor& p, StereoBlock<float>& block)
{
	ParameterChanges changes;
	changes.queue (kLevelId).add (0, 1.0);
	changes.queue (kBand0Id + 8).add (0, 0.75);
	block.data.inputParameterChanges = &changes;
	block.fillInput ();
	EXPECT_EQ (p.process (block.data), kResultOk);
	block.data.inputParameterChanges = nullptr;
}

// Two processors activated and shaped alike: one goes through a case, the other
// is the reference it must still match afterwards.
void shapeBoth (ProcessorHandle& a, ProcessorHandle& b, int32 sampleSize = kSample32)
{
	for (ProcessorHandle* p : {&a, &b})
	{
		activate (**p, 48000.0, 256, sampleSize);
		StereoBlock<float> block (64);
		shapeSound (**p, block);
	}
}

template <typename Sample>
std::vector<Sample> runBlock (PlugProcessor& p, int32 n, int32 offset, uint64 silenceFlags = 0)
{
	StereoBlock<Sample> block (n);
	block.fillInput (offset);
	block.in.silenceFlags = silenceFlags;
	EXPECT_EQ (p.process (block.data), kResultOk);
	std::vector<Sample> out (block.output (0), block.output (0) + n);
	out.insert (out.end (), block.output (1), block.output (1) + n);
	return out;
}

} // namespace

//------------------------------------------------------------------------
TEST (PlugProcessor, StartsWithControllerClassAndDefaultValues)
{
	ProcessorHandle p;
	TUID cid;
	ASSERT_EQ (p->getControllerClassId (cid), kResultTrue);
	EXPECT_EQ (std::memcmp (cid, PlugControllerUID.toTUID (), sizeof (TUID)), 0);
	EXPECT_TRUE (sameRecord (p->params, defaultState ()));
	EXPECT_EQ (p->workBufferLeft, nullptr);
	EXPECT_EQ (p->workBufferRight, nullptr);
}

TEST (PlugProcessor, InitializeDeclaresOneStereoMainBusEachWay)
{
	ProcessorHandle p;
	HostContext host;
	ASSERT_EQ (p->initialize (&host), kResultOk);

	const std::u16string names[2] = {u"AudioInput", u"AudioOutput"};
	for (BusDirection dir : {kInput, kOutput})
	{
		ASSERT_EQ (p->getBusCount (kAudio, dir), 1);
		BusInfo info {};
		ASSERT_EQ (p->getBusInfo (kAudio, dir, 0, info), kResultTrue);
		EXPECT_EQ (std::u16string (info.name), names[dir]);
		EXPECT_EQ (info.channelCount, 2);
		EXPECT_EQ (info.busType, kMain);
		EXPECT_EQ (info.flags, static_cast<uint32> (BusInfo::kDefaultActive));
		SpeakerArrangement arr = 0;
		EXPECT_EQ (p->getBusArrangement (dir, 0, arr), kResultTrue);
		EXPECT_EQ (arr, SpeakerArr::kStereo);
	}
	EXPECT_EQ (p->getBusCount (kEvent, kInput), 0);

	EXPECT_EQ (p->sampleRate, 44100.0);
	EXPECT_EQ (p->maxSamplesPerBlock, 0);
	EXPECT_EQ (p->filterType, 2);
	EXPECT_EQ (p->smoothingTimeMs, 50.0);
	EXPECT_EQ (p->smoothingCoefA, 0.0);
	EXPECT_EQ (p->smoothingCoefE, 0.0);
	const int16 table[15] = {25, 40, 63, 100, 160, 250, 400, 630, 1000, 1600, 2500, 4000, 6300, 10000, 16000};
	EXPECT_EQ (std::memcmp (p->bandFrequencies, table, sizeof (table)), 0);
	for (int k = 0; k < PlugProcessor::kNumFilters; ++k)
	{
		EXPECT_EQ (p->bandGainDb[k], 0.0);
		EXPECT_EQ (p->coefB0[k], 0.0);
		EXPECT_EQ (p->coefA2[k], 0.0);
		EXPECT_EQ (p->stateZ1[k], 0.0);
		EXPECT_EQ (p->stateZ2[k], 0.0);
	}

	// Held context: refused, and no bus is added twice.
	EXPECT_EQ (p->initialize (&host), kResultFalse);
	EXPECT_EQ (p->getBusCount (kAudio, kInput), 1);
	EXPECT_EQ (p->getBusCount (kAudio, kOutput), 1);

	// terminate removes the buses; initialize may run again.
	EXPECT_EQ (p->terminate (), kResultOk);
	EXPECT_EQ (p->getBusCount (kAudio, kInput), 0);
	ASSERT_EQ (p->initialize (&host), kResultOk);
	EXPECT_EQ (p->getBusCount (kAudio, kInput), 1);
	EXPECT_EQ (p->getBusCount (kAudio, kOutput), 1);
}

TEST (PlugProcessor, InitializedWithoutHostContextIsStillInitialized)
{
	auto busCounts = [] (PlugProcessor& p) {
		return std::make_pair (p.getBusCount (kAudio, kInput), p.getBusCount (kAudio, kOutput));
	};
	const auto one = std::make_pair (1, 1);
	ProcessorHandle p;
	HostContext host;
	ASSERT_EQ (p->initialize (nullptr), kResultOk);
	EXPECT_EQ (p->initialize (nullptr), kResultFalse);
	EXPECT_EQ (p->initialize (&host), kResultFalse);
	EXPECT_EQ (host.refs, 1u);
	EXPECT_EQ (busCounts (*p), one);

	// While active: refused, and nothing of the activation is undone.
	ASSERT_EQ (setup (*p, 96000.0, 128), kResultOk);
	ASSERT_EQ (p->setActive (true), kResultOk);
	EXPECT_EQ (p->initialize (nullptr), kResultFalse);
	EXPECT_EQ (busCounts (*p), one);
	EXPECT_EQ (p->sampleRate, 96000.0);
	EXPECT_NE (p->workBufferLeft, nullptr);
	EXPECT_EQ (p->setActive (false), kResultOk);

	// terminate, then initialize with or without a context: one bus each way again.
	for (FUnknown* context : {static_cast<FUnknown*> (nullptr), static_cast<FUnknown*> (&host), static_cast<FUnknown*> (nullptr)})
	{
		EXPECT_EQ (p->terminate (), kResultOk);
		EXPECT_EQ (busCounts (*p), std::make_pair (0, 0));
		ASSERT_EQ (p->initialize (context), kResultOk);
		EXPECT_EQ (p->initialize (nullptr), kResultFalse);
		EXPECT_EQ (busCounts (*p), one);
	}
	EXPECT_EQ (p->terminate (), kResultOk);
	EXPECT_EQ (host.refs, 1u);
}

TEST (PlugProcessor, AcceptsExactlyTwoSpeakersOnEachBus)
{
	ProcessorHandle p;
	ASSERT_EQ (p->initialize (nullptr), kResultOk);
	SpeakerArrangement mono = SpeakerArr::kMono, stereo = SpeakerArr::kStereo;

	EXPECT_EQ (p->setBusArrangements (&mono, 1, &stereo, 1), kResultFalse);
	EXPECT_EQ (p->setBusArrangements (&stereo, 1, &mono, 1), kResultFalse);
	SpeakerArrangement arr = 0;
	p->getBusArrangement (kInput, 0, arr);
	EXPECT_EQ (arr, SpeakerArr::kStereo);

	// Any two speakers, whichever they are.
	SpeakerArrangement odd1 = (uint64 (1) << 2) | (uint64 (1) << 19);
	SpeakerArrangement odd2 = (uint64 (1) << 5) | (uint64 (1) << 63);
	EXPECT_EQ (p->setBusArrangements (&odd1, 1, &odd2, 1), kResultTrue);
	p->getBusArrangement (kInput, 0, arr);
	EXPECT_EQ (arr, odd1);
	p->getBusArrangement (kOutput, 0, arr);
	EXPECT_EQ (arr, odd2);

	SpeakerArrangement three = 0x7, empty = 0;
	EXPECT_EQ (p->setBusArrangements (&three, 1, &stereo, 1), kResultFalse);
	EXPECT_EQ (p->setBusArrangements (&stereo, 1, &empty, 1), kResultFalse);
	p->getBusArrangement (kOutput, 0, arr);
	EXPECT_EQ (arr, odd2);

	// Only the first arrangement is examined; more than one bus's worth is the base's refusal.
	SpeakerArrangement two[2] = {stereo, mono};
	EXPECT_EQ (p->setBusArrangements (two, 2, &stereo, 1), kResultFalse);
	EXPECT_EQ (p->setBusArrangements (nullptr, 0, nullptr, 0), kResultTrue);
	EXPECT_EQ (p->setBusArrangements (&stereo, -1, &stereo, 1), kInvalidArgument);
	EXPECT_EQ (p->setBusArrangements (nullptr, 1, &stereo, 1), kInvalidArgument);
}

TEST (PlugProcessor, ProcessesBothSampleSizes)
{
	ProcessorHandle p;
	EXPECT_EQ (p->canProcessSampleSize (kSample32), kResultTrue);
	EXPECT_EQ (p->canProcessSampleSize (kSample64), kResultTrue);
	EXPECT_EQ (p->canProcessSampleSize (2), kResultFalse);
	EXPECT_EQ (p->canProcessSampleSize (-1), kResultFalse);
}

TEST (PlugProcessor, RefusedSetupStillTakesRateAndBlockSize)
{
	ProcessorHandle p;
	ASSERT_EQ (p->initialize (nullptr), kResultOk);
	ASSERT_EQ (setup (*p, 44100.0, 512, kSample64), kResultOk);
	EXPECT_EQ (p->processSetup.symbolicSampleSize, kSample64);

	EXPECT_EQ (setup (*p, 96000.0, 77, 2), kResultFalse);
	EXPECT_EQ (p->sampleRate, 96000.0);
	EXPECT_EQ (p->maxSamplesPerBlock, 77);
	EXPECT_EQ (p->processSetup.sampleRate, 96000.0);
	EXPECT_EQ (p->processSetup.maxSamplesPerBlock, 77);
	EXPECT_EQ (p->processSetup.symbolicSampleSize, kSample64);
}

TEST (PlugProcessor, ActivationDerivesTheSmootherAndDesignsForTheSetRate)
{
	ProcessorHandle p;
	ASSERT_EQ (p->initialize (nullptr), kResultOk);
	ParamState s = defaultState ();
	s.bands[3] = 0.75; // 100 Hz, +6 dB
	s.bands[14] = 0.25; // 16 kHz, -6 dB
	s.level = 0.6;
	ASSERT_EQ (loadState (*p, s), kResultOk);
	ASSERT_EQ (setup (*p, 48000.0, 128), kResultOk);
	ASSERT_EQ (p->setActive (true), kResultOk);

	EXPECT_EQ (p->smoothingCoefE, 0.9990837533438759);
	EXPECT_EQ (p->smoothingCoefA, 1.0 - 0.9990837533438759);
	EXPECT_EQ (p->smoothedLevel, (1.0 - p->smoothingCoefA) * p->levelTarget / p->smoothingCoefE);
	EXPECT_NEAR (p->smoothedLevel, p->levelTarget, 1e-15);

	// The same designs as a direct design at 48000 Hz.
	ProcessorHandle q;
	ASSERT_EQ (q->initialize (nullptr), kResultOk);
	for (int band : {3, 14})
	{
		const double f0 = p->bandFrequencies[band];
		for (int k : {band, band + 15})
		{
			q->designBandFilter (k, 2, p->bandFrequencies[band], p->bandGainDb[band], f0 * 0.4662205239, 48000.0);
			EXPECT_EQ (p->coefB0[k], q->coefB0[k]) << k;
			EXPECT_EQ (p->coefB1[k], q->coefB1[k]) << k;
			EXPECT_EQ (p->coefB2[k], q->coefB2[k]) << k;
			EXPECT_EQ (p->coefA1[k], q->coefA1[k]) << k;
			EXPECT_EQ (p->coefA2[k], q->coefA2[k]) << k;
		}
	}
	EXPECT_EQ (p->bandGainDb[3], 6.0);
	EXPECT_EQ (p->bandGainDb[18], 6.0);
	EXPECT_EQ (p->bandGainDb[14], -6.0);
	EXPECT_NE (p->workBufferLeft, nullptr);
	EXPECT_NE (p->workBufferRight, nullptr);
}

TEST (PlugProcessor, BetweenSetupAndActivationOnlySetStateRedesigns)
{
	ProcessorHandle p;
	ASSERT_EQ (p->initialize (nullptr), kResultOk);
	ParamState s = defaultState ();
	s.bands[8] = 0.875; // 1 kHz, +9 dB
	ASSERT_EQ (loadState (*p, s), kResultOk);
	const double b0At44 = p->coefB0[8];
	ASSERT_NE (b0At44, 0.0);

	ASSERT_EQ (setup (*p, 48000.0, 64), kResultOk);
	EXPECT_EQ (p->coefB0[8], b0At44);

	ASSERT_EQ (loadState (*p, s), kResultOk);
	ProcessorHandle q;
	ASSERT_EQ (q->initialize (nullptr), kResultOk);
	q->designBandFilter (8, 2, 1000, 9.0, 1000 * 0.4662205239, 48000.0);
	EXPECT_EQ (p->coefB0[8], q->coefB0[8]);
	EXPECT_NE (p->coefB0[8], b0At44);
}

TEST (PlugProcessor, ActivatingTwiceStartsOverWithoutLosingBuffers)
{
	ProcessorHandle p;
	activate (*p, 48000.0, 64);
	StereoBlock<float> block (64);
	shapeSound (*p, block); // level ramps toward +12 dB, 1 kHz band runs
	EXPECT_NE (p->smoothedLevel, p->levelTarget);
	EXPECT_NE (p->stateZ1[8], 0.0);

	ASSERT_EQ (setup (*p, 48000.0, 4096), kResultOk);
	ASSERT_EQ (p->setActive (true), kResultOk);
	ASSERT_NE (p->workBufferLeft, nullptr);
	ASSERT_NE (p->workBufferRight, nullptr);
	EXPECT_GE (malloc_usable_size (p->workBufferLeft), 4096 * sizeof (double));
	EXPECT_GE (malloc_usable_size (p->workBufferRight), 4096 * sizeof (double));
	EXPECT_EQ (p->levelTarget, kLevelOneTarget);
	EXPECT_EQ (p->smoothedLevel, (1.0 - p->smoothingCoefA) * p->levelTarget / p->smoothingCoefE);
	for (int k = 0; k < PlugProcessor::kNumFilters; ++k)
	{
		EXPECT_EQ (p->stateZ1[k], 0.0);
		EXPECT_EQ (p->stateZ2[k], 0.0);
	}
}

TEST (PlugProcessor, DeactivationFreesTheBuffersOnly)
{
	ProcessorHandle p;
	ASSERT_EQ (p->initialize (nullptr), kResultOk);
	EXPECT_EQ (p->setActive (false), kResultOk); // never activated
	EXPECT_EQ (p->workBufferLeft, nullptr);

	ASSERT_EQ (setup (*p, 48000.0, 64), kResultOk);
	ASSERT_EQ (p->setActive (true), kResultOk);
	StereoBlock<float> block (64);
	shapeSound (*p, block);
	const double z1 = p->stateZ1[8], smoothed = p->smoothedLevel, b0 = p->coefB0[8];
	EXPECT_EQ (p->setActive (false), kResultOk);
	EXPECT_EQ (p->workBufferLeft, nullptr);
	EXPECT_EQ (p->workBufferRight, nullptr);
	EXPECT_EQ (p->stateZ1[8], z1);
	EXPECT_EQ (p->smoothedLevel, smoothed);
	EXPECT_EQ (p->coefB0[8], b0);
}

//------------------------------------------------------------------------
TEST (PlugProcessorChanges, OnlyTheLastPointOfAQueueCounts)
{
	ProcessorHandle p;
	activate (*p);
	StereoBlock<float> block (32);
	block.fillInput ();
	ParameterChanges changes;
	auto& level = changes.queue (kLevelId).add (0, 0.1).add (10, 0.2).add (31, 0.9);
	block.data.inputParameterChanges = &changes;
	ASSERT_EQ (p->process (block.data), kResultOk);
	EXPECT_EQ (p->params.level, 0.9);
	EXPECT_EQ (level.getPointCalls (), 1);
	EXPECT_EQ (level.lastPointAsked (), 2);
}

TEST (PlugProcessorChanges, EveryIdReachesItsValue)
{
	ProcessorHandle p;
	activate (*p);
	StereoBlock<double> block (16);
	ParameterChanges changes;
	changes.queue (kBypassId).add (0, 1.0);
	changes.queue (kLevelId).add (0, 1.7); // stored as it comes, not clamped
	for (int band = 0; band < kNumBands; ++band)
		changes.queue (kBand0Id + band).add (5, 0.01 * band - 0.02);
	block.data.inputParameterChanges = &changes;
	ASSERT_EQ (p->process (block.data), kResultOk);
	EXPECT_TRUE (p->params.bypass);
	EXPECT_EQ (p->params.level, 1.7);
	for (int band = 0; band < kNumBands; ++band)
		EXPECT_EQ (p->params.bands[band], 0.01 * band - 0.02) << band;
}

TEST (PlugProcessorChanges, BypassNeedsMoreThanHalf)
{
	ProcessorHandle p;
	activate (*p);
	StereoBlock<float> block (8);
	ParameterChanges changes;
	changes.queue (kBypassId).add (0, 0.5);
	block.data.inputParameterChanges = &changes;
	ASSERT_EQ (p->process (block.data), kResultOk);
	EXPECT_FALSE (p->params.bypass);

	changes.clear ();
	changes.queue (kBypassId).add (0, std::nextafter (0.5, 1.0));
	ASSERT_EQ (p->process (block.data), kResultOk);
	EXPECT_TRUE (p->params.bypass);
}

TEST (PlugProcessorChanges, IgnoredQueuesStillRedesign)
{
	ProcessorHandle p;
	activate (*p);
	StereoBlock<float> block (8);
	const ParamState before = p->params;

	// Changed behind the processor's back; only a redesign brings the target along.
	p->params.level = 1.0;
	ParameterChanges changes;
	changes.queue (17).add (0, 0.0);
	block.data.inputParameterChanges = &changes;
	ASSERT_EQ (p->process (block.data), kResultOk);
	EXPECT_EQ (p->levelTarget, kLevelOneTarget);
	ParamState expected = before;
	expected.level = 1.0;
	EXPECT_TRUE (sameRecord (p->params, expected));

	// A queue whose last point cannot be read: nothing stored, still a redesign.
	p->params.level = 0.0;
	changes.clear ();
	auto& failing = changes.queue (kBand0Id).add (0, 0.9);
	failing.setFailGetPoint (true);
	ASSERT_EQ (p->process (block.data), kResultOk);
	EXPECT_EQ (p->params.bands[0], 0.5);
	EXPECT_EQ (p->levelTarget, 0.015848931924611134);

	// An empty queue for a known ID: no value, still a redesign.
	p->params.level = 1.0;
	changes.clear ();
	changes.queue (kLevelId);
	ASSERT_EQ (p->process (block.data), kResultOk);
	EXPECT_EQ (p->levelTarget, kLevelOneTarget);
}

TEST (PlugProcessorChanges, NoQueueNoRedesign)
{
	ProcessorHandle p;
	activate (*p);
	StereoBlock<float> block (8);
	const double target = p->levelTarget;
	p->params.level = 1.0;

	ParameterChanges changes;
	changes.addNullQueue ();
	block.data.inputParameterChanges = &changes;
	ASSERT_EQ (p->process (block.data), kResultOk);
	EXPECT_EQ (p->levelTarget, target);

	ParameterChanges none;
	block.data.inputParameterChanges = &none;
	ASSERT_EQ (p->process (block.data), kResultOk);
	block.data.inputParameterChanges = nullptr;
	ASSERT_EQ (p->process (block.data), kResultOk);
	EXPECT_EQ (p->levelTarget, target);
}

TEST (PlugProcessorChanges, TakenWithoutBusesOrSamplesAndNoBufferTouched)
{
	struct Case
	{
		int32 numInputs, numOutputs, numSamples;
	};
	for (Case c : {Case {0, 1, 16}, Case {1, 0, 16}, Case {1, 1, 0}, Case {0, 0, 0}})
	{
		ProcessorHandle p;
		activate (*p);
		StereoBlock<float> block (16);
		block.fillInput ();
		block.fillOutput (7.0f);
		block.out.silenceFlags = 0xABCD;
		block.data.numInputs = c.numInputs;
		block.data.numOutputs = c.numOutputs;
		block.data.numSamples = c.numSamples;
		ParameterChanges changes;
		changes.queue (kLevelId).add (0, 1.0);
		block.data.inputParameterChanges = &changes;
		ASSERT_EQ (p->process (block.data), kResultOk);
		EXPECT_EQ (p->params.level, 1.0);
		EXPECT_EQ (p->levelTarget, kLevelOneTarget);
		EXPECT_EQ (block.out.silenceFlags, 0xABCDu);
		for (int ch = 0; ch < 2; ++ch)
			for (int j = 0; j < 16; ++j)
				ASSERT_EQ (block.output (ch)[j], 7.0f);
	}
}

//------------------------------------------------------------------------
TEST (PlugProcessorSilence, SilentInputGivesZerosAndStopsTheFilters)
{
	for (uint64 flags : {uint64 (3), ~uint64 (0)})
	{
		ProcessorHandle a, b;
		shapeBoth (a, b);

		StereoBlock<float> silent (64);
		silent.fillOutput (0.5f);
		silent.in.silenceFlags = flags;
		ASSERT_EQ (a->process (silent.data), kResultOk);
		EXPECT_EQ (silent.out.silenceFlags, flags);
		for (int ch = 0; ch < 2; ++ch)
			for (int j = 0; j < 64; ++j)
				ASSERT_EQ (silent.output (ch)[j], 0.0f);

		// The next block continues from where the last processed one left off.
		EXPECT_EQ (runBlock<float> (*a, 64, 64), runBlock<float> (*b, 64, 64));
	}
}

TEST (PlugProcessorSilence, InPlaceSilentInputOnlyGetsTheFlags)
{
	ProcessorHandle p;
	activate (*p);
	StereoBlock<double> block (32, true);
	block.fillInput ();
	const std::vector<double> left (block.input (0), block.input (0) + 32);
	block.in.silenceFlags = 3;
	ASSERT_EQ (p->process (block.data), kResultOk);
	EXPECT_EQ (block.out.silenceFlags, 3u);
	EXPECT_TRUE (sameBits (block.output (0), left.data (), 32));
}

TEST (PlugProcessorSilence, PartlySilentInputIsFiltered)
{
	ProcessorHandle a, b;
	shapeBoth (a, b);
	// The host flags the right channel only; the left one carries sound.
	StereoBlock<float> flagged (64), plain (64);
	flagged.fillInput ();
	plain.fillInput ();
	for (int j = 0; j < 64; ++j)
		flagged.input (1)[j] = plain.input (1)[j] = 0.0f;
	flagged.in.silenceFlags = 2;
	ASSERT_EQ (a->process (flagged.data), kResultOk);
	ASSERT_EQ (b->process (plain.data), kResultOk);
	EXPECT_EQ (flagged.out.silenceFlags, 0u);
	EXPECT_TRUE (sameBits (flagged.output (0), plain.output (0), 64));
	EXPECT_TRUE (sameBits (flagged.output (1), plain.output (1), 64));
	EXPECT_NE (flagged.output (0)[10], 0.0f);
}

//------------------------------------------------------------------------
template <typename Sample>
void checkBypass ()
{
	ProcessorHandle a, b;
	shapeBoth (a, b, sizeof (Sample) == 8 ? kSample64 : kSample32);

	StereoBlock<Sample> block (100);
	block.fillInput (3);
	block.out.silenceFlags = 3;
	ParameterChanges on;
	on.queue (kBypassId).add (0, 1.0);
	block.data.inputParameterChanges = &on;
	ASSERT_EQ (a->process (block.data), kResultOk);
	EXPECT_EQ (block.out.silenceFlags, 0u);
	EXPECT_TRUE (sameBits (block.output (0), block.input (0), 100));
	EXPECT_TRUE (sameBits (block.output (1), block.input (1), 100));
	EXPECT_TRUE (block.guardsIntact ());

	// In place: the audio is left as it is.
	StereoBlock<Sample> inPlace (100, true);
	inPlace.fillInput (5);
	const std::vector<Sample> right (inPlace.input (1), inPlace.input (1) + 100);
	ASSERT_EQ (a->process (inPlace.data), kResultOk);
	EXPECT_TRUE (sameBits (inPlace.output (1), right.data (), 100));

	// Bypass off again: the filters and the smoother resume where they stood.
	StereoBlock<Sample> after (64), reference (64);
	after.fillInput (64);
	reference.fillInput (64);
	ParameterChanges off;
	off.queue (kBypassId).add (0, 0.0);
	after.data.inputParameterChanges = &off;
	ASSERT_EQ (a->process (after.data), kResultOk);
	ASSERT_EQ (b->process (reference.data), kResultOk);
	EXPECT_TRUE (sameBits (after.output (0), reference.output (0), 64));
	EXPECT_TRUE (sameBits (after.output (1), reference.output (1), 64));
}

TEST (PlugProcessorBypass, CopiesBitForBitIn32Bit) { checkBypass<float> (); }
TEST (PlugProcessorBypass, CopiesBitForBitIn64Bit) { checkBypass<double> (); }

//------------------------------------------------------------------------
TEST (PlugProcessorAudio, FlatSettingPassesThirtyTwoBitInputUnchanged)
{
	ProcessorHandle p;
	activate (*p, 44100.0, 128);
	StereoBlock<float> block (128);
	block.fillInput ();
	ASSERT_EQ (p->process (block.data), kResultOk);
	EXPECT_TRUE (sameBits (block.output (0), block.input (0), 128));
	EXPECT_TRUE (sameBits (block.output (1), block.input (1), 128));
	EXPECT_EQ (block.out.silenceFlags, 0u);
}

TEST (PlugProcessorAudio, BoostedBandLiftsItsCentreByTwelveDecibels)
{
	ProcessorHandle p;
	activate (*p, 48000.0, 480, kSample64);
	ParamState s = defaultState ();
	s.bands[8] = 1.0; // 1 kHz, +12 dB
	ASSERT_EQ (loadState (*p, s), kResultOk);

	StereoBlock<double> block (480);
	double peak = 0.0;
	for (int b = 0; b < 40; ++b)
	{
		for (int j = 0; j < 480; ++j)
		{
			const double t = (b * 480 + j) / 48000.0;
			block.input (0)[j] = block.input (1)[j] = 0.1 * std::sin (6.283185307179586 * 1000.0 * t);
		}
		ASSERT_EQ (p->process (block.data), kResultOk);
		if (b >= 30)
			for (int j = 0; j < 480; ++j)
				peak = std::max (peak, std::fabs (block.output (1)[j]));
	}
	EXPECT_NEAR (peak / 0.1, 3.9810717055349722, 0.01);
}

TEST (PlugProcessorAudio, InPlaceBuffersGiveTheSameResult)
{
	ProcessorHandle a, b;
	activate (*a);
	activate (*b);
	StereoBlock<float> shapeA (64), shapeB (64, true);
	shapeSound (*a, shapeA);
	shapeSound (*b, shapeB);
	EXPECT_TRUE (sameBits (shapeA.output (0), shapeB.output (0), 64));
	EXPECT_TRUE (sameBits (shapeA.output (1), shapeB.output (1), 64));
}

//------------------------------------------------------------------------
TEST (PlugProcessorState, InactiveSetStateAppliesAndRedesignsAtOnce)
{
	ProcessorHandle p;
	ASSERT_EQ (p->initialize (nullptr), kResultOk);
	ParamState s = defaultState ();
	s.bands[0] = 0.0; // -12 dB
	s.level = 1.0;
	s.reserved[2] = 4.5;
	s.reservedFlags[1] = true;
	ASSERT_EQ (loadState (*p, s), kResultOk);
	EXPECT_TRUE (sameRecord (p->params, s));
	EXPECT_EQ (p->bandGainDb[0], -12.0);
	EXPECT_EQ (p->bandGainDb[15], -12.0);
	EXPECT_NE (p->coefB0[0], 0.0);
	EXPECT_EQ (p->levelTarget, kLevelOneTarget);
	EXPECT_EQ (stateOf (*p), streamBytes (s));
}

TEST (PlugProcessorState, TruncatedStateChangesNothingAudible)
{
	ProcessorHandle a, b;
	shapeBoth (a, b);
	const auto before = stateOf (*a);

	auto bytes = streamBytes (defaultState ());
	bytes.resize (203);
	MemoryStream truncated (bytes);
	EXPECT_EQ (a->setState (&truncated), kResultFalse);
	EXPECT_EQ (a->setState (nullptr), kResultFalse);
	EXPECT_EQ (stateOf (*a), before);
	EXPECT_EQ (runBlock<float> (*a, 64, 64), runBlock<float> (*b, 64, 64));

	ASSERT_EQ (a->setActive (false), kResultOk);
	MemoryStream again (bytes);
	EXPECT_EQ (a->setState (&again), kResultFalse);
	EXPECT_EQ (stateOf (*a), before);
}

TEST (PlugProcessorState, GetStateReportsStreamsThatCannotTakeIt)
{
	ProcessorHandle p;
	EXPECT_EQ (p->getState (nullptr), kResultFalse);
	MemoryStream refusing;
	refusing.setMode (MemoryStream::Mode::kRefuseWrites);
	EXPECT_EQ (p->getState (&refusing), kResultFalse);
	activate (*p);
	MemoryStream limited;
	limited.setWriteLimit (203);
	EXPECT_EQ (p->getState (&limited), kResultFalse);
	EXPECT_EQ (p->getState (nullptr), kResultFalse);
}

// The state is 28 values, one read each: 0 the leading word, 1 bypass, 2 level,
// 3 to 17 the bands, 18 to 23 the reserved values, 24 to 27 the reserved flags.
TEST (PlugProcessorState, StreamsThatMisreportTheirCounts)
{
	ParamState s = defaultState ();
	s.level = 0.3;
	s.bands[14] = 0.9;
	s.reserved[5] = 2.5;
	s.reservedFlags[3] = true;
	const auto bytes = streamBytes (s);
	enum Lie { kMoreThanAsked, kNegative, kOneShort };
	for (bool active : {false, true})
	{
		SCOPED_TRACE (active ? "active" : "inactive");
		ProcessorHandle p;
		if (active)
			activate (*p);
		else
			ASSERT_EQ (p->initialize (nullptr), kResultOk);
		const auto before = stateOf (*p);

		// A count that is not the value's size, at any of the values: refused, nothing taken.
		for (int32 call = 0; call < 28; ++call)
			for (Lie lie : {kMoreThanAsked, kNegative, kOneShort})
			{
				LyingStream in (bytes, [call, lie] (int32 n, int32 asked, int32 available) {
					if (n != call)
						return LyingStream::honest (n, asked, available);
					return lie == kMoreThanAsked ? LyingStream::Call {asked, asked + 1}
					       : lie == kNegative    ? LyingStream::Call {asked, -1}
					                             : LyingStream::Call {asked, asked - 1};
				});
				EXPECT_EQ (p->setState (&in), kResultFalse) << "value " << call << ", lie " << lie;
			}
		EXPECT_EQ (stateOf (*p), before);

		// Band 14, reserved value 5 and reserved flag 3 counted but never written:
		// taken as zeros, not as whatever the memory held.
		LyingStream in (bytes, [] (int32 n, int32 asked, int32 available) {
			return n == 17 || n == 23 || n == 27 ? LyingStream::Call {0, asked}
			                                     : LyingStream::honest (n, asked, available);
		});
		PalvisTest::paintStack ();
		ASSERT_EQ (p->setState (&in), kResultOk);
		ParamState expected = s;
		expected.bands[14] = 0.0;
		expected.reserved[5] = 0.0;
		expected.reservedFlags[3] = false;
		EXPECT_EQ (stateOf (*p), streamBytes (expected));

		// The writer: a count beyond the request fails getState.
		LyingStream out ({}, [] (int32 n, int32 asked, int32) { return LyingStream::Call {asked, n == 5 ? asked + 1 : asked}; });
		EXPECT_EQ (p->getState (&out), kResultFalse);
		EXPECT_EQ (out.bytes ().size (), 8u + 4u + 8u * 4u);
	}
}

TEST (PlugProcessorState, StateSetWhileActiveIsReportedAtOnceAndPlayedByTheNextBlock)
{
	ProcessorHandle p;
	activate (*p);
	ParamState s = defaultState ();
	s.bypass = true;
	s.bands[4] = 0.9;
	s.reserved[5] = -3.0;
	ASSERT_EQ (loadState (*p, s), kResultOk);
	EXPECT_EQ (stateOf (*p), streamBytes (s));

	StereoBlock<float> block (64);
	block.fillInput ();
	ASSERT_EQ (p->process (block.data), kResultOk);
	EXPECT_TRUE (sameRecord (p->params, s));
	EXPECT_TRUE (sameBits (block.output (0), block.input (0), 64)); // bypassed
	EXPECT_EQ (p->bandGainDb[4], 0.9 * 24 - 12);
	EXPECT_EQ (stateOf (*p), streamBytes (s));

	// Changes of later blocks show in the state.
	ParameterChanges changes;
	changes.queue (kBand0Id + 4).add (0, 0.25);
	block.data.inputParameterChanges = &changes;
	ASSERT_EQ (p->process (block.data), kResultOk);
	ParamState expected = s;
	expected.bands[4] = 0.25;
	EXPECT_EQ (stateOf (*p), streamBytes (expected));

	// A second state replaces the first even before any block has run.
	ParamState t = defaultState ();
	t.level = 0.125;
	ASSERT_EQ (loadState (*p, s), kResultOk);
	ASSERT_EQ (loadState (*p, t), kResultOk);
	EXPECT_EQ (stateOf (*p), streamBytes (t));
	block.data.inputParameterChanges = nullptr;
	ASSERT_EQ (p->process (block.data), kResultOk);
	EXPECT_TRUE (sameRecord (p->params, t));
}

TEST (PlugProcessorState, StatePendingAtDeactivationIsKept)
{
	ProcessorHandle p;
	activate (*p);
	ParamState s = defaultState ();
	s.bands[12] = 0.0;
	ASSERT_EQ (loadState (*p, s), kResultOk);
	ASSERT_EQ (p->setActive (false), kResultOk); // no block ran in between
	EXPECT_TRUE (sameRecord (p->params, s));
	EXPECT_EQ (p->bandGainDb[12], -12.0);
	EXPECT_EQ (stateOf (*p), streamBytes (s));

	// And a state from an earlier activation is not played again by the next one.
	ASSERT_EQ (p->setActive (true), kResultOk);
	StereoBlock<float> block (16);
	ParameterChanges changes;
	changes.queue (kBand0Id + 12).add (0, 0.5);
	block.data.inputParameterChanges = &changes;
	ASSERT_EQ (p->process (block.data), kResultOk);
	block.data.inputParameterChanges = nullptr;
	ASSERT_EQ (p->process (block.data), kResultOk);
	EXPECT_EQ (p->params.bands[12], 0.5);
}
