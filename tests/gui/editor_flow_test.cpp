// The path an editor takes: read a description, build the template into a frame,
// render it offscreen and drive it with the mouse.
#include "guitesthelpers.h"
#include "vstgui/vstgui.h"
#include "vstgui/vstgui_uidescription.h"
#include <gtest/gtest.h>

using namespace VSTGUI;
using namespace GuiTest;

namespace {

const char* const kEditor = R"(<?xml version="1.0" encoding="UTF-8"?>
<vstgui-ui-description version="1">
  <colors><color name="panel" rgba="#336699ff"/></colors>
  <control-tags><control-tag name="Level" tag="1"/><control-tag name="Bypass" tag="0"/></control-tags>
  <template name="view" class="CViewContainer" size="200, 120" background-color="panel" background-color-draw-style="filled">
    <view class="CKnob" origin="20, 20" size="60, 60" control-tag="Level" default-value="0.75"/>
    <view class="COnOffButton" origin="120, 20" size="30, 30" control-tag="Bypass"/>
  </template>
</vstgui-ui-description>)";

/** Stands in for the editor: it listens to every control and counts host edits. */
struct EditorController : IController
{
	std::vector<std::string> log;
	void valueChanged (CControl* c) override { log.push_back ("value " + std::to_string (c->getTag ())); }
	void controlBeginEdit (CControl* c) override { log.push_back ("begin " + std::to_string (c->getTag ())); }
	void controlEndEdit (CControl* c) override { log.push_back ("end " + std::to_string (c->getTag ())); }
};

} // anonymous

TEST (GuiEditorFlow, BuildRenderAndResetThroughTheFrame)
{
	auto desc = makeOwned<UIDescription> (CResourceDescription ("plug.uidesc"));
	std::string text (kEditor);
	ASSERT_TRUE (desc->parseFromMemory (text.data (), text.size ())) << desc->getLastError ();
	EditorController controller;
	CPoint size;
	ASSERT_TRUE (desc->getViewAttributes ("view")->getPointAttribute ("size", size));

	auto frame = new CFrame (CRect (0, 0, size.x, size.y), nullptr);
	ASSERT_TRUE (frame->open (nullptr, PlatformType::kOffscreen));
	CView* view = desc->createView ("view", &controller);
	ASSERT_NE (view, nullptr);
	frame->addView (view);
	auto offscreen = dynamic_cast<COffscreenPlatformFrame*> (frame->getPlatformFrame ());
	ASSERT_NE (offscreen, nullptr);
	ASSERT_TRUE (offscreen->render ());
	EXPECT_EQ (offscreen->getPixel (5, 5), CColor (0x33, 0x66, 0x99, 0xff));
	EXPECT_EQ (offscreen->getPixel (135, 35), kBlackCColor); // the drawn off-state button

	std::vector<CKnob*> knobs;
	ASSERT_EQ (frame->getChildViewsOfType<CKnob> (knobs, true), 1u);
	CKnob* knob = knobs[0];
	knob->setValue (0.1f);
	knob->setDirty (false);

	// Option-click on the knob: reset to its default, no drag.
	CPoint where (50, 50);
	EXPECT_EQ (frame->platformOnMouseDown (where, CButtonState (kLButton | kAlt)),
	           kMouseDownEventHandledButDontNeedMovedOrUpEvents);
	EXPECT_FLOAT_EQ (knob->getValue (), 0.75f);
	EXPECT_EQ (controller.log, (std::vector<std::string> {"begin 1", "value 1", "end 1"}));
	EXPECT_EQ (frame->getMouseDownView (), nullptr);

	// The reset leaves the knob dirty; idle turns that into a redraw.
	EXPECT_FALSE (offscreen->hasDirtyRegion ());
	frame->idle ();
	EXPECT_TRUE (offscreen->hasDirtyRegion ());
	EXPECT_TRUE (offscreen->render ());

	// A click on the button switches it on and the image follows.
	controller.log.clear ();
	CPoint onButton (130, 30);
	frame->platformOnMouseDown (onButton, CButtonState (kLButton));
	EXPECT_EQ (controller.log, (std::vector<std::string> {"begin 0", "value 0", "end 0"}));
	offscreen->render ();
	EXPECT_EQ (offscreen->getPixel (135, 35), kWhiteCColor);

	frame->close ();
}
