#include "hostlib/module.h"

#include "hostlib/strings.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/utsname.h>

namespace vsthost {

using namespace Steinberg;

namespace {
bool isDirectory (const std::string& path)
{
	struct stat st {};
	return ::stat (path.c_str (), &st) == 0 && S_ISDIR (st.st_mode);
}
bool isRegularFile (const std::string& path)
{
	struct stat st {};
	return ::stat (path.c_str (), &st) == 0 && S_ISREG (st.st_mode);
}
std::string stripTrailingSlashes (std::string path)
{
	while (path.size () > 1 && path.back () == '/')
		path.pop_back ();
	return path;
}
std::string bundleStem (const std::string& bundlePath)
{
	std::string path = stripTrailingSlashes (bundlePath);
	auto slash = path.find_last_of ('/');
	std::string name = slash == std::string::npos ? path : path.substr (slash + 1);
	auto dot = name.find_last_of ('.');
	if (dot != std::string::npos && dot > 0)
		name.erase (dot);
	return name;
}
} // namespace

std::string ClassInfo::cidString () const
{
	return tuidToHex (cid);
}

std::string Module::architectureFolder ()
{
	struct utsname names {};
	if (::uname (&names) != 0)
		return "x86_64-linux";
	return std::string (names.machine) + "-linux";
}

std::string Module::binaryPathForBundle (const std::string& bundlePath)
{
	return stripTrailingSlashes (bundlePath) + "/Contents/" + architectureFolder () + "/" +
	       bundleStem (bundlePath) + ".so";
}

std::unique_ptr<Module> Module::load (const std::string& bundlePathIn, std::string& error)
{
	const std::string bundle = stripTrailingSlashes (bundlePathIn);
	if (bundle.empty ())
	{
		error = "no bundle path given";
		return nullptr;
	}
	if (!isDirectory (bundle))
	{
		error = "bundle folder '" + bundle + "' does not exist or is not a folder";
		return nullptr;
	}
	const std::string contents = bundle + "/Contents";
	if (!isDirectory (contents))
	{
		error = "bundle '" + bundle + "' has no Contents folder";
		return nullptr;
	}
	const std::string archFolder = contents + "/" + architectureFolder ();
	if (!isDirectory (archFolder))
	{
		error = "bundle '" + bundle + "' has no Contents/" + architectureFolder () + " folder";
		return nullptr;
	}
	const std::string binary = binaryPathForBundle (bundle);
	if (!isRegularFile (binary))
	{
		error = "bundle '" + bundle + "' has no binary '" + binary +
		        "' (the .so must be named like the bundle folder)";
		return nullptr;
	}

	void* handle = ::dlopen (binary.c_str (), RTLD_LAZY);
	if (!handle)
	{
		const char* why = ::dlerror ();
		error = "cannot load '" + binary + "': " + (why ? why : "unknown dlopen error");
		return nullptr;
	}

	using EntryProc = bool (*) (void*);
	using ExitProc = bool (*) ();
	auto entry = reinterpret_cast<EntryProc> (::dlsym (handle, "ModuleEntry"));
	auto exitProc = reinterpret_cast<ExitProc> (::dlsym (handle, "ModuleExit"));
	auto getFactory = reinterpret_cast<GetFactoryProc> (::dlsym (handle, "GetPluginFactory"));
	const char* missing = !entry ? "ModuleEntry" : !exitProc ? "ModuleExit" : !getFactory ? "GetPluginFactory" : nullptr;
	if (missing)
	{
		::dlclose (handle);
		error = "'" + binary + "' does not export the required '" + missing + "' function";
		return nullptr;
	}

	if (!entry (handle))
	{
		::dlclose (handle);
		error = "ModuleEntry of '" + binary + "' returned false";
		return nullptr;
	}

	IPluginFactory* factory = getFactory ();
	if (!factory)
	{
		exitProc ();
		::dlclose (handle);
		error = "GetPluginFactory of '" + binary + "' returned no factory";
		return nullptr;
	}

	std::unique_ptr<Module> module (new Module ());
	module->handle = handle;
	module->factory = factory; // the reference GetPluginFactory gave is ours
	module->moduleExit = exitProc;
	module->bundlePath = bundle;
	module->binaryPath = binary;
	return module;
}

Module::~Module ()
{
	if (factory)
		factory->release ();
	factory = nullptr;
	if (moduleExit)
		moduleExit ();
	if (handle)
		::dlclose (handle);
}

void* Module::getSymbol (const char* name) const
{
	return handle ? ::dlsym (handle, name) : nullptr;
}

IPtr<IPluginFactory2> Module::getFactory2 () const
{
	void* obj = nullptr;
	if (factory->queryInterface (IPluginFactory2::iid, &obj) == kResultOk && obj)
		return owned (static_cast<IPluginFactory2*> (obj));
	return {};
}

IPtr<IPluginFactory3> Module::getFactory3 () const
{
	void* obj = nullptr;
	if (factory->queryInterface (IPluginFactory3::iid, &obj) == kResultOk && obj)
		return owned (static_cast<IPluginFactory3*> (obj));
	return {};
}

FactoryInfo Module::getFactoryInfo () const
{
	PFactoryInfo raw;
	FactoryInfo info;
	if (factory->getFactoryInfo (&raw) != kResultOk)
		return info;
	info.vendor = fieldString (raw.vendor, sizeof (raw.vendor));
	info.url = fieldString (raw.url, sizeof (raw.url));
	info.email = fieldString (raw.email, sizeof (raw.email));
	info.flags = raw.flags;
	return info;
}

std::vector<ClassInfo> Module::getClassInfos () const
{
	std::vector<ClassInfo> result;
	auto factory2 = getFactory2 ();
	auto factory3 = getFactory3 ();
	const int32 count = factory->countClasses ();
	for (int32 i = 0; i < count; ++i)
	{
		ClassInfo info;
		info.index = i;
		PClassInfo raw;
		if (factory->getClassInfo (i, &raw) != kResultOk)
			continue;
		std::memcpy (info.cid, raw.cid, sizeof (TUID));
		info.cardinality = raw.cardinality;
		info.category = fieldString (raw.category, sizeof (raw.category));
		info.name = fieldString (raw.name, sizeof (raw.name));
		PClassInfo2 raw2;
		if (factory2 && factory2->getClassInfo2 (i, &raw2) == kResultOk)
		{
			info.hasInfo2 = true;
			info.classFlags = raw2.classFlags;
			info.subCategories = fieldString (raw2.subCategories, sizeof (raw2.subCategories));
			info.vendor = fieldString (raw2.vendor, sizeof (raw2.vendor));
			info.version = fieldString (raw2.version, sizeof (raw2.version));
			info.sdkVersion = fieldString (raw2.sdkVersion, sizeof (raw2.sdkVersion));
		}
		PClassInfoW rawW;
		if (factory3 && factory3->getClassInfoUnicode (i, &rawW) == kResultOk)
		{
			info.hasInfoW = true;
			info.nameW = toUtf8 (rawW.name, PClassInfo::kNameSize);
			info.classFlagsW = rawW.classFlags;
			info.subCategoriesW = fieldString (rawW.subCategories, sizeof (rawW.subCategories));
			info.vendorW = toUtf8 (rawW.vendor, PClassInfoW::kVendorSize);
			info.versionW = toUtf8 (rawW.version, PClassInfoW::kVersionSize);
			info.sdkVersionW = toUtf8 (rawW.sdkVersion, PClassInfoW::kVersionSize);
		}
		result.push_back (info);
	}
	return result;
}

bool Module::findClass (const std::string& category, ClassInfo& info) const
{
	for (auto& candidate : getClassInfos ())
	{
		if (candidate.category == category)
		{
			info = candidate;
			return true;
		}
	}
	return false;
}

} // namespace vsthost
