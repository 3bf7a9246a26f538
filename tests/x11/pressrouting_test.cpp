// The frame keeps a press with the view that took it until the release, so that the
// view ends what the press began; and the rules by which X11 input becomes the library's
// input (no display needed for either).
#include "gui/cslider.h"

#include "vstgui/lib/cframe.h"
#include "vstgui/lib/controls/icontrollistener.h"
#include "vstgui/lib/platform/irunloop.h"
#include "vstgui/lib/platform/linux/x11input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Xlib's macros come after every other header.
#include <X11/X.h>
#include <X11/keysym.h>

using namespace VSTGUI;

namespace {

struct Recorder : IControlListener
{
	std::vector<std::string> events;
	void valueChanged (CControl*) override { events.push_back ("value"); }
	void controlBeginEdit (CControl*) override { events.push_back ("begin"); }
	void controlEndEdit (CControl*) override { events.push_back ("end"); }
	size_t count (const std::string& what) const
	{
		size_t n = 0;
		for (auto& e : events)
			n += e == what;
		return n;
	}
};

// A view whose answers to moves are chosen by the test.
struct ScriptedView : CView
{
	explicit ScriptedView (const CRect& r) : CView (r) {}
	CMouseEventResult onMouseDown (CPoint&, const CButtonState&) override
	{
		log.push_back ("down");
		return downResult;
	}
	CMouseEventResult onMouseMoved (CPoint&, const CButtonState&) override
	{
		log.push_back ("move");
		return moveResult;
	}
	CMouseEventResult onMouseUp (CPoint&, const CButtonState&) override
	{
		log.push_back ("up");
		return kMouseEventHandled;
	}
	CMouseEventResult onMouseCancel () override
	{
		log.push_back ("cancel");
		return kMouseEventHandled;
	}
	CMouseEventResult downResult {kMouseEventHandled};
	CMouseEventResult moveResult {kMouseEventHandled};
	std::vector<std::string> log;
};

class PressRouting : public ::testing::Test
{
protected:
	void SetUp () override
	{
		setRunLoop (&loop);
		frame = new CFrame (CRect (0, 0, 200, 100), nullptr);
		// The slider sits inside a container, as in an editor's template.
		container = new CViewContainer (CRect (0, 0, 200, 100));
		frame->addView (container);
		ASSERT_TRUE (frame->open (nullptr, PlatformType::kOffscreen));
	}
	void TearDown () override
	{
		frame->close ();
		setRunLoop (nullptr);
	}

	/** A horizontal slider of 100 x 20 at (10, 20) whose handle (20 wide) travels 76 pixels from x = 12. */
	CSlider* addSlider ()
	{
		auto slider = new CSlider (CRect (0, 0, 0, 0), &recorder, 7, 0, 0, nullptr, nullptr);
		slider->setHandleSize (20, 20);
		slider->setOffsetHandle (CPoint (2, 0));
		slider->setViewSize (CRect (10, 20, 110, 40));
		slider->setValueNormalized (0.5f);
		container->addView (slider);
		return slider;
	}

	CMouseEventResult down (CCoord x, int32_t buttons)
	{
		CPoint p (x, 30);
		return frame->platformOnMouseDown (p, CButtonState (buttons));
	}
	CMouseEventResult moved (CCoord x, int32_t buttons)
	{
		CPoint p (x, 30);
		return frame->platformOnMouseMoved (p, CButtonState (buttons));
	}
	CMouseEventResult up (CCoord x, int32_t buttons)
	{
		CPoint p (x, 30);
		return frame->platformOnMouseUp (p, CButtonState (buttons));
	}

