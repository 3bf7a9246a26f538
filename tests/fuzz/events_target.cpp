// The event lines of vst3host snapshot and edit through their one parser. The input is
// text, cut into lines at '\n'.
//
// Properties, for every line: parsing gives the same answer twice; a rejected line has
// a message; a blank line or a comment is no event and no error; an accepted line
// starts with its event's word and its values are in bounds (points within 10^6 view
// pixels, wheel steps within 100, a wait in [0, 2^32), a key with a key symbol, a file
// without surrounding blanks, a PARAM=VALUE with a finite number); and the same words
// joined by other blanks parse to the same event (but for a file name, which is the
// rest of the line as written).
#include "fuzzsupport.h"

#include "hostlib/editorevents.h"
#include "hostlib/strings.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace fuzz {

namespace {

using vsthost::EditorEvent;

bool sameEvent (const EditorEvent& a, const EditorEvent& b)
{
	return a.type == b.type && a.hasPoint == b.hasPoint && a.x == b.x && a.y == b.y && a.hasButtons == b.hasButtons &&
	       a.buttons == b.buttons && a.steps == b.steps && a.horizontal == b.horizontal && a.virtualKey == b.virtualKey &&
	       a.character == b.character && a.keysym == b.keysym && a.milliseconds == b.milliseconds &&
	       a.assignment.text == b.assignment.text && a.assignment.number == b.assignment.number;
}

void checkLine (const std::string& line)
{
	EditorEvent event, again;
	bool isEvent = false, isEventAgain = false;
	std::string error, errorAgain;
	const bool ok = vsthost::parseEditorEvent (line, event, isEvent, error);
	const bool okAgain = vsthost::parseEditorEvent (line, again, isEventAgain, errorAgain);
	FUZZ_CHECK (ok == okAgain && isEvent == isEventAgain && error == errorAgain, "a second parse differs: " + line);
	const auto words = vsthost::splitWords (line);
	const bool skipped = words.empty () || words[0][0] == '#';
	if (!ok)
	{
		FUZZ_CHECK (!error.empty (), "rejected without a message: " + line);
		FUZZ_CHECK (!skipped, "a blank line or a comment was rejected: " + line);
		return;
	}
	FUZZ_CHECK (isEvent == !skipped, "blank or comment, and event, disagree: " + line);
	if (!isEvent)
		return;
	FUZZ_CHECK (event.line == line, "the event does not keep its line: " + line);
	if (event.hasPoint)
		FUZZ_CHECK (std::fabs (event.x) <= 1e6 && std::fabs (event.y) <= 1e6, "point out of bounds: " + line);
	FUZZ_CHECK (event.buttons >= 0, "negative button bits: " + line);
	using Type = EditorEvent::Type;
	if (event.type == Type::Move || event.type == Type::Click || event.type == Type::Wheel)
		FUZZ_CHECK (event.hasPoint, "no point: " + line);
	if (event.type == Type::Wheel)
		FUZZ_CHECK (std::fabs (event.steps) <= 100, "wheel steps out of bounds: " + line);
	if (event.type == Type::Wait)
		FUZZ_CHECK (std::strtoll (words[1].c_str (), nullptr, 10) == static_cast<long long> (event.milliseconds),
		            "wait is not its number: " + line);
	if (event.type == Type::Key || event.type == Type::KeyDown || event.type == Type::KeyUp)
		FUZZ_CHECK (event.keysym != 0 && (event.virtualKey != 0 || event.character > 0x20), "a key without a key: " + line);
	if (event.type == Type::Set)
		FUZZ_CHECK (std::isfinite (event.assignment.number) && !event.assignment.key.empty (), "bad assignment: " + line);
	if (event.type == Type::State || event.type == Type::Screenshot)
	{
		FUZZ_CHECK (!event.path.empty (), "no file: " + line);
		FUZZ_CHECK (event.path.front () != ' ' && event.path.back () != ' ' && event.path.front () != '\t' &&
		                event.path.back () != '\t',
		            "a file with surrounding blanks: " + line);
		return;
	}
	// Other blanks between the same words: the same event.
	std::string respaced = "\t";
	for (auto& word : words)
		respaced += word + "  ";
	EditorEvent other;
	bool otherIsEvent = false;
	std::string otherError;
	FUZZ_CHECK (vsthost::parseEditorEvent (respaced, other, otherIsEvent, otherError) && otherIsEvent &&
	                sameEvent (event, other),
	            "other blanks give another event: " + line);
}

} // namespace

int eventsTarget (const uint8_t* data, size_t size)
{
	std::string text (reinterpret_cast<const char*> (data), size);
	size_t start = 0;
	while (start <= text.size ())
	{
		size_t end = text.find ('\n', start);
		if (end == std::string::npos)
			end = text.size ();
		checkLine (text.substr (start, end - start));
		start = end + 1;
	}
	return 0;
}

} // namespace fuzz
