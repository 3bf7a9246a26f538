// Names a resource of the plug-in bundle; resolved against the resource directory.
#pragma once

#include "vstguifwd.h"
#include <string>

namespace VSTGUI {

class CResourceDescription
{
public:
	enum Type : uint32_t
	{
		kIntegerType,
		kStringType,
		kUnknownType
	};

	CResourceDescription () = default;
	explicit CResourceDescription (int32_t id) : type (kIntegerType), id (id) {}
	CResourceDescription (UTF8StringPtr name) : type (name ? kStringType : kUnknownType), name (name ? name : "") {}
	CResourceDescription (const std::string& name) : type (kStringType), name (name) {}

	Type type {kUnknownType};
	int32_t id {0};
	std::string name;

	UTF8StringPtr getName () const { return name.c_str (); }
};

/** The directory (normally the bundle's Contents/Resources) that resource names are
 *  resolved against. Empty until set; then names are taken relative to the working directory. */
void setResourceDirectory (const std::string& path);
const std::string& getResourceDirectory ();
/** Full path of a named resource: absolute names stay as they are; a numeric id gives
 *  "<id>.png". Empty for an empty or unknown description. */
std::string resolveResourcePath (const CResourceDescription& desc);

} // VSTGUI
