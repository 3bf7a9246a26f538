// Audio through the bundle: band gains, bypass, sample sizes and block sizes.

#include "hostlib/render.h"

#include "test_support.h"

#include <cmath>
#include <cstring>
#include <random>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace testsupport;
using vsthost::AudioBuffer;

class BundleRender : public BundleTest
{
protected:
	AudioBuffer render (const AudioBuffer& input, const std::vector<std::pair<ParamID, double>>& params,
	                    bool doublePrecision = false, int32 blockSize = 512)
	{
		auto instance = createInstance ();
		AudioBuffer output;
		if (!instance)
			return output;
		for (auto& param : params)
			instance->setParameter (param.first, param.second);
		vsthost::RenderOptions options;
		options.blockSize = blockSize;
		options.doublePrecision = doublePrecision;
		std::string error;
		EXPECT_TRUE (vsthost::renderAudio (*instance, input, output, options, error)) << error;
		return output;
	}
};

bool bitIdentical (const std::vector<double>& a, const std::vector<double>& b)
{
	return a.size () == b.size () && (a.empty () || std::memcmp (a.data (), b.data (), a.size () * sizeof (double)) == 0);
}

struct BandCase
{
	ParamID id;
	double frequency;
	double sampleRate;
	double normalized;
	double expectedGain;
};

void PrintTo (const BandCase& c, std::ostream* out)
{
	*out << "ID " << c.id << " at " << c.frequency << " Hz, " << c.sampleRate << " Hz, value " << c.normalized;
}

class BundleBandGain : public BundleRender, public ::testing::WithParamInterface<BandCase>
{
};

// A steady sine at a band's centre comes out scaled by the band's peak gain:
// 10^(12/20) = 3.9811 for +12 dB, its reciprocal for -12 dB.
TEST_P (BundleBandGain, GainAtTheBandCentre)
{
	const BandCase& c = GetParam ();
	const AudioBuffer input = makeSine (c.frequency, c.sampleRate, 2.0, 0.2);
	const AudioBuffer output = render (input, {{c.id, c.normalized}});
	ASSERT_EQ (output.frames (), input.frames ());
	ASSERT_EQ (output.channelCount (), 2u);
	// The last second holds a whole number of periods for every case here.
	const size_t begin = input.frames () / 2;
	const size_t end = input.frames ();
	const double inputRms = rms (input.channels[0], begin, end);
	for (size_t channel = 0; channel < 2; ++channel)
	{
		double gain = rms (output.channels[channel], begin, end) / inputRms;
		EXPECT_NEAR (gain, c.expectedGain, c.expectedGain * 2e-4) << "channel " << channel;
	}
}

INSTANTIATE_TEST_SUITE_P (
    Bands, BundleBandGain,
    ::testing::Values (BandCase {kFirstBandId + 8, 1000.0, 48000.0, 1.0, 3.9810717055349722},
                       BandCase {kFirstBandId + 8, 1000.0, 44100.0, 1.0, 3.9810717055349722},
                       BandCase {kFirstBandId + 4, 160.0, 44100.0, 1.0, 3.9810717055349722},
                       BandCase {kFirstBandId + 12, 6300.0, 48000.0, 1.0, 3.9810717055349722},
                       BandCase {kFirstBandId + 8, 1000.0, 48000.0, 0.0, 1.0 / 3.9810717055349722},
                       BandCase {kFirstBandId + 8, 1000.0, 48000.0, 0.75, 1.9952623149688795}),
    [] (const ::testing::TestParamInfo<BandCase>& info) {
	    const BandCase& c = info.param;
	    const long db = std::lround (24 * c.normalized - 12);
	    return "Id" + std::to_string (c.id) + "_" + std::to_string (static_cast<int> (c.frequency)) + "Hz_at_" +
	           std::to_string (static_cast<int> (c.sampleRate)) + (db < 0 ? "_minus" : "_plus") +
	           std::to_string (std::labs (db)) + "dB";
    });

