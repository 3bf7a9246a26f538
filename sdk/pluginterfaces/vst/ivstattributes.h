// IAttributeList: the typed attribute store of an IMessage.
#pragma once

#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg {
namespace Vst {

class IAttributeList : public FUnknown
{
public:
	using AttrID = const char*;

	virtual tresult PLUGIN_API setInt (AttrID id, int64 value) = 0;                          // 3
	virtual tresult PLUGIN_API getInt (AttrID id, int64& value) = 0;                         // 4
	virtual tresult PLUGIN_API setFloat (AttrID id, double value) = 0;                       // 5
	virtual tresult PLUGIN_API getFloat (AttrID id, double& value) = 0;                      // 6
	virtual tresult PLUGIN_API setString (AttrID id, const TChar* string) = 0;               // 7
	virtual tresult PLUGIN_API getString (AttrID id, TChar* string, uint32 sizeInBytes) = 0; // 8
	virtual tresult PLUGIN_API setBinary (AttrID id, const void* data, uint32 sizeInBytes) = 0;   // 9
	virtual tresult PLUGIN_API getBinary (AttrID id, const void*& data, uint32& sizeInBytes) = 0; // 10

	static const FUID iid;
};
DECLARE_CLASS_IID (IAttributeList, 0x1E5F0AEB, 0xCC7F4533, 0xA2544011, 0x38AD5EE4)

} // namespace Vst
} // namespace Steinberg
