#include "cslider.h"

#include "vstgui/lib/cdrawcontext.h"
#include "vstgui/lib/cgraphicspath.h"
#include "vstgui/lib/cvstguitimer.h"
#include "vstgui/lib/vstguidebug.h"
#include "vstgui/lib/vstkeycode.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace VSTGUI {

namespace {

constexpr uint32_t kRampInterval = 16; // ms
constexpr float kRampStep = 0.1f;

/** Truncates toward zero like a plain conversion, but saturates where that
 *  conversion would be undefined (out of range, not a number -> 0). */
int32_t truncateToInt32 (double v)
{
	if (std::isnan (v))
		return 0;
	if (v >= static_cast<double> (std::numeric_limits<int32_t>::max ()))
		return std::numeric_limits<int32_t>::max ();
	if (v <= static_cast<double> (std::numeric_limits<int32_t>::min ()))
		return std::numeric_limits<int32_t>::min ();
	return static_cast<int32_t> (v);
}

} // anonymous

//------------------------------------------------------------------------
// CSliderBase
//------------------------------------------------------------------------
struct CSliderBase::Impl
{
	SharedPointer<CVSTGUITimer> rampTimer;
	int32_t style {0};
	float zoomFactor {10.f};
	CSliderMode mode {CSliderMode::UseGlobal};
	CPoint offsetHandle {0., 0.};
	CPoint handleSize {1., 1.};
	CCoord rangeHandle {0.};
	CCoord minPos {0.};
	CCoord maxPos {0.};
	CCoord handleMinPos {0.};
	CPoint mouseStartPoint {0., 0.};
	// Set by each press; not a number until the first one.
	float oldVal {std::numeric_limits<float>::quiet_NaN ()};
	float startVal {std::numeric_limits<float>::quiet_NaN ()};
	int32_t oldButton {0};
	double delta {0.};
};

CSliderMode CSliderBase::globalMode = CSliderMode::VDFreeClick;

CSliderBase::CSliderBase (const CRect& size, IControlListener* listener, int32_t tag)
: CControl (size, listener, tag, nullptr), impl (new Impl)
{
}

CSliderBase::CSliderBase (const CSliderBase& v)
: CControl (v), CMouseWheelEditingSupport (), impl (new Impl (*v.impl))
{
	// The source's ramp belongs to the source's press: a copy has no press and starts idle.
	impl->rampTimer = nullptr;
	impl->oldButton = 0;
}

CSliderBase::~CSliderBase () noexcept
{
	releaseRampTimer ();
}

//------------------------------------------------------------------------
void CSliderBase::setStyle (int32_t style)
{
	const bool horizontal = (style & kHorizontal) != 0;
	const bool vertical = (style & kVertical) != 0;
	vstgui_assert (horizontal != vertical);
	impl->style = style;
}

int32_t CSliderBase::getStyle () const { return impl->style; }
bool CSliderBase::isHorizontal () const { return (impl->style & kHorizontal) != 0; }
bool CSliderBase::hasStyleRight () const { return (impl->style & kRight) != 0; }
bool CSliderBase::hasStyleBottom () const { return (impl->style & kBottom) != 0; }

bool CSliderBase::isReversed () const
{
	if (isHorizontal ())
		return (impl->style & kRight) != 0;
	return (impl->style & kTop) != 0;
}

void CSliderBase::setZoomFactor (float val) { impl->zoomFactor = val; }
float CSliderBase::getZoomFactor () const { return impl->zoomFactor; }
void CSliderBase::setSliderMode (CSliderMode mode) { impl->mode = mode; }
CSliderMode CSliderBase::getSliderMode () const { return impl->mode; }

CSliderMode CSliderBase::getEffectiveSliderMode () const
{
	return impl->mode == CSliderMode::UseGlobal ? globalMode : impl->mode;
}

void CSliderBase::setGlobalMode (CSliderMode mode)
{
	vstgui_assert (mode != CSliderMode::UseGlobal, "do not set the global mode to use global");
	globalMode = mode;
}

CSliderMode CSliderBase::getGlobalMode () { return globalMode; }

//------------------------------------------------------------------------
CCoord CSliderBase::axisOf (const CPoint& p) const { return isHorizontal () ? p.x : p.y; }

