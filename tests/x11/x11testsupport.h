// Pieces of the X11 tests: a run loop on poll() as a host has one, a top-level window
// of the test's own (the host's window that a plug-in view is embedded in), its pixels,
// and real input through the XTest extension.
#pragma once

#include "stderrcapture.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace x11test {

//------------------------------------------------------------------------
// A main-thread run loop: file descriptors watched with poll() and repeating timers.
// Callbacks may add or remove entries, themselves included, while they run.
//------------------------------------------------------------------------
class PollLoop
{
public:
	using Callback = std::function<void ()>;
	using Clock = std::chrono::steady_clock;

	int addFd (int fd, Callback callback);
	bool removeFd (int id);
	int addTimer (uint64_t intervalMs, Callback callback);
	bool removeTimer (int id);
	size_t fdCount () const { return fds.size (); }
	size_t timerCount () const { return timers.size (); }
	/** Called once per turn of the loop (after fds and timers). */
	void setIdle (Callback callback) { idle = std::move (callback); }

	/** Turns the loop for ms milliseconds. */
	void runFor (int ms);
	/** Turns the loop until done() is true or ms milliseconds have passed; done()'s last answer. */
	bool runUntil (const std::function<bool ()>& done, int ms);

	/** Number of timer and fd callbacks made so far. */
	uint64_t getTimerCalls () const { return timerCalls; }
	uint64_t getFdCalls () const { return fdCalls; }

private:
	void turn (Clock::time_point limit);

	struct Fd
	{
		int fd;
		Callback callback;
	};
	struct Timer
	{
		uint64_t interval;
		Clock::time_point due;
		Callback callback;
	};
	std::map<int, Fd> fds;
	std::map<int, Timer> timers;
	Callback idle;
	int nextId {1};
	uint64_t timerCalls {0};
	uint64_t fdCalls {0};
};

//------------------------------------------------------------------------
// RGBA pixels of a window or an image, rows top to bottom.
struct Image
{
	int width {0};
	int height {0};
	std::vector<uint8_t> rgba;
	bool empty () const { return rgba.empty (); }
	const uint8_t* at (int x, int y) const { return &rgba[(static_cast<size_t> (y) * width + x) * 4]; }
	/** Number of distinct colours (up to limit). */
	size_t colourCount (size_t limit = 1000) const;
};

/** Largest difference of one colour channel between two images of the same size (alpha
 *  ignored, colours taken as premultiplied, as a window shows them); -1 when the sizes differ. */
int maxChannelDifference (const Image& a, const Image& b);
/** Pixels whose colour differs by more than threshold in any channel. */
size_t differingPixels (const Image& a, const Image& b, int threshold = 0);
/** A PNG file as RGBA (through Cairo); empty when it cannot be read. */
Image readPNG (const std::string& path);

//------------------------------------------------------------------------
// The test's connection to the X server and a top-level window on it.
//------------------------------------------------------------------------
class TopWindow
{
public:
	/** Opens $DISPLAY and maps a window of the size at (x, y) on the root window. */
	TopWindow (int width, int height, int x = 40, int y = 60);
	~TopWindow ();
	TopWindow (const TopWindow&) = delete;
	TopWindow& operator= (const TopWindow&) = delete;

	bool ok () const { return display && window; }
	Display* getDisplay () const { return display; }
	unsigned long getWindow () const { return window; }
	int getX () const { return left; }
	int getY () const { return top; }
	void resize (int width, int height);
	/** Destroys the window now (and everything embedded in it). */
	void destroyWindow ();

	/** The window's pixels, with whatever is embedded in it. */
	Image capture () const;
	/** Children of the window. */
	std::vector<unsigned long> children () const;
	/** Whether a window is mapped and viewable. */
	bool isViewable (unsigned long w) const;
	/** The two 32-bit values of a window's _XEMBED_INFO property; false when it has none. */
	bool xembedInfo (unsigned long w, long& version, long& flags) const;
	/** Pixel size of a window. */
	bool windowSize (unsigned long w, int& width, int& height) const;

	// --- Input through XTest, in window coordinates -------------------------
	void moveTo (int x, int y);
	void press (unsigned int button);
	void release (unsigned int button);
	void click (unsigned int button);
	/** A key by its X key symbol name ("Up", "Escape", "Alt_L", "a"). */
	void keyDown (const char* keysymName);
	void keyUp (const char* keysymName);
	void tapKey (const char* keysymName);
	/** Whether the server offers the XTest extension. */
	bool hasXTest () const { return xtest; }
	/** Sends what is buffered to the server and waits until it has handled it. */
	void sync ();

private:
	Display* display {nullptr};
	unsigned long window {0};
	int left;
	int top;
	bool xtest {false};
};

/** True when $DISPLAY names a display that can be opened. */
bool displayAvailable ();

/** Collects what is written to file descriptor 2 while it lives. */
using PalvisTest::StderrCapture;

/** Number of open file descriptors of this process. */
int openFileDescriptors ();

} // namespace x11test
