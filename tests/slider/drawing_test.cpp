// The slider view: construction, drawing, the setters' redraw rules, the handle bitmap,
// sizeToFit, copies, and the fixed-orientation sliders.
#include "slidertesthelpers.h"
#include <gtest/gtest.h>
#include <limits>

using namespace VSTGUI;
using namespace SliderTest;

namespace {

using Names = std::vector<std::string>;

const CRect kHorizontalView (10, 20, 110, 40);
const CRect kVerticalView (20, 10, 40, 110);

SharedPointer<CSlider> makeDrawnSlider (int32_t drawStyle, float value, int32_t style = kHorizontalLeft)
{
	const CRect& view = (style & CSlider::kHorizontal) ? kHorizontalView : kVerticalView;
	auto slider = owned (new CSlider (view, nullptr, 1, 0, 0, nullptr, nullptr, CPoint (0, 0), style));
	slider->setDrawStyle (drawStyle);
	slider->setValueNormalized (value);
	return slider;
}

std::vector<RecordingContext::Call> draw (CSlider* slider, bool paths = true, double scale = 1.)
{
	RecordingContext context (paths, scale);
	slider->draw (&context);
	return context.calls;
}

std::vector<RecordingContext::Call> paintsOf (CSlider* slider, bool paths = true, double scale = 1.)
{
	RecordingContext context (paths, scale);
	slider->draw (&context);
	return context.paints ();
}

Names namesOf (const std::vector<RecordingContext::Call>& calls)
{
	Names n;
	for (const auto& c : calls)
		n.push_back (c.name);
	return n;
}

const Names kSetUp {"setDrawMode", "setLineStyle:solid", "setLineWidth"};

} // anonymous

//------------------------------------------------------------------------
// construction
//------------------------------------------------------------------------
TEST (SliderView, AsTheCreatorMakesItItPaintsNothingAndCountsAsDrawn)
{
	auto slider = owned (new CSlider (CRect (0, 0, 0, 0), nullptr, -1, 0, 0, nullptr, nullptr, CPoint (0, 0),
	                                  CSlider::kLeft | CSlider::kHorizontal));
	EXPECT_EQ (slider->getStyle (), 5);
	EXPECT_EQ (slider->getTag (), -1);
	EXPECT_EQ (slider->getHandle (), nullptr);
	EXPECT_EQ (slider->getBackground (), nullptr);
	EXPECT_EQ (slider->getDrawStyle (), 0);
	EXPECT_EQ (slider->getHandleSize (), CPoint (1, 1));
	EXPECT_EQ (slider->getOffsetHandle (), CPoint (0, 0));
	EXPECT_EQ (slider->calculateHandleRect (-1.f).left, 0.); // minPos 0
	EXPECT_EQ (slider->calculateHandleRect (2.f).right, 1.); // maxPos 1
	EXPECT_EQ (slider->getFrameWidth (), 1.);
	EXPECT_EQ (slider->getFrameColor (), CColor (127, 127, 127, 255));
	EXPECT_EQ (slider->getBackColor (), CColor (0, 0, 0, 255));
	EXPECT_EQ (slider->getValueColor (), CColor (255, 255, 255, 255));
	EXPECT_EQ (slider->getBackgroundOffset (), CPoint (0, 0));
	EXPECT_TRUE (slider->wantsFocus ());
	EXPECT_EQ (slider->getSliderMode (), CSliderMode::UseGlobal);
	EXPECT_FLOAT_EQ (slider->getZoomFactor (), 10.f);

	slider->setDirty (true);
	EXPECT_TRUE (draw (slider).empty ());
	EXPECT_FALSE (slider->isDirty ());
}

