// process() driven by arbitrary process data. The input is decoded into a
// set-up and then a sequence of calls: blocks of any length (none, within the
// set-up, beyond it), 32- or 64-bit samples, silence flags, missing buses and
// channels, in-place or separate buffers, parameter queues with any IDs,
// values and point counts, states set and read in between, re-activation with
// a new set-up.
//
// Properties: nothing is read or written outside the buffers the block names
// (each channel has a buffer of exactly the block's length, so the address
// sanitizer sees any overrun); every output channel of a block with both buses
// is written, and with finite input the output is finite; the
// input buffers of separate-buffer blocks are not written; getState right
// after an accepted setState gives back that state.
#include "fuzzsupport.h"

#include "memorystream.h"
#include "paramchanges.h"
#include "processor/plugprocessor.h"
#include "stateimage.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace fuzz {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int32 kLongestBlock = 4096;

template <typename Sample>
struct Buffers
{
	std::vector<std::vector<Sample>> in, out;
	std::vector<Sample*> inPtrs, outPtrs;

	// Output buffers start as NaN where the block must write them, so that a
	// channel left unwritten fails the finite-output check.
	void make (Reader& r, int32 inChannels, int32 outChannels, int32 numSamples, bool inPlace, bool mustWrite)
	{
		const auto n = static_cast<size_t> (numSamples > 0 ? numSamples : 0);
		in.assign (static_cast<size_t> (inChannels), std::vector<Sample> (n));
		out.assign (static_cast<size_t> (outChannels), std::vector<Sample> (n));
		uint32_t x = r.take<uint16_t> ();
		for (auto& channel : in)
			for (auto& s : channel)
			{
				x = x * 1664525u + 1013904223u;
				s = static_cast<Sample> (((x >> 8) / 8388608.0 - 1.0) * 0.9);
			}
		for (auto& channel : out)
			std::fill (channel.begin (), channel.end (),
			           mustWrite ? std::numeric_limits<Sample>::quiet_NaN () : Sample (0.25));
		inPtrs.clear ();
		outPtrs.clear ();
		for (auto& channel : in)
			inPtrs.push_back (channel.empty () ? nullptr : channel.data ());
		for (size_t c = 0; c < out.size (); ++c)
		{
			if (inPlace && c < in.size ())
				outPtrs.push_back (inPtrs[c]);
			else
				outPtrs.push_back (out[c].empty () ? nullptr : out[c].data ());
		}
		// Now and then a channel without a buffer.
		if (r.below (16) == 0 && !inPtrs.empty ())
			inPtrs[r.below (static_cast<uint32_t> (inPtrs.size ()))] = nullptr;
		if (r.below (16) == 0 && !outPtrs.empty ())
			outPtrs[r.below (static_cast<uint32_t> (outPtrs.size ()))] = nullptr;
	}

	bool finite () const
	{
		for (const Sample* p : outPtrs)
		{
			if (!p)
				continue;
			const std::vector<Sample>* owner = nullptr;
			for (auto& v : out)
				if (v.data () == p)
					owner = &v;
			for (auto& v : in)
				if (v.data () == p)
					owner = &v;
			if (owner)
				for (Sample s : *owner)
					if (!std::isfinite (static_cast<double> (s)))
						return false;
		}
		return true;
	}
};

std::unique_ptr<PalvisTest::ParameterChanges> makeChanges (Reader& r)
{
	auto changes = std::make_unique<PalvisTest::ParameterChanges> ();
	const uint32_t queues = r.below (10);
	for (uint32_t q = 0; q < queues; ++q)
	{
		const uint8_t kind = r.byte ();
		if (kind < 8)
		{
			changes->addNullQueue ();
			continue;
		}
		const ParamID id = kind < 32 ? r.take<uint32_t> () : static_cast<ParamID> (kind % 19);
		auto& queue = changes->queue (id);
		const uint32_t points = r.below (kind < 40 ? 40 : 4);
		for (uint32_t p = 0; p < points; ++p)
			queue.add (static_cast<int32> (r.take<int16_t> ()), interestingValue (r));
		if (r.below (16) == 0)
			queue.setFailGetPoint (true);
	}
	return changes;
}

struct Session
{
	PlugProcessor* processor {nullptr};
	int32 maxBlock {0};
	bool active {false};

	void setUp (Reader& r)
	{
		static const double rates[] = {44100, 48000, 96000, 8000, 192000, 22050, 0, -1,
		                               std::numeric_limits<double>::quiet_NaN (), 1e9};
		const uint8_t choice = r.byte ();
		double rate = rates[choice % 10];
		if (choice >= 250)
			rate = r.take<double> ();
		maxBlock = static_cast<int32> (r.below (kLongestBlock + 2)) - 1; // -1 .. 4096
		const int32 sampleSize = r.flag () ? kSample64 : kSample32;
		SpeakerArrangement stereo = SpeakerArr::kStereo;
		processor->setBusArrangements (&stereo, 1, &stereo, 1);
		ProcessSetup setup {kRealtime, sampleSize, maxBlock, rate};
		processor->setupProcessing (setup);
		active = processor->setActive (true) == kResultOk;
	}
};

