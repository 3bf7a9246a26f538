// The editor's controls under random input: the sequences of inputsequences.h, their byte
// form, and the run that checks the edit rules (see there).
#include "inputsequences.h"

#include "fuzzsupport.h"

#include "componenthandler.h"
#include "controller/plugcontroller.h"

#include "pluginterfaces/gui/iplugviewoffscreen.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "vstgui/lib/cframe.h"
#include "vstgui/lib/controls/ccontrol.h"
#include "vstgui/lib/platform/irunloop.h"
#include "vstgui/lib/vstkeycode.h"
#include "vstgui/plugin-bindings/vst3editor.h"

#include "gui/cslider.h"
#include "gui/sliderviewcreator.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <mutex>
#include <unistd.h>

namespace fuzz {
namespace input {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

//------------------------------------------------------------------------
// The editor under test: a slider for each of the six modes in each of five direction
// styles (horizontal, horizontal reversed, vertical, vertical reversed, and vertical
// with neither direction bit), then the knob and the switch. Rows 0 to 2 and the knob
// sit in the template's container, rows 3 and 4 and the switch in a container inside it.
//------------------------------------------------------------------------
constexpr int kModes = 6;
constexpr int kStyles = 5;
constexpr int kSliders = kModes * kStyles;
constexpr int kKnob = kSliders;
constexpr int kSwitch = kSliders + 1;
constexpr int kControls = kSliders + 2;
constexpr double kCellWidth = 70., kCellHeight = 80.;
constexpr double kNestedTop = 3 * kCellHeight;
constexpr double kWidth = 7 * kCellWidth, kHeight = kStyles * kCellHeight;
// Remove targets beyond the controls: the inner container, and everything in the frame.
constexpr int kRemoveNested = kControls;
constexpr int kRemoveAll = kControls + 1;

const char* const kModeNames[kModes] = {"touch", "relative touch", "free click", "VD free click", "ramp",
                                        "use global"};

/** A control's rectangle in frame coordinates. */
VSTGUI::CRect placeOf (int index)
{
	if (index == kKnob)
		return VSTGUI::CRect (6 * kCellWidth + 5, 10, 6 * kCellWidth + 65, 70);
	if (index == kSwitch)
		return VSTGUI::CRect (6 * kCellWidth + 5, kNestedTop + 18, 6 * kCellWidth + 57, kNestedTop + 62);
	const int mode = index % kModes, style = index / kModes;
	const double x = mode * kCellWidth, y = style * kCellHeight;
	if (style < 2)
		return VSTGUI::CRect (x + 2, y + 33, x + 68, y + 47);
	return VSTGUI::CRect (x + 21, y + 2, x + 49, y + 78);
}

/** The parameter a control is bound to: the knob the level, the switch the bypass, the
 *  sliders the fifteen bands (two sliders to a band). */
int32_t tagOf (int index)
{
	if (index == kKnob)
		return 1;
	if (index == kSwitch)
		return 0;
	return 2 + index % 15;
}

std::string viewAttributes (int index, double top)
{
	const VSTGUI::CRect r = placeOf (index);
	char text[160];
	std::snprintf (text, sizeof (text), "origin=\"%g, %g\" size=\"%g, %g\" control-tag=\"%d\"", r.left, r.top - top,
	               r.getWidth (), r.getHeight (), tagOf (index));
	return text;
}

std::string sliderView (int index, double top)
{
	const int mode = index % kModes, style = index / kModes;
	std::string view = "<view class=\"CSlider\" " + viewAttributes (index, top) + " handle-bitmap=\"handle\" mode=\"" +
	                   kModeNames[mode] + "\"";
	static const char* const direction[kStyles] = {
	    " orientation=\"horizontal\" reverse-orientation=\"false\"",
	    " orientation=\"horizontal\" reverse-orientation=\"true\"",
	    " orientation=\"vertical\" reverse-orientation=\"false\"",
	    " orientation=\"vertical\" reverse-orientation=\"true\"",
	    " orientation=\"vertical\""};
	return view + direction[style] + "/>\n";
}

std::string description ()
{
	char head[512];
	std::snprintf (head, sizeof (head),
	               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<vstgui-ui-description version=\"1\">\n"
	               "<bitmaps><bitmap name=\"handle\" path=\"%s/slider_handle.png\"/></bitmaps>\n"
	               "<template name=\"view\" class=\"CViewContainer\" origin=\"0, 0\" size=\"%g, %g\" "
	               "background-color=\"#101010ff\">\n",
	               PALVIS_RESOURCE_DIR, kWidth, kHeight);
	std::string text = head;
	for (int i = 0; i < 3 * kModes; ++i)
		text += sliderView (i, 0);
	text += "<view class=\"CKnob\" " + viewAttributes (kKnob, 0) + "/>\n";
	char nested[160];
	std::snprintf (nested, sizeof (nested),
	               "<view class=\"CViewContainer\" origin=\"0, %g\" size=\"%g, %g\" transparent=\"true\">\n",
	               kNestedTop, kWidth, kHeight - kNestedTop);
	text += nested;
	for (int i = 3 * kModes; i < kSliders; ++i)
		text += sliderView (i, kNestedTop);
	text += "<view class=\"CVerticalSwitch\" " + viewAttributes (kSwitch, kNestedTop) + "/>\n";
	text += "</view>\n</template>\n</vstgui-ui-description>\n";
	return text;
}

/** The description file, written once per process into a folder of its own. */
const std::string& descriptionPath ()
{
	static std::string path;
	static std::once_flag once;
	std::call_once (once, [] () {
		VSTGUI::registerSliderViewCreators ();
		VSTGUI::setControlModifiers ();
		char dir[] = "/tmp/palvis-input-XXXXXX";
		if (!mkdtemp (dir))
			std::abort ();
		path = std::string (dir) + "/input.uidesc";
		FILE* f = std::fopen (path.c_str (), "wb");
		if (!f)
			std::abort ();
		const std::string text = description ();
		std::fwrite (text.data (), 1, text.size (), f);
		std::fclose (f);
		static std::string folder = dir;
		std::atexit ([] () {
			std::remove ((folder + "/input.uidesc").c_str ());
			rmdir (folder.c_str ());
		});
	});
	return path;
}

//------------------------------------------------------------------------
// The numbers behind a step's raw bytes.
//------------------------------------------------------------------------
const float kWheelDistances[] = {1.f, -1.f, 0.5f, -0.5f, 3.f, -3.f, 0.f, 0.01f, -120.f, 120.f, 1e30f,
                                 std::numeric_limits<float>::quiet_NaN (), std::numeric_limits<float>::infinity ()};
const uint32_t kTimeSteps[] = {1, 8, 15, 16, 17, 32, 100, 250, 499, 500, 501, 1000};
struct KeyChoice
{
	char16 character;
	int16 code;
};
const KeyChoice kKeys[] = {{0, VSTGUI::VKEY_LEFT}, {0, VSTGUI::VKEY_UP},  {0, VSTGUI::VKEY_RIGHT},
                           {0, VSTGUI::VKEY_DOWN}, {0, VSTGUI::VKEY_ESCAPE}, {0, VSTGUI::VKEY_TAB},
                           {0, VSTGUI::VKEY_RETURN}, {u'a', 0}};
constexpr size_t kNumWheelDistances = sizeof (kWheelDistances) / sizeof (kWheelDistances[0]);
constexpr size_t kNumTimeSteps = sizeof (kTimeSteps) / sizeof (kTimeSteps[0]);
constexpr size_t kNumKeys = sizeof (kKeys) / sizeof (kKeys[0]);

// Every bit a press can carry: five buttons, four modifiers, the double click.
constexpr uint16_t kButtonBits = 0x7FE;

uint32_t timeStep (uint8_t amount)
{
	return amount < kNumTimeSteps ? kTimeSteps[amount] : amount * 8u;
}

/** The point of a mouse or wheel step: across its control, a little beyond its edges,
 *  or (target kControls) anywhere over the editor and just outside it. */
VSTGUI::CPoint pointOf (const Step& s)
{
	const double a = s.u / 255., b = s.v / 255.;
	if (s.target >= kControls)
		return VSTGUI::CPoint (a * (kWidth + 20) - 10, b * (kHeight + 20) - 10);
	const VSTGUI::CRect r = placeOf (s.target);
	return VSTGUI::CPoint (r.left + (a * 1.5 - 0.25) * r.getWidth (), r.top + (b * 1.5 - 0.25) * r.getHeight ());
}

//------------------------------------------------------------------------
// What the host and the controls report, with the rules that hold at every moment.
//------------------------------------------------------------------------
class HostRecorder : public PalvisTest::ComponentHandlerBase
{
public:
	tresult PLUGIN_API beginEdit (ParamID id) override
	{
		++open[id];
		++edits;
		return kResultOk;
	}
	tresult PLUGIN_API performEdit (ParamID id, ParamValue value) override
	{
		++values;
		FUZZ_CHECK (open[id] > 0, "the host got a value of parameter " + std::to_string (id) + " outside an edit");
		FUZZ_CHECK (value >= 0. && value <= 1., "the host got a value outside [0, 1]");
		return kResultOk;
	}
	tresult PLUGIN_API endEdit (ParamID id) override
	{
		FUZZ_CHECK (open[id] > 0, "the host got an end of edit of parameter " + std::to_string (id) +
		                              " without a begin");
		--open[id];
		return kResultOk;
	}
	bool balanced () const
	{
		for (auto& entry : open)
			if (entry.second != 0)
				return false;
		return true;
	}