CCoord CSliderBase::travelBase () const
{
	const CRect& view = getViewSize ();
	return isHorizontal () ? view.left + impl->offsetHandle.x : view.top + impl->offsetHandle.y;
}

void CSliderBase::setViewSize (const CRect& rect, bool invalid)
{
	CControl::setViewSize (rect, invalid);
	const CRect& view = getViewSize ();
	if (isHorizontal ())
	{
		impl->handleMinPos = rect.left - view.left;
		impl->rangeHandle = (rect.getWidth () - impl->handleSize.x) - 2. * impl->offsetHandle.x;
	}
	else
	{
		impl->handleMinPos = rect.top - view.top;
		impl->rangeHandle = (rect.getHeight () - impl->handleSize.y) - 2. * impl->offsetHandle.y;
	}
	updateHandleLimits ();
}

void CSliderBase::updateHandleLimits ()
{
	impl->minPos = impl->handleMinPos + axisOf (impl->offsetHandle);
	impl->maxPos = (impl->rangeHandle + impl->minPos) + axisOf (impl->handleSize);
}

void CSliderBase::setOffsetHandle (const CPoint& val)
{
	impl->offsetHandle = val;
	updateHandleLimits ();
}

CPoint CSliderBase::getOffsetHandle () const { return impl->offsetHandle; }

void CSliderBase::setHandleSize (CCoord width, CCoord height)
{
	impl->handleSize (width, height);
	updateHandleLimits ();
}

CPoint CSliderBase::getHandleSize () const { return impl->handleSize; }

void CSliderBase::setHandleRange (CCoord range)
{
	impl->rangeHandle = range;
	updateHandleLimits ();
}

void CSliderBase::setHandleMinPos (CCoord pos)
{
	impl->handleMinPos = pos;
	updateHandleLimits ();
}

CCoord CSliderBase::getHandleMinPos () const { return impl->handleMinPos; }

CPoint CSliderBase::getControlSize () const
{
	const CRect& view = getViewSize ();
	return CPoint (view.right - view.left, view.bottom - view.top);
}

CRect CSliderBase::calculateHandleRect (float normValue) const
{
	float n = normValue;
	if (impl->style & (kRight | kBottom))
		n = 1.f - n;

	CCoord p = std::floor (static_cast<double> (n) * impl->rangeHandle) + axisOf (impl->offsetHandle);
	if (!(p >= impl->minPos))
		p = impl->minPos;
	CCoord e = p + axisOf (impl->handleSize);
	if (e > impl->maxPos)
		e = impl->maxPos;

	CRect r;
	if (isHorizontal ())
	{
		r.left = p;
		r.right = e;
		r.top = impl->offsetHandle.y;
		r.bottom = impl->offsetHandle.y + impl->handleSize.y;
	}
	else
	{
		r.top = p;
		r.bottom = e;
		r.left = impl->offsetHandle.x;
		r.right = impl->offsetHandle.x + impl->handleSize.x;
	}
	r.offset (getViewSize ().left, getViewSize ().top);
	return r;
}

float CSliderBase::calculateDelta (CPoint& where, CRect* handleRect) const
{
	const CCoord base = travelBase ();
	const CCoord centring = base + (axisOf (impl->handleSize) * 0.5 - 1.);
	const CSliderMode mode = getEffectiveSliderMode ();
	if (mode == CSliderMode::FreeClick)
		return static_cast<float> (centring);

	float n = getValueNormalized ();
	if (impl->style & (kRight | kBottom))
		n = 1.f - n;
	const CCoord actualPos = base + truncateToInt32 (static_cast<double> (n) * impl->rangeHandle);

	const CRect& view = getViewSize ();
	CRect r;
	if (isHorizontal ())
	{
		r.left = actualPos;
		r.top = view.top + impl->offsetHandle.y;
	}
	else
	{
		r.left = view.left + impl->offsetHandle.x;
		r.top = actualPos;
	}
	r.right = r.left + impl->handleSize.x;
	r.bottom = r.top + impl->handleSize.y;
	if (handleRect)
		*handleRect = r;

	if (mode == CSliderMode::VDFreeClick && !r.pointInside (where))
		return static_cast<float> (centring);
	return static_cast<float> (base + (axisOf (where) - actualPos));
}

