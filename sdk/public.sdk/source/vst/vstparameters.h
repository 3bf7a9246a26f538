// Parameter objects of an edit controller: a plain normalised Parameter, a
// RangeParameter with a plain range, and the container that owns them.
#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <unordered_map>
#include <vector>

namespace Steinberg {
namespace Vst {

//------------------------------------------------------------------------
// A parameter whose plain value is its normalised value. A change of value is
// told to the dependents (FObject::changed), so that views can follow it.
class Parameter : public FObject
{
public:
	Parameter ();
	explicit Parameter (const ParameterInfo& info);
	Parameter (const TChar* title, ParamID tag, const TChar* units = nullptr,
	           ParamValue defaultValueNormalized = 0., int32 stepCount = 0,
	           int32 flags = ParameterInfo::kCanAutomate, UnitID unitID = kRootUnitId,
	           const TChar* shortTitle = nullptr);
	~Parameter () override;

	virtual const ParameterInfo& getInfo () const { return info; }
	virtual ParameterInfo& getInfo () { return info; }

	virtual void setUnitID (UnitID id) { info.unitId = id; }
	virtual UnitID getUnitID () { return info.unitId; }

	ParamValue getNormalized () const { return valueNormalized; }
	// Limits the value to [0, 1] (NaN gives 0); true, and dependents told, when it changed.
	virtual bool setNormalized (ParamValue v);

	// Display text of a normalised value: "On"/"Off" for a switch (step count 1),
	// otherwise the value with getPrecision () decimals.
	virtual void toString (ParamValue valueNormalized, String128 string) const;
	// Reads a number typed by the user; false when the text holds none.
	virtual bool fromString (const TChar* string, ParamValue& valueNormalized) const;

	virtual ParamValue toPlain (ParamValue valueNormalized) const { return valueNormalized; }
	virtual ParamValue toNormalized (ParamValue plainValue) const { return plainValue; }

	virtual int32 getPrecision () const { return precision; }
	virtual void setPrecision (int32 val) { precision = val; }

	OBJ_METHODS (Parameter, FObject)

protected:
	ParameterInfo info;
	ParamValue valueNormalized {0.};
	int32 precision {4};
};

//------------------------------------------------------------------------
// A parameter with a plain range [minPlain, maxPlain], mapped linearly, or in
// whole steps when the step count is above 1.
class RangeParameter : public Parameter
{
public:
	RangeParameter (const ParameterInfo& paramInfo, ParamValue min, ParamValue max);
	RangeParameter (const TChar* title, ParamID tag, const TChar* units = nullptr,
	                ParamValue minPlain = 0., ParamValue maxPlain = 1.,
	                ParamValue defaultValuePlain = 0., int32 stepCount = 0,
	                int32 flags = ParameterInfo::kCanAutomate, UnitID unitID = kRootUnitId,
	                const TChar* shortTitle = nullptr);

	virtual ParamValue getMin () const { return minPlain; }
	virtual void setMin (ParamValue value) { minPlain = value; }
	virtual ParamValue getMax () const { return maxPlain; }
	virtual void setMax (ParamValue value) { maxPlain = value; }

	void toString (ParamValue valueNormalized, String128 string) const SMTG_OVERRIDE;
	bool fromString (const TChar* string, ParamValue& valueNormalized) const SMTG_OVERRIDE;
	ParamValue toPlain (ParamValue valueNormalized) const SMTG_OVERRIDE;
	ParamValue toNormalized (ParamValue plainValue) const SMTG_OVERRIDE;

	OBJ_METHODS (RangeParameter, Parameter)

protected:
	// For derived classes that fill in the info themselves: range 0 to 1.
	RangeParameter ();

	ParamValue minPlain {0.};
	ParamValue maxPlain {1.};
};

//------------------------------------------------------------------------
// Owns the parameters of a controller, in the order they were added, and
// finds them by ID.
class ParameterContainer
{
public:
	ParameterContainer ();
	~ParameterContainer ();

	// Reserves room for the expected number of parameters.
	void init (int32 initialSize = 10, int32 resizeDelta = 100);

	// A plain Parameter from the info; null when its ID is already taken.
	Parameter* addParameter (const ParameterInfo& info);
	// A plain Parameter; tag -1 takes the current count as ID. Null for a null
	// title or an ID that is already taken.
	Parameter* addParameter (const TChar* title, const TChar* units = nullptr, int32 stepCount = 0,
	                         ParamValue defaultValueNormalized = 0.,
	                         int32 flags = ParameterInfo::kCanAutomate, int32 tag = -1,
	                         UnitID unitID = kRootUnitId, const TChar* shortTitle = nullptr);
	// Takes over the caller's reference. A parameter whose ID is already taken
	// is released and null returned: two parameters must never share an ID.
	Parameter* addParameter (Parameter* p);

	int32 getParameterCount () const { return static_cast<int32> (params.size ()); }
	Parameter* getParameterByIndex (int32 index) const;
	Parameter* getParameter (ParamID tag) const;
	void removeAll ();

private:
	ParameterContainer (const ParameterContainer&) = delete;
	ParameterContainer& operator= (const ParameterContainer&) = delete;

	std::vector<IPtr<Parameter>> params;
	std::unordered_map<ParamID, size_t> id2index;
};

} // namespace Vst
} // namespace Steinberg
