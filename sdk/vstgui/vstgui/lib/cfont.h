// Font descriptions. Text is drawn with the platform's font matching
// (fontconfig through Cairo); the library's default family is "DejaVu Sans".
#pragma once

#include "vstguifwd.h"
#include "cstring.h"

namespace VSTGUI {

class CFontDesc : public CBaseObject
{
public:
	CFontDesc (const UTF8String& name = "", const CCoord& size = 0, const int32_t style = 0);
	CFontDesc (const CFontDesc& font);
	~CFontDesc () noexcept override = default;

	const UTF8String& getName () const { return name; }
	const CCoord& getSize () const { return size; }
	const int32_t& getStyle () const { return style; }

	virtual void setName (const UTF8String& newName) { name = newName; }
	virtual void setSize (CCoord newSize) { size = newSize; }
	virtual void setStyle (int32_t newStyle) { style = newStyle; }

	CFontDesc& operator= (const CFontDesc&);
	bool operator== (const CFontDesc&) const;
	bool operator!= (const CFontDesc& f) const { return !(*this == f); }

	/** The family that stands in for the platform's system font. */
	static UTF8StringPtr getDefaultFamily () { return "DejaVu Sans"; }

private:
	UTF8String name;
	CCoord size;
	int32_t style;
};

extern const CFontRef kSystemFont;
extern const CFontRef kNormalFontVeryBig;
extern const CFontRef kNormalFontBig;
extern const CFontRef kNormalFont;
extern const CFontRef kNormalFontSmall;
extern const CFontRef kNormalFontSmaller;
extern const CFontRef kNormalFontVerySmall;
extern const CFontRef kSymbolFont;

} // VSTGUI
