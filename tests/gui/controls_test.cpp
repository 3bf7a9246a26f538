// CControl values, edits and the reset click; wheel editing and timers; knob, switch,
// on/off button, parameter display and text label.
#include "guitesthelpers.h"
#include "vstgui/lib/cframe.h"
#include "vstgui/lib/cvstguitimer.h"
#include "vstgui/lib/controls/cknob.h"
#include "vstgui/lib/controls/cswitch.h"
#include "vstgui/lib/controls/cbuttons.h"
#include "vstgui/lib/controls/ctextlabel.h"
#include <gtest/gtest.h>
#include <cmath>
#include <limits>

using namespace VSTGUI;
using namespace GuiTest;

namespace {

/** The smallest concrete control, with the wheel-edit support of a slider. */
struct TestControl : CControl, CMouseWheelEditingSupport
{
	TestControl () : CControl (CRect (0, 0, 100, 20)) {}
	void draw (CDrawContext*) override { setDirty (false); }
	void wheelStep () { onMouseWheelEditing (this); }
	void endWheel () { invalidMouseWheelEditTimer (this); }
	bool hasWheelTimer () const { return endEditTimer != nullptr; }
	CMouseEventResult onMouseDown (CPoint&, const CButtonState& b) override
	{
		return checkDefaultValue (b) ? kMouseDownEventHandledButDontNeedMovedOrUpEvents : kMouseEventHandled;
	}
};

/** An editor interface that reports a fixed knob mode and records edits. */
struct TestEditor : VSTGUIEditorInterface
{
	int32_t mode {-1};
	std::vector<int32_t> begun, ended;
	int32_t getKnobMode () const override { return mode; }
	void beginEdit (int32_t index) override { begun.push_back (index); }
	void endEdit (int32_t index) override { ended.push_back (index); }
};

} // anonymous

TEST (GuiControl, StaticModifiersAreShiftAndOption)
{
	EXPECT_EQ (CControl::kZoomModifier, 16);
	EXPECT_EQ (CControl::kDefaultValueModifier, 64);
	EXPECT_EQ (CControl::kZoomModifier, kShift);
	EXPECT_EQ (CControl::kDefaultValueModifier, kAlt);
}

TEST (GuiControl, ValueClampingAndNormalisation)
{
	auto c = makeOwned<TestControl> ();
	EXPECT_EQ (c->getWheelInc (), 0.1f);
	c->setMin (-12.f);
	c->setMax (12.f);
	c->setValue (30.f);
	EXPECT_EQ (c->getValue (), 12.f);
	c->setValue (-100.f);
	EXPECT_EQ (c->getValue (), -12.f);
	c->setValue (std::numeric_limits<float>::quiet_NaN ());
	EXPECT_EQ (c->getValue (), -12.f);

	c->setValueNormalized (0.5f);
	EXPECT_EQ (c->getValue (), 0.f);
	EXPECT_EQ (c->getValueNormalized (), 0.5f);
	c->setValueNormalized (1.5f);
	EXPECT_EQ (c->getValue (), 12.f);
	c->setValueNormalized (-0.25f);
	EXPECT_EQ (c->getValue (), -12.f);
	c->setValueNormalized (std::numeric_limits<float>::quiet_NaN ());
	EXPECT_EQ (c->getValue (), -12.f);

	// An empty range gives a normalised value of 0.
	c->setMin (3.f);
	c->setMax (3.f);
	c->setValue (3.f);
	EXPECT_EQ (c->getValueNormalized (), 0.f);

	c->setMin (0.f);
	c->setMax (1.f);
	c->setValue (0.5f);
	c->setMax (0.25f);
	c->bounceValue ();
	EXPECT_EQ (c->getValue (), 0.25f);
}

TEST (GuiControl, DirtyComparesValueWithOldValue)
{
	auto c = makeOwned<TestControl> ();
	c->setValue (0.3f);
	c->setDirty (false);
	EXPECT_FALSE (c->isDirty ());
	EXPECT_EQ (c->getOldValue (), 0.3f);
	c->setValue (0.4f);
	EXPECT_TRUE (c->isDirty ());
	c->invalid (); // marks drawn: old value follows the value
	EXPECT_FALSE (c->isDirty ());
	c->setDirty (true);
	EXPECT_TRUE (c->isDirty ());
}

