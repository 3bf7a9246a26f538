// Views, containers and the frame: hierarchy, listeners, event dispatch, focus,
// invalidation and offscreen rendering.
#include "guitesthelpers.h"
#include "vstgui/lib/cframe.h"
#include "vstgui/lib/iviewlistener.h"
#include "vstgui/lib/platform/offscreenframe.h"
#include "vstgui/lib/controls/cbuttons.h"
#include "vstgui/uidescription/icontroller.h"
#include <gtest/gtest.h>
#include <functional>

using namespace VSTGUI;
using namespace GuiTest;

namespace {

/** A view that records the events it gets, with the points in its own terms. */
struct ProbeView : CView
{
	std::vector<std::string> events;
	std::vector<CPoint> points;
	CMouseEventResult downResult {kMouseEventHandled};
	int32_t keyResult {-1};
	bool wheelResult {true};
	int draws {0};
	static int alive;

	explicit ProbeView (const CRect& r) : CView (r) { ++alive; }
	/** The events without hover notifications. */
	std::vector<std::string> pressEvents () const
	{
		std::vector<std::string> result;
		for (const auto& e : events)
			if (e != "entered" && e != "exited")
				result.push_back (e);
		return result;
	}
	~ProbeView () noexcept override { --alive; }

	CMouseEventResult onMouseDown (CPoint& p, const CButtonState&) override
	{
		events.push_back ("down");
		points.push_back (p);
		return downResult;
	}
	CMouseEventResult onMouseMoved (CPoint& p, const CButtonState&) override
	{
		events.push_back ("moved");
		points.push_back (p);
		return kMouseEventHandled;
	}
	CMouseEventResult onMouseUp (CPoint& p, const CButtonState&) override
	{
		events.push_back ("up");
		points.push_back (p);
		return kMouseEventHandled;
	}
	CMouseEventResult onMouseCancel () override
	{
		events.push_back ("cancel");
		return kMouseEventHandled;
	}
	CMouseEventResult onMouseEntered (CPoint&, const CButtonState&) override
	{
		events.push_back ("entered");
		return kMouseEventHandled;
	}
	CMouseEventResult onMouseExited (CPoint&, const CButtonState&) override
	{
		events.push_back ("exited");
		return kMouseEventHandled;
	}
	bool onWheel (const CPoint& p, const CMouseWheelAxis&, const float&, const CButtonState&) override
	{
		events.push_back ("wheel");
		points.push_back (p);
		return wheelResult;
	}
	int32_t onKeyDown (VstKeyCode&) override
	{
		events.push_back ("key");
		return keyResult;
	}
	void draw (CDrawContext* ctx) override
	{
		++draws;
		ctx->setFillColor (kRedCColor);
		ctx->setDrawMode (kAliasing);
		ctx->drawRect (getViewSize (), kDrawFilled);
		setDirty (false);
	}
};
int ProbeView::alive = 0;

struct RecordingViewListener : IViewListener
{
	std::vector<std::string> events;
	CRect oldSize;
	void viewSizeChanged (CView*, const CRect& old) override
	{
		events.push_back ("size");
		oldSize = old;
	}
	void viewAttached (CView*) override { events.push_back ("attached"); }
	void viewRemoved (CView*) override { events.push_back ("removed"); }
	void viewLostFocus (CView*) override { events.push_back ("lostFocus"); }
	void viewTookFocus (CView*) override { events.push_back ("tookFocus"); }
	void viewWillDelete (CView* v) override
	{
		events.push_back ("willDelete");
		v->unregisterViewListener (this);
	}
};

struct FrameFixture : ::testing::Test
{
	CFrame* frame {nullptr};
	void SetUp () override
	{
		ProbeView::alive = 0;
		frame = new CFrame (CRect (0, 0, 200, 100), nullptr);
		ASSERT_TRUE (frame->open (nullptr, PlatformType::kOffscreen));
	}
	void TearDown () override
	{
		if (frame)
			frame->close ();
		EXPECT_EQ (ProbeView::alive, 0);
	}
	COffscreenPlatformFrame* offscreen () const
	{
		return dynamic_cast<COffscreenPlatformFrame*> (frame->getPlatformFrame ());
	}
};

} // anonymous

