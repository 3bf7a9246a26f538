// A text label: a parameter display that shows its own text instead of a value.
#pragma once

#include "cparamdisplay.h"
#include "../cstring.h"

namespace VSTGUI {

class CTextLabel : public CParamDisplay
{
public:
	enum TextTruncateMode
	{
		kTruncateNone = 0,
		kTruncateHead,
		kTruncateTail
	};

	CTextLabel (const CRect& size, UTF8StringPtr txt = nullptr, CBitmap* background = nullptr,
	            const int32_t style = 0);
	CTextLabel (const CTextLabel& textLabel);

	virtual void setText (const UTF8String& txt);
	virtual const UTF8String& getText () const { return text; }
	virtual void setTextTruncateMode (TextTruncateMode mode);
	TextTruncateMode getTextTruncateMode () const { return textTruncateMode; }
	/** The text as drawn at the last draw (shortened with ".." when truncating). */
	const UTF8String& getTruncatedText () const { return truncatedText; }

	void draw (CDrawContext* pContext) override;
	bool sizeToFit () override;

	CLASS_METHODS (CTextLabel, CParamDisplay)

protected:
	~CTextLabel () noexcept override = default;
	void calculateTruncatedText (CDrawContext* context);

	TextTruncateMode textTruncateMode {kTruncateNone};
	UTF8String text;
	UTF8String truncatedText;
};

} // VSTGUI
