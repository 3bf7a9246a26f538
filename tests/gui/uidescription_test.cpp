// UI attributes, the view factory and its creators, and the UI-description reader.
#include "guitesthelpers.h"
#include "vstgui/uidescription/uidescription.h"
#include "vstgui/uidescription/uiattributes.h"
#include "vstgui/uidescription/uiviewfactory.h"
#include "vstgui/uidescription/uiviewcreator.h"
#include "vstgui/uidescription/icontroller.h"
#include "vstgui/lib/cviewcontainer.h"
#include "vstgui/lib/iviewlistener.h"
#include "vstgui/lib/controls/cknob.h"
#include "vstgui/lib/controls/cswitch.h"
#include "vstgui/lib/controls/cbuttons.h"
#include "vstgui/lib/controls/ctextlabel.h"
#include <gtest/gtest.h>
#include <clocale>
#include <cstdio>
#include <random>
#include <unistd.h>

using namespace VSTGUI;
using namespace GuiTest;

//------------------------------------------------------------------------
// UIAttributes
//------------------------------------------------------------------------
TEST (GuiAttributes, NumbersHaveSixSignificantDigits)
{
	EXPECT_EQ (UIAttributes::doubleToString (10.), "10");
	EXPECT_EQ (UIAttributes::doubleToString (1. / 3.), "0.333333");
	EXPECT_EQ (UIAttributes::doubleToString (-2.5), "-2.5");
	EXPECT_EQ (UIAttributes::doubleToString (1234567.), "1.23457e+06");
	EXPECT_EQ (UIAttributes::pointToString (CPoint (3, 0)), "3, 0");
	EXPECT_EQ (UIAttributes::rectToString (CRect (1, 2, 3.5, 4)), "1, 2, 3.5, 4");

	UIAttributes a;
	a.setDoubleAttribute ("zoom-factor", 0.1f);
	EXPECT_EQ (*a.getAttributeValue ("zoom-factor"), "0.1");
	a.setPointAttribute ("origin", CPoint (12.25, -3));
	EXPECT_EQ (*a.getAttributeValue ("origin"), "12.25, -3");
}

