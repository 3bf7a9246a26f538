// The GUI library's X11 window layer in a real X server: a frame opened in a window of
// the test, its child window, drawing, and real input (XTest) as the frame's views get it.
#include "x11testsupport.h"

#include "gui/cslider.h"

#include "vstgui/lib/cdrawcontext.h"
#include "vstgui/lib/cframe.h"
#include "vstgui/lib/platform/irunloop.h"
#include "vstgui/lib/platform/linux/x11frame.h"
#include "vstgui/lib/platform/offscreenframe.h"

#include <gtest/gtest.h>

// Xlib's macros (None, Bool, ...) come after every other header.
#include <X11/Xlib.h>

#include <map>
#include <string>
#include <vector>

using namespace VSTGUI;
using x11test::PollLoop;
using x11test::TopWindow;

namespace {

//------------------------------------------------------------------------
// The library's run loop over the test's poll loop, as an editor installs it over the
// host's.
class LibraryRunLoop : public IRunLoop
{
public:
	explicit LibraryRunLoop (PollLoop& loop) : loop (loop) {}
	bool registerTimer (uint64_t intervalMs, IRunLoopTimerHandler* handler) override
	{
		unregisterTimer (handler);
		timers[handler] = loop.addTimer (intervalMs, [handler] () { handler->onTimer (); });
		return true;
	}
	bool unregisterTimer (IRunLoopTimerHandler* handler) override
	{
		auto it = timers.find (handler);
		if (it == timers.end ())
			return false;
		loop.removeTimer (it->second);
		timers.erase (it);
		return true;
	}
	bool registerEventHandler (int fd, IRunLoopEventHandler* handler) override
	{
		unregisterEventHandler (handler);
		events[handler] = loop.addFd (fd, [handler] () { handler->onEvent (); });
		return true;
	}
	bool unregisterEventHandler (IRunLoopEventHandler* handler) override
	{
		auto it = events.find (handler);
		if (it == events.end ())
			return false;
		loop.removeFd (it->second);
		events.erase (it);
		return true;
	}

private:
	PollLoop& loop;
	std::map<IRunLoopTimerHandler*, int> timers;
	std::map<IRunLoopEventHandler*, int> events;
};

//------------------------------------------------------------------------
// A view that fills itself with a colour and records the input it gets.
class ProbeView : public CView
{
public:
	struct Event
	{
		std::string what;
		CPoint where;
		int32_t buttons {0};
		float distance {0};
		int axis {-1};
		VstKeyCode key {};
	};

	ProbeView (const CRect& size, CColor colour) : CView (size), colour (colour) { setWantsFocus (true); }

	void draw (CDrawContext* context) override
	{
		++draws;
		context->setFillColor (colour);
		context->drawRect (getViewSize (), kDrawFilled);
		setDirty (false);
	}
	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override
	{
		events.push_back ({"down", where, buttons.getButtonState () | buttons.getModifierState () |
		                                      (buttons.isDoubleClick () ? kDoubleClick : 0)});
		return kMouseEventHandled;
	}
	CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons) override
	{
		events.push_back ({"move", where, buttons ()});
		return kMouseEventHandled;
	}
	CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons) override
	{
		events.push_back ({"up", where, buttons ()});
		return kMouseEventHandled;
	}
	CMouseEventResult onMouseCancel () override
	{
		events.push_back ({"cancel", CPoint (), 0});
		return kMouseEventHandled;
	}
	bool onWheel (const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
	              const CButtonState& buttons) override
	{
		Event e {"wheel", where, buttons ()};
		e.axis = axis;
		e.distance = distance;
		events.push_back (e);
		return true;
	}
	int32_t onKeyDown (VstKeyCode& key) override
	{
		Event e {"key", CPoint (), 0};
		e.key = key;
		events.push_back (e);
		return 1;
	}
	int32_t onKeyUp (VstKeyCode& key) override
	{
		Event e {"keyup", CPoint (), 0};
		e.key = key;
		events.push_back (e);
		return 1;
	}

	/** The events recorded so far (all, or those of one kind, or the mouse's), which are then forgotten. */
	std::vector<Event> take (const std::string& what = {})
	{
		std::vector<Event> out;
		for (auto& e : events)
		{
			bool mouse = e.what == "down" || e.what == "move" || e.what == "up" || e.what == "cancel";
			if (what.empty () || e.what == what || (what == "mouse" && mouse))
				out.push_back (e);
		}
		events.clear ();
		return out;
	}

	CColor colour;
	int draws {0};
	std::vector<Event> events;
};

