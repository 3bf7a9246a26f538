// The pixels of an X11 window, as a host shows them.
#pragma once

#include <cstdint>
#include <vector>

typedef struct _XDisplay Display;

namespace vsthost {

// The window's current contents as 8-bit RGBA (rows top to bottom, alpha 255), read
// with XGetImage in the window's own visual. False when the window cannot be read.
bool captureWindow (Display* display, unsigned long window, std::vector<uint8_t>& rgba, int& width, int& height);

} // namespace vsthost