TEST (GuiAttributes, FormattingIgnoresTheProcessLocale)
{
	const char* old = std::setlocale (LC_ALL, nullptr);
	std::string saved = old ? old : "C";
	std::locale savedGlobal;
	bool switched = false;
	for (auto name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"})
	{
		if (std::setlocale (LC_ALL, name))
		{
			try
			{
				std::locale::global (std::locale (name));
				switched = true;
			}
			catch (...)
			{
			}
			break;
		}
	}
	EXPECT_EQ (UIAttributes::doubleToString (0.5), "0.5");
	double d = 0;
	EXPECT_TRUE (UIAttributes::stringToDouble ("1.5", d));
	EXPECT_EQ (d, 1.5);
	EXPECT_EQ (UIAttributes::doubleToString (1234.5), "1234.5");
	std::setlocale (LC_ALL, saved.c_str ());
	std::locale::global (savedGlobal);
	if (!switched)
		GTEST_LOG_ (INFO) << "no decimal-comma locale installed; checked in the C locale only";
}

TEST (GuiAttributes, TypedReadsAreStrict)
{
	UIAttributes a;
	a.setAttribute ("p", "3, 4");
	a.setAttribute ("p-tight", "3,4");
	a.setAttribute ("p-bad", "3, x");
	a.setAttribute ("p-three", "1, 2, 3");
	a.setAttribute ("n", " 2.5 ");
	a.setAttribute ("n-bad", "2.5dB");
	a.setAttribute ("n-empty", "");
	a.setAttribute ("b", "true");
	a.setAttribute ("b-caps", "True");
	a.setAttribute ("i", "-17");
	a.setAttribute ("i-big", "99999999999");
	a.setAttribute ("r", "0, 0, 10, 20");
	a.setAttribute ("list", "a, b,c");

	CPoint p;
	EXPECT_TRUE (a.getPointAttribute ("p", p));
	EXPECT_EQ (p, CPoint (3, 4));
	EXPECT_TRUE (a.getPointAttribute ("p-tight", p));
	EXPECT_FALSE (a.getPointAttribute ("p-bad", p));
	EXPECT_FALSE (a.getPointAttribute ("p-three", p));
	EXPECT_FALSE (a.getPointAttribute ("absent", p));
	double d = -1;
	EXPECT_TRUE (a.getDoubleAttribute ("n", d));
	EXPECT_EQ (d, 2.5);
	EXPECT_FALSE (a.getDoubleAttribute ("n-bad", d));
	EXPECT_FALSE (a.getDoubleAttribute ("n-empty", d));
	EXPECT_EQ (d, 2.5);
	bool b = false;
	EXPECT_TRUE (a.getBooleanAttribute ("b", b));
	EXPECT_TRUE (b);
	EXPECT_FALSE (a.getBooleanAttribute ("b-caps", b));
	int32_t i = 0;
	EXPECT_TRUE (a.getIntegerAttribute ("i", i));
	EXPECT_EQ (i, -17);
	EXPECT_FALSE (a.getIntegerAttribute ("i-big", i));
	CRect r;
	EXPECT_TRUE (a.getRectAttribute ("r", r));
	EXPECT_EQ (r, CRect (0, 0, 10, 20));
	UIAttributes::StringArray list;
	EXPECT_TRUE (a.getStringArrayAttribute ("list", list));
	EXPECT_EQ (list, (UIAttributes::StringArray {"a", "b", "c"}));
	a.setStringArrayAttribute ("list2", {"x", "y"});
	EXPECT_EQ (*a.getAttributeValue ("list2"), "x,y");
	EXPECT_TRUE (a.hasAttribute ("b"));
	a.removeAttribute ("b");
	EXPECT_FALSE (a.hasAttribute ("b"));
	EXPECT_EQ (a.getAttributeValue ("b"), nullptr);
}

//------------------------------------------------------------------------
// the description
//------------------------------------------------------------------------
namespace {

const char* const kDescription = R"(<?xml version="1.0" encoding="UTF-8"?>
<vstgui-ui-description version="1">
  <bitmaps>
    <bitmap name="missing" path="does-not-exist.png"/>
  </bitmaps>
  <fonts>
    <font name="big" font-name="DejaVu Sans" size="18" bold="true"/>
  </fonts>
  <colors>
    <color name="panel" rgba="#203040ff"/>
    <color name="text" rgb="#ff8000"/>
    <color name="split" red="1" green="2" blue="3" alpha="4"/>
    <color name="broken" rgba="#zz"/>
  </colors>
  <control-tags>
    <control-tag name="Level" tag="1"/>
    <control-tag name="25Hz" tag="2"/>
    <control-tag name="Code" tag="'abcd'"/>
    <control-tag name="Bad" tag="x1"/>
  </control-tags>
  <variables>
    <var name="gain" type="number" value="-12.5"/>
  </variables>
  <gradients>
    <gradient name="g"><color-stop rgba="#000000ff" start="0"/></gradient>
  </gradients>
  <custom><attributes name="editor" grid="5"/></custom>
  <template name="view" class="CViewContainer" origin="0, 0" size="400, 300" background-color="panel">
    <view class="CKnob" origin="10, 20" size="60, 60" control-tag="Level" default-value="0.75" angle-start="90" angle-range="180" corona-drawing="true" corona-color="text"/>
    <view class="CUnknownThing" origin="0, 0" size="10, 10">
      <view class="CKnob" origin="0, 0" size="10, 10"/>
    </view>
    <view class="CViewContainer" origin="100, 10" size="200, 100" background-color="#11223344" background-color-draw-style="stroked">
      <view class="CVerticalSwitch" origin="5, 5" size="20, 60" control-tag="25Hz" sub-pixmaps="3" min-value="0" max-value="2"/>
      <view class="CTextLabel" origin="30, 5" size="100, 20" title="a\nb" font="big" font-color="split" text-alignment="left" truncate-mode="tail"/>
      <view class="COnOffButton" origin="30, 40" size="20, 20" control-tag="7"/>
      <view class="CParamDisplay" origin="60, 40" size="60, 20" control-tag="Code" value-precision="1" style-no-frame="true"/>
    </view>
    <view template="about" origin="300, 200"/>
  </template>
  <template name="about" class="CViewContainer" size="90, 60" sub-controller="AboutController">
    <view class="CTextLabel" origin="0, 0" size="90, 20"/>
    <view class="COnOffButton" origin="0, 30" size="20, 20"/>
  </template>
  <template name="loop" class="CViewContainer" size="10, 10">
    <view template="loop"/>
  </template>
</vstgui-ui-description>
)";

SharedPointer<UIDescription> parsed (const std::string& text)
{
	auto desc = makeOwned<UIDescription> (CResourceDescription ("memory.uidesc"));
	desc->parseFromMemory (text.data (), text.size ());
	return desc;
}

/** A controller that records what the reader asks and hands out sub-controllers. */
struct TestController : IController
{
	std::vector<std::string> verified;
	std::vector<std::string> subRequests;
	std::vector<std::string> listenerRequests;
	int* subAlive {nullptr};
	IController* lastSub {nullptr};

	struct Sub : IController, ViewListenerAdapter
	{
		int* alive;
		std::vector<std::string> verified;
		std::vector<CView*> seen;
		explicit Sub (int* alive) : alive (alive) { ++*alive; }
		~Sub () noexcept override
		{
			--*alive;
			// The views below still exist while their controller goes.
			for (auto v : seen)
				v->unregisterViewListener (this);
		}
		void valueChanged (CControl*) override {}
		CView* verifyView (CView* view, const UIAttributes& a, const IUIDescription*) override
		{
			auto cls = a.getAttributeValue ("class");
			verified.push_back (cls ? *cls : "?");
			seen.push_back (view);
			view->registerViewListener (this);
			return view;
		}
		void viewWillDelete (CView* v) override
		{
			v->unregisterViewListener (this);
			seen.erase (std::remove (seen.begin (), seen.end (), v), seen.end ());
		}
	};

	void valueChanged (CControl*) override {}
	IControlListener* getControlListener (UTF8StringPtr name) override
	{
		listenerRequests.push_back (name);
		return this;
	}
	CView* verifyView (CView* view, const UIAttributes& a, const IUIDescription*) override
	{
		auto cls = a.getAttributeValue ("class");
		verified.push_back (cls ? *cls : "?");
		return view;
	}
	IController* createSubController (UTF8StringPtr name, const IUIDescription*) override
	{
		subRequests.push_back (name ? name : "");
		if (!subAlive || std::string (name) != "AboutController")
			return nullptr;
		return lastSub = new Sub (subAlive);
	}
};

} // anonymous

