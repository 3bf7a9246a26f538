// Slider state, modes, styles, the handle's travel, the handle rectangle and the offset a
// press fixes between pointer and handle.
#include "slidertesthelpers.h"
#include <gtest/gtest.h>
#include <limits>

using namespace VSTGUI;
using namespace SliderTest;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN ();

float deltaAt (CSliderBase* slider, CPoint where, CRect* rect = nullptr)
{
	return slider->calculateDelta (where, rect);
}

} // anonymous

//------------------------------------------------------------------------
// modes
//------------------------------------------------------------------------
TEST (SliderModes, NewSliderStoresUseGlobalAndRunsVDFreeClick)
{
	auto slider = makeTestSlider ();
	EXPECT_EQ (CSliderBase::getGlobalMode (), CSliderMode::VDFreeClick);
	EXPECT_EQ (slider->getSliderMode (), CSliderMode::UseGlobal);
	EXPECT_EQ (slider->getEffectiveSliderMode (), CSliderMode::VDFreeClick);
	EXPECT_EQ (static_cast<int32_t> (slider->getEffectiveSliderMode ()), 3);

	// A slider with a mode of its own keeps it whatever the library-wide mode is.
	GlobalModeGuard guard;
	slider->setSliderMode (CSliderMode::FreeClick);
	CSliderBase::setGlobalMode (CSliderMode::Ramp);
	EXPECT_EQ (slider->getEffectiveSliderMode (), CSliderMode::FreeClick);
	slider->setSliderMode (CSliderMode::UseGlobal);
	EXPECT_EQ (slider->getEffectiveSliderMode (), CSliderMode::Ramp);
}

