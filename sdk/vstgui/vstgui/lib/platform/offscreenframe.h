// A platform frame that renders into an image instead of a window.
#pragma once

#include "iplatformframe.h"
#include "../cdrawcontext.h"

namespace VSTGUI {

class COffscreenPlatformFrame : public IPlatformFrame
{
public:
	COffscreenPlatformFrame (IPlatformFrameCallback* frame, const CRect& size, double scaleFactor = 1.);
	~COffscreenPlatformFrame () noexcept override;

	bool getGlobalPosition (CPoint& pos) const override;
	bool setSize (const CRect& newSize) override;
	bool getSize (CRect& size) const override;
	bool getCurrentMousePosition (CPoint& mousePosition) const override;
	bool getCurrentMouseButtons (CButtonState& buttons) const override;
	bool invalidRect (const CRect& rect) override;
	void* getPlatformRepresentation () const override { return nullptr; }
	PlatformType getPlatformType () const override { return PlatformType::kOffscreen; }

	/** Redraws the region invalidated since the last render; false when nothing was due. */
	bool render ();
	bool hasDirtyRegion () const { return dirty; }
	const CRect& getDirtyRect () const { return dirtyRect; }
	/** The image, as of the last render. */
	COffscreenContext* getContext () const { return context; }
	CColor getPixel (int32_t x, int32_t y) const;
	/** Renders what is due and writes the image as PNG. */
	bool writePNG (UTF8StringPtr path);
	/** Fill colour of the image behind the views (default transparent). */
	void setClearColor (const CColor& color) { clearColor = color; }

private:
	SharedPointer<COffscreenContext> context;
	CRect size;
	CRect dirtyRect;
	CColor clearColor {kTransparentCColor};
	double scaleFactor;
	bool dirty {false};
};

} // VSTGUI
