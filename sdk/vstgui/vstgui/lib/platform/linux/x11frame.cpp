#include "x11frame.h"
#include "x11input.h"

#include "../../cdrawcontext.h"
#include "../iplatformframe.h"
#include "../irunloop.h"

#include "public.sdk/source/main/moduleinit.h"

// Xlib's macros (None, Bool, Status, ...) come after every library header.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>
#include <cairo.h>
#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace VSTGUI {
namespace X11 {

namespace {

std::atomic<uint32_t> liveFrames {0};

//------------------------------------------------------------------------
// X errors are reported to one process-wide handler, which the host may have set (Xlib's
// default one ends the process). While this layer talks to its own connection, a handler
// of its own is in place: errors on that connection are counted, errors on any other
// connection go to the handler that was there before. Every Xlib call of the layer runs
// inside a trap, so that no error of its connection ever reaches the host's handler.
//------------------------------------------------------------------------
class ErrorTrap
{
public:
	explicit ErrorTrap (Display* display) : display (display), outer (current)
	{
		if (!outer)
			previous = XSetErrorHandler (&ErrorTrap::handler);
		current = this;
	}
	~ErrorTrap ()
	{
		current = outer;
		if (!outer)
			XSetErrorHandler (previous);
	}
	ErrorTrap (const ErrorTrap&) = delete;
	ErrorTrap& operator= (const ErrorTrap&) = delete;

	/** Waits for the server to answer everything sent so far; true when nothing failed. */
	bool sync ()
	{
		if (display)
			XSync (display, False);
		return errors == 0;
	}
	int getErrors () const { return errors; }
	int getLastError () const { return lastError; }
	/** The connection is closed: no more sync. */
	void forgetDisplay () { display = nullptr; }

private:
	static int handler (Display* d, XErrorEvent* e)
	{
		for (ErrorTrap* t = current; t; t = t->outer)
		{
			if (t->display == d)
			{
				++t->errors;
				t->lastError = e->error_code;
				return 0;
			}
		}
		ErrorTrap* outermost = current;
		while (outermost && outermost->outer)
			outermost = outermost->outer;
		if (outermost && outermost->previous)
			return outermost->previous (d, e);
		return 0;
	}

	static ErrorTrap* current;
	Display* display;
	ErrorTrap* outer;
	XErrorHandler previous {nullptr};
	int errors {0};
	int lastError {0};
};
ErrorTrap* ErrorTrap::current = nullptr;

//------------------------------------------------------------------------
// The back buffer: a Cairo image the frame draws into, in frame coordinates.
//------------------------------------------------------------------------
class BufferContext : public CDrawContext
{
public:
	BufferContext (cairo_surface_t* surface, const CRect& logicalRect, double scale) : CDrawContext (logicalRect)
	{
		cairo_t* cr = cairo_create (surface);
		setBackend (cr, scale);
		cairo_destroy (cr);
	}
	~BufferContext () noexcept override { setBackend (nullptr, 1.); }
};

// XEmbed protocol messages and flags this client knows.
enum
{
	kXEmbedVersion = 0,
	kXEmbedMapped = 1 << 0,
	kXEmbedEmbeddedNotify = 0,
	kXEmbedWindowActivate = 1,
	kXEmbedWindowDeactivate = 2,
	kXEmbedRequestFocus = 3,
	kXEmbedFocusIn = 4,
	kXEmbedFocusOut = 5,
};

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                            KeyReleaseMask | FocusChangeMask | EnterWindowMask | LeaveWindowMask |
                            StructureNotifyMask;
constexpr unsigned int kGrabMask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
constexpr int32_t kPointerButtons = kLButton | kMButton | kRButton | kButton4 | kButton5;

void reportFailure (const char* what)
{
	std::fprintf (stderr, "VSTGUI X11: %s\n", what);
}

//------------------------------------------------------------------------
class X11Frame final : public IPlatformFrame, public IRunLoopEventHandler, public IRunLoopTimerHandler
{
public:
	static IPlatformFrame* create (IPlatformFrameCallback* callback, const CRect& size, void* parent,
	                               PlatformType type);

	~X11Frame () noexcept override
	{
		shutdown ();
		--liveFrames;
	}

	// IPlatformFrame
	bool getGlobalPosition (CPoint& pos) const override
	{
		if (!display)
			return false;
		ErrorTrap trap (display);
		int x = 0, y = 0;
		::Window child;
		if (!XTranslateCoordinates (display, window, DefaultRootWindow (display), 0, 0, &x, &y, &child))
			return false;
		pos = CPoint (x / scale, y / scale);
		return true;
	}

