// The module's entry and exit points. This file is compiled into the plug-in
// binary itself, so the symbols it exports belong to the module.

#include "public.sdk/source/main/moduleinit.h"

#if defined(__APPLE__)
#include <CoreFoundation/CoreFoundation.h>
#endif

namespace {

// Hosts may enter the module more than once; only the first entry initialises
// and only the matching last exit deinitialises.
int moduleEntryCount = 0;

bool enterModule (Steinberg::PlatformModuleHandle handle)
{
	if (++moduleEntryCount == 1)
	{
		Steinberg::ModuleInitDetail::setPlatformModuleHandle (handle);
		return Steinberg::InitModule ();
	}
	return true;
}

bool exitModule ()
{
	if (moduleEntryCount <= 0)
		return false; // more exits than entries
	if (--moduleEntryCount == 0)
	{
		bool result = Steinberg::DeinitModule ();
		Steinberg::ModuleInitDetail::setPlatformModuleHandle (nullptr);
		return result;
	}
	return true;
}

} // namespace

extern "C" {

#if defined(__APPLE__)
SMTG_EXPORT_SYMBOL bool bundleEntry (CFBundleRef bundle)
{
	if (moduleEntryCount == 0 && bundle)
		CFRetain (bundle);
	return enterModule (bundle);
}

SMTG_EXPORT_SYMBOL bool bundleExit (void)
{
	auto bundle = static_cast<CFBundleRef> (Steinberg::getPlatformModuleHandle ());
	bool last = moduleEntryCount == 1;
	bool result = exitModule ();
	if (last && bundle)
		CFRelease (bundle);
	return result;
}
#else
SMTG_EXPORT_SYMBOL bool ModuleEntry (void* sharedLibraryHandle)
{
	return enterModule (sharedLibraryHandle);
}

SMTG_EXPORT_SYMBOL bool ModuleExit (void)
{
	return exitModule ();
}
#endif

} // extern "C"