TEST (GuiControl, NestedEditsNotifyOnce)
{
	auto c = makeOwned<TestControl> ();
	RecordingListener main, extra;
	c->setListener (&main);
	c->registerControlListener (&extra);
	c->registerControlListener (&extra); // twice counts once
	c->beginEdit ();
	c->beginEdit ();
	c->beginEdit ();
	EXPECT_TRUE (c->isEditing ());
	c->endEdit ();
	c->endEdit ();
	EXPECT_TRUE (c->isEditing ());
	EXPECT_EQ (main.count ("end"), 0u);
	c->endEdit ();
	EXPECT_FALSE (c->isEditing ());
	c->endEdit (); // one too many: ignored
	EXPECT_EQ (main.events, (std::vector<std::string> {"begin", "end"}));
	EXPECT_EQ (extra.events, (std::vector<std::string> {"begin", "end"}));

	c->valueChanged ();
	EXPECT_EQ (main.count ("value"), 1u);
	EXPECT_EQ (extra.count ("value"), 1u);
	c->unregisterControlListener (&extra);
	c->valueChanged ();
	EXPECT_EQ (extra.count ("value"), 1u);
	EXPECT_EQ (main.count ("value"), 2u);

	c->setTag (7);
	EXPECT_EQ (c->getTag (), 7);
	EXPECT_EQ (main.count ("tagWill"), 1u);
	EXPECT_EQ (main.count ("tagDid"), 1u);
}

TEST (GuiControl, EditsReachTheEditorThroughTheFrame)
{
	TestEditor editor;
	auto frame = new CFrame (CRect (0, 0, 200, 100), &editor);
	ASSERT_TRUE (frame->open (nullptr, PlatformType::kOffscreen));
	auto c = new TestControl;
	c->setTag (5);
	frame->addView (c);
	c->beginEdit ();
	c->beginEdit ();
	c->endEdit ();
	c->endEdit ();
	EXPECT_EQ (editor.begun, std::vector<int32_t> {5});
	EXPECT_EQ (editor.ended, std::vector<int32_t> {5});
	frame->close ();
}

TEST (GuiControl, ResetTestMasks)
{
	auto c = makeOwned<TestControl> ();
	c->setDefaultValue (0.5f);
	auto passes = [&] (int32_t b) {
		c->setValue (0.9f);
		return c->checkDefaultValue (CButtonState (b));
	};
	EXPECT_TRUE (passes (kLButton | kAlt));
	EXPECT_TRUE (passes (kLButton | kAlt | kDoubleClick)); // double-click bit ignored
	EXPECT_TRUE (passes (kLButton | kAlt | kMouseWheelInverted));
	EXPECT_FALSE (passes (kLButton | kAlt | kShift));
	EXPECT_FALSE (passes (kLButton | kAlt | kControl));
	EXPECT_FALSE (passes (kLButton | kAlt | kApple));
	EXPECT_FALSE (passes (kLButton | kRButton | kAlt));
	EXPECT_FALSE (passes (kLButton | kAlt | kButton4));
	EXPECT_FALSE (passes (kRButton | kAlt));
	EXPECT_FALSE (passes (kLButton));
	EXPECT_FALSE (passes (kAlt));
	// Every state: passes exactly when (b & 782) == 2 and (b & 240) == 64.
	for (int32_t b = 0; b < 2048; ++b)
		EXPECT_EQ (CControl::defaultValueTest (c, CButtonState (b)), (b & 782) == 2 && (b & 240) == 64) << b;
}