void CSliderBase::doRamp ()
{
	float n = getValueNormalized ();
	const CRect r = calculateHandleRect (n);
	const bool horizontal = isHorizontal ();
	const CCoord centre = horizontal ? r.left + (r.right - r.left) * 0.5 : r.top + (r.bottom - r.top) * 0.5;
	const CCoord target = axisOf (impl->mouseStartPoint);

	float step;
	if (horizontal)
		step = target < centre ? -kRampStep : kRampStep;
	else
		step = target < centre ? kRampStep : -kRampStep;
	if (isReversed ())
		step = -step;

	const double c = (axisOf (impl->handleSize) * 0.5 + travelBase ()) - 1.;
	float t = static_cast<float> (target - c) / static_cast<float> (impl->rangeHandle);
	if (impl->style & (kRight | kBottom))
		t = 1.f - t;

	float v = n + step * getWheelInc ();
	if ((step < 0.f && v < t) || (step > 0.f && !(v <= t)))
	{
		releaseRampTimer ();
		impl->delta = c;
		v = t;
	}
	setValueNormalized (v);
	if (isDirty ())
	{
		valueChanged ();
		invalid ();
	}
}

void CSliderBase::startRamp ()
{
	releaseRampTimer ();
	impl->rampTimer = makeOwned<CVSTGUITimer> (
	    [this] (CVSTGUITimer*) {
		    // A ramp steps only inside the edit of its press: once that edit has ended (a
		    // wheel edit's timer closed it), the press is over for the slider and so is the
		    // ramp.
		    if (!isEditing ())
			    releaseRampTimer ();
		    else
			    doRamp ();
	    },
	    kRampInterval, true);
}

void CSliderBase::releaseRampTimer ()
{
	if (!impl->rampTimer)
		return;
	impl->rampTimer->stop ();
	impl->rampTimer = nullptr;
}

void CSliderBase::endPress ()
{
	impl->oldButton = 0;
	releaseRampTimer ();
	if (isEditing ())
		endEdit ();
}

//------------------------------------------------------------------------
CMouseEventResult CSliderBase::onMouseDown (CPoint& where, const CButtonState& buttons)
{
	if (!(buttons & kLButton))
		return kMouseEventNotHandled;

	invalidMouseWheelEditTimer (this);
	// A new press replaces the last one's ramp, also one whose edit is no longer open.
	releaseRampTimer ();

	const CSliderMode mode = getEffectiveSliderMode ();
	CRect handleRect;
	impl->delta = calculateDelta (where, mode != CSliderMode::FreeClick ? &handleRect : nullptr);
	const bool onHandle = handleRect.pointInside (where);

	if (mode == CSliderMode::Touch && !onHandle)
		return kMouseDownEventHandledButDontNeedMovedOrUpEvents;

	impl->oldVal = getMin () - 1.f;
	impl->oldButton = buttons ();

	if (!(mode == CSliderMode::RelativeTouch && !onHandle) && checkDefaultValue (buttons))
		return kMouseDownEventHandledButDontNeedMovedOrUpEvents;

	if (getEffectiveSliderMode () == CSliderMode::Ramp && !onHandle)
		startRamp ();

	impl->startVal = getValue ();
	beginEdit ();
	impl->mouseStartPoint = where;
	if (buttons & kZoomModifier)
		return kMouseEventHandled;
	const CMouseEventResult result = onMouseMoved (where, buttons);
	// A press that is not taken gets no release from the frame: it must not leave its
	// edit open, nor a ramp running (the left button with another one down).
	if (result == kMouseEventNotHandled)
		endPress ();
	return result;
}

CMouseEventResult CSliderBase::onMouseUp (CPoint& where, const CButtonState& buttons)
{
	// The ramp ends with the press even when its edit has already been closed.
	endPress ();
	return kMouseEventHandled;
}

