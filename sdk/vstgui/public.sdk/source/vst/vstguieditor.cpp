#include "public.sdk/source/vst/vstguieditor.h"

#include "public.sdk/source/main/moduleinit.h"
#include "public.sdk/source/main/pluginfactory.h"

#include "vstgui/lib/cvstguitimer.h"
#include "vstgui/lib/platform/irunloop.h"
#include "vstgui/lib/platform/offscreenframe.h"
#include "vstgui/lib/vstguiinit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

namespace Steinberg {

// The GUI library learns the bundle (and so its resource folder) on the module's first
// entry and forgets it at the last exit.
static ModuleInitializer gInitGUILibrary ([] () { VSTGUI::init (getPlatformModuleHandle ()); });
static ModuleTerminator gExitGUILibrary ([] () { VSTGUI::exit (); });

namespace Vst {

namespace {

using VSTGUI::IRunLoop;

//------------------------------------------------------------------------
// The library has one run loop at a time. Every attached editor installs its own; the one
// attached last is in charge, and when it goes the one before it takes over again. When
// the last goes, whatever was installed before the first comes back.
//------------------------------------------------------------------------
struct InstalledRunLoops
{
	std::vector<IRunLoop*> stack;
	IRunLoop* before {nullptr};
};

InstalledRunLoops& installedRunLoops ()
{
	static InstalledRunLoops loops;
	return loops;
}

void installRunLoop (IRunLoop* loop)
{
	auto& loops = installedRunLoops ();
	if (loops.stack.empty ())
		loops.before = VSTGUI::getRunLoop ();
	loops.stack.push_back (loop);
	VSTGUI::setRunLoop (loop);
}

void uninstallRunLoop (IRunLoop* loop)
{
	auto& loops = installedRunLoops ();
	auto it = std::find (loops.stack.begin (), loops.stack.end (), loop);
	if (it == loops.stack.end ())
		return;
	loops.stack.erase (it);
	VSTGUI::setRunLoop (loops.stack.empty () ? loops.before : loops.stack.back ());
	if (loops.stack.empty ())
		loops.before = nullptr;
}

// The run loop the host gave the module's factory with its host context (setHostContext).
Linux::IRunLoop* factoryRunLoop ()
{
	return gPluginFactory ? gPluginFactory->getRunLoop () : nullptr;
}

//------------------------------------------------------------------------
// What the host calls: one small object per library timer or file descriptor handler.
// The host may hold references of its own, so they are reference counted, and they do
// nothing once their library handler has been unregistered.
//------------------------------------------------------------------------
class TimerHandler : public FObject, public Linux::ITimerHandler
{
public:
	explicit TimerHandler (VSTGUI::IRunLoopTimerHandler* handler) : handler (handler) {}
	void PLUGIN_API onTimer () SMTG_OVERRIDE
	{
		if (handler)
			handler->onTimer ();
	}
	void detach () { handler = nullptr; }

	DEFINE_INTERFACES
	DEF_INTERFACE (Linux::ITimerHandler)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)

private:
	VSTGUI::IRunLoopTimerHandler* handler;
};

class EventHandler : public FObject, public Linux::IEventHandler
{
public:
	explicit EventHandler (VSTGUI::IRunLoopEventHandler* handler) : handler (handler) {}
	void PLUGIN_API onFDIsSet (Linux::FileDescriptor) SMTG_OVERRIDE
	{
		if (handler)
			handler->onEvent ();
	}
	void detach () { handler = nullptr; }

	DEFINE_INTERFACES
	DEF_INTERFACE (Linux::IEventHandler)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)

private:
	VSTGUI::IRunLoopEventHandler* handler;
};

} // namespace

//------------------------------------------------------------------------
// The library's run loop over the host's Linux::IRunLoop. It remembers what the library
// registered, so that it can move it to another host loop (setHost) and take it all back
// from the host (setHost with null) before the host's frame goes.
//------------------------------------------------------------------------
class VSTGUIEditor::RunLoopAdapter : public VSTGUI::IRunLoop
{
public:
	~RunLoopAdapter () noexcept override
	{
		setHost (nullptr);
		for (auto& t : timers)
			t.second.wrapper->detach ();
		for (auto& e : events)
			e.second.wrapper->detach ();
	}