	bool setSize (const CRect& newSize) override
	{
		size = CRect (0, 0, newSize.getWidth (), newSize.getHeight ());
		return applySize (false);
	}

	bool getSize (CRect& s) const override
	{
		s = size;
		return true;
	}

	bool getCurrentMousePosition (CPoint& mousePosition) const override
	{
		int wx, wy;
		unsigned int mask;
		if (!queryPointer (wx, wy, mask))
			return false;
		mousePosition = CPoint (wx / scale, wy / scale);
		return true;
	}

	bool getCurrentMouseButtons (CButtonState& buttons) const override
	{
		int wx, wy;
		unsigned int mask;
		if (!queryPointer (wx, wy, mask))
			return false;
		int32_t bits = modifiersFromState (mask);
		if (mask & Button1Mask)
			bits |= kLButton;
		if (mask & Button2Mask)
			bits |= kMButton;
		if (mask & Button3Mask)
			bits |= kRButton;
		bits |= pressedButtons & (kButton4 | kButton5); // the core protocol has no mask for these
		buttons = CButtonState (bits);
		return true;
	}

	bool invalidRect (const CRect& rect) override
	{
		if (!display)
			return false;
		CRect r (rect);
		r.normalize ();
		r.bound (CRect (0, 0, size.getWidth (), size.getHeight ()));
		if (r.isEmpty ())
			return true;
		// A few separate areas are drawn one by one; beyond that they merge into one.
		for (auto& d : dirty)
		{
			if (d.rectOverlap (r))
			{
				d.unite (r);
				return true;
			}
		}
		if (dirty.size () >= kMaxDirtyRects)
		{
			for (auto& d : dirty)
				r.unite (d);
			dirty.clear ();
		}
		dirty.push_back (r);
		return true;
	}

	void* getPlatformRepresentation () const override { return reinterpret_cast<void*> (window); }
	PlatformType getPlatformType () const override { return PlatformType::kX11EmbedWindowID; }

	bool setScaleFactor (double factor) override
	{
		if (!(factor > 0.) || factor > 16.)
			return false;
		if (factor == scale)
			return true;
		scale = factor;
		return applySize (true);
	}

	void onFrameClosed () override
	{
		IPlatformFrame::onFrameClosed ();
		shutdown ();
	}

	// IRunLoopEventHandler: the connection has data.
	void onEvent () override { service (); }
	// IRunLoopTimerHandler: redraw what is due and read what Xlib has already queued.
	void onTimer () override { service (); }

private:
	static constexpr size_t kMaxDirtyRects = 8;

	X11Frame (IPlatformFrameCallback* callback, const CRect& size) : IPlatformFrame (callback), size (size)
	{
		++liveFrames;
	}

	bool open (::Window parentWindow);
	void shutdown ();
	bool applySize (bool force);
	bool makeBuffer ();
	void freeBuffer ();
	void service ();
	void readEvents ();
	void handleEvent (XEvent& event);
	void paint ();
	void copyDirect ();
	void grabPointer (Time time);
	void releasePointer (Time time);
	void takeFocus (Time time);
	void sendXEmbed (long message, long detail, long data1, long data2);
	bool queryPointer (int& x, int& y, unsigned int& mask) const
	{
		if (!display)
			return false;
		ErrorTrap trap (display);
		::Window root, child;
		int rx, ry;
		return XQueryPointer (display, window, &root, &child, &rx, &ry, &x, &y, &mask) == True;
	}
	CPoint toFrame (int x, int y) const { return CPoint (x / scale, y / scale); }

