// Class IDs of the two components and the parameter IDs.
#pragma once

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg {
namespace Vst {

static const FUID PlugProcessorUID (0x6B1E5A0C, 0x3F2D4E81, 0x9A7C55D2, 0x0E4B8F13);
static const FUID PlugControllerUID (0x2C9F7D34, 0xA8B64F05, 0x8E1D3B6A, 0x71C0E29F);

enum PlugParamIDs : ParamID
{
	kBypassId = 0,
	kLevelId = 1,
	kBand0Id = 2, // 25 Hz; band k has ID 2 + k
	kLastParamId = 16
};

} // namespace Vst
} // namespace Steinberg
