// The X11 window layer: platform frames for PlatformType::kX11EmbedWindowID.
//
// A frame opened in an X11 parent window (the XID a host hands to IPlugView::attached)
// gets a child window of that parent, an XEmbed client, on a display connection of its
// own. It draws with Cairo into a back buffer (the same drawing as an offscreen frame) and
// copies the redrawn parts to the window (XPutImage on the usual true-colour visuals,
// cairo-xlib on any other), and turns the window's X events into the frame's input. Everything
// runs on the installed run loop (see irunloop.h): the connection's file descriptor is
// registered there, and a timer of the loop redraws what was invalidated and reads
// events Xlib has already queued. No thread is started. Without an installed run loop
// no window is made.
//
// The plug-in module registers the layer when it is entered (module-init registry);
// programs that link the library directly call registerFrameFactory() themselves.
#pragma once

#include <cstdint>

namespace VSTGUI {
namespace X11 {

/** Makes CFrame::open() use this layer for PlatformType::kX11EmbedWindowID. */
void registerFrameFactory ();
/** Removes it again (frames that are open stay open). */
void unregisterFrameFactory ();

/** Frames of this layer that exist now. */
uint32_t getLiveFrameCount ();

/** Milliseconds between two redraw-and-read ticks on the run loop. */
constexpr uint32_t kTickInterval = 16;

} // X11
} // VSTGUI
