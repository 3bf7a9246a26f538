// Block filtering and output level: the two entries that process() calls for
// a block that is neither silent nor bypassed.
#include "eqengine.h"
#include "plugprocessor.h"

namespace Steinberg {
namespace Vst {

namespace {

// The host promises buffers, two channels and at most maxSamplesPerBlock
// samples. Should it break that promise, nothing is written out of bounds:
// a block longer than the work buffers (which are capped, and keep the size
// of the set-up they were made for) runs through them in pieces (the filters
// are sequential, so the result equals one long block), and without work
// buffers the output is silence.
template <typename T, typename Run>
void runBlock (PlugProcessor& p, T** in, T** out, int32 numSamples, Run run)
{
	if (numSamples <= 0 || !in || !out || !in[0] || !in[1] || !out[0] || !out[1])
		return;
	const int32 capacity = p.getWorkBufferSize ();
	if (!p.workBufferLeft || !p.workBufferRight || capacity <= 0)
	{
		for (int32 j = 0; j < numSamples; ++j)
		{
			out[0][j] = 0;
			out[1][j] = 0;
		}
		return;
	}
	if (numSamples <= capacity)
	{
		run (in, out, numSamples);
		return;
	}
	for (int32 done = 0; done < numSamples;)
	{
		const int32 n = numSamples - done < capacity ? numSamples - done : capacity;
		T* inPart[2] = {in[0] + done, in[1] + done};
		T* outPart[2] = {out[0] + done, out[1] + done};
		run (inPart, outPart, n);
		done += n;
	}
}

} // namespace

//------------------------------------------------------------------------
void PlugProcessor::processAudio32 (Sample32** in, Sample32** out, int32 numSamples)
{
	runBlock (*this, in, out, numSamples, [this] (Sample32** i, Sample32** o, int32 n) {
		Eq::engineBlock32 (*this, eqPath, i, o, n);
	});
}

//------------------------------------------------------------------------
void PlugProcessor::processAudio64 (Sample64** in, Sample64** out, int32 numSamples)
{
	runBlock (*this, in, out, numSamples, [this] (Sample64** i, Sample64** o, int32 n) {
		Eq::engineBlock64 (*this, eqPath, i, o, n);
	});
}

} // namespace Vst
} // namespace Steinberg
