// Module initialisation: code that must run when the host enters the module
// (after it has been loaded, with the module's handle known) and when it
// leaves it, registered by the libraries that need it.
#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <functional>
#include <string>

namespace Steinberg {

// Linux: the handle the host passed to ModuleEntry (its dlopen handle).
// macOS: the CFBundleRef passed to bundleEntry.
using PlatformModuleHandle = void*;

using ModuleInitFunction = std::function<void ()>;
using ModuleTerminateFunction = std::function<void ()>;

// A static object of this type registers a function that InitModule runs;
// functions run in ascending order, equal orders in registration order.
struct ModuleInitializer
{
	explicit ModuleInitializer (ModuleInitFunction&& func, uint32 order = 1000);
};

// The same for DeinitModule.
struct ModuleTerminator
{
	explicit ModuleTerminator (ModuleTerminateFunction&& func, uint32 order = 1000);
};

// Null outside the span between the module's first entry and its last exit.
PlatformModuleHandle getPlatformModuleHandle ();

// The folder of the bundle that holds the module binary ("/.../Name.vst3"):
// the binary's own folder when it does not sit in a bundle's Contents.
// Empty when the path cannot be found.
std::string getPlatformModuleBundlePath ();

// Called by the module entry points: the first entry stores the handle and
// runs the initialisers, the last exit runs the terminators and clears it.
bool InitModule ();
bool DeinitModule ();

namespace ModuleInitDetail {
void setPlatformModuleHandle (PlatformModuleHandle handle);
} // namespace ModuleInitDetail

} // namespace Steinberg
