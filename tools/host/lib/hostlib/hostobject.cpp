#include "hostlib/hostobject.h"

namespace vsthost {

namespace {
std::atomic<Steinberg::int32> liveCount {0};
}

Steinberg::int32 liveHostObjects ()
{
	return liveCount.load ();
}

namespace detail {
void countHostObject (int delta)
{
	liveCount += delta;
}
} // namespace detail

} // namespace vsthost
