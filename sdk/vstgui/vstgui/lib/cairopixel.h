// Reading one pixel back from a Cairo image surface, shared by bitmaps and
// offscreen contexts.
#pragma once

#include "ccolor.h"
#include <cairo.h>
#include <cstdint>
#include <cstring>

namespace VSTGUI {

/** The colour at (x, y) of an ARGB32 image surface, with Cairo's premultiplied
 *  alpha taken out; transparent black outside the surface or without one. */
inline CColor readSurfacePixel (cairo_surface_t* surface, int32_t x, int32_t y)
{
	if (!surface || x < 0 || y < 0 || x >= cairo_image_surface_get_width (surface) ||
	    y >= cairo_image_surface_get_height (surface))
		return CColor (0, 0, 0, 0);
	cairo_surface_flush (surface);
	const unsigned char* data = cairo_image_surface_get_data (surface);
	int stride = cairo_image_surface_get_stride (surface);
	uint32_t p;
	std::memcpy (&p, data + y * stride + x * 4, 4);
	uint8_t a = static_cast<uint8_t> (p >> 24);
	if (a == 0)
		return CColor (0, 0, 0, 0);
	auto un = [a] (uint32_t v) { return static_cast<uint8_t> ((v * 255 + a / 2) / a); };
	return CColor (un ((p >> 16) & 0xFF), un ((p >> 8) & 0xFF), un (p & 0xFF), a);
}

} // VSTGUI
