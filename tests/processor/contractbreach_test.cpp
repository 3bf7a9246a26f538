// Hosts that break the processing contract: longer blocks than promised,
// process while inactive, odd buses, impossible block sizes. Never a crash,
// never a write out of bounds.
#include "processorfixture.h"

#include <climits>
#include <limits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

using namespace PalvisTest;


namespace {

void shape (PlugProcessor& p, ProcessData& data)
{
	ParameterChanges changes;
	changes.queue (kLevelId).add (0, 0.2);
	changes.queue (kBand0Id + 2).add (0, 1.0);
	changes.queue (kBand0Id + 13).add (0, 0.1);
	data.inputParameterChanges = &changes;
	EXPECT_EQ (p.process (data), kResultOk);
	data.inputParameterChanges = nullptr;
}

template <typename Sample>
void checkLongBlock (EqPath path)
{
	const int32 sampleSize = sizeof (Sample) == 8 ? kSample64 : kSample32;
	ProcessorHandle small, large;
	activate (*small, 48000.0, 16, sampleSize);
	activate (*large, 48000.0, 1000, sampleSize);
	small->eqPath = path;
	large->eqPath = path;
	for (int round = 0; round < 3; ++round)
	{
		StereoBlock<Sample> a (1000), b (1000);
		a.fillInput (round * 1000);
		b.fillInput (round * 1000);
		if (round == 0)
		{
			shape (*small, a.data);
			shape (*large, b.data);
		}
		else
		{
			ASSERT_EQ (small->process (a.data), kResultOk);
			ASSERT_EQ (large->process (b.data), kResultOk);
		}
		EXPECT_TRUE (a.guardsIntact ());
		EXPECT_TRUE (sameBits (a.output (0), b.output (0), 1000)) << round;
		EXPECT_TRUE (sameBits (a.output (1), b.output (1), 1000)) << round;
	}
}

bool allZero (const float* p, int n)
{
	for (int i = 0; i < n; ++i)
		if (p[i] != 0.0f)
			return false;
	return true;
}

} // namespace

TEST (ContractBreach, LongerBlockThanPromisedRunsInPiecesWithTheSameSound)
{
	for (EqPath path : {EqPath::kReference, EqPath::kAutomatic})
	{
		checkLongBlock<float> (path);
		checkLongBlock<double> (path);
	}
}

TEST (ContractBreach, ProcessWhileInactiveGivesSilenceAndKeepsTheValues)
{
	ProcessorHandle p;
	ASSERT_EQ (p->initialize (nullptr), kResultOk);
	ASSERT_EQ (setup (*p, 48000.0, 64), kResultOk);
	const auto before = stateOf (*p);

	for (int pass = 0; pass < 2; ++pass) // never activated, then deactivated
	{
		StereoBlock<float> block (64);
		block.fillInput ();
		block.fillOutput (3.0f);
		ParameterChanges changes;
		changes.queue (kLevelId).add (0, 0.0);
		block.data.inputParameterChanges = &changes;
		ASSERT_EQ (p->process (block.data), kResultOk);
		EXPECT_TRUE (allZero (block.output (0), 64));
		EXPECT_TRUE (allZero (block.output (1), 64));
		EXPECT_EQ (block.out.silenceFlags, 3u);
		EXPECT_TRUE (block.guardsIntact ());
		EXPECT_EQ (stateOf (*p), before);

		// Nothing to write to: nothing happens.
		block.data.outputs = nullptr;
		EXPECT_EQ (p->process (block.data), kResultOk);
		block.data.outputs = &block.out;
		block.out.channelBuffers32 = nullptr;
		EXPECT_EQ (p->process (block.data), kResultOk);

		ASSERT_EQ (p->setActive (true), kResultOk);
		ASSERT_EQ (p->setActive (false), kResultOk);
	}
}

