// The sliders of the built bundle's editor, driven as a host drives them: the bundle is
// loaded through its exports, the controller's editor view is opened offscreen, and the
// pointer is replayed on a band slider that the shipped plug.uidesc describes. What the
// host sees are the controller's beginEdit/performEdit/endEdit calls and, after the next
// block, the processor's state.
#include "hostlib/componenthandler.h"
#include "hostlib/module.h"
#include "hostlib/plugininstance.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewoffscreen.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using vsthost::ComponentHandler;
using EventType = ComponentHandler::EventType;

namespace {

const std::string kResources = std::string (PALVIS_BUNDLE_DIR) + "/Contents/Resources/";

std::string readFile (const std::string& path)
{
	std::ifstream in (path, std::ios::binary);
	std::stringstream s;
	s << in.rdbuf ();
	return s.str ();
}

using Attributes = std::map<std::string, std::string>;

Attributes attributesOf (const std::string& tagText)
{
	Attributes a;
	static const std::regex attribute (R"re(([A-Za-z0-9_-]+)="([^"]*)")re");
	for (std::sregex_iterator it (tagText.begin (), tagText.end (), attribute), end; it != end; ++it)
		a[(*it)[1]] = (*it)[2];
	return a;
}

bool parsePair (const std::string& text, double& a, double& b)
{
	return std::sscanf (text.c_str (), "%lf , %lf", &a, &b) == 2;
}

/** Where the shipped description puts a band's slider and how its handle travels. */
struct SliderLayout
{
	double left {0}, top {0}, width {0}, height {0};
	bool vertical {false};
	bool inverted {false}; // kBottom (vertical) or kRight (horizontal): the value 0 at the far end
	double offsetAlong {0};
	double handleAlong {0};
	Attributes attributes;

	double start () const { return (vertical ? top : left) + offsetAlong; }
	double travel () const { return (vertical ? height : width) - handleAlong - 2. * offsetAlong; }
	/** The handle's leading edge for a normalised value, before whole pixels. */
	double leadingEdge (double value) const { return start () + (inverted ? 1. - value : value) * travel (); }
	/** The value a press beside the handle at the axis position gives. */
	float valueForCentringPress (double axisPosition) const
	{
		const double delta = start () + (handleAlong * 0.5 - 1.);
		float n = static_cast<float> (axisPosition - delta) / static_cast<float> (travel ());
		return inverted ? 1.f - n : n;
	}
	/** A point of the slider at an axis position, in the middle across it. */
	void pointAt (double axisPosition, double& x, double& y) const
	{
		x = vertical ? left + width / 2. : axisPosition;
		y = vertical ? axisPosition : top + height / 2.;
	}
};

/** Finds the slider bound to controlTag in the shipped description, with the origins of
 *  the containers around it added up. */
bool findSlider (const std::string& controlTag, SliderLayout& layout, std::string& error)
{
	const std::string text = readFile (kResources + "plug.uidesc");
	if (text.empty ())
	{
		error = "no plug.uidesc in the bundle";
		return false;
	}
	std::map<std::string, std::string> bitmapPaths;
	static const std::regex bitmapTag (R"re(<bitmap\b[^>]*>)re");
	for (std::sregex_iterator it (text.begin (), text.end (), bitmapTag), end; it != end; ++it)
	{
		auto a = attributesOf (it->str ());
		bitmapPaths[a["name"]] = a["path"];
	}

	static const std::regex viewTag (R"re(<(/?)(template|view)\b([^>]*?)(/?)>)re");
	std::vector<std::pair<double, double>> origins;
	bool inViewTemplate = false;
	for (std::sregex_iterator it (text.begin (), text.end (), viewTag), end; it != end; ++it)
	{
		const bool closing = !(*it)[1].str ().empty ();
		const bool selfClosing = !(*it)[4].str ().empty ();
		const bool isTemplate = (*it)[2] == "template";
		if (closing)
		{
			if (!origins.empty ())
				origins.pop_back ();
			if (isTemplate)
				inViewTemplate = false;
			continue;
		}
		auto a = attributesOf ((*it)[3]);
		double ox = 0, oy = 0;
		if (!isTemplate && a.count ("origin"))
			parsePair (a["origin"], ox, oy);
		if (isTemplate)
			inViewTemplate = a["name"] == "view";
		if (inViewTemplate && !isTemplate && a["class"] == "CSlider" && a["control-tag"] == controlTag)
		{
			double baseX = 0, baseY = 0;
			for (auto& o : origins)
			{
				baseX += o.first;
				baseY += o.second;
			}
			layout.attributes = a;
			layout.left = baseX + ox;
			layout.top = baseY + oy;
			if (!parsePair (a["size"], layout.width, layout.height))
			{
				error = "the slider has no size";
				return false;
			}
			// The creator's slider is horizontal with kLeft; the description may turn it.
			layout.vertical = a["orientation"] == "vertical";
			const bool reversed = a["reverse-orientation"] == "true";
			layout.inverted = layout.vertical ? !reversed : reversed;
			double offX = 0, offY = 0;
			if (a.count ("handle-offset"))
				parsePair (a["handle-offset"], offX, offY);
			layout.offsetAlong = layout.vertical ? offY : offX;
			const std::string png = readFile (kResources + bitmapPaths[a["handle-bitmap"]]);
			if (png.size () < 24 || png.compare (12, 4, "IHDR") != 0)
			{
				error = "the slider's handle bitmap is not a readable PNG";
				return false;
			}
			auto be32 = [&] (size_t at) {
				return (uint32 (uint8 (png[at])) << 24) | (uint32 (uint8 (png[at + 1])) << 16) |
				       (uint32 (uint8 (png[at + 2])) << 8) | uint32 (uint8 (png[at + 3]));
			};
			layout.handleAlong = layout.vertical ? be32 (20) : be32 (16);
			return true;
		}
		if (!selfClosing)
			origins.emplace_back (isTemplate ? 0. : ox, isTemplate ? 0. : oy);
	}
	error = "no CSlider with control-tag " + controlTag + " in the template \"view\"";
	return false;
}

/** The band value in the processor's state stream (bypass, level, then the bands). */
double bandInState (const std::vector<uint8>& state, int band)
{
	double v = 0;
	std::memcpy (&v, state.data () + 8 + 4 + 8 + 8 * band, sizeof (v));
	return v;
}

//------------------------------------------------------------------------
class SliderInEditor : public ::testing::Test
{
protected:
	static constexpr ParamID kBandId = 2; // the 25 Hz band
	static constexpr int32 kLeft = IPlugViewOffscreen::kLButton;
	static constexpr int32 kAlt = IPlugViewOffscreen::kAlt;
	static constexpr int32 kShift = IPlugViewOffscreen::kShift;

	void SetUp () override
	{
		std::string error;
		ASSERT_TRUE (findSlider ("25Hz", layout, error)) << error;
		// Every slider runs "VD free click" unless its description names another mode.
		auto mode = layout.attributes.find ("mode");
		ASSERT_TRUE (mode == layout.attributes.end () || mode->second == "use global" ||
		             mode->second == "VD free click")
		    << "these tests press the slider in the default mode";
		ASSERT_EQ (layout.attributes.count ("free-click"), 0u);
		ASSERT_GT (layout.travel (), 20.);

		module = vsthost::Module::load (PALVIS_BUNDLE_DIR, error);
		ASSERT_TRUE (module) << error;
		instance = vsthost::PluginInstance::createFirstAudioEffect (*module, error);
		ASSERT_TRUE (instance) << error;
		ASSERT_TRUE (instance->start (48000., 512, kSample32, error)) << error;
		view = owned (instance->getController ()->createView (ViewType::kEditor));
		ASSERT_TRUE (view);
		ASSERT_EQ (view->getSize (&size), kResultTrue);
		IPlugViewOffscreen* raw = nullptr;
		ASSERT_EQ (view->queryInterface (IPlugViewOffscreen::iid, reinterpret_cast<void**> (&raw)), kResultOk);
		offscreen = owned (raw);
		ASSERT_EQ (offscreen->openOffscreen (), kResultTrue);
		handler ().clearEvents ();
	}

	void TearDown () override
	{
		if (view)
			view->removed ();
		offscreen = nullptr;
		view = nullptr;
		instance.reset ();
		module.reset ();
	}

	ComponentHandler& handler () { return instance->getComponentHandler (); }

	tresult mouse (int32 type, double axisPosition, int32 buttons)
	{
		double x, y;
		layout.pointAt (axisPosition, x, y);
		return offscreen->onMouseEvent (type, x, y, buttons);
	}

	double parameter () { return instance->getController ()->getParamNormalized (kBandId); }

	std::vector<uint8> render ()
	{
		std::vector<uint8> pixels (static_cast<size_t> (size.getWidth ()) * size.getHeight () * 4);
		EXPECT_EQ (offscreen->renderRGBA (pixels.data (), size.getWidth (), size.getHeight (), size.getWidth () * 4),
		           kResultTrue);
		return pixels;
	}

	/** Along the slider's axis, the positions (whole pixels) whose pixels across the slider
	 *  differ between two images. */
	std::vector<int> changedAlongSlider (const std::vector<uint8>& a, const std::vector<uint8>& b)
	{
		std::vector<int> changed;
		const int from = static_cast<int> (layout.vertical ? layout.top : layout.left);
		const int to = static_cast<int> (from + (layout.vertical ? layout.height : layout.width));
		const int acrossFrom = static_cast<int> (layout.vertical ? layout.left : layout.top);
		const int acrossTo = static_cast<int> (acrossFrom + (layout.vertical ? layout.width : layout.height));
		for (int p = from; p < to; ++p)
		{
			for (int q = acrossFrom; q < acrossTo; ++q)
			{
				const int x = layout.vertical ? q : p;
				const int y = layout.vertical ? p : q;
				const size_t at = (static_cast<size_t> (y) * size.getWidth () + x) * 4;
				if (std::memcmp (&a[at], &b[at], 4) != 0)
				{
					changed.push_back (p);
					break;
				}
			}
		}
		return changed;
	}

	std::vector<EventType> types ()
	{
		std::vector<EventType> t;
		for (auto& e : handler ().getEvents ())
		{
			EXPECT_EQ (e.id, kBandId);
			t.push_back (e.type);
		}
		return t;
	}

	SliderLayout layout;
	std::unique_ptr<vsthost::Module> module;
	std::unique_ptr<vsthost::PluginInstance> instance;
	IPtr<IPlugView> view;
	IPtr<IPlugViewOffscreen> offscreen;
	ViewRect size;
};

} // anonymous

TEST_F (SliderInEditor, APressBesideTheHandleBringsItsCentreToThePointerAndTheHostSeesTheEdit)
{
	ASSERT_DOUBLE_EQ (parameter (), 0.5);
	const auto before = render ();
	const double oldEdge = std::floor (layout.leadingEdge (0.5));

	// A quarter of the travel from the end where the value 1 lies: well away from the handle.
	const double press = layout.start () + (layout.inverted ? 0.25 : 0.75) * layout.travel ();
	const float expected = layout.valueForCentringPress (press);
	ASSERT_GT (std::abs (expected - 0.5f), 0.2f);

	EXPECT_EQ (mouse (IPlugViewOffscreen::kMouseDown, press, kLeft), kResultTrue);
	auto events = handler ().getEvents ();
	ASSERT_EQ (types (), (std::vector<EventType> {EventType::BeginEdit, EventType::PerformEdit}));
	EXPECT_NEAR (events[1].value, expected, 1e-6);
	EXPECT_NEAR (parameter (), expected, 1e-6);
	// The handle's centre lies one pixel past the pointer.
	EXPECT_NEAR (layout.leadingEdge (parameter ()) + layout.handleAlong / 2., press + 1., 1e-3);

	// The image shows the handle moved: only its old and its new place differ.
	const auto after = render ();
	const double newEdge = std::floor (layout.leadingEdge (parameter ()) + 1e-6);
	bool sawOld = false, sawNew = false;
	for (int p : changedAlongSlider (before, after))
	{
		const bool inOld = p >= oldEdge - 1 && p < oldEdge + layout.handleAlong + 1;
		const bool inNew = p >= newEdge - 1 && p < newEdge + layout.handleAlong + 1;
		EXPECT_TRUE (inOld || inNew) << "changed at " << p;
		sawOld = sawOld || inOld;
		sawNew = sawNew || inNew;
	}
	EXPECT_TRUE (sawOld);
	EXPECT_TRUE (sawNew);

	handler ().clearEvents ();
	mouse (IPlugViewOffscreen::kMouseUp, press, kLeft);
	EXPECT_EQ (types (), (std::vector<EventType> {EventType::EndEdit}));

	// The processor takes the edit with the next block.
	ASSERT_EQ (instance->flushParameters (), kResultOk);
	std::vector<uint8> state;
	ASSERT_EQ (instance->getState (state), kResultOk);
	EXPECT_NEAR (bandInState (state, 0), expected, 1e-6);
}

TEST_F (SliderInEditor, AnOptionClickResetsTheBandTo0dB)
{
	instance->setParameter (kBandId, 0.9);
	render ();
	handler ().clearEvents ();

	const double press = layout.start () + 0.5 * layout.travel ();
	EXPECT_EQ (mouse (IPlugViewOffscreen::kMouseDown, press, kLeft | kAlt), kResultTrue);
	auto events = handler ().getEvents ();
	ASSERT_EQ (types (), (std::vector<EventType> {EventType::BeginEdit, EventType::PerformEdit, EventType::EndEdit}));
	EXPECT_DOUBLE_EQ (events[1].value, 0.5);
	EXPECT_DOUBLE_EQ (parameter (), 0.5);
	// The press is over: no drag follows.
	handler ().clearEvents ();
	mouse (IPlugViewOffscreen::kMouseMoved, press + 20., kLeft | kAlt);
	mouse (IPlugViewOffscreen::kMouseUp, press + 20., kLeft | kAlt);
	EXPECT_TRUE (handler ().getEvents ().empty ());
	EXPECT_DOUBLE_EQ (parameter (), 0.5);

	// With Shift as well it is no reset, but a fine drag that starts where the handle is.
	instance->setParameter (kBandId, 0.9);
	handler ().clearEvents ();
	EXPECT_EQ (mouse (IPlugViewOffscreen::kMouseDown, press, kLeft | kAlt | kShift), kResultTrue);
	mouse (IPlugViewOffscreen::kMouseUp, press, kLeft | kAlt | kShift);
	EXPECT_EQ (types (), (std::vector<EventType> {EventType::BeginEdit, EventType::EndEdit}));
	EXPECT_DOUBLE_EQ (parameter (), 0.9);
}

TEST_F (SliderInEditor, APressOnTheHandleDoesNotJumpAndTheDragFollowsThePointer)
{
	instance->setParameter (kBandId, 0.3);
	handler ().clearEvents ();
	const double edge = layout.start () + std::trunc ((layout.inverted ? 0.7 : 0.3) * layout.travel ());
	// Near the handle's leading edge: a centring press would move it by several pixels.
	const double grab = edge + 1.;
	ASSERT_GT (layout.handleAlong / 2. - 1., 3.);

	EXPECT_EQ (mouse (IPlugViewOffscreen::kMouseDown, grab, kLeft), kResultTrue);
	auto events = handler ().getEvents ();
	ASSERT_FALSE (events.empty ());
	EXPECT_EQ (events[0].type, EventType::BeginEdit);
	EXPECT_LT (std::abs (parameter () - 0.3), 1. / layout.travel ()); // less than a pixel's worth

	// Ten pixels toward the value 1 raise the value by ten pixels' worth.
	const double before = parameter ();
	const double toward = layout.inverted ? -10. : 10.;
	mouse (IPlugViewOffscreen::kMouseMoved, grab + toward, kLeft);
	EXPECT_NEAR (parameter () - before, 10. / layout.travel (), 1e-5);
	mouse (IPlugViewOffscreen::kMouseUp, grab + toward, kLeft);
	EXPECT_EQ (handler ().getEvents ().back ().type, EventType::EndEdit);
	size_t begins = 0, ends = 0;
	for (auto t : types ())
	{
		begins += t == EventType::BeginEdit;
		ends += t == EventType::EndEdit;
	}
	EXPECT_EQ (begins, 1u);
	EXPECT_EQ (ends, 1u);
}

// Fontconfig (reached through Cairo's text drawing in the bundle) keeps its caches for the
// life of the process by design; they are not leaks of the plug-in.
extern "C" __attribute__ ((visibility ("default"))) const char* __lsan_default_suppressions ()
{
	return "leak:libfontconfig.so\n";
}
