// Basic types of the VST3 binary interface (x86_64 Linux / macOS, LP64).
#pragma once

#include <cstdint>

#if defined(__APPLE__)
#define SMTG_OS_MACOS 1
#define SMTG_OS_LINUX 0
#else
#define SMTG_OS_MACOS 0
#define SMTG_OS_LINUX 1
#endif

#if defined(__LP64__) || defined(_WIN64)
#define SMTG_PLATFORM_64 1
#else
#define SMTG_PLATFORM_64 0
#endif

// Only Windows uses COM-compatible result codes; on Linux and macOS the
// interfaces use the plain SysV/Itanium C++ ABI with no calling-convention tag.
#define COM_COMPATIBLE 0
#define PLUGIN_API
#define SMTG_EXPORT_SYMBOL __attribute__((visibility("default")))
#define SMTG_OVERRIDE override

#define kLittleEndian 0
#define kBigEndian 1
#if defined(__BYTE_ORDER__) && (__BYTE_ORDER__ == __ORDER_BIG_ENDIAN__)
#define BYTEORDER kBigEndian
#else
#define BYTEORDER kLittleEndian
#endif

namespace Steinberg {

using int8 = char;
using uint8 = uint8_t;
using uchar = unsigned char;
using int16 = int16_t;
using uint16 = uint16_t;
using int32 = int32_t;
using uint32 = uint32_t;
using int64 = int64_t;
using uint64 = uint64_t;
using TSize = int64;
using tresult = int32;
using TBool = uint8;
using char8 = char;
using char16 = char16_t;
using tchar = char16;
using CStringA = const char8*;
using CStringW = const char16*;
using FIDString = const char8*;
using UCoord = int32;

static const int32 kMaxLong = 0x7fffffff;
static const int32 kMinLong = (-0x7fffffff - 1);
static const int32 kMaxInt32 = kMaxLong;
static const int32 kMinInt32 = kMinLong;
static const uint32 kMaxInt32u = 0xffffffff;
static const int64 kMaxInt64 = 0x7fffffffffffffffLL;
static const int64 kMinInt64 = (-0x7fffffffffffffffLL - 1);

template <class T>
inline const T& Min(const T& a, const T& b) { return b < a ? b : a; }
template <class T>
inline const T& Max(const T& a, const T& b) { return a < b ? b : a; }

} // namespace Steinberg

static_assert(sizeof(Steinberg::char16) == 2, "char16 must be 2 bytes");
static_assert(sizeof(Steinberg::TBool) == 1, "TBool must be 1 byte");
