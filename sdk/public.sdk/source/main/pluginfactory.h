// CPluginFactory: the module's class factory. It keeps the vendor record and
// one entry per registered class, and creates instances by class ID.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/gui/iplugview.h"

namespace Steinberg {

class CPluginFactory : public IPluginFactory3
{
public:
	using CreateFunc = FUnknown* (*)(void* context);

	explicit CPluginFactory (const PFactoryInfo& info);
	virtual ~CPluginFactory ();

	// Each returns false when the record or the create function is null, or
	// no memory is left. Registering from a PClassInfo2 keeps a UTF-16 copy too.
	bool registerClass (const PClassInfo* info, CreateFunc createFunc, void* context = nullptr);
	bool registerClass (const PClassInfo2* info, CreateFunc createFunc, void* context = nullptr);
	bool registerClass (const PClassInfoW* info, CreateFunc createFunc, void* context = nullptr);

	bool isClassRegistered (const FUID& cid);
	void removeAllClasses ();

	// The host's run loop, when the host context offered one (Linux).
	Linux::IRunLoop* getRunLoop () const { return runLoop; }

	// FUnknown
	tresult PLUGIN_API queryInterface (const TUID _iid, void** obj) SMTG_OVERRIDE;
	uint32 PLUGIN_API addRef () SMTG_OVERRIDE;
	uint32 PLUGIN_API release () SMTG_OVERRIDE;

	// IPluginFactory
	tresult PLUGIN_API getFactoryInfo (PFactoryInfo* info) SMTG_OVERRIDE;
	int32 PLUGIN_API countClasses () SMTG_OVERRIDE;
	tresult PLUGIN_API getClassInfo (int32 index, PClassInfo* info) SMTG_OVERRIDE;
	tresult PLUGIN_API createInstance (FIDString cid, FIDString _iid, void** obj) SMTG_OVERRIDE;

	// IPluginFactory2
	tresult PLUGIN_API getClassInfo2 (int32 index, PClassInfo2* info) SMTG_OVERRIDE;

	// IPluginFactory3
	tresult PLUGIN_API getClassInfoUnicode (int32 index, PClassInfoW* info) SMTG_OVERRIDE;
	tresult PLUGIN_API setHostContext (FUnknown* context) SMTG_OVERRIDE;

protected:
	struct PClassEntry
	{
		PClassInfo2 info8;
		PClassInfoW info16;
		CreateFunc createFunc;
		void* context;
		// Registered from a PClassInfoW: the 8-bit queries then report nothing.
		bool isUnicode;
	};

	bool growClasses ();
	bool addEntry (const PClassEntry& entry);

	std::atomic<int32> refCount {1};
	PFactoryInfo factoryInfo;
	PClassEntry* classes {nullptr};
	int32 classCount {0};
	int32 maxClassCount {0};
	Linux::IRunLoop* runLoop {nullptr};
};

// The module's current factory, or null. The factory's destructor clears it.
extern CPluginFactory* gPluginFactory;

} // namespace Steinberg
