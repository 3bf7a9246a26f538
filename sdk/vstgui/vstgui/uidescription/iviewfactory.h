// Makes views from description attributes.
#pragma once

#include "../lib/vstguifwd.h"

namespace VSTGUI {

class IViewFactory
{
public:
	virtual ~IViewFactory () noexcept = default;
	/** A view of the class named by the "class" attribute with all attributes applied; null
	 *  when the class has no creator. The caller owns the view. */
	virtual CView* createView (const UIAttributes& attributes, const IUIDescription* description) const = 0;
	/** Applies attributes along the creator chain of the view's class, base classes first;
	 *  then the view lays itself out once more for its size (setViewSize). */
	virtual bool applyAttributeValues (CView* view, const UIAttributes& attributes,
	                                   const IUIDescription* desc) const = 0;
	/** Applies the chain for an explicit class name (for views made by controllers). */
	virtual bool applyAttributeValues (CView* view, IdStringPtr className, const UIAttributes& attributes,
	                                   const IUIDescription* desc) const = 0;
};

} // VSTGUI
