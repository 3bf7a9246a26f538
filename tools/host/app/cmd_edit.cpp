// vst3host edit BUNDLE [--seconds N] [--screenshot OUT.png [--after MS]] [--events FILE] [--event EVENT ...]
//                     [PARAM=VALUE ...]
//
// Shows the plug-in's editor in a top-level X11 window, the way a Linux host does: the
// window's XID goes to IPlugView::attached as "X11EmbedWindowID", and the host's frame
// (IPlugFrame) offers the run loop (Linux::IRunLoop) on which the editor registers its
// file descriptors and timers. The loop is this program's main loop: poll() on those
// descriptors and on the window's own connection, and a list of timers. Every edit the
// controller reports is printed and goes to the processor with the next audio block,
// which runs every 10 ms on silence. The events (hostlib/editorevents.h) are replayed as
// real input through the XTest extension.

#include "common.h"

#include "hostlib/strings.h"
#include "hostlib/x11window.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewoffscreen.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>

// Xlib's macros (None, Bool, Status, ...) come after every other header.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace vsthost {
namespace app {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

const char* const kName = "edit";
using Clock = std::chrono::steady_clock;

//------------------------------------------------------------------------
// The host's frame and run loop: one object, as the plug-in finds the loop by asking
// the frame for Linux::IRunLoop.
//------------------------------------------------------------------------
class HostFrame : public HostObject<IPlugFrame, Linux::IRunLoop>
{
public:
	// resizeView: the host resizes the window, then tells the view its new size.
	std::function<void (int32 width, int32 height)> onResize;

	tresult PLUGIN_API resizeView (IPlugView* view, ViewRect* newSize) override
	{
		if (!view || !newSize || newSize->getWidth () < 1 || newSize->getHeight () < 1)
			return kInvalidArgument;
		std::printf ("resizeView %d x %d\n", newSize->getWidth (), newSize->getHeight ());
		if (onResize)
			onResize (newSize->getWidth (), newSize->getHeight ());
		ViewRect r = *newSize;
		view->onSize (&r);
		return kResultTrue;
	}

	tresult PLUGIN_API registerEventHandler (Linux::IEventHandler* handler, Linux::FileDescriptor fd) override
	{
		if (!handler || fd < 0)
			return kInvalidArgument;
		handlers.push_back ({IPtr<Linux::IEventHandler> (handler), fd});
		return kResultTrue;
	}

	tresult PLUGIN_API unregisterEventHandler (Linux::IEventHandler* handler) override
	{
		auto it = std::find_if (handlers.begin (), handlers.end (), [&] (auto& h) { return h.handler == handler; });
		if (it == handlers.end ())
			return kInvalidArgument;
		handlers.erase (it);
		return kResultTrue;
	}

	tresult PLUGIN_API registerTimer (Linux::ITimerHandler* handler, Linux::TimerInterval milliseconds) override
	{
		if (!handler)
			return kInvalidArgument;
		auto interval = std::chrono::milliseconds (std::max<Linux::TimerInterval> (milliseconds, 1));
		timers.push_back ({IPtr<Linux::ITimerHandler> (handler), interval, Clock::now () + interval});
		return kResultTrue;
	}

	tresult PLUGIN_API unregisterTimer (Linux::ITimerHandler* handler) override
	{
		auto it = std::find_if (timers.begin (), timers.end (), [&] (auto& t) { return t.handler == handler; });
		if (it == timers.end ())
			return kInvalidArgument;
		timers.erase (it);
		return kResultTrue;
	}

	size_t handlerCount () const { return handlers.size (); }
	size_t timerCount () const { return timers.size (); }

