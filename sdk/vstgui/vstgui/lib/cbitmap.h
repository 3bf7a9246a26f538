// A reference-counted bitmap (PNG files are loaded through Cairo).
#pragma once

#include "cresourcedescription.h"
#include "cpoint.h"
#include "ccolor.h"
#include <memory>

namespace VSTGUI {

class CBitmap : public CBaseObject
{
public:
	/** Loads the named PNG resource; isLoaded() tells whether that worked. */
	explicit CBitmap (const CResourceDescription& desc);
	/** A transparent bitmap of the given size in pixels. */
	CBitmap (CCoord width, CCoord height);
	~CBitmap () noexcept override;

	CCoord getWidth () const;
	CCoord getHeight () const;
	CPoint getSize () const { return CPoint (getWidth (), getHeight ()); }
	bool isLoaded () const;
	const CResourceDescription& getResourceDescription () const { return resourceDesc; }

	/** Pixel at (x, y), un-premultiplied; transparent black outside. */
	CColor getPixel (int32_t x, int32_t y) const;
	/** Backend surface (a cairo_surface_t*), or null. */
	void* getPlatformBitmap () const;

private:
	CBitmap (const CBitmap&) = delete;
	CBitmap& operator= (const CBitmap&) = delete;

	CResourceDescription resourceDesc;
	struct Impl;
	std::unique_ptr<Impl> impl;
};

} // VSTGUI
