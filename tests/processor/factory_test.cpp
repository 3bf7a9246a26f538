// The module's class factory as a host sees it.
#include "processorfixture.h"

#include "public.sdk/source/main/pluginfactory.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <string>

using namespace PalvisTest;

namespace {

// Releases every reference the test took, so each test starts without a factory.
void releaseAll (IPluginFactory* f, int refs)
{
	for (int i = 0; i < refs; ++i)
		f->release ();
}

void expectEntries (IPluginFactory* f)
{
	void* obj = nullptr;
	ASSERT_EQ (f->queryInterface (IPluginFactory2::iid, &obj), kResultOk);
	auto* f2 = static_cast<IPluginFactory2*> (obj);
	ASSERT_EQ (f2->countClasses (), 2);

	PClassInfo2 processor, controller;
	ASSERT_EQ (f2->getClassInfo2 (0, &processor), kResultOk);
	ASSERT_EQ (f2->getClassInfo2 (1, &controller), kResultOk);

	EXPECT_EQ (std::memcmp (processor.cid, PlugProcessorUID.toTUID (), 16), 0);
	EXPECT_EQ (processor.cardinality, 0x7FFFFFFF);
	EXPECT_STREQ (processor.category, "Audio Module Class");
	EXPECT_STREQ (processor.name, "vd Palvis");
	EXPECT_EQ (processor.classFlags, 1u);
	EXPECT_STREQ (processor.subCategories, "Fx|EQ");
	EXPECT_STREQ (processor.vendor, "");
	EXPECT_STREQ (processor.version, "2.1.0.1");
	EXPECT_STREQ (processor.sdkVersion, "VST 3.7.3");

	EXPECT_EQ (std::memcmp (controller.cid, PlugControllerUID.toTUID (), 16), 0);
	EXPECT_EQ (controller.cardinality, 0x7FFFFFFF);
	EXPECT_STREQ (controller.category, "Component Controller Class");
	EXPECT_STREQ (controller.name, "vd Palvis Controller");
	EXPECT_EQ (controller.classFlags, 0u);
	EXPECT_STREQ (controller.subCategories, "");
	EXPECT_STREQ (controller.vendor, "");
	EXPECT_STREQ (controller.version, "2.1.0.1");
	EXPECT_STREQ (controller.sdkVersion, "VST 3.7.3");

	// Each field is zero beyond its string.
	PClassInfo2 clean;
	std::memcpy (clean.cid, controller.cid, 16);
	clean.cardinality = controller.cardinality;
	std::strcpy (clean.category, "Component Controller Class");
	std::strcpy (clean.name, "vd Palvis Controller");
	std::strcpy (clean.version, "2.1.0.1");
	std::strcpy (clean.sdkVersion, "VST 3.7.3");
	EXPECT_EQ (std::memcmp (&clean, &controller, sizeof (PClassInfo2)), 0);

	PClassInfo plain;
	ASSERT_EQ (f->getClassInfo (1, &plain), kResultOk);
	EXPECT_STREQ (plain.name, "vd Palvis Controller");
	EXPECT_EQ (f->getClassInfo (2, &plain), kInvalidArgument);
	EXPECT_EQ (f2->getClassInfo2 (-1, &processor), kInvalidArgument);

	ASSERT_EQ (f->queryInterface (IPluginFactory3::iid, &obj), kResultOk);
	auto* f3 = static_cast<IPluginFactory3*> (obj);
	PClassInfoW wide;
	ASSERT_EQ (f3->getClassInfoUnicode (0, &wide), kResultOk);
	EXPECT_EQ (std::u16string (wide.name), u"vd Palvis");
	EXPECT_EQ (std::u16string (wide.version), u"2.1.0.1");
	EXPECT_EQ (std::u16string (wide.sdkVersion), u"VST 3.7.3");
	EXPECT_STREQ (wide.subCategories, "Fx|EQ");
	EXPECT_EQ (wide.classFlags, 1u);
	f3->release ();
	f2->release ();
}

void expectVendor (IPluginFactory* f)
{
	PFactoryInfo info;
	ASSERT_EQ (f->getFactoryInfo (&info), kResultOk);
	EXPECT_STREQ (info.vendor, "VARDEL Soft");
	EXPECT_EQ (info.flags, 16);
	EXPECT_EQ (std::string (info.email).rfind ("mailto:", 0), 0u);
	EXPECT_GT (std::strlen (info.email), 7u);
	EXPECT_GT (std::strlen (info.url), 0u);
	for (size_t i = std::strlen (info.vendor); i < sizeof (info.vendor); ++i)
		EXPECT_EQ (info.vendor[i], 0);
}

} // namespace