//------------------------------------------------------------------------
class X11Layer : public ::testing::Test
{
protected:
	static constexpr int kWidth = 300;
	static constexpr int kHeight = 200;
	const CColor kBackground {30, 40, 50, 255};
	const CColor kProbeColour {200, 100, 50, 255};
	const CRect kProbeRect {50, 40, 150, 140};

	void SetUp () override
	{
		if (!x11test::displayAvailable ())
			GTEST_SKIP () << "no X display";
		X11::registerFrameFactory ();
		setRunLoop (&libraryLoop);
		top = std::make_unique<TopWindow> (kWidth, kHeight);
		ASSERT_TRUE (top->ok ());
		ASSERT_TRUE (top->hasXTest ()) << "the X server has no XTest extension";
	}

	void TearDown () override
	{
		closeFrame ();
		setRunLoop (nullptr);
		X11::unregisterFrameFactory ();
		top.reset ();
	}

	/** A frame with the probe view, opened in the test's window. */
	bool openFrame (double scale = 1.)
	{
		frame = new CFrame (CRect (0, 0, kWidth, kHeight), nullptr);
		frame->setBackgroundColor (kBackground);
		probe = new ProbeView (kProbeRect, kProbeColour);
		frame->addView (probe);
		if (!frame->open (reinterpret_cast<void*> (top->getWindow ()), PlatformType::kX11EmbedWindowID))
		{
			frame->close ();
			frame = nullptr;
			return false;
		}
		if (scale != 1.)
			frame->getPlatformFrame ()->setScaleFactor (scale);
		pump (150);
		return true;
	}

	void closeFrame ()
	{
		if (frame)
			frame->close ();
		frame = nullptr;
		probe = nullptr;
	}

	void pump (int ms) { loop.runFor (ms); }
	/** Sends the test's fake input, then lets the frame read it. */
	void settle (int ms = 60)
	{
		top->sync ();
		pump (ms);
	}
	unsigned long child () const
	{
		auto kids = top->children ();
		return kids.size () == 1 ? kids[0] : 0;
	}

	PollLoop loop;
	LibraryRunLoop libraryLoop {loop};
	std::unique_ptr<TopWindow> top;
	CFrame* frame {nullptr};
	ProbeView* probe {nullptr};
};

bool sameColour (const uint8_t* p, const CColor& c)
{
	return p[0] == c.red && p[1] == c.green && p[2] == c.blue;
}

