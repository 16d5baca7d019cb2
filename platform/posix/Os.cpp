#include "Os.h"

#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#ifdef ZEMBLARO_COVERAGE
extern "C" void __gcov_dump();
#endif

namespace {

int (*backstopCode)() = nullptr;

// GNU's strerror_r returns its text, POSIX's writes it into the buffer.
[[maybe_unused]] const char* ErrorOf(const char* text, char*) {
  return text;
}
[[maybe_unused]] const char* ErrorOf(int, char* buf) {
  return buf;
}

void EndAtBackstop(int) {
  ::_exit(backstopCode());
}

}  // namespace

namespace Os {

void BeginChannels() {
  ::signal(SIGPIPE, SIG_IGN);
}

int Write(Channel c, const char* p, std::size_t n) {
  const int fd = c == kOut ? STDOUT_FILENO : STDERR_FILENO;
  for (std::size_t done = 0; done < n;) {
    const ssize_t k = ::write(fd, p + done, n - done);
    if (k == 0) return ENOSPC;  // a device that takes nothing would never take the rest
    if (k < 0 && errno != EINTR) return errno;
    if (k > 0) done += static_cast<std::size_t>(k);
  }
  return 0;
}

bool IsBrokenPipe(int error) {
  return error == EPIPE;
}

void ErrorText(int error, std::span<char> text) {
  if (text.empty()) return;
  text[0] = '\0';
  const char* s = ErrorOf(strerror_r(error, text.data(), text.size()), text.data());
  if (s != text.data()) std::strncpy(text.data(), s, text.size() - 1);
  text.back() = '\0';
}

void Exit(int code) {
#ifdef ZEMBLARO_COVERAGE
  __gcov_dump();  // _exit skips the exit handlers that would write the coverage counts
#endif
  ::_exit(code);
}

void Park() {
  for (;;) ::pause();
}

void ArmBackstop(unsigned ms, int (*code)()) {
  static std::atomic<bool> armed{false};
  if (armed.exchange(true)) return;
  backstopCode = code;
  struct sigaction sa {};
  sa.sa_handler = EndAtBackstop;
  sigemptyset(&sa.sa_mask);
  ::sigaction(SIGALRM, &sa, nullptr);
  itimerval t{};
  t.it_value.tv_sec = static_cast<time_t>(ms / 1000);
  t.it_value.tv_usec = static_cast<suseconds_t>(ms % 1000 * 1000);
  ::setitimer(ITIMER_REAL, &t, nullptr);
  sigset_t alarm;
  sigemptyset(&alarm);
  sigaddset(&alarm, SIGALRM);
  pthread_sigmask(SIG_UNBLOCK, &alarm, nullptr);
}

}  // namespace Os
