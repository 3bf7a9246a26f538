// The GUI library's VST3 editor over a test controller: the description, the binding of
// controls and parameters, the delegate, the host's run loop, the platform questions and
// the offscreen extension.
#include "public.sdk/source/vst/vsteditcontroller.h"
#include "public.sdk/source/vst/vstparameters.h"
#include "pluginterfaces/gui/iplugviewoffscreen.h"
#include "vstgui/lib/cframe.h"
#include "vstgui/lib/controls/cbuttons.h"
#include "vstgui/lib/controls/cknob.h"
#include "vstgui/lib/controls/cparamdisplay.h"
#include "vstgui/lib/cresourcedescription.h"
#include "vstgui/lib/cvstguitimer.h"
#include "vstgui/lib/platform/irunloop.h"
#include "vstgui/lib/platform/offscreenframe.h"
#include "vstgui/plugin-bindings/vst3editor.h"
#include "stderrcapture.h"
#include "tempdir.h"
#include "componenthandler.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using VSTGUI::VST3Editor;

namespace {

const char* const kDescription = R"(<?xml version="1.0" encoding="UTF-8"?>
<vstgui-ui-description version="1">
  <control-tags>
    <control-tag name="Toggle" tag="0"/><control-tag name="Gain" tag="1"/><control-tag name="Stranger" tag="99"/>
  </control-tags>
  <template name="view" class="CViewContainer" size="300, 200" background-color="#202020ff" background-color-draw-style="filled">
    <view class="COnOffButton" origin="10, 10" size="30, 30" control-tag="Toggle"/>
    <view class="CKnob" origin="60, 10" size="60, 60" control-tag="Gain"/>
    <view class="CParamDisplay" origin="60, 80" size="60, 20" control-tag="Gain" back-color="#000000ff" font-color="#ffffffff"/>
    <view class="CKnob" origin="130, 10" size="60, 60" control-tag="Stranger"/>
    <view class="CView" origin="200, 10" size="20, 20" custom-view-name="Custom"/>
    <view class="CViewContainer" origin="0, 120" size="300, 80" sub-controller="Sub" transparent="true">
      <view class="CKnob" origin="10, 10" size="40, 40" control-tag="Gain"/>
    </view>
  </template>
  <template name="nosize" class="CViewContainer"/>
  <template name="unbuildable" class="CNoSuchClass" size="10, 10"/>
</vstgui-ui-description>
)";

// A folder of description files for one test.
struct ResourceFolder
{
	ResourceFolder ()
	{
		VSTGUI::setResourceDirectory (folder.path ());
		write ("editor.uidesc", kDescription);
	}
	~ResourceFolder () { VSTGUI::setResourceDirectory ({}); }
	void write (const std::string& name, const std::string& text) { folder.write (name, text); }
	PalvisTest::TempDir folder;
};

// What the host's component handler is told.
class Handler : public PalvisTest::ComponentHandlerBase
{
public:
	tresult PLUGIN_API beginEdit (ParamID id) override
	{
		log.push_back ("begin " + std::to_string (id));
		return kResultOk;
	}
	tresult PLUGIN_API performEdit (ParamID id, ParamValue v) override
	{
		char text[64];
		std::snprintf (text, sizeof (text), "perform %u %.4f", id, v);
		log.push_back (text);
		return kResultOk;
	}
	tresult PLUGIN_API endEdit (ParamID id) override
	{
		log.push_back ("end " + std::to_string (id));
		return kResultOk;
	}
	std::vector<std::string> take ()
	{
		auto result = std::move (log);
		log.clear ();
		return result;
	}
	std::vector<std::string> log;
};

// A sub-controller that records what it sees.
struct SubController : VSTGUI::IController
{
	explicit SubController (int& alive) : alive (alive) { ++alive; }
	~SubController () override { --alive; }
	void valueChanged (VSTGUI::CControl*) override { ++changes; }
	int& alive;
	int changes {0};
};

class TestController : public EditController, public VSTGUI::VST3EditorDelegate
{
public:
	TestController (bool* destroyed = nullptr) : destroyed (destroyed)
	{
		parameters.addParameter (u"Toggle", nullptr, 1, 0., ParameterInfo::kCanAutomate, 0);
		parameters.addParameter (u"Gain", nullptr, 0, 0.25, ParameterInfo::kCanAutomate, 1);
	}
	~TestController () override
	{
		if (destroyed)
			*destroyed = true;
	}

	VSTGUI::CView* createCustomView (VSTGUI::UTF8StringPtr name, const VSTGUI::UIAttributes&,
	                                 const VSTGUI::IUIDescription*, VST3Editor* editor) override
	{
		calls.push_back (std::string ("createCustomView ") + name);
		return new VSTGUI::CView (VSTGUI::CRect (0, 0, 1, 1));
	}
	VSTGUI::CView* verifyView (VSTGUI::CView* view, const VSTGUI::UIAttributes&, const VSTGUI::IUIDescription*,
	                           VST3Editor* editor) override
	{
		++verified;
		lastEditor = editor;
		return view;
	}
	void didOpen (VST3Editor* editor) override { calls.push_back ("didOpen"); }
	void willClose (VST3Editor* editor) override { calls.push_back ("willClose"); }
	VSTGUI::IController* createSubController (VSTGUI::UTF8StringPtr name, const VSTGUI::IUIDescription*,
	                                          VST3Editor* editor) override
	{
		calls.push_back (std::string ("createSubController ") + name);
		lastEditor = editor;
		return new SubController (subAlive);
	}

