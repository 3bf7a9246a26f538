#include "../uiviewcreator.h"
#include "../uiattributes.h"
#include "../iuidescription.h"
#include "../icontroller.h"
#include "../../lib/cviewcontainer.h"
#include "../../lib/cbitmap.h"
#include "../../lib/cfont.h"
#include "../../lib/controls/ccontrol.h"
#include "../../lib/controls/cparamdisplay.h"
#include "../../lib/controls/ctextlabel.h"
#include "../../lib/controls/cbuttons.h"
#include "../../lib/controls/cknob.h"
#include "../../lib/controls/cswitch.h"
#include <cmath>
#include <cstdlib>

namespace VSTGUI {
namespace UIViewCreator {

//------------------------------------------------------------------------
// helpers
//------------------------------------------------------------------------
bool parseSize (const std::string& str, CPoint& point)
{
	return UIAttributes::stringToPoint (str, point);
}

bool pointToString (const CPoint& p, std::string& string)
{
	string = UIAttributes::pointToString (p);
	return true;
}

bool bitmapToString (CBitmap* bitmap, std::string& string, const IUIDescription* desc)
{
	string.clear ();
	if (!bitmap)
		return true;
	if (desc)
	{
		if (auto name = desc->lookupBitmapName (bitmap))
		{
			string = name;
			return true;
		}
	}
	string = bitmap->getResourceDescription ().name;
	return true;
}

bool colorToString (const CColor& color, std::string& string, const IUIDescription* desc)
{
	if (desc)
	{
		if (auto name = desc->lookupColorName (color))
		{
			string = name;
			return true;
		}
	}
	char buffer[10];
	color.toString (buffer);
	string = buffer;
	return true;
}

bool stringToColor (const std::string* value, CColor& color, const IUIDescription* desc)
{
	if (!value)
		return false;
	if (!value->empty () && (*value)[0] == '#')
		return color.fromString (value->c_str ());
	return desc && desc->getColor (value->c_str (), color);
}

bool stringToBitmap (const std::string* value, CBitmap*& bitmap, const IUIDescription* desc)
{
	if (!value)
		return false;
	if (value->empty ())
	{
		bitmap = nullptr;
		return true;
	}
	if (!desc)
		return false;
	bitmap = desc->getBitmap (value->c_str ());
	return bitmap != nullptr;
}

void applyStyleMask (const std::string* value, int32_t mask, int32_t& style)
{
	if (!value)
		return;
	if (*value == strTrue)
		style |= mask;
	else
		style &= ~mask;
}

bool getStandardAttributeListValues (const std::string& attributeName, std::list<const std::string*>& values)
{
	if (attributeName == kAttrOrientation)
	{
		values.push_back (&strHorizontal);
		values.push_back (&strVertical);
		return true;
	}
	return false;
}

namespace {

bool setColorFrom (const UIAttributes& a, const std::string& name, const IUIDescription* d, CColor& c)
{
	return stringToColor (a.getAttributeValue (name), c, d);
}

std::string doubleText (double v)
{
	return UIAttributes::doubleToString (v);
}

} // anonymous

//------------------------------------------------------------------------
// CView
//------------------------------------------------------------------------
IdStringPtr ViewCreator::getViewName () const { return "CView"; }
IdStringPtr ViewCreator::getBaseViewName () const { return nullptr; }

CView* ViewCreator::create (const UIAttributes&, const IUIDescription*) const
{
	return new CView (CRect (0, 0, 0, 0));
}

bool ViewCreator::apply (CView* view, const UIAttributes& attributes, const IUIDescription* description) const
{
	if (!view)
		return false;
	CRect r (view->getViewSize ());
	CPoint p;
	bool sized = false;
	if (attributes.getPointAttribute (kAttrOrigin, p))
	{
		r.moveTo (p);
		sized = true;
	}
	if (attributes.getPointAttribute (kAttrSize, p))
	{
		r.setWidth (std::max (0., p.x));
		r.setHeight (std::max (0., p.y));
		sized = true;
	}
	if (sized)
	{
		view->setViewSize (r, false);
		view->setMouseableArea (r);
	}

	CBitmap* bitmap = nullptr;
	if (stringToBitmap (attributes.getAttributeValue (kAttrBitmap), bitmap, description))
		view->setBackground (bitmap);
	bitmap = nullptr;
	if (stringToBitmap (attributes.getAttributeValue (kAttrDisabledBitmap), bitmap, description))
		view->setDisabledBackground (bitmap);

	bool b;
	if (attributes.getBooleanAttribute (kAttrTransparent, b))
		view->setTransparency (b);
	if (attributes.getBooleanAttribute (kAttrMouseEnabled, b))
		view->setMouseEnabled (b);
	if (attributes.getBooleanAttribute (kAttrWantsFocus, b))
		view->setWantsFocus (b);
	double d;
	if (attributes.getDoubleAttribute (kAttrOpacity, d))
		view->setAlphaValue (static_cast<float> (d));
	if (auto tooltip = attributes.getAttributeValue (kAttrTooltip))
		view->setTooltipText (tooltip->c_str ());
	if (auto autosize = attributes.getAttributeValue (kAttrAutosize))
	{
		int32_t flags = 0;
		UIAttributes::StringArray words;
		// Words are separated by blanks.
		std::string word;
		for (char c : *autosize + " ")
		{
			if (c == ' ' || c == ',')
			{
				if (word == strLeft)
					flags |= kAutosizeLeft;
				else if (word == strTop)
					flags |= kAutosizeTop;
				else if (word == strRight)
					flags |= kAutosizeRight;
				else if (word == strBottom)
					flags |= kAutosizeBottom;
				else if (word == strRow)
					flags |= kAutosizeRow;
				else if (word == strColumn)
					flags |= kAutosizeColumn;
				word.clear ();
			}
			else
				word += c;
		}
		view->setAutosizeFlags (flags);
	}
	return true;
}

bool ViewCreator::getAttributeNames (std::list<std::string>& n) const
{
	for (auto* s : {&kAttrOrigin, &kAttrSize, &kAttrOpacity, &kAttrTransparent, &kAttrMouseEnabled, &kAttrWantsFocus,
	                &kAttrBitmap, &kAttrDisabledBitmap, &kAttrAutosize, &kAttrTooltip, &kAttrCustomViewName,
	                &kAttrSubController})
		n.push_back (*s);
	return true;
}

auto ViewCreator::getAttributeType (const std::string& name) const -> AttrType
{
	if (name == kAttrOrigin || name == kAttrSize)
		return kPointType;
	if (name == kAttrOpacity)
		return kFloatType;
	if (name == kAttrTransparent || name == kAttrMouseEnabled || name == kAttrWantsFocus)
		return kBooleanType;
	if (name == kAttrBitmap || name == kAttrDisabledBitmap)
		return kBitmapType;
	if (name == kAttrAutosize || name == kAttrTooltip || name == kAttrCustomViewName || name == kAttrSubController)
		return kStringType;
	return kUnknownType;
}

bool ViewCreator::getAttributeValue (CView* view, const std::string& name, std::string& value,
                                     const IUIDescription* desc) const
{
	if (!view)
		return false;
	if (name == kAttrOrigin)
		return pointToString (view->getViewSize ().getTopLeft (), value);
	if (name == kAttrSize)
		return pointToString (view->getViewSize ().getSize (), value);
	if (name == kAttrOpacity)
		value = doubleText (view->getAlphaValue ());
	else if (name == kAttrTransparent)
		value = UIAttributes::boolToString (view->getTransparency ());
	else if (name == kAttrMouseEnabled)
		value = UIAttributes::boolToString (view->getMouseEnabled ());
	else if (name == kAttrWantsFocus)
		value = UIAttributes::boolToString (view->wantsFocus ());
	else if (name == kAttrBitmap)
		return bitmapToString (view->getBackground (), value, desc);
	else if (name == kAttrDisabledBitmap)
		return bitmapToString (view->getDisabledBackground (), value, desc);
	else if (name == kAttrTooltip)
		value = view->getTooltipText ();
	else if (name == kAttrAutosize)
	{
		value.clear ();
		int32_t f = view->getAutosizeFlags ();
		auto add = [&] (int32_t bit, const std::string& word) {
			if (f & bit)
				value += (value.empty () ? "" : " ") + word;
		};
		add (kAutosizeLeft, strLeft);
		add (kAutosizeTop, strTop);
		add (kAutosizeRight, strRight);
		add (kAutosizeBottom, strBottom);
		add (kAutosizeRow, strRow);
		add (kAutosizeColumn, strColumn);
	}
	else
		return false;
	return true;
}

//------------------------------------------------------------------------
// CViewContainer
//------------------------------------------------------------------------
IdStringPtr ViewContainerCreator::getViewName () const { return "CViewContainer"; }
IdStringPtr ViewContainerCreator::getBaseViewName () const { return "CView"; }

CView* ViewContainerCreator::create (const UIAttributes&, const IUIDescription*) const
{
	return new CViewContainer (CRect (0, 0, 100, 100));
}

bool ViewContainerCreator::apply (CView* view, const UIAttributes& attributes,
                                  const IUIDescription* description) const
{
	auto container = view ? view->asViewContainer () : nullptr;
	if (!container)
		return false;
	CColor color;
	if (setColorFrom (attributes, kAttrBackgroundColor, description, color))
		container->setBackgroundColor (color);
	if (auto style = attributes.getAttributeValue (kAttrBackgroundColorDrawStyle))
	{
		if (*style == strStroked)
			container->setBackgroundColorDrawStyle (kDrawStroked);
		else if (*style == strFilled)
			container->setBackgroundColorDrawStyle (kDrawFilled);
		else
			container->setBackgroundColorDrawStyle (kDrawFilledAndStroked);
	}
	return true;
}

bool ViewContainerCreator::getAttributeNames (std::list<std::string>& n) const
{
	n.push_back (kAttrBackgroundColor);
	n.push_back (kAttrBackgroundColorDrawStyle);
	return true;
}

auto ViewContainerCreator::getAttributeType (const std::string& name) const -> AttrType
{
	if (name == kAttrBackgroundColor)
		return kColorType;
	if (name == kAttrBackgroundColorDrawStyle)
		return kListType;
	return kUnknownType;
}

bool ViewContainerCreator::getAttributeValue (CView* view, const std::string& name, std::string& value,
                                              const IUIDescription* desc) const
{
	auto container = view ? view->asViewContainer () : nullptr;
	if (!container)
		return false;
	if (name == kAttrBackgroundColor)
		return colorToString (container->getBackgroundColor (), value, desc);
	if (name == kAttrBackgroundColorDrawStyle)
	{
		switch (container->getBackgroundColorDrawStyle ())
		{
			case kDrawStroked: value = strStroked; break;
			case kDrawFilled: value = strFilled; break;
			case kDrawFilledAndStroked: value = strFilledAndStroked; break;
		}
		return true;
	}
	return false;
}

bool ViewContainerCreator::getPossibleListValues (const std::string& name,
                                                  std::list<const std::string*>& values) const
{
	if (name != kAttrBackgroundColorDrawStyle)
		return false;
	values.push_back (&strStroked);
	values.push_back (&strFilled);
	values.push_back (&strFilledAndStroked);
	return true;
}

//------------------------------------------------------------------------
// CControl
//------------------------------------------------------------------------
IdStringPtr ControlCreator::getViewName () const { return "CControl"; }
IdStringPtr ControlCreator::getBaseViewName () const { return "CView"; }

CView* ControlCreator::create (const UIAttributes&, const IUIDescription*) const
{
	return nullptr;
}

bool ControlCreator::apply (CView* view, const UIAttributes& attributes, const IUIDescription* description) const
{
	auto control = dynamic_cast<CControl*> (view);
	if (!control)
		return false;
	double d;
	if (attributes.getDoubleAttribute (kAttrMinValue, d))
		control->setMin (static_cast<float> (d));
	if (attributes.getDoubleAttribute (kAttrMaxValue, d))
		control->setMax (static_cast<float> (d));
	if (attributes.getDoubleAttribute (kAttrDefaultValue, d))
		control->setDefaultValue (static_cast<float> (d));
	if (attributes.getDoubleAttribute (kAttrWheelIncValue, d))
		control->setWheelInc (static_cast<float> (d));
	control->bounceValue ();

	auto tagText = attributes.getAttributeValue (kAttrControlTag);
	if (tagText && !tagText->empty ())
	{
		// A name from the control-tags section, else a literal number.
		int32_t tag = description ? description->getTagForName (tagText->c_str ()) : -1;
		if (tag == -1)
		{
			int32_t literal;
			if (UIAttributes::stringToInteger (*tagText, literal))
				tag = literal;
		}
		if (tag != -1)
		{
			if (description)
				control->setListener (description->getControlListener (tagText->c_str ()));
			control->setTag (tag);
		}
	}
	return true;
}

bool ControlCreator::getAttributeNames (std::list<std::string>& n) const
{
	for (auto* s : {&kAttrControlTag, &kAttrDefaultValue, &kAttrMinValue, &kAttrMaxValue, &kAttrWheelIncValue})
		n.push_back (*s);
	return true;
}

auto ControlCreator::getAttributeType (const std::string& name) const -> AttrType
{
	if (name == kAttrControlTag)
		return kTagType;
	if (name == kAttrDefaultValue || name == kAttrMinValue || name == kAttrMaxValue || name == kAttrWheelIncValue)
		return kFloatType;
	return kUnknownType;
}

bool ControlCreator::getAttributeValue (CView* view, const std::string& name, std::string& value,
                                        const IUIDescription* desc) const
{
	auto control = dynamic_cast<CControl*> (view);
	if (!control)
		return false;
	if (name == kAttrControlTag)
	{
		if (desc)
		{
			if (auto tagName = desc->lookupControlTagName (control->getTag ()))
			{
				value = tagName;
				return true;
			}
		}
		value = UIAttributes::integerToString (control->getTag ());
	}
	else if (name == kAttrDefaultValue)
		value = doubleText (control->getDefaultValue ());
	else if (name == kAttrMinValue)
		value = doubleText (control->getMin ());
	else if (name == kAttrMaxValue)
		value = doubleText (control->getMax ());
	else if (name == kAttrWheelIncValue)
		value = doubleText (control->getWheelInc ());
	else
		return false;
	return true;
}

//------------------------------------------------------------------------
// CParamDisplay
//------------------------------------------------------------------------
IdStringPtr ParamDisplayCreator::getViewName () const { return "CParamDisplay"; }
IdStringPtr ParamDisplayCreator::getBaseViewName () const { return "CControl"; }

CView* ParamDisplayCreator::create (const UIAttributes&, const IUIDescription*) const
{
	return new CParamDisplay (CRect (0, 0, 100, 20));
}

bool ParamDisplayCreator::apply (CView* view, const UIAttributes& attributes,
                                 const IUIDescription* description) const
{
	auto display = dynamic_cast<CParamDisplay*> (view);
	if (!display)
		return false;
	if (auto fontName = attributes.getAttributeValue (kAttrFont))
	{
		if (description)
		{
			if (auto font = description->getFont (fontName->c_str ()))
				display->setFont (font);
		}
	}
	CColor color;
	if (setColorFrom (attributes, kAttrFontColor, description, color))
		display->setFontColor (color);
	if (setColorFrom (attributes, kAttrBackColor, description, color))
		display->setBackColor (color);
	if (setColorFrom (attributes, kAttrFrameColor, description, color))
		display->setFrameColor (color);
	if (setColorFrom (attributes, kAttrShadowColor, description, color))
		display->setShadowColor (color);
	CPoint p;
	if (attributes.getPointAttribute (kAttrTextInset, p))
		display->setTextInset (p);
	if (attributes.getPointAttribute (kAttrTextShadowOffset, p))
		display->setShadowTextOffset (p);
	if (attributes.getPointAttribute (kAttrBackgroundOffset, p))
		display->setBackOffset (p);
	bool b;
	if (attributes.getBooleanAttribute (kAttrFontAntialias, b))
		display->setAntialias (b);
	if (auto align = attributes.getAttributeValue (kAttrTextAlignment))
	{
		if (*align == strLeft)
			display->setHoriAlign (kLeftText);
		else if (*align == strRight)
			display->setHoriAlign (kRightText);
		else
			display->setHoriAlign (kCenterText);
	}
	double d;
	if (attributes.getDoubleAttribute (kAttrRoundRectRadius, d))
		display->setRoundRectRadius (d);
	if (attributes.getDoubleAttribute (kAttrFrameWidth, d))
		display->setFrameWidth (d);
	if (attributes.getDoubleAttribute (kAttrTextRotation, d))
		display->setTextRotation (d);
	if (attributes.getDoubleAttribute (kAttrValuePrecision, d))
		display->setPrecision (static_cast<uint8_t> (std::min (std::max (d, 0.), 15.)));

	int32_t style = display->getStyle ();
	applyStyleMask (attributes.getAttributeValue (kAttrStyle3DIn), k3DIn, style);
	applyStyleMask (attributes.getAttributeValue (kAttrStyle3DOut), k3DOut, style);
	applyStyleMask (attributes.getAttributeValue (kAttrStyleNoFrame), kNoFrame, style);
	applyStyleMask (attributes.getAttributeValue (kAttrStyleNoText), kNoTextStyle, style);
	applyStyleMask (attributes.getAttributeValue (kAttrStyleNoDraw), kNoDrawStyle, style);
	applyStyleMask (attributes.getAttributeValue (kAttrStyleShadowText), kShadowText, style);
	applyStyleMask (attributes.getAttributeValue (kAttrStyleRoundRect), kRoundRectStyle, style);
	display->setStyle (style);
	return true;
}

bool ParamDisplayCreator::getAttributeNames (std::list<std::string>& n) const
{
	for (auto* s : {&kAttrFont, &kAttrFontColor, &kAttrBackColor, &kAttrFrameColor, &kAttrShadowColor,
	                &kAttrRoundRectRadius, &kAttrFrameWidth, &kAttrTextAlignment, &kAttrTextInset,
	                &kAttrTextShadowOffset, &kAttrValuePrecision, &kAttrBackgroundOffset, &kAttrFontAntialias,
	                &kAttrStyle3DIn, &kAttrStyle3DOut, &kAttrStyleNoFrame, &kAttrStyleNoText, &kAttrStyleNoDraw,
	                &kAttrStyleShadowText, &kAttrStyleRoundRect, &kAttrTextRotation})
		n.push_back (*s);
	return true;
}

auto ParamDisplayCreator::getAttributeType (const std::string& name) const -> AttrType
{
	if (name == kAttrFont)
		return kFontType;
	if (name == kAttrFontColor || name == kAttrBackColor || name == kAttrFrameColor || name == kAttrShadowColor)
		return kColorType;
	if (name == kAttrRoundRectRadius || name == kAttrFrameWidth || name == kAttrTextRotation)
		return kFloatType;
	if (name == kAttrValuePrecision)
		return kIntegerType;
	if (name == kAttrTextAlignment)
		return kListType;
	if (name == kAttrTextInset || name == kAttrTextShadowOffset || name == kAttrBackgroundOffset)
		return kPointType;
	if (name == kAttrFontAntialias || name == kAttrStyle3DIn || name == kAttrStyle3DOut ||
	    name == kAttrStyleNoFrame || name == kAttrStyleNoText || name == kAttrStyleNoDraw ||
	    name == kAttrStyleShadowText || name == kAttrStyleRoundRect)
		return kBooleanType;
	return kUnknownType;
}

bool ParamDisplayCreator::getAttributeValue (CView* view, const std::string& name, std::string& value,
                                             const IUIDescription* desc) const
{
	auto display = dynamic_cast<CParamDisplay*> (view);
	if (!display)
		return false;
	auto styleBit = [&] (int32_t bit) { value = UIAttributes::boolToString ((display->getStyle () & bit) != 0); };
	if (name == kAttrFont)
	{
		auto fontName = desc ? desc->lookupFontName (display->getFont ()) : nullptr;
		if (!fontName)
			return false;
		value = fontName;
	}
	else if (name == kAttrFontColor)
		return colorToString (display->getFontColor (), value, desc);
	else if (name == kAttrBackColor)
		return colorToString (display->getBackColor (), value, desc);
	else if (name == kAttrFrameColor)
		return colorToString (display->getFrameColor (), value, desc);
	else if (name == kAttrShadowColor)
		return colorToString (display->getShadowColor (), value, desc);
	else if (name == kAttrRoundRectRadius)
		value = doubleText (display->getRoundRectRadius ());
	else if (name == kAttrFrameWidth)
		value = doubleText (display->getFrameWidth ());
	else if (name == kAttrTextRotation)
		value = doubleText (display->getTextRotation ());
	else if (name == kAttrValuePrecision)
		value = UIAttributes::integerToString (display->getPrecision ());
	else if (name == kAttrTextInset)
		return pointToString (display->getTextInset (), value);
	else if (name == kAttrTextShadowOffset)
		return pointToString (display->getShadowTextOffset (), value);
	else if (name == kAttrBackgroundOffset)
		return pointToString (display->getBackOffset (), value);
	else if (name == kAttrFontAntialias)
		value = UIAttributes::boolToString (display->getAntialias ());
	else if (name == kAttrTextAlignment)
		value = display->getHoriAlign () == kLeftText ? strLeft
		                                              : (display->getHoriAlign () == kRightText ? strRight : strCenter);
	else if (name == kAttrStyle3DIn)
		styleBit (k3DIn);
	else if (name == kAttrStyle3DOut)
		styleBit (k3DOut);
	else if (name == kAttrStyleNoFrame)
		styleBit (kNoFrame);
	else if (name == kAttrStyleNoText)
		styleBit (kNoTextStyle);
	else if (name == kAttrStyleNoDraw)
		styleBit (kNoDrawStyle);
	else if (name == kAttrStyleShadowText)
		styleBit (kShadowText);
	else if (name == kAttrStyleRoundRect)
		styleBit (kRoundRectStyle);
	else
		return false;
	return true;
}

bool ParamDisplayCreator::getPossibleListValues (const std::string& name,
                                                 std::list<const std::string*>& values) const
{
	if (name != kAttrTextAlignment)
		return false;
	values.push_back (&strLeft);
	values.push_back (&strCenter);
	values.push_back (&strRight);
	return true;
}

//------------------------------------------------------------------------
// CTextLabel
//------------------------------------------------------------------------
IdStringPtr TextLabelCreator::getViewName () const { return "CTextLabel"; }
IdStringPtr TextLabelCreator::getBaseViewName () const { return "CParamDisplay"; }

CView* TextLabelCreator::create (const UIAttributes&, const IUIDescription*) const
{
	return new CTextLabel (CRect (0, 0, 100, 20));
}

bool TextLabelCreator::apply (CView* view, const UIAttributes& attributes, const IUIDescription*) const
{
	auto label = dynamic_cast<CTextLabel*> (view);
	if (!label)
		return false;
	if (auto title = attributes.getAttributeValue (kAttrTitle))
	{
		// The two characters '\' 'n' stand for a line break.
		std::string text;
		text.reserve (title->size ());
		for (size_t i = 0; i < title->size (); ++i)
		{
			if ((*title)[i] == '\\' && i + 1 < title->size () && (*title)[i + 1] == 'n')
			{
				text += '\n';
				++i;
			}
			else
				text += (*title)[i];
		}
		label->setText (UTF8String (std::move (text)));
	}
	if (auto mode = attributes.getAttributeValue (kAttrTruncateMode))
	{
		if (*mode == strHead)
			label->setTextTruncateMode (CTextLabel::kTruncateHead);
		else if (*mode == strTail)
			label->setTextTruncateMode (CTextLabel::kTruncateTail);
		else
			label->setTextTruncateMode (CTextLabel::kTruncateNone);
	}
	return true;
}

bool TextLabelCreator::getAttributeNames (std::list<std::string>& n) const
{
	n.push_back (kAttrTitle);
	n.push_back (kAttrTruncateMode);
	return true;
}

auto TextLabelCreator::getAttributeType (const std::string& name) const -> AttrType
{
	if (name == kAttrTitle)
		return kStringType;
	if (name == kAttrTruncateMode)
		return kListType;
	return kUnknownType;
}

bool TextLabelCreator::getAttributeValue (CView* view, const std::string& name, std::string& value,
                                          const IUIDescription*) const
{
	auto label = dynamic_cast<CTextLabel*> (view);
	if (!label)
		return false;
	if (name == kAttrTitle)
	{
		value.clear ();
		for (char c : label->getText ().getString ())
		{
			if (c == '\n')
				value += "\\n";
			else
				value += c;
		}
		return true;
	}
	if (name == kAttrTruncateMode)
	{
		switch (label->getTextTruncateMode ())
		{
			case CTextLabel::kTruncateHead: value = strHead; break;
			case CTextLabel::kTruncateTail: value = strTail; break;
			default: value = strNone; break;
		}
		return true;
	}
	return false;
}

bool TextLabelCreator::getPossibleListValues (const std::string& name, std::list<const std::string*>& values) const
{
	if (name != kAttrTruncateMode)
		return false;
	values.push_back (&strNone);
	values.push_back (&strHead);
	values.push_back (&strTail);
	return true;
}

//------------------------------------------------------------------------
// COnOffButton
//------------------------------------------------------------------------
IdStringPtr OnOffButtonCreator::getViewName () const { return "COnOffButton"; }
IdStringPtr OnOffButtonCreator::getBaseViewName () const { return "CControl"; }

CView* OnOffButtonCreator::create (const UIAttributes&, const IUIDescription*) const
{
	return new COnOffButton (CRect (0, 0, 20, 20), nullptr, -1, nullptr);
}

//------------------------------------------------------------------------
// knobs
//------------------------------------------------------------------------
bool KnobBaseCreator::apply (CView* view, const UIAttributes& attributes, const IUIDescription*) const
{
	auto knob = dynamic_cast<CKnobBase*> (view);
	if (!knob)
		return false;
	double d;
	if (attributes.getDoubleAttribute (kAttrAngleStart, d))
		knob->setStartAngle (static_cast<float> (degreeToRadians (d)));
	if (attributes.getDoubleAttribute (kAttrAngleRange, d))
		knob->setRangeAngle (static_cast<float> (degreeToRadians (d)));
	if (attributes.getDoubleAttribute (kAttrValueInset, d))
		knob->setInsetValue (d);
	if (attributes.getDoubleAttribute (kAttrZoomFactor, d))
		knob->setZoomFactor (static_cast<float> (d));
	return true;
}

bool KnobBaseCreator::getAttributeNames (std::list<std::string>& n) const
{
	for (auto* s : {&kAttrAngleStart, &kAttrAngleRange, &kAttrValueInset, &kAttrZoomFactor})
		n.push_back (*s);
	return true;
}

auto KnobBaseCreator::getAttributeType (const std::string& name) const -> AttrType
{
	if (name == kAttrAngleStart || name == kAttrAngleRange || name == kAttrValueInset || name == kAttrZoomFactor)
		return kFloatType;
	return kUnknownType;
}

bool KnobBaseCreator::getAttributeValue (CView* view, const std::string& name, std::string& value,
                                         const IUIDescription*) const
{
	auto knob = dynamic_cast<CKnobBase*> (view);
	if (!knob)
		return false;
	if (name == kAttrAngleStart)
		value = doubleText (radiansToDegree (knob->getStartAngle ()));
	else if (name == kAttrAngleRange)
		value = doubleText (radiansToDegree (knob->getRangeAngle ()));
	else if (name == kAttrValueInset)
		value = doubleText (knob->getInsetValue ());
	else if (name == kAttrZoomFactor)
		value = doubleText (knob->getZoomFactor ());
	else
		return false;
	return true;
}

IdStringPtr KnobCreator::getViewName () const { return "CKnob"; }
IdStringPtr KnobCreator::getBaseViewName () const { return "CControl"; }

CView* KnobCreator::create (const UIAttributes&, const IUIDescription*) const
{
	return new CKnob (CRect (0, 0, 70, 70), nullptr, -1, nullptr, nullptr);
}

namespace {
struct KnobStyleAttr
{
	const std::string* name;
	int32_t bit;
};
const KnobStyleAttr kKnobStyleAttrs[] = {
    {&kAttrCircleDrawing, CKnob::kHandleCircleDrawing}, {&kAttrCoronaDrawing, CKnob::kCoronaDrawing},
    {&kAttrCoronaOutline, CKnob::kCoronaOutline},       {&kAttrCoronaFromCenter, CKnob::kCoronaFromCenter},
    {&kAttrCoronaInverted, CKnob::kCoronaInverted},     {&kAttrCoronaDashDot, CKnob::kCoronaLineDashDot},
    {&kAttrCoronaLineCapButt, CKnob::kCoronaLineCapButt}, {&kAttrSkipHandleDrawing, CKnob::kSkipHandleDrawing}};
} // anonymous

bool KnobCreator::apply (CView* view, const UIAttributes& attributes, const IUIDescription* description) const
{
	auto knob = dynamic_cast<CKnob*> (view);
	if (!knob || !KnobBaseCreator::apply (view, attributes, description))
		return false;
	int32_t style = knob->getDrawStyle ();
	for (const auto& a : kKnobStyleAttrs)
		applyStyleMask (attributes.getAttributeValue (*a.name), a.bit, style);
	knob->setDrawStyle (style);
	double d;
	if (attributes.getDoubleAttribute (kAttrCoronaInset, d))
		knob->setCoronaInset (d);
	if (attributes.getDoubleAttribute (kAttrHandleLineWidth, d))
		knob->setHandleLineWidth (d);
	if (attributes.getDoubleAttribute (kAttrCoronaOutlineWidthAdd, d))
		knob->setCoronaOutlineWidthAdd (d);
	CColor color;
	if (setColorFrom (attributes, kAttrCoronaColor, description, color))
		knob->setCoronaColor (color);
	if (setColorFrom (attributes, kAttrHandleShadowColor, description, color))
		knob->setColorShadowHandle (color);
	if (setColorFrom (attributes, kAttrHandleColor, description, color))
		knob->setColorHandle (color);
	UIAttributes::StringArray lengths;
	if (attributes.getStringArrayAttribute (kAttrCoronaDashDotLengths, lengths))
	{
		std::vector<CCoord> values;
		for (const auto& l : lengths)
		{
			double v;
			if (UIAttributes::stringToDouble (l, v) && v > 0.)
				values.push_back (v);
		}
		knob->setCoronaDashDotLengths (values);
	}
	CBitmap* bitmap = nullptr;
	if (stringToBitmap (attributes.getAttributeValue (kAttrHandleBitmap), bitmap, description))
		knob->setHandleBitmap (bitmap);
	return true;
}

bool KnobCreator::getAttributeNames (std::list<std::string>& n) const
{
	KnobBaseCreator::getAttributeNames (n);
	for (const auto& a : kKnobStyleAttrs)
		n.push_back (*a.name);
	for (auto* s : {&kAttrCoronaInset, &kAttrCoronaColor, &kAttrHandleShadowColor, &kAttrHandleColor,
	                &kAttrHandleLineWidth, &kAttrCoronaOutlineWidthAdd, &kAttrCoronaDashDotLengths,
	                &kAttrHandleBitmap})
		n.push_back (*s);
	return true;
}

auto KnobCreator::getAttributeType (const std::string& name) const -> AttrType
{
	for (const auto& a : kKnobStyleAttrs)
	{
		if (name == *a.name)
			return kBooleanType;
	}
	if (name == kAttrCoronaInset || name == kAttrHandleLineWidth || name == kAttrCoronaOutlineWidthAdd)
		return kFloatType;
	if (name == kAttrCoronaColor || name == kAttrHandleShadowColor || name == kAttrHandleColor)
		return kColorType;
	if (name == kAttrCoronaDashDotLengths)
		return kStringType;
	if (name == kAttrHandleBitmap)
		return kBitmapType;
	return KnobBaseCreator::getAttributeType (name);
}

bool KnobCreator::getAttributeValue (CView* view, const std::string& name, std::string& value,
                                     const IUIDescription* desc) const
{
	auto knob = dynamic_cast<CKnob*> (view);
	if (!knob)
		return false;
	for (const auto& a : kKnobStyleAttrs)
	{
		if (name == *a.name)
		{
			value = UIAttributes::boolToString ((knob->getDrawStyle () & a.bit) != 0);
			return true;
		}
	}
	if (name == kAttrCoronaInset)
		value = doubleText (knob->getCoronaInset ());
	else if (name == kAttrHandleLineWidth)
		value = doubleText (knob->getHandleLineWidth ());
	else if (name == kAttrCoronaOutlineWidthAdd)
		value = doubleText (knob->getCoronaOutlineWidthAdd ());
	else if (name == kAttrCoronaColor)
		return colorToString (knob->getCoronaColor (), value, desc);
	else if (name == kAttrHandleShadowColor)
		return colorToString (knob->getColorShadowHandle (), value, desc);
	else if (name == kAttrHandleColor)
		return colorToString (knob->getColorHandle (), value, desc);
	else if (name == kAttrHandleBitmap)
		return bitmapToString (knob->getHandleBitmap (), value, desc);
	else if (name == kAttrCoronaDashDotLengths)
	{
		UIAttributes::StringArray parts;
		for (auto v : knob->getCoronaDashDotLengths ())
			parts.push_back (doubleText (v));
		value = UIAttributes::stringArrayToString (parts);
	}
	else
		return KnobBaseCreator::getAttributeValue (view, name, value, desc);
	return true;
}

//------------------------------------------------------------------------
// switches
//------------------------------------------------------------------------
bool MultiBitmapControlCreator::apply (CView* view, const UIAttributes& attributes, const IUIDescription*) const
{
	auto control = dynamic_cast<IMultiBitmapControl*> (view);
	if (!control)
		return false;
	double d;
	if (attributes.getDoubleAttribute (kAttrHeightOfOneImage, d) && d > 0.)
		control->setHeightOfOneImage (d);
	else
		control->autoComputeHeightOfOneImage ();
	int32_t i;
	if (attributes.getIntegerAttribute (kAttrSubPixmaps, i) && i > 0)
		control->setNumSubPixmaps (i);
	return true;
}

bool MultiBitmapControlCreator::getAttributeNames (std::list<std::string>& n) const
{
	n.push_back (kAttrHeightOfOneImage);
	n.push_back (kAttrSubPixmaps);
	return true;
}

auto MultiBitmapControlCreator::getAttributeType (const std::string& name) const -> AttrType
{
	if (name == kAttrHeightOfOneImage)
		return kFloatType;
	if (name == kAttrSubPixmaps)
		return kIntegerType;
	return kUnknownType;
}

bool MultiBitmapControlCreator::getAttributeValue (CView* view, const std::string& name, std::string& value,
                                                   const IUIDescription*) const
{
	auto control = dynamic_cast<IMultiBitmapControl*> (view);
	if (!control)
		return false;
	if (name == kAttrHeightOfOneImage)
		value = doubleText (control->getHeightOfOneImage ());
	else if (name == kAttrSubPixmaps)
		value = UIAttributes::integerToString (control->getNumSubPixmaps ());
	else
		return false;
	return true;
}

IdStringPtr VerticalSwitchCreator::getViewName () const { return "CVerticalSwitch"; }
IdStringPtr VerticalSwitchCreator::getBaseViewName () const { return "CControl"; }

CView* VerticalSwitchCreator::create (const UIAttributes&, const IUIDescription*) const
{
	return new CVerticalSwitch (CRect (0, 0, 0, 0), nullptr, -1, nullptr);
}

bool VerticalSwitchCreator::apply (CView* view, const UIAttributes& attributes,
                                   const IUIDescription* description) const
{
	auto sw = dynamic_cast<CSwitchBase*> (view);
	if (!sw || !MultiBitmapControlCreator::apply (view, attributes, description))
		return false;
	bool b;
	if (attributes.getBooleanAttribute (kAttrInverseBitmap, b))
		sw->setInverseBitmap (b);
	return true;
}

bool VerticalSwitchCreator::getAttributeNames (std::list<std::string>& n) const
{
	MultiBitmapControlCreator::getAttributeNames (n);
	n.push_back (kAttrInverseBitmap);
	return true;
}

auto VerticalSwitchCreator::getAttributeType (const std::string& name) const -> AttrType
{
	if (name == kAttrInverseBitmap)
		return kBooleanType;
	return MultiBitmapControlCreator::getAttributeType (name);
}

bool VerticalSwitchCreator::getAttributeValue (CView* view, const std::string& name, std::string& value,
                                               const IUIDescription* desc) const
{
	auto sw = dynamic_cast<CSwitchBase*> (view);
	if (!sw)
		return false;
	if (name == kAttrInverseBitmap)
	{
		value = UIAttributes::boolToString (sw->getInverseBitmap ());
		return true;
	}
	return MultiBitmapControlCreator::getAttributeValue (view, name, value, desc);
}

IdStringPtr HorizontalSwitchCreator::getViewName () const { return "CHorizontalSwitch"; }

CView* HorizontalSwitchCreator::create (const UIAttributes&, const IUIDescription*) const
{
	return new CHorizontalSwitch (CRect (0, 0, 0, 0), nullptr, -1, nullptr);
}

} // UIViewCreator
} // VSTGUI
