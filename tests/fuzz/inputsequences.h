// Random input for the editor's controls, and the rules it must keep: the fuzz target
// "input" and the property test share the sequences, their byte form and the run.
//
// A sequence drives an editor built over the plug-in's edit controller from a
// description with a slider in every mode and direction style, a knob and a switch,
// opened offscreen and fed through the binary interface as a host's platform layer
// feeds it: presses with any buttons and modifiers, moves, releases, cancels, wheel
// turns on both axes, keys, focus changes, the clock moving across the ramp's 16 ms
// and the wheel edit's 500 ms, views removed, the editor closed and opened again.
//
// Rules, checked while it runs and after the clock has been drained at its end:
// - at the host (the component handler) and at every control (a listener of its own),
//   edits never end more often than they began, and no value arrives outside an edit;
// - with no press under way, every edit has ended and no control has a timer left;
// - closing the editor ends every edit, whatever was under way;
// - nothing crashes, reads or writes out of bounds, or leaks (the sanitizers).
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace fuzz {

class Reader;

namespace input {

enum class Op : uint8_t
{
	Press,
	Move,
	Release,
	Cancel,
	Wheel,
	Key,
	Time,
	FocusLoss,
	FocusGain,
	Remove,
	Close,
	Reopen,
	Render,
	Count
};

/** One event, in the raw numbers of its byte form; run() maps them to points and values. */
struct Step
{
	Op op {Op::Time};
	uint8_t target {0};  // a control (or anywhere) for mouse and wheel; what goes for Remove
	uint8_t u {0};       // across the target, 0..255
	uint8_t v {0};       // down the target, 0..255
	uint16_t buttons {0}; // button state bits (mouse buttons, modifiers, double click)
	uint8_t amount {0};  // wheel distance, key, or time step (an index into a table)
	uint8_t extra {0};   // wheel axis, or the key's modifiers

	bool operator== (const Step& o) const
	{
		return op == o.op && target == o.target && u == o.u && v == o.v && buttons == o.buttons &&
		       amount == o.amount && extra == o.extra;
	}
};

struct Sequence
{
	uint8_t globalMode {3}; // the library-wide slider mode, 0 to 4
	std::vector<Step> steps;

	bool operator== (const Sequence& o) const { return globalMode == o.globalMode && steps == o.steps; }
};

/** The longest sequence a fuzz input is read into. */
constexpr size_t kMaxSteps = 400;

Sequence decode (Reader& reader);
std::vector<uint8_t> encode (const Sequence& sequence);
/** A sequence of 1 to maxSteps steps, weighted toward presses with the left button,
 *  moves, releases and the clock. */
Sequence generate (std::mt19937& rng, size_t maxSteps = 60);
/** One line per step, for the report of a broken rule. */
std::string describe (const Sequence& sequence);
/** What a run went through, to show that the sequences reach what they are meant to. */
struct RunStats
{
	size_t hostEdits {0};      // begin-edits at the host
	size_t hostValues {0};     // values at the host
	size_t pressesTaken {0};   // presses that a control took
	size_t rampTicks {0};      // clock steps during which a slider's ramp ran
	size_t stillChecks {0};    // ends of a sequence with no press under way (the strict rules)
	size_t closesUnderWay {0}; // closes of the editor during a press
	RunStats& operator+= (const RunStats& o);
};

/** Runs the sequence on a new editor; broken rules go to reportBrokenProperty. */
RunStats run (const Sequence& sequence);

} // namespace input
} // namespace fuzz