TEST (GuiControl, ResetCallsInOrderAndOnlyWhenNeeded)
{
	auto c = makeOwned<TestControl> ();
	RecordingListener l;
	c->setListener (&l);
	c->setMin (0.f);
	c->setMax (10.f);
	c->setDefaultValue (4.f);
	c->setValue (9.f);
	c->setDirty (false);
	EXPECT_TRUE (c->checkDefaultValue (CButtonState (kLButton | kAlt)));
	EXPECT_EQ (c->getValue (), 4.f);
	EXPECT_EQ (l.events, (std::vector<std::string> {"begin", "value", "end"}));
	EXPECT_EQ (l.values, std::vector<float> {4.f});
	EXPECT_TRUE (c->isDirty ());
	EXPECT_FALSE (c->isEditing ());

	// Already at the default: consumed, nothing sent.
	l.events.clear ();
	EXPECT_TRUE (c->checkDefaultValue (CButtonState (kLButton | kAlt)));
	EXPECT_TRUE (l.events.empty ());

	// A default outside the range is clamped by setValue.
	c->setDefaultValue (20.f);
	EXPECT_TRUE (c->checkDefaultValue (CButtonState (kLButton | kAlt)));
	EXPECT_EQ (c->getValue (), 10.f);

	// An unordered default counts as equal: nothing changes.
	c->setDefaultValue (std::numeric_limits<float>::quiet_NaN ());
	l.events.clear ();
	EXPECT_TRUE (c->checkDefaultValue (CButtonState (kLButton | kAlt)));
	EXPECT_TRUE (l.events.empty ());
	EXPECT_EQ (c->getValue (), 10.f);

	// A failed test changes nothing.
	c->setDefaultValue (1.f);
	EXPECT_FALSE (c->checkDefaultValue (CButtonState (kLButton | kAlt | kShift)));
	EXPECT_EQ (c->getValue (), 10.f);
}

TEST (GuiControl, InstallableResetTest)
{
	auto c = makeOwned<TestControl> ();
	c->setValue (1.f);
	c->setDefaultValue (0.f);
	auto saved = CControl::CheckDefaultValueFunc;
	CControl::CheckDefaultValueFunc = [] (CControl*, CButtonState b) { return b.isRightButton (); };
	EXPECT_FALSE (c->checkDefaultValue (CButtonState (kLButton | kAlt)));
	EXPECT_TRUE (c->checkDefaultValue (CButtonState (kRButton)));
	EXPECT_EQ (c->getValue (), 0.f);
	CControl::CheckDefaultValueFunc = saved;
}

TEST (GuiTimer, ManualRunLoopFiresDueTimers)
{
	ScopedManualRunLoop rl;
	int ticks = 0;
	auto timer = makeOwned<CVSTGUITimer> ([&] (CVSTGUITimer*) { ++ticks; }, 16);
	EXPECT_TRUE (timer->isRunning ());
	EXPECT_EQ (rl.loop.getNumTimers (), 1u);
	rl.loop.advance (15);
	EXPECT_EQ (ticks, 0);
	rl.loop.advance (1);
	EXPECT_EQ (ticks, 1);
	rl.loop.advance (48);
	EXPECT_EQ (ticks, 4);
	timer->setFireTime (100);
	rl.loop.advance (99);
	EXPECT_EQ (ticks, 4);
	rl.loop.advance (1);
	EXPECT_EQ (ticks, 5);
	timer->stop ();
	rl.loop.advance (1000);
	EXPECT_EQ (ticks, 5);
	EXPECT_TRUE (timer->start ());
	timer = nullptr; // the destructor unregisters
	EXPECT_EQ (rl.loop.getNumTimers (), 0u);
	rl.loop.advance (1000);
	EXPECT_EQ (ticks, 5);

	// Not started: no ticks until start().
	auto lazy = makeOwned<CVSTGUITimer> ([&] (CVSTGUITimer*) { ++ticks; }, 10, false);
	rl.loop.advance (100);
	EXPECT_EQ (ticks, 5);
}

TEST (GuiTimer, TimerMayDropItselfInItsCallback)
{
	ScopedManualRunLoop rl;
	SharedPointer<CVSTGUITimer> holder;
	int ticks = 0;
	holder = makeOwned<CVSTGUITimer> (
	    [&] (CVSTGUITimer*) {
		    ++ticks;
		    holder = nullptr; // last reference goes while the callback runs
	    },
	    16);
	rl.loop.advance (100);
	EXPECT_EQ (ticks, 1);
	EXPECT_EQ (rl.loop.getNumTimers (), 0u);
}

TEST (GuiTimer, TimerObjectGetsTimerMessages)
{
	ScopedManualRunLoop rl;
	struct Target : CBaseObject
	{
		int messages {0};
		CMessageResult notify (CBaseObject*, IdStringPtr message) override
		{
			if (message == kMsgTimer)
				++messages;
			return kMessageNotified;
		}
	};
	auto target = makeOwned<Target> ();
	auto timer = makeOwned<CVSTGUITimer> (target.get (), 50, true);
	rl.loop.advance (120);
	EXPECT_EQ (target->messages, 2);
}

