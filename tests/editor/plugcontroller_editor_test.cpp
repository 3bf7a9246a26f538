// The controller's editor requests: createView and createSubController, and the editor
// that the shipped description gives (its about view among it).
#include "controller/plugaboutcontroller.h"
#include "controller/plugcontroller.h"

#include "pluginterfaces/gui/iplugviewoffscreen.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "vstgui/lib/cframe.h"
#include "vstgui/lib/controls/cbuttons.h"
#include "vstgui/lib/controls/cknob.h"
#include "vstgui/lib/controls/ctextlabel.h"
#include "vstgui/lib/cresourcedescription.h"
#include "vstgui/plugin-bindings/vst3editor.h"
#include "vstgui/uidescription/uiviewfactory.h"

#include <gtest/gtest.h>

#include <sys/utsname.h>

#include <cstdio>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::string expectedPlatform ()
{
	struct utsname name {};
	if (uname (&name) != 0)
		return "unknown";
	return std::string (name.machine) + "-" + name.sysname;
}

// A host context that may offer the AU wrapper interface, counting its references.
class HostContext : public IVst3ToAUWrapper
{
public:
	explicit HostContext (bool offerWrapper) : offerWrapper (offerWrapper) {}
	tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override
	{
		++queries;
		if (FUnknownPrivate::iidEqual (iid, FUnknown::iid))
		{
			*obj = static_cast<FUnknown*> (static_cast<IVst3ToAUWrapper*> (this));
			addRef ();
			return kResultOk;
		}
		if (offerWrapper && FUnknownPrivate::iidEqual (iid, IVst3ToAUWrapper::iid))
		{
			*obj = static_cast<IVst3ToAUWrapper*> (this);
			addRef ();
			return kResultOk;
		}
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return static_cast<uint32> (++refs); }
	uint32 PLUGIN_API release () override { return static_cast<uint32> (--refs); }

	bool offerWrapper;
	int refs {1};
	int queries {0};
};

struct ControllerFixture : ::testing::Test
{
	void SetUp () override
	{
		VSTGUI::setResourceDirectory (PALVIS_RESOURCE_DIR);
		controller = owned (new PlugController);
		ASSERT_EQ (controller->initialize (nullptr), kResultOk);
	}
	void TearDown () override
	{
		if (controller)
			controller->terminate ();
		controller = nullptr;
		VSTGUI::setResourceDirectory ({});
	}
	IPtr<PlugController> controller;
};

using PlugControllerViews = ControllerFixture;

} // namespace

TEST_F (PlugControllerViews, OnlyTheNameEditorGivesAView)
{
	for (const char* name : {"Editor", "EDITOR", "editor ", " editor", "edito", "", "view", "editor\n"})
	{
		controller->setKnobMode (kCircularMode);
		IPlugView* view = controller->createView (name);
		EXPECT_EQ (view, nullptr) << "name '" << name << "'";
		// and nothing else happens: the host's knob mode stays
		EXPECT_EQ (EditController::getHostKnobMode (), kCircularMode);
	}
	EXPECT_EQ (controller->createView (nullptr), nullptr);
	EXPECT_EQ (EditController::getHostKnobMode (), kCircularMode);

	auto view = owned (controller->createView ("editor"));
	ASSERT_TRUE (view);
	EXPECT_EQ (EditController::getHostKnobMode (), kLinearMode);
	ViewRect rect;
	EXPECT_EQ (view->getSize (&rect), kResultTrue);
	EXPECT_GT (rect.getWidth (), 0);
	EXPECT_GT (rect.getHeight (), 0);

	// every request builds a new editor, and linear mode wins over what the host set since
	controller->setKnobMode (kRelativCircularMode);
	auto second = owned (controller->createView ("editor"));
	ASSERT_TRUE (second);
	EXPECT_NE (second.get (), view.get ());
	EXPECT_EQ (EditController::getHostKnobMode (), kLinearMode);
}

