#include "test_support.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

namespace testsupport {

using namespace Steinberg;
using namespace Steinberg::Vst;

const char* const kBandTitles[15] = {"25Hz",  "40Hz",   "63Hz",   "100Hz", "160Hz", "250Hz",  "400Hz", "630Hz",
                                     "1kHz",  "1.6kHz", "2.5kHz", "4kHz",  "6.3kHz", "10kHz", "16kHz"};
const int kBandFrequencies[15] = {25, 40, 63, 100, 160, 250, 400, 630, 1000, 1600, 2500, 4000, 6300, 10000, 16000};

std::string bundlePath ()
{
	return PALVIS_BUNDLE_DIR;
}

std::string fakeBundlePath (const std::string& variant)
{
	return std::string (FAKE_BUNDLES_DIR) + "/fake_" + variant + ".vst3";
}

namespace {
template <class T>
void put (std::vector<std::uint8_t>& out, T value)
{
	std::uint8_t bytes[sizeof (T)];
	std::memcpy (bytes, &value, sizeof (T)); // x86_64: little-endian, as the stream is
	out.insert (out.end (), bytes, bytes + sizeof (T));
}
} // namespace

std::vector<std::uint8_t> encodeState (const StateValues& values)
{
	std::vector<std::uint8_t> out;
	put (out, values.leadingWord);
	put (out, values.bypass);
	put (out, values.level);
	for (double band : values.bands)
		put (out, band);
	for (double reserved : values.reserved)
		put (out, reserved);
	for (std::int32_t flag : values.reservedFlags)
		put (out, flag);
	return out;
}

void BundleTest::SetUp ()
{
	std::string error;
	module = vsthost::Module::load (bundlePath (), error);
	ASSERT_NE (module, nullptr) << error;
}

void BundleTest::TearDown ()
{
	module.reset ();
}

std::unique_ptr<vsthost::PluginInstance> BundleTest::createInstance (const vsthost::InstanceOptions& options)
{
	std::string error;
	auto instance = vsthost::PluginInstance::createFirstAudioEffect (*module, error, options);
	EXPECT_NE (instance, nullptr) << error;
	return instance;
}

vsthost::AudioBuffer makeSine (double frequency, double sampleRate, double seconds, double amplitude, size_t channels)
{
	vsthost::AudioBuffer buffer;
	buffer.sampleRate = sampleRate;
	const auto frames = static_cast<size_t> (std::llround (seconds * sampleRate));
	buffer.resize (channels, frames);
	const double twoPi = 6.283185307179586;
	for (size_t i = 0; i < frames; ++i)
	{
		auto value = static_cast<float> (amplitude * std::sin (twoPi * frequency * static_cast<double> (i) / sampleRate));
		for (auto& channel : buffer.channels)
			channel[i] = value;
	}
	return buffer;
}

vsthost::AudioBuffer makeNoise (double sampleRate, size_t frames, double amplitude, unsigned seed, size_t channels)
{
	vsthost::AudioBuffer buffer;
	buffer.sampleRate = sampleRate;
	buffer.resize (channels, frames);
	std::mt19937 random (seed);
	std::uniform_real_distribution<double> distribution (-amplitude, amplitude);
	for (auto& channel : buffer.channels)
		for (auto& sample : channel)
			sample = static_cast<float> (distribution (random));
	return buffer;
}

double rms (const std::vector<double>& samples, size_t begin, size_t end)
{
	double sum = 0;
	for (size_t i = begin; i < end; ++i)
		sum += samples[i] * samples[i];
	return std::sqrt (sum / static_cast<double> (end - begin));
}

std::set<std::string> folderEntries (const std::string& folder)
{
	std::set<std::string> names;
	for (auto& entry : std::filesystem::directory_iterator (folder))
		names.insert (entry.path ().filename ().string ());
	return names;
}

} // namespace testsupport
