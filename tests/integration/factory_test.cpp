// The bundle's module and class factory as a host sees them.

#include "hostlib/audiofile.h"
#include "hostlib/elfexports.h"
#include "hostlib/strings.h"

#include "test_support.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <cstdio>
#include <filesystem>
#include <sstream>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using testsupport::BundleTest;

class BundleFactory : public BundleTest
{
};

TEST_F (BundleFactory, FactoryInfo)
{
	auto info = module->getFactoryInfo ();
	EXPECT_EQ (info.vendor, "VARDEL Soft");
	EXPECT_EQ (info.flags, 16);
	EXPECT_FALSE (info.url.empty ());
	EXPECT_EQ (info.email.rfind ("mailto:", 0), 0u) << info.email;
	EXPECT_GT (info.email.size (), 7u);
	EXPECT_NE (module->getFactory2 (), nullptr);
	EXPECT_NE (module->getFactory3 (), nullptr);
}

TEST_F (BundleFactory, TwoClassEntriesThroughAllThreeFactoryInterfaces)
{
	auto classes = module->getClassInfos ();
	ASSERT_EQ (module->getFactory ()->countClasses (), 2);
	ASSERT_EQ (classes.size (), 2u);

	const auto& processor = classes[0];
	EXPECT_EQ (processor.name, "vd Palvis");
	EXPECT_EQ (processor.category, "Audio Module Class");
	EXPECT_EQ (processor.cardinality, PClassInfo::kManyInstances);
	ASSERT_TRUE (processor.hasInfo2);
	EXPECT_EQ (processor.subCategories, "Fx|EQ");
	EXPECT_EQ (processor.classFlags, 1u);
	EXPECT_EQ (processor.vendor, "");
	EXPECT_EQ (processor.version, "2.1.0.1");
	EXPECT_EQ (processor.sdkVersion, "VST 3.7.3");

	const auto& controller = classes[1];
	EXPECT_EQ (controller.name, "vd Palvis Controller");
	EXPECT_EQ (controller.category, "Component Controller Class");
	EXPECT_EQ (controller.cardinality, PClassInfo::kManyInstances);
	ASSERT_TRUE (controller.hasInfo2);
	EXPECT_EQ (controller.subCategories, "");
	EXPECT_EQ (controller.classFlags, 0u);
	EXPECT_EQ (controller.vendor, "");
	EXPECT_EQ (controller.version, "2.1.0.1");
	EXPECT_EQ (controller.sdkVersion, "VST 3.7.3");

	EXPECT_NE (processor.cidString (), controller.cidString ());
	for (auto& entry : classes)
	{
		SCOPED_TRACE (entry.name);
		ASSERT_TRUE (entry.hasInfoW);
		EXPECT_EQ (entry.nameW, entry.name);
		EXPECT_EQ (entry.classFlagsW, entry.classFlags);
		EXPECT_EQ (entry.subCategoriesW, entry.subCategories);
		EXPECT_EQ (entry.vendorW, entry.vendor);
		EXPECT_EQ (entry.versionW, entry.version);
		EXPECT_EQ (entry.sdkVersionW, entry.sdkVersion);
	}

	// Whole fields as the factory fills them: string, then zeros to the end.
	PClassInfo2 raw;
	std::memset (static_cast<void*> (&raw), 0x5A, sizeof (raw));
	ASSERT_EQ (module->getFactory2 ()->getClassInfo2 (0, &raw), kResultOk);
	for (size_t i = std::strlen (raw.subCategories); i < sizeof (raw.subCategories); ++i)
		ASSERT_EQ (raw.subCategories[i], 0) << "subCategories byte " << i;
	for (size_t i = 0; i < sizeof (raw.vendor); ++i)
		ASSERT_EQ (raw.vendor[i], 0) << "vendor byte " << i;
}

TEST_F (BundleFactory, ProcessorNamesTheListedControllerClass)
{
	auto classes = module->getClassInfos ();
	ASSERT_EQ (classes.size (), 2u);
	auto instance = createInstance ();
	ASSERT_NE (instance, nullptr);
	EXPECT_TRUE (instance->hasSeparateController ());
	EXPECT_EQ (instance->getControllerClassId (), classes[1].cidString ());
}

TEST_F (BundleFactory, BadIndexUnknownClassAndUnofferedInterface)
{
	PClassInfo info;
	EXPECT_EQ (module->getFactory ()->getClassInfo (2, &info), kInvalidArgument);
	EXPECT_EQ (module->getFactory ()->getClassInfo (-1, &info), kInvalidArgument);
	PClassInfo2 info2;
	EXPECT_EQ (module->getFactory2 ()->getClassInfo2 (2, &info2), kInvalidArgument);
	PClassInfoW infoW;
	EXPECT_EQ (module->getFactory3 ()->getClassInfoUnicode (2, &infoW), kInvalidArgument);

	const TUID unknown = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
	void* obj = reinterpret_cast<void*> (1);
	EXPECT_EQ (module->getFactory ()->createInstance (unknown, IComponent::iid, &obj), kNoInterface);
	EXPECT_EQ (obj, nullptr);

	auto classes = module->getClassInfos ();
	ASSERT_EQ (classes.size (), 2u);
	obj = reinterpret_cast<void*> (1);
	EXPECT_EQ (module->getFactory ()->createInstance (classes[0].cid, IEditController::iid, &obj), kNoInterface);
	EXPECT_EQ (obj, nullptr);
	tresult result = kResultOk;
	auto controller = module->createInstance<IEditController> (classes[1].cid, &result);
	EXPECT_EQ (result, kResultOk);
	EXPECT_NE (controller, nullptr);
}

