// The vst3host program, run as a separate process on the built bundle.

#include "hostlib/audiofile.h"
#include "hostlib/render.h"

#include "test_support.h"

#include "runprogram.h"

#include <sndfile.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace testsupport;

using PalvisTest::RunResult;

RunResult runTool (const std::vector<std::string>& args)
{
	return PalvisTest::runProgram (VST3HOST_PATH, args);
}

bool contains (const std::string& text, const std::string& part)
{
	return text.find (part) != std::string::npos;
}

#define EXPECT_CONTAINS(text, part) EXPECT_TRUE (contains (text, part)) << "missing: " << (part) << "\nin:\n" << (text)

namespace fs = std::filesystem;

std::string fileText (const std::string& path)
{
	return PalvisTest::readTextFile (path);
}

void writeInput (const std::string& path, const vsthost::AudioBuffer& buffer)
{
	std::string error;
	ASSERT_TRUE (vsthost::writeWavFile (path, buffer, vsthost::SampleFormat::Float32, error)) << error;
}

int fileSubFormat (const std::string& path)
{
	SF_INFO info {};
	SNDFILE* file = sf_open (path.c_str (), SFM_READ, &info);
	if (!file)
		return -1;
	sf_close (file);
	return info.format;
}

TEST (Vst3HostTool, InfoListsFactoryClassesBusesAndParameters)
{
	RunResult run = runTool ({"info", bundlePath ()});
	ASSERT_EQ (run.exitCode, 0) << run.err;
	const std::string& out = run.out;
	EXPECT_CONTAINS (out, "  vendor: \"VARDEL Soft\"\n");
	EXPECT_CONTAINS (out, "  flags: 16 (0x10: kUnicode)\n");
	EXPECT_CONTAINS (out, "  email: \"mailto:");
	EXPECT_CONTAINS (out, "  classes: 2\n");
	EXPECT_CONTAINS (out, "    name: \"vd Palvis\"\n");
	EXPECT_CONTAINS (out, "    name: \"vd Palvis Controller\"\n");
	EXPECT_CONTAINS (out, "    category: \"Audio Module Class\"\n");
	EXPECT_CONTAINS (out, "    category: \"Component Controller Class\"\n");
	EXPECT_CONTAINS (out, "    cardinality: 2147483647 (kManyInstances)\n");
	EXPECT_CONTAINS (out, "    classFlags: 1 (0x1: kDistributable)\n");
	EXPECT_CONTAINS (out, "    classFlags: 0 (0x0)\n");
	EXPECT_CONTAINS (out, "    subCategories: \"Fx|EQ\"\n");
	EXPECT_CONTAINS (out, "    version: \"2.1.0.1\"\n");
	EXPECT_CONTAINS (out, "    sdkVersion: \"VST 3.7.3\"\n");
	EXPECT_CONTAINS (out, "  IPluginFactory3 (unicode):\n");
	EXPECT_CONTAINS (out, "connection points: connected\n");
	EXPECT_CONTAINS (out, "    input bus 0: name \"AudioInput\", channels 2, type main (0), flags 1 (0x1: kDefaultActive), "
	                      "arrangement 0x3\n");
	EXPECT_CONTAINS (out, "    output bus 0: name \"AudioOutput\", channels 2, type main (0), flags 1 (0x1: kDefaultActive), "
	                      "arrangement 0x3\n");
	EXPECT_CONTAINS (out, "  latency: 0 samples\n");
	EXPECT_CONTAINS (out, "  tail: 0 samples\n");
	EXPECT_CONTAINS (out, "  sample sizes: 32-bit yes, 64-bit yes\n");
	EXPECT_CONTAINS (out, "parameters: 17\n");
	EXPECT_CONTAINS (out, "  id=0 title=\"Bypass\" short=\"\" units=\"\" flags=0x10001 (kCanAutomate|kIsBypass) steps=1 "
	                      "default=0 unit=0 display=\"Off\"\n");
	EXPECT_CONTAINS (out, "  id=1 title=\"Level\" short=\"\" units=\"dB\" flags=0x1 (kCanAutomate) steps=0 default=0.75 "
	                      "unit=0 display=\"0.00 dB\"\n");
	for (int band = 0; band < 15; ++band)
		EXPECT_CONTAINS (out, "  id=" + std::to_string (band + 2) + " title=\"" + kBandTitles[band] +
		                          "\" short=\"\" units=\"dB\" flags=0x1 (kCanAutomate) steps=0 default=0.5 unit=0 "
		                          "display=\"0.00 dB\"\n");
}

