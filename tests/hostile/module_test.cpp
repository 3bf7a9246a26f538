// The module's entry points called the wrong way: exit without entry, more
// exits than entries, the factory asked for without entry, the factory
// released while the components it made still live, components kept after
// the module was exited.
#include "bundleharness.h"

#include "hostlib/memorystream.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

using namespace stress;

namespace {

// The plug-in binary opened with dlopen alone: no entry call is made for the test.
class RawModule
{
public:
	RawModule ()
	{
		handle = dlopen (vsthost::Module::binaryPathForBundle (bundlePath ()).c_str (), RTLD_LAZY | RTLD_LOCAL);
		if (!handle)
			return;
		entry = reinterpret_cast<bool (*) (void*)> (dlsym (handle, "ModuleEntry"));
		exit = reinterpret_cast<bool (*) ()> (dlsym (handle, "ModuleExit"));
		getFactory = reinterpret_cast<IPluginFactory* (*) ()> (dlsym (handle, "GetPluginFactory"));
	}
	~RawModule ()
	{
		if (handle)
			dlclose (handle);
	}
	bool ok () const { return handle && entry && exit && getFactory; }

	void* handle {nullptr};
	bool (*entry) (void*) {nullptr};
	bool (*exit) () {nullptr};
	IPluginFactory* (*getFactory) () {nullptr};
};

bool findClass (IPluginFactory* factory, const char* category, TUID cid)
{
	for (int32 i = 0; i < factory->countClasses (); ++i)
	{
		PClassInfo info {};
		if (factory->getClassInfo (i, &info) == kResultOk && std::string (info.category) == category)
		{
			std::memcpy (cid, info.cid, sizeof (TUID));
			return true;
		}
	}
	return false;
}

} // namespace

TEST (HostileModule, ExitWithoutEntryAndUnbalancedExits)
{
	RawModule m;
	ASSERT_TRUE (m.ok ()) << dlerror ();
	EXPECT_FALSE (m.exit ());
	EXPECT_FALSE (m.exit ());
	EXPECT_TRUE (m.entry (m.handle));
	EXPECT_TRUE (m.entry (m.handle)); // entered twice
	EXPECT_TRUE (m.exit ());
	EXPECT_TRUE (m.exit ());
	EXPECT_FALSE (m.exit ()); // one more than entries
	// Entry and exit work again after all that.
	EXPECT_TRUE (m.entry (m.handle));
	IPluginFactory* f = m.getFactory ();
	ASSERT_NE (f, nullptr);
	EXPECT_EQ (f->countClasses (), 2);
	f->release ();
	EXPECT_TRUE (m.exit ());
}

TEST (HostileModule, FactoryWithoutEntry)
{
	// Some hosts ask for the factory first; it must work and be released cleanly.
	RawModule m;
	ASSERT_TRUE (m.ok ()) << dlerror ();
	IPluginFactory* f = m.getFactory ();
	ASSERT_NE (f, nullptr);
	TUID cid;
	ASSERT_TRUE (findClass (f, kVstAudioEffectClass, cid));
	void* obj = nullptr;
	ASSERT_EQ (f->createInstance (cid, IComponent::iid, &obj), kResultOk);
	auto* component = static_cast<IComponent*> (obj);
	EXPECT_EQ (component->initialize (nullptr), kResultOk);
	EXPECT_EQ (component->terminate (), kResultOk);
	EXPECT_EQ (component->release (), 0u);
	f->release ();
	EXPECT_FALSE (m.exit ());
}