CMouseEventResult CSliderBase::onMouseMoved (CPoint& where, const CButtonState& buttons)
{
	if (!buttons.isLeftButtonAlone () || !isEditing ())
		return kMouseEventNotHandled;

	if (impl->rampTimer)
	{
		impl->mouseStartPoint = where;
		return kMouseEventHandled;
	}

	const float normValue = (getValue () - getMin ()) / (getMax () - getMin ());
	if (impl->oldVal == getMin () - 1.f)
		impl->oldVal = normValue;
	if (buttons () != impl->oldButton && (buttons & kZoomModifier))
	{
		impl->oldVal = normValue;
		impl->oldButton = buttons ();
	}
	else if (!(buttons & kZoomModifier))
		impl->oldVal = normValue;

	float n = static_cast<float> (axisOf (where) - impl->delta) / static_cast<float> (impl->rangeHandle);
	if (impl->style & (kRight | kBottom))
		n = 1.f - n;
	if (buttons & kZoomModifier)
		n = impl->oldVal + ((n - impl->oldVal) / impl->zoomFactor);
	setValueNormalized (n);
	if (isDirty ())
	{
		valueChanged ();
		invalid ();
	}
	return kMouseEventHandled;
}

CMouseEventResult CSliderBase::onMouseCancel ()
{
	if (isEditing ())
	{
		// Before the first press there is no press value: the value stays as it is.
		if (!std::isnan (impl->startVal))
			value = impl->startVal;
		if (isDirty ())
		{
			valueChanged ();
			invalid ();
		}
	}
	// Without an open edit there is nothing to restore, but a ramp still ends here.
	endPress ();
	return kMouseEventHandled;
}

bool CSliderBase::onWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                           const CButtonState& buttons)
{
	if (!getMouseEnabled ())
		return false;
	const bool horizontal = isHorizontal ();
	if ((horizontal && axis == kMouseWheelAxisY) || (!horizontal && axis == kMouseWheelAxisX))
		return false;

	onMouseWheelEditing (this);

	float d = distance;
	if (horizontal)
		d = -d;
	if (isReversed ())
		d = -d;
	const float n = getValueNormalized ();
	if (buttons & kZoomModifier)
		d = d * 0.1f;
	setValueNormalized (n + getWheelInc () * d);
	if (isDirty ())
	{
		invalid ();
		valueChanged ();
	}
	return true;
}

int32_t CSliderBase::onKeyDown (VstKeyCode& keyCode)
{
	switch (keyCode.virt)
	{
		case VKEY_LEFT:
		case VKEY_UP:
		case VKEY_RIGHT:
		case VKEY_DOWN:
		{
			float d = (keyCode.virt == VKEY_UP || keyCode.virt == VKEY_RIGHT) ? 1.f : -1.f;
			if (isReversed ())
				d = -d;
			const float n = getValueNormalized ();
			if (mapVstKeyModifier (keyCode.modifier) & kZoomModifier)
				d = d * 0.1f;
			setValueNormalized (n + getWheelInc () * d);
			if (isDirty ())
			{
				invalid ();
				beginEdit ();
				valueChanged ();
				endEdit ();
			}
			return 1;
		}
		case VKEY_ESCAPE:
			if (isEditing ())
			{
				onMouseCancel ();
				return 1;
			}
			break;
		default: break;
	}
	return -1;
}

//------------------------------------------------------------------------
// CSlider
//------------------------------------------------------------------------
struct CSlider::Impl
{
	CPoint offset;
	CBitmap* handle {nullptr};
	CCoord frameWidth {1.};
	int32_t drawStyle {0};
	CColor frameColor {127, 127, 127, 255};
	CColor backColor {0, 0, 0, 255};
	CColor valueColor {255, 255, 255, 255};
};

CSlider::CSlider (const CRect& size, IControlListener* listener, int32_t tag, int32_t iMinPos, int32_t iMaxPos,
                  CBitmap* handle, CBitmap* background, const CPoint& offset, int32_t style)
: CSliderBase (size, listener, tag), impl (new Impl)
{
	impl->offset = offset;
	setUpLook (background, style, handle);
	const CCoord start = (style & kHorizontal) ? size.left : size.top;
	setHandleMinPos (iMinPos - start);
	// In double: the difference of two int32 positions may not fit an int32.
	setHandleRange (static_cast<CCoord> (iMaxPos) - static_cast<CCoord> (iMinPos));
	setWantsFocus (true);
}

CSlider::CSlider (const CRect& rect, IControlListener* listener, int32_t tag, const CPoint& offsetHandle,
                  int32_t rangeHandle, CBitmap* handle, CBitmap* background, const CPoint& offset, int32_t style)
