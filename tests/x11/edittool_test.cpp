// vst3host edit: the editor in a top-level window with the tool's own run loop, its
// screenshot against the offscreen snapshot of the same parameters, and input replayed
// through XTest as the host sees it.
#include "runprogram.h"
#include "tempdir.h"
#include "x11testsupport.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

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
	                                              "click 120 300 alt\n"
	                                              "wait 100\n"
	                                              "# two wheel steps down on the 63 Hz band\n"
	                                              "wheel 160 300 -2\n"
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
	run = runTool ("edit " + kBundle + " --event 'click 1 2 3 4'");
	EXPECT_EQ (run.status, 2) << run.output;
	// event files: a bad line, a missing file, a folder; all found before a window opens
	std::string events = dir.write ("bad.txt", "jump 1 2\n");
	run = runTool ("edit " + kBundle + " --seconds 2 --events " + events);
	EXPECT_EQ (run.status, 1) << run.output;
	EXPECT_NE (run.output.find (events + ":1: unknown event 'jump'"), std::string::npos) << run.output;
	EXPECT_EQ (run.output.find ("editor: "), std::string::npos) << run.output;
	run = runTool ("edit " + kBundle + " --seconds 2 --events " + dir.file ("missing.txt"));
	EXPECT_EQ (run.status, 1) << run.output;
	EXPECT_NE (run.output.find ("cannot read"), std::string::npos) << run.output;
	run = runTool ("edit " + kBundle + " --seconds 2 --events " + dir.path ());
	EXPECT_EQ (run.status, 1) << run.output;
	EXPECT_NE (run.output.find ("it is a folder, not a file"), std::string::npos) << run.output;
	EXPECT_EQ (run.output.find ("editor: "), std::string::npos) << run.output;
	// a failure while the editor is open closes it the usual way
	run = runTool ("edit " + kBundle + " --seconds 2 --event 'screenshot " + dir.file ("no/such/folder.png") + "'");
	EXPECT_EQ (run.status, 1) << run.output;
	EXPECT_NE (run.output.find ("cannot write"), std::string::npos) << run.output;
	EXPECT_NE (run.output.find ("0 file descriptor(s) and 0 timer(s) left registered"), std::string::npos);
	run = runTool ("edit " + kBundle + " --seconds 1", "env -u DISPLAY");
	EXPECT_EQ (run.status, 1) << run.output;
	EXPECT_NE (run.output.find ("cannot open the X display"), std::string::npos) << run.output;
}

TEST_F (EditTool, WhatTheRunsEndCutOffIsReported)
{
	// The screenshot would be due after the run: none is written, and the tool says so.
	const std::string png = dir.file ("e.png");
	ToolRun run = runTool ("edit " + kBundle + " --screenshot " + png + " --after 5000 --seconds 1");
	EXPECT_EQ (run.status, 0) << run.output;
	EXPECT_NE (run.output.find ("vst3host edit: warning: the run ended after "), std::string::npos) << run.output;
	EXPECT_NE (run.output.find ("(--seconds 1 ran out), before the screenshot due at --after 5000 ms: '" + png +
	                            "' was not written"),
	           std::string::npos)
	    << run.output;
	EXPECT_NE (access (png.c_str (), F_OK), 0);
	// Events after the end: the ones that ran are listed, the rest is counted.
	run = runTool ("edit " + kBundle + " --seconds 0.5 --event 'wait 100' --event 'click 80 222' --event 'wait 5000' "
	               "--event 'click 120 300' --event 'screenshot " + png + "'");
	EXPECT_EQ (run.status, 0) << run.output;
	EXPECT_NE (run.output.find ("> click 80 222\n"), std::string::npos) << run.output;
	EXPECT_EQ (run.output.find ("> click 120 300"), std::string::npos) << run.output;
	EXPECT_NE (run.output.find ("(--seconds 0.5 ran out); 2 event line(s) did not run, from 'click 120 300' on"),
	           std::string::npos)
	    << run.output;
	EXPECT_NE (access (png.c_str (), F_OK), 0);
	// A close event ends the run too.
	run = runTool ("edit " + kBundle + " --seconds 5 --event close --event 'click 1 1'");
	EXPECT_EQ (run.status, 0) << run.output;
	EXPECT_NE (run.output.find ("(the events closed the editor); 1 event line(s) did not run, from 'click 1 1' on"),
	           std::string::npos)
	    << run.output;
	// When everything ran, nothing is said.
	run = runTool ("edit " + kBundle + " --seconds 1 --screenshot " + png + " --after 100 --event 'wait 200'");
	EXPECT_EQ (run.status, 0) << run.output;
	EXPECT_EQ (run.output.find ("warning"), std::string::npos) << run.output;
	EXPECT_EQ (access (png.c_str (), F_OK), 0);
}

