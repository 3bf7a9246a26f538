#include "public.sdk/source/vst/vstcomponentbase.h"

#include "pluginterfaces/vst/ivsthostapplication.h"

namespace Steinberg {
namespace Vst {

ComponentBase::~ComponentBase () = default;

tresult PLUGIN_API ComponentBase::initialize (FUnknown* context)
{
	// A component is initialised once; a second call before terminate is
	// refused, also when the first one came without a host context.
	if (initialized)
		return kResultFalse;
	initialized = true;
	hostContext = context;
	return kResultOk;
}

tresult PLUGIN_API ComponentBase::terminate ()
{
	peerConnection = nullptr;
	hostContext = nullptr;
	initialized = false;
	return kResultOk;
}

tresult PLUGIN_API ComponentBase::connect (IConnectionPoint* other)
{
	if (!other)
		return kInvalidArgument;
	if (peerConnection)
		return kResultFalse;
	peerConnection = other;
	return kResultOk;
}

tresult PLUGIN_API ComponentBase::disconnect (IConnectionPoint* other)
{
	if (peerConnection && other == peerConnection.get ())
	{
		peerConnection = nullptr;
		return kResultOk;
	}
	return kResultFalse;
}

tresult PLUGIN_API ComponentBase::notify (IMessage* message)
{
	return kResultFalse;
}

IMessage* ComponentBase::allocateMessage () const
{
	FUnknownPtr<IHostApplication> host (hostContext);
	if (!host)
		return nullptr;
	TUID iid;
	IMessage::iid.toTUID (iid);
	void* obj = nullptr;
	if (host->createInstance (iid, iid, &obj) == kResultOk && obj)
		return static_cast<IMessage*> (obj);
	return nullptr;
}

tresult ComponentBase::sendMessage (IMessage* message) const
{
	if (message && peerConnection)
		return peerConnection->notify (message);
	return kResultFalse;
}

tresult ComponentBase::sendTextMessage (const char8* text) const
{
	auto msg = owned (allocateMessage ());
	if (!msg)
		return kResultFalse;
	msg->setMessageID ("TextMessage");
	if (auto attributes = msg->getAttributes ())
	{
		// ASCII widened to UTF-16, bounded like the SDK's String128 fields.
		TChar buffer[128] = {};
		for (int i = 0; text && text[i] && i < 127; ++i)
			buffer[i] = static_cast<TChar> (static_cast<uint8> (text[i]));
		attributes->setString ("Text", buffer);
	}
	return sendMessage (msg);
}

} // namespace Vst
} // namespace Steinberg
