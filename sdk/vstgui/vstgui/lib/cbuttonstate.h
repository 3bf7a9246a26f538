// Mouse buttons and modifier keys of an input event.
#pragma once

#include <cstdint>

namespace VSTGUI {

enum CButton : int32_t
{
	kLButton = 1 << 1,
	kMButton = 1 << 2,
	kRButton = 1 << 3,
	kShift = 1 << 4,
	/** Command on macOS, Ctrl elsewhere. */
	kControl = 1 << 5,
	kAlt = 1 << 6,
	/** The Control key on macOS. */
	kApple = 1 << 7,
	kButton4 = 1 << 8,
	kButton5 = 1 << 9,
	kDoubleClick = 1 << 10,
	kMouseWheelInverted = 1 << 11
};

struct CButtonState
{
	static constexpr int32_t kButtonMask = kLButton | kMButton | kRButton | kButton4 | kButton5;
	static constexpr int32_t kModifierMask = kShift | kControl | kAlt | kApple;

	constexpr CButtonState (int32_t state = 0) : state (state) {}
	CButtonState (const CButtonState&) = default;
	CButtonState& operator= (const CButtonState&) = default;

	int32_t getButtonState () const { return state & kButtonMask; }
	int32_t getModifierState () const { return state & kModifierMask; }
	/** The left-button bit is set (other buttons may be down too). */
	bool isLeftButton () const { return (state & kLButton) != 0; }
	bool isRightButton () const { return (state & kRButton) != 0; }
	bool isDoubleClick () const { return (state & kDoubleClick) != 0; }
	/** Of the five buttons only the left one is down. */
	bool isLeftButtonAlone () const { return getButtonState () == kLButton; }

	int32_t operator() () const { return state; }
	CButtonState& operator= (int32_t s)
	{
		state = s;
		return *this;
	}
	CButtonState& operator|= (int32_t s)
	{
		state |= s;
		return *this;
	}
	CButtonState& operator&= (int32_t s)
	{
		state &= s;
		return *this;
	}
	int32_t operator& (int32_t s) const { return state & s; }
	int32_t operator| (int32_t s) const { return state | s; }
	bool operator== (const CButtonState& o) const { return state == o.state; }
	bool operator!= (const CButtonState& o) const { return state != o.state; }
	bool operator== (int32_t s) const { return state == s; }
	bool operator!= (int32_t s) const { return state != s; }
	bool empty () const { return state == 0; }

private:
	int32_t state;
};

} // VSTGUI
