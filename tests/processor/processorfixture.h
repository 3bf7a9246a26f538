// Helpers for driving PlugProcessor as a host does: a host context, stereo
// blocks of either sample size, state streams.
#pragma once

#include "memorystream.h"
#include "paramchanges.h"
#include "processor/plugids.h"
#include "processor/plugprocessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace PalvisTest {

using namespace Steinberg;
using namespace Steinberg::Vst;

// The processor with its protected set-up visible to the tests.
class TestProcessor : public PlugProcessor
{
public:
	using PlugProcessor::processSetup;
};

// A minimal host context: initialize only needs a non-null FUnknown.
class HostContext : public FUnknown
{
public:
	tresult PLUGIN_API queryInterface (const TUID _iid, void** obj) override
	{
		if (obj && FUnknownPrivate::iidEqual (_iid, FUnknown::iid))
		{
			addRef ();
			*obj = this;
			return kResultOk;
		}
		if (obj)
			*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return ++refs; }
	uint32 PLUGIN_API release () override { return --refs; }
	uint32 refs {1};
};

// Owns a processor the way a host does: one reference, released at the end.
struct ProcessorHandle
{
	ProcessorHandle () : p (new TestProcessor ()) {}
	~ProcessorHandle () { p->release (); }
	ProcessorHandle (const ProcessorHandle&) = delete;
	ProcessorHandle& operator= (const ProcessorHandle&) = delete;
	TestProcessor* operator-> () const { return p; }
	TestProcessor& operator* () const { return *p; }
	TestProcessor* p;
};

inline tresult setup (PlugProcessor& p, double rate, int32 maxBlock, int32 sampleSize = kSample32)
{
	ProcessSetup s {kRealtime, sampleSize, maxBlock, rate};
	return p.setupProcessing (s);
}

// Initialised, set up and active.
inline void activate (PlugProcessor& p, double rate = 48000.0, int32 maxBlock = 256, int32 sampleSize = kSample32)
{
	ASSERT_EQ (p.initialize (nullptr), kResultOk);
	ASSERT_EQ (setup (p, rate, maxBlock, sampleSize), kResultOk);
	ASSERT_EQ (p.setActive (true), kResultOk);
}

// A stereo block with separate or shared (in-place) input and output buffers.
// Each buffer has guard samples after its end that must stay untouched.
template <typename Sample>
struct StereoBlock
{
	static constexpr int kGuard = 8;
	static constexpr Sample kGuardValue = Sample (-12345.0);

	StereoBlock (int32 numSamples, bool inPlace = false) : n (numSamples), inPlace (inPlace)
	{
		for (int c = 0; c < 2; ++c)
		{
			inBuf[c].assign (static_cast<size_t> (n + kGuard), kGuardValue);
			outBuf[c].assign (static_cast<size_t> (n + kGuard), kGuardValue);
		}
		wire ();
	}

	void wire ()
	{
		for (int c = 0; c < 2; ++c)
		{
			inPtrs[c] = inBuf[c].data ();
			outPtrs[c] = inPlace ? inBuf[c].data () : outBuf[c].data ();
		}
		in.numChannels = 2;
		out.numChannels = 2;
		in.silenceFlags = 0;
		out.silenceFlags = 0;
		setChannels (in, inPtrs);
		setChannels (out, outPtrs);
		data.processMode = kRealtime;
		data.symbolicSampleSize = sizeof (Sample) == 8 ? kSample64 : kSample32;
		data.numSamples = n;
		data.numInputs = 1;
		data.numOutputs = 1;
		data.inputs = &in;
		data.outputs = &out;
		data.inputParameterChanges = nullptr;
	}

	static void setChannels (AudioBusBuffers& bus, Sample** ptrs)
	{
		if constexpr (sizeof (Sample) == 8)
			bus.channelBuffers64 = reinterpret_cast<Sample64**> (ptrs);
		else
			bus.channelBuffers32 = reinterpret_cast<Sample32**> (ptrs);
	}

	// Input: a deterministic test signal (a few sines and a little noise-like term).
	void fillInput (int32 offset = 0)
	{
		for (int32 j = 0; j < n; ++j)
		{
			double t = static_cast<double> (j + offset);
			inBuf[0][static_cast<size_t> (j)] = Sample (0.5 * std::sin (t * 0.031) + 0.2 * std::sin (t * 0.41));
			inBuf[1][static_cast<size_t> (j)] = Sample (0.4 * std::cos (t * 0.017) - 0.25 * std::sin (t * 1.3));
		}
	}
	void fillOutput (Sample value)
	{
		for (int c = 0; c < 2; ++c)
			for (int32 j = 0; j < n; ++j)
				outBuf[c][static_cast<size_t> (j)] = value;
	}

	Sample* output (int c) { return outPtrs[c]; }
	Sample* input (int c) { return inPtrs[c]; }

	bool guardsIntact () const
	{
		for (int c = 0; c < 2; ++c)
			for (int g = 0; g < kGuard; ++g)
				if (inBuf[c][static_cast<size_t> (n + g)] != kGuardValue ||
				    outBuf[c][static_cast<size_t> (n + g)] != kGuardValue)
					return false;
		return true;
	}

	int32 n;
	bool inPlace;
	std::vector<Sample> inBuf[2];
	std::vector<Sample> outBuf[2];
	Sample* inPtrs[2];
	Sample* outPtrs[2];
	AudioBusBuffers in;
	AudioBusBuffers out;
	ProcessData data;
};

template <typename Sample>
bool sameBits (const Sample* a, const Sample* b, int32 n)
{
	return std::memcmp (a, b, sizeof (Sample) * static_cast<size_t> (n)) == 0;
}

// The processor's initial record: bypass off, level 0.75, bands 0.5, reserved 0.
inline ParamState defaultState ()
{
	ParamState s {};
	s.bypass = false;
	s.level = 0.75;
	for (double& b : s.bands)
		b = 0.5;
	return s;
}

inline std::vector<uint8_t> streamBytes (const ParamState& s)
{
	MemoryStream stream;
	EXPECT_EQ (s.write (&stream), kResultOk);
	return stream.bytes ();
}

inline std::vector<uint8_t> stateOf (PlugProcessor& p)
{
	MemoryStream stream;
	EXPECT_EQ (p.getState (&stream), kResultOk);
	return stream.bytes ();
}

inline tresult loadState (PlugProcessor& p, const ParamState& s)
{
	MemoryStream stream (streamBytes (s));
	return p.setState (&stream);
}

inline bool sameRecord (const ParamState& a, const ParamState& b)
{
	if (a.bypass != b.bypass || std::memcmp (&a.level, &b.level, sizeof (double)) != 0)
		return false;
	if (std::memcmp (a.bands, b.bands, sizeof (a.bands)) != 0 ||
	    std::memcmp (a.reserved, b.reserved, sizeof (a.reserved)) != 0)
		return false;
	for (int i = 0; i < 4; ++i)
		if (a.reservedFlags[i] != b.reservedFlags[i])
			return false;
	return true;
}

} // namespace PalvisTest
