// The fast block filtering: chooses the SIMD kernel by the CPU's features,
// lays the running filters out in lanes (compacted: filters that do not run
// take no lane), and wraps the kernel in the same copy-in, output level and
// guards as the scalar reference.
#include "eqengine.h"
#include "eqkernel.h"
#include "plugprocessor.h"

#include <atomic>
#include <cmath>
#include <cstring>

namespace Steinberg {
namespace Vst {
namespace Eq {

namespace {

// The CPU's features, found once. No lock and no static guard: the first
// block may ask on the audio thread, and every caller finds the same answer.
enum CpuBits
{
	kKnown = 1,
	kHasAvx2 = 2,
	kHasAvx512 = 4,
};

int cpuBits ()
{
	static std::atomic<int> bits {0};
	int b = bits.load (std::memory_order_relaxed);
	if (b == 0)
	{
		__builtin_cpu_init ();
		b = kKnown | (__builtin_cpu_supports ("avx2") ? kHasAvx2 : 0) |
		    (__builtin_cpu_supports ("avx512f") ? kHasAvx512 : 0);
		bits.store (b, std::memory_order_relaxed);
	}
	return b;
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

// filterRuns, in a form the compiler keeps branch-free: the sum of x - x
// over the coefficients is 0 exactly when all of them are finite.
inline bool runs (const PlugProcessor& p, int k)
{
	const double g = p.bandGainDb[k];
	const double finite = (p.coefB0[k] - p.coefB0[k]) + (p.coefB1[k] - p.coefB1[k]) + (p.coefB2[k] - p.coefB2[k]) +
	                      (p.coefA1[k] - p.coefA1[k]) + (p.coefA2[k] - p.coefA2[k]);
	return (g != 0.) & (g == g) & (finite == 0.);
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
		if (runs (p, i))
			leftFilters[numLeft++] = i;
		if (runs (p, i + kNumBands))
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

	// Lane of each pair's left filter (the right one is next to it).
	const int width = kernels.lanes;
	const int vectors = vectorsFor (pairs, width);
	int laneOfPair[kNumBands];
	for (int m = 0, v = 0, slot = 0; m < pairs; ++m)
	{
		laneOfPair[m] = v * width + 2 * slot;
		if (++v == vectors)
		{
			v = 0;
			++slot;
		}
	}

	LaneData lanes;
	const size_t usedBytes = sizeof (double) * static_cast<size_t> (vectors * width);
	for (double* a : {lanes.b0, lanes.b1, lanes.b2, lanes.a1, lanes.a2, lanes.z1, lanes.z2})
		std::memset (a, 0, usedBytes);
	uint32 realLanes = 0;
	for (int channel = 0; channel < 2; ++channel)
	{
		const int count = channel ? numRight : numLeft;
		const int* filters = channel ? rightFilters : leftFilters;
		for (int m = 0; m < count; ++m)
		{
			const int lane = laneOfPair[m] + channel;
			const int k = filters[m];
			lanes.b0[lane] = p.coefB0[k];
			lanes.b1[lane] = p.coefB1[k];
			lanes.b2[lane] = p.coefB2[k];
			lanes.a1[lane] = p.coefA1[k];
			lanes.a2[lane] = p.coefA2[k];
			lanes.z1[lane] = p.stateZ1[k];
			lanes.z2[lane] = p.stateZ2[k];
			realLanes |= uint32 (1) << lane;
		}
	}

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

	// Memories back; a filter that overflowed starts again from rest.
	for (int channel = 0; channel < 2; ++channel)
	{
		const int count = channel ? numRight : numLeft;
		const int* filters = channel ? rightFilters : leftFilters;
		for (int m = 0; m < count; ++m)
		{
			const int lane = laneOfPair[m] + channel;
			double z1 = lanes.z1[lane];
			double z2 = lanes.z2[lane];
			if (!(z1 - z1 == 0. && z2 - z2 == 0.))
				z1 = z2 = 0.;
			p.stateZ1[filters[m]] = z1;
			p.stateZ2[filters[m]] = z2;
		}
	}

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
		case EqPath::kAvx2: return (cpuBits () & kHasAvx2) != 0;
		case EqPath::kAvx512: return (cpuBits () & kHasAvx512) != 0;
		default: return false;
	}
}

EqPath bestPath ()
{
	if (cpuBits () & kHasAvx512)
		return EqPath::kAvx512;
	if (cpuBits () & kHasAvx2)
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
