// The run loop that drives the library's timers (and, later, window events).
//
// The library never runs a loop of its own. A run loop is installed with setRunLoop():
// inside a host the editor installs an adapter over the host's run loop; tests install
// or use a ManualRunLoop and step its clock by hand. Without an installed loop the
// library falls back to a process-wide ManualRunLoop that nobody advances, so timers
// are accepted but never fire.
#pragma once

#include "../vstguibase.h"
#include <cstdint>
#include <map>
#include <vector>

namespace VSTGUI {

class IRunLoopTimerHandler
{
public:
	virtual ~IRunLoopTimerHandler () noexcept = default;
	virtual void onTimer () = 0;
};

class IRunLoopEventHandler
{
public:
	virtual ~IRunLoopEventHandler () noexcept = default;
	/** The file descriptor it was registered for is readable. */
	virtual void onEvent () = 0;
};

class IRunLoop
{
public:
	virtual ~IRunLoop () noexcept = default;
	/** Calls handler->onTimer() every intervalMs on the main thread until unregistered. */
	virtual bool registerTimer (uint64_t intervalMs, IRunLoopTimerHandler* handler) = 0;
	virtual bool unregisterTimer (IRunLoopTimerHandler* handler) = 0;
	virtual bool registerEventHandler (int fd, IRunLoopEventHandler* handler) = 0;
	virtual bool unregisterEventHandler (IRunLoopEventHandler* handler) = 0;
};

/** Installs the run loop (not owned; null restores the fallback). Timers already
 *  running stay with the loop they were started on. */
void setRunLoop (IRunLoop* runLoop);
/** The installed run loop, or the process-wide fallback. Never null. */
IRunLoop* getRunLoop ();
/** True while a run loop is installed (the fallback never runs anything). */
bool hasRunLoop ();

/** A run loop with a hand-driven clock. advance() moves time forward and fires every
 *  due timer on the calling thread, in time order; a handler may register or
 *  unregister timers (itself included) while it runs. */
class ManualRunLoop : public IRunLoop
{
public:
	ManualRunLoop () = default;
	~ManualRunLoop () noexcept override = default;

	bool registerTimer (uint64_t intervalMs, IRunLoopTimerHandler* handler) override;
	bool unregisterTimer (IRunLoopTimerHandler* handler) override;
	bool registerEventHandler (int fd, IRunLoopEventHandler* handler) override;
	bool unregisterEventHandler (IRunLoopEventHandler* handler) override;

	/** Moves the clock by ms milliseconds, firing due timers; returns how many fired. */
	uint32_t advance (uint64_t ms);
	/** Calls the event handlers registered for fd; returns how many were called. */
	uint32_t dispatchEvent (int fd);
	uint64_t now () const { return clock; }
	size_t getNumTimers () const { return timers.size (); }
	size_t getNumEventHandlers () const { return events.size (); }
	bool isTimerRegistered (IRunLoopTimerHandler* handler) const;

private:
	struct Timer
	{
		uint64_t interval;
		uint64_t due;
		uint64_t serial;
	};
	std::map<IRunLoopTimerHandler*, Timer> timers;
	std::vector<std::pair<int, IRunLoopEventHandler*>> events;
	uint64_t clock {0};
	uint64_t serialCounter {0};
};

} // VSTGUI