	bool* destroyed;
	std::vector<std::string> calls;
	int verified {0};
	int subAlive {0};
	VST3Editor* lastEditor {nullptr};
};

struct EditorFixture : ::testing::Test
{
	void SetUp () override
	{
		controller = owned (new TestController);
		controller->setComponentHandler (&handler);
		EditController::getHostKnobMode (); // (process-wide; each test sets what it needs)
	}
	void TearDown () override
	{
		controller->setComponentHandler (nullptr);
		controller = nullptr;
	}
	IPtr<VST3Editor> makeEditor (const char* templateName = "view", const char* file = "editor.uidesc")
	{
		return owned (new VST3Editor (controller, templateName, file));
	}
	static IPtr<IPlugViewOffscreen> offscreenOf (VST3Editor* editor)
	{
		IPlugViewOffscreen* raw = nullptr;
		if (static_cast<IPlugView*> (editor)->queryInterface (IPlugViewOffscreen::iid,
		                                                      reinterpret_cast<void**> (&raw)) != kResultOk)
			return nullptr;
		return owned (raw);
	}
	template <class T>
	static std::vector<T*> viewsOf (VST3Editor* editor)
	{
		std::vector<T*> result;
		editor->getFrame ()->getChildViewsOfType<T> (result, true);
		return result;
	}

	ResourceFolder resources;
	Handler handler;
	IPtr<TestController> controller;
};

using VST3EditorDescription = EditorFixture;
using VST3EditorBinding = EditorFixture;
using VST3EditorDelegateCalls = EditorFixture;
using VST3EditorPlatform = EditorFixture;
using VST3EditorOffscreen = EditorFixture;

using PalvisTest::StderrCapture;

} // namespace

//------------------------------------------------------------------------
TEST_F (VST3EditorDescription, SizeComesFromTheTemplate)
{
	auto editor = makeEditor ();
	ASSERT_TRUE (editor->isValid ());
	EXPECT_TRUE (editor->getLastError ().empty ());
	ViewRect rect;
	EXPECT_EQ (editor->getSize (&rect), kResultTrue);
	EXPECT_EQ (rect.left, 0);
	EXPECT_EQ (rect.top, 0);
	EXPECT_EQ (rect.getWidth (), 300);
	EXPECT_EQ (rect.getHeight (), 200);
	EXPECT_EQ (editor->getSize (nullptr), kInvalidArgument);
	EXPECT_EQ (editor->getDelegate (), static_cast<VSTGUI::VST3EditorDelegate*> (controller.get ()));
}

TEST_F (VST3EditorDescription, UnreadableDescriptionsGiveAnEditorThatNeverOpens)
{
	resources.write ("broken.uidesc", "<vstgui-ui-description version=\"1\"><template name=\"view\"");
	resources.write ("wrongroot.uidesc", "<html/>");
	struct Case
	{
		const char* file;
		const char* templateName;
		const char* messagePart;
	};
	for (const Case& c : {Case {"missing.uidesc", "view", "missing.uidesc"}, Case {"broken.uidesc", "view", "XML"},
	                      Case {"wrongroot.uidesc", "view", "root"}, Case {"editor.uidesc", "other", "other"},
	                      Case {"editor.uidesc", "nosize", "size"}})
	{
		StderrCapture capture;
		auto editor = makeEditor (c.templateName, c.file);
		std::string err = capture.text ();
		EXPECT_FALSE (editor->isValid ()) << c.file;
		EXPECT_NE (editor->getLastError ().find (c.messagePart), std::string::npos) << editor->getLastError ();
		EXPECT_NE (err.find (editor->getLastError ()), std::string::npos) << "stderr: " << err;
		auto offscreen = offscreenOf (editor);
		ASSERT_TRUE (offscreen);
		StderrCapture quiet;
		EXPECT_EQ (offscreen->openOffscreen (), kResultFalse);
		EXPECT_EQ (editor->attached (reinterpret_cast<void*> (0x1234), kPlatformTypeX11EmbedWindowID), kResultFalse);
		EXPECT_EQ (editor->removed (), kResultFalse);
	}
}

TEST_F (VST3EditorDescription, TemplateThatCannotBeBuiltFailsToOpenCleanly)
{
	auto editor = makeEditor ("unbuildable");
	ASSERT_TRUE (editor->isValid ());
	StderrCapture capture;
	EXPECT_EQ (offscreenOf (editor)->openOffscreen (), kResultFalse);
	EXPECT_NE (capture.text ().find ("unbuildable"), std::string::npos);
	EXPECT_EQ (editor->getFrame (), nullptr);
	EXPECT_FALSE (editor->isAttached ());
}

