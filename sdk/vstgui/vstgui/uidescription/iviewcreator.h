// View creators: one per view class name of the UI description.
#pragma once

#include "../lib/vstguifwd.h"
#include <list>
#include <string>

namespace VSTGUI {

class IViewCreator
{
public:
	virtual ~IViewCreator () noexcept = default;

	enum AttrType
	{
		kUnknownType = 0,
		kBooleanType = 1,
		kIntegerType = 2,
		kFloatType = 3,
		kStringType = 4,
		kColorType = 5,
		kFontType = 6,
		kBitmapType = 7,
		kPointType = 8,
		kRectType = 9,
		kTagType = 10,
		kListType = 11,
		kGradientType = 12
	};

	/** The class name in the description, e.g. "CKnob". */
	virtual IdStringPtr getViewName () const = 0;
	/** The class whose creator applies its attributes first, e.g. "CControl"; null for none. */
	virtual IdStringPtr getBaseViewName () const = 0;
	/** A new view with default settings (the factory then applies the attributes). */
	virtual CView* create (const UIAttributes& attributes, const IUIDescription* description) const = 0;
	/** Applies this creator's own attributes. */
	virtual bool apply (CView* view, const UIAttributes& attributes, const IUIDescription* description) const = 0;
	virtual bool getAttributeNames (std::list<std::string>& attributeNames) const = 0;
	virtual AttrType getAttributeType (const std::string& attributeName) const = 0;
	virtual bool getAttributeValue (CView* view, const std::string& attributeName, std::string& stringValue,
	                                const IUIDescription* desc) const = 0;
	virtual bool getPossibleListValues (const std::string& attributeName,
	                                    std::list<const std::string*>& values) const = 0;
	virtual bool getAttributeValueRange (const std::string& attributeName, double& minValue,
	                                     double& maxValue) const = 0;
	virtual UTF8StringPtr getDisplayName () const = 0;
};

/** Defaults for IViewCreator: apply and getAttributeNames succeed and do nothing. */
class ViewCreatorAdapter : public IViewCreator
{
public:
	bool apply (CView* view, const UIAttributes& attributes, const IUIDescription* description) const override
	{
		return true;
	}
	bool getAttributeNames (std::list<std::string>& attributeNames) const override { return true; }
	AttrType getAttributeType (const std::string& attributeName) const override { return kUnknownType; }
	bool getAttributeValue (CView* view, const std::string& attributeName, std::string& stringValue,
	                        const IUIDescription* desc) const override
	{
		return false;
	}
	bool getPossibleListValues (const std::string& attributeName,
	                            std::list<const std::string*>& values) const override
	{
		return false;
	}
	bool getAttributeValueRange (const std::string& attributeName, double& minValue,
	                             double& maxValue) const override
	{
		return false;
	}
	UTF8StringPtr getDisplayName () const override { return getViewName (); }
};

} // VSTGUI
