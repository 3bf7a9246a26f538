// A guard for the audio thread: while a thread has entered the guard, every
// call of that thread into the heap (malloc family, operator new/delete), into
// locks and waits (mutexes, read-write locks, condition variables, semaphores,
// sleeps, joins, yields) or into file and memory-mapping system calls is
// recorded as a violation, with its call stack. The calls still go through.
//
// The functions are replaced by definitions in this test program, which the
// dynamic linker binds before libc's also for a module loaded later with
// dlopen, so the plug-in binary's own calls are seen. In sanitizer builds the
// sanitizer owns the heap functions; allocations are then seen through its
// allocation hooks instead.
#pragma once

#include <string>

namespace rtguard {

// The calling thread enters or leaves the watched section (not nested).
void enter ();
void leave ();

struct Section
{
	Section () { enter (); }
	~Section () { leave (); }
	Section (const Section&) = delete;
	Section& operator= (const Section&) = delete;
};

// Violations since the last reset, of all threads.
int violations ();
void reset ();
// The recorded violations: function, thread and call stack, with the plug-in's
// hidden symbols and source lines looked up through addr2line when asked.
std::string report (bool lookUpSourceLines = true);
// True when the heap is watched through a sanitizer's hooks.
bool heapWatchedThroughSanitizer ();

} // namespace rtguard
