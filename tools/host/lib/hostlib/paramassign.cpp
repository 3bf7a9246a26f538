#include "hostlib/paramassign.h"

#include "hostlib/strings.h"

#include <cmath>

namespace vsthost {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
bool hasPrefix (const std::string& text, const std::string& prefix)
{
	return equalsIgnoreCase (text.substr (0, prefix.size ()), prefix);
}

// "-36 to +12 dB": a signed range shows the sign of both ends.
std::string rangeText (double low, double high, const std::string& units)
{
	auto number = [&] (double v) { return (v > 0 && low < 0 ? "+" : "") + shortestDouble (v); };
	return number (low) + " to " + number (high) + (units.empty () ? "" : " " + units);
}
} // namespace

bool parseAssignmentText (const std::string& text, AssignmentText& parsed, std::string& error)
{
	auto equals = text.rfind ('=');
	if (equals == std::string::npos || equals == 0 || equals + 1 == text.size ())
	{
		error = "'" + text + "' is not of the form PARAM=VALUE";
		return false;
	}
	parsed.text = text;
	parsed.key = text.substr (0, equals);
	const std::string valueText = text.substr (equals + 1);
	std::string number = valueText;
	parsed.kind = AssignmentText::Kind::Normalized;
	if (hasPrefix (valueText, "plain:"))
	{
		parsed.kind = AssignmentText::Kind::Plain;
		number = valueText.substr (6);
	}
	else if (hasPrefix (valueText, "dB:"))
	{
		parsed.kind = AssignmentText::Kind::Decibels;
		number = valueText.substr (3);
	}
	if (!parseDouble (number, parsed.number) || !std::isfinite (parsed.number))
	{
		error = "'" + number + "' in '" + text + "' is not a number" +
		        (parsed.kind == AssignmentText::Kind::Normalized ? " (or plain:X / dB:X)" : "");
		return false;
	}
	return true;
}

bool resolveAssignment (const PluginInstance& instance, const AssignmentText& parsed, ParameterAssignment& assignment,
                        std::string& error)
{
	ParamID id = 0;
	if (!instance.findParameter (parsed.key, id, error))
		return false;
	ParameterInfo info {};
	for (auto& candidate : instance.getParameterInfos ())
		if (candidate.id == id)
			info = candidate;
	const std::string title = toUtf8 (info.title, 128);
	const std::string units = toUtf8 (info.units, 128);
	IEditController* controller = instance.getController ();

	double normalized = parsed.number;
	if (parsed.kind != AssignmentText::Kind::Normalized)
	{
		if (parsed.kind == AssignmentText::Kind::Decibels && units != "dB")
		{
			error = "parameter '" + title + "' is not in dB (units " + quoted (units) + "); use plain:X";
			return false;
		}
		normalized = controller->plainParamToNormalized (id, parsed.number);
		if (!(normalized >= 0.0 && normalized <= 1.0))
		{
			error = "'" + parsed.text + "': " + shortestDouble (parsed.number) + (units.empty () ? "" : " " + units) +
			        " is outside the range of '" + title + "', " +
			        rangeText (controller->normalizedParamToPlain (id, 0.0), controller->normalizedParamToPlain (id, 1.0),
			                   units);
			return false;
		}
	}
	else if (!(normalized >= 0.0 && normalized <= 1.0))
	{
		error = "'" + parsed.text + "': " + shortestDouble (normalized) +
		        " is outside the normalised range 0 to 1 (plain values: plain:X, " +
		        rangeText (controller->normalizedParamToPlain (id, 0.0), controller->normalizedParamToPlain (id, 1.0),
		                   units) +
		        ")";
		return false;
	}
	assignment.id = id;
	assignment.normalized = normalized;
	assignment.title = title;
	return true;
}

bool parseParameterAssignment (const PluginInstance& instance, const std::string& text,
                               ParameterAssignment& assignment, std::string& error)
{
	AssignmentText parsed;
	return parseAssignmentText (text, parsed, error) && resolveAssignment (instance, parsed, assignment, error);
}

} // namespace vsthost
