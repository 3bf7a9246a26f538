// Every input kept for the fuzz targets - the seed corpus and the inputs that
// once broke a property or crashed - replayed through the same entry
// functions as in the fuzz build, in every build of the tests.
#include "fuzzsupport.h"
#if PALVIS_REPLAY_INPUT
#include "inputsequences.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <map>
#include <set>
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

// The seeds reach the drawing of every kind of control the description can make,
// and the seeds of extreme values draw the kinds they are about.
TEST_F (FuzzReplay, UiDescriptionSeedsDrawEveryControlKind)
{
	const std::map<std::string, std::set<std::string>> extremes {
	    {"extremes-slider.uidesc", {"CSlider"}},
	    {"extremes-knob.uidesc", {"CKnob"}},
	    {"extremes-text.uidesc", {"CParamDisplay", "CTextLabel"}},
	    {"extremes-switches.uidesc", {"COnOffButton", "CVerticalSwitch", "CHorizontalSwitch"}},
	    {"extremes-geometry.uidesc",
	     {"CSlider", "CKnob", "CTextLabel", "CParamDisplay", "COnOffButton", "CVerticalSwitch", "CHorizontalSwitch"}}};
	std::set<std::string> drawn;
	for (auto& file : inputsOf ("uidesc"))
	{
		std::ifstream in (file, std::ios::binary);
		std::vector<uint8_t> bytes ((std::istreambuf_iterator<char> (in)), std::istreambuf_iterator<char> ());
		currentInput = file.string ();
		fuzz::uidescTarget (bytes.data (), bytes.size ());
		const auto& kinds = fuzz::uidescDrawnKinds ();
		drawn.insert (kinds.begin (), kinds.end ());
		auto expected = extremes.find (file.filename ().string ());
		if (expected != extremes.end ())
		{
			for (const auto& kind : expected->second)
				EXPECT_TRUE (kinds.count (kind)) << file << " does not draw a " << kind;
		}
	}
	currentInput.clear ();
	for (const char* kind : {"CSlider", "CKnob", "CParamDisplay", "CTextLabel", "COnOffButton", "CVerticalSwitch",
	                         "CHorizontalSwitch"})
		EXPECT_TRUE (drawn.count (kind)) << kind << " is never drawn";
}

// libFuzzer refuses a dictionary with a line it cannot read (and the run with it):
// every line is blank, a comment, or name="text" with only \\, \" and \xHH escapes.
TEST (FuzzDictionary, EveryLineOfTheDescriptionDictionaryReads)
{
	std::ifstream in (std::filesystem::path (PALVIS_FUZZ_CORPUS_DIR) / ".." / "uidesc.dict");
	ASSERT_TRUE (in);
	std::string line;
	int entries = 0;
	for (int number = 1; std::getline (in, line); ++number)
	{
		if (line.empty () || line[0] == '#')
			continue;
		const auto open = line.find ('"');
		ASSERT_NE (open, std::string::npos) << "line " << number << ": " << line;
		ASSERT_EQ (line.back (), '"') << "line " << number << ": " << line;
		ASSERT_GT (line.size (), open + 1) << "line " << number << ": " << line;
		for (size_t i = open + 1; i + 1 < line.size (); ++i)
		{
			if (line[i] == '"')
				ADD_FAILURE () << "line " << number << ": unescaped quote: " << line;
			if (line[i] != '\\')
				continue;
			const char next = line[++i];
			if (next == 'x')
			{
				EXPECT_TRUE (i + 2 < line.size () && std::isxdigit (static_cast<unsigned char> (line[i + 1])) &&
				             std::isxdigit (static_cast<unsigned char> (line[i + 2])))
				    << "line " << number << ": " << line;
				i += 2;
			}
			else
				EXPECT_TRUE (next == '\\' || next == '"') << "line " << number << ": " << line;
		}
		++entries;
	}
	EXPECT_GT (entries, 200);
}