	void setHost (Linux::IRunLoop* newHost)
	{
		if (newHost == host.get ())
			return;
		if (host)
		{
			for (auto& t : timers)
				host->unregisterTimer (t.second.wrapper);
			for (auto& e : events)
				host->unregisterEventHandler (e.second.wrapper);
		}
		host = newHost;
		if (host)
		{
			for (auto& t : timers)
				host->registerTimer (t.second.wrapper, t.second.interval);
			for (auto& e : events)
				host->registerEventHandler (e.second.wrapper, e.second.fd);
		}
	}
	bool hasHost () const { return host; }

	bool registerTimer (uint64_t intervalMs, VSTGUI::IRunLoopTimerHandler* handler) override
	{
		if (!handler || !host)
			return false;
		unregisterTimer (handler);
		auto wrapper = owned (new TimerHandler (handler));
		if (host->registerTimer (wrapper, std::max<uint64_t> (intervalMs, 1)) != kResultTrue)
		{
			wrapper->detach ();
			return false;
		}
		timers[handler] = {std::max<uint64_t> (intervalMs, 1), wrapper};
		return true;
	}

	bool unregisterTimer (VSTGUI::IRunLoopTimerHandler* handler) override
	{
		auto it = timers.find (handler);
		if (it == timers.end ())
			return false;
		if (host)
			host->unregisterTimer (it->second.wrapper);
		it->second.wrapper->detach ();
		timers.erase (it);
		return true;
	}

	bool registerEventHandler (int fd, VSTGUI::IRunLoopEventHandler* handler) override
	{
		if (!handler || !host || fd < 0)
			return false;
		unregisterEventHandler (handler);
		auto wrapper = owned (new EventHandler (handler));
		if (host->registerEventHandler (wrapper, fd) != kResultTrue)
		{
			wrapper->detach ();
			return false;
		}
		events[handler] = {fd, wrapper};
		return true;
	}

	bool unregisterEventHandler (VSTGUI::IRunLoopEventHandler* handler) override
	{
		auto it = events.find (handler);
		if (it == events.end ())
			return false;
		if (host)
			host->unregisterEventHandler (it->second.wrapper);
		it->second.wrapper->detach ();
		events.erase (it);
		return true;
	}

private:
	struct Timer
	{
		uint64_t interval;
		IPtr<TimerHandler> wrapper;
	};
	struct Event
	{
		int fd;
		IPtr<EventHandler> wrapper;
	};
	IPtr<Linux::IRunLoop> host;
	std::map<VSTGUI::IRunLoopTimerHandler*, Timer> timers;
	std::map<VSTGUI::IRunLoopEventHandler*, Event> events;
};

//------------------------------------------------------------------------
VSTGUIEditor::VSTGUIEditor (EditController* controller, ViewRect* size)
: controller (controller), hostRunLoop (new RunLoopAdapter)
{
	if (size)
		rect = *size;
}

VSTGUIEditor::~VSTGUIEditor ()
{
	// Subclasses close their frame in their own destructor (close() is theirs); what is
	// left here is to give the host its timers back when it released the view without
	// removed().
	if (idleTimer)
	{
		idleTimer->stop ();
		idleTimer->forget ();
		idleTimer = nullptr;
	}
	if (manualRunLoop)
		uninstallRunLoop (manualRunLoop.get ());
	uninstallRunLoop (hostRunLoop.get ());
	manualRunLoop.reset ();
	hostRunLoop.reset ();
}

//------------------------------------------------------------------------
tresult PLUGIN_API VSTGUIEditor::isPlatformTypeSupported (FIDString type)
{
	if (type && std::strcmp (type, kPlatformTypeX11EmbedWindowID) == 0)
		return kResultTrue;
	return kInvalidArgument;
}

tresult PLUGIN_API VSTGUIEditor::attached (void* parent, FIDString type)
{
	if (attachedToParent)
		return kResultFalse;
	if (isPlatformTypeSupported (type) != kResultTrue)
		return kResultFalse;
	if (!parent)
		return kInvalidArgument;
	if (!attachTo (parent, VSTGUI::PlatformType::kX11EmbedWindowID))
		return kResultFalse;
	if (plugFrame)
	{
		// As the SDK's editor does: tell the host the size the frame opened with.
		ViewRect r = rect;
		plugFrame->resizeView (this, &r);
	}
	return kResultTrue;
}

tresult PLUGIN_API VSTGUIEditor::removed ()
{
	if (!attachedToParent)
		return kResultFalse;
	detachFromParent ();
	return kResultOk;
}

