#include "cfont.h"

namespace VSTGUI {

CFontDesc::CFontDesc (const UTF8String& name, const CCoord& size, const int32_t style)
: name (name), size (size), style (style)
{
}

CFontDesc::CFontDesc (const CFontDesc& font)
: CBaseObject (), name (font.name), size (font.size), style (font.style)
{
}

CFontDesc& CFontDesc::operator= (const CFontDesc& f)
{
	setName (f.getName ());
	setSize (f.getSize ());
	setStyle (f.getStyle ());
	return *this;
}

bool CFontDesc::operator== (const CFontDesc& f) const
{
	return name == f.name && size == f.size && style == f.style;
}

namespace {
// The standard fonts are static objects, destroyed with the module: allocating them
// leaked them at every unload. They hold their creation reference for good, so the
// balanced remember/forget of their users never deletes them.
CFontDesc gSystemFont (CFontDesc::getDefaultFamily (), 12);
CFontDesc gNormalFontVeryBig (CFontDesc::getDefaultFamily (), 18);
CFontDesc gNormalFontBig (CFontDesc::getDefaultFamily (), 14);
CFontDesc gNormalFont (CFontDesc::getDefaultFamily (), 12);
CFontDesc gNormalFontSmall (CFontDesc::getDefaultFamily (), 11);
CFontDesc gNormalFontSmaller (CFontDesc::getDefaultFamily (), 10);
CFontDesc gNormalFontVerySmall (CFontDesc::getDefaultFamily (), 9);
CFontDesc gSymbolFont (CFontDesc::getDefaultFamily (), 12);
} // anonymous

const CFontRef kSystemFont = &gSystemFont;
const CFontRef kNormalFontVeryBig = &gNormalFontVeryBig;
const CFontRef kNormalFontBig = &gNormalFontBig;
const CFontRef kNormalFont = &gNormalFont;
const CFontRef kNormalFontSmall = &gNormalFontSmall;
const CFontRef kNormalFontSmaller = &gNormalFontSmaller;
const CFontRef kNormalFontVerySmall = &gNormalFontVerySmall;
const CFontRef kSymbolFont = &gSymbolFont;

} // VSTGUI
