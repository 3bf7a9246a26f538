// The equaliser's block filtering: a plain scalar reference (the definition of
// the result) and a fast engine that runs the filter cascade as a skewed SIMD
// pipeline. Every path produces the reference's output bit for bit.
#pragma once

#include "paramstate.h"
#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg {
namespace Vst {

class PlugProcessor;

// Which implementation of the block filtering runs.
enum class EqPath : int32
{
	kAutomatic = -1, // the fastest one this CPU supports
	kReference = 0,  // plain scalar loops, filter by filter
	kSse2 = 1,       // 2 lanes (one band of both channels per vector)
	kAvx2 = 2,       // 4 lanes
	kAvx512 = 3,     // 8 lanes
};

// What each band was last designed for, so that a redesign after a block's
// parameter changes can leave unchanged bands alone.
struct EqDesignCache
{
	double gainDb[kNumBands] {};     // 0: never designed (a 0 dB band is never designed)
	double sampleRate[kNumBands] {};
	double coef[kNumBands][5] {};    // b0 b1 b2 a1 a2 the design gave
	double termsRate[kNumBands] {};  // rate of the frequency terms kept for each band (0: none)
	int16 termsCentre[kNumBands] {};
	double terms[kNumBands][5] {};
	double level {};                 // params.level behind levelTarget
	double levelTarget {};
	bool levelValid {false};
};

namespace Eq {

static constexpr int kMaxPairs = kNumBands;      // filters per channel
static constexpr int kMaxLanes = 2 * kMaxPairs + 2; // rounded up to a whole 8-lane vector

bool pathSupported (EqPath path);
EqPath bestPath ();
const char* pathName (EqPath path);

// The definition: copy-in, cascade band by band (left filter i, then right
// filter i + 15), output level sample by sample. Plain scalar code.
void referenceBlock32 (PlugProcessor& p, Sample32** in, Sample32** out, int32 numSamples);
void referenceBlock64 (PlugProcessor& p, Sample64** in, Sample64** out, int32 numSamples);

// The same block through the given SIMD path (kAutomatic: the best supported;
// kReference or an unsupported path: the reference).
void engineBlock32 (PlugProcessor& p, EqPath path, Sample32** in, Sample32** out, int32 numSamples);
void engineBlock64 (PlugProcessor& p, EqPath path, Sample64** in, Sample64** out, int32 numSamples);

// Whether filter k (0 to 29) runs: its gain is neither 0 nor NaN and its five
// coefficients are finite (a design that overflowed or divided 0 by 0 is off).
bool filterRuns (const PlugProcessor& p, int k);

} // namespace Eq
} // namespace Vst
} // namespace Steinberg