	/** One turn: waits at most until limit for the plug-in's descriptors and extraFd, calls
	 *  the handlers of those that are readable and every timer that is due. */
	void turn (Clock::time_point limit, int extraFd)
	{
		auto now = Clock::now ();
		for (auto& t : timers)
			limit = std::min (limit, t.due);
		int timeout = limit > now
		                  ? static_cast<int> (std::chrono::duration_cast<std::chrono::milliseconds> (limit - now).count ()) + 1
		                  : 0;
		std::vector<pollfd> fds;
		std::vector<Handler> watched = handlers;
		for (auto& h : watched)
			fds.push_back ({h.fd, POLLIN, 0});
		fds.push_back ({extraFd, POLLIN, 0});
		poll (fds.data (), fds.size (), timeout);
		for (size_t i = 0; i < watched.size (); ++i)
		{
			if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
				continue;
			// An earlier handler may have unregistered this one.
			auto& h = watched[i];
			if (std::none_of (handlers.begin (), handlers.end (), [&] (auto& x) { return x.handler == h.handler; }))
				continue;
			h.handler->onFDIsSet (h.fd);
		}
		now = Clock::now ();
		std::vector<IPtr<Linux::ITimerHandler>> due;
		for (auto& t : timers)
		{
			if (t.due > now)
				continue;
			t.due = std::max (t.due + t.interval, now);
			due.push_back (t.handler);
		}
		for (auto& handler : due)
		{
			if (std::none_of (timers.begin (), timers.end (), [&] (auto& t) { return t.handler == handler; }))
				continue;
			handler->onTimer ();
		}
	}

private:
	struct Handler
	{
		IPtr<Linux::IEventHandler> handler;
		int fd;
	};
	struct Timer
	{
		IPtr<Linux::ITimerHandler> handler;
		std::chrono::milliseconds interval;
		Clock::time_point due;
	};
	std::vector<Handler> handlers;
	std::vector<Timer> timers;
};

//------------------------------------------------------------------------
// The top-level window on the host's own display connection.
//------------------------------------------------------------------------
struct HostWindow
{
	Display* display {nullptr};
	Window window {0};
	Atom deleteWindow {0};
	bool closeRequested {false};
	// Someone else destroyed the window (a window manager, another program).
	bool destroyed {false};
	// The first X error on this connection that is not about the window being gone.
	std::string xError;

	bool open (int width, int height, const std::string& title, std::string& error)
	{
		display = XOpenDisplay (nullptr);
		if (!display)
		{
			error = "cannot open the X display (is DISPLAY set?)";
			return false;
		}
		// Xlib's default handler prints the error and ends the process; the window may be
		// destroyed under us at any time, which is no reason for either.
		current = this;
		previousHandler = XSetErrorHandler (&HostWindow::errorHandler);
		int screen = DefaultScreen (display);
		window = XCreateSimpleWindow (display, RootWindow (display, screen), 40, 40, static_cast<unsigned> (width),
		                              static_cast<unsigned> (height), 0, BlackPixel (display, screen),
		                              BlackPixel (display, screen));
		XStoreName (display, window, title.c_str ());
		deleteWindow = XInternAtom (display, "WM_DELETE_WINDOW", False);
		XSetWMProtocols (display, window, &deleteWindow, 1);
		fixSize (width, height);
		XSelectInput (display, window, StructureNotifyMask);
		XMapWindow (display, window);
		// Wait for the map, so that the editor opens in a window that is on screen.
		waitUntilMapped (display, window, 2000);
		return true;
	}

	// The editor is not resizable by the user: the window manager is asked for one size.
	void fixSize (int width, int height)
	{
		XSizeHints* hints = XAllocSizeHints ();
		hints->flags = PMinSize | PMaxSize;
		hints->min_width = hints->max_width = width;
		hints->min_height = hints->max_height = height;
		XSetWMNormalHints (display, window, hints);
		XFree (hints);
	}

	void resize (int width, int height)
	{
		if (destroyed)
			return;
		fixSize (width, height);
		XResizeWindow (display, window, static_cast<unsigned> (width), static_cast<unsigned> (height));
		XFlush (display);
	}

	void readEvents ()
	{
		while (XPending (display) > 0)
		{
			XEvent event;
			XNextEvent (display, &event);
			if (event.type == ClientMessage && static_cast<Atom> (event.xclient.data.l[0]) == deleteWindow)
				closeRequested = true;
			if (event.type == DestroyNotify && event.xdestroywindow.window == window)
				destroyed = true;
		}
	}

	bool capture (std::vector<uint8>& rgba, int32& width, int32& height)
	{
		return !destroyed && captureWindow (display, window, rgba, width, height);
	}

	void close ()
	{
		if (!display)
			return;
		if (window && !destroyed)
			XDestroyWindow (display, window);
		XCloseDisplay (display);
		XSetErrorHandler (previousHandler);
		current = nullptr;
		display = nullptr;
		window = 0;
	}

private:
	static int errorHandler (Display* d, XErrorEvent* e)
	{
		HostWindow* self = current;
		if (!self || d != self->display)
			return self && self->previousHandler ? self->previousHandler (d, e) : 0;
		const bool aboutTheWindow = e->resourceid == self->window;
		if (aboutTheWindow && (e->error_code == BadWindow || e->error_code == BadDrawable))
			self->destroyed = true;
		else if (self->xError.empty ())
		{
			char text[256] = {};
			XGetErrorText (d, e->error_code, text, sizeof (text));
			self->xError = "X error: " + std::string (text) + " (request " + std::to_string (e->request_code) + ")";
		}
		return 0;
	}

