// Helpers of the bundle editor tests: the plug-in's editor opened offscreen through the
// binary interface, the places of the description's views, and an oracle that draws the
// description with the GUI library in this process.
#pragma once

#include "hostlib/module.h"
#include "hostlib/plugininstance.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewoffscreen.h"

#include "stderrcapture.h"
#include "tempdir.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace editortest {

std::string bundlePath ();
std::string resourcesOf (const std::string& bundle);

// uname's machine and system, as the about line names them ("x86_64-Linux").
std::string expectedPlatform ();

//------------------------------------------------------------------------
// One view of the description, with its place in editor coordinates.
struct DescriptionView
{
	std::string element; // "template" or "view"
	std::map<std::string, std::string> attributes;
	double left {0}, top {0}, width {0}, height {0};
	int depth {0};
	const std::string* attribute (const std::string& name) const;
	double centerX () const { return left + width / 2.; }
	double centerY () const { return top + height / 2.; }
};
// Every template and view of a description file, in document order; empty when unreadable.
std::vector<DescriptionView> readDescriptionViews (const std::string& path);
// The first view of a class with an attribute of that value (or any, for an empty name).
const DescriptionView* findView (const std::vector<DescriptionView>& views, const std::string& cls,
                                 const std::string& attribute = {}, const std::string& value = {});
// Width and height of a PNG file from its header; false when it is no PNG.
bool pngSize (const std::string& path, int& width, int& height);

//------------------------------------------------------------------------
using Pixels = std::vector<std::uint8_t>;

// The plug-in and its editor, opened offscreen.
class EditorSession
{
public:
	explicit EditorSession (const std::string& bundle = bundlePath ());
	// Loads a state into both components before the editor is created.
	explicit EditorSession (const std::vector<std::uint8_t>& stateFirst, const std::string& bundle = bundlePath ());
	~EditorSession ();

	bool ok () const { return offscreen != nullptr; }
	const std::string& error () const { return failure; }
	vsthost::PluginInstance& instance () { return *plugin; }
	Steinberg::IPlugView* view () const { return plugView; }
	Steinberg::IPlugViewOffscreen* extension () const { return offscreen; }
	int width () const { return rect.getWidth (); }
	int height () const { return rect.getHeight (); }

	Pixels render ();
	Steinberg::tresult press (double x, double y, Steinberg::int32 buttons = Steinberg::IPlugViewOffscreen::kLButton);
	Steinberg::tresult release (double x, double y, Steinberg::int32 buttons = Steinberg::IPlugViewOffscreen::kLButton);
	void click (double x, double y, Steinberg::int32 buttons = Steinberg::IPlugViewOffscreen::kLButton);
	// beginEdit/performEdit/endEdit since the last call, as "begin 0", "perform 0 1", "end 0".
	std::vector<std::string> takeEdits ();
	double value (Steinberg::Vst::ParamID id) const;
	void setValue (Steinberg::Vst::ParamID id, double normalized);
	void closeEditor ();

private:
	void open (const std::string& bundle, const std::vector<std::uint8_t>* stateFirst);

	std::unique_ptr<vsthost::Module> module;
	std::unique_ptr<vsthost::PluginInstance> plugin;
	Steinberg::IPtr<Steinberg::IPlugView> plugView;
	Steinberg::IPtr<Steinberg::IPlugViewOffscreen> offscreen;
	Steinberg::ViewRect rect;
	std::string failure;
};

// Pixels of a rectangle of an image of the given width.
Pixels crop (const Pixels& image, int imageWidth, int left, int top, int width, int height);

//------------------------------------------------------------------------
// The description drawn by the GUI library linked into this test, with the about area's
// label showing aboutText and its button in the given state. Sliders (whose creator is the
// plug-in's) are left out.
Pixels drawDescription (const std::string& resources, const std::string& aboutText, bool aboutOn, int width,
                        int height);

//------------------------------------------------------------------------
// A fresh temporary folder, removed with everything in it.
using PalvisTest::TempDir;

// Copies a bundle folder to a new place.
bool copyFolder (const std::string& from, const std::string& to);

// Collects what is written to file descriptor 2 while it lives.
using PalvisTest::StderrCapture;

} // namespace editortest
