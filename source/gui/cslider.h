// The plug-in's own slider: the slider base with its modes (among them "VD free click",
// the mode every slider follows unless its description names another), the drawn
// slider view and the two fixed-orientation sliders.
#pragma once

#include "vstgui/lib/controls/ccontrol.h"
#include "vstgui/lib/cbitmap.h"
#include "vstgui/lib/ccolor.h"
#include "vstgui/lib/crect.h"
#include <memory>

namespace VSTGUI {

class CVSTGUITimer;

/** How a press moves the handle. The values are stored and named in UI descriptions. */
enum class CSliderMode : int32_t
{
	/** A press on the handle drags it from where it was grabbed; beside it nothing happens. */
	Touch = 0,
	/** A press anywhere drags the handle from where it stands. */
	RelativeTouch = 1,
	/** Every press first brings the handle's centre to the pointer. */
	FreeClick = 2,
	/** On the handle like Touch; beside it like FreeClick. */
	VDFreeClick = 3,
	/** On the handle a drag; beside it the value ramps toward the pointer. */
	Ramp = 4,
	/** Follow the library-wide mode. */
	UseGlobal = 5
};

//------------------------------------------------------------------------
class CSliderBase : public CControl, protected CMouseWheelEditingSupport
{
public:
	enum Style : int32_t
	{
		kHorizontal = 1 << 0,
		kVertical = 1 << 1,
		kLeft = 1 << 2,
		kRight = 1 << 3,
		kTop = 1 << 4,
		kBottom = 1 << 5
	};

	CSliderBase (const CRect& size, IControlListener* listener, int32_t tag);
	CSliderBase (const CSliderBase& slider);

	// style, zoom and modes
	/** Exactly one of kHorizontal and kVertical is expected; other styles are reported and kept. */
	void setStyle (int32_t style);
	int32_t getStyle () const;
	bool isHorizontal () const;
	bool hasStyleRight () const;
	bool hasStyleBottom () const;
	/** Steps of the wheel, the keys and the ramp run the other way (kRight, or kTop when vertical). */
	bool isReversed () const;

	void setZoomFactor (float val);
	float getZoomFactor () const;

	void setSliderMode (CSliderMode mode);
	CSliderMode getSliderMode () const;
	/** The stored mode, or the library-wide mode when the stored one is UseGlobal. */
	CSliderMode getEffectiveSliderMode () const;
	static void setGlobalMode (CSliderMode mode);
	static CSliderMode getGlobalMode ();

	// geometry
	void setViewSize (const CRect& rect, bool invalid = true) override;
	void setOffsetHandle (const CPoint& val);
	CPoint getOffsetHandle () const;
	void setHandleSize (CCoord width, CCoord height);
	CPoint getHandleSize () const;
	void setHandleRange (CCoord range);
	void setHandleMinPos (CCoord pos);
	CCoord getHandleMinPos () const;
	void updateHandleLimits ();
	CPoint getControlSize () const;
	/** The handle's rectangle (parent coordinates, like the view) for a normalised value. */
	CRect calculateHandleRect (float normValue) const;
	/** The offset a press at where fixes between the pointer and the handle; fills
	 *  handleRect (unless the effective mode is FreeClick) when one is given. */
	float calculateDelta (CPoint& where, CRect* handleRect = nullptr) const;
	/** One step of the ramp timer. */
	void doRamp ();

	// input
	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseCancel () override;
	bool onWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
	              const CButtonState& buttons) override;
	int32_t onKeyDown (VstKeyCode& keyCode) override;

	CLASS_METHODS_VIRTUAL (CSliderBase, CControl)

protected:
	~CSliderBase () noexcept override;

private:
	struct Impl;
	std::unique_ptr<Impl> impl;

	CCoord axisOf (const CPoint& p) const;
	/** Start of the travel along the axis: the view's edge plus the handle offset. */
	CCoord travelBase () const;
	void startRamp ();
	void releaseRampTimer ();
	/** Ends the press: no buttons, no ramp, and the press's edit closed if it is open. */
	void endPress ();

	static CSliderMode globalMode;
};

//------------------------------------------------------------------------
class CSlider : public CSliderBase
{
public:
	enum DrawStyle : int32_t
	{
		kDrawFrame = 1 << 0,
		kDrawBack = 1 << 1,
		kDrawValue = 1 << 2,
		kDrawValueFromCenter = 1 << 3,
		kDrawInverted = 1 << 4
	};

	/** iMinPos and iMaxPos: the handle's travel along the axis, in the coordinates of size. */
	CSlider (const CRect& size, IControlListener* listener, int32_t tag, int32_t iMinPos, int32_t iMaxPos,
	         CBitmap* handle, CBitmap* background, const CPoint& offset = CPoint (0, 0),
	         int32_t style = kLeft | kHorizontal);
	/** offsetHandle: inset of the travel; rangeHandle: length of the travel plus the handle. */
	CSlider (const CRect& rect, IControlListener* listener, int32_t tag, const CPoint& offsetHandle,
	         int32_t rangeHandle, CBitmap* handle, CBitmap* background, const CPoint& offset = CPoint (0, 0),
	         int32_t style = kLeft | kHorizontal);
	CSlider (const CSlider& slider);

	void draw (CDrawContext* pContext) override;
	bool sizeToFit () override;

	virtual void setHandle (CBitmap* handle);
	virtual CBitmap* getHandle () const;
	virtual void setDrawStyle (int32_t style);
	virtual void setFrameWidth (CCoord width);
	virtual void setFrameColor (CColor color);
	virtual void setBackColor (CColor color);
	virtual void setValueColor (CColor color);

	int32_t getDrawStyle () const;
	CCoord getFrameWidth () const;
	CColor getFrameColor () const;
	CColor getBackColor () const;
	CColor getValueColor () const;
	void setBackgroundOffset (const CPoint& offset);
	CPoint getBackgroundOffset () const;

	CLASS_METHODS (CSlider, CSliderBase)

protected:
	~CSlider () noexcept override;

private:
	struct Impl;
	std::unique_ptr<Impl> impl;

	/** The construction steps both constructors share: background, style, handle. */
	void setUpLook (CBitmap* background, int32_t style, CBitmap* handle);
};

//------------------------------------------------------------------------
class CVerticalSlider : public CSlider
{
public:
	CVerticalSlider (const CRect& size, IControlListener* listener, int32_t tag, int32_t iMinPos,
	                 int32_t iMaxPos, CBitmap* handle, CBitmap* background, const CPoint& offset = CPoint (0, 0),
	                 int32_t style = kBottom);
	CVerticalSlider (const CRect& rect, IControlListener* listener, int32_t tag, const CPoint& offsetHandle,
	                 int32_t rangeHandle, CBitmap* handle, CBitmap* background,
	                 const CPoint& offset = CPoint (0, 0), int32_t style = kBottom);

protected:
	~CVerticalSlider () noexcept override;
};

//------------------------------------------------------------------------
class CHorizontalSlider : public CSlider
{
public:
	CHorizontalSlider (const CRect& size, IControlListener* listener, int32_t tag, int32_t iMinPos,
	                   int32_t iMaxPos, CBitmap* handle, CBitmap* background, const CPoint& offset = CPoint (0, 0),
	                   int32_t style = kLeft);
	CHorizontalSlider (const CRect& rect, IControlListener* listener, int32_t tag, const CPoint& offsetHandle,
	                   int32_t rangeHandle, CBitmap* handle, CBitmap* background,
	                   const CPoint& offset = CPoint (0, 0), int32_t style = kLeft);

protected:
	~CHorizontalSlider () noexcept override;
};

} // VSTGUI