	static HostWindow* current;
	XErrorHandler previousHandler {nullptr};
};
HostWindow* HostWindow::current = nullptr;

//------------------------------------------------------------------------
// Events, carried out as real input through XTest, in window coordinates.
//------------------------------------------------------------------------
class InputScript
{
public:
	InputScript (HostWindow& window, PluginInstance& instance, std::vector<EditorEvent> events)
	: window (window), instance (instance), events (std::move (events))
	{
	}

	bool finished () const { return next >= events.size (); }
	size_t nextEvent () const { return next; }
	const std::vector<EditorEvent>& getEvents () const { return events; }
	Clock::time_point getWakeTime () const { return wake; }
	bool closeRequested () const { return close; }
	std::vector<std::string> takeScreenshots () { return std::move (screenshots); }

	/** Runs the events that are due; false with a message when one fails. */
	bool run (Clock::time_point now, std::string& error)
	{
		while (!finished () && now >= wake && !close && !window.destroyed)
		{
			if (!runEvent (events[next++], now, error))
				return false;
		}
		return true;
	}

	/** Lets go of the buttons and keys still held, so that the server is left as it was. */
	void releaseAll ()
	{
		if (!window.display)
			return;
		for (unsigned int button = 1; button <= 3; ++button)
			if (heldButtons & buttonBit (button))
				XTestFakeButtonEvent (window.display, button, False, CurrentTime);
		heldButtons = 0;
		holdModifiers (0);
		XFlush (window.display);
	}

private:
	using Offscreen = IPlugViewOffscreen;
	using Type = EditorEvent::Type;
	static constexpr int32 kButtonMask = Offscreen::kLButton | Offscreen::kMButton | Offscreen::kRButton;
	static constexpr int32 kModifierMask = Offscreen::kShift | Offscreen::kControl | Offscreen::kAlt | Offscreen::kApple;

	static int32 buttonBit (unsigned int button)
	{
		return button == 1 ? Offscreen::kLButton : button == 2 ? Offscreen::kMButton : Offscreen::kRButton;
	}

	bool runEvent (const EditorEvent& event, Clock::time_point now, std::string& error)
	{
		Display* d = window.display;
		std::string result;
		const int32 buttons = event.buttons & kButtonMask;
		const int32 modifiers = event.buttons & kModifierMask;
		switch (event.type)
		{
			case Type::Wait: wake = now + std::chrono::milliseconds (event.milliseconds); break;
			case Type::Move:
				holdModifiers (event.hasButtons ? modifiers : pressModifiers);
				moveTo (event.x, event.y);
				break;
			case Type::Press:
			case Type::Click:
			{
				if (event.hasPoint)
					moveTo (event.x, event.y);
				holdModifiers (modifiers);
				const int32 pressed = buttons ? buttons : Offscreen::kLButton;
				// The window system makes a double click of a second press in quick succession.
				if (event.buttons & Offscreen::kDoubleClick)
					clickButtons (pressed);
				for (unsigned int button = 1; button <= 3; ++button)
					if (pressed & buttonBit (button))
						XTestFakeButtonEvent (d, button, True, CurrentTime);
				heldButtons = pressed;
				pressModifiers = modifiers;
				if (event.type == Type::Click)
					releaseButtons ();
				break;
			}
			case Type::Release:
				if (event.hasPoint)
					moveTo (event.x, event.y);
				if (event.hasButtons)
					holdModifiers (modifiers);
				heldButtons |= buttons;
				releaseButtons ();
				break;
			case Type::Cancel:
				// A window system ends a press when the window loses the focus: give the focus
				// away, then let go of what is held, which the editor then ignores.
				XSetInputFocus (d, PointerRoot, RevertToPointerRoot, CurrentTime);
				XSync (d, False);
				releaseButtons ();
				break;
			case Type::Wheel:
			{
				if (event.steps != std::floor (event.steps))
				{
					error = "'" + event.line + "': a window turns the wheel by whole steps";
					return false;
				}
				moveTo (event.x, event.y);
				const int32 held = heldModifiers;
				holdModifiers (modifiers);
				// Buttons 4 and 5 turn the wheel up and down, 6 and 7 left and right.
				const unsigned int button = (event.horizontal ? 6 : 4) + (event.steps < 0 ? 1 : 0);
				for (int i = 0; i < static_cast<int> (std::fabs (event.steps)); ++i)
				{
					XTestFakeButtonEvent (d, button, True, CurrentTime);
					XTestFakeButtonEvent (d, button, False, CurrentTime);
				}
				holdModifiers (held);
				break;
			}
			case Type::Key:
			case Type::KeyDown:
			case Type::KeyUp:
			{
				KeyCode code = XKeysymToKeycode (d, event.keysym);
				if (!code)
				{
					error = "'" + event.line + "': this keyboard has no such key";
					return false;
				}
				// A symbol on the key's shifted level needs Shift held.
				const bool shifted = XkbKeycodeToKeysym (d, code, 0, 0) != event.keysym &&
				                     XkbKeycodeToKeysym (d, code, 0, 1) == event.keysym;
				const int32 held = heldModifiers;
				holdModifiers (modifiers | (shifted ? Offscreen::kShift : 0));
				if (event.type != Type::KeyUp)
					XTestFakeKeyEvent (d, code, True, CurrentTime);
				if (event.type != Type::KeyDown)
					XTestFakeKeyEvent (d, code, False, CurrentTime);
				holdModifiers (held);
				break;
			}
			case Type::Set:
			case Type::State:
				if (!runHostEvent (instance, event, result, error))
					return false;
				break;
			case Type::Screenshot: screenshots.push_back (event.path); break;
			case Type::Close: close = true; break;
		}
		std::printf ("> %s%s%s\n", event.line.c_str (), result.empty () ? "" : ": ", result.c_str ());
		XFlush (d);
		return true;
	}

