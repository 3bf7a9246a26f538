// The SDK component classes under the processor: interfaces, buses, set-up.
#include "processorfixture.h"

#include "public.sdk/source/vst/vstaudioeffect.h"

using namespace PalvisTest;

namespace {

class BareEffect : public AudioEffect
{
public:
	using AudioEffect::processSetup;
};

template <class I>
I* ask (FUnknown* unknown)
{
	void* obj = nullptr;
	if (unknown->queryInterface (I::iid, &obj) != kResultOk)
		return nullptr;
	return static_cast<I*> (obj);
}

} // namespace

TEST (AudioEffect, AnswersEveryInterfaceOfTheProcessor)
{
	FUnknown* unknown = PlugProcessor::createInstance (nullptr);
	ASSERT_NE (unknown, nullptr);

	auto* base = ask<IPluginBase> (unknown);
	auto* component = ask<IComponent> (unknown);
	auto* processor = ask<IAudioProcessor> (unknown);
	auto* requirements = ask<IProcessContextRequirements> (unknown);
	auto* connection = ask<IConnectionPoint> (unknown);
	auto* root = ask<FUnknown> (unknown);
	ASSERT_TRUE (base && component && processor && requirements && connection && root);

	void* none = reinterpret_cast<void*> (1);
	EXPECT_EQ (unknown->queryInterface (IBStream::iid, &none), kNoInterface);
	EXPECT_EQ (none, nullptr);

	// Every pointer leads to one object: the same FUnknown, one shared count.
	EXPECT_EQ (ask<FUnknown> (component), root);
	EXPECT_EQ (ask<FUnknown> (processor), root);
	EXPECT_EQ (ask<FUnknown> (connection), root);
	// The creation reference, six from the first queries and three from these.
	EXPECT_EQ (unknown->addRef (), 11u);
	EXPECT_EQ (component->release (), 10u);

	// initialize through one interface is seen through the other.
	HostContext host;
	EXPECT_EQ (base->initialize (&host), kResultOk);
	EXPECT_EQ (component->initialize (&host), kResultFalse);
	EXPECT_EQ (component->getBusCount (kAudio, kInput), 1);
	EXPECT_EQ (processor->canProcessSampleSize (kSample64), kResultTrue);
	EXPECT_EQ (requirements->getProcessContextRequirements (), 0u);
	EXPECT_EQ (base->terminate (), kResultOk);
	EXPECT_EQ (component->getBusCount (kAudio, kInput), 0);

	for (int i = 0; i < 9; ++i)
		root->release ();
	EXPECT_EQ (unknown->release (), 0u);
}

TEST (AudioEffect, DefaultsOfTheBaseClasses)
{
	auto* effect = new BareEffect ();
	EXPECT_EQ (effect->processSetup.processMode, kRealtime);
	EXPECT_EQ (effect->processSetup.symbolicSampleSize, kSample32);
	EXPECT_EQ (effect->processSetup.maxSamplesPerBlock, 1024);
	EXPECT_EQ (effect->processSetup.sampleRate, 44100.0);

	EXPECT_EQ (effect->canProcessSampleSize (kSample32), kResultTrue);
	EXPECT_EQ (effect->canProcessSampleSize (kSample64), kResultFalse);
	EXPECT_EQ (effect->setIoMode (kAdvanced), kNotImplemented);
	EXPECT_EQ (effect->setActive (true), kResultOk);
	EXPECT_EQ (effect->setState (nullptr), kNotImplemented);
	EXPECT_EQ (effect->getState (nullptr), kNotImplemented);
	EXPECT_EQ (effect->setProcessing (true), kNotImplemented);
	EXPECT_EQ (effect->getLatencySamples (), 0u);
	EXPECT_EQ (effect->getTailSamples (), 0u);
	RoutingInfo a {}, b {};
	EXPECT_EQ (effect->getRoutingInfo (a, b), kNotImplemented);
	TUID cid;
	EXPECT_EQ (effect->getControllerClassId (cid), kResultFalse); // none set

	// A refused sample size keeps the old one but takes rate, mode and block size.
	ProcessSetup s {kOffline, kSample64, 333, 96000.0};
	EXPECT_EQ (effect->setupProcessing (s), kResultFalse);
	EXPECT_EQ (effect->processSetup.symbolicSampleSize, kSample32);
	EXPECT_EQ (effect->processSetup.maxSamplesPerBlock, 333);
	EXPECT_EQ (effect->processSetup.sampleRate, 96000.0);
	EXPECT_EQ (effect->processSetup.processMode, kOffline);
	effect->release ();
}

TEST (AudioEffect, BusesAndArrangements)
{
	auto* effect = new BareEffect ();
	effect->addAudioInput (u"In", SpeakerArr::kStereo);
	effect->addAudioOutput (u"Out", SpeakerArr::kMono, kAux, 0);

	BusInfo info {};
	ASSERT_EQ (effect->getBusInfo (kAudio, kOutput, 0, info), kResultTrue);
	EXPECT_EQ (info.mediaType, kAudio);
	EXPECT_EQ (info.direction, kOutput);
	EXPECT_EQ (info.channelCount, 1);
	EXPECT_EQ (std::u16string (info.name), u"Out");
	EXPECT_EQ (info.busType, kAux);
	EXPECT_EQ (info.flags, 0u);
	EXPECT_EQ (effect->getBusInfo (kAudio, kOutput, 1, info), kInvalidArgument);
	EXPECT_EQ (effect->getBusInfo (kEvent, kInput, 0, info), kInvalidArgument);
	EXPECT_EQ (effect->getBusInfo (7, kInput, 0, info), kInvalidArgument);
	EXPECT_EQ (effect->getBusCount (kEvent, kInput), 0);
	EXPECT_EQ (effect->activateBus (kAudio, kInput, 0, true), kResultTrue);
	EXPECT_TRUE (effect->getAudioInput (0)->isActive ());
	EXPECT_EQ (effect->activateBus (kAudio, kInput, 3, true), kInvalidArgument);

	// A name longer than a String128 is cut to 127 characters.
	std::u16string longName (300, u'x');
	EXPECT_EQ (effect->renameBus (kAudio, kInput, 0, longName.c_str ()), kResultTrue);
	ASSERT_EQ (effect->getBusInfo (kAudio, kInput, 0, info), kResultTrue);
	EXPECT_EQ (std::u16string (info.name).size (), 127u);

	// The base accepts any arrangement for existing buses.
	SpeakerArrangement in = 0x7, out = 0x3;
	EXPECT_EQ (effect->setBusArrangements (&in, 1, &out, 1), kResultTrue);
	SpeakerArrangement arr = 0;
	EXPECT_EQ (effect->getBusArrangement (kInput, 0, arr), kResultTrue);
	EXPECT_EQ (arr, 0x7u);
	EXPECT_EQ (effect->getBusArrangement (kOutput, 0, arr), kResultTrue);
	EXPECT_EQ (arr, 0x3u);
	EXPECT_EQ (effect->getBusArrangement (kOutput, 1, arr), kInvalidArgument);
	SpeakerArrangement two[2] = {3, 3};
	EXPECT_EQ (effect->setBusArrangements (two, 2, &out, 1), kResultFalse);
	EXPECT_EQ (effect->setBusArrangements (&in, -1, &out, 1), kInvalidArgument);
	EXPECT_EQ (effect->setBusArrangements (nullptr, 0, nullptr, 0), kResultTrue);

	effect->release ();
}
