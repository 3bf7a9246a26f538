// The built bundle's processor with the host's two threads at once: blocks
// with parameter changes on an audio thread while the main thread sets and
// reads states. Run under the thread sanitizer as well (scripts/test.sh), which
// fails the test on any data race in the plug-in binary.
#include "bundletest.h"

#include "paramchanges.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

using namespace stress;

namespace {

// A state numbered by round: band 3 and the first reserved value carry it, so
// that each one read back can be told apart.
StateImage roundState (int round)
{
	StateImage s;
	s.bands[3] = 0.25 + (round % 100) * 0.005;
	s.level = 0.5 + (round % 7) * 0.05;
	s.reserved[0] = round;
	s.flags[1] = round % 2;
	return s;
}

template <typename Sample>
void stateWhileProcessing (const Bundle& bundle, int32 sampleSize)
{
	Processor p (bundle);
	ASSERT_EQ (p.initialize (), kResultOk);
	ASSERT_EQ (p.prepare (48000, 128, sampleSize), kResultOk);

	std::atomic<bool> stop {false};
	std::atomic<int> blocks {0};
	std::atomic<int> nonFinite {0};
	std::thread audio ([&] {
		Block<Sample> block (128);
		block.fillNoise (7, 0.5);
		std::mt19937 rng (5);
		// Changes of bands 10 to 16 only, so the states' values of band 3 and the
		// level are never overwritten by the audio thread.
		std::vector<std::unique_ptr<PalvisTest::ParameterChanges>> pool;
		for (int i = 0; i < 16; ++i)
		{
			pool.push_back (std::make_unique<PalvisTest::ParameterChanges> ());
			pool.back ()->queue (10 + static_cast<ParamID> (rng () % 7)).add (0, (rng () % 1000) / 1000.0);
		}
		int n = 0;
		while (!stop.load ())
		{
			block.setInPlace (n % 3 == 0);
			block.fillNoise (static_cast<uint32> (n), 0.5);
			p.audio->process (block.set (1 + n % 128, 0, pool[static_cast<size_t> (n) % pool.size ()].get ()));
			if (!block.outputFinite (1 + n % 128))
				++nonFinite;
			++blocks;
			++n;
		}
	});

	int mismatches = 0;
	int rounds = 0;
	for (; rounds < 300 || blocks.load () < 2000; ++rounds)
	{
		const StateImage s = roundState (rounds);
		ASSERT_EQ (p.setState (s.encode ()), kResultOk);
		std::vector<uint8> bytes;
		ASSERT_EQ (p.getState (bytes), kResultOk);
		StateImage back;
		ASSERT_TRUE (StateImage::decode (bytes.data (), bytes.size (), back));
		// What was just set is what is read, whatever the audio thread is doing
		// (it changes only the bands 10 to 16).
		if (back.bands[3] != s.bands[3] || back.level != s.level || back.reserved[0] != s.reserved[0] ||
		    back.flags[1] != s.flags[1])
			++mismatches;
	}
	stop = true;
	audio.join ();
	EXPECT_EQ (mismatches, 0) << "of " << rounds << " rounds";
	EXPECT_EQ (nonFinite.load (), 0);

	// With the audio thread gone, the last state set is the current one.
	std::vector<uint8> bytes;
	ASSERT_EQ (p.getState (bytes), kResultOk);
	StateImage last;
	ASSERT_TRUE (StateImage::decode (bytes.data (), bytes.size (), last));
	EXPECT_EQ (last.reserved[0], rounds - 1);
}

using HostileThreads = BundleTest;

} // namespace

TEST_F (HostileThreads, StateSetAndReadWhileProcessing32)
{
	stateWhileProcessing<Sample32> (*bundle, kSample32);
}

TEST_F (HostileThreads, StateSetAndReadWhileProcessing64)
{
	stateWhileProcessing<Sample64> (*bundle, kSample64);
}
