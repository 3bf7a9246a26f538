// Speakers and speaker arrangements (64-bit masks).
#pragma once

#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg {
namespace Vst {

const Speaker kSpeakerL = 1 << 0;
const Speaker kSpeakerR = 1 << 1;
const Speaker kSpeakerC = 1 << 2;
const Speaker kSpeakerM = 1 << 19;

namespace SpeakerArr {
const SpeakerArrangement kEmpty = 0;
const SpeakerArrangement kMono = kSpeakerM;
const SpeakerArrangement kStereo = kSpeakerL | kSpeakerR;

// Number of speakers (set bits) of an arrangement.
inline int32 getChannelCount (SpeakerArrangement arr)
{
	int32 count = 0;
	while (arr)
	{
		arr &= arr - 1;
		++count;
	}
	return count;
}
} // namespace SpeakerArr

} // namespace Vst
} // namespace Steinberg
