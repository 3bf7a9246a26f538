// Every SIMD path against the scalar reference: bit-identical output, filter
// memories and smoothed level for every number of running filters, block
// sizes from 1 to 4096, both sample sizes, in-place and separate buffers, and
// long runs of consecutive blocks.
#include "eqfixture.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace EqTest {
namespace {

std::vector<EqPath> simdPaths ()
{
	std::vector<EqPath> paths;
	for (EqPath path : {EqPath::kSse2, EqPath::kAvx2, EqPath::kAvx512})
		if (Eq::pathSupported (path))
			paths.push_back (path);
	return paths;
}

const std::vector<int32> kSweep = {1,  2,  3,  7,   8,   15,  16,  17,   31,   32,  33, 63,
                                   64, 65, 511, 512, 513, 4095, 4096, 100, 1000, 250, 5,  4};

// A reference processor and one on the path under test, always given the same values.
struct Twins
{
	explicit Twins (EqPath path, double rate = 48000.) : ref (rate, 4096, EqPath::kReference), fast (rate, 4096, path) {}

	void setBands (const double* values)
	{
		for (PlugProcessor* p : {&*ref, &*fast})
		{
			std::memcpy (p->params.bands, values, sizeof (double) * kNumBands);
			p->updateFilters (false);
		}
	}
	void setLevel (double value)
	{
		for (PlugProcessor* p : {&*ref, &*fast})
		{
			p->params.level = value;
			p->updateFilters (false);
		}
	}

	// One block through both; false (with a message) on the first difference.
	template <typename T>
	::testing::AssertionResult block (int32 n, uint32_t seed, bool inPlace, double amplitude = 0.5)
	{
		Stereo<T> in = noise<T> (n, seed, amplitude);
		Stereo<T> refIn = in, fastIn = in;
		Stereo<T> refOut = inPlace ? refIn : Stereo<T> (n);
		Stereo<T> fastOut = inPlace ? fastIn : Stereo<T> (n);
		process (*ref, inPlace ? refOut : refIn, refOut);
		process (*fast, inPlace ? fastOut : fastIn, fastOut);
		for (int32 j = 0; j < n; ++j)
		{
			const size_t i = static_cast<size_t> (j);
			if (!sameBits (&refOut.left[i], &fastOut.left[i], sizeof (T)) ||
			    !sameBits (&refOut.right[i], &fastOut.right[i], sizeof (T)))
				return ::testing::AssertionFailure ()
				       << "sample " << j << " of " << n << ": " << refOut.left[i] << " " << fastOut.left[i] << " / "
				       << refOut.right[i] << " " << fastOut.right[i];
		}
		if (!sameBits (ref->stateZ1, fast->stateZ1, sizeof (ref->stateZ1)) ||
		    !sameBits (ref->stateZ2, fast->stateZ2, sizeof (ref->stateZ2)))
			return ::testing::AssertionFailure () << "filter memories differ after " << n << " samples";
		if (!sameBits (ref->smoothedLevel, fast->smoothedLevel))
			return ::testing::AssertionFailure () << "smoothed level differs after " << n << " samples";
		return ::testing::AssertionSuccess ();
	}

	template <typename T>
	static void process (PlugProcessor& p, Stereo<T>& in, Stereo<T>& out)
	{
		if (sizeof (T) == 4)
			p.processAudio32 (reinterpret_cast<Sample32**> (in.ptr ()), reinterpret_cast<Sample32**> (out.ptr ()),
			                  in.size ());
		else
			p.processAudio64 (reinterpret_cast<Sample64**> (in.ptr ()), reinterpret_cast<Sample64**> (out.ptr ()),
			                  in.size ());
	}

