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
void init (void* instance)
{
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