TEST (Vst3HostTool, ReportsBadUsageAndBadBundles)
{
	RunResult run = runTool ({});
	EXPECT_EQ (run.exitCode, 2);
	EXPECT_CONTAINS (run.err, "usage: vst3host COMMAND");

	run = runTool ({"frobnicate"});
	EXPECT_EQ (run.exitCode, 2);
	EXPECT_CONTAINS (run.err, "unknown command 'frobnicate'");

	run = runTool ({"info"});
	EXPECT_EQ (run.exitCode, 2);
	EXPECT_CONTAINS (run.err, "usage: vst3host info BUNDLE");

	run = runTool ({"info", "/nonexistent/Thing.vst3"});
	EXPECT_EQ (run.exitCode, 1);
	EXPECT_CONTAINS (run.err, "does not exist");

	run = runTool ({"info", fakeBundlePath ("no_exit")});
	EXPECT_EQ (run.exitCode, 1);
	EXPECT_CONTAINS (run.err, "'ModuleExit'");

	run = runTool ({"help", "render"});
	EXPECT_EQ (run.exitCode, 0);
	EXPECT_CONTAINS (run.out, "--state-in FILE");
}

TEST (Vst3HostTool, EveryCommandAnswersHelpAndEveryUsageErrorExitsTwo)
{
	TempDir temp;
	const std::string png = temp.file ("x.png");
	for (const char* command : {"info", "render", "state-save", "state-load", "snapshot", "edit", "help"})
	{
		for (const char* flag : {"--help", "-h"})
		{
			SCOPED_TRACE (std::string (command) + " " + flag);
			RunResult run = runTool ({command, flag});
			EXPECT_EQ (run.exitCode, 0) << run.err;
			EXPECT_CONTAINS (run.out, std::string ("usage: vst3host ") + command + " ");
			EXPECT_EQ (run.err, "");
		}
	}
	// --help wins wherever it stands, before anything is read or loaded
	RunResult run = runTool ({"render", "/nonexistent.vst3", "a.wav", "b.wav", "--block", "0", "--help"});
	EXPECT_EQ (run.exitCode, 0) << run.err;
	EXPECT_CONTAINS (run.out, "usage: vst3host render BUNDLE");
	run = runTool ({"snapshot", "--help"});
	EXPECT_CONTAINS (run.out, "EVENT (snapshot, edit;");
	EXPECT_CONTAINS (run.out, "wheel X Y STEPS [MODS] [horizontal]");

	// A malformed PARAM=VALUE is bad usage in every command that takes one, found before
	// the bundle is even looked at.
	struct Case
	{
		std::vector<std::string> args;
		const char* message;
	} cases[] = {
	    {{"render", "/nonexistent.vst3", "in.wav", "out.wav", "Level"}, "not of the form PARAM=VALUE"},
	    {{"render", "/nonexistent.vst3", "in.wav", "out.wav", "=0.5"}, "not of the form PARAM=VALUE"},
	    {{"state-save", "/nonexistent.vst3", "s.bin", "Level=plain:"}, "'' in 'Level=plain:' is not a number"},
	    {{"state-save", "/nonexistent.vst3", "s.bin", "Level=plain:x"}, "'x' in 'Level=plain:x' is not a number"},
	    {{"snapshot", "/nonexistent.vst3", png, "Level=dB:inf"}, "is not a number"},
	    {{"edit", "/nonexistent.vst3", "Level=0.5x"}, "is not a number"},
	    {{"snapshot", "/nonexistent.vst3", png, "--event", "click 1 2 hyper"}, "unknown button or modifier 'hyper'"},
	    {{"edit", "/nonexistent.vst3", "--event", "jump"}, "unknown event 'jump'"},
	    {{"info", "/nonexistent.vst3", "extra"}, "expected exactly one bundle path"},
	    {{"state-load", "/nonexistent.vst3"}, "expected BUNDLE IN.bin"},
	    {{"edit", "/nonexistent.vst3", "--seconds", "soon"}, "--seconds needs"},
	    {{"help", "frobnicate"}, "unknown command 'frobnicate'"},
	};
	for (auto& c : cases)
	{
		SCOPED_TRACE (c.message);
		run = runTool (c.args);
		EXPECT_EQ (run.exitCode, 2) << run.err;
		EXPECT_CONTAINS (run.err, c.message);
		EXPECT_CONTAINS (run.err, "usage: vst3host " + c.args[0]);
	}
}