	CRect size;
	double scale {1.};
	Display* display {nullptr};
	::Window window {0};
	::Window parent {0};
	IRunLoop* loop {nullptr};
	bool fdRegistered {false};
	bool timerRegistered {false};
	Visual* visual {nullptr};
	int depth {0};
	bool directCopy {false};
	GC gc {nullptr};
	cairo_surface_t* windowSurface {nullptr};
	cairo_surface_t* backBuffer {nullptr};
	SharedPointer<BufferContext> context;
	int pixelWidth {0};
	int pixelHeight {0};
	std::vector<CRect> dirty;      // frame coordinates, still to be drawn into the back buffer
	std::vector<CRect> toCopy;     // pixels of the back buffer still to be copied to the window
	int32_t pressedButtons {0};
	bool grabbed {false};
	bool embedded {false};
	::Window embedder {0};
	DoubleClickDetector doubleClick;
	Atom xembedAtom {0};
	Atom xembedInfoAtom {0};
};

//------------------------------------------------------------------------
IPlatformFrame* X11Frame::create (IPlatformFrameCallback* callback, const CRect& size, void* parent, PlatformType type)
{
	if (type != PlatformType::kX11EmbedWindowID || !callback)
		return nullptr;
	if (!parent)
	{
		reportFailure ("no parent window");
		return nullptr;
	}
	if (!hasRunLoop ())
	{
		reportFailure ("no run loop is installed; a window cannot run without the host's run loop");
		return nullptr;
	}
	auto frame = new X11Frame (callback, size);
	if (!frame->open (static_cast<::Window> (reinterpret_cast<uintptr_t> (parent))))
	{
		frame->forget ();
		return nullptr;
	}
	return frame;
}

bool X11Frame::open (::Window parentWindow)
{
	parent = parentWindow;
	display = XOpenDisplay (nullptr);
	if (!display)
	{
		reportFailure ("cannot open the X display (is DISPLAY set?)");
		return false;
	}
	{
		ErrorTrap trap (display);
		XWindowAttributes parentAttributes {};
		if (!XGetWindowAttributes (display, parent, &parentAttributes) || !trap.sync ())
		{
			char text[96];
			std::snprintf (text, sizeof (text), "the parent window 0x%lx does not exist", parent);
			reportFailure (text);
			return false;
		}
		pixelWidth = std::max (1, static_cast<int> (std::ceil (size.getWidth () * scale)));
		pixelHeight = std::max (1, static_cast<int> (std::ceil (size.getHeight () * scale)));
		XSetWindowAttributes attributes {};
		attributes.event_mask = kEventMask;
		attributes.background_pixmap = None;
		attributes.bit_gravity = NorthWestGravity;
		window = XCreateWindow (display, parent, 0, 0, static_cast<unsigned> (pixelWidth),
		                        static_cast<unsigned> (pixelHeight), 0, CopyFromParent, InputOutput, CopyFromParent,
		                        CWEventMask | CWBackPixmap | CWBitGravity, &attributes);
		xembedAtom = XInternAtom (display, "_XEMBED", False);
		xembedInfoAtom = XInternAtom (display, "_XEMBED_INFO", False);
		long info[2] = {kXEmbedVersion, kXEmbedMapped};
		XChangeProperty (display, window, xembedInfoAtom, xembedInfoAtom, 32, PropModeReplace,
		                 reinterpret_cast<unsigned char*> (info), 2);
		XMapWindow (display, window);
		if (!trap.sync ())
		{
			char text[96];
			std::snprintf (text, sizeof (text), "cannot make a window in the parent window 0x%lx (X error %d)", parent,
			               trap.getLastError ());
			reportFailure (text);
			return false;
		}
		XWindowAttributes own {};
		XGetWindowAttributes (display, window, &own);
		visual = own.visual;
		depth = own.depth;
		// Cairo's image pixels (32-bit words 0xAARRGGBB) go to the usual true-colour windows
		// as they are, with XPutImage. Any other visual gets them through cairo-xlib, which
		// converts them. (cairo-xlib's own way for the usual visuals uploads through shared
		// memory and, in the Cairo of Debian 12, leaves a little of that bookkeeping behind
		// at every close of a connection.)
		directCopy = visual && visual->c_class == TrueColor && visual->red_mask == 0xFF0000 &&
		             visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF && (depth == 24 || depth == 32);
		if (directCopy)
			gc = XCreateGC (display, window, 0, nullptr);
		else
			windowSurface = cairo_xlib_surface_create (display, window, visual, pixelWidth, pixelHeight);
		if ((windowSurface && cairo_surface_status (windowSurface) != CAIRO_STATUS_SUCCESS) || !makeBuffer ())
		{
			reportFailure ("cannot draw into the window");
			return false;
		}
		const char* clickTime = XGetDefault (display, "vstgui", "multiClickTime");
		if (clickTime && std::atoi (clickTime) > 0)
			doubleClick.setTime (static_cast<uint32_t> (std::atoi (clickTime)));
	}
	loop = getRunLoop ();
	fdRegistered = loop->registerEventHandler (ConnectionNumber (display), this);
	timerRegistered = loop->registerTimer (kTickInterval, this);
	if (!fdRegistered || !timerRegistered)
	{
		reportFailure ("the run loop refused the window's events or its timer");
		return false;
	}
	invalidRect (size);
	return true;
}

void X11Frame::shutdown ()
{
	// Everything goes back to the run loop first: no call may reach a closed window.
	if (loop)
	{
		if (fdRegistered)
			loop->unregisterEventHandler (this);
		if (timerRegistered)
			loop->unregisterTimer (this);
		fdRegistered = timerRegistered = false;
		loop = nullptr;
	}
	dirty.clear ();
	toCopy.clear ();
	if (!display)
		return;
	{
		ErrorTrap trap (display);
		if (grabbed)
			XUngrabPointer (display, CurrentTime);
		grabbed = false;
		pressedButtons = 0;
		freeBuffer ();
		if (windowSurface)
		{
			cairo_surface_finish (windowSurface);
			cairo_surface_destroy (windowSurface);
			windowSurface = nullptr;
		}
		if (gc)
			XFreeGC (display, gc);
		gc = nullptr;
		// The parent may have gone already, and the window with it.
		if (window)
			XDestroyWindow (display, window);
		window = 0;
		trap.sync ();
		XCloseDisplay (display);
		trap.forgetDisplay ();
	}
	display = nullptr;
}

bool X11Frame::makeBuffer ()
{
	freeBuffer ();
	backBuffer = cairo_image_surface_create (CAIRO_FORMAT_ARGB32, pixelWidth, pixelHeight);
	if (cairo_surface_status (backBuffer) != CAIRO_STATUS_SUCCESS)
	{
		cairo_surface_destroy (backBuffer);
		backBuffer = nullptr;
		return false;
	}
	context = owned (new BufferContext (backBuffer, CRect (0, 0, pixelWidth / scale, pixelHeight / scale), scale));
	return true;
}

void X11Frame::freeBuffer ()
{
	context = nullptr;
	if (backBuffer)
		cairo_surface_destroy (backBuffer);
	backBuffer = nullptr;
}

bool X11Frame::applySize (bool force)
{
	if (!display)
		return false;
	int w = std::max (1, static_cast<int> (std::ceil (size.getWidth () * scale)));
	int h = std::max (1, static_cast<int> (std::ceil (size.getHeight () * scale)));
	if (!force && w == pixelWidth && h == pixelHeight)
		return true;
	pixelWidth = w;
	pixelHeight = h;
	ErrorTrap trap (display);
	XResizeWindow (display, window, static_cast<unsigned> (w), static_cast<unsigned> (h));
	if (windowSurface)
		cairo_xlib_surface_set_size (windowSurface, w, h);
	toCopy.clear ();
	dirty.clear ();
	bool ok = makeBuffer ();
	invalidRect (size);
	XFlush (display);
	return ok;
}

//------------------------------------------------------------------------
void X11Frame::service ()
{
	if (!display)
		return;
	SharedPointer<X11Frame> guard (this);
	readEvents ();
	paint ();
}

void X11Frame::readEvents ()
{
	ErrorTrap trap (display);
	// XPending flushes what was sent and reads what has arrived without waiting.
	while (display && frame && XPending (display) > 0)
	{
		XEvent event;
		XNextEvent (display, &event);
		handleEvent (event);
	}
}

void X11Frame::paint ()
{
	if (!display || !frame || !context)
		return;
	ErrorTrap trap (display);
	auto areas = std::move (dirty);
	dirty.clear ();
	for (const auto& area : areas)
	{
		// Whole device pixels, so that the copy never shows a half-drawn edge.
		CRect pixels (std::floor (area.left * scale), std::floor (area.top * scale), std::ceil (area.right * scale),
		              std::ceil (area.bottom * scale));
		pixels.bound (CRect (0, 0, pixelWidth, pixelHeight));
		if (pixels.isEmpty ())
			continue;
		CRect r (pixels.left / scale, pixels.top / scale, pixels.right / scale, pixels.bottom / scale);
		context->saveGlobalState ();
		context->resetClipRect ();
		context->clearRect (r);
		context->restoreGlobalState ();
		context->beginDraw ();
		frame->platformDrawRect (context, r);
		context->endDraw ();
		toCopy.push_back (pixels);
		if (!frame || !display)
			return;
	}
	if (toCopy.empty () || !backBuffer)
		return;
	cairo_surface_flush (backBuffer);
	if (directCopy)
		copyDirect ();
	else if (windowSurface)
	{
		cairo_t* cr = cairo_create (windowSurface);
		cairo_set_operator (cr, CAIRO_OPERATOR_SOURCE);
		cairo_set_source_surface (cr, backBuffer, 0, 0);
		for (const auto& p : toCopy)
			cairo_rectangle (cr, p.left, p.top, p.getWidth (), p.getHeight ());
		cairo_fill (cr);
		cairo_destroy (cr);
		cairo_surface_flush (windowSurface);
	}
	toCopy.clear ();
	XFlush (display);
}

void X11Frame::copyDirect ()
{
	XImage* image = XCreateImage (display, visual, static_cast<unsigned> (depth), ZPixmap, 0,
	                              reinterpret_cast<char*> (cairo_image_surface_get_data (backBuffer)),
	                              static_cast<unsigned> (pixelWidth), static_cast<unsigned> (pixelHeight), 32,
	                              cairo_image_surface_get_stride (backBuffer));
	if (!image)
		return;
	// The words are in this machine's byte order; Xlib swaps them if the server's differs.
	const uint32_t probe = 1;
	image->byte_order = *reinterpret_cast<const unsigned char*> (&probe) == 1 ? LSBFirst : MSBFirst;
	for (const auto& p : toCopy)
	{
		int x = static_cast<int> (p.left), y = static_cast<int> (p.top);
		XPutImage (display, window, gc, image, x, y, x, y, static_cast<unsigned> (p.getWidth ()),
		           static_cast<unsigned> (p.getHeight ()));
	}
	image->data = nullptr; // the pixels belong to the back buffer
	XDestroyImage (image);
}

//------------------------------------------------------------------------
void X11Frame::grabPointer (Time time)
{
	// The press already holds the pointer (X's implicit grab); holding it explicitly keeps
	// the drag coming when it leaves the window, whatever other buttons do.
	if (!grabbed)
		grabbed = XGrabPointer (display, window, False, kGrabMask, GrabModeAsync, GrabModeAsync, None, None, time) ==
		          GrabSuccess;
}

void X11Frame::releasePointer (Time time)
{
	if (grabbed)
		XUngrabPointer (display, time);
	grabbed = false;
}

void X11Frame::takeFocus (Time time)
{
	// An XEmbed embedder hands out the focus itself; without one the window takes it.
	if (embedded && embedder)
		sendXEmbed (kXEmbedRequestFocus, 0, 0, 0);
	else
		XSetInputFocus (display, window, RevertToParent, time);
}

void X11Frame::sendXEmbed (long message, long detail, long data1, long data2)
{
	XEvent event {};
	event.xclient.type = ClientMessage;
	event.xclient.window = embedder;
	event.xclient.message_type = xembedAtom;
	event.xclient.format = 32;
	event.xclient.data.l[0] = CurrentTime;
	event.xclient.data.l[1] = message;
	event.xclient.data.l[2] = detail;
	event.xclient.data.l[3] = data1;
	event.xclient.data.l[4] = data2;
	XSendEvent (display, embedder, False, NoEventMask, &event);
}

void X11Frame::handleEvent (XEvent& event)
{
	if (event.type == MappingNotify)
	{
		XRefreshKeyboardMapping (&event.xmapping);
		return;
	}
	if (event.xany.window != window)
		return;
	switch (event.type)
	{
		case Expose:
		{
			const XExposeEvent& e = event.xexpose;
			CRect pixels (e.x, e.y, e.x + e.width, e.y + e.height);
			pixels.bound (CRect (0, 0, pixelWidth, pixelHeight));
			if (!pixels.isEmpty ())
				toCopy.push_back (pixels);
			break;
		}
		case ButtonPress:
		{
			const XButtonEvent& e = event.xbutton;
			CPoint where = toFrame (e.x, e.y);
			int32_t modifiers = modifiersFromState (e.state);
			CMouseWheelAxis axis;
			float distance;
			if (wheelFromX (e.button, axis, distance))
			{
				frame->platformOnMouseWheel (where, axis, distance, CButtonState (modifiers | pressedButtons));
				break;
			}
			int32_t button = buttonFromX (e.button);
			if (!button)
				break;
			if (pressedButtons & kPointerButtons)
			{
				// Another button during a press changes the press's buttons; it is no new press.
				pressedButtons |= button;
				frame->platformOnMouseMoved (where, CButtonState (pressedButtons | modifiers));
				break;
			}
			pressedButtons = button;
			int32_t state = button | modifiers;
			if (doubleClick.onPress (e.button, e.time, e.x, e.y))
				state |= kDoubleClick;
			grabPointer (e.time);
			takeFocus (e.time);
			frame->platformOnMouseDown (where, CButtonState (state));
			break;
		}
		case ButtonRelease:
		{
			const XButtonEvent& e = event.xbutton;
			int32_t button = buttonFromX (e.button);
			if (!button || !(pressedButtons & button))
				break; // wheel buttons, and releases of presses that began elsewhere
			CPoint where = toFrame (e.x, e.y);
			int32_t modifiers = modifiersFromState (e.state);
			pressedButtons &= ~button;
			if (pressedButtons & kPointerButtons)
			{
				frame->platformOnMouseMoved (where, CButtonState (pressedButtons | modifiers));
				break;
			}
			releasePointer (e.time);
			frame->platformOnMouseUp (where, CButtonState (button | modifiers));
			break;
		}
		case MotionNotify:
		{
			// Only the newest position counts when several are waiting.
			while (XPending (display) > 0)
			{
				XEvent next;
				XPeekEvent (display, &next);
				if (next.type != MotionNotify || next.xmotion.window != window || next.xmotion.state != event.xmotion.state)
					break;
				XNextEvent (display, &event);
			}
			const XMotionEvent& e = event.xmotion;
			CPoint where = toFrame (e.x, e.y);
			frame->platformOnMouseMoved (where, CButtonState (pressedButtons | modifiersFromState (e.state)));
			break;
		}
		case LeaveNotify:
		{
			const XCrossingEvent& e = event.xcrossing;
			if (e.mode != NotifyNormal || pressedButtons)
				break;
			CPoint where = toFrame (e.x, e.y);
			frame->platformOnMouseExited (where, CButtonState (modifiersFromState (e.state)));
			break;
		}
		case KeyPress:
		case KeyRelease:
		{
			XKeyEvent& e = event.xkey;
			char text[16];
			KeySym textKeysym = 0;
			XLookupString (&e, text, sizeof (text), &textKeysym, nullptr);
			KeySym keysym = XLookupKeysym (&e, 0);
			VstKeyCode code = keyCodeFromX (keysym, textKeysym, e.state);
			if (code.virt == 0 && code.character == 0)
				break;
			if (event.type == KeyPress)
				frame->platformOnKeyDown (code);
			else
				frame->platformOnKeyUp (code);
			break;
		}
		case FocusIn:
		case FocusOut:
		{
			const XFocusChangeEvent& e = event.xfocus;
			// Focus moving inside the window, or for a keyboard grab, changes nothing here.
			if ((e.mode != NotifyNormal && e.mode != NotifyWhileGrabbed) || e.detail == NotifyInferior ||
			    e.detail == NotifyPointer)
				break;
			frame->platformOnActivate (event.type == FocusIn);
			break;
		}
		case ClientMessage:
		{
			const XClientMessageEvent& e = event.xclient;
			if (e.message_type != xembedAtom || e.format != 32)
				break;
			switch (e.data.l[1])
			{
				case kXEmbedEmbeddedNotify:
					embedded = true;
					embedder = static_cast<::Window> (e.data.l[3]);
					break;
				case kXEmbedFocusIn: frame->platformOnActivate (true); break;
				case kXEmbedFocusOut: frame->platformOnActivate (false); break;
				default: break;
			}
			break;
		}
		default: break;
	}
}

//------------------------------------------------------------------------
// The drawing libraries keep process-lifetime state (Xlib's and XCB's among them); were
// they unloaded with the plug-in, it would be lost at every unload.
void keepWindowLibrariesLoaded ()
{
	static const char* const libraries[] = {"libX11.so.6",  "libxcb.so.1",      "libXau.so.6",     "libXdmcp.so.6",
	                                        "libXext.so.6", "libXrender.so.1", "libxcb-shm.so.0", "libxcb-render.so.0"};
	for (const char* name : libraries)
		dlopen (name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
}

Steinberg::ModuleInitializer gRegisterWindowLayer ([] () { registerFrameFactory (); });
Steinberg::ModuleTerminator gUnregisterWindowLayer ([] () { unregisterFrameFactory (); });

} // namespace

//------------------------------------------------------------------------
void registerFrameFactory ()
{
	keepWindowLibrariesLoaded ();
	setPlatformFrameFactory (PlatformType::kX11EmbedWindowID, &X11Frame::create);
}

void unregisterFrameFactory ()
{
	if (getPlatformFrameFactory (PlatformType::kX11EmbedWindowID) == &X11Frame::create)
		setPlatformFrameFactory (PlatformType::kX11EmbedWindowID, nullptr);
}

uint32_t getLiveFrameCount ()
{
	return liveFrames.load ();
}

} // X11
} // VSTGUI
