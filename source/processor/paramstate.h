// The record of the seventeen parameter values and its 204-byte stream form,
// shared by the processor (getState/setState) and the controller (setComponentState).
#pragma once

#include "pluginterfaces/base/ibstream.h"

namespace Steinberg {
namespace Vst {

static constexpr int kNumBands = 15;

struct ParamState
{
	bool bypass;
	double level;           // normalised; dB = 48 v - 36
	double bands[kNumBands]; // normalised; dB = 24 v - 12; 25 Hz band first
	double reserved[6];
	bool reservedFlags[4];

	// Reads all 27 values or nothing: the record is untouched unless kResultOk.
	tresult read (IBStream* stream);
	tresult write (IBStream* stream) const;
};

} // namespace Vst
} // namespace Steinberg
