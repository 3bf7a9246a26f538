// A processor from the built bundle driven out of the host's usual order:
// processing before set-up or activation, activation twice, terminate or
// release while active, initialize twice, streams that are null, refuse writes,
// end early or misreport what they moved. Every call must return a result
// code and leave the processor usable; nothing may crash, leak or write
// outside the buffers.
#include "bundletest.h"

#include "hostlib/hostobject.h"
#include "hostlib/memorystream.h"
#include "lyingstream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>

using namespace stress;

namespace {

constexpr float kSentinel = 12345.0f;

class HostileLifecycle : public BundleTest
{
protected:
	// A block of numSamples noise samples in buffers twice as long, whose tails
	// hold a sentinel that the processor must not overwrite.
	static void fillWithSentinels (Block<Sample32>& block)
	{
		block.fillNoise (1, 0.5);
		for (auto* v : {&block.outL, &block.outR})
			std::fill (v->begin (), v->end (), kSentinel);
	}
	static bool tailsIntact (const Block<Sample32>& block, int32 numSamples)
	{
		for (auto* v : {&block.outL, &block.outR})
			for (size_t i = static_cast<size_t> (numSamples); i < v->size (); ++i)
				if ((*v)[i] != kSentinel)
					return false;
		return true;
	}
};

std::vector<uint8> stateOf (Processor& p)
{
	std::vector<uint8> bytes;
	EXPECT_EQ (p.getState (bytes), kResultOk);
	return bytes;
}

StateImage loudBand ()
{
	StateImage s;
	s.bands[8] = 1.0; // 1 kHz at +12 dB
	return s;
}

} // namespace

TEST_F (HostileLifecycle, ProcessBeforeInitializeSetUpOrActivation)
{
	Processor p (*bundle);
	ASSERT_TRUE (p.valid ());
	Block<Sample32> block (128);

	// Not even initialised.
	fillWithSentinels (block);
	EXPECT_EQ (p.audio->process (block.set (64)), kResultOk);
	EXPECT_TRUE (block.outputFinite (64));
	EXPECT_TRUE (tailsIntact (block, 64));

	ASSERT_EQ (p.initialize (), kResultOk);
	fillWithSentinels (block);
	EXPECT_EQ (p.audio->process (block.set (64)), kResultOk);
	EXPECT_TRUE (block.outputFinite (64));
	EXPECT_TRUE (tailsIntact (block, 64));

	// Set up but not active; the block is even longer than the set-up allows.
	ASSERT_EQ (p.setupProcessing (48000, 32, kSample32), kResultOk);
	fillWithSentinels (block);
	EXPECT_EQ (p.audio->process (block.set (64)), kResultOk);
	EXPECT_TRUE (block.outputFinite (64));
	EXPECT_TRUE (tailsIntact (block, 64));

	// A state and parameter changes before activation are kept for it.
	ASSERT_EQ (p.setState (loudBand ().encode ()), kResultOk);
	auto changes = makeChanges ({{1, 0.5}});
	EXPECT_EQ (p.audio->process (block.set (0, 0, changes.get ())), kResultOk);

	ASSERT_EQ (p.setActive (true), kResultOk);
	fillWithSentinels (block);
	EXPECT_EQ (p.audio->process (block.set (32)), kResultOk);
	EXPECT_TRUE (block.outputFinite (32));
	EXPECT_TRUE (tailsIntact (block, 32));
	EXPECT_NE (std::memcmp (block.outL.data (), block.inL.data (), 32 * sizeof (float)), 0);
	StateImage now;
	auto bytes = stateOf (p);
	ASSERT_TRUE (StateImage::decode (bytes.data (), bytes.size (), now));
	EXPECT_EQ (now.bands[8], 1.0);
}

