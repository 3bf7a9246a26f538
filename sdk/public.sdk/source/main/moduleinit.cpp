#include "public.sdk/source/main/moduleinit.h"

#include <algorithm>
#include <atomic>
#include <vector>

#if defined(__APPLE__)
#include <CoreFoundation/CoreFoundation.h>
#else
#include <dlfcn.h>
#endif

namespace Steinberg {

namespace {

struct Entry
{
	std::function<void ()> func;
	uint32 order;
};

// Built on first use: registrations come from static constructors of other
// translation units, whose order is unknown.
std::vector<Entry>& initialisers ()
{
	static std::vector<Entry> list;
	return list;
}

std::vector<Entry>& terminators ()
{
	static std::vector<Entry> list;
	return list;
}

void runAll (std::vector<Entry>& list)
{
	std::stable_sort (list.begin (), list.end (),
	                  [] (const Entry& a, const Entry& b) { return a.order < b.order; });
	for (auto& entry : list)
		if (entry.func)
			entry.func ();
}

std::atomic<PlatformModuleHandle> moduleHandle {nullptr};

} // namespace

ModuleInitializer::ModuleInitializer (ModuleInitFunction&& func, uint32 order)
{
	initialisers ().push_back ({std::move (func), order});
}

ModuleTerminator::ModuleTerminator (ModuleTerminateFunction&& func, uint32 order)
{
	terminators ().push_back ({std::move (func), order});
}

PlatformModuleHandle getPlatformModuleHandle ()
{
	return moduleHandle.load ();
}

std::string getPlatformModuleBundlePath ()
{
#if defined(__APPLE__)
	std::string result;
	if (auto bundle = static_cast<CFBundleRef> (getPlatformModuleHandle ()))
	{
		if (CFURLRef url = CFBundleCopyBundleURL (bundle))
		{
			char path[4096] = {};
			if (CFURLGetFileSystemRepresentation (url, true, reinterpret_cast<UInt8*> (path), sizeof (path)))
				result = path;
			CFRelease (url);
		}
	}
	return result;
#else
	// The binary that holds this function is the module itself.
	Dl_info info {};
	if (dladdr (reinterpret_cast<void*> (&getPlatformModuleBundlePath), &info) == 0 || !info.dli_fname)
		return {};
	std::string path (info.dli_fname);
	auto slash = path.find_last_of ('/');
	if (slash == std::string::npos)
		return {};
	std::string folder = path.substr (0, slash); // .../Name.vst3/Contents/<arch>-linux
	auto archSlash = folder.find_last_of ('/');
	if (archSlash != std::string::npos)
	{
		std::string contents = folder.substr (0, archSlash); // .../Name.vst3/Contents
		const std::string tail = "/Contents";
		if (contents.size () > tail.size () &&
		    contents.compare (contents.size () - tail.size (), tail.size (), tail) == 0)
			return contents.substr (0, contents.size () - tail.size ());
	}
	return folder;
#endif
}

bool InitModule ()
{
	runAll (initialisers ());
	return true;
}

bool DeinitModule ()
{
	runAll (terminators ());
	return true;
}

namespace ModuleInitDetail {
void setPlatformModuleHandle (PlatformModuleHandle handle)
{
	moduleHandle.store (handle);
}
} // namespace ModuleInitDetail

} // namespace Steinberg
