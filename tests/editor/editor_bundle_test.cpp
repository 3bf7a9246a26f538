// The built bundle's editor through the binary interface: what a host (and the user in
// the editor) can do with it, and the vst3host snapshot command.
#include "bundle_helpers.h"
#include "runprogram.h"

#include "hostlib/audiofile.h"

#include "vstgui/lib/cbitmap.h"
#include "vstgui/lib/cresourcedescription.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

using namespace Steinberg;
using namespace editortest;
using Ext = IPlugViewOffscreen;

namespace {

const int kAlt = Ext::kAlt, kShift = Ext::kShift, kLeft = Ext::kLButton;

struct Layout
{
	Layout () : views (readDescriptionViews (resourcesOf (bundlePath ()) + "/plug.uidesc")) {}
	const DescriptionView& control (const std::string& cls, const std::string& tag) const
	{
		auto v = findView (views, cls, "control-tag", tag);
		EXPECT_NE (v, nullptr) << cls << " " << tag;
		static DescriptionView none;
		return v ? *v : none;
	}
	const DescriptionView& aboutArea () const
	{
		auto v = findView (views, "CViewContainer", "sub-controller", "AboutController");
		EXPECT_NE (v, nullptr);
		static DescriptionView none;
		return v ? *v : none;
	}
	const DescriptionView* aboutChild (const std::string& cls) const
	{
		const auto& area = aboutArea ();
		for (auto& v : views)
		{
			auto c = v.attribute ("class");
			if (c && *c == cls && v.depth == area.depth + 1 && v.left >= area.left && v.top >= area.top &&
			    v.left + v.width <= area.left + area.width && v.top + v.height <= area.top + area.height)
				return &v;
		}
		return nullptr;
	}
	std::vector<DescriptionView> views;
};

std::vector<std::uint8_t> stateBytes (int32 bypass, double level, const std::vector<double>& bands)
{
	std::vector<std::uint8_t> bytes;
	auto put = [&] (const void* p, size_t n) {
		auto b = static_cast<const std::uint8_t*> (p);
		bytes.insert (bytes.end (), b, b + n);
	};
	int64 lead = 0;
	put (&lead, 8);
	put (&bypass, 4);
	put (&level, 8);
	for (double b : bands)
		put (&b, 8);
	double reserved = 0;
	for (int i = 0; i < 6; ++i)
		put (&reserved, 8);
	int32 flag = 0;
	for (int i = 0; i < 4; ++i)
		put (&flag, 4);
	return bytes;
}

} // namespace

//------------------------------------------------------------------------
TEST (BundleEditor, BuildsFromTheDescriptionAtTheTemplatesSize)
{
	Layout layout;
	auto root = findView (layout.views, "CViewContainer");
	ASSERT_FALSE (layout.views.empty ());
	ASSERT_EQ (layout.views[0].element, "template");
	ASSERT_EQ (*layout.views[0].attribute ("name"), "view");

	EditorSession session;
	ASSERT_TRUE (session.ok ()) << session.error ();
	EXPECT_EQ (session.width (), static_cast<int> (layout.views[0].width));
	EXPECT_EQ (session.height (), static_cast<int> (layout.views[0].height));
	EXPECT_EQ (session.view ()->isPlatformTypeSupported ("X11EmbedWindowID"), kResultTrue);
	EXPECT_EQ (session.view ()->isPlatformTypeSupported ("HWND"), kInvalidArgument);
	EXPECT_EQ (session.view ()->canResize (), kResultFalse);
	auto pixels = session.render ();
	ASSERT_FALSE (pixels.empty ());
	// drawn all over: no transparent pixel is left
	for (size_t i = 3; i < pixels.size (); i += 4)
		ASSERT_EQ (pixels[i], 255) << "pixel " << i / 4;
	(void)root;
}

TEST (BundleEditor, OnlyTheNameEditorGivesAView)
{
	EditorSession session;
	ASSERT_TRUE (session.ok ()) << session.error ();
	auto* controller = session.instance ().getController ();
	for (const char* name : {"Editor", "EDITOR", "editor ", ""})
		EXPECT_EQ (controller->createView (name), nullptr) << name;
	EXPECT_EQ (controller->createView (nullptr), nullptr);
	IPlugView* second = controller->createView ("editor");
	ASSERT_NE (second, nullptr);
	EXPECT_NE (second, session.view ());
	second->release ();
}

