// IAudioProcessor, IProcessContextRequirements and the process-call records.
#pragma once

#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <cstddef>

namespace Steinberg {
namespace Vst {

class IParameterChanges;
class IEventList;
struct ProcessContext;

#define kVstAudioEffectClass "Audio Module Class"

namespace PlugType {
const CString kFx = "Fx";
const CString kFxAnalyzer = "Fx|Analyzer";
const CString kFxDelay = "Fx|Delay";
const CString kFxDistortion = "Fx|Distortion";
const CString kFxDynamics = "Fx|Dynamics";
const CString kFxEQ = "Fx|EQ";
const CString kFxFilter = "Fx|Filter";
const CString kFxMastering = "Fx|Mastering";
const CString kFxModulation = "Fx|Modulation";
const CString kFxReverb = "Fx|Reverb";
const CString kFxTools = "Fx|Tools";
const CString kFxChannelStrip = "Fx|Channel Strip";
const CString kInstrument = "Instrument";
const CString kInstrumentSynth = "Instrument|Synth";
const CString kMono = "Mono";
const CString kStereo = "Stereo";
const CString kSurround = "Surround";
const CString kOnlyRealTime = "OnlyRT";
const CString kNoOfflineProcess = "NoOfflineProcess";
} // namespace PlugType

enum ProcessModes
{
	kRealtime = 0,
	kPrefetch,
	kOffline
};

enum SymbolicSampleSizes
{
	kSample32 = 0,
	kSample64
};

struct ProcessSetup
{
	int32 processMode;
	int32 symbolicSampleSize;
	int32 maxSamplesPerBlock;
	SampleRate sampleRate;
};

struct AudioBusBuffers
{
	AudioBusBuffers () : numChannels (0), silenceFlags (0), channelBuffers64 (nullptr) {}

	int32 numChannels;
	uint64 silenceFlags;
	union
	{
		Sample32** channelBuffers32;
		Sample64** channelBuffers64;
	};
};

struct ProcessData
{
	ProcessData ()
	: processMode (0), symbolicSampleSize (kSample32), numSamples (0), numInputs (0), numOutputs (0),
	  inputs (nullptr), outputs (nullptr), inputParameterChanges (nullptr), outputParameterChanges (nullptr),
	  inputEvents (nullptr), outputEvents (nullptr), processContext (nullptr)
	{
	}

	int32 processMode;
	int32 symbolicSampleSize;
	int32 numSamples;
	int32 numInputs;
	int32 numOutputs;
	AudioBusBuffers* inputs;
	AudioBusBuffers* outputs;
	IParameterChanges* inputParameterChanges;
	IParameterChanges* outputParameterChanges;
	IEventList* inputEvents;
	IEventList* outputEvents;
	ProcessContext* processContext;
};

//------------------------------------------------------------------------
class IAudioProcessor : public FUnknown
{
public:
	virtual tresult PLUGIN_API setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
	                                               SpeakerArrangement* outputs, int32 numOuts) = 0; // 3
	virtual tresult PLUGIN_API getBusArrangement (BusDirection dir, int32 index, SpeakerArrangement& arr) = 0; // 4
	virtual tresult PLUGIN_API canProcessSampleSize (int32 symbolicSampleSize) = 0; // 5
	virtual uint32 PLUGIN_API getLatencySamples () = 0;                             // 6
	virtual tresult PLUGIN_API setupProcessing (ProcessSetup& setup) = 0;           // 7
	virtual tresult PLUGIN_API setProcessing (TBool state) = 0;                     // 8
	virtual tresult PLUGIN_API process (ProcessData& data) = 0;                     // 9
	virtual uint32 PLUGIN_API getTailSamples () = 0;                                // 10

	static const FUID iid;
};
DECLARE_CLASS_IID (IAudioProcessor, 0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D)

//------------------------------------------------------------------------
class IProcessContextRequirements : public FUnknown
{
public:
	enum Flags
	{
		kNeedSystemTime = 1 << 0,
		kNeedContinousTimeSamples = 1 << 1,
		kNeedProjectTimeMusic = 1 << 2,
		kNeedBarPositionMusic = 1 << 3,
		kNeedCycleMusic = 1 << 4,
		kNeedSamplesToNextClock = 1 << 5,
		kNeedTempo = 1 << 6,
		kNeedTimeSignature = 1 << 7,
		kNeedChord = 1 << 8,
		kNeedFrameRate = 1 << 9,
		kNeedTransportState = 1 << 10
	};
	virtual uint32 PLUGIN_API getProcessContextRequirements () = 0; // 3

	static const FUID iid;
};
DECLARE_CLASS_IID (IProcessContextRequirements, 0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0)

static_assert (sizeof (ProcessSetup) == 24 && alignof (ProcessSetup) == 8, "ProcessSetup layout");
static_assert (offsetof (ProcessSetup, maxSamplesPerBlock) == 8 && offsetof (ProcessSetup, sampleRate) == 16,
               "ProcessSetup offsets");
static_assert (sizeof (AudioBusBuffers) == 24, "AudioBusBuffers layout");
static_assert (offsetof (AudioBusBuffers, silenceFlags) == 8 && offsetof (AudioBusBuffers, channelBuffers32) == 16,
               "AudioBusBuffers offsets");
static_assert (sizeof (ProcessData) == 80 && alignof (ProcessData) == 8, "ProcessData layout");
static_assert (offsetof (ProcessData, numOutputs) == 16 && offsetof (ProcessData, inputs) == 24 &&
                   offsetof (ProcessData, outputs) == 32 && offsetof (ProcessData, inputParameterChanges) == 40 &&
                   offsetof (ProcessData, outputParameterChanges) == 48 && offsetof (ProcessData, inputEvents) == 56 &&
                   offsetof (ProcessData, outputEvents) == 64 && offsetof (ProcessData, processContext) == 72,
               "ProcessData offsets");

} // namespace Vst
} // namespace Steinberg
