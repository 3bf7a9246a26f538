// The slider inside a frame: a press that the frame ends without a release (the view
// removed from its container or from the frame, the frame closed) is cancelled first, so
// that the slider's edit closes, its value goes back to the press value and its ramp stops.
#include "slidertesthelpers.h"

#include "vstgui/lib/cframe.h"

#include <gtest/gtest.h>

#include <functional>

using namespace VSTGUI;
using namespace SliderTest;

namespace {

using Events = std::vector<std::string>;

class SliderInFrame : public ::testing::Test
{
protected:
	ScopedManualRunLoop runLoop;
	RecordingListener listener;
	CFrame* frame {nullptr};
	CViewContainer* container {nullptr};
	SharedPointer<CSlider> slider;

	void SetUp () override
	{
		frame = new CFrame (CRect (0, 0, 200, 100), nullptr);
		ASSERT_TRUE (frame->open (nullptr, PlatformType::kOffscreen));
		container = new CViewContainer (CRect (0, 0, 200, 100));
		frame->addView (container);
		slider = makeTestSlider (kHorizontalLeft, &listener, 0.f);
		slider->setSliderMode (CSliderMode::Ramp);
		slider->remember (); // the container takes this reference; the test keeps its own
		container->addView (slider);
	}
	void TearDown () override
	{
		if (frame)
			frame->close ();
	}

	/** A ramp press beside the handle, three ticks into the ramp. */
	void rampPress ()
	{
		CPoint where (90, 30);
		ASSERT_EQ (frame->platformOnMouseDown (where, CButtonState (kLButton)), kMouseEventHandled);
		runLoop.loop.advance (48);
		ASSERT_NEAR (slider->getValue (), 0.03f, 1e-6f);
		ASSERT_EQ (runLoop.loop.getNumTimers (), 1u);
		listener.clear ();
	}
	/** The cancel's report: the press value back, then the end of the edit; nothing after. */
	void expectCancelled ()
	{
		EXPECT_EQ (listener.events, (Events {"value", "end"}));
		EXPECT_EQ (slider->getValue (), 0.f);
		EXPECT_FALSE (slider->isEditing ());
		EXPECT_EQ (runLoop.loop.getNumTimers (), 0u);
		runLoop.loop.advance (160);
		EXPECT_EQ (slider->getValue (), 0.f);
		EXPECT_EQ (listener.events.size (), 2u);
	}
};

} // anonymous

TEST_F (SliderInFrame, RemovedFromItsContainerDuringAPress)
{
	rampPress ();
	EXPECT_TRUE (container->removeView (slider));
	expectCancelled ();
	// The rest of the press reaches nobody.
	CPoint where (95, 30);
	EXPECT_EQ (frame->platformOnMouseMoved (where, CButtonState (kLButton)), kMouseEventNotHandled);
	EXPECT_EQ (frame->platformOnMouseUp (where, CButtonState (kLButton)), kMouseEventNotHandled);
	EXPECT_EQ (listener.events.size (), 2u);
}

TEST_F (SliderInFrame, ContainerRemovedFromTheFrameDuringAPress)
{
	rampPress ();
	EXPECT_TRUE (frame->removeView (container));
	expectCancelled ();
}

TEST_F (SliderInFrame, EveryViewRemovedDuringAPress)
{
	rampPress ();
	container->removeAll ();
	expectCancelled ();
}

TEST_F (SliderInFrame, FrameClosedDuringAPress)
{
	rampPress ();
	frame->close ();
	frame = nullptr;
	expectCancelled ();
}

TEST_F (SliderInFrame, FocusLossDuringAPress)
{
	rampPress ();
	frame->platformOnActivate (false);
	expectCancelled ();
}

TEST_F (SliderInFrame, APressWithASecondButtonLeavesNoEditForTheFrameToForget)
{
	CPoint where (90, 30);
	EXPECT_EQ (frame->platformOnMouseDown (where, CButtonState (kLButton | kRButton)), kMouseEventNotHandled);
	EXPECT_EQ (frame->getMouseDownView (), nullptr);
	EXPECT_EQ (listener.events, (Events {"begin", "end"}));
	EXPECT_EQ (runLoop.loop.getNumTimers (), 0u);
	runLoop.loop.advance (160);
	EXPECT_EQ (slider->getValue (), 0.f);
}
