// The about-view controller: the label follows the button, the line's exact form, the
// platform name, and its place in the owner's list.
#include "controller/plugaboutcontroller.h"
#include "controller/plugcontroller.h"

#include "vstgui/lib/controls/cbuttons.h"
#include "vstgui/lib/controls/ctextlabel.h"
#include "vstgui/lib/controls/cparamdisplay.h"
#include "vstgui/lib/cviewcontainer.h"
#include "vstgui/uidescription/uiattributes.h"

#include <gtest/gtest.h>

#include <sys/utsname.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using VSTGUI::CColor;
using VSTGUI::COnOffButton;
using VSTGUI::CRect;
using VSTGUI::CTextLabel;
using VSTGUI::CView;
using VSTGUI::UIAttributes;

namespace {

// An owner that only keeps the list, as the controller does.
struct FakeOwner
{
	using About = PlugAboutController<FakeOwner>;
	std::vector<About*> aboutControllers;
	void removeAboutController (About* c)
	{
		auto it = std::find (aboutControllers.begin (), aboutControllers.end (), c);
		if (it != aboutControllers.end ())
			aboutControllers.erase (it);
	}
};
using About = FakeOwner::About;

std::string expectedPlatform ()
{
	struct utsname name {};
	if (uname (&name) != 0)
		return "unknown";
	return std::string (name.machine) + "-" + name.sysname;
}

std::string text (CTextLabel* label)
{
	return label->getText ().getString ();
}

// The about area's two views, made as the description makes them.
struct AboutViews
{
	COnOffButton* button = new COnOffButton (CRect (0, 0, 20, 20));
	CTextLabel* label = new CTextLabel (CRect (30, 0, 300, 20), "placeholder");
	~AboutViews ()
	{
		if (button)
			button->forget ();
		if (label)
			label->forget ();
	}
	template <class Controller>
	void verify (Controller& about)
	{
		UIAttributes attributes;
		EXPECT_EQ (about.verifyView (label, attributes, nullptr), label);
		EXPECT_EQ (about.verifyView (button, attributes, nullptr), button);
	}
	void toggle () { button->toggle (); }
};

} // namespace

TEST (AboutPlatformName, MacTableThroughAnInjectedQuery)
{
	using AboutPlatform::TranslationQuery;
	using AboutPlatform::macPlatformName;
	// the call fails: ENOENT (no such name) on an Intel Mac, anything else is unknown
	EXPECT_STREQ (macPlatformName (TranslationQuery {false, ENOENT, 0}), "x86_64-macOS");
	EXPECT_STREQ (macPlatformName (TranslationQuery {false, EPERM, 0}), "unknown");
	EXPECT_STREQ (macPlatformName (TranslationQuery {false, 0, 0}), "unknown");
	// the call succeeds
	EXPECT_STREQ (macPlatformName (TranslationQuery {true, 0, 0}), "arm64-macOS");
	EXPECT_STREQ (macPlatformName (TranslationQuery {true, 0, 1}), "arm64-macOS (T)");
	EXPECT_STREQ (macPlatformName (TranslationQuery {true, 0, 2}), "x86_64-macOS");
	EXPECT_STREQ (macPlatformName (TranslationQuery {true, 0, 3}), "unknown");
	EXPECT_STREQ (macPlatformName (TranslationQuery {true, 0, -1}), "unknown");
	// a failed call's value is not looked at
	EXPECT_STREQ (macPlatformName (TranslationQuery {false, ENOENT, 1}), "x86_64-macOS");
}

TEST (AboutPlatformName, NamesThisMachineAsItIs)
{
	const std::string name = AboutPlatform::currentPlatformName ();
	EXPECT_EQ (name, expectedPlatform ());
#if !defined(__APPLE__)
	EXPECT_EQ (name.find ("macOS"), std::string::npos);
#if defined(__x86_64__) && defined(__linux__)
	EXPECT_EQ (name, "x86_64-Linux");
#endif
#endif
}

