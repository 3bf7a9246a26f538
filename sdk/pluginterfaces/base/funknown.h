// FUnknown, result codes and 16-byte interface/class identifiers.
#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <atomic>
#include <cstring>

namespace Steinberg {

// Result codes (non-COM platforms: a plain enum).
enum {
	kNoInterface = -1,
	kResultOk = 0,
	kResultTrue = kResultOk,
	kResultFalse = 1,
	kInvalidArgument = 2,
	kNotImplemented = 3,
	kInternalError = 4,
	kNotInitialized = 5,
	kOutOfMemory = 6
};

using TUID = int8[16];

// Byte form of an ID given as four 32-bit words: each word most significant byte first.
#define INLINE_UID(l1, l2, l3, l4)                                                          \
	{                                                                                       \
		(::Steinberg::int8)(((::Steinberg::uint32)(l1) & 0xFF000000) >> 24),                \
		(::Steinberg::int8)(((::Steinberg::uint32)(l1) & 0x00FF0000) >> 16),                \
		(::Steinberg::int8)(((::Steinberg::uint32)(l1) & 0x0000FF00) >> 8),                 \
		(::Steinberg::int8)(((::Steinberg::uint32)(l1) & 0x000000FF)),                      \
		(::Steinberg::int8)(((::Steinberg::uint32)(l2) & 0xFF000000) >> 24),                \
		(::Steinberg::int8)(((::Steinberg::uint32)(l2) & 0x00FF0000) >> 16),                \
		(::Steinberg::int8)(((::Steinberg::uint32)(l2) & 0x0000FF00) >> 8),                 \
		(::Steinberg::int8)(((::Steinberg::uint32)(l2) & 0x000000FF)),                      \
		(::Steinberg::int8)(((::Steinberg::uint32)(l3) & 0xFF000000) >> 24),                \
		(::Steinberg::int8)(((::Steinberg::uint32)(l3) & 0x00FF0000) >> 16),                \
		(::Steinberg::int8)(((::Steinberg::uint32)(l3) & 0x0000FF00) >> 8),                 \
		(::Steinberg::int8)(((::Steinberg::uint32)(l3) & 0x000000FF)),                      \
		(::Steinberg::int8)(((::Steinberg::uint32)(l4) & 0xFF000000) >> 24),                \
		(::Steinberg::int8)(((::Steinberg::uint32)(l4) & 0x00FF0000) >> 16),                \
		(::Steinberg::int8)(((::Steinberg::uint32)(l4) & 0x0000FF00) >> 8),                 \
		(::Steinberg::int8)(((::Steinberg::uint32)(l4) & 0x000000FF))                       \
	}

namespace FUnknownPrivate {
inline bool iidEqual (const void* iid1, const void* iid2)
{
	return std::memcmp (iid1, iid2, sizeof (TUID)) == 0;
}
} // namespace FUnknownPrivate

//------------------------------------------------------------------------
// FUID: a 16-byte ID. Constant-initialisable, so interface and class IDs are
// ready as soon as the module is loaded.
//------------------------------------------------------------------------
class FUID
{
public:
	constexpr FUID () : data {} {}
	constexpr FUID (uint32 l1, uint32 l2, uint32 l3, uint32 l4) : data INLINE_UID (l1, l2, l3, l4) {}
	FUID (const TUID uid) : data {} { if (uid) std::memcpy (data, uid, sizeof (TUID)); }
	constexpr FUID (const FUID&) = default;
	FUID& operator= (const FUID&) = default;

	bool isValid () const
	{
		for (auto b : data)
			if (b != 0)
				return true;
		return false;
	}

	bool operator== (const FUID& other) const { return FUnknownPrivate::iidEqual (data, other.data); }
	bool operator!= (const FUID& other) const { return !(*this == other); }
	bool operator< (const FUID& other) const { return std::memcmp (data, other.data, sizeof (TUID)) < 0; }

	operator const TUID& () const { return data; }
	const TUID& toTUID () const { return data; }
	void toTUID (TUID result) const { std::memcpy (result, data, sizeof (TUID)); }
	static FUID fromTUID (const TUID uid) { return FUID (uid); }

	uint32 getLong1 () const { return word (0); }
	uint32 getLong2 () const { return word (4); }
	uint32 getLong3 () const { return word (8); }
	uint32 getLong4 () const { return word (12); }

