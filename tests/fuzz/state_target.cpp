// The state stream through the processor's setState and getState and the
// controller's setComponentState. The first input byte picks the situation
// (processor active or not, sample size, and with bit 3 a stream that lies
// once, as the next byte says); the rest is the stream.
//
// Properties: a stream of 204 bytes or more is accepted and one of fewer is
// refused; so is one whose count at any value is not the value's size, and a
// value that the stream counts but never writes reads as zeros; after acceptance getState gives back exactly what was read (the
// leading word as 0, the flags as 0 or 1, every double bit for bit, reserved
// values included) and reading stopped after 204 bytes; after a refusal the
// state is what it was. The controller's parameters follow an accepted state
// limited to [0, 1] (NaN as 0) and keep their values after a refusal. The next
// block of audio is finite.
#include "fuzzsupport.h"

#include "controller/plugcontroller.h"
#include "lyingstream.h"
#include "memorystream.h"
#include "processor/plugprocessor.h"
#include "stateimage.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace fuzz {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::vector<uint8_t> stateOf (IComponent* component)
{
	PalvisTest::MemoryStream out;
	FUZZ_CHECK (component->getState (&out) == kResultOk, "getState failed");
	return out.bytes ();
}

// The state's 28 values: an int64, an int32, 22 doubles, four int32 flags.
constexpr int32 kValues = 28;
size_t valueOffset (int32 v)
{
	return v == 0 ? 0 : v == 1 ? 8 : v < 24 ? 12 + 8 * static_cast<size_t> (v - 2) : 188 + 4 * static_cast<size_t> (v - 24);
}
size_t valueSize (int32 v)
{
	return v == 1 || v >= 24 ? 4 : 8;
}

// One lie at the read of one value (numbers from 28 on never come): a count
// beyond the request, a negative count, a count one short, or the right count
// for bytes that were never written.
struct Lie
{
	enum Kind { kMoreThanAsked, kNegative, kOneShort, kUnwritten };
	Lie () = default;
	explicit Lie (uint8_t byte) : value (byte & 31), kind (Kind ((byte >> 5) & 3)) {}
	int32 value {kValues};
	Kind kind {kUnwritten};

	PalvisTest::LyingStream::Rule rule () const
	{
		return [v = value, k = kind] (int32 n, int32 asked, int32 available) {
			using Call = PalvisTest::LyingStream::Call;
			if (n != v)
				return PalvisTest::LyingStream::honest (n, asked, available);
			switch (k)
			{
				case kMoreThanAsked: return Call {asked, asked + 1};
				case kNegative: return Call {asked, -1};
				case kOneShort: return Call {asked, asked - 1};
				case kUnwritten: break;
			}
			return Call {0, std::min (asked, available)};
		};
	}
};

double limited (double v)
{
	if (std::isnan (v))
		return 0.0;
	return v < 0.0 ? 0.0 : v > 1.0 ? 1.0 : v;
}

} // namespace