TEST_F (PlugControllerViews, TheEditorKeepsTheControllerAlive)
{
	IPlugView* view = controller->createView ("editor");
	ASSERT_NE (view, nullptr);
	const int32 before = controller->getRefCount ();
	EXPECT_GE (before, 2);
	view->release ();
	EXPECT_EQ (controller->getRefCount (), before - 1);
}

TEST_F (PlugControllerViews, NoEditorWithoutItsDescription)
{
	VSTGUI::setResourceDirectory ("/nonexistent-folder-for-the-test");
	EXPECT_EQ (controller->createView ("editor"), nullptr);
	EXPECT_EQ (controller->getRefCount (), 1); // the refused editor let go of the controller
}

TEST_F (PlugControllerViews, SubControllerOnlyForAboutController)
{
	VSTGUI::VST3EditorDelegate& delegate = *controller;
	for (const char* name : {"aboutController", "ABOUTCONTROLLER", "AboutController ", "About", "", "AboutControllers"})
		EXPECT_EQ (delegate.createSubController (name, nullptr, nullptr), nullptr) << "name '" << name << "'";
	EXPECT_EQ (delegate.createSubController (nullptr, nullptr, nullptr), nullptr);
	EXPECT_TRUE (controller->aboutControllers.empty ());

	auto* first = delegate.createSubController ("AboutController", nullptr, nullptr);
	auto* second = delegate.createSubController ("AboutController", nullptr, nullptr);
	ASSERT_NE (first, nullptr);
	ASSERT_NE (second, nullptr);
	EXPECT_NE (first, second);
	auto* firstAbout = dynamic_cast<PlugController::AboutController*> (first);
	auto* secondAbout = dynamic_cast<PlugController::AboutController*> (second);
	ASSERT_NE (firstAbout, nullptr);
	ASSERT_NE (secondAbout, nullptr);
	EXPECT_EQ (controller->aboutControllers, (std::vector<PlugController::AboutController*> {firstAbout, secondAbout}));
	EXPECT_EQ (firstAbout->getOwner (), controller.get ());
	EXPECT_STREQ (firstAbout->getFormatName ().text8 (), "VST3"); // no host context at all

	delete first; // the caller owns them
	EXPECT_EQ (controller->aboutControllers, (std::vector<PlugController::AboutController*> {secondAbout}));
	delete second;
	EXPECT_TRUE (controller->aboutControllers.empty ());
}

TEST_F (PlugControllerViews, RemoveAboutControllerTakesTheFirstEqualEntry)
{
	auto* a = new PlugController::AboutController (controller, false);
	auto* b = new PlugController::AboutController (controller, false);
	controller->aboutControllers = {a, b, a};
	controller->removeAboutController (a);
	EXPECT_EQ (controller->aboutControllers, (std::vector<PlugController::AboutController*> {b, a}));
	controller->removeAboutController (nullptr);
	EXPECT_EQ (controller->aboutControllers.size (), 2u);
	controller->aboutControllers.clear ();
	delete a;
	delete b;
}

TEST (PlugControllerHost, AboutControllerAsksTheHostForTheAUWrapper)
{
	for (bool offer : {false, true})
	{
		HostContext context (offer);
		{
			auto controller = owned (new PlugController);
			ASSERT_EQ (controller->initialize (&context), kResultOk);
			const int refsBefore = context.refs;
			VSTGUI::VST3EditorDelegate& delegate = *controller;
			auto* sub = delegate.createSubController ("AboutController", nullptr, nullptr);
			auto* about = dynamic_cast<PlugController::AboutController*> (sub);
			ASSERT_NE (about, nullptr);
			EXPECT_STREQ (about->getFormatName ().text8 (), offer ? "AU" : "VST3");
			EXPECT_GE (context.queries, 1);
			EXPECT_EQ (context.refs, refsBefore); // what the host gave was released again
			delete sub;
			controller->terminate ();
		}
		EXPECT_EQ (context.refs, 1);
	}
}

