// The module's class factory: vendor information and the two class entries.

#include "controller/plugcontroller.h"
#include "processor/plugids.h"
#include "processor/plugprocessor.h"

#include "public.sdk/source/main/pluginfactory.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

using namespace Steinberg;

namespace {

const char8* const kVendor = "VARDEL Soft";
const char8* const kVendorUrl = "https://www.vardelsoft.example";
const char8* const kVendorEmail = "mailto:info@vardelsoft.example";
const char8* const kVersion = "2.1.0.1";

} // namespace

SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory ()
{
	if (gPluginFactory)
	{
		gPluginFactory->addRef ();
		return gPluginFactory;
	}

	// The records are built once for the life of the module; a factory built
	// after the last one was released registers the same records again.
	static const PFactoryInfo factoryInfo (kVendor, kVendorUrl, kVendorEmail, Vst::kDefaultFactoryFlags);
	gPluginFactory = new CPluginFactory (factoryInfo);

	TUID processorCid;
	Vst::PlugProcessorUID.toTUID (processorCid);
	static const PClassInfo2 processorClass (processorCid, PClassInfo::kManyInstances, kVstAudioEffectClass,
	                                         "vd Palvis", Vst::kDistributable, Vst::PlugType::kFxEQ,
	                                         nullptr, kVersion, kVstVersionString);
	gPluginFactory->registerClass (&processorClass, Vst::PlugProcessor::createInstance, nullptr);

	TUID controllerCid;
	Vst::PlugControllerUID.toTUID (controllerCid);
	static const PClassInfo2 controllerClass (controllerCid, PClassInfo::kManyInstances,
	                                          kVstComponentControllerClass, "vd Palvis Controller", 0, "",
	                                          nullptr, kVersion, kVstVersionString);
	gPluginFactory->registerClass (&controllerClass, Vst::PlugController::createInstance, nullptr);

	return gPluginFactory;
}