TEST_F (HostileLifecycle, ActivationTwiceAndDeactivationTwice)
{
	Processor p (*bundle);
	ASSERT_EQ (p.initialize (), kResultOk);
	// Deactivating a processor that was never active.
	EXPECT_EQ (p.component->setActive (false), kResultOk);
	ASSERT_EQ (p.prepare (44100, 256, kSample32), kResultOk);
	Block<Sample32> block (512);
	block.fillNoise (2, 0.5);
	EXPECT_EQ (p.audio->process (block.set (256)), kResultOk);

	// A second activation, now with a larger block size: the buffers follow it.
	ASSERT_EQ (p.setupProcessing (44100, 512, kSample32), kResultOk);
	EXPECT_EQ (p.setActive (true), kResultOk);
	fillWithSentinels (block);
	EXPECT_EQ (p.audio->process (block.set (512)), kResultOk);
	EXPECT_TRUE (block.outputFinite (512));

	EXPECT_EQ (p.component->setActive (false), kResultOk);
	EXPECT_EQ (p.component->setActive (false), kResultOk);
	EXPECT_EQ (p.setActive (true), kResultOk);
	EXPECT_EQ (p.setActive (true), kResultOk);
	EXPECT_EQ (p.audio->process (block.set (100)), kResultOk);
	EXPECT_TRUE (block.outputFinite (100));
}

TEST_F (HostileLifecycle, ActivationWithoutOrWithOddSetUps)
{
	struct SetUp
	{
		double rate;
		int32 maxBlock;
	};
	const double inf = std::numeric_limits<double>::infinity ();
	const double nan = std::numeric_limits<double>::quiet_NaN ();
	for (SetUp s : {SetUp {48000, 0}, SetUp {0, 64}, SetUp {-44100, 64}, SetUp {nan, 64}, SetUp {inf, 64},
	                SetUp {1e-300, 64}, SetUp {1e12, 64}, SetUp {48000, -1}, SetUp {48000, 1}})
	{
		SCOPED_TRACE (testing::Message () << "rate " << s.rate << ", max block " << s.maxBlock);
		Processor p (*bundle);
		ASSERT_EQ (p.initialize (), kResultOk);
		p.setupProcessing (s.rate, s.maxBlock, kSample32);
		p.setActive (true); // may be refused; processing must be safe either way
		ASSERT_EQ (p.setState (loudBand ().encode ()), kResultOk);
		Block<Sample32> block (256);
		for (int round = 0; round < 4; ++round)
		{
			fillWithSentinels (block);
			EXPECT_EQ (p.audio->process (block.set (128)), kResultOk);
			EXPECT_TRUE (block.outputFinite (128));
			EXPECT_TRUE (tailsIntact (block, 128));
		}
	}
	// Without any setupProcessing at all.
	Processor p (*bundle);
	ASSERT_EQ (p.initialize (), kResultOk);
	p.setActive (true);
	Block<Sample32> block (256);
	fillWithSentinels (block);
	EXPECT_EQ (p.audio->process (block.set (128)), kResultOk);
	EXPECT_TRUE (block.outputFinite (128));
	EXPECT_TRUE (tailsIntact (block, 128));
}

TEST_F (HostileLifecycle, TerminateWhileActiveThenInitializeAgain)
{
	Processor p (*bundle);
	ASSERT_EQ (p.initialize (), kResultOk);
	ASSERT_EQ (p.prepare (48000, 128, kSample32), kResultOk);
	Block<Sample32> block (128);
	block.fillNoise (3, 0.5);
	EXPECT_EQ (p.audio->process (block.set (128)), kResultOk);

	EXPECT_EQ (p.component->terminate (), kResultOk);
	EXPECT_EQ (p.component->getBusCount (kAudio, kInput), 0);
	EXPECT_EQ (p.component->getBusCount (kAudio, kOutput), 0);
	// A host that keeps calling after terminate.
	EXPECT_EQ (p.audio->process (block.set (128)), kResultOk);
	EXPECT_TRUE (block.outputFinite (128));

	ASSERT_EQ (p.initialize (), kResultOk);
	EXPECT_EQ (p.component->getBusCount (kAudio, kInput), 1);
	EXPECT_EQ (p.component->getBusCount (kAudio, kOutput), 1);
	ASSERT_EQ (p.prepare (48000, 128, kSample32), kResultOk);
	ASSERT_EQ (p.setState (loudBand ().encode ()), kResultOk);
	EXPECT_EQ (p.audio->process (block.set (128)), kResultOk);
	EXPECT_TRUE (block.outputFinite (128));
	EXPECT_NE (std::memcmp (block.outL.data (), block.inL.data (), 128 * sizeof (float)), 0);
}

