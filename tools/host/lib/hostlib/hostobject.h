// Reference-counted base for the objects the host hands to a plug-in.
#pragma once

#include "pluginterfaces/base/funknown.h"

#include <atomic>
#include <tuple>

namespace vsthost {

// Number of host objects (HostObject instances) currently alive. A plug-in that
// releases everything it was given brings this back to where it started.
Steinberg::int32 liveHostObjects ();

namespace detail {
void countHostObject (int delta);
}

//------------------------------------------------------------------------
// Implements FUnknown for a list of interfaces. Created with one reference
// (the creator's); deleted when the last reference is released. Always create
// on the heap, e.g. through Steinberg::owned (new T (...)).
//------------------------------------------------------------------------
template <class... Interfaces>
class HostObject : public Interfaces...
{
public:
	HostObject () { detail::countHostObject (1); }
	HostObject (const HostObject&) = delete;
	HostObject& operator= (const HostObject&) = delete;

	Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID iid, void** obj) override
	{
		if (!obj)
			return Steinberg::kInvalidArgument;
		*obj = nullptr;
		if (Steinberg::FUnknownPrivate::iidEqual (iid, Steinberg::FUnknown::iid))
		{
			*obj = static_cast<Steinberg::FUnknown*> (static_cast<First*> (this));
			addRef ();
			return Steinberg::kResultOk;
		}
		if ((tryInterface<Interfaces> (iid, obj) || ...))
			return Steinberg::kResultOk;
		if (queryExtraInterface (iid, obj))
			return Steinberg::kResultOk;
		return Steinberg::kNoInterface;
	}
	Steinberg::uint32 PLUGIN_API addRef () override { return ++refCount; }
	Steinberg::uint32 PLUGIN_API release () override
	{
		Steinberg::uint32 remaining = --refCount;
		if (remaining == 0)
			delete this;
		return remaining;
	}

	// The object as FUnknown (through its first interface), e.g. as a host context.
	Steinberg::FUnknown* unknown () { return static_cast<First*> (this); }

	// Current number of references (for checks of reference balance).
	Steinberg::uint32 getRefCount () const { return refCount.load (); }

protected:
	virtual ~HostObject () { detail::countHostObject (-1); }

	// Lets a subclass answer further interfaces; must addRef what it returns.
	virtual bool queryExtraInterface (const Steinberg::TUID iid, void** obj) { return false; }

private:
	using First = std::tuple_element_t<0, std::tuple<Interfaces...>>;

	template <class I>
	bool tryInterface (const Steinberg::TUID iid, void** obj)
	{
		if (!Steinberg::FUnknownPrivate::iidEqual (iid, I::iid))
			return false;
		*obj = static_cast<I*> (this);
		addRef ();
		return true;
	}

	std::atomic<Steinberg::uint32> refCount {1};
};

} // namespace vsthost
