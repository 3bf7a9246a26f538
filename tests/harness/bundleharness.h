// The built bundle, loaded through the host library the way a host loads it,
// and a processor from it that the tests call directly: no host-side contract
// checks stand between a test and the plug-in's binary interface.
#pragma once

#include "stateimage.h"

#include "hostlib/hostapplication.h"
#include "hostlib/module.h"
#include "hostlib/parameterchanges.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace stress {

using namespace Steinberg;
using namespace Steinberg::Vst;

// "vd Palvis.vst3" in the build tree.
std::string bundlePath ();

// The module and the class IDs of its audio effect and its controller.
struct Bundle
{
	std::unique_ptr<vsthost::Module> module;
	TUID processorCid {};
	TUID controllerCid {};

	// Null, with a message in error, when the bundle cannot be loaded or has no effect class.
	static std::unique_ptr<Bundle> load (std::string& error);
};

//------------------------------------------------------------------------
// One processor. initialize() gives it a host context; prepare() runs the
// usual set-up (stereo arrangements, setupProcessing, setActive(true),
// setProcessing(true)). The destructor winds down whatever is still up and
// releases the component.
//------------------------------------------------------------------------
class Processor
{
public:
	explicit Processor (const Bundle& bundle);
	~Processor ();
	Processor (const Processor&) = delete;
	Processor& operator= (const Processor&) = delete;

	bool valid () const { return component && audio; }
	IComponent* component {nullptr};
	IAudioProcessor* audio {nullptr};

	tresult initialize ();
	// Arrangements, setupProcessing, setActive(true), setProcessing(true); the
	// first result that is not a success (kNotImplemented of setProcessing counts
	// as success).
	tresult prepare (double sampleRate, int32 maxSamplesPerBlock, int32 symbolicSampleSize);
	tresult setupProcessing (double sampleRate, int32 maxSamplesPerBlock, int32 symbolicSampleSize);
	tresult setActive (bool state);

	tresult setState (const std::vector<uint8>& bytes);
	tresult getState (std::vector<uint8>& bytes);

private:
	IPtr<vsthost::HostApplication> host;
	bool initialized {false};
	bool active {false};
	bool processing {false};
};

//------------------------------------------------------------------------
// Stereo buffers and the ProcessData over them for one sample type. set()
// fills in the block without allocating, so it may run on an audio thread.
//------------------------------------------------------------------------
template <typename Sample>
class Block
{
	static_assert (std::is_same<Sample, Sample32>::value || std::is_same<Sample, Sample64>::value, "");

public:
	explicit Block (int32 capacity, bool inPlace = false)
	: capacity (capacity), inPlace (inPlace), inL (capacity), inR (capacity), outL (capacity), outR (capacity)
	{
		setInPlace (inPlace);
	}

	static constexpr int32 sampleSize () { return std::is_same<Sample, Sample64>::value ? kSample64 : kSample32; }

	void setInPlace (bool state)
	{
		inPlace = state;
		inPtrs[0] = inL.data ();
		inPtrs[1] = inR.data ();
		outPtrs[0] = state ? inL.data () : outL.data ();
		outPtrs[1] = state ? inR.data () : outR.data ();
	}
	bool isInPlace () const { return inPlace; }

	// Input of uniform noise in [-amplitude, amplitude] (a small LCG, no allocation).
	void fillNoise (uint32 seed, double amplitude)
	{
		uint32 x = seed * 2654435761u + 1u;
		for (int32 i = 0; i < capacity; ++i)
		{
			x = x * 1664525u + 1013904223u;
			inL[i] = static_cast<Sample> (amplitude * ((x >> 8) / 8388608.0 - 1.0));
			x = x * 1664525u + 1013904223u;
			inR[i] = static_cast<Sample> (amplitude * ((x >> 8) / 8388608.0 - 1.0));
		}
	}

	ProcessData& set (int32 numSamples, uint64 inputSilence = 0, IParameterChanges* changes = nullptr)
	{
		in.numChannels = 2;
		in.silenceFlags = inputSilence;
		out.numChannels = 2;
		out.silenceFlags = 0;
		setChannels (in, inPtrs);
		setChannels (out, outPtrs);
		data.processMode = kRealtime;
		data.symbolicSampleSize = sampleSize ();
		data.numSamples = numSamples;
		data.numInputs = 1;
		data.numOutputs = 1;
		data.inputs = &in;
		data.outputs = &out;
		data.inputParameterChanges = changes;
		data.outputParameterChanges = nullptr;
		data.inputEvents = nullptr;
		data.outputEvents = nullptr;
		data.processContext = nullptr;
		return data;
	}

	// Every output sample of the first numSamples is finite.
	bool outputFinite (int32 numSamples) const
	{
		for (int c = 0; c < 2; ++c)
			for (int32 i = 0; i < numSamples && i < capacity; ++i)
				if (!std::isfinite (static_cast<double> (outPtrs[c][i])))
					return false;
		return true;
	}
	// Index of the first non-finite output sample of a channel, or -1.
	int32 firstNonFinite (int channel, int32 numSamples) const
	{
		for (int32 i = 0; i < numSamples && i < capacity; ++i)
			if (!std::isfinite (static_cast<double> (outPtrs[channel][i])))
				return i;
		return -1;
	}

	const int32 capacity;
	bool inPlace;
	std::vector<Sample> inL, inR, outL, outR;
	Sample* inPtrs[2] {};
	Sample* outPtrs[2] {};
	AudioBusBuffers in {};
	AudioBusBuffers out {};
	ProcessData data {};

private:
	static void setChannels (AudioBusBuffers& bus, Sample** ptrs)
	{
		if constexpr (std::is_same<Sample, Sample64>::value)
			bus.channelBuffers64 = ptrs;
		else
			bus.channelBuffers32 = ptrs;
	}
};

// Parameter changes for one block: one queue per entry of (id, value).
IPtr<vsthost::ParameterChanges> makeChanges (const std::vector<std::pair<ParamID, ParamValue>>& points);

// Reference counting of an object the test holds: addRef then release, giving the count left.
uint32 refCount (FUnknown* object);

} // namespace stress
