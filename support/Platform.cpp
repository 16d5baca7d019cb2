#include "support/Platform.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
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

std::uint32_t WorkingDirectory(std::uint32_t n, char* buf) {
  // getcwd reports only "too small"; ask it with a buffer large enough for any path, then apply
  // the size contract to the caller's buffer.
  char path[PATH_MAX + 1];
  if (::getcwd(path, sizeof path) == nullptr) {
    lastError = static_cast<std::uint32_t>(errno);
    return 0;
  }
  const auto len = static_cast<std::uint32_t>(std::strlen(path));
  if (len + 1 > n) return len + 1;
  std::memcpy(buf, path, len + 1);
  return len;
}

}  // namespace

namespace Platform {
std::uint32_t (*tickSource)() = MonotonicMilliseconds;
std::uint32_t (*dirSource)(std::uint32_t n, char* buf) = WorkingDirectory;
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