TEST_F (BundleFactory, FactoryIsSharedAndAnswersItsInterfaces)
{
	auto getFactory = reinterpret_cast<GetFactoryProc> (module->getSymbol ("GetPluginFactory"));
	ASSERT_NE (getFactory, nullptr);
	IPluginFactory* factory = module->getFactory ();
	uint32 before = factory->addRef ();
	factory->release ();
	IPluginFactory* again = getFactory ();
	EXPECT_EQ (again, factory);
	uint32 after = again->addRef ();
	again->release ();
	EXPECT_EQ (after, before + 1);
	again->release ();

	for (const FUID* iid : {&FUnknown::iid, &IPluginFactory::iid, &IPluginFactory2::iid, &IPluginFactory3::iid})
	{
		void* obj = nullptr;
		ASSERT_EQ (factory->queryInterface (*iid, &obj), kResultOk);
		ASSERT_NE (obj, nullptr);
		static_cast<FUnknown*> (obj)->release ();
	}
	void* obj = reinterpret_cast<void*> (1);
	EXPECT_EQ (factory->queryInterface (IComponent::iid, &obj), kNoInterface);
	EXPECT_EQ (obj, nullptr);
}

TEST_F (BundleFactory, ExportsExactlyTheThreeEntryPoints)
{
	const std::vector<std::string> expected {"GetPluginFactory", "ModuleEntry", "ModuleExit"};
	std::vector<std::string> names;
	std::string error;
	ASSERT_TRUE (vsthost::readDynamicExports (module->getBinaryPath (), names, error)) << error;
	EXPECT_EQ (names, expected);

	// The same list as binutils gives it.
	std::string command = "nm -D --defined-only '" + module->getBinaryPath () + "' 2>/dev/null";
	FILE* pipe = ::popen (command.c_str (), "r");
	ASSERT_NE (pipe, nullptr);
	std::vector<std::string> nmNames;
	char line[512];
	while (std::fgets (line, sizeof (line), pipe))
	{
		std::istringstream fields (line);
		std::string address, type, name;
		if (fields >> address >> type >> name)
			nmNames.push_back (name);
	}
	int status = ::pclose (pipe);
	ASSERT_EQ (status, 0) << "nm failed";
	std::sort (nmNames.begin (), nmNames.end ());
	EXPECT_EQ (nmNames, expected);
}

TEST_F (BundleFactory, BundleLayout)
{
	namespace fs = std::filesystem;
	const fs::path bundle (testsupport::bundlePath ());
	EXPECT_EQ (bundle.filename ().string (), "vd Palvis.vst3");
	EXPECT_TRUE (fs::is_regular_file (bundle / "Contents" / vsthost::Module::architectureFolder () / "vd Palvis.so"));
	// Every resource the project ships is in the bundle, byte for byte.
	const fs::path resources = bundle / "Contents" / "Resources";
	ASSERT_TRUE (fs::is_directory (resources));
	for (auto& entry : fs::directory_iterator (fs::path (PALVIS_SOURCE_DIR) / "resource"))
	{
		if (!entry.is_regular_file ())
			continue;
		SCOPED_TRACE (entry.path ().filename ().string ());
		std::vector<unsigned char> shipped, source;
		std::string error;
		ASSERT_TRUE (vsthost::readBinaryFile ((resources / entry.path ().filename ()).string (), shipped, error)) << error;
		ASSERT_TRUE (vsthost::readBinaryFile (entry.path ().string (), source, error)) << error;
		EXPECT_TRUE (shipped == source);
	}

}

TEST_F (BundleFactory, ReloadGivesAFreshWorkingModule)
{
	auto before = module->getClassInfos ();
	{
		auto instance = createInstance ();
		ASSERT_NE (instance, nullptr);
	}
	module.reset ();
	std::string error;
	module = vsthost::Module::load (testsupport::bundlePath (), error);
	ASSERT_NE (module, nullptr) << error;
	auto after = module->getClassInfos ();
	ASSERT_EQ (after.size (), before.size ());
	for (size_t i = 0; i < after.size (); ++i)
	{
		EXPECT_EQ (after[i].cidString (), before[i].cidString ());
		EXPECT_EQ (after[i].name, before[i].name);
	}
	EXPECT_EQ (module->getFactoryInfo ().vendor, "VARDEL Soft");
	EXPECT_NE (createInstance (), nullptr);
}

} // namespace
