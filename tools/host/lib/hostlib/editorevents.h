// Event lines that drive an editor session: what a user does (pointer, wheel, keys),
// what time does (wait) and what the host does (set, state, screenshot, close). One
// grammar for drawing the editor offscreen and for showing it in a window; each
// session carries the events out its own way.
#pragma once

#include "hostlib/paramassign.h"

#include "pluginterfaces/base/ftypes.h"

#include <string>
#include <vector>

namespace vsthost {

struct EditorEvent
{
	enum class Type
	{
		Move,       // move X Y [MODS]
		Press,      // press [X Y] [MODS]
		Release,    // release [X Y] [MODS]
		Click,      // click X Y [MODS]
		Cancel,     // cancel
		Wheel,      // wheel X Y STEPS [MODS] [horizontal]
		Key,        // key KEY [MODS]
		KeyDown,    // keydown KEY [MODS]
		KeyUp,      // keyup KEY [MODS]
		Wait,       // wait MS
		Set,        // set PARAM=VALUE
		State,      // state FILE
		Screenshot, // screenshot FILE.png (or: snapshot FILE.png)
		Close       // close
	};
	Type type {Type::Wait};
	std::string line; // as written

	// Pointer and wheel events, in view pixels; press and release may leave it out
	// (then they happen where the pointer is).
	bool hasPoint {false};
	double x {0};
	double y {0};
	// MODS: IPlugViewOffscreen's button, modifier and double-click bits.
	bool hasButtons {false};
	Steinberg::int32 buttons {0};
	// wheel: notches, positive up (or, horizontal, left)
	double steps {0};
	bool horizontal {false};
	// keys: a VST virtual key code and/or a character, and the X key symbol for the same key
	Steinberg::int16 virtualKey {0};
	Steinberg::char16 character {0};
	unsigned long keysym {0};
	// wait
	Steinberg::uint32 milliseconds {0};
	// set
	AssignmentText assignment;
	// state, screenshot: the file (the rest of the line)
	std::string path;
};

// Parses one line. Returns false with a message for a line that is no event. A blank
// line or a comment (first word starts with '#') gives true and isEvent false.
bool parseEditorEvent (const std::string& line, EditorEvent& event, bool& isEvent, std::string& error);

// Modifier bits of IPlugViewOffscreen's button bits as IPlugView key-modifier bits.
Steinberg::int16 keyModifiersOf (Steinberg::int32 buttons);

// The grammar, one line per event, for help texts.
extern const char* const kEditorEventGrammar;

} // namespace vsthost