TEST (BundleEditor, BypassPressAsTheHostSeesIt)
{
	Layout layout;
	const auto& bypass = layout.control ("COnOffButton", "Bypass");
	EditorSession session;
	ASSERT_TRUE (session.ok ()) << session.error ();
	EXPECT_EQ (session.press (bypass.centerX (), bypass.centerY ()), kResultTrue);
	EXPECT_EQ (session.takeEdits (), (std::vector<std::string> {"begin 0", "perform 0 1", "end 0"}));
	EXPECT_EQ (session.value (0), 1.);
	// the host hands the edit on to the processor with its next block
	auto pending = session.instance ().getComponentHandler ().takePendingEdits ();
	ASSERT_EQ (pending.size (), 1u);
	EXPECT_EQ (pending[0].id, 0u);
	EXPECT_EQ (pending[0].value, 1.);
	session.release (bypass.centerX (), bypass.centerY ());
	EXPECT_TRUE (session.takeEdits ().empty ());

	// and back off
	session.click (bypass.centerX (), bypass.centerY ());
	EXPECT_EQ (session.takeEdits (), (std::vector<std::string> {"begin 0", "perform 0 0", "end 0"}));
	EXPECT_EQ (session.value (0), 0.);
}

TEST (BundleEditor, AboutLineIsEmptyThenExactlyTheLineThenEmptyAgain)
{
	Layout layout;
	const auto& area = layout.aboutArea ();
	auto label = layout.aboutChild ("CTextLabel");
	auto button = layout.aboutChild ("COnOffButton");
	ASSERT_NE (label, nullptr);
	ASSERT_NE (button, nullptr);
	// the label comes first in the area, so that it is there when the button reports
	EXPECT_LT (label - layout.views.data (), button - layout.views.data ());

	EditorSession session;
	ASSERT_TRUE (session.ok ()) << session.error ();
	const int w = session.width (), h = session.height ();
	const int l = static_cast<int> (area.left), t = static_cast<int> (area.top);
	const int aw = static_cast<int> (area.width), ah = static_cast<int> (area.height);
	const std::string line = "2.1.0, VST3 " + expectedPlatform ();
	const std::string resources = resourcesOf (bundlePath ());
	auto expectedOff = crop (drawDescription (resources, "", false, w, h), w, l, t, aw, ah);
	auto expectedOn = crop (drawDescription (resources, line, true, w, h), w, l, t, aw, ah);
	auto wrongLine = crop (drawDescription (resources, "2.1.0, VST3 x86_64-macOS", true, w, h), w, l, t, aw, ah);
	ASSERT_NE (expectedOff, expectedOn);
	ASSERT_NE (expectedOn, wrongLine); // the picture tells the lines apart

	auto off = crop (session.render (), w, l, t, aw, ah);
	EXPECT_EQ (off, expectedOff);
	session.click (button->centerX (), button->centerY ());
	auto on = crop (session.render (), w, l, t, aw, ah);
	EXPECT_EQ (on, expectedOn);
	session.click (button->centerX (), button->centerY ());
	EXPECT_EQ (crop (session.render (), w, l, t, aw, ah), expectedOff);
	// the about button is no parameter
	EXPECT_TRUE (session.takeEdits ().empty ());
}

