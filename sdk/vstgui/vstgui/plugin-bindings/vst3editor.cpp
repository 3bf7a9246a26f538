#include "vst3editor.h"

#include "../lib/cframe.h"
#include "../lib/controls/ccontrol.h"
#include "../lib/controls/cparamdisplay.h"
#include "../lib/controls/ctextlabel.h"
#include "../uidescription/uiattributes.h"
#include "../uidescription/uiviewcreator.h"

#include "base/source/fstring.h"
#include "public.sdk/source/vst/vstparameters.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace VSTGUI {

using Steinberg::Vst::ParamID;
using Steinberg::Vst::ParamValue;
using Steinberg::Vst::Parameter;

//------------------------------------------------------------------------
// One parameter and the controls bound to it. It listens to the parameter, so that a
// change from anywhere reaches every control, and carries the controls' edits to the
// controller.
//------------------------------------------------------------------------
class VST3Editor::ParameterBinding : public Steinberg::FObject, public Steinberg::IDependent
{
public:
	ParameterBinding (Steinberg::Vst::EditController* controller, Parameter* parameter)
	: controller (controller), parameter (parameter)
	{
		parameter->addDependent (this);
	}

	~ParameterBinding () override
	{
		for (auto* control : controls)
			release (control);
		parameter->removeDependent (this);
	}

	ParamID getID () const { return parameter->getInfo ().id; }
	Parameter* getParameter () const { return parameter; }
	bool hasControl (CControl* control) const
	{
		return std::find (controls.begin (), controls.end (), control) != controls.end ();
	}
	bool empty () const { return controls.empty (); }

	void addControl (CControl* control)
	{
		if (hasControl (control))
			return;
		control->remember ();
		controls.push_back (control);
		// The reset click goes to the parameter's default.
		control->setDefaultValue (toControlValue (control, parameter->getInfo ().defaultNormalizedValue));
		if (auto display = dynamic_cast<CParamDisplay*> (control))
		{
			if (!dynamic_cast<CTextLabel*> (control))
			{
				Parameter* p = parameter;
				display->setValueToStringFunction2 ([p] (float value, std::string& text, CParamDisplay* d) {
					Steinberg::Vst::String128 string {};
					p->toString (toNormalized (d, value), string);
					text = Steinberg::String::utf16ToUtf8 (string, std::char_traits<char16_t>::length (string));
					return true;
				});
			}
		}
		updateControl (control);
	}

	void removeControl (CControl* control)
	{
		auto it = std::find (controls.begin (), controls.end (), control);
		if (it == controls.end ())
			return;
		controls.erase (it);
		release (control);
	}

	/** The control's value as a normalised parameter value. */
	static ParamValue toNormalized (CControl* control, float value)
	{
		float range = control->getRange ();
		if (range == 0.f)
			return 0.;
		double v = (static_cast<double> (value) - control->getMin ()) / range;
		return std::min (1., std::max (0., v));
	}

	/** Edits that a control still has open (a wheel edit waiting for its end timer, a
	 *  drag) are ended, so that the host sees every beginEdit closed. */
	void endOpenEdits ()
	{
		std::vector<SharedPointer<CControl>> copy (controls.begin (), controls.end ());
		for (auto& control : copy)
		{
			while (control->isEditing ())
				control->endEdit ();
		}
	}

	void beginEdit () { controller->beginEdit (getID ()); }
	void endEdit () { controller->endEdit (getID ()); }
	void performEdit (CControl* control)
	{
		ParamValue value = toNormalized (control, control->getValue ());
		bool bracket = !control->isEditing ();
		if (bracket)
			beginEdit ();
		// The parameter first, so that the controls bound to it follow at once.
		controller->setParamNormalized (getID (), value);
		controller->performEdit (getID (), value);
		if (bracket)
			endEdit ();
	}

	// IDependent
	void PLUGIN_API update (Steinberg::FUnknown* changedUnknown, Steinberg::int32 message) SMTG_OVERRIDE
	{
		if (message != Steinberg::IDependent::kChanged)
			return;
		// A control may go while its value is set (a verifyView of a delegate); keep them.
		std::vector<SharedPointer<CControl>> copy (controls.begin (), controls.end ());
		for (auto& control : copy)
			updateControl (control);
	}

