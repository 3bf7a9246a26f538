#include "cframe.h"
#include "cdrawcontext.h"
#include "iviewlistener.h"
#include "platform/offscreenframe.h"
#include <algorithm>
#include <map>

namespace VSTGUI {

namespace {
int32_t& defaultKnobMode ()
{
	static int32_t mode = kCircularMode;
	return mode;
}

std::map<PlatformType, PlatformFrameCreateFunc>& frameFactories ()
{
	static std::map<PlatformType, PlatformFrameCreateFunc> factories;
	return factories;
}
} // anonymous

void setPlatformFrameFactory (PlatformType type, PlatformFrameCreateFunc func)
{
	if (func)
		frameFactories ()[type] = func;
	else
		frameFactories ().erase (type);
}

PlatformFrameCreateFunc getPlatformFrameFactory (PlatformType type)
{
	auto it = frameFactories ().find (type);
	return it != frameFactories ().end () ? it->second : nullptr;
}

//------------------------------------------------------------------------
CFrame::CFrame (const CRect& size, VSTGUIEditorInterface* editor)
: CViewContainer (CRect (0, 0, size.getWidth (), size.getHeight ())), editor (editor)
{
	setParentFrame (this);
}

CFrame::~CFrame () noexcept = default;

void CFrame::beforeDelete ()
{
	focusView = nullptr;
	mouseOverView = nullptr;
	CViewContainer::beforeDelete ();
	if (platformFrame)
	{
		platformFrame->onFrameClosed ();
		platformFrame = nullptr;
	}
}

bool CFrame::open (void* parent, PlatformType parentType, IPlatformFrameConfig* config)
{
	if (platformFrame)
		return false;
	if (parentType == PlatformType::kDefaultNative)
		parentType = PlatformType::kX11EmbedWindowID;
	IPlatformFrame* pf = nullptr;
	if (auto factory = getPlatformFrameFactory (parentType))
		pf = factory (this, getViewSize (), parent, parentType);
	else if (parentType == PlatformType::kOffscreen)
	{
		auto offscreenConfig = dynamic_cast<OffscreenFrameConfig*> (config);
		double scale = offscreenConfig ? offscreenConfig->scaleFactor : 1.;
		if (!(scale > 0.) || scale > 16.)
			return false;
		pf = new COffscreenPlatformFrame (this, getViewSize (), scale);
	}
	if (!pf)
		return false;
	platformFrame.adopt (pf);
	CViewContainer::attached (nullptr);
	invalid ();
	return true;
}

void CFrame::close ()
{
	// The press under way ends before anything is taken apart.
	cancelMouseDown ();
	setFocusView (nullptr);
	mouseOverView = nullptr;
	removeAll ();
	if (platformFrame)
	{
		CViewContainer::removed (nullptr);
		platformFrame->onFrameClosed ();
		platformFrame = nullptr;
	}
	forget ();
}

bool CFrame::removed (CView* parent)
{
	return CViewContainer::removed (parent);
}

void CFrame::idle ()
{
	invalidateDirtyViews ();
}

int32_t CFrame::getKnobMode () const
{
	if (editor)
	{
		int32_t mode = editor->getKnobMode ();
		if (mode >= 0)
			return mode;
	}
	return defaultKnobMode ();
}

void CFrame::setDefaultKnobMode (int32_t mode)
{
	defaultKnobMode () = mode;
}

int32_t CFrame::getDefaultKnobMode ()
{
	return defaultKnobMode ();
}

void CFrame::beginEdit (int32_t index)
{
	if (editor)
		editor->beginEdit (index);
}

void CFrame::endEdit (int32_t index)
{
	if (editor)
		editor->endEdit (index);
}

bool CFrame::setSize (CCoord width, CCoord height)
{
	if (!(width >= 0.) || !(height >= 0.))
		return false;
	setViewSize (CRect (0, 0, width, height));
	return true;
}

void CFrame::setViewSize (const CRect& rect, bool doInvalid)
{
	// The frame's own origin is always (0, 0): it is the coordinate root.
	CRect r (0, 0, rect.getWidth (), rect.getHeight ());
	CViewContainer::setViewSize (r, false);
	if (platformFrame)
		platformFrame->setSize (r);
	if (doInvalid)
		invalid ();
}

//------------------------------------------------------------------------
void CFrame::setFocusView (CView* pView)
{
	if (pView == focusView)
		return;
	CView* old = focusView;
	focusView = pView;
	if (old)
		old->looseFocus ();
	// looseFocus may have moved the focus again.
	if (focusView && focusView == pView)
		focusView->takeFocus ();
}

void CFrame::collectFocusViews (CView* view, std::vector<CView*>& list)
{
	auto container = view->asViewContainer ();
	if (!container)
		return;
	for (uint32_t i = 0; i < container->getNbViews (); ++i)
	{
		CView* child = container->getView (i);
		if (!child->isVisible ())
			continue;
		if (child->wantsFocus () && child->getMouseEnabled ())
			list.push_back (child);
		collectFocusViews (child, list);
	}
}

bool CFrame::advanceNextFocusView (CView* oldFocus, bool reverse)
{
	std::vector<CView*> list;
	collectFocusViews (this, list);
	if (list.empty ())
		return false;
	auto it = std::find (list.begin (), list.end (), oldFocus);
	size_t index;
	if (it == list.end ())
		index = reverse ? list.size () - 1 : 0;
	else
	{
		size_t cur = static_cast<size_t> (it - list.begin ());
		index = reverse ? (cur + list.size () - 1) % list.size () : (cur + 1) % list.size ();
	}
	setFocusView (list[index]);
	return true;
}

void CFrame::onViewRemoved (CView* pView)
{
	if (focusView == pView)
		setFocusView (nullptr);
	if (mouseOverView == pView)
		mouseOverView = nullptr;
}

void CFrame::setMouseOverView (CView* view, const CButtonState& buttons)
{
	if (view == mouseOverView)
		return;
	CView* old = mouseOverView;
	mouseOverView = view;
	if (old)
	{
		CPoint p;
		if (platformFrame)
			platformFrame->getCurrentMousePosition (p);
		old->frameToLocal (p);
		old->onMouseExited (p, buttons);
	}
	if (mouseOverView && mouseOverView == view)
	{
		CPoint p;
		if (platformFrame)
			platformFrame->getCurrentMousePosition (p);
		view->frameToLocal (p);
		view->onMouseEntered (p, buttons);
	}
}

//------------------------------------------------------------------------
CMouseEventResult CFrame::onMouseDown (CPoint& where, const CButtonState& buttons)
{
	// A press that arrives during a drag ends the drag first.
	cancelMouseDown ();
	CView* hit = getViewAt (where, GetViewOptions ().deep ().mouseEnabled ());
	if (hit && hit->wantsFocus ())
		setFocusView (hit);
	else if (focusView && hit != focusView)
		setFocusView (nullptr);
	return CViewContainer::onMouseDown (where, buttons);
}

CMouseEventResult CFrame::onMouseUp (CPoint& where, const CButtonState& buttons)
{
	CMouseEventResult result = CViewContainer::onMouseUp (where, buttons);
	CView* over = getViewAt (where, GetViewOptions ().deep ().mouseEnabled ());
	setMouseOverView (over, buttons);
	return result;
}

CMouseEventResult CFrame::onMouseMoved (CPoint& where, const CButtonState& buttons)
{
	if (getMouseDownView ())
		return CViewContainer::onMouseMoved (where, buttons);
	CView* over = getViewAt (where, GetViewOptions ().deep ().mouseEnabled ());
	setMouseOverView (over, buttons);
	return kMouseEventNotHandled;
}

CMouseEventResult CFrame::onMouseCancel ()
{
	return CViewContainer::onMouseCancel ();
}

CMouseEventResult CFrame::onMouseExited (CPoint& where, const CButtonState& buttons)
{
	if (!getMouseDownView ())
		setMouseOverView (nullptr, buttons);
	return kMouseEventHandled;
}

bool CFrame::onWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                      const CButtonState& buttons)
{
	return CViewContainer::onWheel (where, axis, distance, buttons);
}

