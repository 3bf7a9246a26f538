// State set and read on the main thread while the audio thread processes.
// Meant to run under ThreadSanitizer too (PALVIS_SANITIZE=thread); the checks
// on values hold in every build.
#include "processorfixture.h"

#include <atomic>
#include <thread>

using namespace PalvisTest;

namespace {

// Band 0 carries the round's number, so every state is told apart; bypass
// alternates so the audio thread can see which state it plays.
ParamState roundState (int round)
{
	ParamState s = defaultState ();
	s.bypass = (round % 2) == 1;
	s.bands[0] = 0.5 + round * 1e-6;
	s.bands[9] = 0.25 + (round % 7) * 0.1;
	s.reserved[0] = round;
	s.reservedFlags[2] = (round % 3) == 0;
	return s;
}

} // namespace

TEST (ProcessorThreads, StateCallsDuringProcessingAreSafeAndCurrent)
{
	ProcessorHandle p;
	activate (*p, 48000.0, 64);

	std::atomic<bool> stop {false};
	std::atomic<int64_t> blocksStarted {0};
	std::atomic<int64_t> blocksDone {0};
	std::atomic<bool> lastBlockBypassed {false};

	std::thread audio ([&] {
		StereoBlock<float> block (64);
		block.fillInput ();
		ParameterChanges changes;
		// IDs the processor ignores: each still makes it redesign the filters.
		changes.queue (17).add (0, 0.3);
		changes.queue (40).add (3, 0.6);
		int64_t n = 0;
		while (!stop.load ())
		{
			blocksStarted.store (n + 1);
			block.data.inputParameterChanges = (n % 2) ? &changes : nullptr;
			p->process (block.data);
			const bool bypassed = sameBits (block.output (0), block.input (0), 64) &&
			                      sameBits (block.output (1), block.input (1), 64);
			lastBlockBypassed.store (bypassed);
			blocksDone.store (n + 1);
			++n;
		}
	});

	const int kRounds = 300;
	int mismatches = 0, stale = 0;
	for (int round = 0; round < kRounds; ++round)
	{
		const ParamState s = roundState (round);
		ASSERT_EQ (loadState (*p, s), kResultOk);
		// getState right after setState: exactly what was set.
		if (stateOf (*p) != streamBytes (s))
			++mismatches;

		// A block that started after setState returned plays the new state.
		const int64_t startedBefore = blocksStarted.load ();
		while (blocksDone.load () <= startedBefore)
			std::this_thread::yield ();
		if (lastBlockBypassed.load () != s.bypass)
			++stale;
		// And the state read back once the audio thread has it is still the same.
		if (stateOf (*p) != streamBytes (s))
			++mismatches;
	}
	stop.store (true);
	audio.join ();

	EXPECT_EQ (mismatches, 0);
	EXPECT_EQ (stale, 0);
	EXPECT_GT (blocksDone.load (), kRounds);

	// After the audio thread has stopped, the processor holds the last state.
	EXPECT_TRUE (sameRecord (p->params, roundState (kRounds - 1)));
	ASSERT_EQ (p->setActive (false), kResultOk);
	EXPECT_EQ (stateOf (*p), streamBytes (roundState (kRounds - 1)));
}

TEST (ProcessorThreads, AutomationAndStateFromTwoThreads)
{
	// The audio thread moves the level by automation while the main thread
	// keeps loading states and reading them back. Whatever interleaving,
	// getState returns a record whose bands are those of the last state set
	// and whose level is that state's or one the automation sent.
	ProcessorHandle p;
	activate (*p, 44100.0, 32, kSample64);

	std::atomic<bool> stop {false};
	std::atomic<int64_t> blocksDone {0};
	std::thread audio ([&] {
		StereoBlock<double> block (32);
		block.fillInput ();
		ParameterChanges changes;
		int64_t n = 0;
		while (!stop.load ())
		{
			changes.clear ();
			changes.queue (kLevelId).add (0, (n % 2) ? 0.9 : 0.1);
			block.data.inputParameterChanges = &changes;
			p->process (block.data);
			blocksDone.store (++n);
		}
	});
	auto waitForBlocks = [&] (int64_t count) {
		const int64_t target = blocksDone.load () + count;
		while (blocksDone.load () < target)
			std::this_thread::yield ();
	};

	int bad = 0;
	for (int round = 0; round < 300; ++round)
	{
		ParamState s = roundState (round);
		s.bypass = false;
		s.level = 0.5;
		ASSERT_EQ (loadState (*p, s), kResultOk);
		for (int read = 0; read < 3; ++read)
		{
			ParamState back = defaultState ();
			MemoryStream stream (stateOf (*p));
			ASSERT_EQ (back.read (&stream), kResultOk);
			const bool bandsMatch = std::memcmp (back.bands, s.bands, sizeof (s.bands)) == 0;
			const bool levelKnown = back.level == 0.5 || back.level == 0.9 || back.level == 0.1;
			if (!bandsMatch || !levelKnown || back.reserved[0] != s.reserved[0])
				++bad;
		}
		// Keep the two threads interleaved however fast the rounds are.
		waitForBlocks (1);
	}
	// Two more blocks: the last state has certainly been taken, and automated.
	waitForBlocks (2);
	stop.store (true);
	audio.join ();
	EXPECT_EQ (bad, 0);
	EXPECT_TRUE (p->params.level == 0.9 || p->params.level == 0.1);
	EXPECT_EQ (p->params.bands[0], roundState (299).bands[0]);
}
