// Choice of the block-filtering path by the CPU's features, and the common
// frame around the SIMD kernels.
#include "eqengine.h"
#include "plugprocessor.h"

namespace Steinberg {
namespace Vst {
namespace Eq {

bool pathSupported (EqPath path)
{
	return path == EqPath::kReference;
}

EqPath bestPath ()
{
	return EqPath::kReference;
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
	referenceBlock32 (p, in, out, numSamples);
}

void engineBlock64 (PlugProcessor& p, EqPath path, Sample64** in, Sample64** out, int32 numSamples)
{
	referenceBlock64 (p, in, out, numSamples);
}

} // namespace Eq
} // namespace Vst
} // namespace Steinberg
