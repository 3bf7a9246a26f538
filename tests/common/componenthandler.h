// The part of a host's component handler that every test handler shares: it lives on the
// test's stack (no reference counting), answers for IComponentHandler only and takes any
// restart request. A test derives from it and records the edits it is told about.
#pragma once

#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace PalvisTest {

class ComponentHandlerBase : public Steinberg::Vst::IComponentHandler
{
public:
	Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID iid, void** obj) override
	{
		if (Steinberg::FUnknownPrivate::iidEqual (iid, Steinberg::FUnknown::iid) ||
		    Steinberg::FUnknownPrivate::iidEqual (iid, Steinberg::Vst::IComponentHandler::iid))
		{
			*obj = static_cast<Steinberg::Vst::IComponentHandler*> (this);
			return Steinberg::kResultOk;
		}
		*obj = nullptr;
		return Steinberg::kNoInterface;
	}
	Steinberg::uint32 PLUGIN_API addRef () override { return 1; }
	Steinberg::uint32 PLUGIN_API release () override { return 1; }
	Steinberg::tresult PLUGIN_API restartComponent (Steinberg::int32) override { return Steinberg::kResultOk; }
};

} // namespace PalvisTest