TEST (SliderView, ConstructorByPositionsSetsTheTravelFromTheViewStart)
{
	for (bool horizontal : {true, false})
	{
		const CRect& view = horizontal ? kHorizontalView : kVerticalView;
		auto slider = owned (new CSlider (view, nullptr, 0, 15, 85, nullptr, nullptr, CPoint (0, 0),
		                                  horizontal ? kHorizontalLeft : int32_t (CSlider::kVertical)));
		const CCoord start = horizontal ? view.left : view.top;
		auto lead = [&] (float v) {
			CRect r = slider->calculateHandleRect (v);
			return horizontal ? r.left : r.top;
		};
		auto trail = [&] (float v) {
			CRect r = slider->calculateHandleRect (v);
			return horizontal ? r.right : r.bottom;
		};
		EXPECT_EQ (slider->getHandleMinPos (), 5.);
		EXPECT_EQ (lead (1.f), start + 70.);  // range 85 - 15
		EXPECT_EQ (lead (-1.f), start + 5.);  // minPos
		EXPECT_EQ (trail (2.f), start + 76.); // maxPos
		// The next view size computes the travel from the view again.
		slider->setViewSize (view);
		EXPECT_EQ (slider->getHandleMinPos (), 0.);
		EXPECT_EQ (lead (1.f), start + 99.);
	}
}

TEST (SliderView, ConstructorByHandleOffsetTakesTheHandleOutOfTheRange)
{
	auto handle = makeOwned<CBitmap> (10., 16.);
	auto slider = owned (new CSlider (kHorizontalView, nullptr, 0, CPoint (3, 2), 90, handle, nullptr,
	                                  CPoint (0, 0), kHorizontalLeft));
	EXPECT_EQ (slider->getHandleSize (), CPoint (10, 16));
	EXPECT_EQ (slider->getOffsetHandle (), CPoint (3, 2));
	EXPECT_EQ (slider->calculateHandleRect (0.f), CRect (13, 22, 23, 38));
	EXPECT_EQ (slider->calculateHandleRect (1.f), CRect (93, 22, 103, 38));

	auto vertical = owned (new CSlider (kVerticalView, nullptr, 0, CPoint (2, 3), 90, handle, nullptr,
	                                    CPoint (0, 0), CSlider::kVertical));
	EXPECT_EQ (vertical->calculateHandleRect (1.f), CRect (22, 10 + 3 + 74, 32, 10 + 3 + 74 + 16));
}

TEST (SliderView, ConstructorStyleWithBothOrNeitherOrientationIsReportedAndKept)
{
	AssertionRecorder recorder;
	auto slider = owned (new CSlider (kHorizontalView, nullptr, 0, 0, 100, nullptr, nullptr, CPoint (0, 0), 0));
	EXPECT_EQ (recorder.reports.size (), 1u);
	EXPECT_EQ (slider->getStyle (), 0);
	EXPECT_TRUE (slider->wantsFocus ());
}

//------------------------------------------------------------------------
// drawing
//------------------------------------------------------------------------
TEST (SliderDrawing, ValueBarFromTheStartOfTheAxis)
{
	auto slider = makeDrawnSlider (CSlider::kDrawValue, 0.f);
	auto calls = draw (slider);
	EXPECT_EQ (namesOf (calls), (Names {"setDrawMode", "setLineStyle:solid", "setLineWidth", "setDrawMode"}));
	EXPECT_EQ (calls[0].mode, int32_t (kAntiAliasing));
	EXPECT_EQ (calls[2].lineWidth, 1.);
	EXPECT_EQ (calls[3].mode, int32_t (kAliasing));

	slider->setValueNormalized (1.f);
	calls = draw (slider);
	ASSERT_EQ (calls.size (), 7u);
	EXPECT_EQ (calls[4].name, "setFillColor");
	EXPECT_EQ (calls[4].color, kWhiteCColor);
	EXPECT_EQ (calls[5].name, "createGraphicsPath");
	EXPECT_EQ (calls[6].name, "drawGraphicsPath");
	EXPECT_EQ (calls[6].mode, int32_t (CDrawContext::kPathFilled));
	EXPECT_EQ (calls[6].rect, kHorizontalView);

	slider->setValueNormalized (0.25f);
	EXPECT_EQ (paintsOf (slider).at (0).rect, CRect (10, 20, 35, 40));
	slider->setDrawStyle (CSlider::kDrawValue | CSlider::kDrawInverted);
	EXPECT_EQ (paintsOf (slider).at (0).rect, CRect (85, 20, 110, 40));

	auto vertical = makeDrawnSlider (CSlider::kDrawValue, 0.25f, CSlider::kVertical);
	EXPECT_EQ (paintsOf (vertical).at (0).rect, CRect (20, 85, 40, 110));
	vertical->setDrawStyle (CSlider::kDrawValue | CSlider::kDrawInverted);
	EXPECT_EQ (paintsOf (vertical).at (0).rect, CRect (20, 10, 40, 35));
}

