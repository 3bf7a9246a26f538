// Running an audio buffer through a plug-in instance block by block.
#pragma once

#include "hostlib/audiofile.h"
#include "hostlib/plugininstance.h"

#include <string>

namespace vsthost {

struct RenderOptions
{
	Steinberg::int32 blockSize {512};
	bool doublePrecision {false}; // 64-bit samples instead of 32-bit
};

// Processes the whole input (mono is fed to both channels; of more channels the
// first two are used) and gives a stereo output of the same length and rate.
// An inactive instance is started for the input's rate, the block size and the
// sample size; an active one must have been set up for them. The instance stays
// active afterwards. Changes queued on the instance go with the first block.
bool renderAudio (PluginInstance& instance, const AudioBuffer& input, AudioBuffer& output,
                  const RenderOptions& options, std::string& error);

} // namespace vsthost
