#include "vstguidebug.h"

namespace VSTGUI {

namespace {
AssertionHandler& handlerStorage ()
{
	static AssertionHandler handler;
	return handler;
}
} // anonymous

void setAssertionHandler (const AssertionHandler& handler)
{
	handlerStorage () = handler;
}

bool hasAssertionHandler ()
{
	return static_cast<bool> (handlerStorage ());
}

void doAssert (const char* filename, const char* line, const char* desc) noexcept (false)
{
	auto& handler = handlerStorage ();
	if (handler)
		handler (filename, line, desc);
}

} // VSTGUI
