// The UI-description reader with the plug-in's own controllers behind it.
// Every input is read with UIDescription::parseFromMemory; when it reads,
// every template is built, first with a plain controller that hands out the
// plug-in's about-view sub-controller, then, through a VST3 editor made over
// the plug-in's edit controller from the same text, with the editor as the
// controller (which binds the controls to the parameters); a small editor is
// then opened offscreen (at a scale factor of 1, 1.5 or 2, chosen by the input's
// length), drawn, clicked, scrolled and closed.
//
// Properties: no crash, no leak, no bad access; a refused description says why;
// every about-view controller that a build created is gone with its view. The
// kinds of control whose draw ran in the first picture are recorded for the
// replay test, which checks that the seeds reach every kind.
#include "fuzzsupport.h"

#include "controller/plugaboutcontroller.h"
#include "controller/plugcontroller.h"

#include "pluginterfaces/gui/iplugviewoffscreen.h"
#include "vstgui/lib/cframe.h"
#include "vstgui/lib/controls/ccontrol.h"
#include "vstgui/lib/cresourcedescription.h"
#include "vstgui/lib/cview.h"
#include "vstgui/lib/cviewcontainer.h"
#include "vstgui/plugin-bindings/vst3editor.h"
#include "vstgui/uidescription/icontroller.h"
#include "vstgui/uidescription/uidescription.h"

#if __has_include("gui/sliderviewcreator.h")
#include "gui/sliderviewcreator.h"
#define PALVIS_FUZZ_HAS_SLIDER 1
#endif

#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <dirent.h>
#include <typeinfo>
#include <functional>
#include <list>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace fuzz {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::string resourceCopy;

// A controller that answers like the plug-in's editor does for sub-controllers.
class PlainController : public VSTGUI::IController
{
public:
	explicit PlainController (PlugController* owner) : owner (owner) {}
	void valueChanged (VSTGUI::CControl*) override {}
	VSTGUI::IController* createSubController (VSTGUI::UTF8StringPtr name,
	                                          const VSTGUI::IUIDescription* description) override
	{
		return owner->createSubController (name, description, nullptr);
	}

private:
	PlugController* owner;
};

std::vector<std::string> templateNames (const VSTGUI::IUIDescription& desc)
{
	std::list<const std::string*> names;
	desc.collectTemplateViewNames (names);
	std::vector<std::string> result;
	for (auto* n : names)
		result.push_back (*n);
	return result;
}

std::set<std::string> drawnKinds;

/** The class name of a view, without its namespace. */
std::string kindOf (VSTGUI::CView& view)
{
	int status = 0;
	char* demangled = abi::__cxa_demangle (typeid (view).name (), nullptr, nullptr, &status);
	std::string name = (status == 0 && demangled) ? demangled : typeid (view).name ();
	std::free (demangled);
	const auto colon = name.rfind (':');
	return colon == std::string::npos ? name : name.substr (colon + 1);
}

void forEachControl (VSTGUI::CViewContainer& container, const std::function<void (VSTGUI::CControl&)>& f)
{
	for (uint32_t i = 0; i < container.getNbViews (); ++i)
	{
		VSTGUI::CView* view = container.getView (i);
		if (auto control = dynamic_cast<VSTGUI::CControl*> (view))
			f (*control);
		if (auto child = view ? view->asViewContainer () : nullptr)
			forEachControl (*child, f);
	}
}

