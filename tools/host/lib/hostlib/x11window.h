// A host's top-level X11 window: waiting for it to be shown, reading its pixels.
#pragma once

#include <cstdint>
#include <vector>

typedef struct _XDisplay Display;

namespace vsthost {

// Waits up to timeoutMs for the server to map the window (its MapNotify; the window must
// select StructureNotifyMask). False when it did not come in time.
bool waitUntilMapped (Display* display, unsigned long window, int timeoutMs);

// The window's current contents as 8-bit RGBA (rows top to bottom, alpha 255), read
// with XGetImage in the window's own visual. False when the window cannot be read.
bool captureWindow (Display* display, unsigned long window, std::vector<uint8_t>& rgba, int& width, int& height);

} // namespace vsthost
