#include "ctextlabel.h"
#include "../cdrawcontext.h"
#include <vector>

namespace VSTGUI {

CTextLabel::CTextLabel (const CRect& size, UTF8StringPtr txt, CBitmap* background, const int32_t style)
: CParamDisplay (size, background, style)
{
	setText (UTF8String (txt));
}

CTextLabel::CTextLabel (const CTextLabel& v)
: CParamDisplay (v), textTruncateMode (v.textTruncateMode), text (v.text), truncatedText (v.truncatedText)
{
}

void CTextLabel::setText (const UTF8String& txt)
{
	if (text == txt)
		return;
	text = txt;
	truncatedText = text;
	setDirty (true);
	if (isAttached ())
		invalid ();
}

void CTextLabel::setTextTruncateMode (TextTruncateMode mode)
{
	if (textTruncateMode == mode)
		return;
	textTruncateMode = mode;
	setDirty (true);
}

void CTextLabel::calculateTruncatedText (CDrawContext* context)
{
	truncatedText = text;
	if (textTruncateMode == kTruncateNone || text.empty () || !context)
		return;
	context->setFont (fontID);
	const CCoord width = getWidth () - textInset.x * 2.;
	if (context->getStringWidth (text) <= width)
		return;
	// Drop whole UTF-8 characters from one end until the text and ".." fit.
	std::string s = text.getString ();
	while (!s.empty ())
	{
		if (textTruncateMode == kTruncateTail)
		{
			size_t pos = s.size () - 1;
			while (pos > 0 && (static_cast<unsigned char> (s[pos]) & 0xC0) == 0x80)
				--pos;
			s.erase (pos);
		}
		else
		{
			size_t len = 1;
			while (len < s.size () && (static_cast<unsigned char> (s[len]) & 0xC0) == 0x80)
				++len;
			s.erase (0, len);
		}
		std::string candidate = textTruncateMode == kTruncateTail ? s + ".." : ".." + s;
		if (context->getStringWidth (candidate.c_str ()) <= width || s.empty ())
		{
			truncatedText = candidate;
			return;
		}
	}
}

void CTextLabel::draw (CDrawContext* pContext)
{
	if (style & kNoDrawStyle)
	{
		setDirty (false);
		return;
	}
	drawBack (pContext);
	calculateTruncatedText (pContext);
	const std::string& s = truncatedText.getString ();
	if (s.find ('\n') == std::string::npos)
		drawPlatformText (pContext, s.c_str ());
	else
	{
		// Several lines share the height equally.
		std::vector<std::string> lines;
		size_t start = 0;
		while (true)
		{
			size_t nl = s.find ('\n', start);
			lines.push_back (s.substr (start, nl == std::string::npos ? std::string::npos : nl - start));
			if (nl == std::string::npos)
				break;
			start = nl + 1;
		}
		CRect r (getViewSize ());
		CCoord h = r.getHeight () / static_cast<CCoord> (lines.size ());
		for (size_t i = 0; i < lines.size (); ++i)
		{
			CRect lineRect (r.left, r.top + h * i, r.right, r.top + h * (i + 1));
			drawPlatformText (pContext, lines[i].c_str (), lineRect);
		}
	}
	setDirty (false);
}

bool CTextLabel::sizeToFit ()
{
	if (!fontID)
		return false;
	auto context = COffscreenContext::create (CPoint (1, 1));
	if (!context)
		return false;
	context->setFont (fontID);
	CCoord width = context->getStringWidth (text);
	if (!(width > 0.))
		return false;
	CRect r (getViewSize ());
	r.setWidth (width + textInset.x * 2. + 2.);
	setViewSize (r);
	setMouseableArea (r);
	return true;
}

} // VSTGUI