TEST (BundleEditor, OptionClickResetsTheKnobButNotWithShift)
{
	Layout layout;
	const auto& knob = layout.control ("CKnob", "Level");
	EditorSession session;
	ASSERT_TRUE (session.ok ()) << session.error ();

	session.setValue (1, 0.2);
	EXPECT_EQ (session.press (knob.centerX (), knob.centerY (), kLeft | kAlt), kResultTrue);
	session.release (knob.centerX (), knob.centerY (), kLeft | kAlt);
	EXPECT_EQ (session.takeEdits (), (std::vector<std::string> {"begin 1", "perform 1 0.75", "end 1"}));
	EXPECT_EQ (session.value (1), 0.75);

	// Option and Shift: no reset; Option turns the linear knob circular, so the press at the
	// lower left (the start of the knob's travel) takes the value there
	session.setValue (1, 0.2);
	const double x = knob.centerX () - knob.width * 0.3, y = knob.centerY () + knob.height * 0.3;
	session.press (x, y, kLeft | kAlt | kShift);
	session.release (x, y, kLeft | kAlt | kShift);
	auto edits = session.takeEdits ();
	for (auto& e : edits)
		EXPECT_NE (e, "perform 1 0.75");
	EXPECT_NE (session.value (1), 0.75);
	EXPECT_LT (session.value (1), 0.2);

	// Option with the right button, or with Control: no reset either
	session.setValue (1, 0.2);
	session.press (knob.centerX (), knob.centerY (), kLeft | Ext::kRButton | kAlt);
	session.press (knob.centerX (), knob.centerY (), kLeft | kAlt | Ext::kControl);
	session.release (knob.centerX (), knob.centerY (), kLeft);
	EXPECT_NE (session.value (1), 0.75);
}

TEST (BundleEditor, OptionClickResetsASliderButNotWithShift)
{
	Layout layout;
	const auto& slider = layout.control ("CSlider", "25Hz");
	int handleWidth = 0, handleHeight = 0;
	ASSERT_TRUE (pngSize (resourcesOf (bundlePath ()) + "/" + *slider.attribute ("handle-bitmap") + ".png",
	                      handleWidth, handleHeight));
	EditorSession session;
	ASSERT_TRUE (session.ok ()) << session.error ();
	std::vector<std::string> resetEdits {"begin 2", "perform 2 0.5", "end 2"};

	session.setValue (2, 0.9);
	// the handle's centre for 0.9 (minimum at the bottom)
	const double travel = slider.height - handleHeight;
	const double y = slider.top + std::floor ((1. - 0.9) * travel) + handleHeight / 2.;
	auto edits = std::vector<std::string> ();
	session.press (slider.centerX (), y, kLeft | kAlt | kShift);
	session.release (slider.centerX (), y, kLeft | kAlt | kShift);
	for (auto& e : session.takeEdits ())
		EXPECT_NE (e, "perform 2 0.5");
	EXPECT_NEAR (session.value (2), 0.9, 1e-6);

	session.press (slider.centerX (), y, kLeft | kAlt);
	session.release (slider.centerX (), y, kLeft | kAlt);
	EXPECT_EQ (session.takeEdits (), resetEdits);
	EXPECT_EQ (session.value (2), 0.5);
}

TEST (BundleEditor, LoadedStateAndAutomationReachTheControls)
{
	EditorSession session;
	ASSERT_TRUE (session.ok ()) << session.error ();
	auto before = session.render ();

	std::vector<double> bands (15, 0.5);
	bands[0] = 1.0;
	bands[7] = 0.25;
	bands[14] = 0.0;
	auto state = stateBytes (1, 0.3, bands);
	ASSERT_EQ (session.instance ().loadState (state), kResultOk);
	auto after = session.render ();
	EXPECT_NE (before, after);
	EXPECT_TRUE (session.takeEdits ().empty ()); // a loaded state is not an edit

	// an editor that opens with these values draws the same picture
	EditorSession reference (state);
	ASSERT_TRUE (reference.ok ()) << reference.error ();
	EXPECT_EQ (reference.render (), after);

	// automation: the host sets a value on the controller
	session.setValue (5, 0.75);
	reference.setValue (5, 0.75);
	auto automated = session.render ();
	EXPECT_NE (automated, after);
	EXPECT_EQ (automated, reference.render ());
}

TEST (BundleEditor, WheelEditEndsWhenTheTimerRuns)
{
	Layout layout;
	const auto& knob = layout.control ("CKnob", "Level");
	EditorSession session;
	ASSERT_TRUE (session.ok ()) << session.error ();
	EXPECT_EQ (session.extension ()->onWheelEvent (knob.centerX (), knob.centerY (), 1.f, Ext::kWheelAxisY, 0),
	           kResultTrue);
	auto edits = session.takeEdits ();
	ASSERT_EQ (edits.size (), 2u);
	EXPECT_EQ (edits[0], "begin 1");
	EXPECT_EQ (edits[1].compare (0, 10, "perform 1 "), 0);
	EXPECT_EQ (session.extension ()->advanceTime (400), kResultTrue);
	EXPECT_TRUE (session.takeEdits ().empty ());
	EXPECT_EQ (session.extension ()->advanceTime (200), kResultTrue);
	EXPECT_EQ (session.takeEdits (), (std::vector<std::string> {"end 1"}));
}