//------------------------------------------------------------------------
TEST_F (VST3EditorBinding, ControlsFollowTheirParameter)
{
	auto editor = makeEditor ();
	ASSERT_EQ (offscreenOf (editor)->openOffscreen (), kResultTrue);
	auto knobs = viewsOf<VSTGUI::CKnob> (editor);
	ASSERT_EQ (knobs.size (), 3u);
	VSTGUI::CKnob* gain = knobs[0];
	VSTGUI::CKnob* stranger = knobs[1];
	VSTGUI::CKnob* subKnob = knobs[2];
	auto displays = viewsOf<VSTGUI::CParamDisplay> (editor);
	ASSERT_EQ (displays.size (), 1u);

	EXPECT_FLOAT_EQ (gain->getValue (), 0.25f);       // the parameter's value at the start
	EXPECT_FLOAT_EQ (gain->getDefaultValue (), 0.25f); // and its default for the reset click
	EXPECT_EQ (editor->getBoundParameter (gain), controller->getParameterObject (1));
	EXPECT_EQ (editor->getBoundParameter (displays[0]), controller->getParameterObject (1));
	EXPECT_EQ (editor->getBoundParameter (stranger), nullptr); // tag 99 names no parameter
	EXPECT_EQ (editor->getBoundParameter (subKnob), nullptr);  // belongs to its sub-controller

	// host automation or a loaded state: every control bound to the parameter follows
	controller->setParamNormalized (1, 0.8);
	EXPECT_FLOAT_EQ (gain->getValue (), 0.8f);
	EXPECT_EQ (displays[0]->getValueString (displays[0]->getValue ()), "0.8000"); // the parameter's own text
	EXPECT_FLOAT_EQ (subKnob->getValue (), 0.f); // not bound: untouched
	EXPECT_TRUE (handler.take ().empty ());       // nothing goes back to the host
}

TEST_F (VST3EditorBinding, EditsGoToTheHostBracketedOnce)
{
	auto editor = makeEditor ();
	ASSERT_EQ (offscreenOf (editor)->openOffscreen (), kResultTrue);
	auto knobs = viewsOf<VSTGUI::CKnob> (editor);
	auto buttons = viewsOf<VSTGUI::COnOffButton> (editor);
	ASSERT_EQ (buttons.size (), 1u);
	auto displays = viewsOf<VSTGUI::CParamDisplay> (editor);

	buttons[0]->toggle ();
	EXPECT_EQ (handler.take (), (std::vector<std::string> {"begin 0", "perform 0 1.0000", "end 0"}));
	EXPECT_DOUBLE_EQ (controller->getParamNormalized (0), 1.);

	// an edit of several values is one bracket
	knobs[0]->beginEdit ();
	knobs[0]->setValue (0.5f);
	knobs[0]->valueChanged ();
	knobs[0]->setValue (0.6f);
	knobs[0]->valueChanged ();
	knobs[0]->endEdit ();
	EXPECT_EQ (handler.take (),
	           (std::vector<std::string> {"begin 1", "perform 1 0.5000", "perform 1 0.6000", "end 1"}));
	EXPECT_NEAR (controller->getParamNormalized (1), 0.6, 1e-6);
	EXPECT_FLOAT_EQ (displays[0]->getValue (), 0.6f); // the other control of the parameter follows

	// a value change outside an edit is bracketed by the editor
	knobs[0]->setValue (0.1f);
	knobs[0]->valueChanged ();
	EXPECT_EQ (handler.take (), (std::vector<std::string> {"begin 1", "perform 1 0.1000", "end 1"}));

	// controls that are not bound report nothing
	knobs[1]->beginEdit ();
	knobs[1]->setValue (0.9f);
	knobs[1]->valueChanged ();
	knobs[1]->endEdit ();
	EXPECT_TRUE (handler.take ().empty ());
}

TEST_F (VST3EditorBinding, ResetClickGoesToTheParametersDefault)
{
	auto editor = makeEditor ();
	auto offscreen = offscreenOf (editor);
	ASSERT_EQ (offscreen->openOffscreen (), kResultTrue);
	controller->setParamNormalized (1, 0.9);
	// Option alone with the left button, on the gain knob (60, 10, 60 x 60)
	EXPECT_EQ (offscreen->onMouseEvent (IPlugViewOffscreen::kMouseDown, 90, 40,
	                                    IPlugViewOffscreen::kLButton | IPlugViewOffscreen::kAlt),
	           kResultTrue);
	EXPECT_EQ (handler.take (), (std::vector<std::string> {"begin 1", "perform 1 0.2500", "end 1"}));
	EXPECT_DOUBLE_EQ (controller->getParamNormalized (1), 0.25);
}

TEST_F (VST3EditorBinding, RetaggedControlsMoveToTheirNewParameter)
{
	auto editor = makeEditor ();
	ASSERT_EQ (offscreenOf (editor)->openOffscreen (), kResultTrue);
	auto knobs = viewsOf<VSTGUI::CKnob> (editor);
	knobs[0]->setTag (0);
	EXPECT_EQ (editor->getBoundParameter (knobs[0]), controller->getParameterObject (0));
	controller->setParamNormalized (0, 1.);
	EXPECT_FLOAT_EQ (knobs[0]->getValue (), 1.f);
	knobs[0]->setTag (42);
	EXPECT_EQ (editor->getBoundParameter (knobs[0]), nullptr);
}

