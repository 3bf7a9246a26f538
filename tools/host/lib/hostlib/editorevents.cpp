#include "hostlib/editorevents.h"

#include "hostlib/strings.h"

#include "pluginterfaces/gui/iplugviewoffscreen.h"

#include <X11/keysym.h>

#include <cmath>
#include <cstdlib>

namespace vsthost {

using namespace Steinberg;
using Offscreen = IPlugViewOffscreen;

const char* const kEditorEventGrammar =
    "move X Y [MODS]; press [X Y] [MODS]; release [X Y] [MODS]; click X Y [MODS]; cancel;\n"
    "wheel X Y STEPS [MODS] [horizontal]; key|keydown|keyup KEY [MODS]; wait MS; set PARAM=VALUE;\n"
    "state FILE; screenshot FILE.png; close.  MODS: left, middle, right, shift, ctrl, alt, apple,\n"
    "double joined by '+' (or bits, e.g. 66).  KEY: one character, or backspace, tab, clear, return,\n"
    "escape, space, end, home, left, up, right, down, pageup, pagedown, enter, insert, delete";

namespace {

// VST virtual key codes and the X key symbols of the same keys.
struct KeyName
{
	const char* name;
	int16 virtualKey;
	unsigned long keysym;
};
const KeyName kKeyNames[] = {
    {"backspace", 1, XK_BackSpace}, {"tab", 2, XK_Tab},       {"clear", 3, XK_Clear},         {"return", 4, XK_Return},
    {"escape", 6, XK_Escape},       {"space", 7, XK_space},   {"end", 9, XK_End},             {"home", 10, XK_Home},
    {"left", 11, XK_Left},          {"up", 12, XK_Up},        {"right", 13, XK_Right},        {"down", 14, XK_Down},
    {"pageup", 15, XK_Page_Up},     {"pagedown", 16, XK_Page_Down}, {"enter", 19, XK_KP_Enter}, {"insert", 21, XK_Insert},
    {"delete", 22, XK_Delete}};

constexpr double kMaxCoordinate = 1e6;
constexpr double kMaxWheelSteps = 100;

bool isNumber (const std::string& text)
{
	double v = 0;
	return parseDouble (text, v);
}

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

bool parseKey (const std::string& text, EditorEvent& event, std::string& error)
{
	for (auto& k : kKeyNames)
	{
		if (equalsIgnoreCase (text, k.name))
		{
			event.virtualKey = k.virtualKey;
			event.keysym = k.keysym;
			if (k.keysym == XK_space)
				event.character = u' ';
			return true;
		}
	}
	std::u16string utf16 = toUtf16 (text);
	if (utf16.size () != 1 || utf16[0] < 0x21 || (utf16[0] >= 0x7F && utf16[0] < 0xA0) ||
	    (utf16[0] >= 0xD800 && utf16[0] <= 0xDFFF) || utf16[0] == 0xFFFD)
	{
		error = "unknown key '" + text + "'";
		return false;
	}
	event.character = utf16[0];
	// Latin-1 characters are their own key symbols; the others carry their code point.
	event.keysym = utf16[0] < 0x100 ? utf16[0] : 0x01000000ul | utf16[0];
	return true;
}

struct Verb
{
	const char* name;
	EditorEvent::Type type;
	const char* synopsis;
};
const Verb kVerbs[] = {{"move", EditorEvent::Type::Move, "move X Y [MODS]"},
                       {"press", EditorEvent::Type::Press, "press [X Y] [MODS]"},
                       {"release", EditorEvent::Type::Release, "release [X Y] [MODS]"},
                       {"click", EditorEvent::Type::Click, "click X Y [MODS]"},
                       {"cancel", EditorEvent::Type::Cancel, "cancel"},
                       {"wheel", EditorEvent::Type::Wheel, "wheel X Y STEPS [MODS] [horizontal]"},
                       {"key", EditorEvent::Type::Key, "key KEY [MODS]"},
                       {"keydown", EditorEvent::Type::KeyDown, "keydown KEY [MODS]"},
                       {"keyup", EditorEvent::Type::KeyUp, "keyup KEY [MODS]"},
                       {"wait", EditorEvent::Type::Wait, "wait MS"},
                       {"set", EditorEvent::Type::Set, "set PARAM=VALUE"},
                       {"state", EditorEvent::Type::State, "state FILE"},
                       {"screenshot", EditorEvent::Type::Screenshot, "screenshot FILE.png"},
                       {"snapshot", EditorEvent::Type::Screenshot, "snapshot FILE.png"},
                       {"close", EditorEvent::Type::Close, "close"}};

} // namespace

int16 keyModifiersOf (int32 buttons)
{
	// IPlugView key modifiers: shift 1, alternate 2, command 4, control 8.
	int16 m = 0;
	if (buttons & Offscreen::kShift)
		m |= 1 << 0;
	if (buttons & Offscreen::kAlt)
		m |= 1 << 1;
	if (buttons & Offscreen::kControl)
		m |= 1 << 2;
	if (buttons & Offscreen::kApple)
		m |= 1 << 3;
	return m;
}

bool parseEditorEvent (const std::string& line, EditorEvent& event, bool& isEvent, std::string& error)
{
	isEvent = false;
	const auto words = splitWords (line);
	if (words.empty () || words[0][0] == '#')
		return true;
	const Verb* verb = nullptr;
	for (auto& v : kVerbs)
		if (words[0] == v.name)
			verb = &v;
	if (!verb)
	{
		error = "unknown event '" + words[0] + "'";
		return false;
	}
	event = EditorEvent {};
	event.type = verb->type;
	event.line = line;
	const size_t count = words.size () - 1;
	auto fail = [&] (const std::string& why) {
		error = "'" + line + "': " + why + " (" + verb->synopsis + ")";
		return false;
	};
	auto arity = [&] (size_t least, size_t most) { return count >= least && count <= most; };
	auto point = [&] (size_t index) {
		if (!parseDouble (words[index], event.x) || !parseDouble (words[index + 1], event.y) ||
		    !(std::fabs (event.x) <= kMaxCoordinate) || !(std::fabs (event.y) <= kMaxCoordinate))
			return fail ("X and Y must be numbers of view pixels");
		event.hasPoint = true;
		return true;
	};
	auto buttons = [&] (size_t index) {
		std::string why;
		if (!parseButtons (words[index], event.buttons, why))
			return fail (why);
		event.hasButtons = true;
		return true;
	};
	// The rest of the line after the verb: a file name may hold spaces.
	auto rest = [&] () {
		size_t start = line.find (words[0]) + words[0].size ();
		size_t first = line.find_first_not_of (" \t", start);
		size_t last = line.find_last_not_of (" \t\r\n");
		return first == std::string::npos ? std::string () : line.substr (first, last + 1 - first);
	};

	switch (event.type)
	{
		case EditorEvent::Type::Move:
		case EditorEvent::Type::Click:
			if (!arity (2, 3))
				return fail ("wrong number of arguments");
			if (!point (1) || (count == 3 && !buttons (3)))
				return false;
			break;
		case EditorEvent::Type::Press:
		case EditorEvent::Type::Release:
			// One argument is MODS: a lone number would be half a point.
			if (count == 1 && !isNumber (words[1]))
			{
				if (!buttons (1))
					return false;
				break;
			}
			if (count == 0)
				break;
			if (!arity (2, 3))
				return fail ("wrong number of arguments");
			if (!point (1) || (count == 3 && !buttons (3)))
				return false;
			break;
		case EditorEvent::Type::Cancel:
		case EditorEvent::Type::Close:
			if (count != 0)
				return fail ("takes no arguments");
			break;
		case EditorEvent::Type::Wheel:
		{
			if (!arity (3, 5))
				return fail ("wrong number of arguments");
			if (!point (1))
				return false;
			if (!parseDouble (words[3], event.steps) || !(std::fabs (event.steps) <= kMaxWheelSteps))
				return fail ("STEPS must be a number from -100 to 100");
			bool modsGiven = false;
			for (size_t i = 4; i < words.size (); ++i)
			{
				if (words[i] == "horizontal" && !event.horizontal)
					event.horizontal = true;
				else if (!modsGiven && words[i] != "horizontal")
				{
					modsGiven = true;
					if (!buttons (i))
						return false;
				}
				else
					return fail ("'" + words[i] + "' given twice");
			}
			break;
		}
		case EditorEvent::Type::Key:
		case EditorEvent::Type::KeyDown:
		case EditorEvent::Type::KeyUp:
		{
			if (!arity (1, 2))
				return fail ("wrong number of arguments");
			std::string why;
			if (!parseKey (words[1], event, why))
				return fail (why);
			if (count == 2 && !buttons (2))
				return false;
			break;
		}
		case EditorEvent::Type::Wait:
		{
			long long ms = 0;
			if (!arity (1, 1) || !parseInt64 (words[1], ms) || ms < 0 || ms > 0xFFFFFFFFll)
				return fail ("MS must be a whole number of milliseconds from 0 to 4294967295");
			event.milliseconds = static_cast<uint32> (ms);
			break;
		}
		case EditorEvent::Type::Set:
		{
			if (!arity (1, 1))
				return fail ("wrong number of arguments");
			std::string why;
			if (!parseAssignmentText (words[1], event.assignment, why))
				return fail (why);
			break;
		}
		case EditorEvent::Type::State:
		case EditorEvent::Type::Screenshot:
			event.path = rest ();
			if (event.path.empty ())
				return fail ("no file given");
			break;
	}
	isEvent = true;
	return true;
}

} // namespace vsthost