TEST (SliderDrawing, ValueBarFromTheCentre)
{
	auto slider = makeDrawnSlider (CSlider::kDrawValue | CSlider::kDrawValueFromCenter, 0.5f);
	EXPECT_TRUE (paintsOf (slider).empty ());
	slider->setValueNormalized (0.25f);
	EXPECT_EQ (paintsOf (slider).at (0).rect, CRect (35, 20, 60, 40));
	slider->setValueNormalized (1.f);
	EXPECT_EQ (paintsOf (slider).at (0).rect, CRect (60, 20, 110, 40));

	auto vertical =
	    makeDrawnSlider (CSlider::kDrawValue | CSlider::kDrawValueFromCenter, 1.f, CSlider::kVertical | CSlider::kBottom);
	EXPECT_EQ (paintsOf (vertical).at (0).rect, CRect (20, 60, 40, 110));
	vertical->setDrawStyle (CSlider::kDrawValue | CSlider::kDrawValueFromCenter | CSlider::kDrawInverted);
	EXPECT_EQ (paintsOf (vertical).at (0).rect, CRect (20, 10, 40, 60));
	vertical->setValueNormalized (0.5f);
	EXPECT_TRUE (paintsOf (vertical).empty ());
}

TEST (SliderDrawing, DirectionBitsMoveTheHandleButNotTheBar)
{
	auto handle = makeOwned<CBitmap> (20., 20.);
	auto slider = makeDrawnSlider (CSlider::kDrawValue, 0.25f, CSlider::kHorizontal | CSlider::kRight);
	slider->setHandle (handle);
	auto paints = paintsOf (slider);
	ASSERT_EQ (paints.size (), 2u);
	EXPECT_EQ (paints[0].rect, CRect (10, 20, 35, 40));
	EXPECT_EQ (paints[1].name, "drawBitmap");
	EXPECT_EQ (paints[1].rect, CRect (70, 20, 90, 40)); // 0.75 of the 80-pixel travel
	EXPECT_EQ (paints[1].rect, slider->calculateHandleRect (0.25f));
}

TEST (SliderDrawing, FrameAndBarInsetsWithPaths)
{
	auto slider = makeDrawnSlider (CSlider::kDrawFrame | CSlider::kDrawValue, 1.f);
	slider->setFrameWidth (4.);
	auto calls = draw (slider);
	EXPECT_EQ (namesOf (calls),
	           (Names {"setDrawMode", "setLineStyle:solid", "setLineWidth", "setFrameColor", "setFillColor",
	                   "createGraphicsPath", "drawGraphicsPath", "setDrawMode", "setFillColor", "createGraphicsPath",
	                   "drawGraphicsPath"}));
	EXPECT_EQ (calls[2].lineWidth, 4.);
	EXPECT_EQ (calls[6].mode, int32_t (CDrawContext::kPathStroked));
	EXPECT_EQ (calls[6].rect, CRect (12, 22, 108, 38));
	EXPECT_EQ (calls[6].color, kGreyCColor);
	EXPECT_EQ (calls[6].lineWidth, 4.);
	EXPECT_EQ (calls[10].mode, int32_t (CDrawContext::kPathFilled));
	EXPECT_EQ (calls[10].rect, CRect (14, 24, 106, 36));
	EXPECT_EQ (calls[10].color, kWhiteCColor);
}

