#include "sliderviewcreator.h"
#include "cslider.h"

#include "vstgui/lib/cbitmap.h"
#include "vstgui/uidescription/detail/uiviewcreatorattributes.h"
#include "vstgui/uidescription/uiattributes.h"
#include "vstgui/uidescription/uiviewcreator.h"
#include "vstgui/uidescription/uiviewfactory.h"

namespace VSTGUI {
namespace UIViewCreator {

namespace {

constexpr int32_t kNumSliderModes = 6;

/** The mode names, indexed by the CSliderMode value. Built on first use; the list values
 *  handed out by getPossibleListValues point into it. */
const std::string* sliderModeNames ()
{
	static const std::string names[kNumSliderModes] = {"touch",         "relative touch", "free click",
	                                                   "VD free click", "ramp",           "use global"};
	return names;
}

struct DrawStyleAttribute
{
	const std::string* name;
	int32_t bit;
};

const DrawStyleAttribute kDrawStyleAttributes[] = {
    {&kAttrDrawFrame, CSlider::kDrawFrame},
    {&kAttrDrawBack, CSlider::kDrawBack},
    {&kAttrDrawValue, CSlider::kDrawValue},
    {&kAttrDrawValueFromCenter, CSlider::kDrawValueFromCenter},
    {&kAttrDrawValueInverted, CSlider::kDrawInverted}};

} // anonymous

//------------------------------------------------------------------------
bool SliderBaseCreator::apply (CView* view, const UIAttributes& attributes, const IUIDescription*) const
{
	auto slider = dynamic_cast<CSliderBase*> (view);
	if (!slider)
		return false;

	if (auto freeClick = attributes.getAttributeValue (kAttrFreeClick))
		slider->setSliderMode (*freeClick == strTrue ? CSliderMode::FreeClick : CSliderMode::Touch);

	if (auto mode = attributes.getAttributeValue (kAttrMode))
	{
		const std::string* names = sliderModeNames ();
		for (int32_t i = 0; i < kNumSliderModes; ++i)
		{
			if (*mode == names[i])
			{
				slider->setSliderMode (static_cast<CSliderMode> (i));
				break;
			}
		}
	}

	CPoint point;
	if (attributes.getPointAttribute (kAttrHandleOffset, point))
		slider->setOffsetHandle (point);

	double d;
	if (attributes.getDoubleAttribute (kAttrZoomFactor, d))
		slider->setZoomFactor (static_cast<float> (d));

	if (auto orientation = attributes.getAttributeValue (kAttrOrientation))
	{
		int32_t style = slider->getStyle () & ~(CSliderBase::kHorizontal | CSliderBase::kVertical);
		style |= *orientation == strVertical ? CSliderBase::kVertical : CSliderBase::kHorizontal;
		slider->setStyle (style);
	}

	if (auto reverse = attributes.getAttributeValue (kAttrReverseOrientation))
	{
		const bool reversed = *reverse == strTrue;
		int32_t style = slider->getStyle ();
		if (style & CSliderBase::kVertical)
		{
			style &= ~(CSliderBase::kTop | CSliderBase::kBottom);
			style |= reversed ? CSliderBase::kTop : CSliderBase::kBottom;
		}
		else if (style & CSliderBase::kHorizontal)
		{
			style &= ~(CSliderBase::kLeft | CSliderBase::kRight);
			style |= reversed ? CSliderBase::kRight : CSliderBase::kLeft;
		}
		slider->setStyle (style);
	}
	return true;
}

bool SliderBaseCreator::getAttributeNames (std::list<std::string>& attributeNames) const
{
	for (auto* name : {&kAttrMode, &kAttrOrientation, &kAttrReverseOrientation, &kAttrHandleOffset, &kAttrZoomFactor})
		attributeNames.push_back (*name);
	return true;
}

auto SliderBaseCreator::getAttributeType (const std::string& name) const -> AttrType
{
	if (name == kAttrMode)
		return kListType;
	if (name == kAttrHandleOffset)
		return kPointType;
	if (name == kAttrZoomFactor)
		return kFloatType;
	if (name == kAttrOrientation)
		return kListType;
	if (name == kAttrReverseOrientation)
		return kBooleanType;
	return kUnknownType;
}

bool SliderBaseCreator::getAttributeValue (CView* view, const std::string& name, std::string& value,
                                           const IUIDescription*) const
{
	auto slider = dynamic_cast<CSliderBase*> (view);
	if (!slider)
		return false;
	if (name == kAttrMode)
	{
		// Only 0 to 5 can be stored through the description; anything else has no name.
		const auto mode = static_cast<int32_t> (slider->getSliderMode ());
		if (mode < 0 || mode >= kNumSliderModes)
			return false;
		value = sliderModeNames ()[mode];
		return true;
	}
	if (name == kAttrHandleOffset)
	{
		value = UIAttributes::pointToString (slider->getOffsetHandle ());
		return true;
	}
	if (name == kAttrZoomFactor)
	{
		value = UIAttributes::doubleToString (static_cast<double> (slider->getZoomFactor ()));
		return true;
	}
	const int32_t style = slider->getStyle ();
	if (name == kAttrOrientation)
	{
		value = (style & CSliderBase::kVertical) ? strVertical : strHorizontal;
		return true;
	}
	if (name == kAttrReverseOrientation)
	{
		const bool reversed =
		    ((style & CSliderBase::kVertical) && (style & CSliderBase::kTop)) ||
		    ((style & CSliderBase::kHorizontal) && (style & CSliderBase::kRight));
		value = reversed ? strTrue : strFalse;
		return true;
	}
	return false;
}

bool SliderBaseCreator::getPossibleListValues (const std::string& name,
                                               std::list<const std::string*>& values) const
{
	if (name == kAttrOrientation)
		return getStandardAttributeListValues (name, values);
	if (name == kAttrMode)
	{
		const std::string* names = sliderModeNames ();
		for (int32_t i = 0; i < kNumSliderModes; ++i)
			values.push_back (&names[i]);
		return true;
	}
	return false;
}

//------------------------------------------------------------------------
IdStringPtr SliderCreator::getViewName () const { return "CSlider"; }
IdStringPtr SliderCreator::getBaseViewName () const { return "CControl"; }
UTF8StringPtr SliderCreator::getDisplayName () const { return "Slider"; }

CView* SliderCreator::create (const UIAttributes&, const IUIDescription*) const
{
	return new CSlider (CRect (0, 0, 0, 0), nullptr, -1, 0, 0, nullptr, nullptr, CPoint (0, 0),
	                    CSlider::kLeft | CSlider::kHorizontal);
}

bool SliderCreator::apply (CView* view, const UIAttributes& attributes, const IUIDescription* description) const
{
	auto slider = dynamic_cast<CSlider*> (view);
	if (!slider)
		return false;

	CBitmap* bitmap = nullptr;
	if (stringToBitmap (attributes.getAttributeValue (kAttrHandleBitmap), bitmap, description))
		slider->setHandle (bitmap);

	CPoint point;
	if (attributes.getPointAttribute (kAttrBitmapOffset, point))
		slider->setBackgroundOffset (point);

	int32_t drawStyle = slider->getDrawStyle ();
	for (const auto& attribute : kDrawStyleAttributes)
		applyStyleMask (attributes.getAttributeValue (*attribute.name), attribute.bit, drawStyle);
	slider->setDrawStyle (drawStyle);

	double d;
	if (attributes.getDoubleAttribute (kAttrFrameWidth, d))
		slider->setFrameWidth (d);

	CColor color;
	if (stringToColor (attributes.getAttributeValue (kAttrDrawFrameColor), color, description))
		slider->setFrameColor (color);
	if (stringToColor (attributes.getAttributeValue (kAttrDrawBackColor), color, description))
		slider->setBackColor (color);
	if (stringToColor (attributes.getAttributeValue (kAttrDrawValueColor), color, description))
		slider->setValueColor (color);

	return SliderBaseCreator::apply (view, attributes, description);
}

bool SliderCreator::getAttributeNames (std::list<std::string>& attributeNames) const
{
	SliderBaseCreator::getAttributeNames (attributeNames);
	attributeNames.push_back (kAttrHandleBitmap);
	attributeNames.push_back (kAttrBitmapOffset);
	for (const auto& attribute : kDrawStyleAttributes)
		attributeNames.push_back (*attribute.name);
	for (auto* name : {&kAttrFrameWidth, &kAttrDrawFrameColor, &kAttrDrawBackColor, &kAttrDrawValueColor})
		attributeNames.push_back (*name);
	return true;
}

auto SliderCreator::getAttributeType (const std::string& name) const -> AttrType
{
	if (name == kAttrHandleBitmap)
		return kBitmapType;
	if (name == kAttrBitmapOffset)
		return kPointType;
	for (const auto& attribute : kDrawStyleAttributes)
	{
		if (name == *attribute.name)
			return kBooleanType;
	}
	if (name == kAttrFrameWidth)
		return kFloatType;
	if (name == kAttrDrawFrameColor || name == kAttrDrawBackColor || name == kAttrDrawValueColor)
		return kColorType;
	return SliderBaseCreator::getAttributeType (name);
}

bool SliderCreator::getAttributeValue (CView* view, const std::string& name, std::string& value,
                                       const IUIDescription* desc) const
{
	if (auto slider = dynamic_cast<CSlider*> (view))
	{
		if (name == kAttrHandleBitmap)
			return bitmapToString (slider->getHandle (), value, desc);
		if (name == kAttrBitmapOffset)
			return pointToString (slider->getBackgroundOffset (), value);
		for (const auto& attribute : kDrawStyleAttributes)
		{
			if (name == *attribute.name)
			{
				value = UIAttributes::boolToString ((slider->getDrawStyle () & attribute.bit) != 0);
				return true;
			}
		}
		if (name == kAttrFrameWidth)
		{
			value = UIAttributes::doubleToString (slider->getFrameWidth ());
			return true;
		}
		if (name == kAttrDrawFrameColor)
			return colorToString (slider->getFrameColor (), value, desc);
		if (name == kAttrDrawBackColor)
			return colorToString (slider->getBackColor (), value, desc);
		if (name == kAttrDrawValueColor)
			return colorToString (slider->getValueColor (), value, desc);
	}
	return SliderBaseCreator::getAttributeValue (view, name, value, desc);
}

} // UIViewCreator

//------------------------------------------------------------------------
namespace {

const UIViewCreator::SliderCreator& sliderCreator ()
{
	static const UIViewCreator::SliderCreator creator;
	return creator;
}

} // anonymous

void registerSliderViewCreators ()
{
	static const bool registered = [] () {
		UIViewFactory::registerViewCreator (sliderCreator ());
		return true;
	}();
	(void)registered;
}

void setControlModifiers ()
{
	CControl::kZoomModifier = kShift;
	CControl::kDefaultValueModifier = kAlt;
}

namespace {

/** Sets the plug-in's GUI up while the module loads; the module links this archive whole,
 *  so the object is kept. Its creator leaves the factory before it is destroyed. */
struct GuiStartUp
{
	GuiStartUp ()
	{
		setControlModifiers ();
		registerSliderViewCreators ();
	}
	~GuiStartUp () { UIViewFactory::unregisterViewCreator (sliderCreator ()); }
};

const GuiStartUp guiStartUp;

} // anonymous

} // VSTGUI
