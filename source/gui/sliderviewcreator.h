// The slider's UI-description creators: the base that knows the attributes every slider
// has (with the six mode names, "VD free click" among them), and the creator of the
// description class "CSlider".
#pragma once

#include "vstgui/uidescription/iviewcreator.h"
#include <list>
#include <string>

namespace VSTGUI {
namespace UIViewCreator {

/** "mode", "orientation", "reverse-orientation", "handle-offset", "zoom-factor" (and the
 *  older "free-click", read only) of any CSliderBase. */
class SliderBaseCreator : public ViewCreatorAdapter
{
public:
	bool apply (CView* view, const UIAttributes& attributes, const IUIDescription* description) const override;
	bool getAttributeNames (std::list<std::string>& attributeNames) const override;
	AttrType getAttributeType (const std::string& attributeName) const override;
	bool getAttributeValue (CView* view, const std::string& attributeName, std::string& stringValue,
	                        const IUIDescription* desc) const override;
	bool getPossibleListValues (const std::string& attributeName,
	                            std::list<const std::string*>& values) const override;
};

/** Creates the description class "CSlider" (base class "CControl"). */
class SliderCreator : public SliderBaseCreator
{
public:
	IdStringPtr getViewName () const override;
	IdStringPtr getBaseViewName () const override;
	UTF8StringPtr getDisplayName () const override;
	CView* create (const UIAttributes& attributes, const IUIDescription* description) const override;
	bool apply (CView* view, const UIAttributes& attributes, const IUIDescription* description) const override;
	bool getAttributeNames (std::list<std::string>& attributeNames) const override;
	AttrType getAttributeType (const std::string& attributeName) const override;
	bool getAttributeValue (CView* view, const std::string& attributeName, std::string& stringValue,
	                        const IUIDescription* desc) const override;
};

} // UIViewCreator

/** Registers the "CSlider" creator with the library's view factory. Safe to call more
 *  than once; the plug-in module also calls it while it loads. */
void registerSliderViewCreators ();

/** Gives the controls' library-wide modifiers the plug-in's values: Shift for fine steps,
 *  Option (Alt) alone for the reset to the default value. The module does this while it
 *  loads, before any editor opens. */
void setControlModifiers ();

} // VSTGUI
