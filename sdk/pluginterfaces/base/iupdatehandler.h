// IDependent: receives change notifications from objects it has subscribed to
// (FObject::addDependent). Used inside the module only (parameters -> editor).
#pragma once

#include "pluginterfaces/base/funknown.h"

namespace Steinberg {

class IDependent : public FUnknown
{
public:
	enum ChangeMessage
	{
		kWillChange,
		kChanged,
		kDestroyed,
		kWillDestroy,
		kStdChangeMessageLast = kWillDestroy
	};

	virtual void PLUGIN_API update (FUnknown* changedUnknown, int32 message) = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID (IDependent, 0xF52B7AAE, 0xDE72416D, 0x8AF18ACE, 0x9DD7BD5E)

} // namespace Steinberg
