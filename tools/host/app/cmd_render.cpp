// vst3host render BUNDLE IN.wav OUT.wav [options] [PARAM=VALUE ...]

#include "common.h"

#include "hostlib/audiofile.h"
#include "hostlib/render.h"
#include "hostlib/strings.h"

#include <cstdint>
#include <cstdio>

namespace vsthost {
namespace app {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
// Set parameters, with their display text and units, for the report.
void printAssignments (const PluginInstance& instance, const std::vector<ParameterAssignment>& assignments)
{
	for (auto& assignment : assignments)
		std::printf ("set: id=%u title=%s value=%s display=%s\n", assignment.id, quoted (assignment.title).c_str (),
		             shortestDouble (assignment.normalized).c_str (),
		             quoted (instance.getParamDisplayWithUnits (assignment.id, assignment.normalized)).c_str ());
}
} // namespace

int runRender (const Args& args)
{
	const char* name = "render";
	ParsedArgs parsed;
	std::string error;
	if (!parseArgs (args, {"float", "double", "out-double"}, {"block", "rate", "state-in", "state-out"}, parsed, error))
		return usageError (name, error);
	if (parsed.positional.size () < 3)
		return usageError (name, "expected BUNDLE IN.wav OUT.wav");
	const std::string& bundle = parsed.positional[0];
	const std::string& inPath = parsed.positional[1];
	const std::string& outPath = parsed.positional[2];
	const std::vector<std::string> assignmentTexts (parsed.positional.begin () + 3, parsed.positional.end ());
	if (!checkAssignmentTexts (assignmentTexts, error))
		return usageError (name, error);

	if (parsed.has ("float") && parsed.has ("double"))
		return usageError (name, "--float and --double exclude each other");
	RenderOptions options;
	options.doublePrecision = parsed.has ("double");
	if (auto* block = parsed.value ("block"))
	{
		long long value = 0;
		if (!parseInt64 (*block, value) || value < 1 || value > (1 << 20))
			return usageError (name, "--block needs a whole number from 1 to 1048576, not '" + *block + "'");
		options.blockSize = static_cast<int32> (value);
	}
	double expectedRate = 0;
	if (auto* rate = parsed.value ("rate"))
	{
		if (!parseDouble (*rate, expectedRate) || !(expectedRate > 0))
			return usageError (name, "--rate needs a positive number, not '" + *rate + "'");
	}

	// The output's format comes from its extension; a wrong one is bad usage, found before any work.
	const bool outDouble = parsed.has ("out-double");
	OutputFormat format;
	if (!outputFormatForPath (outPath, outDouble, format, error))
		return usageError (name, error);

	SoundFileReader input;
	if (!input.open (inPath, error))
		return fail (name, error);
	if (expectedRate > 0 && expectedRate != input.sampleRate ())
		return fail (name, "'" + inPath + "' has the rate " + shortestDouble (input.sampleRate ()) + " Hz, not " +
		                       shortestDouble (expectedRate) + " Hz as --rate expects");
	if (input.channelCount () > 2)
		std::fprintf (stderr, "vst3host render: '%s' has %zu channels; the first two are used\n", inPath.c_str (),
		              input.channelCount ());

	// Outputs replace their files only when complete, but one that is the input
	// (through another path or a link) would still lose it.
	const std::string* stateOut = parsed.value ("state-out");
	for (const std::string* path : {&outPath, stateOut})
	{
		FileIdentity identity;
		if (path && fileIdentity (*path, identity) && identity == input.identity ())
			return fail (name, "the output '" + *path + "' is the input file '" + inPath +
			                       "' itself; write to another file");
	}
	SoundFileWriter output;
	if (!output.open (outPath, format, input.sampleRate (), input.promisedFrames (), error))
		return fail (name, error);
	ReplacingFile stateFile;
	if (stateOut && !stateFile.create (*stateOut, error))
		return fail (name, error);

	LoadedPlugin plugin;
	if (!loadPlugin (bundle, plugin, error))
		return fail (name, error);
	PluginInstance& instance = *plugin.instance;

	if (auto* stateIn = parsed.value ("state-in"))
	{
		std::vector<uint8> state;
		if (!readBinaryFile (*stateIn, state, error))
			return fail (name, error);
		tresult result = instance.setState (state);
		if (result != kResultOk)
			return fail (name, "the processor refused the state in '" + *stateIn + "' (" + resultName (result) + ")");
		if (instance.getController ())
		{
			result = instance.setControllerComponentState (state);
			if (result != kResultOk)
				return fail (name, "the controller refused the state in '" + *stateIn + "' (" + resultName (result) + ")");
		}
	}

	std::vector<ParameterAssignment> assignments;
	if (!applyAssignments (instance, assignmentTexts, assignments, error))
		return fail (name, error);

	std::uint64_t frames = 0;
	if (!renderFile (instance, input, output, options, frames, error))
		return fail (name, error);
	instance.stop ();
	if (input.framesRead () < input.promisedFrames ())
		std::fprintf (stderr,
		              "vst3host render: warning: '%s' is truncated: its header promises %llu frames, it holds %llu; "
		              "rendered those\n",
		              inPath.c_str (), static_cast<unsigned long long> (input.promisedFrames ()),
		              static_cast<unsigned long long> (input.framesRead ()));

	// Both outputs are written whole before either replaces its file.
	if (stateOut)
	{
		std::vector<uint8> state;
		tresult result = instance.getState (state);
		if (result != kResultOk)
			return fail (name, "getState failed (" + resultName (result) + ")");
		if (!stateFile.write (state.data (), state.size (), error))
			return fail (name, error);
	}
	if (!output.commit (error) || (stateOut && !stateFile.commit (error)))
		return fail (name, error);

	printAssignments (instance, assignments);
	std::printf ("rendered: frames=%llu rate=%s channels-in=%zu channels-out=2 block=%d processing=%s output=%s\n",
	             static_cast<unsigned long long> (frames), shortestDouble (input.sampleRate ()).c_str (),
	             input.channelCount (), options.blockSize, options.doublePrecision ? "64-bit" : "32-bit",
	             format.description);
	return kExitOk;
}

} // namespace app
} // namespace vsthost
