#include "hostlib/plugininstance.h"

#include "hostlib/memorystream.h"
#include "hostlib/strings.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <cctype>

namespace vsthost {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
template <class I>
IPtr<I> queryInterfaceOf (FUnknown* unknown)
{
	void* obj = nullptr;
	if (unknown && unknown->queryInterface (I::iid, &obj) == kResultOk && obj)
		return owned (static_cast<I*> (obj));
	return {};
}

bool succeeded (tresult result)
{
	return result == kResultOk;
}

} // namespace

//------------------------------------------------------------------------
std::unique_ptr<PluginInstance> PluginInstance::create (const Module& module, const TUID processorCid,
                                                        std::string& error, const InstanceOptions& options)
{
	std::unique_ptr<PluginInstance> instance (new PluginInstance ());
	if (!instance->initialize (module, processorCid, error, options))
		return nullptr; // the destructor has undone whatever was done
	return instance;
}

std::unique_ptr<PluginInstance> PluginInstance::createFirstAudioEffect (const Module& module, std::string& error,
                                                                        const InstanceOptions& options)
{
	ClassInfo info;
	if (!module.findClass (kVstAudioEffectClass, info))
	{
		error = "the module has no class of category \"" kVstAudioEffectClass "\"";
		return nullptr;
	}
	return create (module, info.cid, error, options);
}

bool PluginInstance::initialize (const Module& module, const TUID processorCid, std::string& error,
                                 const InstanceOptions& options)
{
	hostApplication = HostApplication::create (options.hostName);
	componentHandler = ComponentHandler::create ();
	pendingChanges = ParameterChanges::create ();
	lastBlockChanges = ParameterChanges::create ();
	outputChanges = ParameterChanges::create ();

	tresult result = kResultFalse;
	component = module.createInstance<IComponent> (processorCid, &result);
	if (!component)
	{
		error = "createInstance of class " + tuidToHex (processorCid) + " as IComponent failed (" +
		        resultName (result) + ")";
		return false;
	}
	result = component->initialize (hostApplication->unknown ());
	if (!succeeded (result))
	{
		error = "IComponent::initialize failed (" + resultName (result) + ")";
		return false;
	}
	componentInitialized = true;

	processor = queryInterfaceOf<IAudioProcessor> (component.get ());
	if (!processor)
	{
		error = "the component does not offer IAudioProcessor";
		return false;
	}

	TUID controllerId {};
	if (succeeded (component->getControllerClassId (controllerId)) && FUID (controllerId).isValid ())
	{
		controllerCid = tuidToHex (controllerId);
		controller = module.createInstance<IEditController> (controllerId, &result);
		if (!controller)
		{
			error = "createInstance of the controller class " + controllerCid + " failed (" +
			        resultName (result) + ")";
			return false;
		}
		separateController = true;
	}
	else
	{
		// A single-component plug-in: the component is its own controller (or has none).
		controller = queryInterfaceOf<IEditController> (component.get ());
	}

	if (controller && separateController)
	{
		result = controller->initialize (hostApplication->unknown ());
		if (!succeeded (result))
		{
			error = "IEditController::initialize failed (" + resultName (result) + ")";
			return false;
		}
		controllerInitialized = true;
	}
	if (controller)
		controller->setComponentHandler (componentHandler.get ());

	if (controller && separateController && options.connectComponents)
	{
		componentConnection = queryInterfaceOf<IConnectionPoint> (component.get ());
		controllerConnection = queryInterfaceOf<IConnectionPoint> (controller.get ());
		if (componentConnection && controllerConnection)
		{
			componentConnection->connect (controllerConnection.get ());
			controllerConnection->connect (componentConnection.get ());
			connected = true;
		}
		else
		{
			componentConnection = nullptr;
			controllerConnection = nullptr;
		}
	}

	if (controller && separateController && options.syncControllerState)
	{
		std::vector<uint8> state;
		if (succeeded (getState (state)))
			setControllerComponentState (state);
	}
	return true;
}

PluginInstance::~PluginInstance ()
{
	terminate ();
}

void PluginInstance::terminate ()
{
	stop ();
	if (connected)
	{
		componentConnection->disconnect (controllerConnection.get ());
		controllerConnection->disconnect (componentConnection.get ());
		connected = false;
	}
	componentConnection = nullptr;
	controllerConnection = nullptr;
	if (controller && controllerInitialized)
		controller->terminate ();
	controllerInitialized = false;
	if (component && componentInitialized)
		component->terminate ();
	componentInitialized = false;
	processor = nullptr;
	if (controller && separateController)
		controllerRefsAfterRelease = controller.take ()->release ();
	controller = nullptr;
	if (component)
		componentRefsAfterRelease = component.take ()->release ();
}