template <typename Sample>
void runBlock (Session& s, Reader& r, int32 sampleSize)
{
	const uint8_t shape = r.byte ();
	int32 numSamples;
	switch (shape % 8)
	{
		case 0: numSamples = 0; break;
		case 1: numSamples = s.maxBlock; break;
		case 2: numSamples = static_cast<int32> (r.below (kLongestBlock + 1)); break; // may exceed the set-up
		case 3: numSamples = -static_cast<int32> (r.below (100)); break;
		default: numSamples = s.maxBlock > 0 ? 1 + static_cast<int32> (r.below (static_cast<uint32_t> (s.maxBlock))) : 1;
	}
	if (numSamples > kLongestBlock)
		numSamples = kLongestBlock;
	const uint8_t layout = r.byte ();
	const int32 inChannels = (layout & 3) == 3 ? 2 : layout & 3;           // 0, 1, 2
	const int32 outChannels = ((layout >> 2) & 3) == 3 ? 2 : (layout >> 2) & 3;
	const bool inPlace = (layout & 0x10) != 0;
	const bool noInputBus = (layout & 0x20) != 0 && r.below (4) == 0;
	const bool noOutputBus = (layout & 0x40) != 0 && r.below (4) == 0;

	// A block without an input bus ends after its parameter changes and leaves
	// the output alone; every other block writes every output channel it has.
	Buffers<Sample> buffers;
	buffers.make (r, inChannels, outChannels, numSamples, inPlace, !noInputBus && !noOutputBus);
	AudioBusBuffers inBus {}, outBus {};
	inBus.numChannels = inChannels;
	outBus.numChannels = outChannels;
	inBus.silenceFlags = r.below (4) == 0 ? r.take<uint64_t> () : 0;
	if constexpr (sizeof (Sample) == 8)
	{
		inBus.channelBuffers64 = buffers.inPtrs.empty () ? nullptr : buffers.inPtrs.data ();
		outBus.channelBuffers64 = buffers.outPtrs.empty () ? nullptr : buffers.outPtrs.data ();
	}
	else
	{
		inBus.channelBuffers32 = buffers.inPtrs.empty () ? nullptr : buffers.inPtrs.data ();
		outBus.channelBuffers32 = buffers.outPtrs.empty () ? nullptr : buffers.outPtrs.data ();
	}
	auto changes = r.flag () ? makeChanges (r) : nullptr;
	ProcessData data {};
	data.processMode = kRealtime;
	data.symbolicSampleSize = sampleSize;
	data.numSamples = numSamples;
	data.numInputs = noInputBus ? 0 : 1;
	data.numOutputs = noOutputBus ? 0 : 1;
	data.inputs = noInputBus ? nullptr : &inBus;
	data.outputs = noOutputBus ? nullptr : &outBus;
	data.inputParameterChanges = changes.get ();

	const auto inputCopy = buffers.in;
	FUZZ_CHECK (s.processor->process (data) == kResultOk, "process did not report success");
	FUZZ_CHECK (buffers.finite (), "an output channel was not written, or finite input gave output that is not finite");
	if (!inPlace)
		FUZZ_CHECK (buffers.in == inputCopy, "process wrote into a separate input buffer");
}

} // namespace

int processTarget (const uint8_t* data, size_t size)
{
	Reader r (data, size);
	Session s;
	s.processor = new PlugProcessor ();
	s.processor->initialize (nullptr);
	if (r.below (8) != 0)
		s.setUp (r);

	for (int step = 0; step < 48 && !r.empty (); ++step)
	{
		switch (r.byte () % 8)
		{
			case 0:
			case 1:
			case 2: runBlock<Sample32> (s, r, kSample32); break;
			case 3: runBlock<Sample64> (s, r, kSample64); break;
			case 4:
			{
				size_t got = 0;
				const uint8_t* bytes = r.bytes (r.below (2) ? stress::kStateBytes : r.below (260), got);
				PalvisTest::MemoryStream in (bytes, got);
				const tresult result = s.processor->setState (&in);
				FUZZ_CHECK ((result == kResultOk) == (got >= stress::kStateBytes), "setState result");
				if (result == kResultOk)
				{
					stress::StateImage image;
					stress::StateImage::decode (bytes, got, image);
					PalvisTest::MemoryStream out;
					FUZZ_CHECK (s.processor->getState (&out) == kResultOk, "getState failed");
					FUZZ_CHECK (out.bytes () == image.canonical (), "getState after setState differs");
				}
				break;
			}
			case 5:
			{
				PalvisTest::MemoryStream out;
				if (r.flag ())
					out.setMode (PalvisTest::MemoryStream::Mode::kRefuseWrites);
				const bool refused = r.flag ();
				if (refused)
					out.setWriteLimit (r.below (204));
				const tresult result = s.processor->getState (&out);
				FUZZ_CHECK (result != kResultOk || out.bytes ().size () == stress::kStateBytes, "getState size");
				break;
			}
			case 6:
				s.processor->setActive (false);
				s.active = false;
				if (r.flag ())
					s.setUp (r);
				break;
			case 7:
			{
				// Arrangements and sample-size questions at odd times.
				SpeakerArrangement in[2] = {r.take<uint64_t> (), SpeakerArr::kStereo};
				SpeakerArrangement out[2] = {r.take<uint64_t> (), SpeakerArr::kStereo};
				s.processor->setBusArrangements (in, static_cast<int32> (r.below (3)), out,
				                                 static_cast<int32> (r.below (3)));
				s.processor->canProcessSampleSize (r.take<int32_t> ());
				s.processor->setProcessing (r.flag ());
				break;
			}
		}
	}
	if (r.flag ())
		s.processor->setActive (false);
	if (r.flag ())
		s.processor->terminate ();
	s.processor->release (); // possibly while active
	return 0;
}

} // namespace fuzz
