// Whatever state is loaded and whatever parameter values arrive - random,
// out of range, huge, denormal, infinite or NaN - the processor in the built
// bundle turns noise into finite audio, and once sane values return it plays
// as before.
#include "bundletest.h"

#include "paramchanges.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

using namespace stress;

namespace {

const double kInf = std::numeric_limits<double>::infinity ();
const double kNaN = std::numeric_limits<double>::quiet_NaN ();

class ValueSource
{
public:
	explicit ValueSource (unsigned seed) : rng (seed) {}

	// Ordinary values most of the time, extremes often, raw bit patterns sometimes.
	double next ()
	{
		static const double extremes[] = {0.0, -0.0, 1.0, 0.5, 0.75, 1.0000001, -1e-9, 1.5, -0.25, 2.0, -1.0, 1e6,
		                                  -1e6, 1e300, -1e300, 1.7976931348623157e308, -1.7976931348623157e308,
		                                  kInf, -kInf, kNaN, -kNaN, 4.9e-324, -4.9e-324, 2.2250738585072014e-308,
		                                  1e-310, 0.9999999999999999, 1e-17};
		switch (rng () % 8)
		{
			case 0:
			case 1:
			case 2: return extremes[rng () % (sizeof (extremes) / sizeof (double))];
			case 3:
			{
				uint64_t bits = (static_cast<uint64_t> (rng ()) << 32) | rng ();
				double d;
				std::memcpy (&d, &bits, sizeof d);
				return d;
			}
			case 4: return std::uniform_real_distribution<double> (-10.0, 10.0) (rng);
			default: return std::uniform_real_distribution<double> (0.0, 1.0) (rng);
		}
	}
	int32 nextFlag () { return static_cast<int32> (rng ()); }
	unsigned pick (unsigned n) { return rng () % n; }

