// The module loader against stand-in bundles: the call sequence of a host, and
// clear messages for every way a bundle can fail to load.

#include "hostlib/elfexports.h"
#include "hostlib/module.h"
#include "hostlib/plugininstance.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {
std::vector<std::string>& recorded ()
{
	static std::vector<std::string> events;
	return events;
}
} // namespace

// Called by the stand-in modules (found with dlsym in the program).
extern "C" __attribute__ ((visibility ("default"))) void vsthostTestRecord (const char* event)
{
	recorded ().push_back (event);
}

namespace {

using testsupport::fakeBundlePath;
using testsupport::TempDir;
using vsthost::Module;
namespace fs = std::filesystem;

std::string loadError (const std::string& bundle)
{
	std::string error;
	auto module = Module::load (bundle, error);
	EXPECT_EQ (module, nullptr);
	return error;
}

TEST (ModuleLoading, HostSequenceFromEntryToExit)
{
	recorded ().clear ();
	std::string error;
	auto module = Module::load (fakeBundlePath ("ok"), error);
	ASSERT_NE (module, nullptr) << error;
	char handleText[64];
	std::snprintf (handleText, sizeof (handleText), "ModuleEntry %p", module->getNativeHandle ());
	ASSERT_EQ (recorded ().size (), 2u);
	EXPECT_EQ (recorded ()[0], handleText); // ModuleEntry gets the dlopen handle
	EXPECT_EQ (recorded ()[1], "GetPluginFactory");
	EXPECT_EQ (module->getBinaryPath (), fakeBundlePath ("ok") + "/Contents/" + Module::architectureFolder () +
	                                         "/fake_ok.so");

	module.reset ();
	// The factory's one reference is released before ModuleExit.
	ASSERT_EQ (recorded ().size (), 4u);
	EXPECT_EQ (recorded ()[2], "factory destroyed");
	EXPECT_EQ (recorded ()[3], "ModuleExit");
}

TEST (ModuleLoading, FactoryWithoutNewerInterfaces)
{
	std::string error;
	auto module = Module::load (fakeBundlePath ("ok") + "/", error); // a trailing slash is fine
	ASSERT_NE (module, nullptr) << error;
	EXPECT_EQ (module->getFactory2 (), nullptr);
	EXPECT_EQ (module->getFactory3 (), nullptr);
	auto info = module->getFactoryInfo ();
	EXPECT_EQ (info.vendor, "Fake Vendor");
	auto classes = module->getClassInfos ();
	ASSERT_EQ (classes.size (), 1u);
	EXPECT_EQ (classes[0].name, "Fake Effect");
	EXPECT_EQ (classes[0].cidString (), "0102030405060708090A0B0C0D0E0F10");
	EXPECT_FALSE (classes[0].hasInfo2);
	EXPECT_FALSE (classes[0].hasInfoW);

	// A class that cannot be created is reported, not crashed on.
	auto instance = vsthost::PluginInstance::createFirstAudioEffect (*module, error);
	EXPECT_EQ (instance, nullptr);
	EXPECT_NE (error.find ("0102030405060708090A0B0C0D0E0F10"), std::string::npos) << error;
	EXPECT_NE (error.find ("kNoInterface"), std::string::npos) << error;
}

TEST (ModuleLoading, MissingEntryPointsAreNamed)
{
	EXPECT_NE (loadError (fakeBundlePath ("no_entry")).find ("does not export the required 'ModuleEntry' function"),
	           std::string::npos);
	EXPECT_NE (loadError (fakeBundlePath ("no_exit")).find ("does not export the required 'ModuleExit' function"),
	           std::string::npos);
	EXPECT_NE (loadError (fakeBundlePath ("no_factory")).find ("does not export the required 'GetPluginFactory' function"),
	           std::string::npos);
}

TEST (ModuleLoading, EntryFailureAndNullFactory)
{
	recorded ().clear ();
	EXPECT_NE (loadError (fakeBundlePath ("entry_false")).find ("ModuleEntry of"), std::string::npos);
	EXPECT_NE (loadError (fakeBundlePath ("entry_false")).find ("returned false"), std::string::npos);
	for (auto& event : recorded ())
		EXPECT_EQ (event.rfind ("ModuleEntry", 0), 0u) << "nothing but ModuleEntry may run: " << event;

	recorded ().clear ();
	std::string error = loadError (fakeBundlePath ("null_factory"));
	EXPECT_NE (error.find ("returned no factory"), std::string::npos) << error;
	// ModuleEntry succeeded, so ModuleExit balances it.
	ASSERT_EQ (recorded ().size (), 3u);
	EXPECT_EQ (recorded ()[1], "GetPluginFactory");
	EXPECT_EQ (recorded ()[2], "ModuleExit");
}

TEST (ModuleLoading, BadBundleLayouts)
{
	TempDir temp;
	EXPECT_NE (loadError (temp.file ("absent.vst3")).find ("does not exist"), std::string::npos);
	EXPECT_NE (loadError ("").find ("no bundle path"), std::string::npos);

	const std::string bundle = temp.file ("Broken.vst3");
	fs::create_directories (bundle);
	EXPECT_NE (loadError (bundle).find ("no Contents folder"), std::string::npos);
	fs::create_directories (bundle + "/Contents");
	EXPECT_NE (loadError (bundle).find ("no Contents/" + Module::architectureFolder () + " folder"), std::string::npos);

	// The binary must be named like the bundle folder.
	const std::string archDir = bundle + "/Contents/" + Module::architectureFolder ();
	fs::create_directories (archDir);
	const std::string realBinary = fakeBundlePath ("ok") + "/Contents/" + Module::architectureFolder () + "/fake_ok.so";
	fs::copy_file (realBinary, archDir + "/fake_ok.so");
	std::string error = loadError (bundle);
	EXPECT_NE (error.find ("Broken.so"), std::string::npos) << error;

	// Renamed to the bundle's stem it loads.
	fs::rename (archDir + "/fake_ok.so", archDir + "/Broken.so");
	auto module = Module::load (bundle, error);
	EXPECT_NE (module, nullptr) << error;
	module.reset ();

	// A file that is not a shared object: dlopen's reason is passed on.
	{
		std::ofstream garbage (archDir + "/Broken.so", std::ios::trunc);
		garbage << "not an ELF file";
	}
	error = loadError (bundle);
	EXPECT_NE (error.find ("cannot load"), std::string::npos) << error;
}

TEST (ElfExports, ListsTheDefinedDynamicSymbols)
{
	std::vector<std::string> names;
	std::string error;
	const std::string binary = fakeBundlePath ("ok") + "/Contents/" + Module::architectureFolder () + "/fake_ok.so";
	ASSERT_TRUE (vsthost::readDynamicExports (binary, names, error)) << error;
	EXPECT_EQ (names, (std::vector<std::string> {"GetPluginFactory", "ModuleEntry", "ModuleExit"}));

	const std::string noExit = fakeBundlePath ("no_exit") + "/Contents/" + Module::architectureFolder () + "/fake_no_exit.so";
	ASSERT_TRUE (vsthost::readDynamicExports (noExit, names, error)) << error;
	EXPECT_EQ (names, (std::vector<std::string> {"GetPluginFactory", "ModuleEntry"}));

	TempDir temp;
	{
		std::ofstream text (temp.file ("x.so"));
		text << "hello";
	}
	EXPECT_FALSE (vsthost::readDynamicExports (temp.file ("x.so"), names, error));
	EXPECT_NE (error.find ("not an ELF file"), std::string::npos);
}

} // namespace
