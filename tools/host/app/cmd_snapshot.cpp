// vst3host snapshot BUNDLE OUT.png [--state-in FILE] [--events FILE] [--event EVENT ...] [PARAM=VALUE ...]
//
// Opens the plug-in's editor without a window, through the plug-in's own test extension
// IPlugViewOffscreen (see pluginterfaces/gui/iplugviewoffscreen.h), replays input, draws
// the editor into a PNG, and prints what the host saw: the edits the controller reported
// to the component handler after each event, and the parameter values at the end.

#include "common.h"

#include "hostlib/audiofile.h"
#include "hostlib/strings.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewoffscreen.h"

#include <array>
#include <cstdio>
#include <fstream>

namespace vsthost {
namespace app {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

const char* const kName = "snapshot";

//------------------------------------------------------------------------
// PNG writing: 8-bit RGBA, each row filtered (none, sub or up, whichever looks smallest),
// compressed with a small deflate of fixed Huffman codes and greedy LZ77 matching.
//------------------------------------------------------------------------
class BitWriter
{
public:
	void put (uint32 value, int count) // least significant bit first
	{
		for (int i = 0; i < count; ++i)
		{
			if ((value >> i) & 1u)
				current |= static_cast<uint8> (1u << used);
			if (++used == 8)
				flush ();
		}
	}
	void putHuffman (uint32 code, int length) // most significant bit first
	{
		for (int i = length - 1; i >= 0; --i)
			put ((code >> i) & 1u, 1);
	}
	std::vector<uint8> finish ()
	{
		if (used)
			flush ();
		return std::move (bytes);
	}

private:
	void flush ()
	{
		bytes.push_back (current);
		current = 0;
		used = 0;
	}
	std::vector<uint8> bytes;
	uint8 current {0};
	int used {0};
};

void putLiteral (BitWriter& out, uint32 symbol)
{
	if (symbol < 144)
		out.putHuffman (0x30 + symbol, 8);
	else if (symbol < 256)
		out.putHuffman (0x190 + symbol - 144, 9);
	else if (symbol < 280)
		out.putHuffman (symbol - 256, 7);
	else
		out.putHuffman (0xC0 + symbol - 280, 8);
}

void putMatch (BitWriter& out, uint32 length, uint32 distance)
{
	static const uint16 lengthBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
	                                    31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
	static const uint8 lengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
	                                    2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
	static const uint16 distBase[] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
	                                  193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
	static const uint8 distExtra[] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
	                                  6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
	int l = 28;
	while (lengthBase[l] > length)
		--l;
	putLiteral (out, 257 + l);
	out.put (length - lengthBase[l], lengthExtra[l]);
	int d = 29;
	while (distBase[d] > distance)
		--d;
	out.putHuffman (d, 5);
	out.put (distance - distBase[d], distExtra[d]);
}

std::vector<uint8> deflate (const std::vector<uint8>& data)
{
	BitWriter out;
	out.put (1, 1); // last block
	out.put (1, 2); // fixed Huffman codes
	constexpr uint32 kWindow = 32768, kMaxLength = 258, kHashSize = 1 << 15;
	std::vector<int64> head (kHashSize, -1);
	std::vector<int64> previous (data.size (), -1);
	auto hashAt = [&] (size_t i) {
		return ((data[i] << 10) ^ (data[i + 1] << 5) ^ data[i + 2]) & (kHashSize - 1);
	};
	auto insert = [&] (size_t i) {
		if (i + 2 >= data.size ())
			return;
		uint32 h = hashAt (i);
		previous[i] = head[h];
		head[h] = static_cast<int64> (i);
	};
	size_t i = 0;
	while (i < data.size ())
	{
		uint32 bestLength = 0, bestDistance = 0;
		if (i + 2 < data.size ())
		{
			int64 candidate = head[hashAt (i)];
			for (int tries = 0; candidate >= 0 && tries < 32; ++tries, candidate = previous[candidate])
			{
				size_t distance = i - static_cast<size_t> (candidate);
				if (distance > kWindow)
					break;
				uint32 length = 0;
				while (length < kMaxLength && i + length < data.size () &&
				       data[static_cast<size_t> (candidate) + length] == data[i + length])
					++length;
				if (length > bestLength)
				{
					bestLength = length;
					bestDistance = static_cast<uint32> (distance);
					if (length == kMaxLength)
						break;
				}
			}
		}
		if (bestLength >= 3)
		{
			putMatch (out, bestLength, bestDistance);
			for (uint32 k = 0; k < bestLength; ++k)
				insert (i + k);
			i += bestLength;
		}
		else
		{
			putLiteral (out, data[i]);
			insert (i);
			++i;
		}
	}
	putLiteral (out, 256);
	return out.finish ();
}

uint32 crc32 (const uint8* data, size_t size, uint32 crc = 0)
{
	static const std::array<uint32, 256> table = [] {
		std::array<uint32, 256> t {};
		for (uint32 n = 0; n < 256; ++n)
		{
			uint32 c = n;
			for (int k = 0; k < 8; ++k)
				c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
			t[n] = c;
		}
		return t;
	}();
	crc = ~crc;
	for (size_t i = 0; i < size; ++i)
		crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
	return ~crc;
}

uint32 adler32 (const std::vector<uint8>& data)
{
	uint32 a = 1, b = 0;
	for (uint8 byte : data)
	{
		a = (a + byte) % 65521;
		b = (b + a) % 65521;
	}
	return (b << 16) | a;
}

void putBE32 (std::vector<uint8>& out, uint32 v)
{
	for (int shift = 24; shift >= 0; shift -= 8)
		out.push_back (static_cast<uint8> (v >> shift));
}

void putChunk (std::vector<uint8>& png, const char* type, const std::vector<uint8>& body)
{
	putBE32 (png, static_cast<uint32> (body.size ()));
	size_t start = png.size ();
	png.insert (png.end (), type, type + 4);
	png.insert (png.end (), body.begin (), body.end ());
	putBE32 (png, crc32 (png.data () + start, png.size () - start));
}

} // namespace

bool writePNG (const std::string& path, const std::vector<uint8>& rgba, int32 width, int32 height, std::string& error)
{
	const size_t stride = static_cast<size_t> (width) * 4;
	std::vector<uint8> filtered;
	filtered.reserve ((stride + 1) * static_cast<size_t> (height));
	std::vector<uint8> candidate (stride);
	for (int32 y = 0; y < height; ++y)
	{
		const uint8* row = rgba.data () + static_cast<size_t> (y) * stride;
		const uint8* above = y > 0 ? row - stride : nullptr;
		uint8 bestType = 0;
		uint64 bestCost = ~uint64 (0);
		for (uint8 type = 0; type < 3; ++type)
		{
			if (type == 2 && !above)
				continue;
			uint64 cost = 0;
			for (size_t x = 0; x < stride; ++x)
			{
				uint8 left = x >= 4 ? row[x - 4] : 0;
				uint8 up = above ? above[x] : 0;
				uint8 v = type == 0 ? row[x] : static_cast<uint8> (row[x] - (type == 1 ? left : up));
				cost += v < 128 ? v : 256 - v;
			}
			if (cost < bestCost)
			{
				bestCost = cost;
				bestType = type;
			}
		}
		filtered.push_back (bestType);
		for (size_t x = 0; x < stride; ++x)
		{
			uint8 left = x >= 4 ? row[x - 4] : 0;
			uint8 up = above ? above[x] : 0;
			filtered.push_back (bestType == 0 ? row[x]
			                                  : static_cast<uint8> (row[x] - (bestType == 1 ? left : up)));
		}
	}
	std::vector<uint8> idat {0x78, 0x01}; // zlib header: deflate, 32 KiB window
	auto compressed = deflate (filtered);
	idat.insert (idat.end (), compressed.begin (), compressed.end ());
	putBE32 (idat, adler32 (filtered));

	std::vector<uint8> png {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
	std::vector<uint8> header;
	putBE32 (header, static_cast<uint32> (width));
	putBE32 (header, static_cast<uint32> (height));
	header.insert (header.end (), {8, 6, 0, 0, 0}); // 8-bit RGBA, no interlace
	putChunk (png, "IHDR", header);
	putChunk (png, "IDAT", idat);
	putChunk (png, "IEND", {});
	std::ofstream file (path, std::ios::binary);
	if (!file || !file.write (reinterpret_cast<const char*> (png.data ()), static_cast<std::streamsize> (png.size ())))
	{
		error = "cannot write '" + path + "'";
		return false;
	}
	return true;
}

namespace {

//------------------------------------------------------------------------
// Events, carried out through the offscreen extension
//------------------------------------------------------------------------
using Offscreen = IPlugViewOffscreen;
constexpr int32 kButtonMask = Offscreen::kLButton | Offscreen::kMButton | Offscreen::kRButton;

struct EventContext
{
	IPlugView* view;
	Offscreen* offscreen;
	PluginInstance* instance;
	int32 width;
	int32 height;
	int32 heldButtons {0};    // buttons of the press under way
	int32 pressModifiers {0}; // its modifiers, used by moves and the release unless they name their own
	double pointerX {0};      // where the last pointer event was
	double pointerY {0};
};

const char* resultWord (tresult r)
{
	return r == kResultTrue ? "handled" : r == kResultFalse ? "not handled" : "refused";
}

bool renderTo (EventContext& ctx, const std::string& path, std::string& error)
{
	std::vector<uint8> pixels (static_cast<size_t> (ctx.width) * static_cast<size_t> (ctx.height) * 4);
	tresult r = ctx.offscreen->renderRGBA (pixels.data (), ctx.width, ctx.height, ctx.width * 4);
	if (r != kResultTrue)
	{
		error = "rendering failed (" + resultName (r) + ")";
		return false;
	}
	return writePNG (path, pixels, ctx.width, ctx.height, error);
}

// Runs one event; prints what happened. False with a message for a failure the host
// would not expect.
bool runEvent (EventContext& ctx, const EditorEvent& event, std::string& error)
{
	using Type = EditorEvent::Type;
	if (event.hasPoint)
	{
		ctx.pointerX = event.x;
		ctx.pointerY = event.y;
	}
	const double x = ctx.pointerX, y = ctx.pointerY;
	const int32 bits = event.buttons;
	std::string result;
	switch (event.type)
	{
		case Type::Press:
		case Type::Click:
		{
			int32 buttons = bits & kButtonMask ? bits : bits | Offscreen::kLButton;
			ctx.heldButtons = buttons & kButtonMask;
			ctx.pressModifiers = buttons & ~kButtonMask;
			result = resultWord (ctx.offscreen->onMouseEvent (Offscreen::kMouseDown, x, y, buttons));
			if (event.type == Type::Click)
			{
				tresult up = ctx.offscreen->onMouseEvent (Offscreen::kMouseUp, x, y, buttons);
				result += std::string (", release ") + resultWord (up);
				ctx.heldButtons = 0;
			}
			break;
		}
		case Type::Move:
		case Type::Release:
		{
			int32 modifiers = event.hasButtons ? (bits & ~kButtonMask) : ctx.pressModifiers;
			int32 buttons = ctx.heldButtons | (bits & kButtonMask) | modifiers;
			int32 type = event.type == Type::Move ? Offscreen::kMouseMoved : Offscreen::kMouseUp;
			result = resultWord (ctx.offscreen->onMouseEvent (type, x, y, buttons));
			if (event.type == Type::Release)
				ctx.heldButtons = 0;
			break;
		}
		case Type::Cancel:
			result = resultWord (ctx.offscreen->onMouseEvent (Offscreen::kMouseCancel, 0, 0, 0));
			ctx.heldButtons = 0;
			break;
		case Type::Wheel:
			result = resultWord (ctx.offscreen->onWheelEvent (x, y, static_cast<float> (event.steps),
			                                                  event.horizontal ? Offscreen::kWheelAxisX
			                                                                   : Offscreen::kWheelAxisY,
			                                                  bits));
			break;
		case Type::Key:
		case Type::KeyDown:
		case Type::KeyUp:
		{
			int16 modifiers = keyModifiersOf (bits);
			if (event.type != Type::KeyUp)
				result = resultWord (ctx.view->onKeyDown (event.character, event.virtualKey, modifiers));
			if (event.type != Type::KeyDown)
			{
				tresult up = ctx.view->onKeyUp (event.character, event.virtualKey, modifiers);
				result += std::string (result.empty () ? "" : ", up ") + resultWord (up);
			}
			break;
		}
		case Type::Wait: result = resultWord (ctx.offscreen->advanceTime (event.milliseconds)); break;
		case Type::Set:
		case Type::State:
			if (!runHostEvent (*ctx.instance, event, result, error))
				return false;
			break;
		case Type::Screenshot:
			if (!renderTo (ctx, event.path, error))
				return false;
			result = "wrote " + event.path;
			break;
		case Type::Close: result = "the session ends"; break;
	}
	std::printf ("> %s: %s\n", event.line.c_str (), result.c_str ());
	return true;
}

void printHandlerEvents (ComponentHandler& handler)
{
	for (auto& event : handler.getEvents ())
	{
		switch (event.type)
		{
			case ComponentHandler::EventType::BeginEdit: std::printf ("  beginEdit %u\n", event.id); break;
			case ComponentHandler::EventType::PerformEdit:
				std::printf ("  performEdit %u %s\n", event.id, shortestDouble (event.value).c_str ());
				break;
			case ComponentHandler::EventType::EndEdit: std::printf ("  endEdit %u\n", event.id); break;
			default: std::printf ("  %s\n", eventTypeName (event.type)); break;
		}
	}
	handler.clearEvents ();
}

} // namespace

//------------------------------------------------------------------------
int runSnapshot (const Args& args)
{
	ParsedArgs parsed;
	std::string error;
	if (!parseArgs (args, {}, {"events", "event", "state-in"}, parsed, error))
		return usageError (kName, error);
	if (parsed.positional.size () < 2)
		return usageError (kName, "expected BUNDLE OUT.png");
	const std::string& outPath = parsed.positional[1];
	const std::vector<std::string> assignmentTexts (parsed.positional.begin () + 2, parsed.positional.end ());

	if (!checkAssignmentTexts (assignmentTexts, error))
		return usageError (kName, error);
	// Events in the order given: files and single events as they come.
	std::vector<EditorEvent> events;
	if (int exitCode = collectEvents (kName, parsed, events); exitCode != kExitOk)
		return exitCode;

	LoadedPlugin plugin;
	if (!loadPlugin (parsed.positional[0], plugin, error))
		return fail (kName, error);
	PluginInstance& instance = *plugin.instance;
	if (auto state = parsed.value ("state-in"))
	{
		std::vector<unsigned char> bytes;
		if (!readBinaryFile (*state, bytes, error))
			return fail (kName, error);
		tresult r = instance.loadState (std::vector<uint8> (bytes.begin (), bytes.end ()));
		if (r != kResultOk)
			return fail (kName, "loading the state failed (" + resultName (r) + ")");
	}
	std::vector<ParameterAssignment> assignments;
	if (!applyAssignments (instance, assignmentTexts, assignments, error))
		return fail (kName, error);

	IPtr<IPlugView> view = owned (instance.getController ()->createView (ViewType::kEditor));
	if (!view)
		return fail (kName, "the controller offers no editor view");
	ViewRect rect;
	if (view->getSize (&rect) != kResultTrue || rect.getWidth () < 1 || rect.getHeight () < 1)
		return fail (kName, "the editor reports no usable size");
	std::printf ("editor: %d x %d\n", rect.getWidth (), rect.getHeight ());

	Offscreen* rawOffscreen = nullptr;
	if (view->queryInterface (IPlugViewOffscreen::iid, reinterpret_cast<void**> (&rawOffscreen)) != kResultOk ||
	    !rawOffscreen)
		return fail (kName, "the editor cannot be drawn offscreen (no IPlugViewOffscreen)");
	IPtr<Offscreen> offscreen = owned (rawOffscreen);
	if (offscreen->openOffscreen () != kResultTrue)
		return fail (kName, "the editor did not open");

	ComponentHandler& handler = instance.getComponentHandler ();
	handler.clearEvents ();
	EventContext context {view, offscreen, &instance, rect.getWidth (), rect.getHeight ()};
	bool ok = true;
	size_t next = 0;
	while (ok && next < events.size ())
	{
		const EditorEvent& event = events[next++];
		ok = runEvent (context, event, error);
		printHandlerEvents (handler);
		if (event.type == EditorEvent::Type::Close)
		{
			warnEventsNotRun (kName, events, next, "the session was closed");
			break;
		}
	}
	if (ok && !renderTo (context, outPath, error))
		ok = false;
	view->removed ();
	offscreen = nullptr;
	view = nullptr;
	printHandlerEvents (handler);
	if (!ok)
		return fail (kName, error);
	std::printf ("wrote %s\n", outPath.c_str ());
	printParameterValues (instance);
	return kExitOk;
}

} // namespace app
} // namespace vsthost
