// The vst3host program, run as a separate process on the built bundle.

#include "hostlib/audiofile.h"

#include "test_support.h"

#include "runprogram.h"

#include <sndfile.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

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

} // namespace
