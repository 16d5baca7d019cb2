#include "platform/Runtime.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

#include "core/LCC.h"
#include "core/Text.h"

#ifdef ZEMBLARO_COVERAGE
extern "C" void __gcov_dump();
#endif

namespace {

using Clock = std::chrono::steady_clock;

// How long a console event waits for a channel to take its line and the chain's lines. A channel
// that does not take a line in time (a reader that stopped reading) loses it, so an interrupt
// ends the run within twice this time, a later event included, whatever the channels do.
constexpr auto kGrace = std::chrono::milliseconds(400);

// ---- Exit state ----------------------------------------------------------------------------
// An exit is in progress from the first HALT on, or from an interrupt's claim on. The thread that
// started it owns it: from then on only the owner's lines, and an interrupting thread's, reach
// the channels, and a halt on any other thread waits for the owner to end the process. So the
// chain's lines are the last ones written, whichever thread runs it.
std::atomic<bool> exitInProgress{false};
thread_local bool ownsExit = false;
thread_local bool interrupting = false;
bool chainStarted = false;  // touched only by the owning thread
// Console events that arrived while the run was ending: each ends the process with 9, so the
// owner leaves the end to them.
std::atomic<int> lateEvents{0};
// An interrupting thread waits for a lock or a channel until then; every other thread waits as
// long as it takes.
thread_local Clock::time_point deadline = Clock::time_point::max();
// A line was dropped because its channel did not take it in time.
std::atomic<bool> lineLost{false};

bool MayWrite() {
  return ownsExit || interrupting || !exitInProgress.load();
}

// The error of standard output's first failed write, 0 while there is none. From then on the run
// ends at its next line to standard output, and never with exit code 0.
std::atomic<int> outError{0};

// A thread's pending line on one channel. Every thread collects its own lines, so that lines of
// different threads never mix and a line that another thread left unfinished cannot take in the
// text of this one. A line is shorter than PIPE_BUF, so a pipe with room takes it whole.
struct Line {
  std::array<char, 1024> buf;
  std::size_t len;
};
thread_local Line pending[2] = {};

// One output channel: hands each completed line to write(2) at its line end, so that lines of
// the two channels reach their destinations in the order they were written. A mutex orders the
// lines of different threads.
class Channel {
 public:
  constexpr Channel(int fd, std::size_t index) : fd_(fd), index_(index) {}

  void Write(std::span<const char> s) {
    Line& line = pending[index_];
    for (char c : s) {
      if (c == '\0') break;
      if (c == '\n') {
        Put(line, '\r');
        Put(line, '\n');
        Emit(line);
      } else {
        Put(line, c);
      }
    }
  }

  // Writes the calling thread's pending partial line.
  void Flush() { Emit(pending[index_]); }

  // Returns once no line is being written, or at `until`: every line written later sees the
  // current exit state. A line that its channel does not take by then is not waited for.
  void Sync(Clock::time_point until) {
    if (Lock(until)) mutex_.unlock();
  }

 private:
  void Put(Line& line, char c) {
    if (line.len == line.buf.size()) Emit(line);
    line.buf[line.len++] = c;
  }

  void Emit(Line& line) {
    if (line.len == 0) return;
    bool halt = false;
    if (Lock(deadline)) {
      if (MayWrite()) {
        // Standard output has gone: rather than work on unseen, end the run (its chain still
        // runs, and whatever the run has said on standard error has been said).
        halt = fd_ == STDOUT_FILENO && outError.load() != 0 && !exitInProgress.load();
        const int error = halt ? 0 : WriteAll(line.buf.data(), line.len);
        if (error == ETIMEDOUT) lineLost = true;
        if (error != 0 && error != ETIMEDOUT && fd_ == STDOUT_FILENO &&
            outError.exchange(error) == 0) {
          Report(error);
        }
      }
      mutex_.unlock();
    } else {
      lineLost = true;
    }
    line.len = 0;
    if (halt) HALT(9);
  }