TEST_F (HostileLifecycle, ReleaseWhileActiveAndProcessing)
{
	auto host = vsthost::HostApplication::create ("hostile");
	for (int variant = 0; variant < 3; ++variant)
	{
		SCOPED_TRACE (variant);
		void* obj = nullptr;
		ASSERT_EQ (bundle->module->getFactory ()->createInstance (bundle->processorCid, IComponent::iid, &obj),
		           kResultOk);
		auto* component = static_cast<IComponent*> (obj);
		ASSERT_EQ (component->queryInterface (IAudioProcessor::iid, &obj), kResultOk);
		auto* audio = static_cast<IAudioProcessor*> (obj);
		ASSERT_EQ (component->initialize (host->unknown ()), kResultOk);
		EXPECT_GT (host->getRefCount (), 1u); // the plug-in holds the context
		SpeakerArrangement stereo = SpeakerArr::kStereo;
		ASSERT_EQ (audio->setBusArrangements (&stereo, 1, &stereo, 1), kResultOk);
		ProcessSetup setup {kRealtime, kSample64, 256, 96000};
		ASSERT_EQ (audio->setupProcessing (setup), kResultOk);
		ASSERT_EQ (component->setActive (true), kResultOk);
		if (variant >= 1)
			audio->setProcessing (true);
		Block<Sample64> block (256);
		block.fillNoise (4, 0.5);
		EXPECT_EQ (audio->process (block.set (256)), kResultOk);
		if (variant == 2)
			component->terminate (); // terminated while active, never deactivated
		// Released without setProcessing(false), setActive(false) or terminate.
		audio->release ();
		EXPECT_EQ (component->release (), 0u);
		EXPECT_EQ (host->getRefCount (), 1u) << "the released processor still holds the host context";
	}
}

TEST_F (HostileLifecycle, InitializeTwice)
{
	Processor p (*bundle);
	ASSERT_EQ (p.initialize (), kResultOk);
	auto other = vsthost::HostApplication::create ("second");
	EXPECT_EQ (p.component->initialize (other->unknown ()), kResultFalse);
	EXPECT_EQ (other->getRefCount (), 1u);
	EXPECT_EQ (p.component->getBusCount (kAudio, kInput), 1);
	EXPECT_EQ (p.component->getBusCount (kAudio, kOutput), 1);
	ASSERT_EQ (p.prepare (48000, 64, kSample32), kResultOk);
	EXPECT_EQ (p.component->initialize (other->unknown ()), kResultFalse); // while active
	Block<Sample32> block (64);
	block.fillNoise (5, 0.5);
	EXPECT_EQ (p.audio->process (block.set (64)), kResultOk);
	EXPECT_TRUE (block.outputFinite (64));

	// A context of nothing: initialised all the same, so a second call is
	// refused and adds no bus.
	Processor q (*bundle);
	auto busCounts = [&q] {
		return std::make_pair (q.component->getBusCount (kAudio, kInput), q.component->getBusCount (kAudio, kOutput));
	};
	ASSERT_EQ (q.component->initialize (nullptr), kResultOk);
	EXPECT_EQ (q.component->initialize (nullptr), kResultFalse);
	EXPECT_EQ (busCounts (), std::make_pair (1, 1));
	EXPECT_EQ (q.component->initialize (other->unknown ()), kResultFalse);
	EXPECT_EQ (other->getRefCount (), 1u);
	EXPECT_EQ (busCounts (), std::make_pair (1, 1));
	for (int round = 0; round < 2; ++round)
	{
		EXPECT_EQ (q.component->terminate (), kResultOk);
		EXPECT_EQ (busCounts (), std::make_pair (0, 0));
		ASSERT_EQ (q.component->initialize (nullptr), kResultOk);
		EXPECT_EQ (q.component->initialize (nullptr), kResultFalse);
		EXPECT_EQ (busCounts (), std::make_pair (1, 1));
	}
	ASSERT_EQ (q.prepare (48000, 64, kSample32), kResultOk);
	Block<Sample32> qBlock (64);
	qBlock.fillNoise (7, 0.5);
	EXPECT_EQ (q.audio->process (qBlock.set (64)), kResultOk);
	EXPECT_TRUE (qBlock.outputFinite (64));
	q.component->terminate ();
}

