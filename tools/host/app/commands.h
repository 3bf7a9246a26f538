// The commands of vst3host. Each takes the arguments after the command name and
// returns the process exit code: 0 success, 1 failure, 2 bad usage.
#pragma once

#include <string>
#include <vector>

namespace vsthost {
namespace app {

using Args = std::vector<std::string>;

enum ExitCode
{
	kExitOk = 0,
	kExitFailure = 1,
	kExitUsage = 2
};

struct Command
{
	const char* name;
	const char* usage;   // arguments after the command name
	const char* summary; // one line
	int (*run) (const Args& args);
};

// The command table (main.cpp); new commands are added there.
const std::vector<Command>& commandTable ();
const Command* findCommand (const std::string& name);
// Prints "usage: vst3host NAME USAGE" to stderr and returns kExitUsage.
int usageError (const char* commandName, const std::string& message);

int runInfo (const Args& args);
int runRender (const Args& args);
int runStateSave (const Args& args);
int runStateLoad (const Args& args);
int runSnapshot (const Args& args);
int runEdit (const Args& args);

} // namespace app
} // namespace vsthost