TEST (PluginFactory, OneSharedFactoryCountingItsCallers)
{
	ASSERT_EQ (gPluginFactory, nullptr);
	IPluginFactory* first = GetPluginFactory ();
	ASSERT_NE (first, nullptr);
	EXPECT_EQ (first->addRef (), 2u);
	EXPECT_EQ (first->release (), 1u);

	IPluginFactory* second = GetPluginFactory ();
	EXPECT_EQ (second, first);
	EXPECT_EQ (first->addRef (), 3u);
	EXPECT_EQ (first->release (), 2u);

	expectVendor (first);
	expectEntries (first);
	releaseAll (first, 2);
	EXPECT_EQ (gPluginFactory, nullptr);
}

TEST (PluginFactory, RebuiltAfterFullReleaseWithTheSameEntries)
{
	IPluginFactory* f = GetPluginFactory ();
	EXPECT_EQ (f->release (), 0u);
	EXPECT_EQ (gPluginFactory, nullptr);

	IPluginFactory* again = GetPluginFactory ();
	ASSERT_NE (again, nullptr);
	EXPECT_EQ (again->addRef (), 2u); // a new factory: one reference, the caller's
	again->release ();
	expectVendor (again);
	expectEntries (again);
	releaseAll (again, 1);
}

TEST (PluginFactory, AnswersTheFactoryInterfacesOnly)
{
	IPluginFactory* f = GetPluginFactory ();
	for (const FUID* iid : {&FUnknown::iid, &IPluginFactory::iid, &IPluginFactory2::iid, &IPluginFactory3::iid})
	{
		void* obj = nullptr;
		ASSERT_EQ (f->queryInterface (*iid, &obj), kResultOk);
		EXPECT_EQ (obj, static_cast<void*> (f));
		static_cast<FUnknown*> (obj)->release ();
	}
	void* obj = reinterpret_cast<void*> (1);
	EXPECT_EQ (f->queryInterface (IComponent::iid, &obj), kNoInterface);
	EXPECT_EQ (obj, nullptr);
	releaseAll (f, 1);
}

TEST (PluginFactory, CreatesIndependentComponentsByClassId)
{
	IPluginFactory* f = GetPluginFactory ();

	void* a = nullptr;
	void* b = nullptr;
	ASSERT_EQ (f->createInstance (PlugProcessorUID, IComponent::iid, &a), kResultOk);
	ASSERT_EQ (f->createInstance (PlugProcessorUID, IAudioProcessor::iid, &b), kResultOk);
	ASSERT_NE (a, nullptr);
	ASSERT_NE (b, nullptr);
	auto* component = static_cast<IComponent*> (a);
	auto* processor = static_cast<IAudioProcessor*> (b);
	EXPECT_EQ (component->initialize (nullptr), kResultOk);
	EXPECT_EQ (component->getBusCount (kAudio, kInput), 1);

	// The controller class the processor names is byte for byte the factory's entry.
	TUID named;
	ASSERT_EQ (component->getControllerClassId (named), kResultTrue);
	PClassInfo listed;
	ASSERT_EQ (f->getClassInfo (1, &listed), kResultOk);
	EXPECT_EQ (std::memcmp (named, listed.cid, 16), 0);

	// The creation reference is gone: the caller's is the only one.
	EXPECT_EQ (component->release (), 0u);
	EXPECT_EQ (processor->release (), 0u);

	void* controller = nullptr;
	ASSERT_EQ (f->createInstance (PlugControllerUID, IEditController::iid, &controller), kResultOk);
	ASSERT_NE (controller, nullptr);
	EXPECT_EQ (static_cast<IEditController*> (controller)->release (), 0u);

	void* none = reinterpret_cast<void*> (1);
	EXPECT_EQ (f->createInstance (PlugControllerUID, IAudioProcessor::iid, &none), kNoInterface);
	EXPECT_EQ (none, nullptr);
	none = reinterpret_cast<void*> (1);
	const FUID unknown (1, 2, 3, 4);
	EXPECT_EQ (f->createInstance (unknown, IComponent::iid, &none), kNoInterface);
	EXPECT_EQ (none, nullptr);
	EXPECT_EQ (f->createInstance (PlugProcessorUID, IComponent::iid, nullptr), kInvalidArgument);
	releaseAll (f, 1);
}

