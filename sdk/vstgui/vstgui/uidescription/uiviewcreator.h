// Helpers that view creators share, and the library's own creators.
#pragma once

#include "iviewcreator.h"
#include "detail/uiviewcreatorattributes.h"
#include "../lib/crect.h"
#include "../lib/ccolor.h"
#include <list>
#include <string>

namespace VSTGUI {
namespace UIViewCreator {

/** "w, h". */
bool parseSize (const std::string& str, CPoint& point);
/** "x, y" with 6 significant digits each. */
bool pointToString (const CPoint& p, std::string& string);
/** The description's name for the bitmap (empty when it has none). */
bool bitmapToString (CBitmap* bitmap, std::string& string, const IUIDescription* desc);
/** The description's name for the colour, else "#rrggbbaa". */
bool colorToString (const CColor& color, std::string& string, const IUIDescription* desc);
/** A colour name, "#rrggbb" or "#rrggbbaa"; false for null or unknown text. */
bool stringToColor (const std::string* value, CColor& color, const IUIDescription* desc);
/** A bitmap name; an empty text gives null and true; false for null or unknown names. */
bool stringToBitmap (const std::string* value, CBitmap*& bitmap, const IUIDescription* desc);
/** Sets mask in style for "true", clears it for any other text; leaves it for null. */
void applyStyleMask (const std::string* value, int32_t mask, int32_t& style);
/** The library's lists: "orientation" gives "horizontal", "vertical". */
bool getStandardAttributeListValues (const std::string& attributeName, std::list<const std::string*>& values);

inline double radiansToDegree (double rad) { return rad * 180. / M_PI; }
inline double degreeToRadians (double deg) { return deg * M_PI / 180.; }

//------------------------------------------------------------------------
// The library's creators. Each is a stateless object; UIViewFactory registers one of
// each the first time its registry is used.
//------------------------------------------------------------------------
struct ViewCreator : ViewCreatorAdapter
{
	IdStringPtr getViewName () const override;
	IdStringPtr getBaseViewName () const override;
	CView* create (const UIAttributes& attributes, const IUIDescription* description) const override;
	bool apply (CView* view, const UIAttributes& attributes, const IUIDescription* description) const override;
	bool getAttributeNames (std::list<std::string>& attributeNames) const override;
	AttrType getAttributeType (const std::string& attributeName) const override;
	bool getAttributeValue (CView* view, const std::string& attributeName, std::string& stringValue,
	                        const IUIDescription* desc) const override;
};

struct ViewContainerCreator : ViewCreatorAdapter
{
	IdStringPtr getViewName () const override;
	IdStringPtr getBaseViewName () const override;
	CView* create (const UIAttributes& attributes, const IUIDescription* description) const override;
	bool apply (CView* view, const UIAttributes& attributes, const IUIDescription* description) const override;
	bool getAttributeNames (std::list<std::string>& attributeNames) const override;
	AttrType getAttributeType (const std::string& attributeName) const override;
	bool getAttributeValue (CView* view, const std::string& attributeName, std::string& stringValue,
	                        const IUIDescription* desc) const override;
	bool getPossibleListValues (const std::string& attributeName,
	                            std::list<const std::string*>& values) const override;
};

/** Abstract in the description: it applies to every control but creates nothing. */
struct ControlCreator : ViewCreatorAdapter
{
	IdStringPtr getViewName () const override;
	IdStringPtr getBaseViewName () const override;
	CView* create (const UIAttributes& attributes, const IUIDescription* description) const override;
	bool apply (CView* view, const UIAttributes& attributes, const IUIDescription* description) const override;
	bool getAttributeNames (std::list<std::string>& attributeNames) const override;
	AttrType getAttributeType (const std::string& attributeName) const override;
	bool getAttributeValue (CView* view, const std::string& attributeName, std::string& stringValue,
	                        const IUIDescription* desc) const override;
};

struct ParamDisplayCreator : ViewCreatorAdapter
{
	IdStringPtr getViewName () const override;
	IdStringPtr getBaseViewName () const override;
	CView* create (const UIAttributes& attributes, const IUIDescription* description) const override;
	bool apply (CView* view, const UIAttributes& attributes, const IUIDescription* description) const override;
	bool getAttributeNames (std::list<std::string>& attributeNames) const override;
	AttrType getAttributeType (const std::string& attributeName) const override;
	bool getAttributeValue (CView* view, const std::string& attributeName, std::string& stringValue,
	                        const IUIDescription* desc) const override;
	bool getPossibleListValues (const std::string& attributeName,
	                            std::list<const std::string*>& values) const override;
};

struct TextLabelCreator : ViewCreatorAdapter
{
	IdStringPtr getViewName () const override;
	IdStringPtr getBaseViewName () const override;
	CView* create (const UIAttributes& attributes, const IUIDescription* description) const override;
	bool apply (CView* view, const UIAttributes& attributes, const IUIDescription* description) const override;
	bool getAttributeNames (std::list<std::string>& attributeNames) const override;
	AttrType getAttributeType (const std::string& attributeName) const override;
	bool getAttributeValue (CView* view, const std::string& attributeName, std::string& stringValue,
	                        const IUIDescription* desc) const override;
	bool getPossibleListValues (const std::string& attributeName,
	                            std::list<const std::string*>& values) const override;
};

struct OnOffButtonCreator : ViewCreatorAdapter
{
	IdStringPtr getViewName () const override;
	IdStringPtr getBaseViewName () const override;
	CView* create (const UIAttributes& attributes, const IUIDescription* description) const override;
};

/** The attributes every knob has; the knob creators derive from it. */
struct KnobBaseCreator : ViewCreatorAdapter
{
	bool apply (CView* view, const UIAttributes& attributes, const IUIDescription* description) const override;
	bool getAttributeNames (std::list<std::string>& attributeNames) const override;
	AttrType getAttributeType (const std::string& attributeName) const override;
	bool getAttributeValue (CView* view, const std::string& attributeName, std::string& stringValue,
	                        const IUIDescription* desc) const override;
};

struct KnobCreator : KnobBaseCreator
{
	IdStringPtr getViewName () const override;
	IdStringPtr getBaseViewName () const override;
	CView* create (const UIAttributes& attributes, const IUIDescription* description) const override;
	bool apply (CView* view, const UIAttributes& attributes, const IUIDescription* description) const override;
	bool getAttributeNames (std::list<std::string>& attributeNames) const override;
	AttrType getAttributeType (const std::string& attributeName) const override;
	bool getAttributeValue (CView* view, const std::string& attributeName, std::string& stringValue,
	                        const IUIDescription* desc) const override;
};

/** Attributes of controls with stacked sub-images. */
struct MultiBitmapControlCreator : ViewCreatorAdapter
{
	bool apply (CView* view, const UIAttributes& attributes, const IUIDescription* description) const override;
	bool getAttributeNames (std::list<std::string>& attributeNames) const override;
	AttrType getAttributeType (const std::string& attributeName) const override;
	bool getAttributeValue (CView* view, const std::string& attributeName, std::string& stringValue,
	                        const IUIDescription* desc) const override;
};

struct VerticalSwitchCreator : MultiBitmapControlCreator
{
	IdStringPtr getViewName () const override;
	IdStringPtr getBaseViewName () const override;
	CView* create (const UIAttributes& attributes, const IUIDescription* description) const override;
	bool apply (CView* view, const UIAttributes& attributes, const IUIDescription* description) const override;
	bool getAttributeNames (std::list<std::string>& attributeNames) const override;
	AttrType getAttributeType (const std::string& attributeName) const override;
	bool getAttributeValue (CView* view, const std::string& attributeName, std::string& stringValue,
	                        const IUIDescription* desc) const override;
};

struct HorizontalSwitchCreator : VerticalSwitchCreator
{
	IdStringPtr getViewName () const override;
	CView* create (const UIAttributes& attributes, const IUIDescription* description) const override;
};

} // UIViewCreator
} // VSTGUI
