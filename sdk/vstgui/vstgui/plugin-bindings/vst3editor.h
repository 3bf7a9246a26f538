// The VST3 editor: a plug-in view built from a UI description, whose controls are bound
// to the edit controller's parameters by tag (control tag == parameter ID).
//
// - A control's edit goes to the controller: beginEdit, then setParamNormalized and
//   performEdit for each value, then endEdit (an edit made without a bracket of its own
//   is bracketed here).
// - A parameter change (host automation, setComponentState, another control) reaches
//   every control bound to that parameter: the editor listens to the Parameter objects.
// - Parameter displays show the parameter's own text for their value.
// - The controller's VST3EditorDelegate, when it has one, is asked for custom views,
//   sub-controllers and verifyView, and told when the editor opens and closes.
// - Knobs follow the host's knob mode (EditController::getHostKnobMode).
#pragma once

#include "public.sdk/source/vst/vstguieditor.h"

#include "vstgui/uidescription/icontroller.h"
#include "vstgui/uidescription/uidescription.h"

#include <map>
#include <string>
#include <vector>

namespace VSTGUI {

class VST3Editor;
class COptionMenu;

//------------------------------------------------------------------------
/** The hooks through which a VST3Editor asks its edit controller for more. An edit
 *  controller that derives from this class is found by the editor on its own. */
class VST3EditorDelegate
{
public:
	virtual ~VST3EditorDelegate () {}

	/** A view for a "custom-view-name"; null lets the description build the view. */
	virtual CView* createCustomView (UTF8StringPtr name, const UIAttributes& attributes,
	                                 const IUIDescription* description, VST3Editor* editor)
	{
		return nullptr;
	}
	/** Sees every view the editor builds; returns the view to use. */
	virtual CView* verifyView (CView* view, const UIAttributes& attributes, const IUIDescription* description,
	                           VST3Editor* editor)
	{
		return view;
	}
	/** The parameter under a point of the editor, for views not bound by tag. */
	virtual bool findParameter (const CPoint& pos, Steinberg::Vst::ParamID& paramID, VST3Editor* editor)
	{
		return false;
	}
	virtual bool isPrivateParameter (const Steinberg::Vst::ParamID paramID) { return false; }
	virtual void didOpen (VST3Editor* editor) {}
	virtual void willClose (VST3Editor* editor) {}
	/** A context menu for a point; null for none. */
	virtual COptionMenu* createContextMenu (const CPoint& pos, VST3Editor* editor) { return nullptr; }
	/** A controller for the views below a "sub-controller" attribute; the editor takes
	 *  ownership of it. */
	virtual IController* createSubController (UTF8StringPtr name, const IUIDescription* description,
	                                          VST3Editor* editor)
	{
		return nullptr;
	}
};

//------------------------------------------------------------------------
class VST3Editor : public Steinberg::Vst::VSTGUIEditor, public IController
{
public:
	/** Reads the description xmlFile from the bundle's resources. When it cannot be read or
	 *  has no template templateName with a size, the editor says why on stderr, isValid()
	 *  is false, and it never opens. */
	VST3Editor (Steinberg::Vst::EditController* controller, UTF8StringPtr templateName, UTF8StringPtr xmlFile);

	bool isValid () const { return description != nullptr; }
	/** Why the editor cannot open (or why the last open failed); empty when it can. */
	const std::string& getLastError () const { return lastError; }
	UIDescription* getUIDescription () const { return description; }
	VST3EditorDelegate* getDelegate () const { return delegate; }
	const std::string& getTemplateName () const { return templateName; }

	// VSTGUIEditor
	bool PLUGIN_API open (void* parent, const PlatformType& type) SMTG_OVERRIDE;
	void PLUGIN_API close () SMTG_OVERRIDE;
	/** Edits of bound controls are reported through the control listener calls below. */
	void beginEdit (int32_t index) override {}
	void endEdit (int32_t index) override {}

	// IControlListener
	void valueChanged (CControl* pControl) override;
	int32_t controlModifierClicked (CControl* pControl, CButtonState button) override { return 0; }
	void controlBeginEdit (CControl* pControl) override;
	void controlEndEdit (CControl* pControl) override;
	void controlTagWillChange (CControl* pControl) override;
	void controlTagDidChange (CControl* pControl) override;

	// IController
	CView* createView (const UIAttributes& attributes, const IUIDescription* description) override;
	CView* verifyView (CView* view, const UIAttributes& attributes, const IUIDescription* description) override;
	IController* createSubController (UTF8StringPtr name, const IUIDescription* description) override;

	/** The parameter a control is bound to, or null. */
	Steinberg::Vst::Parameter* getBoundParameter (CControl* control) const;

	OBJ_METHODS (VST3Editor, VSTGUIEditor)

protected:
	~VST3Editor () override;

private:
	class ParameterBinding;
	/** Binds a control whose tag names a parameter; false when it names none. */
	bool bindControl (CControl* control);
	void unbindControl (CControl* control);
	void unbindAll ();
	ParameterBinding* findBinding (CControl* control) const;
	void fail (const std::string& message);

	SharedPointer<UIDescription> description;
	VST3EditorDelegate* delegate {nullptr};
	std::map<Steinberg::Vst::ParamID, ParameterBinding*> bindings;
	std::vector<CControl*> retagged; // bound controls whose tag is being changed
	std::string templateName;
	std::string xmlFile;
	std::string lastError;
};

} // VSTGUI