TEST (SliderDrawing, FrameAndBarInsetsWithoutPaths)
{
	auto slider = makeDrawnSlider (CSlider::kDrawFrame | CSlider::kDrawValue, 1.f);
	slider->setFrameWidth (4.);
	auto paints = paintsOf (slider, false);
	ASSERT_EQ (paints.size (), 2u);
	EXPECT_EQ (paints[0].name, "drawRect");
	EXPECT_EQ (paints[0].mode, int32_t (kDrawStroked));
	EXPECT_EQ (paints[0].rect, kHorizontalView);
	EXPECT_EQ (paints[1].name, "drawRect");
	EXPECT_EQ (paints[1].mode, int32_t (kDrawFilled));
	EXPECT_EQ (paints[1].rect, CRect (12, 22, 108, 38));
}

TEST (SliderDrawing, NegativeFrameWidthIsTheHairline)
{
	auto slider = makeDrawnSlider (CSlider::kDrawFrame | CSlider::kDrawValue, 1.f);
	slider->setFrameWidth (-1.);
	EXPECT_EQ (slider->getFrameWidth (), -1.);
	auto calls = draw (slider, true, 2.); // the hairline of a 2x context is half a pixel
	EXPECT_EQ (calls[2].lineWidth, 0.5);
	std::vector<RecordingContext::Call> drawn;
	for (const auto& c : calls)
		if (c.name == "drawGraphicsPath")
			drawn.push_back (c);
	ASSERT_EQ (drawn.size (), 2u);
	EXPECT_EQ (drawn[0].rect, CRect (10.25, 20.25, 109.75, 39.75));
	EXPECT_EQ (drawn[1].rect, CRect (10.5, 20.5, 109.5, 39.5));
}

TEST (SliderDrawing, FrameAndBackFillBeforeTheStrokeInTheirOwnColours)
{
	auto slider = makeDrawnSlider (CSlider::kDrawFrame | CSlider::kDrawBack, 0.f);
	slider->setFrameColor (kRedCColor);
	slider->setBackColor (kBlueCColor);
	slider->setFrameWidth (2.);
	auto paints = paintsOf (slider);
	ASSERT_EQ (paints.size (), 2u);
	EXPECT_EQ (paints[0].mode, int32_t (CDrawContext::kPathFilled));
	EXPECT_EQ (paints[0].color, kBlueCColor);
	EXPECT_EQ (paints[0].rect, CRect (11, 21, 109, 39));
	EXPECT_EQ (paints[1].mode, int32_t (CDrawContext::kPathStroked));
	EXPECT_EQ (paints[1].color, kRedCColor);
	EXPECT_EQ (paints[1].rect, CRect (11, 21, 109, 39));

	// Without paths one rectangle, not inset, in the style that the two bits ask for.
	paints = paintsOf (slider, false);
	ASSERT_EQ (paints.size (), 1u);
	EXPECT_EQ (paints[0].mode, int32_t (kDrawFilledAndStroked));
	EXPECT_EQ (paints[0].rect, kHorizontalView);
	slider->setDrawStyle (CSlider::kDrawFrame);
	EXPECT_EQ (paintsOf (slider, false).at (0).mode, int32_t (kDrawStroked));
	slider->setDrawStyle (CSlider::kDrawBack);
	EXPECT_EQ (paintsOf (slider, false).at (0).mode, int32_t (kDrawFilled));
	// The back alone is not inset, with a path either.
	paints = paintsOf (slider);
	ASSERT_EQ (paints.size (), 1u);
	EXPECT_EQ (paints[0].rect, kHorizontalView);
	EXPECT_EQ (paints[0].mode, int32_t (CDrawContext::kPathFilled));
}

