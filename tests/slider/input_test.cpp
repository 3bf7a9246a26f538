// Slider input: presses in every mode, the reset click, drags and fine drags, the ramp,
// the wheel, the keys, Escape and the edit bracketing that reaches the listener.
//
// The test slider (see slidertesthelpers.h) has a 76-pixel travel starting at x = 12 and
// a 20-pixel handle; at the value v the handle starts at 12 + 76 v. A centring press at x
// gives the value (x - 21) / 76, which puts the handle's centre at x + 1.
#include "slidertesthelpers.h"
#include <gtest/gtest.h>

using namespace VSTGUI;
using namespace SliderTest;

namespace {

using Events = std::vector<std::string>;

/** A press point in a mode. */
struct ModeAt
{
	CSliderMode mode;
	CPoint where;
};

class SliderInput : public ::testing::Test
{
protected:
	ScopedManualRunLoop runLoop;
	GlobalModeGuard modeGuard;
	RecordingListener listener;

	SharedPointer<CSlider> make (CSliderMode mode, float value = 0.5f, int32_t style = kHorizontalLeft)
	{
		auto slider = makeTestSlider (style, &listener, value);
		slider->setSliderMode (mode);
		return slider;
	}
	SharedPointer<ProbeSlider> makeProbe (CSliderMode mode, float value, int32_t style = kHorizontalLeft)
	{
		auto slider = makeTestSlider<ProbeSlider> (style, &listener, value);
		slider->setSliderMode (mode);
		slider->log.clear ();
		slider->invalids = 0;
		return slider;
	}
	size_t timers () const { return runLoop.loop.getNumTimers (); }
	/** The handle's centre along x for the slider's value, before whole pixels. */
	static float centreOf (CSlider* s) { return 12.f + 76.f * s->getValueNormalized () + 10.f; }
};

} // anonymous

//------------------------------------------------------------------------
// presses
//------------------------------------------------------------------------
TEST_F (SliderInput, PressWithoutTheLeftButtonIsNotHandled)
{
	auto slider = make (CSliderMode::FreeClick);
	EXPECT_EQ (press (slider, CPoint (90, 30), kRButton), kMouseEventNotHandled);
	EXPECT_EQ (press (slider, CPoint (90, 30), kMButton | kAlt), kMouseEventNotHandled);
	// Control with the primary button arrives as a right-button press: no reset either.
	EXPECT_EQ (press (slider, CPoint (90, 30), kRButton | kApple | kAlt), kMouseEventNotHandled);
	EXPECT_FALSE (slider->isEditing ());
	EXPECT_FLOAT_EQ (slider->getValue (), 0.5f);
	EXPECT_TRUE (listener.events.empty ());
}

