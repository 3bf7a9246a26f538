#include "public.sdk/source/vst/vstparameters.h"

#include "pluginterfaces/base/ustring.h"

#include <cmath>
#include <cstring>

namespace Steinberg {
namespace Vst {

namespace {
constexpr int32 kString128Size = 128;

void copyTitle (String128 dst, const TChar* src)
{
	UString (dst, kString128Size).assign (src);
}

// Limits v to [lo, hi] (for lo <= hi).
ParamValue limit (ParamValue v, ParamValue lo, ParamValue hi)
{
	if (v < lo)
		return lo;
	if (v > hi)
		return hi;
	return v;
}
} // namespace

//------------------------------------------------------------------------
// Parameter
//------------------------------------------------------------------------
Parameter::Parameter ()
{
	std::memset (&info, 0, sizeof (info));
}

Parameter::Parameter (const ParameterInfo& paramInfo)
: info (paramInfo), valueNormalized (paramInfo.defaultNormalizedValue)
{
}

Parameter::Parameter (const TChar* title, ParamID tag, const TChar* units,
                      ParamValue defaultValueNormalized, int32 stepCount, int32 flags,
                      UnitID unitID, const TChar* shortTitle)
{
	std::memset (&info, 0, sizeof (info));
	copyTitle (info.title, title);
	copyTitle (info.units, units);
	copyTitle (info.shortTitle, shortTitle);
	info.id = tag;
	info.stepCount = stepCount;
	info.defaultNormalizedValue = defaultValueNormalized;
	info.unitId = unitID;
	info.flags = flags;
	valueNormalized = defaultValueNormalized;
}

Parameter::~Parameter () = default;

bool Parameter::setNormalized (ParamValue normValue)
{
	// A NaN would pass every comparison below and poison the value: it means nothing, so 0.
	if (std::isnan (normValue))
		normValue = 0.;
	normValue = limit (normValue, 0., 1.);
	if (normValue != valueNormalized)
	{
		valueNormalized = normValue;
		changed ();
		return true;
	}
	return false;
}

void Parameter::toString (ParamValue normValue, String128 string) const
{
	if (!string)
		return;
	UString wrapper (string, kString128Size);
	if (info.stepCount == 1)
		wrapper.fromAscii (normValue > 0.5 ? "On" : "Off");
	else
		wrapper.printFloat (normValue, precision);
}

bool Parameter::fromString (const TChar* string, ParamValue& normValue) const
{
	if (!string)
		return false;
	double value = 0.;
	if (!UString (const_cast<TChar*> (string), kString128Size).scanFloat (value) || std::isnan (value))
		return false;
	// A normalised value outside [0, 1] means nothing to a host.
	normValue = limit (value, 0., 1.);
	return true;
}

//------------------------------------------------------------------------
// RangeParameter
//------------------------------------------------------------------------
RangeParameter::RangeParameter () = default;

RangeParameter::RangeParameter (const ParameterInfo& paramInfo, ParamValue min, ParamValue max)
: Parameter (paramInfo), minPlain (min), maxPlain (max)
{
}

RangeParameter::RangeParameter (const TChar* title, ParamID tag, const TChar* units,
                                ParamValue min, ParamValue max, ParamValue defaultValuePlain,
                                int32 stepCount, int32 flags, UnitID unitID, const TChar* shortTitle)
: Parameter (title, tag, units, 0., stepCount, flags, unitID, shortTitle), minPlain (min), maxPlain (max)
{
	info.defaultNormalizedValue = valueNormalized = RangeParameter::toNormalized (defaultValuePlain);
}

ParamValue RangeParameter::toPlain (ParamValue normValue) const
{
	if (info.stepCount > 1)
	{
		// Whole steps; the value is limited first so the integer conversion stays defined.
		normValue = std::isnan (normValue) ? 0. : limit (normValue, 0., 1.);
		auto step = static_cast<int32> (normValue * (info.stepCount + 1));
		if (step > info.stepCount)
			step = info.stepCount;
		return step + getMin ();
	}
	return normValue * (getMax () - getMin ()) + getMin ();
}

ParamValue RangeParameter::toNormalized (ParamValue plainValue) const
{
	if (info.stepCount > 1)
		return (plainValue - getMin ()) / info.stepCount;
	return (plainValue - getMin ()) / (getMax () - getMin ());
}

void RangeParameter::toString (ParamValue normValue, String128 string) const
{
	if (!string)
		return;
	if (info.stepCount > 1)
	{
		UString (string, kString128Size).printInt (static_cast<int64> (toPlain (normValue)));
		return;
	}
	Parameter::toString (toPlain (normValue), string);
}

bool RangeParameter::fromString (const TChar* string, ParamValue& normValue) const
{
	if (!string)
		return false;
	UString wrapper (const_cast<TChar*> (string), kString128Size);
	double plain = 0.;
	if (info.stepCount > 1)
	{
		int64 whole = 0;
		if (!wrapper.scanInt (whole))
			return false;
		plain = static_cast<double> (whole);
	}
	else if (!wrapper.scanFloat (plain) || std::isnan (plain))
		return false;
	plain = limit (plain, getMin (), getMax ());
	normValue = toNormalized (plain);
	return true;
}

//------------------------------------------------------------------------
// ParameterContainer
//------------------------------------------------------------------------
ParameterContainer::ParameterContainer () = default;

ParameterContainer::~ParameterContainer () = default;

void ParameterContainer::init (int32 initialSize, int32 /*resizeDelta*/)
{
	if (initialSize > 0)
		params.reserve (static_cast<size_t> (initialSize));
}

Parameter* ParameterContainer::addParameter (const ParameterInfo& info)
{
	if (id2index.count (info.id))
		return nullptr;
	return addParameter (new Parameter (info));
}

Parameter* ParameterContainer::addParameter (const TChar* title, const TChar* units, int32 stepCount,
                                             ParamValue defaultValueNormalized, int32 flags,
                                             int32 tag, UnitID unitID, const TChar* shortTitle)
{
	if (!title)
		return nullptr;
	ParamID id = tag == -1 ? static_cast<ParamID> (getParameterCount ()) : static_cast<ParamID> (tag);
	if (id2index.count (id))
		return nullptr;
	return addParameter (new Parameter (title, id, units, defaultValueNormalized, stepCount, flags,
	                                    unitID, shortTitle));
}

Parameter* ParameterContainer::addParameter (Parameter* p)
{
	if (!p)
		return nullptr;
	ParamID id = p->getInfo ().id;
	if (id2index.count (id))
	{
		p->release ();
		return nullptr;
	}
	params.emplace_back (p, false);
	id2index[id] = params.size () - 1;
	return p;
}

Parameter* ParameterContainer::getParameterByIndex (int32 index) const
{
	if (index < 0 || static_cast<size_t> (index) >= params.size ())
		return nullptr;
	return params[static_cast<size_t> (index)].get ();
}

Parameter* ParameterContainer::getParameter (ParamID tag) const
{
	auto it = id2index.find (tag);
	if (it == id2index.end ())
		return nullptr;
	return params[it->second].get ();
}

void ParameterContainer::removeAll ()
{
	// Clear the index first: releasing a parameter may call back into the controller.
	id2index.clear ();
	std::vector<IPtr<Parameter>> old;
	old.swap (params);
}

} // namespace Vst
} // namespace Steinberg
