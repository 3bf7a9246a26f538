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

const KernelSet& kernelsFor (EqPath path)
{
	if (path == EqPath::kAvx512)
		return kernelsAvx512 ();
	if (path == EqPath::kAvx2)
		return kernelsAvx2 ();
	return kernelsSse2 ();
}

inline void copyIn (const KernelSet& k, Sample32** in, double* left, double* right, int32 n)
{
	k.copyIn32 (in[0], in[1], left, right, n);
}
inline void copyIn (const KernelSet& k, Sample64** in, double* left, double* right, int32 n)
{
	k.copyIn64 (in[0], in[1], left, right, n);
}
inline void scale (const KernelSet& k, const double* left, const double* right, Sample32** out, int32 offset,
                   int32 n, double level)
{
	k.scale32 (left + offset, right + offset, out[0] + offset, out[1] + offset, n, level);
}
inline void scale (const KernelSet& k, const double* left, const double* right, Sample64** out, int32 offset,
                   int32 n, double level)
{
	k.scale64 (left + offset, right + offset, out[0] + offset, out[1] + offset, n, level);
}
inline void clearNonFinite (const KernelSet& k, Sample32** out, int32 n)
{
	k.clear32 (out[0], n);
	k.clear32 (out[1], n);
}
inline void clearNonFinite (const KernelSet& k, Sample64** out, int32 n)
{
	k.clear64 (out[0], n);
	k.clear64 (out[1], n);
}

// The output level loop of the reference. Once the smoother stands still
// (a step gives back the same bits) every further step would too, so the
// rest of the block is a plain multiplication.
template <typename T>
void applyLevel (PlugProcessor& p, const KernelSet& k, const double* left, const double* right, T** out, int32 n)
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
		if (settled)
			break;
		storeSample (out0[j], left[j] * level);
		storeSample (out1[j], right[j] * level);
		++j;
	}
	if (j < n)
		scale (k, left, right, out, j, n - j, level);
	p.smoothedLevel = level;
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
	const KernelSet& kernels = kernelsFor (path);

	double* left = p.workBufferLeft;
	double* right = p.workBufferRight;
	copyIn (kernels, in, left, right, n);

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
		applyLevel (p, kernels, left, right, out, n);
		return;
	}

	const int width = kernels.lanes;
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
		place (laneOf (pairs, width, m, 0), leftFilters[m]);
	for (int m = 0; m < numRight; ++m)
		place (laneOf (pairs, width, m, 1), rightFilters[m]);

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
	kernels.run (args);

	auto takeBack = [&] (int lane, int k) {
		double z1 = lanes.z1[lane];
		double z2 = lanes.z2[lane];
		if (!std::isfinite (z1) || !std::isfinite (z2))
			z1 = z2 = 0.;
		p.stateZ1[k] = z1;
		p.stateZ2[k] = z2;
	};
	for (int m = 0; m < numLeft; ++m)
		takeBack (laneOf (pairs, width, m, 0), leftFilters[m]);
	for (int m = 0; m < numRight; ++m)
		takeBack (laneOf (pairs, width, m, 1), rightFilters[m]);

	if (args.padded)
		applyLevel (p, kernels, left, right, out, n);
	else
		clearNonFinite (kernels, out, n);
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
