// Helpers shared by the integration tests.
#pragma once

#include "hostlib/audiofile.h"
#include "hostlib/module.h"
#include "hostlib/plugininstance.h"

#include "tempdir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace testsupport {

// The built plug-in bundle ("vd Palvis.vst3" in the build tree).
std::string bundlePath ();
// Folder of the stand-in bundles (fake_<variant>.vst3).
std::string fakeBundlePath (const std::string& variant);
// A fresh, empty temporary folder, removed by the destructor.
using PalvisTest::TempDir;

// The plug-in's state stream in its documented layout (204 bytes).
struct StateValues
{
	std::int64_t leadingWord {0};
	std::int32_t bypass {0};
	double level {0.75};
	std::array<double, 15> bands {0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5};
	std::array<double, 6> reserved {};
	std::array<std::int32_t, 4> reservedFlags {};
};
std::vector<std::uint8_t> encodeState (const StateValues& values);
constexpr size_t kStateSize = 204;

// Parameter IDs and titles as the plug-in declares them.
constexpr Steinberg::Vst::ParamID kBypassId = 0;
constexpr Steinberg::Vst::ParamID kLevelId = 1;
constexpr Steinberg::Vst::ParamID kFirstBandId = 2;
extern const char* const kBandTitles[15];
extern const int kBandFrequencies[15];

// Loads the bundle for each test and creates instances of its audio class.
class BundleTest : public ::testing::Test
{
protected:
	void SetUp () override;
	void TearDown () override;
	std::unique_ptr<vsthost::PluginInstance> createInstance (const vsthost::InstanceOptions& options = {});

	std::unique_ptr<vsthost::Module> module;
};

// Test signals; values are exactly representable as float.
vsthost::AudioBuffer makeSine (double frequency, double sampleRate, double seconds, double amplitude,
                               size_t channels = 2);
vsthost::AudioBuffer makeNoise (double sampleRate, size_t frames, double amplitude, unsigned seed, size_t channels = 2);
double rms (const std::vector<double>& samples, size_t begin, size_t end);

// The names in a folder (to see, say, that no temporary file stayed behind).
std::set<std::string> folderEntries (const std::string& folder);

} // namespace testsupport
