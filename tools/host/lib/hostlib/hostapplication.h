// The host context given to initialize(): IHostApplication with messages and
// attribute lists, and IPlugInterfaceSupport.
#pragma once

#include "hostlib/hostobject.h"

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivstmessage.h"

#include <map>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace vsthost {

//------------------------------------------------------------------------
// A typed attribute store: integers, floats, UTF-16 strings and binary blocks.
// A value set under an ID replaces whatever was stored there before.
//------------------------------------------------------------------------
class HostAttributeList : public HostObject<Steinberg::Vst::IAttributeList>
{
public:
	static Steinberg::IPtr<HostAttributeList> create ();

	Steinberg::tresult PLUGIN_API setInt (AttrID id, Steinberg::int64 value) override;
	Steinberg::tresult PLUGIN_API getInt (AttrID id, Steinberg::int64& value) override;
	Steinberg::tresult PLUGIN_API setFloat (AttrID id, double value) override;
	Steinberg::tresult PLUGIN_API getFloat (AttrID id, double& value) override;
	Steinberg::tresult PLUGIN_API setString (AttrID id, const Steinberg::Vst::TChar* string) override;
	// Copies at most sizeInBytes / 2 - 1 code units and always ends with a zero.
	Steinberg::tresult PLUGIN_API getString (AttrID id, Steinberg::Vst::TChar* string, Steinberg::uint32 sizeInBytes) override;
	Steinberg::tresult PLUGIN_API setBinary (AttrID id, const void* data, Steinberg::uint32 sizeInBytes) override;
	// The pointer stays valid until the attribute is replaced or the list destroyed.
	Steinberg::tresult PLUGIN_API getBinary (AttrID id, const void*& data, Steinberg::uint32& sizeInBytes) override;

	size_t size () const { return values.size (); }

private:
	HostAttributeList () = default;

	using Value = std::variant<Steinberg::int64, double, std::u16string, std::vector<Steinberg::uint8>>;
	std::map<std::string, Value> values;
};

//------------------------------------------------------------------------
class HostMessage : public HostObject<Steinberg::Vst::IMessage>
{
public:
	static Steinberg::IPtr<HostMessage> create ();

	Steinberg::FIDString PLUGIN_API getMessageID () override;
	void PLUGIN_API setMessageID (Steinberg::FIDString id) override;
	// Owned by the message; no reference is added for the caller.
	Steinberg::Vst::IAttributeList* PLUGIN_API getAttributes () override;

private:
	HostMessage ();

	std::string messageId;
	bool hasId {false};
	Steinberg::IPtr<HostAttributeList> attributes;
};

//------------------------------------------------------------------------
// The host context. createInstance makes IMessage and IAttributeList objects
// (class ID = interface ID, as hosts do). Further interfaces can be offered on
// the context with addExtension (e.g. a run loop for editors).
//------------------------------------------------------------------------
class HostApplication
: public HostObject<Steinberg::Vst::IHostApplication, Steinberg::Vst::IPlugInterfaceSupport>
{
public:
	static Steinberg::IPtr<HostApplication> create (const std::string& name = "vst3host");

	Steinberg::tresult PLUGIN_API getName (Steinberg::Vst::String128 name) override;
	Steinberg::tresult PLUGIN_API createInstance (Steinberg::TUID cid, Steinberg::TUID iid, void** obj) override;
	Steinberg::tresult PLUGIN_API isPlugInterfaceSupported (const Steinberg::TUID iid) override;

	// Answers queryInterface(iid) with obj (which the context keeps a reference to).
	void addExtension (const Steinberg::TUID iid, Steinberg::FUnknown* obj);
	void removeExtensions ();

	// Number of messages created through createInstance so far.
	Steinberg::int32 getCreatedMessages () const { return createdMessages; }

protected:
	bool queryExtraInterface (const Steinberg::TUID iid, void** obj) override;

private:
	explicit HostApplication (const std::string& name) : name (name) {}

	std::string name;
	std::vector<std::pair<Steinberg::FUID, Steinberg::IPtr<Steinberg::FUnknown>>> extensions;
	Steinberg::int32 createdMessages {0};
};

} // namespace vsthost
