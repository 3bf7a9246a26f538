#include "public.sdk/source/main/pluginfactory.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace Steinberg {

CPluginFactory* gPluginFactory = nullptr;

CPluginFactory::CPluginFactory (const PFactoryInfo& info) : factoryInfo (info) {}

CPluginFactory::~CPluginFactory ()
{
	if (gPluginFactory == this)
		gPluginFactory = nullptr;
	removeAllClasses ();
	if (runLoop)
		runLoop->release ();
}

tresult PLUGIN_API CPluginFactory::queryInterface (const TUID _iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	QUERY_INTERFACE (_iid, obj, FUnknown::iid, IPluginFactory)
	QUERY_INTERFACE (_iid, obj, IPluginFactory::iid, IPluginFactory)
	QUERY_INTERFACE (_iid, obj, IPluginFactory2::iid, IPluginFactory2)
	QUERY_INTERFACE (_iid, obj, IPluginFactory3::iid, IPluginFactory3)
	*obj = nullptr;
	return kNoInterface;
}

uint32 PLUGIN_API CPluginFactory::addRef ()
{
	return static_cast<uint32> (++refCount);
}

uint32 PLUGIN_API CPluginFactory::release ()
{
	auto remaining = --refCount;
	if (remaining == 0)
	{
		delete this;
		return 0;
	}
	return static_cast<uint32> (remaining);
}

bool CPluginFactory::growClasses ()
{
	int32 newMax = maxClassCount == 0 ? 8 : maxClassCount * 2;
	auto* grown = static_cast<PClassEntry*> (std::realloc (classes, sizeof (PClassEntry) * static_cast<size_t> (newMax)));
	if (!grown)
		return false;
	classes = grown;
	maxClassCount = newMax;
	return true;
}

bool CPluginFactory::addEntry (const PClassEntry& entry)
{
	if (classCount >= maxClassCount && !growClasses ())
		return false;
	std::memcpy (static_cast<void*> (&classes[classCount]), &entry, sizeof (PClassEntry));
	++classCount;
	return true;
}

bool CPluginFactory::registerClass (const PClassInfo* info, CreateFunc createFunc, void* context)
{
	if (!info || !createFunc)
		return false;
	PClassInfo2 info2;
	std::memcpy (info2.cid, info->cid, sizeof (TUID));
	info2.cardinality = info->cardinality;
	std::memcpy (info2.category, info->category, sizeof (info2.category));
	std::memcpy (info2.name, info->name, sizeof (info2.name));
	return registerClass (&info2, createFunc, context);
}

bool CPluginFactory::registerClass (const PClassInfo2* info, CreateFunc createFunc, void* context)
{
	if (!info || !createFunc)
		return false;
	PClassEntry entry;
	std::memset (static_cast<void*> (&entry), 0, sizeof (entry));
	std::memcpy (&entry.info8, info, sizeof (PClassInfo2));
	entry.info16.fromAscii (*info);
	entry.createFunc = createFunc;
	entry.context = context;
	entry.isUnicode = false;
	return addEntry (entry);
}

bool CPluginFactory::registerClass (const PClassInfoW* info, CreateFunc createFunc, void* context)
{
	if (!info || !createFunc)
		return false;
	PClassEntry entry;
	std::memset (static_cast<void*> (&entry), 0, sizeof (entry));
	std::memcpy (&entry.info16, info, sizeof (PClassInfoW));
	entry.createFunc = createFunc;
	entry.context = context;
	entry.isUnicode = true;
	return addEntry (entry);
}

bool CPluginFactory::isClassRegistered (const FUID& cid)
{
	for (int32 i = 0; i < classCount; ++i)
	{
		const TUID& id = classes[i].isUnicode ? classes[i].info16.cid : classes[i].info8.cid;
		if (FUnknownPrivate::iidEqual (id, cid.toTUID ()))
			return true;
	}
	return false;
}

void CPluginFactory::removeAllClasses ()
{
	std::free (classes);
	classes = nullptr;
	classCount = 0;
	maxClassCount = 0;
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo (PFactoryInfo* info)
{
	if (!info)
		return kInvalidArgument;
	std::memcpy (info, &factoryInfo, sizeof (PFactoryInfo));
	return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses ()
{
	return classCount;
}

tresult PLUGIN_API CPluginFactory::getClassInfo (int32 index, PClassInfo* info)
{
	if (!info || index < 0 || index >= classCount)
		return kInvalidArgument;
	const PClassEntry& entry = classes[index];
	if (entry.isUnicode)
	{
		*info = PClassInfo ();
		return kResultFalse;
	}
	std::memcpy (info->cid, entry.info8.cid, sizeof (TUID));
	info->cardinality = entry.info8.cardinality;
	std::memcpy (info->category, entry.info8.category, sizeof (info->category));
	std::memcpy (info->name, entry.info8.name, sizeof (info->name));
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2 (int32 index, PClassInfo2* info)
{
	if (!info || index < 0 || index >= classCount)
		return kInvalidArgument;
	const PClassEntry& entry = classes[index];
	if (entry.isUnicode)
	{
		*info = PClassInfo2 ();
		return kResultFalse;
	}
	std::memcpy (info, &entry.info8, sizeof (PClassInfo2));
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode (int32 index, PClassInfoW* info)
{
	if (!info || index < 0 || index >= classCount)
		return kInvalidArgument;
	std::memcpy (info, &classes[index].info16, sizeof (PClassInfoW));
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance (FIDString cid, FIDString _iid, void** obj)
{
	if (!obj)
		return kInvalidArgument;
	*obj = nullptr;
	if (!cid || !_iid)
		return kInvalidArgument;
	for (int32 i = 0; i < classCount; ++i)
	{
		const PClassEntry& entry = classes[i];
		const TUID& id = entry.isUnicode ? entry.info16.cid : entry.info8.cid;
		if (!FUnknownPrivate::iidEqual (id, cid))
			continue;
		FUnknown* instance = entry.createFunc ? entry.createFunc (entry.context) : nullptr;
		if (!instance)
			break;
		TUID iid;
		std::memcpy (iid, _iid, sizeof (TUID));
		tresult result = instance->queryInterface (iid, obj);
		// The creation reference goes; the caller keeps the one queryInterface added.
		instance->release ();
		if (result == kResultOk && *obj)
			return kResultOk;
		*obj = nullptr;
		break;
	}
	return kNoInterface;
}

tresult PLUGIN_API CPluginFactory::setHostContext (FUnknown* context)
{
#if SMTG_OS_LINUX
	Linux::IRunLoop* newLoop = nullptr;
	if (context)
	{
		void* loop = nullptr;
		if (context->queryInterface (Linux::IRunLoop::iid, &loop) == kResultOk && loop)
			newLoop = static_cast<Linux::IRunLoop*> (loop);
	}
	if (runLoop)
		runLoop->release ();
	runLoop = newLoop;
	return kResultTrue;
#else
	return kNotImplemented;
#endif
}

} // namespace Steinberg
