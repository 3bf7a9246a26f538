#include "x11testsupport.h"

#include "hostlib/x11window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <cairo.h>
#include <dirent.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <set>

namespace x11test {

//------------------------------------------------------------------------
int PollLoop::addFd (int fd, Callback callback)
{
	int id = nextId++;
	fds[id] = {fd, std::move (callback)};
	return id;
}

bool PollLoop::removeFd (int id)
{
	return fds.erase (id) > 0;
}

int PollLoop::addTimer (uint64_t intervalMs, Callback callback)
{
	int id = nextId++;
	timers[id] = {std::max<uint64_t> (intervalMs, 1), Clock::now () + std::chrono::milliseconds (intervalMs),
	              std::move (callback)};
	return id;
}

bool PollLoop::removeTimer (int id)
{
	return timers.erase (id) > 0;
}

void PollLoop::turn (Clock::time_point limit)
{
	auto now = Clock::now ();
	auto wake = limit;
	for (auto& t : timers)
		wake = std::min (wake, t.second.due);
	int timeout = 0;
	if (wake > now)
		timeout = static_cast<int> (std::chrono::duration_cast<std::chrono::milliseconds> (wake - now).count ()) + 1;
	std::vector<pollfd> watched;
	std::vector<int> ids;
	for (auto& f : fds)
	{
		watched.push_back ({f.second.fd, POLLIN, 0});
		ids.push_back (f.first);
	}
	poll (watched.data (), watched.size (), timeout);
	for (size_t i = 0; i < watched.size (); ++i)
	{
		if (!(watched[i].revents & (POLLIN | POLLHUP | POLLERR)))
			continue;
		auto it = fds.find (ids[i]);
		if (it == fds.end ())
			continue; // removed by an earlier callback
		auto callback = it->second.callback;
		++fdCalls;
		callback ();
	}
	now = Clock::now ();
	std::vector<int> due;
	for (auto& t : timers)
		if (t.second.due <= now)
			due.push_back (t.first);
	for (int id : due)
	{
		auto it = timers.find (id);
		if (it == timers.end ())
			continue;
		it->second.due = std::max (it->second.due + std::chrono::milliseconds (it->second.interval), now);
		auto callback = it->second.callback;
		++timerCalls;
		callback ();
	}
	if (idle)
		idle ();
}

void PollLoop::runFor (int ms)
{
	auto limit = Clock::now () + std::chrono::milliseconds (ms);
	while (Clock::now () < limit)
		turn (limit);
}

bool PollLoop::runUntil (const std::function<bool ()>& done, int ms)
{
	auto limit = Clock::now () + std::chrono::milliseconds (ms);
	while (!done ())
	{
		if (Clock::now () >= limit)
			return done ();
		turn (limit);
	}
	return true;
}

//------------------------------------------------------------------------
size_t Image::colourCount (size_t limit) const
{
	std::set<uint32_t> colours;
	for (size_t i = 0; i + 3 < rgba.size () && colours.size () < limit; i += 4)
		colours.insert (rgba[i] | rgba[i + 1] << 8 | rgba[i + 2] << 16);
	return colours.size ();
}

namespace {
// A window shows premultiplied colour: what a transparent pixel of an image becomes there.
int premultiplied (const uint8_t* p, int channel)
{
	return (p[channel] * p[3] + 127) / 255;
}
} // namespace

int maxChannelDifference (const Image& a, const Image& b)
{
	if (a.width != b.width || a.height != b.height || a.empty () || b.empty ())
		return -1;
	int worst = 0;
	for (size_t i = 0; i < a.rgba.size (); i += 4)
		for (int c = 0; c < 3; ++c)
			worst = std::max (worst, std::abs (premultiplied (&a.rgba[i], c) - premultiplied (&b.rgba[i], c)));
	return worst;
}

size_t differingPixels (const Image& a, const Image& b, int threshold)
{
	if (a.width != b.width || a.height != b.height)
		return static_cast<size_t> (-1);
	size_t count = 0;
	for (size_t i = 0; i < a.rgba.size (); i += 4)
	{
		for (int c = 0; c < 3; ++c)
		{
			if (std::abs (premultiplied (&a.rgba[i], c) - premultiplied (&b.rgba[i], c)) > threshold)
			{
				++count;
				break;
			}
		}
	}
	return count;
}

Image readPNG (const std::string& path)
{
	Image image;
	cairo_surface_t* s = cairo_image_surface_create_from_png (path.c_str ());
	if (cairo_surface_status (s) != CAIRO_STATUS_SUCCESS)
	{
		cairo_surface_destroy (s);
		return image;
	}
	cairo_surface_flush (s);
	image.width = cairo_image_surface_get_width (s);
	image.height = cairo_image_surface_get_height (s);
	int stride = cairo_image_surface_get_stride (s);
	const unsigned char* data = cairo_image_surface_get_data (s);
	image.rgba.resize (static_cast<size_t> (image.width) * image.height * 4);
	for (int y = 0; y < image.height; ++y)
	{
		for (int x = 0; x < image.width; ++x)
		{
			uint32_t p = *reinterpret_cast<const uint32_t*> (data + y * stride + x * 4);
			uint8_t a = static_cast<uint8_t> (p >> 24);
			uint8_t* out = &image.rgba[(static_cast<size_t> (y) * image.width + x) * 4];
			auto un = [a] (uint32_t v) { return a ? static_cast<uint8_t> ((v * 255 + a / 2) / a) : 0; };
			out[0] = un ((p >> 16) & 0xFF);
			out[1] = un ((p >> 8) & 0xFF);
			out[2] = un (p & 0xFF);
			out[3] = a;
		}
	}
	cairo_surface_destroy (s);
	return image;
}

//------------------------------------------------------------------------
bool displayAvailable ()
{
	Display* d = XOpenDisplay (nullptr);
	if (!d)
		return false;
	XCloseDisplay (d);
	return true;
}

TopWindow::TopWindow (int width, int height, int x, int y) : left (x), top (y)
{
	display = XOpenDisplay (nullptr);
	if (!display)
		return;
	int eventBase, errorBase, major, minor;
	xtest = XTestQueryExtension (display, &eventBase, &errorBase, &major, &minor);
	XSetWindowAttributes attributes {};
	attributes.background_pixel = BlackPixel (display, DefaultScreen (display));
	attributes.event_mask = StructureNotifyMask | ExposureMask;
	attributes.override_redirect = True; // placed where asked, with or without a window manager
	window = XCreateWindow (display, DefaultRootWindow (display), x, y, static_cast<unsigned> (width),
	                        static_cast<unsigned> (height), 0, CopyFromParent, InputOutput, CopyFromParent,
	                        CWBackPixel | CWEventMask | CWOverrideRedirect, &attributes);
	XMapRaised (display, window);
	vsthost::waitUntilMapped (display, window, 1000);
	XSync (display, False);
}

TopWindow::~TopWindow ()
{
	if (!display)
		return;
	if (window)
		XDestroyWindow (display, window);
	XCloseDisplay (display);
}

void TopWindow::destroyWindow ()
{
	if (window)
		XDestroyWindow (display, window);
	window = 0;
	XSync (display, False);
}

void TopWindow::resize (int width, int height)
{
	XResizeWindow (display, window, static_cast<unsigned> (width), static_cast<unsigned> (height));
	XSync (display, False);
}

Image TopWindow::capture () const
{
	Image image;
	if (!vsthost::captureWindow (display, window, image.rgba, image.width, image.height))
		return Image ();
	return image;
}

std::vector<unsigned long> TopWindow::children () const
{
	std::vector<unsigned long> list;
	::Window root, parent;
	::Window* kids = nullptr;
	unsigned int count = 0;
	XSync (display, False);
	if (XQueryTree (display, window, &root, &parent, &kids, &count))
	{
		list.assign (kids, kids + count);
		if (kids)
			XFree (kids);
	}
	return list;
}

bool TopWindow::isViewable (unsigned long w) const
{
	XWindowAttributes attributes;
	return XGetWindowAttributes (display, w, &attributes) && attributes.map_state == IsViewable;
}

bool TopWindow::windowSize (unsigned long w, int& width, int& height) const
{
	XWindowAttributes attributes;
	if (!XGetWindowAttributes (display, w, &attributes))
		return false;
	width = attributes.width;
	height = attributes.height;
	return true;
}

bool TopWindow::xembedInfo (unsigned long w, long& version, long& flags) const
{
	Atom atom = XInternAtom (display, "_XEMBED_INFO", False);
	Atom type;
	int format;
	unsigned long count, after;
	unsigned char* data = nullptr;
	if (XGetWindowProperty (display, w, atom, 0, 2, False, AnyPropertyType, &type, &format, &count, &after, &data) !=
	        Success ||
	    !data)
		return false;
	bool ok = format == 32 && count == 2;
	if (ok)
	{
		version = reinterpret_cast<long*> (data)[0];
		flags = reinterpret_cast<long*> (data)[1];
	}
	XFree (data);
	return ok;
}

void TopWindow::moveTo (int x, int y)
{
	XTestFakeMotionEvent (display, DefaultScreen (display), left + x, top + y, CurrentTime);
	XFlush (display);
}

void TopWindow::press (unsigned int button)
{
	XTestFakeButtonEvent (display, button, True, CurrentTime);
	XFlush (display);
}

void TopWindow::release (unsigned int button)
{
	XTestFakeButtonEvent (display, button, False, CurrentTime);
	XFlush (display);
}

void TopWindow::click (unsigned int button)
{
	press (button);
	release (button);
}

void TopWindow::keyDown (const char* keysymName)
{
	KeyCode code = XKeysymToKeycode (display, XStringToKeysym (keysymName));
	XTestFakeKeyEvent (display, code, True, CurrentTime);
	XFlush (display);
}

void TopWindow::keyUp (const char* keysymName)
{
	KeyCode code = XKeysymToKeycode (display, XStringToKeysym (keysymName));
	XTestFakeKeyEvent (display, code, False, CurrentTime);
	XFlush (display);
}

void TopWindow::tapKey (const char* keysymName)
{
	keyDown (keysymName);
	keyUp (keysymName);
}

void TopWindow::sync ()
{
	XSync (display, False);
}

//------------------------------------------------------------------------
int openFileDescriptors ()
{
	int count = 0;
	if (DIR* dir = opendir ("/proc/self/fd"))
	{
		while (readdir (dir))
			++count;
		closedir (dir);
	}
	return count;
}

} // namespace x11test