TEST (GuiDescription, ReadsSectionsAndBuildsNestedViews)
{
	auto desc = parsed (kDescription);
	ASSERT_TRUE (desc->isParsed ()) << desc->getLastError ();
	EXPECT_TRUE (desc->getLastError ().empty ());

	CColor c;
	EXPECT_TRUE (desc->getColor ("panel", c));
	EXPECT_EQ (c, CColor (0x20, 0x30, 0x40, 0xff));
	EXPECT_TRUE (desc->getColor ("text", c));
	EXPECT_EQ (c, CColor (0xff, 0x80, 0x00, 0xff));
	EXPECT_TRUE (desc->getColor ("split", c));
	EXPECT_EQ (c, CColor (1, 2, 3, 4));
	EXPECT_FALSE (desc->getColor ("broken", c));
	EXPECT_TRUE (desc->getColor ("~ WhiteCColor", c));
	EXPECT_EQ (c, kWhiteCColor);
	EXPECT_STREQ (desc->lookupColorName (CColor (1, 2, 3, 4)), "split");
	EXPECT_EQ (desc->getTagForName ("Level"), 1);
	EXPECT_EQ (desc->getTagForName ("Code"), 0x61626364);
	EXPECT_EQ (desc->getTagForName ("Bad"), -1);
	EXPECT_EQ (desc->getTagForName ("nothing"), -1);
	EXPECT_STREQ (desc->lookupControlTagName (2), "25Hz");
	ASSERT_NE (desc->getFont ("big"), nullptr);
	EXPECT_EQ (desc->getFont ("big")->getSize (), 18);
	EXPECT_EQ (desc->getFont ("big")->getStyle (), kBoldFace);
	EXPECT_EQ (desc->getFont ("~ NormalFont"), kNormalFont);
	EXPECT_EQ (desc->getBitmap ("missing"), nullptr); // unreadable files give no bitmap
	double gain = 0;
	EXPECT_TRUE (desc->getVariable ("gain", gain));
	EXPECT_EQ (gain, -12.5);
	std::list<const std::string*> names;
	desc->collectTemplateViewNames (names);
	EXPECT_EQ (names.size (), 3u);
	CPoint size;
	ASSERT_NE (desc->getViewAttributes ("view"), nullptr);
	EXPECT_TRUE (desc->getViewAttributes ("view")->getPointAttribute ("size", size));
	EXPECT_EQ (size, CPoint (400, 300));

	TestController controller;
	auto root = owned (desc->createView ("view", &controller));
	ASSERT_TRUE (root) << desc->getLastError ();
	auto container = root->asViewContainer ();
	ASSERT_NE (container, nullptr);
	EXPECT_EQ (root->getViewSize (), CRect (0, 0, 400, 300));
	EXPECT_EQ (container->getBackgroundColor (), CColor (0x20, 0x30, 0x40, 0xff));
	// knob, inner container, about view: the unknown class (and what it holds) is skipped
	ASSERT_EQ (container->getNbViews (), 3u);

	auto knob = dynamic_cast<CKnob*> (container->getView (0));
	ASSERT_NE (knob, nullptr);
	EXPECT_EQ (knob->getViewSize (), CRect (10, 20, 70, 80));
	EXPECT_EQ (knob->getMouseableArea (), CRect (10, 20, 70, 80));
	EXPECT_EQ (knob->getTag (), 1);
	EXPECT_EQ (knob->getListener (), &controller);
	EXPECT_FLOAT_EQ (knob->getDefaultValue (), 0.75f);
	EXPECT_NEAR (knob->getStartAngle (), M_PI / 2., 1e-6);
	EXPECT_NEAR (knob->getRangeAngle (), M_PI, 1e-6);
	EXPECT_TRUE (knob->getDrawStyle () & CKnob::kCoronaDrawing);
	EXPECT_EQ (knob->getCoronaColor (), CColor (0xff, 0x80, 0, 0xff));

	auto inner = container->getView (1)->asViewContainer ();
	ASSERT_NE (inner, nullptr);
	EXPECT_EQ (inner->getBackgroundColor (), CColor (0x11, 0x22, 0x33, 0x44));
	EXPECT_EQ (inner->getBackgroundColorDrawStyle (), kDrawStroked);
	ASSERT_EQ (inner->getNbViews (), 4u);
	auto sw = dynamic_cast<CVerticalSwitch*> (inner->getView (0));
	ASSERT_NE (sw, nullptr);
	EXPECT_EQ (sw->getTag (), 2);
	EXPECT_EQ (sw->getNumSubPixmaps (), 3);
	EXPECT_EQ (sw->getMax (), 2.f);
	auto label = dynamic_cast<CTextLabel*> (inner->getView (1));
	ASSERT_NE (label, nullptr);
	EXPECT_EQ (label->getText (), "a\nb");
	EXPECT_EQ (label->getFont ()->getSize (), 18);
	EXPECT_EQ (label->getFontColor (), CColor (1, 2, 3, 4));
	EXPECT_EQ (label->getHoriAlign (), kLeftText);
	EXPECT_EQ (label->getTextTruncateMode (), CTextLabel::kTruncateTail);
	EXPECT_EQ (label->getListener (), nullptr); // no control tag, no listener
	auto button = dynamic_cast<COnOffButton*> (inner->getView (2));
	ASSERT_NE (button, nullptr);
	EXPECT_EQ (button->getTag (), 7); // a literal number
	auto display = dynamic_cast<CParamDisplay*> (inner->getView (3));
	ASSERT_NE (display, nullptr);
	EXPECT_EQ (display->getTag (), 0x61626364);
	EXPECT_EQ (display->getPrecision (), 1);
	EXPECT_TRUE (display->getStyle () & kNoFrame);

	// The about view comes from its own template, placed by the referring view.
	auto about = container->getView (2)->asViewContainer ();
	ASSERT_NE (about, nullptr);
	EXPECT_EQ (about->getViewSize (), CRect (300, 200, 390, 260));
	EXPECT_EQ (about->getNbViews (), 2u);

	// Every view the controller saw, children before their container; with no
	// sub-controller given, the about area's views are the main controller's too.
	EXPECT_EQ (controller.verified,
	           (std::vector<std::string> {"CKnob", "CVerticalSwitch", "CTextLabel", "COnOffButton", "CParamDisplay",
	                                      "CViewContainer", "CTextLabel", "COnOffButton", "CViewContainer",
	                                      "CViewContainer"}));
	EXPECT_EQ (controller.subRequests, std::vector<std::string> {"AboutController"});
	EXPECT_EQ (controller.listenerRequests, (std::vector<std::string> {"Level", "25Hz", "7", "Code"}));
}

