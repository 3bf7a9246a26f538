// The slider's UI-description creators: mode names, orientation, the other slider-base
// attributes, the slider view's own attributes, writing them back, and a description
// that builds a slider through the library's view factory.
#include "slidertesthelpers.h"
#include "vstgui/lib/cdrawcontext.h"
#include "vstgui/lib/cview.h"
#include "vstgui/lib/cviewcontainer.h"
#include "vstgui/uidescription/uiattributes.h"
#include "vstgui/uidescription/uidescription.h"
#include "vstgui/uidescription/uiviewfactory.h"
#include <gtest/gtest.h>
#include <stdlib.h>

using namespace VSTGUI;
using namespace SliderTest;
using UIViewCreator::SliderBaseCreator;
using UIViewCreator::SliderCreator;

namespace {

using Attributes = std::vector<std::pair<std::string, std::string>>;

/** The slider base's attributes alone, on a creator of no view class. */
struct BaseCreator : SliderBaseCreator
{
	IdStringPtr getViewName () const override { return "TestSliderBase"; }
	IdStringPtr getBaseViewName () const override { return "CControl"; }
	CView* create (const UIAttributes&, const IUIDescription*) const override { return nullptr; }
};

UIAttributes makeAttributes (const Attributes& list)
{
	UIAttributes a;
	for (const auto& p : list)
		a.setAttribute (p.first, p.second);
	return a;
}

/** A slider as the "CSlider" creator makes it (style 5, mode 5). */
SharedPointer<CSlider> created ()
{
	SliderCreator creator;
	auto slider = owned (dynamic_cast<CSlider*> (creator.create (UIAttributes (), nullptr)));
	EXPECT_TRUE (slider);
	return slider;
}

SharedPointer<CSlider> appliedBase (const Attributes& list)
{
	auto slider = created ();
	EXPECT_TRUE (BaseCreator ().apply (slider, makeAttributes (list), nullptr));
	return slider;
}

int32_t modeAfter (const Attributes& list)
{
	return static_cast<int32_t> (appliedBase (list)->getSliderMode ());
}

std::string valueOf (CView* view, const std::string& name, const IViewCreator& creator = BaseCreator ())
{
	std::string value = "untouched";
	creator.getAttributeValue (view, name, value, nullptr);
	return value;
}

} // anonymous

//------------------------------------------------------------------------
// registration and the control settings
//------------------------------------------------------------------------
TEST (SliderCreator, RegistersOnceUnderCSliderWithItsNames)
{
	registerSliderViewCreators ();
	registerSliderViewCreators ();
	auto creator = UIViewFactory::getViewCreator ("CSlider");
	ASSERT_NE (creator, nullptr);
	EXPECT_NE (dynamic_cast<const SliderCreator*> (creator), nullptr);
	EXPECT_STREQ (creator->getViewName (), "CSlider");
	EXPECT_STREQ (creator->getBaseViewName (), "CControl");
	EXPECT_STREQ (creator->getDisplayName (), "Slider");
	auto chain = UIViewFactory::getCreatorChain ("CSlider");
	ASSERT_EQ (chain.size (), 3u);
	EXPECT_STREQ (chain.back ()->getViewName (), "CView");
	double lo, hi;
	EXPECT_FALSE (creator->getAttributeValueRange ("zoom-factor", lo, hi));
}

TEST (SliderCreator, ControlModifiersAreShiftForFineStepsAndOptionForTheReset)
{
	EXPECT_EQ (CControl::kZoomModifier, 16);
	EXPECT_EQ (CControl::kDefaultValueModifier, 64);
	CControl::kDefaultValueModifier = kControl;
	CControl::kZoomModifier = kApple;
	setControlModifiers ();
	EXPECT_EQ (CControl::kZoomModifier, kShift);
	EXPECT_EQ (CControl::kDefaultValueModifier, kAlt);
}

