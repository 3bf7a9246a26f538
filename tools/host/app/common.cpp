#include "common.h"

#include "hostlib/audiofile.h"
#include "hostlib/strings.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace vsthost {
namespace app {

using namespace Steinberg;
using namespace Steinberg::Vst;

bool loadPlugin (const std::string& bundle, LoadedPlugin& plugin, std::string& error)
{
	plugin.module = Module::load (bundle, error);
	if (!plugin.module)
		return false;
	plugin.instance = PluginInstance::createFirstAudioEffect (*plugin.module, error);
	return plugin.instance != nullptr;
}

bool ParsedArgs::has (const std::string& name) const
{
	for (auto& option : options)
		if (option.first == name)
			return true;
	return false;
}

const std::string* ParsedArgs::value (const std::string& name) const
{
	const std::string* found = nullptr;
	for (auto& option : options)
		if (option.first == name)
			found = &option.second;
	return found;
}

bool parseArgs (const Args& args, const std::vector<std::string>& flags, const std::vector<std::string>& withValue,
                ParsedArgs& parsed, std::string& error)
{
	auto contains = [] (const std::vector<std::string>& list, const std::string& name) {
		for (auto& entry : list)
			if (entry == name)
				return true;
		return false;
	};
	for (size_t i = 0; i < args.size (); ++i)
	{
		const std::string& arg = args[i];
		if (arg.size () > 2 && arg.compare (0, 2, "--") == 0)
		{
			std::string name = arg.substr (2);
			std::string value;
			auto equals = name.find ('=');
			bool inlineValue = equals != std::string::npos;
			if (inlineValue)
			{
				value = name.substr (equals + 1);
				name.erase (equals);
			}
			if (contains (flags, name) && !inlineValue)
				parsed.options.emplace_back (name, "");
			else if (contains (withValue, name))
			{
				if (!inlineValue)
				{
					if (i + 1 >= args.size ())
					{
						error = "option --" + name + " needs a value";
						return false;
					}
					value = args[++i];
				}
				parsed.options.emplace_back (name, value);
			}
			else
			{
				error = "unknown option '" + arg + "'";
				return false;
			}
		}
		else
			parsed.positional.push_back (arg);
	}
	return true;
}

bool checkAssignmentTexts (const std::vector<std::string>& assignmentTexts, std::string& error)
{
	AssignmentText parsed;
	for (auto& text : assignmentTexts)
		if (!parseAssignmentText (text, parsed, error))
			return false;
	return true;
}

bool applyAssignments (PluginInstance& instance, const std::vector<std::string>& assignmentTexts,
                       std::vector<ParameterAssignment>& assignments, std::string& error)
{
	for (auto& text : assignmentTexts)
	{
		ParameterAssignment assignment;
		if (!parseParameterAssignment (instance, text, assignment, error))
			return false;
		assignments.push_back (assignment);
	}
	for (auto& assignment : assignments)
		instance.setParameter (assignment.id, assignment.normalized);
	return true;
}

std::string parameterFlagsText (int32 flags)
{
	static const struct
	{
		int32 bit;
		const char* name;
	} names[] = {{ParameterInfo::kCanAutomate, "kCanAutomate"},         {ParameterInfo::kIsReadOnly, "kIsReadOnly"},
	             {ParameterInfo::kIsWrapAround, "kIsWrapAround"},       {ParameterInfo::kIsList, "kIsList"},
	             {ParameterInfo::kIsHidden, "kIsHidden"},               {ParameterInfo::kIsProgramChange, "kIsProgramChange"},
	             {ParameterInfo::kIsBypass, "kIsBypass"}};
	char hex[16];
	std::snprintf (hex, sizeof (hex), "0x%X", static_cast<uint32> (flags));
	std::string text;
	for (auto& entry : names)
	{
		if (flags & entry.bit)
			text += (text.empty () ? "" : "|") + std::string (entry.name);
	}
	return std::string (hex) + (text.empty () ? "" : " (" + text + ")");
}

void printParameters (const PluginInstance& instance, bool currentValues)
{
	auto infos = instance.getParameterInfos ();
	std::printf ("parameters: %d\n", static_cast<int> (infos.size ()));
	for (auto& info : infos)
	{
		std::printf ("  id=%u title=%s short=%s units=%s flags=%s steps=%d default=%s unit=%d", info.id,
		             quoted (toUtf8 (info.title, 128)).c_str (), quoted (toUtf8 (info.shortTitle, 128)).c_str (),
		             quoted (toUtf8 (info.units, 128)).c_str (), parameterFlagsText (info.flags).c_str (),
		             info.stepCount, shortestDouble (info.defaultNormalizedValue).c_str (), info.unitId);
		if (currentValues)
		{
			double value = instance.getController ()->getParamNormalized (info.id);
			std::printf (" value=%s display=%s\n", shortestDouble (value).c_str (),
			             quoted (instance.getParamDisplayWithUnits (info.id, value)).c_str ());
		}
		else
			std::printf (" display=%s\n",
			             quoted (instance.getParamDisplayWithUnits (info.id, info.defaultNormalizedValue)).c_str ());
	}
}

void printParameterValues (const PluginInstance& instance)
{
	for (auto& info : instance.getParameterInfos ())
	{
		double value = instance.getController ()->getParamNormalized (info.id);
		std::printf ("param %u %s %s %s\n", info.id, quoted (toUtf8 (info.title, 128)).c_str (),
		             shortestDouble (value).c_str (), quoted (instance.getParamDisplayWithUnits (info.id, value)).c_str ());
	}
}

int fail (const char* commandName, const std::string& message)
{
	std::fprintf (stderr, "vst3host %s: %s\n", commandName, message.c_str ());
	return kExitFailure;
}

bool readLines (const std::string& path, std::vector<std::string>& lines, std::string& error)
{
	struct stat info {};
	if (::stat (path.c_str (), &info) != 0)
	{
		error = "cannot read '" + path + "': " + std::strerror (errno);
		return false;
	}
	if (S_ISDIR (info.st_mode))
	{
		error = "cannot read '" + path + "': it is a folder, not a file";
		return false;
	}
	std::ifstream in (path);
	if (!in)
	{
		error = "cannot read '" + path + "'";
		return false;
	}
	std::string line;
	while (std::getline (in, line))
	{
		if (!line.empty () && line.back () == '\r')
			line.pop_back ();
		lines.push_back (line);
	}
	if (in.bad ())
	{
		error = "cannot read '" + path + "'";
		return false;
	}
	return true;
}

int collectEvents (const char* commandName, const ParsedArgs& parsed, std::vector<EditorEvent>& events)
{
	std::string error;
	auto add = [&] (const std::string& line) {
		EditorEvent event;
		bool isEvent = false;
		if (!parseEditorEvent (line, event, isEvent, error))
			return false;
		if (isEvent)
			events.push_back (event);
		return true;
	};
	for (auto& option : parsed.options)
	{
		if (option.first == "event" && !add (option.second))
			return usageError (commandName, "--event: " + error);
		if (option.first != "events")
			continue;
		std::vector<std::string> lines;
		if (!readLines (option.second, lines, error))
			return fail (commandName, error);
		for (size_t i = 0; i < lines.size (); ++i)
			if (!add (lines[i]))
				return fail (commandName, option.second + ":" + std::to_string (i + 1) + ": " + error);
	}
	return kExitOk;
}

bool runHostEvent (PluginInstance& instance, const EditorEvent& event, std::string& result, std::string& error)
{
	if (event.type == EditorEvent::Type::Set)
	{
		// The host changes a parameter (automation).
		ParameterAssignment assignment;
		if (!resolveAssignment (instance, event.assignment, assignment, error))
			return false;
		instance.setParameter (assignment.id, assignment.normalized);
		result = assignment.title + " " + instance.getParamDisplayWithUnits (assignment.id, assignment.normalized);
		return true;
	}
	if (event.type == EditorEvent::Type::State)
	{
		// The host loads a state, as when it opens a project.
		std::vector<uint8> bytes;
		if (!readBinaryFile (event.path, bytes, error))
			return false;
		result = resultName (instance.loadState (bytes));
		return true;
	}
	error = "'" + event.line + "' is not an event of the host";
	return false;
}

void warnEventsNotRun (const char* commandName, const std::vector<EditorEvent>& events, size_t next,
                       const std::string& why)
{
	if (next >= events.size ())
		return;
	std::fprintf (stderr, "vst3host %s: warning: %s; %zu event line(s) did not run, from '%s' on\n", commandName,
	              why.c_str (), events.size () - next, events[next].line.c_str ());
}

} // namespace app
} // namespace vsthost
