// The built bundle's editor in a real X11 window, driven as a Linux host drives it: the
// host's window XID to attached("X11EmbedWindowID"), the host's run loop offered by its
// IPlugFrame (or by its host context), and real pointer and key input through XTest.
#include "x11testsupport.h"

#include "hostlib/hostapplication.h"
#include "hostlib/hostobject.h"
#include "hostlib/module.h"
#include "hostlib/plugininstance.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "pluginterfaces/gui/iplugviewoffscreen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using x11test::Image;
using x11test::PollLoop;
using x11test::TopWindow;

namespace {

//------------------------------------------------------------------------
// The host's run loop over the test's poll loop. It holds a reference to every handler
// while it is registered.
class HostRunLoop : public vsthost::HostObject<Linux::IRunLoop>
{
public:
	explicit HostRunLoop (PollLoop& loop) : loop (loop) {}

	tresult PLUGIN_API registerEventHandler (Linux::IEventHandler* handler, Linux::FileDescriptor fd) override
	{
		if (!handler || fd < 0 || events.count (handler))
			return kInvalidArgument;
		IPtr<Linux::IEventHandler> keep (handler);
		int id = loop.addFd (fd, [keep, fd] () { keep->onFDIsSet (fd); });
		events[handler] = {id, keep};
		return kResultTrue;
	}
	tresult PLUGIN_API unregisterEventHandler (Linux::IEventHandler* handler) override
	{
		auto it = events.find (handler);
		if (it == events.end ())
			return kInvalidArgument;
		loop.removeFd (it->second.first);
		events.erase (it);
		return kResultTrue;
	}
	tresult PLUGIN_API registerTimer (Linux::ITimerHandler* handler, Linux::TimerInterval ms) override
	{
		if (!handler || timers.count (handler))
			return kInvalidArgument;
		IPtr<Linux::ITimerHandler> keep (handler);
		int id = loop.addTimer (ms, [keep] () { keep->onTimer (); });
		timers[handler] = {id, keep};
		intervals.push_back (ms);
		return kResultTrue;
	}
	tresult PLUGIN_API unregisterTimer (Linux::ITimerHandler* handler) override
	{
		auto it = timers.find (handler);
		if (it == timers.end ())
			return kInvalidArgument;
		loop.removeTimer (it->second.first);
		timers.erase (it);
		return kResultTrue;
	}

	size_t eventHandlers () const { return events.size (); }
	size_t timerHandlers () const { return timers.size (); }
	std::vector<Linux::TimerInterval> intervals; // of every timer registered

private:
	PollLoop& loop;
	std::map<Linux::IEventHandler*, std::pair<int, IPtr<Linux::IEventHandler>>> events;
	std::map<Linux::ITimerHandler*, std::pair<int, IPtr<Linux::ITimerHandler>>> timers;
};

// The host's frame: resizes the host's window and tells the view, and offers the run
// loop when it has one.
class HostFrame : public vsthost::HostObject<IPlugFrame>
{
public:
	explicit HostFrame (HostRunLoop* loop, TopWindow* window) : loop (loop), window (window) {}

	tresult PLUGIN_API resizeView (IPlugView* view, ViewRect* newSize) override
	{
		if (!view || !newSize)
			return kInvalidArgument;
		resizes.push_back (*newSize);
		window->resize (newSize->getWidth (), newSize->getHeight ());
		ViewRect r = *newSize;
		return view->onSize (&r);
	}

	std::vector<ViewRect> resizes;

protected:
	bool queryExtraInterface (const TUID iid, void** obj) override
	{
		if (!loop || !FUnknownPrivate::iidEqual (iid, Linux::IRunLoop::iid))
			return false;
		loop->addRef ();
		*obj = static_cast<Linux::IRunLoop*> (loop.get ());
		return true;
	}

private:
	IPtr<HostRunLoop> loop;
	TopWindow* window;
};

std::string bundlePath ()
{
	return PALVIS_BUNDLE_DIR;
}

// The description's first band slider ("25Hz", parameter 2): 28 x 236 at (66, 104); its
// handle is centred on the value's place, 0 dB (0.5) at y = 222.
constexpr int kBandX = 80;
constexpr int kBandY = 222;
constexpr ParamID kBand = 2;
constexpr ParamID kSecondBand = 3; // the slider 40 px to the right

//------------------------------------------------------------------------
class X11Editor : public ::testing::Test
{
protected:
	void SetUp () override
	{
		if (!x11test::displayAvailable ())
			GTEST_SKIP () << "no X display";
		std::string error;
		module = vsthost::Module::load (bundlePath (), error);
		ASSERT_TRUE (module) << error;
		instance = vsthost::PluginInstance::createFirstAudioEffect (*module, error);
		ASSERT_TRUE (instance) << error;
		ASSERT_TRUE (instance->start (48000., 480, kSample32, error)) << error;
		hostObjectsBefore = vsthost::liveHostObjects ();
		loop = owned (new HostRunLoop (poll));
	}

