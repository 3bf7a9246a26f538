#include "cvstguitimer.h"
#include "platform/irunloop.h"

namespace VSTGUI {

IdStringPtr kMsgTimer = "timer";

struct CVSTGUITimer::Handler : IRunLoopTimerHandler
{
	explicit Handler (CVSTGUITimer* t) : timer (t) {}
	void onTimer () override { timer->fire (); }
	CVSTGUITimer* timer;
};

CVSTGUITimer::CVSTGUITimer (const CallbackFunc& callback, uint32_t fireTime, bool doStart)
: fireTime (fireTime), callback (callback), handler (new Handler (this))
{
	if (doStart)
		start ();
}

CVSTGUITimer::CVSTGUITimer (CBaseObject* timerObject, uint32_t fireTime, bool doStart)
: fireTime (fireTime), timerObject (timerObject), handler (new Handler (this))
{
	if (doStart)
		start ();
}

CVSTGUITimer::~CVSTGUITimer () noexcept
{
	stop ();
	delete handler;
}

bool CVSTGUITimer::start ()
{
	if (running)
		return true;
	runLoop = getRunLoop ();
	running = runLoop->registerTimer (fireTime, handler);
	if (!running)
		runLoop = nullptr;
	return running;
}

bool CVSTGUITimer::stop ()
{
	if (!running)
		return false;
	runLoop->unregisterTimer (handler);
	runLoop = nullptr;
	running = false;
	return true;
}

bool CVSTGUITimer::setFireTime (uint32_t newFireTime)
{
	if (fireTime == newFireTime)
		return true;
	fireTime = newFireTime;
	if (running)
	{
		stop ();
		return start ();
	}
	return true;
}

void CVSTGUITimer::fire ()
{
	// The callback may drop the last outside reference to this timer.
	SharedPointer<CVSTGUITimer> keepAlive (this);
	if (callback)
		callback (this);
	else if (timerObject)
		timerObject->notify (this, kMsgTimer);
}

} // VSTGUI