TEST (BundleEditor, KeysReachTheFocusedButton)
{
	Layout layout;
	const auto& bypass = layout.control ("COnOffButton", "Bypass");
	EditorSession session;
	ASSERT_TRUE (session.ok ()) << session.error ();
	session.click (bypass.centerX (), bypass.centerY ());
	session.takeEdits ();
	const int16 kKeySpace = 7;
	EXPECT_EQ (session.view ()->onKeyDown (' ', kKeySpace, 0), kResultTrue);
	EXPECT_EQ (session.takeEdits (), (std::vector<std::string> {"begin 0", "perform 0 0", "end 0"}));
	EXPECT_EQ (session.view ()->onKeyUp (' ', kKeySpace, 0), kResultFalse);
}

TEST (BundleEditor, AttachingToAWindowWithoutTheWindowLayerFailsCleanly)
{
	auto module = [] {
		std::string error;
		return vsthost::Module::load (bundlePath (), error);
	}();
	ASSERT_TRUE (module);
	std::string error;
	auto instance = vsthost::PluginInstance::createFirstAudioEffect (*module, error);
	ASSERT_TRUE (instance) << error;
	IPtr<IPlugView> view = owned (instance->getController ()->createView ("editor"));
	ASSERT_TRUE (view);
	StderrCapture quiet;
	EXPECT_EQ (view->attached (reinterpret_cast<void*> (0x2a), kPlatformTypeX11EmbedWindowID), kResultFalse);
	EXPECT_EQ (view->removed (), kResultFalse);
}

//------------------------------------------------------------------------
TEST (BundleEditor, BrokenOrMissingDescriptionGivesNoEditorAndNoCrash)
{
	TempDir temp;
	const std::string copy = temp.file ("vd Palvis.vst3");
	ASSERT_TRUE (copyFolder (bundlePath (), copy));
	const std::string description = resourcesOf (copy) + "/plug.uidesc";

	// broken descriptions, then none at all (nullptr: the file is removed)
	for (const char* text : {"<vstgui-ui-description version=\"1\"><template name=\"view\" size=\"10, 10\"",
	                         "<vstgui-ui-description version=\"1\"><template name=\"other\" size=\"10, 10\"/>"
	                         "</vstgui-ui-description>",
	                         "not xml at all", "", static_cast<const char*> (nullptr)})
	{
		const std::string label = text ? text : "(no description)";
		if (text)
			std::ofstream (description, std::ios::trunc) << text;
		else
			std::remove (description.c_str ());
		std::string error;
		auto module = vsthost::Module::load (copy, error);
		ASSERT_TRUE (module) << error;
		auto instance = vsthost::PluginInstance::createFirstAudioEffect (*module, error);
		ASSERT_TRUE (instance) << error;
		StderrCapture capture;
		IPlugView* view = instance->getController ()->createView ("editor");
		std::string message = capture.text ();
		EXPECT_EQ (view, nullptr) << label;
		EXPECT_NE (message.find ("plug.uidesc"), std::string::npos) << message;
		// the rest of the plug-in goes on working
		EXPECT_EQ (instance->getParameterInfos ().size (), 17u) << label;
		if (view)
			view->release ();
	}
}

//------------------------------------------------------------------------
namespace {

using PalvisTest::RunResult;

RunResult runTool (const std::vector<std::string>& args)
{
	// In sanitizer builds: fontconfig's process-lifetime caches are not the plug-in's leaks.
	TempDir temp;
	const std::string suppressions = temp.write ("lsan.supp", "leak:libfontconfig.so\n");
	return PalvisTest::runProgram (VST3HOST_PATH, args, {"LSAN_OPTIONS=suppressions=" + suppressions});
}

std::string point (double x, double y)
{
	return std::to_string (static_cast<int> (std::lround (x))) + " " + std::to_string (static_cast<int> (std::lround (y)));
}

} // namespace