TEST (GuiDescription, SubControllerOwnsItsAreaAndGoesFirst)
{
	auto desc = parsed (kDescription);
	ASSERT_TRUE (desc->isParsed ());
	int subAlive = 0;
	TestController controller;
	controller.subAlive = &subAlive;
	auto root = owned (desc->createView ("view", &controller));
	ASSERT_TRUE (root);
	EXPECT_EQ (subAlive, 1);
	auto sub = static_cast<TestController::Sub*> (controller.lastSub);
	// The sub-controller saw its own views, the area included; the main one did not.
	EXPECT_EQ (sub->verified, (std::vector<std::string> {"CTextLabel", "COnOffButton", "CViewContainer"}));
	EXPECT_EQ (controller.verified,
	           (std::vector<std::string> {"CKnob", "CVerticalSwitch", "CTextLabel", "COnOffButton", "CParamDisplay",
	                                      "CViewContainer", "CViewContainer"}));
	auto about = root->asViewContainer ()->getView (2);
	EXPECT_EQ (about->getViewController (), sub);
	root = nullptr; // the tree goes; the sub-controller goes with it, before its views
	EXPECT_EQ (subAlive, 0);

	// Without a controller nothing is asked and nothing leaks.
	auto plain = owned (desc->createView ("view", nullptr));
	ASSERT_TRUE (plain);
	EXPECT_EQ (plain->asViewContainer ()->getView (2)->getViewController (), nullptr);
}