TEST (AboutController, ConstructorFixesTheThreeStrings)
{
	FakeOwner owner;
	About vst3 (&owner, false);
	EXPECT_EQ (vst3.getOwner (), &owner);
	EXPECT_STREQ (vst3.getFormatName ().text8 (), "VST3");
	EXPECT_STREQ (vst3.getVersionString ().text8 (), "2.1.0");
	EXPECT_EQ (std::string (vst3.getPlatformName ().text8 ()), expectedPlatform ());
	EXPECT_EQ (vst3.getOnOffButton (), nullptr);
	EXPECT_EQ (vst3.getTextLabel (), nullptr);
	About au (&owner, true);
	EXPECT_STREQ (au.getFormatName ().text8 (), "AU");
}

TEST (AboutController, LabelIsEmptyWhileOffAndShowsTheLineWhileOn)
{
	FakeOwner owner;
	AboutViews views;
	{
		About about (&owner, false);
		views.verify (about);
		EXPECT_EQ (about.getTextLabel (), views.label);
		EXPECT_EQ (about.getOnOffButton (), views.button);
		EXPECT_EQ (text (views.label), ""); // the placeholder went at once

		views.toggle ();
		const std::string line = "2.1.0, VST3 " + expectedPlatform ();
		EXPECT_EQ (text (views.label), line);
		// one comma followed by one space, one space before the platform, nothing after it
		EXPECT_EQ (std::count (line.begin (), line.end (), ','), 1);
		EXPECT_EQ (line.compare (0, 7, "2.1.0, "), 0);
		EXPECT_NE (line.back (), ' ');

		views.toggle ();
		EXPECT_EQ (text (views.label), "");
	}
	// the controller has gone: the button no longer reaches it
	views.toggle ();
	EXPECT_EQ (text (views.label), "");
}

TEST (AboutController, AUHostsGetAUInTheLine)
{
	FakeOwner owner;
	AboutViews views;
	About about (&owner, true);
	views.verify (about);
	views.toggle ();
	EXPECT_EQ (text (views.label), "2.1.0, AU " + expectedPlatform ());
}

TEST (AboutController, ButtonAlreadyOnWhenBuiltShowsTheLineAtOnce)
{
	FakeOwner owner;
	AboutViews views;
	views.button->setValue (1.f);
	About about (&owner, false);
	views.verify (about);
	EXPECT_EQ (text (views.label), "2.1.0, VST3 " + expectedPlatform ());
}

TEST (AboutController, AnyNonZeroValueCountsAsOn)
{
	FakeOwner owner;
	AboutViews views;
	About about (&owner, false);
	views.verify (about);
	views.button->setValue (0.25f);
	about.valueChanged (views.button);
	EXPECT_EQ (text (views.label), "2.1.0, VST3 " + expectedPlatform ());
	views.button->setValue (0.f);
	about.valueChanged (views.button);
	EXPECT_EQ (text (views.label), "");
}

TEST (AboutController, OtherViewsAndOtherControlsChangeNothing)
{
	FakeOwner owner;
	AboutViews views; // (the button must outlive the controller that holds it)
	About about (&owner, false);
	UIAttributes attributes;
	EXPECT_EQ (about.verifyView (nullptr, attributes, nullptr), nullptr);
	auto display = VSTGUI::owned (new VSTGUI::CParamDisplay (CRect (0, 0, 10, 10)));
	auto container = VSTGUI::owned (new VSTGUI::CViewContainer (CRect (0, 0, 10, 10)));
	EXPECT_EQ (about.verifyView (display, attributes, nullptr), display.get ());
	EXPECT_EQ (about.verifyView (container, attributes, nullptr), container.get ());
	EXPECT_EQ (about.getTextLabel (), nullptr);
	EXPECT_EQ (about.getOnOffButton (), nullptr);

	views.verify (about);
	auto other = VSTGUI::owned (new COnOffButton (CRect (0, 0, 10, 10)));
	other->setValue (1.f);
	about.valueChanged (other);
	about.valueChanged (nullptr);
	EXPECT_EQ (text (views.label), "");
	// the defaults of the library stay: the controller listens itself, and makes no sub-controllers
	EXPECT_EQ (about.getControlListener ("x"), &about);
	EXPECT_EQ (about.createSubController ("AboutController", nullptr), nullptr);
}

