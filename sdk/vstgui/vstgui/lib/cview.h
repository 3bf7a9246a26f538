// The base of every view.
//
// Coordinates: a view's size (getViewSize) is given in the coordinates of its parent
// container, whose own origin is the container's top-left corner. Mouse handlers get
// points in the same coordinates as the view's size.
#pragma once

#include "vstguifwd.h"
#include "crect.h"
#include "ccolor.h"
#include "cbuttonstate.h"
#include "vstkeycode.h"
#include "cbitmap.h"
#include <string>
#include <vector>

namespace VSTGUI {

enum CViewAutosizing : int32_t
{
	kAutosizeNone = 0,
	kAutosizeLeft = 1 << 0,
	kAutosizeTop = 1 << 1,
	kAutosizeRight = 1 << 2,
	kAutosizeBottom = 1 << 3,
	kAutosizeColumn = 1 << 4,
	kAutosizeRow = 1 << 5,
	kAutosizeAll = kAutosizeLeft | kAutosizeTop | kAutosizeRight | kAutosizeBottom
};

class CView : public CBaseObject
{
public:
	explicit CView (const CRect& size);
	/** Copies size, flags and bitmaps; the copy is unattached, has no listeners and no controller. */
	CView (const CView& view);

	// drawing
	virtual void draw (CDrawContext* pContext);
	/** Draws the part of the view inside updateRect (parent coordinates). */
	virtual void drawRect (CDrawContext* pContext, const CRect& updateRect);
	virtual bool checkUpdate (const CRect& updateRect) const { return updateRect.rectOverlap (viewSize); }
	virtual bool isDirty () const { return dirty; }
	virtual void setDirty (bool val = true) { dirty = val; }
	/** Marks the view drawn and asks its frame to redraw its whole area. */
	virtual void invalid ();
	/** Asks the frame to redraw rect (parent coordinates). */
	virtual void invalidRect (const CRect& rect);
	virtual void setVisible (bool state);
	bool isVisible () const { return visible && alphaValue > 0.f; }

	// mouse
	virtual CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons);
	virtual CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons);
	virtual CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons);
	virtual CMouseEventResult onMouseCancel ();
	virtual CMouseEventResult onMouseEntered (CPoint& where, const CButtonState& buttons);
	virtual CMouseEventResult onMouseExited (CPoint& where, const CButtonState& buttons);
	virtual bool onWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
	                      const CButtonState& buttons);
	virtual void setMouseEnabled (bool bEnable = true);
	bool getMouseEnabled () const { return mouseEnabled; }
	void setMouseableArea (const CRect& rect) { mouseableArea = rect; }
	CRect& getMouseableArea (CRect& rect) const
	{
		rect = mouseableArea;
		return rect;
	}
	const CRect& getMouseableArea () const { return mouseableArea; }
	/** Whether where (parent coordinates) hits the view. */
	virtual bool hitTest (const CPoint& where, const CButtonState& buttons = -1);

	// keys: 1 handled, -1 not handled
	virtual int32_t onKeyDown (VstKeyCode& keyCode) { return -1; }
	virtual int32_t onKeyUp (VstKeyCode& keyCode) { return -1; }

	// focus
	virtual void looseFocus ();
	virtual void takeFocus ();
	virtual bool wantsFocus () const { return wantsFocusFlag; }
	virtual void setWantsFocus (bool state) { wantsFocusFlag = state; }

	// hierarchy
	virtual bool attached (CView* parent);
	virtual bool removed (CView* parent);
	bool isAttached () const { return attachedFlag; }
	CView* getParentView () const { return parentView; }
	CFrame* getFrame () const { return parentFrame; }
	virtual CViewContainer* asViewContainer () { return nullptr; }
	virtual const CViewContainer* asViewContainer () const { return nullptr; }

	// size and place
	virtual void setViewSize (const CRect& rect, bool invalid = true);
	const CRect& getViewSize () const { return viewSize; }
	CCoord getWidth () const { return viewSize.getWidth (); }
	CCoord getHeight () const { return viewSize.getHeight (); }
	virtual bool sizeToFit () { return false; }
	/** The part of the view that its ancestors do not clip (parent coordinates). */
	virtual CRect getVisibleViewSize () const;
	virtual void parentSizeChanged () {}
	void setAutosizeFlags (int32_t flags) { autosizeFlags = flags; }
	int32_t getAutosizeFlags () const { return autosizeFlags; }
	/** Converts a point from this view's coordinates (its parent's) to the frame's. */
	CPoint& localToFrame (CPoint& point) const;
	CPoint& frameToLocal (CPoint& point) const;

	// look
	virtual void setBackground (CBitmap* background);
	CBitmap* getBackground () const { return background; }
	virtual void setDisabledBackground (CBitmap* background);
	CBitmap* getDisabledBackground () const { return disabledBackground; }
	/** The disabled background while the mouse is disabled (when there is one), else the background. */
	CBitmap* getDrawBackground () const;
	virtual void setTransparency (bool val);
	bool getTransparency () const { return transparent; }
	virtual void setAlphaValue (float alpha);
	float getAlphaValue () const { return alphaValue; }

	// listeners
	void registerViewListener (IViewListener* listener);
	void unregisterViewListener (IViewListener* listener);

	void setTooltipText (UTF8StringPtr text) { tooltip = text ? text : ""; }
	const std::string& getTooltipText () const { return tooltip; }

	/** Hands a controller to the view, which deletes it (or forgets it, when it is
	 *  reference counted) before its own children go. Replaces and deletes an earlier one. */
	void setViewController (IController* controller);
	IController* getViewController () const { return viewController; }

	CLASS_METHODS (CView, CBaseObject)

protected:
	friend class CViewContainer;
	~CView () noexcept override;
	void beforeDelete () override;
	void notifyViewListeners (void (IViewListener::*func) (CView*));
	void setParentFrame (CFrame* frame) { parentFrame = frame; }
	void setParentView (CView* parent) { parentView = parent; }
	void releaseViewController ();

	CRect viewSize;
	CRect mouseableArea;

private:
	CView* parentView {nullptr};
	CFrame* parentFrame {nullptr};
	SharedPointer<CBitmap> background;
	SharedPointer<CBitmap> disabledBackground;
	std::vector<IViewListener*> viewListeners;
	IController* viewController {nullptr};
	std::string tooltip;
	float alphaValue {1.f};
	int32_t autosizeFlags {kAutosizeNone};
	bool mouseEnabled {true};
	bool transparent {false};
	bool wantsFocusFlag {false};
	bool visible {true};
	bool dirty {false};
	bool attachedFlag {false};
	bool deleting {false};
};

/** The controller a view or its nearest ancestor owns, or null. */
IController* getViewController (const CView* view, bool deep = false);

} // VSTGUI