namespace {

// A stream that misbehaves in one of several ways.
class MisbehavingStream : public vsthost::HostObject<IBStream>
{
public:
	enum class Lie
	{
		kNoCountGiven,    // succeeds but never sets the count
		kCountsTooMuch,   // claims more bytes than asked
		kNegativeCount,   // claims a negative count
		kErrorButFull,    // moves everything and reports an error
		kOneByteAtATime,  // moves at most one byte per call
	};
	MisbehavingStream (Lie lie, std::vector<uint8> bytes) : data (std::move (bytes)), lie (lie) {}

	tresult PLUGIN_API read (void* buffer, int32 numBytes, int32* numBytesRead) override
	{
		int32 n = std::min<int32> (numBytes, static_cast<int32> (data.size () - pos));
		if (lie == Lie::kOneByteAtATime)
			n = std::min<int32> (n, 1);
		if (n > 0)
			std::memcpy (buffer, data.data () + pos, static_cast<size_t> (n));
		pos += static_cast<size_t> (n);
		return report (n, numBytes, numBytesRead);
	}
	tresult PLUGIN_API write (void* buffer, int32 numBytes, int32* numBytesWritten) override
	{
		int32 n = lie == Lie::kOneByteAtATime ? std::min<int32> (numBytes, 1) : numBytes;
		data.insert (data.end (), static_cast<uint8*> (buffer), static_cast<uint8*> (buffer) + n);
		return report (n, numBytes, numBytesWritten);
	}
	tresult PLUGIN_API seek (int64, int32, int64*) override { return kResultFalse; }
	tresult PLUGIN_API tell (int64* p) override
	{
		if (p)
			*p = static_cast<int64> (pos);
		return kResultOk;
	}

	std::vector<uint8> data;

private:
	tresult report (int32 moved, int32 asked, int32* count)
	{
		switch (lie)
		{
			case Lie::kNoCountGiven: return kResultOk;
			case Lie::kCountsTooMuch:
				if (count)
					*count = asked + 1000;
				return kResultOk;
			case Lie::kNegativeCount:
				if (count)
					*count = -1;
				return kResultOk;
			case Lie::kErrorButFull:
				if (count)
					*count = moved;
				return kInternalError;
			case Lie::kOneByteAtATime:
				if (count)
					*count = moved;
				return moved == asked ? kResultOk : kResultFalse;
		}
		return kResultFalse;
	}

	Lie lie;
	size_t pos {0};
};

} // namespace

