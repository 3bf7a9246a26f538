#include "hostlib/x11window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>

namespace vsthost {

namespace {

// Position of a channel's lowest bit in the pixel.
int maskShift (unsigned long mask)
{
	int shift = 0;
	while (mask && !(mask & 1))
	{
		mask >>= 1;
		++shift;
	}
	return shift;
}

} // namespace

bool waitUntilMapped (Display* display, unsigned long window, int timeoutMs)
{
	constexpr int kStepMs = 5;
	for (int waited = 0; waited < timeoutMs; waited += kStepMs)
	{
		XEvent event;
		if (XCheckTypedWindowEvent (display, window, MapNotify, &event))
			return true;
		XSync (display, False);
		poll (nullptr, 0, kStepMs);
	}
	return false;
}

bool captureWindow (Display* display, unsigned long window, std::vector<uint8_t>& rgba, int& width, int& height)
{
	XWindowAttributes attributes;
	if (!display || !XGetWindowAttributes (display, window, &attributes))
		return false;
	XImage* image = XGetImage (display, window, 0, 0, static_cast<unsigned> (attributes.width),
	                           static_cast<unsigned> (attributes.height), AllPlanes, ZPixmap);
	if (!image)
		return false;
	const int rs = maskShift (image->red_mask), gs = maskShift (image->green_mask), bs = maskShift (image->blue_mask);
	width = image->width;
	height = image->height;
	rgba.resize (static_cast<size_t> (width) * static_cast<size_t> (height) * 4);
	for (int y = 0; y < height; ++y)
	{
		for (int x = 0; x < width; ++x)
		{
			unsigned long p = XGetPixel (image, x, y);
			uint8_t* out = &rgba[(static_cast<size_t> (y) * static_cast<size_t> (width) + static_cast<size_t> (x)) * 4];
			out[0] = static_cast<uint8_t> ((p & image->red_mask) >> rs);
			out[1] = static_cast<uint8_t> ((p & image->green_mask) >> gs);
			out[2] = static_cast<uint8_t> ((p & image->blue_mask) >> bs);
			out[3] = 255;
		}
	}
	XDestroyImage (image);
	return true;
}

} // namespace vsthost