	// 32 upper-case hex digits and a terminating zero (33 bytes).
	void toString (char8* string) const
	{
		static const char hex[] = "0123456789ABCDEF";
		for (int i = 0; i < 16; ++i)
		{
			auto b = static_cast<uint8> (data[i]);
			string[2 * i] = hex[b >> 4];
			string[2 * i + 1] = hex[b & 0x0F];
		}
		string[32] = 0;
	}
	// Parses 32 hex digits; false (and unchanged) on anything else.
	bool fromString (const char8* string)
	{
		if (!string)
			return false;
		TUID tmp;
		for (int i = 0; i < 16; ++i)
		{
			int hi = hexValue (string[2 * i]);
			int lo = hi < 0 ? -1 : hexValue (string[2 * i + 1]);
			if (hi < 0 || lo < 0)
				return false;
			tmp[i] = static_cast<int8> ((hi << 4) | lo);
		}
		std::memcpy (data, tmp, sizeof (TUID));
		return true;
	}

protected:
	uint32 word (int at) const
	{
		return (uint32 (uint8 (data[at])) << 24) | (uint32 (uint8 (data[at + 1])) << 16) |
		       (uint32 (uint8 (data[at + 2])) << 8) | uint32 (uint8 (data[at + 3]));
	}
	static int hexValue (char c)
	{
		if (c >= '0' && c <= '9') return c - '0';
		if (c >= 'a' && c <= 'f') return c - 'a' + 10;
		if (c >= 'A' && c <= 'F') return c - 'A' + 10;
		return -1;
	}
	TUID data;
};

// Every interface declares "static const FUID iid;" in its class body; this
// defines it (an inline variable, constant-initialised) right after the class.
#define DECLARE_CLASS_IID(ClassName, l1, l2, l3, l4) \
	inline const ::Steinberg::FUID ClassName::iid (l1, l2, l3, l4);

#define DEF_CLASS_IID(ClassName)

//------------------------------------------------------------------------
// FUnknown: the root of every interface. Vtable slots 0..2.
//------------------------------------------------------------------------
class FUnknown
{
public:
	virtual tresult PLUGIN_API queryInterface (const TUID _iid, void** obj) = 0;
	virtual uint32 PLUGIN_API addRef () = 0;
	virtual uint32 PLUGIN_API release () = 0;

	static const FUID iid;
};
DECLARE_CLASS_IID (FUnknown, 0x00000000, 0x00000000, 0xC0000000, 0x00000046)

//------------------------------------------------------------------------
// Building blocks for hand-written queryInterface/addRef/release.
//------------------------------------------------------------------------
#define QUERY_INTERFACE(iid, obj, InterfaceIID, InterfaceName)                     \
	if (::Steinberg::FUnknownPrivate::iidEqual (iid, InterfaceIID))                \
	{                                                                              \
		addRef ();                                                                 \
		*obj = static_cast<InterfaceName*> (this);                                 \
		return ::Steinberg::kResultOk;                                             \
	}

#define DECLARE_FUNKNOWN_METHODS                                                       \
public:                                                                                \
	virtual ::Steinberg::tresult PLUGIN_API queryInterface (const ::Steinberg::TUID _iid, \
	                                                        void** obj) SMTG_OVERRIDE;  \
	virtual ::Steinberg::uint32 PLUGIN_API addRef () SMTG_OVERRIDE;                    \
	virtual ::Steinberg::uint32 PLUGIN_API release () SMTG_OVERRIDE;                   \
                                                                                       \
protected:                                                                             \
	std::atomic<::Steinberg::int32> __funknownRefCount {1};                            \
                                                                                       \
public:

#define IMPLEMENT_REFCOUNT(ClassName)                                                  \
	::Steinberg::uint32 PLUGIN_API ClassName::addRef ()                                \
	{                                                                                  \
		return static_cast<::Steinberg::uint32> (++__funknownRefCount);                \
	}                                                                                  \
	::Steinberg::uint32 PLUGIN_API ClassName::release ()                               \
	{                                                                                  \
		auto remaining = --__funknownRefCount;                                         \
		if (remaining == 0)                                                            \
		{                                                                              \
			delete this;                                                               \
			return 0;                                                                  \
		}                                                                              \
		return static_cast<::Steinberg::uint32> (remaining);                           \
	}

#define IMPLEMENT_QUERYINTERFACE(ClassName, InterfaceName, ClassIID)                   \
	::Steinberg::tresult PLUGIN_API ClassName::queryInterface (const ::Steinberg::TUID _iid, \
	                                                           void** obj)             \
	{                                                                                  \
		if (!obj)                                                                      \
			return ::Steinberg::kInvalidArgument;                                      \
		QUERY_INTERFACE (_iid, obj, ::Steinberg::FUnknown::iid, InterfaceName)         \
		QUERY_INTERFACE (_iid, obj, ClassIID, InterfaceName)                           \
		*obj = nullptr;                                                                \
		return ::Steinberg::kNoInterface;                                              \
	}

#define IMPLEMENT_FUNKNOWN_METHODS(ClassName, InterfaceName, ClassIID) \
	IMPLEMENT_REFCOUNT (ClassName)                                     \
	IMPLEMENT_QUERYINTERFACE (ClassName, InterfaceName, ClassIID)

#define FUNKNOWN_CTOR
#define FUNKNOWN_DTOR

} // namespace Steinberg

#include "pluginterfaces/base/smartpointer.h"

namespace Steinberg {
//------------------------------------------------------------------------
// FUnknownPtr<I>: asks an object for interface I and holds the answer.
//------------------------------------------------------------------------
template <class I>
class FUnknownPtr : public IPtr<I>
{
public:
	FUnknownPtr () = default;
	explicit FUnknownPtr (FUnknown* unknown)
	{
		if (unknown)
		{
			void* obj = nullptr;
			if (unknown->queryInterface (I::iid, &obj) == kResultOk && obj)
				this->ptr = static_cast<I*> (obj);
		}
	}
	I* getInterface () const { return this->ptr; }
};
} // namespace Steinberg