TEST_F (BundleRender, OtherBandsLeaveTheToneAlone)
{
	// +12 dB at 16 kHz barely touches 100 Hz.
	const AudioBuffer input = makeSine (100.0, 48000.0, 2.0, 0.2);
	const AudioBuffer output = render (input, {{kFirstBandId + 14, 1.0}});
	const size_t begin = input.frames () / 2;
	double gain = rms (output.channels[0], begin, input.frames ()) / rms (input.channels[0], begin, input.frames ());
	EXPECT_NEAR (gain, 1.0, 1e-3);
}

TEST_F (BundleRender, LevelScalesTheOutput)
{
	const AudioBuffer input = makeSine (440.0, 44100.0, 1.0, 0.2);
	// Level at normalised 0: -36 dB. The change arrives with the first block and
	// the level glides there (50 ms time constant); measure well after that.
	const AudioBuffer output = render (input, {{kLevelId, 0.0}});
	const size_t begin = input.frames () / 2;
	double gain = rms (output.channels[1], begin, input.frames ()) / rms (input.channels[1], begin, input.frames ());
	EXPECT_NEAR (gain, 0.015848931924611134, 1e-6);
}

TEST_F (BundleRender, BypassIsBitTransparent)
{
	const AudioBuffer input = makeNoise (48000.0, 10000, 0.9, 1234);
	const std::vector<std::pair<ParamID, double>> params = {
	    {kBypassId, 1.0}, {kLevelId, 1.0}, {kFirstBandId + 3, 0.0}, {kFirstBandId + 9, 1.0}};
	for (bool doublePrecision : {false, true})
	{
		SCOPED_TRACE (doublePrecision ? "64-bit" : "32-bit");
		const AudioBuffer output = render (input, params, doublePrecision, 333);
		ASSERT_EQ (output.frames (), input.frames ());
		EXPECT_TRUE (bitIdentical (output.channels[0], input.channels[0]));
		EXPECT_TRUE (bitIdentical (output.channels[1], input.channels[1]));
	}
}

TEST_F (BundleRender, DefaultSettingsAt32BitAreBitTransparent)
{
	const AudioBuffer input = makeNoise (44100.0, 5000, 0.5, 99);
	const AudioBuffer output = render (input, {});
	EXPECT_TRUE (bitIdentical (output.channels[0], input.channels[0]));
	EXPECT_TRUE (bitIdentical (output.channels[1], input.channels[1]));
}

TEST_F (BundleRender, SampleSizesAgreeWithinFloatRounding)
{
	const AudioBuffer input = makeNoise (48000.0, 20000, 0.5, 7);
	const std::vector<std::pair<ParamID, double>> params = {
	    {kLevelId, 0.8}, {kFirstBandId + 1, 0.9}, {kFirstBandId + 6, 0.2}, {kFirstBandId + 11, 0.7}, {kFirstBandId + 14, 1.0}};
	const AudioBuffer out32 = render (input, params, false);
	const AudioBuffer out64 = render (input, params, true);
	ASSERT_EQ (out32.frames (), input.frames ());
	ASSERT_EQ (out64.frames (), input.frames ());
	size_t mismatches = 0;
	for (size_t channel = 0; channel < 2; ++channel)
	{
		for (size_t i = 0; i < input.frames (); ++i)
		{
			double exact = out64.channels[channel][i];
			// One float rounding of the 64-bit result.
			double ulp = std::nextafter (static_cast<float> (std::fabs (exact)), INFINITY) - static_cast<float> (std::fabs (exact));
			if (std::fabs (out32.channels[channel][i] - exact) > ulp && ++mismatches <= 5)
				ADD_FAILURE () << "channel " << channel << " sample " << i << ": " << out32.channels[channel][i]
				               << " vs " << exact;
		}
	}
	EXPECT_EQ (mismatches, 0u);
	EXPECT_FALSE (bitIdentical (out32.channels[0], input.channels[0])); // the bands did act
}

TEST_F (BundleRender, BlockSizeDoesNotChangeTheResult)
{
	const AudioBuffer input = makeNoise (44100.0, 9000, 0.5, 3);
	const std::vector<std::pair<ParamID, double>> params = {{kFirstBandId + 2, 0.1}, {kFirstBandId + 10, 0.95}};
	const AudioBuffer reference = render (input, params, true, 4096);
	for (int32 block : {1, 64, 100, 512})
	{
		SCOPED_TRACE ("block " + std::to_string (block));
		const AudioBuffer output = render (input, params, true, block);
		EXPECT_TRUE (bitIdentical (output.channels[0], reference.channels[0]));
		EXPECT_TRUE (bitIdentical (output.channels[1], reference.channels[1]));
	}
}

