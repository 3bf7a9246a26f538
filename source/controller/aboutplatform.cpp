#include "aboutplatform.h"

#include <cerrno>

#if defined(__APPLE__)
#include <sys/sysctl.h>
#include <sys/types.h>
#else
#include <sys/utsname.h>
#endif

namespace Steinberg {
namespace Vst {
namespace AboutPlatform {

const char8* macPlatformName (const TranslationQuery& query)
{
	if (!query.succeeded)
		return query.errorNumber == ENOENT ? "x86_64-macOS" : "unknown";
	switch (query.value)
	{
		case 0: return "arm64-macOS";
		case 1: return "arm64-macOS (T)";
		case 2: return "x86_64-macOS";
		default: return "unknown";
	}
}

std::string currentPlatformName ()
{
#if defined(__APPLE__)
	TranslationQuery query;
	size_t size = sizeof (query.value);
	errno = 0;
	query.succeeded = sysctlbyname ("sysctl.proc_translated", &query.value, &size, nullptr, 0) == 0;
	if (!query.succeeded)
		query.errorNumber = errno;
	return macPlatformName (query);
#else
	// Not a Mac: name the machine and the system as they are rather than claim macOS
	// ("x86_64-Linux", "aarch64-Linux", ...).
	struct utsname name {};
	if (uname (&name) != 0 || name.machine[0] == 0 || name.sysname[0] == 0)
		return "unknown";
	return std::string (name.machine) + "-" + name.sysname;
#endif
}

} // namespace AboutPlatform
} // namespace Vst
} // namespace Steinberg