TEST_F (VST3EditorBinding, ParameterChangeRedrawsTheControl)
{
	auto editor = makeEditor ();
	auto offscreen = offscreenOf (editor);
	ASSERT_EQ (offscreen->openOffscreen (), kResultTrue);
	std::vector<uint8> before (300 * 200 * 4), after (300 * 200 * 4), fresh (300 * 200 * 4);
	ASSERT_EQ (offscreen->renderRGBA (before.data (), 300, 200, 1200), kResultTrue);
	controller->setParamNormalized (1, 1.);
	ASSERT_EQ (offscreen->renderRGBA (after.data (), 300, 200, 1200), kResultTrue);
	EXPECT_NE (before, after);
	// the same as an editor that opens with the new value
	auto second = makeEditor ();
	auto secondOffscreen = offscreenOf (second);
	ASSERT_EQ (secondOffscreen->openOffscreen (), kResultTrue);
	ASSERT_EQ (secondOffscreen->renderRGBA (fresh.data (), 300, 200, 1200), kResultTrue);
	EXPECT_EQ (after, fresh);
	second->removed ();
}

TEST_F (VST3EditorBinding, ControllerTerminatedWhileOpenDoesNotBreakTheEditor)
{
	auto editor = makeEditor ();
	auto offscreen = offscreenOf (editor);
	ASSERT_EQ (offscreen->openOffscreen (), kResultTrue);
	controller->terminate (); // the parameters go from the controller's list
	auto knobs = viewsOf<VSTGUI::CKnob> (editor);
	knobs[0]->setValue (0.3f);
	knobs[0]->valueChanged ();
	std::vector<uint8> pixels (300 * 200 * 4);
	EXPECT_EQ (offscreen->renderRGBA (pixels.data (), 300, 200, 1200), kResultTrue);
	EXPECT_EQ (editor->removed (), kResultOk);
}

//------------------------------------------------------------------------
TEST_F (VST3EditorDelegateCalls, DelegateIsAskedAndTold)
{
	auto editor = makeEditor ();
	auto offscreen = offscreenOf (editor);
	ASSERT_EQ (offscreen->openOffscreen (), kResultTrue);
	EXPECT_EQ (controller->calls, (std::vector<std::string> {"createCustomView Custom", "createSubController Sub",
	                                                         "didOpen"}));
	EXPECT_EQ (controller->lastEditor, editor.get ());
	// every view outside the sub-controller's area: the root, 4 controls and the custom view
	// (the sub-controller's container belongs to the sub-controller)
	EXPECT_EQ (controller->verified, 6);
	EXPECT_EQ (controller->subAlive, 1);

	// the sub-controller listens to its own controls
	auto knobs = viewsOf<VSTGUI::CKnob> (editor);
	auto* sub = dynamic_cast<SubController*> (knobs[2]->getListener ());
	ASSERT_NE (sub, nullptr);
	knobs[2]->valueChanged ();
	EXPECT_EQ (sub->changes, 1);

	controller->calls.clear ();
	EXPECT_EQ (editor->removed (), kResultOk);
	EXPECT_EQ (controller->calls, (std::vector<std::string> {"willClose"}));
	EXPECT_EQ (controller->subAlive, 0); // owned by the editor's views, gone with them
	EXPECT_EQ (editor->getFrame (), nullptr);
	// and it can open again
	EXPECT_EQ (offscreen->openOffscreen (), kResultTrue);
	EXPECT_EQ (controller->subAlive, 1);
}

TEST_F (VST3EditorDelegateCalls, EditorKeepsItsControllerAlive)
{
	bool destroyed = false;
	IPtr<VST3Editor> editor;
	{
		auto own = owned (new TestController (&destroyed));
		editor = owned (new VST3Editor (own, "view", "editor.uidesc"));
		ASSERT_EQ (offscreenOf (editor)->openOffscreen (), kResultTrue);
	}
	EXPECT_FALSE (destroyed);
	editor->removed ();
	EXPECT_FALSE (destroyed);
	editor = nullptr;
	EXPECT_TRUE (destroyed);
}

TEST_F (VST3EditorDelegateCalls, ReleasedWhileOpenClosesFirst)
{
	auto editor = makeEditor ();
	ASSERT_EQ (offscreenOf (editor)->openOffscreen (), kResultTrue);
	controller->calls.clear ();
	editor = nullptr; // no removed(): the editor closes itself on the way out
	EXPECT_EQ (controller->calls, (std::vector<std::string> {"willClose"}));
	EXPECT_EQ (controller->subAlive, 0);
}