	Equaliser ref, fast;
};

// Band values for `count` running bands chosen at random, with random boosts and cuts.
void randomBands (std::mt19937& gen, int count, double* values)
{
	int order[kNumBands];
	for (int i = 0; i < kNumBands; ++i)
		order[i] = i;
	std::shuffle (order, order + kNumBands, gen);
	std::uniform_real_distribution<double> value (0., 1.);
	for (int i = 0; i < kNumBands; ++i)
		values[i] = 0.5;
	for (int i = 0; i < count; ++i)
	{
		double v = value (gen);
		if (v == 0.5)
			v = 0.25;
		values[order[i]] = v;
	}
}

template <typename T>
void everyBandCount (EqPath path)
{
	std::mt19937 gen (1234 + static_cast<int> (path) + 100 * static_cast<int> (sizeof (T)));
	std::uniform_real_distribution<double> level (0.3, 1.);
	for (int count = 0; count <= kNumBands; ++count)
	{
		Twins twins (path);
		double bands[kNumBands];
		randomBands (gen, count, bands);
		twins.setBands (bands);
		std::vector<int32> sizes = kSweep;
		std::shuffle (sizes.begin (), sizes.end (), gen);
		for (size_t b = 0; b < sizes.size (); ++b)
		{
			if (b % 5 == 2)
				twins.setLevel (level (gen)); // the smoother ramps through the next blocks
			if (b % 7 == 3)
			{
				randomBands (gen, count, bands); // new gains, memories carry on
				twins.setBands (bands);
			}
			ASSERT_TRUE (twins.template block<T> (sizes[b], static_cast<uint32_t> (gen ()), b % 2 == 1))
			    << Eq::pathName (path) << " with " << count << " bands, block " << b;
		}
	}
}

TEST (EqualiserEngine, EveryBandCountAndBlockSizeMatchesTheReference64)
{
	for (EqPath path : simdPaths ())
		everyBandCount<double> (path);
}

TEST (EqualiserEngine, EveryBandCountAndBlockSizeMatchesTheReference32)
{
	for (EqPath path : simdPaths ())
		everyBandCount<float> (path);
}

TEST (EqualiserEngine, LongRunsOfRandomBlocksMatchTheReference)
{
	for (EqPath path : simdPaths ())
	{
		std::mt19937 gen (99);
		std::uniform_int_distribution<int> count (0, kNumBands);
		std::uniform_int_distribution<int32> small (1, 80);
		std::uniform_int_distribution<int32> any (1, 4096);
		for (int run = 0; run < 6; ++run)
		{
			Twins twins (path, run % 2 ? 44100. : 96000.);
			double bands[kNumBands];
			randomBands (gen, count (gen), bands);
			twins.setBands (bands);
			for (int b = 0; b < 150; ++b)
			{
				const int32 n = b % 10 == 0 ? any (gen) : small (gen);
				const bool ok = b % 2 ? twins.block<float> (n, static_cast<uint32_t> (gen ()), b % 3 == 0)
				                      : twins.block<double> (n, static_cast<uint32_t> (gen ()), b % 3 == 0);
				ASSERT_TRUE (ok) << Eq::pathName (path) << " run " << run << " block " << b;
			}
		}
	}
}

TEST (EqualiserEngine, ExtremeSignalsAndSettingsMatchTheReference)
{
	for (EqPath path : simdPaths ())
	{
		Twins twins (path, 44100.);
		double bands[kNumBands];
		for (int i = 0; i < kNumBands; ++i)
			bands[i] = i % 2 ? 1. : 0.; // alternating +12 / -12 dB
		twins.setBands (bands);
		twins.setLevel (1.);
		for (int b = 0; b < 8; ++b)
			ASSERT_TRUE (twins.block<float> (333, 5u + static_cast<uint32_t> (b), false, 1.)) << Eq::pathName (path);
		for (int i = 0; i < kNumBands; ++i)
			bands[i] = 1.;
		twins.setBands (bands);
		for (int b = 0; b < 8; ++b)
			ASSERT_TRUE (twins.block<double> (4096, 50u + static_cast<uint32_t> (b), b % 2, 1.))
			    << Eq::pathName (path);

		// Silence that is not flagged (the offset is all there is), signals far
		// below and far above the usual range (overflow restarts the memories).
		for (double amplitude : {0., 1e-300, 1e-30, 1e-17, 1e150, 1e300, 0.})
		{
			ASSERT_TRUE (twins.block<double> (700, 9u, false, amplitude)) << Eq::pathName (path) << " " << amplitude;
			ASSERT_TRUE (twins.block<float> (70, 9u, true, amplitude < 1e30 ? amplitude : 1e30))
			    << Eq::pathName (path) << " " << amplitude;
		}
	}
}

// From rest, unflagged silence leaves only the constant offset each filter
// adds; tiny signals sit next to it.
TEST (EqualiserEngine, SilenceAndTinySignalsMatchTheReference)
{
	for (EqPath path : simdPaths ())
	{
		std::mt19937 gen (77);
		for (int count = 1; count <= kNumBands; count += 2)
		{
			Twins twins (path);
			double bands[kNumBands];
			randomBands (gen, count, bands);
			twins.setBands (bands);
			for (double amplitude : {0., 0., 1e-300, 1e-20, 1e-17, 0.})
			{
				ASSERT_TRUE (twins.block<double> (300, static_cast<uint32_t> (gen ()), false, amplitude))
				    << Eq::pathName (path) << " " << amplitude;
				ASSERT_TRUE (twins.block<float> (45, static_cast<uint32_t> (gen ()), true, amplitude))
				    << Eq::pathName (path) << " " << amplitude;
			}
		}
	}
}

// Skips decided per filter: the two channels may run different filters.
TEST (EqualiserEngine, PerFilterSkipMatchesTheReference)
{
	for (EqPath path : simdPaths ())
	{
		std::mt19937 gen (31);
		std::bernoulli_distribution keep (0.6);
		for (int round = 0; round < 40; ++round)
		{
			Twins twins (path);
			double bands[kNumBands];
			randomBands (gen, 1 + round % kNumBands, bands);
			twins.setBands (bands);
			ASSERT_TRUE (twins.block<double> (64, 1u, false));

			// Switch single filters off behind the design's back: gain 0, gain NaN
			// or a coefficient that is not finite.
			double z1[30], z2[30];
			for (int k = 0; k < PlugProcessor::kNumFilters; ++k)
			{
				if (keep (gen))
					continue;
				const int how = static_cast<int> (gen () % 3);
				for (PlugProcessor* p : {&*twins.ref, &*twins.fast})
				{
					if (how == 0)
						p->bandGainDb[k] = 0.;
					else if (how == 1)
						p->bandGainDb[k] = std::numeric_limits<double>::quiet_NaN ();
					else if (p->bandGainDb[k] != 0.)
						p->coefA1[k] = std::numeric_limits<double>::infinity ();
				}
			}
			bool runs[30];
			for (int k = 0; k < PlugProcessor::kNumFilters; ++k)
				runs[k] = Eq::filterRuns (*twins.fast, k);
			std::memcpy (z1, twins.fast->stateZ1, sizeof (z1));
			std::memcpy (z2, twins.fast->stateZ2, sizeof (z2));

			for (int32 n : {1, 5, 31, 64, 700})
				ASSERT_TRUE (twins.block<float> (n, static_cast<uint32_t> (gen ()), n % 2)) << Eq::pathName (path)
				                                                                            << " round " << round;
			for (int k = 0; k < PlugProcessor::kNumFilters; ++k)
			{
				if (runs[k])
					continue;
				EXPECT_TRUE (sameBits (twins.fast->stateZ1[k], z1[k])) << k;
				EXPECT_TRUE (sameBits (twins.fast->stateZ2[k], z2[k])) << k;
			}
		}
	}
}

TEST (EqualiserEngine, AutomaticChoiceIsSupportedAndMatchesTheReference)
{
	EXPECT_TRUE (Eq::pathSupported (Eq::bestPath ()));
	EXPECT_NE (Eq::bestPath (), EqPath::kReference);
	EXPECT_TRUE (Eq::pathSupported (EqPath::kSse2));
	Twins twins (EqPath::kAutomatic);
	double bands[kNumBands];
	std::mt19937 gen (5);
	randomBands (gen, 15, bands);
	twins.setBands (bands);
	for (int32 n : {512, 1, 4096, 77})
		EXPECT_TRUE (twins.block<float> (n, static_cast<uint32_t> (n), false));
}

} // namespace
} // namespace EqTest