TEST_F (HostileLifecycle, NullRefusingAndShortStreams)
{
	for (bool active : {false, true})
	{
		SCOPED_TRACE (active ? "active" : "inactive");
		Processor p (*bundle);
		ASSERT_EQ (p.initialize (), kResultOk);
		if (active)
		{
			ASSERT_EQ (p.prepare (48000, 64, kSample32), kResultOk);
		}
		StateImage set;
		set.level = 0.3;
		set.bands[2] = 0.9;
		set.reserved[5] = -2.5;
		set.flags[3] = 1;
		ASSERT_EQ (p.setState (set.encode ()), kResultOk);
		const auto before = stateOf (p);
		EXPECT_EQ (before, set.canonical ());

		EXPECT_EQ (p.component->getState (nullptr), kResultFalse);
		EXPECT_EQ (p.component->setState (nullptr), kResultFalse);
		auto refusing = vsthost::MemoryStream::create (vsthost::MemoryStream::Mode::ReadOnly);
		EXPECT_EQ (p.component->getState (refusing.get ()), kResultFalse);
		EXPECT_TRUE (refusing->getData ().empty ());
		for (int64 limit : {0, 1, 8, 11, 100, 203})
		{
			auto limited = vsthost::MemoryStream::create ();
			limited->setWriteLimit (limit);
			EXPECT_EQ (p.component->getState (limited.get ()), kResultFalse) << "limit " << limit;
			EXPECT_LE (static_cast<int64> (limited->getData ().size ()), limit);
		}
		auto exact = vsthost::MemoryStream::create ();
		exact->setWriteLimit (204);
		EXPECT_EQ (p.component->getState (exact.get ()), kResultOk);
		EXPECT_EQ (exact->getData (), before);

		for (size_t length : {size_t (0), size_t (1), size_t (8), size_t (12), size_t (100), size_t (203)})
		{
			std::vector<uint8> shortState (set.encode ());
			shortState.resize (length);
			StateImage other;
			other.level = 0.9;
			auto otherBytes = other.encode ();
			std::copy (otherBytes.begin (), otherBytes.begin () + static_cast<long> (length), shortState.begin ());
			EXPECT_EQ (p.setState (shortState), kResultFalse) << length << " bytes";
		}
		EXPECT_EQ (stateOf (p), before);

		// Streams that misreport what they moved.
		using Lie = MisbehavingStream::Lie;
		for (Lie lie : {Lie::kNoCountGiven, Lie::kNegativeCount, Lie::kCountsTooMuch})
		{
			auto in = owned (new MisbehavingStream (lie, StateImage ().encode ()));
			EXPECT_EQ (p.component->setState (in.get ()), kResultFalse);
			auto out = owned (new MisbehavingStream (lie, {}));
			EXPECT_EQ (p.component->getState (out.get ()), kResultFalse);
		}
		EXPECT_EQ (stateOf (p), before);
		for (Lie lie : {Lie::kErrorButFull, Lie::kOneByteAtATime})
		{
			// Whatever the report says, no more than 204 bytes are taken or given,
			// and a state is either taken whole or not at all.
			auto in = owned (new MisbehavingStream (lie, set.encode ()));
			if (p.component->setState (in.get ()) != kResultOk)
			{
				EXPECT_EQ (stateOf (p), before);
			}
			auto out = owned (new MisbehavingStream (lie, {}));
			p.component->getState (out.get ());
			EXPECT_LE (out->data.size (), kStateBytes);
		}
		EXPECT_EQ (stateOf (p), before);

		// The 63 Hz band (the sixth value, 0.9 in the stream) counted but never
		// written: it reads as 0, not as what the reader's memory still held
		// (such as the 40 Hz band read just before).
		PalvisTest::LyingStream unwritten (set.encode (), PalvisTest::LyingStream::lieAt (5, {0, 8}));
		PalvisTest::paintStack ();
		EXPECT_EQ (p.component->setState (&unwritten), kResultOk);
		StateImage expected = set;
		expected.bands[2] = 0.0;
		EXPECT_EQ (stateOf (p), expected.canonical ());
		ASSERT_EQ (p.setState (set.encode ()), kResultOk);

		if (active)
		{
			Block<Sample32> block (64);
			block.fillNoise (6, 0.5);
			EXPECT_EQ (p.audio->process (block.set (64)), kResultOk);
			EXPECT_TRUE (block.outputFinite (64));
		}
	}
}