TEST_F (FrameFixture, HierarchyAndListeners)
{
	RecordingViewListener listener;
	auto container = new CViewContainer (CRect (10, 10, 110, 60));
	auto view = new ProbeView (CRect (5, 5, 25, 25));
	view->registerViewListener (&listener);
	EXPECT_TRUE (container->addView (view));
	EXPECT_FALSE (container->addView (view)); // already a child
	EXPECT_FALSE (view->isAttached ());
	EXPECT_EQ (view->getFrame (), nullptr);
	frame->addView (container);
	EXPECT_TRUE (view->isAttached ());
	EXPECT_EQ (view->getFrame (), frame);
	EXPECT_EQ (view->getParentView (), container);
	EXPECT_EQ (listener.events, std::vector<std::string> {"attached"});

	CPoint p (0, 0);
	view->localToFrame (p);
	EXPECT_EQ (p, CPoint (10, 10));
	view->frameToLocal (p);
	EXPECT_EQ (p, CPoint (0, 0));

	view->setViewSize (CRect (5, 5, 45, 25));
	EXPECT_EQ (listener.oldSize, CRect (5, 5, 25, 25));
	EXPECT_EQ (view->getMouseableArea (), CRect (5, 5, 45, 25)); // followed the size
	EXPECT_TRUE (frame->isChild (view, true));
	EXPECT_FALSE (frame->isChild (view, false));
	EXPECT_EQ (frame->getViewAt (CPoint (20, 20), GetViewOptions ().deep ()), view);
	EXPECT_EQ (frame->getViewAt (CPoint (100, 50), GetViewOptions ().deep ()), nullptr);
	EXPECT_EQ (frame->getViewAt (CPoint (100, 50), GetViewOptions ().deep ().includeViewContainer ()), container);

	container->removeView (view);
	EXPECT_EQ (listener.events,
	           (std::vector<std::string> {"attached", "size", "removed", "willDelete"}));
	EXPECT_EQ (ProbeView::alive, 0);
}

TEST_F (FrameFixture, MouseDispatchInLocalCoordinatesWithCapture)
{
	auto container = new CViewContainer (CRect (50, 20, 150, 80));
	auto view = new ProbeView (CRect (10, 10, 30, 30));
	container->addView (view);
	frame->addView (container);

	CPoint p (65, 35);
	EXPECT_EQ (frame->onMouseDown (p, CButtonState (kLButton)), kMouseEventHandled);
	ASSERT_EQ (view->points.size (), 1u);
	EXPECT_EQ (view->points[0], CPoint (15, 15)); // in the container's coordinates
	// Moves go to the pressed view even outside it, then the release ends the capture.
	CPoint outside (190, 95);
	frame->onMouseMoved (outside, CButtonState (kLButton));
	EXPECT_EQ (view->points.back (), CPoint (140, 75));
	frame->onMouseUp (outside, CButtonState (0));
	EXPECT_EQ (view->pressEvents (), (std::vector<std::string> {"down", "moved", "up"}));
	frame->onMouseMoved (outside, CButtonState (kLButton));
	EXPECT_EQ (view->pressEvents ().size (), 3u);

	// A view that wants no further events gets none.
	view->downResult = kMouseDownEventHandledButDontNeedMovedOrUpEvents;
	frame->onMouseDown (p, CButtonState (kLButton));
	frame->onMouseMoved (p, CButtonState (kLButton));
	frame->onMouseUp (p, CButtonState (0));
	EXPECT_EQ (view->pressEvents ().back (), "down");

	// Mouse-disabled or invisible views are skipped.
	view->events.clear ();
	view->setMouseEnabled (false);
	EXPECT_EQ (frame->onMouseDown (p, CButtonState (kLButton)), kMouseEventNotHandled);
	view->setMouseEnabled (true);
	view->setVisible (false);
	EXPECT_EQ (frame->onMouseDown (p, CButtonState (kLButton)), kMouseEventNotHandled);
	EXPECT_TRUE (view->pressEvents ().empty ());
}