TEST (SliderDrawing, InvertedBitAloneOnlySetsTheContextUp)
{
	auto slider = makeDrawnSlider (CSlider::kDrawInverted, 0.7f);
	slider->setFrameWidth (3.);
	auto calls = draw (slider);
	EXPECT_EQ (namesOf (calls), kSetUp);
	EXPECT_EQ (calls[2].lineWidth, 3.);
}

TEST (SliderDrawing, BitmapsComeFirstAndLastAndTheContextKeepsTheLastState)
{
	auto background = makeOwned<CBitmap> (50., 10.);
	auto handle = makeOwned<CBitmap> (20., 20.);
	auto slider = owned (new CSlider (kHorizontalView, nullptr, 0, 10, 90, handle, background, CPoint (3, 4),
	                                  kHorizontalLeft));
	slider->setDrawStyle (CSlider::kDrawValue);
	slider->setValueColor (kGreenCColor);
	slider->setValueNormalized (0.5f);
	slider->setDirty (true);

	RecordingContext context;
	slider->draw (&context);
	auto paints = context.paints ();
	ASSERT_EQ (paints.size (), 3u);
	EXPECT_EQ (paints[0].name, "drawBitmap");
	EXPECT_EQ (paints[0].bitmap, background.get ());
	EXPECT_EQ (paints[0].rect, kHorizontalView); // the view's size, not the bitmap's
	EXPECT_EQ (paints[0].offset, CPoint (3, 4));
	EXPECT_EQ (paints[0].alpha, 1.f);
	EXPECT_EQ (paints[1].name, "drawGraphicsPath");
	EXPECT_EQ (paints[2].bitmap, handle.get ());
	EXPECT_EQ (paints[2].rect, CRect (50, 20, 70, 40));
	EXPECT_EQ (paints[2].offset, CPoint (0, 0));
	EXPECT_EQ (paints[2].alpha, 1.f);
	EXPECT_FALSE (slider->isDirty ());
	EXPECT_EQ (context.getDrawMode (), CDrawMode (kAliasing));
	EXPECT_EQ (context.getFillColor (), kGreenCColor);
	EXPECT_EQ (context.getLineWidth (), 1.);

	// A new background offset is drawn from without a redraw request.
	slider->setBackgroundOffset (CPoint (7, 8));
	EXPECT_EQ (paintsOf (slider).at (0).offset, CPoint (7, 8));
}

TEST (SliderDrawing, DrawsIntoARealSurface)
{
	auto slider = makeDrawnSlider (CSlider::kDrawBack | CSlider::kDrawValue, 0.5f);
	slider->setBackColor (kBlueCColor);
	slider->setValueColor (kRedCColor);
	auto surface = COffscreenContext::create (CPoint (120, 50));
	ASSERT_TRUE (surface);
	surface->fill (kBlackCColor);
	slider->draw (surface);
	EXPECT_EQ (surface->getPixel (20, 30), kRedCColor);   // the bar's half
	EXPECT_EQ (surface->getPixel (100, 30), kBlueCColor); // the back
	EXPECT_EQ (surface->getPixel (5, 5), kBlackCColor);   // outside the view
}