TEST (AboutController, ButtonWithoutALabelDoesNotFail)
{
	FakeOwner owner;
	auto button = VSTGUI::owned (new COnOffButton (CRect (0, 0, 10, 10)));
	About about (&owner, false);
	UIAttributes attributes;
	about.verifyView (button, attributes, nullptr);
	button->toggle ();
	EXPECT_EQ (about.getOnOffButton (), button.get ());
	EXPECT_EQ (about.getTextLabel (), nullptr);
}

TEST (AboutController, LabelDeletedFirstIsForgotten)
{
	FakeOwner owner;
	auto* about = new About (&owner, false);
	AboutViews views;
	views.verify (*about);
	views.label->forget (); // the label goes before the controller
	views.label = nullptr;
	EXPECT_EQ (about->getTextLabel (), nullptr);
	views.toggle (); // reaches the controller, which has no label to write to
	delete about;    // and its destructor no longer touches the label
	views.toggle ();
}

TEST (AboutController, ASecondLabelOrButtonTakesThePlaceOfTheFirst)
{
	FakeOwner owner;
	AboutViews first, second;
	{
		About about (&owner, false);
		first.verify (about);
		second.verify (about);
		EXPECT_EQ (about.getTextLabel (), second.label);
		EXPECT_EQ (about.getOnOffButton (), second.button);
		first.toggle (); // no longer heard
		EXPECT_EQ (text (second.label), "");
		second.toggle ();
		EXPECT_EQ (text (second.label), "2.1.0, VST3 " + expectedPlatform ());
		EXPECT_EQ (text (first.label), "");
	}
	// the first label can go after the controller without telling it
	first.label->forget ();
	first.label = nullptr;
}

TEST (AboutController, DestructorLeavesTheOwnersList)
{
	FakeOwner owner;
	auto* a = new About (&owner, false);
	auto* b = new About (&owner, false);
	auto* c = new About (&owner, false);
	owner.aboutControllers = {a, b, c};
	delete b;
	EXPECT_EQ (owner.aboutControllers, (std::vector<About*> {a, c}));
	delete a;
	EXPECT_EQ (owner.aboutControllers, (std::vector<About*> {c}));

	// one that the list does not hold leaves it as it is
	auto* stranger = new About (&owner, false);
	delete stranger;
	EXPECT_EQ (owner.aboutControllers, (std::vector<About*> {c}));
	delete c;
	EXPECT_TRUE (owner.aboutControllers.empty ());
}

TEST (AboutController, DestroyedThroughEitherBase)
{
	FakeOwner owner;
	AboutViews views;
	auto* about = new About (&owner, false);
	owner.aboutControllers.push_back (about);
	views.verify (*about);
	VSTGUI::IViewListener* asViewListener = about;
	delete asViewListener;
	EXPECT_TRUE (owner.aboutControllers.empty ());
	views.toggle ();

	auto* again = new About (&owner, false);
	owner.aboutControllers.push_back (again);
	views.verify (*again);
	VSTGUI::IController* asController = again;
	delete asController;
	EXPECT_TRUE (owner.aboutControllers.empty ());
	views.toggle ();
}

TEST (AboutController, ViewWillDeleteThroughTheListenerBase)
{
	FakeOwner owner;
	AboutViews views;
	About about (&owner, false);
	views.verify (about);
	VSTGUI::IViewListener& listener = about;
	listener.viewWillDelete (views.button);
	EXPECT_EQ (about.getOnOffButton (), nullptr);
	EXPECT_EQ (about.getTextLabel (), views.label);
	listener.viewWillDelete (views.label);
	EXPECT_EQ (about.getTextLabel (), nullptr);
	views.toggle (); // nobody listens any more
}

TEST (AboutController, WithThePlugController)
{
	auto controller = owned (new PlugController);
	AboutViews views;
	{
		auto* about = new PlugController::AboutController (controller, false);
		controller->addAboutController (about);
		views.verify (*about);
		views.toggle ();
		EXPECT_EQ (text (views.label), "2.1.0, VST3 " + expectedPlatform ());
		delete about;
	}
	EXPECT_TRUE (controller->aboutControllers.empty ());
}
