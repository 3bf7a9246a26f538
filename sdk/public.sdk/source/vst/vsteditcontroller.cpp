#include "public.sdk/source/vst/vsteditcontroller.h"

namespace Steinberg {
namespace Vst {

KnobMode EditController::hostKnobMode = kCircularMode;

EditController::EditController () = default;

EditController::~EditController () = default;

tresult PLUGIN_API EditController::initialize (FUnknown* context)
{
	return ComponentBase::initialize (context);
}

tresult PLUGIN_API EditController::terminate ()
{
	parameters.removeAll ();
	componentHandler = nullptr;
	componentHandler2 = nullptr;
	return ComponentBase::terminate ();
}

tresult PLUGIN_API EditController::setComponentState (IBStream* /*state*/)
{
	return kNotImplemented;
}

tresult PLUGIN_API EditController::setState (IBStream* /*state*/)
{
	return kNotImplemented;
}

tresult PLUGIN_API EditController::getState (IBStream* /*state*/)
{
	return kNotImplemented;
}

int32 PLUGIN_API EditController::getParameterCount ()
{
	return parameters.getParameterCount ();
}

tresult PLUGIN_API EditController::getParameterInfo (int32 paramIndex, ParameterInfo& info)
{
	if (Parameter* parameter = parameters.getParameterByIndex (paramIndex))
	{
		info = parameter->getInfo ();
		return kResultTrue;
	}
	return kResultFalse;
}

tresult EditController::getParameterInfoByTag (ParamID tag, ParameterInfo& info)
{
	if (Parameter* parameter = getParameterObject (tag))
	{
		info = parameter->getInfo ();
		return kResultTrue;
	}
	return kResultFalse;
}

tresult PLUGIN_API EditController::getParamStringByValue (ParamID tag, ParamValue valueNormalized,
                                                          String128 string)
{
	Parameter* parameter = getParameterObject (tag);
	if (!parameter || !string)
		return kResultFalse;
	parameter->toString (valueNormalized, string);
	return kResultTrue;
}

tresult PLUGIN_API EditController::getParamValueByString (ParamID tag, TChar* string,
                                                          ParamValue& valueNormalized)
{
	Parameter* parameter = getParameterObject (tag);
	if (!parameter || !string)
		return kResultFalse;
	return parameter->fromString (string, valueNormalized) ? kResultTrue : kResultFalse;
}

ParamValue PLUGIN_API EditController::normalizedParamToPlain (ParamID tag, ParamValue valueNormalized)
{
	if (Parameter* parameter = getParameterObject (tag))
		return parameter->toPlain (valueNormalized);
	return valueNormalized;
}

ParamValue PLUGIN_API EditController::plainParamToNormalized (ParamID tag, ParamValue plainValue)
{
	if (Parameter* parameter = getParameterObject (tag))
		return parameter->toNormalized (plainValue);
	return plainValue;
}

ParamValue PLUGIN_API EditController::getParamNormalized (ParamID tag)
{
	if (Parameter* parameter = getParameterObject (tag))
		return parameter->getNormalized ();
	return 0.;
}

tresult PLUGIN_API EditController::setParamNormalized (ParamID tag, ParamValue value)
{
	if (Parameter* parameter = getParameterObject (tag))
	{
		parameter->setNormalized (value);
		return kResultTrue;
	}
	return kResultFalse;
}

tresult PLUGIN_API EditController::setComponentHandler (IComponentHandler* handler)
{
	if (componentHandler.get () == handler)
		return kResultTrue;
	// Take the new references before dropping the old ones.
	IPtr<IComponentHandler> newHandler (handler);
	IPtr<IComponentHandler2> newHandler2;
	if (handler)
		newHandler2 = FUnknownPtr<IComponentHandler2> (handler);
	componentHandler = newHandler;
	componentHandler2 = newHandler2;
	return kResultTrue;
}

IPlugView* PLUGIN_API EditController::createView (FIDString /*name*/)
{
	return nullptr;
}

tresult PLUGIN_API EditController::setKnobMode (KnobMode mode)
{
	// Only the three modes the interface defines; anything else would reach the
	// editor's knobs as a mode they do not know.
	if (mode < kCircularMode || mode > kLinearMode)
		return kInvalidArgument;
	hostKnobMode = mode;
	return kResultTrue;
}

tresult PLUGIN_API EditController::openHelp (TBool /*onlyCheck*/)
{
	return kResultFalse;
}

tresult PLUGIN_API EditController::openAboutBox (TBool /*onlyCheck*/)
{
	return kResultFalse;
}

tresult EditController::beginEdit (ParamID tag)
{
	return componentHandler ? componentHandler->beginEdit (tag) : kResultFalse;
}

tresult EditController::performEdit (ParamID tag, ParamValue valueNormalized)
{
	return componentHandler ? componentHandler->performEdit (tag, valueNormalized) : kResultFalse;
}

tresult EditController::endEdit (ParamID tag)
{
	return componentHandler ? componentHandler->endEdit (tag) : kResultFalse;
}

tresult EditController::startGroupEdit ()
{
	return componentHandler2 ? componentHandler2->startGroupEdit () : kResultFalse;
}

tresult EditController::finishGroupEdit ()
{
	return componentHandler2 ? componentHandler2->finishGroupEdit () : kResultFalse;
}

tresult EditController::setDirty (TBool state)
{
	return componentHandler2 ? componentHandler2->setDirty (state) : kResultFalse;
}

tresult EditController::requestOpenEditor (FIDString name)
{
	return componentHandler2 ? componentHandler2->requestOpenEditor (name) : kResultFalse;
}

} // namespace Vst
} // namespace Steinberg