TEST (GuiTimer, TimersFireInTimeOrder)
{
	ScopedManualRunLoop rl;
	std::vector<int> order;
	auto a = makeOwned<CVSTGUITimer> ([&] (CVSTGUITimer*) { order.push_back (30); }, 30);
	auto b = makeOwned<CVSTGUITimer> ([&] (CVSTGUITimer*) { order.push_back (20); }, 20);
	EXPECT_EQ (rl.loop.advance (60), 5u);
	// At 60 ms both are due; the one registered first goes first.
	EXPECT_EQ (order, (std::vector<int> {20, 30, 20, 30, 20}));
	EXPECT_EQ (rl.loop.now (), 60u);
}

TEST (GuiWheelEdit, OneEditEndingFiveHundredMsAfterTheLastStep)
{
	ScopedManualRunLoop rl;
	auto c = makeOwned<TestControl> ();
	RecordingListener l;
	c->setListener (&l);
	c->wheelStep ();
	EXPECT_TRUE (c->isEditing ());
	rl.loop.advance (400);
	c->wheelStep (); // extends by another 500 ms
	rl.loop.advance (400);
	EXPECT_TRUE (c->isEditing ());
	rl.loop.advance (100);
	EXPECT_FALSE (c->isEditing ());
	EXPECT_EQ (l.events, (std::vector<std::string> {"begin", "end"}));
	rl.loop.advance (5000); // the stopped timer does nothing more
	EXPECT_EQ (l.count ("end"), 1u);

	// A press ends an open wheel edit at once.
	c->wheelStep ();
	EXPECT_TRUE (c->hasWheelTimer ());
	c->endWheel ();
	EXPECT_FALSE (c->isEditing ());
	EXPECT_FALSE (c->hasWheelTimer ());
	rl.loop.advance (1000);
	EXPECT_EQ (l.count ("begin"), 2u);
	EXPECT_EQ (l.count ("end"), 2u);

	// invalidMouseWheelEditTimer ends one edit even without a timer.
	c->beginEdit ();
	c->endWheel ();
	EXPECT_FALSE (c->isEditing ());
}

TEST (GuiWheelEdit, ControlGoingAwayStopsItsTimer)
{
	ScopedManualRunLoop rl;
	{
		auto c = makeOwned<TestControl> ();
		c->wheelStep ();
		EXPECT_EQ (rl.loop.getNumTimers (), 1u);
	}
	EXPECT_EQ (rl.loop.getNumTimers (), 0u);
	rl.loop.advance (1000);
}

//------------------------------------------------------------------------
// knob
//------------------------------------------------------------------------
namespace {
struct KnobFixture : ::testing::Test
{
	ScopedManualRunLoop rl;
	TestEditor editor;
	CFrame* frame {nullptr};
	CKnob* knob {nullptr};
	RecordingListener listener;

	void SetUp () override
	{
		frame = new CFrame (CRect (0, 0, 300, 300), &editor);
		ASSERT_TRUE (frame->open (nullptr, PlatformType::kOffscreen));
		knob = new CKnob (CRect (100, 100, 160, 160), &listener, 3, nullptr, nullptr);
		knob->setDefaultValue (0.5f);
		frame->addView (knob);
	}
	void TearDown () override { frame->close (); }
	CMouseEventResult press (CPoint p, int32_t buttons) { return frame->onMouseDown (p, CButtonState (buttons)); }
	CMouseEventResult move (CPoint p, int32_t buttons) { return frame->onMouseMoved (p, CButtonState (buttons)); }
	CMouseEventResult release (CPoint p) { return frame->onMouseUp (p, CButtonState (0)); }
};
} // anonymous

