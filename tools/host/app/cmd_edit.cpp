// vst3host edit BUNDLE [--seconds N] [--screenshot OUT.png --after MS] [--events FILE] [PARAM=VALUE ...]
//
// Shows the plug-in's editor in a top-level X11 window, the way a Linux host does: the
// window's XID goes to IPlugView::attached as "X11EmbedWindowID", and the host's frame
// (IPlugFrame) offers the run loop (Linux::IRunLoop) on which the editor registers its
// file descriptors and timers. The loop is this program's main loop: poll() on those
// descriptors and on the window's own connection, and a list of timers. Every edit the
// controller reports is printed and goes to the processor with the next audio block,
// which runs every 10 ms on silence. --events replays input through the XTest extension.

#include "common.h"

#include "hostlib/strings.h"
#include "hostlib/x11window.h"

#include "pluginterfaces/gui/iplugview.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <sstream>

// Xlib's macros (None, Bool, Status, ...) come after every other header.
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

	bool open (int width, int height, const std::string& title, std::string& error)
	{
		display = XOpenDisplay (nullptr);
		if (!display)
		{
			error = "cannot open the X display (is DISPLAY set?)";
			return false;
		}
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
				closeRequested = true;
		}
	}

	bool capture (std::vector<uint8>& rgba, int32& width, int32& height)
	{
		return captureWindow (display, window, rgba, width, height);
	}

	void close ()
	{
		if (!display)
			return;
		if (window)
			XDestroyWindow (display, window);
		XCloseDisplay (display);
		display = nullptr;
		window = 0;
	}
};

//------------------------------------------------------------------------
// Input through XTest, in window coordinates.
//------------------------------------------------------------------------
class InputScript
{
public:
	InputScript (HostWindow& window, std::vector<std::string> lines) : window (window), lines (std::move (lines)) {}

	bool finished () const { return next >= lines.size (); }
	Clock::time_point getWakeTime () const { return wake; }
	bool closeRequested () const { return close; }
	std::vector<std::pair<std::string, std::string>> takeScreenshots () { return std::move (screenshots); }

