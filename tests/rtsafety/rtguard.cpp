#include "rtguard.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <semaphore.h>
#include <sys/mman.h>
#include <sys/select.h>
#include <time.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define RTGUARD_SANITIZER_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define RTGUARD_SANITIZER_HEAP 1
#endif
#endif

#define RTGUARD_EXPORT __attribute__ ((visibility ("default")))

namespace {

thread_local bool watched = false;
thread_local bool recording = false;

struct Record
{
	const char* what;
	unsigned long thread;
	int depth;
	void* frames[40];
};
constexpr int kMaxRecords = 32;
Record records[kMaxRecords];
std::atomic<int> numViolations {0};

void note (const char* what)
{
	if (!watched || recording)
		return;
	recording = true;
	const int index = numViolations.fetch_add (1);
	if (index < kMaxRecords)
	{
		Record& r = records[index];
		r.what = what;
		r.thread = static_cast<unsigned long> (pthread_self ());
		r.depth = backtrace (r.frames, 40);
	}
	recording = false;
}

// The next definition of a function after this program's own: libc's, or a
// sanitizer's interceptor in front of it.
template <typename F>
F nextDefinition (std::atomic<F>& cache, const char* name)
{
	F f = cache.load (std::memory_order_acquire);
	if (!f)
	{
		f = reinterpret_cast<F> (dlsym (RTLD_NEXT, name));
		if (!f)
			std::abort ();
		cache.store (f, std::memory_order_release);
	}
	return f;
}

#define RTGUARD_NEXT(name) nextDefinition (next_##name, #name)

} // namespace

//------------------------------------------------------------------------
// Heap
//------------------------------------------------------------------------
#if RTGUARD_SANITIZER_HEAP

extern "C" int __sanitizer_install_malloc_and_free_hooks (void (*mallocHook) (const volatile void*, size_t),
                                                           void (*freeHook) (const volatile void*));
namespace {
void onSanitizerMalloc (const volatile void*, size_t)
{
	note ("allocation");
}
void onSanitizerFree (const volatile void* p)
{
	if (p)
		note ("deallocation");
}
} // namespace

#else

extern "C" {
void* __libc_malloc (size_t);
void __libc_free (void*);
void* __libc_calloc (size_t, size_t);
void* __libc_realloc (void*, size_t);
void* __libc_memalign (size_t, size_t);
void* __libc_valloc (size_t);
void* __libc_pvalloc (size_t);

RTGUARD_EXPORT void* malloc (size_t size)
{
	note ("malloc");
	return __libc_malloc (size);
}
RTGUARD_EXPORT void free (void* p)
{
	// Freeing nothing touches no heap.
	if (p)
		note ("free");
	__libc_free (p);
}
RTGUARD_EXPORT void* calloc (size_t n, size_t size)
{
	note ("calloc");
	return __libc_calloc (n, size);
}
RTGUARD_EXPORT void* realloc (void* p, size_t size)
{
	note ("realloc");
	return __libc_realloc (p, size);
}
RTGUARD_EXPORT void* reallocarray (void* p, size_t n, size_t size)
{
	note ("reallocarray");
	if (size && n > static_cast<size_t> (-1) / size)
	{
		errno = ENOMEM;
		return nullptr;
	}
	return __libc_realloc (p, n * size);
}
RTGUARD_EXPORT void* memalign (size_t alignment, size_t size)
{
	note ("memalign");
	return __libc_memalign (alignment, size);
}
RTGUARD_EXPORT void* aligned_alloc (size_t alignment, size_t size)
{
	note ("aligned_alloc");
	return __libc_memalign (alignment, size);
}
RTGUARD_EXPORT int posix_memalign (void** out, size_t alignment, size_t size)
{
	note ("posix_memalign");
	if (alignment < sizeof (void*) || (alignment & (alignment - 1)) != 0)
		return EINVAL;
	void* p = __libc_memalign (alignment, size);
	if (!p)
		return ENOMEM;
	*out = p;
	return 0;
}
RTGUARD_EXPORT void* valloc (size_t size)
{
	note ("valloc");
	return __libc_valloc (size);
}
RTGUARD_EXPORT void* pvalloc (size_t size)
{
	note ("pvalloc");
	return __libc_pvalloc (size);
}
} // extern "C"

