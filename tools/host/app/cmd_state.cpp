// vst3host state-save BUNDLE OUT.bin [PARAM=VALUE ...]
// vst3host state-load BUNDLE IN.bin [--out FILE]

#include "common.h"

#include "hostlib/audiofile.h"
#include "hostlib/strings.h"

#include <cstdio>

namespace vsthost {
namespace app {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
// Rate and block size of the short activation that takes the parameter changes.
constexpr double kFlushSampleRate = 44100.0;
constexpr int32 kFlushBlockSize = 512;
} // namespace

int runStateSave (const Args& args)
{
	const char* name = "state-save";
	ParsedArgs parsed;
	std::string error;
	if (!parseArgs (args, {}, {}, parsed, error))
		return usageError (name, error);
	if (parsed.positional.size () < 2)
		return usageError (name, "expected BUNDLE OUT.bin");
	const std::string& outPath = parsed.positional[1];
	const std::vector<std::string> assignmentTexts (parsed.positional.begin () + 2, parsed.positional.end ());
	if (!checkAssignmentTexts (assignmentTexts, error))
		return usageError (name, error);

	LoadedPlugin plugin;
	if (!loadPlugin (parsed.positional[0], plugin, error))
		return fail (name, error);
	PluginInstance& instance = *plugin.instance;

	std::vector<ParameterAssignment> assignments;
	if (!applyAssignments (instance, assignmentTexts, assignments, error))
		return fail (name, error);
	if (!assignments.empty ())
	{
		// The processor takes parameter values only in process(): hand them over in
		// a block without audio, as hosts do to flush parameters.
		if (!instance.start (kFlushSampleRate, kFlushBlockSize, kSample32, error))
			return fail (name, error);
		tresult result = instance.flushParameters ();
		instance.stop ();
		if (result != kResultOk)
			return fail (name, "process failed (" + resultName (result) + ")");
	}

	std::vector<uint8> state;
	tresult result = instance.getState (state);
	if (result != kResultOk)
		return fail (name, "getState failed (" + resultName (result) + ")");
	if (!writeBinaryFile (outPath, state, error))
		return fail (name, error);
	for (auto& assignment : assignments)
		std::printf ("set: id=%u title=%s value=%s\n", assignment.id, quoted (assignment.title).c_str (),
		             shortestDouble (assignment.normalized).c_str ());
	std::printf ("saved: bytes=%zu file=%s\n", state.size (), quoted (outPath).c_str ());
	return kExitOk;
}

int runStateLoad (const Args& args)
{
	const char* name = "state-load";
	ParsedArgs parsed;
	std::string error;
	if (!parseArgs (args, {}, {"out"}, parsed, error))
		return usageError (name, error);
	if (parsed.positional.size () != 2)
		return usageError (name, "expected BUNDLE IN.bin");
	const std::string& inPath = parsed.positional[1];

	std::vector<uint8> loaded;
	if (!readBinaryFile (inPath, loaded, error))
		return fail (name, error);
	LoadedPlugin plugin;
	if (!loadPlugin (parsed.positional[0], plugin, error))
		return fail (name, error);
	PluginInstance& instance = *plugin.instance;

	tresult processorResult = instance.setState (loaded);
	tresult controllerResult = instance.getController () ? instance.setControllerComponentState (loaded) : kResultOk;
	std::printf ("loaded: bytes=%zu processor=%s controller=%s\n", loaded.size (), resultName (processorResult).c_str (),
	             instance.getController () ? resultName (controllerResult).c_str () : "none");
	if (processorResult != kResultOk || controllerResult != kResultOk)
		return fail (name, "the state in '" + inPath + "' was refused");

	if (instance.getController ())
		printParameters (instance, true);

	std::vector<uint8> saved;
	tresult result = instance.getState (saved);
	if (result != kResultOk)
		return fail (name, "getState failed (" + resultName (result) + ")");
	if (auto* outPath = parsed.value ("out"))
	{
		if (!writeBinaryFile (*outPath, saved, error))
			return fail (name, error);
	}
	if (saved == loaded)
		std::printf ("round-trip: identical bytes=%zu\n", saved.size ());
	else
	{
		size_t first = 0;
		while (first < saved.size () && first < loaded.size () && saved[first] == loaded[first])
			++first;
		std::printf ("round-trip: different loaded-bytes=%zu saved-bytes=%zu first-difference=%zu\n", loaded.size (),
		             saved.size (), first);
	}
	return kExitOk;
}

} // namespace app
} // namespace vsthost