  // Takes the mutex, or gives up at `until` (a thread without a deadline waits).
  bool Lock(Clock::time_point until) {
    if (until == Clock::time_point::max()) {
      mutex_.lock();
      return true;
    }
    while (!mutex_.try_lock()) {
      if (Clock::now() >= until) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }

  // Waits until the channel has room for a write, or until the thread's deadline (ETIMEDOUT).
  int Room() const {
    while (deadline != Clock::time_point::max()) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) return ETIMEDOUT;
      pollfd p{fd_, POLLOUT, 0};
      const int n = ::poll(&p, 1, static_cast<int>(left.count()));
      if (n > 0 || (n < 0 && errno != EINTR)) return 0;  // room, or an error the write reports
    }
    return 0;
  }

  // Writes the whole text; returns 0, or the error that stopped it (ETIMEDOUT: the deadline).
  int WriteAll(const char* p, std::size_t len) const {
    for (std::size_t done = 0; done < len;) {
      if (const int error = Room(); error != 0) return error;
      const ssize_t n = ::write(fd_, p + done, len - done);
      if (n == 0) return ENOSPC;  // a device that takes nothing would never take the rest
      if (n < 0 && errno != EINTR) return errno;
      if (n > 0) done += static_cast<std::size_t>(n);
    }
    return 0;
  }

  // One line on standard error naming a failed write of standard output, unless its reader has
  // left on purpose (a broken pipe).
  static void Report(int error);

  int fd_;
  std::size_t index_;
  std::mutex mutex_;
};

constinit Channel out(STDOUT_FILENO, 0);
constinit Channel err(STDERR_FILENO, 1);

void Channel::Report(int error) {
  if (error == EPIPE) return;
  char reason[64], text[128];
  const int n = std::snprintf(text, sizeof text, "Zemblaro: Write error: %s\r\n",
                              strerror_r(error, reason, sizeof reason));
  if (n < 0 || !err.Lock(deadline)) return;
  (void)err.WriteAll(text, std::min(static_cast<std::size_t>(n), sizeof text - 1));
  err.mutex_.unlock();
}

Channel& Out() {
  return out;
}

Channel& Err() {
  return err;
}

// Marks an exit as in progress, owned by the calling thread; false when one already is.
bool ClaimExit() {
  if (exitInProgress.exchange(true)) return false;
  ownsExit = true;
  // A line another thread is writing right now still completes; every later one is dropped. An
  // interrupt waits for such a line only a quarter of its grace: a channel that does not take
  // it leaves the rest of the grace to the other channel.
  const Clock::time_point until =
      interrupting ? std::min(deadline, Clock::now() + kGrace / 4) : deadline;
  out.Sync(until);
  err.Sync(until);
  return true;
}

// The last resort: should a write block although poll reported room (a terminal that takes
// fewer bytes than a line), the timer ends the process, as the run would have ended.
void EndLate(int) {
  ::_exit(lateEvents.load() != 0 ? 9 : 255);
}

void ArmBackstop() {
  static std::atomic<bool> armed{false};
  if (armed.exchange(true)) return;
  struct sigaction sa {};
  sa.sa_handler = EndLate;
  sigemptyset(&sa.sa_mask);
  ::sigaction(SIGALRM, &sa, nullptr);
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(2 * kGrace + kGrace / 4);
  itimerval t{};
  t.it_value.tv_sec = static_cast<time_t>(us.count() / 1000000);
  t.it_value.tv_usec = static_cast<suseconds_t>(us.count() % 1000000);
  ::setitimer(ITIMER_REAL, &t, nullptr);
  sigset_t alarm;
  sigemptyset(&alarm);
  sigaddset(&alarm, SIGALRM);
  pthread_sigmask(SIG_UNBLOCK, &alarm, nullptr);
}

int paramCount = 0;
char** paramVector = nullptr;

constexpr std::size_t kMaxFinalisers = 16;
std::array<void (*)(), kMaxFinalisers> finalisers{};
// Finalisers are registered on the main thread during start-up, some after the signal thread
// has started; the count publishes them to whichever thread halts.
std::atomic<std::size_t> finaliserCount{0};

}  // namespace

void IO_Begin() {
  ::signal(SIGPIPE, SIG_IGN);
}

void IO_WrStr(std::span<const char> s) {
  Out().Write(s);
}

void IO_WrLn() {
  Out().Write(std::span<const char>("\n", 1));
}

void IO_WrLngCard(std::uint32_t x, std::uint32_t w) {
  std::array<char, 11> digits;
  (void)LCC::MkStr(digits, x, 10);  // eleven characters always suffice
  for (std::uint32_t n = Text::Length(digits); n < w; ++n) Out().Write(" ");
  Out().Write(digits);
}

