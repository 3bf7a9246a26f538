// Component: the processing half of a plug-in as the host sees it through
// IComponent — controller class, buses, activation, state.
#pragma once

#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vstcomponentbase.h"
#include "pluginterfaces/vst/ivstcomponent.h"

namespace Steinberg {
namespace Vst {

class Component : public ComponentBase, public IComponent
{
public:
	Component ();
	~Component () override;

	// The class ID that getControllerClassId reports.
	void setControllerClass (const FUID& cid) { controllerClass = cid; }
	void setControllerClass (const TUID& cid) { controllerClass = FUID::fromTUID (cid); }

	tresult removeAudioBusses ();
	tresult removeEventBusses ();
	tresult renameBus (MediaType type, BusDirection dir, int32 index, const TChar* newName);

	// IPluginBase
	tresult PLUGIN_API initialize (FUnknown* context) SMTG_OVERRIDE;
	tresult PLUGIN_API terminate () SMTG_OVERRIDE;

	// IComponent
	tresult PLUGIN_API getControllerClassId (TUID classID) SMTG_OVERRIDE;
	tresult PLUGIN_API setIoMode (IoMode mode) SMTG_OVERRIDE;
	int32 PLUGIN_API getBusCount (MediaType type, BusDirection dir) SMTG_OVERRIDE;
	tresult PLUGIN_API getBusInfo (MediaType type, BusDirection dir, int32 index, BusInfo& info) SMTG_OVERRIDE;
	tresult PLUGIN_API getRoutingInfo (RoutingInfo& inInfo, RoutingInfo& outInfo) SMTG_OVERRIDE;
	tresult PLUGIN_API activateBus (MediaType type, BusDirection dir, int32 index, TBool state) SMTG_OVERRIDE;
	tresult PLUGIN_API setActive (TBool state) SMTG_OVERRIDE;
	tresult PLUGIN_API setState (IBStream* state) SMTG_OVERRIDE;
	tresult PLUGIN_API getState (IBStream* state) SMTG_OVERRIDE;

	OBJ_METHODS (Component, ComponentBase)
	DEFINE_INTERFACES
	DEF_INTERFACE (IComponent)
	END_DEFINE_INTERFACES (ComponentBase)
	REFCOUNT_METHODS (ComponentBase)

protected:
	// The list for a media type and direction, or null for values outside the enums.
	BusList* getBusList (MediaType type, BusDirection dir);
	tresult removeAllBusses ();

	FUID controllerClass;
	BusList audioInputs {kAudio, kInput};
	BusList audioOutputs {kAudio, kOutput};
	BusList eventInputs {kEvent, kInput};
	BusList eventOutputs {kEvent, kOutput};
};

} // namespace Vst
} // namespace Steinberg
