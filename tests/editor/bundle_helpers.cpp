#include "bundle_helpers.h"

#include "hostlib/strings.h"

#include "vstgui/lib/cframe.h"
#include "vstgui/lib/controls/cbuttons.h"
#include "vstgui/lib/controls/ctextlabel.h"
#include "vstgui/lib/cresourcedescription.h"
#include "vstgui/lib/platform/offscreenframe.h"
#include "vstgui/uidescription/icontroller.h"
#include "vstgui/uidescription/uiattributes.h"
#include "vstgui/uidescription/uidescription.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace editortest {

using namespace Steinberg;

std::string bundlePath ()
{
	return PALVIS_BUNDLE_DIR;
}

std::string resourcesOf (const std::string& bundle)
{
	return bundle + "/Contents/Resources";
}

std::string expectedPlatform ()
{
	struct utsname name {};
	if (uname (&name) != 0)
		return "unknown";
	return std::string (name.machine) + "-" + name.sysname;
}

//------------------------------------------------------------------------
const std::string* DescriptionView::attribute (const std::string& name) const
{
	auto it = attributes.find (name);
	return it == attributes.end () ? nullptr : &it->second;
}

namespace {
bool parsePair (const std::string* text, double& a, double& b)
{
	if (!text)
		return false;
	VSTGUI::CPoint p;
	if (!VSTGUI::UIAttributes::stringToPoint (*text, p))
		return false;
	a = p.x;
	b = p.y;
	return true;
}
} // namespace

std::vector<DescriptionView> readDescriptionViews (const std::string& path)
{
	std::ifstream in (path);
	std::stringstream buffer;
	buffer << in.rdbuf ();
	const std::string text = buffer.str ();
	std::vector<DescriptionView> result;
	std::vector<std::pair<double, double>> origins {{0., 0.}}; // of the open containers
	size_t pos = 0;
	while ((pos = text.find ('<', pos)) != std::string::npos)
	{
		if (text.compare (pos, 7, "</view>") == 0 || text.compare (pos, 11, "</template>") == 0)
		{
			if (origins.size () > 1)
				origins.pop_back ();
			++pos;
			continue;
		}
		std::string element;
		if (text.compare (pos, 6, "<view ") == 0)
			element = "view";
		else if (text.compare (pos, 10, "<template ") == 0)
			element = "template";
		else
		{
			++pos;
			continue;
		}
		size_t end = text.find ('>', pos);
		if (end == std::string::npos)
			break;
		std::string tag = text.substr (pos, end - pos);
		const bool selfClosing = !tag.empty () && tag.back () == '/';
		DescriptionView v;
		v.element = element;
		v.depth = static_cast<int> (origins.size ()) - 1;
		size_t a = tag.find (' ');
		while (a != std::string::npos)
		{
			size_t eq = tag.find ("=\"", a);
			if (eq == std::string::npos)
				break;
			size_t close = tag.find ('"', eq + 2);
			if (close == std::string::npos)
				break;
			std::string name = tag.substr (a, eq - a);
			name.erase (0, name.find_first_not_of (" \t\r\n"));
			v.attributes[name] = tag.substr (eq + 2, close - eq - 2);
			a = close + 1;
		}
		double x = 0, y = 0;
		parsePair (v.attribute ("origin"), x, y);
		parsePair (v.attribute ("size"), v.width, v.height);
		v.left = origins.back ().first + x;
		v.top = origins.back ().second + y;
		if (!selfClosing)
			origins.emplace_back (v.left, v.top);
		result.push_back (v);
		pos = end;
	}
	return result;
}

const DescriptionView* findView (const std::vector<DescriptionView>& views, const std::string& cls,
                                 const std::string& attribute, const std::string& value)
{
	for (auto& v : views)
	{
		auto c = v.attribute ("class");
		if (!c || *c != cls)
			continue;
		if (attribute.empty ())
			return &v;
		auto a = v.attribute (attribute);
		if (a && *a == value)
			return &v;
	}
	return nullptr;
}

bool pngSize (const std::string& path, int& width, int& height)
{
	std::ifstream in (path, std::ios::binary);
	unsigned char header[24] = {};
	if (!in.read (reinterpret_cast<char*> (header), sizeof (header)))
		return false;
	static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
	if (std::memcmp (header, signature, 8) != 0 || std::memcmp (header + 12, "IHDR", 4) != 0)
		return false;
	auto be32 = [&] (int at) {
		return (header[at] << 24) | (header[at + 1] << 16) | (header[at + 2] << 8) | header[at + 3];
	};
	width = be32 (16);
	height = be32 (20);
	return true;
}

//------------------------------------------------------------------------
EditorSession::EditorSession (const std::string& bundle)
{
	open (bundle, nullptr);
}

EditorSession::EditorSession (const std::vector<std::uint8_t>& stateFirst, const std::string& bundle)
{
	open (bundle, &stateFirst);
}

void EditorSession::open (const std::string& bundle, const std::vector<std::uint8_t>* stateFirst)
{
	module = vsthost::Module::load (bundle, failure);
	if (!module)
		return;
	plugin = vsthost::PluginInstance::createFirstAudioEffect (*module, failure);
	if (!plugin)
		return;
	if (stateFirst && plugin->loadState (std::vector<uint8> (stateFirst->begin (), stateFirst->end ())) != kResultOk)
	{
		failure = "loading the state failed";
		return;
	}
	plugView = owned (plugin->getController ()->createView (Vst::ViewType::kEditor));
	if (!plugView)
	{
		failure = "no editor view";
		return;
	}
	if (plugView->getSize (&rect) != kResultTrue)
	{
		failure = "no size";
		return;
	}
	IPlugViewOffscreen* raw = nullptr;
	if (plugView->queryInterface (IPlugViewOffscreen::iid, reinterpret_cast<void**> (&raw)) != kResultOk || !raw)
	{
		failure = "no offscreen extension";
		return;
	}
	IPtr<IPlugViewOffscreen> ext = owned (raw);
	if (ext->openOffscreen () != kResultTrue)
	{
		failure = "openOffscreen failed";
		return;
	}
	offscreen = ext;
	plugin->getComponentHandler ().clearEvents ();
}