	std::mt19937 rng;
};

std::vector<uint8> randomState (ValueSource& values)
{
	StateImage s;
	s.leadingWord = static_cast<int64_t> (values.rng ());
	s.bypass = values.pick (4) == 0 ? values.nextFlag () : 0;
	s.level = values.next ();
	for (double& b : s.bands)
		b = values.next ();
	for (double& r : s.reserved)
		r = values.next ();
	for (auto& f : s.flags)
		f = values.nextFlag ();
	return s.encode ();
}

template <typename Sample>
struct Outcome
{
	int nonFiniteBlocks {0};
	int32 firstBadBlock {-1};
	bool recovered {false};
	double secondsToRecover {0.0};
};

// One case: a random set-up, a random state, blocks with random parameter
// changes (and now and then a new state), then default values again.
template <typename Sample>
Outcome<Sample> runCase (const Bundle& bundle, unsigned seed)
{
	ValueSource values (seed);
	Outcome<Sample> outcome;
	static const double rates[] = {8000, 22050, 44100, 48000, 88200, 96000, 192000, 384000};
	const double rate = rates[values.pick (8)];
	const int32 maxBlock = 1 + static_cast<int32> (values.pick (1024));
	Processor p (bundle);
	if (p.initialize () != kResultOk)
	{
		ADD_FAILURE () << "initialize failed";
		return outcome;
	}
	const bool stateFirst = values.pick (2) == 0;
	if (stateFirst)
		p.setState (randomState (values));
	if (p.prepare (rate, maxBlock, Block<Sample>::sampleSize ()) != kResultOk)
	{
		ADD_FAILURE () << "set-up failed";
		return outcome;
	}
	if (!stateFirst)
		p.setState (randomState (values));

	Block<Sample> block (maxBlock);
	const double amplitude = values.pick (3) == 0 ? 1.0 : 0.25;
	for (int b = 0; b < 12; ++b)
	{
		block.fillNoise (seed * 31u + static_cast<uint32> (b), amplitude);
		PalvisTest::ParameterChanges changes;
		const int queues = static_cast<int> (values.pick (8));
		for (int q = 0; q < queues; ++q)
		{
			auto& queue = changes.queue (values.pick (10) == 0 ? 17 + values.pick (4) : values.pick (17));
			const int points = 1 + static_cast<int> (values.pick (3));
			for (int k = 0; k < points; ++k)
				queue.add (static_cast<int32> (values.pick (static_cast<unsigned> (maxBlock))), values.next ());
		}
		if (values.pick (6) == 0)
			p.setState (randomState (values));
		const int32 length = values.pick (5) == 0 ? 1 + static_cast<int32> (values.pick (static_cast<unsigned> (maxBlock)))
		                                         : maxBlock;
		p.audio->process (block.set (length, values.pick (10) == 0 ? 3 : 0, &changes));
		if (!block.outputFinite (length))
		{
			if (outcome.firstBadBlock < 0)
				outcome.firstBadBlock = b;
			++outcome.nonFiniteBlocks;
		}
	}

	// Defaults again (bypass off, 0 dB everywhere): the output becomes the
	// input again, whatever came before. The level smoother takes its time from
	// a huge level (about 16 s from the largest double), so allow 20 s.
	EXPECT_EQ (p.setState (StateImage ().encode ()), kResultOk);
	const double tolerance = Block<Sample>::sampleSize () == kSample32 ? 1e-6 : 1e-12;
	int32 done = 0;
	const auto limit = static_cast<int32> (20 * rate);
	outcome.recovered = false;
	while (done < limit && !outcome.recovered)
	{
		block.fillNoise (seed + static_cast<uint32> (done), 0.5);
		p.audio->process (block.set (maxBlock));
		if (!block.outputFinite (maxBlock))
			++outcome.nonFiniteBlocks;
		double worst = 0.0;
		for (int c = 0; c < 2; ++c)
			for (int32 i = 0; i < maxBlock; ++i)
			{
				const double in = c ? block.inR[static_cast<size_t> (i)] : block.inL[static_cast<size_t> (i)];
				const double err = std::fabs (static_cast<double> (block.outPtrs[c][i]) - in);
				if (!(err <= worst))
					worst = std::isnan (err) ? kInf : err;
			}
		outcome.recovered = worst <= tolerance;
		done += maxBlock;
	}
	outcome.secondsToRecover = done / rate;
	return outcome;
}

class FiniteOutput : public SharedBundleTest
{
protected:
	// One random case per seed; stops at the first seed that fails.
	template <typename Sample>
	void runSeeds (unsigned first, unsigned last)
	{
		for (unsigned seed = first; seed <= last; ++seed)
		{
			auto o = runCase<Sample> (*bundle, seed);
			EXPECT_EQ (o.nonFiniteBlocks, 0) << "seed " << seed << ", first bad block " << o.firstBadBlock;
			EXPECT_TRUE (o.recovered) << "seed " << seed;
			if (HasFailure ())
				break;
		}
	}
};

} // namespace

TEST_F (FiniteOutput, AnyStateAndAnyParameterValuesGiveFiniteAudio32)
{
	runSeeds<Sample32> (1, 150);
}

TEST_F (FiniteOutput, AnyStateAndAnyParameterValuesGiveFiniteAudio64)
{
	runSeeds<Sample64> (1001, 1150);
}

TEST_F (FiniteOutput, EveryBandAndTheLevelAtEachExtreme)
{
	// Each extreme value on each parameter alone, by state and by parameter
	// change, with all other values at their defaults.
	const double extremes[] = {kNaN, -kNaN, kInf, -kInf, 1e308, -1e308, 4.9e-324, -4.9e-324, 1e6, -1e6, 1.5, -0.5};
	for (ParamID id = 1; id <= 16; ++id)
	{
		for (double v : extremes)
		{
			for (bool byState : {true, false})
			{
				Processor p (*bundle);
				ASSERT_EQ (p.initialize (), kResultOk);
				ASSERT_EQ (p.prepare (44100, 256, kSample32), kResultOk);
				PalvisTest::ParameterChanges changes;
				if (byState)
				{
					StateImage s;
					if (id == 1)
						s.level = v;
					else
						s.bands[id - 2] = v;
					ASSERT_EQ (p.setState (s.encode ()), kResultOk);
				}
				else
					changes.queue (id).add (0, v);
				Block<Sample32> block (256);
				for (int b = 0; b < 8; ++b)
				{
					block.fillNoise (static_cast<uint32> (b), 1.0);
					p.audio->process (block.set (256, 0, b == 0 ? &changes : nullptr));
					ASSERT_TRUE (block.outputFinite (256))
					    << "ID " << id << " value " << v << (byState ? " by state" : " by change") << ", block " << b;
				}
			}
		}
	}
}
