#include "bundleharness.h"

#include "hostlib/memorystream.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <cstring>

namespace stress {

std::string bundlePath ()
{
	return PALVIS_BUNDLE_DIR;
}

std::unique_ptr<Bundle> Bundle::load (std::string& error)
{
	auto bundle = std::make_unique<Bundle> ();
	bundle->module = vsthost::Module::load (bundlePath (), error);
	if (!bundle->module)
		return nullptr;
	vsthost::ClassInfo effect, controller;
	if (!bundle->module->findClass (kVstAudioEffectClass, effect))
	{
		error = "the bundle has no audio effect class";
		return nullptr;
	}
	if (!bundle->module->findClass (kVstComponentControllerClass, controller))
	{
		error = "the bundle has no controller class";
		return nullptr;
	}
	std::memcpy (bundle->processorCid, effect.cid, sizeof (TUID));
	std::memcpy (bundle->controllerCid, controller.cid, sizeof (TUID));
	return bundle;
}

//------------------------------------------------------------------------
Processor::Processor (const Bundle& bundle)
{
	host = vsthost::HostApplication::create ("stress");
	void* obj = nullptr;
	if (bundle.module->getFactory ()->createInstance (bundle.processorCid, IComponent::iid, &obj) != kResultOk || !obj)
		return;
	component = static_cast<IComponent*> (obj);
	obj = nullptr;
	if (component->queryInterface (IAudioProcessor::iid, &obj) == kResultOk && obj)
		audio = static_cast<IAudioProcessor*> (obj);
}

Processor::~Processor ()
{
	if (audio && processing)
		audio->setProcessing (false);
	if (component && active)
		component->setActive (false);
	if (component && initialized)
		component->terminate ();
	if (audio)
		audio->release ();
	if (component)
		component->release ();
}

tresult Processor::initialize ()
{
	tresult r = component->initialize (host->unknown ());
	if (r == kResultOk)
		initialized = true;
	return r;
}

tresult Processor::setupProcessing (double sampleRate, int32 maxSamplesPerBlock, int32 symbolicSampleSize)
{
	SpeakerArrangement in = SpeakerArr::kStereo, out = SpeakerArr::kStereo;
	tresult r = audio->setBusArrangements (&in, 1, &out, 1);
	if (r != kResultOk)
		return r;
	ProcessSetup setup {kRealtime, symbolicSampleSize, maxSamplesPerBlock, sampleRate};
	return audio->setupProcessing (setup);
}

tresult Processor::setActive (bool state)
{
	tresult r = component->setActive (state);
	if (r == kResultOk)
		active = state;
	return r;
}

tresult Processor::prepare (double sampleRate, int32 maxSamplesPerBlock, int32 symbolicSampleSize)
{
	tresult r = setupProcessing (sampleRate, maxSamplesPerBlock, symbolicSampleSize);
	if (r != kResultOk)
		return r;
	if ((r = setActive (true)) != kResultOk)
		return r;
	r = audio->setProcessing (true);
	if (r == kResultOk)
		processing = true;
	return r == kNotImplemented ? kResultOk : r;
}

tresult Processor::setState (const std::vector<uint8>& bytes)
{
	auto stream = vsthost::MemoryStream::create (bytes);
	return component->setState (stream.get ());
}

tresult Processor::getState (std::vector<uint8>& bytes)
{
	auto stream = vsthost::MemoryStream::create ();
	tresult r = component->getState (stream.get ());
	bytes = stream->getData ();
	return r;
}

IPtr<vsthost::ParameterChanges> makeChanges (const std::vector<std::pair<ParamID, ParamValue>>& points)
{
	auto changes = vsthost::ParameterChanges::create ();
	for (auto& p : points)
		changes->addChange (p.first, p.second, 0);
	return changes;
}

uint32 refCount (FUnknown* object)
{
	object->addRef ();
	return object->release ();
}

} // namespace stress