TEST_F (VST3EditorDelegateCalls, ClosingDuringAPressCancelsItFirst)
{
	auto editor = makeEditor ();
	auto offscreen = offscreenOf (editor);
	ASSERT_EQ (offscreen->openOffscreen (), kResultTrue);
	auto gain = viewsOf<VSTGUI::CKnob> (editor)[0]; // (60, 10) to (120, 70)
	const float entry = gain->getValue ();
	controller->calls.clear ();
	// A drag on the gain knob, still held when the host closes the view.
	ASSERT_EQ (offscreen->onMouseEvent (IPlugViewOffscreen::kMouseDown, 90, 60, IPlugViewOffscreen::kLButton),
	           kResultTrue);
	offscreen->onMouseEvent (IPlugViewOffscreen::kMouseMoved, 119, 40, IPlugViewOffscreen::kLButton);
	auto log = handler.take ();
	ASSERT_GE (log.size (), 2u);
	ASSERT_EQ (log.front (), "begin 1");
	ASSERT_NE (log.back (), "end 1");
	EXPECT_EQ (editor->removed (), kResultOk);
	// The press is cancelled while the knob is still bound: its value goes back to where
	// the press found it, and then its edit ends; the delegate hears of the close after.
	char restored[64];
	std::snprintf (restored, sizeof (restored), "perform 1 %.4f", entry);
	EXPECT_EQ (handler.take (), (std::vector<std::string> {restored, "end 1"}));
	EXPECT_EQ (controller->calls, (std::vector<std::string> {"willClose"}));
	EXPECT_NEAR (controller->getParamNormalized (1), entry, 1e-6);
}

TEST_F (VST3EditorDelegateCalls, KnobsFollowTheHostKnobMode)
{
	auto editor = makeEditor ();
	ASSERT_EQ (offscreenOf (editor)->openOffscreen (), kResultTrue);
	auto* frame = editor->getFrame ();
	for (KnobMode mode : {kLinearMode, kCircularMode, kRelativCircularMode, kLinearMode})
	{
		controller->setKnobMode (mode);
		EXPECT_EQ (frame->getKnobMode (), static_cast<int32_t> (mode));
	}
}

//------------------------------------------------------------------------
namespace {

// The host's plug frame with its run loop, recording what the editor asks of it.
class HostFrame : public IPlugFrame, public Linux::IRunLoop
{
public:
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override
	{
		if (FUnknownPrivate::iidEqual (iid, FUnknown::iid) || FUnknownPrivate::iidEqual (iid, IPlugFrame::iid))
		{
			*obj = static_cast<IPlugFrame*> (this);
			addRef ();
			return kResultOk;
		}
		if (offerRunLoop && FUnknownPrivate::iidEqual (iid, Linux::IRunLoop::iid))
		{
			*obj = static_cast<Linux::IRunLoop*> (this);
			addRef ();
			return kResultOk;
		}
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return static_cast<uint32> (++refs); }
	uint32 PLUGIN_API release () override { return static_cast<uint32> (--refs); }
	tresult PLUGIN_API resizeView (IPlugView*, ViewRect* r) override
	{
		resizes.push_back (*r);
		return kResultTrue;
	}
	tresult PLUGIN_API registerEventHandler (Linux::IEventHandler* h, Linux::FileDescriptor fd) override
	{
		events[h] = fd;
		return kResultTrue;
	}
	tresult PLUGIN_API unregisterEventHandler (Linux::IEventHandler* h) override
	{
		return events.erase (h) ? kResultTrue : kResultFalse;
	}
	tresult PLUGIN_API registerTimer (Linux::ITimerHandler* h, Linux::TimerInterval ms) override
	{
		h->addRef ();
		timers[h] = ms;
		return kResultTrue;
	}
	tresult PLUGIN_API unregisterTimer (Linux::ITimerHandler* h) override
	{
		if (!timers.erase (h))
			return kResultFalse;
		h->release ();
		return kResultTrue;
	}
	void fireAll ()
	{
		auto copy = timers;
		for (auto& t : copy)
			if (timers.count (t.first))
				t.first->onTimer ();
	}

	bool offerRunLoop {true};
	int refs {1};
	std::vector<ViewRect> resizes;
	std::map<Linux::ITimerHandler*, Linux::TimerInterval> timers;
	std::map<Linux::IEventHandler*, int> events;
};

void* gLastParent = nullptr;
VSTGUI::IPlatformFrame* makeStandInWindow (VSTGUI::IPlatformFrameCallback* frame, const VSTGUI::CRect& size,
                                           void* parent, VSTGUI::PlatformType)
{
	gLastParent = parent;
	return new VSTGUI::COffscreenPlatformFrame (frame, size);
}

// A window layer for the test's lifetime (the X11 layer stands in).
struct StandInWindowLayer
{
	StandInWindowLayer () { VSTGUI::setPlatformFrameFactory (VSTGUI::PlatformType::kX11EmbedWindowID, &makeStandInWindow); }
	~StandInWindowLayer () { VSTGUI::setPlatformFrameFactory (VSTGUI::PlatformType::kX11EmbedWindowID, nullptr); }
};

} // namespace

