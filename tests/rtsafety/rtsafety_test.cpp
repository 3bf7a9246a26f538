// The plug-in binary's process() must not allocate, free, lock, wait, sleep or
// do file I/O on the audio thread: in both sample sizes, with bypass, silent
// input, parameter changes in every block, blocks of every length, and state
// set and read from another thread while processing runs.
#include "rtguard.h"

#include "bundletest.h"
#include "paramchanges.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <random>
#include <thread>
#include <time.h>

using namespace stress;

namespace {

const double kInf = std::numeric_limits<double>::infinity ();
const double kNaN = std::numeric_limits<double>::quiet_NaN ();
const double kOddValues[] = {0.0, 1.0, 0.5, 0.75, 0.5000001, 0.4999, -0.25, 1.5, 42.0, -1e6, 1e308, -1e308,
                             kInf, -kInf, kNaN, -kNaN, 4.9e-324, 1e-310, -1e-310, 2.2250738585072014e-308};

using Changes = PalvisTest::ParameterChanges;

// Parameter changes for many blocks, made before the audio thread starts:
// known and unknown IDs, odd values, several points, null queues, queues whose
// points cannot be read, bypass switching on and off.
std::vector<std::unique_ptr<Changes>> makeChangePool (size_t count, unsigned seed)
{
	std::mt19937 rng (seed);
	std::vector<std::unique_ptr<Changes>> pool;
	const ParamID oddIds[] = {17, 18, 100, 0x7fffffff, 0xffffffff};
	for (size_t i = 0; i < count; ++i)
	{
		auto changes = std::make_unique<Changes> ();
		const int queues = 1 + static_cast<int> (rng () % 19); // changes in every block
		for (int q = 0; q < queues; ++q)
		{
			const unsigned kind = rng () % 10;
			if (kind == 0)
			{
				changes->addNullQueue ();
				continue;
			}
			// Bypass (ID 0) is switched below, on a known pattern.
			const ParamID id = kind == 1 ? oddIds[rng () % 5] : static_cast<ParamID> (1 + rng () % 16);
			auto& queue = changes->queue (id);
			const int points = kind == 2 ? static_cast<int> (rng () % 64) : 1 + static_cast<int> (rng () % 3);
			for (int p = 0; p < points; ++p)
			{
				const double value = (rng () % 3 == 0) ? kOddValues[rng () % (sizeof (kOddValues) / sizeof (double))]
				                                       : std::uniform_real_distribution<double> (0.0, 1.0) (rng);
				queue.add (static_cast<int32> (rng () % 4096) - 8, value);
			}
			if (kind == 3)
				queue.setFailGetPoint (true);
		}
		// Bypass on in some blocks and off again in the next ones.
		if (i % 7 == 3)
			changes->queue (0).add (0, 1.0);
		if (i % 7 == 5)
			changes->queue (0).add (0, i % 2 ? 0.0 : kNaN);
		pool.push_back (std::move (changes));
	}
	return pool;
}

// State streams with ordinary, extreme and non-finite values.
std::vector<std::vector<uint8>> makeStates (size_t count, unsigned seed)
{
	std::mt19937 rng (seed);
	std::vector<std::vector<uint8>> states;
	for (size_t i = 0; i < count; ++i)
	{
		StateImage s;
		s.bypass = static_cast<int32> (rng () % 5) - 2;
		auto pick = [&] {
			return rng () % 4 == 0 ? kOddValues[rng () % (sizeof (kOddValues) / sizeof (double))]
			                       : std::uniform_real_distribution<double> (-0.1, 1.1) (rng);
		};
		s.level = pick ();
		for (double& b : s.bands)
			b = pick ();
		for (double& r : s.reserved)
			r = pick ();
		for (auto& f : s.flags)
			f = static_cast<int32> (rng ());
		states.push_back (s.encode ());
	}
	return states;
}

struct RunOptions
{
	int32 maxBlock {512};
	int blocks {1500};
	unsigned seed {1};
};

struct RunResult
{
	int blocks {0};
	int nonFinite {0}; // blocks whose output was not finite
	int changed {0};   // blocks whose output differs from their input (filtered)
};

// Processes blocks of many shapes; only the plug-in's process() runs inside
// the guard.
template <typename Sample>
RunResult runBlocks (Processor& p, Block<Sample>& block, const std::vector<std::unique_ptr<Changes>>& pool,
                     const RunOptions& options, const std::atomic<bool>* stop = nullptr,
                     std::atomic<int>* blocksDone = nullptr)
{
	std::mt19937 rng (options.seed);
	RunResult result;
	for (int i = 0; i < options.blocks || (stop && !stop->load ()); ++i)
	{
		int32 length;
		switch (rng () % 8)
		{
			case 0: length = options.maxBlock; break;
			case 1: length = 1; break;
			case 2: length = 0; break;
			// Longer than the set-up allows: a host breaking its contract.
			case 3: length = std::min<int32> (block.capacity, options.maxBlock * 2 + 3); break;
			default: length = 1 + static_cast<int32> (rng () % static_cast<unsigned> (options.maxBlock)); break;
		}
		uint64 silence = 0;
		const unsigned s = rng () % 16;
		if (s == 0)
			silence = 3;
		else if (s == 1)
			silence = 1;
		block.setInPlace (rng () % 4 == 0);
		if (block.isInPlace ())
			block.fillNoise (static_cast<uint32> (i), 0.5);
		Changes* changes = pool[static_cast<size_t> (i) % pool.size ()].get ();
		ProcessData& data = block.set (length, silence, changes);
		{
			rtguard::Section audioThread;
			p.audio->process (data);
		}
		++result.blocks;
		if (!block.outputFinite (length))
			++result.nonFinite;
		if (!block.isInPlace () && length > 0 &&
		    std::memcmp (block.outL.data (), block.inL.data (), sizeof (Sample) * static_cast<size_t> (length)) != 0)
			++result.changed;
		if (block.isInPlace ())
			block.fillNoise (0, 0.5);
		if (blocksDone)
			++*blocksDone;
	}
	return result;
}

void expectProcessed (const RunResult& r)
{
	EXPECT_EQ (r.nonFinite, 0);
	// Most blocks are neither bypassed nor silent nor empty: the filters ran.
	EXPECT_GT (r.changed, r.blocks / 4) << r.blocks << " blocks";
}

class RtSafety : public SharedBundleTest
{
protected:
	void SetUp () override
	{
		SharedBundleTest::SetUp ();
		rtguard::reset ();
	}
};

} // namespace

