#include "processor/paramstate.h"

#include "base/source/fstreamer.h"

namespace Steinberg {
namespace Vst {

// Stream form, little-endian whatever the machine: int64 leading word (0),
// int32 bypass, 22 doubles (level, 15 bands, 6 reserved), 4 int32 flags.

tresult ParamState::read (IBStream* stream)
{
	if (!stream)
		return kResultFalse;
	IBStreamer s (stream, kLittleEndian);

	int64 leading = 0;
	int32 bypassWord = 0;
	double values[1 + kNumBands + 6] = {};
	int32 flagWords[4] = {};

	if (!s.readInt64 (leading))
		return kResultFalse;
	if (!s.readInt32 (bypassWord))
		return kResultFalse;
	for (double& v : values)
		if (!s.readDouble (v))
			return kResultFalse;
	for (int32& f : flagWords)
		if (!s.readInt32 (f))
			return kResultFalse;

	// Only a complete state reaches the record.
	bypass = bypassWord > 0;
	level = values[0];
	for (int i = 0; i < kNumBands; ++i)
		bands[i] = values[1 + i];
	for (int i = 0; i < 6; ++i)
		reserved[i] = values[1 + kNumBands + i];
	for (int i = 0; i < 4; ++i)
		reservedFlags[i] = flagWords[i] > 0;
	return kResultOk;
}

tresult ParamState::write (IBStream* stream) const
{
	if (!stream)
		return kResultFalse;
	IBStreamer s (stream, kLittleEndian);

	if (!s.writeInt64 (0))
		return kResultFalse;
	if (!s.writeInt32 (bypass ? 1 : 0))
		return kResultFalse;
	if (!s.writeDouble (level))
		return kResultFalse;
	for (double v : bands)
		if (!s.writeDouble (v))
			return kResultFalse;
	for (double v : reserved)
		if (!s.writeDouble (v))
			return kResultFalse;
	for (bool f : reservedFlags)
		if (!s.writeInt32 (f ? 1 : 0))
			return kResultFalse;
	return kResultOk;
}

} // namespace Vst
} // namespace Steinberg