//------------------------------------------------------------------------
TEST_F (X11Layer, TheFrameIsAMappedXEmbedChildOfTheParentAndDrawsOnTheRunLoop)
{
	ASSERT_TRUE (openFrame ());
	EXPECT_EQ (X11::getLiveFrameCount (), 1u);
	unsigned long w = child ();
	ASSERT_NE (w, 0u);
	EXPECT_EQ (reinterpret_cast<unsigned long> (frame->getPlatformFrame ()->getPlatformRepresentation ()), w);
	EXPECT_TRUE (top->isViewable (w));
	long version = -1, flags = -1;
	ASSERT_TRUE (top->xembedInfo (w, version, flags));
	EXPECT_EQ (version, 0);
	EXPECT_EQ (flags, 1); // XEMBED_MAPPED
	int width = 0, height = 0;
	ASSERT_TRUE (top->windowSize (w, width, height));
	EXPECT_EQ (width, kWidth);
	EXPECT_EQ (height, kHeight);
	// the connection's descriptor and the tick timer are on the run loop
	EXPECT_EQ (loop.fdCount (), 1u);
	EXPECT_EQ (loop.timerCount (), 1u);

	auto image = top->capture ();
	ASSERT_EQ (image.width, kWidth);
	EXPECT_TRUE (sameColour (image.at (10, 10), kBackground));
	EXPECT_TRUE (sameColour (image.at (100, 90), kProbeColour));
	EXPECT_TRUE (sameColour (image.at (149, 139), kProbeColour));
	EXPECT_TRUE (sameColour (image.at (150, 140), kBackground));

	// Invalidation is coalesced and drawn on the run loop, not in the call.
	int drawsBefore = probe->draws;
	probe->colour = CColor (20, 220, 90, 255);
	probe->invalid ();
	probe->invalid ();
	probe->invalidRect (CRect (50, 40, 60, 50));
	EXPECT_EQ (probe->draws, drawsBefore);
	pump (60);
	EXPECT_EQ (probe->draws, drawsBefore + 1);
	image = top->capture ();
	EXPECT_TRUE (sameColour (image.at (100, 90), probe->colour));
	EXPECT_TRUE (sameColour (image.at (10, 10), kBackground));

	// what another window uncovered is copied again from the frame's image
	XSetWindowAttributes attributes {};
	attributes.override_redirect = True;
	attributes.background_pixel = WhitePixel (top->getDisplay (), 0);
	Window cover = XCreateWindow (top->getDisplay (), DefaultRootWindow (top->getDisplay ()), top->getX () + 20,
	                              top->getY () + 20, 200, 150, 0, CopyFromParent, InputOutput, CopyFromParent,
	                              CWOverrideRedirect | CWBackPixel, &attributes);
	XMapRaised (top->getDisplay (), cover);
	settle (60);
	XDestroyWindow (top->getDisplay (), cover);
	settle (80);
	image = top->capture ();
	EXPECT_TRUE (sameColour (image.at (100, 90), probe->colour));
	EXPECT_TRUE (sameColour (image.at (30, 30), kBackground));
	EXPECT_EQ (probe->draws, drawsBefore + 1); // an exposure needs no new drawing
}

TEST_F (X11Layer, TheWindowShowsWhatTheOffscreenFrameDraws)
{
	ASSERT_TRUE (openFrame ());
	auto window = top->capture ();
	// The same views drawn offscreen.
	auto offscreen = new CFrame (CRect (0, 0, kWidth, kHeight), nullptr);
	offscreen->setBackgroundColor (kBackground);
	offscreen->addView (new ProbeView (kProbeRect, kProbeColour));
	ASSERT_TRUE (offscreen->open (nullptr, PlatformType::kOffscreen));
	auto pf = static_cast<COffscreenPlatformFrame*> (offscreen->getPlatformFrame ());
	pf->render ();
	x11test::Image image;
	image.width = kWidth;
	image.height = kHeight;
	for (int y = 0; y < kHeight; ++y)
		for (int x = 0; x < kWidth; ++x)
		{
			CColor c = pf->getPixel (x, y);
			image.rgba.insert (image.rgba.end (), {c.red, c.green, c.blue, c.alpha});
		}
	offscreen->close ();
	EXPECT_EQ (x11test::maxChannelDifference (window, image), 0);
}

