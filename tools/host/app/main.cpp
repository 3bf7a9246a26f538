// vst3host: a command-line VST3 host that loads a bundle the way a host does.

#include "commands.h"

#include "hostlib/editorevents.h"

#include <cstdio>
#include <cstring>

namespace vsthost {
namespace app {

namespace {
int runHelp (const Args& args);
void printCommandHelp (const Command& command);
} // namespace

const std::vector<Command>& commandTable ()
{
	// Each command's run function lives in its own app/cmd_NAME.cpp and is declared in commands.h.
	static const std::vector<Command> table = {
	    {"info", "BUNDLE", "factory, classes, buses and parameters of a bundle", runInfo},
	    {"render",
	     "BUNDLE IN.wav OUT.wav [--block N] [--float|--double] [--out-double] [--rate R]\n"
	     "       [--state-in FILE] [--state-out FILE] [PARAM=VALUE ...]",
	     "run an audio file through the plug-in into a stereo file (format by its extension)", runRender},
	    {"state-save", "BUNDLE OUT.bin [PARAM=VALUE ...]", "save the processor's state after setting parameters",
	     runStateSave},
	    {"state-load", "BUNDLE IN.bin [--out FILE]",
	     "load a state, list the parameters and check that saving gives the same bytes", runStateLoad},
	    {"snapshot", "BUNDLE OUT.png [--state-in FILE] [--events FILE] [--event EVENT ...] [PARAM=VALUE ...]",
	     "draw the editor offscreen after replaying input, and list the edits the host saw", runSnapshot},
	    {"edit",
	     "BUNDLE [--seconds N] [--screenshot OUT.png [--after MS]] [--events FILE] [--event EVENT ...]\n"
	     "       [PARAM=VALUE ...]",
	     "show the editor in an X11 window with a run loop, and list the edits the host saw", runEdit},
	    {"help", "[COMMAND]", "this text, or the details of one command", runHelp},
	};
	return table;
}

const Command* findCommand (const std::string& name)
{
	for (auto& command : commandTable ())
		if (name == command.name)
			return &command;
	return nullptr;
}

int usageError (const char* commandName, const std::string& message)
{
	if (!message.empty ())
		std::fprintf (stderr, "vst3host %s: %s\n", commandName, message.c_str ());
	if (auto* command = findCommand (commandName))
		std::fprintf (stderr, "usage: vst3host %s %s\n", command->name, command->usage);
	return kExitUsage;
}

namespace {
const char* kDetails =
    "PARAM is a parameter ID or title (exact title first, then ignoring case).\n"
    "VALUE is a normalised value in [0, 1], or plain:X for a plain value, or dB:X\n"
    "for a parameter in dB (converted with the controller's plainParamToNormalized).\n"
    "render: 32-bit samples by default (--double for 64-bit), streamed block by block;\n"
    "the output has the input's length and rate, its format follows its extension\n"
    "(.wav: 32-bit float, --out-double: 64-bit; .flac: 24-bit; .aiff, .w64, .rf64,\n"
    ".caf, .au: float; .ogg, .opus, .mp3), mono input is fed to both channels and\n"
    "channels past two are dropped; --rate R only checks the input's rate; the\n"
    "output is written to a temporary file and renamed over OUT only on success,\n"
    "and an OUT that is the input itself is refused; parameters go to\n"
    "the processor as changes in the first block and are set on the controller.\n"
    "Exit status: 0 success; 1 failure (a file that cannot be read or written, a\n"
    "bundle that does not load, an unknown parameter or a value outside its range,\n"
    "a bad line in an --events file); 2 bad usage (an unknown option, a missing or\n"
    "malformed argument, option value, PARAM=VALUE or --event).\n";

// Event lines of snapshot and edit.
void printEventGrammar (FILE* out)
{
	std::fprintf (out, "EVENT (snapshot, edit; one per line in an --events FILE, # starts a comment):\n%s\n",
	              kEditorEventGrammar);
}

void printOverview (FILE* out)
{
	std::fprintf (out, "usage: vst3host COMMAND ARGS...\n\ncommands:\n");
	for (auto& command : commandTable ())
		std::fprintf (out, "  %-11s %s\n", command.name, command.summary);
	std::fprintf (out, "\n");
	for (auto& command : commandTable ())
		std::fprintf (out, "vst3host %s %s\n", command.name, command.usage);
	std::fprintf (out, "\n");
	printEventGrammar (out);
	std::fprintf (out, "\n%s", kDetails);
}

void printCommandHelp (const Command& command)
{
	std::printf ("usage: vst3host %s %s\n  %s\n\n", command.name, command.usage, command.summary);
	if (std::strcmp (command.name, "snapshot") == 0 || std::strcmp (command.name, "edit") == 0)
	{
		printEventGrammar (stdout);
		std::printf ("\n");
	}
	std::printf ("%s", kDetails);
}

int runHelp (const Args& args)
{
	if (args.empty ())
	{
		printOverview (stdout);
		return kExitOk;
	}
	auto* command = findCommand (args[0]);
	if (!command || args.size () > 1)
		return usageError ("help", "unknown command '" + args[0] + "'");
	printCommandHelp (*command);
	return kExitOk;
}
} // namespace

} // namespace app
} // namespace vsthost

int main (int argc, char* argv[])
{
	using namespace vsthost::app;
	if (argc < 2)
	{
		printOverview (stderr);
		return kExitUsage;
	}
	const std::string name = argv[1];
	if (name == "--help" || name == "-h")
	{
		printOverview (stdout);
		return kExitOk;
	}
	const Command* command = findCommand (name);
	if (!command)
	{
		std::fprintf (stderr, "vst3host: unknown command '%s'\n\n", name.c_str ());
		printOverview (stderr);
		return kExitUsage;
	}
	Args args (argv + 2, argv + argc);
	// Every command answers --help (or -h) with its usage.
	for (auto& arg : args)
	{
		if (arg == "--help" || arg == "-h")
		{
			printCommandHelp (*command);
			return kExitOk;
		}
	}
	return command->run (args);
}
