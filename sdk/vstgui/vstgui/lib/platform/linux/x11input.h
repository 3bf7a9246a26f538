// How X11 input becomes the library's input: button and modifier bits, wheel steps,
// double clicks and key codes. Kept apart from the window so that the rules can be
// checked without a display.
#pragma once

#include "../../cbuttonstate.h"
#include "../../vstguifwd.h"
#include "../../vstkeycode.h"

#include <cstdint>

namespace VSTGUI {
namespace X11 {

/** Modifier bits (kShift, kControl, kAlt, kApple) of an X event state:
 *  Shift -> kShift, Control -> kControl, Mod1 (Alt) -> kAlt, Mod4 (Super) -> kApple. */
int32_t modifiersFromState (unsigned int state);

/** The library's bit for an X pointer button: 1 left, 2 middle, 3 right, 8 and 9 the
 *  fourth and fifth button; 0 for the wheel buttons 4 to 7 and anything else. */
int32_t buttonFromX (unsigned int button);

/** The wheel step of an X wheel button: 4 up (Y, +1), 5 down (Y, -1), 6 left (X, +1),
 *  7 right (X, -1). False for every other button. */
bool wheelFromX (unsigned int button, CMouseWheelAxis& axis, float& distance);

/** The key code of an X key: keysym is the key's unshifted symbol (it gives the virtual
 *  key), textKeysym the symbol after the modifiers (it gives the character). Modifiers:
 *  Shift -> MODIFIER_SHIFT, Mod1 (Alt) -> MODIFIER_ALTERNATE, Control -> MODIFIER_CONTROL,
 *  Mod4 (Super) -> MODIFIER_COMMAND, so that they turn into the same button-state bits
 *  as a mouse press with the same keys held. */
VstKeyCode keyCodeFromX (unsigned long keysym, unsigned long textKeysym, unsigned int state);

/** Tells the second press of a double click: the same button pressed again within the
 *  double-click time and a few pixels of the first. A third press starts anew. */
class DoubleClickDetector
{
public:
	static constexpr int kMaxDistance = 4;

	explicit DoubleClickDetector (uint32_t timeMs = 400) : timeMs (timeMs) {}
	void setTime (uint32_t ms) { timeMs = ms; }
	uint32_t getTime () const { return timeMs; }
	/** Called for every press; true when this one completes a double click. */
	bool onPress (unsigned int button, unsigned long time, int x, int y);
	void reset () { armed = false; }

private:
	uint32_t timeMs;
	unsigned int lastButton {0};
	unsigned long lastTime {0};
	int lastX {0};
	int lastY {0};
	bool armed {false};
};

} // X11
} // VSTGUI