void openOffscreen (VSTGUI::VST3Editor* view)
{
	IPlugViewOffscreen* offscreen = nullptr;
	if (view->queryInterface (IPlugViewOffscreen::iid, reinterpret_cast<void**> (&offscreen)) != kResultOk ||
	    !offscreen)
		return;
	ViewRect size;
	if (view->getSize (&size) == kResultOk && size.getWidth () > 0 && size.getHeight () > 0 &&
	    size.getWidth () <= 2000 && size.getHeight () <= 2000 &&
	    int64 (size.getWidth ()) * size.getHeight () <= 1000000 && offscreen->openOffscreen () == kResultTrue)
	{
		const int32 w = size.getWidth (), h = size.getHeight ();
		std::vector<uint8> pixels (static_cast<size_t> (w) * static_cast<size_t> (h) * 4);
		// Every control counts as not yet drawn; a draw marks it drawn.
		VSTGUI::CFrame* frame = view->getFrame ();
		if (frame)
			forEachControl (*frame, [] (VSTGUI::CControl& c) { c.setDirty (true); });
		offscreen->renderRGBA (pixels.data (), w, h, w * 4);
		if (frame)
			forEachControl (*frame, [] (VSTGUI::CControl& c) {
				if (!c.isDirty ())
					drawnKinds.insert (kindOf (c));
			});
		const double x = w / 2.0, y = h / 2.0;
		offscreen->onMouseEvent (IPlugViewOffscreen::kMouseDown, x, y, IPlugViewOffscreen::kLButton);
		offscreen->onMouseEvent (IPlugViewOffscreen::kMouseMoved, x, y - 10, IPlugViewOffscreen::kLButton);
		offscreen->onMouseEvent (IPlugViewOffscreen::kMouseUp, x, y - 10, IPlugViewOffscreen::kLButton);
		offscreen->onMouseEvent (IPlugViewOffscreen::kMouseDown, x / 2, y / 2,
		                         IPlugViewOffscreen::kLButton | IPlugViewOffscreen::kAlt);
		offscreen->onMouseEvent (IPlugViewOffscreen::kMouseUp, x / 2, y / 2, IPlugViewOffscreen::kLButton);
		offscreen->onWheelEvent (x, y, 1.5f, IPlugViewOffscreen::kWheelAxisY, 0);
		offscreen->advanceTime (600);
		offscreen->renderRGBA (pixels.data (), w, h, w * 4);
		view->removed ();
	}
	offscreen->release ();
}

} // namespace

const std::set<std::string>& uidescDrawnKinds ()
{
	return drawnKinds;
}

void prepareTargets ()
{
#if PALVIS_FUZZ_HAS_SLIDER
	VSTGUI::registerSliderViewCreators ();
	VSTGUI::setControlModifiers ();
#endif
	// The description read by the editor is written into a private copy of the
	// resource folder, next to the bitmaps it may name.
	char dir[] = "/tmp/palvis-fuzz-XXXXXX";
	if (!mkdtemp (dir))
		std::abort ();
	resourceCopy = dir;
	if (DIR* d = opendir (PALVIS_RESOURCE_DIR))
	{
		while (dirent* e = readdir (d))
		{
			std::string name = e->d_name;
			if (name == "." || name == "..")
				continue;
			const std::string from = std::string (PALVIS_RESOURCE_DIR) + "/" + name;
			const std::string to = resourceCopy + "/" + name;
			if (symlink (from.c_str (), to.c_str ()) != 0)
				std::perror ("symlink");
		}
		closedir (d);
	}
	VSTGUI::setResourceDirectory (resourceCopy);
}

int uidescTarget (const uint8_t* data, size_t size)
{
	drawnKinds.clear ();
	auto desc = VSTGUI::makeOwned<VSTGUI::UIDescription> (VSTGUI::CResourceDescription ("fuzz.uidesc"));
	if (!desc->parseFromMemory (data, size))
	{
		FUZZ_CHECK (!desc->getLastError ().empty (), "a refused description gives no reason");
		return 0;
	}
	const auto names = templateNames (*desc);

	auto* controller = new PlugController ();
	controller->initialize (nullptr);
	{
		PlainController plain (controller);
		for (auto& name : names)
		{
			VSTGUI::CView* view = desc->createView (name.c_str (), &plain);
			if (view)
				view->forget ();
			FUZZ_CHECK (controller->aboutControllers.empty (), "an about-view controller outlived its view");
		}
	}

	// The same text read by a VST3 editor over the plug-in's controller.
	const std::string file = resourceCopy + "/fuzz.uidesc";
	if (FILE* f = std::fopen (file.c_str (), "wb"))
	{
		std::fwrite (data, 1, size, f);
		std::fclose (f);
		auto* editor = new VSTGUI::VST3Editor (controller, "view", "fuzz.uidesc");
		if (editor->isValid ())
		{
			static const float kScales[] = {1.f, 1.5f, 2.f};
			editor->setContentScaleFactor (kScales[size % 3]);
			for (auto& name : names)
			{
				VSTGUI::CView* view = editor->getUIDescription ()->createView (name.c_str (), editor);
				if (view)
					view->forget ();
			}
			openOffscreen (editor);
		}
		editor->release ();
		std::remove (file.c_str ());
	}
	FUZZ_CHECK (controller->aboutControllers.empty (), "an about-view controller outlived its editor");
	controller->terminate ();
	controller->release ();
	return 0;
}

} // namespace fuzz
