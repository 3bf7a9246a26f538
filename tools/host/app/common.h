// Pieces shared by the vst3host commands.
#pragma once

#include "commands.h"

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

// Resolves PARAM=VALUE arguments against the instance's controller and, when all of them
// resolve, sets each value (controller, and queued for the processor's next block).
bool applyAssignments (PluginInstance& instance, const std::vector<std::string>& assignmentTexts,
                       std::vector<ParameterAssignment>& assignments, std::string& error);

// "0x10001 (kCanAutomate|kIsBypass)"-style flag texts.
std::string parameterFlagsText (Steinberg::int32 flags);

// One line per parameter: ID, titles, units, flags, steps, default, unit, and
// either the default's display text or the controller's current value and text.
void printParameters (const PluginInstance& instance, bool currentValues);

// The controller's values after an editor session: "param ID "title" VALUE "display"",
// one line per parameter.
void printParameterValues (const PluginInstance& instance);

int fail (const char* commandName, const std::string& message);

// Appends the lines of a text file, without their line ends ("\n" or "\r\n").
// False with a message when the file cannot be read.
bool readLines (const std::string& path, std::vector<std::string>& lines, std::string& error);

// Writes 8-bit RGBA pixels (rows top to bottom) as a PNG file (cmd_snapshot.cpp).
bool writePNG (const std::string& path, const std::vector<Steinberg::uint8>& rgba, Steinberg::int32 width,
               Steinberg::int32 height, std::string& error);

} // namespace app
} // namespace vsthost
