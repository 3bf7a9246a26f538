// The edit rules of the editor's controls (see inputsequences.h) over a few thousand
// random input sequences, each from its own seed, so that a broken rule names the seed
// and the steps that broke it.
#include "fuzzsupport.h"
#include "inputsequences.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> broken;

// Enough for the knob, the switch and the thirty sliders to meet every kind of step many
// times over in a few seconds; PALVIS_INPUT_SEQUENCES asks for more.
uint32_t sequenceCount ()
{
	if (const char* text = std::getenv ("PALVIS_INPUT_SEQUENCES"))
	{
		long n = std::strtol (text, nullptr, 10);
		if (n > 0)
			return static_cast<uint32_t> (n);
	}
	return 3000;
}

} // namespace

void fuzz::reportBrokenProperty (const char* file, int line, const std::string& what)
{
	broken.push_back (std::string (file) + ":" + std::to_string (line) + ": " + what);
}

TEST (InputProperty, RandomSequencesKeepEveryEditBalanced)
{
	const uint32_t count = sequenceCount ();
	size_t steps = 0;
	fuzz::input::RunStats total;
	for (uint32_t seed = 1; seed <= count; ++seed)
	{
		std::mt19937 rng (seed);
		const auto sequence = fuzz::input::generate (rng);
		steps += sequence.steps.size ();
		broken.clear ();
		total += fuzz::input::run (sequence);
		if (!broken.empty ())
		{
			std::string report;
			for (auto& b : broken)
				report += b + "\n";
			FAIL () << "seed " << seed << " broke:\n" << report << "steps:\n" << fuzz::input::describe (sequence);
		}
	}
	// The sequences reach what they are meant to: not trivially short, with presses taken,
	// edits and values at the host, running ramps, closes during a press, and most of them
	// ending still, where the strict rules apply.
	EXPECT_GT (steps, count * 10u);
	EXPECT_GT (total.pressesTaken, count);
	EXPECT_GT (total.hostEdits, count);
	EXPECT_GT (total.hostValues, 2 * count);
	EXPECT_GT (total.rampTicks, count / 10);
	EXPECT_GT (total.closesUnderWay, count / 100);
	EXPECT_GT (total.stillChecks, count / 2);
	std::printf ("%u sequences, %zu steps: %zu presses taken, %zu edits and %zu values at the host, %zu clock "
	             "steps with a ramp running, %zu closes during a press, %zu still ends\n",
	             count, steps, total.pressesTaken, total.hostEdits, total.hostValues, total.rampTicks,
	             total.closesUnderWay, total.stillChecks);
}

TEST (InputProperty, ByteFormRoundTripsAndTheFuzzEntryRunsIt)
{
	for (uint32_t seed = 1; seed <= 200; ++seed)
	{
		std::mt19937 rng (seed);
		const auto sequence = fuzz::input::generate (rng, 120);
		const auto bytes = fuzz::input::encode (sequence);
		fuzz::Reader reader (bytes.data (), bytes.size ());
		ASSERT_EQ (fuzz::input::decode (reader), sequence) << "seed " << seed;
	}
	// Any bytes are a sequence, cut at the longest one.
	std::vector<uint8_t> noise (8000);
	std::mt19937 rng (7);
	for (auto& b : noise)
		b = static_cast<uint8_t> (rng ());
	fuzz::Reader reader (noise.data (), noise.size ());
	EXPECT_EQ (fuzz::input::decode (reader).steps.size (), fuzz::input::kMaxSteps);
	broken.clear ();
	fuzz::inputTarget (noise.data (), noise.size ());
	EXPECT_TRUE (broken.empty ()) << broken.front ();

	// With PALVIS_INPUT_CORPUS_OUT set, the generated sequences become seed inputs of the
	// fuzz target there.
	if (const char* dir = std::getenv ("PALVIS_INPUT_CORPUS_OUT"))
	{
		for (uint32_t seed = 1; seed <= 24; ++seed)
		{
			std::mt19937 g (seed);
			const auto bytes = fuzz::input::encode (fuzz::input::generate (g, 20 + seed * 4));
			std::ofstream out (std::string (dir) + "/seq-" + std::to_string (seed), std::ios::binary);
			out.write (reinterpret_cast<const char*> (bytes.data ()), static_cast<std::streamsize> (bytes.size ()));
		}
	}
}
