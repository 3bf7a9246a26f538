// The module's entry and exit points and the initialisers they run.
#include "public.sdk/source/main/moduleinit.h"

#include <gtest/gtest.h>

extern "C" bool ModuleEntry (void*);
extern "C" bool ModuleExit (void);

namespace {

int initRuns = 0;
int deinitRuns = 0;
std::string order;
void* handleSeenByInit = nullptr;

Steinberg::ModuleInitializer late ([] { order += "b"; }, 2000);
Steinberg::ModuleInitializer early ([] {
	order += "a";
	++initRuns;
	handleSeenByInit = Steinberg::getPlatformModuleHandle ();
});
Steinberg::ModuleTerminator done ([] { ++deinitRuns; });

} // namespace

TEST (ModuleEntry, FirstEntryInitialisesLastExitDeinitialises)
{
	int token = 0;
	EXPECT_EQ (Steinberg::getPlatformModuleHandle (), nullptr);
	EXPECT_TRUE (ModuleEntry (&token));
	EXPECT_EQ (initRuns, 1);
	EXPECT_EQ (order, "ab");
	EXPECT_EQ (handleSeenByInit, &token);
	EXPECT_EQ (Steinberg::getPlatformModuleHandle (), &token);

	int other = 0;
	EXPECT_TRUE (ModuleEntry (&other)); // nested: nothing runs again
	EXPECT_EQ (initRuns, 1);
	EXPECT_EQ (Steinberg::getPlatformModuleHandle (), &token);

	EXPECT_TRUE (ModuleExit ());
	EXPECT_EQ (deinitRuns, 0);
	EXPECT_TRUE (ModuleExit ());
	EXPECT_EQ (deinitRuns, 1);
	EXPECT_EQ (Steinberg::getPlatformModuleHandle (), nullptr);

	EXPECT_FALSE (ModuleExit ()); // more exits than entries
	EXPECT_EQ (deinitRuns, 1);

	EXPECT_TRUE (ModuleEntry (&token)); // a new first entry initialises again
	EXPECT_EQ (initRuns, 2);
	EXPECT_TRUE (ModuleExit ());
	EXPECT_EQ (deinitRuns, 2);
}

TEST (ModuleEntry, BundlePathOfABinaryOutsideABundleIsItsFolder)
{
	const std::string path = Steinberg::getPlatformModuleBundlePath ();
	ASSERT_FALSE (path.empty ());
	EXPECT_EQ (path.find ("/Contents"), std::string::npos);
	EXPECT_NE (path.find ("tests/processor"), std::string::npos);
}
