#include "platform/Platform.h"

#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace {

std::uint32_t lastError = 0;

std::uint32_t MonotonicMilliseconds() {
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                  static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);
}

// Longest path the lookup measures; a longer one fails with ERANGE.
constexpr std::size_t kMaxPath = std::size_t{1} << 20;

// getcwd reports only "too small"; ask it with a stack buffer of N characters and, on ERANGE, with
// one four times as large, so that a path of any length up to kMaxPath gives its size. Then the
// size contract applies to the caller's buffer. Each size has a frame of its own, taken only when
// the smaller one was too small.
template <std::size_t N>
[[gnu::noinline]] std::uint32_t WorkingDirectory(std::uint32_t n, char* buf) {
  char path[N];
  if (::getcwd(path, N) == nullptr) {
    if constexpr (N < kMaxPath) {
      if (errno == ERANGE) return WorkingDirectory<4 * N>(n, buf);
    }
    lastError = static_cast<std::uint32_t>(errno);
    return 0;
  }
  const auto len = static_cast<std::uint32_t>(std::strlen(path));
  if (len + 1 > n) return len + 1;
  std::memcpy(buf, path, len + 1);
  return len;
}

int StartWithPthread(pthread_t* thread, Platform::ThreadBody body, void* arg) {
  return pthread_create(thread, nullptr, body, arg);
}

}  // namespace

namespace Platform {
std::uint32_t (*tickSource)() = MonotonicMilliseconds;
std::uint32_t (*dirSource)(std::uint32_t n, char* buf) = WorkingDirectory<4096>;
int (*threadStart)(Thread* thread, ThreadBody body, void* arg) = StartWithPthread;

void JoinThread(Thread thread) {
  pthread_join(thread, nullptr);
}

unsigned ProcessorCount() {
  long n = 0;
#ifdef CPU_COUNT  // a host with affinity masks (Linux): the processors this process may use
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0) n = CPU_COUNT(&set);
#endif
  // Elsewhere, or more processors than a mask holds: those online.
  if (n < 1) n = sysconf(_SC_NPROCESSORS_ONLN);
  return n < 1 ? 1 : static_cast<unsigned>(n);
}
}  // namespace Platform

std::uint32_t GetTickCount() {
  return Platform::tickSource();
}

std::uint32_t GetCurrentDirectoryA(std::uint32_t n, char* buf) {
  return Platform::dirSource(n, buf);
}

std::uint32_t GetLastError() {
  return lastError;
}
