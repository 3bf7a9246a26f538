#include "public.sdk/source/vst/vstcomponent.h"

#include <cstring>

namespace Steinberg {
namespace Vst {

Component::Component () = default;
Component::~Component () = default;

tresult PLUGIN_API Component::initialize (FUnknown* context)
{
	return ComponentBase::initialize (context);
}

tresult PLUGIN_API Component::terminate ()
{
	removeAllBusses ();
	return ComponentBase::terminate ();
}

tresult PLUGIN_API Component::getControllerClassId (TUID classID)
{
	if (!classID)
		return kInvalidArgument;
	if (!controllerClass.isValid ())
		return kResultFalse;
	controllerClass.toTUID (classID);
	return kResultTrue;
}

tresult PLUGIN_API Component::setIoMode (IoMode /*mode*/)
{
	return kNotImplemented;
}

BusList* Component::getBusList (MediaType type, BusDirection dir)
{
	if (type == kAudio)
		return dir == kInput ? &audioInputs : dir == kOutput ? &audioOutputs : nullptr;
	if (type == kEvent)
		return dir == kInput ? &eventInputs : dir == kOutput ? &eventOutputs : nullptr;
	return nullptr;
}

int32 PLUGIN_API Component::getBusCount (MediaType type, BusDirection dir)
{
	BusList* list = getBusList (type, dir);
	return list ? static_cast<int32> (list->size ()) : 0;
}

tresult PLUGIN_API Component::getBusInfo (MediaType type, BusDirection dir, int32 index, BusInfo& info)
{
	BusList* list = getBusList (type, dir);
	if (!list || index < 0 || index >= static_cast<int32> (list->size ()))
		return kInvalidArgument;
	Bus* bus = list->at (static_cast<size_t> (index));
	std::memset (&info, 0, sizeof (BusInfo));
	info.mediaType = type;
	info.direction = dir;
	return bus->getInfo (info) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API Component::getRoutingInfo (RoutingInfo& /*inInfo*/, RoutingInfo& /*outInfo*/)
{
	return kNotImplemented;
}

tresult PLUGIN_API Component::activateBus (MediaType type, BusDirection dir, int32 index, TBool state)
{
	BusList* list = getBusList (type, dir);
	if (!list || index < 0 || index >= static_cast<int32> (list->size ()))
		return kInvalidArgument;
	list->at (static_cast<size_t> (index))->setActive (state);
	return kResultTrue;
}

tresult PLUGIN_API Component::setActive (TBool /*state*/)
{
	return kResultOk;
}

tresult PLUGIN_API Component::setState (IBStream* /*state*/)
{
	return kNotImplemented;
}

tresult PLUGIN_API Component::getState (IBStream* /*state*/)
{
	return kNotImplemented;
}

tresult Component::removeAudioBusses ()
{
	audioInputs.clear ();
	audioOutputs.clear ();
	return kResultOk;
}

tresult Component::removeEventBusses ()
{
	eventInputs.clear ();
	eventOutputs.clear ();
	return kResultOk;
}

tresult Component::removeAllBusses ()
{
	removeAudioBusses ();
	removeEventBusses ();
	return kResultOk;
}

tresult Component::renameBus (MediaType type, BusDirection dir, int32 index, const TChar* newName)
{
	BusList* list = getBusList (type, dir);
	if (!list || index < 0 || index >= static_cast<int32> (list->size ()))
		return kInvalidArgument;
	list->at (static_cast<size_t> (index))->setName (newName);
	return kResultTrue;
}

} // namespace Vst
} // namespace Steinberg