	void clickButtons (int32 buttons)
	{
		for (unsigned int button = 1; button <= 3; ++button)
		{
			if (!(buttons & buttonBit (button)))
				continue;
			XTestFakeButtonEvent (window.display, button, True, CurrentTime);
			XTestFakeButtonEvent (window.display, button, False, CurrentTime);
		}
	}

	void releaseButtons ()
	{
		for (unsigned int button = 1; button <= 3; ++button)
			if (heldButtons & buttonBit (button))
				XTestFakeButtonEvent (window.display, button, False, CurrentTime);
		heldButtons = 0;
		pressModifiers = 0;
		holdModifiers (0);
	}

	// Presses and releases modifier keys until exactly those of bits are down.
	void holdModifiers (int32 bits)
	{
		static const struct
		{
			int32 bit;
			int mapIndex; // in the modifier map: Shift, Lock, Control, Mod1 ... Mod5
		} keys[] = {{Offscreen::kShift, ShiftMapIndex},
		            {Offscreen::kControl, ControlMapIndex},
		            {Offscreen::kAlt, Mod1MapIndex},
		            {Offscreen::kApple, Mod4MapIndex}};
		bits &= kModifierMask;
		if (bits == heldModifiers)
			return;
		XModifierKeymap* map = XGetModifierMapping (window.display);
		for (auto& key : keys)
		{
			if (((bits ^ heldModifiers) & key.bit) == 0)
				continue;
			KeyCode code = map ? map->modifiermap[key.mapIndex * map->max_keypermod] : 0;
			if (code)
				XTestFakeKeyEvent (window.display, code, (bits & key.bit) != 0, CurrentTime);
		}
		if (map)
			XFreeModifiermap (map);
		heldModifiers = bits;
	}

	void moveTo (double x, double y)
	{
		int rootX = 0, rootY = 0;
		Window child;
		XTranslateCoordinates (window.display, window.window, DefaultRootWindow (window.display),
		                       static_cast<int> (std::lround (x)), static_cast<int> (std::lround (y)), &rootX, &rootY,
		                       &child);
		XTestFakeMotionEvent (window.display, -1, rootX, rootY, CurrentTime);
	}

