// "param=value" assignments given on a command line.
#pragma once

#include "hostlib/plugininstance.h"

#include <string>

namespace vsthost {

struct ParameterAssignment
{
	Steinberg::Vst::ParamID id {0};
	Steinberg::Vst::ParamValue normalized {0};
	std::string title;
};

// PARAM=VALUE. PARAM: an ID or a title (see PluginInstance::findParameter).
// VALUE: a normalised value in [0, 1]; "plain:X" for a plain value, or "dB:X"
// for a parameter whose units are "dB", both converted with the controller's
// plainParamToNormalized (the result must lie in [0, 1]).
bool parseParameterAssignment (const PluginInstance& instance, const std::string& text,
                               ParameterAssignment& assignment, std::string& error);

} // namespace vsthost