	std::map<ParamID, int> open;
	size_t edits {0};
	size_t values {0};
};

class ControlRecorder : public VSTGUI::IControlListener
{
public:
	void valueChanged (VSTGUI::CControl* c) override
	{
		FUZZ_CHECK (open[c] > 0, "control " + std::to_string (c->getTag ()) + " reported a value outside an edit");
	}
	void controlBeginEdit (VSTGUI::CControl* c) override { ++open[c]; }
	void controlEndEdit (VSTGUI::CControl* c) override
	{
		FUZZ_CHECK (open[c] > 0, "control " + std::to_string (c->getTag ()) + " ended an edit it never began");
		--open[c];
	}

	bool balanced () const
	{
		for (auto& entry : open)
			if (entry.second != 0)
				return false;
		return true;
	}

	std::map<VSTGUI::CControl*, int> open;
};

/** Restores the process-wide settings a sequence changes. */
struct SettingsGuard
{
	VSTGUI::CSliderMode globalMode {VSTGUI::CSliderBase::getGlobalMode ()};
	VSTGUI::IRunLoop* runLoop {VSTGUI::hasRunLoop () ? VSTGUI::getRunLoop () : nullptr};
	~SettingsGuard ()
	{
		VSTGUI::CSliderBase::setGlobalMode (globalMode);
		VSTGUI::setRunLoop (runLoop);
	}
};

//------------------------------------------------------------------------
class Session
{
public:
	explicit Session (const Sequence& sequence)
	{
		VSTGUI::CSliderBase::setGlobalMode (static_cast<VSTGUI::CSliderMode> (sequence.globalMode % 5));
		// The loop the editor finds installed; it gets the timers started while it is closed.
		VSTGUI::setRunLoop (&hostLoop);
		controller = owned (new PlugController);
		controller->initialize (nullptr);
		controller->setKnobMode (static_cast<KnobMode> (sequence.globalMode / 5 % 3));
		controller->setComponentHandler (&host);
		editor = owned (new VSTGUI::VST3Editor (controller, "view", descriptionPath ().c_str ()));
		IPlugViewOffscreen* raw = nullptr;
		if (static_cast<IPlugView*> (editor)->queryInterface (IPlugViewOffscreen::iid,
		                                                      reinterpret_cast<void**> (&raw)) == kResultOk)
			offscreen = owned (raw);
		ready = editor->isValid () && offscreen;
		FUZZ_CHECK (ready, "the test editor cannot be made");
		if (ready)
			reopen ();
		FUZZ_CHECK (editor->isAttached (), "the test editor does not open");
	}

