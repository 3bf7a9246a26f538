// The audio thread allocates nothing: every path through process() runs with
// the C++ allocator watched.
#include "processorfixture.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
thread_local bool watching = false;
std::atomic<int> allocations {0};
} // namespace

void* operator new (std::size_t size)
{
	if (watching)
		++allocations;
	if (void* p = std::malloc (size ? size : 1))
		return p;
	throw std::bad_alloc ();
}
// These replace the global pair, so malloc and free do match; GCC cannot see that.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete (void* p) noexcept { std::free (p); }
void operator delete (void* p, std::size_t) noexcept { std::free (p); }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

using namespace PalvisTest;

TEST (AudioThread, ProcessAllocatesNothingOnAnyPath)
{
	ProcessorHandle p;
	activate (*p, 48000.0, 64);

	StereoBlock<float> block (200); // longer than the buffers: runs in pieces
	block.fillInput ();
	StereoBlock<double> block64 (64, true);
	block64.fillInput ();
	ParameterChanges changes;
	changes.queue (kLevelId).add (0, 0.2).add (10, 0.9);
	changes.queue (kBand0Id + 5).add (0, 0.8);
	changes.queue (17).add (0, 1.0);
	changes.addNullQueue ();
	ParameterChanges bypassOn, bypassOff;
	bypassOn.queue (kBypassId).add (0, 1.0);
	bypassOff.queue (kBypassId).add (0, 0.0);
	ParamState s = defaultState ();
	s.bands[2] = 0.1;
	ASSERT_EQ (loadState (*p, s), kResultOk); // handed over, taken by the first block

	allocations = 0;
	watching = true;
	block.data.inputParameterChanges = &changes;
	p->process (block.data); // state hand-over, queues, filtering in pieces
	block.data.inputParameterChanges = nullptr;
	block.in.silenceFlags = 3;
	p->process (block.data); // silence
	block.in.silenceFlags = 0;
	block.data.inputParameterChanges = &bypassOn;
	p->process (block.data); // bypass
	block64.data.inputParameterChanges = &bypassOff;
	p->process (block64.data); // 64-bit, in place
	watching = false;
	EXPECT_EQ (allocations.load (), 0);

	// The watch itself works: a state read on the main thread does allocate.
	watching = true;
	auto bytes = stateOf (*p);
	watching = false;
	EXPECT_GT (allocations.load (), 0);
	EXPECT_EQ (bytes.size (), 204u);
}
