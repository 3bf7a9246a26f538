// The audio processor component: buses, set-up, activation, block processing,
// bypass, state, and the fifteen-band equaliser.
#pragma once

#include "eqengine.h"
#include "paramstate.h"
#include "paramstatesync.h"
#include "public.sdk/source/vst/vstaudioeffect.h"

namespace Steinberg {
namespace Vst {

class PlugProcessor : public AudioEffect
{
public:
	PlugProcessor ();
	~PlugProcessor () override;

	static FUnknown* createInstance (void* context);

	tresult PLUGIN_API initialize (FUnknown* context) SMTG_OVERRIDE;
	tresult PLUGIN_API setActive (TBool state) SMTG_OVERRIDE;
	tresult PLUGIN_API setState (IBStream* state) SMTG_OVERRIDE;
	tresult PLUGIN_API getState (IBStream* state) SMTG_OVERRIDE;
	tresult PLUGIN_API setBusArrangements (SpeakerArrangement* inputs, int32 numIns,
	                                       SpeakerArrangement* outputs, int32 numOuts) SMTG_OVERRIDE;
	tresult PLUGIN_API canProcessSampleSize (int32 symbolicSampleSize) SMTG_OVERRIDE;
	tresult PLUGIN_API setupProcessing (ProcessSetup& setup) SMTG_OVERRIDE;
	tresult PLUGIN_API process (ProcessData& data) SMTG_OVERRIDE;

	// Filter design: gains, coefficients and level target from params.
	void updateFilters (bool init);
	void designBandFilter (int32 index, int16 type, int16 centreHz, double gainDb, double bandwidthHz,
	                       double sampleRateHz);

	// Block filtering and output level for a block that is neither silent nor bypassed.
	void processAudio32 (Sample32** in, Sample32** out, int32 numSamples);
	void processAudio64 (Sample64** in, Sample64** out, int32 numSamples);
	// Samples each work buffer holds: maxSamplesPerBlock as set up when the
	// buffers were made, capped; 0 without buffers.
	int32 getWorkBufferSize () const { return workBufferSize; }

	static constexpr int kNumFilters = 2 * kNumBands;

	// ------------------------------------------------------------------
	// Fields. Public so the equaliser's tests and benchmarks can inspect them.
	ParamState params;
	double sampleRate;
	int32 maxSamplesPerBlock;
	double* workBufferLeft;
	double* workBufferRight;
	double bandGainDb[kNumFilters];
	int16 bandFrequencies[kNumBands];
	double levelTarget;
	double coefB0[kNumFilters];
	double coefB1[kNumFilters];
	double coefB2[kNumFilters];
	double coefA1[kNumFilters];
	double coefA2[kNumFilters];
	double stateZ1[kNumFilters];
	double stateZ2[kNumFilters];
	int16 filterType;
	double smoothingTimeMs;
	double smoothingCoefA;
	double smoothingCoefE;
	double smoothedLevel;

	// ------------------------------------------------------------------
	// Equaliser engine (filterdesign.cpp, blockfilter.cpp, eq*.cpp).
	// Redesign once after all of a block's parameter queues: the same gains,
	// coefficients and level target as updateFilters (false) after every queue,
	// but only bands whose gain or the sample rate changed are designed again.
	void updateFiltersAfterQueues ();
	EqDesignCache designCache;                 // inputs and results of each band's last design
	EqPath eqPath {EqPath::kAutomatic};        // block filtering implementation (tests pin one)

private:
	// ------------------------------------------------------------------
	// Hand-over between the main thread (setState, getState, setActive) and
	// the audio thread (process). While active, the audio thread alone owns
	// params, the filter fields and the work buffers.
	void freeWorkBuffers ();
	void takeBackFromAudioThread ();
	bool applyParameterChanges (IParameterChanges* changes);

	std::atomic<bool> processingActive {false}; // written by the main thread only
	int32 workBufferSize {0};                     // samples held by each work buffer
	TripleBuffer<NumberedParamState> stateInbox;  // main thread -> audio thread
	TripleBuffer<NumberedParamState> stateOutbox; // audio thread -> main thread
	uint64 postedSerial {0};                      // main thread: last state handed over
	uint64 appliedSerial {0};                     // audio thread: last state taken
	ParamState postedState {};                    // main thread: copy of the last state handed over
};

} // namespace Vst
} // namespace Steinberg