void IO_Flush() {
  Out().Flush();
  Err().Flush();
}

void Lib_SetParams(int argc, char** argv) {
  paramCount = argc;
  paramVector = argv;
}

std::uint32_t Lib_ParamCount() {
  return paramCount > 0 ? static_cast<std::uint32_t>(paramCount - 1) : 0;
}

void Lib_ParamStr(std::span<char> s, std::uint32_t n) {
  const char* src = "";
  if (paramVector != nullptr && n < static_cast<std::uint32_t>(paramCount) &&
      paramVector[n] != nullptr) {
    src = paramVector[n];
  }
  Str_Copy(s, std::span<const char>(src, std::strlen(src)));
}

void Lib_FatalError(std::span<const char> s) {
  Err().Write(s);
  Err().Write(std::span<const char>("\n", 1));
  HALT(9);
}

std::uint32_t Str_StrToCard(std::span<const char> s, bool& ok) {
  const std::uint32_t len = Text::Length(s);
  std::uint32_t i = 0;
  if (i < len && s[i] == '+') ++i;
  ok = false;
  if (i == len) return 0;
  std::uint64_t value = 0;
  for (; i < len; ++i) {
    if (s[i] < '0' || s[i] > '9') return 0;
    value = value * 10 + static_cast<std::uint64_t>(s[i] - '0');
    if (value > 0xFFFFFFFFu) return 0;
  }
  ok = true;
  return static_cast<std::uint32_t>(value);
}

std::int32_t Str_Compare(std::span<const char> a, std::span<const char> b) {
  const std::uint32_t la = Text::Length(a);
  return la == Text::Length(b) && std::equal(a.begin(), a.begin() + la, b.begin()) ? 0 : 1;
}

void Str_Copy(std::span<char> dst, std::span<const char> src) {
  const std::uint32_t n = Text::Length(src);
  const std::size_t m = n < dst.size() ? n : dst.size();
  if (m != 0) std::memmove(dst.data(), src.data(), m);
  if (m < dst.size()) dst[m] = '\0';
}

void Strings_Delete(std::span<char> s, std::uint32_t start, std::uint32_t count) {
  const std::uint32_t len = Text::Length(s);
  if (start >= len) return;
  if (count > len - start) count = len - start;
  // Move the tail (and the terminator, when there is one) up over the removed characters.
  const std::size_t tail = len - start - count;
  std::memmove(s.data() + start, s.data() + start + count, tail);
  // A text that filled its array and lost nothing still fills it: no terminator to move.
  if (start + tail < s.size()) s[start + tail] = '\0';
}

bool Lib_AddFinaliser(void (*p)()) {
  const std::size_t n = finaliserCount.load(std::memory_order_relaxed);
  if (n == kMaxFinalisers) return false;
  finalisers[n] = p;
  finaliserCount.store(n + 1, std::memory_order_release);
  return true;
}

bool Lib_ExitOwnedElsewhere() {
  return exitInProgress.load() && !ownsExit;
}

void Lib_Interrupt() {
  interrupting = true;
  deadline = Clock::now() + kGrace;
  ArmBackstop();
  if (!ClaimExit()) lateEvents.fetch_add(1);
}

void HALT(int code) {
  ClaimExit();
  if (ownsExit) {
    if (!chainStarted) {
      chainStarted = true;
      for (std::size_t i = finaliserCount.load(std::memory_order_acquire); i > 0; --i) {
        finalisers[i - 1]();
      }
    }
  } else if (!interrupting) {
    // Another thread is ending the run and ends the process with the return code; a halt here
    // (the main body returning, a fatal message) must not cut its chain short.
    for (;;) ::pause();
  }
  IO_Flush();
  // An event that arrived while the run was ending ends the process itself, with 9, once its
  // line is written or its grace is over.
  if (ownsExit && lateEvents.load() != 0) {
    for (;;) ::pause();
  }
  // Output that was lost never ends the run with 0.
  if (code == 0 && (outError.load() != 0 || lineLost.load())) code = 255;
#ifdef ZEMBLARO_COVERAGE
  __gcov_dump();  // _exit skips the exit handlers that would write the coverage counts
#endif
  ::_exit(code);
}
