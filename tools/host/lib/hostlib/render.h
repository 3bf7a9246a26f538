// Running audio through a plug-in instance block by block.
#pragma once

#include "hostlib/audiofile.h"
#include "hostlib/plugininstance.h"

#include <cstdint>
#include <string>

namespace vsthost {

struct RenderOptions
{
	Steinberg::int32 blockSize {512};
	bool doublePrecision {false}; // 64-bit samples instead of 32-bit
};

// Both functions process the whole input in blocks of the block size from its
// start (mono is fed to both channels; of more channels the first two are used)
// and give a stereo output of the same length and rate. An inactive instance is
// started for the input's rate, the block size and the sample size; an active one
// must have been set up for them. The instance stays active afterwards. Changes
// queued on the instance go with the first block.

// From a buffer into a buffer.
bool renderAudio (PluginInstance& instance, const AudioBuffer& input, AudioBuffer& output,
                  const RenderOptions& options, std::string& error);

// From a file into a file, streaming: a few blocks are read, processed and
// written at a time, so memory stays the same whatever the file's length. The
// output is the same as renderAudio's of the whole file. frames: the frames rendered.
bool renderFile (PluginInstance& instance, SoundFileReader& input, SoundFileWriter& output,
                 const RenderOptions& options, std::uint64_t& frames, std::string& error);

} // namespace vsthost