TEST (GuiDescription, VerifyViewMayReplaceOrDropViews)
{
	struct Replacer : IController
	{
		void valueChanged (CControl*) override {}
		CView* verifyView (CView* view, const UIAttributes& a, const IUIDescription*) override
		{
			auto cls = a.getAttributeValue ("class");
			if (cls && *cls == "CKnob")
				return nullptr; // drop knobs
			if (cls && *cls == "COnOffButton")
				return new CView (view->getViewSize ()); // replace buttons
			return view;
		}
	} controller;
	auto desc = parsed (kDescription);
	auto root = owned (desc->createView ("view", &controller));
	ASSERT_TRUE (root);
	auto container = root->asViewContainer ();
	EXPECT_EQ (container->getNbViews (), 2u);
	auto inner = container->getView (0)->asViewContainer ();
	ASSERT_NE (inner, nullptr);
	EXPECT_EQ (dynamic_cast<COnOffButton*> (inner->getView (2)), nullptr);
	EXPECT_EQ (inner->getView (2)->getViewSize (), CRect (30, 40, 50, 60));
}

TEST (GuiDescription, CustomViewsComeFromTheController)
{
	const char* text = R"(<vstgui-ui-description version="1">
	  <template name="t" class="CViewContainer" size="100, 100">
	    <view class="CView" custom-view-name="Meter" origin="5, 6" size="7, 8"/>
	  </template></vstgui-ui-description>)";
	struct Maker : IController
	{
		std::string asked;
		void valueChanged (CControl*) override {}
		CView* createView (const UIAttributes& a, const IUIDescription*) override
		{
			asked = *a.getAttributeValue ("custom-view-name");
			return new COnOffButton (CRect ());
		}
	} controller;
	auto desc = parsed (text);
	auto root = owned (desc->createView ("t", &controller));
	ASSERT_TRUE (root);
	EXPECT_EQ (controller.asked, "Meter");
	auto made = root->asViewContainer ()->getView (0);
	ASSERT_NE (dynamic_cast<COnOffButton*> (made), nullptr);
	EXPECT_EQ (made->getViewSize (), CRect (5, 6, 12, 14));
}