bool VSTGUIEditor::attachTo (void* parent, VSTGUI::PlatformType type)
{
	offscreen = type == VSTGUI::PlatformType::kOffscreen;
	IRunLoop* loop = nullptr;
	if (offscreen)
	{
		// The caller moves the clock (advanceTime), whatever loop the host offers.
		manualRunLoop = std::make_unique<VSTGUI::ManualRunLoop> ();
		loop = manualRunLoop.get ();
	}
	else
	{
		// A window lives on the host's run loop: the one its IPlugFrame offers, else the
		// one its host context gave the factory. Without either it would never see an
		// event or a timer, so it is not opened.
		if (!hostRunLoop->hasHost ())
			hostRunLoop->setHost (factoryRunLoop ());
		if (!hostRunLoop->hasHost ())
		{
			std::fprintf (stderr, "VSTGUIEditor: the host offers no run loop (Linux::IRunLoop) through its "
			                      "IPlugFrame or its host context; the editor cannot open in a window\n");
			return false;
		}
		loop = hostRunLoop.get ();
	}
	installRunLoop (loop);
	if (!open (parent, type))
	{
		uninstallRunLoop (loop);
		manualRunLoop.reset ();
		offscreen = false;
		return false;
	}
	attachedToParent = true;
	if (!offscreen && contentScaleFactor != 1.f && frame && frame->getPlatformFrame ())
		frame->getPlatformFrame ()->setScaleFactor (contentScaleFactor);
	// Offscreen, renderRGBA does the idle work before it draws: a timer would only make
	// every advanceTime step through each of its ticks.
	if (!offscreen)
		idleTimer = new VSTGUI::CVSTGUITimer ([this] (VSTGUI::CVSTGUITimer*) { doIdleStuff (); }, kIdleRate, true);
	return true;
}

void VSTGUIEditor::detachFromParent ()
{
	if (!attachedToParent)
		return;
	if (idleTimer)
	{
		idleTimer->stop ();
		idleTimer->forget ();
		idleTimer = nullptr;
	}
	close ();
	// Timers of the closed frame have stopped; the loop can go.
	uninstallRunLoop (manualRunLoop ? static_cast<IRunLoop*> (manualRunLoop.get ()) : hostRunLoop.get ());
	manualRunLoop.reset ();
	attachedToParent = false;
	offscreen = false;
}

//------------------------------------------------------------------------
tresult PLUGIN_API VSTGUIEditor::onWheel (float distance)
{
	if (!frame || !attachedToParent)
		return kResultFalse;
	VSTGUI::CPoint where = lastMousePosition;
	if (auto platformFrame = frame->getPlatformFrame ())
	{
		VSTGUI::CPoint current;
		if (platformFrame->getCurrentMousePosition (current))
			where = current;
	}
	return frame->platformOnMouseWheel (where, VSTGUI::kMouseWheelAxisY, distance, VSTGUI::CButtonState ())
	           ? kResultTrue
	           : kResultFalse;
}

namespace {
// The host's key as the library's key code. The virtual key codes have the numbers of the
// library's VstVirtualKey. Of the modifiers, Shift (1) and Alternate (2) keep their bits;
// the host's Command (4: the Ctrl key off macOS) is the library's MODIFIER_CONTROL (8) and
// the host's Control (8: the Ctrl key on macOS, the Super key elsewhere) its
// MODIFIER_COMMAND (4), so that a key with Ctrl held gives the same button-state bit
// (kControl) as a click with Ctrl held.
VSTGUI::VstKeyCode makeKeyCode (char16 key, int16 keyCode, int16 modifiers)
{
	VSTGUI::VstKeyCode code {};
	code.character = static_cast<int32_t> (key);
	if (keyCode > 0 && keyCode <= VSTGUI::VKEY_EQUALS)
		code.virt = static_cast<unsigned char> (keyCode);
	unsigned char m = static_cast<unsigned char> (modifiers & (VSTGUI::MODIFIER_SHIFT | VSTGUI::MODIFIER_ALTERNATE));
	if (modifiers & 4)
		m |= VSTGUI::MODIFIER_CONTROL;
	if (modifiers & 8)
		m |= VSTGUI::MODIFIER_COMMAND;
	code.modifier = m;
	return code;
}
} // namespace

