#include "plugcontroller.h"

#include "plugaboutcontroller.h"
#include "processor/paramstate.h"
#include "processor/plugids.h"
#include "vdrangeparameter.h"

#include "pluginterfaces/vst/ivsthostapplication.h"

#include <algorithm>
#include <cstring>

namespace Steinberg {
namespace Vst {

namespace {
const TChar* const kBandTitles[kNumBands] = {
    u"25Hz",  u"40Hz",   u"63Hz",   u"100Hz", u"160Hz",  u"250Hz", u"400Hz", u"630Hz",
    u"1kHz",  u"1.6kHz", u"2.5kHz", u"4kHz",  u"6.3kHz", u"10kHz", u"16kHz"};
} // namespace

PlugController::~PlugController ()
{
	// The about controllers belong to the editor; only the list goes.
	aboutControllers.clear ();
}

FUnknown* PlugController::createInstance (void* /*context*/)
{
	return static_cast<IEditController*> (new PlugController);
}

tresult PLUGIN_API PlugController::initialize (FUnknown* context)
{
	// A second initialize without terminate, which the base refuses, keeps the
	// parameters it has.
	if (EditController::initialize (context) != kResultOk)
		return kResultOk;

	parameters.addParameter (u"Bypass", nullptr, 1, 0.,
	                         ParameterInfo::kCanAutomate | ParameterInfo::kIsBypass, kBypassId,
	                         kRootUnitId, nullptr);

	auto addRange = [this] (const TChar* title, ParamID id, ParamValue minPlain, ParamValue maxPlain) {
		auto* parameter = new VDRangeParameter (title, id, u"dB", ParameterInfo::kCanAutomate,
		                                        minPlain, maxPlain, 0.);
		parameter->setPrecision (2);
		parameters.addParameter (parameter);
	};
	addRange (u"Level", kLevelId, -36., 12.);
	for (int32 band = 0; band < kNumBands; ++band)
		addRange (kBandTitles[band], kBand0Id + band, -12., 12.);
	return kResultOk;
}

tresult PLUGIN_API PlugController::setComponentState (IBStream* state)
{
	ParamState stored {};
	tresult result = stored.read (state);
	if (result != kResultOk)
		return result;

	setParamNormalized (kBypassId, stored.bypass ? 1. : 0.);
	setParamNormalized (kLevelId, stored.level);
	for (int32 band = 0; band < kNumBands; ++band)
		setParamNormalized (kBand0Id + band, stored.bands[band]);
	// The reserved values and flags mean nothing to the controller.
	return kResultOk;
}

IPlugView* PLUGIN_API PlugController::createView (FIDString name)
{
	if (!name || std::strcmp (name, ViewType::kEditor) != 0)
		return nullptr;
	// Knobs follow linear mouse movement in this editor, whatever the host asked for.
	setKnobMode (kLinearMode);
	auto* editor = new VSTGUI::VST3Editor (this, "view", "plug.uidesc");
	// An editor whose description cannot be read would never open: the host gets no view
	// (the editor has said why on stderr).
	if (!editor->isValid ())
	{
		editor->release ();
		return nullptr;
	}
	return editor;
}

VSTGUI::IController* PlugController::createSubController (VSTGUI::UTF8StringPtr name,
                                                          const VSTGUI::IUIDescription* /*description*/,
                                                          VSTGUI::VST3Editor* /*editor*/)
{
	if (!name || std::strcmp (name, "AboutController") != 0)
		return nullptr;
	IVst3ToAUWrapper* wrapper = nullptr;
	if (FUnknown* context = getHostContext ())
	{
		if (context->queryInterface (IVst3ToAUWrapper::iid, reinterpret_cast<void**> (&wrapper)) != kResultOk)
			wrapper = nullptr;
	}
	auto* controller = new AboutController (this, wrapper != nullptr);
	addAboutController (controller);
	if (wrapper)
		wrapper->release ();
	return controller;
}

void PlugController::addAboutController (AboutController* controller)
{
	aboutControllers.push_back (controller);
}

void PlugController::removeAboutController (AboutController* controller)
{
	auto it = std::find (aboutControllers.begin (), aboutControllers.end (), controller);
	if (it != aboutControllers.end ())
		aboutControllers.erase (it);
}

} // namespace Vst
} // namespace Steinberg