TEST (GuiDescription, MalformedFilesGiveAnErrorAndNoView)
{
	struct Case
	{
		const char* text;
		const char* errorPart;
	};
	const Case cases[] = {
	    {"", "XML error"},
	    {"<vstgui-ui-description version=\"1\">", "XML error"},
	    {"<vstgui-ui-description version=\"1\"><template name=\"a\"></vstgui-ui-description>", "XML error"},
	    {"<something-else/>", "root element"},
	    {"<vstgui-ui-description version=\"2\"/>", "version"},
	    {"<vstgui-ui-description version=\"1\"><views/></vstgui-ui-description>", "unknown section 'views'"},
	    {"<vstgui-ui-description version=\"1\"><template class=\"CView\"/></vstgui-ui-description>", "no name"},
	    {"<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\"><!ENTITY lol2 \"&lol;&lol;\">]>"
	     "<vstgui-ui-description version=\"1\">&lol2;</vstgui-ui-description>",
	     "entity"},
	};
	for (const auto& c : cases)
	{
		auto desc = parsed (c.text);
		EXPECT_FALSE (desc->isParsed ()) << c.text;
		EXPECT_NE (desc->getLastError ().find (c.errorPart), std::string::npos)
		    << c.text << " -> " << desc->getLastError ();
		TestController controller;
		EXPECT_EQ (desc->createView ("view", &controller), nullptr);
		EXPECT_FALSE (desc->getLastError ().empty ());
	}

	// A well-formed file without the asked-for template.
	auto desc = parsed ("<vstgui-ui-description version=\"1\"><template name=\"other\" class=\"CView\"/>"
	                    "</vstgui-ui-description>");
	ASSERT_TRUE (desc->isParsed ());
	EXPECT_EQ (desc->createView ("view", nullptr), nullptr);
	EXPECT_EQ (desc->getLastError (), "no template named 'view'");
	// A template whose class has no creator.
	desc = parsed ("<vstgui-ui-description version=\"1\"><template name=\"view\" class=\"CNope\"/>"
	               "</vstgui-ui-description>");
	EXPECT_EQ (desc->createView ("view", nullptr), nullptr);
	EXPECT_FALSE (desc->getLastError ().empty ());
	// A file that does not exist.
	auto missing = makeOwned<UIDescription> (CResourceDescription ("/nonexistent/plug.uidesc"));
	EXPECT_FALSE (missing->parse ());
	EXPECT_NE (missing->getLastError ().find ("cannot open"), std::string::npos);
}

TEST (GuiDescription, DeepNestingAndTemplateLoopsAreBounded)
{
	std::string deep = "<vstgui-ui-description version=\"1\"><template name=\"view\" class=\"CViewContainer\">";
	for (int i = 0; i < 100000; ++i)
		deep += "<view class=\"CViewContainer\">";
	auto desc = parsed (deep);
	EXPECT_FALSE (desc->isParsed ());
	EXPECT_NE (desc->getLastError ().find ("nested deeper"), std::string::npos) << desc->getLastError ();

	// Just within the limit builds.
	std::string ok = "<vstgui-ui-description version=\"1\"><template name=\"view\" class=\"CViewContainer\">";
	const int levels = UIDescription::kMaxNestingDepth - 2;
	for (int i = 0; i < levels - 1; ++i)
		ok += "<view class=\"CViewContainer\">";
	for (int i = 0; i < levels - 1; ++i)
		ok += "</view>";
	ok += "</template></vstgui-ui-description>";
	desc = parsed (ok);
	ASSERT_TRUE (desc->isParsed ()) << desc->getLastError ();
	auto root = owned (desc->createView ("view", nullptr));
	ASSERT_TRUE (root);
	int depth = 0;
	for (CView* v = root; v && v->asViewContainer () && v->asViewContainer ()->getNbViews (); ++depth)
		v = v->asViewContainer ()->getView (0);
	EXPECT_EQ (depth, levels - 1);

	// A template that includes itself stops at the first repeat.
	desc = parsed (kDescription);
	auto loop = owned (desc->createView ("loop", nullptr));
	ASSERT_TRUE (loop);
	EXPECT_EQ (loop->asViewContainer ()->getNbViews (), 0u);
}

TEST (GuiDescription, SurvivesMutatedInput)
{
	// Random damage to a valid description must never crash or leak; whatever still
	// parses must build or fail cleanly.
	std::mt19937 rng (12345);
	const std::string base = kDescription;
	int parsedCount = 0;
	for (int iteration = 0; iteration < 3000; ++iteration)
	{
		std::string text = base;
		int edits = 1 + static_cast<int> (rng () % 8);
		for (int e = 0; e < edits; ++e)
		{
			size_t pos = rng () % text.size ();
			switch (rng () % 4)
			{
				case 0: text[pos] = static_cast<char> (rng () % 256); break;
				case 1: text.erase (pos, 1 + rng () % 20); break;
				case 2: text.insert (pos, text.substr (rng () % text.size (), rng () % 40)); break;
				case 3: text.insert (pos, 1, "<>\"/='&\n"[rng () % 8]); break;
			}
			if (text.empty ())
				text = "<";
		}
		auto desc = parsed (text);
		if (!desc->isParsed ())
		{
			EXPECT_FALSE (desc->getLastError ().empty ());
			continue;
		}
		++parsedCount;
		int subAlive = 0;
		TestController controller;
		controller.subAlive = &subAlive;
		for (auto name : {"view", "about", "loop"})
		{
			auto view = owned (desc->createView (name, &controller));
			if (!view)
			{
				EXPECT_FALSE (desc->getLastError ().empty ());
			}
		}
		EXPECT_EQ (subAlive, 0);
	}
	EXPECT_GT (parsedCount, 10);
}