EditorSession::~EditorSession ()
{
	closeEditor ();
	plugin.reset ();
	module.reset ();
}

void EditorSession::closeEditor ()
{
	if (plugView && offscreen)
		plugView->removed ();
	offscreen = nullptr;
	plugView = nullptr;
}

Pixels EditorSession::render ()
{
	Pixels pixels (static_cast<size_t> (width ()) * static_cast<size_t> (height ()) * 4);
	if (!offscreen || offscreen->renderRGBA (pixels.data (), width (), height (), width () * 4) != kResultTrue)
		return {};
	return pixels;
}

tresult EditorSession::press (double x, double y, int32 buttons)
{
	return offscreen->onMouseEvent (IPlugViewOffscreen::kMouseDown, x, y, buttons);
}

tresult EditorSession::release (double x, double y, int32 buttons)
{
	return offscreen->onMouseEvent (IPlugViewOffscreen::kMouseUp, x, y, buttons);
}

void EditorSession::click (double x, double y, int32 buttons)
{
	press (x, y, buttons);
	release (x, y, buttons);
}

std::vector<std::string> EditorSession::takeEdits ()
{
	using Type = vsthost::ComponentHandler::EventType;
	std::vector<std::string> result;
	auto& handler = plugin->getComponentHandler ();
	for (auto& e : handler.getEvents ())
	{
		if (e.type == Type::BeginEdit)
			result.push_back ("begin " + std::to_string (e.id));
		else if (e.type == Type::PerformEdit)
			result.push_back ("perform " + std::to_string (e.id) + " " + vsthost::shortestDouble (e.value));
		else if (e.type == Type::EndEdit)
			result.push_back ("end " + std::to_string (e.id));
	}
	handler.clearEvents ();
	return result;
}

double EditorSession::value (Vst::ParamID id) const
{
	return plugin->getController ()->getParamNormalized (id);
}

void EditorSession::setValue (Vst::ParamID id, double normalized)
{
	plugin->getController ()->setParamNormalized (id, normalized);
}

Pixels crop (const Pixels& image, int imageWidth, int left, int top, int width, int height)
{
	Pixels out;
	for (int y = top; y < top + height; ++y)
	{
		auto begin = image.begin () + (static_cast<size_t> (y) * imageWidth + left) * 4;
		out.insert (out.end (), begin, begin + static_cast<size_t> (width) * 4);
	}
	return out;
}

//------------------------------------------------------------------------
namespace {

struct OracleAbout : VSTGUI::IController
{
	OracleAbout (const std::string& text, bool on) : text (text), on (on) {}
	void valueChanged (VSTGUI::CControl*) override {}
	VSTGUI::CView* verifyView (VSTGUI::CView* view, const VSTGUI::UIAttributes&, const VSTGUI::IUIDescription*) override
	{
		if (auto label = dynamic_cast<VSTGUI::CTextLabel*> (view))
			label->setText (text.c_str ());
		if (auto button = dynamic_cast<VSTGUI::COnOffButton*> (view))
			button->setValue (on ? button->getMax () : button->getMin ());
		return view;
	}
	std::string text;
	bool on;
};

struct OracleMain : VSTGUI::IController
{
	OracleMain (const std::string& text, bool on) : text (text), on (on) {}
	void valueChanged (VSTGUI::CControl*) override {}
	VSTGUI::IController* createSubController (VSTGUI::UTF8StringPtr name, const VSTGUI::IUIDescription*) override
	{
		if (std::strcmp (name, "AboutController") == 0)
			return new OracleAbout (text, on);
		return nullptr;
	}
	std::string text;
	bool on;
};

} // namespace

Pixels drawDescription (const std::string& resources, const std::string& aboutText, bool aboutOn, int width,
                        int height)
{
	VSTGUI::setResourceDirectory (resources);
	Pixels pixels;
	{
		auto description = VSTGUI::makeOwned<VSTGUI::UIDescription> (VSTGUI::CResourceDescription ("plug.uidesc"));
		if (description->parse ())
		{
			OracleMain controller (aboutText, aboutOn);
			auto* frame = new VSTGUI::CFrame (VSTGUI::CRect (0, 0, width, height), nullptr);
			if (auto view = description->createView ("view", &controller))
			{
				frame->addView (view);
				if (frame->open (nullptr, VSTGUI::PlatformType::kOffscreen))
				{
					auto platform = dynamic_cast<VSTGUI::COffscreenPlatformFrame*> (frame->getPlatformFrame ());
					platform->render ();
					pixels.resize (static_cast<size_t> (width) * height * 4);
					for (int y = 0; y < height; ++y)
					{
						for (int x = 0; x < width; ++x)
						{
							auto c = platform->getPixel (x, y);
							auto* p = &pixels[(static_cast<size_t> (y) * width + x) * 4];
							p[0] = c.red;
							p[1] = c.green;
							p[2] = c.blue;
							p[3] = c.alpha;
						}
					}
				}
			}
			frame->close ();
		}
	}
	VSTGUI::setResourceDirectory ({});
	return pixels;
}

//------------------------------------------------------------------------
bool copyFolder (const std::string& from, const std::string& to)
{
	std::error_code ec;
	std::filesystem::copy (from, to, std::filesystem::copy_options::recursive, ec);
	return !ec;
}

} // namespace editortest
