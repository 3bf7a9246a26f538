#include "cknob.h"
#include "../cdrawcontext.h"
#include "../cframe.h"
#include <cmath>

namespace VSTGUI {

namespace {
constexpr double kTwoPi = 2. * M_PI;

double wrapAngle (double a)
{
	// Into (-pi, pi].
	a = std::fmod (a, kTwoPi);
	if (a <= -M_PI)
		a += kTwoPi;
	else if (a > M_PI)
		a -= kTwoPi;
	return a;
}

// A normalized value moved by one wheel or arrow-key step of the given
// direction; the zoom modifier makes it a tenth as large.
float steppedValue (float v, float distance, float wheelInc, bool fine)
{
	if (fine)
		v += 0.1f * distance * wheelInc;
	else
		v += distance * wheelInc;
	return v;
}
} // anonymous

CKnobBase::CKnobBase (const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background)
: CControl (size, listener, tag, background), startAngle (static_cast<float> (3. * M_PI / 4.)),
  rangeAngle (static_cast<float> (3. * M_PI / 2.))
{
	setWantsFocus (true);
}

CKnobBase::CKnobBase (const CKnobBase& v)
: CControl (v), CMouseWheelEditingSupport (), startAngle (v.startAngle), rangeAngle (v.rangeAngle),
  zoomFactor (v.zoomFactor), inset (v.inset)
{
}

void CKnobBase::setStartAngle (float val)
{
	startAngle = val;
	setDirty (true);
}

void CKnobBase::setRangeAngle (float val)
{
	rangeAngle = val;
	setDirty (true);
}

double CKnobBase::angleOfPoint (const CPoint& local) const
{
	return std::atan2 (local.y - getHeight () / 2., local.x - getWidth () / 2.);
}

void CKnobBase::valueToPoint (CPoint& point) const
{
	double angle = startAngle + getValueNormalized () * rangeAngle;
	double radius = std::min (getWidth (), getHeight ()) / 2. - inset;
	point.x = getWidth () / 2. + std::cos (angle) * radius;
	point.y = getHeight () / 2. + std::sin (angle) * radius;
}

float CKnobBase::valueFromPoint (CPoint& point) const
{
	double range = rangeAngle;
	if (range == 0.)
		return getValue ();
	double rel = angleOfPoint (point) - startAngle;
	if (range < 0.)
	{
		rel = -rel;
		range = -range;
	}
	rel = std::fmod (rel, kTwoPi);
	if (rel < 0.)
		rel += kTwoPi;
	double v;
	if (rel <= range)
		v = rel / range;
	else
		v = (rel < range + (kTwoPi - range) / 2.) ? 1. : 0.; // in the dead zone: nearer end
	return static_cast<float> (getMin () + getRange () * v);
}

//------------------------------------------------------------------------
CMouseEventResult CKnobBase::onMouseDown (CPoint& where, const CButtonState& buttons)
{
	if (!buttons.isLeftButtonAlone ())
		return kMouseEventNotHandled;
	invalidMouseWheelEditTimer (this);
	beginEdit ();
	if (checkDefaultValue (buttons))
	{
		endEdit ();
		return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
	}

	firstPoint = where;
	lastPoint (-1, -1);
	entryValue = value;
	oldButton = buttons;

	int32_t frameMode = getFrame () ? getFrame ()->getKnobMode () : CFrame::getDefaultKnobMode ();
	int32_t mode = kCircularMode;
	if (frameMode == kLinearMode)
	{
		// Option turns the host's linear mode into circular dragging.
		if (!(buttons & kAlt))
			mode = kLinearMode;
	}
	else if (buttons & kAlt)
		mode = kLinearMode;
	else if (frameMode == kRelativCircularMode)
		mode = kRelativCircularMode;
	dragMode = mode;

	CPoint local (where);
	local.offset (-getViewSize ().left, -getViewSize ().top);
	if (mode == kLinearMode)
	{
		range = kLinearRange;
		if (buttons & kZoomModifier)
			range *= zoomFactor;
		coef = static_cast<float> (getRange () / range);
	}
	else if (mode == kRelativCircularMode)
	{
		lastAngle = angleOfPoint (local);
	}
	else
	{
		startValue = valueFromPoint (local);
	}
	return onMouseMoved (where, buttons);
}

CMouseEventResult CKnobBase::onMouseMoved (CPoint& where, const CButtonState& buttons)
{
	if (!buttons.isLeftButton () || !isEditing ())
		return kMouseEventNotHandled;
	// A modifier change without a move still re-anchors a linear drag.
	if (where == lastPoint && (dragMode != kLinearMode || buttons == oldButton))
		return kMouseEventHandled;
	lastPoint = where;
	CPoint local (where);
	local.offset (-getViewSize ().left, -getViewSize ().top);

	if (dragMode == kLinearMode)
	{
		CCoord diff = (firstPoint.y - where.y) + (where.x - firstPoint.x);
		if (buttons != oldButton)
		{
			// A change of modifiers keeps the value in place and changes the scale from here on.
			range = kLinearRange;
			if (buttons & kZoomModifier)
				range *= zoomFactor;
			float coef2 = static_cast<float> (getRange () / range);
			entryValue += static_cast<float> (diff * (coef - coef2));
			coef = coef2;
			oldButton = buttons;
		}
		value = static_cast<float> (entryValue + diff * coef);
		bounceValue ();
	}
	else if (dragMode == kRelativCircularMode)
	{
		double angle = angleOfPoint (local);
		double delta = wrapAngle (angle - lastAngle);
		lastAngle = angle;
		if (rangeAngle != 0.f)
			value = static_cast<float> (value + delta / rangeAngle * getRange ());
		bounceValue ();
	}
	else
	{
		float middle = getRange () * 0.5f;
		value = valueFromPoint (local);
		// Crossing the dead zone does not jump from one end to the other.
		if (startValue - value > middle)
			value = getMax ();
		else if (value - startValue > middle)
			value = getMin ();
		else
			startValue = value;
	}
	if (value != getOldValue ())
		valueChanged ();
	if (isDirty ())
		invalid ();
	return kMouseEventHandled;
}

CMouseEventResult CKnobBase::onMouseUp (CPoint& where, const CButtonState& buttons)
{
	if (isEditing ())
		endEdit ();
	return kMouseEventHandled;
}

CMouseEventResult CKnobBase::onMouseCancel ()
{
	if (isEditing ())
	{
		value = entryValue;
		if (isDirty ())
		{
			valueChanged ();
			invalid ();
		}
		endEdit ();
	}
	return kMouseEventHandled;
}

bool CKnobBase::onWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                         const CButtonState& buttons)
{
	if (!getMouseEnabled ())
		return false;
	onMouseWheelEditing (this);
	setValueNormalized (
	    steppedValue (getValueNormalized (), distance, getWheelInc (), (buttons & kZoomModifier) != 0));
	if (isDirty ())
	{
		invalid ();
		valueChanged ();
	}
	return true;
}