	void TearDown () override
	{
		closeEditor ();
		loop = nullptr;
		top.reset ();
		instance.reset ();
		module.reset ();
	}

	/** Creates the editor view and a host window of its size. */
	bool createView ()
	{
		view = owned (instance->getController ()->createView (ViewType::kEditor));
		if (!view || view->getSize (&rect) != kResultTrue)
			return false;
		if (!top)
			top = std::make_unique<TopWindow> (rect.getWidth (), rect.getHeight ());
		return top->ok () && top->hasXTest ();
	}

	/** The host's call order: createView, getSize, setFrame, attached. */
	tresult openEditor (bool offerRunLoop = true)
	{
		if (!view && !createView ())
			return kInternalError;
		frame = owned (new HostFrame (offerRunLoop ? loop.get () : nullptr, top.get ()));
		view->setFrame (frame);
		tresult result = view->attached (reinterpret_cast<void*> (top->getWindow ()), kPlatformTypeX11EmbedWindowID);
		if (result == kResultTrue)
			pump (200);
		return result;
	}

	/** The host's closing order: setFrame(nullptr), removed, release. */
	void closeEditor ()
	{
		if (!view)
			return;
		view->setFrame (nullptr);
		view->removed ();
		view = nullptr;
		frame = nullptr;
	}

	void pump (int ms) { poll.runFor (ms); }
	void settle (int ms = 80)
	{
		top->sync ();
		pump (ms);
	}

	/** Edits the component handler saw since the last call: "begin 2", "perform 2 0.5", "end 2". */
	std::vector<std::string> takeEdits ()
	{
		std::vector<std::string> out;
		auto& handler = instance->getComponentHandler ();
		for (auto& e : handler.getEvents ())
		{
			char text[64];
			switch (e.type)
			{
				case vsthost::ComponentHandler::EventType::BeginEdit: std::snprintf (text, sizeof (text), "begin %u", e.id); break;
				case vsthost::ComponentHandler::EventType::PerformEdit:
					std::snprintf (text, sizeof (text), "perform %u %.4f", e.id, e.value);
					break;
				case vsthost::ComponentHandler::EventType::EndEdit: std::snprintf (text, sizeof (text), "end %u", e.id); break;
				default: std::snprintf (text, sizeof (text), "%s", vsthost::eventTypeName (e.type)); break;
			}
			out.push_back (text);
		}
		handler.clearEvents ();
		return out;
	}
	static size_t count (const std::vector<std::string>& edits, const std::string& prefix)
	{
		size_t n = 0;
		for (auto& e : edits)
			n += e.compare (0, prefix.size (), prefix) == 0;
		return n;
	}
	double value (ParamID id) const { return instance->getController ()->getParamNormalized (id); }

	/** The editor drawn offscreen by a view of its own, through the plug-in's offscreen extension. */
	Image offscreenImage (float scale = 1.f)
	{
		Image image;
		IPtr<IPlugView> other = owned (instance->getController ()->createView (ViewType::kEditor));
		if (!other)
			return image;
		if (scale != 1.f)
		{
			IPlugViewContentScaleSupport* scaling = nullptr;
			if (other->queryInterface (IPlugViewContentScaleSupport::iid, reinterpret_cast<void**> (&scaling)) != kResultOk)
				return image;
			scaling->setContentScaleFactor (scale);
			scaling->release ();
		}
		IPlugViewOffscreen* offscreen = nullptr;
		if (other->queryInterface (IPlugViewOffscreen::iid, reinterpret_cast<void**> (&offscreen)) != kResultOk)
			return image;
		ViewRect r;
		other->getSize (&r);
		if (offscreen->openOffscreen () == kResultTrue)
		{
			image.width = r.getWidth ();
			image.height = r.getHeight ();
			image.rgba.resize (static_cast<size_t> (image.width) * image.height * 4);
			if (offscreen->renderRGBA (image.rgba.data (), image.width, image.height, image.width * 4) != kResultTrue)
				image.rgba.clear ();
		}
		other->removed ();
		offscreen->release ();
		return image;
	}

