// Views that draw their own keyboard-focus outline.
#pragma once

#include "vstguifwd.h"

namespace VSTGUI {

class IFocusDrawing
{
public:
	virtual ~IFocusDrawing () noexcept = default;
	virtual bool drawFocusOnTop () = 0;
	virtual bool getFocusPath (CGraphicsPath& outPath) = 0;
};

} // VSTGUI
