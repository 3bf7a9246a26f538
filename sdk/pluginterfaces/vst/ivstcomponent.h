// IComponent: the processing component's bus and state interface.
#pragma once

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/vsttypes.h"

#include <cstddef>

namespace Steinberg {
namespace Vst {

const CString kDefaultFactoryFlagsString = nullptr;
enum
{
	kDefaultFactoryFlags = PFactoryInfo::kUnicode
};

enum MediaTypes
{
	kAudio = 0,
	kEvent,
	kNumMediaTypes
};

enum BusDirections
{
	kInput = 0,
	kOutput
};

enum BusTypes
{
	kMain = 0,
	kAux
};

struct BusInfo
{
	MediaType mediaType;
	BusDirection direction;
	int32 channelCount;
	String128 name;
	BusType busType;
	uint32 flags;

	enum BusFlags
	{
		kDefaultActive = 1 << 0,
		kIsControlVoltage = 1 << 1
	};
};

enum IoModes
{
	kSimple = 0,
	kAdvanced,
	kOfflineProcessing
};

struct RoutingInfo
{
	MediaType mediaType;
	int32 busIndex;
	int32 channel;
};

enum ComponentFlags
{
	kDistributable = 1 << 0,
	kSimpleModeSupported = 1 << 1
};

//------------------------------------------------------------------------
class IComponent : public IPluginBase
{
public:
	virtual tresult PLUGIN_API getControllerClassId (TUID classId) = 0;                          // 5
	virtual tresult PLUGIN_API setIoMode (IoMode mode) = 0;                                       // 6
	virtual int32 PLUGIN_API getBusCount (MediaType type, BusDirection dir) = 0;                  // 7
	virtual tresult PLUGIN_API getBusInfo (MediaType type, BusDirection dir, int32 index, BusInfo& bus) = 0; // 8
	virtual tresult PLUGIN_API getRoutingInfo (RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;    // 9
	virtual tresult PLUGIN_API activateBus (MediaType type, BusDirection dir, int32 index, TBool state) = 0; // 10
	virtual tresult PLUGIN_API setActive (TBool state) = 0;                                       // 11
	virtual tresult PLUGIN_API setState (IBStream* state) = 0;                                    // 12
	virtual tresult PLUGIN_API getState (IBStream* state) = 0;                                    // 13

	static const FUID iid;
};
DECLARE_CLASS_IID (IComponent, 0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802)

static_assert (sizeof (BusInfo) == 276 && alignof (BusInfo) == 4, "BusInfo layout");
static_assert (offsetof (BusInfo, channelCount) == 8 && offsetof (BusInfo, name) == 12 &&
                   offsetof (BusInfo, busType) == 268 && offsetof (BusInfo, flags) == 272,
               "BusInfo offsets");
static_assert (sizeof (RoutingInfo) == 12, "RoutingInfo layout");

} // namespace Vst
} // namespace Steinberg