TEST_F (VST3EditorPlatform, PlatformTypesSizesAndResizing)
{
	auto editor = makeEditor ();
	EXPECT_EQ (editor->isPlatformTypeSupported (kPlatformTypeX11EmbedWindowID), kResultTrue);
	for (FIDString type : {kPlatformTypeHWND, kPlatformTypeNSView, kPlatformTypeHIView, "x11embedwindowid", ""})
		EXPECT_EQ (editor->isPlatformTypeSupported (type), kInvalidArgument) << type;
	EXPECT_EQ (editor->isPlatformTypeSupported (nullptr), kInvalidArgument);
	EXPECT_EQ (editor->canResize (), kResultFalse);
	ViewRect wish (10, 20, 900, 900);
	EXPECT_EQ (editor->checkSizeConstraint (&wish), kResultTrue);
	EXPECT_EQ (wish.left, 10);
	EXPECT_EQ (wish.getWidth (), 300);
	EXPECT_EQ (wish.getHeight (), 200);
	EXPECT_EQ (editor->checkSizeConstraint (nullptr), kInvalidArgument);
	EXPECT_EQ (editor->onSize (nullptr), kInvalidArgument);
	EXPECT_EQ (editor->onFocus (true), kResultTrue);
	// nothing to take input before the editor is open
	EXPECT_EQ (editor->onWheel (1.f), kResultFalse);
	EXPECT_EQ (editor->onKeyDown ('a', 0, 0), kResultFalse);
	EXPECT_EQ (editor->onKeyUp ('a', 0, 0), kResultFalse);
}

TEST_F (VST3EditorPlatform, X11WithoutTheWindowLayerFailsCleanly)
{
	auto editor = makeEditor ();
	HostFrame host;
	EXPECT_EQ (editor->setFrame (&host), kResultTrue);
	StderrCapture quiet;
	EXPECT_EQ (editor->attached (reinterpret_cast<void*> (0x1234), kPlatformTypeX11EmbedWindowID), kResultFalse);
	EXPECT_EQ (editor->attached (reinterpret_cast<void*> (0x1234), kPlatformTypeHWND), kResultFalse);
	EXPECT_FALSE (editor->isAttached ());
	EXPECT_EQ (editor->getFrame (), nullptr);
	EXPECT_TRUE (host.timers.empty ());
	EXPECT_EQ (controller->subAlive, 0);
	// the offscreen way still works afterwards
	EXPECT_EQ (offscreenOf (editor)->openOffscreen (), kResultTrue);
	editor->removed ();
	editor->setFrame (nullptr);
	EXPECT_EQ (host.refs, 1);
}

TEST_F (VST3EditorPlatform, AttachedRunsItsTimersOnTheHostsRunLoop)
{
	StandInWindowLayer windows;
	auto editor = makeEditor ();
	HostFrame host;
	VSTGUI::IRunLoop* libraryLoopBefore = VSTGUI::getRunLoop ();
	EXPECT_EQ (editor->setFrame (&host), kResultTrue);
	EXPECT_EQ (editor->attached (nullptr, kPlatformTypeX11EmbedWindowID), kInvalidArgument);
	ASSERT_EQ (editor->attached (reinterpret_cast<void*> (0x1234), kPlatformTypeX11EmbedWindowID), kResultTrue);
	EXPECT_EQ (gLastParent, reinterpret_cast<void*> (0x1234));
	EXPECT_EQ (editor->attached (reinterpret_cast<void*> (0x1234), kPlatformTypeX11EmbedWindowID), kResultFalse);
	ASSERT_EQ (host.resizes.size (), 1u); // the host learns the size the editor opened with
	EXPECT_EQ (host.resizes[0].getWidth (), 300);
	EXPECT_EQ (host.resizes[0].getHeight (), 200);
	EXPECT_NE (VSTGUI::getRunLoop (), libraryLoopBefore); // the host's loop drives the library now

	// the idle timer and a wheel edit's end timer run on the host's loop
	EXPECT_EQ (host.timers.size (), 1u);
	auto knobs = viewsOf<VSTGUI::CKnob> (editor);
	VSTGUI::CPoint where (90, 40);
	editor->getFrame ()->platformOnMouseWheel (where, VSTGUI::kMouseWheelAxisY, 1.f, VSTGUI::CButtonState ());
	EXPECT_EQ (handler.take ().front (), "begin 1");
	EXPECT_EQ (host.timers.size (), 2u);
	host.fireAll (); // 500 ms later, as far as the editor can tell
	auto log = handler.take ();
	ASSERT_FALSE (log.empty ());
	EXPECT_EQ (log.back (), "end 1");

	// the host takes its frame away first: every timer is handed back at once
	EXPECT_EQ (editor->setFrame (nullptr), kResultTrue);
	EXPECT_TRUE (host.timers.empty ());
	EXPECT_EQ (editor->removed (), kResultOk);
	EXPECT_EQ (VSTGUI::getRunLoop (), libraryLoopBefore);
	EXPECT_EQ (host.refs, 1); // the frame and its loop were released as often as they were taken
}

TEST_F (VST3EditorPlatform, AFrameWithoutARunLoopIsRefused)
{
	// A window would never see an event or a timer without the host's run loop.
	StandInWindowLayer windows;
	auto editor = makeEditor ();
	HostFrame host;
	host.offerRunLoop = false;
	editor->setFrame (&host);
	StderrCapture quiet;
	EXPECT_EQ (editor->attached (reinterpret_cast<void*> (0x99), kPlatformTypeX11EmbedWindowID), kResultFalse);
	EXPECT_FALSE (editor->isAttached ());
	EXPECT_EQ (editor->removed (), kResultFalse);
	editor->setFrame (nullptr);
	EXPECT_EQ (host.refs, 1);
}