: CSliderBase (rect, listener, tag), impl (new Impl)
{
	impl->offset = offset;
	setUpLook (background, style, handle);
	const CCoord handleLength = (style & kHorizontal) ? getHandleSize ().x : getHandleSize ().y;
	setHandleRange (rangeHandle - handleLength);
	CSliderBase::setOffsetHandle (offsetHandle);
	setWantsFocus (true);
}

CSlider::CSlider (const CSlider& v) : CSliderBase (v), impl (new Impl (*v.impl))
{
	if (impl->handle)
		impl->handle->remember ();
}

CSlider::~CSlider () noexcept
{
	if (impl->handle)
		impl->handle->forget ();
	impl.reset ();
}

void CSlider::setUpLook (CBitmap* background, int32_t style, CBitmap* handle)
{
	setBackground (background);
	CSliderBase::setStyle (style);
	setHandle (handle);
}

//------------------------------------------------------------------------
void CSlider::setHandle (CBitmap* handle)
{
	if (impl->handle != handle)
	{
		if (impl->handle)
			impl->handle->forget ();
		impl->handle = handle;
		if (impl->handle)
			impl->handle->remember ();
	}
	if (impl->handle)
	{
		setHandleSize (impl->handle->getWidth (), impl->handle->getHeight ());
		CSliderBase::setViewSize (getViewSize (), true);
	}
	else
		setHandleSize (1., 1.);
}

CBitmap* CSlider::getHandle () const { return impl->handle; }

void CSlider::setDrawStyle (int32_t style)
{
	if (style == impl->drawStyle)
		return;
	impl->drawStyle = style;
	invalid ();
}

int32_t CSlider::getDrawStyle () const { return impl->drawStyle; }

void CSlider::setFrameWidth (CCoord width)
{
	if (std::isnan (width) || width == impl->frameWidth)
		return;
	impl->frameWidth = width;
	invalid ();
}

CCoord CSlider::getFrameWidth () const { return impl->frameWidth; }

void CSlider::setFrameColor (CColor color)
{
	if (color == impl->frameColor)
		return;
	impl->frameColor = color;
	invalid ();
}

void CSlider::setBackColor (CColor color)
{
	if (color == impl->backColor)
		return;
	impl->backColor = color;
	invalid ();
}

void CSlider::setValueColor (CColor color)
{
	if (color == impl->valueColor)
		return;
	impl->valueColor = color;
	invalid ();
}

CColor CSlider::getFrameColor () const { return impl->frameColor; }
CColor CSlider::getBackColor () const { return impl->backColor; }
CColor CSlider::getValueColor () const { return impl->valueColor; }
void CSlider::setBackgroundOffset (const CPoint& offset) { impl->offset = offset; }
CPoint CSlider::getBackgroundOffset () const { return impl->offset; }

bool CSlider::sizeToFit ()
{
	CBitmap* bitmap = getDrawBackground ();
	if (!bitmap)
		return false;
	CRect r (getViewSize ());
	r.right = r.left + bitmap->getWidth ();
	r.bottom = r.top + bitmap->getHeight ();
	setViewSize (r, true);
	setMouseableArea (r);
	return true;
}

