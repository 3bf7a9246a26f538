// A stand-in module for the loader's tests. Which of the three entry points it
// exports and how they answer is chosen by FAKE_VARIANT_*; every call is
// reported to the test program's vsthostTestRecord, when the program has one.

#include "pluginterfaces/base/ipluginbase.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <string>

using namespace Steinberg;

namespace {
void record (const std::string& event)
{
	using RecordProc = void (*) (const char*);
	if (auto proc = reinterpret_cast<RecordProc> (::dlsym (RTLD_DEFAULT, "vsthostTestRecord")))
		proc (event.c_str ());
}

// A factory that lists one audio class but can create nothing, and offers only
// the first factory interface.
class FakeFactory final : public IPluginFactory
{
public:
	virtual ~FakeFactory () = default;
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override
	{
		if (FUnknownPrivate::iidEqual (iid, FUnknown::iid) || FUnknownPrivate::iidEqual (iid, IPluginFactory::iid))
		{
			addRef ();
			*obj = this;
			return kResultOk;
		}
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return ++refCount; }
	uint32 PLUGIN_API release () override
	{
		uint32 remaining = --refCount;
		if (remaining == 0)
		{
			record ("factory destroyed");
			delete this;
		}
		return remaining;
	}
	tresult PLUGIN_API getFactoryInfo (PFactoryInfo* info) override
	{
		*info = PFactoryInfo ("Fake Vendor", "https://fake.invalid", "mailto:fake@fake.invalid", PFactoryInfo::kUnicode);
		return kResultOk;
	}
	int32 PLUGIN_API countClasses () override { return 1; }
	tresult PLUGIN_API getClassInfo (int32 index, PClassInfo* info) override
	{
		if (index != 0)
			return kInvalidArgument;
		static const FUID cid (0x01020304, 0x05060708, 0x090A0B0C, 0x0D0E0F10);
		*info = PClassInfo (cid, PClassInfo::kManyInstances, "Audio Module Class", "Fake Effect");
		return kResultOk;
	}
	tresult PLUGIN_API createInstance (FIDString, FIDString, void** obj) override
	{
		*obj = nullptr;
		return kNoInterface;
	}

private:
	std::atomic<uint32> refCount {1};
};
} // namespace

extern "C" {

#if !defined(FAKE_VARIANT_NO_ENTRY)
SMTG_EXPORT_SYMBOL bool ModuleEntry (void* handle)
{
	char text[64];
	std::snprintf (text, sizeof (text), "ModuleEntry %p", handle);
	record (text);
#if defined(FAKE_VARIANT_ENTRY_FALSE)
	return false;
#else
	return true;
#endif
}
#endif

#if !defined(FAKE_VARIANT_NO_EXIT)
SMTG_EXPORT_SYMBOL bool ModuleExit ()
{
	record ("ModuleExit");
	return true;
}
#endif

#if !defined(FAKE_VARIANT_NO_FACTORY)
SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory ()
{
	record ("GetPluginFactory");
#if defined(FAKE_VARIANT_NULL_FACTORY)
	return nullptr;
#else
	return new FakeFactory ();
#endif
}
#endif

} // extern "C"