	~Session ()
	{
		if (ready)
			close ();
		controller->setComponentHandler (nullptr);
		editor = nullptr;
		offscreen = nullptr;
		controller->setKnobMode (knobMode);
		controller->terminate ();
	}

	void apply (const Step& s)
	{
		using M = IPlugViewOffscreen;
		if (!ready || (!editor->isAttached () && s.op != Op::Reopen))
			return; // a closed view takes nothing (checked by the editor tests)
		const VSTGUI::CPoint p = pointOf (s);
		const int32 buttons = s.buttons & kButtonBits;
		switch (s.op)
		{
			case Op::Press:
				if (offscreen->onMouseEvent (M::kMouseDown, p.x, p.y, buttons) == kResultTrue)
					++stats.pressesTaken;
				break;
			case Op::Move: offscreen->onMouseEvent (M::kMouseMoved, p.x, p.y, buttons); break;
			case Op::Release: offscreen->onMouseEvent (M::kMouseUp, p.x, p.y, buttons); break;
			case Op::Cancel: offscreen->onMouseEvent (M::kMouseCancel, 0, 0, 0); break;
			case Op::Wheel:
				offscreen->onWheelEvent (p.x, p.y, kWheelDistances[s.amount % kNumWheelDistances],
				                         (s.extra & 1) ? M::kWheelAxisY : M::kWheelAxisX, buttons);
				break;
			case Op::Key:
			{
				const KeyChoice& k = kKeys[s.amount % kNumKeys];
				editor->onKeyDown (k.character, k.code, s.extra & 0x0F);
				break;
			}
			case Op::Time:
				if (timers () > editorTimers)
					++stats.rampTicks;
				offscreen->advanceTime (timeStep (s.amount));
				break;
			case Op::FocusLoss: editor->onFocus (false); break;
			case Op::FocusGain: editor->onFocus (true); break;
			case Op::Remove: remove (s.target); break;
			case Op::Close: close (); break;
			case Op::Reopen: reopen (); break;
			case Op::Render:
			{
				uint8 pixels[8 * 8 * 4];
				offscreen->renderRGBA (pixels, 8, 8, 8 * 4);
				break;
			}
			case Op::Count: break;
		}
	}