TEST_F (X11Layer, PressesCarryButtonsAndModifierKeys)
{
	ASSERT_TRUE (openFrame ());
	top->moveTo (60, 50);
	settle ();
	probe->take ();

	struct Case
	{
		std::vector<const char*> keys;
		int32_t modifiers;
	};
	const Case cases[] = {{{}, 0},
	                      {{"Shift_L"}, kShift},
	                      {{"Control_L"}, kControl},
	                      {{"Alt_L"}, kAlt},
	                      {{"Super_L"}, kApple},
	                      {{"Shift_L", "Control_L", "Alt_L", "Super_L"}, kShift | kControl | kAlt | kApple}};
	for (const auto& c : cases)
	{
		for (auto key : c.keys)
			top->keyDown (key);
		top->press (1);
		top->moveTo (70, 60);
		top->release (1);
		for (auto key : c.keys)
			top->keyUp (key);
		settle ();
		auto events = probe->take ("mouse");
		ASSERT_EQ (events.size (), 3u) << c.modifiers;
		EXPECT_EQ (events.front ().what, "down");
		EXPECT_EQ (events.front ().buttons, kLButton | c.modifiers);
		EXPECT_EQ (events.front ().where, CPoint (60, 50)); // the frame's coordinates (those of the views' parent)
		EXPECT_EQ (events[1].what, "move");
		EXPECT_EQ (events[1].buttons, kLButton | c.modifiers);
		EXPECT_EQ (events[1].where, CPoint (70, 60));
		EXPECT_EQ (events.back ().what, "up");
		EXPECT_EQ (events.back ().buttons, kLButton | c.modifiers);
		top->moveTo (60, 50);
		settle (450); // no double click with the next case
		probe->take ();
	}

	// the middle and the right button
	top->click (2);
	settle (450);
	top->click (3);
	settle ();
	auto downs = probe->take ("down");
	ASSERT_EQ (downs.size (), 2u);
	EXPECT_EQ (downs[0].buttons, kMButton);
	EXPECT_EQ (downs[1].buttons, kRButton);
}

TEST_F (X11Layer, ASecondButtonDuringAPressIsNoNewPressAndTheLastReleaseEndsIt)
{
	ASSERT_TRUE (openFrame ());
	top->moveTo (60, 50);
	settle ();
	probe->take ();
	top->press (1);
	top->press (3);
	top->moveTo (65, 50);
	top->release (3);
	top->moveTo (70, 50);
	top->release (1);
	settle ();
	auto events = probe->take ("mouse");
	std::vector<std::pair<std::string, int32_t>> seen;
	for (auto& e : events)
		seen.emplace_back (e.what, e.buttons);
	const std::vector<std::pair<std::string, int32_t>> expected = {
	    {"down", kLButton}, {"move", kLButton | kRButton}, {"move", kLButton | kRButton},
	    {"move", kLButton},  {"move", kLButton},            {"up", kLButton}};
	EXPECT_EQ (seen, expected);
}

TEST_F (X11Layer, ADragThatLeavesTheWindowKeepsComing)
{
	ASSERT_TRUE (openFrame ());
	top->moveTo (60, 50);
	settle ();
	top->press (1);
	top->moveTo (60, -40); // above the window
	settle ();
	top->moveTo (kWidth + 30, kHeight + 20); // beyond its corner
	top->release (1);
	settle ();
	auto events = probe->take ("mouse");
	ASSERT_EQ (events.size (), 4u);
	EXPECT_EQ (events[1].what, "move");
	EXPECT_EQ (events[1].where, CPoint (60, -40));
	EXPECT_EQ (events[2].where, CPoint (kWidth + 30, kHeight + 20));
	EXPECT_EQ (events.back ().what, "up");
	EXPECT_EQ (events.back ().where, CPoint (kWidth + 30, kHeight + 20));
	// afterwards the pointer is free: a move outside reaches nobody
	top->moveTo (kWidth + 40, kHeight + 30);
	settle ();
	EXPECT_TRUE (probe->take ("move").empty ());
}

TEST_F (X11Layer, DoubleClicksAreTheSecondQuickPressInPlace)
{
	ASSERT_TRUE (openFrame ());
	top->moveTo (60, 50);
	settle (450);
	probe->take ();
	auto click = [this] () {
		top->click (1);
		settle (40);
	};
	click ();
	click (); // double
	click (); // a third press starts anew
	click (); // double again
	settle (500);
	click (); // too late
	top->moveTo (70, 50);
	settle (20);
	click (); // too far from the one before
	auto downs = probe->take ("down");
	ASSERT_EQ (downs.size (), 6u);
	std::vector<bool> doubles;
	for (auto& d : downs)
		doubles.push_back ((d.buttons & kDoubleClick) != 0);
	EXPECT_EQ (doubles, (std::vector<bool> {false, true, false, true, false, false}));
}