	PollLoop poll;
	IPtr<HostRunLoop> loop;
	std::unique_ptr<vsthost::Module> module;
	std::unique_ptr<vsthost::PluginInstance> instance;
	std::unique_ptr<TopWindow> top;
	IPtr<IPlugView> view;
	IPtr<HostFrame> frame;
	ViewRect rect;
	int32 hostObjectsBefore {0};
};

//------------------------------------------------------------------------
TEST_F (X11Editor, TheWindowShowsWhatTheOffscreenSnapshotShows)
{
	instance->setParameter (kBand, 0.8);
	instance->setParameter (1, 0.3); // the level knob
	ASSERT_EQ (openEditor (), kResultTrue);
	EXPECT_EQ (rect.getWidth (), 860);
	EXPECT_EQ (rect.getHeight (), 450);
	// one child window, an XEmbed client of the host's window, on screen
	auto children = top->children ();
	ASSERT_EQ (children.size (), 1u);
	EXPECT_TRUE (top->isViewable (children[0]));
	long version = -1, flags = -1;
	EXPECT_TRUE (top->xembedInfo (children[0], version, flags));
	EXPECT_EQ (flags & 1, 1);
	// the editor said its size once, as it opened
	ASSERT_EQ (frame->resizes.size (), 1u);
	EXPECT_EQ (frame->resizes[0].getWidth (), 860);
	// the connection and the timers are on the host's loop
	EXPECT_EQ (loop->eventHandlers (), 1u);
	EXPECT_GE (loop->timerHandlers (), 1u);

	Image window = top->capture ();
	ASSERT_EQ (window.width, 860);
	ASSERT_EQ (window.height, 450);
	EXPECT_GT (window.colourCount (), 100u); // a drawn editor, not one colour
	Image snapshot = offscreenImage ();
	ASSERT_EQ (snapshot.width, 860);
	int difference = x11test::maxChannelDifference (window, snapshot);
	std::printf ("window vs offscreen: max channel difference %d, %zu pixels differ\n", difference,
	             x11test::differingPixels (window, snapshot));
	EXPECT_EQ (difference, 0);
}

TEST_F (X11Editor, ADragOnASliderIsOneEditThatReachesTheProcessor)
{
	ASSERT_EQ (openEditor (), kResultTrue);
	takeEdits ();
	top->moveTo (kBandX, kBandY);
	settle ();
	top->press (1);
	settle ();
	top->moveTo (kBandX, kBandY - 30);
	settle ();
	top->moveTo (kBandX, kBandY - 60);
	settle ();
	top->release (1);
	settle ();
	auto edits = takeEdits ();
	ASSERT_GE (edits.size (), 3u);
	EXPECT_EQ (edits.front (), "begin 2");
	EXPECT_EQ (edits.back (), "end 2");
	EXPECT_EQ (count (edits, "begin"), 1u);
	EXPECT_EQ (count (edits, "end"), 1u);
	EXPECT_GE (count (edits, "perform 2"), 2u);
	double after = value (kBand);
	EXPECT_GT (after, 0.6);
	EXPECT_LT (after, 0.9);
	// the processor gets the edit with the next block
	ASSERT_EQ (instance->flushParameters (), kResultOk);
	ParamValue sent = -1;
	EXPECT_TRUE (instance->getLastBlockChanges ().getLastValue (kBand, sent));
	EXPECT_DOUBLE_EQ (sent, after);
	// the window shows the new place of the handle: the same as the offscreen image now
	settle ();
	EXPECT_EQ (x11test::maxChannelDifference (top->capture (), offscreenImage ()), 0);
}

TEST_F (X11Editor, AnOptionClickResetsTheBandToItsDefault)
{
	instance->setParameter (kBand, 0.8);
	ASSERT_EQ (openEditor (), kResultTrue);
	// the handle of 0.8 sits higher; a press beside it with Alt (Option) alone resets
	top->moveTo (kBandX, kBandY + 60);
	settle ();
	takeEdits ();
	top->keyDown ("Alt_L");
	top->click (1);
	top->keyUp ("Alt_L");
	settle ();
	EXPECT_EQ (takeEdits (), (std::vector<std::string> {"begin 2", "perform 2 0.5000", "end 2"}));
	EXPECT_DOUBLE_EQ (value (kBand), 0.5);
	// with Shift as well it is no reset but a fine drag, which moves the value only a little
	instance->setParameter (kBand, 0.8);
	settle ();
	takeEdits ();
	top->keyDown ("Alt_L");
	top->keyDown ("Shift_L");
	top->click (1);
	top->keyUp ("Shift_L");
	top->keyUp ("Alt_L");
	settle ();
	auto edits = takeEdits ();
	EXPECT_EQ (std::count (edits.begin (), edits.end (), "perform 2 0.5000"), 0);
	EXPECT_NEAR (value (kBand), 0.8, 0.01);
}

TEST_F (X11Editor, TheWheelEditEndsHalfASecondLaterOnTheHostsRunLoop)
{
	ASSERT_EQ (openEditor (), kResultTrue);
	top->moveTo (kBandX, kBandY + 50);
	settle ();
	takeEdits ();
	top->click (4); // wheel up
	top->click (4);
	top->sync ();
	auto start = PollLoop::Clock::now ();
	std::vector<std::string> edits;
	bool performed = poll.runUntil (
	    [&] () {
		    auto e = takeEdits ();
		    edits.insert (edits.end (), e.begin (), e.end ());
		    return count (edits, "perform") >= 2;
	    },
	    1000);
	ASSERT_TRUE (performed);
	auto performedAt = PollLoop::Clock::now ();
	EXPECT_EQ (edits.front (), "begin 2");
	EXPECT_EQ (count (edits, "end"), 0u);
	EXPECT_NEAR (value (kBand), 0.7, 1e-6); // two steps of the wheel increment 0.1
	bool ended = poll.runUntil (
	    [&] () {
		    auto e = takeEdits ();
		    edits.insert (edits.end (), e.begin (), e.end ());
		    return count (edits, "end") > 0;
	    },
	    2000);
	ASSERT_TRUE (ended);
	auto endedAt = PollLoop::Clock::now ();
	EXPECT_EQ (edits.back (), "end 2");
	auto ms = [] (auto d) { return std::chrono::duration_cast<std::chrono::milliseconds> (d).count (); };
	std::printf ("wheel edit: end %lld ms after the wheel, %lld ms after the last value\n",
	             static_cast<long long> (ms (endedAt - start)), static_cast<long long> (ms (endedAt - performedAt)));
	EXPECT_GE (ms (endedAt - start), 450);
	EXPECT_LE (ms (endedAt - start), 1500); // generous: the machine may be busy
	// wheel down on the next band lowers it
	top->moveTo (kBandX + 40, kBandY + 50);
	top->click (5);
	settle (700);
	EXPECT_NEAR (value (kSecondBand), 0.4, 1e-6);
	auto e = takeEdits ();
	EXPECT_EQ (e.front (), "begin 3");
	EXPECT_EQ (e.back (), "end 3");
}

TEST_F (X11Editor, ArrowKeysMoveTheFocusedSlider)
{
	ASSERT_EQ (openEditor (), kResultTrue);
	// a click on the handle focuses the slider and gives the window the keyboard
	top->moveTo (kBandX, kBandY);
	settle ();
	top->click (1);
	settle ();
	takeEdits ();
	double start = value (kBand);
	top->tapKey ("Up");
	settle ();
	auto edits = takeEdits ();
	ASSERT_EQ (edits.size (), 3u);
	EXPECT_EQ (edits[0], "begin 2");
	EXPECT_EQ (edits[2], "end 2");
	EXPECT_NEAR (value (kBand), start + 0.1, 1e-6);
	top->tapKey ("Down");
	top->tapKey ("Down");
	settle ();
	EXPECT_NEAR (value (kBand), start - 0.1, 1e-6);
	// Shift: a tenth of the step
	top->keyDown ("Shift_L");
	top->tapKey ("Up");
	top->keyUp ("Shift_L");
	settle ();
	EXPECT_NEAR (value (kBand), start - 0.09, 1e-6);
	EXPECT_EQ (count (takeEdits (), "begin"), 3u);
}

TEST_F (X11Editor, EscapeDuringADragRestoresTheValue)
{
	ASSERT_EQ (openEditor (), kResultTrue);
	top->moveTo (kBandX, kBandY);
	settle ();
	takeEdits ();
	double start = value (kBand);
	top->press (1);
	top->moveTo (kBandX, kBandY - 70);
	settle ();
	EXPECT_GT (value (kBand), start + 0.1);
	top->tapKey ("Escape");
	settle ();
	EXPECT_DOUBLE_EQ (value (kBand), start);
	auto edits = takeEdits ();
	ASSERT_FALSE (edits.empty ());
	EXPECT_EQ (edits.back (), "end 2");
	// the rest of the drag does nothing
	top->moveTo (kBandX, kBandY - 100);
	top->release (1);
	settle ();
	EXPECT_TRUE (takeEdits ().empty ());
	EXPECT_DOUBLE_EQ (value (kBand), start);
}

TEST_F (X11Editor, ASecondButtonDuringADragStillEndsTheEdit)
{
	ASSERT_EQ (openEditor (), kResultTrue);
	top->moveTo (kBandX, kBandY);
	settle ();
	takeEdits ();
	top->press (1);
	top->moveTo (kBandX, kBandY - 20);
	settle ();
	top->press (3);
	top->moveTo (kBandX, kBandY - 40);
	settle ();
	double held = value (kBand); // the slider ignores moves with two buttons down
	top->moveTo (kBandX, kBandY - 45);
	top->release (3);
	top->moveTo (kBandX, kBandY - 60);
	settle ();
	EXPECT_GT (value (kBand), held); // and follows again with the left one alone
	top->release (1);
	settle ();
	auto edits = takeEdits ();
	EXPECT_EQ (count (edits, "begin"), 1u);
	EXPECT_EQ (count (edits, "end"), 1u);
	ASSERT_FALSE (edits.empty ());
	EXPECT_EQ (edits.back (), "end 2");
}

TEST_F (X11Editor, OpeningAndClosingTwentyTimesLeavesNothingBehind)
{
	ASSERT_EQ (openEditor (), kResultTrue);
	closeEditor ();
	int descriptors = x11test::openFileDescriptors ();
	for (int i = 0; i < 20; ++i)
	{
		ASSERT_EQ (openEditor (), kResultTrue) << i;
		top->moveTo (kBandX + 40 * (i % 15), kBandY);
		top->click (4); // a wheel edit whose timer is still pending when the editor closes
		settle (30);
		closeEditor ();
		EXPECT_EQ (loop->eventHandlers (), 0u) << i;
		EXPECT_EQ (loop->timerHandlers (), 0u) << i;
		EXPECT_EQ (poll.fdCount (), 0u) << i;
		EXPECT_EQ (poll.timerCount (), 0u) << i;
		EXPECT_TRUE (top->children ().empty ()) << i;
		// every edit the closing editor left open was ended
		auto edits = takeEdits ();
		EXPECT_EQ (count (edits, "begin"), count (edits, "end")) << i;
	}
	EXPECT_EQ (x11test::openFileDescriptors (), descriptors);
	EXPECT_EQ (vsthost::liveHostObjects (), hostObjectsBefore + 1); // the loop of this test
	pump (100); // nothing of the closed editors is called any more
}

TEST_F (X11Editor, WithoutARunLoopTheWindowIsRefused)
{
	ASSERT_TRUE (createView ());
	x11test::StderrCapture errors;
	EXPECT_EQ (openEditor (false), kResultFalse);
	std::string text = errors.text ();
	EXPECT_NE (text.find ("run loop"), std::string::npos) << text;
	EXPECT_TRUE (top->children ().empty ());
	EXPECT_EQ (poll.fdCount (), 0u);
	EXPECT_EQ (poll.timerCount (), 0u);
	EXPECT_EQ (view->removed (), kResultFalse);
	view->setFrame (nullptr);

	// The run loop given with the host context (IPluginFactory3::setHostContext) serves as well.
	auto context = vsthost::HostApplication::create ("x11 test");
	context->addExtension (Linux::IRunLoop::iid, loop->unknown ());
	auto factory = module->getFactory3 ();
	ASSERT_TRUE (factory);
	ASSERT_EQ (factory->setHostContext (context->unknown ()), kResultTrue);
	EXPECT_EQ (openEditor (false), kResultTrue);
	EXPECT_EQ (top->children ().size (), 1u);
	EXPECT_EQ (loop->eventHandlers (), 1u);
	closeEditor ();
	EXPECT_EQ (loop->eventHandlers (), 0u);
	EXPECT_EQ (loop->timerHandlers (), 0u);
	factory->setHostContext (nullptr);
	context->removeExtensions ();
}

TEST_F (X11Editor, AParentThatIsNoWindowIsRefused)
{
	ASSERT_TRUE (createView ());
	frame = owned (new HostFrame (loop.get (), top.get ()));
	view->setFrame (frame);
	x11test::StderrCapture errors;
	EXPECT_EQ (view->attached (reinterpret_cast<void*> (0x7fffff01ul), kPlatformTypeX11EmbedWindowID), kResultFalse);
	EXPECT_NE (errors.text ().find ("0x7fffff01"), std::string::npos);
	EXPECT_EQ (poll.fdCount (), 0u);
	EXPECT_EQ (poll.timerCount (), 0u);
	// the same view opens in a real window afterwards
	EXPECT_EQ (view->attached (reinterpret_cast<void*> (top->getWindow ()), kPlatformTypeX11EmbedWindowID), kResultTrue);
}

TEST_F (X11Editor, SizeQuestionsAndTheContentScale)
{
	ASSERT_TRUE (createView ());
	EXPECT_EQ (view->canResize (), kResultFalse);
	ViewRect wish (0, 0, 400, 900);
	EXPECT_EQ (view->checkSizeConstraint (&wish), kResultTrue);
	EXPECT_EQ (wish.getWidth (), 860);
	EXPECT_EQ (wish.getHeight (), 450);
	IPlugViewContentScaleSupport* scaling = nullptr;
	ASSERT_EQ (view->queryInterface (IPlugViewContentScaleSupport::iid, reinterpret_cast<void**> (&scaling)), kResultOk);
	IPtr<IPlugViewContentScaleSupport> scale = owned (scaling);

	// Twice the pixels before the window opens.
	ASSERT_EQ (scale->setContentScaleFactor (2.f), kResultTrue);
	ASSERT_EQ (view->getSize (&rect), kResultTrue);
	EXPECT_EQ (rect.getWidth (), 1720);
	EXPECT_EQ (rect.getHeight (), 900);
	top->resize (1720, 900);
	ASSERT_EQ (openEditor (), kResultTrue);
	auto children = top->children ();
	ASSERT_EQ (children.size (), 1u);
	int w = 0, h = 0;
	ASSERT_TRUE (top->windowSize (children[0], w, h));
	EXPECT_EQ (w, 1720);
	EXPECT_EQ (h, 900);
	Image window = top->capture ();
	Image snapshot = offscreenImage (2.f);
	int difference = x11test::maxChannelDifference (window, snapshot);
	std::printf ("window vs offscreen at scale 2: max channel difference %d\n", difference);
	EXPECT_EQ (difference, 0);
	// the press lands where the pixels show the slider
	top->moveTo (2 * kBandX, 2 * kBandY + 100);
	settle ();
	takeEdits ();
	top->click (1);
	settle ();
	EXPECT_FALSE (takeEdits ().empty ());
	EXPECT_LT (value (kBand), 0.5);

	// Back to one while open (another screen): the editor asks the host for its new size.
	frame->resizes.clear ();
	ASSERT_EQ (scale->setContentScaleFactor (1.f), kResultTrue);
	ASSERT_EQ (frame->resizes.size (), 1u);
	EXPECT_EQ (frame->resizes[0].getWidth (), 860);
	EXPECT_EQ (frame->resizes[0].getHeight (), 450);
	settle ();
	ASSERT_TRUE (top->windowSize (children[0], w, h));
	EXPECT_EQ (w, 860);
	EXPECT_EQ (h, 450);
	EXPECT_EQ (x11test::maxChannelDifference (top->capture (), offscreenImage ()), 0);
	EXPECT_EQ (scale->setContentScaleFactor (0.f), kInvalidArgument);
	// the host's onSize with the size the editor has changes nothing
	ViewRect same (0, 0, 860, 450);
	EXPECT_EQ (view->onSize (&same), kResultTrue);
	ASSERT_EQ (view->getSize (&rect), kResultTrue);
	EXPECT_EQ (rect.getWidth (), 860);
	EXPECT_EQ (view->onFocus (true), kResultTrue);
	EXPECT_EQ (view->onFocus (false), kResultTrue);
}

} // namespace