TEST (HostileModule, FactoryReleasedWhileComponentsLive)
{
	RawModule m;
	ASSERT_TRUE (m.ok ()) << dlerror ();
	ASSERT_TRUE (m.entry (m.handle));
	IPluginFactory* f = m.getFactory ();
	ASSERT_NE (f, nullptr);
	TUID processorCid, controllerCid;
	ASSERT_TRUE (findClass (f, kVstAudioEffectClass, processorCid));
	ASSERT_TRUE (findClass (f, kVstComponentControllerClass, controllerCid));
	void* obj = nullptr;
	ASSERT_EQ (f->createInstance (processorCid, IComponent::iid, &obj), kResultOk);
	auto* component = static_cast<IComponent*> (obj);
	ASSERT_EQ (f->createInstance (controllerCid, IEditController::iid, &obj), kResultOk);
	auto* controller = static_cast<IEditController*> (obj);

	// The host's last reference to the factory goes while the components live.
	f->release ();

	auto host = vsthost::HostApplication::create ("hostile");
	ASSERT_EQ (component->initialize (host->unknown ()), kResultOk);
	ASSERT_EQ (controller->initialize (host->unknown ()), kResultOk);
	ASSERT_EQ (component->queryInterface (IAudioProcessor::iid, &obj), kResultOk);
	auto* audio = static_cast<IAudioProcessor*> (obj);
	SpeakerArrangement stereo = SpeakerArr::kStereo;
	ASSERT_EQ (audio->setBusArrangements (&stereo, 1, &stereo, 1), kResultOk);
	ProcessSetup setup {kRealtime, kSample32, 64, 48000};
	ASSERT_EQ (audio->setupProcessing (setup), kResultOk);
	ASSERT_EQ (component->setActive (true), kResultOk);
	Block<Sample32> block (64);
	block.fillNoise (1, 0.5);
	StateImage s;
	s.bands[4] = 0.9;
	auto in = vsthost::MemoryStream::create (s.encode ());
	ASSERT_EQ (component->setState (in.get ()), kResultOk);
	EXPECT_EQ (audio->process (block.set (64)), kResultOk);
	EXPECT_TRUE (block.outputFinite (64));
	auto out = vsthost::MemoryStream::create ();
	EXPECT_EQ (component->getState (out.get ()), kResultOk);
	EXPECT_EQ (out->getData (), s.canonical ());
	EXPECT_EQ (controller->getParameterCount (), 17);

	// A new factory can be asked for meanwhile, and makes working instances.
	IPluginFactory* g = m.getFactory ();
	ASSERT_NE (g, nullptr);
	ASSERT_EQ (g->createInstance (processorCid, IComponent::iid, &obj), kResultOk);
	static_cast<IComponent*> (obj)->release ();
	g->release ();

	// The host exits the module before the last components go.
	EXPECT_TRUE (m.exit ());
	EXPECT_EQ (component->setActive (false), kResultOk);
	EXPECT_EQ (controller->terminate (), kResultOk);
	EXPECT_EQ (component->terminate (), kResultOk);
	audio->release ();
	EXPECT_EQ (controller->release (), 0u);
	EXPECT_EQ (component->release (), 0u);
	EXPECT_EQ (host->getRefCount (), 1u);
}

TEST (HostileModule, FactoryQueriesOutOfRange)
{
	RawModule m;
	ASSERT_TRUE (m.ok ()) << dlerror ();
	ASSERT_TRUE (m.entry (m.handle));
	IPluginFactory* f = m.getFactory ();
	ASSERT_NE (f, nullptr);
	PClassInfo info {};
	for (int32 index : {-1, 2, 1000, INT32_MIN})
		EXPECT_NE (f->getClassInfo (index, &info), kResultOk) << index;
	EXPECT_NE (f->getClassInfo (0, nullptr), kResultOk);
	EXPECT_NE (f->getFactoryInfo (nullptr), kResultOk);
	void* obj = reinterpret_cast<void*> (1);
	TUID unknown = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
	EXPECT_NE (f->createInstance (unknown, IComponent::iid, &obj), kResultOk);
	EXPECT_EQ (obj, nullptr);
	TUID cid;
	ASSERT_TRUE (findClass (f, kVstAudioEffectClass, cid));
	obj = reinterpret_cast<void*> (1);
	EXPECT_NE (f->createInstance (cid, unknown, &obj), kResultOk); // an interface it does not have
	EXPECT_EQ (obj, nullptr);
	EXPECT_NE (f->createInstance (nullptr, IComponent::iid, &obj), kResultOk);
	EXPECT_NE (f->createInstance (cid, nullptr, &obj), kResultOk);
	EXPECT_NE (f->createInstance (cid, IComponent::iid, nullptr), kResultOk);
	// The processor asked for as a controller, and the other way round.
	TUID controllerCid;
	ASSERT_TRUE (findClass (f, kVstComponentControllerClass, controllerCid));
	obj = nullptr;
	EXPECT_NE (f->createInstance (controllerCid, IAudioProcessor::iid, &obj), kResultOk);
	EXPECT_EQ (obj, nullptr);
	f->release ();
	EXPECT_TRUE (m.exit ());
}
