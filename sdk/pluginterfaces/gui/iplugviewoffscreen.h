// IPlugViewOffscreen: this project's own extension of a plug-in view for testing and
// inspection. It is NOT a VST3 interface, and no VST3 host knows it: a host that does not
// ask for it through IPlugView::queryInterface sees no difference at all.
//
// Through it a host program opens the view into an image instead of a window, draws it
// into a buffer of its own, feeds it mouse and wheel input at points, and moves the clock
// of the view's timers by hand. Keys go through IPlugView::onKeyDown/onKeyUp as usual
// (VST virtual key codes and key-modifier bits).
//
// Call order: createView -> [setFrame] -> openOffscreen -> (renderRGBA, onMouseEvent,
// onWheelEvent, advanceTime, IPlugView key calls)* -> removed -> release.
// Coordinates are view pixels (the units of IPlugView::getSize), origin top-left.
#pragma once

#include "pluginterfaces/base/funknown.h"

namespace Steinberg {

class IPlugViewOffscreen : public FUnknown
{
public:
	enum MouseEventType : int32
	{
		kMouseDown = 0,
		kMouseMoved = 1,
		kMouseUp = 2,
		kMouseCancel = 3 // the press under way is abandoned; the point is ignored
	};

	// Bits of the buttons argument: mouse buttons, modifier keys and the double-click flag.
	enum ButtonBits : int32
	{
		kLButton = 1 << 1,
		kMButton = 1 << 2,
		kRButton = 1 << 3,
		kShift = 1 << 4,
		kControl = 1 << 5, // Command on macOS, Ctrl elsewhere
		kAlt = 1 << 6,     // Option
		kApple = 1 << 7,   // the Control key on macOS
		kDoubleClick = 1 << 10
	};

	enum WheelAxis : int32
	{
		kWheelAxisX = 0,
		kWheelAxisY = 1
	};

	// Opens the view into an image of getSize's size, in place of attached(); removed()
	// closes it again. kResultTrue; kResultFalse when the view is already open or cannot
	// be built.
	virtual tresult PLUGIN_API openOffscreen () = 0; // 3

	// Draws what is due and copies the image into buffer: width x height pixels of four
	// bytes (red, green, blue, alpha; not premultiplied), rows top-down, stride bytes from
	// one row to the next. Pixels beyond the view are transparent black. kInvalidArgument
	// for a null buffer, a size below one pixel or a stride below 4 * width; kResultFalse
	// when the view is not open offscreen.
	virtual tresult PLUGIN_API renderRGBA (uint8* buffer, int32 width, int32 height, int32 stride) = 0; // 4

	// A mouse event at (x, y) with the button and modifier bits above. kResultTrue when a
	// view took it, kResultFalse when none did or the view is not open offscreen,
	// kInvalidArgument for an unknown type.
	virtual tresult PLUGIN_API onMouseEvent (int32 type, double x, double y, int32 buttons) = 0; // 5

	// A wheel turn of distance steps on an axis at (x, y). Results as for onMouseEvent.
	virtual tresult PLUGIN_API onWheelEvent (double x, double y, float distance, int32 axis,
	                                         int32 buttons) = 0; // 6

	// Moves the clock of the view's timers forward, running every timer that falls due in
	// time order. kResultFalse when the view is not open offscreen.
	virtual tresult PLUGIN_API advanceTime (uint32 milliseconds) = 0; // 7

	static const FUID iid;
};
DECLARE_CLASS_IID (IPlugViewOffscreen, 0xE9DCA4C6, 0xCEB448B3, 0xB02CAB71, 0xCE6C39C9)

} // namespace Steinberg