// Frame widths of about 3e7 to 2e9 put the inset frame beyond Cairo's fixed-point range
// and crashed inside its rasteriser. Every width now gives a picture (or nothing); the
// drawing runs in a child process first, so that a crash fails the test.
TEST (SliderDrawing, AnyFrameWidthDrawsWithoutCrashing)
{
	const double inf = std::numeric_limits<double>::infinity ();
	const double widths[] = {4., 1e6, 3e7, 1e8, 2e9, 1e12, 1e308, inf, 1e-320, -1e308, -inf, -0.};
	auto drawWith = [] (double width) {
		auto slider = makeDrawnSlider (CSlider::kDrawFrame | CSlider::kDrawBack | CSlider::kDrawValue, 0.5f);
		slider->setFrameWidth (width);
		slider->setFrameColor (kRedCColor);
		slider->setBackColor (kBlueCColor);
		slider->setValueColor (kGreenCColor);
		auto surface = COffscreenContext::create (CPoint (120, 50));
		surface->fill (kBlackCColor);
		slider->draw (surface);
		return surface;
	};
	for (double width : widths)
	{
		SCOPED_TRACE (width);
		EXPECT_EXIT (
		    {
			    drawWith (width);
			    std::_Exit (0);
		    },
		    ::testing::ExitedWithCode (0), "");
	}
	// The pictures. Up to 2^20 pixels the frame's stroke is drawn as wide as asked: at
	// 1e6 it covers the view, and the bar (inset twice by half the width, so reversed)
	// covers from the middle on.
	auto picture = drawWith (1e6);
	EXPECT_EQ (picture->getPixel (20, 30), kRedCColor);
	EXPECT_EQ (picture->getPixel (100, 30), kGreenCColor);
	// Wider strokes lie beyond the limits of the drawing layer: the back shows.
	for (double width : {3e7, 1e8, 2e9, 1e12})
	{
		SCOPED_TRACE (width);
		picture = drawWith (width);
		EXPECT_EQ (picture->getPixel (20, 30), kBlueCColor);
		EXPECT_EQ (picture->getPixel (100, 30), kGreenCColor);
	}
	// The bar's width overflows to infinity: only the back is drawn.
	picture = drawWith (1e308);
	EXPECT_EQ (picture->getPixel (20, 30), kBlueCColor);
	EXPECT_EQ (picture->getPixel (100, 30), kBlueCColor);
	// An infinite inset leaves nothing finite to draw.
	picture = drawWith (inf);
	EXPECT_EQ (picture->getPixel (20, 30), kBlackCColor);
	// Negative widths are the hairline, a denormal one the thinnest line: a normal picture.
	for (double width : {-1e308, -inf, -0., 1e-320})
	{
		SCOPED_TRACE (width);
		picture = drawWith (width);
		EXPECT_EQ (picture->getPixel (20, 30), kGreenCColor);
		EXPECT_EQ (picture->getPixel (100, 30), kBlueCColor);
		EXPECT_EQ (picture->getPixel (5, 5), kBlackCColor);
	}
}

//------------------------------------------------------------------------
// setters
//------------------------------------------------------------------------
TEST (SliderSetters, RedrawOnlyWhenTheLookChanges)
{
	auto slider = makeTestSlider<ProbeSlider> ();
	slider->invalids = 0;

	slider->setDrawStyle (0);
	slider->setFrameWidth (1.);
	slider->setFrameWidth (std::numeric_limits<double>::quiet_NaN ());
	slider->setFrameColor (kGreyCColor);
	slider->setBackColor (kBlackCColor);
	slider->setValueColor (kWhiteCColor);
	slider->setBackgroundOffset (CPoint (5, 5));
	EXPECT_EQ (slider->invalids, 0);
	EXPECT_EQ (slider->getFrameWidth (), 1.);
	EXPECT_EQ (slider->getBackgroundOffset (), CPoint (5, 5));

	slider->setDrawStyle (CSlider::kDrawFrame);
	EXPECT_EQ (slider->invalids, 1);
	slider->setFrameWidth (-2.);
	EXPECT_EQ (slider->invalids, 2);
	EXPECT_EQ (slider->getFrameWidth (), -2.);
	slider->setFrameColor (CColor (127, 127, 127, 254));
	slider->setBackColor (CColor (0, 0, 1, 255));
	slider->setValueColor (CColor (255, 255, 255, 0));
	EXPECT_EQ (slider->invalids, 5);
	EXPECT_EQ (slider->getValueColor (), CColor (255, 255, 255, 0));
	EXPECT_EQ (slider->getBackColor (), CColor (0, 0, 1, 255));
	EXPECT_EQ (slider->getFrameColor (), CColor (127, 127, 127, 254));
}