TEST_F (RtSafety, GuardSeesTheTestsAndThePluginsOwnCalls)
{
	// The guard is only worth something if it fires: calls made by this program...
	{
		rtguard::Section watched;
		void* volatile p = std::malloc (24);
		std::free (p);
		void* q = ::operator new (40);
		::operator delete (q);
		std::mutex m;
		m.lock ();
		m.unlock ();
		timespec zero {0, 0};
		nanosleep (&zero, nullptr);
	}
	EXPECT_GE (rtguard::violations (), 6) << rtguard::report ();
	const std::string text = rtguard::report (false);
	EXPECT_NE (text.find ("pthread_mutex_lock"), std::string::npos) << text;
	EXPECT_NE (text.find ("nanosleep"), std::string::npos) << text;

	// ...and calls made by the plug-in binary itself: activation allocates its
	// work buffers, which is allowed on the main thread but not here.
	rtguard::reset ();
	Processor p (*bundle);
	ASSERT_TRUE (p.valid ());
	ASSERT_EQ (p.initialize (), kResultOk);
	ASSERT_EQ (p.setupProcessing (48000, 512, kSample32), kResultOk);
	{
		rtguard::Section watched;
		p.component->setActive (true);
	}
	EXPECT_GE (rtguard::violations (), 1);
	EXPECT_NE (rtguard::report (false).find ("Palvis"), std::string::npos) << rtguard::report ();
	p.component->setActive (false);

	// Outside the guard nothing is recorded.
	rtguard::reset ();
	void* volatile r = std::malloc (8);
	std::free (r);
	EXPECT_EQ (rtguard::violations (), 0);
}

TEST_F (RtSafety, ProcessIsRealTimeSafeInBothSampleSizes)
{
	const auto pool = makeChangePool (97, 7);
	struct Case
	{
		double rate;
		int32 maxBlock;
	};
	for (Case c : {Case {44100, 64}, Case {48000, 512}, Case {96000, 4096}})
	{
		SCOPED_TRACE (testing::Message () << c.rate << " Hz, blocks up to " << c.maxBlock);
		RunOptions options;
		options.maxBlock = c.maxBlock;
		options.blocks = c.maxBlock > 1000 ? 300 : 1200;
		{
			Processor p (*bundle);
			ASSERT_EQ (p.initialize (), kResultOk);
			ASSERT_EQ (p.prepare (c.rate, c.maxBlock, kSample32), kResultOk);
			Block<Sample32> block (c.maxBlock * 2 + 3);
			block.fillNoise (1, 0.5);
			expectProcessed (runBlocks (p, block, pool, options));
		}
		EXPECT_EQ (rtguard::violations (), 0) << "32-bit:\n" << rtguard::report ();
		rtguard::reset ();
		{
			Processor p (*bundle);
			ASSERT_EQ (p.initialize (), kResultOk);
			ASSERT_EQ (p.prepare (c.rate, c.maxBlock, kSample64), kResultOk);
			Block<Sample64> block (c.maxBlock * 2 + 3);
			block.fillNoise (2, 0.5);
			options.seed = 2;
			expectProcessed (runBlocks (p, block, pool, options));
		}
		EXPECT_EQ (rtguard::violations (), 0) << "64-bit:\n" << rtguard::report ();
		rtguard::reset ();
	}
}

