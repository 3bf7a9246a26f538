// Parameter changes for process() in tests: queues of (offset, value) points,
// as a host hands them to the processor for one block.
#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <atomic>
#include <memory>
#include <utility>
#include <vector>

namespace PalvisTest {

using namespace Steinberg;
using namespace Steinberg::Vst;

class ParamValueQueue final : public IParamValueQueue
{
public:
	explicit ParamValueQueue (ParamID id) : id (id) {}

	// getPoint answers kResultFalse (and leaves its outputs alone) when set.
	void setFailGetPoint (bool fail) { failGetPoint = fail; }
	// Number of getPoint calls, to see which points the processor asked for.
	int32 getPointCalls () const { return numGetPointCalls; }
	int32 lastPointAsked () const { return lastIndexAsked; }

	tresult PLUGIN_API queryInterface (const TUID _iid, void** obj) override
	{
		if (!obj)
			return kInvalidArgument;
		if (FUnknownPrivate::iidEqual (_iid, FUnknown::iid) || FUnknownPrivate::iidEqual (_iid, IParamValueQueue::iid))
		{
			addRef ();
			*obj = static_cast<IParamValueQueue*> (this);
			return kResultOk;
		}
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return static_cast<uint32> (++refs); }
	uint32 PLUGIN_API release () override { return static_cast<uint32> (--refs); }

	ParamID PLUGIN_API getParameterId () override { return id; }
	int32 PLUGIN_API getPointCount () override { return static_cast<int32> (points.size ()); }
	tresult PLUGIN_API getPoint (int32 index, int32& sampleOffset, ParamValue& value) override
	{
		++numGetPointCalls;
		lastIndexAsked = index;
		if (failGetPoint || index < 0 || index >= static_cast<int32> (points.size ()))
			return kResultFalse;
		sampleOffset = points[static_cast<size_t> (index)].first;
		value = points[static_cast<size_t> (index)].second;
		return kResultOk;
	}
	tresult PLUGIN_API addPoint (int32 sampleOffset, ParamValue value, int32& index) override
	{
		index = static_cast<int32> (points.size ());
		points.emplace_back (sampleOffset, value);
		return kResultOk;
	}

	ParamValueQueue& add (int32 sampleOffset, ParamValue value)
	{
		int32 index;
		addPoint (sampleOffset, value, index);
		return *this;
	}

private:
	ParamID id;
	std::vector<std::pair<int32, ParamValue>> points;
	bool failGetPoint {false};
	int32 numGetPointCalls {0};
	int32 lastIndexAsked {-1};
	std::atomic<int32> refs {1};
};

class ParameterChanges final : public IParameterChanges
{
public:
	tresult PLUGIN_API queryInterface (const TUID _iid, void** obj) override
	{
		if (!obj)
			return kInvalidArgument;
		if (FUnknownPrivate::iidEqual (_iid, FUnknown::iid) || FUnknownPrivate::iidEqual (_iid, IParameterChanges::iid))
		{
			addRef ();
			*obj = static_cast<IParameterChanges*> (this);
			return kResultOk;
		}
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return static_cast<uint32> (++refs); }
	uint32 PLUGIN_API release () override { return static_cast<uint32> (--refs); }

	int32 PLUGIN_API getParameterCount () override { return static_cast<int32> (queues.size ()); }
	IParamValueQueue* PLUGIN_API getParameterData (int32 index) override
	{
		if (index < 0 || index >= static_cast<int32> (queues.size ()))
			return nullptr;
		return queues[static_cast<size_t> (index)].get ();
	}
	IParamValueQueue* PLUGIN_API addParameterData (const ParamID& id, int32& index) override
	{
		for (size_t i = 0; i < queues.size (); ++i)
		{
			if (queues[i] && queues[i]->getParameterId () == id)
			{
				index = static_cast<int32> (i);
				return queues[i].get ();
			}
		}
		index = static_cast<int32> (queues.size ());
		queues.push_back (std::make_unique<ParamValueQueue> (id));
		return queues.back ().get ();
	}

	// A queue for id (a new one every call, even for an id already present).
	ParamValueQueue& queue (ParamID id)
	{
		queues.push_back (std::make_unique<ParamValueQueue> (id));
		return *queues.back ();
	}
	// A slot whose getParameterData answers null.
	void addNullQueue () { queues.push_back (nullptr); }
	void clear () { queues.clear (); }

private:
	std::vector<std::unique_ptr<ParamValueQueue>> queues;
	std::atomic<int32> refs {1};
};

} // namespace PalvisTest
