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
// The standard fonts live for the whole process and are never released.
CFontDesc* makeStandardFont (CCoord size)
{
	return new CFontDesc (CFontDesc::getDefaultFamily (), size);
}
} // anonymous

const CFontRef kSystemFont = makeStandardFont (12);
const CFontRef kNormalFontVeryBig = makeStandardFont (18);
const CFontRef kNormalFontBig = makeStandardFont (14);
const CFontRef kNormalFont = makeStandardFont (12);
const CFontRef kNormalFontSmall = makeStandardFont (11);
const CFontRef kNormalFontSmaller = makeStandardFont (10);
const CFontRef kNormalFontVerySmall = makeStandardFont (9);
const CFontRef kSymbolFont = makeStandardFont (12);

} // VSTGUI