TEST (SliderModes, GlobalRampReachesFollowersFromTheirNextPress)
{
	ScopedManualRunLoop runLoop;
	GlobalModeGuard guard;
	auto follower = makeTestSlider (kHorizontalLeft, nullptr, 0.f);
	auto touch = makeTestSlider (kHorizontalLeft, nullptr, 0.f);
	touch->setSliderMode (CSliderMode::Touch);

	CSliderBase::setGlobalMode (CSliderMode::Ramp);
	// Beside the handle: the follower ramps (no jump at the press, a step per tick) ...
	EXPECT_EQ (press (follower, CPoint (90, 30), kLButton), kMouseEventHandled);
	EXPECT_FLOAT_EQ (follower->getValueNormalized (), 0.f);
	runLoop.loop.advance (16);
	EXPECT_NEAR (follower->getValueNormalized (), 0.01f, 1e-6f);
	release (follower);
	// ... while the slider with its own mode ignores the press.
	EXPECT_EQ (press (touch, CPoint (90, 30), kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_FALSE (touch->isEditing ());
}

TEST (SliderModes, SettingTheGlobalModeToUseGlobalIsReportedAndStored)
{
	GlobalModeGuard guard;
	{
		AssertionRecorder recorder;
		CSliderBase::setGlobalMode (CSliderMode::UseGlobal);
		ASSERT_EQ (recorder.reports.size (), 1u);
		EXPECT_TRUE (recorder.reports[0].hasMessage);
		EXPECT_EQ (recorder.reports[0].message, "do not set the global mode to use global");
		EXPECT_NE (recorder.reports[0].file.find ("cslider"), std::string::npos);
		EXPECT_FALSE (recorder.reports[0].line.empty ());
		EXPECT_EQ (static_cast<int32_t> (CSliderBase::getGlobalMode ()), 5);

		// A handler that throws stops the store.
		CSliderBase::setGlobalMode (CSliderMode::Touch);
		recorder.throwOnReport = true;
		EXPECT_THROW (CSliderBase::setGlobalMode (CSliderMode::UseGlobal), std::runtime_error);
		EXPECT_EQ (CSliderBase::getGlobalMode (), CSliderMode::Touch);
	}

	// Without a handler nothing is reported and the value is stored; followers then take
	// the relative offset on every press, beside the handle too.
	CSliderBase::setGlobalMode (CSliderMode::UseGlobal);
	EXPECT_EQ (CSliderBase::getGlobalMode (), CSliderMode::UseGlobal);
	auto slider = makeTestSlider ();
	EXPECT_EQ (slider->getEffectiveSliderMode (), CSliderMode::UseGlobal);
	EXPECT_FLOAT_EQ (deltaAt (slider, CPoint (30, 30)), 12.f + (30.f - 50.f));
	EXPECT_FLOAT_EQ (deltaAt (slider, CPoint (55, 30)), 17.f);
}

//------------------------------------------------------------------------
// styles
//------------------------------------------------------------------------
TEST (SliderStyle, BothOrNeitherOrientationIsReportedWithoutMessageAndStored)
{
	auto slider = makeTestSlider ();
	slider->setSliderMode (CSliderMode::Touch);
	AssertionRecorder recorder;

	slider->setStyle (CSlider::kVertical | CSlider::kBottom);
	slider->setStyle (CSlider::kHorizontal | CSlider::kRight);
	EXPECT_TRUE (recorder.reports.empty ());

	slider->setStyle (0);
	ASSERT_EQ (recorder.reports.size (), 1u);
	EXPECT_FALSE (recorder.reports[0].hasMessage);
	EXPECT_EQ (slider->getStyle (), 0);
	// Without kHorizontal the axis is y: a press offset follows y.
	EXPECT_FLOAT_EQ (deltaAt (slider, CPoint (1000, 30)), 20.f + (30.f - (20.f + 38.f)));

	slider->setStyle (3);
	ASSERT_EQ (recorder.reports.size (), 2u);
	EXPECT_EQ (slider->getStyle (), 3);
	EXPECT_TRUE (slider->isHorizontal ());
	EXPECT_FLOAT_EQ (deltaAt (slider, CPoint (55, 1000)), 12.f + (55.f - 50.f));

	recorder.throwOnReport = true;
	EXPECT_THROW (slider->setStyle (0), std::runtime_error);
	EXPECT_EQ (slider->getStyle (), 3);
}

TEST (SliderStyle, ReversedMeansRightWhenHorizontalAndTopOtherwise)
{
	auto slider = makeTestSlider ();
	struct Case
	{
		int32_t style;
		bool reversed, right, bottom;
	};
	for (auto c : {Case {CSlider::kHorizontal | CSlider::kRight, true, true, false},
	               Case {CSlider::kHorizontal | CSlider::kTop, false, false, false},
	               Case {CSlider::kHorizontal | CSlider::kLeft, false, false, false},
	               Case {CSlider::kVertical | CSlider::kTop, true, false, false},
	               Case {CSlider::kVertical | CSlider::kRight, false, true, false},
	               Case {CSlider::kVertical | CSlider::kBottom, false, false, true}})
	{
		slider->setStyle (c.style);
		EXPECT_EQ (slider->isReversed (), c.reversed) << c.style;
		EXPECT_EQ (slider->hasStyleRight (), c.right) << c.style;
		EXPECT_EQ (slider->hasStyleBottom (), c.bottom) << c.style;
	}
}

TEST (SliderStyle, ZoomFactorIsStoredWithoutCheck)
{
	auto slider = makeTestSlider ();
	EXPECT_FLOAT_EQ (slider->getZoomFactor (), 10.f);
	slider->setZoomFactor (0.f);
	EXPECT_EQ (slider->getZoomFactor (), 0.f);
	slider->setZoomFactor (-3.f);
	EXPECT_EQ (slider->getZoomFactor (), -3.f);
}

//------------------------------------------------------------------------
// travel and handle rectangle
//------------------------------------------------------------------------
// The limits are seen through calculateHandleRect: values beyond [0, 1] push the handle
// against minPos and maxPos, and the value 1 puts its leading edge at the end of the travel.
TEST (SliderGeometry, TravelFromTheViewRectangle)
{
	auto slider = makeTestSlider ();
	EXPECT_EQ (slider->getHandleMinPos (), 0.);
	EXPECT_EQ (slider->getControlSize (), CPoint (100, 20));
	EXPECT_EQ (slider->calculateHandleRect (1.f).left, 10. + 2. + 76.);   // rangeHandle 76
	EXPECT_EQ (slider->calculateHandleRect (-1.f).left, 10. + 2.);        // minPos 2
	EXPECT_EQ (slider->calculateHandleRect (2.f).right, 10. + 98.);       // maxPos 98
	EXPECT_EQ (slider->calculateHandleRect (0.5f), CRect (50, 20, 70, 40));
	EXPECT_EQ (slider->calculateHandleRect (0.f), CRect (12, 20, 32, 40));

	slider->setStyle (CSlider::kHorizontal | CSlider::kRight);
	EXPECT_EQ (slider->calculateHandleRect (0.25f), CRect (69, 20, 89, 40));
	EXPECT_EQ (slider->calculateHandleRect (1.f), CRect (12, 20, 32, 40));
}

TEST (SliderGeometry, VerticalTravelMirrorsTheHorizontalOne)
{
	auto slider = makeTestSlider (CSlider::kVertical);
	EXPECT_EQ (slider->getHandleMinPos (), 0.);
	EXPECT_EQ (slider->calculateHandleRect (1.f).top, 10. + 2. + 76.);
	EXPECT_EQ (slider->calculateHandleRect (-1.f).top, 12.);
	EXPECT_EQ (slider->calculateHandleRect (2.f).bottom, 108.);
	EXPECT_EQ (slider->calculateHandleRect (0.5f), CRect (20, 50, 40, 70));
	slider->setStyle (CSlider::kVertical | CSlider::kBottom);
	EXPECT_EQ (slider->calculateHandleRect (0.25f), CRect (20, 69, 40, 89));
}

TEST (SliderGeometry, OffsetAndSizeChangesMoveTheLimitsButKeepTheTravel)
{
	auto slider = makeTestSlider ();
	slider->setOffsetHandle (CPoint (5, 0));
	EXPECT_EQ (slider->getOffsetHandle (), CPoint (5, 0));
	EXPECT_EQ (slider->calculateHandleRect (1.f).left, 10. + 5. + 76.);
	EXPECT_EQ (slider->calculateHandleRect (-1.f).left, 15.);
	EXPECT_EQ (slider->calculateHandleRect (2.f).right, 10. + 101.);

	slider->setHandleSize (10, 8);
	EXPECT_EQ (slider->getHandleSize (), CPoint (10, 8));
	EXPECT_EQ (slider->calculateHandleRect (1.f), CRect (91, 20, 101, 28));
	EXPECT_EQ (slider->calculateHandleRect (2.f).right, 10. + 91.);

	// Only a new view size computes the travel again.
	slider->setViewSize (CRect (10, 20, 110, 40));
	EXPECT_EQ (slider->calculateHandleRect (1.f).left, 10. + 5. + 80.);

	slider->setHandleRange (40);
	EXPECT_EQ (slider->calculateHandleRect (1.f).left, 10. + 5. + 40.);
	slider->setHandleMinPos (7);
	EXPECT_EQ (slider->getHandleMinPos (), 7.);
	EXPECT_EQ (slider->calculateHandleRect (-1.f).left, 10. + 12.);
	// handleMinPos limits the handle but does not move it.
	EXPECT_EQ (slider->calculateHandleRect (0.5f).left, 10. + 5. + 20.);
}

TEST (SliderGeometry, ShorterViewThanHandleGivesANegativeTravelThatIsNotRefused)
{
	auto slider = makeTestSlider ();
	slider->setViewSize (CRect (10, 20, 20, 40)); // 10 wide: travel 10 - 20 - 4 = -14
	EXPECT_EQ (slider->calculateHandleRect (1.f).left, 12.); // -14 + 2 is below minPos 2
	// The leading edge of a value is floored, the press position truncated toward zero.
	EXPECT_EQ (slider->calculateHandleRect (0.25f).left, 12.);
	slider->setHandleMinPos (-20);
	EXPECT_EQ (slider->calculateHandleRect (0.25f).left, 10. + std::floor (0.25 * -14.) + 2.);
	slider->setSliderMode (CSliderMode::Touch);
	slider->setValueNormalized (0.25f);
	EXPECT_FLOAT_EQ (deltaAt (slider, CPoint (0, 30)), 12.f + (0.f - (12.f - 3.f)));

	// Value changes still stay within the range.
	CPoint where (100, 30);
	slider->setSliderMode (CSliderMode::RelativeTouch);
	press (slider, CPoint (15, 30), kLButton);
	move (slider, where, kLButton);
	EXPECT_GE (slider->getValueNormalized (), 0.f);
	EXPECT_LE (slider->getValueNormalized (), 1.f);
}

//------------------------------------------------------------------------
// press offset
//------------------------------------------------------------------------
TEST (SliderPressOffset, FreeClickCentresTheHandleOnEveryPressAndFillsNoRectangle)
{
	for (bool horizontal : {true, false})
	{
		auto slider = makeTestSlider (horizontal ? kHorizontalLeft : CSlider::kVertical);
		slider->setSliderMode (CSliderMode::FreeClick);
		CRect untouched (-1, -2, -3, -4);
		CRect rect = untouched;
		EXPECT_FLOAT_EQ (deltaAt (slider, along (horizontal, 55, 30), &rect), 21.f);
		EXPECT_EQ (rect, untouched);
		EXPECT_FLOAT_EQ (deltaAt (slider, along (horizontal, 0, 0)), 21.f);
		EXPECT_FLOAT_EQ (deltaAt (slider, CPoint (kNaN, kNaN)), 21.f);
	}
}

TEST (SliderPressOffset, VDFreeClickIsRelativeOnTheHandleAndCentringBesideIt)
{
	for (bool horizontal : {true, false})
	{
		SCOPED_TRACE (horizontal ? "horizontal" : "vertical");
		auto slider = makeTestSlider (horizontal ? kHorizontalLeft : CSlider::kVertical);
		ASSERT_EQ (slider->getEffectiveSliderMode (), CSliderMode::VDFreeClick);
		CRect rect;
		EXPECT_FLOAT_EQ (deltaAt (slider, along (horizontal, 55, 30), &rect), 17.f);
		EXPECT_EQ (rect, horizontal ? CRect (50, 20, 70, 40) : CRect (20, 50, 40, 70));
		// Where across the handle the press lies does not matter.
		EXPECT_FLOAT_EQ (deltaAt (slider, along (horizontal, 55, 21)), 17.f);
		// Leading and upper edges are on the handle; trailing and lower edges are not.
		EXPECT_FLOAT_EQ (deltaAt (slider, along (horizontal, 50, 20)), 12.f);
		EXPECT_FLOAT_EQ (deltaAt (slider, along (horizontal, 70, 30)), 21.f);
		EXPECT_FLOAT_EQ (deltaAt (slider, along (horizontal, 55, 40)), 21.f);
		EXPECT_FLOAT_EQ (deltaAt (slider, along (horizontal, 49.5, 30)), 21.f);
		EXPECT_FLOAT_EQ (deltaAt (slider, CPoint (kNaN, 30)), 21.f);
		EXPECT_FLOAT_EQ (deltaAt (slider, CPoint (55, kNaN)), 21.f);
	}
}

TEST (SliderPressOffset, OtherModesAreRelativeEverywhere)
{
	auto slider = makeTestSlider ();
	for (auto mode : {CSliderMode::Touch, CSliderMode::RelativeTouch, CSliderMode::Ramp, static_cast<CSliderMode> (42)})
	{
		slider->setSliderMode (mode);
		CRect rect;
		EXPECT_FLOAT_EQ (deltaAt (slider, CPoint (30, 30), &rect), 12.f + (30.f - 50.f));
		EXPECT_FLOAT_EQ (deltaAt (slider, CPoint (55, 30)), 17.f);
		EXPECT_EQ (rect, CRect (50, 20, 70, 40));
	}
}

TEST (SliderPressOffset, ReversedSlidersMeasureFromTheMirroredHandle)
{
	auto slider = makeTestSlider (CSlider::kHorizontal | CSlider::kRight, nullptr, 0.25f);
	CRect rect;
	// 1 - 0.25 = 0.75 of 76 = 57: the handle starts at 12 + 57.
	EXPECT_FLOAT_EQ (deltaAt (slider, CPoint (75, 30), &rect), 12.f + (75.f - 69.f));
	EXPECT_EQ (rect, CRect (69, 20, 89, 40));
}

TEST (SliderPressOffset, TravelsBeyondTheInt32RangeSaturate)
{
	auto slider = makeTestSlider (kHorizontalLeft, nullptr, 1.f);
	slider->setSliderMode (CSliderMode::Touch);
	slider->setHandleRange (1e12);
	CRect rect;
	EXPECT_FLOAT_EQ (deltaAt (slider, CPoint (0, 0), &rect), 12.f - (12.f + 2147483647.f));
	EXPECT_EQ (rect.left, 12. + 2147483647.);
	slider->setHandleRange (-1e12);
	deltaAt (slider, CPoint (0, 0), &rect);
	EXPECT_EQ (rect.left, 12. - 2147483648.);
	slider->setHandleRange (std::numeric_limits<double>::quiet_NaN ());
	EXPECT_FLOAT_EQ (deltaAt (slider, CPoint (40, 0), &rect), 40.f);
	EXPECT_EQ (rect.left, 12.);
}
