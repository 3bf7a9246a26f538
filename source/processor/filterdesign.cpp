// Band filter design: the gain of each of the 30 filters, the peaking biquad
// of every active band, and the output level target. All in double precision,
// operation for operation in a fixed order, so that every build gives the same
// coefficients bit for bit (the build never contracts a*b+c).
#include "plugprocessor.h"

#include <cmath>
#include <cstring>

namespace Steinberg {
namespace Vst {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kPiSquared = 9.869604401089358;
// Width of a 2/3-octave band relative to its centre: 2^(1/3) - 2^(-1/3).
constexpr double kTwoThirdOctaveWidth = 0.4662205239;
// log2(10)/40, log2(10)/20 and 3*log2(10)/20: the edge gain as a power of two.
constexpr double kHalfPeakLog2 = 0.08304820237218406;
constexpr double kDbLog2 = 0.16609640474436813;
constexpr double kThreeDbLog2 = 0.4982892142331044;
// 48 * 0.05 in double precision (one unit in the last place above 2.4), and -36 * 0.05.
constexpr double kLevelScale = 2.4000000000000004;
constexpr double kLevelOffset = 1.8;

constexpr int kPeakingType = 2;

bool sameBits (double a, double b)
{
	return std::memcmp (&a, &b, sizeof (double)) == 0;
}

// The parts of a band's design that depend on its centre, bandwidth and the
// sample rate only (steps 1, 4 and the frequency factors of step 6).
struct BandTerms
{
	double t, tD, t2, dw2Pi2, u;
};

BandTerms bandTerms (double f0, double df, double fs)
{
	// 1. Centre and bandwidth in radians per sample.
	const double r = 1. / fs;
	const double w0 = f0 * kTwoPi * r;
	const double dw = df * kTwoPi * r;

	// 4.
	BandTerms b;
	b.t = std::tan (0.5 * w0);
	b.tD = std::tan (0.5 * dw);
	b.t2 = b.t * b.t;

	// 6. (frequency factors)
	const double dw2 = dw * dw;
	b.dw2Pi2 = dw2 * kPiSquared;
	const double w02 = w0 * w0;
	const double uBase = w02 - kPiSquared;
	b.u = uBase * uBase;
	return b;
}

// The peaking design for gain g (dB, not 0): b0 b1 b2 a1 a2 into c.
void designPeaking (const BandTerms& b, double g, double* c)
{
	// 2. Peak gain: always designed as a boost by |g|; a cut swaps the two sides.
	const double v = std::fabs (g);
	const double G = std::pow (10., 0.05 * v);

	// 3. Band-edge gain: half the peak in dB up to 6 dB, 3 dB below the peak above.
	double GB;
	if (v <= 6.)
		GB = std::exp2 (kHalfPeakLog2 * v);
	else
		GB = std::exp2 (kDbLog2 * v - kThreeDbLog2);

	// 5.
	const double G2 = G * G;
	const double GB2 = GB * GB;
	const double G00 = G2 - 1.;
	const double F00 = GB2 - 1.;
	const double F = G2 - GB2;

	// 6.
	const double q = b.dw2Pi2 * F00 / F;
	const double u = b.u;

	// 7. Gain at half the sample rate.
	const double G12 = (q * G2 + u) / (q + u);
	const double G1 = std::sqrt (G12);

	// 8.
	const double G11 = G2 - G12;
	const double F11 = std::fabs (GB2 - G12);
	const double G01 = std::fabs (G2 - G1);
	const double F01 = std::fabs (GB2 - G1);

	// 9.
	const double t2 = b.t2;
	const double W2 = std::sqrt (G11 / G00) * t2;

	// 10.
	const double DW = (1. + std::sqrt (G11 * F00 / (F11 * G00)) * t2) * b.tD;

	// 11. - 12.
	const double DW2 = DW * DW;
	const double C = F11 * DW2 - 2. * W2 * (F01 - std::sqrt (F00 * F11));
	const double D = 2. * W2 * (G01 - std::sqrt (G00 * G11));

	// 13.
	const double A = std::sqrt ((C + D) / F);
	const double B = std::sqrt ((G2 * C + GB2 * D) / F);

	// 14. Numerators times the reciprocal of the leading denominator term.
	if (g > 0.)
	{
		const double inv = 1. / (1. + W2 + A);
		c[0] = (G1 + W2 + B) * inv;
		c[1] = -2. * (G1 - W2) * inv;
		c[2] = (G1 + W2 - B) * inv;
		c[3] = (2. * W2 - 2.) * inv;
		c[4] = (1. + W2 - A) * inv;
	}
	else
	{
		const double inv = 1. / (G1 + W2 + B);
		c[0] = (1. + W2 + A) * inv;
		c[1] = (2. * W2 - 2.) * inv;
		c[2] = (1. + W2 - A) * inv;
		c[3] = -2. * (G1 - W2) * inv;
		c[4] = (G1 + W2 - B) * inv;
	}
}

} // namespace

//------------------------------------------------------------------------
void PlugProcessor::designBandFilter (int32 index, int16 type, int16 centreHz, double gainDb,
                                      double bandwidthHz, double sampleRateHz)
{
	if (index < 0 || index >= kNumFilters || type != kPeakingType)
		return;
	double c[5];
	designPeaking (bandTerms (centreHz, bandwidthHz, sampleRateHz), gainDb, c);
	coefB0[index] = c[0];
	coefB1[index] = c[1];
	coefB2[index] = c[2];
	coefA1[index] = c[3];
	coefA2[index] = c[4];
}

//------------------------------------------------------------------------
// A level that the power cannot turn into a finite gain (NaN, or far beyond
// the range a loaded state may carry) mutes the output rather than poisoning
// the smoother for good.
static double levelTargetFor (double level)
{
	const double target = std::pow (10., level * kLevelScale - kLevelOffset);
	return std::isfinite (target) ? target : 0.;
}

//------------------------------------------------------------------------
// The gain of each band's left filter from its parameter: +-12 dB, and 0 for
// a band whose centre is not below the Nyquist frequency.
static void computeBandGains (PlugProcessor& p)
{
	for (int i = 0; i < kNumBands; ++i)
	{
		const double f0 = p.bandFrequencies[i];
		if (p.sampleRate * 0.5 > f0)
			p.bandGainDb[i] = p.params.bands[i] * 24. - 12.;
		else
			p.bandGainDb[i] = 0.;
	}
}

//------------------------------------------------------------------------
void PlugProcessor::updateFilters (bool init)
{
	computeBandGains (*this);

	for (int i = 0; i < kNumBands; ++i)
	{
		bandGainDb[i + kNumBands] = bandGainDb[i];
		if (bandGainDb[i] == 0. || std::isnan (bandGainDb[i]))
			continue;
		const double f0 = bandFrequencies[i];
		if (sampleRate * 0.5 > f0)
		{
			const double bandwidth = f0 * kTwoThirdOctaveWidth;
			designBandFilter (i, filterType, bandFrequencies[i], bandGainDb[i], bandwidth, sampleRate);
			designBandFilter (i + kNumBands, filterType, bandFrequencies[i], bandGainDb[i + kNumBands],
			                  bandwidth, sampleRate);

			designCache.gainDb[i] = bandGainDb[i];
			designCache.sampleRate[i] = sampleRate;
			double* c = designCache.coef[i];
			c[0] = coefB0[i];
			c[1] = coefB1[i];
			c[2] = coefB2[i];
			c[3] = coefA1[i];
			c[4] = coefA2[i];
		}
	}

	levelTarget = levelTargetFor (params.level);
	designCache.level = params.level;
	designCache.levelTarget = levelTarget;
	designCache.levelValid = true;

	if (init)
		smoothedLevel = (1. - smoothingCoefA) * levelTarget / smoothingCoefE;
}

//------------------------------------------------------------------------
void PlugProcessor::updateFiltersAfterQueues ()
{
	computeBandGains (*this);

	for (int i = 0; i < kNumBands; ++i)
	{
		bandGainDb[i + kNumBands] = bandGainDb[i];
		if (bandGainDb[i] == 0. || std::isnan (bandGainDb[i]))
			continue;
		const double f0 = bandFrequencies[i];
		if (!(sampleRate * 0.5 > f0))
			continue;

		// Only the peaking type is designed (designBandFilter leaves any other
		// type's coefficients alone).
		if (filterType != kPeakingType)
			continue;

		// The design is a pure function of gain, centre, bandwidth and sample
		// rate: a band whose inputs and both filters' coefficients are still
		// those of its last design would be given the same bits again.
		const int k = i + kNumBands;
		double* kept = designCache.coef[i];
		if (sameBits (designCache.gainDb[i], bandGainDb[i]) && sameBits (designCache.sampleRate[i], sampleRate) &&
		    sameBits (coefB0[i], kept[0]) && sameBits (coefB1[i], kept[1]) && sameBits (coefB2[i], kept[2]) &&
		    sameBits (coefA1[i], kept[3]) && sameBits (coefA2[i], kept[4]) && sameBits (coefB0[k], kept[0]) &&
		    sameBits (coefB1[k], kept[1]) && sameBits (coefB2[k], kept[2]) && sameBits (coefA1[k], kept[3]) &&
		    sameBits (coefA2[k], kept[4]))
			continue;

		// The same operations as designBandFilter, with the band's frequency
		// terms kept from its last design at this rate.
		double* terms = designCache.terms[i];
		if (!(sameBits (designCache.termsRate[i], sampleRate) && designCache.termsCentre[i] == bandFrequencies[i]))
		{
			const BandTerms fresh = bandTerms (bandFrequencies[i], f0 * kTwoThirdOctaveWidth, sampleRate);
			terms[0] = fresh.t;
			terms[1] = fresh.tD;
			terms[2] = fresh.t2;
			terms[3] = fresh.dw2Pi2;
			terms[4] = fresh.u;
			designCache.termsRate[i] = sampleRate;
			designCache.termsCentre[i] = bandFrequencies[i];
		}
		designPeaking (BandTerms {terms[0], terms[1], terms[2], terms[3], terms[4]}, bandGainDb[i], kept);
		designCache.gainDb[i] = bandGainDb[i];
		designCache.sampleRate[i] = sampleRate;

		// The right channel's design has the same arguments and so gives the
		// same bits: both take the one result.
		coefB0[i] = coefB0[k] = kept[0];
		coefB1[i] = coefB1[k] = kept[1];
		coefB2[i] = coefB2[k] = kept[2];
		coefA1[i] = coefA1[k] = kept[3];
		coefA2[i] = coefA2[k] = kept[4];
	}

	if (!(designCache.levelValid && sameBits (designCache.level, params.level) &&
	      sameBits (designCache.levelTarget, levelTarget)))
	{
		levelTarget = levelTargetFor (params.level);
		designCache.level = params.level;
		designCache.levelTarget = levelTarget;
		designCache.levelValid = true;
	}
}

} // namespace Vst
} // namespace Steinberg
