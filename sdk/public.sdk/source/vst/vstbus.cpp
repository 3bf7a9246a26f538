#include "public.sdk/source/vst/vstbus.h"

#include <cstring>

namespace Steinberg {
namespace Vst {

Bus::Bus (const TChar* _name, BusType _busType, int32 _flags)
: busType (_busType), flags (static_cast<uint32> (_flags))
{
	setName (_name);
}

void Bus::setName (const TChar* newName)
{
	std::memset (name, 0, sizeof (name));
	if (!newName)
		return;
	for (int i = 0; i < 127 && newName[i]; ++i)
		name[i] = newName[i];
}

bool Bus::getInfo (BusInfo& info)
{
	std::memcpy (info.name, name, sizeof (info.name));
	info.busType = busType;
	info.flags = flags;
	return true;
}

AudioBus::AudioBus (const TChar* _name, BusType _busType, int32 _flags, SpeakerArrangement arr)
: Bus (_name, _busType, _flags), speakerArr (arr)
{
}

bool AudioBus::getInfo (BusInfo& info)
{
	info.channelCount = SpeakerArr::getChannelCount (speakerArr);
	return Bus::getInfo (info);
}

} // namespace Vst
} // namespace Steinberg
