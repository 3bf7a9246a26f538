#include "cparamdisplay.h"
#include "../cdrawcontext.h"
#include <cmath>
#include <cstdio>

namespace VSTGUI {

CParamDisplay::CParamDisplay (const CRect& size, CBitmap* background, int32_t style)
: CControl (size, nullptr, -1, background), style (style), fontID (kNormalFont)
{
	setWantsFocus (false);
}

CParamDisplay::CParamDisplay (const CParamDisplay& v)
: CControl (v), valueToString (v.valueToString), valueToString2 (v.valueToString2),
  horiTxtAlign (v.horiTxtAlign), style (v.style), valuePrecision (v.valuePrecision), fontID (v.fontID),
  fontColor (v.fontColor), backColor (v.backColor), frameColor (v.frameColor), shadowColor (v.shadowColor),
  textInset (v.textInset), shadowTextOffset (v.shadowTextOffset), backOffset (v.backOffset),
  roundRectRadius (v.roundRectRadius), frameWidth (v.frameWidth), textRotation (v.textRotation),
  antialias (v.antialias)
{
}

void CParamDisplay::setFont (CFontRef font)
{
	if (!font || fontID.get () == font)
		return;
	fontID = font;
	setDirty (true);
}

void CParamDisplay::setFontColor (CColor color)
{
	if (fontColor != color)
	{
		fontColor = color;
		setDirty (true);
	}
}

void CParamDisplay::setBackColor (CColor color)
{
	if (backColor != color)
	{
		backColor = color;
		setDirty (true);
	}
}

void CParamDisplay::setFrameColor (CColor color)
{
	if (frameColor != color)
	{
		frameColor = color;
		setDirty (true);
	}
}

void CParamDisplay::setShadowColor (CColor color)
{
	if (shadowColor != color)
	{
		shadowColor = color;
		setDirty (true);
	}
}

void CParamDisplay::setShadowTextOffset (const CPoint& offset)
{
	if (shadowTextOffset != offset)
	{
		shadowTextOffset = offset;
		setDirty (true);
	}
}

void CParamDisplay::setHoriAlign (CHoriTxtAlign hAlign)
{
	if (horiTxtAlign != hAlign)
	{
		horiTxtAlign = hAlign;
		setDirty (true);
	}
}

void CParamDisplay::setTextInset (const CPoint& p)
{
	if (textInset != p)
	{
		textInset = p;
		setDirty (true);
	}
}

void CParamDisplay::setRoundRectRadius (const CCoord& radius)
{
	if (roundRectRadius != radius)
	{
		roundRectRadius = radius;
		setDirty (true);
	}
}

void CParamDisplay::setFrameWidth (const CCoord& width)
{
	if (frameWidth != width)
	{
		frameWidth = width;
		setDirty (true);
	}
}

void CParamDisplay::setStyle (int32_t val)
{
	if (style != val)
	{
		style = val;
		setDirty (true);
	}
}

void CParamDisplay::setPrecision (uint8_t precision)
{
	if (valuePrecision != precision)
	{
		valuePrecision = precision;
		setDirty (true);
	}
}

void CParamDisplay::setValueToStringFunction (const ValueToStringFunction& func)
{
	valueToString = func;
	setDirty (true);
}

void CParamDisplay::setValueToStringFunction2 (const ValueToStringFunction2& func)
{
	valueToString2 = func;
	setDirty (true);
}

std::string CParamDisplay::getValueString (float v)
{
	if (valueToString2)
	{
		std::string result;
		if (valueToString2 (v, result, this))
			return result;
	}
	if (valueToString)
	{
		char buffer[256] = {0};
		if (valueToString (v, buffer, this))
		{
			buffer[255] = 0;
			return buffer;
		}
	}
	char buffer[64];
	std::snprintf (buffer, sizeof (buffer), "%.*f", static_cast<int> (std::min<uint8_t> (valuePrecision, 15)),
	               static_cast<double> (v));
	return buffer;
}

void CParamDisplay::draw (CDrawContext* pContext)
{
	if (style & kNoDrawStyle)
	{
		setDirty (false);
		return;
	}
	std::string text = getValueString (value);
	drawBack (pContext);
	drawPlatformText (pContext, text.c_str ());
	setDirty (false);
}

void CParamDisplay::drawBack (CDrawContext* pContext, CBitmap* newBack)
{
	pContext->setDrawMode (kAliasing);
	CBitmap* back = newBack ? newBack : getDrawBackground ();
	if (back)
	{
		pContext->drawBitmap (back, getViewSize (), backOffset);
	}
	else if (!getTransparency ())
	{
		pContext->setFillColor (backColor);
		pContext->setFrameColor (frameColor);
		pContext->setLineWidth (frameWidth);
		pContext->setLineStyle (kLineSolid);
		bool frame = !(style & (kNoFrame | k3DIn | k3DOut));
		if (style & kRoundRectStyle)
		{
			pContext->setDrawMode (kAntiAliasing);
			if (auto path = owned (pContext->createGraphicsPath ()))
			{
				CRect r (getViewSize ());
				r.inset (frameWidth / 2., frameWidth / 2.);
				path->addRoundRect (r, roundRectRadius);
				pContext->drawGraphicsPath (path, CDrawContext::kPathFilled);
				if (frame)
					pContext->drawGraphicsPath (path, CDrawContext::kPathStroked);
			}
			else
				pContext->drawRect (getViewSize (), frame ? kDrawFilledAndStroked : kDrawFilled);
		}
		else
			pContext->drawRect (getViewSize (), frame ? kDrawFilledAndStroked : kDrawFilled);
	}
	if (style & (k3DIn | k3DOut))
	{
		// A bevel: light on one pair of edges, dark on the other.
		CRect r (getViewSize ());
		r.right -= 1;
		r.bottom -= 1;
		pContext->setDrawMode (kAliasing);
		pContext->setLineWidth (1);
		pContext->setFrameColor ((style & k3DIn) ? kBlackCColor : kWhiteCColor);
		pContext->drawLine (CPoint (r.left, r.bottom), CPoint (r.left, r.top));
		pContext->drawLine (CPoint (r.left, r.top), CPoint (r.right, r.top));
		pContext->setFrameColor ((style & k3DIn) ? kWhiteCColor : kBlackCColor);
		pContext->drawLine (CPoint (r.right, r.top), CPoint (r.right, r.bottom));
		pContext->drawLine (CPoint (r.right, r.bottom), CPoint (r.left, r.bottom));
	}
}

void CParamDisplay::drawPlatformText (CDrawContext* pContext, UTF8StringPtr string)
{
	drawPlatformText (pContext, string, getViewSize ());
}

void CParamDisplay::drawPlatformText (CDrawContext* pContext, UTF8StringPtr string, const CRect& size)
{
	if ((style & kNoTextStyle) || !string || !*string)
		return;
	CRect textRect (size);
	textRect.inset (textInset.x, textInset.y);
	pContext->setFont (fontID);
	if (style & kShadowText)
	{
		CRect shadowRect (textRect);
		shadowRect.offset (shadowTextOffset.x, shadowTextOffset.y);
		pContext->setFontColor (shadowColor);
		pContext->drawString (string, shadowRect, horiTxtAlign, antialias);
	}
	pContext->setFontColor (fontColor);
	pContext->drawString (string, textRect, horiTxtAlign, antialias);
}

} // VSTGUI
