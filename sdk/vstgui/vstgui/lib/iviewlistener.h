// Observers of a view.
#pragma once

#include "vstguifwd.h"

namespace VSTGUI {

class IViewListener
{
public:
	virtual ~IViewListener () noexcept = default;

	virtual void viewSizeChanged (CView* view, const CRect& oldSize) = 0;
	virtual void viewAttached (CView* view) = 0;
	virtual void viewRemoved (CView* view) = 0;
	virtual void viewLostFocus (CView* view) = 0;
	virtual void viewTookFocus (CView* view) = 0;
	/** The view is about to be deleted; it is still whole. */
	virtual void viewWillDelete (CView* view) = 0;
};

/** An IViewListener whose notifications do nothing. */
class ViewListenerAdapter : public IViewListener
{
public:
	void viewSizeChanged (CView* view, const CRect& oldSize) override {}
	void viewAttached (CView* view) override {}
	void viewRemoved (CView* view) override {}
	void viewLostFocus (CView* view) override {}
	void viewTookFocus (CView* view) override {}
	void viewWillDelete (CView* view) override {}
};

/** Observers of a container's children. */
class IViewContainerListener
{
public:
	virtual ~IViewContainerListener () noexcept = default;
	virtual void viewContainerViewAdded (CViewContainer* container, CView* view) = 0;
	virtual void viewContainerViewRemoved (CViewContainer* container, CView* view) = 0;
};

} // VSTGUI