//------------------------------------------------------------------------
// The shipped description, built through the controller's editor.
//------------------------------------------------------------------------
namespace {

struct OpenEditor
{
	explicit OpenEditor (PlugController* controller)
	{
		view = owned (controller->createView ("editor"));
		if (!view)
			return;
		editor = dynamic_cast<VSTGUI::VST3Editor*> (view.get ());
		IPlugViewOffscreen* raw = nullptr;
		if (view->queryInterface (IPlugViewOffscreen::iid, reinterpret_cast<void**> (&raw)) == kResultOk)
			offscreen = owned (raw);
	}
	~OpenEditor ()
	{
		if (view)
			view->removed ();
	}
	bool open () { return offscreen && offscreen->openOffscreen () == kResultTrue; }

	IPtr<IPlugView> view;
	IPtr<IPlugViewOffscreen> offscreen;
	VSTGUI::VST3Editor* editor {nullptr};
};

} // namespace

TEST_F (PlugControllerViews, ShippedDescriptionGivesTheAboutView)
{
	{
		OpenEditor e (controller);
		ASSERT_NE (e.editor, nullptr);
		ASSERT_TRUE (e.open ());
		ASSERT_EQ (controller->aboutControllers.size (), 1u);
		auto* about = controller->aboutControllers[0];
		ASSERT_NE (about->getTextLabel (), nullptr);
		ASSERT_NE (about->getOnOffButton (), nullptr);
		EXPECT_EQ (about->getTextLabel ()->getText ().getString (), "");

		// a click on the about button in the frame shows the line, a second hides it
		auto* frame = e.editor->getFrame ();
		ASSERT_NE (frame, nullptr);
		VSTGUI::CPoint where = about->getOnOffButton ()->getViewSize ().getCenter ();
		about->getOnOffButton ()->localToFrame (where);
		EXPECT_EQ (e.offscreen->onMouseEvent (IPlugViewOffscreen::kMouseDown, where.x, where.y,
		                                      IPlugViewOffscreen::kLButton),
		           kResultTrue);
		EXPECT_EQ (about->getTextLabel ()->getText ().getString (), "2.1.0, VST3 " + expectedPlatform ());
		e.offscreen->onMouseEvent (IPlugViewOffscreen::kMouseDown, where.x, where.y, IPlugViewOffscreen::kLButton);
		EXPECT_EQ (about->getTextLabel ()->getText ().getString (), "");
	}
	// closing the editor deletes its about controller, which leaves the list
	EXPECT_TRUE (controller->aboutControllers.empty ());
}

TEST_F (PlugControllerViews, ShippedDescriptionBindsEveryParameter)
{
	OpenEditor e (controller);
	ASSERT_NE (e.editor, nullptr);
	ASSERT_TRUE (e.open ());
	std::vector<VSTGUI::CControl*> controls;
	e.editor->getFrame ()->getChildViewsOfType<VSTGUI::CControl> (controls, true);
	std::vector<int> boundPerParameter (17, 0);
	for (auto* c : controls)
	{
		if (auto p = e.editor->getBoundParameter (c))
		{
			EXPECT_EQ (static_cast<int32> (p->getInfo ().id), c->getTag ());
			++boundPerParameter.at (p->getInfo ().id);
		}
	}
	// bypass: its button; level: the knob and its display; a band: its display, and its
	// slider where the plug-in's slider creator is registered (not in this test program:
	// the sliders are left out then, and the rest is built)
	const int slider = VSTGUI::UIViewFactory::isRegistered ("CSlider") ? 1 : 0;
	EXPECT_EQ (boundPerParameter[0], 1);
	EXPECT_EQ (boundPerParameter[1], 2);
	for (ParamID id = 2; id < 17; ++id)
		EXPECT_EQ (boundPerParameter[id], 1 + slider) << "parameter " << id;

	// the level knob follows the controller's linear knob mode
	std::vector<VSTGUI::CKnob*> knobs;
	e.editor->getFrame ()->getChildViewsOfType<VSTGUI::CKnob> (knobs, true);
	ASSERT_EQ (knobs.size (), 1u);
	EXPECT_EQ (knobs[0]->getTag (), 1);
	EXPECT_EQ (e.editor->getFrame ()->getKnobMode (), VSTGUI::kLinearMode);
	EXPECT_FLOAT_EQ (knobs[0]->getDefaultValue (), 0.75f);
}