TEST (ContractBreach, BusesWithoutTwoUsableChannelsGiveSilence)
{
	ProcessorHandle p;
	activate (*p, 48000.0, 64);

	// Mono buses: the stereo filters cannot run.
	{
		std::vector<float> in (64, 0.5f), out (64, 9.0f);
		float* inPtrs[1] = {in.data ()};
		float* outPtrs[1] = {out.data ()};
		AudioBusBuffers inBus, outBus;
		inBus.numChannels = outBus.numChannels = 1;
		inBus.channelBuffers32 = inPtrs;
		outBus.channelBuffers32 = outPtrs;
		ProcessData data;
		data.numSamples = 64;
		data.numInputs = data.numOutputs = 1;
		data.inputs = &inBus;
		data.outputs = &outBus;
		ASSERT_EQ (p->process (data), kResultOk);
		EXPECT_TRUE (allZero (out.data (), 64));
		EXPECT_EQ (outBus.silenceFlags, 1u);

		// Silent input on a stereo input bus with a one-channel output bus:
		// only the output channel that exists is touched.
		std::vector<float> in2 (64, 0.0f);
		float* stereoIn[2] = {in.data (), in2.data ()};
		inBus.numChannels = 2;
		inBus.channelBuffers32 = stereoIn;
		inBus.silenceFlags = 3;
		std::fill (out.begin (), out.end (), 9.0f);
		ASSERT_EQ (p->process (data), kResultOk);
		EXPECT_TRUE (allZero (out.data (), 64));
		EXPECT_EQ (outBus.silenceFlags, 3u);

		// Bypass copies the channels both buses have.
		inBus.silenceFlags = 0;
		std::fill (out.begin (), out.end (), 9.0f);
		ParameterChanges bypass;
		bypass.queue (kBypassId).add (0, 1.0);
		data.inputParameterChanges = &bypass;
		ASSERT_EQ (p->process (data), kResultOk);
		EXPECT_EQ (out, in);
		bypass.clear ();
		bypass.queue (kBypassId).add (0, 0.0);
		ASSERT_EQ (p->process (data), kResultOk);
		data.inputParameterChanges = nullptr;
	}

	// Stereo bus with a missing channel buffer, and buses without channel arrays.
	{
		StereoBlock<float> block (64);
		block.fillInput ();
		block.fillOutput (9.0f);
		block.inPtrs[1] = nullptr;
		ASSERT_EQ (p->process (block.data), kResultOk);
		EXPECT_TRUE (allZero (block.output (0), 64));
		EXPECT_TRUE (allZero (block.output (1), 64));

		block.fillOutput (9.0f);
		block.inPtrs[1] = block.inBuf[1].data ();
		block.outPtrs[0] = nullptr;
		ASSERT_EQ (p->process (block.data), kResultOk);
		EXPECT_TRUE (allZero (block.output (1), 64));

		block.wire ();
		block.fillOutput (9.0f);
		block.in.channelBuffers32 = nullptr;
		ASSERT_EQ (p->process (block.data), kResultOk);
		EXPECT_TRUE (allZero (block.output (0), 64));

		block.wire ();
		block.out.channelBuffers32 = nullptr;
		EXPECT_EQ (p->process (block.data), kResultOk);

		block.wire ();
		block.in.numChannels = -5;
		block.fillOutput (9.0f);
		EXPECT_EQ (p->process (block.data), kResultOk);
		EXPECT_TRUE (allZero (block.output (0), 64));
		EXPECT_TRUE (block.guardsIntact ());
	}
}

TEST (ContractBreach, BusArraysMissingBehindTheirCounts)
{
	ProcessorHandle p;
	activate (*p, 48000.0, 64);
	StereoBlock<float> block (64);
	block.fillInput ();
	block.fillOutput (9.0f);

	block.data.inputs = nullptr; // one input announced, none given
	ASSERT_EQ (p->process (block.data), kResultOk);
	EXPECT_TRUE (allZero (block.output (0), 64));
	EXPECT_TRUE (allZero (block.output (1), 64));

	block.data.inputs = &block.in;
	block.data.outputs = nullptr;
	EXPECT_EQ (p->process (block.data), kResultOk);

	block.data.inputs = nullptr;
	EXPECT_EQ (p->process (block.data), kResultOk);

	block.data.numInputs = -1;
	block.data.numOutputs = -1;
	EXPECT_EQ (p->process (block.data), kResultOk);
}

TEST (ContractBreach, BlockSampleSizeDecidesTheByteLength)
{
	// Set up for 64-bit samples, then handed a 32-bit block: the bypass copy
	// and the silence fill stay within the 32-bit buffers.
	ProcessorHandle p;
	activate (*p, 48000.0, 64, kSample64);
	StereoBlock<float> block (64);
	block.fillInput ();
	block.in.silenceFlags = 3;
	ASSERT_EQ (p->process (block.data), kResultOk);
	EXPECT_TRUE (allZero (block.output (0), 64));
	EXPECT_TRUE (block.guardsIntact ());

	block.in.silenceFlags = 0;
	ParameterChanges bypass;
	bypass.queue (kBypassId).add (0, 1.0);
	block.data.inputParameterChanges = &bypass;
	ASSERT_EQ (p->process (block.data), kResultOk);
	EXPECT_TRUE (sameBits (block.output (0), block.input (0), 64));
	EXPECT_TRUE (block.guardsIntact ());
}

