#include "processor/plugprocessor.h"

#include "processor/plugids.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace Steinberg {
namespace Vst {

static_assert (std::atomic<bool>::is_always_lock_free, "process() must never lock");

namespace {

// The longest work buffer: 2^20 samples (8 MiB), over 20 s at 48 kHz.
const int32 kMaxWorkBufferSamples = 1 << 20;

const int16 kBandTable[kNumBands] = {25,   40,   63,   100,  160,  250,   400,  630,
                                     1000, 1600, 2500, 4000, 6300, 10000, 16000};

// Every field but params, levelTarget and smoothedLevel, as after initialize.
// The work-buffer pointers are not touched here: their owner frees them.
void setStartingValues (PlugProcessor& p)
{
	p.sampleRate = 44100.0;
	p.maxSamplesPerBlock = 0;
	std::memcpy (p.bandFrequencies, kBandTable, sizeof (kBandTable));
	p.filterType = 2;
	for (int k = 0; k < PlugProcessor::kNumFilters; ++k)
	{
		p.bandGainDb[k] = 0.0;
		p.coefB0[k] = p.coefB1[k] = p.coefB2[k] = p.coefA1[k] = p.coefA2[k] = 0.0;
		p.stateZ1[k] = p.stateZ2[k] = 0.0;
	}
	p.smoothingTimeMs = 50.0;
	p.smoothingCoefA = 0.0;
	p.smoothingCoefE = 0.0;
}

bool isTwoSpeakerArrangement (SpeakerArrangement arr)
{
	return SpeakerArr::getChannelCount (arr) == 2;
}

// Channels a bus really offers: none when its channel array is missing.
int32 usableChannels (const AudioBusBuffers& bus)
{
	if (!bus.channelBuffers32 || bus.numChannels <= 0)
		return 0;
	return bus.numChannels;
}

void* channelPointer (const AudioBusBuffers& bus, int32 index, bool is64)
{
	return is64 ? static_cast<void*> (bus.channelBuffers64[index])
	            : static_cast<void*> (bus.channelBuffers32[index]);
}

bool allChannelsSilent (uint64 flags, int32 numChannels)
{
	const uint64 mask = numChannels >= 64 ? ~uint64 (0) : ((uint64 (1) << numChannels) - 1);
	return (flags & mask) == mask;
}

// Zeros every channel of the bus that has a buffer and flags them silent.
void silenceBus (AudioBusBuffers& bus, int32 numSamples, bool is64)
{
	const int32 channels = usableChannels (bus);
	const size_t bytes = static_cast<size_t> (numSamples) * (is64 ? sizeof (Sample64) : sizeof (Sample32));
	for (int32 i = 0; i < channels; ++i)
		if (void* dst = channelPointer (bus, i, is64))
			std::memset (dst, 0, bytes);
	bus.silenceFlags = channels >= 64 ? ~uint64 (0) : ((uint64 (1) << channels) - 1);
}

// Zeros the bus's channels from first on: output channels that no input
// channel feeds. A host plays whatever a block leaves in its buffers.
void silenceChannelsFrom (AudioBusBuffers& bus, int32 first, size_t bytes, bool is64)
{
	for (int32 i = first; i < usableChannels (bus); ++i)
		if (void* dst = channelPointer (bus, i, is64))
			std::memset (dst, 0, bytes);
}

} // namespace

//------------------------------------------------------------------------
PlugProcessor::PlugProcessor ()
{
	setControllerClass (PlugControllerUID);

	std::memset (static_cast<void*> (&params), 0, sizeof (params));
	params.bypass = false;
	params.level = 0.75;
	for (double& band : params.bands)
		band = 0.5;
	for (double& value : params.reserved)
		value = 0.0;
	for (bool& flag : params.reservedFlags)
		flag = false;

	// The host calls initialize first; until then the fields still hold safe
	// values, so a host that skips it cannot make the processor use garbage.
	workBufferLeft = nullptr;
	workBufferRight = nullptr;
	setStartingValues (*this);
	levelTarget = 0.0;
	smoothedLevel = 0.0;
}

PlugProcessor::~PlugProcessor ()
{
	// A host may release the processor while it is still active.
	freeWorkBuffers ();
}

FUnknown* PlugProcessor::createInstance (void* /*context*/)
{
	return static_cast<IAudioProcessor*> (new PlugProcessor ());
}

void PlugProcessor::freeWorkBuffers ()
{
	std::free (workBufferLeft);
	std::free (workBufferRight);
	workBufferLeft = nullptr;
	workBufferRight = nullptr;
	workBufferSize = 0;
}

//------------------------------------------------------------------------
tresult PLUGIN_API PlugProcessor::initialize (FUnknown* context)
{
	if (AudioEffect::initialize (context) != kResultOk)
		return kResultFalse;

	addAudioInput (u"AudioInput", SpeakerArr::kStereo, kMain, BusInfo::kDefaultActive);
	addAudioOutput (u"AudioOutput", SpeakerArr::kStereo, kMain, BusInfo::kDefaultActive);

	// Initialised again after terminate while still active: nothing of the
	// last activation is kept, and no buffer is lost.
	takeBackFromAudioThread ();
	freeWorkBuffers ();
	setStartingValues (*this);
	return kResultOk;
}

tresult PLUGIN_API PlugProcessor::setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
                                                      SpeakerArrangement* outputs, int32 numOuts)
{
	if (numIns < 0 || numOuts < 0)
		return kInvalidArgument;
	if ((numIns > 0 && !inputs) || (numOuts > 0 && !outputs))
		return kInvalidArgument;
	if (numIns != 0 && !isTwoSpeakerArrangement (inputs[0]))
		return kResultFalse;
	if (numOuts != 0 && !isTwoSpeakerArrangement (outputs[0]))
		return kResultFalse;
	return AudioEffect::setBusArrangements (inputs, numIns, outputs, numOuts);
}