int32_t CFrame::onKeyDown (VstKeyCode& keyCode)
{
	// The focus view first, then its ancestors.
	CView* view = focusView;
	while (view && view != static_cast<CView*> (this))
	{
		SharedPointer<CView> guard (view);
		int32_t result = view->onKeyDown (keyCode);
		if (result != -1)
			return result;
		view = view->isAttached () ? view->getParentView () : nullptr;
	}
	if (keyCode.virt == VKEY_TAB && keyCode.modifier == 0)
		return advanceNextFocusView (focusView) ? 1 : -1;
	if (keyCode.virt == VKEY_TAB && keyCode.modifier == MODIFIER_SHIFT)
		return advanceNextFocusView (focusView, true) ? 1 : -1;
	return -1;
}

int32_t CFrame::onKeyUp (VstKeyCode& keyCode)
{
	CView* view = focusView;
	while (view && view != static_cast<CView*> (this))
	{
		SharedPointer<CView> guard (view);
		int32_t result = view->onKeyUp (keyCode);
		if (result != -1)
			return result;
		view = view->isAttached () ? view->getParentView () : nullptr;
	}
	return -1;
}

//------------------------------------------------------------------------
void CFrame::invalid ()
{
	setDirty (false);
	invalidRect (CRect (0, 0, getWidth (), getHeight ()));
}

