#include "public.sdk/source/vst/vstaudioeffect.h"

namespace Steinberg {
namespace Vst {

AudioEffect::AudioEffect ()
{
	processSetup.processMode = kRealtime;
	processSetup.symbolicSampleSize = kSample32;
	processSetup.maxSamplesPerBlock = 1024;
	processSetup.sampleRate = 44100.0;
}

AudioEffect::~AudioEffect () = default;

AudioBus* AudioEffect::addAudioInput (const TChar* name, SpeakerArrangement arr, BusType busType, int32 flags)
{
	auto* bus = new AudioBus (name, busType, flags, arr);
	audioInputs.push_back (owned<Bus> (bus));
	return bus;
}

AudioBus* AudioEffect::addAudioOutput (const TChar* name, SpeakerArrangement arr, BusType busType, int32 flags)
{
	auto* bus = new AudioBus (name, busType, flags, arr);
	audioOutputs.push_back (owned<Bus> (bus));
	return bus;
}

AudioBus* AudioEffect::getAudioInput (int32 index)
{
	if (index < 0 || index >= static_cast<int32> (audioInputs.size ()))
		return nullptr;
	return static_cast<AudioBus*> (audioInputs[static_cast<size_t> (index)].get ());
}

AudioBus* AudioEffect::getAudioOutput (int32 index)
{
	if (index < 0 || index >= static_cast<int32> (audioOutputs.size ()))
		return nullptr;
	return static_cast<AudioBus*> (audioOutputs[static_cast<size_t> (index)].get ());
}

tresult PLUGIN_API AudioEffect::setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
                                                    SpeakerArrangement* outputs, int32 numOuts)
{
	if (numIns < 0 || numOuts < 0)
		return kInvalidArgument;
	if (numIns > static_cast<int32> (audioInputs.size ()) || numOuts > static_cast<int32> (audioOutputs.size ()))
		return kResultFalse;
	if ((numIns > 0 && !inputs) || (numOuts > 0 && !outputs))
		return kInvalidArgument;
	for (int32 i = 0; i < numIns; ++i)
		static_cast<AudioBus*> (audioInputs[static_cast<size_t> (i)].get ())->setArrangement (inputs[i]);
	for (int32 i = 0; i < numOuts; ++i)
		static_cast<AudioBus*> (audioOutputs[static_cast<size_t> (i)].get ())->setArrangement (outputs[i]);
	return kResultTrue;
}

tresult PLUGIN_API AudioEffect::getBusArrangement (BusDirection dir, int32 index, SpeakerArrangement& arr)
{
	BusList* list = getBusList (kAudio, dir);
	if (!list || index < 0 || index >= static_cast<int32> (list->size ()))
		return kInvalidArgument;
	arr = static_cast<AudioBus*> (list->at (static_cast<size_t> (index)).get ())->getArrangement ();
	return kResultTrue;
}

tresult PLUGIN_API AudioEffect::canProcessSampleSize (int32 symbolicSampleSize)
{
	return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API AudioEffect::getLatencySamples ()
{
	return 0;
}

tresult PLUGIN_API AudioEffect::setupProcessing (ProcessSetup& setup)
{
	processSetup.maxSamplesPerBlock = setup.maxSamplesPerBlock;
	processSetup.processMode = setup.processMode;
	processSetup.sampleRate = setup.sampleRate;
	if (canProcessSampleSize (setup.symbolicSampleSize) != kResultTrue)
		return kResultFalse;
	processSetup.symbolicSampleSize = setup.symbolicSampleSize;
	return kResultOk;
}

tresult PLUGIN_API AudioEffect::setProcessing (TBool /*state*/)
{
	return kNotImplemented;
}

tresult PLUGIN_API AudioEffect::process (ProcessData& /*data*/)
{
	return kNotImplemented;
}

uint32 PLUGIN_API AudioEffect::getTailSamples ()
{
	return kNoTail;
}

uint32 PLUGIN_API AudioEffect::getProcessContextRequirements ()
{
	return processContextRequirements;
}

} // namespace Vst
} // namespace Steinberg
