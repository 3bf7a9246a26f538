// The fast block filtering: chooses the SIMD kernel by the CPU's features,
// lays the running filters out in lanes (compacted: filters that do not run
// take no lane), and wraps the kernel in the same copy-in, output level and
// guards as the scalar reference.
#include "eqengine.h"
#include "eqkernel.h"
#include "plugprocessor.h"

#include <cmath>
#include <cstring>

namespace Steinberg {
namespace Vst {
namespace Eq {

namespace {

struct CpuFeatures
{
	bool avx2;
	bool avx512;
};

const CpuFeatures& cpuFeatures ()
{
	static const CpuFeatures features = [] {
		__builtin_cpu_init ();
		CpuFeatures f;
		f.avx2 = __builtin_cpu_supports ("avx2");
		f.avx512 = __builtin_cpu_supports ("avx512f");
		return f;
	}();
	return features;
}

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

inline bool sameBits (double a, double b)
{
	return std::memcmp (&a, &b, sizeof (double)) == 0;
}

// The output level loop of the reference. Once the smoother stands still
// (a step gives back the same bits) every further step would too, so the
// rest of the block is a plain multiplication.
template <typename T>
void applyLevel (PlugProcessor& p, const double* left, const double* right, T** out, int32 n)
{
	const double e = p.smoothingCoefE;
	const double a = p.smoothingCoefA;
	const double target = p.levelTarget;
	double level = p.smoothedLevel;
	T* out0 = out[0];
	T* out1 = out[1];
	int32 j = 0;
	while (j < n)
	{
		const double next = level * e + target * a;
		const bool settled = sameBits (next, level);
		level = next;
		storeSample (out0[j], left[j] * level);
		storeSample (out1[j], right[j] * level);
		++j;
		if (settled)
			break;
	}
	for (; j < n; ++j)
	{
		storeSample (out0[j], left[j] * level);
		storeSample (out1[j], right[j] * level);
	}
	p.smoothedLevel = level;
}

void clearNonFinite (EqPath path, float* x, int32 n)
{
	if (path == EqPath::kAvx512)
		clearNonFiniteAvx512 (x, n);
	else if (path == EqPath::kAvx2)
		clearNonFiniteAvx2 (x, n);
	else
		clearNonFiniteSse2 (x, n);
}

void clearNonFinite (EqPath path, double* x, int32 n)
{
	if (path == EqPath::kAvx512)
		clearNonFiniteAvx512 (x, n);
	else if (path == EqPath::kAvx2)
		clearNonFiniteAvx2 (x, n);
	else
		clearNonFiniteSse2 (x, n);
}

void runKernel (EqPath path, const KernelArgs& args)
{
	if (path == EqPath::kAvx512)
		runKernelAvx512 (args);
	else if (path == EqPath::kAvx2)
		runKernelAvx2 (args);
	else
		runKernelSse2 (args);
}

template <typename T>
void engineBlock (PlugProcessor& p, EqPath path, T** in, T** out, int32 n)
{
	if (path == EqPath::kAutomatic)
		path = bestPath ();
	if (path == EqPath::kReference || !pathSupported (path))
	{
		if (sizeof (T) == sizeof (Sample32))
			referenceBlock32 (p, reinterpret_cast<Sample32**> (in), reinterpret_cast<Sample32**> (out), n);
		else
			referenceBlock64 (p, reinterpret_cast<Sample64**> (in), reinterpret_cast<Sample64**> (out), n);
		return;
	}
	if (n <= 0)
		return;

	double* left = p.workBufferLeft;
	double* right = p.workBufferRight;
	{
		const T* in0 = in[0];
		const T* in1 = in[1];
		for (int32 j = 0; j < n; ++j)
		{
			left[j] = finiteOrZero (static_cast<double> (in0[j]));
			right[j] = finiteOrZero (static_cast<double> (in1[j]));
		}
	}

	// Running filters of each channel in cascade order.
	int leftFilters[kNumBands], rightFilters[kNumBands];
	int numLeft = 0, numRight = 0;
	for (int i = 0; i < kNumBands; ++i)
	{
		if (filterRuns (p, i))
			leftFilters[numLeft++] = i;
		if (filterRuns (p, i + kNumBands))
			rightFilters[numRight++] = i + kNumBands;
	}
	const int pairs = numLeft > numRight ? numLeft : numRight;

	if (!std::isfinite (p.smoothedLevel))
		p.smoothedLevel = p.levelTarget;

	if (pairs == 0)
	{
		applyLevel (p, left, right, out, n);
		return;
	}

	LaneData lanes;
	std::memset (&lanes, 0, sizeof (lanes));
	uint32 realLanes = 0;
	auto place = [&] (int lane, int k) {
		lanes.b0[lane] = p.coefB0[k];
		lanes.b1[lane] = p.coefB1[k];
		lanes.b2[lane] = p.coefB2[k];
		lanes.a1[lane] = p.coefA1[k];
		lanes.a2[lane] = p.coefA2[k];
		lanes.z1[lane] = p.stateZ1[k];
		lanes.z2[lane] = p.stateZ2[k];
		realLanes |= uint32 (1) << lane;
	};
	for (int m = 0; m < numLeft; ++m)
		place (2 * m, leftFilters[m]);
	for (int m = 0; m < numRight; ++m)
		place (2 * m + 1, rightFilters[m]);

	KernelArgs args;
	args.lanes = &lanes;
	args.pairs = pairs;
	args.realLanes = realLanes;
	args.padded = numLeft != numRight;
	args.output = args.padded ? kWriteBack : (sizeof (T) == sizeof (Sample32) ? kOutput32 : kOutput64);
	args.left = left;
	args.right = right;
	args.numSamples = n;
	args.out[0] = out[0];
	args.out[1] = out[1];
	args.smoothedLevel = args.padded ? nullptr : &p.smoothedLevel;
	args.levelStep = p.levelTarget * p.smoothingCoefA;
	args.levelCoefE = p.smoothingCoefE;
	runKernel (path, args);

	auto takeBack = [&] (int lane, int k) {
		double z1 = lanes.z1[lane];
		double z2 = lanes.z2[lane];
		if (!std::isfinite (z1) || !std::isfinite (z2))
			z1 = z2 = 0.;
		p.stateZ1[k] = z1;
		p.stateZ2[k] = z2;
	};
	for (int m = 0; m < numLeft; ++m)
		takeBack (2 * m, leftFilters[m]);
	for (int m = 0; m < numRight; ++m)
		takeBack (2 * m + 1, rightFilters[m]);

	if (args.padded)
	{
		applyLevel (p, left, right, out, n);
	}
	else
	{
		clearNonFinite (path, out[0], n);
		clearNonFinite (path, out[1], n);
	}
}

} // namespace

//------------------------------------------------------------------------
bool pathSupported (EqPath path)
{
	switch (path)
	{
		case EqPath::kReference:
		case EqPath::kSse2: return true;
		case EqPath::kAvx2: return cpuFeatures ().avx2;
		case EqPath::kAvx512: return cpuFeatures ().avx512;
		default: return false;
	}
}

EqPath bestPath ()
{
	if (cpuFeatures ().avx512)
		return EqPath::kAvx512;
	if (cpuFeatures ().avx2)
		return EqPath::kAvx2;
	return EqPath::kSse2;
}

const char* pathName (EqPath path)
{
	switch (path)
	{
		case EqPath::kReference: return "reference";
		case EqPath::kSse2: return "sse2";
		case EqPath::kAvx2: return "avx2";
		case EqPath::kAvx512: return "avx512";
		default: return "automatic";
	}
}

void engineBlock32 (PlugProcessor& p, EqPath path, Sample32** in, Sample32** out, int32 numSamples)
{
	engineBlock (p, path, in, out, numSamples);
}

void engineBlock64 (PlugProcessor& p, EqPath path, Sample64** in, Sample64** out, int32 numSamples)
{
	engineBlock (p, path, in, out, numSamples);
}

} // namespace Eq
} // namespace Vst
} // namespace Steinberg
