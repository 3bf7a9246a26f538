// Host-side byte stream for component state.
#pragma once

#include "hostlib/hostobject.h"

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/base/smartpointer.h"

#include <vector>

namespace vsthost {

//------------------------------------------------------------------------
// IBStream and ISizeableStream over a growable byte buffer. Reads past the end
// return fewer bytes (numBytesRead tells how many) and kResultOk, like the
// SDK's memory stream. In read-only mode every write and resize is refused
// (kResultFalse, nothing written); a write limit refuses any write that would
// make the stream longer than the limit.
//------------------------------------------------------------------------
class MemoryStream : public HostObject<Steinberg::IBStream, Steinberg::ISizeableStream>
{
public:
	enum class Mode
	{
		ReadWrite,
		ReadOnly
	};

	static Steinberg::IPtr<MemoryStream> create (Mode mode = Mode::ReadWrite);
	static Steinberg::IPtr<MemoryStream> create (const std::vector<Steinberg::uint8>& bytes,
	                                             Mode mode = Mode::ReadWrite);

	// IBStream
	Steinberg::tresult PLUGIN_API read (void* buffer, Steinberg::int32 numBytes, Steinberg::int32* numBytesRead) override;
	Steinberg::tresult PLUGIN_API write (void* buffer, Steinberg::int32 numBytes, Steinberg::int32* numBytesWritten) override;
	Steinberg::tresult PLUGIN_API seek (Steinberg::int64 pos, Steinberg::int32 mode, Steinberg::int64* result) override;
	Steinberg::tresult PLUGIN_API tell (Steinberg::int64* pos) override;
	// ISizeableStream
	Steinberg::tresult PLUGIN_API getStreamSize (Steinberg::int64& size) override;
	Steinberg::tresult PLUGIN_API setStreamSize (Steinberg::int64 size) override;

	const std::vector<Steinberg::uint8>& getData () const { return data; }
	Steinberg::int64 getPosition () const { return position; }
	void setMode (Mode newMode) { mode = newMode; }
	// Largest size that writes may give the stream; negative means no limit.
	void setWriteLimit (Steinberg::int64 maxSize) { writeLimit = maxSize; }
	// Number of write calls that were refused.
	Steinberg::int32 getRefusedWrites () const { return refusedWrites; }

private:
	explicit MemoryStream (Mode mode) : mode (mode) {}

	std::vector<Steinberg::uint8> data;
	Steinberg::int64 position {0};
	Mode mode;
	Steinberg::int64 writeLimit {-1};
	Steinberg::int32 refusedWrites {0};
};

} // namespace vsthost
