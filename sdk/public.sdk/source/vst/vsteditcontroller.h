// EditController: the controller component's base. It answers the host's
// parameter queries from its ParameterContainer and passes edits on to the
// host's component handler.
#pragma once

#include "public.sdk/source/vst/vstcomponentbase.h"
#include "public.sdk/source/vst/vstparameters.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace Steinberg {
namespace Vst {

class EditorView;

class EditController : public ComponentBase, public IEditController, public IEditController2
{
public:
	EditController ();
	~EditController () override;

	// IPluginBase
	tresult PLUGIN_API initialize (FUnknown* context) SMTG_OVERRIDE;
	// Removes every parameter and releases the host context and the component handler.
	tresult PLUGIN_API terminate () SMTG_OVERRIDE;

	// IEditController
	tresult PLUGIN_API setComponentState (IBStream* state) SMTG_OVERRIDE;
	tresult PLUGIN_API setState (IBStream* state) SMTG_OVERRIDE;
	tresult PLUGIN_API getState (IBStream* state) SMTG_OVERRIDE;
	int32 PLUGIN_API getParameterCount () SMTG_OVERRIDE;
	tresult PLUGIN_API getParameterInfo (int32 paramIndex, ParameterInfo& info) SMTG_OVERRIDE;
	tresult PLUGIN_API getParamStringByValue (ParamID tag, ParamValue valueNormalized,
	                                          String128 string) SMTG_OVERRIDE;
	tresult PLUGIN_API getParamValueByString (ParamID tag, TChar* string,
	                                          ParamValue& valueNormalized) SMTG_OVERRIDE;
	ParamValue PLUGIN_API normalizedParamToPlain (ParamID tag, ParamValue valueNormalized) SMTG_OVERRIDE;
	ParamValue PLUGIN_API plainParamToNormalized (ParamID tag, ParamValue plainValue) SMTG_OVERRIDE;
	ParamValue PLUGIN_API getParamNormalized (ParamID tag) SMTG_OVERRIDE;
	tresult PLUGIN_API setParamNormalized (ParamID tag, ParamValue value) SMTG_OVERRIDE;
	tresult PLUGIN_API setComponentHandler (IComponentHandler* handler) SMTG_OVERRIDE;
	IPlugView* PLUGIN_API createView (FIDString name) SMTG_OVERRIDE;

	// IEditController2
	tresult PLUGIN_API setKnobMode (KnobMode mode) SMTG_OVERRIDE;
	tresult PLUGIN_API openHelp (TBool onlyCheck) SMTG_OVERRIDE;
	tresult PLUGIN_API openAboutBox (TBool onlyCheck) SMTG_OVERRIDE;

	// Edits made in the editor, reported to the host (kResultFalse without a handler).
	virtual tresult beginEdit (ParamID tag);
	virtual tresult performEdit (ParamID tag, ParamValue valueNormalized);
	virtual tresult endEdit (ParamID tag);
	virtual tresult startGroupEdit ();
	virtual tresult finishGroupEdit ();
	tresult setDirty (TBool state);
	tresult requestOpenEditor (FIDString name = ViewType::kEditor);

	// Hooks for the editor base: a view of this controller was opened, closed, destroyed.
	virtual void editorAttached (EditorView* /*editor*/) {}
	virtual void editorRemoved (EditorView* /*editor*/) {}
	virtual void editorDestroyed (EditorView* /*editor*/) {}

	virtual Parameter* getParameterObject (ParamID tag) { return parameters.getParameter (tag); }
	virtual tresult getParameterInfoByTag (ParamID tag, ParameterInfo& info);

	IComponentHandler* getComponentHandler () const { return componentHandler; }

	// The knob mode the host asked for last; one value for the whole process.
	static KnobMode getHostKnobMode () { return hostKnobMode; }

	OBJ_METHODS (EditController, ComponentBase)
	DEFINE_INTERFACES
	DEF_INTERFACE (IEditController)
	DEF_INTERFACE (IEditController2)
	END_DEFINE_INTERFACES (ComponentBase)
	REFCOUNT_METHODS (ComponentBase)

protected:
	ParameterContainer parameters;
	IPtr<IComponentHandler> componentHandler;
	IPtr<IComponentHandler2> componentHandler2;

	static KnobMode hostKnobMode;
};

} // namespace Vst
} // namespace Steinberg
