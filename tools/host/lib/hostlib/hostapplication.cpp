#include "hostlib/hostapplication.h"

#include "hostlib/strings.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <cstring>

namespace vsthost {

using namespace Steinberg;
using namespace Steinberg::Vst;

//------------------------------------------------------------------------
IPtr<HostAttributeList> HostAttributeList::create ()
{
	return owned (new HostAttributeList ());
}

namespace {

// Integers and floats: stored under the ID, read back only as the type they were stored as.
template <typename Values, typename T>
tresult storeValue (Values& values, IAttributeList::AttrID id, T value)
{
	if (!id)
		return kInvalidArgument;
	values[id] = value;
	return kResultOk;
}

template <typename Values, typename T>
tresult readValue (const Values& values, IAttributeList::AttrID id, T& value)
{
	if (!id)
		return kInvalidArgument;
	auto it = values.find (id);
	if (it == values.end () || !std::holds_alternative<T> (it->second))
		return kResultFalse;
	value = std::get<T> (it->second);
	return kResultOk;
}

} // namespace

tresult PLUGIN_API HostAttributeList::setInt (AttrID id, int64 value)
{
	return storeValue (values, id, value);
}

tresult PLUGIN_API HostAttributeList::getInt (AttrID id, int64& value)
{
	return readValue (values, id, value);
}

tresult PLUGIN_API HostAttributeList::setFloat (AttrID id, double value)
{
	return storeValue (values, id, value);
}

tresult PLUGIN_API HostAttributeList::getFloat (AttrID id, double& value)
{
	return readValue (values, id, value);
}

tresult PLUGIN_API HostAttributeList::setString (AttrID id, const TChar* string)
{
	if (!id || !string)
		return kInvalidArgument;
	values[id] = std::u16string (string);
	return kResultOk;
}

tresult PLUGIN_API HostAttributeList::getString (AttrID id, TChar* string, uint32 sizeInBytes)
{
	if (!id || !string || sizeInBytes < sizeof (TChar))
		return kInvalidArgument;
	auto it = values.find (id);
	if (it == values.end () || !std::holds_alternative<std::u16string> (it->second))
		return kResultFalse;
	const auto& text = std::get<std::u16string> (it->second);
	size_t capacity = sizeInBytes / sizeof (TChar) - 1;
	size_t count = text.size () < capacity ? text.size () : capacity;
	std::memcpy (string, text.data (), count * sizeof (TChar));
	string[count] = 0;
	return kResultOk;
}

tresult PLUGIN_API HostAttributeList::setBinary (AttrID id, const void* data, uint32 sizeInBytes)
{
	if (!id || (!data && sizeInBytes > 0))
		return kInvalidArgument;
	auto bytes = static_cast<const uint8*> (data);
	values[id] = std::vector<uint8> (bytes, bytes + sizeInBytes);
	return kResultOk;
}

tresult PLUGIN_API HostAttributeList::getBinary (AttrID id, const void*& data, uint32& sizeInBytes)
{
	if (!id)
		return kInvalidArgument;
	auto it = values.find (id);
	if (it == values.end () || !std::holds_alternative<std::vector<uint8>> (it->second))
		return kResultFalse;
	const auto& bytes = std::get<std::vector<uint8>> (it->second);
	data = bytes.data ();
	sizeInBytes = static_cast<uint32> (bytes.size ());
	return kResultOk;
}

//------------------------------------------------------------------------
IPtr<HostMessage> HostMessage::create ()
{
	return owned (new HostMessage ());
}

HostMessage::HostMessage () : attributes (HostAttributeList::create ()) {}

FIDString PLUGIN_API HostMessage::getMessageID ()
{
	return hasId ? messageId.c_str () : nullptr;
}

void PLUGIN_API HostMessage::setMessageID (FIDString id)
{
	hasId = id != nullptr;
	messageId = id ? id : "";
}

IAttributeList* PLUGIN_API HostMessage::getAttributes ()
{
	return attributes.get ();
}

//------------------------------------------------------------------------
IPtr<HostApplication> HostApplication::create (const std::string& name)
{
	return owned (new HostApplication (name));
}

tresult PLUGIN_API HostApplication::getName (String128 result)
{
	if (!result)
		return kInvalidArgument;
	std::u16string text = toUtf16 (name);
	size_t count = text.size () < 127 ? text.size () : 127;
	std::memcpy (result, text.data (), count * sizeof (TChar));
	result[count] = 0;
	return kResultOk;
}

tresult PLUGIN_API HostApplication::createInstance (TUID cid, TUID iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	*obj = nullptr;
	if (!cid || !iid)
		return kInvalidArgument;
	if (FUnknownPrivate::iidEqual (cid, IMessage::iid))
	{
		auto message = HostMessage::create ();
		tresult result = message->queryInterface (iid, obj);
		if (result == kResultOk)
			++createdMessages;
		return result == kResultOk ? kResultOk : kNoInterface;
	}
	if (FUnknownPrivate::iidEqual (cid, IAttributeList::iid))
	{
		auto list = HostAttributeList::create ();
		return list->queryInterface (iid, obj) == kResultOk ? kResultOk : kNoInterface;
	}
	return kResultFalse;
}

tresult PLUGIN_API HostApplication::isPlugInterfaceSupported (const TUID iid)
{
	static const FUID supported[] = {IComponent::iid,        IAudioProcessor::iid, IEditController::iid,
	                                 IEditController2::iid,   IConnectionPoint::iid,
	                                 IProcessContextRequirements::iid};
	for (auto& id : supported)
		if (FUnknownPrivate::iidEqual (iid, id.toTUID ()))
			return kResultTrue;
	return kResultFalse;
}

void HostApplication::addExtension (const TUID iid, FUnknown* obj)
{
	extensions.emplace_back (FUID (iid), IPtr<FUnknown> (obj));
}

void HostApplication::removeExtensions ()
{
	extensions.clear ();
}

bool HostApplication::queryExtraInterface (const TUID iid, void** obj)
{
	for (auto& extension : extensions)
	{
		if (extension.first == FUID (iid) && extension.second)
		{
			// Ask the object itself so that it hands out the right interface pointer.
			return extension.second->queryInterface (iid, obj) == kResultOk && *obj;
		}
	}
	return false;
}

} // namespace vsthost
