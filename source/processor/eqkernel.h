// Interface between the engine's frame (eqengine.cpp, built for the baseline
// CPU) and its SIMD kernels (eqkernel_*.cpp, each built for one instruction
// set and only called when the CPU has it).
//
// The kernels run the compacted filter cascade of both channels as a skewed
// pipeline. Lane 2m holds the m-th running filter of the left channel, lane
// 2m + 1 the m-th of the right channel. At step s the filters of pair m work
// on sample s - m: the input of pair m is what pair m - 1 put out one step
// earlier, and the block's input sample s enters pair 0. Every lane performs
// exactly the scalar filter's operations in the same order, so the output is
// the scalar cascade's bit for bit. A block of n samples takes n + P - 1 steps
// for P pairs; in the first and last P - 1 steps the lanes outside the block
// leave their memories untouched.
#pragma once

#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg {
namespace Vst {
namespace Eq {

static constexpr int kLaneCount = 32; // 15 pairs, rounded up to whole 8-lane vectors

// Coefficients and memories of every lane (64-byte aligned for all vector widths).
struct alignas (64) LaneData
{
	double b0[kLaneCount];
	double b1[kLaneCount];
	double b2[kLaneCount];
	double a1[kLaneCount];
	double a2[kLaneCount];
	double z1[kLaneCount];
	double z2[kLaneCount];
};

enum KernelOutput
{
	kWriteBack = 0, // filtered samples go back into the work buffers
	kOutput32 = 1,  // filtered samples times the smoothed level go to 32-bit outputs
	kOutput64 = 2,  // ... to 64-bit outputs
};

struct KernelArgs
{
	LaneData* lanes;
	int pairs;          // 1 to 15
	uint32 realLanes;   // bit per lane that runs a filter; the others pass their input on
	bool padded;        // realLanes is not every lane below 2 * pairs
	int output;         // KernelOutput
	double* left;       // work buffers holding the block's input
	double* right;
	int32 numSamples;   // at least 1
	void* out[2];       // kOutput32/64: the output channels
	double* smoothedLevel; // kOutput32/64: stepped once per sample
	double levelStep;   // levelTarget * smoothingCoefA
	double levelCoefE;  // smoothingCoefE
};

void runKernelSse2 (const KernelArgs& args);
void runKernelAvx2 (const KernelArgs& args);
void runKernelAvx512 (const KernelArgs& args);

// Zero every sample that is not finite; a no-op pass over finite blocks.
void clearNonFiniteSse2 (float* x, int32 n);
void clearNonFiniteSse2 (double* x, int32 n);
void clearNonFiniteAvx2 (float* x, int32 n);
void clearNonFiniteAvx2 (double* x, int32 n);
void clearNonFiniteAvx512 (float* x, int32 n);
void clearNonFiniteAvx512 (double* x, int32 n);

} // namespace Eq
} // namespace Vst
} // namespace Steinberg