TEST (BundleSnapshotTool, ReplaysEventsPrintsEditsAndWritesThePicture)
{
	Layout layout;
	const auto& bypass = layout.control ("COnOffButton", "Bypass");
	const auto& knob = layout.control ("CKnob", "Level");
	auto aboutButton = layout.aboutChild ("COnOffButton");
	ASSERT_NE (aboutButton, nullptr);
	TempDir temp;
	const std::string png = temp.file ("editor.png"), early = temp.file ("early.png");
	const std::string events = temp.file ("events.txt");
	std::ofstream (events) << "# the about line and the level reset\n"
	                       << "click " << point (aboutButton->centerX (), aboutButton->centerY ()) << "\n"
	                       << "snapshot " << early << "\n"
	                       << "press " << point (knob.centerX (), knob.centerY ()) << " alt\n"
	                       << "release " << point (knob.centerX (), knob.centerY ()) << "\n"
	                       << "wait 100\n";
	auto run = runTool ({"snapshot", bundlePath (), png, "--event",
	                     "click " + point (bypass.centerX (), bypass.centerY ()), "--events", events, "Level=0.25",
	                     "25Hz=dB:6"});
	ASSERT_EQ (run.exitCode, 0) << run.err;
	EXPECT_NE (run.out.find ("editor: "), std::string::npos);
	EXPECT_NE (run.out.find ("  beginEdit 0\n  performEdit 0 1\n  endEdit 0\n"), std::string::npos) << run.out;
	EXPECT_NE (run.out.find ("  beginEdit 1\n  performEdit 1 0.75\n  endEdit 1\n"), std::string::npos) << run.out;
	EXPECT_NE (run.out.find ("param 0 \"Bypass\" 1 \"On\""), std::string::npos) << run.out;
	EXPECT_NE (run.out.find ("param 1 \"Level\" 0.75 \"0.00 dB\""), std::string::npos) << run.out;
	EXPECT_NE (run.out.find ("param 2 \"25Hz\" 0.75 \"6.00 dB\""), std::string::npos) << run.out;

	// the pictures are the editor as this process draws it after the same input
	EditorSession session;
	ASSERT_TRUE (session.ok ());
	session.setValue (1, 0.25);
	session.setValue (2, 0.75);
	session.click (bypass.centerX (), bypass.centerY ());
	session.click (std::lround (aboutButton->centerX ()), std::lround (aboutButton->centerY ()));
	auto earlyPixels = session.render ();
	session.press (std::lround (knob.centerX ()), std::lround (knob.centerY ()), kLeft | kAlt);
	session.release (std::lround (knob.centerX ()), std::lround (knob.centerY ()), kLeft | kAlt);
	session.extension ()->advanceTime (100);
	auto finalPixels = session.render ();
	for (auto& [path, pixels] : {std::make_pair (early, &earlyPixels), std::make_pair (png, &finalPixels)})
	{
		int w = 0, h = 0;
		ASSERT_TRUE (pngSize (path, w, h)) << path;
		EXPECT_EQ (w, session.width ());
		EXPECT_EQ (h, session.height ());
		// decoded by the GUI library's own PNG reader
		auto bitmap = VSTGUI::makeOwned<VSTGUI::CBitmap> (VSTGUI::CResourceDescription (path));
		ASSERT_TRUE (bitmap->isLoaded ()) << path;
		size_t mismatches = 0;
		for (int y = 0; y < h; ++y)
		{
			for (int x = 0; x < w; ++x)
			{
				auto c = bitmap->getPixel (x, y);
				const auto* p = &(*pixels)[(static_cast<size_t> (y) * w + x) * 4];
				mismatches += c.red != p[0] || c.green != p[1] || c.blue != p[2] || c.alpha != p[3];
			}
		}
		EXPECT_EQ (mismatches, 0u) << path;
	}
}

