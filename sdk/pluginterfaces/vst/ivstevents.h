// IEventList. The plug-in handles no events; the event record stays opaque here.
#pragma once

#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg {
namespace Vst {

struct Event;

class IEventList : public FUnknown
{
public:
	virtual int32 PLUGIN_API getEventCount () = 0;                 // 3
	virtual tresult PLUGIN_API getEvent (int32 index, Event& e) = 0; // 4
	virtual tresult PLUGIN_API addEvent (Event& e) = 0;            // 5

	static const FUID iid;
};
DECLARE_CLASS_IID (IEventList, 0x3A2C4214, 0x346349FE, 0xB2C4F397, 0xB9695A44)

} // namespace Vst
} // namespace Steinberg