TEST (SliderCreator, CreatesASliderWithStyleFiveFollowingTheGlobalMode)
{
	auto slider = created ();
	EXPECT_EQ (slider->getViewSize (), CRect (0, 0, 0, 0));
	EXPECT_EQ (slider->getTag (), -1);
	EXPECT_EQ (slider->getStyle (), 5);
	EXPECT_EQ (slider->getSliderMode (), CSliderMode::UseGlobal);
	EXPECT_EQ (slider->getHandle (), nullptr);
	EXPECT_EQ (valueOf (slider, "mode"), "use global");
	EXPECT_EQ (valueOf (slider, "zoom-factor"), "10");
	EXPECT_EQ (valueOf (slider, "orientation"), "horizontal");
	EXPECT_EQ (valueOf (slider, "reverse-orientation"), "false");
	EXPECT_EQ (valueOf (slider, "handle-offset"), "0, 0");
}

//------------------------------------------------------------------------
// modes
//------------------------------------------------------------------------
TEST (SliderCreator, ModeNamesMatchExactly)
{
	EXPECT_EQ (modeAfter ({{"mode", "touch"}}), 0);
	EXPECT_EQ (modeAfter ({{"mode", "relative touch"}}), 1);
	EXPECT_EQ (modeAfter ({{"mode", "free click"}}), 2);
	EXPECT_EQ (modeAfter ({{"mode", "VD free click"}}), 3);
	EXPECT_EQ (modeAfter ({{"mode", "ramp"}}), 4);
	EXPECT_EQ (modeAfter ({{"mode", "use global"}}), 5);

	for (const char* text : {"Touch", "touch ", " touch", "VD Free Click", "vd free click", "VD  free click", "",
	                         "3", "relative-touch"})
		EXPECT_EQ (modeAfter ({{"mode", text}}), 5) << "'" << text << "'";
	EXPECT_EQ (modeAfter ({{"mode", std::string ("ramp\0", 5)}}), 5);
}

TEST (SliderCreator, FreeClickIsReadAndModeOverridesIt)
{
	EXPECT_EQ (modeAfter ({{"free-click", "false"}}), 0);
	EXPECT_EQ (modeAfter ({{"free-click", "TRUE"}}), 0);
	EXPECT_EQ (modeAfter ({{"free-click", "true"}}), 2);
	EXPECT_EQ (modeAfter ({{"free-click", "true"}, {"mode", "ramp"}}), 4);
	EXPECT_EQ (modeAfter ({{"free-click", "true"}, {"mode", "Ramp"}}), 2);
	EXPECT_EQ (modeAfter ({{"free-click", "false"}, {"mode", "use global"}}), 5);
}