	DEFINE_INTERFACES
	DEF_INTERFACE (Steinberg::IDependent)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)

private:
	static float toControlValue (CControl* control, ParamValue normalized)
	{
		return static_cast<float> (control->getMin () + normalized * control->getRange ());
	}

	void updateControl (CControl* control)
	{
		control->setValue (toControlValue (control, parameter->getNormalized ()));
		// Displays show text made from the value; redraw them whenever the parameter says so.
		if (control->isDirty () || dynamic_cast<CParamDisplay*> (control))
			control->invalid ();
	}

	static void release (CControl* control)
	{
		if (auto display = dynamic_cast<CParamDisplay*> (control))
		{
			if (!dynamic_cast<CTextLabel*> (control))
				display->setValueToStringFunction2 (nullptr);
		}
		control->forget ();
	}

	Steinberg::Vst::EditController* controller;
	Steinberg::IPtr<Parameter> parameter;
	std::vector<CControl*> controls;
};

//------------------------------------------------------------------------
VST3Editor::VST3Editor (Steinberg::Vst::EditController* controller, UTF8StringPtr templateName,
                        UTF8StringPtr xmlFile)
: VSTGUIEditor (controller), templateName (templateName ? templateName : ""), xmlFile (xmlFile ? xmlFile : "")
{
	delegate = dynamic_cast<VST3EditorDelegate*> (controller);
	if (!controller)
	{
		fail ("no edit controller");
		return;
	}
	auto desc = makeOwned<UIDescription> (CResourceDescription (this->xmlFile));
	if (!desc->parse ())
	{
		fail ("cannot read the UI description '" + this->xmlFile + "': " + desc->getLastError ());
		return;
	}
	const UIAttributes* attributes = desc->getViewAttributes (this->templateName.c_str ());
	if (!attributes)
	{
		fail ("the UI description '" + this->xmlFile + "' has no template '" + this->templateName + "'");
		return;
	}
	CPoint size;
	if (!attributes->getPointAttribute (UIViewCreator::kAttrSize, size) || !(size.x >= 1.) || !(size.y >= 1.) ||
	    size.x > 16384. || size.y > 16384.)
	{
		fail ("the template '" + this->templateName + "' of '" + this->xmlFile + "' has no usable size");
		return;
	}
	desc->setController (this);
	description = desc;
	rect = Steinberg::ViewRect (0, 0, static_cast<Steinberg::int32> (std::lround (size.x)),
	                            static_cast<Steinberg::int32> (std::lround (size.y)));
}

VST3Editor::~VST3Editor ()
{
	// The frame goes first, while the delegate and the bindings can still be told.
	if (isAttached ())
		removed ();
	unbindAll ();
	if (description)
		description->setController (nullptr);
}

void VST3Editor::fail (const std::string& message)
{
	lastError = message;
	std::fprintf (stderr, "VST3Editor: %s\n", message.c_str ());
}

//------------------------------------------------------------------------
bool PLUGIN_API VST3Editor::open (void* parent, const PlatformType& type)
{
	if (!description)
	{
		if (lastError.empty ())
			fail ("no UI description");
		return false;
	}
	if (frame)
		return false;
	const double scale = contentScaleFactor;
	CFrame* newFrame = new CFrame (CRect (0, 0, rect.getWidth () / scale, rect.getHeight () / scale), this);
	frame = newFrame;
	CView* view = description->createView (templateName.c_str (), this);
	if (!view)
	{
		fail ("cannot build the template '" + templateName + "': " + description->getLastError ());
		unbindAll ();
		frame = nullptr;
		newFrame->close ();
		return false;
	}
	newFrame->addView (view);
	bool opened = false;
	if (type == PlatformType::kOffscreen)
	{
		OffscreenFrameConfig config;
		config.scaleFactor = scale;
		opened = newFrame->open (parent, type, &config);
	}
	else
		opened = newFrame->open (parent, type);
	if (!opened)
	{
		fail ("cannot open a frame of this platform type");
		unbindAll ();
		frame = nullptr;
		newFrame->close ();
		return false;
	}
	lastError.clear ();
	if (delegate)
		delegate->didOpen (this);
	return true;
}

