// The plug-in's own range parameters: a linear one whose display never shows a
// negative zero, and an exponential one.
#pragma once

#include "public.sdk/source/vst/vstparameters.h"

namespace Steinberg {
namespace Vst {

// Linear mapping of the SDK's RangeParameter; a plain value within 5e-5 of zero
// is shown as zero, so a centred gain reads "0.00", never "-0.00".
class VDRangeParameter : public RangeParameter
{
public:
	VDRangeParameter (const TChar* title, ParamID tag, const TChar* units, int32 flags,
	                  ParamValue minPlain, ParamValue maxPlain, ParamValue defaultValuePlain);

	void toString (ParamValue valueNormalized, String128 string) const SMTG_OVERRIDE;
};

// Plain value growing geometrically from min to max across the normalised range.
// min and max must be non-zero and of the same sign.
class VDExpRangeParameter : public RangeParameter
{
public:
	VDExpRangeParameter (const TChar* title, ParamID tag, const TChar* units, int32 flags,
	                     ParamValue minPlain, ParamValue maxPlain, ParamValue defaultValuePlain);

	void toString (ParamValue valueNormalized, String128 string) const SMTG_OVERRIDE;
	ParamValue toPlain (ParamValue valueNormalized) const SMTG_OVERRIDE;
	ParamValue toNormalized (ParamValue plainValue) const SMTG_OVERRIDE;
};

} // namespace Vst
} // namespace Steinberg
