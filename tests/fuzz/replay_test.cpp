// Every input kept for the fuzz targets - the seed corpus and the inputs that
// once broke a property or crashed - replayed through the same entry
// functions as in the fuzz build, in every build of the tests.
#include "fuzzsupport.h"
#if PALVIS_REPLAY_INPUT
#include "inputsequences.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

namespace {

std::string currentInput;

std::vector<std::filesystem::path> inputsOf (const std::string& target)
{
	std::vector<std::filesystem::path> files;
	for (const char* root : {PALVIS_FUZZ_CORPUS_DIR, PALVIS_FUZZ_REGRESSION_DIR})
	{
		const std::filesystem::path dir = std::filesystem::path (root) / target;
		if (!std::filesystem::is_directory (dir))
			continue;
		for (auto& entry : std::filesystem::directory_iterator (dir))
			if (entry.is_regular_file ())
				files.push_back (entry.path ());
	}
	// The plug-in's own description is a seed of the description target.
	const std::filesystem::path own = std::filesystem::path (PALVIS_RESOURCE_DIR) / "plug.uidesc";
	if (target == "uidesc" && std::filesystem::is_regular_file (own))
		files.push_back (own);
	std::sort (files.begin (), files.end ());
	return files;
}

int replay (const std::string& target, int (*entry) (const uint8_t*, size_t))
{
	int count = 0;
	for (auto& file : inputsOf (target))
	{
		std::ifstream in (file, std::ios::binary);
		std::vector<uint8_t> bytes ((std::istreambuf_iterator<char> (in)), std::istreambuf_iterator<char> ());
		currentInput = file.string ();
		entry (bytes.data (), bytes.size ());
		++count;
	}
	currentInput.clear ();
	return count;
}

class FuzzReplay : public ::testing::Test
{
protected:
	static void SetUpTestSuite () { fuzz::prepareTargets (); }
};

} // namespace

void fuzz::reportBrokenProperty (const char* file, int line, const std::string& what)
{
	ADD_FAILURE_AT (file, line) << what << " (input " << currentInput << ")";
}

TEST_F (FuzzReplay, StateStreams)
{
	EXPECT_GT (replay ("state", fuzz::stateTarget), 0);
}

TEST_F (FuzzReplay, ProcessCallSequences)
{
	EXPECT_GT (replay ("process", fuzz::processTarget), 0);
}

TEST_F (FuzzReplay, UiDescriptions)
{
	EXPECT_GT (replay ("uidesc", fuzz::uidescTarget), 0);
}

#if PALVIS_REPLAY_INPUT
TEST_F (FuzzReplay, InputSequences)
{
	EXPECT_GT (replay ("input", fuzz::inputTarget), 0);
}
#endif

TEST_F (FuzzReplay, EditorEventLines)
{
	EXPECT_GT (replay ("events", fuzz::eventsTarget), 0);
}

// Event lines of seeded random words, most of them near the grammar: the parser's
// properties (events_target.cpp) for inputs of a reproducible generator, bounded.
TEST_F (FuzzReplay, RandomEditorEventLines)
{
	static const char* const words[] = {
	    "move",   "press",     "release", "click",  "cancel", "wheel",   "key",      "keydown",   "keyup",
	    "wait",   "set",       "state",   "screenshot", "snapshot", "close", "jump",  "#",         "# note",
	    "0",      "1",         "-1",      "80",     "300.5",  "1e6",     "1000001",  "-1e300",    "nan",
	    "inf",    "0x42",      "66",      "4294967295", "4294967296", "+7", "007",   "alt",       "shift+ctrl",
	    "left,right", "double", "apple+", "hyper",  "horizontal", "space", "escape", "a",         "\xc3\xa9",
	    "\xff",   "Level=0.5", "1kHz=dB:6", "x=plain:", "=1",  "Level=",  "file name.bin", "\t", "",
	};
	std::mt19937 random (20241209);
	std::string text;
	for (int line = 0; line < 20000; ++line)
	{
		const int count = static_cast<int> (random () % 7);
		// Most lines start with an event's word.
		text += words[random () % (random () % 4 ? 15 : std::size (words))];
		for (int i = 0; i < count; ++i)
			text += std::string (random () % 5 ? " " : "  ") + words[random () % std::size (words)];
		text += '\n';
	}
	fuzz::eventsTarget (reinterpret_cast<const uint8_t*> (text.data ()), text.size ());
}
