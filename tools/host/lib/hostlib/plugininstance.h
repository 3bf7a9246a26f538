// One plug-in instance driven through the standard host call sequence.
#pragma once

#include "hostlib/componenthandler.h"
#include "hostlib/hostapplication.h"
#include "hostlib/module.h"
#include "hostlib/parameterchanges.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <memory>
#include <string>
#include <vector>

namespace vsthost {

struct InstanceOptions
{
	// Connect the component's and the controller's IConnectionPoint when both offer one.
	bool connectComponents {true};
	// After creation, hand the processor's getState to the controller's setComponentState.
	bool syncControllerState {true};
	// Name the host context reports through IHostApplication::getName.
	std::string hostName {"vst3host"};
};

//------------------------------------------------------------------------
// create(): createInstance(cid, IComponent), initialize(host context),
// getControllerClassId and createInstance of the controller (or IEditController
// on the component when it offers that instead), initialize, setComponentHandler,
// connect the connection points, setComponentState from getState.
// start(): setBusArrangements (stereo in and out), setupProcessing,
// setActive(true), setProcessing(true). Then process blocks.
// terminate() (also run by the destructor) does the reverse: setProcessing(false),
// setActive(false), disconnect, terminate controller and component, release all.
// The Module must outlive the instance.
//------------------------------------------------------------------------
class PluginInstance
{
public:
	static std::unique_ptr<PluginInstance> create (const Module& module, const Steinberg::TUID processorCid,
	                                               std::string& error, const InstanceOptions& options = {});
	// The module's first class of category "Audio Module Class".
	static std::unique_ptr<PluginInstance> createFirstAudioEffect (const Module& module, std::string& error,
	                                                               const InstanceOptions& options = {});
	~PluginInstance ();

	PluginInstance (const PluginInstance&) = delete;
	PluginInstance& operator= (const PluginInstance&) = delete;

	Steinberg::Vst::IComponent* getComponent () const { return component.get (); }
	Steinberg::Vst::IAudioProcessor* getProcessor () const { return processor.get (); }
	// Null when the plug-in has no controller.
	Steinberg::Vst::IEditController* getController () const { return controller.get (); }
	bool hasSeparateController () const { return separateController; }
	bool isConnected () const { return connected; }
	// Controller class ID the component reported (32 hex digits; empty if none).
	const std::string& getControllerClassId () const { return controllerCid; }
	HostApplication& getHostApplication () const { return *hostApplication; }
	ComponentHandler& getComponentHandler () const { return *componentHandler; }

	// --- Processing ------------------------------------------------------
	// setBusArrangements (stereo input and output) and setupProcessing.
	Steinberg::tresult setupProcessing (double sampleRate, Steinberg::int32 maxSamplesPerBlock,
	                                    Steinberg::int32 symbolicSampleSize = Steinberg::Vst::kSample32,
	                                    Steinberg::int32 processMode = Steinberg::Vst::kRealtime);
	Steinberg::tresult setActive (bool state);
	// kNotImplemented from the plug-in counts as success (processing needs no notice there).
	Steinberg::tresult setProcessing (bool state);
	// setupProcessing, setActive(true), setProcessing(true); false with a message on failure.
	bool start (double sampleRate, Steinberg::int32 maxSamplesPerBlock, Steinberg::int32 symbolicSampleSize,
	            std::string& error, Steinberg::int32 processMode = Steinberg::Vst::kRealtime);
	// setProcessing(false) and setActive(false), as far as they were started.
	void stop ();
	bool isActive () const { return active; }
	bool isProcessing () const { return processing; }
	const Steinberg::Vst::ProcessSetup& getProcessSetup () const { return setup; }

	// A change for the processor, sent with the next process block.
	void queueParameterChange (Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value,
	                           Steinberg::int32 sampleOffset = 0);
	// Sets the value on the controller and queues it for the processor.
	void setParameter (Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value);

