#include "cbuttons.h"
#include "../cdrawcontext.h"

namespace VSTGUI {

COnOffButton::COnOffButton (const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
                            int32_t style)
: CControl (size, listener, tag, background), style (style)
{
	setWantsFocus (true);
}

COnOffButton::COnOffButton (const COnOffButton& v) : CControl (v), style (v.style)
{
}

void COnOffButton::draw (CDrawContext* pContext)
{
	const bool on = getValue () == getMax ();
	if (auto bitmap = getDrawBackground ())
	{
		CCoord off = on ? bitmap->getHeight () / 2. : 0.;
		pContext->drawBitmap (bitmap, getViewSize (), CPoint (0, off));
	}
	else
	{
		CRect r (getViewSize ());
		pContext->setDrawMode (kAliasing);
		pContext->setLineWidth (1);
		pContext->setLineStyle (kLineSolid);
		pContext->setFrameColor (kGreyCColor);
		pContext->setFillColor (on ? kWhiteCColor : kBlackCColor);
		pContext->drawRect (r, kDrawFilledAndStroked);
	}
	setDirty (false);
}

void COnOffButton::toggle ()
{
	beginEdit ();
	value = (getValue () == getMax ()) ? getMin () : getMax ();
	if (style & kPostListenerUpdate)
	{
		valueChanged ();
		invalid ();
	}
	else
	{
		invalid ();
		valueChanged ();
	}
	endEdit ();
}

CMouseEventResult COnOffButton::onMouseDown (CPoint& where, const CButtonState& buttons)
{
	if (!buttons.isLeftButton ())
		return kMouseEventNotHandled;
	if (listener && buttons.getModifierState ())
	{
		if (listener->controlModifierClicked (this, buttons) != 0)
			return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
	}
	toggle ();
	return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

int32_t COnOffButton::onKeyDown (VstKeyCode& keyCode)
{
	if (keyCode.modifier == 0 && (keyCode.virt == VKEY_RETURN || keyCode.virt == VKEY_ENTER ||
	                              keyCode.virt == VKEY_SPACE))
	{
		toggle ();
		return 1;
	}
	return -1;
}

bool COnOffButton::sizeToFit ()
{
	auto bitmap = getDrawBackground ();
	if (!bitmap)
		return false;
	CRect r (getViewSize ());
	r.setWidth (bitmap->getWidth ());
	r.setHeight (bitmap->getHeight () / 2.);
	setViewSize (r);
	setMouseableArea (r);
	return true;
}

} // VSTGUI
