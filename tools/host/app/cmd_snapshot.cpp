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
#include <cstring>
#include <fstream>
#include <sstream>

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
// Events
//------------------------------------------------------------------------
using Offscreen = IPlugViewOffscreen;

// VST virtual key codes and key-modifier bits (the host side of IPlugView::onKeyDown).
enum : int16
{
	kKeyShift = 1 << 0,
	kKeyAlternate = 1 << 1,
	kKeyCommand = 1 << 2,
	kKeyControl = 1 << 3
};

struct KeyName
{
	const char* name;
	int16 code;
};
const KeyName kKeyNames[] = {{"backspace", 1}, {"tab", 2},      {"clear", 3},     {"return", 4},  {"escape", 6},
                             {"space", 7},     {"end", 9},      {"home", 10},     {"left", 11},   {"up", 12},
                             {"right", 13},    {"down", 14},    {"pageup", 15},   {"pagedown", 16}, {"enter", 19},
                             {"insert", 21},   {"delete", 22}};

struct EventContext
{
	IPlugView* view;
	Offscreen* offscreen;
	PluginInstance* instance;
	int32 width;
	int32 height;
	int32 heldButtons {0};   // buttons of the press under way
	int32 pressModifiers {0}; // its modifiers, used by moves and the release unless they name their own
};

std::vector<std::string> splitWords (const std::string& line)
{
	std::vector<std::string> words;
	std::istringstream in (line);
	std::string word;
	while (in >> word)
		words.push_back (word);
	return words;
}

constexpr int32 kButtonMask = Offscreen::kLButton | Offscreen::kMButton | Offscreen::kRButton;

