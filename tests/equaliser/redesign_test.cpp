// One redesign after all of a block's parameter queues, of the changed bands
// only, against the full redesign after every queue: the same gains, level
// target and coefficients of every filter that runs, bit for bit.
#include "eqfixture.h"
#include "paramchanges.h"

#include <cmath>
#include <limits>

namespace EqTest {
namespace {

struct Change
{
	int id; // 0 bypass, 1 level, 2.. bands
	double value;
};

void apply (PlugProcessor& p, const Change& c)
{
	if (c.id == 0)
		p.params.bypass = c.value > 0.5;
	else if (c.id == 1)
		p.params.level = c.value;
	else
		p.params.bands[c.id - 2] = c.value;
}

// Gains, level target and the coefficients of every filter with a gain agree bit for bit.
::testing::AssertionResult sameDesign (const PlugProcessor& a, const PlugProcessor& b)
{
	if (!sameBits (a.bandGainDb, b.bandGainDb, sizeof (a.bandGainDb)))
		return ::testing::AssertionFailure () << "gains differ";
	if (!sameBits (a.levelTarget, b.levelTarget))
		return ::testing::AssertionFailure () << "level targets differ";
	for (int k = 0; k < PlugProcessor::kNumFilters; ++k)
	{
		if (a.bandGainDb[k] == 0. || std::isnan (a.bandGainDb[k]))
			continue;
		if (!sameBits (a.coefB0[k], b.coefB0[k]) || !sameBits (a.coefB1[k], b.coefB1[k]) ||
		    !sameBits (a.coefB2[k], b.coefB2[k]) || !sameBits (a.coefA1[k], b.coefA1[k]) ||
		    !sameBits (a.coefA2[k], b.coefA2[k]))
			return ::testing::AssertionFailure () << "coefficients of filter " << k << " differ";
		if (Eq::filterRuns (a, k) != Eq::filterRuns (b, k))
			return ::testing::AssertionFailure () << "filter " << k << " runs on one side only";
	}
	return ::testing::AssertionSuccess ();
}

double randomValue (std::mt19937& gen)
{
	std::uniform_real_distribution<double> unit (0., 1.);
	switch (gen () % 10)
	{
		case 0: return 0.5; // back to 0 dB
		case 1: return std::nextafter (0.5, 1.);
		case 2: return unit (gen) * 40. - 20.; // far outside, as a state could carry
		case 3: return std::numeric_limits<double>::quiet_NaN ();
		default: return unit (gen);
	}
}

TEST (Redesign, OnceAfterTheQueuesMatchesAfterEveryQueue)
{
	std::mt19937 gen (2024);
	for (double rate : {44100., 48000., 32000., 8000.})
	{
		Equaliser perQueue (rate), once (rate);
		for (int block = 0; block < 400; ++block)
		{
			const int queues = static_cast<int> (gen () % 20);
			for (int q = 0; q < queues; ++q)
			{
				// Mostly a few busy parameters, so that values also change back and forth.
				const int id = gen () % 3 ? static_cast<int> (gen () % 5) : static_cast<int> (gen () % 17);
				const Change change {id, randomValue (gen)};
				apply (*perQueue, change);
				perQueue->updateFilters (false);
				apply (*once, change);
			}
			if (queues > 0)
				once->updateFiltersAfterQueues ();
			ASSERT_TRUE (sameDesign (*perQueue, *once)) << rate << " block " << block;
		}
	}
}

TEST (Redesign, FollowsSampleRateChangesAndOutsideWrites)
{
	Equaliser perQueue (44100.), once (44100.);
	for (Equaliser* eq : {&perQueue, &once})
		for (int band = 0; band < kNumBands; ++band)
			(*eq)->params.bands[band] = 0.3 + 0.02 * band;
	perQueue->updateFilters (false);
	once->updateFiltersAfterQueues ();
	ASSERT_TRUE (sameDesign (*perQueue, *once));

	// A new sample rate: every band is designed again.
	for (Equaliser* eq : {&perQueue, &once})
	{
		(*eq)->setActive (false);
		ProcessSetup setup {kRealtime, kSample32, 512, 96000.};
		(*eq)->setupProcessing (setup);
		(*eq)->setActive (true);
	}
	perQueue->updateFilters (false);
	once->updateFiltersAfterQueues ();
	ASSERT_TRUE (sameDesign (*perQueue, *once));

	// Rates changed behind the design's back, gains unchanged: the frequency
	// terms kept for each band must follow the rate.
	for (double rate : {44100., 22050., 44100., 192000.})
	{
		once->sampleRate = perQueue->sampleRate = rate;
		perQueue->updateFilters (false);
		once->updateFiltersAfterQueues ();
		ASSERT_TRUE (sameDesign (*perQueue, *once)) << rate;
	}

	// Coefficients overwritten from outside (as initialize does): designed again.
	for (int k = 0; k < PlugProcessor::kNumFilters; ++k)
		once->coefB0[k] = once->coefA2[k] = 0.;
	once->coefB1[20] = 1.;
	once->updateFiltersAfterQueues ();
	EXPECT_TRUE (sameDesign (*perQueue, *once));
}

TEST (Redesign, UnchangedValuesLeaveEverythingAsItIs)
{
	Equaliser eq (48000.);
	for (int band = 0; band < kNumBands; band += 3)
		eq->params.bands[band] = 0.8;
	eq->updateFiltersAfterQueues ();
	double b0[30];
	std::memcpy (b0, eq->coefB0, sizeof (b0));
	const double target = eq->levelTarget;
	eq->updateFiltersAfterQueues ();
	EXPECT_TRUE (sameBits (b0, eq->coefB0, sizeof (b0)));
	EXPECT_TRUE (sameBits (target, eq->levelTarget));
}

// The whole path: parameter queues through process().
TEST (Redesign, ProcessWithQueuesDesignsWhatTheQueuesSay)
{
	Equaliser viaProcess (48000., 256), direct (48000., 256);
	std::mt19937 gen (11);
	std::vector<float> left (256), right (256);
	float* channels[2] = {left.data (), right.data ()};
	for (int block = 0; block < 50; ++block)
	{
		PalvisTest::ParameterChanges changes;
		const int queues = 1 + static_cast<int> (gen () % 17);
		for (int q = 0; q < queues; ++q)
		{
			const Change change {1 + static_cast<int> (gen () % 16), std::uniform_real_distribution<double> (0., 1.) (gen)};
			changes.queue (static_cast<ParamID> (change.id)).add (0, change.value);
			apply (*direct, change);
		}
		direct->updateFiltersAfterQueues ();

		AudioBusBuffers in {}, out {};
		in.numChannels = out.numChannels = 2;
		in.channelBuffers32 = out.channelBuffers32 = channels;
		ProcessData data {};
		data.symbolicSampleSize = kSample32;
		data.numSamples = 256;
		data.numInputs = data.numOutputs = 1;
		data.inputs = &in;
		data.outputs = &out;
		data.inputParameterChanges = &changes;
		ASSERT_EQ (viaProcess->process (data), kResultOk);
		ASSERT_TRUE (sameDesign (*viaProcess, *direct)) << block;
	}
}

} // namespace
} // namespace EqTest