TEST_F (FrameFixture, CancelAndRemovalDuringADrag)
{
	auto view = new ProbeView (CRect (0, 0, 50, 50));
	frame->addView (view);
	CPoint p (10, 10);
	frame->onMouseDown (p, CButtonState (kLButton));
	frame->onMouseCancel ();
	EXPECT_EQ (view->pressEvents ().back (), "cancel");
	frame->onMouseMoved (p, CButtonState (kLButton));
	EXPECT_EQ (view->pressEvents ().back (), "cancel");

	// Removing the pressed view cancels its press first and ends the capture safely.
	frame->onMouseDown (p, CButtonState (kLButton));
	view->remember ();
	frame->removeView (view);
	EXPECT_EQ (view->pressEvents (), (std::vector<std::string> {"down", "cancel", "down", "cancel"}));
	EXPECT_EQ (frame->onMouseMoved (p, CButtonState (kLButton)), kMouseEventNotHandled);
	EXPECT_EQ (frame->onMouseUp (p, CButtonState (0)), kMouseEventNotHandled);
	EXPECT_EQ (view->pressEvents ().size (), 4u);
	view->forget ();
}

TEST_F (FrameFixture, LosingThePressedViewInAnyWayCancelsItsPressOnce)
{
	// The pressed view sits in a container inside the frame; each way of losing it.
	const std::vector<std::string> expected {"down", "cancel"};
	auto run = [&] (const char* name, const std::function<void (CViewContainer*, ProbeView*)>& lose) {
		auto container = new CViewContainer (CRect (0, 0, 100, 100));
		auto view = new ProbeView (CRect (10, 10, 50, 50));
		container->addView (view);
		frame->addView (container);
		view->remember ();
		CPoint p (20, 20);
		EXPECT_EQ (frame->onMouseDown (p, CButtonState (kLButton)), kMouseEventHandled) << name;
		lose (container, view);
		EXPECT_EQ (view->pressEvents (), expected) << name;
		CPoint q (30, 30);
		frame->onMouseMoved (q, CButtonState (kLButton));
		frame->onMouseUp (q, CButtonState (kLButton));
		EXPECT_EQ (view->pressEvents (), expected) << name;
		frame->removeAll ();
		EXPECT_EQ (view->pressEvents (), expected) << name;
		view->forget ();
	};
	run ("removed from its container", [] (CViewContainer* c, ProbeView* v) { c->removeView (v); });
	run ("container removed from the frame", [this] (CViewContainer* c, ProbeView*) { frame->removeView (c); });
	run ("all removed", [this] (CViewContainer*, ProbeView*) { frame->removeAll (); });
	run ("container emptied", [] (CViewContainer* c, ProbeView*) { c->removeAll (); });
	run ("frame closed", [this] (CViewContainer*, ProbeView*) {
		frame->close ();
		frame = new CFrame (CRect (0, 0, 200, 100), nullptr);
		frame->open (nullptr, PlatformType::kOffscreen);
	});
}

TEST_F (FrameFixture, TopMostViewWinsAndHoverIsTracked)
{
	auto below = new ProbeView (CRect (0, 0, 100, 100));
	auto above = new ProbeView (CRect (50, 0, 150, 100));
	frame->addView (below);
	frame->addView (above);
	CPoint p (75, 50);
	frame->onMouseDown (p, CButtonState (kLButton));
	frame->onMouseUp (p, CButtonState (0));
	EXPECT_EQ (above->events.front (), "down");
	EXPECT_TRUE (below->events.empty () || below->events.front () != "down");

	// A transparent view that does not take the press lets it through.
	above->downResult = kMouseEventNotHandled;
	above->setTransparency (true);
	below->events.clear ();
	frame->onMouseDown (p, CButtonState (kLButton));
	EXPECT_EQ (below->events.front (), "down");
	frame->onMouseUp (p, CButtonState (0));

	below->events.clear ();
	above->events.clear ();
	CPoint left (10, 10), right (140, 10), away (190, 10);
	frame->onMouseMoved (left, CButtonState (0));
	frame->onMouseMoved (right, CButtonState (0));
	frame->onMouseMoved (away, CButtonState (0));
	EXPECT_EQ (below->events, (std::vector<std::string> {"entered", "exited"}));
	// The last release left the pointer over the upper view.
	EXPECT_EQ (above->events, (std::vector<std::string> {"exited", "entered", "exited"}));
}