TEST_F (KnobFixture, OptionAloneResetsInEveryMode)
{
	for (int32_t mode : {kCircularMode, kRelativCircularMode, kLinearMode})
	{
		editor.mode = mode;
		knob->setValue (0.9f);
		listener.events.clear ();
		EXPECT_EQ (press (CPoint (130, 105), kLButton | kAlt), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
		EXPECT_FLOAT_EQ (knob->getValue (), 0.5f);
		EXPECT_FALSE (knob->isEditing ());
		EXPECT_EQ (listener.events, (std::vector<std::string> {"begin", "value", "end"}));
	}
	// At the default already: the knob still brackets its own edit, nothing else.
	listener.events.clear ();
	EXPECT_EQ (press (CPoint (130, 105), kLButton | kAlt), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_EQ (listener.events, (std::vector<std::string> {"begin", "end"}));
}

TEST_F (KnobFixture, OptionWithShiftDoesNotResetAndDragsCircularUnderLinearMode)
{
	editor.mode = kLinearMode;
	knob->setValue (0.9f);
	EXPECT_EQ (press (CPoint (130, 105), kLButton | kAlt | kShift), kMouseEventHandled);
	EXPECT_EQ (knob->getDragMode (), kCircularMode);
	// The press at the top centre of a 270-degree knob sets the middle value.
	EXPECT_NEAR (knob->getValue (), 0.5f, 1e-5);
	release (CPoint (130, 105));
	EXPECT_FALSE (knob->isEditing ());

	// Plain press under the linear mode drags linearly: 200 px for the whole range.
	knob->setValue (0.2f);
	EXPECT_EQ (press (CPoint (130, 130), kLButton), kMouseEventHandled);
	EXPECT_EQ (knob->getDragMode (), kLinearMode);
	EXPECT_FLOAT_EQ (knob->getValue (), 0.2f);
	move (CPoint (130, 90), kLButton); // 40 px up
	EXPECT_NEAR (knob->getValue (), 0.4f, 1e-6);
	move (CPoint (150, 90), kLButton); // 20 px right
	EXPECT_NEAR (knob->getValue (), 0.5f, 1e-6);
	// Shift mid-drag: the value stays, then 1.5 times finer.
	move (CPoint (150, 90), kLButton | kShift);
	EXPECT_NEAR (knob->getValue (), 0.5f, 1e-6);
	move (CPoint (150, 60), kLButton | kShift);
	EXPECT_NEAR (knob->getValue (), 0.5f + 30.f / 300.f, 1e-5);
	move (CPoint (150, -1000), kLButton);
	EXPECT_EQ (knob->getValue (), 1.f);
	release (CPoint (150, -1000));
	EXPECT_EQ (listener.count ("begin"), listener.count ("end"));
}

TEST_F (KnobFixture, OptionSwitchesCircularToLinear)
{
	editor.mode = kCircularMode;
	knob->setValue (0.3f);
	press (CPoint (130, 130), kLButton | kAlt | kShift);
	EXPECT_EQ (knob->getDragMode (), kLinearMode);
	EXPECT_FLOAT_EQ (knob->getValue (), 0.3f);
	release (CPoint (130, 130));
	// Without an editor preference the library-wide default applies.
	editor.mode = -1;
	CFrame::setDefaultKnobMode (kLinearMode);
	EXPECT_EQ (frame->getKnobMode (), kLinearMode);
	CFrame::setDefaultKnobMode (kCircularMode);
	EXPECT_EQ (frame->getKnobMode (), kCircularMode);
}

TEST_F (KnobFixture, CircularGeometry)
{
	editor.mode = kCircularMode;
	CPoint p;
	knob->setValue (0.f);
	knob->valueToPoint (p);
	// 135 degrees: down-left of the centre (30, 30), radius 30 - 3.
	EXPECT_NEAR (p.x, 30. - 27. * std::sqrt (0.5), 1e-4);
	EXPECT_NEAR (p.y, 30. + 27. * std::sqrt (0.5), 1e-4);
	CPoint right (59, 30); // three o'clock: 225 of 270 degrees
	EXPECT_NEAR (knob->valueFromPoint (right), 225.f / 270.f, 1e-5);
	CPoint bottomLeftGap (29, 59), bottomRightGap (31, 59);
	EXPECT_EQ (knob->valueFromPoint (bottomLeftGap), 0.f); // dead zone, nearer the start
	EXPECT_EQ (knob->valueFromPoint (bottomRightGap), 1.f);

	// Dragging across the dead zone does not jump to the other end.
	knob->setValue (0.95f);
	press (CPoint (158, 152), kLButton); // lower right: near the maximum
	EXPECT_GT (knob->getValue (), 0.9f);
	move (CPoint (101, 158), kLButton); // across to the bottom-left
	EXPECT_EQ (knob->getValue (), 1.f);
	release (CPoint (101, 158));
}

TEST_F (KnobFixture, WheelKeysAndCancel)
{
	knob->setValue (0.5f);
	frame->onWheel (CPoint (130, 130), kMouseWheelAxisY, 1.f, CButtonState (0));
	EXPECT_NEAR (knob->getValue (), 0.6f, 1e-6);
	EXPECT_TRUE (knob->isEditing ());
	frame->onWheel (CPoint (130, 130), kMouseWheelAxisY, -1.f, CButtonState (kShift));
	EXPECT_NEAR (knob->getValue (), 0.59f, 1e-6);
	rl.loop.advance (500);
	EXPECT_FALSE (knob->isEditing ());
	EXPECT_EQ (listener.count ("begin"), 1u);
	EXPECT_EQ (listener.count ("end"), 1u);

	VstKeyCode up {0, VKEY_UP, 0};
	EXPECT_EQ (knob->onKeyDown (up), 1);
	EXPECT_NEAR (knob->getValue (), 0.69f, 1e-6);
	VstKeyCode fineDown {0, VKEY_DOWN, MODIFIER_SHIFT};
	EXPECT_EQ (knob->onKeyDown (fineDown), 1);
	EXPECT_NEAR (knob->getValue (), 0.68f, 1e-6);
	VstKeyCode other {'a', 0, 0};
	EXPECT_EQ (knob->onKeyDown (other), -1);

	editor.mode = kLinearMode;
	knob->setValue (0.4f);
	press (CPoint (130, 130), kLButton);
	move (CPoint (130, 80), kLButton);
	EXPECT_NEAR (knob->getValue (), 0.65f, 1e-6);
	VstKeyCode esc {0, VKEY_ESCAPE, 0};
	EXPECT_EQ (knob->onKeyDown (esc), 1);
	EXPECT_FLOAT_EQ (knob->getValue (), 0.4f);
	EXPECT_FALSE (knob->isEditing ());
	EXPECT_EQ (knob->onKeyDown (esc), -1);
}

TEST_F (KnobFixture, RightButtonIsIgnored)
{
	knob->setValue (0.7f);
	EXPECT_EQ (press (CPoint (130, 130), kRButton | kAlt), kMouseEventNotHandled);
	EXPECT_EQ (press (CPoint (130, 130), kLButton | kRButton | kAlt), kMouseEventNotHandled);
	EXPECT_FLOAT_EQ (knob->getValue (), 0.7f);
	EXPECT_TRUE (listener.events.empty ());
}

//------------------------------------------------------------------------
// switches
//------------------------------------------------------------------------
TEST (GuiSwitch, VerticalPositionsResetAndCancel)
{
	auto sw = makeOwned<CVerticalSwitch> (CRect (10, 10, 30, 70));
	sw->setNumSubPixmaps (3);
	sw->setDefaultValue (0.f);
	RecordingListener l;
	sw->setListener (&l);
	CPoint p (20, 55); // third position
	EXPECT_EQ (sw->onMouseDown (p, CButtonState (kLButton)), kMouseEventHandled);
	EXPECT_FLOAT_EQ (sw->getValue (), 1.f);
	CPoint middle (20, 35);
	sw->onMouseMoved (middle, CButtonState (kLButton));
	EXPECT_FLOAT_EQ (sw->getValue (), 0.5f);
	sw->onMouseUp (middle, CButtonState (0));
	EXPECT_FALSE (sw->isEditing ());

	// Option alone resets; the switch brackets its own edit around the test.
	l.events.clear ();
	EXPECT_EQ (sw->onMouseDown (p, CButtonState (kLButton | kAlt)), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_FLOAT_EQ (sw->getValue (), 0.f);
	EXPECT_EQ (l.events, (std::vector<std::string> {"begin", "value", "end"}));
	EXPECT_FALSE (sw->isEditing ());

	// Option and Shift: no reset, the press selects the position under the pointer.
	EXPECT_EQ (sw->onMouseDown (p, CButtonState (kLButton | kAlt | kShift)), kMouseEventHandled);
	EXPECT_FLOAT_EQ (sw->getValue (), 1.f);
	sw->onMouseCancel ();
	EXPECT_FLOAT_EQ (sw->getValue (), 0.f);
	EXPECT_FALSE (sw->isEditing ());

	CPoint q (20, 15);
	EXPECT_EQ (sw->onMouseDown (q, CButtonState (kRButton)), kMouseEventNotHandled);
}

TEST (GuiSwitch, HorizontalAndKeys)
{
	auto sw = makeOwned<CHorizontalSwitch> (CRect (0, 0, 100, 20));
	sw->setNumSubPixmaps (5);
	CPoint p (61, 10);
	sw->onMouseDown (p, CButtonState (kLButton));
	EXPECT_FLOAT_EQ (sw->getValue (), 0.75f);
	sw->onMouseUp (p, CButtonState (0));
	VstKeyCode left {0, VKEY_LEFT, 0};
	EXPECT_EQ (sw->onKeyDown (left), 1);
	EXPECT_FLOAT_EQ (sw->getValue (), 0.5f);
	// Fewer than two sub-images still gives two positions.
	sw->setNumSubPixmaps (0);
	EXPECT_EQ (sw->getNumPositions (), 2);
	auto copy = owned (dynamic_cast<CHorizontalSwitch*> (sw->newCopy ()));
	ASSERT_TRUE (copy);
	EXPECT_FLOAT_EQ (copy->getValue (), 0.5f);
}

TEST (GuiSwitch, DrawsTheSubImageOfTheValue)
{
	auto bitmap = makeOwned<CBitmap> (10., 60.);
	auto sw = makeOwned<CVerticalSwitch> (CRect (0, 0, 10, 20), nullptr, -1, bitmap);
	EXPECT_EQ (sw->getNumSubPixmaps (), 3);
	EXPECT_EQ (sw->getHeightOfOneImage (), 20);
	sw->setValue (1.f);
	RecordingContext rec;
	sw->draw (&rec);
	ASSERT_EQ (rec.count ("drawBitmap"), 1u);
	EXPECT_EQ (rec.calls[0].mode, 40); // source offset y: third image
	sw->setInverseBitmap (true);
	rec.calls.clear ();
	sw->draw (&rec);
	EXPECT_EQ (rec.calls[0].mode, 0);
}


// A range without a normalised value (infinite bounds give not-a-number) and a view
// far thinner than its bitmap's images: the first image and every sub-image count
// without a conversion that UndefinedBehaviorSanitizer reports.
TEST (GuiSwitch, DegenerateRangesAndSizesStayInTheirPositions)
{
	auto bitmap = makeOwned<CBitmap> (10., 60.);
	auto sw = makeOwned<CVerticalSwitch> (CRect (0, 0, 10, 20), nullptr, -1, bitmap);
	sw->setMin (std::numeric_limits<float>::infinity ());
	sw->setMax (-std::numeric_limits<float>::infinity ());
	EXPECT_TRUE (std::isnan (sw->getValueNormalized ()));
	RecordingContext rec;
	sw->draw (&rec);
	ASSERT_EQ (rec.count ("drawBitmap"), 1u);
	EXPECT_EQ (rec.calls[0].mode, 0);

	auto thin = makeOwned<CVerticalSwitch> (CRect (0, 0, 10, 1e-320), nullptr, -1, bitmap);
	EXPECT_EQ (thin->getNumSubPixmaps (), std::numeric_limits<int32_t>::max ());
	rec.calls.clear ();
	thin->draw (&rec);
	EXPECT_EQ (rec.count ("drawBitmap"), 1u);
}
//------------------------------------------------------------------------
// on/off button, displays, label
//------------------------------------------------------------------------
TEST (GuiOnOffButton, ClickTogglesAsOneEdit)
{
	auto button = makeOwned<COnOffButton> (CRect (0, 0, 20, 20));
	RecordingListener l;
	button->setListener (&l);
	CPoint p (5, 5);
	EXPECT_EQ (button->onMouseDown (p, CButtonState (kLButton)), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_EQ (button->getValue (), 1.f);
	EXPECT_EQ (l.events, (std::vector<std::string> {"begin", "value", "end"}));
	button->onMouseDown (p, CButtonState (kLButton));
	EXPECT_EQ (button->getValue (), 0.f);
	EXPECT_EQ (button->onMouseDown (p, CButtonState (kRButton)), kMouseEventNotHandled);
	EXPECT_EQ (button->getValue (), 0.f);
	VstKeyCode space {0, VKEY_SPACE, 0};
	EXPECT_EQ (button->onKeyDown (space), 1);
	EXPECT_EQ (button->getValue (), 1.f);

	// A listener may take over a modified click.
	struct Taker : RecordingListener
	{
		int32_t controlModifierClicked (CControl*, CButtonState) override { return 1; }
	} taker;
	button->setListener (&taker);
	button->onMouseDown (p, CButtonState (kLButton | kControl));
	EXPECT_EQ (button->getValue (), 1.f);
	EXPECT_TRUE (taker.events.empty ());
}

TEST (GuiOnOffButton, DrawsTheLowerHalfWhenOn)
{
	auto bitmap = makeOwned<CBitmap> (20., 40.);
	auto button = makeOwned<COnOffButton> (CRect (5, 5, 25, 25), nullptr, -1, bitmap);
	RecordingContext rec;
	button->draw (&rec);
	EXPECT_EQ (rec.calls.at (0).mode, 0);
	button->setValue (1.f);
	button->draw (&rec);
	EXPECT_EQ (rec.calls.at (1).mode, 20);
	EXPECT_EQ (rec.calls.at (1).rect, CRect (5, 5, 25, 25));
	EXPECT_TRUE (button->sizeToFit ());
	EXPECT_EQ (button->getViewSize (), CRect (5, 5, 25, 25));
	EXPECT_FALSE (button->isDirty ());
}

TEST (GuiParamDisplay, ValueTextWithPrecision)
{
	auto display = makeOwned<CParamDisplay> (CRect (0, 0, 80, 20));
	display->setMin (-36.f);
	display->setMax (12.f);
	display->setValue (-3.14159f);
	EXPECT_EQ (display->getValueString (display->getValue ()), "-3.14");
	display->setPrecision (0);
	EXPECT_EQ (display->getValueString (2.6f), "3");
	display->setValueToStringFunction2 ([] (float v, std::string& s, CParamDisplay*) {
		s = v > 0 ? "up" : "down";
		return true;
	});
	EXPECT_EQ (display->getValueString (1.f), "up");
	RecordingContext rec;
	display->setFontColor (kRedCColor);
	display->draw (&rec);
	ASSERT_EQ (rec.count ("drawString:down"), 1u);
	EXPECT_EQ (rec.calls.back ().color, kRedCColor);
	display->setStyle (kNoDrawStyle);
	rec.calls.clear ();
	display->draw (&rec);
	EXPECT_TRUE (rec.calls.empty ());
}

TEST (GuiTextLabel, TextDrawAndTruncation)
{
	auto label = makeOwned<CTextLabel> (CRect (0, 0, 60, 20), "2.1.0, VST3 x86_64-macOS");
	EXPECT_EQ (label->getText (), "2.1.0, VST3 x86_64-macOS");
	label->setText ("");
	EXPECT_TRUE (label->getText ().empty ());
	label->setText (UTF8String ("2.1.0, VST3 x86_64-macOS"));
	RecordingContext rec;
	label->draw (&rec);
	EXPECT_EQ (rec.count ("drawString:2.1.0, VST3 x86_64-macOS"), 1u);

	label->setTextTruncateMode (CTextLabel::kTruncateTail);
	label->draw (&rec);
	const std::string& t = label->getTruncatedText ().getString ();
	EXPECT_LT (t.size (), 24u);
	ASSERT_GE (t.size (), 2u);
	EXPECT_EQ (t.substr (t.size () - 2), "..");
	EXPECT_LE (rec.getStringWidth (t.c_str ()), 60.);
	label->setTextTruncateMode (CTextLabel::kTruncateHead);
	label->draw (&rec);
	EXPECT_EQ (label->getTruncatedText ().getString ().substr (0, 2), "..");

	// Two lines are drawn one above the other.
	label->setTextTruncateMode (CTextLabel::kTruncateNone);
	label->setText ("a\nb");
	rec.calls.clear ();
	label->draw (&rec);
	ASSERT_EQ (rec.calls.size (), 3u); // back, line a, line b
	EXPECT_EQ (rec.calls[1].rect, CRect (0, 0, 60, 10));
	EXPECT_EQ (rec.calls[2].rect, CRect (0, 10, 60, 20));
}