	HostWindow& window;
	PluginInstance& instance;
	std::vector<EditorEvent> events;
	size_t next {0};
	Clock::time_point wake {};
	bool close {false};
	std::vector<std::string> screenshots;
	int32 heldButtons {0};
	int32 pressModifiers {0};
	int32 heldModifiers {0};
};

// Prints what the component handler saw since the last call, with the time since the
// editor was attached.
void printEdits (ComponentHandler& handler, Clock::time_point start)
{
	auto events = handler.getEvents ();
	if (events.empty ())
		return;
	handler.clearEvents ();
	long long ms = std::chrono::duration_cast<std::chrono::milliseconds> (Clock::now () - start).count ();
	for (auto& event : events)
	{
		switch (event.type)
		{
			case ComponentHandler::EventType::BeginEdit: std::printf ("  beginEdit %u (at %lld ms)\n", event.id, ms); break;
			case ComponentHandler::EventType::PerformEdit:
				std::printf ("  performEdit %u %s (at %lld ms)\n", event.id, shortestDouble (event.value).c_str (), ms);
				break;
			case ComponentHandler::EventType::EndEdit: std::printf ("  endEdit %u (at %lld ms)\n", event.id, ms); break;
			default: std::printf ("  %s (at %lld ms)\n", eventTypeName (event.type), ms); break;
		}
	}
	std::fflush (stdout);
}

// Writes the window's pixels as PNG. A window that is gone is no failure: nothing is
// written, and written says so.
bool saveScreenshot (HostWindow& window, const std::string& path, bool& written, std::string& error)
{
	written = false;
	XSync (window.display, False);
	std::vector<uint8> rgba;
	int32 width = 0, height = 0;
	if (!window.capture (rgba, width, height))
	{
		if (window.destroyed)
			return true;
		error = "cannot read the window's pixels";
		return false;
	}
	if (!writePNG (path, rgba, width, height, error))
		return false;
	std::printf ("wrote %s (%d x %d)\n", path.c_str (), width, height);
	written = true;
	return true;
}

} // namespace