TEST (SliderSetters, HandleBitmapIsCountedAndSetsTheTravel)
{
	auto first = makeOwned<CBitmap> (20., 20.);
	auto second = makeOwned<CBitmap> (10., 6.);
	auto slider = makeTestSlider<ProbeSlider> (); // offset (2, 0) in a 100-pixel view
	slider->invalids = 0;

	slider->setHandle (first);
	EXPECT_EQ (first->getNbReference (), 2);
	EXPECT_EQ (slider->getHandle (), first.get ());
	EXPECT_EQ (slider->calculateHandleRect (1.f).left, 10. + 2. + 76.);

	// The same bitmap again: no new reference, but the travel is computed anew.
	slider->setHandleRange (5.);
	slider->setHandle (first);
	EXPECT_EQ (first->getNbReference (), 2);
	EXPECT_EQ (slider->calculateHandleRect (1.f).left, 10. + 2. + 76.);

	slider->setHandle (second);
	EXPECT_EQ (first->getNbReference (), 1);
	EXPECT_EQ (second->getNbReference (), 2);
	EXPECT_EQ (slider->getHandleSize (), CPoint (10, 6));
	EXPECT_EQ (slider->calculateHandleRect (1.f), CRect (10 + 2 + 86, 20, 10 + 2 + 96, 26));

	// None: a 1 x 1 handle, the limits follow, the travel stays, and nothing is redrawn.
	slider->setHandle (nullptr);
	EXPECT_EQ (second->getNbReference (), 1);
	EXPECT_EQ (slider->getHandle (), nullptr);
	EXPECT_EQ (slider->getHandleSize (), CPoint (1, 1));
	EXPECT_EQ (slider->calculateHandleRect (2.f).right, 10. + 2. + 86. + 1.);
	EXPECT_EQ (slider->invalids, 0);

	// The slider's reference goes with the slider.
	slider->setHandle (first);
	slider = nullptr;
	EXPECT_EQ (first->getNbReference (), 1);
}

TEST (SliderSetters, SizeToFitTakesTheBackgroundsSize)
{
	auto slider = makeDrawnSlider (0, 0.f);
	EXPECT_FALSE (slider->sizeToFit ());
	EXPECT_EQ (slider->getViewSize (), kHorizontalView);

	auto background = makeOwned<CBitmap> (50., 30.);
	slider->setBackground (background);
	EXPECT_TRUE (slider->sizeToFit ());
	EXPECT_EQ (slider->getViewSize (), CRect (10, 20, 60, 50));
	EXPECT_EQ (slider->getMouseableArea (), CRect (10, 20, 60, 50));
	EXPECT_EQ (slider->calculateHandleRect (1.f).left, 10. + 49.);
}

