#include "cswitch.h"
#include "../cdrawcontext.h"
#include <cmath>
#include <limits>

namespace VSTGUI {
namespace {

/** v truncated toward zero and limited to 0 .. last; not a number gives 0. */
int32_t limitedIndex (double v, int32_t last)
{
	if (!(v >= 0.))
		return 0;
	if (v >= static_cast<double> (last))
		return last;
	return static_cast<int32_t> (v);
}

} // anonymous

void IMultiBitmapControl::autoComputeHeightOfOneImage ()
{
	if (auto view = dynamic_cast<CView*> (this))
	{
		heightOfOneImage = view->getHeight ();
		if (auto bitmap = view->getDrawBackground ())
		{
			if (heightOfOneImage > 0.)
				subPixmaps = limitedIndex (bitmap->getHeight () / heightOfOneImage,
				                           std::numeric_limits<int32_t>::max ());
		}
	}
}

//------------------------------------------------------------------------
CSwitchBase::CSwitchBase (const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
                          const CPoint& offset)
: CControl (size, listener, tag, background), offset (offset)
{
	autoComputeHeightOfOneImage ();
	setWantsFocus (true);
}

CSwitchBase::CSwitchBase (const CRect& size, IControlListener* listener, int32_t tag, int32_t subPixmaps,
                          CCoord heightOfOneImage, int32_t iMaxPositions, CBitmap* background,
                          const CPoint& offset)
: CControl (size, listener, tag, background), offset (offset)
{
	setNumSubPixmaps (subPixmaps);
	setHeightOfOneImage (heightOfOneImage);
	setWantsFocus (true);
}

CSwitchBase::CSwitchBase (const CSwitchBase& v)
: CControl (v), IMultiBitmapControl (v), offset (v.offset), inverseBitmap (v.inverseBitmap)
{
}

void CSwitchBase::setInverseBitmap (bool state)
{
	if (inverseBitmap != state)
	{
		inverseBitmap = state;
		setDirty (true);
	}
}

void CSwitchBase::setNumSubPixmaps (int32_t numSubPixmaps)
{
	IMultiBitmapControl::setNumSubPixmaps (numSubPixmaps);
	setDirty (true);
}

int32_t CSwitchBase::getNumPositions () const
{
	return std::max<int32_t> (2, getNumSubPixmaps ());
}

void CSwitchBase::draw (CDrawContext* pContext)
{
	const int32_t n = getNumPositions ();
	// A range that gives no normalised value (not a number) shows the first position.
	int32_t index = limitedIndex (getValueNormalized () * (n - 1) + 0.5f, n - 1);
	if (inverseBitmap)
		index = n - 1 - index;
	if (auto bitmap = getDrawBackground ())
	{
		CCoord h = getHeightOfOneImage () > 0. ? getHeightOfOneImage () : getHeight ();
		pContext->drawBitmap (bitmap, getViewSize (), CPoint (offset.x, offset.y + index * h));
	}
	else
	{
		// Segments along the switch's axis, the selected one filled.
		const CRect& vs = getViewSize ();
		pContext->setDrawMode (kAliasing);
		pContext->setLineWidth (1);
		pContext->setLineStyle (kLineSolid);
		pContext->setFrameColor (kGreyCColor);
		pContext->setFillColor (kBlackCColor);
		pContext->drawRect (vs, kDrawFilledAndStroked);
		CRect seg (vs);
		if (isVertical ())
		{
			CCoord h = vs.getHeight () / n;
			seg.top = vs.top + index * h;
			seg.bottom = seg.top + h;
		}
		else
		{
			CCoord w = vs.getWidth () / n;
			seg.left = vs.left + index * w;
			seg.right = seg.left + w;
		}
		pContext->setFillColor (kWhiteCColor);
		pContext->drawRect (seg, kDrawFilled);
	}
	setDirty (false);
}

CMouseEventResult CSwitchBase::onMouseDown (CPoint& where, const CButtonState& buttons)
{
	if (!buttons.isLeftButton ())
		return kMouseEventNotHandled;
	coef = calculateCoef ();
	beginEdit ();
	if (checkDefaultValue (buttons))
	{
		endEdit ();
		return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
	}
	mouseStartValue = getValue ();
	return onMouseMoved (where, buttons);
}

CMouseEventResult CSwitchBase::onMouseMoved (CPoint& where, const CButtonState& buttons)
{
	if (!buttons.isLeftButton () || !isEditing ())
		return kMouseEventNotHandled;
	CPoint local (where);
	local.offset (-getViewSize ().left, -getViewSize ().top);
	setValueNormalized (normalizedValueFromPoint (local));
	if (isDirty ())
	{
		valueChanged ();
		invalid ();
	}
	return kMouseEventHandled;
}

CMouseEventResult CSwitchBase::onMouseUp (CPoint& where, const CButtonState& buttons)
{
	if (isEditing ())
		endEdit ();
	return kMouseEventHandled;
}

CMouseEventResult CSwitchBase::onMouseCancel ()
{
	if (isEditing ())
	{
		value = mouseStartValue;
		if (isDirty ())
		{
			valueChanged ();
			invalid ();
		}
		endEdit ();
	}
	return kMouseEventHandled;
}

int32_t CSwitchBase::onKeyDown (VstKeyCode& keyCode)
{
	if (keyCode.virt == VKEY_ESCAPE && isEditing ())
	{
		onMouseCancel ();
		return 1;
	}
	if (keyCode.modifier != 0)
		return -1;
	float step = 1.f / static_cast<float> (getNumPositions () - 1);
	float delta;
	// Steps follow the picture: down and right move to the next sub-image.
	if (keyCode.virt == (isVertical () ? VKEY_DOWN : VKEY_RIGHT))
		delta = step;
	else if (keyCode.virt == (isVertical () ? VKEY_UP : VKEY_LEFT))
		delta = -step;
	else
		return -1;
	if (inverseBitmap)
		delta = -delta;
	setValueNormalized (getValueNormalized () + delta);
	if (isDirty ())
	{
		invalid ();
		beginEdit ();
		valueChanged ();
		endEdit ();
	}
	return 1;
}

bool CSwitchBase::sizeToFit ()
{
	auto bitmap = getDrawBackground ();
	if (!bitmap || getHeightOfOneImage () <= 0.)
		return false;
	CRect r (getViewSize ());
	r.setWidth (bitmap->getWidth ());
	r.setHeight (getHeightOfOneImage ());
	setViewSize (r);
	setMouseableArea (r);
	return true;
}

//------------------------------------------------------------------------
CVerticalSwitch::CVerticalSwitch (const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
                                  const CPoint& offset)
: CSwitchBase (size, listener, tag, background, offset)
{
}

CVerticalSwitch::CVerticalSwitch (const CRect& size, IControlListener* listener, int32_t tag, int32_t subPixmaps,
                                  CCoord heightOfOneImage, int32_t iMaxPositions, CBitmap* background,
                                  const CPoint& offset)
: CSwitchBase (size, listener, tag, subPixmaps, heightOfOneImage, iMaxPositions, background, offset)
{
}

double CVerticalSwitch::calculateCoef () const
{
	return getHeight () / getNumPositions ();
}

float CVerticalSwitch::normalizedValueFromPoint (CPoint& point) const
{
	double c = calculateCoef ();
	if (!(c > 0.))
		return 0.f;
	double index = std::floor (point.y / c);
	return static_cast<float> (index / (getNumPositions () - 1));
}

CHorizontalSwitch::CHorizontalSwitch (const CRect& size, IControlListener* listener, int32_t tag,
                                      CBitmap* background, const CPoint& offset)
: CSwitchBase (size, listener, tag, background, offset)
{
}

CHorizontalSwitch::CHorizontalSwitch (const CRect& size, IControlListener* listener, int32_t tag,
                                      int32_t subPixmaps, CCoord heightOfOneImage, int32_t iMaxPositions,
                                      CBitmap* background, const CPoint& offset)
: CSwitchBase (size, listener, tag, subPixmaps, heightOfOneImage, iMaxPositions, background, offset)
{
}

double CHorizontalSwitch::calculateCoef () const
{
	return getWidth () / getNumPositions ();
}

float CHorizontalSwitch::normalizedValueFromPoint (CPoint& point) const
{
	double c = calculateCoef ();
	if (!(c > 0.))
		return 0.f;
	double index = std::floor (point.x / c);
	return static_cast<float> (index / (getNumPositions () - 1));
}

} // VSTGUI
