// "param=value" assignments given on a command line or in an event line.
#pragma once

#include "hostlib/plugininstance.h"

#include <string>

namespace vsthost {

// PARAM=VALUE as written, before it is looked up. PARAM: an ID or a title (see
// PluginInstance::findParameter). VALUE: a normalised value, "plain:X" for a plain
// value, or "dB:X" for a parameter whose units are "dB".
struct AssignmentText
{
	enum class Kind
	{
		Normalized,
		Plain,
		Decibels
	};
	std::string text; // the whole PARAM=VALUE
	std::string key;
	Kind kind {Kind::Normalized};
	double number {0};
};

// The form alone, without a plug-in: false with a message when the text is not
// PARAM=VALUE or VALUE is not a finite number (with its prefix).
bool parseAssignmentText (const std::string& text, AssignmentText& parsed, std::string& error);

struct ParameterAssignment
{
	Steinberg::Vst::ParamID id {0};
	Steinberg::Vst::ParamValue normalized {0};
	std::string title;
};

// Looks the parameter up and converts the value: plain and dB values with the
// controller's plainParamToNormalized. False with a message for an unknown parameter,
// dB for a parameter in other units, or a value outside the parameter's range (given in
// its plain units for plain and dB values).
bool resolveAssignment (const PluginInstance& instance, const AssignmentText& parsed, ParameterAssignment& assignment,
                        std::string& error);

// Both steps in one.
bool parseParameterAssignment (const PluginInstance& instance, const std::string& text,
                               ParameterAssignment& assignment, std::string& error);

} // namespace vsthost
