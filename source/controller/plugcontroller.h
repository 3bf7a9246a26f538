// The edit controller: the seventeen parameters, their values from the
// processor's state, the editor built from "plug.uidesc", and the about-view
// controllers it has handed out.
#pragma once

#include "public.sdk/source/vst/vsteditcontroller.h"
#include "vstgui/plugin-bindings/vst3editor.h"

#include <vector>

namespace Steinberg {
namespace Vst {

template <class T>
class PlugAboutController;

class PlugController : public EditController, public VSTGUI::VST3EditorDelegate
{
public:
	using AboutController = PlugAboutController<PlugController>;

	PlugController () = default;
	~PlugController () override;

	static FUnknown* createInstance (void* context);

	tresult PLUGIN_API initialize (FUnknown* context) SMTG_OVERRIDE;
	tresult PLUGIN_API setComponentState (IBStream* state) SMTG_OVERRIDE;
	IPlugView* PLUGIN_API createView (FIDString name) SMTG_OVERRIDE;

	// VST3EditorDelegate: "AboutController" gives a new about-view controller, which the
	// editor owns from then on; any other name gives null.
	VSTGUI::IController* createSubController (VSTGUI::UTF8StringPtr name,
	                                          const VSTGUI::IUIDescription* description,
	                                          VSTGUI::VST3Editor* editor) override;

	void addAboutController (AboutController* controller);
	// Takes out the first entry equal to controller; later entries keep their order.
	void removeAboutController (AboutController* controller);

	// The about-view controllers created by this controller that still exist,
	// oldest first. Not owned: the editor deletes them.
	std::vector<AboutController*> aboutControllers;
};

} // namespace Vst
} // namespace Steinberg
