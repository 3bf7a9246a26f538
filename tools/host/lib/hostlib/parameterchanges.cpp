#include "hostlib/parameterchanges.h"

namespace vsthost {

using namespace Steinberg;
using namespace Steinberg::Vst;

IPtr<ParamValueQueue> ParamValueQueue::create (ParamID id)
{
	return owned (new ParamValueQueue (id));
}

int32 PLUGIN_API ParamValueQueue::getPointCount ()
{
	return static_cast<int32> (points.size ());
}

tresult PLUGIN_API ParamValueQueue::getPoint (int32 index, int32& sampleOffset, ParamValue& value)
{
	if (index < 0 || index >= getPointCount ())
		return kResultFalse;
	sampleOffset = points[static_cast<size_t> (index)].offset;
	value = points[static_cast<size_t> (index)].value;
	return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::addPoint (int32 sampleOffset, ParamValue value, int32& index)
{
	if (sampleOffset < 0)
		return kInvalidArgument;
	size_t at = 0;
	while (at < points.size () && points[at].offset < sampleOffset)
		++at;
	if (at < points.size () && points[at].offset == sampleOffset)
		points[at].value = value;
	else
		points.insert (points.begin () + static_cast<std::ptrdiff_t> (at), Point {sampleOffset, value});
	index = static_cast<int32> (at);
	return kResultOk;
}

IPtr<ParameterChanges> ParameterChanges::create ()
{
	return owned (new ParameterChanges ());
}

int32 PLUGIN_API ParameterChanges::getParameterCount ()
{
	return static_cast<int32> (queues.size ());
}

IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData (int32 index)
{
	if (index < 0 || index >= getParameterCount ())
		return nullptr;
	return queues[static_cast<size_t> (index)].get ();
}

IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData (const ParamID& id, int32& index)
{
	for (size_t i = 0; i < queues.size (); ++i)
	{
		if (queues[i]->getParameterId () == id)
		{
			index = static_cast<int32> (i);
			return queues[i].get ();
		}
	}
	queues.push_back (ParamValueQueue::create (id));
	index = static_cast<int32> (queues.size () - 1);
	return queues.back ().get ();
}

void ParameterChanges::addChange (ParamID id, ParamValue value, int32 sampleOffset)
{
	int32 queueIndex = 0;
	int32 pointIndex = 0;
	if (auto* queue = addParameterData (id, queueIndex))
		queue->addPoint (sampleOffset, value, pointIndex);
}

bool ParameterChanges::getLastValue (ParamID id, ParamValue& value) const
{
	for (auto& queue : queues)
	{
		if (queue->getParameterId () != id)
			continue;
		int32 count = queue->getPointCount ();
		int32 offset = 0;
		return count > 0 && queue->getPoint (count - 1, offset, value) == kResultOk;
	}
	return false;
}

} // namespace vsthost
