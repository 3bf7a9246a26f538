// Shows a control's value as text.
#pragma once

#include "ccontrol.h"
#include "../cfont.h"
#include <functional>
#include <string>

namespace VSTGUI {

enum CParamDisplayStyle : int32_t
{
	kShadowText = 1 << 0,
	k3DIn = 1 << 1,
	k3DOut = 1 << 2,
	kNoTextStyle = 1 << 3,
	kNoDrawStyle = 1 << 4,
	kRoundRectStyle = 1 << 5,
	kNoFrame = 1 << 6
};

class CParamDisplay : public CControl
{
public:
	CParamDisplay (const CRect& size, CBitmap* background = nullptr, int32_t style = 0);
	CParamDisplay (const CParamDisplay& paramDisplay);

	virtual void setFont (CFontRef fontID);
	CFontRef getFont () const { return fontID; }
	virtual void setFontColor (CColor color);
	CColor getFontColor () const { return fontColor; }
	virtual void setBackColor (CColor color);
	CColor getBackColor () const { return backColor; }
	virtual void setFrameColor (CColor color);
	CColor getFrameColor () const { return frameColor; }
	virtual void setShadowColor (CColor color);
	CColor getShadowColor () const { return shadowColor; }
	virtual void setShadowTextOffset (const CPoint& offset);
	CPoint getShadowTextOffset () const { return shadowTextOffset; }
	virtual void setAntialias (bool state) { antialias = state; }
	bool getAntialias () const { return antialias; }
	virtual void setHoriAlign (CHoriTxtAlign hAlign);
	CHoriTxtAlign getHoriAlign () const { return horiTxtAlign; }
	virtual void setTextInset (const CPoint& p);
	CPoint getTextInset () const { return textInset; }
	/** Stored for the description; text is drawn unrotated. */
	virtual void setTextRotation (double angle) { textRotation = angle; }
	double getTextRotation () const { return textRotation; }
	virtual void setRoundRectRadius (const CCoord& radius);
	CCoord getRoundRectRadius () const { return roundRectRadius; }
	virtual void setFrameWidth (const CCoord& width);
	CCoord getFrameWidth () const { return frameWidth; }
	virtual void setStyle (int32_t val);
	int32_t getStyle () const { return style; }
	/** Decimals of the default value text. */
	virtual void setPrecision (uint8_t precision);
	uint8_t getPrecision () const { return valuePrecision; }
	virtual void setBackOffset (const CPoint& offset) { backOffset = offset; }
	const CPoint& getBackOffset () const { return backOffset; }

	using ValueToStringFunction = std::function<bool (float value, char utf8String[256], CParamDisplay* display)>;
	void setValueToStringFunction (const ValueToStringFunction& func);
	using ValueToStringFunction2 = std::function<bool (float value, std::string& result, CParamDisplay* display)>;
	void setValueToStringFunction2 (const ValueToStringFunction2& func);
	/** The text the display shows for a value. */
	std::string getValueString (float value);

	void draw (CDrawContext* pContext) override;

	CLASS_METHODS (CParamDisplay, CControl)

protected:
	~CParamDisplay () noexcept override = default;
	virtual void drawBack (CDrawContext* pContext, CBitmap* newBack = nullptr);
	virtual void drawPlatformText (CDrawContext* pContext, UTF8StringPtr string);
	void drawPlatformText (CDrawContext* pContext, UTF8StringPtr string, const CRect& size);

	ValueToStringFunction valueToString;
	ValueToStringFunction2 valueToString2;
	CHoriTxtAlign horiTxtAlign {kCenterText};
	int32_t style;
	uint8_t valuePrecision {2};
	SharedPointer<CFontDesc> fontID;
	CColor fontColor {kWhiteCColor};
	CColor backColor {kBlackCColor};
	CColor frameColor {kBlackCColor};
	CColor shadowColor {kRedCColor};
	CPoint textInset;
	CPoint shadowTextOffset {1., 1.};
	CPoint backOffset;
	CCoord roundRectRadius {6.};
	CCoord frameWidth {1.};
	double textRotation {0.};
	bool antialias {true};
};

} // VSTGUI
