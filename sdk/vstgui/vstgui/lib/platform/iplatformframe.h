// The seam between a frame and the window system that shows it.
//
// A platform frame is made for a frame by CFrame::open() through the factory
// registered for the requested PlatformType. The library brings the offscreen kind
// (COffscreenPlatformFrame, PlatformType::kOffscreen); a window layer (X11) registers
// its own factory with setPlatformFrameFactory() and delivers input through the
// IPlatformFrameCallback that the frame implements.
#pragma once

#include "../vstguibase.h"
#include "../crect.h"
#include "../cbuttonstate.h"
#include "../vstkeycode.h"

namespace VSTGUI {

class IPlatformFrameCallback
{
public:
	virtual ~IPlatformFrameCallback () noexcept = default;

	/** Draw rect (frame coordinates) into context. */
	virtual bool platformDrawRect (CDrawContext* context, const CRect& rect) = 0;
	virtual CMouseEventResult platformOnMouseDown (CPoint& where, const CButtonState& buttons) = 0;
	virtual CMouseEventResult platformOnMouseMoved (CPoint& where, const CButtonState& buttons) = 0;
	virtual CMouseEventResult platformOnMouseUp (CPoint& where, const CButtonState& buttons) = 0;
	virtual CMouseEventResult platformOnMouseExited (CPoint& where, const CButtonState& buttons) = 0;
	virtual bool platformOnMouseWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
	                                   const CButtonState& buttons) = 0;
	virtual bool platformOnKeyDown (VstKeyCode& keyCode) = 0;
	virtual bool platformOnKeyUp (VstKeyCode& keyCode) = 0;
	virtual void platformOnActivate (bool state) = 0;
	virtual void platformScaleFactorChanged (double newScaleFactor) = 0;
};

class IPlatformFrame : public CBaseObject
{
public:
	explicit IPlatformFrame (IPlatformFrameCallback* frame) : frame (frame) {}

	virtual bool getGlobalPosition (CPoint& pos) const = 0;
	virtual bool setSize (const CRect& newSize) = 0;
	virtual bool getSize (CRect& size) const = 0;
	virtual bool getCurrentMousePosition (CPoint& mousePosition) const = 0;
	virtual bool getCurrentMouseButtons (CButtonState& buttons) const = 0;
	/** Schedules rect (frame coordinates) for redrawing. */
	virtual bool invalidRect (const CRect& rect) = 0;
	virtual void* getPlatformRepresentation () const = 0;
	virtual PlatformType getPlatformType () const = 0;
	/** Device pixels per frame coordinate; false when the platform frame cannot change it. */
	virtual bool setScaleFactor (double factor) { return false; }
	/** The frame is going; no more calls into it. */
	virtual void onFrameClosed () { frame = nullptr; }

protected:
	IPlatformFrameCallback* frame;
};

/** Extra settings for the platform frame a frame opens (CFrame::open). */
class IPlatformFrameConfig
{
public:
	virtual ~IPlatformFrameConfig () noexcept = default;
};

/** For PlatformType::kOffscreen: device pixels per frame coordinate (default 1). */
class OffscreenFrameConfig : public IPlatformFrameConfig
{
public:
	double scaleFactor {1.};
};

using PlatformFrameCreateFunc = IPlatformFrame* (*) (IPlatformFrameCallback* frame, const CRect& size,
                                                     void* parent, PlatformType type);

/** Registers (or, with null, removes) the maker of platform frames of one type. */
void setPlatformFrameFactory (PlatformType type, PlatformFrameCreateFunc func);
PlatformFrameCreateFunc getPlatformFrameFactory (PlatformType type);

} // VSTGUI