TEST (GuiDescription, ParsesFromTheResourceDirectory)
{
	char dir[] = "/tmp/guidescXXXXXX";
	ASSERT_TRUE (mkdtemp (dir));
	std::string file = std::string (dir) + "/plug.uidesc";
	FILE* f = std::fopen (file.c_str (), "wb");
	ASSERT_TRUE (f);
	std::fputs (kDescription, f);
	std::fclose (f);
	setResourceDirectory (dir);
	auto desc = makeOwned<UIDescription> (CResourceDescription ("plug.uidesc"));
	EXPECT_TRUE (desc->parse ()) << desc->getLastError ();
	EXPECT_STREQ (desc->getFilePath (), "plug.uidesc");
	setResourceDirectory ("");
	std::remove (file.c_str ());
	rmdir (dir);
}

//------------------------------------------------------------------------
// the factory
//------------------------------------------------------------------------
namespace {

struct OrderControl : CControl
{
	std::vector<std::string> applied;
	CRect sizeWhenOwnApplied;
	int32_t tagWhenOwnApplied {-99};
	OrderControl () : CControl (CRect ()) {}
	void draw (CDrawContext*) override {}
};

/** A creator registered from outside the library, the way a slider creator is. */
struct OrderCreator : ViewCreatorAdapter
{
	IdStringPtr getViewName () const override { return "COrderControl"; }
	IdStringPtr getBaseViewName () const override { return "CControl"; }
	CView* create (const UIAttributes&, const IUIDescription*) const override { return new OrderControl; }
	bool apply (CView* view, const UIAttributes& attributes, const IUIDescription*) const override
	{
		auto c = dynamic_cast<OrderControl*> (view);
		if (!c)
			return false;
		c->sizeWhenOwnApplied = c->getViewSize ();
		c->tagWhenOwnApplied = c->getTag ();
		if (auto v = attributes.getAttributeValue ("mode"))
			c->applied.push_back (*v);
		return true;
	}
};

struct ShadowCreator : OrderCreator
{
	CView* create (const UIAttributes&, const IUIDescription*) const override
	{
		auto c = new OrderControl;
		c->applied.push_back ("shadow");
		return c;
	}
};

} // anonymous

TEST (GuiFactory, RegisteredCreatorsApplyBaseClassesFirst)
{
	OrderCreator creator;
	EXPECT_FALSE (UIViewFactory::isRegistered ("COrderControl"));
	UIViewFactory::registerViewCreator (creator);
	ASSERT_TRUE (UIViewFactory::isRegistered ("COrderControl"));
	auto chain = UIViewFactory::getCreatorChain ("COrderControl");
	ASSERT_EQ (chain.size (), 3u);
	EXPECT_STREQ (chain.back ()->getViewName (), "CView");
	EXPECT_STREQ (creator.getDisplayName (), "COrderControl");

	const char* text = R"(<vstgui-ui-description version="1">
	  <control-tags><control-tag name="Gain" tag="12"/></control-tags>
	  <template name="t" class="CViewContainer" size="100, 100">
	    <view class="COrderControl" origin="1, 2" size="30, 40" control-tag="Gain" mode="VD free click"/>
	  </template></vstgui-ui-description>)";
	auto desc = parsed (text);
	auto root = owned (desc->createView ("t", nullptr));
	ASSERT_TRUE (root);
	auto c = dynamic_cast<OrderControl*> (root->asViewContainer ()->getView (0));
	ASSERT_NE (c, nullptr);
	EXPECT_EQ (c->sizeWhenOwnApplied, CRect (1, 2, 31, 42)); // CView's attributes came first
	EXPECT_EQ (c->tagWhenOwnApplied, 12);                  // then CControl's
	EXPECT_EQ (c->applied, std::vector<std::string> {"VD free click"});

	// A later registration under the same name shadows the first until it goes.
	ShadowCreator shadow;
	UIViewFactory::registerViewCreator (shadow);
	root = owned (desc->createView ("t", nullptr));
	c = dynamic_cast<OrderControl*> (root->asViewContainer ()->getView (0));
	ASSERT_NE (c, nullptr);
	EXPECT_EQ (c->applied.front (), "shadow");
	UIViewFactory::unregisterViewCreator (shadow);
	EXPECT_EQ (UIViewFactory::getViewCreator ("COrderControl"), &creator);

	UIViewFactory::unregisterViewCreator (creator);
	EXPECT_FALSE (UIViewFactory::isRegistered ("COrderControl"));
	root = owned (desc->createView ("t", nullptr));
	ASSERT_TRUE (root);
	EXPECT_EQ (root->asViewContainer ()->getNbViews (), 0u); // skipped, not fatal
}

