#include "x11input.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include <cstdlib>

namespace VSTGUI {
namespace X11 {

int32_t modifiersFromState (unsigned int state)
{
	int32_t bits = 0;
	if (state & ShiftMask)
		bits |= kShift;
	if (state & ControlMask)
		bits |= kControl;
	if (state & Mod1Mask)
		bits |= kAlt;
	if (state & Mod4Mask)
		bits |= kApple;
	return bits;
}

int32_t buttonFromX (unsigned int button)
{
	switch (button)
	{
		case 1: return kLButton;
		case 2: return kMButton;
		case 3: return kRButton;
		case 8: return kButton4;
		case 9: return kButton5;
		default: return 0;
	}
}

bool wheelFromX (unsigned int button, CMouseWheelAxis& axis, float& distance)
{
	switch (button)
	{
		case 4: axis = kMouseWheelAxisY; distance = 1.f; return true;
		case 5: axis = kMouseWheelAxisY; distance = -1.f; return true;
		case 6: axis = kMouseWheelAxisX; distance = 1.f; return true;
		case 7: axis = kMouseWheelAxisX; distance = -1.f; return true;
		default: return false;
	}
}

namespace {

unsigned char virtualKey (unsigned long keysym)
{
	if (keysym >= XK_F1 && keysym <= XK_F12)
		return static_cast<unsigned char> (VKEY_F1 + (keysym - XK_F1));
	if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
		return static_cast<unsigned char> (VKEY_NUMPAD0 + (keysym - XK_KP_0));
	switch (keysym)
	{
		case XK_BackSpace: return VKEY_BACK;
		case XK_Tab:
		case XK_ISO_Left_Tab: return VKEY_TAB;
		case XK_Clear: return VKEY_CLEAR;
		case XK_Return: return VKEY_RETURN;
		case XK_Pause: return VKEY_PAUSE;
		case XK_Escape: return VKEY_ESCAPE;
		case XK_space: return VKEY_SPACE;
		case XK_End:
		case XK_KP_End: return VKEY_END;
		case XK_Home:
		case XK_KP_Home: return VKEY_HOME;
		case XK_Left:
		case XK_KP_Left: return VKEY_LEFT;
		case XK_Up:
		case XK_KP_Up: return VKEY_UP;
		case XK_Right:
		case XK_KP_Right: return VKEY_RIGHT;
		case XK_Down:
		case XK_KP_Down: return VKEY_DOWN;
		case XK_Page_Up:
		case XK_KP_Page_Up: return VKEY_PAGEUP;
		case XK_Page_Down:
		case XK_KP_Page_Down: return VKEY_PAGEDOWN;
		case XK_Select: return VKEY_SELECT;
		case XK_Print: return VKEY_PRINT;
		case XK_KP_Enter: return VKEY_ENTER;
		case XK_Insert:
		case XK_KP_Insert: return VKEY_INSERT;
		case XK_Delete:
		case XK_KP_Delete: return VKEY_DELETE;
		case XK_Help: return VKEY_HELP;
		case XK_KP_Multiply: return VKEY_MULTIPLY;
		case XK_KP_Add: return VKEY_ADD;
		case XK_KP_Separator: return VKEY_SEPARATOR;
		case XK_KP_Subtract: return VKEY_SUBTRACT;
		case XK_KP_Decimal: return VKEY_DECIMAL;
		case XK_KP_Divide: return VKEY_DIVIDE;
		case XK_KP_Equal: return VKEY_EQUALS;
		case XK_Num_Lock: return VKEY_NUMLOCK;
		case XK_Scroll_Lock: return VKEY_SCROLL;
		case XK_Shift_L:
		case XK_Shift_R: return VKEY_SHIFT;
		case XK_Control_L:
		case XK_Control_R: return VKEY_CONTROL;
		case XK_Alt_L:
		case XK_Alt_R:
		case XK_Meta_L:
		case XK_Meta_R: return VKEY_ALT;
		default: return 0;
	}
}

int32_t characterOf (unsigned long keysym)
{
	// Latin-1 symbols are their own code points; newer symbols carry theirs with 0x01000000.
	if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF))
		return static_cast<int32_t> (keysym);
	if ((keysym & 0xFF000000ul) == 0x01000000ul)
	{
		unsigned long cp = keysym & 0x00FFFFFFul;
		if (cp >= 0x20 && cp <= 0x10FFFF)
			return static_cast<int32_t> (cp);
	}
	return 0;
}

} // namespace

VstKeyCode keyCodeFromX (unsigned long keysym, unsigned long textKeysym, unsigned int state)
{
	VstKeyCode code {};
	code.virt = virtualKey (keysym);
	if (code.virt == 0 || code.virt == VKEY_SPACE)
		code.character = characterOf (textKeysym ? textKeysym : keysym);
	if (state & ShiftMask)
		code.modifier |= MODIFIER_SHIFT;
	if (state & Mod1Mask)
		code.modifier |= MODIFIER_ALTERNATE;
	if (state & ControlMask)
		code.modifier |= MODIFIER_CONTROL;
	if (state & Mod4Mask)
		code.modifier |= MODIFIER_COMMAND;
	return code;
}

bool DoubleClickDetector::onPress (unsigned int button, unsigned long time, int x, int y)
{
	// X server time is a 32-bit millisecond clock that wraps.
	bool isDouble = armed && button == lastButton && static_cast<uint32_t> (time - lastTime) <= timeMs &&
	                std::abs (x - lastX) <= kMaxDistance && std::abs (y - lastY) <= kMaxDistance;
	armed = !isDouble;
	lastButton = button;
	lastTime = time;
	lastX = x;
	lastY = y;
	return isDouble;
}

} // X11
} // VSTGUI
