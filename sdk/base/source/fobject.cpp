#include "base/source/fobject.h"

#include <algorithm>

namespace Steinberg {

FObject::~FObject ()
{
	delete dependents;
}

tresult PLUGIN_API FObject::queryInterface (const TUID _iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	QUERY_INTERFACE (_iid, obj, FUnknown::iid, FUnknown)
	*obj = nullptr;
	return kNoInterface;
}

uint32 PLUGIN_API FObject::addRef ()
{
	return static_cast<uint32> (++refCount);
}

uint32 PLUGIN_API FObject::release ()
{
	auto remaining = --refCount;
	if (remaining == 0)
	{
		// Guard against a release from inside the destructor.
		refCount = -1000;
		delete this;
		return 0;
	}
	return static_cast<uint32> (remaining);
}

void FObject::changed (int32 msg)
{
	if (!dependents || dependents->empty ())
		return;
	// A dependent may remove itself while being told; work on a copy.
	auto copy = *dependents;
	for (auto* dep : copy)
	{
		if (std::find (dependents->begin (), dependents->end (), dep) != dependents->end ())
			dep->update (this, msg);
	}
}

void FObject::addDependent (IDependent* dep)
{
	if (!dep)
		return;
	if (!dependents)
		dependents = new std::vector<IDependent*>;
	if (std::find (dependents->begin (), dependents->end (), dep) == dependents->end ())
		dependents->push_back (dep);
}

void FObject::removeDependent (IDependent* dep)
{
	if (!dependents)
		return;
	auto it = std::find (dependents->begin (), dependents->end (), dep);
	if (it != dependents->end ())
		dependents->erase (it);
}

} // namespace Steinberg
