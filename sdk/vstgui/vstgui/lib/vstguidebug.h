// Assertion routine of the GUI library. Reports go to a handler that the
// application may install; without one nothing happens. An exception thrown by
// the handler passes to the caller of the failed check.
#pragma once

#include <functional>

namespace VSTGUI {

using AssertionHandler = std::function<void (const char* filename, const char* line, const char* desc)>;

void setAssertionHandler (const AssertionHandler& handler);
bool hasAssertionHandler ();
void doAssert (const char* filename, const char* line, const char* desc = nullptr) noexcept (false);

} // VSTGUI

#define VSTGUI_MAKE_STRING_PRIVATE_DONT_USE(x) #x
#define VSTGUI_MAKE_STRING(x) VSTGUI_MAKE_STRING_PRIVATE_DONT_USE (x)

#define vstgui_assert(x, ...) \
	do \
	{ \
		if (!(x)) \
			::VSTGUI::doAssert (__FILE__, VSTGUI_MAKE_STRING (__LINE__), ##__VA_ARGS__); \
	} while (false)
