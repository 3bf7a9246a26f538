// ComponentBase: what the processor and the controller components share —
// the host context (IPluginBase) and the connection point to the peer component.
#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstmessage.h"

namespace Steinberg {
namespace Vst {

class ComponentBase : public FObject, public IPluginBase, public IConnectionPoint
{
public:
	ComponentBase () = default;
	~ComponentBase () override;

	// IPluginBase
	tresult PLUGIN_API initialize (FUnknown* context) SMTG_OVERRIDE;
	tresult PLUGIN_API terminate () SMTG_OVERRIDE;

	// IConnectionPoint
	tresult PLUGIN_API connect (IConnectionPoint* other) SMTG_OVERRIDE;
	tresult PLUGIN_API disconnect (IConnectionPoint* other) SMTG_OVERRIDE;
	tresult PLUGIN_API notify (IMessage* message) SMTG_OVERRIDE;

	FUnknown* getHostContext () const { return hostContext; }
	IConnectionPoint* getPeer () const { return peerConnection; }

	// A new message from the host (IHostApplication::createInstance), or null.
	IMessage* allocateMessage () const;
	tresult sendMessage (IMessage* message) const;
	tresult sendTextMessage (const char8* text) const;

	OBJ_METHODS (ComponentBase, FObject)
	DEFINE_INTERFACES
	DEF_INTERFACE (IPluginBase)
	DEF_INTERFACE (IConnectionPoint)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)

protected:
	IPtr<FUnknown> hostContext;
	IPtr<IConnectionPoint> peerConnection;
	// Between initialize and terminate; the host context may be null.
	bool initialized {false};
};

} // namespace Vst
} // namespace Steinberg