void PLUGIN_API VST3Editor::close ()
{
	if (!frame)
		return;
	// A press under way is cancelled while its control is still bound, so that the host
	// sees its value restored and its edit closed, and its timers stop.
	{
		SharedPointer<CFrame> guard (frame);
		frame->onMouseCancel ();
	}
	if (delegate)
		delegate->willClose (this);
	for (auto& b : bindings)
		b.second->endOpenEdits ();
	unbindAll ();
	CFrame* oldFrame = frame;
	frame = nullptr;
	oldFrame->close ();
}

//------------------------------------------------------------------------
VST3Editor::ParameterBinding* VST3Editor::findBinding (CControl* control) const
{
	if (!control)
		return nullptr;
	auto tag = control->getTag ();
	if (tag < 0)
		return nullptr;
	auto it = bindings.find (static_cast<ParamID> (tag));
	if (it == bindings.end () || !it->second->hasControl (control))
		return nullptr;
	return it->second;
}

bool VST3Editor::bindControl (CControl* control)
{
	if (!control || !controller || control->getTag () < 0)
		return false;
	auto id = static_cast<ParamID> (control->getTag ());
	auto it = bindings.find (id);
	if (it == bindings.end ())
	{
		Parameter* parameter = controller->getParameterObject (id);
		if (!parameter)
			return false;
		it = bindings.emplace (id, new ParameterBinding (controller, parameter)).first;
	}
	it->second->addControl (control);
	return true;
}

void VST3Editor::unbindControl (CControl* control)
{
	if (auto binding = findBinding (control))
	{
		binding->removeControl (control);
		if (binding->empty ())
		{
			bindings.erase (binding->getID ());
			binding->release ();
		}
	}
}

void VST3Editor::unbindAll ()
{
	auto old = std::move (bindings);
	bindings.clear ();
	for (auto& b : old)
		b.second->release ();
}

Parameter* VST3Editor::getBoundParameter (CControl* control) const
{
	auto binding = findBinding (control);
	return binding ? binding->getParameter () : nullptr;
}

//------------------------------------------------------------------------
void VST3Editor::valueChanged (CControl* pControl)
{
	if (auto binding = findBinding (pControl))
		binding->performEdit (pControl);
}

void VST3Editor::controlBeginEdit (CControl* pControl)
{
	if (auto binding = findBinding (pControl))
		binding->beginEdit ();
}

void VST3Editor::controlEndEdit (CControl* pControl)
{
	if (auto binding = findBinding (pControl))
		binding->endEdit ();
}

void VST3Editor::controlTagWillChange (CControl* pControl)
{
	if (findBinding (pControl))
	{
		retagged.push_back (pControl);
		unbindControl (pControl);
	}
}

void VST3Editor::controlTagDidChange (CControl* pControl)
{
	auto it = std::find (retagged.begin (), retagged.end (), pControl);
	if (it == retagged.end ())
		return;
	retagged.erase (it);
	bindControl (pControl);
}

//------------------------------------------------------------------------
CView* VST3Editor::createView (const UIAttributes& attributes, const IUIDescription* desc)
{
	if (!delegate)
		return nullptr;
	auto name = attributes.getAttributeValue (IUIDescription::kCustomViewName);
	if (!name)
		return nullptr;
	return delegate->createCustomView (name->c_str (), attributes, desc, this);
}

CView* VST3Editor::verifyView (CView* view, const UIAttributes& attributes, const IUIDescription* desc)
{
	if (auto control = dynamic_cast<CControl*> (view))
	{
		// Only controls that report to the editor are bound; others belong to a controller of their own.
		if (control->getListener () == this)
			bindControl (control);
	}
	if (delegate && view)
	{
		CView* verified = delegate->verifyView (view, attributes, desc, this);
		if (verified != view)
		{
			if (auto control = dynamic_cast<CControl*> (view))
				unbindControl (control);
			if (auto control = dynamic_cast<CControl*> (verified))
			{
				if (control->getListener () == this)
					bindControl (control);
			}
		}
		return verified;
	}
	return view;
}

IController* VST3Editor::createSubController (UTF8StringPtr name, const IUIDescription* desc)
{
	return delegate ? delegate->createSubController (name, desc, this) : nullptr;
}

} // VSTGUI
