#include "cbitmap.h"
#include "cairopixel.h"
#include <cairo.h>
#include <cmath>

namespace VSTGUI {

struct CBitmap::Impl
{
	cairo_surface_t* surface {nullptr};
	~Impl ()
	{
		if (surface)
			cairo_surface_destroy (surface);
	}
};

CBitmap::CBitmap (const CResourceDescription& desc) : resourceDesc (desc), impl (std::make_unique<Impl> ())
{
	std::string path = resolveResourcePath (desc);
	if (path.empty ())
		return;
	cairo_surface_t* s = cairo_image_surface_create_from_png (path.c_str ());
	if (cairo_surface_status (s) != CAIRO_STATUS_SUCCESS)
	{
		cairo_surface_destroy (s);
		return;
	}
	impl->surface = s;
}

CBitmap::CBitmap (CCoord width, CCoord height) : impl (std::make_unique<Impl> ())
{
	if (!(width >= 1.) || !(height >= 1.) || width > 16384. || height > 16384.)
		return;
	cairo_surface_t* s = cairo_image_surface_create (CAIRO_FORMAT_ARGB32, static_cast<int> (std::ceil (width)),
	                                                 static_cast<int> (std::ceil (height)));
	if (cairo_surface_status (s) != CAIRO_STATUS_SUCCESS)
	{
		cairo_surface_destroy (s);
		return;
	}
	impl->surface = s;
}

CBitmap::~CBitmap () noexcept = default;

CCoord CBitmap::getWidth () const
{
	return impl->surface ? cairo_image_surface_get_width (impl->surface) : 0;
}

CCoord CBitmap::getHeight () const
{
	return impl->surface ? cairo_image_surface_get_height (impl->surface) : 0;
}

bool CBitmap::isLoaded () const
{
	return impl->surface != nullptr;
}

void* CBitmap::getPlatformBitmap () const
{
	return impl->surface;
}

CColor CBitmap::getPixel (int32_t x, int32_t y) const
{
	return readSurfacePixel (impl->surface, x, y);
}

} // VSTGUI
