// Platform adapters: the tick counter, the current directory, threads and processors. On Win32
// GetTickCount, GetCurrentDirectoryA and GetLastError are the system's own; on POSIX hosts they
// are adapters with the same contracts, and the tick counter, the directory lookup and the start
// of a thread each go through a hook that tests may replace with a fake.
#pragma once

#include <cstdint>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <pthread.h>

// Milliseconds from CLOCK_MONOTONIC, truncated to 32 bits so that it wraps like a tick counter.
std::uint32_t GetTickCount();

// Stores the current directory in buf (n characters) with a terminator and returns the number
// of characters stored without it; when buf is too small returns the size needed, terminator
// included; on failure returns 0 and GetLastError tells why.
std::uint32_t GetCurrentDirectoryA(std::uint32_t n, char* buf);
// The error code of the last failed adapter call (an errno value).
std::uint32_t GetLastError();
#endif

namespace Platform {

#ifdef _WIN32
using Thread = HANDLE;
using ThreadResult = DWORD;
#else
using Thread = pthread_t;
using ThreadResult = void*;

// The sources behind the adapters; tests point them at fakes.
extern std::uint32_t (*tickSource)();
extern std::uint32_t (*dirSource)(std::uint32_t n, char* buf);
#endif

// What a thread runs: the system's own signature, so that no wrapper stands between.
using ThreadBody = ThreadResult (*)(void* arg);

// Starts body(arg) on a new thread with default attributes; 0, or the system's error number.
extern int (*threadStart)(Thread* thread, ThreadBody body, void* arg);
// Waits for a thread that threadStart started, and frees it.
void JoinThread(Thread thread);
// The number of processors this process may run on, by its affinity mask where the host has
// one, else those online; at least 1.
unsigned ProcessorCount();

}  // namespace Platform