	// One block: the queued changes plus the edits the controller performed since
	// the last block go along as input parameter changes. The host refuses
	// (kNotInitialized / kInvalidArgument) a block while inactive, longer than
	// maxSamplesPerBlock or of the other sample size; the plug-in is then not called.
	Steinberg::tresult process32 (Steinberg::Vst::Sample32** inputs, Steinberg::Vst::Sample32** outputs,
	                              Steinberg::int32 numChannels, Steinberg::int32 numSamples,
	                              Steinberg::uint64 inputSilenceFlags = 0);
	Steinberg::tresult process64 (Steinberg::Vst::Sample64** inputs, Steinberg::Vst::Sample64** outputs,
	                              Steinberg::int32 numChannels, Steinberg::int32 numSamples,
	                              Steinberg::uint64 inputSilenceFlags = 0);
	// A block of no samples and no buses that only carries parameter changes.
	Steinberg::tresult flushParameters ();
	// Input parameter changes of the last block; output silence flags of the last block.
	ParameterChanges& getLastBlockChanges () const { return *lastBlockChanges; }
	Steinberg::uint64 getLastOutputSilenceFlags () const { return lastOutputSilenceFlags; }

	// --- State -----------------------------------------------------------
	Steinberg::tresult getState (std::vector<Steinberg::uint8>& bytes);
	// The processor's setState.
	Steinberg::tresult setState (const std::vector<Steinberg::uint8>& bytes);
	// The controller's setComponentState.
	Steinberg::tresult setControllerComponentState (const std::vector<Steinberg::uint8>& bytes);
	// Both, processor first, as a host does when it loads a project; the first failure is returned.
	Steinberg::tresult loadState (const std::vector<Steinberg::uint8>& bytes);

	// --- Parameters, as the controller describes them --------------------------
	std::vector<Steinberg::Vst::ParameterInfo> getParameterInfos () const;
	// Finds a parameter by ID (decimal digits) or title: exact title first, then
	// ASCII case-insensitive (which must be unique).
	bool findParameter (const std::string& key, Steinberg::Vst::ParamID& id, std::string& error) const;
	// getParamStringByValue as UTF-8; empty when the controller gives no text.
	std::string getParamDisplay (Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue normalized) const;
	// The display text followed by the parameter's units, when it has any ("6.00 dB").
	std::string getParamDisplayWithUnits (Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue normalized) const;

	void terminate ();
	// What the host's last release of the component and of a separate controller
	// returned in terminate(): 0 when the plug-in freed them (-1 before terminate).
	Steinberg::int64 getComponentRefsAfterRelease () const { return componentRefsAfterRelease; }
	Steinberg::int64 getControllerRefsAfterRelease () const { return controllerRefsAfterRelease; }

private:
	PluginInstance () = default;
	bool initialize (const Module& module, const Steinberg::TUID processorCid, std::string& error,
	                 const InstanceOptions& options);
	Steinberg::tresult processBlock (Steinberg::Vst::AudioBusBuffers* input, Steinberg::Vst::AudioBusBuffers* output,
	                                 Steinberg::int32 numSamples, Steinberg::int32 sampleSize);
	// The host's checks of an audio block, then the block with one input and one output bus.
	Steinberg::tresult processAudio (Steinberg::Vst::AudioBusBuffers& input, Steinberg::Vst::AudioBusBuffers& output,
	                                 Steinberg::int32 numChannels, Steinberg::int32 numSamples,
	                                 Steinberg::uint64 inputSilenceFlags, Steinberg::int32 sampleSize);

	Steinberg::IPtr<HostApplication> hostApplication;
	Steinberg::IPtr<ComponentHandler> componentHandler;
	Steinberg::IPtr<Steinberg::Vst::IComponent> component;
	Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> processor;
	Steinberg::IPtr<Steinberg::Vst::IEditController> controller;
	Steinberg::IPtr<Steinberg::Vst::IConnectionPoint> componentConnection;
	Steinberg::IPtr<Steinberg::Vst::IConnectionPoint> controllerConnection;
	Steinberg::IPtr<ParameterChanges> pendingChanges;
	Steinberg::IPtr<ParameterChanges> lastBlockChanges;
	Steinberg::IPtr<ParameterChanges> outputChanges;
	std::string controllerCid;
	bool componentInitialized {false};
	bool controllerInitialized {false};
	bool separateController {false};
	bool connected {false};
	bool active {false};
	bool processing {false};
	Steinberg::Vst::ProcessSetup setup {Steinberg::Vst::kRealtime, Steinberg::Vst::kSample32, 0, 0.0};
	Steinberg::Vst::ProcessContext context {};
	Steinberg::uint64 lastOutputSilenceFlags {0};
	Steinberg::int64 componentRefsAfterRelease {-1};
	Steinberg::int64 controllerRefsAfterRelease {-1};
};

} // namespace vsthost