int32_t CKnobBase::onKeyDown (VstKeyCode& keyCode)
{
	switch (keyCode.virt)
	{
		case VKEY_UP:
		case VKEY_RIGHT:
		case VKEY_DOWN:
		case VKEY_LEFT:
		{
			float distance = (keyCode.virt == VKEY_DOWN || keyCode.virt == VKEY_LEFT) ? -1.f : 1.f;
			bool fine = (mapVstKeyModifier (keyCode.modifier) & kZoomModifier) != 0;
			setValueNormalized (steppedValue (getValueNormalized (), distance, getWheelInc (), fine));
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
// CKnob
//------------------------------------------------------------------------
CKnob::CKnob (const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background, CBitmap* handle,
              const CPoint& offset, int32_t drawStyle)
: CKnobBase (size, listener, tag, background), offset (offset), drawStyle (drawStyle)
{
	setHandleBitmap (handle);
}

CKnob::CKnob (const CKnob& v)
: CKnobBase (v), offset (v.offset), drawStyle (v.drawStyle), pHandle (v.pHandle), colorHandle (v.colorHandle),
  colorShadowHandle (v.colorShadowHandle), coronaColor (v.coronaColor), coronaInset (v.coronaInset),
  handleLineWidth (v.handleLineWidth), coronaOutlineWidthAdd (v.coronaOutlineWidthAdd),
  coronaDashDotLengths (v.coronaDashDotLengths)
{
}

void CKnob::setDrawStyle (int32_t style)
{
	if (drawStyle != style)
	{
		drawStyle = style;
		setDirty (true);
	}
}

void CKnob::setHandleBitmap (CBitmap* bitmap)
{
	if (pHandle.get () == bitmap)
		return;
	pHandle = bitmap;
	setDirty (true);
}

void CKnob::setColorHandle (CColor color)
{
	if (colorHandle != color)
	{
		colorHandle = color;
		setDirty (true);
	}
}

void CKnob::setColorShadowHandle (CColor color)
{
	if (colorShadowHandle != color)
	{
		colorShadowHandle = color;
		setDirty (true);
	}
}

void CKnob::setCoronaColor (CColor color)
{
	if (coronaColor != color)
	{
		coronaColor = color;
		setDirty (true);
	}
}

void CKnob::setCoronaInset (CCoord val)
{
	if (coronaInset != val)
	{
		coronaInset = val;
		setDirty (true);
	}
}

void CKnob::setHandleLineWidth (CCoord width)
{
	if (handleLineWidth != width)
	{
		handleLineWidth = width;
		setDirty (true);
	}
}

void CKnob::setCoronaOutlineWidthAdd (CCoord width)
{
	if (coronaOutlineWidthAdd != width)
	{
		coronaOutlineWidthAdd = width;
		setDirty (true);
	}
}

void CKnob::setCoronaDashDotLengths (const std::vector<CCoord>& lengths)
{
	coronaDashDotLengths = lengths;
	setDirty (true);
}

bool CKnob::sizeToFit ()
{
	auto bitmap = getDrawBackground ();
	if (!bitmap)
		return false;
	CRect r (getViewSize ());
	r.setWidth (bitmap->getWidth ());
	r.setHeight (bitmap->getHeight ());
	setViewSize (r);
	setMouseableArea (r);
	return true;
}

void CKnob::draw (CDrawContext* pContext)
{
	if (auto bitmap = getDrawBackground ())
		pContext->drawBitmap (bitmap, getViewSize (), offset);
	if (drawStyle & kCoronaDrawing)
		drawCorona (pContext);
	if (!(drawStyle & kSkipHandleDrawing))
		drawHandle (pContext);
	setDirty (false);
}

void CKnob::drawCorona (CDrawContext* pContext)
{
	auto path = owned (pContext->createGraphicsPath ());
	if (!path)
		return;
	CRect r (getViewSize ());
	r.inset (coronaInset, coronaInset);
	float v = getValueNormalized ();
	if (drawStyle & kCoronaInverted)
		v = 1.f - v;
	double start = startAngle, end = startAngle + v * rangeAngle;
	if (drawStyle & kCoronaFromCenter)
	{
		start = startAngle + rangeAngle / 2.;
		end = startAngle + v * rangeAngle;
	}
	double a1 = std::min (start, end) * 180. / M_PI, a2 = std::max (start, end) * 180. / M_PI;
	path->addArc (r, a1, a2, true);
	pContext->setDrawMode (kAntiAliasing);
	CLineStyle lineStyle ((drawStyle & kCoronaLineCapButt) ? CLineStyle::kLineCapButt : CLineStyle::kLineCapRound);
	if ((drawStyle & kCoronaLineDashDot) && !coronaDashDotLengths.empty ())
		lineStyle = CLineStyle (lineStyle.getLineCap (), CLineStyle::kLineJoinMiter, 0., coronaDashDotLengths);
	pContext->setLineStyle (lineStyle);
	if (drawStyle & kCoronaOutline)
	{
		pContext->setFrameColor (colorShadowHandle);
		pContext->setLineWidth (handleLineWidth + coronaOutlineWidthAdd);
		pContext->drawGraphicsPath (path, CDrawContext::kPathStroked);
	}
	pContext->setFrameColor (coronaColor);
	pContext->setLineWidth (handleLineWidth);
	pContext->drawGraphicsPath (path, CDrawContext::kPathStroked);
}

void CKnob::drawHandle (CDrawContext* pContext)
{
	CPoint where;
	valueToPoint (where);
	const CRect& vs = getViewSize ();
	if (pHandle)
	{
		CCoord w = pHandle->getWidth (), h = pHandle->getHeight ();
		CRect r (vs.left + where.x - w / 2., vs.top + where.y - h / 2., 0, 0);
		r.setWidth (w);
		r.setHeight (h);
		pContext->drawBitmap (pHandle, r);
		return;
	}
	CPoint origin (vs.left + vs.getWidth () / 2., vs.top + vs.getHeight () / 2.);
	where.offset (vs.left, vs.top);
	pContext->setDrawMode (kAntiAliasing);
	pContext->setLineStyle (CLineStyle (CLineStyle::kLineCapRound));
	if (drawStyle & kHandleCircleDrawing)
	{
		CCoord d = std::max<CCoord> (2., handleLineWidth * 2.);
		CRect r (where.x - d, where.y - d, where.x + d, where.y + d);
		pContext->setFillColor (colorHandle);
		pContext->setFrameColor (colorShadowHandle);
		pContext->setLineWidth (1.);
		pContext->drawEllipse (r, kDrawFilledAndStroked);
		return;
	}
	pContext->setLineWidth (handleLineWidth + 1.);
	pContext->setFrameColor (colorShadowHandle);
	pContext->drawLine (CPoint (origin.x + 1, origin.y + 1), CPoint (where.x + 1, where.y + 1));
	pContext->setLineWidth (handleLineWidth);
	pContext->setFrameColor (colorHandle);
	pContext->drawLine (origin, where);
}

} // VSTGUI