// The host's events of the shared grammar, with real input around them.
TEST_F (EditTool, HostEventsAndACancelledDrag)
{
	ToolRun saved = runTool ("state-save " + kBundle + " " + dir.file ("s.bin") + " Level=0.25 16kHz=1");
	ASSERT_EQ (saved.status, 0) << saved.output;
	std::string events = dir.write ("events.txt", "wait 300\n"
	                                              "# a drag on the 25 Hz band, given up half-way\n"
	                                              "press 80 222\n"
	                                              "wait 50\n"
	                                              "move 80 160\n"
	                                              "wait 50\n"
	                                              "cancel\n"
	                                              "wait 100\n"
	                                              "set 1kHz=dB:-6\n"
	                                              "state " + dir.file ("s.bin") + "\n"
	                                              "set 40Hz=1\n"
	                                              "wait 100\n");
	ToolRun run = runTool ("edit " + kBundle + " --seconds 10 --events " + events + " --event close");
	ASSERT_EQ (run.status, 0) << run.output;
	auto edits = editsOf (run.output);
	ASSERT_GE (edits.size (), 3u) << run.output;
	EXPECT_EQ (edits.front ().kind, "beginEdit");
	EXPECT_EQ (edits.front ().id, 2u);
	EXPECT_EQ (edits.back ().kind, "endEdit");
	EXPECT_EQ (edits.back ().id, 2u);
	// the cancel put the band back where it was
	EXPECT_EQ (finalValue (run.output, 2), 0.5) << run.output;
	EXPECT_NE (run.output.find ("> set 1kHz=dB:-6: 1kHz -6.00 dB\n"), std::string::npos) << run.output;
	EXPECT_NE (run.output.find ("> state " + dir.file ("s.bin") + ": kResultOk\n"), std::string::npos) << run.output;
	EXPECT_EQ (finalValue (run.output, 1), 0.25);
	EXPECT_EQ (finalValue (run.output, 10), 0.5); // the state's value, not the set before it
	EXPECT_EQ (finalValue (run.output, 16), 1.);
	EXPECT_EQ (finalValue (run.output, 3), 1.);
}

//------------------------------------------------------------------------
// The tool running in the background, its standard output read as it comes.
class BackgroundTool
{
public:
	BackgroundTool (const std::vector<std::string>& args, const std::string& errorPath)
	{
		int fds[2];
		if (pipe (fds) != 0)
			return;
		posix_spawn_file_actions_t actions;
		posix_spawn_file_actions_init (&actions);
		posix_spawn_file_actions_adddup2 (&actions, fds[1], 1);
		posix_spawn_file_actions_addclose (&actions, fds[0]);
		posix_spawn_file_actions_addopen (&actions, 2, errorPath.c_str (), O_WRONLY | O_CREAT | O_TRUNC, 0644);
		pid = PalvisTest::spawnProgram (VST3HOST_PATH, args, &actions, environ);
		posix_spawn_file_actions_destroy (&actions);
		close (fds[1]);
		out = fds[0];
	}
	~BackgroundTool ()
	{
		if (pid > 0)
		{
			kill (pid, SIGKILL);
			waitpid (pid, nullptr, 0);
		}
		if (out >= 0)
			close (out);
	}

