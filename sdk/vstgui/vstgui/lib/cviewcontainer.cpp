#include "cviewcontainer.h"
#include "cframe.h"
#include "cdrawcontext.h"
#include "iviewlistener.h"
#include <algorithm>

namespace VSTGUI {

CViewContainer::CViewContainer (const CRect& size) : CView (size)
{
}

CViewContainer::CViewContainer (const CViewContainer& v)
: CView (v), backgroundColor (v.backgroundColor), backgroundColorDrawStyle (v.backgroundColorDrawStyle),
  backgroundOffset (v.backgroundOffset)
{
	for (auto* child : v.children)
	{
		if (auto copy = dynamic_cast<CView*> (child->newCopy ()))
			addView (copy);
	}
}

CViewContainer::~CViewContainer () noexcept
{
	for (auto* child : children)
		child->forget ();
	children.clear ();
}

void CViewContainer::beforeDelete ()
{
	// Own notifications and the owned controller first, so that a controller can still
	// reach the views below it while it is being deleted; then the children.
	CView::beforeDelete ();
	mouseDownView = nullptr;
	removeAll (true);
}

//------------------------------------------------------------------------
bool CViewContainer::addView (CView* pView, CView* pBefore)
{
	if (!pView || pView == this || pView->getParentView () || pView->isAttached ())
		return false;
	if (std::find (children.begin (), children.end (), pView) != children.end ())
		return false;
	auto pos = std::find (children.begin (), children.end (), pBefore);
	children.insert (pos, pView);
	pView->setParentView (this);
	if (isAttached ())
	{
		pView->attached (this);
		pView->invalid ();
	}
	auto copy = containerListeners;
	for (auto* l : copy)
		l->viewContainerViewAdded (this, pView);
	return true;
}

bool CViewContainer::addView (CView* pView, const CRect& mouseableArea, bool mouseEnabled)
{
	if (!addView (pView))
		return false;
	pView->setMouseEnabled (mouseEnabled);
	pView->setMouseableArea (mouseableArea);
	return true;
}

bool CViewContainer::removeView (CView* pView, bool withForget)
{
	auto it = std::find (children.begin (), children.end (), pView);
	if (it == children.end ())
		return false;
	// A view that leaves in the middle of its press is told first, while it can still
	// reach its frame: its edit closes and whatever the press started stops.
	if (mouseDownView == pView)
	{
		cancelMouseDown ();
		// The cancel may have run code that changed the children.
		it = std::find (children.begin (), children.end (), pView);
		if (it == children.end ())
			return false;
	}
	pView->invalid ();
	children.erase (it);
	if (isAttached ())
		pView->removed (this);
	pView->setParentView (nullptr);
	auto copy = containerListeners;
	for (auto* l : copy)
		l->viewContainerViewRemoved (this, pView);
	if (withForget)
		pView->forget ();
	return true;
}

bool CViewContainer::removeAll (bool withForget)
{
	cancelMouseDown ();
	// Removal may run code (listeners, controllers) that changes the list: take one at a time.
	while (!children.empty ())
		removeView (children.front (), withForget);
	return true;
}

bool CViewContainer::changeViewZOrder (CView* view, uint32_t newIndex)
{
	auto it = std::find (children.begin (), children.end (), view);
	if (it == children.end () || newIndex >= children.size ())
		return false;
	children.erase (it);
	children.insert (children.begin () + newIndex, view);
	view->invalid ();
	return true;
}

CView* CViewContainer::getView (uint32_t index) const
{
	return index < children.size () ? children[index] : nullptr;
}

bool CViewContainer::isChild (CView* pView, bool deep) const
{
	for (auto* child : children)
	{
		if (child == pView)
			return true;
		if (deep)
		{
			if (auto c = child->asViewContainer ())
			{
				if (c->isChild (pView, true))
					return true;
			}
		}
	}
	return false;
}

CView* CViewContainer::getViewAt (const CPoint& where, const GetViewOptions& options) const
{
	CPoint local (where);
	local.offset (-viewSize.left, -viewSize.top);
	for (auto it = children.rbegin (); it != children.rend (); ++it)
	{
		CView* child = *it;
		if (!options.getIncludeInvisible () && !child->isVisible ())
			continue;
		if (options.getMouseEnabled () && !child->getMouseEnabled ())
			continue;
		if (!child->getViewSize ().pointInside (local))
			continue;
		if (options.getDeep ())
		{
			if (auto c = child->asViewContainer ())
			{
				if (auto v = c->getViewAt (local, options))
					return v;
				if (options.getIncludeViewContainer ())
					return child;
				continue;
			}
		}
		return child;
	}
	return nullptr;
}

void CViewContainer::registerViewContainerListener (IViewContainerListener* listener)
{
	if (listener && std::find (containerListeners.begin (), containerListeners.end (), listener) ==
	                    containerListeners.end ())
		containerListeners.push_back (listener);
}

void CViewContainer::unregisterViewContainerListener (IViewContainerListener* listener)
{
	auto it = std::find (containerListeners.begin (), containerListeners.end (), listener);
	if (it != containerListeners.end ())
		containerListeners.erase (it);
}

//------------------------------------------------------------------------
void CViewContainer::setBackgroundColor (const CColor& color)
{
	if (backgroundColor == color)
		return;
	backgroundColor = color;
	setDirty (true);
}

void CViewContainer::setBackgroundColorDrawStyle (CDrawStyle style)
{
	if (backgroundColorDrawStyle == style)
		return;
	backgroundColorDrawStyle = style;
	setDirty (true);
}

void CViewContainer::drawBackgroundRect (CDrawContext* pContext, const CRect& updateRect)
{
	CRect r (0, 0, getWidth (), getHeight ());
	if (auto bitmap = getDrawBackground ())
	{
		pContext->drawBitmap (bitmap, r, backgroundOffset);
	}
	else if (!getTransparency () && backgroundColor.alpha != 0)
	{
		pContext->setDrawMode (kAliasing);
		pContext->setLineWidth (1);
		pContext->setLineStyle (kLineSolid);
		pContext->setFillColor (backgroundColor);
		pContext->setFrameColor (backgroundColor);
		pContext->drawRect (r, backgroundColorDrawStyle);
	}
}

void CViewContainer::draw (CDrawContext* pContext)
{
	drawRect (pContext, viewSize);
}

void CViewContainer::drawRect (CDrawContext* pContext, const CRect& updateRect)
{
	CRect local (updateRect);
	local.offset (-viewSize.left, -viewSize.top);
	local.bound (CRect (0, 0, getWidth (), getHeight ()));
	if (local.isEmpty ())
		return;

	CDrawContext::Transform transform (*pContext, CGraphicsTransform ().translate (viewSize.left, viewSize.top));
	CRect oldClip;
	pContext->getClipRect (oldClip);
	CRect clip (local);
	clip.bound (oldClip);
	if (clip.isEmpty ())
		return;
	pContext->setClipRect (clip);
	pContext->saveGlobalState ();
	drawBackgroundRect (pContext, clip);
	pContext->restoreGlobalState ();

	// Children may be added or removed while drawing: hold each one for its turn.
	std::vector<SharedPointer<CView>> list (children.begin (), children.end ());
	const float alpha = pContext->getGlobalAlpha ();
	for (auto& child : list)
	{
		if (!child->isVisible () || (isAttached () && child->getParentView () != static_cast<CView*> (this)))
			continue;
		CRect childClip (child->getViewSize ());
		childClip.bound (clip);
		if (childClip.isEmpty () || !child->checkUpdate (clip))
			continue;
		pContext->saveGlobalState ();
		pContext->setClipRect (childClip);
		pContext->setGlobalAlpha (alpha * child->getAlphaValue ());
		child->drawRect (pContext, childClip);
		pContext->restoreGlobalState ();
	}
	pContext->setClipRect (oldClip);
	setDirty (false);
}

void CViewContainer::invalid ()
{
	setDirty (false);
	CView::invalidRect (viewSize);
}

void CViewContainer::invalidRect (const CRect& rect)
{
	CRect r (rect);
	r.offset (viewSize.left, viewSize.top);
	r.bound (viewSize);
	if (r.isEmpty ())
		return;
	CView::invalidRect (r);
}

void CViewContainer::invalidateDirtyViews ()
{
	if (!isVisible ())
		return;
	if (CView::isDirty ())
	{
		invalid ();
		return;
	}
	std::vector<SharedPointer<CView>> list (children.begin (), children.end ());
	for (auto& child : list)
	{
		if (auto c = child->asViewContainer ())
			c->invalidateDirtyViews ();
		else if (child->isDirty () && child->isVisible ())
			child->invalid ();
	}
}

//------------------------------------------------------------------------
CMouseEventResult CViewContainer::onMouseDown (CPoint& where, const CButtonState& buttons)
{
	CPoint local (where);
	local.offset (-viewSize.left, -viewSize.top);
	std::vector<SharedPointer<CView>> list (children.rbegin (), children.rend ());
	for (auto& child : list)
	{
		if (!child->isVisible () || !child->getMouseEnabled () || !child->hitTest (local, buttons))
			continue;
		CPoint p (local);
		CMouseEventResult result = child->onMouseDown (p, buttons);
		if (result != kMouseEventNotHandled && result != kMouseEventNotImplemented)
		{
			if (result == kMouseEventHandled && child->getParentView () == static_cast<CView*> (this))
				mouseDownView = child;
			return result;
		}
		if (!child->getTransparency ())
			return result;
	}
	return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseUp (CPoint& where, const CButtonState& buttons)
{
	if (!mouseDownView)
		return kMouseEventNotHandled;
	SharedPointer<CView> view = mouseDownView;
	mouseDownView = nullptr;
	CPoint local (where);
	local.offset (-viewSize.left, -viewSize.top);
	return view->onMouseUp (local, buttons);
}

CMouseEventResult CViewContainer::onMouseMoved (CPoint& where, const CButtonState& buttons)
{
	if (!mouseDownView)
		return kMouseEventNotHandled;
	SharedPointer<CView> view = mouseDownView;
	CPoint local (where);
	local.offset (-viewSize.left, -viewSize.top);
	CMouseEventResult result = view->onMouseMoved (local, buttons);
	// Only a view that says it needs no more events ends its press here. A move it does
	// not handle (a slider drag while a second button is down) keeps the press: its
	// release must still reach the view, which ends the edit the press began.
	if (result == kMouseMoveEventHandledButDontNeedMoreEvents && mouseDownView == view)
		mouseDownView = nullptr;
	return result;
}

CMouseEventResult CViewContainer::onMouseCancel ()
{
	return cancelMouseDown ();
}

CMouseEventResult CViewContainer::cancelMouseDown ()
{
	if (!mouseDownView)
		return kMouseEventNotHandled;
	SharedPointer<CView> view = mouseDownView;
	mouseDownView = nullptr;
	return view->onMouseCancel ();
}

bool CViewContainer::onWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                              const CButtonState& buttons)
{
	CPoint local (where);
	local.offset (-viewSize.left, -viewSize.top);
	std::vector<SharedPointer<CView>> list (children.rbegin (), children.rend ());
	for (auto& child : list)
	{
		if (!child->isVisible () || !child->getMouseEnabled () || !child->getMouseableArea ().pointInside (local))
			continue;
		if (child->onWheel (local, axis, distance, buttons))
			return true;
		if (!child->getTransparency ())
			return false;
	}
	return false;
}

bool CViewContainer::hitTest (const CPoint& where, const CButtonState& buttons)
{
	return CView::hitTest (where, buttons);
}

//------------------------------------------------------------------------
bool CViewContainer::attached (CView* parent)
{
	if (!CView::attached (parent))
		return false;
	std::vector<SharedPointer<CView>> list (children.begin (), children.end ());
	for (auto& child : list)
		child->attached (this);
	return true;
}

bool CViewContainer::removed (CView* parent)
{
	if (!isAttached ())
		return false;
	// Leaving the frame ends the press under way first, while the frame can still be reached.
	cancelMouseDown ();
	std::vector<SharedPointer<CView>> list (children.begin (), children.end ());
	for (auto& child : list)
		child->removed (this);
	return CView::removed (parent);
}

} // VSTGUI