TEST_F (FrameFixture, WheelGoesToTheViewUnderThePointer)
{
	auto container = new CViewContainer (CRect (20, 20, 120, 80));
	auto view = new ProbeView (CRect (0, 0, 50, 50));
	container->addView (view);
	frame->addView (container);
	EXPECT_TRUE (frame->onWheel (CPoint (30, 30), kMouseWheelAxisY, 1.f, CButtonState (0)));
	EXPECT_EQ (view->points.back (), CPoint (10, 10));
	view->wheelResult = false;
	EXPECT_FALSE (frame->onWheel (CPoint (30, 30), kMouseWheelAxisY, 1.f, CButtonState (0)));
	EXPECT_FALSE (frame->onWheel (CPoint (190, 90), kMouseWheelAxisY, 1.f, CButtonState (0)));
}

TEST_F (FrameFixture, FocusAndKeys)
{
	RecordingViewListener la, lb;
	auto a = new ProbeView (CRect (0, 0, 50, 50));
	auto b = new ProbeView (CRect (60, 0, 110, 50));
	a->setWantsFocus (true);
	b->setWantsFocus (true);
	a->registerViewListener (&la);
	b->registerViewListener (&lb);
	frame->addView (a);
	frame->addView (b);

	VstKeyCode key {'x', 0, 0};
	EXPECT_EQ (frame->onKeyDown (key), -1); // no focus view
	CPoint p (10, 10);
	frame->onMouseDown (p, CButtonState (kLButton));
	frame->onMouseUp (p, CButtonState (0));
	EXPECT_EQ (frame->getFocusView (), a);
	a->keyResult = 1;
	EXPECT_EQ (frame->onKeyDown (key), 1);
	EXPECT_EQ (a->events.back (), "key");

	VstKeyCode tab {0, VKEY_TAB, 0};
	a->keyResult = -1;
	EXPECT_EQ (frame->onKeyDown (tab), 1);
	EXPECT_EQ (frame->getFocusView (), b);
	EXPECT_EQ (la.events.back (), "lostFocus");
	EXPECT_EQ (lb.events.back (), "tookFocus");
	VstKeyCode backTab {0, VKEY_TAB, MODIFIER_SHIFT};
	b->keyResult = -1;
	frame->onKeyDown (backTab);
	EXPECT_EQ (frame->getFocusView (), a);

	// Removing the focus view clears the focus.
	frame->removeView (a);
	EXPECT_EQ (frame->getFocusView (), nullptr);
	EXPECT_EQ (frame->onKeyDown (key), -1);
	// The listeners live on this stack: the views must go first.
	frame->close ();
	frame = nullptr;
	EXPECT_EQ (lb.events.back (), "willDelete");
}

