// A repeating timer on the main thread's run loop (see platform/irunloop.h).
#pragma once

#include "vstguibase.h"
#include <functional>

namespace VSTGUI {

extern IdStringPtr kMsgTimer;

class IRunLoop;

class CVSTGUITimer final : public CBaseObject
{
public:
	using CallbackFunc = std::function<void (CVSTGUITimer*)>;

	/** Calls callback every fireTime ms while running. */
	CVSTGUITimer (const CallbackFunc& callback, uint32_t fireTime = 100, bool doStart = true);
	/** Sends notify (this, kMsgTimer) to timerObject every fireTime ms while running. */
	CVSTGUITimer (CBaseObject* timerObject, uint32_t fireTime = 100, bool doStart = false);
	~CVSTGUITimer () noexcept override;

	bool start ();
	bool stop ();
	bool isRunning () const { return running; }
	/** Changes the interval; a running timer restarts with it. */
	bool setFireTime (uint32_t newFireTime);
	uint32_t getFireTime () const { return fireTime; }

private:
	struct Handler;
	void fire ();

	uint32_t fireTime;
	CallbackFunc callback;
	CBaseObject* timerObject {nullptr};
	IRunLoop* runLoop {nullptr};
	struct Handler* handler;
	bool running {false};
};

} // VSTGUI
