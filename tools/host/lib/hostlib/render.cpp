#include "hostlib/render.h"

#include <algorithm>

namespace vsthost {

using namespace Steinberg;
using namespace Steinberg::Vst;

bool renderAudio (PluginInstance& instance, const AudioBuffer& input, AudioBuffer& output,
                  const RenderOptions& options, std::string& error)
{
	if (input.channelCount () == 0 || input.sampleRate <= 0)
	{
		error = "the input has no audio channels or no sample rate";
		return false;
	}
	if (options.blockSize <= 0)
	{
		error = "block size must be at least 1";
		return false;
	}
	const int32 sampleSize = options.doublePrecision ? kSample64 : kSample32;
	if (!instance.isActive ())
	{
		if (!instance.start (input.sampleRate, options.blockSize, sampleSize, error))
			return false;
	}
	else
	{
		const auto& setup = instance.getProcessSetup ();
		if (setup.symbolicSampleSize != sampleSize || setup.maxSamplesPerBlock < options.blockSize ||
		    setup.sampleRate != input.sampleRate)
		{
			error = "the active instance was set up for another rate, block size or sample size";
			return false;
		}
	}

	const std::vector<double>& left = input.channels[0];
	const std::vector<double>& right = input.channels[input.channelCount () > 1 ? 1 : 0];
	const size_t frames = input.frames ();
	output.sampleRate = input.sampleRate;
	output.resize (2, frames);

	const auto block = static_cast<size_t> (options.blockSize);
	std::vector<float> in32[2], out32[2];
	std::vector<double> in64[2], out64[2];
	for (int c = 0; c < 2; ++c)
	{
		in32[c].resize (block);
		out32[c].resize (block);
		in64[c].resize (block);
		out64[c].resize (block);
	}
	Sample32* inPtr32[2] = {in32[0].data (), in32[1].data ()};
	Sample32* outPtr32[2] = {out32[0].data (), out32[1].data ()};
	Sample64* inPtr64[2] = {in64[0].data (), in64[1].data ()};
	Sample64* outPtr64[2] = {out64[0].data (), out64[1].data ()};

	for (size_t start = 0; start < frames; start += block)
	{
		const size_t n = std::min (block, frames - start);
		tresult result;
		if (options.doublePrecision)
		{
			std::copy_n (left.begin () + static_cast<std::ptrdiff_t> (start), n, in64[0].begin ());
			std::copy_n (right.begin () + static_cast<std::ptrdiff_t> (start), n, in64[1].begin ());
			result = instance.process64 (inPtr64, outPtr64, 2, static_cast<int32> (n));
			for (int c = 0; c < 2; ++c)
				std::copy_n (out64[c].begin (), n, output.channels[c].begin () + static_cast<std::ptrdiff_t> (start));
		}
		else
		{
			for (size_t i = 0; i < n; ++i)
			{
				in32[0][i] = static_cast<float> (left[start + i]);
				in32[1][i] = static_cast<float> (right[start + i]);
			}
			result = instance.process32 (inPtr32, outPtr32, 2, static_cast<int32> (n));
			for (int c = 0; c < 2; ++c)
				for (size_t i = 0; i < n; ++i)
					output.channels[c][start + i] = out32[c][i];
		}
		if (result != kResultOk)
		{
			error = "process failed at frame " + std::to_string (start) + " (result " + std::to_string (result) + ")";
			return false;
		}
	}
	return true;
}

} // namespace vsthost
