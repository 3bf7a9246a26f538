// What views and view creators can ask of a UI description.
#pragma once

#include "../lib/vstguifwd.h"
#include <list>
#include <string>

namespace VSTGUI {

class IUIDescription
{
public:
	virtual ~IUIDescription () noexcept = default;

	/** The bitmap of that name (owned by the description), or null. */
	virtual CBitmap* getBitmap (UTF8StringPtr name) const = 0;
	virtual CFontDesc* getFont (UTF8StringPtr name) const = 0;
	/** A colour by name, or by "#rrggbb" / "#rrggbbaa" text. */
	virtual bool getColor (UTF8StringPtr name, CColor& color) const = 0;
	/** The tag of a control-tag name after the controller's say; -1 if unknown. */
	virtual int32_t getTagForName (UTF8StringPtr name) const = 0;
	virtual IControlListener* getControlListener (UTF8StringPtr name) const = 0;
	/** The controller active for the views being built. */
	virtual IController* getController () const = 0;

	virtual UTF8StringPtr lookupColorName (const CColor& color) const = 0;
	virtual UTF8StringPtr lookupFontName (const CFontDesc* font) const = 0;
	virtual UTF8StringPtr lookupBitmapName (const CBitmap* bitmap) const = 0;
	virtual UTF8StringPtr lookupControlTagName (const int32_t tag) const = 0;

	virtual bool getVariable (UTF8StringPtr name, double& value) const = 0;
	virtual bool getVariable (UTF8StringPtr name, std::string& value) const = 0;

	virtual void collectTemplateViewNames (std::list<const std::string*>& names) const = 0;
	virtual void collectColorNames (std::list<const std::string*>& names) const = 0;
	virtual void collectFontNames (std::list<const std::string*>& names) const = 0;
	virtual void collectBitmapNames (std::list<const std::string*>& names) const = 0;
	virtual void collectControlTagNames (std::list<const std::string*>& names) const = 0;

	virtual const IViewFactory* getViewFactory () const = 0;
	/** The attributes of a template, or null. */
	virtual const UIAttributes* getViewAttributes (UTF8StringPtr name) const = 0;
	/** Builds a template; the caller owns the returned view. Null on failure. */
	virtual CView* createView (UTF8StringPtr name, IController* controller) const = 0;

	static IdStringPtr kCustomViewName;
};

} // VSTGUI