TEST_F (X11Layer, WheelButtonsAreStepsOnTheirAxis)
{
	ASSERT_TRUE (openFrame ());
	top->moveTo (60, 50);
	settle ();
	probe->take ();
	for (unsigned int button : {4u, 5u, 6u, 7u})
		top->click (button);
	top->keyDown ("Shift_L");
	top->click (4);
	top->keyUp ("Shift_L");
	settle ();
	auto wheels = probe->take ("wheel");
	ASSERT_EQ (wheels.size (), 5u);
	EXPECT_EQ (wheels[0].axis, kMouseWheelAxisY);
	EXPECT_EQ (wheels[0].distance, 1.f);
	EXPECT_EQ (wheels[1].axis, kMouseWheelAxisY);
	EXPECT_EQ (wheels[1].distance, -1.f);
	EXPECT_EQ (wheels[2].axis, kMouseWheelAxisX);
	EXPECT_EQ (wheels[2].distance, 1.f);
	EXPECT_EQ (wheels[3].axis, kMouseWheelAxisX);
	EXPECT_EQ (wheels[3].distance, -1.f);
	EXPECT_EQ (wheels[4].buttons, kShift);
	EXPECT_EQ (wheels[0].where, CPoint (60, 50));
	EXPECT_TRUE (probe->take ("down").empty ()); // the wheel presses no button
}

TEST_F (X11Layer, KeysReachTheFocusedViewWithTheirModifiers)
{
	ASSERT_TRUE (openFrame ());
	// a click gives the view the frame's focus and the window the keyboard
	top->moveTo (60, 50);
	settle ();
	top->click (1);
	settle ();
	EXPECT_EQ (frame->getFocusView (), probe);
	probe->take ();

	top->tapKey ("Up");
	top->tapKey ("Escape");
	top->tapKey ("Return");
	top->tapKey ("a");
	top->keyDown ("Shift_L");
	top->tapKey ("a");
	top->tapKey ("Down");
	top->keyUp ("Shift_L");
	top->keyDown ("Alt_L");
	top->tapKey ("Left");
	top->keyUp ("Alt_L");
	top->keyDown ("Control_L");
	top->tapKey ("Right");
	top->keyUp ("Control_L");
	top->keyDown ("Super_L");
	top->tapKey ("F5");
	top->keyUp ("Super_L");
	settle ();
	auto all = probe->take ();
	std::vector<ProbeView::Event> keys;
	size_t ups = 0;
	for (auto& e : all)
	{
		if (e.what == "key")
			keys.push_back (e);
		ups += e.what == "keyup";
	}
	struct Expected
	{
		int virt;
		int character;
		int modifier;
	};
	const std::vector<Expected> expected = {{VKEY_UP, 0, 0},
	                                        {VKEY_ESCAPE, 0, 0},
	                                        {VKEY_RETURN, 0, 0},
	                                        {0, 'a', 0},
	                                        {VKEY_SHIFT, 0, 0}, // the key's own press comes before its modifier holds
	                                        {0, 'A', MODIFIER_SHIFT},
	                                        {VKEY_DOWN, 0, MODIFIER_SHIFT},
	                                        {VKEY_ALT, 0, 0},
	                                        {VKEY_LEFT, 0, MODIFIER_ALTERNATE},
	                                        {VKEY_CONTROL, 0, 0},
	                                        {VKEY_RIGHT, 0, MODIFIER_CONTROL},
	                                        {VKEY_F5, 0, MODIFIER_COMMAND}};
	// Super_L itself has no virtual key and no character: it is not sent on its own.
	ASSERT_EQ (keys.size (), expected.size ());
	for (size_t i = 0; i < keys.size (); ++i)
	{
		EXPECT_EQ (keys[i].key.virt, expected[i].virt) << i;
		EXPECT_EQ (keys[i].key.character, expected[i].character) << i;
		EXPECT_EQ (keys[i].key.modifier, expected[i].modifier) << i;
	}
	EXPECT_EQ (mapVstKeyModifier (keys[10].key.modifier), kControl); // the same bit as a click with Ctrl
	EXPECT_EQ (mapVstKeyModifier (keys[11].key.modifier), kApple);
	EXPECT_EQ (ups, keys.size ());
}