	/** The end of a sequence: the clock drained; the rules of a still editor; the close. */
	void finish ()
	{
		if (ready && editor->isAttached ())
		{
			offscreen->advanceTime (600);
			if (!pressUnderWay ())
			{
				++stats.stillChecks;
				FUZZ_CHECK (host.balanced (), "with no press under way an edit is still open at the host");
				FUZZ_CHECK (controls.balanced (), "with no press under way a control has an edit open");
				for (auto& entry : controls.open)
					FUZZ_CHECK (!entry.first->isEditing (), "with no press under way a control is editing");
				FUZZ_CHECK (timers () == editorTimers, "with no press under way a control still has a timer (" +
				                                           std::to_string (timers ()) + " timers, the editor has " +
				                                           std::to_string (editorTimers) + ")");
			}
			close ();
		}
		stats.hostEdits = host.edits;
		stats.hostValues = host.values;
	}

	RunStats stats;

private:
	/** The timers of the editor's run loop: the editor's own and those of the controls. */
	static size_t timers ()
	{
		auto loop = dynamic_cast<VSTGUI::ManualRunLoop*> (VSTGUI::getRunLoop ());
		return loop ? loop->getNumTimers () : 0;
	}

	/** A press is under way when the frame's chain of mouse-down views ends in a control. */
	bool pressUnderWay () const
	{
		auto frame = editor->getFrame ();
		VSTGUI::CView* view = frame ? frame->getMouseDownView () : nullptr;
		while (view)
		{
			auto container = view->asViewContainer ();
			if (!container)
				return true;
			view = container->getMouseDownView ();
		}
		return false;
	}

	void reopen ()
	{
		if (editor->isAttached ())
			return;
		if (offscreen->openOffscreen () != kResultTrue)
			return;
		// Whatever the editor runs of its own; the controls have none yet.
		editorTimers = timers ();
		std::vector<VSTGUI::CControl*> list;
		editor->getFrame ()->getChildViewsOfType<VSTGUI::CControl> (list, true);
		FUZZ_CHECK (list.size () == kControls, "the test editor has " + std::to_string (list.size ()) + " controls");
		for (auto* c : list)
		{
			c->registerControlListener (&controls);
			controls.open[c] = 0;
			byIndex.push_back (c);
		}
		nested = list.empty () ? nullptr : list.back ()->getParentView ();
	}

	void close ()
	{
		if (!editor->isAttached ())
			return;
		if (pressUnderWay ())
			++stats.closesUnderWay;
		editor->removed ();
		FUZZ_CHECK (host.balanced (), "closing the editor left an edit open at the host");
		FUZZ_CHECK (controls.balanced (), "closing the editor left a control's edit open");
		FUZZ_CHECK (hostLoop.getNumTimers () == 0, "a timer outlived the closed editor");
		// The controls are gone with the frame.
		controls.open.clear ();
		byIndex.clear ();
		nested = nullptr;
	}

	void remove (uint8_t target)
	{
		auto frame = editor->getFrame ();
		if (!frame)
			return;
		const int t = target % (kRemoveAll + 1);
		if (t == kRemoveAll)
		{
			frame->removeAll ();
			return;
		}
		if (t == kRemoveNested)
		{
			// The switch's container, while it is still in the frame.
			if (nested && frame->isChild (nested, true))
				nested->getParentView ()->asViewContainer ()->removeView (nested);
			return;
		}
		// The control made for this place (the frame's order is the description's).
		if (static_cast<size_t> (t) >= byIndex.size ())
			return;
		VSTGUI::CControl* control = byIndex[describedIndex (t)];
		if (auto parent = control->getParentView ())
		{
			if (auto container = parent->asViewContainer ())
				container->removeView (control); // the editor's binding keeps it alive
		}
	}