//------------------------------------------------------------------------
namespace {

int created = 0;
FUnknown* createCounted (void* context)
{
	++created;
	return PlugProcessor::createInstance (context);
}

class RunLoop : public Linux::IRunLoop
{
public:
	tresult PLUGIN_API queryInterface (const TUID _iid, void** obj) override
	{
		if (FUnknownPrivate::iidEqual (_iid, FUnknown::iid) || FUnknownPrivate::iidEqual (_iid, Linux::IRunLoop::iid))
		{
			addRef ();
			*obj = this;
			return kResultOk;
		}
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return ++refs; }
	uint32 PLUGIN_API release () override { return --refs; }
	tresult PLUGIN_API registerEventHandler (Linux::IEventHandler*, Linux::FileDescriptor) override { return kResultOk; }
	tresult PLUGIN_API unregisterEventHandler (Linux::IEventHandler*) override { return kResultOk; }
	tresult PLUGIN_API registerTimer (Linux::ITimerHandler*, Linux::TimerInterval) override { return kResultOk; }
	tresult PLUGIN_API unregisterTimer (Linux::ITimerHandler*) override { return kResultOk; }
	uint32 refs {1};
};

} // namespace

TEST (CPluginFactory, RegistrationFormsAndTheirQueries)
{
	auto* f = new CPluginFactory (PFactoryInfo ("V", "u", "mailto:x", 0));
	EXPECT_EQ (gPluginFactory, nullptr); // only GetPluginFactory sets it

	const FUID id1 (0x11111111, 0, 0, 1), id2 (0x22222222, 0, 0, 2), id3 (0x33333333, 0, 0, 3);
	PClassInfo plain (id1, PClassInfo::kManyInstances, "Audio Module Class", "One");
	PClassInfoW wide (id2, 1, "Audio Module Class", u"Tw\u00f6", 0, "Fx", u"", u"1", u"VST 3.7.3");
	PClassInfo2 two (id3, 1, "Audio Module Class", "Three", 1, "Fx|EQ", "Me", "3", "VST 3.7.3");
	EXPECT_TRUE (f->registerClass (&plain, createCounted));
	EXPECT_TRUE (f->registerClass (&wide, createCounted));
	EXPECT_TRUE (f->registerClass (&two, createCounted));
	EXPECT_FALSE (f->registerClass (static_cast<const PClassInfo2*> (nullptr), createCounted));
	EXPECT_FALSE (f->registerClass (&two, nullptr));
	EXPECT_EQ (f->countClasses (), 3);
	EXPECT_TRUE (f->isClassRegistered (id2));
	EXPECT_FALSE (f->isClassRegistered (FUID (9, 9, 9, 9)));

	PClassInfo2 info2;
	ASSERT_EQ (f->getClassInfo2 (0, &info2), kResultOk);
	EXPECT_STREQ (info2.name, "One");
	EXPECT_STREQ (info2.version, "");
	// Registered in UTF-16: the 8-bit queries report nothing.
	EXPECT_EQ (f->getClassInfo2 (1, &info2), kResultFalse);
	EXPECT_STREQ (info2.name, "");
	PClassInfo info;
	EXPECT_EQ (f->getClassInfo (1, &info), kResultFalse);
	PClassInfoW w;
	ASSERT_EQ (f->getClassInfoUnicode (1, &w), kResultOk);
	EXPECT_EQ (std::u16string (w.name), u"Tw\u00f6");
	ASSERT_EQ (f->getClassInfoUnicode (2, &w), kResultOk);
	EXPECT_EQ (std::u16string (w.vendor), u"Me");

	void* obj = nullptr;
	ASSERT_EQ (f->createInstance (id2, IComponent::iid, &obj), kResultOk);
	EXPECT_EQ (created, 1);
	static_cast<IComponent*> (obj)->release ();

	// The run loop of the host context is kept while the factory lives.
	RunLoop loop;
	EXPECT_EQ (f->setHostContext (&loop), kResultTrue);
	EXPECT_EQ (f->getRunLoop (), &loop);
	EXPECT_EQ (loop.refs, 2u);
	HostContext other;
	EXPECT_EQ (f->setHostContext (&other), kResultTrue);
	EXPECT_EQ (f->getRunLoop (), nullptr);
	EXPECT_EQ (loop.refs, 1u);
	EXPECT_EQ (f->setHostContext (&loop), kResultTrue);
	EXPECT_EQ (f->release (), 0u);
	EXPECT_EQ (loop.refs, 1u);
}