TEST (ContractBreach, NegativeZeroAndHugeBlockSizes)
{
	ProcessorHandle p;
	ASSERT_EQ (p->initialize (nullptr), kResultOk);

	ASSERT_EQ (setup (*p, 48000.0, -64), kResultOk);
	EXPECT_EQ (p->setActive (true), kInvalidArgument);
	EXPECT_EQ (p->workBufferLeft, nullptr);
	StereoBlock<float> block (32);
	block.fillInput ();
	ASSERT_EQ (p->process (block.data), kResultOk); // inactive: silence
	EXPECT_TRUE (allZero (block.output (0), 32));

	// No block size given at all: active, but there is nothing to filter with.
	ASSERT_EQ (setup (*p, 48000.0, 0), kResultOk);
	EXPECT_EQ (p->setActive (true), kResultOk);
	block.fillOutput (9.0f);
	ASSERT_EQ (p->process (block.data), kResultOk);
	EXPECT_TRUE (allZero (block.output (0), 32));
	EXPECT_TRUE (allZero (block.output (1), 32));

	// The largest block size a host can name: buffers of a bounded length,
	// and a block longer than them runs in pieces.
	ASSERT_EQ (setup (*p, 48000.0, INT32_MAX), kResultOk);
	ASSERT_EQ (p->setActive (true), kResultOk);
	ASSERT_NE (p->workBufferLeft, nullptr);
	const int32 longBlock = (1 << 20) + 100;
	StereoBlock<float> big (longBlock);
	big.fillInput ();
	ASSERT_EQ (p->process (big.data), kResultOk);
	EXPECT_TRUE (sameBits (big.output (0), big.input (0), longBlock)); // flat, level 0 dB
	EXPECT_TRUE (sameBits (big.output (1), big.input (1), longBlock));
	EXPECT_TRUE (big.guardsIntact ());
	EXPECT_EQ (p->setActive (false), kResultOk);
	EXPECT_EQ (p->workBufferLeft, nullptr);
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
TEST (ContractBreachDeathTest, FailedAllocationIsReportedNotThrown)
{
	// In a child process whose address space cannot grow by 8 MB.
	EXPECT_EXIT (
	    {
		    ProcessorHandle p;
		    p->initialize (nullptr);
		    setup (*p, 48000.0, 1 << 20);
		    rlimit limit {};
		    getrlimit (RLIMIT_AS, &limit);
		    FILE* f = std::fopen ("/proc/self/statm", "r");
		    unsigned long pages = 0;
		    if (!f || std::fscanf (f, "%lu", &pages) != 1)
			    std::exit (2);
		    std::fclose (f);
		    limit.rlim_cur = pages * 4096ul + (2ul << 20);
		    setrlimit (RLIMIT_AS, &limit);
		    const tresult r = p->setActive (true);
		    const bool ok = r == kOutOfMemory && p->workBufferLeft == nullptr && p->workBufferRight == nullptr;
		    StereoBlock<float> block (16);
		    block.fillInput ();
		    p->process (block.data);
		    std::exit (ok && allZero (block.output (0), 16) ? 0 : 1);
	    },
	    ::testing::ExitedWithCode (0), "");
}
#endif

TEST (ContractBreach, ReleasedOrReinitialisedWhileActiveLosesNothing)
{
	// With LeakSanitizer on, a lost buffer fails this test.
	{
		ProcessorHandle p;
		activate (*p, 48000.0, 512);
	}
	ProcessorHandle p;
	activate (*p, 48000.0, 512);
	ASSERT_EQ (p->terminate (), kResultOk);
	ASSERT_EQ (p->initialize (nullptr), kResultOk);
	EXPECT_EQ (p->workBufferLeft, nullptr);
	EXPECT_EQ (p->workBufferRight, nullptr);
	EXPECT_EQ (p->maxSamplesPerBlock, 0);
	// Inactive again: the values are the main thread's once more.
	ParamState s = defaultState ();
	s.level = 0.25;
	ASSERT_EQ (loadState (*p, s), kResultOk);
	EXPECT_TRUE (sameRecord (p->params, s));
}

TEST (ContractBreach, LoadedStateWithImpossibleValuesKeepsTheOutputFinite)
{
	const double inf = std::numeric_limits<double>::infinity ();
	const double nan = std::numeric_limits<double>::quiet_NaN ();
	for (double level : {nan, inf, -inf, 1e6, 0.75})
	{
		ProcessorHandle p;
		activate (*p, 48000.0, 64);
		ParamState s = defaultState ();
		s.level = level;
		s.bands[0] = nan;
		s.bands[1] = inf;
		s.bands[2] = -inf;
		s.bands[3] = 1e6;
		s.bands[4] = -1e6;
		s.bands[5] = 0.5 + 1e-16;
		s.bands[6] = 70.0; // about 1700 dB
		ASSERT_EQ (loadState (*p, s), kResultOk);
		for (int round = 0; round < 4; ++round)
		{
			StereoBlock<float> a (64);
			a.fillInput (64 * round);
			ASSERT_EQ (p->process (a.data), kResultOk);
			StereoBlock<double> b (64);
			b.fillInput (64 * round);
			ASSERT_EQ (p->process (b.data), kResultOk);
			for (int c = 0; c < 2; ++c)
				for (int j = 0; j < 64; ++j)
				{
					ASSERT_TRUE (std::isfinite (a.output (c)[j])) << level << " " << c << " " << j;
					ASSERT_TRUE (std::isfinite (b.output (c)[j])) << level << " " << c << " " << j;
				}
		}
	}
}
