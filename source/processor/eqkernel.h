// Interface between the engine's frame (eqengine.cpp, built for the baseline
// CPU) and its SIMD kernels (eqkernel_*.cpp, each built for one instruction
// set and only called when the CPU has it).
//
// The kernels run the compacted filter cascade of both channels as a skewed
// pipeline. Filter pair m (the m-th running filter of the left channel and
// the m-th of the right) sits in vector m % V, in the lane pair m / V, left
// channel in the even lane. At step s pair m works on sample s - 2m: its input
// is what pair m - 1 put out two steps earlier, and the block's input sample s
// enters pair 0. With the next filter in the same lanes of the next vector,
// only the step from the last vector back to the first moves data across
// lanes; with two steps between neighbours, no filter waits for another, and
// each runs at the pace of its own recursion. Every lane performs exactly the
// scalar filter's operations in the same order, so the output is the scalar
// cascade's bit for bit. A block of n samples takes n + 2 (P - 1) steps for P
// pairs; in the first and last 2 (P - 1) steps the lanes outside the block
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

// Vectors of W lanes that P pairs take, and the lane of pair m, channel ch.
constexpr int vectorsFor (int pairs, int lanesPerVector)
{
	return (2 * pairs + lanesPerVector - 1) / lanesPerVector;
}
constexpr int laneOf (int pairs, int lanesPerVector, int m, int ch)
{
	return (m % vectorsFor (pairs, lanesPerVector)) * lanesPerVector + 2 * (m / vectorsFor (pairs, lanesPerVector)) + ch;
}

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

// The entry points built for one instruction set.
struct KernelSet
{
	int lanes; // doubles per vector
	void (*run) (const KernelArgs& args);
	// Input into the work buffers; a sample that is not finite enters as 0.
	void (*copyIn32) (const float* in0, const float* in1, double* left, double* right, int32 n);
	void (*copyIn64) (const double* in0, const double* in1, double* left, double* right, int32 n);
	// Work buffers times a constant level into the outputs; a product that
	// is not finite (as stored) is written as 0.
	void (*scale32) (const double* left, const double* right, float* out0, float* out1, int32 n, double level);
	void (*scale64) (const double* left, const double* right, double* out0, double* out1, int32 n, double level);
	// Zero every sample that is not finite; a quick pass over finite blocks.
	void (*clear32) (float* x, int32 n);
	void (*clear64) (double* x, int32 n);
};

const KernelSet& kernelsSse2 ();
const KernelSet& kernelsAvx2 ();
const KernelSet& kernelsAvx512 ();

} // namespace Eq
} // namespace Vst
} // namespace Steinberg