//------------------------------------------------------------------------
// copies and the fixed-orientation sliders
//------------------------------------------------------------------------
TEST (SliderCopies, ACopyIsAPlainSliderWithTheSameState)
{
	auto handle = makeOwned<CBitmap> (12., 8.);
	auto background = makeOwned<CBitmap> (20., 100.);
	auto source = owned (new CVerticalSlider (kVerticalView, nullptr, 3, CPoint (2, 4), 100, handle, background,
	                                          CPoint (1, 1), CSlider::kBottom));
	source->setDrawStyle (CSlider::kDrawValue | CSlider::kDrawFrame);
	source->setFrameWidth (2.5);
	source->setFrameColor (kRedCColor);
	source->setBackColor (kBlueCColor);
	source->setValueColor (kYellowCColor);
	source->setSliderMode (CSliderMode::Ramp);
	source->setZoomFactor (4.f);
	source->setValueNormalized (0.3f);

	auto copy = owned (dynamic_cast<CSlider*> (source->newCopy ()));
	ASSERT_TRUE (copy);
	EXPECT_EQ (dynamic_cast<CVerticalSlider*> (copy.get ()), nullptr);
	EXPECT_EQ (copy->getStyle (), 34);
	EXPECT_EQ (copy->getTag (), 3);
	EXPECT_FLOAT_EQ (copy->getValue (), 0.3f);
	EXPECT_EQ (copy->getHandle (), handle.get ());
	EXPECT_EQ (handle->getNbReference (), 3);
	EXPECT_EQ (copy->getBackground (), background.get ());
	EXPECT_EQ (copy->getBackgroundOffset (), CPoint (1, 1));
	EXPECT_EQ (copy->getDrawStyle (), source->getDrawStyle ());
	EXPECT_EQ (copy->getFrameWidth (), 2.5);
	EXPECT_EQ (copy->getFrameColor (), kRedCColor);
	EXPECT_EQ (copy->getBackColor (), kBlueCColor);
	EXPECT_EQ (copy->getValueColor (), kYellowCColor);
	EXPECT_EQ (copy->getSliderMode (), CSliderMode::Ramp);
	EXPECT_EQ (copy->getZoomFactor (), 4.f);
	EXPECT_EQ (copy->getOffsetHandle (), source->getOffsetHandle ());
	for (float v : {-1.f, 0.f, 0.3f, 1.f, 2.f})
		EXPECT_EQ (copy->calculateHandleRect (v), source->calculateHandleRect (v)) << v;
	CPoint where (25, 60);
	EXPECT_EQ (copy->calculateDelta (where), source->calculateDelta (where));

	copy = nullptr;
	EXPECT_EQ (handle->getNbReference (), 2);
}

TEST (SliderCopies, FixedOrientationSlidersAddTheirBit)
{
	auto vertical = owned (new CVerticalSlider (kVerticalView, nullptr, 0, 0, 100, nullptr, nullptr, CPoint (0, 0),
	                                            CSlider::kBottom));
	EXPECT_EQ (vertical->getStyle (), 34);
	EXPECT_FALSE (vertical->isHorizontal ());
	auto horizontal = owned (new CHorizontalSlider (kHorizontalView, nullptr, 0, 0, 100, nullptr, nullptr,
	                                                CPoint (0, 0), CSlider::kRight));
	EXPECT_EQ (horizontal->getStyle (), 9);
	EXPECT_TRUE (horizontal->isReversed ());

	AssertionRecorder recorder;
	EXPECT_EQ (owned (new CVerticalSlider (kVerticalView, nullptr, 0, CPoint (0, 0), 100, nullptr, nullptr,
	                                       CPoint (0, 0), 0))
	               ->getStyle (),
	           2);
	EXPECT_EQ (owned (new CHorizontalSlider (kHorizontalView, nullptr, 0, CPoint (0, 0), 100, nullptr, nullptr,
	                                         CPoint (0, 0), 0))
	               ->getStyle (),
	           1);
	EXPECT_TRUE (recorder.reports.empty ());

	// The other bit is never taken away: both are reported, and x wins.
	auto both = owned (new CVerticalSlider (kHorizontalView, nullptr, 0, 10, 90, nullptr, nullptr, CPoint (0, 0),
	                                        CSlider::kHorizontal));
	EXPECT_EQ (both->getStyle (), 3);
	EXPECT_EQ (recorder.reports.size (), 1u);
	EXPECT_TRUE (both->isHorizontal ());
	EXPECT_EQ (both->getHandleMinPos (), 0.); // 10 - the view's left edge
	EXPECT_EQ (both->calculateHandleRect (1.f).left, 10. + 80.);

	auto copy = owned (dynamic_cast<CSlider*> (horizontal->newCopy ()));
	ASSERT_TRUE (copy);
	EXPECT_EQ (dynamic_cast<CHorizontalSlider*> (copy.get ()), nullptr);
	EXPECT_EQ (copy->getStyle (), 9);
}
