// Throughput of the processor's audio path as a multiple of real time (stereo
// at 48 kHz): block sizes, running bands, sample sizes, parameter changes in
// every block, and each block-filtering path the CPU supports.
//
// Every block goes through process() with the host's parameter-change lists,
// so the figures include reading the queues, the redesign and the filtering.
#include "processor/plugprocessor.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

constexpr double kRate = 48000.;
constexpr int kNumParams = 17;

// One point per queue; no allocation while the benchmark runs.
class Queue : public IParamValueQueue
{
public:
	tresult PLUGIN_API queryInterface (const TUID, void** obj) override
	{
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return 1; }
	uint32 PLUGIN_API release () override { return 1; }
	ParamID PLUGIN_API getParameterId () override { return id; }
	int32 PLUGIN_API getPointCount () override { return 1; }
	tresult PLUGIN_API getPoint (int32 index, int32& offset, ParamValue& v) override
	{
		if (index != 0)
			return kResultFalse;
		offset = 0;
		v = value;
		return kResultOk;
	}
	tresult PLUGIN_API addPoint (int32, ParamValue, int32&) override { return kResultFalse; }

	ParamID id {0};
	ParamValue value {0.};
};

class Changes : public IParameterChanges
{
public:
	tresult PLUGIN_API queryInterface (const TUID, void** obj) override
	{
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () override { return 1; }
	uint32 PLUGIN_API release () override { return 1; }
	int32 PLUGIN_API getParameterCount () override { return count; }
	IParamValueQueue* PLUGIN_API getParameterData (int32 index) override
	{
		return index >= 0 && index < count ? &queues[index] : nullptr;
	}
	IParamValueQueue* PLUGIN_API addParameterData (const ParamID&, int32&) override { return nullptr; }

	Queue queues[kNumParams];
	int32 count {0};
};

template <typename T>
struct Bus
{
	explicit Bus (int32 n) : left (static_cast<size_t> (n)), right (static_cast<size_t> (n))
	{
		channels[0] = left.data ();
		channels[1] = right.data ();
	}
	std::vector<T> left, right;
	T* channels[2];
};

// Arguments: path, running bands, block size, 64-bit (0/1), parameters changing (0/1).
template <typename T>
void processBlocks (benchmark::State& state)
{
	const auto path = static_cast<EqPath> (state.range (0));
	const int bands = static_cast<int> (state.range (1));
	const int32 n = static_cast<int32> (state.range (2));
	const bool changing = state.range (4) != 0;
	if (!Eq::pathSupported (path))
	{
		state.SkipWithError ("path not supported by this CPU");
		return;
	}
	const int32 sampleSize = sizeof (T) == 8 ? kSample64 : kSample32;

	PlugProcessor* p = new PlugProcessor ();
	p->initialize (nullptr);
	ProcessSetup setup {kRealtime, sampleSize, n, kRate};
	p->setupProcessing (setup);
	p->setActive (true);
	p->eqPath = path;

	Bus<T> in (n), out (n);
	std::mt19937 gen (1);
	std::uniform_real_distribution<double> noise (-0.5, 0.5);
	for (int32 j = 0; j < n; ++j)
	{
		in.left[static_cast<size_t> (j)] = static_cast<T> (noise (gen));
		in.right[static_cast<size_t> (j)] = static_cast<T> (noise (gen));
	}
	AudioBusBuffers inBus {}, outBus {};
	inBus.numChannels = outBus.numChannels = 2;
	inBus.silenceFlags = outBus.silenceFlags = 0;
	if (sizeof (T) == 8)
	{
		inBus.channelBuffers64 = reinterpret_cast<Sample64**> (in.channels);
		outBus.channelBuffers64 = reinterpret_cast<Sample64**> (out.channels);
	}
	else
	{
		inBus.channelBuffers32 = reinterpret_cast<Sample32**> (in.channels);
		outBus.channelBuffers32 = reinterpret_cast<Sample32**> (out.channels);
	}

	Changes changes;
	for (int i = 0; i < kNumParams; ++i)
		changes.queues[i].id = static_cast<ParamID> (i);
	// The starting values: the chosen number of bands away from 0 dB.
	auto bandValue = [bands] (int band, int64_t block) {
		if (band >= bands)
			return 0.5;
		return 0.2 + 0.6 * ((band * 7 + block) % 15) / 15.; // never 0.5, different in every block
	};
	auto fill = [&] (int64_t block) {
		changes.queues[0].value = (block & 1) ? 0.25 : 0.; // bypass stays off
		changes.queues[1].value = 0.6 + 0.3 * ((block % 11) / 11.);
		for (int b = 0; b < kNumBands; ++b)
			changes.queues[2 + b].value = bandValue (b, block);
	};
	fill (0);
	changes.count = kNumParams;

	ProcessData data {};
	data.processMode = kRealtime;
	data.symbolicSampleSize = sampleSize;
	data.numSamples = n;
	data.numInputs = 1;
	data.numOutputs = 1;
	data.inputs = &inBus;
	data.outputs = &outBus;
	data.inputParameterChanges = &changes;
	p->process (data); // starting values in place
	if (!changing)
		data.inputParameterChanges = nullptr;

	int64_t block = 1;
	const auto start = std::chrono::steady_clock::now ();
	for (auto _ : state)
	{
		if (changing)
			fill (block++);
		p->process (data);
		benchmark::DoNotOptimize (out.left.data ());
		benchmark::ClobberMemory ();
	}
	const double seconds = std::chrono::duration<double> (std::chrono::steady_clock::now () - start).count ();
	// Audio seconds processed per second of wall-clock time.
	state.counters["xRT"] = static_cast<double> (state.iterations ()) * n / kRate / seconds;
	state.SetLabel (Eq::pathName (path));

	p->setActive (false);
	p->terminate ();
	p->release ();
}

void arguments (benchmark::internal::Benchmark* b)
{
	b->ArgNames ({"path", "bands", "block", "f64", "changing"});
	const int paths[] = {static_cast<int> (EqPath::kReference), static_cast<int> (EqPath::kSse2),
	                     static_cast<int> (EqPath::kAvx2), static_cast<int> (EqPath::kAvx512)};
	for (int path : paths)
		for (int changing : {0, 1})
			for (int bands : {15, 1, 0})
				for (int block : {32, 64, 512, 4096})
					b->Args ({path, bands, block, 0, changing});
}

void arguments64 (benchmark::internal::Benchmark* b)
{
	b->ArgNames ({"path", "bands", "block", "f64", "changing"});
	const int paths[] = {static_cast<int> (EqPath::kReference), static_cast<int> (EqPath::kSse2),
	                     static_cast<int> (EqPath::kAvx2), static_cast<int> (EqPath::kAvx512)};
	for (int path : paths)
		for (int changing : {0, 1})
			for (int bands : {15, 1, 0})
				for (int block : {32, 64, 512, 4096})
					b->Args ({path, bands, block, 1, changing});
}

BENCHMARK_TEMPLATE (processBlocks, float)->Apply (arguments);
BENCHMARK_TEMPLATE (processBlocks, double)->Apply (arguments64);

} // namespace

BENCHMARK_MAIN ();