TEST (BundleSnapshotTool, BadEventsAndUsage)
{
	TempDir temp;
	auto png = temp.file ("x.png");
	// An --event that is no event is bad usage of the command line
	auto run = runTool ({"snapshot", bundlePath (), png, "--event", "jump 1 2"});
	EXPECT_EQ (run.exitCode, 2);
	EXPECT_NE (run.err.find ("unknown event 'jump'"), std::string::npos) << run.err;
	run = runTool ({"snapshot", bundlePath (), png, "--event", "press 1 2 hyper"});
	EXPECT_EQ (run.exitCode, 2);
	EXPECT_NE (run.err.find ("hyper"), std::string::npos) << run.err;
	run = runTool ({"snapshot", bundlePath (), png, "--event", "press 1"});
	EXPECT_EQ (run.exitCode, 2);
	run = runTool ({"snapshot", bundlePath (), png, "--event", "wait -5"});
	EXPECT_EQ (run.exitCode, 2);
	run = runTool ({"snapshot", bundlePath ()});
	EXPECT_EQ (run.exitCode, 2);
	// ... while a file that cannot be read, or a bad line in it, is a failure, found
	// before the editor opens (nothing is written)
	run = runTool ({"snapshot", bundlePath (), png, "--events", temp.file ("missing.txt")});
	EXPECT_EQ (run.exitCode, 1);
	EXPECT_NE (run.err.find ("cannot read '" + temp.file ("missing.txt") + "'"), std::string::npos) << run.err;
	run = runTool ({"snapshot", bundlePath (), png, "--events", temp.path ()});
	EXPECT_EQ (run.exitCode, 1);
	EXPECT_NE (run.err.find ("it is a folder, not a file"), std::string::npos) << run.err;
	EXPECT_EQ (run.out, "");
	const std::string bad = temp.write ("bad.txt", "# fine so far\nclick 10 10\nwheel 10 10 up\n");
	run = runTool ({"snapshot", bundlePath (), png, "--events", bad});
	EXPECT_EQ (run.exitCode, 1);
	EXPECT_NE (run.err.find (bad + ":3: 'wheel 10 10 up': STEPS must be"), std::string::npos) << run.err;
	EXPECT_EQ (run.out, "");
	run = runTool ({"snapshot", temp.file ("none.vst3"), png});
	EXPECT_EQ (run.exitCode, 1);
	// what the host does in an event can fail too: an unknown parameter, a state file that is missing
	run = runTool ({"snapshot", bundlePath (), png, "--event", "set Volume=1"});
	EXPECT_EQ (run.exitCode, 1);
	EXPECT_NE (run.err.find ("no parameter with ID or title 'Volume'"), std::string::npos) << run.err;
	run = runTool ({"snapshot", bundlePath (), png, "--event", "state " + temp.file ("none.bin")});
	EXPECT_EQ (run.exitCode, 1);
	std::ifstream written (png);
	EXPECT_FALSE (written.good ());
	run = runTool ({"help", "snapshot"});
	EXPECT_EQ (run.exitCode, 0);
	EXPECT_NE (run.out.find ("wait MS"), std::string::npos);
}