TEST_F (HostileLifecycle, BusAndArrangementCallsOutOfRange)
{
	Processor p (*bundle);
	ASSERT_EQ (p.initialize (), kResultOk);
	BusInfo info {};
	for (int32 index : {-1, 1, 2, 1 << 30})
	{
		EXPECT_NE (p.component->getBusInfo (kAudio, kInput, index, info), kResultOk) << index;
		EXPECT_NE (p.component->activateBus (kAudio, kOutput, index, true), kResultOk) << index;
	}
	EXPECT_EQ (p.component->getBusCount (kEvent, kInput), 0);
	EXPECT_EQ (p.component->getBusCount (7, kInput), 0);
	EXPECT_EQ (p.component->getBusCount (kAudio, 5), 0);
	EXPECT_NE (p.component->getBusInfo (kEvent, kInput, 0, info), kResultOk);
	EXPECT_NE (p.component->getBusInfo (kAudio, -3, 0, info), kResultOk);

	SpeakerArrangement stereo = SpeakerArr::kStereo, mono = SpeakerArr::kMono, none = 0, all = ~SpeakerArrangement (0);
	EXPECT_NE (p.audio->setBusArrangements (nullptr, 1, &stereo, 1), kResultOk);
	EXPECT_NE (p.audio->setBusArrangements (&stereo, 1, nullptr, 1), kResultOk);
	EXPECT_NE (p.audio->setBusArrangements (&stereo, -1, &stereo, 1), kResultOk);
	EXPECT_NE (p.audio->setBusArrangements (&mono, 1, &stereo, 1), kResultOk);
	EXPECT_NE (p.audio->setBusArrangements (&none, 1, &none, 1), kResultOk);
	EXPECT_NE (p.audio->setBusArrangements (&all, 1, &all, 1), kResultOk);
	SpeakerArrangement many[3] = {stereo, stereo, stereo};
	EXPECT_NE (p.audio->setBusArrangements (many, 3, many, 3), kResultOk);
	SpeakerArrangement arr = 0;
	EXPECT_NE (p.audio->getBusArrangement (kInput, 1, arr), kResultOk);
	EXPECT_NE (p.audio->getBusArrangement (kOutput, -1, arr), kResultOk);
	EXPECT_EQ (p.audio->getBusArrangement (kOutput, 0, arr), kResultOk);
	EXPECT_EQ (arr, stereo);
	for (int32 size : {-1, 2, 1000})
		EXPECT_EQ (p.audio->canProcessSampleSize (size), kResultFalse) << size;

	// Interfaces that are not there, and queries without a place to put the answer.
	void* obj = reinterpret_cast<void*> (1);
	TUID unknownIid = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
	EXPECT_EQ (p.component->queryInterface (unknownIid, &obj), kNoInterface);
	EXPECT_EQ (obj, nullptr);
	EXPECT_NE (p.component->queryInterface (IComponent::iid, nullptr), kResultOk);
}

TEST_F (HostileLifecycle, EveryOutputChannelIsWrittenWhateverTheBusesCarry)
{
	// A host does not clear its output buffers: whatever a block leaves in them
	// is played. With buses of other than two channels (a host breaking its
	// contract), every output channel must still get defined audio, and a
	// channel flagged silent must be silent.
	Processor p (*bundle);
	ASSERT_EQ (p.initialize (), kResultOk);
	ASSERT_EQ (p.prepare (48000, 64, kSample32), kResultOk);
	std::vector<float> in[2] = {std::vector<float> (64, 0.25f), std::vector<float> (64, -0.25f)};
	std::vector<float> out[2] = {std::vector<float> (64), std::vector<float> (64)};
	for (bool bypass : {false, true})
	{
		auto changes = makeChanges ({{0, bypass ? 1.0 : 0.0}});
		for (int32 inChannels = 0; inChannels <= 2; ++inChannels)
		{
			for (int32 outChannels = 1; outChannels <= 2; ++outChannels)
			{
				for (uint64 silence : {uint64 (0), uint64 (3)})
				{
					SCOPED_TRACE (testing::Message () << (bypass ? "bypass, " : "") << inChannels << " in, "
					                                  << outChannels << " out, silence flags " << silence);
					float* inPtrs[2] = {in[0].data (), in[1].data ()};
					float* outPtrs[2] = {out[0].data (), out[1].data ()};
					for (auto& o : out)
						std::fill (o.begin (), o.end (), kSentinel);
					AudioBusBuffers inBus {}, outBus {};
					inBus.numChannels = inChannels;
					inBus.silenceFlags = silence;
					inBus.channelBuffers32 = inPtrs;
					outBus.numChannels = outChannels;
					outBus.channelBuffers32 = outPtrs;
					ProcessData data {};
					data.processMode = kRealtime;
					data.symbolicSampleSize = kSample32;
					data.numSamples = 64;
					data.numInputs = data.numOutputs = 1;
					data.inputs = &inBus;
					data.outputs = &outBus;
					data.inputParameterChanges = changes.get ();
					ASSERT_EQ (p.audio->process (data), kResultOk);
					for (int32 c = 0; c < outChannels; ++c)
					{
						const auto& o = out[c];
						EXPECT_EQ (std::count (o.begin (), o.end (), kSentinel), 0) << "output channel " << c << " not written";
						if (outBus.silenceFlags & (uint64 (1) << c))
						{
							EXPECT_EQ (std::count (o.begin (), o.end (), 0.0f), 64)
							    << "output channel " << c << " flagged silent but is not";
						}
					}
				}
			}
		}
	}
}
