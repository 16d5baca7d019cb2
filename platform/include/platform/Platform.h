// Platform adapters: the tick counter, the current directory, threads and processors. The tick
// counter, the directory lookup and the start of a thread each go through a hook that tests may
// replace with a fake.
#pragma once

#include <pthread.h>

#include <cstdint>

// Milliseconds from CLOCK_MONOTONIC, truncated to 32 bits so that it wraps like a tick counter.
std::uint32_t GetTickCount();

// Stores the current directory in buf (n characters) with a terminator and returns the number
// of characters stored without it; when buf is too small returns the size needed, terminator
// included; on failure returns 0 and GetLastError tells why.
std::uint32_t GetCurrentDirectoryA(std::uint32_t n, char* buf);
// The error code of the last failed adapter call (an errno value).
std::uint32_t GetLastError();

namespace Platform {
// The sources behind the adapters; tests point them at fakes.
extern std::uint32_t (*tickSource)();
extern std::uint32_t (*dirSource)(std::uint32_t n, char* buf);
// Starts body(arg) on a new thread with default attributes (pthread_create's contract: 0 or an
// error number).
extern int (*threadStart)(pthread_t* thread, void* (*body)(void*), void* arg);

// Waits for a thread that threadStart started.
void JoinThread(pthread_t thread);
// The number of processors this process may run on, by its affinity mask where the host has
// one, else those online; at least 1.
unsigned ProcessorCount();
}  // namespace Platform
