// The host's IComponentHandler: records what the controller reports and hands
// performed edits on to the processor.
#pragma once

#include "hostlib/hostobject.h"

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <mutex>
#include <string>
#include <vector>

namespace vsthost {

//------------------------------------------------------------------------
class ComponentHandler
: public HostObject<Steinberg::Vst::IComponentHandler, Steinberg::Vst::IComponentHandler2>
{
public:
	enum class EventType
	{
		BeginEdit,
		PerformEdit,
		EndEdit,
		RestartComponent,
		SetDirty,
		RequestOpenEditor,
		StartGroupEdit,
		FinishGroupEdit
	};
	struct Event
	{
		EventType type;
		Steinberg::Vst::ParamID id {0};      // edits
		Steinberg::Vst::ParamValue value {0}; // performEdit
		Steinberg::int32 flags {0};           // restartComponent flags, setDirty state
		std::string name;                     // requestOpenEditor
	};
	struct Edit
	{
		Steinberg::Vst::ParamID id;
		Steinberg::Vst::ParamValue value;
	};

	static Steinberg::IPtr<ComponentHandler> create ();

	// IComponentHandler
	Steinberg::tresult PLUGIN_API beginEdit (Steinberg::Vst::ParamID id) override;
	Steinberg::tresult PLUGIN_API performEdit (Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue valueNormalized) override;
	Steinberg::tresult PLUGIN_API endEdit (Steinberg::Vst::ParamID id) override;
	Steinberg::tresult PLUGIN_API restartComponent (Steinberg::int32 flags) override;
	// IComponentHandler2
	Steinberg::tresult PLUGIN_API setDirty (Steinberg::TBool state) override;
	Steinberg::tresult PLUGIN_API requestOpenEditor (Steinberg::FIDString name) override;
	Steinberg::tresult PLUGIN_API startGroupEdit () override;
	Steinberg::tresult PLUGIN_API finishGroupEdit () override;

	// Everything reported so far, in call order.
	std::vector<Event> getEvents () const;
	void clearEvents ();

	// When forwarding is on (the default), every performEdit is also kept as a
	// pending edit, to be sent to the processor in the next process block.
	void setForwardEdits (bool state);
	std::vector<Edit> takePendingEdits ();

private:
	ComponentHandler () = default;
	void record (Event event);

	mutable std::mutex mutex;
	std::vector<Event> events;
	std::vector<Edit> pending;
	bool forwardEdits {true};
};

const char* eventTypeName (ComponentHandler::EventType type);

} // namespace vsthost