namespace {
void* newBlock (size_t size, const char* what)
{
	note (what);
	if (void* p = __libc_malloc (size ? size : 1))
		return p;
	throw std::bad_alloc ();
}
void* newAligned (size_t size, std::align_val_t alignment, const char* what)
{
	note (what);
	if (void* p = __libc_memalign (static_cast<size_t> (alignment), size ? size : 1))
		return p;
	throw std::bad_alloc ();
}
void deleteBlock (void* p, const char* what)
{
	if (p)
		note (what);
	__libc_free (p);
}
} // namespace

RTGUARD_EXPORT void* operator new (size_t size)
{
	return newBlock (size, "operator new");
}
RTGUARD_EXPORT void* operator new[] (size_t size)
{
	return newBlock (size, "operator new[]");
}
RTGUARD_EXPORT void* operator new (size_t size, const std::nothrow_t&) noexcept
{
	note ("operator new (nothrow)");
	return __libc_malloc (size ? size : 1);
}
RTGUARD_EXPORT void* operator new[] (size_t size, const std::nothrow_t&) noexcept
{
	note ("operator new[] (nothrow)");
	return __libc_malloc (size ? size : 1);
}
RTGUARD_EXPORT void* operator new (size_t size, std::align_val_t a)
{
	return newAligned (size, a, "operator new (aligned)");
}
RTGUARD_EXPORT void* operator new[] (size_t size, std::align_val_t a)
{
	return newAligned (size, a, "operator new[] (aligned)");
}
RTGUARD_EXPORT void* operator new (size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
	note ("operator new (aligned, nothrow)");
	return __libc_memalign (static_cast<size_t> (a), size ? size : 1);
}
RTGUARD_EXPORT void* operator new[] (size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
	note ("operator new[] (aligned, nothrow)");
	return __libc_memalign (static_cast<size_t> (a), size ? size : 1);
}
RTGUARD_EXPORT void operator delete (void* p) noexcept
{
	deleteBlock (p, "operator delete");
}
RTGUARD_EXPORT void operator delete[] (void* p) noexcept
{
	deleteBlock (p, "operator delete[]");
}
RTGUARD_EXPORT void operator delete (void* p, size_t) noexcept
{
	deleteBlock (p, "operator delete");
}
RTGUARD_EXPORT void operator delete[] (void* p, size_t) noexcept
{
	deleteBlock (p, "operator delete[]");
}
RTGUARD_EXPORT void operator delete (void* p, const std::nothrow_t&) noexcept
{
	deleteBlock (p, "operator delete");
}
RTGUARD_EXPORT void operator delete[] (void* p, const std::nothrow_t&) noexcept
{
	deleteBlock (p, "operator delete[]");
}
RTGUARD_EXPORT void operator delete (void* p, std::align_val_t) noexcept
{
	deleteBlock (p, "operator delete (aligned)");
}
RTGUARD_EXPORT void operator delete[] (void* p, std::align_val_t) noexcept
{
	deleteBlock (p, "operator delete[] (aligned)");
}
RTGUARD_EXPORT void operator delete (void* p, size_t, std::align_val_t) noexcept
{
	deleteBlock (p, "operator delete (aligned)");
}
RTGUARD_EXPORT void operator delete[] (void* p, size_t, std::align_val_t) noexcept
{
	deleteBlock (p, "operator delete[] (aligned)");
}
RTGUARD_EXPORT void operator delete (void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
	deleteBlock (p, "operator delete (aligned)");
}
RTGUARD_EXPORT void operator delete[] (void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
	deleteBlock (p, "operator delete[] (aligned)");
}

#endif // RTGUARD_SANITIZER_HEAP