int stateTarget (const uint8_t* data, size_t size)
{
	if (size == 0)
		return 0;
	const uint8_t mode = data[0];
	const bool lies = (mode & 8) != 0;
	if (lies && size < 2)
		return 0;
	const uint8_t* stream = data + (lies ? 2 : 1);
	const size_t streamSize = size - (lies ? 2 : 1);
	const Lie lie = lies ? Lie (data[1]) : Lie ();
	std::vector<uint8_t> expectedBytes (stream, stream + streamSize);
	if (lie.kind == Lie::kUnwritten && lie.value < kValues && streamSize >= stress::kStateBytes)
		std::fill_n (expectedBytes.begin () + static_cast<long> (valueOffset (lie.value)), valueSize (lie.value), 0);
	const bool accepted =
	    streamSize >= stress::kStateBytes && !(lie.value < kValues && lie.kind != Lie::kUnwritten);
	stress::StateImage image;
	if (accepted)
		stress::StateImage::decode (expectedBytes.data (), expectedBytes.size (), image);

	// Processor.
	auto* processor = new PlugProcessor ();
	processor->initialize (nullptr);
	const bool active = (mode & 1) != 0;
	const int32 sampleSize = (mode & 2) ? kSample64 : kSample32;
	if (active)
	{
		SpeakerArrangement stereo = SpeakerArr::kStereo;
		processor->setBusArrangements (&stereo, 1, &stereo, 1);
		ProcessSetup setup {kRealtime, sampleSize, 64, (mode & 4) ? 44100.0 : 96000.0};
		processor->setupProcessing (setup);
		processor->setActive (true);
	}
	const auto before = stateOf (processor);
	PalvisTest::LyingStream in (std::vector<uint8_t> (stream, stream + streamSize), lie.rule ());
	const tresult result = processor->setState (&in);
	FUZZ_CHECK ((result == kResultOk) == accepted, "setState accepted a short stream or refused a whole one");
	const auto after = stateOf (processor);
	if (result == kResultOk)
	{
		FUZZ_CHECK (after == image.canonical (), "getState does not give back the state just set");
		FUZZ_CHECK (in.position () == static_cast<int64> (stress::kStateBytes), "setState read past the state");
	}
	else
		FUZZ_CHECK (after == before, "a refused state changed the processor's state");

	if (active)
	{
		std::vector<double> l (64), r (64), ol (64), orr (64);
		std::vector<float> lf (64), rf (64), olf (64), orf (64);
		for (size_t i = 0; i < 64; ++i)
			l[i] = r[i] = lf[i] = rf[i] = static_cast<float> (std::sin (0.1 * static_cast<double> (i)) * 0.5);
		double* in64[2] = {l.data (), r.data ()};
		double* out64[2] = {ol.data (), orr.data ()};
		float* in32[2] = {lf.data (), rf.data ()};
		float* out32[2] = {olf.data (), orf.data ()};
		AudioBusBuffers inBus {}, outBus {};
		inBus.numChannels = outBus.numChannels = 2;
		if (sampleSize == kSample64)
		{
			inBus.channelBuffers64 = in64;
			outBus.channelBuffers64 = out64;
		}
		else
		{
			inBus.channelBuffers32 = in32;
			outBus.channelBuffers32 = out32;
		}
		ProcessData block {};
		block.processMode = kRealtime;
		block.symbolicSampleSize = sampleSize;
		block.numSamples = 64;
		block.numInputs = block.numOutputs = 1;
		block.inputs = &inBus;
		block.outputs = &outBus;
		processor->process (block);
		bool finite = true;
		for (size_t i = 0; i < 64; ++i)
			finite = finite && (sampleSize == kSample64 ? std::isfinite (ol[i]) && std::isfinite (orr[i])
			                                            : std::isfinite (olf[i]) && std::isfinite (orf[i]));
		FUZZ_CHECK (finite, "a block after setState is not finite");
		// The values the audio thread took are the ones getState reports.
		FUZZ_CHECK (stateOf (processor) == after, "processing changed the state without parameter changes");
		processor->setActive (false);
	}
	processor->terminate ();
	processor->release ();

	// Controller.
	auto* controller = new PlugController ();
	controller->initialize (nullptr);
	controller->setParamNormalized (3, 0.125); // a value that a refusal must keep
	PalvisTest::LyingStream cin (std::vector<uint8_t> (stream, stream + streamSize), lie.rule ());
	const tresult cresult = controller->setComponentState (&cin);
	FUZZ_CHECK ((cresult == kResultOk) == accepted, "setComponentState accepted a short stream or refused a whole one");
	if (cresult == kResultOk)
	{
		FUZZ_CHECK (controller->getParamNormalized (0) == (image.bypass > 0 ? 1.0 : 0.0), "bypass parameter");
		FUZZ_CHECK (controller->getParamNormalized (1) == limited (image.level), "level parameter");
		for (int b = 0; b < stress::kBands; ++b)
			FUZZ_CHECK (controller->getParamNormalized (static_cast<ParamID> (2 + b)) ==
			                limited (image.bands[static_cast<size_t> (b)]),
			            "band parameter " + std::to_string (b));
	}
	else
	{
		FUZZ_CHECK (controller->getParamNormalized (3) == 0.125, "a refused state changed a parameter");
		FUZZ_CHECK (controller->getParamNormalized (1) == 0.75, "a refused state changed the level");
	}
	controller->terminate ();
	controller->release ();
	return 0;
}

} // namespace fuzz
