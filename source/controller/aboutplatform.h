// The platform name of the about line, from the operating system.
#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <string>

namespace Steinberg {
namespace Vst {
namespace AboutPlatform {

// What sysctlbyname ("sysctl.proc_translated") gave on macOS: whether the call succeeded,
// errno when it failed, and the value it wrote (which starts at 0).
struct TranslationQuery
{
	bool succeeded {false};
	int errorNumber {0};
	int32 value {0};
};

// The macOS platform name for that outcome:
//   failed with ENOENT (no such name: an Intel Mac)  "x86_64-macOS"
//   failed otherwise                                 "unknown"
//   succeeded with 0 (native Apple silicon)          "arm64-macOS"
//   succeeded with 1 (translated by Rosetta)         "arm64-macOS (T)"
//   succeeded with 2                                 "x86_64-macOS"
//   succeeded with anything else                     "unknown"
const char8* macPlatformName (const TranslationQuery& query);

// The name for the running process: on macOS the table above for the real query; elsewhere
// the machine and the system that uname reports, e.g. "x86_64-Linux", or "unknown" when
// uname fails.
std::string currentPlatformName ();

} // namespace AboutPlatform
} // namespace Vst
} // namespace Steinberg
