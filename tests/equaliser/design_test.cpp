// Band filter design: responses measured from the coefficients, gains per
// band and sample rate, level targets, the smoother's coefficients.
#include "eqfixture.h"

#include <cmath>

namespace EqTest {
namespace {

constexpr int kBand1k = 8;
constexpr int kBand4k = 11;
constexpr int kBand10k = 13;
constexpr int kBand16k = 14;

TEST (FilterDesign, BoostAt1kHzMeetsItsWorkedValues)
{
	Equaliser eq (44100.);
	eq.setBand (kBand1k, 1.); // +12 dB
	ASSERT_EQ (eq->bandGainDb[kBand1k], 12.);
	const Biquad h = Biquad::of (*eq, kBand1k);
	const double fs = 44100.;

	EXPECT_NEAR (h.magnitude (1000., fs), std::pow (10., 12. / 20.), 1e-9); // G = 3.9811
	EXPECT_NEAR (h.magnitude (1000., fs), 3.9811, 1e-4);
	EXPECT_NEAR (h.magnitude (0., fs), 1., 1e-12);
	EXPECT_NEAR (h.magnitude (fs / 2., fs), 1.00292, 5e-6); // G1

	// The peak is the maximum.
	EXPECT_LT (h.magnitude (990., fs), h.magnitude (1000., fs));
	EXPECT_LT (h.magnitude (1010., fs), h.magnitude (1000., fs));

	// The band edges, where |H| = GB = 10^(9/20) = 2.8184.
	const double gb = std::pow (10., 9. / 20.);
	EXPECT_NEAR (gb, 2.8184, 1e-4);
	const double lower = crossing (h, fs, gb, 100., 1000.);
	const double upper = crossing (h, fs, gb, 1000., 10000.);
	EXPECT_NEAR (lower, 794., 3.);
	EXPECT_NEAR (upper, 1260., 3.);
}

TEST (FilterDesign, BoostAt16kHzPeaksAtItsCentreWithG1AtNyquist)
{
	Equaliser eq (44100.);
	eq.setBand (kBand16k, 1.);
	const Biquad h = Biquad::of (*eq, kBand16k);
	const double fs = 44100.;
	EXPECT_NEAR (h.magnitude (fs / 2., fs), 2.3658, 5e-5);
	EXPECT_NEAR (20. * std::log10 (h.magnitude (fs / 2., fs)), 7.48, 5e-3);
	EXPECT_NEAR (h.magnitude (16000., fs), std::pow (10., 0.6), 1e-9);
	EXPECT_NEAR (h.magnitude (0., fs), 1., 1e-12);
	for (double f : {15000., 15900., 15990., 16010., 16100., 17000., 20000., 22000.})
		EXPECT_LT (h.magnitude (f, fs), h.magnitude (16000., fs)) << f;
}

TEST (FilterDesign, EveryBandPeaksAtItsCentreWithUnityAtDc)
{
	for (double fs : {44100., 48000., 96000.})
	{
		Equaliser eq (fs);
		for (int band = 0; band < kNumBands; ++band)
		{
			eq.setBand (band, 0.75); // +6 dB
			const Biquad h = Biquad::of (*eq, band);
			const double f0 = eq->bandFrequencies[band];
			EXPECT_NEAR (h.magnitude (f0, fs), std::pow (10., 6. / 20.), 1e-8) << band << " " << fs;
			EXPECT_NEAR (h.magnitude (0., fs), 1., 1e-10) << band << " " << fs;
		}
	}
}

TEST (FilterDesign, CutIsTheExactReciprocalOfTheBoost)
{
	Equaliser eq (48000.);
	for (int band : {0, 5, kBand1k, kBand16k})
	{
		eq.setBand (band, 1.);
		const Biquad boost = Biquad::of (*eq, band);
		eq.setBand (band, 0.);
		ASSERT_EQ (eq->bandGainDb[band], -12.);
		const Biquad cut = Biquad::of (*eq, band);

		// Numerator of one is the denominator of the other, scaled.
		const double tol = 1e-13;
		EXPECT_NEAR (cut.b0 * boost.b0, 1., tol) << band;
		EXPECT_NEAR (cut.b1 / cut.b0, boost.a1, tol) << band;
		EXPECT_NEAR (cut.b2 / cut.b0, boost.a2, tol) << band;
		EXPECT_NEAR (cut.a1, boost.b1 / boost.b0, tol) << band;
		EXPECT_NEAR (cut.a2, boost.b2 / boost.b0, tol) << band;

		for (double f : {0., 20., 100., 1000., 5000., 16000., 24000.})
			EXPECT_NEAR (cut.magnitude (f, 48000.) * boost.magnitude (f, 48000.), 1., 1e-9) << band << " " << f;
		eq.setBand (band, 0.5);
	}
}

// The level at the band edges: half the peak in dB up to 6 dB, 3 dB below the
// peak above. Both put the edges at the 2/3-octave points around the centre.
TEST (FilterDesign, BandEdgeLevelFollowsTheGain)
{
	const double fs = 48000.;
	Equaliser eq (fs);
	for (double db : {2., 4., 6., 6.5, 9., 12.})
	{
		for (double sign : {1., -1.})
		{
			eq.setBandDb (kBand1k, sign * db);
			const Biquad h = Biquad::of (*eq, kBand1k);
			const double edgeDb = db <= 6. ? db / 2. : db - 3.;
			const double edge = std::pow (10., sign * edgeDb / 20.);
			EXPECT_NEAR (crossing (h, fs, edge, 100., 1000.), 1000. * std::pow (2., -1. / 3.), 4.) << db;
			EXPECT_NEAR (crossing (h, fs, edge, 1000., 10000.), 1000. * std::pow (2., 1. / 3.), 4.) << db;
		}
	}
}

TEST (FilterDesign, EdgeRulesMeetAtSixDecibels)
{
	Equaliser eq (44100.);
	const double bandwidth = 1000. * 0.4662205239;
	eq->designBandFilter (kBand1k, 2, 1000, 6., bandwidth, 44100.);
	const Biquad at = Biquad::of (*eq, kBand1k);
	eq->designBandFilter (kBand1k, 2, 1000, std::nextafter (6., 7.), bandwidth, 44100.);
	const Biquad above = Biquad::of (*eq, kBand1k);
	eq->designBandFilter (kBand1k, 2, 1000, std::nextafter (6., 5.), bandwidth, 44100.);
	const Biquad below = Biquad::of (*eq, kBand1k);

	// One unit in the last place of 6 dB moves nothing visibly; a jump between
	// the rules would show in every coefficient.
	for (const Biquad* other : {&above, &below})
	{
		EXPECT_NEAR (other->b0, at.b0, 1e-12);
		EXPECT_NEAR (other->b1, at.b1, 1e-12);
		EXPECT_NEAR (other->b2, at.b2, 1e-12);
		EXPECT_NEAR (other->a1, at.a1, 1e-12);
		EXPECT_NEAR (other->a2, at.a2, 1e-12);
	}
	// At exactly 6 dB the edges lie at 10^0.15.
	const double edge = std::pow (10., 0.15);
	EXPECT_NEAR (crossing (at, 44100., edge, 100., 1000.), 793.7, 4.);
	EXPECT_NEAR (crossing (at, 44100., edge, 1000., 10000.), 1259.9, 4.);
}

TEST (FilterDesign, DesignWritesOnlyItsOwnFilter)
{
	Equaliser eq (44100.);
	eq.setBand (3, 0.9);
	double b0[30], a2[30], z1[30], gains[30];
	std::memcpy (b0, eq->coefB0, sizeof (b0));
	std::memcpy (a2, eq->coefA2, sizeof (a2));
	std::memcpy (z1, eq->stateZ1, sizeof (z1));
	std::memcpy (gains, eq->bandGainDb, sizeof (gains));
	eq->designBandFilter (20, 2, 250, -5., 250. * 0.4662205239, 44100.);
	for (int k = 0; k < PlugProcessor::kNumFilters; ++k)
	{
		if (k == 20)
			continue;
		EXPECT_TRUE (sameBits (eq->coefB0[k], b0[k])) << k;
		EXPECT_TRUE (sameBits (eq->coefA2[k], a2[k])) << k;
	}
	EXPECT_NE (eq->coefB0[20], b0[20]);
	EXPECT_TRUE (sameBits (eq->stateZ1, z1, sizeof (z1)));
	EXPECT_TRUE (sameBits (eq->bandGainDb, gains, sizeof (gains)));
}

TEST (FilterDesign, BothChannelsCarryTheSameGainsAndCoefficients)
{
	Equaliser eq (48000.);
	std::mt19937 gen (7);
	std::uniform_real_distribution<double> value (0., 1.);
	for (int round = 0; round < 20; ++round)
	{
		for (int band = 0; band < kNumBands; ++band)
			eq->params.bands[band] = value (gen);
		eq->updateFilters (false);
		for (int band = 0; band < kNumBands; ++band)
		{
			const int r = band + kNumBands;
			EXPECT_TRUE (sameBits (eq->bandGainDb[band], eq->bandGainDb[r]));
			EXPECT_TRUE (sameBits (eq->coefB0[band], eq->coefB0[r]));
			EXPECT_TRUE (sameBits (eq->coefB1[band], eq->coefB1[r]));
			EXPECT_TRUE (sameBits (eq->coefB2[band], eq->coefB2[r]));
			EXPECT_TRUE (sameBits (eq->coefA1[band], eq->coefA1[r]));
			EXPECT_TRUE (sameBits (eq->coefA2[band], eq->coefA2[r]));
		}
	}
}

TEST (FilterDesign, FlatSettingDesignsNothing)
{
	Equaliser eq (44100.);
	for (int k = 0; k < PlugProcessor::kNumFilters; ++k)
	{
		EXPECT_EQ (eq->bandGainDb[k], 0.) << k;
		EXPECT_EQ (eq->coefB0[k], 0.) << k; // never designed since initialize
		EXPECT_FALSE (Eq::filterRuns (*eq, k)) << k;
	}
}

TEST (FilterDesign, BandsAtOrAboveHalfTheSampleRateAreOff)
{
	struct Case
	{
		double rate;
		int firstOff; // first band that is off, kNumBands: none
	};
	for (const Case c : {Case {44100., kNumBands}, Case {48000., kNumBands}, Case {32000., kBand16k},
	                     Case {24000., kBand16k}, Case {20001., kBand16k}, Case {20000., kBand10k},
	                     Case {8000., kBand4k}})
	{
		Equaliser eq (c.rate);
		for (int band = 0; band < kNumBands; ++band)
			eq->params.bands[band] = 1.;
		eq->updateFilters (false);
		for (int band = 0; band < kNumBands; ++band)
		{
			const double expected = band < c.firstOff ? 12. : 0.;
			EXPECT_EQ (eq->bandGainDb[band], expected) << c.rate << " band " << band;
			EXPECT_EQ (eq->bandGainDb[band + kNumBands], expected) << c.rate << " band " << band;
		}
	}
}

TEST (FilterDesign, SampleRateChangeRedesignsAtActivation)
{
	Equaliser eq (44100.);
	eq.setBand (kBand1k, 1.);
	const double at44 = eq->coefB0[kBand1k];
	eq->setActive (false);
	ProcessSetup setup {kRealtime, kSample64, 512, 96000.};
	eq->setupProcessing (setup);
	EXPECT_TRUE (sameBits (eq->coefB0[kBand1k], at44)); // not before activation
	eq->setActive (true);
	EXPECT_NE (eq->coefB0[kBand1k], at44);
	EXPECT_NEAR (Biquad::of (*eq, kBand1k).magnitude (1000., 96000.), std::pow (10., 0.6), 1e-9);
}

TEST (LevelTarget, WorkedValuesAreBitExact)
{
	Equaliser eq (44100.);
	eq.setLevel (0.);
	EXPECT_TRUE (sameBits (eq->levelTarget, 0.015848931924611134)) << eq->levelTarget;
	eq.setLevel (0.75);
	EXPECT_TRUE (sameBits (eq->levelTarget, 1.0000000000000004)) << eq->levelTarget;
	eq.setLevel (1.);
	EXPECT_TRUE (sameBits (eq->levelTarget, 3.9810717055349754)) << eq->levelTarget;
	EXPECT_TRUE (sameBits (eq->levelTarget, std::pow (10., 0.6000000000000003)));
}

TEST (LevelTarget, InitPlacesTheSmootherOnTheTargetOnlyWithInit)
{
	Equaliser eq (44100.);
	EXPECT_NEAR (eq->smoothedLevel, eq->levelTarget, 1e-15);
	eq.setLevel (1.);
	EXPECT_NEAR (eq->smoothedLevel, 1., 1e-15); // unchanged without init
	eq->updateFilters (true);
	EXPECT_NEAR (eq->smoothedLevel, eq->levelTarget, 4e-15);
	EXPECT_TRUE (sameBits (eq->smoothedLevel,
	                       (1. - eq->smoothingCoefA) * eq->levelTarget / eq->smoothingCoefE));
}

TEST (LevelSmoother, CoefficientsAt44100And48000)
{
	{
		Equaliser eq (44100.);
		EXPECT_TRUE (sameBits (eq->smoothingCoefE, 0.9990027651431992)) << eq->smoothingCoefE;
		EXPECT_TRUE (sameBits (eq->smoothingCoefA, 0.0009972348568008105)) << eq->smoothingCoefA;
	}
	{
		Equaliser eq (48000.);
		EXPECT_TRUE (sameBits (eq->smoothingCoefE, 0.9990837533438759)) << eq->smoothingCoefE;
		EXPECT_TRUE (sameBits (eq->smoothingCoefA, 1. - 0.9990837533438759));
	}
}

} // namespace
} // namespace EqTest