	ManualRunLoop loop;
	Recorder recorder;
	CFrame* frame {nullptr};
	CViewContainer* container {nullptr};
};

TEST_F (PressRouting, ASecondButtonDuringASliderDragStillEndsTheEdit)
{
	CSlider* slider = addSlider ();
	EXPECT_EQ (down (60, kLButton), kMouseEventHandled); // on the handle
	EXPECT_EQ (recorder.count ("begin"), 1u);
	// The slider ignores moves with two buttons down ...
	float before = slider->getValue ();
	EXPECT_EQ (moved (40, kLButton | kRButton), kMouseEventNotHandled);
	EXPECT_EQ (slider->getValue (), before);
	// ... and keeps its press: the drag goes on once the second button is up ...
	EXPECT_EQ (moved (40, kLButton), kMouseEventHandled);
	EXPECT_LT (slider->getValue (), before);
	// ... and the release reaches it and ends the edit.
	EXPECT_EQ (up (40, kLButton), kMouseEventHandled);
	EXPECT_EQ (recorder.count ("end"), 1u);
	EXPECT_FALSE (slider->isEditing ());
	EXPECT_EQ (recorder.events.back (), "end");
}

TEST_F (PressRouting, AReleaseWithTheSecondButtonStillDownEndsTheEdit)
{
	CSlider* slider = addSlider ();
	down (60, kLButton);
	moved (70, kLButton | kMButton);
	moved (75, kLButton | kMButton);
	up (75, kLButton | kMButton);
	EXPECT_EQ (recorder.count ("begin"), 1u);
	EXPECT_EQ (recorder.count ("end"), 1u);
	EXPECT_FALSE (slider->isEditing ());
	// nothing is left with the slider: the next move reaches no one
	EXPECT_EQ (moved (80, kLButton), kMouseEventNotHandled);
}

TEST_F (PressRouting, EscapeDuringADragLeavesTheRestOfTheDragToTheSlider)
{
	CSlider* slider = addSlider ();
	float start = slider->getValue ();
	down (60, kLButton);
	moved (90, kLButton);
	EXPECT_NE (slider->getValue (), start);
	VstKeyCode escape {};
	escape.virt = VKEY_ESCAPE;
	frame->setFocusView (slider);
	EXPECT_TRUE (frame->platformOnKeyDown (escape));
	EXPECT_EQ (slider->getValue (), start);
	EXPECT_EQ (recorder.count ("end"), 1u);
	// the rest of the drag is ignored, and the release does nothing more
	EXPECT_EQ (moved (20, kLButton), kMouseEventNotHandled);
	EXPECT_EQ (slider->getValue (), start);
	EXPECT_EQ (up (20, kLButton), kMouseEventHandled);
	EXPECT_EQ (recorder.count ("begin"), 1u);
	EXPECT_EQ (recorder.count ("end"), 1u);
}

TEST_F (PressRouting, OnlyAViewThatWantsNoMoreEventsEndsItsPress)
{
	auto view = new ScriptedView (CRect (0, 0, 50, 50));
	container->addView (view);
	// A press with the given number of moves; what the view was sent.
	auto press = [&] (int moves) {
		CPoint p (10, 10);
		view->log.clear ();
		frame->platformOnMouseDown (p, CButtonState (kLButton));
		for (int i = 0; i < moves; ++i)
			frame->platformOnMouseMoved (p, CButtonState (kLButton));
		frame->platformOnMouseUp (p, CButtonState (kLButton));
		return view->log;
	};
	// answers that keep the press: handled, not handled, not implemented
	for (auto answer : {kMouseEventHandled, kMouseEventNotHandled, kMouseEventNotImplemented})
	{
		view->moveResult = answer;
		EXPECT_EQ (press (2), (std::vector<std::string> {"down", "move", "move", "up"})) << answer;
	}
	// a move that needs no more events ends it
	view->moveResult = kMouseMoveEventHandledButDontNeedMoreEvents;
	EXPECT_EQ (press (2), (std::vector<std::string> {"down", "move"}));
	// so does a press that wants no moves and no release
	view->downResult = kMouseDownEventHandledButDontNeedMovedOrUpEvents;
	EXPECT_EQ (press (1), (std::vector<std::string> {"down"}));
}

//------------------------------------------------------------------------
// X11 input rules
//------------------------------------------------------------------------
TEST (X11Input, ModifierKeysAndButtons)
{
	EXPECT_EQ (X11::modifiersFromState (0), 0);
	EXPECT_EQ (X11::modifiersFromState (ShiftMask), kShift);
	EXPECT_EQ (X11::modifiersFromState (ControlMask), kControl);
	EXPECT_EQ (X11::modifiersFromState (Mod1Mask), kAlt);
	EXPECT_EQ (X11::modifiersFromState (Mod4Mask), kApple);
	// Caps Lock, Num Lock (Mod2) and the buttons' own masks are no modifiers
	EXPECT_EQ (X11::modifiersFromState (LockMask | Mod2Mask | Button1Mask | Button3Mask), 0);
	EXPECT_EQ (X11::modifiersFromState (ShiftMask | ControlMask | Mod1Mask | Mod4Mask), 0xF0);

	EXPECT_EQ (X11::buttonFromX (1), kLButton);
	EXPECT_EQ (X11::buttonFromX (2), kMButton);
	EXPECT_EQ (X11::buttonFromX (3), kRButton);
	EXPECT_EQ (X11::buttonFromX (8), kButton4);
	EXPECT_EQ (X11::buttonFromX (9), kButton5);
	for (unsigned int b : {0u, 4u, 5u, 6u, 7u, 10u})
		EXPECT_EQ (X11::buttonFromX (b), 0) << b;

	CMouseWheelAxis axis = kMouseWheelAxisX;
	float distance = 0.f;
	EXPECT_TRUE (X11::wheelFromX (4, axis, distance));
	EXPECT_EQ (axis, kMouseWheelAxisY);
	EXPECT_EQ (distance, 1.f); // up raises a vertical slider
	EXPECT_TRUE (X11::wheelFromX (5, axis, distance));
	EXPECT_EQ (distance, -1.f);
	EXPECT_TRUE (X11::wheelFromX (6, axis, distance));
	EXPECT_EQ (axis, kMouseWheelAxisX);
	EXPECT_EQ (distance, 1.f); // left lowers a horizontal slider
	EXPECT_TRUE (X11::wheelFromX (7, axis, distance));
	EXPECT_EQ (distance, -1.f);
	EXPECT_FALSE (X11::wheelFromX (1, axis, distance));
	EXPECT_FALSE (X11::wheelFromX (8, axis, distance));
}

TEST (X11Input, KeysBecomeVirtualKeysOrCharacters)
{
	struct Case
	{
		unsigned long keysym;
		unsigned char virt;
	};
	const Case cases[] = {{XK_Left, VKEY_LEFT},     {XK_Up, VKEY_UP},           {XK_Right, VKEY_RIGHT},
	                      {XK_Down, VKEY_DOWN},     {XK_Escape, VKEY_ESCAPE},   {XK_Return, VKEY_RETURN},
	                      {XK_KP_Enter, VKEY_ENTER}, {XK_Tab, VKEY_TAB},         {XK_ISO_Left_Tab, VKEY_TAB},
	                      {XK_BackSpace, VKEY_BACK}, {XK_Delete, VKEY_DELETE},   {XK_Home, VKEY_HOME},
	                      {XK_End, VKEY_END},       {XK_Page_Up, VKEY_PAGEUP},  {XK_Page_Down, VKEY_PAGEDOWN},
	                      {XK_F1, VKEY_F1},         {XK_F12, VKEY_F12},         {XK_KP_0, VKEY_NUMPAD0},
	                      {XK_KP_9, VKEY_NUMPAD9},  {XK_KP_Add, VKEY_ADD},      {XK_Shift_L, VKEY_SHIFT},
	                      {XK_Control_R, VKEY_CONTROL}, {XK_Alt_L, VKEY_ALT},   {XK_KP_Left, VKEY_LEFT}};
	for (const auto& c : cases)
	{
		VstKeyCode code = X11::keyCodeFromX (c.keysym, c.keysym, 0);
		EXPECT_EQ (code.virt, c.virt) << std::hex << c.keysym;
		EXPECT_EQ (code.character, 0) << std::hex << c.keysym;
		EXPECT_EQ (code.modifier, 0);
	}
	// characters come from the symbol after the modifiers
	VstKeyCode a = X11::keyCodeFromX (XK_a, XK_A, ShiftMask);
	EXPECT_EQ (a.virt, 0);
	EXPECT_EQ (a.character, 'A');
	EXPECT_EQ (a.modifier, MODIFIER_SHIFT);
	VstKeyCode space = X11::keyCodeFromX (XK_space, XK_space, 0);
	EXPECT_EQ (space.virt, VKEY_SPACE);
	EXPECT_EQ (space.character, ' ');
	EXPECT_EQ (X11::keyCodeFromX (XK_eacute, XK_eacute, 0).character, 0xE9);
	EXPECT_EQ (X11::keyCodeFromX (0x010020AC, 0x010020AC, 0).character, 0x20AC); // the euro sign
	EXPECT_EQ (X11::keyCodeFromX (XK_Super_L, XK_Super_L, 0).virt, 0);
	EXPECT_EQ (X11::keyCodeFromX (XK_Super_L, XK_Super_L, 0).character, 0);

	// modifiers turn into the same button-state bits as a click with the same keys held
	VstKeyCode all = X11::keyCodeFromX (XK_Up, XK_Up, ShiftMask | ControlMask | Mod1Mask | Mod4Mask);
	EXPECT_EQ (all.modifier, MODIFIER_SHIFT | MODIFIER_ALTERNATE | MODIFIER_CONTROL | MODIFIER_COMMAND);
	for (unsigned int state : {0u, unsigned (ShiftMask), unsigned (ControlMask), unsigned (Mod1Mask), unsigned (Mod4Mask),
	                           unsigned (ShiftMask | Mod1Mask)})
		EXPECT_EQ (mapVstKeyModifier (X11::keyCodeFromX (XK_Up, XK_Up, state).modifier), X11::modifiersFromState (state))
		    << state;
}

TEST (X11Input, DoubleClicks)
{
	X11::DoubleClickDetector detector (400);
	EXPECT_FALSE (detector.onPress (1, 1000, 10, 10));
	EXPECT_TRUE (detector.onPress (1, 1300, 12, 9));   // in time, 2 pixels away
	EXPECT_FALSE (detector.onPress (1, 1400, 12, 9));  // a third press starts anew
	EXPECT_TRUE (detector.onPress (1, 1800, 12, 9));   // exactly the double-click time
	EXPECT_FALSE (detector.onPress (1, 2000, 12, 9));
	EXPECT_FALSE (detector.onPress (1, 2401, 12, 9));  // too late
	EXPECT_FALSE (detector.onPress (1, 2402, 17, 9));  // too far
	EXPECT_FALSE (detector.onPress (3, 2403, 17, 9));  // another button
	EXPECT_FALSE (detector.onPress (1, 2404, 17, 9));
	// the server's clock wraps around
	EXPECT_FALSE (detector.onPress (1, 0xFFFFFF00ul, 5, 5));
	EXPECT_TRUE (detector.onPress (1, 0x00000010ul, 5, 5));
	detector.reset ();
	EXPECT_FALSE (detector.onPress (1, 0x00000020ul, 5, 5));
}

} // namespace
