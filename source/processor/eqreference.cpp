// The equaliser's block filtering as plain scalar loops: the definition that
// every faster path must reproduce bit for bit.
//
// Choices beyond the nominal signal path, all of which leave finite input and
// sane settings bit-exact:
// - a non-finite input sample (NaN, infinity) enters the filters as 0, so one
//   bad sample cannot poison the filter memories for good;
// - a filter whose gain is 0 or NaN, or whose coefficients are not all finite,
//   does not run and its memories are untouched;
// - a filter whose memories are not finite after a block (only reachable by
//   overflow with absurd gains) restarts from zero memories;
// - an output sample that is not finite (overflow) is written as 0;
// - a smoothed level that is not finite when a block starts restarts at the target.
#include "eqengine.h"
#include "plugprocessor.h"

#include <cmath>

namespace Steinberg {
namespace Vst {
namespace Eq {

//------------------------------------------------------------------------
bool filterRuns (const PlugProcessor& p, int k)
{
	const double g = p.bandGainDb[k];
	if (g == 0. || std::isnan (g))
		return false;
	return std::isfinite (p.coefB0[k]) && std::isfinite (p.coefB1[k]) && std::isfinite (p.coefB2[k]) &&
	       std::isfinite (p.coefA1[k]) && std::isfinite (p.coefA2[k]);
}

namespace {

inline double finiteOrZero (double x)
{
	return std::isfinite (x) ? x : 0.;
}

inline void storeSample (Sample64& dst, double y)
{
	dst = std::isfinite (y) ? y : 0.;
}

inline void storeSample (Sample32& dst, double y)
{
	const float f = static_cast<float> (y);
	dst = std::isfinite (f) ? f : 0.f;
}

// One filter over the whole buffer, direct form II.
void runFilter (PlugProcessor& p, int k, double* x, int32 n)
{
	const double b0 = p.coefB0[k];
	const double b1 = p.coefB1[k];
	const double b2 = p.coefB2[k];
	const double a1 = p.coefA1[k];
	const double a2 = p.coefA2[k];
	double z1 = p.stateZ1[k];
	double z2 = p.stateZ2[k];
	for (int32 j = 0; j < n; ++j)
	{
		const double w = (x[j] + 1e-18) - (a1 * z1 + a2 * z2);
		const double y = (b2 * z2 + b1 * z1) + b0 * w;
		x[j] = y;
		z2 = z1;
		z1 = w;
	}
	if (!std::isfinite (z1) || !std::isfinite (z2))
		z1 = z2 = 0.;
	p.stateZ1[k] = z1;
	p.stateZ2[k] = z2;
}

template <typename T>
void referenceBlock (PlugProcessor& p, T** in, T** out, int32 n)
{
	if (n <= 0)
		return;
	double* left = p.workBufferLeft;
	double* right = p.workBufferRight;

	// All input is taken before any output is written: in-place buffers are fine.
	for (int32 j = 0; j < n; ++j)
	{
		left[j] = finiteOrZero (static_cast<double> (in[0][j]));
		right[j] = finiteOrZero (static_cast<double> (in[1][j]));
	}

	for (int i = 0; i < kNumBands; ++i)
	{
		if (filterRuns (p, i))
			runFilter (p, i, left, n);
		if (filterRuns (p, i + kNumBands))
			runFilter (p, i + kNumBands, right, n);
	}

	if (!std::isfinite (p.smoothedLevel))
		p.smoothedLevel = p.levelTarget;
	for (int32 j = 0; j < n; ++j)
	{
		p.smoothedLevel = p.smoothedLevel * p.smoothingCoefE + p.levelTarget * p.smoothingCoefA;
		storeSample (out[0][j], left[j] * p.smoothedLevel);
		storeSample (out[1][j], right[j] * p.smoothedLevel);
	}
}

} // namespace

//------------------------------------------------------------------------
void referenceBlock32 (PlugProcessor& p, Sample32** in, Sample32** out, int32 numSamples)
{
	referenceBlock (p, in, out, numSamples);
}

void referenceBlock64 (PlugProcessor& p, Sample64** in, Sample64** out, int32 numSamples)
{
	referenceBlock (p, in, out, numSamples);
}

} // namespace Eq
} // namespace Vst
} // namespace Steinberg
