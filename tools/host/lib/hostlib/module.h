// Loading a VST3 bundle the way a Linux host does.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/smartpointer.h"

#include <memory>
#include <string>
#include <vector>

namespace vsthost {

struct FactoryInfo
{
	std::string vendor;
	std::string url;
	std::string email;
	Steinberg::int32 flags {0};
};

// One class entry as the factory reports it through IPluginFactory, and, where
// the factory offers them, IPluginFactory2 and IPluginFactory3 (UTF-16 strings,
// given here in UTF-8).
struct ClassInfo
{
	Steinberg::int32 index {0};
	Steinberg::TUID cid {};
	Steinberg::int32 cardinality {0};
	std::string category;
	std::string name;

	bool hasInfo2 {false};
	Steinberg::uint32 classFlags {0};
	std::string subCategories;
	std::string vendor;
	std::string version;
	std::string sdkVersion;

	bool hasInfoW {false};
	std::string nameW;
	Steinberg::uint32 classFlagsW {0};
	std::string subCategoriesW;
	std::string vendorW;
	std::string versionW;
	std::string sdkVersionW;

	std::string cidString () const;
};

//------------------------------------------------------------------------
// A loaded module. load() follows the reference host: dlopen(RTLD_LAZY) of
// BUNDLE/Contents/<machine>-linux/<bundle stem>.so; ModuleEntry, ModuleExit and
// GetPluginFactory must all be exported; ModuleEntry(handle) must return true;
// GetPluginFactory must return a factory, whose one reference the Module owns.
// Destruction: the factory is released, ModuleExit called, the library closed.
//------------------------------------------------------------------------
class Module
{
public:
	static std::unique_ptr<Module> load (const std::string& bundlePath, std::string& error);
	~Module ();

	Module (const Module&) = delete;
	Module& operator= (const Module&) = delete;

	// BUNDLE/Contents/<machine>-linux/<stem>.so for a bundle path (no file check).
	static std::string binaryPathForBundle (const std::string& bundlePath);
	// "x86_64-linux" on x86_64 (uname's machine + "-linux").
	static std::string architectureFolder ();

	Steinberg::IPluginFactory* getFactory () const { return factory; }
	// The factory's newer interfaces, or null when it does not offer them.
	Steinberg::IPtr<Steinberg::IPluginFactory2> getFactory2 () const;
	Steinberg::IPtr<Steinberg::IPluginFactory3> getFactory3 () const;

	const std::string& getBundlePath () const { return bundlePath; }
	const std::string& getBinaryPath () const { return binaryPath; }
	void* getNativeHandle () const { return handle; }
	// dlsym on the loaded library (null when absent).
	void* getSymbol (const char* name) const;

	FactoryInfo getFactoryInfo () const;
	std::vector<ClassInfo> getClassInfos () const;
	// First class of the given category, e.g. "Audio Module Class".
	bool findClass (const std::string& category, ClassInfo& info) const;

	// createInstance through the factory; null on failure (result in *result).
	template <class I>
	Steinberg::IPtr<I> createInstance (const Steinberg::TUID cid, Steinberg::tresult* result = nullptr) const
	{
		void* obj = nullptr;
		Steinberg::tresult r = factory->createInstance (cid, I::iid, &obj);
		if (result)
			*result = r;
		if (r != Steinberg::kResultOk || !obj)
			return {};
		return Steinberg::owned (static_cast<I*> (obj));
	}

private:
	Module () = default;

	void* handle {nullptr};
	Steinberg::IPluginFactory* factory {nullptr};
	bool (*moduleExit) () {nullptr};
	std::string bundlePath;
	std::string binaryPath;
};

} // namespace vsthost
