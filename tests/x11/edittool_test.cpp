// vst3host edit: the editor in a top-level window with the tool's own run loop, its
// screenshot against the offscreen snapshot of the same parameters, and input replayed
// through XTest as the host sees it.
#include "tempdir.h"
#include "x11testsupport.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <regex>
#include <string>
#include <vector>

namespace {

struct ToolRun
{
	int status {-1};
	std::string output;
};

std::string shellQuote (const std::string& s)
{
	std::string out = "'";
	for (char c : s)
		out += c == '\'' ? std::string ("'\\''") : std::string (1, c);
	return out + "'";
}

ToolRun runTool (const std::string& arguments, const std::string& environment = {})
{
	ToolRun run;
	std::string command = environment + " " + shellQuote (VST3HOST_PATH) + " " + arguments + " 2>&1";
	FILE* pipe = popen (command.c_str (), "r");
	if (!pipe)
		return run;
	char buffer[4096];
	size_t n;
	while ((n = std::fread (buffer, 1, sizeof (buffer), pipe)) > 0)
		run.output.append (buffer, n);
	int status = pclose (pipe);
	run.status = WIFEXITED (status) ? WEXITSTATUS (status) : -1;
	return run;
}

const std::string kBundle = shellQuote (PALVIS_BUNDLE_DIR);

using PalvisTest::TempDir;

struct Edit
{
	std::string kind;
	unsigned id;
	double value;
	long at;
};

std::vector<Edit> editsOf (const std::string& output)
{
	std::vector<Edit> edits;
	std::regex line (R"(^  (beginEdit|performEdit|endEdit) (\d+)(?: (\S+))? \(at (\d+) ms\)$)");
	std::istringstream in (output);
	std::string text;
	while (std::getline (in, text))
	{
		std::smatch m;
		if (std::regex_match (text, m, line))
			edits.push_back ({m[1], static_cast<unsigned> (std::stoul (m[2])), m[3].matched ? std::stod (m[3]) : 0.,
			                  std::stol (m[4])});
	}
	return edits;
}

double finalValue (const std::string& output, unsigned id)
{
	std::regex line ("^param " + std::to_string (id) + R"( "[^"]*" (\S+) .*$)");
	std::istringstream in (output);
	std::string text;
	while (std::getline (in, text))
	{
		std::smatch m;
		if (std::regex_match (text, m, line))
			return std::stod (m[1]);
	}
	return -1;
}

class EditTool : public ::testing::Test
{
protected:
	void SetUp () override
	{
		if (!x11test::displayAvailable ())
			GTEST_SKIP () << "no X display";
	}
	TempDir dir;
};

TEST_F (EditTool, TheScreenshotIsTheOffscreenSnapshotOfTheSameParameters)
{
	const std::string params = " 25Hz=0.8 Level=0.3 6.3kHz=0.1";
	ToolRun edit = runTool ("edit " + kBundle + " --seconds 1.2 --screenshot " + dir.file ("window.png") + " --after 600" +
	                    params);
	ASSERT_EQ (edit.status, 0) << edit.output;
	EXPECT_NE (edit.output.find ("editor: 860 x 450, fixed size"), std::string::npos) << edit.output;
	EXPECT_NE (edit.output.find ("closed: removed() kResultOk; 0 file descriptor(s) and 0 timer(s) left registered"),
	           std::string::npos)
	    << edit.output;
	ToolRun snapshot = runTool ("snapshot " + kBundle + " " + dir.file ("offscreen.png") + params);
	ASSERT_EQ (snapshot.status, 0) << snapshot.output;

	x11test::Image window = x11test::readPNG (dir.file ("window.png"));
	x11test::Image offscreen = x11test::readPNG (dir.file ("offscreen.png"));
	ASSERT_EQ (window.width, 860);
	ASSERT_EQ (window.height, 450);
	EXPECT_GT (window.colourCount (), 100u);
	int difference = x11test::maxChannelDifference (window, offscreen);
	std::printf ("vst3host edit screenshot vs vst3host snapshot: max channel difference %d, %zu pixels differ\n",
	             difference, x11test::differingPixels (window, offscreen));
	EXPECT_EQ (difference, 0);
}

TEST_F (EditTool, ReplayedInputReachesTheHostAsEdits)
{
	std::string events = dir.write ("events.txt", "# drag the 25 Hz band up\n"
	                                              "wait 300\n"
	                                              "move 80 222\n"
	                                              "press\n"
	                                              "wait 50\n"
	                                              "move 80 160\n"
	                                              "wait 50\n"
	                                              "release\n"
	                                              "wait 100\n"
	                                              "# Option-click the 40 Hz band, set high first by the command line\n"
	                                              "keydown Alt_L\n"
	                                              "click 120 300\n"
	                                              "keyup Alt_L\n"
	                                              "wait 100\n"
	                                              "# two wheel steps down on the 63 Hz band\n"
	                                              "wheel 160 300 down 2\n"
	                                              "wait 900\n"
	                                              "close\n");
	ToolRun run = runTool ("edit " + kBundle + " --seconds 10 --events " + events + " 40Hz=0.9");
	ASSERT_EQ (run.status, 0) << run.output;
	auto edits = editsOf (run.output);
	std::vector<Edit> band2, band3, band4;
	for (auto& e : edits)
		(e.id == 2 ? band2 : e.id == 3 ? band3 : band4).push_back (e);
	ASSERT_GE (band2.size (), 3u) << run.output;
	EXPECT_EQ (band2.front ().kind, "beginEdit");
	EXPECT_EQ (band2.back ().kind, "endEdit");
	EXPECT_GT (finalValue (run.output, 2), 0.6);
	ASSERT_EQ (band3.size (), 3u) << run.output;
	EXPECT_EQ (band3[1].kind, "performEdit");
	EXPECT_EQ (band3[1].value, 0.5);
	EXPECT_EQ (finalValue (run.output, 3), 0.5);
	ASSERT_EQ (band4.size (), 4u) << run.output;
	EXPECT_EQ (band4.front ().kind, "beginEdit");
	EXPECT_EQ (band4.back ().kind, "endEdit");
	EXPECT_NEAR (finalValue (run.output, 4), 0.3, 1e-6);
	long wheelEnd = band4.back ().at - band4[2].at;
	std::printf ("vst3host edit: the wheel edit ended %ld ms after its last value\n", wheelEnd);
	EXPECT_GE (wheelEnd, 450);
	EXPECT_LE (wheelEnd, 1500); // generous: the machine may be busy
	// "close" ends the run long before --seconds
	EXPECT_NE (run.output.find ("0 file descriptor(s) and 0 timer(s) left registered"), std::string::npos);
}

TEST_F (EditTool, BadUseAndNoDisplayAreClearFailures)
{
	ToolRun run = runTool ("edit " + kBundle + " --after 100");
	EXPECT_EQ (run.status, 2) << run.output;
	run = runTool ("edit");
	EXPECT_EQ (run.status, 2) << run.output;
	std::string events = dir.write ("bad.txt", "jump 1 2\n");
	run = runTool ("edit " + kBundle + " --seconds 2 --events " + events);
	EXPECT_EQ (run.status, 1) << run.output;
	EXPECT_NE (run.output.find ("unknown event 'jump'"), std::string::npos) << run.output;
	EXPECT_NE (run.output.find ("0 file descriptor(s) and 0 timer(s) left registered"), std::string::npos);
	run = runTool ("edit " + kBundle + " --seconds 1", "env -u DISPLAY");
	EXPECT_EQ (run.status, 1) << run.output;
	EXPECT_NE (run.output.find ("cannot open the X display"), std::string::npos) << run.output;
}

} // namespace