// Streaming from a file into a file gives exactly the whole-buffer render, for
// random lengths (with none and with whole chunks among them), block sizes,
// sample sizes, channel counts and settings.
TEST_F (BundleRender, FileStreamingEqualsTheWholeBufferRender)
{
	std::mt19937 random (4242);
	TempDir temp;
	const std::string in = temp.file ("in.wav");
	const std::string out = temp.file ("out.wav");
	for (int round = 0; round < 16; ++round)
	{
		const size_t frames = round == 0 ? 0 : round == 1 ? 16384 : random () % 30000;
		const auto block = static_cast<int32> (random () % 3 == 0 ? 1 + random () % 16 : 1 + random () % 20000);
		const bool doublePrecision = random () % 2;
		const auto channels = static_cast<size_t> (1 + random () % 3);
		SCOPED_TRACE ("round " + std::to_string (round) + ": " + std::to_string (frames) + " frames, block " +
		              std::to_string (block) + (doublePrecision ? ", 64-bit" : ", 32-bit"));
		std::vector<std::pair<ParamID, double>> params;
		for (int i = 0; i < 3; ++i)
			params.emplace_back (kFirstBandId + random () % 15, std::uniform_real_distribution<double> (0, 1) (random));
		const AudioBuffer input = makeNoise (44100.0, frames, 0.5, random (), channels);
		std::string error;
		ASSERT_TRUE (vsthost::writeWavFile (in, input, vsthost::SampleFormat::Float32, error)) << error;
		const AudioBuffer reference = render (input, params, doublePrecision, block);

		auto instance = createInstance ();
		ASSERT_NE (instance, nullptr);
		for (auto& param : params)
			instance->setParameter (param.first, param.second);
		vsthost::SoundFileReader reader;
		ASSERT_TRUE (reader.open (in, error)) << error;
		vsthost::OutputFormat format;
		ASSERT_TRUE (vsthost::outputFormatForPath (out, doublePrecision, format, error)) << error;
		vsthost::SoundFileWriter writer;
		ASSERT_TRUE (writer.open (out, format, reader.sampleRate (), reader.promisedFrames (), error)) << error;
		vsthost::RenderOptions options;
		options.blockSize = block;
		options.doublePrecision = doublePrecision;
		std::uint64_t rendered = 0;
		ASSERT_TRUE (vsthost::renderFile (*instance, reader, writer, options, rendered, error)) << error;
		ASSERT_TRUE (writer.commit (error)) << error;
		EXPECT_EQ (rendered, frames);

		AudioBuffer streamed;
		ASSERT_TRUE (vsthost::readAudioFile (out, streamed, error)) << error;
		ASSERT_EQ (streamed.channelCount (), 2u);
		EXPECT_TRUE (bitIdentical (streamed.channels[0], reference.channels[0]));
		EXPECT_TRUE (bitIdentical (streamed.channels[1], reference.channels[1]));
	}
}

TEST_F (BundleRender, MonoInputFeedsBothChannels)
{
	const AudioBuffer mono = makeSine (1000.0, 48000.0, 0.5, 0.3, 1);
	const AudioBuffer output = render (mono, {{kFirstBandId + 8, 1.0}});
	ASSERT_EQ (output.channelCount (), 2u);
	EXPECT_TRUE (bitIdentical (output.channels[0], output.channels[1]));
}

