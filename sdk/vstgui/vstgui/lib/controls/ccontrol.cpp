#include "ccontrol.h"
#include "../cframe.h"
#include "../cgraphicspath.h"
#include "../cvstguitimer.h"
#include <algorithm>
#include <cmath>

namespace VSTGUI {

int32_t CControl::kZoomModifier = kShift;
int32_t CControl::kDefaultValueModifier = kAlt;
CControl::CheckDefaultValueFuncT CControl::CheckDefaultValueFunc = &CControl::defaultValueTest;

CControl::CControl (const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background)
: CView (size), listener (listener), tag (tag)
{
	setBackground (background);
}

CControl::CControl (const CControl& c)
: CView (c), IFocusDrawing (), listener (c.listener), tag (c.tag), oldValue (c.oldValue),
  defaultValue (c.defaultValue), value (c.value), vmin (c.vmin), vmax (c.vmax), wheelInc (c.wheelInc)
{
}

CControl::~CControl () noexcept = default;

void CControl::beforeDelete ()
{
	CView::beforeDelete ();
	subListeners.clear ();
}

//------------------------------------------------------------------------
void CControl::setValue (float val)
{
	if (std::isnan (val))
		val = getMin ();
	if (val < getMin ())
		val = getMin ();
	else if (val > getMax ())
		val = getMax ();
	value = val;
}

void CControl::setValueNormalized (float val)
{
	if (!(val > 0.f)) // also catches NaN
		val = 0.f;
	else if (val > 1.f)
		val = 1.f;
	setValue (getRange () * val + getMin ());
}

float CControl::getValueNormalized () const
{
	float range = getRange ();
	if (range == 0.f)
		return 0.f;
	return (getValue () - getMin ()) / range;
}

void CControl::bounceValue ()
{
	if (value > getMax ())
		value = getMax ();
	else if (value < getMin ())
		value = getMin ();
}

bool CControl::defaultValueTest (CControl*, CButtonState button)
{
	return (button () & CButtonState::kButtonMask) == kLButton &&
	       (button () & CButtonState::kModifierMask) == kDefaultValueModifier;
}

bool CControl::checkDefaultValue (CButtonState button)
{
	CheckDefaultValueFuncT test = CheckDefaultValueFunc ? CheckDefaultValueFunc : &defaultValueTest;
	if (!test (this, button))
		return false;
	float defValue = getDefaultValue ();
	float current = getValue ();
	// Unordered values (NaN) count as equal: nothing to reset then.
	if (!(defValue < current) && !(defValue > current))
		return true;
	beginEdit ();
	setValue (defValue);
	valueChanged ();
	endEdit ();
	setDirty (true);
	return true;
}

//------------------------------------------------------------------------
void CControl::forEachListener (void (IControlListener::*func) (CControl*))
{
	if (listener)
		(listener->*func) (this);
	if (subListeners.empty ())
		return;
	auto copy = subListeners;
	for (auto* l : copy)
	{
		if (std::find (subListeners.begin (), subListeners.end (), l) != subListeners.end ())
			(l->*func) (this);
	}
}

void CControl::beginEdit ()
{
	if (++editing != 1)
		return;
	forEachListener (&IControlListener::controlBeginEdit);
	if (auto frame = getFrame ())
		frame->beginEdit (tag);
}

void CControl::endEdit ()
{
	if (editing <= 0)
		return;
	if (--editing != 0)
		return;
	if (auto frame = getFrame ())
		frame->endEdit (tag);
	forEachListener (&IControlListener::controlEndEdit);
}

void CControl::valueChanged ()
{
	forEachListener (&IControlListener::valueChanged);
}

void CControl::setTag (int32_t val)
{
	forEachListener (&IControlListener::controlTagWillChange);
	tag = val;
	forEachListener (&IControlListener::controlTagDidChange);
}

void CControl::registerControlListener (IControlListener* l)
{
	if (l && std::find (subListeners.begin (), subListeners.end (), l) == subListeners.end ())
		subListeners.push_back (l);
}

void CControl::unregisterControlListener (IControlListener* l)
{
	auto it = std::find (subListeners.begin (), subListeners.end (), l);
	if (it != subListeners.end ())
		subListeners.erase (it);
}

bool CControl::isDirty () const
{
	if (oldValue != value)
		return true;
	return CView::isDirty ();
}

void CControl::setDirty (bool val)
{
	CView::setDirty (val);
	if (val)
		oldValue = (value != -1.f) ? -1.f : 0.f;
	else
		oldValue = value;
}

bool CControl::getFocusPath (CGraphicsPath& outPath)
{
	outPath.addRect (getViewSize ());
	return true;
}

//------------------------------------------------------------------------
void CMouseWheelEditingSupport::onMouseWheelEditing (CControl* control)
{
	if (!control->isEditing ())
		control->beginEdit ();
	endEditTimer = makeOwned<CVSTGUITimer> (
	    [control] (CVSTGUITimer* timer) {
		    control->endEdit ();
		    timer->stop ();
	    },
	    500, true);
}

void CMouseWheelEditingSupport::invalidMouseWheelEditTimer (CControl* control)
{
	if (endEditTimer)
		endEditTimer = nullptr;
	if (control->isEditing ())
		control->endEdit ();
}

} // VSTGUI