TEST_F (X11Layer, LosingTheKeyboardFocusCancelsAPress)
{
	ASSERT_TRUE (openFrame ());
	top->moveTo (60, 50);
	settle ();
	top->press (1);
	settle ();
	probe->take ();
	// The host takes the focus back to its own window.
	XSetInputFocus (top->getDisplay (), top->getWindow (), RevertToParent, CurrentTime);
	settle ();
	auto events = probe->take ();
	ASSERT_FALSE (events.empty ());
	EXPECT_EQ (events.back ().what, "cancel");
	top->release (1);
	settle ();
	EXPECT_TRUE (probe->take ("up").empty ());
}

TEST_F (X11Layer, PointerPositionSizeAndScale)
{
	ASSERT_TRUE (openFrame ());
	IPlatformFrame* pf = frame->getPlatformFrame ();
	top->moveTo (30, 45);
	settle ();
	CPoint where;
	ASSERT_TRUE (pf->getCurrentMousePosition (where));
	EXPECT_EQ (where, CPoint (30, 45));
	CPoint global;
	ASSERT_TRUE (pf->getGlobalPosition (global));
	EXPECT_EQ (global, CPoint (top->getX (), top->getY ()));

	frame->setSize (200, 120);
	settle ();
	int width = 0, height = 0;
	ASSERT_TRUE (top->windowSize (child (), width, height));
	EXPECT_EQ (width, 200);
	EXPECT_EQ (height, 120);

	// Twice the pixels: the window doubles, input comes in frame coordinates.
	frame->setSize (kWidth, kHeight);
	top->resize (2 * kWidth, 2 * kHeight);
	ASSERT_TRUE (pf->setScaleFactor (2.));
	EXPECT_FALSE (pf->setScaleFactor (0.));
	settle (100);
	ASSERT_TRUE (top->windowSize (child (), width, height));
	EXPECT_EQ (width, 2 * kWidth);
	EXPECT_EQ (height, 2 * kHeight);
	auto image = top->capture ();
	EXPECT_TRUE (sameColour (image.at (2 * 100, 2 * 90), kProbeColour));
	EXPECT_TRUE (sameColour (image.at (2 * 50, 2 * 40), kProbeColour));
	EXPECT_TRUE (sameColour (image.at (2 * 50 - 1, 2 * 40), kBackground));
	EXPECT_TRUE (sameColour (image.at (2 * 150, 2 * 140), kBackground));
	top->moveTo (2 * 60, 2 * 50);
	settle ();
	probe->take ();
	top->click (1);
	settle ();
	auto downs = probe->take ("down");
	ASSERT_EQ (downs.size (), 1u);
	EXPECT_EQ (downs[0].where, CPoint (60, 50));
	ASSERT_TRUE (pf->getCurrentMousePosition (where));
	EXPECT_EQ (where, CPoint (60, 50));
}

TEST_F (X11Layer, ClosingGivesEverythingBackAndReopeningLeaksNothing)
{
	ASSERT_TRUE (openFrame ());
	closeFrame ();
	int descriptors = x11test::openFileDescriptors ();
	for (int i = 0; i < 20; ++i)
	{
		ASSERT_TRUE (openFrame ()) << i;
		top->moveTo (60 + i, 50);
		top->click (1);
		settle (20);
		closeFrame ();
		EXPECT_EQ (loop.fdCount (), 0u) << i;
		EXPECT_EQ (loop.timerCount (), 0u) << i;
		EXPECT_EQ (X11::getLiveFrameCount (), 0u) << i;
		EXPECT_TRUE (top->children ().empty ()) << i;
	}
	EXPECT_EQ (x11test::openFileDescriptors (), descriptors);
	pump (50); // nothing of the closed frames is called any more
}

int gHostErrors = 0;
int hostErrorHandler (Display*, XErrorEvent*)
{
	++gHostErrors;
	return 0;
}

