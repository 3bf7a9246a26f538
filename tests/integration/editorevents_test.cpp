// The event lines of vst3host snapshot and edit, and the form of PARAM=VALUE: what each
// line means, and what is refused with which message.
#include "hostlib/editorevents.h"

#include "pluginterfaces/gui/iplugviewoffscreen.h"

#include <X11/keysym.h>

#include <gtest/gtest.h>

namespace {

using vsthost::EditorEvent;
using Type = EditorEvent::Type;
using Ext = Steinberg::IPlugViewOffscreen;

EditorEvent parsed (const std::string& line)
{
	EditorEvent event;
	bool isEvent = false;
	std::string error;
	EXPECT_TRUE (vsthost::parseEditorEvent (line, event, isEvent, error)) << line << ": " << error;
	EXPECT_TRUE (isEvent) << line;
	EXPECT_EQ (event.line, line);
	return event;
}

std::string refusal (const std::string& line)
{
	EditorEvent event;
	bool isEvent = true;
	std::string error;
	EXPECT_FALSE (vsthost::parseEditorEvent (line, event, isEvent, error)) << line;
	EXPECT_FALSE (isEvent) << line;
	return error;
}

TEST (EditorEvents, PointerEvents)
{
	auto e = parsed ("click 80 300 alt");
	EXPECT_EQ (e.type, Type::Click);
	EXPECT_TRUE (e.hasPoint);
	EXPECT_EQ (e.x, 80);
	EXPECT_EQ (e.y, 300);
	EXPECT_TRUE (e.hasButtons);
	EXPECT_EQ (e.buttons, Ext::kAlt);

	e = parsed ("  move\t-1.5 2e2   right+shift,ctrl ");
	EXPECT_EQ (e.type, Type::Move);
	EXPECT_EQ (e.x, -1.5);
	EXPECT_EQ (e.y, 200);
	EXPECT_EQ (e.buttons, Ext::kRButton | Ext::kShift | Ext::kControl);

	// press and release: the point may be left out, MODS alone stays
	e = parsed ("press");
	EXPECT_EQ (e.type, Type::Press);
	EXPECT_FALSE (e.hasPoint);
	EXPECT_FALSE (e.hasButtons);
	e = parsed ("release Option+Double");
	EXPECT_EQ (e.type, Type::Release);
	EXPECT_FALSE (e.hasPoint);
	EXPECT_EQ (e.buttons, Ext::kAlt | Ext::kDoubleClick);
	e = parsed ("press 1 2 66");
	EXPECT_EQ (e.buttons, Ext::kLButton | Ext::kAlt);
	EXPECT_EQ (parsed ("press 1 2 0x42").buttons, Ext::kLButton | Ext::kAlt);
	EXPECT_EQ (parsed ("click 0 0 cmd+apple+middle").buttons, Ext::kControl | Ext::kApple | Ext::kMButton);
	EXPECT_EQ (parsed ("cancel").type, Type::Cancel);
}

TEST (EditorEvents, WheelKeysWaitAndTheHostsEvents)
{
	auto e = parsed ("wheel 160 300 -2");
	EXPECT_EQ (e.type, Type::Wheel);
	EXPECT_EQ (e.steps, -2);
	EXPECT_FALSE (e.horizontal);
	EXPECT_FALSE (e.hasButtons);
	e = parsed ("wheel 1 2 0.5 horizontal shift");
	EXPECT_TRUE (e.horizontal);
	EXPECT_EQ (e.steps, 0.5);
	EXPECT_EQ (e.buttons, Ext::kShift);
	EXPECT_TRUE (parsed ("wheel 1 2 100 alt horizontal").horizontal);

	e = parsed ("key Escape");
	EXPECT_EQ (e.type, Type::Key);
	EXPECT_EQ (e.virtualKey, 6);
	EXPECT_EQ (e.keysym, static_cast<unsigned long> (XK_Escape));
	e = parsed ("keydown space");
	EXPECT_EQ (e.type, Type::KeyDown);
	EXPECT_EQ (e.virtualKey, 7);
	EXPECT_EQ (e.character, u' ');
	e = parsed ("keyup A shift");
	EXPECT_EQ (e.type, Type::KeyUp);
	EXPECT_EQ (e.virtualKey, 0);
	EXPECT_EQ (e.character, u'A');
	EXPECT_EQ (e.keysym, static_cast<unsigned long> (XK_A));
	EXPECT_EQ (e.buttons, Ext::kShift);
	e = parsed ("key \xc3\xa9");
	EXPECT_EQ (e.character, u'\u00e9');
	EXPECT_EQ (e.keysym, 0xE9ul);
	e = parsed ("key \xe2\x82\xac"); // the euro sign: outside Latin-1
	EXPECT_EQ (e.keysym, 0x010020ACul);

	EXPECT_EQ (parsed ("wait 0").milliseconds, 0u);
	EXPECT_EQ (parsed ("wait 4294967295").milliseconds, 4294967295u);

	e = parsed ("set 1kHz=dB:6");
	EXPECT_EQ (e.type, Type::Set);
	EXPECT_EQ (e.assignment.key, "1kHz");
	EXPECT_EQ (e.assignment.kind, vsthost::AssignmentText::Kind::Decibels);
	EXPECT_EQ (e.assignment.number, 6);
	// a file is the rest of the line, inner blanks and all
	e = parsed ("state  my presets/a b.bin  ");
	EXPECT_EQ (e.type, Type::State);
	EXPECT_EQ (e.path, "my presets/a b.bin");
	EXPECT_EQ (parsed ("screenshot x.png").type, Type::Screenshot);
	EXPECT_EQ (parsed ("snapshot x.png").type, Type::Screenshot);
	EXPECT_EQ (parsed ("close").type, Type::Close);
}

TEST (EditorEvents, BlankLinesAndCommentsAreNoEvents)
{
	for (const char* line : {"", "   ", "\t", "# a comment", "   #move 1 2", "#"})
	{
		EditorEvent event;
		bool isEvent = true;
		std::string error;
		EXPECT_TRUE (vsthost::parseEditorEvent (line, event, isEvent, error)) << line;
		EXPECT_FALSE (isEvent) << line;
		EXPECT_EQ (error, "");
	}
}

TEST (EditorEvents, RefusedLinesSayWhy)
{
	struct Case
	{
		const char* line;
		const char* message;
	} cases[] = {
	    {"jump 1 2", "unknown event 'jump'"},
	    {"Click 1 2", "unknown event 'Click'"},
	    {"click 1", "'click 1': wrong number of arguments (click X Y [MODS])"},
	    {"click 1 2 alt extra", "wrong number of arguments"},
	    {"press 1", "wrong number of arguments (press [X Y] [MODS])"},
	    {"move x 2", "X and Y must be numbers of view pixels"},
	    {"move 1 nan", "X and Y must be numbers"},
	    {"move 1000001 0", "X and Y must be numbers"},
	    {"click 1 2 hyper", "unknown button or modifier 'hyper'"},
	    {"click 1 2 alt+", "unknown button or modifier ''"},
	    {"press -5", "wrong number of arguments"},
	    {"cancel now", "takes no arguments"},
	    {"close 1", "takes no arguments"},
	    {"wheel 1 2", "wrong number of arguments"},
	    {"wheel 1 2 up", "STEPS must be a number from -100 to 100"},
	    {"wheel 1 2 101", "STEPS must be"},
	    {"wheel 1 2 1 horizontal horizontal", "'horizontal' given twice"},
	    {"wheel 1 2 1 alt shift", "'shift' given twice"},
	    {"key", "wrong number of arguments"},
	    {"key Alt_L", "unknown key 'Alt_L'"},
	    {"key ab", "unknown key 'ab'"},
	    {"key \xff", "unknown key"},
	    {"key a hyper", "unknown button or modifier 'hyper'"},
	    {"wait", "MS must be a whole number"},
	    {"wait -5", "MS must be a whole number of milliseconds from 0 to 4294967295"},
	    {"wait 4294967296", "MS must be"},
	    {"wait 1.5", "MS must be"},
	    {"set Level", "'Level' is not of the form PARAM=VALUE"},
	    {"set Level=loud", "'loud' in 'Level=loud' is not a number (or plain:X / dB:X)"},
	    {"set Level=0.5 1kHz=1", "wrong number of arguments"},
	    {"state", "no file given (state FILE)"},
	    {"screenshot   ", "no file given"},
	};
	for (auto& c : cases)
	{
		std::string error = refusal (c.line);
		EXPECT_NE (error.find (c.message), std::string::npos) << c.line << " -> " << error;
	}
}

TEST (EditorEvents, AssignmentForms)
{
	vsthost::AssignmentText text;
	std::string error;
	ASSERT_TRUE (vsthost::parseAssignmentText ("Level=plain:-6", text, error)) << error;
	EXPECT_EQ (text.key, "Level");
	EXPECT_EQ (text.kind, vsthost::AssignmentText::Kind::Plain);
	EXPECT_EQ (text.number, -6);
	ASSERT_TRUE (vsthost::parseAssignmentText ("a=b=DB:1.5", text, error)) << error;
	EXPECT_EQ (text.key, "a=b"); // the last '=' separates
	EXPECT_EQ (text.kind, vsthost::AssignmentText::Kind::Decibels);
	EXPECT_EQ (text.number, 1.5);
	ASSERT_TRUE (vsthost::parseAssignmentText ("10=0.25", text, error)) << error;
	EXPECT_EQ (text.kind, vsthost::AssignmentText::Kind::Normalized);
	for (const char* bad : {"Level", "=0.5", "Level=", "Level=dB:", "Level=dB:inf", "Level=nan", "Level=0.5x", "Level= 1"})
	{
		error.clear ();
		EXPECT_FALSE (vsthost::parseAssignmentText (bad, text, error)) << bad;
		EXPECT_FALSE (error.empty ()) << bad;
	}
}

} // namespace
