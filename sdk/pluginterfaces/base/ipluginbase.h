// IPluginBase and the class-factory interfaces with their info records.
#pragma once

#include "pluginterfaces/base/funknown.h"

#include <cstddef>
#include <cstring>

namespace Steinberg {

//------------------------------------------------------------------------
class IPluginBase : public FUnknown
{
public:
	virtual tresult PLUGIN_API initialize (FUnknown* context) = 0; // slot 3
	virtual tresult PLUGIN_API terminate () = 0;                   // slot 4

	static const FUID iid;
};
DECLARE_CLASS_IID (IPluginBase, 0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625)

namespace FactoryDetail {
// Truncating copy that always leaves a terminating zero in the field.
inline void copyString8 (char8* dst, const char8* src, size_t size)
{
	std::memset (dst, 0, size);
	if (!src)
		return;
	size_t n = std::strlen (src);
	if (n > size - 1)
		n = size - 1;
	std::memcpy (dst, src, n);
}
inline void copyString16 (char16* dst, const char16* src, size_t size)
{
	std::memset (dst, 0, size * sizeof (char16));
	if (!src)
		return;
	for (size_t i = 0; i + 1 < size && src[i]; ++i)
		dst[i] = src[i];
}
inline void asciiToString16 (char16* dst, const char8* src, size_t size)
{
	std::memset (dst, 0, size * sizeof (char16));
	if (!src)
		return;
	for (size_t i = 0; i + 1 < size && src[i]; ++i)
		dst[i] = static_cast<char16> (static_cast<uint8> (src[i]));
}
} // namespace FactoryDetail

//------------------------------------------------------------------------
struct PFactoryInfo
{
	enum FactoryFlags
	{
		kNoFlags = 0,
		kClassesDiscardable = 1 << 0,
		kLicenseCheck = 1 << 1,
		kComponentNonDiscardable = 1 << 3,
		kUnicode = 1 << 4
	};
	enum
	{
		kURLSize = 256,
		kEmailSize = 128,
		kNameSize = 64
	};

	char8 vendor[kNameSize];
	char8 url[kURLSize];
	char8 email[kEmailSize];
	int32 flags;

	PFactoryInfo () { std::memset (this, 0, sizeof (PFactoryInfo)); }
	PFactoryInfo (const char8* _vendor, const char8* _url, const char8* _email, int32 _flags)
	{
		std::memset (this, 0, sizeof (PFactoryInfo));
		FactoryDetail::copyString8 (vendor, _vendor, kNameSize);
		FactoryDetail::copyString8 (url, _url, kURLSize);
		FactoryDetail::copyString8 (email, _email, kEmailSize);
		flags = _flags;
	}
};

//------------------------------------------------------------------------
struct PClassInfo
{
	enum ClassCardinality
	{
		kManyInstances = 0x7FFFFFFF
	};
	enum
	{
		kCategorySize = 32,
		kNameSize = 64
	};

	TUID cid;
	int32 cardinality;
	char8 category[kCategorySize];
	char8 name[kNameSize];

	PClassInfo () { std::memset (this, 0, sizeof (PClassInfo)); }
	PClassInfo (const TUID _cid, int32 _cardinality, const char8* _category, const char8* _name)
	{
		std::memset (this, 0, sizeof (PClassInfo));
		std::memcpy (cid, _cid, sizeof (TUID));
		cardinality = _cardinality;
		FactoryDetail::copyString8 (category, _category, kCategorySize);
		FactoryDetail::copyString8 (name, _name, kNameSize);
	}
};

//------------------------------------------------------------------------
struct PClassInfo2
{
	enum
	{
		kVendorSize = 64,
		kVersionSize = 64,
		kSubCategoriesSize = 128
	};

	TUID cid;
	int32 cardinality;
	char8 category[PClassInfo::kCategorySize];
	char8 name[PClassInfo::kNameSize];
	uint32 classFlags;
	char8 subCategories[kSubCategoriesSize];
	char8 vendor[kVendorSize];
	char8 version[kVersionSize];
	char8 sdkVersion[kVersionSize];

	PClassInfo2 () { std::memset (this, 0, sizeof (PClassInfo2)); }
	PClassInfo2 (const TUID _cid, int32 _cardinality, const char8* _category, const char8* _name,
	             int32 _classFlags, const char8* _subCategories, const char8* _vendor,
	             const char8* _version, const char8* _sdkVersion)
	{
		std::memset (this, 0, sizeof (PClassInfo2));
		std::memcpy (cid, _cid, sizeof (TUID));
		cardinality = _cardinality;
		FactoryDetail::copyString8 (category, _category, PClassInfo::kCategorySize);
		FactoryDetail::copyString8 (name, _name, PClassInfo::kNameSize);
		classFlags = static_cast<uint32> (_classFlags);
		FactoryDetail::copyString8 (subCategories, _subCategories, kSubCategoriesSize);
		FactoryDetail::copyString8 (vendor, _vendor, kVendorSize);
		FactoryDetail::copyString8 (version, _version, kVersionSize);
		FactoryDetail::copyString8 (sdkVersion, _sdkVersion, kVersionSize);
	}
};

//------------------------------------------------------------------------
struct PClassInfoW
{
	enum
	{
		kVendorSize = 64,
		kVersionSize = 64,
		kSubCategoriesSize = 128
	};

	TUID cid;
	int32 cardinality;
	char8 category[PClassInfo::kCategorySize];
	char16 name[PClassInfo::kNameSize];
	uint32 classFlags;
	char8 subCategories[kSubCategoriesSize];
	char16 vendor[kVendorSize];
	char16 version[kVersionSize];
	char16 sdkVersion[kVersionSize];