//------------------------------------------------------------------------
// Locks, waits, sleeps, threads, files, mappings
//------------------------------------------------------------------------
namespace {
#define RTGUARD_DECLARE_NEXT(ret, name, ...) std::atomic<ret (*) (__VA_ARGS__)> next_##name {nullptr};
RTGUARD_DECLARE_NEXT (int, pthread_mutex_lock, pthread_mutex_t*)
RTGUARD_DECLARE_NEXT (int, pthread_mutex_trylock, pthread_mutex_t*)
RTGUARD_DECLARE_NEXT (int, pthread_mutex_timedlock, pthread_mutex_t*, const struct timespec*)
RTGUARD_DECLARE_NEXT (int, pthread_rwlock_rdlock, pthread_rwlock_t*)
RTGUARD_DECLARE_NEXT (int, pthread_rwlock_wrlock, pthread_rwlock_t*)
RTGUARD_DECLARE_NEXT (int, pthread_rwlock_tryrdlock, pthread_rwlock_t*)
RTGUARD_DECLARE_NEXT (int, pthread_rwlock_trywrlock, pthread_rwlock_t*)
RTGUARD_DECLARE_NEXT (int, pthread_spin_lock, pthread_spinlock_t*)
RTGUARD_DECLARE_NEXT (int, pthread_cond_wait, pthread_cond_t*, pthread_mutex_t*)
RTGUARD_DECLARE_NEXT (int, pthread_cond_timedwait, pthread_cond_t*, pthread_mutex_t*, const struct timespec*)
RTGUARD_DECLARE_NEXT (int, pthread_cond_signal, pthread_cond_t*)
RTGUARD_DECLARE_NEXT (int, pthread_cond_broadcast, pthread_cond_t*)
RTGUARD_DECLARE_NEXT (int, pthread_join, pthread_t, void**)
RTGUARD_DECLARE_NEXT (int, pthread_create, pthread_t*, const pthread_attr_t*, void* (*) (void*), void*)
RTGUARD_DECLARE_NEXT (int, sem_wait, sem_t*)
RTGUARD_DECLARE_NEXT (int, sem_trywait, sem_t*)
RTGUARD_DECLARE_NEXT (int, sem_timedwait, sem_t*, const struct timespec*)
RTGUARD_DECLARE_NEXT (int, sem_post, sem_t*)
RTGUARD_DECLARE_NEXT (int, nanosleep, const struct timespec*, struct timespec*)
RTGUARD_DECLARE_NEXT (int, clock_nanosleep, clockid_t, int, const struct timespec*, struct timespec*)
RTGUARD_DECLARE_NEXT (int, usleep, useconds_t)
RTGUARD_DECLARE_NEXT (unsigned, sleep, unsigned)
RTGUARD_DECLARE_NEXT (int, sched_yield, void)
RTGUARD_DECLARE_NEXT (int, poll, struct pollfd*, nfds_t, int)
RTGUARD_DECLARE_NEXT (int, select, int, fd_set*, fd_set*, fd_set*, struct timeval*)
RTGUARD_DECLARE_NEXT (int, open, const char*, int, ...)
RTGUARD_DECLARE_NEXT (int, openat, int, const char*, int, ...)
RTGUARD_DECLARE_NEXT (int, close, int)
RTGUARD_DECLARE_NEXT (ssize_t, read, int, void*, size_t)
RTGUARD_DECLARE_NEXT (ssize_t, write, int, const void*, size_t)
RTGUARD_DECLARE_NEXT (FILE*, fopen, const char*, const char*)
RTGUARD_DECLARE_NEXT (size_t, fwrite, const void*, size_t, size_t, FILE*)
RTGUARD_DECLARE_NEXT (int, fputs, const char*, FILE*)
RTGUARD_DECLARE_NEXT (int, puts, const char*)
RTGUARD_DECLARE_NEXT (int, vfprintf, FILE*, const char*, va_list)
RTGUARD_DECLARE_NEXT (int, fflush, FILE*)
RTGUARD_DECLARE_NEXT (void*, mmap, void*, size_t, int, int, int, off_t)
RTGUARD_DECLARE_NEXT (int, munmap, void*, size_t)
RTGUARD_DECLARE_NEXT (int, mprotect, void*, size_t, int)
RTGUARD_DECLARE_NEXT (void*, dlopen, const char*, int)
} // namespace

