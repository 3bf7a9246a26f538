#include "vdrangeparameter.h"

#include "pluginterfaces/base/ustring.h"

#include <cmath>

namespace Steinberg {
namespace Vst {

namespace {
constexpr int32 kString128Size = 128;

// Below this magnitude a plain value prints as zero (the double nearest 0.00005).
constexpr double kZeroSnap = 5e-5;

// The fields both constructors set before the default is converted.
void fillInfo (ParameterInfo& info, const TChar* title, ParamID tag, const TChar* units, int32 flags)
{
	UString (info.title, kString128Size).assign (title);
	if (units)
		UString (info.units, kString128Size).assign (units);
	info.flags = flags;
	info.id = tag;
	info.stepCount = 0;
	info.unitId = kRootUnitId;
}

void printPlain (double plain, int32 precision, String128 string)
{
	if (!UString (string, kString128Size).printFloat (plain, precision))
		string[0] = 0;
}
} // namespace

//------------------------------------------------------------------------
VDRangeParameter::VDRangeParameter (const TChar* title, ParamID tag, const TChar* units, int32 flags,
                                    ParamValue minPlain, ParamValue maxPlain,
                                    ParamValue defaultValuePlain)
{
	this->minPlain = minPlain;
	this->maxPlain = maxPlain;
	fillInfo (info, title, tag, units, flags);
	// Converted here, not in a base constructor, so the call reaches this class's mapping.
	info.defaultNormalizedValue = valueNormalized = toNormalized (defaultValuePlain);
}

void VDRangeParameter::toString (ParamValue valueNormalized, String128 string) const
{
	if (!string)
		return;
	ParamValue plain = toPlain (valueNormalized);
	if (std::fabs (plain) < kZeroSnap)
		plain = 0.0;
	printPlain (plain, precision, string);
}

//------------------------------------------------------------------------
VDExpRangeParameter::VDExpRangeParameter (const TChar* title, ParamID tag, const TChar* units,
                                          int32 flags, ParamValue minPlain, ParamValue maxPlain,
                                          ParamValue defaultValuePlain)
{
	this->minPlain = minPlain;
	this->maxPlain = maxPlain;
	fillInfo (info, title, tag, units, flags);
	// The exponential mapping, not the base's linear one.
	info.defaultNormalizedValue = valueNormalized = toNormalized (defaultValuePlain);
}

void VDExpRangeParameter::toString (ParamValue valueNormalized, String128 string) const
{
	if (!string)
		return;
	printPlain (toPlain (valueNormalized), precision, string);
}

ParamValue VDExpRangeParameter::toPlain (ParamValue valueNormalized) const
{
	const ParamValue min = getMin ();
	return min * std::exp (valueNormalized * std::log (getMax () / min));
}

ParamValue VDExpRangeParameter::toNormalized (ParamValue plainValue) const
{
	const ParamValue min = getMin ();
	return std::log (plainValue / min) / std::log (getMax () / min);
}

} // namespace Vst
} // namespace Steinberg