TEST (Vst3HostTool, RenderAppliesParametersByTitleIdAndPlainValue)
{
	TempDir temp;
	const vsthost::AudioBuffer mono = makeSine (1000.0, 48000.0, 2.0, 0.2, 1);
	std::string error;
	ASSERT_TRUE (vsthost::writeWavFile (temp.file ("in.wav"), mono, vsthost::SampleFormat::Float32, error)) << error;

	for (const char* text : {"1kHz=dB:12", "1khz=1", "10=1", "10=plain:12"})
	{
		SCOPED_TRACE (text);
		RunResult run = runTool ({"render", bundlePath (), temp.file ("in.wav"), temp.file ("out.wav"), "--block", "300",
		                          "--rate", "48000", text});
		ASSERT_EQ (run.exitCode, 0) << run.err;
		EXPECT_CONTAINS (run.out, "set: id=10 title=\"1kHz\" value=1 display=\"12.00 dB\"\n");
		EXPECT_CONTAINS (run.out, "rendered: frames=96000 rate=48000 channels-in=1 channels-out=2 block=300 "
		                          "processing=32-bit output=32-bit-float\n");
		vsthost::AudioBuffer output;
		ASSERT_TRUE (vsthost::readAudioFile (temp.file ("out.wav"), output, error)) << error;
		ASSERT_EQ (output.channelCount (), 2u);
		ASSERT_EQ (output.frames (), mono.frames ());
		EXPECT_EQ (output.sampleRate, 48000.0);
		EXPECT_EQ (fileSubFormat (temp.file ("out.wav")), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
		const size_t begin = output.frames () / 2;
		double gain = rms (output.channels[1], begin, output.frames ()) / rms (mono.channels[0], begin, mono.frames ());
		EXPECT_NEAR (gain, 3.9810717055349722, 3.9810717055349722 * 2e-4);
	}
}

TEST (Vst3HostTool, RenderDoublePrecisionAndStateFiles)
{
	TempDir temp;
	const vsthost::AudioBuffer input = makeNoise (44100.0, 4410, 0.5, 11);
	std::string error;
	ASSERT_TRUE (vsthost::writeWavFile (temp.file ("in.wav"), input, vsthost::SampleFormat::Float32, error)) << error;

	// Save the state of a render with bypass on and a few bands set.
	RunResult run = runTool ({"render", bundlePath (), temp.file ("in.wav"), temp.file ("a.wav"), "--double",
	                          "--out-double", "--state-out", temp.file ("state.bin"), "Bypass=1", "Level=plain:-6",
	                          "25Hz=0.25"});
	ASSERT_EQ (run.exitCode, 0) << run.err;
	EXPECT_CONTAINS (run.out, "processing=64-bit output=64-bit-float");
	EXPECT_EQ (fileSubFormat (temp.file ("a.wav")), SF_FORMAT_WAV | SF_FORMAT_DOUBLE);
	vsthost::AudioBuffer output;
	ASSERT_TRUE (vsthost::readAudioFile (temp.file ("a.wav"), output, error)) << error;
	EXPECT_EQ (output.channels, input.channels); // bypassed

	std::vector<unsigned char> state;
	ASSERT_TRUE (vsthost::readBinaryFile (temp.file ("state.bin"), state, error)) << error;
	StateValues expected;
	expected.bypass = 1;
	expected.level = 0.625; // -6 dB on -36..12
	expected.bands[0] = 0.25;
	EXPECT_EQ (state, encodeState (expected));

	// The saved state, loaded into a new render, bypasses again.
	run = runTool ({"render", bundlePath (), temp.file ("in.wav"), temp.file ("b.wav"), "--state-in", temp.file ("state.bin")});
	ASSERT_EQ (run.exitCode, 0) << run.err;
	ASSERT_TRUE (vsthost::readAudioFile (temp.file ("b.wav"), output, error)) << error;
	EXPECT_EQ (output.channels, input.channels);

	// ... and a parameter given after it overrides it.
	run = runTool ({"render", bundlePath (), temp.file ("in.wav"), temp.file ("c.wav"), "--state-in", temp.file ("state.bin"),
	                "Bypass=0"});
	ASSERT_EQ (run.exitCode, 0) << run.err;
	ASSERT_TRUE (vsthost::readAudioFile (temp.file ("c.wav"), output, error)) << error;
	EXPECT_NE (output.channels, input.channels);
}

TEST (Vst3HostTool, RenderRefusesBadArguments)
{
	TempDir temp;
	const vsthost::AudioBuffer input = makeSine (440.0, 44100.0, 0.1, 0.2, 2);
	std::string error;
	ASSERT_TRUE (vsthost::writeWavFile (temp.file ("in.wav"), input, vsthost::SampleFormat::Float32, error)) << error;
	const std::string in = temp.file ("in.wav");
	const std::string out = temp.file ("out.wav");

	struct Case
	{
		std::vector<std::string> args;
		int exitCode;
		const char* message;
	} cases[] = {
	    {{"render", bundlePath (), in, out, "--rate", "48000"}, 1, "not 48000 Hz"},
	    {{"render", bundlePath (), in, out, "Volume=0.5"}, 1,
	     "no parameter with ID or title 'Volume'; the parameters are: 0 \"Bypass\", 1 \"Level\", 2 \"25Hz\", 3 \"40Hz\","},
	    {{"render", bundlePath (), in, out, "Level=1.5"}, 1, "1.5 is outside the normalised range 0 to 1"},
	    {{"render", bundlePath (), in, out, "Level=plain:20"}, 1,
	     "'Level=plain:20': 20 dB is outside the range of 'Level', -36 to +12 dB"},
	    {{"render", bundlePath (), in, out, "1kHz=dB:-12.5"}, 1,
	     "'1kHz=dB:-12.5': -12.5 dB is outside the range of '1kHz', -12 to +12 dB"},
	    {{"render", bundlePath (), in, out, "Bypass=plain:2"}, 1, "2 is outside the range of 'Bypass', 0 to 1"},
	    {{"render", bundlePath (), in, out, "Bypass=dB:1"}, 1, "not in dB"},
	    {{"render", bundlePath (), in, out, "Level"}, 2, "not of the form PARAM=VALUE"},
	    {{"render", bundlePath (), in, out, "Level=loud"}, 2, "is not a number"},
	    {{"render", bundlePath (), in, out, "Level=dB:nan"}, 2, "is not a number"},
	    {{"render", bundlePath (), in, out, "--block", "0"}, 2, "--block needs"},
	    {{"render", bundlePath (), in, out, "--float", "--double"}, 2, "exclude each other"},
	    {{"render", bundlePath (), in, out, "--loud"}, 2, "unknown option '--loud'"},
	    {{"render", bundlePath (), temp.file ("missing.wav"), out}, 1, "cannot read audio file"},
	    {{"render", bundlePath (), in, out, "--state-in", temp.file ("missing.bin")}, 1, "cannot open"},
	};
	for (auto& c : cases)
	{
		SCOPED_TRACE (c.message);
		RunResult run = runTool (c.args);
		EXPECT_EQ (run.exitCode, c.exitCode) << run.err;
		EXPECT_CONTAINS (run.err, c.message);
	}
	std::ifstream produced (out);
	EXPECT_FALSE (produced.good ()) << "no output file may be written on failure";
}

TEST (Vst3HostTool, StateSaveAndLoad)
{
	TempDir temp;
	RunResult run = runTool ({"state-save", bundlePath (), temp.file ("s.bin"), "Level=dB:-12", "16kHz=1", "Bypass=1"});
	ASSERT_EQ (run.exitCode, 0) << run.err;
	EXPECT_CONTAINS (run.out, "saved: bytes=204");
	std::vector<unsigned char> state;
	std::string error;
	ASSERT_TRUE (vsthost::readBinaryFile (temp.file ("s.bin"), state, error)) << error;
	StateValues expected;
	expected.bypass = 1;
	expected.level = 0.5;
	expected.bands[14] = 1.0;
	EXPECT_EQ (state, encodeState (expected));

	run = runTool ({"state-load", bundlePath (), temp.file ("s.bin"), "--out", temp.file ("back.bin")});
	ASSERT_EQ (run.exitCode, 0) << run.err;
	EXPECT_CONTAINS (run.out, "loaded: bytes=204 processor=kResultOk controller=kResultOk\n");
	EXPECT_CONTAINS (run.out, "title=\"Bypass\"");
	EXPECT_CONTAINS (run.out, " value=1 display=\"On\"\n");
	EXPECT_CONTAINS (run.out, "title=\"Level\" short=\"\" units=\"dB\" flags=0x1 (kCanAutomate) steps=0 default=0.75 unit=0 "
	                          "value=0.5 display=\"-12.00 dB\"\n");
	EXPECT_CONTAINS (run.out, "title=\"16kHz\" short=\"\" units=\"dB\" flags=0x1 (kCanAutomate) steps=0 default=0.5 unit=0 "
	                          "value=1 display=\"12.00 dB\"\n");
	EXPECT_CONTAINS (run.out, "round-trip: identical bytes=204\n");
	std::vector<unsigned char> back;
	ASSERT_TRUE (vsthost::readBinaryFile (temp.file ("back.bin"), back, error)) << error;
	EXPECT_EQ (back, state);

	// A leading word other than 0 is accepted and written back as 0.
	StateValues odd;
	odd.leadingWord = 7;
	ASSERT_TRUE (vsthost::writeBinaryFile (temp.file ("odd.bin"), encodeState (odd), error)) << error;
	run = runTool ({"state-load", bundlePath (), temp.file ("odd.bin")});
	ASSERT_EQ (run.exitCode, 0) << run.err;
	EXPECT_CONTAINS (run.out, "round-trip: different loaded-bytes=204 saved-bytes=204 first-difference=0\n");

	// A short state is refused.
	auto shortState = encodeState ({});
	shortState.resize (203);
	ASSERT_TRUE (vsthost::writeBinaryFile (temp.file ("short.bin"), shortState, error)) << error;
	run = runTool ({"state-load", bundlePath (), temp.file ("short.bin")});
	EXPECT_EQ (run.exitCode, 1);
	EXPECT_CONTAINS (run.out, "processor=kResultFalse controller=kResultFalse");
	EXPECT_CONTAINS (run.err, "was refused");

	// Without parameters the default state is saved.
	run = runTool ({"state-save", bundlePath (), temp.file ("d.bin")});
	ASSERT_EQ (run.exitCode, 0) << run.err;
	ASSERT_TRUE (vsthost::readBinaryFile (temp.file ("d.bin"), state, error)) << error;
	EXPECT_EQ (state, encodeState ({}));
}

// Folders, missing folders and files that cannot be read or written: the
// command's own message and exit 1, never an uncaught exception (abort, 134).
TEST (Vst3HostTool, FileErrorsGiveTheCommandsMessageAndExitOne)
{
	TempDir temp;
	writeInput (temp.file ("in.wav"), makeNoise (44100.0, 441, 0.5, 2));
	const std::string in = temp.file ("in.wav");
	const std::string out = temp.file ("out.wav");
	const std::string folder = temp.file ("folder");
	fs::create_directory (folder);
	fs::create_directory (temp.file ("folder.wav"));
	std::string error;
	ASSERT_TRUE (vsthost::writeBinaryFile (temp.file ("state.bin"), encodeState ({}), error)) << error;
	const std::string png = temp.file ("editor.png");
	const std::string missing = temp.file ("missing") + "/";

	struct Case
	{
		std::vector<std::string> args;
		const char* message;
	} cases[] = {
	    {{"state-load", bundlePath (), folder}, "Is a directory"},
	    {{"state-load", bundlePath (), folder + "/"}, "Is a directory"},
	    {{"state-load", bundlePath (), in + "/state.bin"}, "Not a directory"},
	    {{"state-load", bundlePath (), temp.file ("state.bin"), "--out", folder}, "Is a directory"},
	    {{"state-load", bundlePath (), temp.file ("state.bin"), "--out", missing + "s.bin"}, "No such file"},
	    {{"state-save", bundlePath (), folder}, "Is a directory"},
	    {{"state-save", bundlePath (), missing + "s.bin"}, "No such file"},
	    {{"render", bundlePath (), in, out, "--state-in", folder}, "Is a directory"},
	    {{"render", bundlePath (), folder, out}, "Is a directory"},
	    {{"render", bundlePath (), temp.file ("folder.wav"), out}, "Is a directory"},
	    {{"render", bundlePath (), in, temp.file ("folder.wav")}, "Is a directory"},
	    {{"render", bundlePath (), in, folder}, "Is a directory"},
	    {{"render", bundlePath (), in, missing + "out.wav"}, "No such file"},
	    {{"render", bundlePath (), in, out, "--state-out", folder}, "Is a directory"},
	    {{"render", bundlePath (), in, out, "--state-out", missing + "s.bin"}, "No such file"},
	    {{"snapshot", bundlePath (), png, "--state-in", folder}, "Is a directory"},
	    {{"snapshot", bundlePath (), png, "--event", "state " + folder}, "Is a directory"},
	};
	for (auto& c : cases)
	{
		SCOPED_TRACE (c.args[0] + " " + c.args[2] + " " + c.args.back ());
		RunResult run = runTool (c.args);
		EXPECT_EQ (run.exitCode, 1) << run.err;
		EXPECT_EQ (run.err.rfind ("vst3host " + c.args[0] + ": ", 0), 0u) << run.err;
		EXPECT_CONTAINS (run.err, c.message);
	}
	if (::geteuid () != 0) // the super-user reads everything
	{
		fs::copy_file (in, temp.file ("locked.wav"));
		fs::permissions (temp.file ("locked.wav"), fs::perms::none);
		RunResult run = runTool ({"render", bundlePath (), temp.file ("locked.wav"), out});
		EXPECT_EQ (run.exitCode, 1);
		EXPECT_CONTAINS (run.err, "vst3host render: cannot open '" + temp.file ("locked.wav") + "': Permission denied");
		fs::remove (temp.file ("locked.wav"));
	}
	EXPECT_EQ (folderEntries (temp.path ()), (std::set<std::string> {"in.wav", "folder", "folder.wav", "state.bin"}));
	EXPECT_TRUE (fs::is_empty (folder));
}

// An output that is the input file itself, under any name, is refused and the
// input stays as it was.
TEST (Vst3HostTool, RenderRefusesAnOutputThatIsItsInput)
{
	TempDir temp;
	writeInput (temp.file ("keep.wav"), makeNoise (48000.0, 4800, 0.5, 4));
	const std::string keep = temp.file ("keep.wav");
	const std::string original = fileText (keep);
	fs::create_symlink ("keep.wav", temp.file ("link.wav"));
	fs::create_hard_link (keep, temp.file ("hard.wav"));
	fs::create_directory (temp.file ("sub"));

	const std::vector<std::vector<std::string>> calls = {
	    {keep, keep},
	    {keep, temp.file ("link.wav")},
	    {temp.file ("link.wav"), keep},
	    {keep, temp.file ("hard.wav")},
	    {keep, temp.file ("sub") + "/../keep.wav"},
	    {keep, temp.file ("other.wav"), "--state-out", temp.file ("link.wav")},
	};
	for (auto& call : calls)
	{
		SCOPED_TRACE (call[1] + (call.size () > 2 ? " " + call[3] : ""));
		std::vector<std::string> args = {"render", bundlePath ()};
		args.insert (args.end (), call.begin (), call.end ());
		args.push_back ("1kHz=1");
		RunResult run = runTool (args);
		EXPECT_EQ (run.exitCode, 1);
		EXPECT_CONTAINS (run.err, "is the input file");
		EXPECT_EQ (fileText (keep), original);
	}
	EXPECT_EQ (folderEntries (temp.path ()), (std::set<std::string> {"keep.wav", "link.wav", "hard.wav", "sub"}));
	EXPECT_TRUE (fs::is_symlink (temp.file ("link.wav")));
}

// The output and the state replace their files only after a render that
// succeeded; a failed one leaves them and no temporary file.
TEST (Vst3HostTool, RenderReplacesItsOutputsOnlyWhenItSucceeds)
{
	TempDir temp;
	writeInput (temp.file ("in.wav"), makeNoise (44100.0, 2000, 0.5, 6));
	const std::string in = temp.file ("in.wav");
	const std::string out = temp.write ("out.wav", "an older output");
	const std::string state = temp.write ("s.bin", "an older state");
	auto shortState = encodeState ({});
	shortState.resize (100);
	std::string error;
	ASSERT_TRUE (vsthost::writeBinaryFile (temp.file ("short.bin"), shortState, error)) << error;
	const std::set<std::string> entries = {"in.wav", "out.wav", "s.bin", "short.bin"};

	const std::vector<std::vector<std::string>> failing = {
	    {"render", bundlePath (), in, out, "--state-out", state, "Volume=1"},
	    {"render", bundlePath (), in, out, "--state-out", state, "--state-in", temp.file ("short.bin")},
	    {"render", bundlePath (), in, out, "--state-out", state, "--state-in", temp.file ("none.bin")},
	    {"render", fakeBundlePath ("no_exit"), in, out, "--state-out", state},
	};
	for (auto& args : failing)
	{
		SCOPED_TRACE (args.back ());
		RunResult run = runTool (args);
		EXPECT_EQ (run.exitCode, 1) << run.err;
		EXPECT_EQ (fileText (out), "an older output");
		EXPECT_EQ (fileText (state), "an older state");
		EXPECT_EQ (folderEntries (temp.path ()), entries);
	}

	// A success replaces both, keeps the output's permissions, and writes through
	// a link to the file it names.
	fs::permissions (out, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
	RunResult run = runTool ({"render", bundlePath (), in, out, "--state-out", state, "Bypass=1"});
	ASSERT_EQ (run.exitCode, 0) << run.err;
	vsthost::AudioBuffer output;
	ASSERT_TRUE (vsthost::readAudioFile (out, output, error)) << error;
	EXPECT_EQ (output.frames (), 2000u);
	EXPECT_EQ (fs::status (out).permissions (), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
	StateValues bypassed;
	bypassed.bypass = 1;
	std::vector<unsigned char> saved;
	ASSERT_TRUE (vsthost::readBinaryFile (state, saved, error)) << error;
	EXPECT_EQ (saved, encodeState (bypassed));
	EXPECT_EQ (folderEntries (temp.path ()), entries);

	fs::create_symlink ("out.wav", temp.file ("link.wav"));
	run = runTool ({"render", bundlePath (), in, temp.file ("link.wav"), "--block", "7"});
	ASSERT_EQ (run.exitCode, 0) << run.err;
	EXPECT_TRUE (fs::is_symlink (temp.file ("link.wav")));
	EXPECT_CONTAINS (run.out, "block=7");
}

// The output's extension chooses its format; one libsndfile cannot write is bad
// usage, found before the input is even opened.
TEST (Vst3HostTool, RenderWritesTheFormatItsExtensionNames)
{
	TempDir temp;
	const vsthost::AudioBuffer input = makeNoise (48000.0, 12000, 0.4, 8);
	writeInput (temp.file ("in.wav"), input);
	const std::string in = temp.file ("in.wav");
	RunResult run = runTool ({"render", bundlePath (), in, temp.file ("ref.wav"), "1kHz=dB:6"});
	ASSERT_EQ (run.exitCode, 0) << run.err;
	vsthost::AudioBuffer reference;
	std::string error;
	ASSERT_TRUE (vsthost::readAudioFile (temp.file ("ref.wav"), reference, error)) << error;

	enum Samples { Same, Pcm24, Lossy };
	struct Case
	{
		const char* name;
		bool outDouble;
		int format;
		const char* description;
		Samples samples;
	} cases[] = {
	    {"out.flac", false, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, "24-bit-pcm", Pcm24},
	    {"out.aiff", false, SF_FORMAT_AIFF | SF_FORMAT_FLOAT, "32-bit-float", Same},
	    {"out.AIF", false, SF_FORMAT_AIFF | SF_FORMAT_FLOAT, "32-bit-float", Same},
	    {"out.aiff", true, SF_FORMAT_AIFF | SF_FORMAT_DOUBLE, "64-bit-float", Same},
	    {"out.Wav", true, SF_FORMAT_WAV | SF_FORMAT_DOUBLE, "64-bit-float", Same},
	    {"out", false, SF_FORMAT_WAV | SF_FORMAT_FLOAT, "32-bit-float", Same},
	    {"out.w64", false, SF_FORMAT_W64 | SF_FORMAT_FLOAT, "32-bit-float", Same},
	    {"out.rf64", false, SF_FORMAT_RF64 | SF_FORMAT_FLOAT, "32-bit-float", Same},
	    {"out.caf", true, SF_FORMAT_CAF | SF_FORMAT_DOUBLE, "64-bit-float", Same},
	    {"out.au", false, SF_FORMAT_AU | SF_FORMAT_FLOAT, "32-bit-float", Same},
	    {"out.ogg", false, SF_FORMAT_OGG | SF_FORMAT_VORBIS, "vorbis", Lossy},
	    {"out.oga", false, SF_FORMAT_OGG | SF_FORMAT_VORBIS, "vorbis", Lossy},
	    {"out.opus", false, SF_FORMAT_OGG | SF_FORMAT_OPUS, "opus", Lossy},
	    {"out.mp3", false, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, "mp3", Lossy},
	};
	for (auto& c : cases)
	{
		SCOPED_TRACE (std::string (c.name) + (c.outDouble ? " --out-double" : ""));
		const std::string out = temp.file (c.name);
		std::vector<std::string> args = {"render", bundlePath (), in, out, "1kHz=dB:6"};
		if (c.outDouble)
			args.push_back ("--out-double");
		run = runTool (args);
		ASSERT_EQ (run.exitCode, 0) << run.err;
		EXPECT_CONTAINS (run.out, std::string ("output=") + c.description + "\n");
		EXPECT_EQ (fileSubFormat (out), c.format);
		vsthost::AudioBuffer output;
		ASSERT_TRUE (vsthost::readAudioFile (out, output, error)) << error;
		ASSERT_EQ (output.frames (), input.frames ());
		ASSERT_EQ (output.channelCount (), 2u);
		for (size_t channel = 0; channel < 2 && c.samples != Lossy; ++channel)
		{
			if (c.samples == Same)
			{
				EXPECT_EQ (output.channels[channel], reference.channels[channel]);
			}
			for (size_t i = 0; c.samples == Pcm24 && i < output.frames (); ++i)
				ASSERT_NEAR (output.channels[channel][i], reference.channels[channel][i], 1.0 / (1 << 23)) << i;
		}
		fs::remove (out);
	}

	struct Refused
	{
		std::vector<std::string> extra;
		const char* out;
		const char* message;
	} refused[] = {
	    {{}, "out.xyz", "cannot write .xyz files"},
	    {{}, "out.txt", "the output's extension chooses its format: .wav, .w64, .rf64, .caf, .aif, .aiff, .au, .flac"},
	    {{"--out-double"}, "out.flac", "--out-double needs a format with 64-bit float samples, not .flac"},
	    {{"--out-double"}, "out.ogg", "not .ogg"},
	};
	for (auto& r : refused)
	{
		SCOPED_TRACE (r.out);
		std::vector<std::string> args = {"render", bundlePath (), temp.file ("missing.wav"), temp.file (r.out)};
		args.insert (args.end (), r.extra.begin (), r.extra.end ());
		run = runTool (args);
		EXPECT_EQ (run.exitCode, 2);
		EXPECT_CONTAINS (run.err, r.message);
		EXPECT_CONTAINS (run.err, "usage: vst3host render");
	}
	// Opus takes a few rates only.
	writeInput (temp.file ("in44.wav"), makeNoise (44100.0, 441, 0.4, 8));
	run = runTool ({"render", bundlePath (), temp.file ("in44.wav"), temp.file ("out.opus")});
	EXPECT_EQ (run.exitCode, 1);
	EXPECT_CONTAINS (run.err, "cannot write audio file '" + temp.file ("out.opus") + "'");
	EXPECT_CONTAINS (run.err, "48000");
	EXPECT_EQ (folderEntries (temp.path ()), (std::set<std::string> {"in.wav", "in44.wav", "ref.wav"}));
}

// A file whose header promises more frames than it holds renders what it holds,
// with a warning that gives both numbers.
TEST (Vst3HostTool, RenderWarnsAboutATruncatedInput)
{
	TempDir temp;
	const vsthost::AudioBuffer input = makeNoise (44100.0, 4410, 0.5, 9);
	writeInput (temp.file ("in.wav"), input);
	RunResult run = runTool ({"render", bundlePath (), temp.file ("in.wav"), temp.file ("in.aiff")});
	ASSERT_EQ (run.exitCode, 0) << run.err;
	EXPECT_FALSE (contains (run.err, "truncated")) << run.err;

	for (const char* name : {"in.wav", "in.aiff"})
	{
		SCOPED_TRACE (name);
		// Keep 1000 frames and part of the next (8 bytes a frame).
		const std::string bytes = fileText (temp.file (name));
		const size_t header = bytes.size () - input.frames () * 8;
		const std::string cut = temp.write ("cut" + std::string (name + 2), bytes.substr (0, header + 1000 * 8 + 5));
		run = runTool ({"render", bundlePath (), cut, temp.file ("out.wav"), "Bypass=1"});
		ASSERT_EQ (run.exitCode, 0) << run.err;
		EXPECT_CONTAINS (run.err, "vst3host render: warning: '" + cut +
		                              "' is truncated: its header promises 4410 frames, it holds 1000; rendered those\n");
		EXPECT_CONTAINS (run.out, "rendered: frames=1000 ");
		vsthost::AudioBuffer output;
		std::string error;
		ASSERT_TRUE (vsthost::readAudioFile (temp.file ("out.wav"), output, error)) << error;
		ASSERT_EQ (output.frames (), 1000u);
		EXPECT_TRUE (std::equal (output.channels[1].begin (), output.channels[1].end (), input.channels[1].begin ()));
	}

	// A header that promises nearly 4 GiB of 32-bit samples: as 64-bit ones they
	// cannot fit a WAV file, which is said before any work; a W64 file takes them.
	std::string bytes = fileText (temp.file ("in.wav"));
	const size_t data = bytes.find ("data");
	ASSERT_NE (data, std::string::npos);
	const char promise[4] = {'\x00', '\xff', '\xff', '\x7f'}; // 0x7fffff00 bytes, 268435424 frames
	bytes.replace (data + 4, 4, promise, 4);
	const std::string huge = temp.write ("huge.wav", bytes);
	run = runTool ({"render", bundlePath (), huge, temp.file ("big.wav"), "--out-double"});
	EXPECT_EQ (run.exitCode, 1);
	EXPECT_CONTAINS (run.err, "268435424 stereo frames of 64-bit-float are more than the 4 GiB a WAV, AIFF or AU file holds");
	EXPECT_FALSE (fs::exists (temp.file ("big.wav")));
	run = runTool ({"render", bundlePath (), huge, temp.file ("big.w64"), "--out-double"});
	EXPECT_EQ (run.exitCode, 0) << run.err;
	EXPECT_CONTAINS (run.err, "its header promises 268435424 frames, it holds 4410");
}

// Rendering streams through the files a few blocks at a time; the result over
// many chunks and a last partial block is that of the whole file rendered at once.
class Vst3HostToolStreaming : public BundleTest
{
};

TEST_F (Vst3HostToolStreaming, LongRenderIsBitIdenticalToTheWholeFileRender)
{
	TempDir temp;
	const vsthost::AudioBuffer input = makeNoise (48000.0, 480007, 0.5, 10);
	writeInput (temp.file ("in.wav"), input);
	const std::vector<std::pair<Steinberg::Vst::ParamID, double>> params = {
	    {kFirstBandId, 0.9}, {kFirstBandId + 5, 0.2}, {kFirstBandId + 8, 1.0}, {kFirstBandId + 14, 0.3}, {kLevelId, 0.6}};
	struct Case
	{
		Steinberg::int32 block;
		bool doublePrecision;
		bool outDouble;
	} cases[] = {{512, false, false}, {333, true, true}, {8193, false, true}, {70000, true, false}, {5, false, false}};
	for (auto& c : cases)
	{
		SCOPED_TRACE ("block " + std::to_string (c.block) + (c.doublePrecision ? " 64-bit" : " 32-bit"));
		auto instance = createInstance ();
		ASSERT_NE (instance, nullptr);
		std::vector<std::string> args = {"render", bundlePath (), temp.file ("in.wav"), temp.file ("out.wav"),
		                                 "--block", std::to_string (c.block)};
		for (auto& param : params)
		{
			instance->setParameter (param.first, param.second);
			args.push_back (std::to_string (param.first) + "=" + std::to_string (param.second));
		}
		if (c.doublePrecision)
			args.push_back ("--double");
		if (c.outDouble)
			args.push_back ("--out-double");
		vsthost::RenderOptions options;
		options.blockSize = c.block;
		options.doublePrecision = c.doublePrecision;
		vsthost::AudioBuffer whole;
		std::string error;
		ASSERT_TRUE (vsthost::renderAudio (*instance, input, whole, options, error)) << error;
		if (!c.outDouble)
			for (auto& channel : whole.channels)
				for (auto& sample : channel)
					sample = static_cast<float> (sample);

		RunResult run = runTool (args);
		ASSERT_EQ (run.exitCode, 0) << run.err;
		EXPECT_CONTAINS (run.out, "rendered: frames=480007 ");
		vsthost::AudioBuffer streamed;
		ASSERT_TRUE (vsthost::readAudioFile (temp.file ("out.wav"), streamed, error)) << error;
		ASSERT_EQ (streamed.frames (), input.frames ());
		EXPECT_TRUE (streamed.channels == whole.channels);
	}
}

} // namespace