#define RTGUARD_FORWARD(ret, name, params, args)  \
	extern "C" RTGUARD_EXPORT ret name params       \
	{                                              \
		note (#name);                                \
		return RTGUARD_NEXT (name) args;             \
	}

RTGUARD_FORWARD (int, pthread_mutex_lock, (pthread_mutex_t * m), (m))
RTGUARD_FORWARD (int, pthread_mutex_trylock, (pthread_mutex_t * m), (m))
RTGUARD_FORWARD (int, pthread_mutex_timedlock, (pthread_mutex_t * m, const struct timespec* t), (m, t))
RTGUARD_FORWARD (int, pthread_rwlock_rdlock, (pthread_rwlock_t * l), (l))
RTGUARD_FORWARD (int, pthread_rwlock_wrlock, (pthread_rwlock_t * l), (l))
RTGUARD_FORWARD (int, pthread_rwlock_tryrdlock, (pthread_rwlock_t * l), (l))
RTGUARD_FORWARD (int, pthread_rwlock_trywrlock, (pthread_rwlock_t * l), (l))
RTGUARD_FORWARD (int, pthread_spin_lock, (pthread_spinlock_t * l), (l))
RTGUARD_FORWARD (int, pthread_cond_wait, (pthread_cond_t * c, pthread_mutex_t* m), (c, m))
RTGUARD_FORWARD (int, pthread_cond_timedwait, (pthread_cond_t * c, pthread_mutex_t* m, const struct timespec* t),
                 (c, m, t))
RTGUARD_FORWARD (int, pthread_cond_signal, (pthread_cond_t * c), (c))
RTGUARD_FORWARD (int, pthread_cond_broadcast, (pthread_cond_t * c), (c))
RTGUARD_FORWARD (int, pthread_join, (pthread_t t, void** r), (t, r))
RTGUARD_FORWARD (int, pthread_create, (pthread_t * t, const pthread_attr_t* a, void* (*f) (void*), void* arg),
                 (t, a, f, arg))
RTGUARD_FORWARD (int, sem_wait, (sem_t * s), (s))
RTGUARD_FORWARD (int, sem_trywait, (sem_t * s), (s))
RTGUARD_FORWARD (int, sem_timedwait, (sem_t * s, const struct timespec* t), (s, t))
RTGUARD_FORWARD (int, sem_post, (sem_t * s), (s))
RTGUARD_FORWARD (int, nanosleep, (const struct timespec* a, struct timespec* b), (a, b))
RTGUARD_FORWARD (int, clock_nanosleep, (clockid_t c, int f, const struct timespec* a, struct timespec* b),
                 (c, f, a, b))
RTGUARD_FORWARD (int, usleep, (useconds_t u), (u))
RTGUARD_FORWARD (unsigned, sleep, (unsigned s), (s))
RTGUARD_FORWARD (int, sched_yield, (void), ())
RTGUARD_FORWARD (int, poll, (struct pollfd * f, nfds_t n, int t), (f, n, t))
RTGUARD_FORWARD (int, select, (int n, fd_set* r, fd_set* w, fd_set* e, struct timeval* t), (n, r, w, e, t))
RTGUARD_FORWARD (int, close, (int fd), (fd))
RTGUARD_FORWARD (ssize_t, read, (int fd, void* b, size_t n), (fd, b, n))
RTGUARD_FORWARD (ssize_t, write, (int fd, const void* b, size_t n), (fd, b, n))
RTGUARD_FORWARD (FILE*, fopen, (const char* p, const char* m), (p, m))
RTGUARD_FORWARD (size_t, fwrite, (const void* b, size_t s, size_t n, FILE* f), (b, s, n, f))
RTGUARD_FORWARD (int, fputs, (const char* s, FILE* f), (s, f))
RTGUARD_FORWARD (int, puts, (const char* s), (s))
RTGUARD_FORWARD (int, vfprintf, (FILE * f, const char* fmt, va_list a), (f, fmt, a))
RTGUARD_FORWARD (int, fflush, (FILE * f), (f))
RTGUARD_FORWARD (void*, mmap, (void* a, size_t l, int p, int f, int fd, off_t o), (a, l, p, f, fd, o))
RTGUARD_FORWARD (int, munmap, (void* a, size_t l), (a, l))
RTGUARD_FORWARD (int, mprotect, (void* a, size_t l, int p), (a, l, p))
RTGUARD_FORWARD (void*, dlopen, (const char* f, int m), (f, m))

namespace {
bool takesMode (int flags)
{
	return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
}
} // namespace

extern "C" RTGUARD_EXPORT int open (const char* path, int flags, ...)
{
	note ("open");
	mode_t mode = 0;
	if (takesMode (flags))
	{
		va_list a;
		va_start (a, flags);
		mode = static_cast<mode_t> (va_arg (a, int));
		va_end (a);
	}
	return RTGUARD_NEXT (open) (path, flags, mode);
}

extern "C" RTGUARD_EXPORT int openat (int dir, const char* path, int flags, ...)
{
	note ("openat");
	mode_t mode = 0;
	if (takesMode (flags))
	{
		va_list a;
		va_start (a, flags);
		mode = static_cast<mode_t> (va_arg (a, int));
		va_end (a);
	}
	return RTGUARD_NEXT (openat) (dir, path, flags, mode);
}

extern "C" RTGUARD_EXPORT int fprintf (FILE* f, const char* fmt, ...)
{
	note ("fprintf");
	va_list a;
	va_start (a, fmt);
	int r = RTGUARD_NEXT (vfprintf) (f, fmt, a);
	va_end (a);
	return r;
}

extern "C" RTGUARD_EXPORT int printf (const char* fmt, ...)
{
	note ("printf");
	va_list a;
	va_start (a, fmt);
	int r = RTGUARD_NEXT (vfprintf) (stdout, fmt, a);
	va_end (a);
	return r;
}

//------------------------------------------------------------------------
namespace {

// Everything resolved and the unwinder loaded before any thread is watched:
// the first backtrace() loads a library, the first dlsym allocates.
__attribute__ ((constructor)) void prepareGuard ()
{
	void* frames[4];
	backtrace (frames, 4);
#if RTGUARD_SANITIZER_HEAP
	__sanitizer_install_malloc_and_free_hooks (onSanitizerMalloc, onSanitizerFree);
#endif
#define RTGUARD_RESOLVE(name) (void)RTGUARD_NEXT (name);
	RTGUARD_RESOLVE (pthread_mutex_lock)
	RTGUARD_RESOLVE (pthread_mutex_trylock)
	RTGUARD_RESOLVE (pthread_mutex_timedlock)
	RTGUARD_RESOLVE (pthread_rwlock_rdlock)
	RTGUARD_RESOLVE (pthread_rwlock_wrlock)
	RTGUARD_RESOLVE (pthread_rwlock_tryrdlock)
	RTGUARD_RESOLVE (pthread_rwlock_trywrlock)
	RTGUARD_RESOLVE (pthread_spin_lock)
	RTGUARD_RESOLVE (pthread_cond_wait)
	RTGUARD_RESOLVE (pthread_cond_timedwait)
	RTGUARD_RESOLVE (pthread_cond_signal)
	RTGUARD_RESOLVE (pthread_cond_broadcast)
	RTGUARD_RESOLVE (pthread_join)
	RTGUARD_RESOLVE (pthread_create)
	RTGUARD_RESOLVE (sem_wait)
	RTGUARD_RESOLVE (sem_trywait)
	RTGUARD_RESOLVE (sem_timedwait)
	RTGUARD_RESOLVE (sem_post)
	RTGUARD_RESOLVE (nanosleep)
	RTGUARD_RESOLVE (clock_nanosleep)
	RTGUARD_RESOLVE (usleep)
	RTGUARD_RESOLVE (sleep)
	RTGUARD_RESOLVE (sched_yield)
	RTGUARD_RESOLVE (poll)
	RTGUARD_RESOLVE (select)
	RTGUARD_RESOLVE (open)
	RTGUARD_RESOLVE (openat)
	RTGUARD_RESOLVE (close)
	RTGUARD_RESOLVE (read)
	RTGUARD_RESOLVE (write)
	RTGUARD_RESOLVE (fopen)
	RTGUARD_RESOLVE (fwrite)
	RTGUARD_RESOLVE (fputs)
	RTGUARD_RESOLVE (puts)
	RTGUARD_RESOLVE (vfprintf)
	RTGUARD_RESOLVE (fflush)
	RTGUARD_RESOLVE (mmap)
	RTGUARD_RESOLVE (munmap)
	RTGUARD_RESOLVE (mprotect)
	RTGUARD_RESOLVE (dlopen)
}

// "module+offset symbol (file:line)": the symbol from the dynamic table, or
// from addr2line (binutils) for the plug-in's hidden symbols.
std::string describeFrame (void* address, bool lookUpSourceLines)
{
	char line[1024];
	Dl_info info {};
	if (!dladdr (address, &info) || !info.dli_fname)
	{
		std::snprintf (line, sizeof (line), "%p", address);
		return line;
	}
	const char* module = std::strrchr (info.dli_fname, '/');
	module = module ? module + 1 : info.dli_fname;
	// The return address points after the call; look up the call itself.
	const auto offset =
	    static_cast<unsigned long> (static_cast<char*> (address) - static_cast<char*> (info.dli_fbase)) - 1;
	std::string symbol;
	if (info.dli_sname)
	{
		int status = 0;
		char* demangled = abi::__cxa_demangle (info.dli_sname, nullptr, nullptr, &status);
		symbol = status == 0 && demangled ? demangled : info.dli_sname;
		std::free (demangled);
	}
	else if (lookUpSourceLines && std::strchr (info.dli_fname, '\'') == nullptr)
	{
		char command[1200];
		std::snprintf (command, sizeof (command), "addr2line -C -f -e '%s' 0x%lx 2>/dev/null", info.dli_fname,
		               offset);
		if (FILE* pipe = popen (command, "r"))
		{
			char function[600] = {}, place[600] = {};
			if (std::fgets (function, sizeof (function), pipe) && std::fgets (place, sizeof (place), pipe))
			{
				function[std::strcspn (function, "\n")] = 0;
				place[std::strcspn (place, "\n")] = 0;
				if (std::strcmp (function, "??") != 0)
					symbol = std::string (function) + " (" + place + ")";
			}
			pclose (pipe);
		}
	}
	std::snprintf (line, sizeof (line), "%s+0x%lx %s", module, offset, symbol.c_str ());
	return line;
}

} // namespace

namespace rtguard {

void enter ()
{
	watched = true;
}

void leave ()
{
	watched = false;
}

int violations ()
{
	return numViolations.load ();
}

void reset ()
{
	numViolations.store (0);
}

bool heapWatchedThroughSanitizer ()
{
#if RTGUARD_SANITIZER_HEAP
	return true;
#else
	return false;
#endif
}

std::string report (bool lookUpSourceLines)
{
	std::string text;
	const int n = numViolations.load ();
	const int shown = n < 8 ? n : 8;
	for (int i = 0; i < shown; ++i)
	{
		const Record& r = records[i];
		char head[128];
		std::snprintf (head, sizeof (head), "#%d %s on thread %lx\n", i, r.what, r.thread);
		text += head;
		for (int f = 1; f < r.depth; ++f) // frame 0 is note() itself
			text += "    " + describeFrame (r.frames[f], lookUpSourceLines) + "\n";
	}
	if (n > shown)
		text += "... and " + std::to_string (n - shown) + " more\n";
	return text;
}

} // namespace rtguard
