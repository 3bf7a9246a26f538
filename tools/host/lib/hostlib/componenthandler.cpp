#include "hostlib/componenthandler.h"

namespace vsthost {

using namespace Steinberg;
using namespace Steinberg::Vst;

IPtr<ComponentHandler> ComponentHandler::create ()
{
	return owned (new ComponentHandler ());
}

void ComponentHandler::record (Event event)
{
	std::lock_guard<std::mutex> lock (mutex);
	if (event.type == EventType::PerformEdit && forwardEdits)
		pending.push_back ({event.id, event.value});
	events.push_back (std::move (event));
}

tresult PLUGIN_API ComponentHandler::beginEdit (ParamID id)
{
	record ({EventType::BeginEdit, id, 0, 0, {}});
	return kResultOk;
}

tresult PLUGIN_API ComponentHandler::performEdit (ParamID id, ParamValue valueNormalized)
{
	record ({EventType::PerformEdit, id, valueNormalized, 0, {}});
	return kResultOk;
}

tresult PLUGIN_API ComponentHandler::endEdit (ParamID id)
{
	record ({EventType::EndEdit, id, 0, 0, {}});
	return kResultOk;
}

tresult PLUGIN_API ComponentHandler::restartComponent (int32 flags)
{
	record ({EventType::RestartComponent, 0, 0, flags, {}});
	return kResultOk;
}

tresult PLUGIN_API ComponentHandler::setDirty (TBool state)
{
	record ({EventType::SetDirty, 0, 0, state ? 1 : 0, {}});
	return kResultOk;
}

tresult PLUGIN_API ComponentHandler::requestOpenEditor (FIDString name)
{
	record ({EventType::RequestOpenEditor, 0, 0, 0, name ? name : ""});
	// This host has no window to open an editor in.
	return kNotImplemented;
}

tresult PLUGIN_API ComponentHandler::startGroupEdit ()
{
	record ({EventType::StartGroupEdit, 0, 0, 0, {}});
	return kResultOk;
}

tresult PLUGIN_API ComponentHandler::finishGroupEdit ()
{
	record ({EventType::FinishGroupEdit, 0, 0, 0, {}});
	return kResultOk;
}

std::vector<ComponentHandler::Event> ComponentHandler::getEvents () const
{
	std::lock_guard<std::mutex> lock (mutex);
	return events;
}

void ComponentHandler::clearEvents ()
{
	std::lock_guard<std::mutex> lock (mutex);
	events.clear ();
}

void ComponentHandler::setForwardEdits (bool state)
{
	std::lock_guard<std::mutex> lock (mutex);
	forwardEdits = state;
}

std::vector<ComponentHandler::Edit> ComponentHandler::takePendingEdits ()
{
	std::lock_guard<std::mutex> lock (mutex);
	std::vector<Edit> result;
	result.swap (pending);
	return result;
}

const char* eventTypeName (ComponentHandler::EventType type)
{
	switch (type)
	{
		case ComponentHandler::EventType::BeginEdit: return "beginEdit";
		case ComponentHandler::EventType::PerformEdit: return "performEdit";
		case ComponentHandler::EventType::EndEdit: return "endEdit";
		case ComponentHandler::EventType::RestartComponent: return "restartComponent";
		case ComponentHandler::EventType::SetDirty: return "setDirty";
		case ComponentHandler::EventType::RequestOpenEditor: return "requestOpenEditor";
		case ComponentHandler::EventType::StartGroupEdit: return "startGroupEdit";
		case ComponentHandler::EventType::FinishGroupEdit: return "finishGroupEdit";
	}
	return "?";
}

} // namespace vsthost
