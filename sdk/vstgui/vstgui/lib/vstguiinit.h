// Library set-up with the plug-in module.
#pragma once

namespace VSTGUI {

/** Called once with the module handle (the dlopen handle on Linux). Locates the module's
 *  bundle and makes its Contents/Resources the resource directory when that exists. */
void init (void* instance);
/** Undoes init. */
void exit ();

} // VSTGUI
