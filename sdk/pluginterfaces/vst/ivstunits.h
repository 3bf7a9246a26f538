// IUnitInfo records (units and program lists). The plug-in has one root unit.
#pragma once

#include "pluginterfaces/vst/vsttypes.h"

#include <cstddef>

namespace Steinberg {
namespace Vst {

struct UnitInfo
{
	UnitID id;
	UnitID parentUnitId;
	String128 name;
	ProgramListID programListId;
};

struct ProgramListInfo
{
	ProgramListID id;
	String128 name;
	int32 programCount;
};

static_assert (sizeof (UnitInfo) == 268 && offsetof (UnitInfo, programListId) == 264, "UnitInfo layout");
static_assert (sizeof (ProgramListInfo) == 264 && offsetof (ProgramListInfo, programCount) == 260,
               "ProgramListInfo layout");

} // namespace Vst
} // namespace Steinberg
