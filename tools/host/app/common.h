// Pieces shared by the vst3host commands.
#pragma once

#include "commands.h"

#include "hostlib/editorevents.h"
#include "hostlib/module.h"
#include "hostlib/paramassign.h"
#include "hostlib/plugininstance.h"

#include <memory>
#include <string>
#include <vector>

namespace vsthost {
namespace app {

// A module and one instance of its first audio effect; the instance goes first.
struct LoadedPlugin
{
	std::unique_ptr<Module> module;
	std::unique_ptr<PluginInstance> instance;

	~LoadedPlugin () { instance.reset (); }
};

bool loadPlugin (const std::string& bundle, LoadedPlugin& plugin, std::string& error);

// Splits arguments into options ("--name" or "--name VALUE" for the names in
// withValue) and positionals. False with a message for an unknown option or a
// missing value.
struct ParsedArgs
{
	std::vector<std::string> positional;
	std::vector<std::pair<std::string, std::string>> options; // name without "--", value
	bool has (const std::string& name) const;
	const std::string* value (const std::string& name) const; // the last one given
};
bool parseArgs (const Args& args, const std::vector<std::string>& flags,
                const std::vector<std::string>& withValue, ParsedArgs& parsed, std::string& error);

// Checks the form of PARAM=VALUE arguments before anything is loaded: a malformed one
// is bad usage. False with a message.
bool checkAssignmentTexts (const std::vector<std::string>& assignmentTexts, std::string& error);

// Resolves PARAM=VALUE arguments against the instance's controller and, when all of them
// resolve, sets each value (controller, and queued for the processor's next block).
bool applyAssignments (PluginInstance& instance, const std::vector<std::string>& assignmentTexts,
                       std::vector<ParameterAssignment>& assignments, std::string& error);

// The events of the --events FILE and --event EVENT options, in the order given. An
// --event that is no event is bad usage; a file that cannot be read, or a line of it
// that is no event, is a failure. Returns kExitOk, or the exit code after printing why.
int collectEvents (const char* commandName, const ParsedArgs& parsed, std::vector<EditorEvent>& events);

// What the host does in an event list, the same in every editor session: "set" (the
// value goes to the controller and, with the next block, to the processor) and "state"
// (the processor's setState, then the controller's setComponentState). False with a
// message when it fails; result describes what happened.
bool runHostEvent (PluginInstance& instance, const EditorEvent& event, std::string& result, std::string& error);

// Warns on stderr about the events from index next on, which did not run because the
// session ended (why: how it ended).
void warnEventsNotRun (const char* commandName, const std::vector<EditorEvent>& events, size_t next,
                       const std::string& why);

// "0x10001 (kCanAutomate|kIsBypass)"-style flag texts.
std::string parameterFlagsText (Steinberg::int32 flags);

// One line per parameter: ID, titles, units, flags, steps, default, unit, and
// either the default's display text or the controller's current value and text (display
// texts with the parameter's units).
void printParameters (const PluginInstance& instance, bool currentValues);

// The controller's values after an editor session: "param ID "title" VALUE "display"",
// one line per parameter.
void printParameterValues (const PluginInstance& instance);

int fail (const char* commandName, const std::string& message);

// Appends the lines of a text file, without their line ends ("\n" or "\r\n").
// False with a message when the file cannot be read (a folder, among others).
bool readLines (const std::string& path, std::vector<std::string>& lines, std::string& error);

// Writes 8-bit RGBA pixels (rows top to bottom) as a PNG file (cmd_snapshot.cpp).
bool writePNG (const std::string& path, const std::vector<Steinberg::uint8>& rgba, Steinberg::int32 width,
               Steinberg::int32 height, std::string& error);

} // namespace app
} // namespace vsthost
