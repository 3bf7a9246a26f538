// Values a loaded state or a careless host can bring: gains too small for the
// design, band values far outside [0, 1], levels that are not finite, input
// samples that are not finite, overflow, nonsense sample rates. The output
// stays finite, finite input stays bit-exact, and nothing is poisoned for good.
#include "eqfixture.h"

#include <cmath>
#include <limits>

namespace EqTest {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity ();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN ();

std::vector<EqPath> pathsUnderTest ()
{
	return {EqPath::kReference, Eq::bestPath ()};
}

template <typename T>
bool allFinite (const Stereo<T>& s)
{
	for (size_t j = 0; j < s.left.size (); ++j)
		if (!std::isfinite (s.left[j]) || !std::isfinite (s.right[j]))
			return false;
	return true;
}

bool memoriesFinite (const PlugProcessor& p)
{
	for (int k = 0; k < PlugProcessor::kNumFilters; ++k)
		if (!std::isfinite (p.stateZ1[k]) || !std::isfinite (p.stateZ2[k]))
			return false;
	return true;
}

// Gains within a few units in the last place of 0.5: the design either gives
// finite coefficients (then numerator and denominator agree: no change to
// the sound) or divides zero by zero, and then the band is off.
TEST (Robustness, GainsTooSmallForTheDesignAreHarmless)
{
	double value = 0.5;
	std::vector<double> values;
	for (int i = 0; i < 4; ++i)
	{
		value = std::nextafter (value, 1.);
		values.push_back (value);
	}
	value = 0.5;
	for (int i = 0; i < 4; ++i)
	{
		value = std::nextafter (value, 0.);
		values.push_back (value);
	}
	for (EqPath path : pathsUnderTest ())
		for (double v : values)
		{
			Equaliser eq (48000., 4096, path), flat (48000., 4096, path);
			for (int band = 0; band < kNumBands; ++band)
				eq->params.bands[band] = v;
			eq->updateFilters (false);
			ASSERT_NE (eq->bandGainDb[0], 0.);
			ASSERT_LT (std::abs (eq->bandGainDb[0]), 1e-13);
			for (int k = 0; k < PlugProcessor::kNumFilters; ++k)
			{
				if (Eq::filterRuns (*eq, k))
				{
					EXPECT_NEAR (eq->coefB0[k], 1., 1e-12) << v;
					EXPECT_NEAR (eq->coefB1[k], eq->coefA1[k], 1e-12) << v;
					EXPECT_NEAR (eq->coefB2[k], eq->coefA2[k], 1e-12) << v;
				}
				else
				{
					EXPECT_FALSE (std::isfinite (eq->coefB0[k]) && std::isfinite (eq->coefA1[k])) << v;
				}
			}
			Stereo<double> in = noise<double> (2048, 1);
			Stereo<double> out = run (*eq, in), reference = run (*flat, in);
			ASSERT_TRUE (allFinite (out));
			for (size_t j = 0; j < out.left.size (); ++j)
				ASSERT_NEAR (out.left[j], reference.left[j], 1e-9) << v << " " << j;
		}
}

TEST (Robustness, BandValuesFarOutsideTheRangeKeepTheOutputFinite)
{
	for (EqPath path : pathsUnderTest ())
		for (double v : {30., 60., 65., 100., -100., 1e10, -1e300, kInf, -kInf, kNaN})
		{
			Equaliser eq (44100., 4096, path);
			for (int band = 0; band < kNumBands; ++band)
				eq->params.bands[band] = band % 2 ? v : 0.6;
			eq->updateFilters (false);
			for (int k = 0; k < PlugProcessor::kNumFilters; ++k)
			{
				const bool finite = std::isfinite (eq->coefB0[k]) && std::isfinite (eq->coefB1[k]) &&
				                    std::isfinite (eq->coefB2[k]) && std::isfinite (eq->coefA1[k]) &&
				                    std::isfinite (eq->coefA2[k]);
				if (!finite)
				{
					EXPECT_FALSE (Eq::filterRuns (*eq, k)) << v << " filter " << k;
				}
			}
			for (int b = 0; b < 4; ++b)
			{
				Stereo<float> in = noise<float> (1024, static_cast<uint32_t> (b), 1.);
				Stereo<float> out = run (*eq, in);
				ASSERT_TRUE (allFinite (out)) << v;
				ASSERT_TRUE (memoriesFinite (*eq)) << v;
			}
			// Back in range: the equaliser works as if nothing had happened to it.
			for (int band = 0; band < kNumBands; ++band)
				eq->params.bands[band] = 0.6;
			eq->updateFilters (false);
			Stereo<double> in = noise<double> (20000, 7);
			Stereo<double> out = run (*eq, in);
			EXPECT_TRUE (allFinite (out));
			EXPECT_GT (std::abs (out.left.back ()), 0.);
		}
}

TEST (Robustness, LevelThatIsNotFiniteMutesInsteadOfPoisoning)
{
	for (EqPath path : pathsUnderTest ())
		for (double level : {kNaN, kInf, -kInf, 1e6})
		{
			Equaliser eq (48000., 4096, path);
			eq.setLevel (level);
			EXPECT_EQ (eq->levelTarget, 0.) << level;
			Stereo<float> in = noise<float> (48000, 3);
			Stereo<float> out = run (*eq, in);
			ASSERT_TRUE (allFinite (out));
			EXPECT_LT (std::abs (out.left.back ()), 1e-20f); // ramped down to silence
			EXPECT_TRUE (std::isfinite (eq->smoothedLevel));

			eq.setLevel (0.75);
			out = run (*eq, in);
			EXPECT_NEAR (eq->smoothedLevel, 1., 1e-6) << level;
		}

	// A smoothed level that got lost restarts at the target.
	Equaliser eq (48000.);
	eq->smoothedLevel = kNaN;
	Stereo<double> in = noise<double> (16, 1);
	Stereo<double> out = run (*eq, in);
	EXPECT_TRUE (allFinite (out));
	EXPECT_NEAR (eq->smoothedLevel, 1., 1e-12);
}

// One bad sample enters as silence: the filters never see it, the rest of the
// block and every later block are exactly what silence there would give.
TEST (Robustness, InputSamplesThatAreNotFiniteEnterAsSilence)
{
	for (EqPath path : pathsUnderTest ())
	{
		Equaliser bad (48000., 4096, path), clean (48000., 4096, path);
		for (Equaliser* eq : {&bad, &clean})
			for (int band = 0; band < kNumBands; ++band)
				(*eq)->params.bands[band] = band % 2 ? 0.9 : 0.2;
		bad->updateFilters (false);
		clean->updateFilters (false);

		Stereo<float> in = noise<float> (512, 5);
		Stereo<float> zeroed = in;
		const size_t badAt[] = {0, 100, 200, 511};
		const float badValues[] = {std::numeric_limits<float>::quiet_NaN (), std::numeric_limits<float>::infinity (),
		                           -std::numeric_limits<float>::infinity (), std::numeric_limits<float>::quiet_NaN ()};
		for (int i = 0; i < 4; ++i)
		{
			in.left[badAt[i]] = badValues[i];
			in.right[badAt[3 - i]] = badValues[i];
			zeroed.left[badAt[i]] = 0.f;
			zeroed.right[badAt[3 - i]] = 0.f;
		}
		Stereo<float> out = run (*bad, in);
		Stereo<float> expected = run (*clean, zeroed);
		EXPECT_TRUE (sameBits (out.left, expected.left));
		EXPECT_TRUE (sameBits (out.right, expected.right));
		EXPECT_TRUE (memoriesFinite (*bad));

		Stereo<double> in64 = noise<double> (300, 6);
		in64.left[7] = kNaN;
		Stereo<double> zeroed64 = in64;
		zeroed64.left[7] = 0.;
		EXPECT_TRUE (sameBits (run (*bad, in64).left, run (*clean, zeroed64).left));
		Stereo<float> after = noise<float> (1000, 8);
		EXPECT_TRUE (sameBits (run (*bad, after).left, run (*clean, after).left));
	}
}

// Input beyond what the cascade can carry overflows inside the filters: the
// overflowing samples come out as 0, the filters restart from rest, and the
// next ordinary block is filtered normally.
TEST (Robustness, OverflowInsideTheCascadeRecovers)
{
	for (EqPath path : pathsUnderTest ())
	{
		Equaliser eq (48000., 4096, path), fresh (48000., 4096, path);
		for (Equaliser* e : {&eq, &fresh})
		{
			for (int band = 0; band < kNumBands; ++band)
				(*e)->params.bands[band] = 1.;
			(*e)->updateFilters (false);
		}
		Stereo<double> loud = noise<double> (512, 9, 1e306);
		Stereo<double> out = run (*eq, loud);
		ASSERT_TRUE (allFinite (out));
		ASSERT_TRUE (memoriesFinite (*eq));

		// Gains of hundreds of dB with finite coefficients overflow ordinary input.
		Equaliser huge (48000., 4096, path);
		for (int band = 0; band < kNumBands; ++band)
			huge->params.bands[band] = 30.; // about +700 dB
		huge->updateFilters (false);
		ASSERT_TRUE (Eq::filterRuns (*huge, 0));
		Stereo<float> in = noise<float> (512, 10);
		Stereo<float> hugeOut = run (*huge, in);
		EXPECT_TRUE (allFinite (hugeOut));
		EXPECT_TRUE (memoriesFinite (*huge));
	}
}

TEST (Robustness, NonsenseSampleRatesGiveFiniteOutput)
{
	for (EqPath path : pathsUnderTest ())
		for (double rate : {0., -48000., kNaN, kInf, 1e-300, 1e300})
		{
			Equaliser eq (rate, 256, path);
			for (int band = 0; band < kNumBands; ++band)
				eq->params.bands[band] = 0.9;
			eq->updateFilters (false);
			Stereo<float> in = noise<float> (256, 2);
			for (int b = 0; b < 3; ++b)
			{
				Stereo<float> out = run (*eq, in);
				ASSERT_TRUE (allFinite (out)) << rate;
			}
			EXPECT_TRUE (memoriesFinite (*eq)) << rate;
		}
}

} // namespace
} // namespace EqTest