// Every event of the grammar edit shares, carried out offscreen.
TEST (BundleSnapshotTool, TheSharedEventGrammar)
{
	Layout layout;
	const auto& knob = layout.control ("CKnob", "Level");
	const auto& slider = layout.control ("CSlider", "1kHz");
	const auto& bypass = layout.control ("COnOffButton", "Bypass");
	TempDir temp;
	std::vector<std::uint8_t> state = stateBytes (1, 0.5, std::vector<double> (15, 0.5));
	std::ofstream (temp.file ("state.bin"), std::ios::binary)
	    .write (reinterpret_cast<const char*> (state.data ()), static_cast<std::streamsize> (state.size ()));
	const std::string k = point (knob.centerX (), knob.centerY ());
	const std::string events = temp.write ("events.txt", "  # Option-click resets the level knob, as in edit\n"
	                                                     "click " + k + " alt\n"
	                                                     "\n"
	                                                     "press " + point (slider.centerX (), slider.centerY ()) + "\n"
	                                                     "cancel\n"
	                                                     "set 1kHz=dB:6\n"
	                                                     "wheel " + point (slider.centerX (), slider.centerY ()) + " -2\n"
	                                                     "wait 600\n"
	                                                     "move " + point (bypass.centerX (), bypass.centerY ()) + "\n"
	                                                     "press shift\n"
	                                                     "release\n"
	                                                     "key space\n"
	                                                     "screenshot " + temp.file ("with space.png") + "\n"
	                                                     "state " + temp.file ("state.bin") + "\n"
	                                                     "close\n"
	                                                     "set Level=0\n"
	                                                     "wait 10\n");
	auto run = runTool ({"snapshot", bundlePath (), temp.file ("out.png"), "--events", events, "Level=0.1"});
	ASSERT_EQ (run.exitCode, 0) << run.err;
	const std::string& out = run.out;
	EXPECT_NE (out.find ("> click " + k + " alt: handled, release not handled\n  beginEdit 1\n  performEdit 1 0.75\n"
	                     "  endEdit 1\n"),
	           std::string::npos)
	    << out;
	EXPECT_NE (out.find ("> cancel: handled\n  endEdit 10\n"), std::string::npos) << out;
	EXPECT_NE (out.find ("> set 1kHz=dB:6: 1kHz 6.00 dB\n"), std::string::npos) << out;
	// two notches down from +6 dB, the edit ending when the wheel has rested for 500 ms
	EXPECT_NE (out.find (" -2: handled\n  beginEdit 10\n  performEdit 10 0.550000011920929\n> wait 600: handled\n"
	                     "  endEdit 10\n"),
	           std::string::npos)
	    << out;
	// a press without a point happens where the pointer is (the bypass button switches on
	// the press); the space key switches it back
	EXPECT_NE (out.find ("> press shift: handled\n  beginEdit 0\n  performEdit 0 1\n  endEdit 0\n> release: not handled\n"
	                     "> key space: handled, up not handled\n  beginEdit 0\n  performEdit 0 0\n  endEdit 0\n"),
	           std::string::npos)
	    << out;
	EXPECT_NE (out.find ("> screenshot " + temp.file ("with space.png") + ": wrote"), std::string::npos) << out;
	int w = 0, h = 0;
	EXPECT_TRUE (pngSize (temp.file ("with space.png"), w, h));
	EXPECT_NE (out.find ("> state " + temp.file ("state.bin") + ": kResultOk\n"), std::string::npos) << out;
	EXPECT_NE (out.find ("> close: the session ends\n"), std::string::npos) << out;
	// the lines after close do not run, and the tool says so
	EXPECT_EQ (out.find ("> set Level=0"), std::string::npos) << out;
	EXPECT_NE (run.err.find ("warning: the session was closed; 2 event line(s) did not run, from 'set Level=0' on"),
	           std::string::npos)
	    << run.err;
	// the state loaded last holds
	EXPECT_NE (out.find ("param 0 \"Bypass\" 1 \"On\""), std::string::npos) << out;
	EXPECT_NE (out.find ("param 1 \"Level\" 0.5 \"-12.00 dB\""), std::string::npos) << out;
	EXPECT_NE (out.find ("param 10 \"1kHz\" 0.5 \"0.00 dB\""), std::string::npos) << out;
}

// Simulated time jumps from timer to timer: the longest wait is over at once, and the
// timers due in it still run, in order.
TEST (BundleSnapshotTool, TheLongestWaitEndsAtOnce)
{
	Layout layout;
	const auto& knob = layout.control ("CKnob", "Level");
	TempDir temp;
	const std::string wheel = "wheel " + point (knob.centerX (), knob.centerY ()) + " 1";
	// A watchdog, not a measurement: the wait used to take minutes of full CPU.
	auto run = PalvisTest::runProgram (
	    "/usr/bin/timeout",
	    {"-s", "KILL", "120", VST3HOST_PATH, "snapshot", bundlePath (), temp.file ("w.png"), "--event", wheel,
	     "--event", "wait 4294967295", "--event", "wait 4294967295", "--event", wheel, "--event", "wait 499",
	     "--event", "wait 1"},
	    {"LSAN_OPTIONS=suppressions=" + temp.write ("lsan.supp", "leak:libfontconfig.so\n")});
	ASSERT_EQ (run.exitCode, 0) << run.err;
	EXPECT_NE (run.out.find (wheel + ": handled\n  beginEdit 1\n  performEdit 1 0.8500000238418579\n> wait 4294967295: "
	                                 "handled\n  endEdit 1\n> wait 4294967295: handled\n> " +
	                         wheel + ": handled\n  beginEdit 1\n  performEdit 1 0.9500000476837158\n> wait 499: "
	                                 "handled\n> wait 1: handled\n  endEdit 1\n"),
	           std::string::npos)
	    << run.out;
}