TEST_F (SliderInput, TouchIgnoresPressesBesideTheHandleAndDragsItFromWhereItWasGrabbed)
{
	auto slider = make (CSliderMode::Touch);
	EXPECT_EQ (press (slider, CPoint (30, 30), kLButton | kAlt), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_EQ (press (slider, CPoint (70, 30), kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_FALSE (slider->isEditing ());
	EXPECT_FLOAT_EQ (slider->getValue (), 0.5f);
	EXPECT_TRUE (listener.events.empty ());

	EXPECT_EQ (press (slider, CPoint (55, 30), kLButton), kMouseEventHandled);
	EXPECT_FLOAT_EQ (slider->getValue (), 0.5f);
	EXPECT_EQ (move (slider, CPoint (65, 30), kLButton), kMouseEventHandled);
	EXPECT_FLOAT_EQ (slider->getValue (), 48.f / 76.f);
	EXPECT_EQ (release (slider), kMouseEventHandled);
	EXPECT_EQ (listener.events, (Events {"begin", "value", "end"}));
}

TEST_F (SliderInput, RelativeTouchDragsFromBesideTheHandleAndResetsOnlyOnIt)
{
	auto slider = make (CSliderMode::RelativeTouch, 0.3f); // handle from 34 to 54
	EXPECT_EQ (press (slider, CPoint (90, 30), kLButton | kAlt), kMouseEventHandled);
	EXPECT_TRUE (slider->isEditing ());
	EXPECT_NE (slider->getValue (), 0.5f);
	EXPECT_LT (std::abs (slider->getValue () - 0.3f), kOnePixel);
	// The handle keeps its distance to the pointer.
	move (slider, CPoint (100, 30), kLButton);
	EXPECT_FLOAT_EQ (slider->getValue (), 32.f / 76.f);
	release (slider);

	slider->setValue (0.3f);
	EXPECT_EQ (press (slider, CPoint (40, 30), kLButton | kAlt), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_FLOAT_EQ (slider->getValue (), 0.5f);
	EXPECT_FALSE (slider->isEditing ());
}

TEST_F (SliderInput, FreeClickCentresTheHandleOnThePointerEvenOnTheHandle)
{
	auto slider = make (CSliderMode::FreeClick);
	EXPECT_EQ (press (slider, CPoint (55, 30), kLButton), kMouseEventHandled);
	EXPECT_FLOAT_EQ (slider->getValue (), 34.f / 76.f);
	EXPECT_NEAR (centreOf (slider), 56.f, 1e-4f);
	move (slider, CPoint (80, 30), kLButton);
	EXPECT_NEAR (centreOf (slider), 81.f, 1e-4f);
}

TEST_F (SliderInput, VDFreeClickDragsTheHandleWhereGrabbedAndCentresItBesideIt)
{
	auto slider = make (CSliderMode::UseGlobal, 0.3f);
	ASSERT_EQ (slider->getEffectiveSliderMode (), CSliderMode::VDFreeClick);

	// On the handle: no jump, less than one pixel's worth at most.
	EXPECT_EQ (press (slider, CPoint (40, 30), kLButton), kMouseEventHandled);
	EXPECT_LT (std::abs (slider->getValue () - 0.3f), kOnePixel);
	move (slider, CPoint (50, 30), kLButton);
	EXPECT_FLOAT_EQ (slider->getValue (), 32.f / 76.f);
	release (slider);

	// Beside it: the centre comes to one pixel past the pointer at once, then follows it.
	slider->setValue (0.3f);
	listener.clear ();
	EXPECT_EQ (press (slider, CPoint (90, 30), kLButton), kMouseEventHandled);
	EXPECT_FLOAT_EQ (slider->getValue (), 69.f / 76.f);
	EXPECT_NEAR (centreOf (slider), 91.f, 1e-4f);
	move (slider, CPoint (40, 30), kLButton);
	EXPECT_NEAR (centreOf (slider), 41.f, 1e-4f);
	release (slider);
	EXPECT_EQ (listener.events, (Events {"begin", "value", "value", "end"}));

	// The press on the excluded trailing edge of the handle counts as beside it.
	slider->setValue (0.5f); // handle from 50 to 70
	press (slider, CPoint (70, 30), kLButton);
	EXPECT_NEAR (centreOf (slider), 71.f, 1e-4f);
	release (slider);
}

TEST_F (SliderInput, VDFreeClickOnAVerticalSliderWorksAlongY)
{
	auto slider = make (CSliderMode::VDFreeClick, 0.5f, CSlider::kVertical | CSlider::kTop);
	EXPECT_EQ (press (slider, CPoint (30, 55), kLButton), kMouseEventHandled); // handle from 50 to 70
	EXPECT_FLOAT_EQ (slider->getValue (), 0.5f);
	release (slider);
	EXPECT_EQ (press (slider, CPoint (30, 90), kLButton), kMouseEventHandled);
	EXPECT_FLOAT_EQ (slider->getValue (), 69.f / 76.f);
	release (slider);

	// With kBottom the value runs upward.
	slider->setStyle (CSlider::kVertical | CSlider::kBottom);
	press (slider, CPoint (30, 90), kLButton);
	EXPECT_FLOAT_EQ (slider->getValue (), 1.f - 69.f / 76.f);
	release (slider);
}

TEST_F (SliderInput, RampPressOnTheHandleIsAPlainDrag)
{
	auto slider = make (CSliderMode::Ramp);
	EXPECT_EQ (press (slider, CPoint (55, 30), kLButton), kMouseEventHandled);
	EXPECT_EQ (timers (), 0u);
	move (slider, CPoint (65, 30), kLButton);
	EXPECT_FLOAT_EQ (slider->getValue (), 48.f / 76.f);
	release (slider);
}

TEST_F (SliderInput, MovesNeedAnOpenEditAndTheLeftButtonAlone)
{
	auto slider = make (CSliderMode::FreeClick);
	EXPECT_EQ (move (slider, CPoint (90, 30), kLButton), kMouseEventNotHandled);
	EXPECT_FLOAT_EQ (slider->getValue (), 0.5f);

	press (slider, CPoint (55, 30), kLButton);
	const float pressed = slider->getValue ();
	EXPECT_EQ (move (slider, CPoint (90, 30), kLButton | kRButton), kMouseEventNotHandled);
	EXPECT_EQ (move (slider, CPoint (90, 30), 0), kMouseEventNotHandled);
	EXPECT_FLOAT_EQ (slider->getValue (), pressed);
	// Modifiers do not matter for "the left button alone".
	EXPECT_EQ (move (slider, CPoint (90, 30), kLButton | kControl | kDoubleClick), kMouseEventHandled);
	EXPECT_FLOAT_EQ (slider->getValue (), 69.f / 76.f);
	release (slider);
	EXPECT_EQ (release (slider), kMouseEventHandled);
	EXPECT_EQ (listener.count ("end"), 1u);
	EXPECT_EQ (slider->onMouseCancel (), kMouseEventHandled);
	EXPECT_EQ (listener.count ("end"), 1u);
}

//------------------------------------------------------------------------
// the reset click
//------------------------------------------------------------------------
TEST_F (SliderInput, OptionClickResetsInThisOrderAndEndsThePress)
{
	auto slider = makeProbe (CSliderMode::UseGlobal, 0.2f);
	EXPECT_EQ (press (slider, CPoint (90, 30), kLButton | kAlt), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_EQ (slider->log, (Events {"beginEdit", "setValue", "valueChanged", "endEdit", "setDirty(true)"}));
	EXPECT_EQ (listener.events, (Events {"begin", "value", "end"}));
	EXPECT_FLOAT_EQ (slider->getValue (), 0.5f);
	EXPECT_FALSE (slider->isEditing ());
	EXPECT_TRUE (slider->isDirty ());

	// Already at the default: consumed all the same, and nothing is sent or touched.
	slider->log.clear ();
	listener.clear ();
	EXPECT_EQ (press (slider, CPoint (90, 30), kLButton | kAlt), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_TRUE (slider->log.empty ());
	EXPECT_TRUE (listener.events.empty ());

	// A double click passes as well; the second click finds the default in place.
	slider->setValue (0.9f);
	EXPECT_EQ (press (slider, CPoint (90, 30), kLButton | kAlt), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_EQ (press (slider, CPoint (90, 30), kLButton | kAlt | kDoubleClick),
	           kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_FLOAT_EQ (slider->getValue (), 0.5f);

	// The default is the control's, clamped into its range.
	slider->setDefaultValue (0.25f);
	press (slider, CPoint (90, 30), kLButton | kAlt);
	EXPECT_FLOAT_EQ (slider->getValue (), 0.25f);
}

TEST_F (SliderInput, OptionWithAnotherModifierOrButtonDoesNotReset)
{
	auto slider = make (CSliderMode::UseGlobal, 0.2f);

	// Option with Shift: the fine drag starts instead, without moving the handle.
	EXPECT_EQ (press (slider, CPoint (90, 30), kLButton | kAlt | kShift), kMouseEventHandled);
	EXPECT_FLOAT_EQ (slider->getValue (), 0.2f);
	EXPECT_TRUE (slider->isEditing ());
	release (slider);

	for (int32_t modifier : {kControl, kApple})
	{
		slider->setValue (0.2f);
		EXPECT_EQ (press (slider, CPoint (90, 30), kLButton | kAlt | modifier), kMouseEventHandled);
		EXPECT_FLOAT_EQ (slider->getValue (), 69.f / 76.f);
		release (slider);
	}

	// With the right button down as well the press's own move declines.
	slider->setValue (0.2f);
	EXPECT_EQ (press (slider, CPoint (90, 30), kLButton | kRButton | kAlt), kMouseEventNotHandled);
	EXPECT_FLOAT_EQ (slider->getValue (), 0.2f);
	release (slider);
}

TEST_F (SliderInput, ResetRunsInEveryModeWhereTheCheckDoes)
{
	// The value 0.2 puts the handle from 27 to 47.
	for (auto c : {ModeAt {CSliderMode::Touch, CPoint (30, 30)}, ModeAt {CSliderMode::RelativeTouch, CPoint (30, 30)},
	               ModeAt {CSliderMode::FreeClick, CPoint (30, 30)}, ModeAt {CSliderMode::FreeClick, CPoint (90, 30)},
	               ModeAt {CSliderMode::VDFreeClick, CPoint (30, 30)}, ModeAt {CSliderMode::VDFreeClick, CPoint (90, 30)},
	               ModeAt {CSliderMode::Ramp, CPoint (30, 30)}, ModeAt {CSliderMode::Ramp, CPoint (90, 30)}})
	{
		auto slider = make (c.mode, 0.2f);
		EXPECT_EQ (press (slider, c.where, kLButton | kAlt), kMouseDownEventHandledButDontNeedMovedOrUpEvents)
		    << static_cast<int32_t> (c.mode) << " at " << c.where.x;
		EXPECT_FLOAT_EQ (slider->getValue (), 0.5f);
		EXPECT_FALSE (slider->isEditing ());
		EXPECT_EQ (timers (), 0u); // a reset starts no ramp
	}
}

//------------------------------------------------------------------------
// fine drag
//------------------------------------------------------------------------
TEST_F (SliderInput, ShiftPressHoldsTheHandleAndTheFirstMoveGoesATenthOfTheWay)
{
	auto slider = make (CSliderMode::FreeClick);
	EXPECT_EQ (press (slider, CPoint (30, 30), kLButton | kShift), kMouseEventHandled);
	EXPECT_FLOAT_EQ (slider->getValue (), 0.5f);
	EXPECT_TRUE (listener.events == (Events {"begin"}));
	move (slider, CPoint (30, 30), kLButton | kShift);
	EXPECT_FLOAT_EQ (slider->getValue (), 0.5f + (9.f / 76.f - 0.5f) / 10.f);

	// The zoom factor divides the way.
	release (slider);
	slider->setValue (0.5f);
	slider->setZoomFactor (2.f);
	press (slider, CPoint (30, 30), kLButton | kShift);
	move (slider, CPoint (30, 30), kLButton | kShift);
	EXPECT_FLOAT_EQ (slider->getValue (), 0.5f + (9.f / 76.f - 0.5f) / 2.f);
}

TEST_F (SliderInput, ShiftInTheMiddleOfADragAnchorsWhereTheHandleIs)
{
	auto slider = make (CSliderMode::VDFreeClick);
	press (slider, CPoint (55, 30), kLButton);
	move (slider, CPoint (65, 30), kLButton);
	ASSERT_FLOAT_EQ (slider->getValue (), 48.f / 76.f);

	// Shift down: no jump; then a tenth of the pointer's travel.
	move (slider, CPoint (65, 30), kLButton | kShift);
	EXPECT_FLOAT_EQ (slider->getValue (), 48.f / 76.f);
	move (slider, CPoint (75, 30), kLButton | kShift);
	EXPECT_NEAR (slider->getValue (), 49.f / 76.f, 1e-6f);
	move (slider, CPoint (85, 30), kLButton | kShift);
	EXPECT_NEAR (slider->getValue (), 50.f / 76.f, 1e-6f);

	// Another change of the buttons while Shift is held takes the anchor anew.
	move (slider, CPoint (85, 30), kLButton | kShift | kAlt);
	EXPECT_NEAR (slider->getValue (), 50.f / 76.f + 1.8f / 76.f, 1e-6f);
	move (slider, CPoint (95, 30), kLButton | kShift | kAlt);
	EXPECT_NEAR (slider->getValue (), 50.f / 76.f + 2.8f / 76.f, 1e-6f); // from the new anchor

	// Shift up: the handle follows the pointer again and jumps back under it.
	move (slider, CPoint (95, 30), kLButton);
	EXPECT_FLOAT_EQ (slider->getValue (), 1.f);
	move (slider, CPoint (60, 30), kLButton);
	EXPECT_FLOAT_EQ (slider->getValue (), 43.f / 76.f);
	release (slider);
}

//------------------------------------------------------------------------
// ramp
//------------------------------------------------------------------------
TEST_F (SliderInput, RampStepsEvery16msTowardTheMovingTargetAndThenDrags)
{
	auto slider = make (CSliderMode::Ramp, 0.f); // handle from 12 to 32
	EXPECT_EQ (press (slider, CPoint (90, 30), kLButton), kMouseEventHandled);
	EXPECT_FLOAT_EQ (slider->getValue (), 0.f);
	EXPECT_EQ (timers (), 1u);
	// Moves only set the target.
	EXPECT_EQ (move (slider, CPoint (95, 30), kLButton), kMouseEventHandled);
	EXPECT_FLOAT_EQ (slider->getValue (), 0.f);

	runLoop.loop.advance (15);
	EXPECT_FLOAT_EQ (slider->getValue (), 0.f);
	runLoop.loop.advance (1);
	EXPECT_NEAR (slider->getValue (), 0.01f, 1e-6f); // a step of 0.1 wheel increments
	float last = slider->getValue ();
	int ticks = 1;
	while (timers () > 0 && ticks < 200)
	{
		runLoop.loop.advance (16);
		++ticks;
		if (timers () > 0)
		{
			EXPECT_NEAR (slider->getValue () - last, 0.01f, 1e-5f);
		}
		last = slider->getValue ();
	}
	// The step that passes the target lands on it and ends the ramp.
	EXPECT_EQ (ticks, 98);
	EXPECT_FLOAT_EQ (slider->getValue (), 74.f / 76.f);
	EXPECT_TRUE (slider->isEditing ());
	runLoop.loop.advance (160);
	EXPECT_FLOAT_EQ (slider->getValue (), 74.f / 76.f);

	// From here on the press is a drag with the centring offset.
	move (slider, CPoint (50, 30), kLButton);
	EXPECT_FLOAT_EQ (slider->getValue (), 29.f / 76.f);
	release (slider);
	EXPECT_EQ (listener.count ("begin"), 1u);
	EXPECT_EQ (listener.count ("end"), 1u);
	EXPECT_EQ (listener.count ("value"), 99u);
}

TEST_F (SliderInput, RampIgnoresShiftAndStopsWhereItIsOnRelease)
{
	auto slider = make (CSliderMode::Ramp, 0.f);
	EXPECT_EQ (press (slider, CPoint (90, 30), kLButton | kShift), kMouseEventHandled);
	move (slider, CPoint (90, 30), kLButton | kShift);
	runLoop.loop.advance (48);
	EXPECT_NEAR (slider->getValue (), 0.03f, 1e-6f);
	EXPECT_EQ (release (slider), kMouseEventHandled);
	EXPECT_EQ (timers (), 0u);
	runLoop.loop.advance (160);
	EXPECT_NEAR (slider->getValue (), 0.03f, 1e-6f);
	EXPECT_EQ (listener.events.back (), "end");
}

TEST_F (SliderInput, RampBeyondAnEndHoldsTheEndAndKeepsTicking)
{
	auto slider = make (CSliderMode::Ramp, 0.f);
	press (slider, CPoint (90, 30), kLButton);
	runLoop.loop.advance (32);
	move (slider, CPoint (-100, 30), kLButton); // far left of the handle
	runLoop.loop.advance (16 * 20);
	EXPECT_EQ (slider->getValue (), 0.f);
	EXPECT_EQ (timers (), 1u);

	move (slider, CPoint (400, 30), kLButton);
	runLoop.loop.advance (16 * 150);
	EXPECT_EQ (slider->getValue (), 1.f);
	EXPECT_EQ (timers (), 1u);
	release (slider);
	EXPECT_EQ (timers (), 0u);
}

TEST_F (SliderInput, RampFollowsDirectionAndReversal)
{
	struct Case
	{
		int32_t style;
		CPoint target;
		float end;
	};
	// Each starts at the value 0 and ends on the target's value.
	for (auto c : {Case {CSlider::kVertical | CSlider::kBottom, CPoint (30, 40), 0.75f},
	               Case {CSlider::kVertical | CSlider::kTop, CPoint (30, 90), 69.f / 76.f},
	               Case {CSlider::kHorizontal | CSlider::kRight, CPoint (30, 30), 67.f / 76.f}})
	{
		auto slider = make (CSliderMode::Ramp, 0.f, c.style);
		ASSERT_EQ (press (slider, c.target, kLButton), kMouseEventHandled) << c.style;
		runLoop.loop.advance (16);
		EXPECT_NEAR (slider->getValue (), 0.01f, 1e-6f) << c.style;
		runLoop.loop.advance (16 * 120);
		EXPECT_EQ (timers (), 0u) << c.style;
		EXPECT_FLOAT_EQ (slider->getValue (), c.end) << c.style;
		release (slider);
	}
}

TEST_F (SliderInput, EscapeStopsTheRampAndRestoresThePressValue)
{
	auto slider = make (CSliderMode::Ramp, 0.f);
	press (slider, CPoint (90, 30), kLButton);
	runLoop.loop.advance (64);
	EXPECT_EQ (key (slider, VKEY_ESCAPE), 1);
	EXPECT_EQ (slider->getValue (), 0.f);
	EXPECT_EQ (timers (), 0u);
	EXPECT_FALSE (slider->isEditing ());
}

TEST_F (SliderInput, ACopyStartsWithoutTheSourcesRampAndItsFirstDragMoves)
{
	auto source = make (CSliderMode::Ramp, 0.f);
	press (source, CPoint (90, 30), kLButton);
	auto copy = owned (static_cast<CSlider*> (source->newCopy ()));
	EXPECT_FALSE (copy->isEditing ());
	EXPECT_EQ (timers (), 1u);
	runLoop.loop.advance (16);
	EXPECT_NEAR (source->getValue (), 0.01f, 1e-6f);
	EXPECT_EQ (copy->getValue (), 0.f);

	// The copy's press on its handle is a plain drag: the handle follows at once.
	EXPECT_EQ (press (copy, CPoint (20, 30), kLButton), kMouseEventHandled);
	EXPECT_EQ (move (copy, CPoint (40, 30), kLButton), kMouseEventHandled);
	EXPECT_FLOAT_EQ (copy->getValue (), 20.f / 76.f);
	EXPECT_EQ (release (copy), kMouseEventHandled);

	// Neither the copy's press nor its going away touches the source's ramp.
	copy = nullptr;
	runLoop.loop.advance (16);
	EXPECT_NEAR (source->getValue (), 0.02f, 1e-6f);
	EXPECT_EQ (timers (), 1u);

	// A copy of a copy made during the ramp, outliving its source, never ticks.
	copy = owned (static_cast<CSlider*> (source->newCopy ()));
	source = nullptr;
	EXPECT_EQ (timers (), 0u);
	runLoop.loop.advance (64);
	EXPECT_NEAR (copy->getValue (), 0.02f, 1e-6f);
}

TEST_F (SliderInput, ARampStopsWhenAWheelEditHasClosedTheEditOfItsPress)
{
	auto slider = make (CSliderMode::Ramp, 0.f);
	press (slider, CPoint (90, 30), kLButton);
	EXPECT_TRUE (wheel (slider, kMouseWheelAxisX, -1.f));
	runLoop.loop.advance (500); // the ramp's ticks up to here are inside the edit
	EXPECT_FALSE (slider->isEditing ());
	ASSERT_EQ (listener.events.back (), "end");
	const float stopped = slider->getValue ();
	const size_t sent = listener.events.size ();

	// No step outside the edit: the ramp ends at its next tick.
	runLoop.loop.advance (160);
	EXPECT_EQ (timers (), 0u);
	EXPECT_EQ (slider->getValue (), stopped);
	EXPECT_EQ (listener.events.size (), sent);
	EXPECT_EQ (release (slider), kMouseEventHandled);
	EXPECT_EQ (listener.events.size (), sent);
	EXPECT_EQ (listener.count ("begin"), listener.count ("end"));
}

TEST_F (SliderInput, AReleaseEndsTheRampAlsoWhenItsEditHasAlreadyEnded)
{
	auto slider = make (CSliderMode::Ramp, 0.f);
	press (slider, CPoint (90, 30), kLButton);
	// The edit closes from outside, between two ticks.
	wheel (slider, kMouseWheelAxisX, -1.f);
	runLoop.loop.advance (500);
	ASSERT_FALSE (slider->isEditing ());
	release (slider);
	EXPECT_EQ (timers (), 0u);
}

TEST_F (SliderInput, AResetClickDuringARampStopsTheRamp)
{
	auto slider = make (CSliderMode::Ramp, 0.2f);
	press (slider, CPoint (90, 30), kLButton);
	runLoop.loop.advance (32);
	EXPECT_NEAR (slider->getValue (), 0.22f, 1e-6f);
	EXPECT_EQ (press (slider, CPoint (90, 30), kLButton | kAlt), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_FLOAT_EQ (slider->getValue (), 0.5f);
	EXPECT_EQ (timers (), 0u);
	const size_t sent = listener.events.size ();
	runLoop.loop.advance (160);
	EXPECT_FLOAT_EQ (slider->getValue (), 0.5f);
	EXPECT_EQ (listener.events.size (), sent);
	EXPECT_EQ (listener.events.back (), "end");
	EXPECT_EQ (listener.count ("begin"), listener.count ("end"));
}

TEST_F (SliderInput, APressDeclinedAfterItsEditOpenedClosesTheEdit)
{
	// Beside the handle (the ramp starts there) and on it.
	for (auto c : {ModeAt {CSliderMode::FreeClick, CPoint (90, 30)}, ModeAt {CSliderMode::VDFreeClick, CPoint (90, 30)},
	               ModeAt {CSliderMode::VDFreeClick, CPoint (55, 30)},
	               ModeAt {CSliderMode::RelativeTouch, CPoint (90, 30)}, ModeAt {CSliderMode::Touch, CPoint (55, 30)},
	               ModeAt {CSliderMode::Ramp, CPoint (90, 30)}, ModeAt {CSliderMode::Ramp, CPoint (55, 30)}})
	{
		listener.clear ();
		auto slider = make (c.mode, 0.5f);
		for (int32_t other : {kRButton, kMButton, kButton4, kButton5})
		{
			SCOPED_TRACE (static_cast<int> (c.mode) * 10000 + other);
			EXPECT_EQ (press (slider, c.where, kLButton | other), kMouseEventNotHandled);
			EXPECT_FALSE (slider->isEditing ());
			EXPECT_EQ (timers (), 0u);
			EXPECT_FLOAT_EQ (slider->getValue (), 0.5f);
		}
		EXPECT_EQ (listener.events, (Events {"begin", "end", "begin", "end", "begin", "end", "begin", "end"}));
		// A key step after it is an edit of its own, not a bare value inside a dangling one.
		listener.clear ();
		EXPECT_EQ (key (slider, VKEY_UP), 1);
		EXPECT_EQ (listener.events, (Events {"begin", "value", "end"}));
	}
}

//------------------------------------------------------------------------
// wheel
//------------------------------------------------------------------------
TEST_F (SliderInput, WheelStepsByTheIncrementWithDirectionFromTheStyle)
{
	struct Case
	{
		int32_t style;
		CMouseWheelAxis axis;
		int32_t buttons;
		float expected;
	};
	for (auto c : {Case {CSlider::kVertical | CSlider::kBottom, kMouseWheelAxisY, 0, 0.6f},
	               Case {CSlider::kVertical | CSlider::kBottom, kMouseWheelAxisY, kShift, 0.51f},
	               Case {CSlider::kVertical | CSlider::kBottom, kMouseWheelAxisY, kShift | kAlt, 0.51f},
	               Case {CSlider::kVertical | CSlider::kTop, kMouseWheelAxisY, 0, 0.4f},
	               Case {CSlider::kVertical, kMouseWheelAxisY, 0, 0.6f},
	               Case {CSlider::kHorizontal | CSlider::kLeft, kMouseWheelAxisX, 0, 0.4f},
	               Case {CSlider::kHorizontal | CSlider::kRight, kMouseWheelAxisX, 0, 0.6f}})
	{
		auto slider = make (CSliderMode::UseGlobal, 0.5f, c.style);
		EXPECT_TRUE (wheel (slider, c.axis, 1.f, c.buttons)) << c.style;
		EXPECT_FLOAT_EQ (slider->getValueNormalized (), c.expected) << c.style << " " << c.buttons;
	}
}

TEST_F (SliderInput, WheelOnTheOtherAxisOrWithMouseDisabledIsRefused)
{
	auto horizontal = make (CSliderMode::UseGlobal, 0.5f, kHorizontalLeft);
	auto vertical = make (CSliderMode::UseGlobal, 0.5f, CSlider::kVertical);
	EXPECT_FALSE (wheel (horizontal, kMouseWheelAxisY, 1.f));
	EXPECT_FALSE (wheel (vertical, kMouseWheelAxisX, 1.f));
	vertical->setMouseEnabled (false);
	EXPECT_FALSE (wheel (vertical, kMouseWheelAxisY, 1.f));
	EXPECT_FLOAT_EQ (horizontal->getValue (), 0.5f);
	EXPECT_FLOAT_EQ (vertical->getValue (), 0.5f);
	EXPECT_FALSE (horizontal->isEditing ());
	EXPECT_FALSE (vertical->isEditing ());
	EXPECT_EQ (timers (), 0u);
	EXPECT_TRUE (listener.events.empty ());
}

TEST_F (SliderInput, WheelRedrawsBeforeItReportsAndIsOneEditUntil500msAfterTheLast)
{
	auto slider = makeProbe (CSliderMode::UseGlobal, 0.5f, CSlider::kVertical | CSlider::kBottom);
	EXPECT_TRUE (wheel (slider, kMouseWheelAxisY, 1.f));
	EXPECT_EQ (slider->log, (Events {"beginEdit", "setValue", "invalid", "setDirty(false)", "valueChanged"}));
	runLoop.loop.advance (300);
	wheel (slider, kMouseWheelAxisY, 1.f);
	runLoop.loop.advance (499);
	EXPECT_TRUE (slider->isEditing ());
	runLoop.loop.advance (1);
	EXPECT_FALSE (slider->isEditing ());
	EXPECT_EQ (listener.events, (Events {"begin", "value", "value", "end"}));
	EXPECT_FLOAT_EQ (slider->getValueNormalized (), 0.7f);

	// At the end of the range the event is still taken, but nothing changes.
	listener.clear ();
	slider->setValue (1.f);
	slider->setDirty (false);
	EXPECT_TRUE (wheel (slider, kMouseWheelAxisY, 1.f));
	EXPECT_EQ (listener.events, (Events {"begin"}));
	runLoop.loop.advance (500);
	EXPECT_EQ (listener.events, (Events {"begin", "end"}));
}

TEST_F (SliderInput, APressEndsAnOpenWheelEditBeforeItsOwnEdit)
{
	auto slider = make (CSliderMode::UseGlobal, 0.5f);
	wheel (slider, kMouseWheelAxisX, -1.f);
	press (slider, CPoint (90, 30), kLButton);
	EXPECT_EQ (listener.events, (Events {"begin", "value", "end", "begin", "value"}));
	EXPECT_EQ (timers (), 0u);
	release (slider);
	EXPECT_EQ (listener.events.back (), "end");
}

TEST_F (SliderInput, WheelDuringADragEndsTheDragsEditAfter500ms)
{
	auto slider = make (CSliderMode::UseGlobal, 0.5f);
	press (slider, CPoint (55, 30), kLButton);
	wheel (slider, kMouseWheelAxisX, -1.f);
	EXPECT_EQ (listener.count ("begin"), 1u);
	EXPECT_FLOAT_EQ (slider->getValue (), 0.6f);
	runLoop.loop.advance (500);
	EXPECT_FALSE (slider->isEditing ());
	EXPECT_EQ (listener.events, (Events {"begin", "value", "end"}));
	// The rest of the drag is ignored.
	EXPECT_EQ (move (slider, CPoint (90, 30), kLButton), kMouseEventNotHandled);
	EXPECT_EQ (release (slider), kMouseEventHandled);
	EXPECT_EQ (listener.events, (Events {"begin", "value", "end"}));
	EXPECT_FLOAT_EQ (slider->getValue (), 0.6f);
}

//------------------------------------------------------------------------
// keys
//------------------------------------------------------------------------
TEST_F (SliderInput, ArrowKeysStepByTheIncrementInTheStylesDirection)
{
	struct Case
	{
		int32_t style;
		unsigned char virt;
		unsigned char modifier;
		float expected;
	};
	for (auto c : {Case {CSlider::kVertical | CSlider::kBottom, VKEY_UP, 0, 0.6f},
	               Case {CSlider::kVertical | CSlider::kBottom, VKEY_RIGHT, 0, 0.6f},
	               Case {CSlider::kVertical | CSlider::kBottom, VKEY_DOWN, 0, 0.4f},
	               Case {CSlider::kVertical | CSlider::kBottom, VKEY_LEFT, 0, 0.4f},
	               Case {CSlider::kVertical | CSlider::kBottom, VKEY_UP, MODIFIER_SHIFT, 0.51f},
	               Case {CSlider::kVertical | CSlider::kBottom, VKEY_UP, MODIFIER_ALTERNATE, 0.6f},
	               Case {CSlider::kVertical | CSlider::kTop, VKEY_UP, 0, 0.4f},
	               Case {CSlider::kHorizontal | CSlider::kLeft, VKEY_UP, 0, 0.6f},
	               Case {CSlider::kHorizontal | CSlider::kLeft, VKEY_RIGHT, 0, 0.6f},
	               Case {CSlider::kHorizontal | CSlider::kRight, VKEY_UP, 0, 0.4f},
	               Case {CSlider::kHorizontal | CSlider::kRight, VKEY_LEFT, MODIFIER_SHIFT, 0.51f}})
	{
		auto slider = make (CSliderMode::UseGlobal, 0.5f, c.style);
		listener.clear ();
		EXPECT_EQ (key (slider, c.virt, c.modifier), 1);
		EXPECT_FLOAT_EQ (slider->getValueNormalized (), c.expected)
		    << c.style << " key " << int (c.virt) << " mod " << int (c.modifier);
		EXPECT_EQ (listener.events, (Events {"begin", "value", "end"}));
	}
}

TEST_F (SliderInput, AKeyStepIsAnEditOfItsOwnOrNestedInAnOpenOne)
{
	auto slider = makeProbe (CSliderMode::UseGlobal, 0.5f, CSlider::kVertical | CSlider::kBottom);
	key (slider, VKEY_UP);
	EXPECT_EQ (slider->log, (Events {"setValue", "invalid", "setDirty(false)", "beginEdit", "valueChanged", "endEdit"}));

	listener.clear ();
	press (slider, CPoint (30, 60), kLButton); // on the handle, which the value 0.6 puts from 42 to 62
	key (slider, VKEY_DOWN);
	release (slider);
	EXPECT_EQ (listener.count ("begin"), 1u);
	EXPECT_EQ (listener.count ("end"), 1u);
	EXPECT_EQ (listener.events.front (), "begin");
	EXPECT_EQ (listener.events.back (), "end");
}

TEST_F (SliderInput, KeysThatChangeNothingOrAreNotArrowsReportNothing)
{
	auto slider = make (CSliderMode::UseGlobal, 1.f, CSlider::kVertical | CSlider::kBottom);
	EXPECT_EQ (key (slider, VKEY_UP), 1);
	EXPECT_EQ (slider->getValue (), 1.f);
	EXPECT_EQ (key (slider, VKEY_ESCAPE), -1);
	EXPECT_EQ (key (slider, VKEY_SPACE), -1);
	EXPECT_EQ (key (slider, VKEY_PAGEUP), -1);
	EXPECT_EQ (key (slider, 0, 0, 'a'), -1);
	EXPECT_TRUE (listener.events.empty ());
	EXPECT_EQ (slider->getValue (), 1.f);
}

TEST_F (SliderInput, EscapeDuringADragRestoresThePressValueAndEndsTheDrag)
{
	auto slider = make (CSliderMode::UseGlobal, 0.5f);
	press (slider, CPoint (90, 30), kLButton);
	ASSERT_FLOAT_EQ (slider->getValue (), 69.f / 76.f);
	EXPECT_EQ (key (slider, VKEY_ESCAPE), 1);
	EXPECT_FLOAT_EQ (slider->getValue (), 0.5f);
	EXPECT_FALSE (slider->isEditing ());
	EXPECT_EQ (listener.events, (Events {"begin", "value", "value", "end"}));
	EXPECT_FLOAT_EQ (listener.values.back (), 0.5f);
	EXPECT_EQ (move (slider, CPoint (20, 30), kLButton), kMouseEventNotHandled);
	EXPECT_EQ (release (slider), kMouseEventHandled);
	EXPECT_EQ (listener.events.size (), 4u);
	EXPECT_FLOAT_EQ (slider->getValue (), 0.5f);
}

TEST_F (SliderInput, EscapeDuringAWheelEditGoesBackToTheLastPressValue)
{
	auto slider = make (CSliderMode::UseGlobal, 0.5f);
	press (slider, CPoint (30, 30), kLButton); // the press value is 0.5
	release (slider);
	wheel (slider, kMouseWheelAxisX, -1.f);
	EXPECT_FLOAT_EQ (slider->getValue (), 9.f / 76.f + 0.1f);
	EXPECT_EQ (key (slider, VKEY_ESCAPE), 1);
	EXPECT_FLOAT_EQ (slider->getValue (), 0.5f);
	EXPECT_FALSE (slider->isEditing ());
	runLoop.loop.advance (500);
	EXPECT_EQ (listener.count ("begin"), listener.count ("end"));
}

TEST_F (SliderInput, EscapeDuringAWheelEditBeforeAnyPressKeepsAValidValue)
{
	auto slider = make (CSliderMode::UseGlobal, 0.5f, CSlider::kVertical | CSlider::kBottom);
	wheel (slider, kMouseWheelAxisY, 1.f);
	EXPECT_EQ (key (slider, VKEY_ESCAPE), 1);
	EXPECT_FALSE (slider->isEditing ());
	EXPECT_FLOAT_EQ (slider->getValue (), 0.6f);
	EXPECT_EQ (listener.events, (Events {"begin", "value", "end"}));
}