TEST (GuiFactory, ChainsWithLoopsStop)
{
	struct Loop : ViewCreatorAdapter
	{
		IdStringPtr getViewName () const override { return "CLoopA"; }
		IdStringPtr getBaseViewName () const override { return "CLoopA"; }
		CView* create (const UIAttributes&, const IUIDescription*) const override { return new CView (CRect ()); }
	} loop;
	UIViewFactory::registerViewCreator (loop);
	EXPECT_EQ (UIViewFactory::getCreatorChain ("CLoopA").size (), 1u);
	UIAttributes a;
	a.setAttribute ("class", "CLoopA");
	UIViewFactory factory;
	auto view = owned (factory.createView (a, nullptr));
	EXPECT_TRUE (view);
	UIViewFactory::unregisterViewCreator (loop);
	EXPECT_EQ (UIViewFactory::getCreatorChain (nullptr).size (), 0u);
}

TEST (GuiFactory, AttributesWriteBack)
{
	UIViewFactory factory;
	auto knob = makeOwned<CKnob> (CRect (0, 10, 50, 60), nullptr, 3, nullptr, nullptr);
	std::string value;
	EXPECT_TRUE (factory.getAttributeValue (knob, "CKnob", "angle-range", value, nullptr));
	EXPECT_EQ (value, "270");
	EXPECT_TRUE (factory.getAttributeValue (knob, "CKnob", "origin", value, nullptr));
	EXPECT_EQ (value, "0, 10");
	EXPECT_TRUE (factory.getAttributeValue (knob, "CKnob", "control-tag", value, nullptr));
	EXPECT_EQ (value, "3");
	EXPECT_TRUE (factory.getAttributeValue (knob, "CKnob", "wheel-inc-value", value, nullptr));
	EXPECT_EQ (value, "0.1");
	EXPECT_FALSE (factory.getAttributeValue (knob, "CKnob", "no-such-attribute", value, nullptr));
	std::list<std::string> names;
	EXPECT_TRUE (factory.getAttributeNamesForViewClass ("CTextLabel", names));
	EXPECT_EQ (names.front (), "origin");
	EXPECT_EQ (names.back (), "truncate-mode");

	std::list<const std::string*> values;
	EXPECT_TRUE (UIViewCreator::getStandardAttributeListValues ("orientation", values));
	ASSERT_EQ (values.size (), 2u);
	EXPECT_EQ (*values.front (), "horizontal");
	EXPECT_EQ (*values.back (), "vertical");
	EXPECT_FALSE (UIViewCreator::getStandardAttributeListValues ("mode", values));

	int32_t style = 5;
	UIViewCreator::applyStyleMask (nullptr, 8, style);
	EXPECT_EQ (style, 5);
	std::string t = "true", f = "TRUE";
	UIViewCreator::applyStyleMask (&t, 8, style);
	EXPECT_EQ (style, 13);
	UIViewCreator::applyStyleMask (&f, 8, style);
	EXPECT_EQ (style, 5);
	CColor c;
	std::string hex = "#01020304";
	EXPECT_TRUE (UIViewCreator::stringToColor (&hex, c, nullptr));
	EXPECT_EQ (c, CColor (1, 2, 3, 4));
	EXPECT_FALSE (UIViewCreator::stringToColor (nullptr, c, nullptr));
	std::string out;
	UIViewCreator::colorToString (CColor (1, 2, 3, 4), out, nullptr);
	EXPECT_EQ (out, "#01020304");
}
