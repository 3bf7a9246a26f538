#include "cresourcedescription.h"
#include "vstguiinit.h"
#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

namespace VSTGUI {

namespace {
std::string& resourceDirectory ()
{
	static std::string dir;
	return dir;
}

bool isDirectory (const std::string& path)
{
	struct stat st;
	return !path.empty () && stat (path.c_str (), &st) == 0 && S_ISDIR (st.st_mode);
}

std::string parentDirectory (const std::string& path)
{
	auto pos = path.find_last_of ('/');
	if (pos == std::string::npos)
		return ".";
	if (pos == 0)
		return "/";
	return path.substr (0, pos);
}
} // anonymous

void setResourceDirectory (const std::string& path)
{
	resourceDirectory () = path;
}

const std::string& getResourceDirectory ()
{
	return resourceDirectory ();
}

std::string resolveResourcePath (const CResourceDescription& desc)
{
	std::string name;
	if (desc.type == CResourceDescription::kStringType)
		name = desc.name;
	else if (desc.type == CResourceDescription::kIntegerType)
		name = std::to_string (desc.id) + ".png";
	if (name.empty ())
		return {};
	if (name[0] == '/' || resourceDirectory ().empty ())
		return name;
	const std::string& dir = resourceDirectory ();
	if (dir.back () == '/')
		return dir + name;
	return dir + "/" + name;
}

//------------------------------------------------------------------------
namespace {
// The drawing libraries that the module brings along keep state for the life of the
// process (pixman's implementation tables, fontconfig's caches) and never free it. Were
// they unloaded with the module, that state would be lost at every unload; a host that
// loads and unloads the module again and again would leak it each time. Once the module
// is in use they stay loaded.
void keepDrawingLibrariesLoaded ()
{
	static const char* const libraries[] = {"libcairo.so.2",    "libpixman-1.so.0", "libfontconfig.so.1",
	                                        "libfreetype.so.6", "libpng16.so.16",   "libexpat.so.1"};
	for (const char* name : libraries)
		dlopen (name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE); // null when not loaded: nothing to keep
}
} // anonymous

void init (void* instance)
{
	keepDrawingLibrariesLoaded ();
	// The module lives in <bundle>/Contents/<arch>-linux/; its resources in <bundle>/Contents/Resources.
	std::string modulePath;
	if (instance)
	{
		struct link_map* map = nullptr;
		if (dlinfo (instance, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name)
			modulePath = map->l_name;
	}
	if (modulePath.empty ())
	{
		Dl_info info {};
		if (dladdr (reinterpret_cast<void*> (&init), &info) && info.dli_fname)
			modulePath = info.dli_fname;
	}
	if (modulePath.empty ())
		return;
	std::string contents = parentDirectory (parentDirectory (modulePath));
	std::string resources = contents + "/Resources";
	if (isDirectory (resources))
		setResourceDirectory (resources);
}

void exit ()
{
	setResourceDirectory ({});
}

} // VSTGUI