	/** Where the control of a place stands in the description's (depth-first) order. */
	static size_t describedIndex (int place)
	{
		if (place < 3 * kModes)
			return static_cast<size_t> (place);
		if (place == kKnob)
			return 3 * kModes;
		if (place == kSwitch)
			return kControls - 1;
		return static_cast<size_t> (place + 1); // rows 3 and 4 follow the knob
	}

	KnobMode knobMode {EditController::getHostKnobMode ()};
	VSTGUI::ManualRunLoop hostLoop;
	HostRecorder host;
	ControlRecorder controls;
	std::vector<VSTGUI::CControl*> byIndex; // the controls in the description's order
	VSTGUI::CView* nested {nullptr};
	size_t editorTimers {0};
	bool ready {false};
	IPtr<PlugController> controller;
	IPtr<VSTGUI::VST3Editor> editor;
	IPtr<IPlugViewOffscreen> offscreen;
};

} // namespace

//------------------------------------------------------------------------
Sequence decode (Reader& r)
{
	Sequence seq;
	seq.globalMode = r.byte ();
	while (!r.empty () && seq.steps.size () < kMaxSteps)
	{
		Step s;
		s.op = static_cast<Op> (r.byte () % static_cast<uint8_t> (Op::Count));
		switch (s.op)
		{
			case Op::Press:
			case Op::Move:
			case Op::Release:
			case Op::Wheel:
				s.target = r.byte () % (kControls + 1);
				s.u = r.byte ();
				s.v = r.byte ();
				s.buttons = r.take<uint16_t> () & kButtonBits;
				if (s.op == Op::Wheel)
				{
					s.amount = r.byte () % kNumWheelDistances;
					s.extra = r.byte () & 1;
				}
				break;
			case Op::Key:
				s.amount = r.byte () % kNumKeys;
				s.extra = r.byte () & 0x0F;
				break;
			case Op::Time: s.amount = r.byte (); break;
			case Op::Remove: s.target = r.byte () % (kRemoveAll + 1); break;
			default: break;
		}
		seq.steps.push_back (s);
	}
	return seq;
}

std::vector<uint8_t> encode (const Sequence& seq)
{
	std::vector<uint8_t> out {seq.globalMode};
	for (const Step& s : seq.steps)
	{
		out.push_back (static_cast<uint8_t> (s.op));
		switch (s.op)
		{
			case Op::Press:
			case Op::Move:
			case Op::Release:
			case Op::Wheel:
				out.insert (out.end (), {s.target, s.u, s.v, static_cast<uint8_t> (s.buttons & 0xFF),
				                         static_cast<uint8_t> (s.buttons >> 8)});
				if (s.op == Op::Wheel)
					out.insert (out.end (), {s.amount, s.extra});
				break;
			case Op::Key: out.insert (out.end (), {s.amount, s.extra}); break;
			case Op::Time: out.push_back (s.amount); break;
			case Op::Remove: out.push_back (s.target); break;
			default: break;
		}
	}
	return out;
}

Sequence generate (std::mt19937& rng, size_t maxSteps)
{
	auto below = [&rng] (uint32_t n) { return static_cast<uint32_t> (rng () % n); };
	auto chance = [&below] (uint32_t percent) { return below (100) < percent; };
	auto buttonsOf = [&] () {
		uint16_t b = chance (88) ? VSTGUI::kLButton : 0;
		if (chance (12))
			b |= static_cast<uint16_t> (1u << (2 + below (2))) | (chance (30) ? VSTGUI::kButton4 : 0);
		if (chance (12))
			b |= VSTGUI::kButton5;
		if (chance (18))
			b |= VSTGUI::kAlt;
		if (chance (15))
			b |= VSTGUI::kShift;
		if (chance (6))
			b |= VSTGUI::kControl;
		if (chance (6))
			b |= VSTGUI::kApple;
		if (chance (5))
			b |= VSTGUI::kDoubleClick;
		return b;
	};
	// Weights of the operations, in the order of Op.
	static const uint32_t weights[] = {16, 24, 12, 2, 9, 9, 16, 2, 2, 3, 1, 2, 2};
	static_assert (sizeof (weights) / sizeof (weights[0]) == static_cast<size_t> (Op::Count), "one weight per op");
	uint32_t total = 0;
	for (auto w : weights)
		total += w;

	Sequence seq;
	seq.globalMode = static_cast<uint8_t> (below (15));
	const size_t length = 1 + below (static_cast<uint32_t> (maxSteps));
	uint8_t lastTarget = static_cast<uint8_t> (below (kControls + 1));
	for (size_t i = 0; i < length; ++i)
	{
		Step s;
		uint32_t pick = below (total);
		uint32_t op = 0;
		while (pick >= weights[op])
			pick -= weights[op++];
		s.op = static_cast<Op> (op);
		switch (s.op)
		{
			case Op::Press:
			case Op::Move:
			case Op::Release:
			case Op::Wheel:
				// Moves and releases mostly stay with the control of the last press.
				if (s.op == Op::Press || s.op == Op::Wheel || chance (25))
					lastTarget = static_cast<uint8_t> (below (kControls + 1));
				s.target = lastTarget;
				s.u = static_cast<uint8_t> (below (256));
				s.v = static_cast<uint8_t> (below (256));
				s.buttons = s.op == Op::Wheel ? (chance (20) ? VSTGUI::kShift : 0) : buttonsOf ();
				if (s.op == Op::Wheel)
				{
					s.amount = static_cast<uint8_t> (chance (80) ? below (6) : below (kNumWheelDistances));
					s.extra = static_cast<uint8_t> (below (2));
				}
				break;
			case Op::Key:
				s.amount = static_cast<uint8_t> (below (kNumKeys));
				s.extra = static_cast<uint8_t> (chance (70) ? 0 : below (16));
				break;
			case Op::Time: s.amount = static_cast<uint8_t> (chance (85) ? below (kNumTimeSteps) : below (256)); break;
			case Op::Remove: s.target = static_cast<uint8_t> (below (kRemoveAll + 1)); break;
			default: break;
		}
		seq.steps.push_back (s);
	}
	return seq;
}

std::string describe (const Sequence& seq)
{
	static const char* const names[] = {"press", "move",       "release",    "cancel", "wheel",  "key",   "time",
	                                    "focus-loss", "focus-gain", "remove", "close", "reopen", "render"};
	std::string text = "global mode " + std::to_string (seq.globalMode % 5) + ", knob mode " +
	                   std::to_string (seq.globalMode / 5 % 3) + "\n";
	for (const Step& s : seq.steps)
	{
		char line[160];
		const VSTGUI::CPoint p = pointOf (s);
		switch (s.op)
		{
			case Op::Press:
			case Op::Move:
			case Op::Release:
				std::snprintf (line, sizeof (line), "%s control %d at (%.1f, %.1f) buttons 0x%x\n",
				               names[static_cast<int> (s.op)], s.target, p.x, p.y, s.buttons);
				break;
			case Op::Wheel:
				std::snprintf (line, sizeof (line), "wheel control %d at (%.1f, %.1f) %g on %s buttons 0x%x\n",
				               s.target, p.x, p.y, kWheelDistances[s.amount % kNumWheelDistances],
				               (s.extra & 1) ? "y" : "x", s.buttons);
				break;
			case Op::Key:
				std::snprintf (line, sizeof (line), "key %d char %d modifiers 0x%x\n", kKeys[s.amount % kNumKeys].code,
				               kKeys[s.amount % kNumKeys].character, s.extra);
				break;
			case Op::Time: std::snprintf (line, sizeof (line), "time +%u ms\n", timeStep (s.amount)); break;
			case Op::Remove: std::snprintf (line, sizeof (line), "remove %d\n", s.target % (kRemoveAll + 1)); break;
			default:
				std::snprintf (line, sizeof (line), "%s\n",
				               s.op < Op::Count ? names[static_cast<int> (s.op)] : "unknown");
				break;
		}
		text += line;
	}
	return text;
}

RunStats& RunStats::operator+= (const RunStats& o)
{
	hostEdits += o.hostEdits;
	hostValues += o.hostValues;
	pressesTaken += o.pressesTaken;
	rampTicks += o.rampTicks;
	stillChecks += o.stillChecks;
	closesUnderWay += o.closesUnderWay;
	return *this;
}

RunStats run (const Sequence& sequence)
{
	SettingsGuard settings;
	Session session (sequence);
	for (const Step& step : sequence.steps)
		session.apply (step);
	session.finish ();
	return session.stats;
}

} // namespace input

int inputTarget (const uint8_t* data, size_t size)
{
	Reader reader (data, size);
	input::run (input::decode (reader));
	return 0;
}

} // namespace fuzz