TEST_F (BundleRender, HostRefusesBlocksOutsideTheSetUp)
{
	auto instance = createInstance ();
	ASSERT_NE (instance, nullptr);
	std::vector<float> a (128), b (128);
	float* in[2] = {a.data (), a.data ()};
	float* out[2] = {b.data (), b.data ()};
	EXPECT_EQ (instance->process32 (in, out, 2, 64), kNotInitialized); // not active yet
	std::string error;
	ASSERT_TRUE (instance->start (44100, 64, kSample32, error)) << error;
	EXPECT_EQ (instance->process32 (in, out, 2, 65), kInvalidArgument);
	EXPECT_EQ (instance->process32 (in, out, 2, 64), kResultOk);
	AudioBuffer input = makeSine (100.0, 44100.0, 0.01, 0.1);
	AudioBuffer output;
	vsthost::RenderOptions options;
	options.blockSize = 128;
	EXPECT_FALSE (vsthost::renderAudio (*instance, input, output, options, error));
}

} // namespace

namespace {

TEST_F (BundleRender, BandsAtOrAboveHalfTheRateAreOff)
{
	// At 32 kHz the 16 kHz band is off whatever its setting; at 22050 Hz the
	// 10 kHz band still acts.
	const AudioBuffer at32k = makeNoise (32000.0, 8000, 0.5, 5);
	const AudioBuffer out32k = render (at32k, {{kFirstBandId + 14, 1.0}});
	EXPECT_TRUE (bitIdentical (out32k.channels[0], at32k.channels[0]));
	const AudioBuffer at22k = makeNoise (22050.0, 8000, 0.5, 5);
	EXPECT_FALSE (bitIdentical (render (at22k, {{kFirstBandId + 13, 1.0}}).channels[0], at22k.channels[0]));
	EXPECT_TRUE (bitIdentical (render (at22k, {{kFirstBandId + 14, 1.0}}).channels[0], at22k.channels[0]));
}

TEST_F (BundleRender, SilentInputGivesSilentOutputAndItsFlags)
{
	auto instance = createInstance ();
	ASSERT_NE (instance, nullptr);
	std::string error;
	ASSERT_TRUE (instance->start (48000, 64, kSample32, error)) << error;
	instance->queueParameterChange (kFirstBandId + 7, 1.0);
	std::vector<float> zeros (64, 0.0f), out0 (64, 5.0f), out1 (64, 5.0f);
	float* in[2] = {zeros.data (), zeros.data ()};
	float* out[2] = {out0.data (), out1.data ()};
	ASSERT_EQ (instance->process32 (in, out, 2, 64, 0x3), kResultOk);
	EXPECT_EQ (instance->getLastOutputSilenceFlags (), 0x3u);
	for (int i = 0; i < 64; ++i)
	{
		ASSERT_EQ (out0[static_cast<size_t> (i)], 0.0f);
		ASSERT_EQ (out1[static_cast<size_t> (i)], 0.0f);
	}
	std::vector<float> tone (64, 0.25f);
	float* toneIn[2] = {tone.data (), tone.data ()};
	ASSERT_EQ (instance->process32 (toneIn, out, 2, 64, 0), kResultOk);
	EXPECT_EQ (instance->getLastOutputSilenceFlags (), 0u);
}

TEST_F (BundleRender, ReleasingAnActiveProcessorIsSafe)
{
	// A host that goes away without deactivating or terminating.
	auto classes = module->getClassInfos ();
	ASSERT_FALSE (classes.empty ());
	auto host = vsthost::HostApplication::create ();
	IPtr<IComponent> component = module->createInstance<IComponent> (classes[0].cid);
	ASSERT_NE (component, nullptr);
	ASSERT_EQ (component->initialize (host->unknown ()), kResultOk);
	EXPECT_EQ (component->initialize (host->unknown ()), kResultFalse); // twice: refused
	void* obj = nullptr;
	ASSERT_EQ (component->queryInterface (IAudioProcessor::iid, &obj), kResultOk);
	auto processor = owned (static_cast<IAudioProcessor*> (obj));
	ProcessSetup setup {kRealtime, kSample32, 256, 44100.0};
	ASSERT_EQ (processor->setupProcessing (setup), kResultOk);
	ASSERT_EQ (component->setActive (true), kResultOk);
	ASSERT_EQ (component->setActive (true), kResultOk); // twice: buffers renewed, none lost
	processor = nullptr;
	EXPECT_EQ (component.take ()->release (), 0u);
	EXPECT_EQ (host->getRefCount (), 1u);
}

} // namespace
