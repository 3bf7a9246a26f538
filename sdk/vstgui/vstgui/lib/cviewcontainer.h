// A view holding child views. Children's sizes are given relative to the
// container's top-left corner. The container owns one reference to each child.
#pragma once

#include "cview.h"
#include "cdrawdefs.h"
#include <vector>

namespace VSTGUI {

/** Options for finding views under a point. */
class GetViewOptions
{
public:
	GetViewOptions () = default;
	GetViewOptions& deep (bool state = true) { deepFlag = state; return *this; }
	GetViewOptions& mouseEnabled (bool state = true) { mouseEnabledFlag = state; return *this; }
	GetViewOptions& includeViewContainer (bool state = true) { containerFlag = state; return *this; }
	GetViewOptions& includeInvisible (bool state = true) { invisibleFlag = state; return *this; }
	bool getDeep () const { return deepFlag; }
	bool getMouseEnabled () const { return mouseEnabledFlag; }
	bool getIncludeViewContainer () const { return containerFlag; }
	bool getIncludeInvisible () const { return invisibleFlag; }

private:
	bool deepFlag {false};
	bool mouseEnabledFlag {false};
	bool containerFlag {false};
	bool invisibleFlag {false};
};

class CViewContainer : public CView
{
public:
	explicit CViewContainer (const CRect& size);
	/** Copies the container and, through newCopy(), its children. */
	CViewContainer (const CViewContainer& container);

	/** Adds a view, taking over the caller's reference. Null or already-parented views are refused. */
	virtual bool addView (CView* pView, CView* pBefore = nullptr);
	virtual bool addView (CView* pView, const CRect& mouseableArea, bool mouseEnabled = true);
	virtual bool removeView (CView* pView, bool withForget = true);
	virtual bool removeAll (bool withForget = true);
	virtual bool changeViewZOrder (CView* view, uint32_t newIndex);
	CView* getView (uint32_t index) const;
	uint32_t getNbViews () const { return static_cast<uint32_t> (children.size ()); }
	bool hasChildren () const { return !children.empty (); }
	bool isChild (CView* pView, bool deep = false) const;
	/** The top-most child (or descendant with deep) under where, given in the container's
	 *  parent coordinates; null when there is none. */
	virtual CView* getViewAt (const CPoint& where, const GetViewOptions& options = GetViewOptions ()) const;

	template <class T>
	uint32_t getChildViewsOfType (std::vector<T*>& result, bool deep = false) const
	{
		for (auto* child : children)
		{
			if (auto t = dynamic_cast<T*> (child))
				result.push_back (t);
			if (deep)
			{
				if (auto c = child->asViewContainer ())
					c->getChildViewsOfType<T> (result, true);
			}
		}
		return static_cast<uint32_t> (result.size ());
	}

	virtual void setBackgroundColor (const CColor& color);
	CColor getBackgroundColor () const { return backgroundColor; }
	virtual void setBackgroundColorDrawStyle (CDrawStyle style);
	CDrawStyle getBackgroundColorDrawStyle () const { return backgroundColorDrawStyle; }
	virtual void setBackgroundOffset (const CPoint& p) { backgroundOffset = p; }
	const CPoint& getBackgroundOffset () const { return backgroundOffset; }
	/** Draws the background into updateRect, in the container's own coordinates. */
	virtual void drawBackgroundRect (CDrawContext* pContext, const CRect& updateRect);

	void draw (CDrawContext* pContext) override;
	void drawRect (CDrawContext* pContext, const CRect& updateRect) override;
	void invalid () override;
	/** rect is in the container's own coordinates. */
	void invalidRect (const CRect& rect) override;
	/** Redraws every descendant that is marked dirty. */
	void invalidateDirtyViews ();

	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseCancel () override;
	bool onWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
	              const CButtonState& buttons) override;
	bool hitTest (const CPoint& where, const CButtonState& buttons = -1) override;

	bool attached (CView* parent) override;
	bool removed (CView* parent) override;
	CViewContainer* asViewContainer () override { return this; }
	const CViewContainer* asViewContainer () const override { return this; }

	void registerViewContainerListener (IViewContainerListener* listener);
	void unregisterViewContainerListener (IViewContainerListener* listener);

	/** The child that receives the moves and the release of the press under way. */
	CView* getMouseDownView () const { return mouseDownView; }

	CLASS_METHODS (CViewContainer, CView)

protected:
	~CViewContainer () noexcept override;
	void beforeDelete () override;
	void setMouseDownView (CView* view) { mouseDownView = view; }
	/** Ends the press under way: the mouse-down view (and so the views below it) is
	 *  cancelled. Every way of losing the mouse-down view but its own release goes here. */
	CMouseEventResult cancelMouseDown ();

	std::vector<CView*> children;

private:
	std::vector<IViewContainerListener*> containerListeners;
	SharedPointer<CView> mouseDownView;
	CColor backgroundColor {kBlackCColor};
	CDrawStyle backgroundColorDrawStyle {kDrawFilledAndStroked};
	CPoint backgroundOffset;
};

} // VSTGUI
