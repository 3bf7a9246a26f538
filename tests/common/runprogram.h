// Runs a program as a separate process, its standard output and error kept apart.
#pragma once

#include "tempdir.h"

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace PalvisTest {

struct RunResult
{
	int exitCode {-1}; // 128 + the signal's number when a signal ended the program
	std::string out;
	std::string err;
};

inline std::string readTextFile (const std::string& path)
{
	std::ifstream in (path);
	std::stringstream text;
	text << in.rdbuf ();
	return text.str ();
}

/** Starts program with args (argv[0] is the program) and the file actions; the child's
 *  process ID, or -1 when it could not be started. */
inline pid_t spawnProgram (const std::string& program, const std::vector<std::string>& args,
                           const posix_spawn_file_actions_t* actions, char* const* environment)
{
	std::vector<std::string> argv {program};
	argv.insert (argv.end (), args.begin (), args.end ());
	std::vector<char*> pointers;
	for (auto& arg : argv)
		pointers.push_back (const_cast<char*> (arg.c_str ()));
	pointers.push_back (nullptr);
	pid_t pid = -1;
	if (posix_spawn (&pid, program.c_str (), actions, nullptr, pointers.data (), environment) != 0)
		return -1;
	return pid;
}

/** Runs program with args in this process's environment, where each "NAME=VALUE" of
 *  setEnvironment replaces (or adds) that variable; waits for it to end. */
inline RunResult runProgram (const std::string& program, const std::vector<std::string>& args,
                             const std::vector<std::string>& setEnvironment = {})
{
	TempDir temp;
	const std::string outPath = temp.file ("stdout");
	const std::string errPath = temp.file ("stderr");
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init (&actions);
	posix_spawn_file_actions_addopen (&actions, 1, outPath.c_str (), O_WRONLY | O_CREAT | O_TRUNC, 0644);
	posix_spawn_file_actions_addopen (&actions, 2, errPath.c_str (), O_WRONLY | O_CREAT | O_TRUNC, 0644);

	std::vector<char*> environment;
	for (char** e = environ; *e; ++e)
	{
		bool replaced = false;
		for (const auto& set : setEnvironment)
		{
			const size_t equals = set.find ('=');
			replaced = replaced || (equals != std::string::npos && std::strncmp (*e, set.c_str (), equals + 1) == 0);
		}
		if (!replaced)
			environment.push_back (*e);
	}
	for (const auto& set : setEnvironment)
		environment.push_back (const_cast<char*> (set.c_str ()));
	environment.push_back (nullptr);

	RunResult result;
	const pid_t pid = spawnProgram (program, args, &actions, environment.data ());
	if (pid > 0)
	{
		int status = 0;
		if (::waitpid (pid, &status, 0) == pid)
			result.exitCode = WIFEXITED (status) ? WEXITSTATUS (status) : 128 + WTERMSIG (status);
	}
	posix_spawn_file_actions_destroy (&actions);
	result.out = readTextFile (outPath);
	result.err = readTextFile (errPath);
	return result;
}

} // namespace PalvisTest