void CFrame::invalidRect (const CRect& rect)
{
	if (!platformFrame || !isVisible ())
		return;
	CRect r (rect);
	r.bound (CRect (0, 0, getWidth (), getHeight ()));
	if (!r.isEmpty ())
		platformFrame->invalidRect (r);
}

//------------------------------------------------------------------------
bool CFrame::platformDrawRect (CDrawContext* context, const CRect& rect)
{
	if (!context)
		return false;
	SharedPointer<CFrame> guard (this);
	context->saveGlobalState ();
	context->setClipRect (rect);
	drawRect (context, rect);
	context->restoreGlobalState ();
	return true;
}

CMouseEventResult CFrame::platformOnMouseDown (CPoint& where, const CButtonState& buttons)
{
	SharedPointer<CFrame> guard (this);
	return onMouseDown (where, buttons);
}

CMouseEventResult CFrame::platformOnMouseMoved (CPoint& where, const CButtonState& buttons)
{
	SharedPointer<CFrame> guard (this);
	return onMouseMoved (where, buttons);
}

CMouseEventResult CFrame::platformOnMouseUp (CPoint& where, const CButtonState& buttons)
{
	SharedPointer<CFrame> guard (this);
	return onMouseUp (where, buttons);
}

CMouseEventResult CFrame::platformOnMouseExited (CPoint& where, const CButtonState& buttons)
{
	SharedPointer<CFrame> guard (this);
	return onMouseExited (where, buttons);
}

bool CFrame::platformOnMouseWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                                   const CButtonState& buttons)
{
	SharedPointer<CFrame> guard (this);
	return onWheel (where, axis, distance, buttons);
}

bool CFrame::platformOnKeyDown (VstKeyCode& keyCode)
{
	SharedPointer<CFrame> guard (this);
	return onKeyDown (keyCode) == 1;
}

bool CFrame::platformOnKeyUp (VstKeyCode& keyCode)
{
	SharedPointer<CFrame> guard (this);
	return onKeyUp (keyCode) == 1;
}

void CFrame::platformOnActivate (bool state)
{
	if (active == state)
		return;
	active = state;
	if (!state)
		cancelMouseDown ();
}

//------------------------------------------------------------------------
// COffscreenPlatformFrame
//------------------------------------------------------------------------
COffscreenPlatformFrame::COffscreenPlatformFrame (IPlatformFrameCallback* frame, const CRect& size,
                                                  double scaleFactor)
: IPlatformFrame (frame), size (size), scaleFactor (scaleFactor)
{
	setSize (size);
}

COffscreenPlatformFrame::~COffscreenPlatformFrame () noexcept = default;

bool COffscreenPlatformFrame::getGlobalPosition (CPoint& pos) const
{
	pos = CPoint ();
	return true;
}

bool COffscreenPlatformFrame::setSize (const CRect& newSize)
{
	size = newSize;
	context = COffscreenContext::create (CPoint (std::max (1., size.getWidth ()), std::max (1., size.getHeight ())),
	                                     scaleFactor);
	if (context)
		context->fill (clearColor);
	invalidRect (CRect (0, 0, size.getWidth (), size.getHeight ()));
	return context != nullptr;
}

bool COffscreenPlatformFrame::getSize (CRect& s) const
{
	s = size;
	return true;
}

bool COffscreenPlatformFrame::getCurrentMousePosition (CPoint& mousePosition) const
{
	return false;
}

bool COffscreenPlatformFrame::getCurrentMouseButtons (CButtonState& buttons) const
{
	buttons = 0;
	return true;
}

bool COffscreenPlatformFrame::invalidRect (const CRect& rect)
{
	CRect r (rect);
	r.normalize ();
	if (r.isEmpty ())
		return true;
	if (dirty)
		dirtyRect.unite (r);
	else
		dirtyRect = r;
	dirty = true;
	return true;
}

bool COffscreenPlatformFrame::render ()
{
	if (!dirty || !context || !frame)
		return false;
	CRect r (dirtyRect);
	r.makeIntegral ();
	r.bound (CRect (0, 0, size.getWidth (), size.getHeight ()));
	dirty = false;
	if (r.isEmpty ())
		return false;
	context->saveGlobalState ();
	context->resetClipRect ();
	context->clearRect (r);
	if (clearColor.alpha)
	{
		context->setFillColor (clearColor);
		context->setDrawMode (kAliasing);
		context->drawRect (r, kDrawFilled);
	}
	context->restoreGlobalState ();
	context->beginDraw ();
	frame->platformDrawRect (context, r);
	context->endDraw ();
	return true;
}

CColor COffscreenPlatformFrame::getPixel (int32_t x, int32_t y) const
{
	return context ? context->getPixel (x, y) : CColor (0, 0, 0, 0);
}

bool COffscreenPlatformFrame::writePNG (UTF8StringPtr path)
{
	render ();
	return context && context->writePNG (path);
}

} // VSTGUI