TEST_F (FrameFixture, RendersInvalidRegionsIntoTheImage)
{
	auto container = new CViewContainer (CRect (10, 10, 110, 60));
	container->setBackgroundColor (kBlueCColor);
	container->setBackgroundColorDrawStyle (kDrawFilled);
	auto view = new ProbeView (CRect (20, 10, 40, 30));
	container->addView (view);
	frame->setBackgroundColor (kBlackCColor);
	frame->addView (container);
	ASSERT_TRUE (offscreen ()->render ());
	EXPECT_FALSE (offscreen ()->render ()); // nothing new to draw
	EXPECT_EQ (offscreen ()->getPixel (5, 5), kBlackCColor);
	EXPECT_EQ (offscreen ()->getPixel (15, 15), kBlueCColor);
	EXPECT_EQ (offscreen ()->getPixel (30, 20), kRedCColor); // child at (10+20, 10+10)
	EXPECT_EQ (offscreen ()->getPixel (49, 39), kRedCColor);
	EXPECT_EQ (offscreen ()->getPixel (50, 40), kBlueCColor);
	int drawsBefore = view->draws;

	// Invalidating one view redraws its area only.
	view->invalid ();
	EXPECT_TRUE (offscreen ()->hasDirtyRegion ());
	EXPECT_EQ (offscreen ()->getDirtyRect (), CRect (30, 20, 50, 40));
	offscreen ()->render ();
	EXPECT_EQ (view->draws, drawsBefore + 1);

	// A dirty (not invalidated) view is picked up by idle().
	view->setDirty (true);
	EXPECT_FALSE (offscreen ()->hasDirtyRegion ());
	frame->idle ();
	EXPECT_TRUE (offscreen ()->hasDirtyRegion ());

	// A child partly outside its container is clipped to it.
	auto wide = new ProbeView (CRect (80, 40, 200, 100));
	container->addView (wide);
	offscreen ()->render ();
	EXPECT_EQ (offscreen ()->getPixel (109, 59), kRedCColor);
	EXPECT_EQ (offscreen ()->getPixel (111, 55), kBlackCColor);
	EXPECT_EQ (offscreen ()->getPixel (100, 61), kBlackCColor);

	// Invisible and transparent-alpha views are not drawn.
	wide->setVisible (false);
	offscreen ()->render ();
	EXPECT_EQ (offscreen ()->getPixel (100, 55), kBlueCColor);
}

TEST_F (FrameFixture, ResizeAndPng)
{
	EXPECT_TRUE (frame->setSize (120, 40));
	EXPECT_EQ (frame->getViewSize (), CRect (0, 0, 120, 40));
	CRect pfSize;
	offscreen ()->getSize (pfSize);
	EXPECT_EQ (pfSize, CRect (0, 0, 120, 40));
	EXPECT_EQ (offscreen ()->getContext ()->getPixelWidth (), 120);
	frame->setBackgroundColor (kWhiteCColor);
	char dir[] = "/tmp/guiframeXXXXXX";
	ASSERT_TRUE (mkdtemp (dir));
	std::string file = std::string (dir) + "/frame.png";
	EXPECT_TRUE (offscreen ()->writePNG (file.c_str ()));
	EXPECT_EQ (offscreen ()->getPixel (60, 20), kWhiteCColor);
	std::remove (file.c_str ());
	rmdir (dir);
	EXPECT_FALSE (frame->setSize (-1, 10));
}

TEST (GuiFrame, OpenCloseAndPlatformFactories)
{
	auto frame = new CFrame (CRect (0, 0, 10, 10), nullptr);
	// No window layer is registered here: native parents cannot be opened.
	EXPECT_FALSE (frame->open (reinterpret_cast<void*> (0x1234), PlatformType::kX11EmbedWindowID));
	EXPECT_FALSE (frame->isOpen ());

	static int made = 0;
	setPlatformFrameFactory (PlatformType::kX11EmbedWindowID,
	                         [] (IPlatformFrameCallback* cb, const CRect& r, void*, PlatformType) -> IPlatformFrame* {
		                         ++made;
		                         return new COffscreenPlatformFrame (cb, r);
	                         });
	EXPECT_TRUE (frame->open (reinterpret_cast<void*> (0x1234))); // default native type is X11 on Linux
	EXPECT_EQ (made, 1);
	EXPECT_FALSE (frame->open (nullptr, PlatformType::kOffscreen)); // already open
	setPlatformFrameFactory (PlatformType::kX11EmbedWindowID, nullptr);
	EXPECT_EQ (getPlatformFrameFactory (PlatformType::kX11EmbedWindowID), nullptr);
	frame->close ();
}