TEST (SliderCreator, AModeFromTheDescriptionDrivesThePress)
{
	GlobalModeGuard guard;
	auto slider = appliedBase ({{"mode", "touch"}});
	slider->setViewSize (CRect (0, 0, 100, 20));
	slider->setValueNormalized (0.f);
	// Touch beside the handle: ignored, while the library-wide mode would centre the handle.
	EXPECT_EQ (press (slider, CPoint (50, 10), kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	auto follower = appliedBase ({{"mode", "use global"}});
	follower->setViewSize (CRect (0, 0, 100, 20));
	follower->setValueNormalized (0.f);
	EXPECT_EQ (press (follower, CPoint (50, 10), kLButton), kMouseEventHandled);
	EXPECT_GT (follower->getValueNormalized (), 0.4f);
}

//------------------------------------------------------------------------
// orientation and the other slider-base attributes
//------------------------------------------------------------------------
TEST (SliderCreator, OrientationAndReverseOrientationSetTheStyleBits)
{
	EXPECT_EQ (appliedBase ({{"orientation", "vertical"}})->getStyle (), 6);
	EXPECT_EQ (valueOf (appliedBase ({{"orientation", "vertical"}}), "reverse-orientation"), "false");
	EXPECT_EQ (appliedBase ({{"orientation", "vertical"}, {"reverse-orientation", "false"}})->getStyle (), 38);
	EXPECT_EQ (appliedBase ({{"orientation", "vertical"}, {"reverse-orientation", "true"}})->getStyle (), 22);
	auto reversed = appliedBase ({{"reverse-orientation", "true"}});
	EXPECT_EQ (reversed->getStyle (), 9);
	EXPECT_EQ (valueOf (reversed, "reverse-orientation"), "true");
	EXPECT_EQ (appliedBase ({{"orientation", "Vertical"}})->getStyle (), 5);
	EXPECT_EQ (appliedBase ({{"orientation", "horizontal"}, {"reverse-orientation", "yes"}})->getStyle (), 5);

	// Direction bits are kept by "orientation" and replaced by "reverse-orientation".
	auto slider = created ();
	slider->setStyle (CSlider::kHorizontal | CSlider::kRight | CSlider::kTop);
	BaseCreator ().apply (slider, makeAttributes ({{"orientation", "vertical"}}), nullptr);
	EXPECT_EQ (slider->getStyle (), CSlider::kVertical | CSlider::kRight | CSlider::kTop);
	EXPECT_EQ (valueOf (slider, "reverse-orientation"), "true");
	EXPECT_EQ (valueOf (slider, "orientation"), "vertical");
	BaseCreator ().apply (slider, makeAttributes ({{"reverse-orientation", "false"}}), nullptr);
	EXPECT_EQ (slider->getStyle (), CSlider::kVertical | CSlider::kRight | CSlider::kBottom);

	// With neither orientation bit the style stays, and is set (and reported) all the same.
	AssertionRecorder recorder;
	slider->setStyle (CSlider::kLeft);
	recorder.reports.clear ();
	BaseCreator ().apply (slider, makeAttributes ({{"reverse-orientation", "true"}}), nullptr);
	EXPECT_EQ (slider->getStyle (), CSlider::kLeft);
	EXPECT_EQ (recorder.reports.size (), 1u);
	EXPECT_EQ (valueOf (slider, "orientation"), "horizontal");
	EXPECT_EQ (valueOf (slider, "reverse-orientation"), "false");
}

TEST (SliderCreator, HandleOffsetAndZoomFactorAreReadAndWrittenBack)
{
	auto slider = appliedBase ({{"handle-offset", "3, 0"}, {"zoom-factor", "0"}});
	EXPECT_EQ (slider->getOffsetHandle (), CPoint (3, 0));
	EXPECT_EQ (slider->getZoomFactor (), 0.f);
	EXPECT_EQ (valueOf (slider, "handle-offset"), "3, 0");
	EXPECT_EQ (valueOf (slider, "zoom-factor"), "0");
	EXPECT_EQ (slider->calculateHandleRect (-1.f).left, 3.); // the limits follow the offset

	slider->setZoomFactor (1.f / 3.f);
	EXPECT_EQ (valueOf (slider, "zoom-factor"), "0.333333");
	slider->setOffsetHandle (CPoint (2.5, -1.25));
	EXPECT_EQ (valueOf (slider, "handle-offset"), "2.5, -1.25");

	// Texts that are not a point or a number are ignored.
	BaseCreator ().apply (slider, makeAttributes ({{"handle-offset", "3"}, {"zoom-factor", "fast"}}), nullptr);
	EXPECT_EQ (slider->getOffsetHandle (), CPoint (2.5, -1.25));
	EXPECT_FLOAT_EQ (slider->getZoomFactor (), 1.f / 3.f);
	BaseCreator ().apply (slider, makeAttributes ({{"handle-offset", "a, b"}, {"zoom-factor", "2.5"}}), nullptr);
	EXPECT_EQ (slider->getOffsetHandle (), CPoint (2.5, -1.25));
	EXPECT_EQ (slider->getZoomFactor (), 2.5f);
}

TEST (SliderCreator, OtherViewsAndOtherNamesAreLeftAlone)
{
	BaseCreator base;
	auto view = makeOwned<CView> (CRect (0, 0, 10, 10));
	EXPECT_FALSE (base.apply (view, makeAttributes ({{"mode", "ramp"}}), nullptr));
	EXPECT_FALSE (base.apply (nullptr, makeAttributes ({{"mode", "ramp"}}), nullptr));
	EXPECT_EQ (valueOf (view, "mode"), "untouched");
	EXPECT_EQ (valueOf (nullptr, "mode"), "untouched");

	auto slider = created ();
	EXPECT_EQ (valueOf (slider, "free-click"), "untouched");
	EXPECT_EQ (valueOf (slider, "draw-frame"), "untouched");
	EXPECT_EQ (valueOf (slider, "Mode"), "untouched");
	// A stored mode that has no name is not written.
	slider->setSliderMode (static_cast<CSliderMode> (9));
	EXPECT_EQ (valueOf (slider, "mode"), "untouched");
	slider->setSliderMode (static_cast<CSliderMode> (-1));
	EXPECT_EQ (valueOf (slider, "mode"), "untouched");
}

TEST (SliderCreator, NamesTypesAndListValues)
{
	BaseCreator base;
	std::list<std::string> names {"first", "second"};
	EXPECT_TRUE (base.getAttributeNames (names));
	EXPECT_EQ (names, (std::list<std::string> {"first", "second", "mode", "orientation", "reverse-orientation",
	                                           "handle-offset", "zoom-factor"}));

	EXPECT_EQ (base.getAttributeType ("mode"), 11);
	EXPECT_EQ (base.getAttributeType ("orientation"), 11);
	EXPECT_EQ (base.getAttributeType ("handle-offset"), 8);
	EXPECT_EQ (base.getAttributeType ("zoom-factor"), 3);
	EXPECT_EQ (base.getAttributeType ("reverse-orientation"), 1);
	EXPECT_EQ (base.getAttributeType ("free-click"), 0);
	EXPECT_EQ (base.getAttributeType ("draw-frame"), 0);

	std::list<const std::string*> values;
	EXPECT_TRUE (base.getPossibleListValues ("mode", values));
	std::vector<std::string> texts;
	for (auto* v : values)
		texts.push_back (*v);
	EXPECT_EQ (texts, (std::vector<std::string> {"touch", "relative touch", "free click", "VD free click", "ramp",
	                                             "use global"}));
	EXPECT_EQ (texts[3].size (), 13u);
	std::list<const std::string*> again;
	base.getPossibleListValues ("mode", again);
	EXPECT_EQ (again, values); // the same table every time

	std::list<const std::string*> orientation {nullptr};
	EXPECT_TRUE (base.getPossibleListValues ("orientation", orientation));
	ASSERT_EQ (orientation.size (), 3u);
	EXPECT_EQ (**std::next (orientation.begin ()), "horizontal");
	EXPECT_EQ (*orientation.back (), "vertical");

	std::list<const std::string*> none;
	EXPECT_FALSE (base.getPossibleListValues ("reverse-orientation", none));
	EXPECT_FALSE (base.getPossibleListValues ("free-click", none));
	EXPECT_TRUE (none.empty ());
}

//------------------------------------------------------------------------
// the slider view's own attributes
//------------------------------------------------------------------------
TEST (SliderCreator, SliderAttributesListedAfterTheBaseOnesWithTheirTypes)
{
	SliderCreator creator;
	std::list<std::string> names;
	EXPECT_TRUE (creator.getAttributeNames (names));
	EXPECT_EQ (names, (std::list<std::string> {"mode", "orientation", "reverse-orientation", "handle-offset",
	                                           "zoom-factor", "handle-bitmap", "bitmap-offset", "draw-frame",
	                                           "draw-back", "draw-value", "draw-value-from-center",
	                                           "draw-value-inverted", "frame-width", "draw-frame-color",
	                                           "draw-back-color", "draw-value-color"}));
	EXPECT_EQ (creator.getAttributeType ("handle-bitmap"), IViewCreator::kBitmapType);
	EXPECT_EQ (creator.getAttributeType ("bitmap-offset"), IViewCreator::kPointType);
	EXPECT_EQ (creator.getAttributeType ("draw-value-inverted"), IViewCreator::kBooleanType);
	EXPECT_EQ (creator.getAttributeType ("frame-width"), IViewCreator::kFloatType);
	EXPECT_EQ (creator.getAttributeType ("draw-back-color"), IViewCreator::kColorType);
	EXPECT_EQ (creator.getAttributeType ("mode"), IViewCreator::kListType);
	EXPECT_EQ (creator.getAttributeType ("size"), IViewCreator::kUnknownType);
	std::list<const std::string*> values;
	EXPECT_TRUE (creator.getPossibleListValues ("mode", values));
	EXPECT_EQ (values.size (), 6u);
}

TEST (SliderCreator, DrawStyleBooleansAreSetOnceFromTheCurrentMask)
{
	auto slider = makeTestSlider<ProbeSlider> ();
	slider->setDrawStyle (CSlider::kDrawFrame | CSlider::kDrawInverted | CSlider::kDrawValue);
	slider->invalids = 0;
	SliderCreator creator;
	EXPECT_TRUE (creator.apply (slider,
	                            makeAttributes ({{"draw-back", "true"},
	                                             {"draw-frame", "false"},
	                                             {"draw-value", "TRUE"},
	                                             {"draw-value-from-center", "true"}}),
	                            nullptr));
	EXPECT_EQ (slider->getDrawStyle (),
	           CSlider::kDrawBack | CSlider::kDrawInverted | CSlider::kDrawValueFromCenter);
	EXPECT_EQ (slider->invalids, 1);
	EXPECT_EQ (valueOf (slider, "draw-back", creator), "true");
	EXPECT_EQ (valueOf (slider, "draw-frame", creator), "false");
	EXPECT_EQ (valueOf (slider, "draw-value-inverted", creator), "true");

	// Nothing to change: no redraw.
	EXPECT_TRUE (creator.apply (slider, makeAttributes ({{"draw-back", "true"}}), nullptr));
	EXPECT_EQ (slider->invalids, 1);
}

TEST (SliderCreator, ColoursWidthAndOffsetAreAppliedAndWrittenBack)
{
	auto slider = created ();
	SliderCreator creator;
	creator.apply (slider,
	               makeAttributes ({{"draw-frame-color", "#ff000080"},
	                                {"draw-back-color", "#00ff00"},
	                                {"draw-value-color", "nonsense"},
	                                {"frame-width", "4"},
	                                {"bitmap-offset", "3, 4"},
	                                {"mode", "ramp"}}),
	               nullptr);
	EXPECT_EQ (slider->getFrameColor (), CColor (255, 0, 0, 128));
	EXPECT_EQ (slider->getBackColor (), CColor (0, 255, 0, 255));
	EXPECT_EQ (slider->getValueColor (), kWhiteCColor);
	EXPECT_EQ (slider->getFrameWidth (), 4.);
	EXPECT_EQ (slider->getBackgroundOffset (), CPoint (3, 4));
	EXPECT_EQ (slider->getSliderMode (), CSliderMode::Ramp); // the base's attributes follow

	EXPECT_EQ (valueOf (slider, "draw-frame-color", creator), "#ff000080");
	EXPECT_EQ (valueOf (slider, "frame-width", creator), "4");
	EXPECT_EQ (valueOf (slider, "bitmap-offset", creator), "3, 4");
	EXPECT_EQ (valueOf (slider, "handle-bitmap", creator), "");
	EXPECT_EQ (valueOf (slider, "mode", creator), "ramp");
	EXPECT_EQ (valueOf (slider, "size", creator), "untouched");

	creator.apply (slider, makeAttributes ({{"frame-width", "-1"}}), nullptr);
	EXPECT_EQ (slider->getFrameWidth (), -1.);
	creator.apply (slider, makeAttributes ({{"frame-width", "wide"}}), nullptr);
	EXPECT_EQ (slider->getFrameWidth (), -1.);

	auto view = makeOwned<CView> (CRect (0, 0, 10, 10));
	EXPECT_FALSE (creator.apply (view, makeAttributes ({{"frame-width", "3"}}), nullptr));
	EXPECT_EQ (valueOf (view, "frame-width", creator), "untouched");
}

//------------------------------------------------------------------------
// through a description and the view factory
//------------------------------------------------------------------------
TEST (SliderCreator, ADescriptionBuildsTheSliderThroughTheFactory)
{
	registerSliderViewCreators ();

	char dirTemplate[] = "/tmp/slidertestXXXXXX";
	const char* dir = mkdtemp (dirTemplate);
	ASSERT_NE (dir, nullptr);
	const std::string handlePath = std::string (dir) + "/handle.png";
	{
		auto image = COffscreenContext::create (CPoint (20, 20));
		ASSERT_TRUE (image);
		image->fill (kRedCColor);
		ASSERT_TRUE (image->writePNG (handlePath.c_str ()));
	}

	const std::string text = R"(<?xml version="1.0" encoding="UTF-8"?>
<vstgui-ui-description version="1">
  <bitmaps><bitmap name="knob" path=")" + handlePath + R"("/></bitmaps>
  <colors><color name="bar" rgba="#10203040"/></colors>
  <control-tags><control-tag name="Band" tag="4"/></control-tags>
  <template name="view" class="CViewContainer" size="200, 100">
    <view class="CSlider" origin="10, 20" size="100, 20" control-tag="Band" default-value="0.5"
          handle-bitmap="knob" handle-offset="2, 0" draw-value="true" draw-value-color="bar"/>
    <view class="CSlider" origin="10, 50" size="20, 40" mode="ramp" orientation="vertical"
          reverse-orientation="false" zoom-factor="4" free-click="true"/>
  </template>
</vstgui-ui-description>)";
	auto desc = makeOwned<UIDescription> (CResourceDescription ("slider.uidesc"));
	ASSERT_TRUE (desc->parseFromMemory (text.data (), text.size ())) << desc->getLastError ();
	auto container = owned (desc->createView ("view", nullptr));
	ASSERT_TRUE (container);
	auto viewContainer = container->asViewContainer ();
	ASSERT_NE (viewContainer, nullptr);
	ASSERT_EQ (viewContainer->getNbViews (), 2u);

	auto first = dynamic_cast<CSlider*> (viewContainer->getView (0));
	ASSERT_NE (first, nullptr);
	EXPECT_EQ (first->getViewSize (), CRect (10, 20, 110, 20 + 20));
	EXPECT_EQ (first->getTag (), 4);
	EXPECT_EQ (first->getStyle (), 5);
	EXPECT_EQ (first->getSliderMode (), CSliderMode::UseGlobal);
	EXPECT_EQ (first->getEffectiveSliderMode (), CSliderMode::VDFreeClick);
	ASSERT_NE (first->getHandle (), nullptr);
	EXPECT_EQ (first->getHandleSize (), CPoint (20, 20));
	EXPECT_EQ (first->getDrawStyle (), CSlider::kDrawValue);
	EXPECT_EQ (first->getValueColor (), CColor (0x10, 0x20, 0x30, 0x40));
	EXPECT_EQ (first->getOffsetHandle (), CPoint (2, 0));
	// Laid out for its size with handle and offset: a 76-pixel travel from x = 12.
	first->setViewSize (first->getViewSize ());
	EXPECT_EQ (first->calculateHandleRect (0.5f), CRect (50, 20, 70, 40));
	UIViewFactory factory;
	std::string value;
	EXPECT_TRUE (factory.getAttributeValue (first, "CSlider", "mode", value, desc));
	EXPECT_EQ (value, "use global");
	EXPECT_TRUE (factory.getAttributeValue (first, "CSlider", "handle-bitmap", value, desc));
	EXPECT_EQ (value, "knob");
	EXPECT_TRUE (factory.getAttributeValue (first, "CSlider", "draw-value-color", value, desc));
	EXPECT_EQ (value, "bar");

	auto second = dynamic_cast<CSlider*> (viewContainer->getView (1));
	ASSERT_NE (second, nullptr);
	EXPECT_EQ (second->getSliderMode (), CSliderMode::Ramp);
	EXPECT_EQ (second->getStyle (), 38);
	EXPECT_EQ (second->getZoomFactor (), 4.f);
	EXPECT_TRUE (factory.getAttributeValue (second, "CSlider", "orientation", value, desc));
	EXPECT_EQ (value, "vertical");

	// The press goes to the slider that the description made.
	first->setValueNormalized (0.f);
	EXPECT_EQ (press (first, CPoint (80, 30), kLButton), kMouseEventHandled);
	EXPECT_FLOAT_EQ (first->getValueNormalized (), (80.f - 21.f) / 76.f);
	release (first);

	std::remove (handlePath.c_str ());
	rmdir (dir);
}