//------------------------------------------------------------------------
tresult PluginInstance::setupProcessing (double sampleRate, int32 maxSamplesPerBlock, int32 symbolicSampleSize,
                                         int32 processMode)
{
	if (!processor)
		return kNotInitialized;
	SpeakerArrangement inputs[1] = {SpeakerArr::kStereo};
	SpeakerArrangement outputs[1] = {SpeakerArr::kStereo};
	tresult result = processor->setBusArrangements (inputs, 1, outputs, 1);
	if (!succeeded (result))
		return result;
	ProcessSetup newSetup {processMode, symbolicSampleSize, maxSamplesPerBlock, sampleRate};
	result = processor->setupProcessing (newSetup);
	if (succeeded (result))
		setup = newSetup;
	return result;
}

tresult PluginInstance::setActive (bool state)
{
	if (!component)
		return kNotInitialized;
	tresult result = component->setActive (state ? 1 : 0);
	if (succeeded (result))
		active = state;
	if (state)
	{
		context = ProcessContext {};
		context.sampleRate = setup.sampleRate;
		context.tempo = 120.0;
		context.timeSigNumerator = 4;
		context.timeSigDenominator = 4;
		context.state = ProcessContext::kTempoValid | ProcessContext::kTimeSigValid |
		                ProcessContext::kContTimeValid | ProcessContext::kProjectTimeMusicValid;
	}
	return result;
}

tresult PluginInstance::setProcessing (bool state)
{
	if (!processor)
		return kNotInitialized;
	tresult result = processor->setProcessing (state ? 1 : 0);
	if (result == kNotImplemented)
		result = kResultOk;
	if (succeeded (result))
		processing = state;
	return result;
}

bool PluginInstance::start (double sampleRate, int32 maxSamplesPerBlock, int32 symbolicSampleSize,
                            std::string& error, int32 processMode)
{
	if (!processor)
	{
		error = "no processor";
		return false;
	}
	if (active)
		stop ();
	if (processor->canProcessSampleSize (symbolicSampleSize) != kResultTrue)
	{
		error = std::string ("the processor cannot process ") +
		        (symbolicSampleSize == kSample64 ? "64-bit" : "32-bit") + " samples";
		return false;
	}
	tresult result = setupProcessing (sampleRate, maxSamplesPerBlock, symbolicSampleSize, processMode);
	if (!succeeded (result))
	{
		error = "setBusArrangements (stereo) / setupProcessing failed (" + resultName (result) + ")";
		return false;
	}
	result = setActive (true);
	if (!succeeded (result))
	{
		error = "setActive(true) failed (" + resultName (result) + ")";
		return false;
	}
	result = setProcessing (true);
	if (!succeeded (result))
	{
		error = "setProcessing(true) failed (" + resultName (result) + ")";
		stop ();
		return false;
	}
	return true;
}

void PluginInstance::stop ()
{
	if (processing)
		setProcessing (false);
	processing = false;
	if (active)
		setActive (false);
	active = false;
}

void PluginInstance::queueParameterChange (ParamID id, ParamValue value, int32 sampleOffset)
{
	pendingChanges->addChange (id, value, sampleOffset);
}

void PluginInstance::setParameter (ParamID id, ParamValue value)
{
	if (controller)
		controller->setParamNormalized (id, value);
	queueParameterChange (id, value);
}

tresult PluginInstance::processBlock (AudioBusBuffers* input, AudioBusBuffers* output, int32 numSamples,
                                      int32 sampleSize)
{
	if (!processor)
		return kNotInitialized;
	for (auto& edit : componentHandler->takePendingEdits ())
		pendingChanges->addChange (edit.id, edit.value);

	outputChanges->clear ();
	ProcessData data;
	data.processMode = setup.processMode;
	data.symbolicSampleSize = sampleSize;
	data.numSamples = numSamples;
	data.numInputs = input ? 1 : 0;
	data.numOutputs = output ? 1 : 0;
	data.inputs = input;
	data.outputs = output;
	data.inputParameterChanges = pendingChanges.get ();
	data.outputParameterChanges = outputChanges.get ();
	data.processContext = &context;

	tresult result = processor->process (data);

	if (output)
		lastOutputSilenceFlags = output->silenceFlags;
	// The changes went with this block; start a fresh set for the next one.
	lastBlockChanges = pendingChanges;
	pendingChanges = ParameterChanges::create ();
	if (numSamples > 0)
	{
		context.projectTimeSamples += numSamples;
		context.continousTimeSamples += numSamples;
		context.projectTimeMusic = static_cast<double> (context.projectTimeSamples) / setup.sampleRate *
		                           context.tempo / 60.0;
	}
	return result;
}

tresult PluginInstance::processAudio (AudioBusBuffers& input, AudioBusBuffers& output, int32 numChannels,
                                      int32 numSamples, uint64 inputSilenceFlags, int32 sampleSize)
{
	if (!active)
		return kNotInitialized;
	if (setup.symbolicSampleSize != sampleSize || numSamples < 0 || numSamples > setup.maxSamplesPerBlock)
		return kInvalidArgument;
	input.numChannels = numChannels;
	input.silenceFlags = inputSilenceFlags;
	output.numChannels = numChannels;
	return processBlock (&input, &output, numSamples, sampleSize);
}