tresult PLUGIN_API VSTGUIEditor::onKeyDown (char16 key, int16 keyCode, int16 modifiers)
{
	if (!frame || !attachedToParent)
		return kResultFalse;
	VSTGUI::VstKeyCode code = makeKeyCode (key, keyCode, modifiers);
	return frame->platformOnKeyDown (code) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API VSTGUIEditor::onKeyUp (char16 key, int16 keyCode, int16 modifiers)
{
	if (!frame || !attachedToParent)
		return kResultFalse;
	VSTGUI::VstKeyCode code = makeKeyCode (key, keyCode, modifiers);
	return frame->platformOnKeyUp (code) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API VSTGUIEditor::getSize (ViewRect* size)
{
	if (!size)
		return kInvalidArgument;
	*size = rect;
	return kResultTrue;
}

tresult PLUGIN_API VSTGUIEditor::onSize (ViewRect* newSize)
{
	if (!newSize)
		return kInvalidArgument;
	if (newSize->getWidth () < 0 || newSize->getHeight () < 0)
		return kInvalidArgument;
	rect = *newSize;
	if (frame)
		frame->setSize (newSize->getWidth () / static_cast<double> (contentScaleFactor),
		                newSize->getHeight () / static_cast<double> (contentScaleFactor));
	return kResultTrue;
}

tresult PLUGIN_API VSTGUIEditor::onFocus (TBool state)
{
	if (frame && attachedToParent)
		frame->platformOnActivate (state != 0);
	return kResultTrue;
}

tresult PLUGIN_API VSTGUIEditor::setFrame (IPlugFrame* newFrame)
{
	plugFrame = newFrame;
	// The host's run loop comes with its frame; a frame going takes every timer back first.
	IPtr<Linux::IRunLoop> loop;
	if (newFrame)
	{
		Linux::IRunLoop* raw = nullptr;
		if (newFrame->queryInterface (Linux::IRunLoop::iid, reinterpret_cast<void**> (&raw)) == kResultOk)
			loop = owned (raw);
		else
			loop = factoryRunLoop ();
	}
	bool hadHost = hostRunLoop->hasHost ();
	hostRunLoop->setHost (loop);
	// Attached to a window before the host gave its loop: take it up now.
	if (attachedToParent && !offscreen && !hadHost && loop)
		installRunLoop (hostRunLoop.get ());
	return kResultTrue;
}

tresult PLUGIN_API VSTGUIEditor::canResize ()
{
	return kResultFalse;
}

tresult PLUGIN_API VSTGUIEditor::checkSizeConstraint (ViewRect* r)
{
	if (!r)
		return kInvalidArgument;
	// The editor has one size.
	r->right = r->left + rect.getWidth ();
	r->bottom = r->top + rect.getHeight ();
	return kResultTrue;
}

tresult PLUGIN_API VSTGUIEditor::setContentScaleFactor (ScaleFactor factor)
{
	if (!(factor > 0.f) || factor > 16.f)
		return kInvalidArgument;
	if (factor == contentScaleFactor)
		return kResultTrue;
	double logicalWidth = rect.getWidth () / static_cast<double> (contentScaleFactor);
	double logicalHeight = rect.getHeight () / static_cast<double> (contentScaleFactor);
	ViewRect scaled = rect;
	scaled.right = rect.left + static_cast<int32> (std::lround (logicalWidth * factor));
	scaled.bottom = rect.top + static_cast<int32> (std::lround (logicalHeight * factor));
	if (attachedToParent)
	{
		// An image keeps the scale it was opened with; a window follows (the host moved it
		// to another screen) and asks the host for its new size.
		auto platformFrame = frame ? frame->getPlatformFrame () : nullptr;
		if (offscreen || !platformFrame || !platformFrame->setScaleFactor (factor))
			return kResultFalse;
		contentScaleFactor = factor;
		rect = scaled;
		if (plugFrame)
		{
			ViewRect r = rect;
			plugFrame->resizeView (this, &r);
		}
		return kResultTrue;
	}
	contentScaleFactor = factor;
	rect = scaled;
	return kResultTrue;
}

//------------------------------------------------------------------------
tresult PLUGIN_API VSTGUIEditor::openOffscreen ()
{
	if (attachedToParent)
		return kResultFalse;
	return attachTo (nullptr, VSTGUI::PlatformType::kOffscreen) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API VSTGUIEditor::renderRGBA (uint8* buffer, int32 width, int32 height, int32 stride)
{
	if (!buffer || width < 1 || height < 1 || stride / 4 < width)
		return kInvalidArgument;
	if (!isOpenOffscreen () || !frame)
		return kResultFalse;
	auto platformFrame = dynamic_cast<VSTGUI::COffscreenPlatformFrame*> (frame->getPlatformFrame ());
	if (!platformFrame)
		return kResultFalse;
	doIdleStuff ();
	platformFrame->render ();
	auto context = platformFrame->getContext ();
	for (int32 y = 0; y < height; ++y)
	{
		uint8* row = buffer + static_cast<size_t> (y) * static_cast<size_t> (stride);
		for (int32 x = 0; x < width; ++x)
		{
			VSTGUI::CColor c = context ? context->getPixel (x, y) : VSTGUI::CColor (0, 0, 0, 0);
			row[4 * x + 0] = c.red;
			row[4 * x + 1] = c.green;
			row[4 * x + 2] = c.blue;
			row[4 * x + 3] = c.alpha;
		}
	}
	return kResultTrue;
}

VSTGUI::CPoint VSTGUIEditor::toFramePoint (double x, double y) const
{
	return VSTGUI::CPoint (x / contentScaleFactor, y / contentScaleFactor);
}

tresult PLUGIN_API VSTGUIEditor::onMouseEvent (int32 type, double x, double y, int32 buttons)
{
	if (type < kMouseDown || type > kMouseCancel)
		return kInvalidArgument;
	if (!isOpenOffscreen () || !frame)
		return kResultFalse;
	VSTGUI::CPoint where = toFramePoint (x, y);
	VSTGUI::CButtonState state (buttons);
	VSTGUI::CMouseEventResult result = VSTGUI::kMouseEventNotHandled;
	switch (type)
	{
		case kMouseDown: result = frame->platformOnMouseDown (where, state); break;
		case kMouseMoved: result = frame->platformOnMouseMoved (where, state); break;
		case kMouseUp: result = frame->platformOnMouseUp (where, state); break;
		default:
		{
			VSTGUI::SharedPointer<VSTGUI::CFrame> guard (frame);
			result = frame->onMouseCancel ();
			break;
		}
	}
	if (type != kMouseCancel)
		lastMousePosition = toFramePoint (x, y);
	return (result == VSTGUI::kMouseEventHandled || result == VSTGUI::kMouseDownEventHandledButDontNeedMovedOrUpEvents ||
	        result == VSTGUI::kMouseMoveEventHandledButDontNeedMoreEvents)
	           ? kResultTrue
	           : kResultFalse;
}

tresult PLUGIN_API VSTGUIEditor::onWheelEvent (double x, double y, float distance, int32 axis, int32 buttons)
{
	if (axis != kWheelAxisX && axis != kWheelAxisY)
		return kInvalidArgument;
	if (!isOpenOffscreen () || !frame)
		return kResultFalse;
	lastMousePosition = toFramePoint (x, y);
	VSTGUI::CPoint where = lastMousePosition;
	return frame->platformOnMouseWheel (where, axis == kWheelAxisX ? VSTGUI::kMouseWheelAxisX : VSTGUI::kMouseWheelAxisY,
	                                    distance, VSTGUI::CButtonState (buttons))
	           ? kResultTrue
	           : kResultFalse;
}

tresult PLUGIN_API VSTGUIEditor::advanceTime (uint32 milliseconds)
{
	if (!isOpenOffscreen () || !manualRunLoop)
		return kResultFalse;
	manualRunLoop->advance (milliseconds);
	return kResultTrue;
}

//------------------------------------------------------------------------
int32_t VSTGUIEditor::getKnobMode () const
{
	switch (EditController::getHostKnobMode ())
	{
		case kRelativCircularMode: return VSTGUI::kRelativCircularMode;
		case kLinearMode: return VSTGUI::kLinearMode;
		default: return VSTGUI::kCircularMode;
	}
}

void VSTGUIEditor::doIdleStuff ()
{
	if (frame)
		frame->idle ();
}

void VSTGUIEditor::beginEdit (int32_t index)
{
	if (controller && index >= 0)
		controller->beginEdit (static_cast<ParamID> (index));
}

void VSTGUIEditor::endEdit (int32_t index)
{
	if (controller && index >= 0)
		controller->endEdit (static_cast<ParamID> (index));
}

} // namespace Vst
} // namespace Steinberg