TEST_F (VST3EditorPlatform, KeysGoToTheFocusedControl)
{
	auto editor = makeEditor ();
	auto offscreen = offscreenOf (editor);
	ASSERT_EQ (offscreen->openOffscreen (), kResultTrue);
	// a click on the toggle gives it the focus (and toggles it)
	offscreen->onMouseEvent (IPlugViewOffscreen::kMouseDown, 25, 25, IPlugViewOffscreen::kLButton);
	offscreen->onMouseEvent (IPlugViewOffscreen::kMouseUp, 25, 25, IPlugViewOffscreen::kLButton);
	handler.take ();
	const int16 kSpace = 7, kShift = 1;
	EXPECT_EQ (editor->onKeyDown (' ', kSpace, 0), kResultTrue);
	EXPECT_EQ (handler.take (), (std::vector<std::string> {"begin 0", "perform 0 0.0000", "end 0"}));
	EXPECT_EQ (editor->onKeyDown (' ', kSpace, kShift), kResultFalse); // the button wants no modifier
	EXPECT_EQ (editor->onKeyUp (' ', kSpace, 0), kResultFalse);
	EXPECT_TRUE (handler.take ().empty ());
}

TEST_F (VST3EditorPlatform, ContentScaleBeforeOpening)
{
	auto editor = makeEditor ();
	auto offscreen = offscreenOf (editor);
	IPlugViewContentScaleSupport* scale = nullptr;
	ASSERT_EQ (static_cast<IPlugView*> (editor)->queryInterface (IPlugViewContentScaleSupport::iid,
	                                                            reinterpret_cast<void**> (&scale)),
	           kResultOk);
	EXPECT_EQ (scale->setContentScaleFactor (0.f), kInvalidArgument);
	EXPECT_EQ (scale->setContentScaleFactor (-1.f), kInvalidArgument);
	EXPECT_EQ (scale->setContentScaleFactor (2.f), kResultTrue);
	ViewRect rect;
	editor->getSize (&rect);
	EXPECT_EQ (rect.getWidth (), 600);
	EXPECT_EQ (rect.getHeight (), 400);
	ASSERT_EQ (offscreen->openOffscreen (), kResultTrue);
	EXPECT_EQ (scale->setContentScaleFactor (1.f), kResultFalse); // not while open
	std::vector<uint8> pixels (600 * 400 * 4);
	ASSERT_EQ (offscreen->renderRGBA (pixels.data (), 600, 400, 2400), kResultTrue);
	// the whole image is drawn: the background reaches the bottom-right corner
	const uint8* last = &pixels[(399 * 600 + 599) * 4];
	EXPECT_EQ (last[0], 0x20);
	EXPECT_EQ (last[3], 0xFF);
	// points are in view pixels: (50, 50) is the toggle at (25, 25)
	EXPECT_EQ (offscreen->onMouseEvent (IPlugViewOffscreen::kMouseDown, 50, 50, IPlugViewOffscreen::kLButton),
	           kResultTrue);
	EXPECT_EQ (handler.take (), (std::vector<std::string> {"begin 0", "perform 0 1.0000", "end 0"}));
	scale->release ();
}

//------------------------------------------------------------------------
TEST_F (VST3EditorOffscreen, ExtensionArgumentsAndState)
{
	auto editor = makeEditor ();
	auto offscreen = offscreenOf (editor);
	ASSERT_TRUE (offscreen);
	std::vector<uint8> pixels (300 * 200 * 4, 0xAB);
	// not open yet
	EXPECT_EQ (offscreen->renderRGBA (pixels.data (), 300, 200, 1200), kResultFalse);
	EXPECT_EQ (offscreen->onMouseEvent (IPlugViewOffscreen::kMouseDown, 1, 1, 2), kResultFalse);
	EXPECT_EQ (offscreen->onWheelEvent (1, 1, 1.f, IPlugViewOffscreen::kWheelAxisY, 0), kResultFalse);
	EXPECT_EQ (offscreen->advanceTime (10), kResultFalse);

	ASSERT_EQ (offscreen->openOffscreen (), kResultTrue);
	EXPECT_EQ (offscreen->openOffscreen (), kResultFalse);
	EXPECT_EQ (editor->attached (reinterpret_cast<void*> (1), kPlatformTypeX11EmbedWindowID), kResultFalse);
	EXPECT_EQ (offscreen->renderRGBA (nullptr, 300, 200, 1200), kInvalidArgument);
	EXPECT_EQ (offscreen->renderRGBA (pixels.data (), 0, 200, 1200), kInvalidArgument);
	EXPECT_EQ (offscreen->renderRGBA (pixels.data (), 300, -1, 1200), kInvalidArgument);
	EXPECT_EQ (offscreen->renderRGBA (pixels.data (), 300, 200, 1199), kInvalidArgument);
	EXPECT_EQ (offscreen->onMouseEvent (7, 1, 1, 2), kInvalidArgument);
	EXPECT_EQ (offscreen->onMouseEvent (-1, 1, 1, 2), kInvalidArgument);
	EXPECT_EQ (offscreen->onWheelEvent (1, 1, 1.f, 5, 0), kInvalidArgument);

	// a buffer larger than the view: the rest is transparent black
	std::vector<uint8> large (310 * 205 * 4, 0xAB);
	ASSERT_EQ (offscreen->renderRGBA (large.data (), 310, 205, 310 * 4), kResultTrue);
	EXPECT_EQ (large[(5 * 310 + 5) * 4 + 0], 0x20);
	EXPECT_EQ (large[(5 * 310 + 5) * 4 + 3], 0xFF);
	for (int k = 0; k < 4; ++k)
	{
		EXPECT_EQ (large[(5 * 310 + 305) * 4 + k], 0);
		EXPECT_EQ (large[(202 * 310 + 5) * 4 + k], 0);
	}
	// a press where no control is
	EXPECT_EQ (offscreen->onMouseEvent (IPlugViewOffscreen::kMouseDown, 280, 100, IPlugViewOffscreen::kLButton),
	           kResultFalse);
	EXPECT_EQ (offscreen->onMouseEvent (IPlugViewOffscreen::kMouseCancel, 0, 0, 0), kResultFalse);

	EXPECT_EQ (editor->removed (), kResultOk);
	EXPECT_EQ (offscreen->renderRGBA (pixels.data (), 300, 200, 1200), kResultFalse);
	EXPECT_EQ (editor->removed (), kResultFalse);
}

