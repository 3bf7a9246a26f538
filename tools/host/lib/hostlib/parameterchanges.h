// Host-side parameter changes handed to process().
#pragma once

#include "hostlib/hostobject.h"

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <vector>

namespace vsthost {

//------------------------------------------------------------------------
// The points of one parameter within one block, kept in ascending sample
// offset; a point at an offset that already has one replaces its value.
//------------------------------------------------------------------------
class ParamValueQueue : public HostObject<Steinberg::Vst::IParamValueQueue>
{
public:
	static Steinberg::IPtr<ParamValueQueue> create (Steinberg::Vst::ParamID id);

	Steinberg::Vst::ParamID PLUGIN_API getParameterId () override { return id; }
	Steinberg::int32 PLUGIN_API getPointCount () override;
	Steinberg::tresult PLUGIN_API getPoint (Steinberg::int32 index, Steinberg::int32& sampleOffset,
	                                        Steinberg::Vst::ParamValue& value) override;
	Steinberg::tresult PLUGIN_API addPoint (Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value,
	                                        Steinberg::int32& index) override;

	void clear () { points.clear (); }

private:
	explicit ParamValueQueue (Steinberg::Vst::ParamID id) : id (id) {}

	struct Point
	{
		Steinberg::int32 offset;
		Steinberg::Vst::ParamValue value;
	};
	Steinberg::Vst::ParamID id;
	std::vector<Point> points;
};

//------------------------------------------------------------------------
// One queue per parameter, in the order the parameters were first added.
//------------------------------------------------------------------------
class ParameterChanges : public HostObject<Steinberg::Vst::IParameterChanges>
{
public:
	static Steinberg::IPtr<ParameterChanges> create ();

	Steinberg::int32 PLUGIN_API getParameterCount () override;
	Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData (Steinberg::int32 index) override;
	Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData (const Steinberg::Vst::ParamID& id,
	                                                                Steinberg::int32& index) override;

	// Host convenience: add one point for a parameter.
	void addChange (Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value, Steinberg::int32 sampleOffset = 0);
	// Last value given to a parameter in this set (false when it has none).
	bool getLastValue (Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue& value) const;
	void clear () { queues.clear (); }
	bool empty () const { return queues.empty (); }

private:
	ParameterChanges () = default;

	std::vector<Steinberg::IPtr<ParamValueQueue>> queues;
};

} // namespace vsthost
