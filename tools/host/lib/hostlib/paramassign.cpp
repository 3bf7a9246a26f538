#include "hostlib/paramassign.h"

#include "hostlib/strings.h"

#include <cmath>

namespace vsthost {

using namespace Steinberg;
using namespace Steinberg::Vst;

bool parseParameterAssignment (const PluginInstance& instance, const std::string& text,
                               ParameterAssignment& assignment, std::string& error)
{
	auto equals = text.rfind ('=');
	if (equals == std::string::npos || equals == 0 || equals + 1 == text.size ())
	{
		error = "'" + text + "' is not of the form PARAM=VALUE";
		return false;
	}
	const std::string key = text.substr (0, equals);
	const std::string valueText = text.substr (equals + 1);

	ParamID id = 0;
	if (!instance.findParameter (key, id, error))
		return false;
	ParameterInfo info {};
	for (auto& candidate : instance.getParameterInfos ())
		if (candidate.id == id)
			info = candidate;
	const std::string title = toUtf8 (info.title, 128);
	const std::string units = toUtf8 (info.units, 128);

	double normalized = 0;
	auto hasPrefix = [&] (const char* prefix) {
		return equalsIgnoreCase (valueText.substr (0, std::string (prefix).size ()), prefix);
	};
	if (hasPrefix ("plain:") || hasPrefix ("dB:"))
	{
		const bool isDb = hasPrefix ("dB:");
		const std::string number = valueText.substr (isDb ? 3 : 6);
		double plain = 0;
		if (!parseDouble (number, plain) || !std::isfinite (plain))
		{
			error = "'" + number + "' in '" + text + "' is not a number";
			return false;
		}
		if (isDb && units != "dB")
		{
			error = "parameter '" + title + "' is not in dB (units " + quoted (units) + "); use plain:X";
			return false;
		}
		normalized = instance.getController ()->plainParamToNormalized (id, plain);
	}
	else if (!parseDouble (valueText, normalized))
	{
		error = "'" + valueText + "' in '" + text + "' is not a number (or plain:X / dB:X)";
		return false;
	}
	if (!(normalized >= 0.0 && normalized <= 1.0))
	{
		error = "value of '" + text + "' is outside the normalised range [0, 1] (" + shortestDouble (normalized) + ")";
		return false;
	}
	assignment.id = id;
	assignment.normalized = normalized;
	assignment.title = title;
	return true;
}

} // namespace vsthost
