// Listeners of a control's value and edits.
#pragma once

#include "../vstguifwd.h"
#include "../cbuttonstate.h"

namespace VSTGUI {

class IControlListener
{
public:
	virtual ~IControlListener () noexcept = default;
	virtual void valueChanged (CControl* pControl) = 0;
	/** Return 1 to take over a modified click (the control then ignores it). */
	virtual int32_t controlModifierClicked (CControl* pControl, CButtonState button) { return 0; }
	virtual void controlBeginEdit (CControl* pControl) {}
	virtual void controlEndEdit (CControl* pControl) {}
	virtual void controlTagWillChange (CControl* pControl) {}
	virtual void controlTagDidChange (CControl* pControl) {}
};

} // VSTGUI
