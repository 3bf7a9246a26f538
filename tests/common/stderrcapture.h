// Collects what is written to file descriptor 2 while it lives (or until text() is called).
#pragma once

#include <cstdio>
#include <string>

#include <unistd.h>

namespace PalvisTest {

class StderrCapture
{
public:
	StderrCapture ()
	{
		std::fflush (stderr);
		file = std::tmpfile ();
		if (!file)
			return;
		saved = dup (2);
		dup2 (fileno (file), 2);
	}
	~StderrCapture () { text (); }
	StderrCapture (const StderrCapture&) = delete;
	StderrCapture& operator= (const StderrCapture&) = delete;

	/** Ends the capture (the first time) and gives everything written until then. */
	std::string text ()
	{
		if (saved < 0)
			return collected;
		std::fflush (stderr);
		dup2 (saved, 2);
		close (saved);
		saved = -1;
		std::rewind (file);
		char buffer[512];
		size_t n;
		while ((n = std::fread (buffer, 1, sizeof (buffer), file)) > 0)
			collected.append (buffer, n);
		std::fclose (file);
		file = nullptr;
		return collected;
	}

private:
	int saved {-1};
	std::FILE* file {nullptr};
	std::string collected;
};

} // namespace PalvisTest