TEST (GuiView, BackgroundsCopiesAndDefaults)
{
	auto bg = makeOwned<CBitmap> (10., 10.);
	auto disabled = makeOwned<CBitmap> (10., 10.);
	auto view = makeOwned<CView> (CRect (0, 0, 10, 10));
	EXPECT_TRUE (view->getMouseEnabled ());
	EXPECT_FALSE (view->wantsFocus ());
	EXPECT_FALSE (view->sizeToFit ());
	view->setBackground (bg);
	view->setDisabledBackground (disabled);
	EXPECT_EQ (bg->getNbReference (), 2);
	EXPECT_EQ (view->getDrawBackground (), bg.get ());
	view->setMouseEnabled (false);
	EXPECT_EQ (view->getDrawBackground (), disabled.get ());
	auto copy = owned (dynamic_cast<CView*> (view->newCopy ()));
	ASSERT_TRUE (copy);
	EXPECT_EQ (copy->getBackground (), bg.get ());
	EXPECT_EQ (bg->getNbReference (), 3);
	copy = nullptr;
	EXPECT_EQ (bg->getNbReference (), 2);
	RecordingContext rec;
	view->draw (&rec);
	EXPECT_EQ (rec.count ("drawBitmap"), 1u);

	CPoint p;
	EXPECT_EQ (view->onMouseDown (p, CButtonState (kLButton)), kMouseEventNotImplemented);
	VstKeyCode key {};
	EXPECT_EQ (view->onKeyDown (key), -1);
}

TEST (GuiView, ContainerCopyCopiesChildren)
{
	auto container = makeOwned<CViewContainer> (CRect (0, 0, 100, 100));
	container->addView (new COnOffButton (CRect (0, 0, 10, 10)));
	container->addView (new CView (CRect (10, 0, 20, 10)));
	auto copy = owned (dynamic_cast<CViewContainer*> (container->newCopy ()));
	ASSERT_TRUE (copy);
	ASSERT_EQ (copy->getNbViews (), 2u);
	EXPECT_NE (copy->getView (0), container->getView (0));
	EXPECT_NE (dynamic_cast<COnOffButton*> (copy->getView (0)), nullptr);
	std::vector<COnOffButton*> buttons;
	EXPECT_EQ (copy->getChildViewsOfType<COnOffButton> (buttons), 1u);
	EXPECT_TRUE (copy->changeViewZOrder (copy->getView (1), 0));
	EXPECT_EQ (dynamic_cast<COnOffButton*> (copy->getView (1)), buttons[0]);
}

namespace {
/** A controller that listens to a button below it and unregisters in its destructor. */
struct ButtonWatcher : IController
{
	COnOffButton* button;
	bool* destroyedWhileButtonAlive;
	ButtonWatcher (COnOffButton* b, bool* flag) : button (b), destroyedWhileButtonAlive (flag)
	{
		button->registerControlListener (this);
	}
	~ButtonWatcher () noexcept override
	{
		// Touching the button here must be safe: it still exists.
		*destroyedWhileButtonAlive = button->getNbReference () > 0;
		button->unregisterControlListener (this);
	}
	void valueChanged (CControl*) override {}
};
} // anonymous

TEST (GuiView, OwnedControllerGoesBeforeTheChildren)
{
	bool safe = false;
	auto container = new CViewContainer (CRect (0, 0, 100, 100));
	auto button = new COnOffButton (CRect (0, 0, 10, 10));
	container->addView (button);
	auto watcher = new ButtonWatcher (button, &safe);
	button->setListener (watcher);
	container->setViewController (watcher);
	EXPECT_EQ (getViewController (button, true), watcher);
	EXPECT_EQ (getViewController (button, false), nullptr);
	container->forget ();
	EXPECT_TRUE (safe);
}

TEST (GuiView, ControllerThatForgetsToUnregisterLeavesNoDanglingPointers)
{
	struct Careless : IController, ViewListenerAdapter
	{
		void valueChanged (CControl*) override {}
	};
	auto container = new CViewContainer (CRect (0, 0, 100, 100));
	auto button = new COnOffButton (CRect (0, 0, 10, 10));
	container->addView (button);
	auto careless = new Careless;
	button->setListener (careless);
	button->registerControlListener (careless);
	button->registerViewListener (careless);
	container->setViewController (careless);
	SharedPointer<COnOffButton> keep (button);
	container->forget (); // deletes the controller, then releases the button
	EXPECT_EQ (button->getListener (), nullptr);
	button->valueChanged ();  // would reach the deleted controller otherwise
	keep = nullptr;          // viewWillDelete goes to no one
}
