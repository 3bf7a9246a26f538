// Basic VST types.
#pragma once

#include "pluginterfaces/base/funknown.h"

namespace Steinberg {
namespace Vst {

using TChar = char16;
using String128 = TChar[128];
using CString = const char8*;

using MediaType = int32;
using BusDirection = int32;
using BusType = int32;
using IoMode = int32;
using UnitID = int32;
using ParamValue = double;
using ParamID = uint32;
using ProgramListID = int32;
using CtrlNumber = int16;
using TQuarterNotes = double;
using TSamples = int64;
using ColorSpec = uint32;
using SampleRate = double;
using Sample32 = float;
using Sample64 = double;
using SpeakerArrangement = uint64;
using Speaker = uint64;
using KnobMode = int32;

static const ParamID kNoParamId = 0xFFFFFFFF;
static const ParamID kMinParamId = 0;
static const ParamID kMaxParamId = 0x7FFFFFFF;

static const UnitID kRootUnitId = 0;
static const UnitID kNoParentUnitId = -1;
static const ProgramListID kNoProgramListId = -1;

static const uint32 kNoTail = 0;
static const uint32 kInfiniteTail = 0xFFFFFFFF;

// "VST " + major.minor.sub of the interface version this layer implements.
#define kVstVersionString "VST 3.7.3"
#define kVstVersionMajor 3
#define kVstVersionMinor 7
#define kVstVersionSub 3

} // namespace Vst
} // namespace Steinberg

static_assert (sizeof (Steinberg::Vst::String128) == 256, "String128 size");