	/** Runs the lines that are due; false with a message for a bad line. */
	bool run (Clock::time_point now, std::string& error)
	{
		while (!finished () && now >= wake)
		{
			const std::string& line = lines[next++];
			if (!runLine (line, now, error))
				return false;
		}
		return true;
	}

private:
	bool runLine (const std::string& line, Clock::time_point now, std::string& error)
	{
		std::istringstream in (line);
		std::vector<std::string> words;
		std::string word;
		while (in >> word)
			words.push_back (word);
		if (words.empty () || words[0][0] == '#')
			return true;
		std::printf ("> %s\n", line.c_str ());
		const std::string& verb = words[0];
		auto number = [&] (size_t index, double& value) {
			if (index >= words.size () || !parseDouble (words[index], value))
			{
				error = "'" + line + "': expected a number as argument " + std::to_string (index);
				return false;
			}
			return true;
		};
		double x = 0, y = 0, v = 0;
		Display* d = window.display;
		if (verb == "wait")
		{
			if (!number (1, v) || v < 0)
				return false;
			wake = now + std::chrono::milliseconds (static_cast<long long> (v));
		}
		else if (verb == "move")
		{
			if (!number (1, x) || !number (2, y))
				return false;
			moveTo (x, y);
		}
		else if (verb == "press" || verb == "release")
		{
			unsigned int button = 1;
			if (words.size () > 1)
			{
				if (!number (1, v) || v < 1 || v > 9)
					return false;
				button = static_cast<unsigned int> (v);
			}
			XTestFakeButtonEvent (d, button, verb == "press", CurrentTime);
		}
		else if (verb == "click")
		{
			if (!number (1, x) || !number (2, y))
				return false;
			unsigned int button = 1;
			if (words.size () > 3)
			{
				if (!number (3, v) || v < 1 || v > 9)
					return false;
				button = static_cast<unsigned int> (v);
			}
			moveTo (x, y);
			XTestFakeButtonEvent (d, button, True, CurrentTime);
			XTestFakeButtonEvent (d, button, False, CurrentTime);
		}
		else if (verb == "wheel")
		{
			if (!number (1, x) || !number (2, y) || words.size () < 4)
			{
				if (error.empty ())
					error = "'" + line + "': wheel X Y up|down|left|right [COUNT]";
				return false;
			}
			static const char* const directions[] = {"up", "down", "left", "right"};
			unsigned int button = 0;
			for (unsigned int i = 0; i < 4; ++i)
				if (words[3] == directions[i])
					button = 4 + i;
			double count = 1;
			if (!button || (words.size () > 4 && (!number (4, count) || count < 1 || count > 100)))
			{
				if (error.empty ())
					error = "'" + line + "': wheel X Y up|down|left|right [COUNT]";
				return false;
			}
			moveTo (x, y);
			for (int i = 0; i < static_cast<int> (count); ++i)
			{
				XTestFakeButtonEvent (d, button, True, CurrentTime);
				XTestFakeButtonEvent (d, button, False, CurrentTime);
			}
		}
		else if (verb == "key" || verb == "keydown" || verb == "keyup")
		{
			if (words.size () != 2)
			{
				error = "'" + line + "': " + verb + " KEYSYM (X key names: Up, Escape, Alt_L, a ...)";
				return false;
			}
			KeySym keysym = XStringToKeysym (words[1].c_str ());
			KeyCode code = keysym != NoSymbol ? XKeysymToKeycode (d, keysym) : 0;
			if (!code)
			{
				error = "'" + line + "': no key '" + words[1] + "' on this keyboard";
				return false;
			}
			if (verb != "keyup")
				XTestFakeKeyEvent (d, code, True, CurrentTime);
			if (verb != "keydown")
				XTestFakeKeyEvent (d, code, False, CurrentTime);
		}
		else if (verb == "screenshot")
		{
			if (words.size () != 2)
			{
				error = "'" + line + "': screenshot FILE.png";
				return false;
			}
			screenshots.emplace_back (words[1], line);
		}
		else if (verb == "close")
			close = true;
		else
		{
			error = "unknown event '" + verb + "'";
			return false;
		}
		XFlush (d);
		return true;
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
	std::vector<std::string> lines;
	size_t next {0};
	Clock::time_point wake {};
	bool close {false};
	std::vector<std::pair<std::string, std::string>> screenshots;
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

bool saveScreenshot (HostWindow& window, const std::string& path, std::string& error)
{
	XSync (window.display, False);
	std::vector<uint8> rgba;
	int32 width = 0, height = 0;
	if (!window.capture (rgba, width, height))
	{
		error = "cannot read the window's pixels";
		return false;
	}
	if (!writePNG (path, rgba, width, height, error))
		return false;
	std::printf ("wrote %s (%d x %d)\n", path.c_str (), width, height);
	return true;
}

} // namespace

//------------------------------------------------------------------------
int runEdit (const Args& args)
{
	ParsedArgs parsed;
	std::string error;
	if (!parseArgs (args, {}, {"seconds", "screenshot", "after", "events"}, parsed, error))
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
	std::vector<std::string> script;
	if (auto e = parsed.value ("events"))
	{
		if (!readLines (*e, script, error))
			return usageError (kName, error);
	}
	const std::vector<std::string> assignmentTexts (parsed.positional.begin () + 1, parsed.positional.end ());

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
	if (!script.empty () && !XTestQueryExtension (window.display, &eventBase, &errorBase, &major, &minor))
	{
		window.close ();
		return fail (kName, "the X server has no XTest extension for --events");
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
	InputScript input (window, script);
	std::vector<float> left (kBlock, 0.f), right (kBlock, 0.f), outLeft (kBlock), outRight (kBlock);
	float* inputs[] = {left.data (), right.data ()};
	float* outputs[] = {outLeft.data (), outRight.data ()};
	auto nextBlock = start;
	bool ok = true;
	while (ok)
	{
		auto now = Clock::now ();
		if (now >= end || window.closeRequested || input.closeRequested ())
			break;
		if (!input.run (now, error))
		{
			ok = false;
			break;
		}
		for (auto& shot : input.takeScreenshots ())
			ok = ok && saveScreenshot (window, shot.first, error);
		if (!screenshotDone && now >= screenshotTime)
		{
			screenshotDone = true;
			ok = ok && saveScreenshot (window, *screenshot, error);
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

	// As a host closes an editor: the frame goes first, then the view is removed and released.
	view->setFrame (nullptr);
	tresult removed = view->removed ();
	view = nullptr;
	printEdits (handler, start);
	std::printf ("closed: removed() %s; %zu file descriptor(s) and %zu timer(s) left registered\n",
	             resultName (removed).c_str (), frame->handlerCount (), frame->timerCount ());
	// Edits the editor ended while closing reach the processor too.
	instance.process32 (inputs, outputs, 2, kBlock);
	window.close ();
	if (!ok)
		return fail (kName, error);
	printParameterValues (instance);
	return kExitOk;
}

} // namespace app
} // namespace vsthost
