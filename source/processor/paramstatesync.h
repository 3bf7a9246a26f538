// Wait-free hand-over of parameter records between the host's main thread and
// its audio thread: a triple buffer with one writer and one reader.
#pragma once

#include "paramstate.h"

#include <atomic>
#include <cstdint>

namespace Steinberg {
namespace Vst {

// A parameter record with the number of the state it carries: the main thread
// numbers every state it hands over, and the audio thread reports the number
// of the last one it took.
struct NumberedParamState
{
	ParamState state;
	uint64 serial;
};

// The writer fills its own slot and publishes it; the reader takes the most
// recently published slot. Neither side ever waits, locks or allocates; only
// the latest value matters, so an unread value may be overwritten.
template <typename T>
class TripleBuffer
{
public:
	TripleBuffer () { reset (T {}); }

	// Only while neither side is in use: every slot holds value, nothing is pending.
	void reset (const T& value)
	{
		for (auto& slot : slots)
			slot = value;
		writeIndex = 0;
		readIndex = 1;
		shared.store (2, std::memory_order_release);
	}

	// Writer side.
	T& writeSlot () { return slots[writeIndex]; }
	void publish ()
	{
		writeIndex = shared.exchange (static_cast<uint8_t> (writeIndex | kFresh), std::memory_order_acq_rel) & kIndexMask;
	}

	// Reader side: takes the latest published slot, when there is a new one.
	bool fetch ()
	{
		if ((shared.load (std::memory_order_acquire) & kFresh) == 0)
			return false;
		readIndex = shared.exchange (readIndex, std::memory_order_acq_rel) & kIndexMask;
		return true;
	}
	const T& readSlot () const { return slots[readIndex]; }

private:
	static constexpr uint8_t kIndexMask = 3;
	static constexpr uint8_t kFresh = 4;

	T slots[3];
	uint8_t writeIndex {0}; // writer's own
	uint8_t readIndex {1};  // reader's own
	std::atomic<uint8_t> shared {2};

	static_assert (std::atomic<uint8_t>::is_always_lock_free, "the hand-over must never lock");
};

} // namespace Vst
} // namespace Steinberg