	/** Reads until a line starts with prefix; that line, or "" at the end of the output
	 *  or after timeoutMs (a watchdog: the line comes within a second or two). */
	std::string waitForLine (const std::string& prefix, int timeoutMs)
	{
		auto deadline = std::chrono::steady_clock::now () + std::chrono::milliseconds (timeoutMs);
		size_t lineStart = 0;
		while (true)
		{
			size_t end;
			while ((end = output.find ('\n', lineStart)) != std::string::npos)
			{
				std::string line = output.substr (lineStart, end - lineStart);
				lineStart = end + 1;
				if (line.compare (0, prefix.size (), prefix) == 0)
					return line;
			}
			auto left = std::chrono::duration_cast<std::chrono::milliseconds> (deadline - std::chrono::steady_clock::now ());
			pollfd p {out, POLLIN, 0};
			if (left.count () <= 0 || poll (&p, 1, static_cast<int> (left.count ())) <= 0 || !readSome ())
				return {};
		}
	}

	/** Waits for the end (killed after timeoutMs); the exit status and the whole output. */
	ToolRun finish (int timeoutMs)
	{
		auto deadline = std::chrono::steady_clock::now () + std::chrono::milliseconds (timeoutMs);
		while (true)
		{
			auto left = std::chrono::duration_cast<std::chrono::milliseconds> (deadline - std::chrono::steady_clock::now ());
			pollfd p {out, POLLIN, 0};
			if (left.count () <= 0 || poll (&p, 1, static_cast<int> (left.count ())) <= 0 || !readSome ())
				break;
		}
		ToolRun run;
		int status = 0;
		if (waitpid (pid, &status, WNOHANG) != pid)
		{
			kill (pid, SIGKILL);
			waitpid (pid, &status, 0);
		}
		pid = -1;
		run.status = WIFEXITED (status) ? WEXITSTATUS (status) : -1;
		run.output = output;
		return run;
	}

private:
	bool readSome ()
	{
		char buffer[4096];
		ssize_t n = read (out, buffer, sizeof (buffer));
		if (n <= 0)
			return false;
		output.append (buffer, static_cast<size_t> (n));
		return true;
	}

	pid_t pid {-1};
	int out {-1};
	std::string output;
};

TEST_F (EditTool, AWindowDestroyedBySomeoneElseIsAClose)
{
	const std::string png = dir.file ("late.png");
	const std::string events = dir.write ("events.txt", "wait 15000\nclick 80 222\n");
	BackgroundTool tool ({"edit", PALVIS_BUNDLE_DIR, "--seconds", "30", "--screenshot", png, "--after", "20000",
	                      "--events", events, "Level=0.25"},
	                     dir.file ("stderr"));
	std::string attached = tool.waitForLine ("attached to window 0x", 20000);
	ASSERT_FALSE (attached.empty ());
	const unsigned long xid = std::stoul (attached.substr (std::strlen ("attached to window ")), nullptr, 16);
	// Another program closes the window the hard way: it destroys it.
	{
		Display* other = XOpenDisplay (nullptr);
		ASSERT_NE (other, nullptr);
		XDestroyWindow (other, xid);
		XSync (other, False);
		XCloseDisplay (other);
	}
	ToolRun run = tool.finish (20000);
	const std::string errors = PalvisTest::readTextFile (dir.file ("stderr"));
	EXPECT_EQ (run.status, 0) << run.output << errors;
	EXPECT_EQ (errors.find ("X Error"), std::string::npos) << errors;
	EXPECT_EQ (errors.find ("BadWindow"), std::string::npos) << errors;
	EXPECT_NE (run.output.find ("the window was destroyed: the editor closes\n"), std::string::npos) << run.output;
	EXPECT_NE (run.output.find ("closed: removed() kResultOk; 0 file descriptor(s) and 0 timer(s) left registered"),
	           std::string::npos)
	    << run.output;
	EXPECT_EQ (finalValue (run.output, 1), 0.25) << run.output;
	EXPECT_NE (run.output.find ("param 16 \"16kHz\""), std::string::npos) << run.output;
	// what the end cut off is reported, as for any end of the run
	EXPECT_NE (errors.find ("(the window was destroyed), before the screenshot due at --after 20000 ms"), std::string::npos)
	    << errors;
	EXPECT_NE (errors.find ("1 event line(s) did not run, from 'click 80 222' on"), std::string::npos) << errors;
}

} // namespace