//------------------------------------------------------------------------
int runEdit (const Args& args)
{
	ParsedArgs parsed;
	std::string error;
	if (!parseArgs (args, {}, {"seconds", "screenshot", "after", "events", "event"}, parsed, error))
		return usageError (kName, error);
	if (parsed.positional.empty ())
		return usageError (kName, "expected BUNDLE");
	double seconds = -1, after = 500;
	if (auto s = parsed.value ("seconds"))
	{
		if (!parseDouble (*s, seconds) || !(seconds >= 0) || seconds > 1e6)
			return usageError (kName, "--seconds needs a number of seconds");
	}
	if (auto a = parsed.value ("after"))
	{
		if (!parseDouble (*a, after) || !(after >= 0) || after > 1e9)
			return usageError (kName, "--after needs milliseconds");
		if (!parsed.has ("screenshot"))
			return usageError (kName, "--after goes with --screenshot");
	}
	const std::vector<std::string> assignmentTexts (parsed.positional.begin () + 1, parsed.positional.end ());
	if (!checkAssignmentTexts (assignmentTexts, error))
		return usageError (kName, error);
	std::vector<EditorEvent> events;
	if (int exitCode = collectEvents (kName, parsed, events); exitCode != kExitOk)
		return exitCode;

	LoadedPlugin plugin;
	if (!loadPlugin (parsed.positional[0], plugin, error))
		return fail (kName, error);
	PluginInstance& instance = *plugin.instance;
	std::vector<ParameterAssignment> assignments;
	if (!applyAssignments (instance, assignmentTexts, assignments, error))
		return fail (kName, error);
	// The processor runs as in a host: edits reach it with the next block.
	constexpr int32 kBlock = 480;
	if (!instance.start (48000., kBlock, kSample32, error))
		return fail (kName, error);

	IPtr<IPlugView> view = owned (instance.getController ()->createView (ViewType::kEditor));
	if (!view)
		return fail (kName, "the controller offers no editor view");
	ViewRect rect;
	if (view->getSize (&rect) != kResultTrue || rect.getWidth () < 1 || rect.getHeight () < 1)
		return fail (kName, "the editor reports no usable size");
	if (view->isPlatformTypeSupported (kPlatformTypeX11EmbedWindowID) != kResultTrue)
		return fail (kName, "the editor does not support X11EmbedWindowID");
	std::printf ("editor: %d x %d, %s\n", rect.getWidth (), rect.getHeight (),
	             view->canResize () == kResultTrue ? "resizable" : "fixed size");

	HostWindow window;
	if (!window.open (rect.getWidth (), rect.getHeight (), "vst3host edit", error))
		return fail (kName, error);
	int eventBase, errorBase, major, minor;
	if (!events.empty () && !XTestQueryExtension (window.display, &eventBase, &errorBase, &major, &minor))
	{
		window.close ();
		return fail (kName, "the X server has no XTest extension for the events");
	}
	IPtr<HostFrame> frame = owned (new HostFrame ());
	frame->onResize = [&] (int32 w, int32 h) { window.resize (w, h); };

	ComponentHandler& handler = instance.getComponentHandler ();
	handler.clearEvents ();
	view->setFrame (frame);
	tresult attached = view->attached (reinterpret_cast<void*> (window.window), kPlatformTypeX11EmbedWindowID);
	if (attached != kResultTrue)
	{
		view->setFrame (nullptr);
		view = nullptr;
		window.close ();
		return fail (kName, "the editor did not attach to the window (" + resultName (attached) + ")");
	}
	std::printf ("attached to window 0x%lx; the editor registered %zu file descriptor(s) and %zu timer(s)\n",
	             static_cast<unsigned long> (window.window), frame->handlerCount (), frame->timerCount ());
	std::fflush (stdout);

	const auto start = Clock::now ();
	const auto end = seconds >= 0 ? start + std::chrono::milliseconds (static_cast<long long> (seconds * 1000.))
	                              : Clock::time_point::max ();
	const std::string* screenshot = parsed.value ("screenshot");
	auto screenshotTime = start + std::chrono::milliseconds (static_cast<long long> (after));
	bool screenshotDone = screenshot == nullptr;
	InputScript input (window, instance, events);
	std::vector<float> left (kBlock, 0.f), right (kBlock, 0.f), outLeft (kBlock), outRight (kBlock);
	float* inputs[] = {left.data (), right.data ()};
	float* outputs[] = {outLeft.data (), outRight.data ()};
	auto nextBlock = start;
	bool ok = true;
	std::string ending;
	while (ok)
	{
		auto now = Clock::now ();
		if (window.destroyed)
			ending = "the window was destroyed";
		else if (window.closeRequested)
			ending = "the window was closed";
		else if (input.closeRequested ())
			ending = "the events closed the editor";
		else if (now >= end)
			ending = "--seconds " + shortestDouble (seconds) + " ran out";
		if (!ending.empty ())
			break;
		if (!input.run (now, error))
		{
			ok = false;
			break;
		}
		bool written = false;
		for (auto& path : input.takeScreenshots ())
			ok = ok && saveScreenshot (window, path, written, error);
		if (ok && !screenshotDone && now >= screenshotTime)
		{
			ok = saveScreenshot (window, *screenshot, written, error);
			screenshotDone = written;
		}
		if (ok && !window.xError.empty ())
		{
			error = window.xError;
			ok = false;
		}
		if (now >= nextBlock)
		{
			instance.process32 (inputs, outputs, 2, kBlock);
			nextBlock += std::chrono::milliseconds (10);
		}
		auto limit = std::min ({end, nextBlock, now + std::chrono::milliseconds (50)});
		if (!input.finished ())
			limit = std::min (limit, std::max (now, input.getWakeTime ()));
		if (!screenshotDone)
			limit = std::min (limit, screenshotTime);
		frame->turn (limit, ConnectionNumber (window.display));
		window.readEvents ();
		printEdits (handler, start);
	}
	const long long ranMs = std::chrono::duration_cast<std::chrono::milliseconds> (Clock::now () - start).count ();
	if (window.destroyed)
		std::printf ("the window was destroyed: the editor closes\n");

	// As a host closes an editor: the frame goes first, then the view is removed and released.
	view->setFrame (nullptr);
	tresult removed = view->removed ();
	view = nullptr;
	printEdits (handler, start);
	std::printf ("closed: removed() %s; %zu file descriptor(s) and %zu timer(s) left registered\n",
	             resultName (removed).c_str (), frame->handlerCount (), frame->timerCount ());
	// Edits the editor ended while closing reach the processor too.
	instance.process32 (inputs, outputs, 2, kBlock);
	input.releaseAll ();
	window.close ();
	if (!ok)
		return fail (kName, error);
	// What the run's end cut off is not done: say so.
	const std::string why = "the run ended after " + std::to_string (ranMs) + " ms (" + ending + ")";
	if (!screenshotDone)
		std::fprintf (stderr, "vst3host %s: warning: %s, before the screenshot due at --after %s ms: '%s' was not written\n",
		              kName, why.c_str (), shortestDouble (after).c_str (), screenshot->c_str ());
	warnEventsNotRun (kName, input.getEvents (), input.nextEvent (), why);
	printParameterValues (instance);
	return kExitOk;
}

} // namespace app
} // namespace vsthost
