#include "irunloop.h"
#include <algorithm>

namespace VSTGUI {

namespace {
IRunLoop*& installedRunLoop ()
{
	static IRunLoop* loop = nullptr;
	return loop;
}
ManualRunLoop& fallbackRunLoop ()
{
	static ManualRunLoop loop;
	return loop;
}
} // anonymous

void setRunLoop (IRunLoop* runLoop)
{
	installedRunLoop () = runLoop;
}

IRunLoop* getRunLoop ()
{
	if (auto loop = installedRunLoop ())
		return loop;
	return &fallbackRunLoop ();
}

bool hasRunLoop ()
{
	return installedRunLoop () != nullptr;
}

//------------------------------------------------------------------------
bool ManualRunLoop::registerTimer (uint64_t intervalMs, IRunLoopTimerHandler* handler)
{
	if (!handler)
		return false;
	if (intervalMs == 0)
		intervalMs = 1;
	timers[handler] = Timer {intervalMs, clock + intervalMs, ++serialCounter};
	return true;
}

bool ManualRunLoop::unregisterTimer (IRunLoopTimerHandler* handler)
{
	return timers.erase (handler) > 0;
}

bool ManualRunLoop::isTimerRegistered (IRunLoopTimerHandler* handler) const
{
	return timers.find (handler) != timers.end ();
}

bool ManualRunLoop::registerEventHandler (int fd, IRunLoopEventHandler* handler)
{
	if (!handler || fd < 0)
		return false;
	events.emplace_back (fd, handler);
	return true;
}

bool ManualRunLoop::unregisterEventHandler (IRunLoopEventHandler* handler)
{
	auto it = std::remove_if (events.begin (), events.end (), [handler] (const auto& e) { return e.second == handler; });
	bool found = it != events.end ();
	events.erase (it, events.end ());
	return found;
}

uint32_t ManualRunLoop::advance (uint64_t ms)
{
	const uint64_t target = clock + ms;
	uint32_t fired = 0;
	while (true)
	{
		// The earliest due timer; ties go to the one registered first.
		IRunLoopTimerHandler* next = nullptr;
		Timer nextTimer {};
		for (const auto& t : timers)
		{
			if (t.second.due > target)
				continue;
			if (!next || t.second.due < nextTimer.due ||
			    (t.second.due == nextTimer.due && t.second.serial < nextTimer.serial))
			{
				next = t.first;
				nextTimer = t.second;
			}
		}
		if (!next)
			break;
		clock = nextTimer.due;
		auto it = timers.find (next);
		it->second.due = clock + it->second.interval;
		++fired;
		next->onTimer (); // may unregister or delete the handler
	}
	clock = target;
	return fired;
}

uint32_t ManualRunLoop::dispatchEvent (int fd)
{
	auto copy = events;
	uint32_t called = 0;
	for (const auto& e : copy)
	{
		if (e.first != fd)
			continue;
		// Skip handlers that an earlier handler unregistered.
		if (std::find (events.begin (), events.end (), e) == events.end ())
			continue;
		e.second->onEvent ();
		++called;
	}
	return called;
}

} // VSTGUI
