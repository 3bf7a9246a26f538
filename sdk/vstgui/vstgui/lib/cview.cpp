#include "cview.h"
#include "cviewcontainer.h"
#include "cframe.h"
#include "cdrawcontext.h"
#include "iviewlistener.h"
#include "controls/ccontrol.h"
#include "../uidescription/icontroller.h"
#include <algorithm>

namespace VSTGUI {

CView::CView (const CRect& size) : viewSize (size), mouseableArea (size)
{
}

CView::CView (const CView& v)
: CBaseObject (), viewSize (v.viewSize), mouseableArea (v.mouseableArea), background (v.background),
  disabledBackground (v.disabledBackground), tooltip (v.tooltip), alphaValue (v.alphaValue),
  autosizeFlags (v.autosizeFlags), mouseEnabled (v.mouseEnabled), transparent (v.transparent),
  wantsFocusFlag (v.wantsFocusFlag), visible (v.visible)
{
}

CView::~CView () noexcept
{
	// Normally done by beforeDelete(); this covers views that were never reference-released.
	if (viewController)
		releaseViewController ();
}

void CView::beforeDelete ()
{
	deleting = true;
	notifyViewListeners (&IViewListener::viewWillDelete);
	viewListeners.clear ();
	releaseViewController ();
}

void CView::notifyViewListeners (void (IViewListener::*func) (CView*))
{
	if (viewListeners.empty ())
		return;
	// A listener may unregister itself (or others) while being told.
	auto copy = viewListeners;
	for (auto* l : copy)
	{
		if (std::find (viewListeners.begin (), viewListeners.end (), l) != viewListeners.end ())
			(l->*func) (this);
	}
}

void CView::registerViewListener (IViewListener* listener)
{
	if (!listener)
		return;
	if (std::find (viewListeners.begin (), viewListeners.end (), listener) == viewListeners.end ())
		viewListeners.push_back (listener);
}

void CView::unregisterViewListener (IViewListener* listener)
{
	auto it = std::find (viewListeners.begin (), viewListeners.end (), listener);
	if (it != viewListeners.end ())
		viewListeners.erase (it);
}

//------------------------------------------------------------------------
static void detachListenerInTree (CView* view, IControlListener* listener, IViewListener* viewListener)
{
	if (viewListener)
		view->unregisterViewListener (viewListener);
	if (auto control = dynamic_cast<CControl*> (view))
	{
		if (control->getListener () == listener)
			control->setListener (nullptr);
		control->unregisterControlListener (listener);
	}
	if (auto container = view->asViewContainer ())
	{
		for (uint32_t i = 0; i < container->getNbViews (); ++i)
			detachListenerInTree (container->getView (i), listener, viewListener);
	}
}

void CView::releaseViewController ()
{
	IController* c = viewController;
	if (!c)
		return;
	viewController = nullptr;
	// Views below must not keep pointing at the controller once it is gone.
	detachListenerInTree (this, c, dynamic_cast<IViewListener*> (c));
	if (auto ref = dynamic_cast<IReference*> (c))
		ref->forget ();
	else
		delete c;
}

void CView::setViewController (IController* controller)
{
	if (controller == viewController)
		return;
	releaseViewController ();
	viewController = controller;
}

IController* getViewController (const CView* view, bool deep)
{
	while (view)
	{
		if (auto c = view->getViewController ())
			return c;
		if (!deep)
			break;
		view = view->getParentView ();
	}
	return nullptr;
}

//------------------------------------------------------------------------
void CView::draw (CDrawContext* pContext)
{
	if (auto bitmap = getDrawBackground ())
		pContext->drawBitmap (bitmap, viewSize);
	setDirty (false);
}

void CView::drawRect (CDrawContext* pContext, const CRect& updateRect)
{
	draw (pContext);
	setDirty (false);
}

void CView::invalid ()
{
	setDirty (false);
	invalidRect (viewSize);
}

void CView::invalidRect (const CRect& rect)
{
	if (isAttached () && isVisible () && parentView)
		parentView->invalidRect (rect);
}

void CView::setVisible (bool state)
{
	if (visible == state)
		return;
	if (visible)
		invalidRect (viewSize);
	visible = state;
	if (visible)
		invalidRect (viewSize);
}

//------------------------------------------------------------------------
CMouseEventResult CView::onMouseDown (CPoint& where, const CButtonState& buttons) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseUp (CPoint& where, const CButtonState& buttons) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseMoved (CPoint& where, const CButtonState& buttons) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseCancel () { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseEntered (CPoint& where, const CButtonState& buttons) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseExited (CPoint& where, const CButtonState& buttons) { return kMouseEventNotImplemented; }

bool CView::onWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                     const CButtonState& buttons)
{
	return false;
}

void CView::setMouseEnabled (bool bEnable)
{
	if (mouseEnabled == bEnable)
		return;
	mouseEnabled = bEnable;
	if (disabledBackground)
		invalid ();
}

bool CView::hitTest (const CPoint& where, const CButtonState& buttons)
{
	return mouseableArea.pointInside (where);
}

//------------------------------------------------------------------------
void CView::looseFocus ()
{
	notifyViewListeners (&IViewListener::viewLostFocus);
}

void CView::takeFocus ()
{
	notifyViewListeners (&IViewListener::viewTookFocus);
}

//------------------------------------------------------------------------
bool CView::attached (CView* parent)
{
	if (attachedFlag)
		return false;
	parentView = parent;
	if (parent)
		parentFrame = parent->getFrame ();
	attachedFlag = true;
	notifyViewListeners (&IViewListener::viewAttached);
	return true;
}

bool CView::removed (CView* parent)
{
	if (!attachedFlag)
		return false;
	if (parentFrame && parentFrame != static_cast<CView*> (this))
		parentFrame->onViewRemoved (this);
	notifyViewListeners (&IViewListener::viewRemoved);
	if (parentFrame != static_cast<CView*> (this))
		parentFrame = nullptr;
	attachedFlag = false;
	return true;
}

//------------------------------------------------------------------------
void CView::setViewSize (const CRect& newSize, bool doInvalid)
{
	if (newSize == viewSize)
		return;
	CRect oldSize = viewSize;
	if (doInvalid)
		invalidRect (oldSize);
	if (mouseableArea == oldSize)
		mouseableArea = newSize;
	else
		mouseableArea.offset (newSize.left - oldSize.left, newSize.top - oldSize.top);
	viewSize = newSize;
	if (doInvalid)
		invalid ();
	if (!viewListeners.empty ())
	{
		auto copy = viewListeners;
		for (auto* l : copy)
		{
			if (std::find (viewListeners.begin (), viewListeners.end (), l) != viewListeners.end ())
				l->viewSizeChanged (this, oldSize);
		}
	}
}

CRect CView::getVisibleViewSize () const
{
	CRect result (viewSize);
	const CView* child = this;
	const CView* parent = parentView;
	CPoint offset;
	while (parent)
	{
		// Clip to the parent's area, expressed in this view's coordinates.
		CRect parentArea (0, 0, parent->getWidth (), parent->getHeight ());
		parentArea.offset (-offset.x, -offset.y);
		result.bound (parentArea);
		offset += parent->getViewSize ().getTopLeft ();
		child = parent;
		parent = parent->getParentView ();
	}
	(void)child;
	return result;
}

CPoint& CView::localToFrame (CPoint& point) const
{
	const CView* p = parentView;
	while (p && p != static_cast<const CView*> (parentFrame))
	{
		point.offset (p->getViewSize ().left, p->getViewSize ().top);
		p = p->getParentView ();
	}
	return point;
}

CPoint& CView::frameToLocal (CPoint& point) const
{
	const CView* p = parentView;
	while (p && p != static_cast<const CView*> (parentFrame))
	{
		point.offset (-p->getViewSize ().left, -p->getViewSize ().top);
		p = p->getParentView ();
	}
	return point;
}

//------------------------------------------------------------------------
void CView::setBackground (CBitmap* bitmap)
{
	if (background.get () == bitmap)
		return;
	background = bitmap;
	setDirty (true);
}

void CView::setDisabledBackground (CBitmap* bitmap)
{
	if (disabledBackground.get () == bitmap)
		return;
	disabledBackground = bitmap;
	if (!mouseEnabled)
		setDirty (true);
}

CBitmap* CView::getDrawBackground () const
{
	if (!mouseEnabled && disabledBackground)
		return disabledBackground;
	return background;
}

void CView::setTransparency (bool val)
{
	if (transparent == val)
		return;
	transparent = val;
	invalid ();
}

void CView::setAlphaValue (float alpha)
{
	if (!(alpha >= 0.f))
		alpha = 0.f;
	alpha = std::min (alpha, 1.f);
	if (alphaValue == alpha)
		return;
	invalidRect (viewSize); // while still visible
	alphaValue = alpha;
	invalidRect (viewSize);
}

} // VSTGUI