	PClassInfoW () { std::memset (this, 0, sizeof (PClassInfoW)); }
	PClassInfoW (const TUID _cid, int32 _cardinality, const char8* _category, const char16* _name,
	             int32 _classFlags, const char8* _subCategories, const char16* _vendor,
	             const char16* _version, const char16* _sdkVersion)
	{
		std::memset (this, 0, sizeof (PClassInfoW));
		std::memcpy (cid, _cid, sizeof (TUID));
		cardinality = _cardinality;
		FactoryDetail::copyString8 (category, _category, PClassInfo::kCategorySize);
		FactoryDetail::copyString16 (name, _name, PClassInfo::kNameSize);
		classFlags = static_cast<uint32> (_classFlags);
		FactoryDetail::copyString8 (subCategories, _subCategories, kSubCategoriesSize);
		FactoryDetail::copyString16 (vendor, _vendor, kVendorSize);
		FactoryDetail::copyString16 (version, _version, kVersionSize);
		FactoryDetail::copyString16 (sdkVersion, _sdkVersion, kVersionSize);
	}

	// Widens the 8-bit strings of a PClassInfo2 byte by byte.
	void fromAscii (const PClassInfo2& ci2)
	{
		std::memcpy (cid, ci2.cid, sizeof (TUID));
		cardinality = ci2.cardinality;
		std::memcpy (category, ci2.category, PClassInfo::kCategorySize);
		FactoryDetail::asciiToString16 (name, ci2.name, PClassInfo::kNameSize);
		classFlags = ci2.classFlags;
		std::memcpy (subCategories, ci2.subCategories, kSubCategoriesSize);
		FactoryDetail::asciiToString16 (vendor, ci2.vendor, kVendorSize);
		FactoryDetail::asciiToString16 (version, ci2.version, kVersionSize);
		FactoryDetail::asciiToString16 (sdkVersion, ci2.sdkVersion, kVersionSize);
	}
};

//------------------------------------------------------------------------
class IPluginFactory : public FUnknown
{
public:
	virtual tresult PLUGIN_API getFactoryInfo (PFactoryInfo* info) = 0;              // slot 3
	virtual int32 PLUGIN_API countClasses () = 0;                                     // slot 4
	virtual tresult PLUGIN_API getClassInfo (int32 index, PClassInfo* info) = 0;     // slot 5
	virtual tresult PLUGIN_API createInstance (FIDString cid, FIDString _iid, void** obj) = 0; // slot 6

	static const FUID iid;
};
DECLARE_CLASS_IID (IPluginFactory, 0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F)

class IPluginFactory2 : public IPluginFactory
{
public:
	virtual tresult PLUGIN_API getClassInfo2 (int32 index, PClassInfo2* info) = 0; // slot 7

	static const FUID iid;
};
DECLARE_CLASS_IID (IPluginFactory2, 0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB)

class IPluginFactory3 : public IPluginFactory2
{
public:
	virtual tresult PLUGIN_API getClassInfoUnicode (int32 index, PClassInfoW* info) = 0; // slot 8
	virtual tresult PLUGIN_API setHostContext (FUnknown* context) = 0;                   // slot 9

	static const FUID iid;
};
DECLARE_CLASS_IID (IPluginFactory3, 0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931)

//------------------------------------------------------------------------
// Layout checks (x86_64, natural alignment).
static_assert (sizeof (PFactoryInfo) == 452 && alignof (PFactoryInfo) == 4, "PFactoryInfo layout");
static_assert (offsetof (PFactoryInfo, vendor) == 0 && offsetof (PFactoryInfo, url) == 64 &&
                   offsetof (PFactoryInfo, email) == 320 && offsetof (PFactoryInfo, flags) == 448,
               "PFactoryInfo offsets");
static_assert (sizeof (PClassInfo) == 116 && alignof (PClassInfo) == 4, "PClassInfo layout");
static_assert (offsetof (PClassInfo, cid) == 0 && offsetof (PClassInfo, cardinality) == 16 &&
                   offsetof (PClassInfo, category) == 20 && offsetof (PClassInfo, name) == 52,
               "PClassInfo offsets");
static_assert (sizeof (PClassInfo2) == 440 && alignof (PClassInfo2) == 4, "PClassInfo2 layout");
static_assert (offsetof (PClassInfo2, classFlags) == 116 && offsetof (PClassInfo2, subCategories) == 120 &&
                   offsetof (PClassInfo2, vendor) == 248 && offsetof (PClassInfo2, version) == 312 &&
                   offsetof (PClassInfo2, sdkVersion) == 376,
               "PClassInfo2 offsets");
static_assert (sizeof (PClassInfoW) == 696 && alignof (PClassInfoW) == 4, "PClassInfoW layout");
static_assert (offsetof (PClassInfoW, name) == 52 && offsetof (PClassInfoW, classFlags) == 180 &&
                   offsetof (PClassInfoW, subCategories) == 184 && offsetof (PClassInfoW, vendor) == 312 &&
                   offsetof (PClassInfoW, version) == 440 && offsetof (PClassInfoW, sdkVersion) == 568,
               "PClassInfoW offsets");

} // namespace Steinberg

// The module's one factory entry point.
extern "C" {
SMTG_EXPORT_SYMBOL Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory ();
using GetFactoryProc = Steinberg::IPluginFactory* (PLUGIN_API*)();
}
