#include "hostlib/render.h"

#include <algorithm>
#include <type_traits>

namespace vsthost {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// Frames moved through the files at a time: several short blocks per read and write.
constexpr size_t kChunkFrames = 8192;

bool prepare (PluginInstance& instance, double sampleRate, const RenderOptions& options, std::string& error)
{
	if (options.blockSize <= 0)
	{
		error = "block size must be at least 1";
		return false;
	}
	const int32 sampleSize = options.doublePrecision ? kSample64 : kSample32;
	if (!instance.isActive ())
		return instance.start (sampleRate, options.blockSize, sampleSize, error);
	const auto& setup = instance.getProcessSetup ();
	if (setup.symbolicSampleSize != sampleSize || setup.maxSamplesPerBlock < options.blockSize ||
	    setup.sampleRate != sampleRate)
	{
		error = "the active instance was set up for another rate, block size or sample size";
		return false;
	}
	return true;
}

tresult processBlock (PluginInstance& instance, Sample32** inputs, Sample32** outputs, int32 numSamples)
{
	return instance.process32 (inputs, outputs, 2, numSamples);
}

tresult processBlock (PluginInstance& instance, Sample64** inputs, Sample64** outputs, int32 numSamples)
{
	return instance.process64 (inputs, outputs, 2, numSamples);
}

// fill (left, right, maxFrames, got, error) gives the next input frames, fewer than
// asked only at the end; take (left, right, frames, error) takes the output. A chunk
// is a whole number of blocks, so the blocks are those of one pass over the input.
template <typename Sample, typename Fill, typename Take>
bool renderBlocks (PluginInstance& instance, size_t blockSize, Fill&& fill, Take&& take, std::uint64_t& frames,
                   std::string& error)
{
	const size_t chunk = blockSize * std::max<size_t> (1, kChunkFrames / blockSize);
	std::vector<Sample> in[2], out[2];
	for (int c = 0; c < 2; ++c)
	{
		in[c].resize (chunk);
		out[c].resize (chunk);
	}
	frames = 0;
	for (;;)
	{
		size_t got = 0;
		if (!fill (in[0].data (), in[1].data (), chunk, got, error))
			return false;
		for (size_t start = 0; start < got; start += blockSize)
		{
			const size_t n = std::min (blockSize, got - start);
			Sample* inputs[2] = {in[0].data () + start, in[1].data () + start};
			Sample* outputs[2] = {out[0].data () + start, out[1].data () + start};
			tresult result = processBlock (instance, inputs, outputs, static_cast<int32> (n));
			if (result != kResultOk)
			{
				error = "process failed at frame " + std::to_string (frames + start) + " (result " +
				        std::to_string (result) + ")";
				return false;
			}
		}
		if (got > 0 && !take (out[0].data (), out[1].data (), got, error))
			return false;
		frames += got;
		if (got < chunk)
			return true;
	}
}

template <typename Fill, typename Take>
bool renderChunks (PluginInstance& instance, const RenderOptions& options, Fill&& fill, Take&& take,
                   std::uint64_t& frames, std::string& error)
{
	const auto blockSize = static_cast<size_t> (options.blockSize);
	if (options.doublePrecision)
		return renderBlocks<Sample64> (instance, blockSize, fill, take, frames, error);
	return renderBlocks<Sample32> (instance, blockSize, fill, take, frames, error);
}

} // namespace

bool renderAudio (PluginInstance& instance, const AudioBuffer& input, AudioBuffer& output,
                  const RenderOptions& options, std::string& error)
{
	if (input.channelCount () == 0 || input.sampleRate <= 0)
	{
		error = "the input has no audio channels or no sample rate";
		return false;
	}
	if (!prepare (instance, input.sampleRate, options, error))
		return false;

	const std::vector<double>& left = input.channels[0];
	const std::vector<double>& right = input.channels[input.channelCount () > 1 ? 1 : 0];
	output.sampleRate = input.sampleRate;
	output.resize (2, input.frames ());
	size_t readPosition = 0;
	size_t writePosition = 0;
	auto fill = [&] (auto* l, auto* r, size_t maxFrames, size_t& got, std::string&) {
		using Sample = std::remove_pointer_t<decltype (l)>;
		got = std::min (maxFrames, left.size () - readPosition);
		for (size_t i = 0; i < got; ++i)
		{
			l[i] = static_cast<Sample> (left[readPosition + i]);
			r[i] = static_cast<Sample> (right[readPosition + i]);
		}
		readPosition += got;
		return true;
	};
	auto take = [&] (const auto* l, const auto* r, size_t frames, std::string&) {
		std::copy_n (l, frames, output.channels[0].begin () + static_cast<std::ptrdiff_t> (writePosition));
		std::copy_n (r, frames, output.channels[1].begin () + static_cast<std::ptrdiff_t> (writePosition));
		writePosition += frames;
		return true;
	};
	std::uint64_t frames = 0;
	return renderChunks (instance, options, fill, take, frames, error);
}

bool renderFile (PluginInstance& instance, SoundFileReader& input, SoundFileWriter& output,
                 const RenderOptions& options, std::uint64_t& frames, std::string& error)
{
	if (!prepare (instance, input.sampleRate (), options, error))
		return false;
	auto fill = [&] (auto* l, auto* r, size_t maxFrames, size_t& got, std::string& message) {
		return input.readStereo (l, r, maxFrames, got, message);
	};
	auto take = [&] (const auto* l, const auto* r, size_t count, std::string& message) {
		return output.writeStereo (l, r, count, message);
	};
	return renderChunks (instance, options, fill, take, frames, error);
}

} // namespace vsthost