TEST_F (RtSafety, StateCallsFromTheMainThreadDoNotMakeTheAudioThreadWait)
{
	const auto pool = makeChangePool (61, 11);
	const auto states = makeStates (64, 12);
	for (int32 sampleSize : {kSample32, kSample64})
	{
		SCOPED_TRACE (sampleSize == kSample32 ? "32-bit" : "64-bit");
		Processor p (*bundle);
		ASSERT_EQ (p.initialize (), kResultOk);
		ASSERT_EQ (p.prepare (48000, 256, sampleSize), kResultOk);

		std::atomic<bool> stop {false};
		std::atomic<int> blocksDone {0};
		RunResult result;
		std::thread audio ([&] {
			RunOptions options;
			options.maxBlock = 256;
			options.blocks = 0; // until stopped
			options.seed = 3;
			if (sampleSize == kSample32)
			{
				Block<Sample32> block (256 * 2 + 3);
				block.fillNoise (5, 0.5);
				result = runBlocks (p, block, pool, options, &stop, &blocksDone);
			}
			else
			{
				Block<Sample64> block (256 * 2 + 3);
				block.fillNoise (6, 0.5);
				result = runBlocks (p, block, pool, options, &stop, &blocksDone);
			}
		});

		std::vector<uint8> bytes;
		int refused = 0;
		int rounds = 0;
		// Both sides keep going until each has done a fair share of calls.
		for (; rounds < 400 || blocksDone.load () < 3000; ++rounds)
		{
			const int round = rounds;
			const auto& state = states[static_cast<size_t> (round) % states.size ()];
			EXPECT_EQ (p.setState (state), kResultOk);
			EXPECT_EQ (p.getState (bytes), kResultOk);
			EXPECT_EQ (bytes.size (), kStateBytes);
			// A short state is refused; it must not disturb the audio thread either.
			std::vector<uint8> shortState (state.begin (), state.begin () + 100);
			if (p.setState (shortState) != kResultOk)
				++refused;
		}
		EXPECT_EQ (refused, rounds);
		stop = true;
		audio.join ();
		expectProcessed (result);
		EXPECT_EQ (rtguard::violations (), 0) << rtguard::report ();
		rtguard::reset ();
	}
}

TEST_F (RtSafety, ReactivationAndNewSetUpsBetweenRuns)
{
	const auto pool = makeChangePool (31, 21);
	Processor p (*bundle);
	ASSERT_EQ (p.initialize (), kResultOk);
	ASSERT_EQ (p.prepare (44100, 128, kSample32), kResultOk);
	Block<Sample32> block32 (4096 * 2 + 3);
	Block<Sample64> block64 (4096 * 2 + 3);
	block32.fillNoise (9, 0.5);
	block64.fillNoise (10, 0.5);
	const struct
	{
		double rate;
		int32 maxBlock;
		int32 sampleSize;
	} setups[] = {{48000, 4096, kSample64}, {22050, 32, kSample32}, {192000, 1024, kSample64}, {8000, 1, kSample32},
	              {44100, 333, kSample32}};
	unsigned seed = 30;
	for (auto& s : setups)
	{
		ASSERT_EQ (p.setActive (false), kResultOk);
		ASSERT_EQ (p.setupProcessing (s.rate, s.maxBlock, s.sampleSize), kResultOk);
		ASSERT_EQ (p.setActive (true), kResultOk);
		RunOptions options;
		options.maxBlock = s.maxBlock;
		options.blocks = 200;
		options.seed = ++seed;
		if (s.sampleSize == kSample32)
			expectProcessed (runBlocks (p, block32, pool, options));
		else
			expectProcessed (runBlocks (p, block64, pool, options));
	}
	EXPECT_EQ (rtguard::violations (), 0) << rtguard::report ();
}

TEST_F (RtSafety, OddlyShapedProcessCallsStayRealTimeSafe)
{
	Processor p (*bundle);
	ASSERT_EQ (p.initialize (), kResultOk);
	ASSERT_EQ (p.prepare (48000, 64, kSample32), kResultOk);
	Block<Sample32> block (64);
	block.fillNoise (4, 0.5);
	Changes changes;
	changes.queue (1).add (0, 0.9);
	changes.queue (5).add (0, kNaN);
	changes.addNullQueue ();

	auto run = [&] (ProcessData& data) {
		rtguard::Section audioThread;
		p.audio->process (data);
	};
	ProcessData& data = block.set (64, 0, &changes);
	data.numInputs = 0; // no input bus
	run (data);
	block.set (64, 0, &changes).inputs = nullptr;
	run (block.data);
	block.set (64, 0, &changes).numOutputs = 0;
	run (block.data);
	block.set (64, 0, &changes).outputs = nullptr;
	run (block.data);
	block.set (0, 0, &changes);
	run (block.data);
	block.set (-5, 0, &changes);
	run (block.data);
	block.set (64, 0, &changes);
	block.in.numChannels = 1; // mono input into a stereo output
	run (block.data);
	block.set (64, 0, &changes);
	block.out.numChannels = 0;
	run (block.data);
	block.set (64, 0, &changes);
	block.inPtrs[1] = nullptr; // a channel without a buffer
	run (block.data);
	block.setInPlace (false);
	block.set (64, 0, nullptr).symbolicSampleSize = kSample64; // set up for 32-bit, block claims 64
	block.out.channelBuffers32 = nullptr;
	block.in.channelBuffers32 = nullptr;
	run (block.data);
	EXPECT_EQ (rtguard::violations (), 0) << rtguard::report ();
}
