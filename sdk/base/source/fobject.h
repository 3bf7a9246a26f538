// FObject: the reference-counted base of the SDK's implementation classes,
// with a small class-identity scheme and change notification to dependents.
#pragma once

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/base/iupdatehandler.h"

#include <atomic>
#include <cstring>
#include <vector>

namespace Steinberg {

using FClassID = FIDString;

class FObject : public FUnknown
{
public:
	FObject () = default;
	FObject (const FObject&) : refCount (1) {}
	FObject& operator= (const FObject&) { return *this; }
	virtual ~FObject ();

	// FUnknown
	tresult PLUGIN_API queryInterface (const TUID _iid, void** obj) SMTG_OVERRIDE;
	uint32 PLUGIN_API addRef () SMTG_OVERRIDE;
	uint32 PLUGIN_API release () SMTG_OVERRIDE;

	int32 getRefCount () const { return refCount.load (); }

	// Class identity ("is a") without RTTI; see OBJ_METHODS.
	static FClassID getFClassID () { return "FObject"; }
	virtual FClassID isA () const { return FObject::getFClassID (); }
	virtual bool isA (FClassID s) const { return isTypeOf (s, false); }
	virtual bool isTypeOf (FClassID s, bool /*askBaseClass*/ = true) const { return classIDsEqual (s, getFClassID ()); }
	static bool classIDsEqual (FClassID a, FClassID b) { return a && b && std::strcmp (a, b) == 0; }

	// Change notification: every dependent's update() is called with this object.
	virtual void update (FUnknown* /*changedUnknown*/, int32 /*message*/) {}
	virtual void changed (int32 msg = IDependent::kChanged);
	virtual void deferUpdate (int32 msg = IDependent::kChanged) { changed (msg); }
	void addDependent (IDependent* dep);
	void removeDependent (IDependent* dep);
	size_t getDependentCount () const { return dependents ? dependents->size () : 0; }

	FUnknown* unknownCast () { return this; }

protected:
	std::atomic<int32> refCount {1};
	std::vector<IDependent*>* dependents {nullptr};
};

//------------------------------------------------------------------------
// Class identity: OBJ_METHODS(ClassName, BaseClass) inside a class body.
#define OBJ_METHODS(className, baseClass)                                                   \
	static ::Steinberg::FClassID getFClassID () { return (#className); }                  \
	::Steinberg::FClassID isA () const SMTG_OVERRIDE { return className::getFClassID (); } \
	bool isA (::Steinberg::FClassID s) const SMTG_OVERRIDE { return isTypeOf (s, false); }  \
	bool isTypeOf (::Steinberg::FClassID s, bool askBaseClass = true) const SMTG_OVERRIDE   \
	{                                                                                       \
		return (::Steinberg::FObject::classIDsEqual (s, #className)                        \
		            ? true                                                                  \
		            : (askBaseClass ? baseClass::isTypeOf (s, true) : false));              \
	}

// queryInterface built from a list of interfaces, then the base class.
#define DEFINE_INTERFACES                                                                           \
	::Steinberg::tresult PLUGIN_API queryInterface (const ::Steinberg::TUID iid, void** obj) SMTG_OVERRIDE \
	{                                                                                               \
		if (!obj)                                                                                   \
			return ::Steinberg::kInvalidArgument;

#define DEF_INTERFACE(InterfaceName) QUERY_INTERFACE (iid, obj, InterfaceName::iid, InterfaceName)

#define END_DEFINE_INTERFACES(BaseClass)        \
		return BaseClass::queryInterface (iid, obj); \
	}

#define REFCOUNT_METHODS(BaseClass)                                                           \
	::Steinberg::uint32 PLUGIN_API addRef () SMTG_OVERRIDE { return BaseClass::addRef (); }   \
	::Steinberg::uint32 PLUGIN_API release () SMTG_OVERRIDE { return BaseClass::release (); }

#define FUNKNOWN_METHODS(InterfaceName, BaseClass) \
	DEFINE_INTERFACES                              \
	DEF_INTERFACE (InterfaceName)                  \
	END_DEFINE_INTERFACES (BaseClass)              \
	REFCOUNT_METHODS (BaseClass)

#define FUNKNOWN_METHODS2(InterfaceName1, InterfaceName2, BaseClass) \
	DEFINE_INTERFACES                                                \
	DEF_INTERFACE (InterfaceName1)                                   \
	DEF_INTERFACE (InterfaceName2)                                   \
	END_DEFINE_INTERFACES (BaseClass)                                \
	REFCOUNT_METHODS (BaseClass)

// Cast an FObject to a derived class when its class identity says it is one.
template <class C>
inline C* FCast (FObject* object)
{
	if (object && object->isTypeOf (C::getFClassID (), true))
		return static_cast<C*> (object);
	return nullptr;
}

} // namespace Steinberg
