// Buses of a component: their name, type, flags, activation and, for audio
// buses, the speaker arrangement; and the per-direction bus lists.
#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <vector>

namespace Steinberg {
namespace Vst {

class Bus : public FObject
{
public:
	Bus (const TChar* name, BusType busType, int32 flags);

	bool isActive () const { return active; }
	void setActive (TBool state) { active = state != 0; }

	// The name is kept like a String128 field: at most 127 characters.
	void setName (const TChar* newName);
	const TChar* getName () const { return name; }
	void setBusType (BusType newBusType) { busType = newBusType; }
	BusType getBusType () const { return busType; }
	void setFlags (uint32 newFlags) { flags = newFlags; }
	uint32 getFlags () const { return flags; }

	// Fills everything of BusInfo but mediaType, direction and channelCount.
	virtual bool getInfo (BusInfo& info);

	OBJ_METHODS (Bus, FObject)

protected:
	String128 name;
	BusType busType;
	uint32 flags;
	bool active {false};
};

class AudioBus : public Bus
{
public:
	AudioBus (const TChar* name, BusType busType, int32 flags, SpeakerArrangement arr);

	SpeakerArrangement getArrangement () const { return speakerArr; }
	void setArrangement (const SpeakerArrangement& arr) { speakerArr = arr; }

	bool getInfo (BusInfo& info) override;

	OBJ_METHODS (AudioBus, Bus)

protected:
	SpeakerArrangement speakerArr;
};

// The buses of one media type in one direction; it holds a reference to each.
class BusList : public FObject, public std::vector<IPtr<Bus>>
{
public:
	BusList (MediaType type, BusDirection dir) : type (type), direction (dir) {}

	MediaType getType () const { return type; }
	BusDirection getDirection () const { return direction; }

	OBJ_METHODS (BusList, FObject)

protected:
	MediaType type;
	BusDirection direction;
};

} // namespace Vst
} // namespace Steinberg
