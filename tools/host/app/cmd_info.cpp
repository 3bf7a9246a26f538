// vst3host info BUNDLE

#include "common.h"

#include "hostlib/strings.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <cstdio>

namespace vsthost {
namespace app {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
std::string flagNames (uint32 flags, std::initializer_list<std::pair<uint32, const char*>> names)
{
	char hex[16];
	std::snprintf (hex, sizeof (hex), "0x%X", flags);
	std::string text;
	for (auto& entry : names)
		if (flags & entry.first)
			text += (text.empty () ? "" : "|") + std::string (entry.second);
	return std::to_string (flags) + " (" + hex + (text.empty () ? "" : ": " + text) + ")";
}

std::string factoryFlagsText (int32 flags)
{
	return flagNames (static_cast<uint32> (flags), {{PFactoryInfo::kClassesDiscardable, "kClassesDiscardable"},
	                                                {PFactoryInfo::kLicenseCheck, "kLicenseCheck"},
	                                                {PFactoryInfo::kComponentNonDiscardable, "kComponentNonDiscardable"},
	                                                {PFactoryInfo::kUnicode, "kUnicode"}});
}

std::string classFlagsText (uint32 flags)
{
	return flagNames (flags, {{kDistributable, "kDistributable"}, {kSimpleModeSupported, "kSimpleModeSupported"}});
}

void printClass (const ClassInfo& info)
{
	std::printf ("class %d:\n", info.index);
	std::printf ("  IPluginFactory:\n");
	std::printf ("    cid: %s\n", info.cidString ().c_str ());
	std::printf ("    cardinality: %d%s\n", info.cardinality,
	             info.cardinality == PClassInfo::kManyInstances ? " (kManyInstances)" : "");
	std::printf ("    category: %s\n", quoted (info.category).c_str ());
	std::printf ("    name: %s\n", quoted (info.name).c_str ());
	if (info.hasInfo2)
	{
		std::printf ("  IPluginFactory2:\n");
		std::printf ("    classFlags: %s\n", classFlagsText (info.classFlags).c_str ());
		std::printf ("    subCategories: %s\n", quoted (info.subCategories).c_str ());
		std::printf ("    vendor: %s\n", quoted (info.vendor).c_str ());
		std::printf ("    version: %s\n", quoted (info.version).c_str ());
		std::printf ("    sdkVersion: %s\n", quoted (info.sdkVersion).c_str ());
	}
	else
		std::printf ("  IPluginFactory2: not offered\n");
	if (info.hasInfoW)
	{
		std::printf ("  IPluginFactory3 (unicode):\n");
		std::printf ("    name: %s\n", quoted (info.nameW).c_str ());
		std::printf ("    classFlags: %s\n", classFlagsText (info.classFlagsW).c_str ());
		std::printf ("    subCategories: %s\n", quoted (info.subCategoriesW).c_str ());
		std::printf ("    vendor: %s\n", quoted (info.vendorW).c_str ());
		std::printf ("    version: %s\n", quoted (info.versionW).c_str ());
		std::printf ("    sdkVersion: %s\n", quoted (info.sdkVersionW).c_str ());
	}
	else
		std::printf ("  IPluginFactory3: not offered\n");
}

const char* busTypeName (BusType type)
{
	return type == kMain ? "main" : type == kAux ? "aux" : "unknown";
}

void printBuses (IComponent* component, IAudioProcessor* processor, MediaType media, BusDirection direction)
{
	const char* dirName = direction == kInput ? "input" : "output";
	int32 count = component->getBusCount (media, direction);
	std::printf ("  %s %s buses: %d\n", media == kAudio ? "audio" : "event", dirName, count);
	for (int32 i = 0; i < count; ++i)
	{
		BusInfo bus {};
		if (component->getBusInfo (media, direction, i, bus) != kResultOk)
		{
			std::printf ("    %s bus %d: getBusInfo failed\n", dirName, i);
			continue;
		}
		std::printf ("    %s bus %d: name %s, channels %d, type %s (%d), flags %s", dirName, i,
		             quoted (toUtf8 (bus.name, 128)).c_str (), bus.channelCount, busTypeName (bus.busType),
		             bus.busType,
		             flagNames (bus.flags, {{BusInfo::kDefaultActive, "kDefaultActive"},
		                                    {BusInfo::kIsControlVoltage, "kIsControlVoltage"}})
		                 .c_str ());
		SpeakerArrangement arrangement = 0;
		if (media == kAudio && processor->getBusArrangement (direction, i, arrangement) == kResultOk)
			std::printf (", arrangement 0x%llX", static_cast<unsigned long long> (arrangement));
		std::printf ("\n");
	}
}

void printAudioClass (const Module& module, const ClassInfo& info)
{
	std::printf ("audio processor %s (class %d):\n", quoted (info.name).c_str (), info.index);
	std::string error;
	auto instance = PluginInstance::create (module, info.cid, error);
	if (!instance)
	{
		std::printf ("  cannot create: %s\n", error.c_str ());
		return;
	}
	IComponent* component = instance->getComponent ();
	IAudioProcessor* processor = instance->getProcessor ();
	if (instance->hasSeparateController ())
	{
		std::string controllerName = "not listed by the factory";
		for (auto& other : module.getClassInfos ())
			if (other.cidString () == instance->getControllerClassId ())
				controllerName = quoted (other.name);
		std::printf ("  controller: class %s, separate component, %s\n", instance->getControllerClassId ().c_str (),
		             controllerName.c_str ());
		std::printf ("  connection points: %s\n", instance->isConnected () ? "connected" : "not offered by both");
	}
	else
		std::printf ("  controller: %s\n", instance->getController () ? "the component itself" : "none");

	printBuses (component, processor, kAudio, kInput);
	printBuses (component, processor, kAudio, kOutput);
	std::printf ("  event buses: %d in, %d out\n", component->getBusCount (kEvent, kInput),
	             component->getBusCount (kEvent, kOutput));
	std::printf ("  latency: %u samples\n", processor->getLatencySamples ());
	std::printf ("  tail: %u samples\n", processor->getTailSamples ());
	std::printf ("  sample sizes: 32-bit %s, 64-bit %s\n",
	             processor->canProcessSampleSize (kSample32) == kResultTrue ? "yes" : "no",
	             processor->canProcessSampleSize (kSample64) == kResultTrue ? "yes" : "no");
	void* obj = nullptr;
	if (component->queryInterface (IProcessContextRequirements::iid, &obj) == kResultOk && obj)
	{
		auto* requirements = static_cast<IProcessContextRequirements*> (obj);
		std::printf ("  process context requirements: 0x%X\n", requirements->getProcessContextRequirements ());
		requirements->release ();
	}
	if (instance->getController ())
		printParameters (*instance, false);
	else
		std::printf ("parameters: no controller\n");
}
} // namespace

int runInfo (const Args& args)
{
	ParsedArgs parsed;
	std::string error;
	if (!parseArgs (args, {}, {}, parsed, error))
		return usageError ("info", error);
	if (parsed.positional.size () != 1)
		return usageError ("info", "expected exactly one bundle path");

	auto module = Module::load (parsed.positional[0], error);
	if (!module)
		return fail ("info", error);

	std::printf ("bundle: %s\n", module->getBundlePath ().c_str ());
	std::printf ("binary: %s\n", module->getBinaryPath ().c_str ());
	FactoryInfo factoryInfo = module->getFactoryInfo ();
	auto classes = module->getClassInfos ();
	std::printf ("factory:\n");
	std::printf ("  vendor: %s\n", quoted (factoryInfo.vendor).c_str ());
	std::printf ("  url: %s\n", quoted (factoryInfo.url).c_str ());
	std::printf ("  email: %s\n", quoted (factoryInfo.email).c_str ());
	std::printf ("  flags: %s\n", factoryFlagsText (factoryInfo.flags).c_str ());
	std::printf ("  interfaces: IPluginFactory%s%s\n", module->getFactory2 () ? " IPluginFactory2" : "",
	             module->getFactory3 () ? " IPluginFactory3" : "");
	std::printf ("  classes: %d\n", module->getFactory ()->countClasses ());
	for (auto& info : classes)
		printClass (info);
	for (auto& info : classes)
		if (info.category == kVstAudioEffectClass)
			printAudioClass (*module, info);
	return kExitOk;
}

} // namespace app
} // namespace vsthost
