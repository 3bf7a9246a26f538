// libFuzzer's entry points for one target; PALVIS_FUZZ_ENTRY names it.
#include "fuzzsupport.h"

#include <cstdio>
#include <cstdlib>

void fuzz::reportBrokenProperty (const char* file, int line, const std::string& what)
{
	std::fprintf (stderr, "%s:%d: property broken: %s\n", file, line, what.c_str ());
	std::abort ();
}

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
	fuzz::prepareTargets ();
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
	return PALVIS_FUZZ_ENTRY (data, size);
}