// "alt", "shift+alt", "left,ctrl", "66", "0x42": button and modifier bits.
bool parseButtons (const std::string& text, int32& bits, std::string& error)
{
	long long number = 0;
	if (parseInt64 (text, number) && number >= 0 && number <= 0x7FFFFFFF)
	{
		bits = static_cast<int32> (number);
		return true;
	}
	if (text.size () > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
	{
		char* end = nullptr;
		unsigned long v = std::strtoul (text.c_str () + 2, &end, 16);
		if (end && *end == 0 && v <= 0x7FFFFFFF)
		{
			bits = static_cast<int32> (v);
			return true;
		}
	}
	static const struct
	{
		const char* name;
		int32 bit;
	} names[] = {{"left", Offscreen::kLButton},    {"middle", Offscreen::kMButton}, {"right", Offscreen::kRButton},
	             {"shift", Offscreen::kShift},     {"ctrl", Offscreen::kControl},   {"control", Offscreen::kControl},
	             {"cmd", Offscreen::kControl},     {"alt", Offscreen::kAlt},        {"option", Offscreen::kAlt},
	             {"apple", Offscreen::kApple},     {"double", Offscreen::kDoubleClick}};
	bits = 0;
	std::string word;
	for (size_t i = 0; i <= text.size (); ++i)
	{
		if (i < text.size () && text[i] != '+' && text[i] != ',')
		{
			word += text[i];
			continue;
		}
		bool found = false;
		for (auto& n : names)
		{
			if (equalsIgnoreCase (word, n.name))
			{
				bits |= n.bit;
				found = true;
			}
		}
		if (!found)
		{
			error = "unknown button or modifier '" + word + "'";
			return false;
		}
		word.clear ();
	}
	return true;
}

int16 keyModifiers (int32 bits)
{
	int16 m = 0;
	if (bits & Offscreen::kShift)
		m |= kKeyShift;
	if (bits & Offscreen::kAlt)
		m |= kKeyAlternate;
	if (bits & Offscreen::kControl)
		m |= kKeyCommand;
	if (bits & Offscreen::kApple)
		m |= kKeyControl;
	return m;
}

bool parseCoordinate (const std::string& text, double& v, std::string& error)
{
	if (!parseDouble (text, v))
	{
		error = "'" + text + "' is not a number";
		return false;
	}
	return true;
}

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

// Runs one event line; prints what happened. False with a message for a bad line or a
// failure the host would not expect.
bool runEvent (EventContext& ctx, const std::string& line, std::string& error)
{
	auto words = splitWords (line);
	if (words.empty () || words[0][0] == '#')
		return true;
	const std::string& verb = words[0];
	auto arity = [&] (size_t least, size_t most) {
		if (words.size () - 1 < least || words.size () - 1 > most)
		{
			error = "'" + line + "': wrong number of arguments";
			return false;
		}
		return true;
	};
	std::string result;
	if (verb == "press" || verb == "move" || verb == "release" || verb == "click")
	{
		if (!arity (2, 3))
			return false;
		double x, y;
		if (!parseCoordinate (words[1], x, error) || !parseCoordinate (words[2], y, error))
			return false;
		int32 bits = 0;
		bool given = words.size () > 3;
		if (given && !parseButtons (words[3], bits, error))
			return false;
		if (verb == "press" || verb == "click")
		{
			int32 buttons = bits & kButtonMask ? bits : bits | Offscreen::kLButton;
			ctx.heldButtons = buttons & kButtonMask;
			ctx.pressModifiers = buttons & ~kButtonMask;
			tresult r = ctx.offscreen->onMouseEvent (Offscreen::kMouseDown, x, y, buttons);
			result = resultWord (r);
			if (verb == "click")
			{
				tresult up = ctx.offscreen->onMouseEvent (Offscreen::kMouseUp, x, y, buttons);
				result += std::string (", release ") + resultWord (up);
				ctx.heldButtons = 0;
			}
		}
		else
		{
			int32 modifiers = given ? (bits & ~kButtonMask) : ctx.pressModifiers;
			int32 buttons = ctx.heldButtons | (bits & kButtonMask) | modifiers;
			int32 type = verb == "move" ? Offscreen::kMouseMoved : Offscreen::kMouseUp;
			result = resultWord (ctx.offscreen->onMouseEvent (type, x, y, buttons));
			if (verb == "release")
				ctx.heldButtons = 0;
		}
	}
	else if (verb == "cancel")
	{
		if (!arity (0, 0))
			return false;
		result = resultWord (ctx.offscreen->onMouseEvent (Offscreen::kMouseCancel, 0, 0, 0));
		ctx.heldButtons = 0;
	}
	else if (verb == "wheel")
	{
		if (!arity (3, 5))
			return false;
		double x, y, distance;
		if (!parseCoordinate (words[1], x, error) || !parseCoordinate (words[2], y, error) ||
		    !parseCoordinate (words[3], distance, error))
			return false;
		int32 bits = 0, axis = Offscreen::kWheelAxisY;
		for (size_t i = 4; i < words.size (); ++i)
		{
			if (words[i] == "horizontal")
				axis = Offscreen::kWheelAxisX;
			else if (!parseButtons (words[i], bits, error))
				return false;
		}
		result = resultWord (ctx.offscreen->onWheelEvent (x, y, static_cast<float> (distance), axis, bits));
	}
	else if (verb == "key" || verb == "keydown" || verb == "keyup")
	{
		if (!arity (1, 2))
			return false;
		int32 bits = 0;
		if (words.size () > 2 && !parseButtons (words[2], bits, error))
			return false;
		char16 character = 0;
		int16 code = 0;
		for (auto& k : kKeyNames)
			if (equalsIgnoreCase (words[1], k.name))
				code = k.code;
		if (code == 0)
		{
			std::u16string text = toUtf16 (words[1]);
			if (text.size () != 1)
			{
				error = "unknown key '" + words[1] + "'";
				return false;
			}
			character = text[0];
		}
		int16 modifiers = keyModifiers (bits);
		if (verb != "keyup")
			result = resultWord (ctx.view->onKeyDown (character, code, modifiers));
		if (verb != "keydown")
		{
			tresult up = ctx.view->onKeyUp (character, code, modifiers);
			result += std::string (result.empty () ? "" : ", up ") + resultWord (up);
		}
	}
	else if (verb == "wait")
	{
		long long ms = 0;
		if (!arity (1, 1) || !parseInt64 (words[1], ms) || ms < 0 || ms > 0xFFFFFFFFll)
		{
			if (error.empty ())
				error = "'" + line + "': wait needs milliseconds";
			return false;
		}
		result = resultWord (ctx.offscreen->advanceTime (static_cast<uint32> (ms)));
	}
	else if (verb == "set")
	{
		// The host changes a parameter (automation): the controller's setParamNormalized.
		if (!arity (1, 1))
			return false;
		ParameterAssignment assignment;
		if (!parseParameterAssignment (*ctx.instance, words[1], assignment, error))
			return false;
		tresult r = ctx.instance->getController ()->setParamNormalized (assignment.id, assignment.normalized);
		result = resultName (r);
	}
	else if (verb == "state")
	{
		// The host loads a state: processor setState, then the controller's setComponentState.
		if (!arity (1, 1))
			return false;
		std::vector<unsigned char> bytes;
		if (!readBinaryFile (words[1], bytes, error))
			return false;
		result = resultName (ctx.instance->loadState (std::vector<uint8> (bytes.begin (), bytes.end ())));
	}
	else if (verb == "snapshot")
	{
		if (!arity (1, 1) || !renderTo (ctx, words[1], error))
			return false;
		result = "wrote " + words[1];
	}
	else
	{
		error = "unknown event '" + verb + "'";
		return false;
	}
	std::printf ("> %s: %s\n", line.c_str (), result.c_str ());
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

	// Events in the order given: files and single events as they come.
	std::vector<std::string> events;
	for (auto& option : parsed.options)
	{
		if (option.first == "events" && !readLines (option.second, events, error))
			return usageError (kName, error);
		if (option.first == "event")
			events.push_back (option.second);
	}

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
	for (auto& line : events)
	{
		if (!runEvent (context, line, error))
		{
			ok = false;
			break;
		}
		printHandlerEvents (handler);
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
