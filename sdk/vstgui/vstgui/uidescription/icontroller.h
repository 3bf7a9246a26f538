// The controller behind a UI description's views.
#pragma once

#include "../lib/controls/icontrollistener.h"

namespace VSTGUI {

class IController : public IControlListener
{
public:
	/** The tag for a control-tag name; registeredTag is what the description says (-1 if nothing). */
	virtual int32_t getTagForName (UTF8StringPtr name, int32_t registeredTag) const { return registeredTag; }
	/** The listener for controls with this control-tag name. */
	virtual IControlListener* getControlListener (UTF8StringPtr controlTagName) { return this; }
	/** A view of the controller's own for a "custom-view-name"; null to let the library make it. */
	virtual CView* createView (const UIAttributes& attributes, const IUIDescription* description)
	{
		return nullptr;
	}
	/** Sees every view built while the controller is active; returns the view to use. */
	virtual CView* verifyView (CView* view, const UIAttributes& attributes, const IUIDescription* description)
	{
		return view;
	}
	/** A controller for the views below a "sub-controller" attribute; the library owns it. */
	virtual IController* createSubController (UTF8StringPtr name, const IUIDescription* description)
	{
		return nullptr;
	}
};

} // VSTGUI