TEST_F (VST3EditorOffscreen, TimeMovesOnlyWhenAsked)
{
	auto editor = makeEditor ();
	auto offscreen = offscreenOf (editor);
	ASSERT_EQ (offscreen->openOffscreen (), kResultTrue);
	// a wheel turn on the gain knob opens an edit that ends 500 ms after the last turn
	EXPECT_EQ (offscreen->onWheelEvent (90, 40, 1.f, IPlugViewOffscreen::kWheelAxisY, 0), kResultTrue);
	auto log = handler.take ();
	ASSERT_GE (log.size (), 2u);
	EXPECT_EQ (log[0], "begin 1");
	EXPECT_EQ (offscreen->advanceTime (499), kResultTrue);
	EXPECT_TRUE (handler.take ().empty ());
	EXPECT_EQ (offscreen->advanceTime (1), kResultTrue);
	EXPECT_EQ (handler.take (), (std::vector<std::string> {"end 1"}));
	// the host's plain wheel call turns the control under the last known pointer
	EXPECT_EQ (editor->onWheel (-1.f), kResultTrue);
	EXPECT_EQ (handler.take ().front (), "begin 1");
	editor->removed (); // closing ends what is open
	auto rest = handler.take ();
	ASSERT_FALSE (rest.empty ());
	EXPECT_EQ (rest.back (), "end 1");
}

TEST_F (VST3EditorOffscreen, AWaitRunsOnlyTheTimersThatFallDueInIt)
{
	auto editor = makeEditor ();
	auto offscreen = offscreenOf (editor);
	ASSERT_EQ (offscreen->openOffscreen (), kResultTrue);
	auto* loop = dynamic_cast<VSTGUI::ManualRunLoop*> (VSTGUI::getRunLoop ());
	ASSERT_NE (loop, nullptr);
	// Nothing ticks while nothing is under way: drawing does the idle work itself.
	ASSERT_EQ (loop->getNumTimers (), 0u);
	const uint64_t opened = loop->now ();

	// A wheel edit (ends 500 ms after the turn) and a slow timer of the test's own, every
	// 10^9 ms: over the longest wait the edit ends once, first, and the slow timer fires
	// four times after it.
	EXPECT_EQ (offscreen->onWheelEvent (90, 40, 1.f, IPlugViewOffscreen::kWheelAxisY, 0), kResultTrue);
	handler.take ();
	EXPECT_EQ (loop->getNumTimers (), 1u);
	std::vector<std::string> order;
	auto slow = VSTGUI::makeOwned<VSTGUI::CVSTGUITimer> (
	    [&] (VSTGUI::CVSTGUITimer*) {
		    for (auto& edit : handler.take ())
			    order.push_back (edit);
		    order.push_back ("tick " + std::to_string (loop->now () - opened));
	    },
	    1000000000u, true);
	EXPECT_EQ (offscreen->advanceTime (0xFFFFFFFFu), kResultTrue);
	EXPECT_EQ (order, (std::vector<std::string> {"end 1", "tick 1000000000", "tick 2000000000", "tick 3000000000",
	                                             "tick 4000000000"}));
	EXPECT_EQ (loop->now () - opened, 0xFFFFFFFFu);
	slow->stop ();
	EXPECT_EQ (loop->getNumTimers (), 0u);
	// The clock goes on from there.
	EXPECT_EQ (offscreen->onWheelEvent (90, 40, 1.f, IPlugViewOffscreen::kWheelAxisY, 0), kResultTrue);
	handler.take ();
	EXPECT_EQ (offscreen->advanceTime (499), kResultTrue);
	EXPECT_TRUE (handler.take ().empty ());
	EXPECT_EQ (offscreen->advanceTime (1), kResultTrue);
	EXPECT_EQ (handler.take (), (std::vector<std::string> {"end 1"}));
}
