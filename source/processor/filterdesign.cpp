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

} // namespace

//------------------------------------------------------------------------
void PlugProcessor::designBandFilter (int32 index, int16 type, int16 centreHz, double gainDb,
                                      double bandwidthHz, double sampleRateHz)
{
	if (index < 0 || index >= kNumFilters || type != kPeakingType)
		return;

	const double f0 = centreHz;
	const double g = gainDb;
	const double df = bandwidthHz;
	const double fs = sampleRateHz;

	// 1. Centre and bandwidth in radians per sample.
	const double r = 1. / fs;
	const double w0 = f0 * kTwoPi * r;
	const double dw = df * kTwoPi * r;

	// 2. Peak gain: always designed as a boost by |g|; a cut swaps the two sides.
	const double v = std::fabs (g);
	const double G = std::pow (10., 0.05 * v);

	// 3. Band-edge gain: half the peak in dB up to 6 dB, 3 dB below the peak above.
	double GB;
	if (v <= 6.)
		GB = std::exp2 (kHalfPeakLog2 * v);
	else
		GB = std::exp2 (kDbLog2 * v - kThreeDbLog2);

	// 4.
	const double t = std::tan (0.5 * w0);
	const double tD = std::tan (0.5 * dw);

	// 5.
	const double G2 = G * G;
	const double GB2 = GB * GB;
	const double G00 = G2 - 1.;
	const double F00 = GB2 - 1.;
	const double F = G2 - GB2;

	// 6.
	const double dw2 = dw * dw;
	const double q = dw2 * kPiSquared * F00 / F;
	const double w02 = w0 * w0;
	const double uBase = w02 - kPiSquared;
	const double u = uBase * uBase;

	// 7. Gain at half the sample rate.
	const double G12 = (q * G2 + u) / (q + u);
	const double G1 = std::sqrt (G12);

	// 8.
	const double G11 = G2 - G12;
	const double F11 = std::fabs (GB2 - G12);
	const double G01 = std::fabs (G2 - G1);
	const double F01 = std::fabs (GB2 - G1);

	// 9.
	const double t2 = t * t;
	const double W2 = std::sqrt (G11 / G00) * t2;

	// 10.
	const double DW = (1. + std::sqrt (G11 * F00 / (F11 * G00)) * t2) * tD;

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
		coefB0[index] = (G1 + W2 + B) * inv;
		coefB1[index] = -2. * (G1 - W2) * inv;
		coefB2[index] = (G1 + W2 - B) * inv;
		coefA1[index] = (2. * W2 - 2.) * inv;
		coefA2[index] = (1. + W2 - A) * inv;
	}
	else
	{
		const double inv = 1. / (G1 + W2 + B);
		coefB0[index] = (1. + W2 + A) * inv;
		coefB1[index] = (2. * W2 - 2.) * inv;
		coefB2[index] = (1. + W2 - A) * inv;
		coefA1[index] = -2. * (G1 - W2) * inv;
		coefA2[index] = (G1 + W2 - B) * inv;
	}
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
void PlugProcessor::updateFilters (bool init)
{
	for (int i = 0; i < kNumBands; ++i)
	{
		const double f0 = bandFrequencies[i];
		if (sampleRate * 0.5 > f0)
			bandGainDb[i] = params.bands[i] * 24. - 12.;
		else
			bandGainDb[i] = 0.;
	}

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
	for (int i = 0; i < kNumBands; ++i)
	{
		const double f0 = bandFrequencies[i];
		if (sampleRate * 0.5 > f0)
			bandGainDb[i] = params.bands[i] * 24. - 12.;
		else
			bandGainDb[i] = 0.;
	}

	for (int i = 0; i < kNumBands; ++i)
	{
		bandGainDb[i + kNumBands] = bandGainDb[i];
		if (bandGainDb[i] == 0. || std::isnan (bandGainDb[i]))
			continue;
		const double f0 = bandFrequencies[i];
		if (!(sampleRate * 0.5 > f0))
			continue;

		// The design is a pure function of gain, centre, bandwidth and sample
		// rate: a band whose inputs and both filters' coefficients are still
		// those of its last design would be given the same bits again.
		const int k = i + kNumBands;
		const double* c = designCache.coef[i];
		if (sameBits (designCache.gainDb[i], bandGainDb[i]) &&
		    sameBits (designCache.sampleRate[i], sampleRate) && sameBits (coefB0[i], c[0]) &&
		    sameBits (coefB1[i], c[1]) && sameBits (coefB2[i], c[2]) && sameBits (coefA1[i], c[3]) &&
		    sameBits (coefA2[i], c[4]) && sameBits (coefB0[k], c[0]) && sameBits (coefB1[k], c[1]) &&
		    sameBits (coefB2[k], c[2]) && sameBits (coefA1[k], c[3]) && sameBits (coefA2[k], c[4]))
			continue;

		const double bandwidth = f0 * kTwoThirdOctaveWidth;
		designBandFilter (i, filterType, bandFrequencies[i], bandGainDb[i], bandwidth, sampleRate);
		designBandFilter (k, filterType, bandFrequencies[i], bandGainDb[k], bandwidth, sampleRate);

		designCache.gainDb[i] = bandGainDb[i];
		designCache.sampleRate[i] = sampleRate;
		double* cw = designCache.coef[i];
		cw[0] = coefB0[i];
		cw[1] = coefB1[i];
		cw[2] = coefB2[i];
		cw[3] = coefA1[i];
		cw[4] = coefA2[i];
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