tresult PLUGIN_API PlugProcessor::canProcessSampleSize (int32 symbolicSampleSize)
{
	return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API PlugProcessor::setupProcessing (ProcessSetup& setup)
{
	sampleRate = setup.sampleRate;
	maxSamplesPerBlock = setup.maxSamplesPerBlock;
	return AudioEffect::setupProcessing (setup);
}

//------------------------------------------------------------------------
void PlugProcessor::takeBackFromAudioThread ()
{
	if (!processingActive.load (std::memory_order_relaxed))
		return;
	processingActive.store (false, std::memory_order_release);
	// A state handed over that no block has taken yet applies now, as it
	// would have had the processor been inactive when it arrived.
	if (stateInbox.fetch ())
	{
		params = stateInbox.readSlot ().state;
		updateFilters (false);
	}
}

tresult PLUGIN_API PlugProcessor::setActive (TBool state)
{
	takeBackFromAudioThread ();

	if (!state)
	{
		freeWorkBuffers ();
		return AudioEffect::setActive (state);
	}

	for (int k = 0; k < kNumFilters; ++k)
		stateZ1[k] = stateZ2[k] = 0.0;

	freeWorkBuffers ();
	if (maxSamplesPerBlock < 0)
		return kInvalidArgument; // stays inactive
	if (maxSamplesPerBlock > 0)
	{
		// process() runs longer blocks through the buffers in pieces, so a
		// block size beyond any real host's does not need its full length.
		const int32 size = maxSamplesPerBlock < kMaxWorkBufferSamples ? maxSamplesPerBlock : kMaxWorkBufferSamples;
		const auto count = static_cast<size_t> (size);
		workBufferLeft = static_cast<double*> (std::calloc (count, sizeof (double)));
		workBufferRight = static_cast<double*> (std::calloc (count, sizeof (double)));
		if (!workBufferLeft || !workBufferRight)
		{
			freeWorkBuffers ();
			return kOutOfMemory; // stays inactive
		}
		workBufferSize = size;
	}

	const double e = std::exp (-2.2 / (smoothingTimeMs * 0.001 * sampleRate));
	smoothingCoefA = 1.0 - e;
	smoothingCoefE = e;

	updateFilters (true);

	// The audio thread starts from the current values; nothing is pending.
	NumberedParamState current {params, postedSerial};
	stateInbox.reset (current);
	stateOutbox.reset (current);
	appliedSerial = postedSerial;
	processingActive.store (true, std::memory_order_release);

	return AudioEffect::setActive (state);
}

//------------------------------------------------------------------------
bool PlugProcessor::applyParameterChanges (IParameterChanges* changes)
{
	bool changed = false;
	bool anyQueue = false;
	const int32 numQueues = changes->getParameterCount ();
	for (int32 i = 0; i < numQueues; ++i)
	{
		IParamValueQueue* queue = changes->getParameterData (i);
		if (!queue)
			continue;
		const int32 numPoints = queue->getPointCount ();
		const ParamID id = queue->getParameterId ();
		if (id <= kLastParamId && numPoints > 0)
		{
			int32 sampleOffset = 0;
			ParamValue value = 0.0;
			if (queue->getPoint (numPoints - 1, sampleOffset, value) == kResultOk)
			{
				if (id == kBypassId)
					params.bypass = value > 0.5;
				else if (id == kLevelId)
					params.level = value;
				else
					params.bands[id - kBand0Id] = value;
				changed = true;
			}
		}
		anyQueue = true;
	}
	// One redesign after all queues, of the bands that changed, gives the same
	// coefficients as a full redesign after every queue, at a fraction of the cost.
	if (anyQueue)
		updateFiltersAfterQueues ();
	return changed;
}

tresult PLUGIN_API PlugProcessor::process (ProcessData& data)
{
	const bool is64 = data.symbolicSampleSize == kSample64;

	if (!processingActive.load (std::memory_order_acquire))
	{
		// Not active: there are no work buffers and the values belong to the
		// main thread. The host gets silence and nothing else changes.
		if (data.numOutputs > 0 && data.outputs && data.numSamples > 0)
			silenceBus (data.outputs[0], data.numSamples, is64);
		return kResultOk;
	}

	// A state set since the last block comes first, then this block's changes.
	bool changed = false;
	if (stateInbox.fetch ())
	{
		const NumberedParamState& incoming = stateInbox.readSlot ();
		params = incoming.state;
		appliedSerial = incoming.serial;
		updateFilters (false);
		changed = true;
	}
	if (data.inputParameterChanges && applyParameterChanges (data.inputParameterChanges))
		changed = true;
	if (changed)
	{
		NumberedParamState& snapshot = stateOutbox.writeSlot ();
		snapshot.state = params;
		snapshot.serial = appliedSerial;
		stateOutbox.publish ();
	}

	if (data.numInputs <= 0 || data.numOutputs <= 0 || data.numSamples <= 0 || !data.outputs)
		return kResultOk;
	AudioBusBuffers& out = data.outputs[0];
	if (!data.inputs)
	{
		silenceBus (out, data.numSamples, is64);
		return kResultOk;
	}
	AudioBusBuffers& in = data.inputs[0];

	const int32 numSamples = data.numSamples;
	const int32 inChannels = usableChannels (in);
	const int32 outChannels = usableChannels (out);
	const int32 n = inChannels < outChannels ? inChannels : outChannels;
	// The block's own sample size describes the buffers the host passed.
	const size_t bytes = static_cast<size_t> (numSamples) * (is64 ? sizeof (Sample64) : sizeof (Sample32));

	// Input silent on every channel: silent output; filters and level stand still.
	if (inChannels > 0 && allChannelsSilent (in.silenceFlags, inChannels))
	{
		out.silenceFlags = in.silenceFlags;
		for (int32 i = 0; i < n; ++i)
		{
			void* dst = channelPointer (out, i, is64);
			if (dst && dst != channelPointer (in, i, is64))
				std::memset (dst, 0, bytes);
		}
		silenceChannelsFrom (out, n, bytes, is64);
		return kResultOk;
	}
	out.silenceFlags = 0;

	if (params.bypass)
	{
		for (int32 i = 0; i < n; ++i)
		{
			void* dst = channelPointer (out, i, is64);
			const void* src = channelPointer (in, i, is64);
			if (dst && src && dst != src)
				std::memmove (dst, src, bytes);
			else if (dst && !src)
				std::memset (dst, 0, bytes);
		}
		silenceChannelsFrom (out, n, bytes, is64);
		return kResultOk;
	}

	const bool stereo = inChannels >= 2 && outChannels >= 2 && channelPointer (in, 0, is64) &&
	                    channelPointer (in, 1, is64) && channelPointer (out, 0, is64) &&
	                    channelPointer (out, 1, is64);
	if (!stereo || workBufferSize <= 0)
	{
		silenceBus (out, numSamples, is64);
		return kResultOk;
	}

	// A block longer than the work buffers runs in pieces; the filters and the
	// smoother carry over between pieces, so the output is the same.
	for (int32 done = 0; done < numSamples;)
	{
		const int32 length = numSamples - done < workBufferSize ? numSamples - done : workBufferSize;
		if (is64)
		{
			Sample64* inPtrs[2] = {in.channelBuffers64[0] + done, in.channelBuffers64[1] + done};
			Sample64* outPtrs[2] = {out.channelBuffers64[0] + done, out.channelBuffers64[1] + done};
			processAudio64 (inPtrs, outPtrs, length);
		}
		else
		{
			Sample32* inPtrs[2] = {in.channelBuffers32[0] + done, in.channelBuffers32[1] + done};
			Sample32* outPtrs[2] = {out.channelBuffers32[0] + done, out.channelBuffers32[1] + done};
			processAudio32 (inPtrs, outPtrs, length);
		}
		done += length;
	}
	return kResultOk;
}

//------------------------------------------------------------------------
tresult PLUGIN_API PlugProcessor::setState (IBStream* state)
{
	if (!processingActive.load (std::memory_order_relaxed))
	{
		tresult result = params.read (state);
		updateFilters (false);
		return result;
	}

	// Active: the audio thread owns params and the filters. The new state is
	// handed over and applied at the start of the next block; a failed read
	// leaves the values as they are, so there is nothing to hand over.
	ParamState incoming {};
	tresult result = incoming.read (state);
	if (result == kResultOk)
	{
		postedState = incoming;
		NumberedParamState& slot = stateInbox.writeSlot ();
		slot.state = incoming;
		slot.serial = ++postedSerial;
		stateInbox.publish ();
	}
	return result;
}

tresult PLUGIN_API PlugProcessor::getState (IBStream* state)
{
	if (!processingActive.load (std::memory_order_relaxed))
		return params.write (state);

	// The latest values the audio thread works with, unless a state handed
	// over has not reached it yet: then that state is the current one.
	stateOutbox.fetch ();
	const NumberedParamState& snapshot = stateOutbox.readSlot ();
	if (snapshot.serial < postedSerial)
		return postedState.write (state);
	return snapshot.state.write (state);
}

} // namespace Vst
} // namespace Steinberg