tresult PluginInstance::process32 (Sample32** inputs, Sample32** outputs, int32 numChannels, int32 numSamples,
                                   uint64 inputSilenceFlags)
{
	AudioBusBuffers input;
	input.channelBuffers32 = inputs;
	AudioBusBuffers output;
	output.channelBuffers32 = outputs;
	return processAudio (input, output, numChannels, numSamples, inputSilenceFlags, kSample32);
}

tresult PluginInstance::process64 (Sample64** inputs, Sample64** outputs, int32 numChannels, int32 numSamples,
                                   uint64 inputSilenceFlags)
{
	AudioBusBuffers input;
	input.channelBuffers64 = inputs;
	AudioBusBuffers output;
	output.channelBuffers64 = outputs;
	return processAudio (input, output, numChannels, numSamples, inputSilenceFlags, kSample64);
}

tresult PluginInstance::flushParameters ()
{
	if (!active)
		return kNotInitialized;
	return processBlock (nullptr, nullptr, 0, setup.symbolicSampleSize);
}

//------------------------------------------------------------------------
tresult PluginInstance::getState (std::vector<uint8>& bytes)
{
	if (!component)
		return kNotInitialized;
	auto stream = MemoryStream::create ();
	tresult result = component->getState (stream.get ());
	bytes = stream->getData ();
	return result;
}

tresult PluginInstance::setState (const std::vector<uint8>& bytes)
{
	if (!component)
		return kNotInitialized;
	auto stream = MemoryStream::create (bytes, MemoryStream::Mode::ReadOnly);
	return component->setState (stream.get ());
}

tresult PluginInstance::setControllerComponentState (const std::vector<uint8>& bytes)
{
	if (!controller)
		return kNotInitialized;
	auto stream = MemoryStream::create (bytes, MemoryStream::Mode::ReadOnly);
	return controller->setComponentState (stream.get ());
}

tresult PluginInstance::loadState (const std::vector<uint8>& bytes)
{
	tresult result = setState (bytes);
	if (!succeeded (result))
		return result;
	if (controller)
		result = setControllerComponentState (bytes);
	return result;
}

//------------------------------------------------------------------------
std::vector<ParameterInfo> PluginInstance::getParameterInfos () const
{
	std::vector<ParameterInfo> infos;
	if (!controller)
		return infos;
	int32 count = controller->getParameterCount ();
	for (int32 i = 0; i < count; ++i)
	{
		ParameterInfo info {};
		if (succeeded (controller->getParameterInfo (i, info)))
			infos.push_back (info);
	}
	return infos;
}

bool PluginInstance::findParameter (const std::string& key, ParamID& id, std::string& error) const
{
	if (!controller)
	{
		error = "the plug-in has no controller to look up parameter '" + key + "'";
		return false;
	}
	const auto infos = getParameterInfos ();
	bool allDigits = !key.empty ();
	for (char c : key)
		allDigits = allDigits && std::isdigit (static_cast<unsigned char> (c));
	if (allDigits)
	{
		long long number = 0;
		if (parseInt64 (key, number))
		{
			for (auto& info : infos)
			{
				if (static_cast<long long> (info.id) == number)
				{
					id = info.id;
					return true;
				}
			}
		}
	}
	for (auto& info : infos)
	{
		if (toUtf8 (info.title, 128) == key)
		{
			id = info.id;
			return true;
		}
	}
	std::vector<ParamID> matches;
	for (auto& info : infos)
		if (equalsIgnoreCase (toUtf8 (info.title, 128), key))
			matches.push_back (info.id);
	if (matches.size () == 1)
	{
		id = matches.front ();
		return true;
	}
	if (matches.empty ())
	{
		error = "no parameter with ID or title '" + key + "'; the parameters are:";
		for (auto& info : infos)
			error += " " + std::to_string (info.id) + " " + quoted (toUtf8 (info.title, 128)) +
			         (&info == &infos.back () ? "" : ",");
	}
	else
		error = "parameter title '" + key + "' is ambiguous (" + std::to_string (matches.size ()) +
		        " titles match when case is ignored)";
	return false;
}

std::string PluginInstance::getParamDisplayWithUnits (ParamID id, ParamValue normalized) const
{
	std::string display = getParamDisplay (id, normalized);
	for (auto& info : getParameterInfos ())
	{
		if (info.id != id)
			continue;
		std::string units = toUtf8 (info.units, 128);
		if (!units.empty () && !display.empty ())
			display += " " + units;
	}
	return display;
}

std::string PluginInstance::getParamDisplay (ParamID id, ParamValue normalized) const
{
	if (!controller)
		return {};
	String128 text {};
	if (!succeeded (controller->getParamStringByValue (id, normalized, text)))
		return {};
	text[127] = 0;
	return toUtf8 (text, 128);
}

} // namespace vsthost
