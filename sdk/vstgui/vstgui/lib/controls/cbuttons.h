// Buttons.
#pragma once

#include "ccontrol.h"

namespace VSTGUI {

/** A two-state button. With a background bitmap it shows the upper half when off and
 *  the lower half when on; without one it draws a frame that is filled when on. */
class COnOffButton : public CControl
{
public:
	enum Style
	{
		kPreListenerUpdate = 0,
		kPostListenerUpdate = 1
	};

	COnOffButton (const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1,
	              CBitmap* background = nullptr, int32_t style = kPreListenerUpdate);
	COnOffButton (const COnOffButton& onOffButton);

	int32_t getStyle () const { return style; }
	void setStyle (int32_t newStyle) { style = newStyle; }
	/** Switches to the other state, as one complete edit. */
	void toggle ();

	void draw (CDrawContext* pContext) override;
	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	int32_t onKeyDown (VstKeyCode& keyCode) override;
	bool sizeToFit () override;

	CLASS_METHODS (COnOffButton, CControl)

protected:
	~COnOffButton () noexcept override = default;
	int32_t style;
};

} // VSTGUI