TEST_F (X11Layer, AParentThatDoesNotExistIsRefusedAndTheHostsErrorHandlerStays)
{
	XErrorHandler before = XSetErrorHandler (&hostErrorHandler);
	auto f = new CFrame (CRect (0, 0, 100, 100), nullptr);
	x11test::StderrCapture errors;
	EXPECT_FALSE (f->open (reinterpret_cast<void*> (0x7fffff01ul), PlatformType::kX11EmbedWindowID));
	std::string text = errors.text ();
	EXPECT_NE (text.find ("does not exist"), std::string::npos) << text;
	EXPECT_FALSE (f->isOpen ());
	f->close ();
	EXPECT_EQ (X11::getLiveFrameCount (), 0u);
	EXPECT_EQ (loop.fdCount (), 0u);
	EXPECT_EQ (loop.timerCount (), 0u);
	// The host's handler is back, and saw none of the layer's errors.
	EXPECT_EQ (XSetErrorHandler (before), &hostErrorHandler);
	EXPECT_EQ (gHostErrors, 0);
	// An error on the host's own connection still reaches its handler while a frame is open.
	XSetErrorHandler (&hostErrorHandler);
	ASSERT_TRUE (openFrame ());
	XMapWindow (top->getDisplay (), 0x7fffff02ul);
	XSync (top->getDisplay (), False);
	EXPECT_EQ (gHostErrors, 1);
	XSetErrorHandler (before);
}

TEST_F (X11Layer, WithoutARunLoopNoWindowIsMade)
{
	setRunLoop (nullptr);
	auto f = new CFrame (CRect (0, 0, 100, 100), nullptr);
	x11test::StderrCapture errors;
	EXPECT_FALSE (f->open (reinterpret_cast<void*> (top->getWindow ()), PlatformType::kX11EmbedWindowID));
	EXPECT_NE (errors.text ().find ("run loop"), std::string::npos);
	f->close ();
	EXPECT_TRUE (top->children ().empty ());
	EXPECT_EQ (X11::getLiveFrameCount (), 0u);
}

TEST_F (X11Layer, AParentDestroyedUnderAnOpenFrameIsSurvived)
{
	ASSERT_TRUE (openFrame ());
	top->destroyWindow ();
	probe->invalid ();
	pump (80); // the frame draws into a window that is gone
	closeFrame ();
	EXPECT_EQ (X11::getLiveFrameCount (), 0u);
	EXPECT_EQ (loop.fdCount (), 0u);
}

TEST_F (X11Layer, ASlidersRampTicksOnTheRunLoopThatDrivesTheWindow)
{
	ASSERT_TRUE (openFrame ());
	// A horizontal slider of 200 x 20 whose handle (20 wide) ramps toward a press beside it.
	auto slider = new CSlider (CRect (0, 0, 0, 0), nullptr, 1, 0, 0, nullptr, nullptr);
	slider->setHandleSize (20, 20);
	slider->setOffsetHandle (CPoint (2, 0));
	slider->setViewSize (CRect (20, 160, 220, 180));
	slider->setSliderMode (CSliderMode::Ramp);
	slider->setValueNormalized (0.5f);
	frame->addView (slider);
	settle ();
	uint64_t ticksBefore = loop.getTimerCalls ();
	top->moveTo (210, 170);
	top->press (1);
	top->sync ();
	// It ramps: the value passes through the middle of the way ...
	ASSERT_TRUE (loop.runUntil ([&] () { return slider->getValue () > 0.55f; }, 2000));
	EXPECT_LT (slider->getValue (), 0.9f);
	// ... and arrives.
	EXPECT_TRUE (loop.runUntil ([&] () { return slider->getValue () > 0.95f; }, 4000));
	top->release (1);
	settle ();
	EXPECT_GT (loop.getTimerCalls (), ticksBefore + 40); // the 16 ms ramp and the window's ticks
	EXPECT_FALSE (slider->isEditing ());
	EXPECT_EQ (loop.timerCount (), 1u); // the ramp timer is gone again; the window's stays
}

} // namespace