//------------------------------------------------------------------------
void CSlider::draw (CDrawContext* pContext)
{
	const CRect& view = getViewSize ();
	if (CBitmap* background = getDrawBackground ())
	{
		CRect r (view.left, view.top, view.left + getWidth (), view.top + getHeight ());
		pContext->drawBitmap (background, r, impl->offset, 1.f);
	}

	const int32_t drawStyle = impl->drawStyle;
	if (drawStyle != 0)
	{
		const CCoord lineWidth = impl->frameWidth < 0. ? pContext->getHairlineSize () : impl->frameWidth;
		CRect r (view);
		pContext->setDrawMode (kAntiAliasing);
		pContext->setLineStyle (kLineSolid);
		pContext->setLineWidth (lineWidth);

		if (drawStyle & (kDrawFrame | kDrawBack))
		{
			pContext->setFrameColor (impl->frameColor);
			pContext->setFillColor (impl->backColor);
			if (auto path = owned (pContext->createGraphicsPath ()))
			{
				if (drawStyle & kDrawFrame)
					r.inset (lineWidth / 2., lineWidth / 2.);
				path->addRect (r);
				if (drawStyle & kDrawBack)
					pContext->drawGraphicsPath (path, CDrawContext::kPathFilled);
				if (drawStyle & kDrawFrame)
					pContext->drawGraphicsPath (path, CDrawContext::kPathStroked);
			}
			else
			{
				CDrawStyle rectStyle = kDrawFilled;
				if ((drawStyle & kDrawFrame) && (drawStyle & kDrawBack))
					rectStyle = kDrawFilledAndStroked;
				else if (drawStyle & kDrawFrame)
					rectStyle = kDrawStroked;
				pContext->drawRect (r, rectStyle);
			}
		}

		if (drawStyle & kDrawValue)
		{
			pContext->setDrawMode (kAliasing);
			if (drawStyle & kDrawFrame)
				r.inset (lineWidth / 2., lineWidth / 2.);
			float v = getValueNormalized ();
			const CCoord width = r.getWidth ();
			const CCoord height = r.getHeight ();
			const bool fromCenter = (drawStyle & kDrawValueFromCenter) != 0;
			const bool inverted = (drawStyle & kDrawInverted) != 0;
			if (fromCenter && inverted)
				v = 1.f - v;
			if (isHorizontal ())
			{
				if (fromCenter)
				{
					r.right = r.left + width * v;
					r.left = r.left + width / 2.;
				}
				else if (inverted)
					r.left = r.right - width * v;
				else
					r.right = r.left + width * v;
			}
			else
			{
				if (fromCenter)
				{
					r.bottom = r.top + height * v;
					r.top = r.top + height / 2.;
				}
				else if (inverted)
					r.bottom = r.top + height * v;
				else
					r.top = r.bottom - height * v;
			}
			r.normalize ();
			if (r.getWidth () >= 0.5 && r.getHeight () >= 0.5)
			{
				pContext->setFillColor (impl->valueColor);
				if (auto path = owned (pContext->createGraphicsPath ()))
				{
					path->addRect (r);
					pContext->drawGraphicsPath (path, CDrawContext::kPathFilled);
				}
				else
					pContext->drawRect (r, kDrawFilled);
			}
		}
	}

	if (impl->handle)
	{
		CRect handleRect = calculateHandleRect (getValueNormalized ());
		pContext->drawBitmap (impl->handle, handleRect, CPoint (0, 0), 1.f);
	}
	setDirty (false);
}

//------------------------------------------------------------------------
// CVerticalSlider, CHorizontalSlider
//------------------------------------------------------------------------
CVerticalSlider::CVerticalSlider (const CRect& size, IControlListener* listener, int32_t tag, int32_t iMinPos,
                                  int32_t iMaxPos, CBitmap* handle, CBitmap* background, const CPoint& offset,
                                  int32_t style)
: CSlider (size, listener, tag, iMinPos, iMaxPos, handle, background, offset, style | kVertical)
{
}

CVerticalSlider::CVerticalSlider (const CRect& rect, IControlListener* listener, int32_t tag,
                                  const CPoint& offsetHandle, int32_t rangeHandle, CBitmap* handle,
                                  CBitmap* background, const CPoint& offset, int32_t style)
: CSlider (rect, listener, tag, offsetHandle, rangeHandle, handle, background, offset, style | kVertical)
{
}

CVerticalSlider::~CVerticalSlider () noexcept = default;

CHorizontalSlider::CHorizontalSlider (const CRect& size, IControlListener* listener, int32_t tag,
                                      int32_t iMinPos, int32_t iMaxPos, CBitmap* handle, CBitmap* background,
                                      const CPoint& offset, int32_t style)
: CSlider (size, listener, tag, iMinPos, iMaxPos, handle, background, offset, style | kHorizontal)
{
}

CHorizontalSlider::CHorizontalSlider (const CRect& rect, IControlListener* listener, int32_t tag,
                                      const CPoint& offsetHandle, int32_t rangeHandle, CBitmap* handle,
                                      CBitmap* background, const CPoint& offset, int32_t style)
: CSlider (rect, listener, tag, offsetHandle, rangeHandle, handle, background, offset, style | kHorizontal)
{
}

CHorizontalSlider::~CHorizontalSlider () noexcept = default;

} // VSTGUI
