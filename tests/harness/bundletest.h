// GoogleTest fixtures over the built bundle: one loaded for each test, which
// also checks that the plug-in gave back every host object it was handed, or
// one loaded once for a whole suite.
#pragma once

#include "bundleharness.h"

#include "hostlib/hostobject.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace stress {

class BundleTest : public ::testing::Test
{
protected:
	void SetUp () override
	{
		hostObjectsBefore = vsthost::liveHostObjects ();
		std::string error;
		bundle = Bundle::load (error);
		ASSERT_TRUE (bundle) << error;
	}
	void TearDown () override
	{
		bundle.reset ();
		// Everything the host handed to the plug-in was given back.
		EXPECT_EQ (vsthost::liveHostObjects (), hostObjectsBefore);
	}

	std::unique_ptr<Bundle> bundle;
	int32 hostObjectsBefore {0};
};

// Loading the module once per suite keeps long suites fast; suites run one
// after the other, so they can share the one slot.
class SharedBundleTest : public ::testing::Test
{
protected:
	static void SetUpTestSuite ()
	{
		std::string error;
		bundle = Bundle::load (error);
		ASSERT_TRUE (bundle) << error;
	}
	static void TearDownTestSuite () { bundle.reset (); }
	void SetUp () override { ASSERT_TRUE (bundle); }

	static inline std::unique_ptr<Bundle> bundle;
};

} // namespace stress
