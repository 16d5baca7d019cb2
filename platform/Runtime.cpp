#include "platform/Runtime.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "Os.h"
#include "core/SO.h"
#include "core/Str.h"

namespace {

using Clock = std::chrono::steady_clock;

// How long a console event's thread waits for a channel's lock: a channel that another thread
// holds (blocked in a write to a reader that stopped reading) loses the event's lines.
constexpr auto kGrace = std::chrono::milliseconds(400);
// Should the event's thread block in a write itself, the backstop ends the process this long
// after the first event, as the run would have ended.
constexpr auto kBackstop = std::chrono::milliseconds(900);

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
// An interrupting thread waits for a lock until then; every other thread waits as long as it
// takes.
thread_local Clock::time_point deadline = Clock::time_point::max();
// A line was dropped because its channel's lock was not had in time.
std::atomic<bool> lineLost{false};

bool MayWrite() {
  return ownsExit || interrupting || !exitInProgress.load();
}

// The error of standard output's first failed write, 0 while there is none. From then on the run
// ends at its next line to standard output, and never with exit code 0.
std::atomic<int> outError{0};

// A thread's pending line on one channel. Every thread collects its own lines, so that lines of
// different threads never mix and a line that another thread left unfinished cannot take in the
// text of this one. A line is shorter than a pipe's atomic write, so a pipe takes it whole.
struct Line {
  std::array<char, 1024> buf;
  std::size_t len;
};
thread_local Line pending[2] = {};

// One output channel: hands each completed line to the system at its line end, so that lines of
// the two channels reach their destinations in the order they were written. A mutex orders the
// lines of different threads.
class Channel {
 public:
  explicit Channel(Os::Channel which) : which_(which) {}

  void Write(std::span<const char> s) {
    Line& line = pending[which_];
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
  void Flush() { Emit(pending[which_]); }

  // Returns once no other thread is writing a line, or at `until`: every line written later sees
  // the current exit state.
  void AwaitWriter(Clock::time_point until) {
    if (Lock(until)) mutex_.unlock();
  }

  // Writes text, unless the lock is not had by the thread's deadline; returns the write's error.
  int WriteLocked(std::span<const char> text) {
    if (!Lock(deadline)) return 0;
    const int error = Os::Write(which_, text.data(), text.size());
    mutex_.unlock();
    return error;
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
        halt = which_ == Os::kOut && outError.load() != 0 && !exitInProgress.load();
        const int error = halt ? 0 : Os::Write(which_, line.buf.data(), line.len);
        if (error != 0 && which_ == Os::kOut && outError.exchange(error) == 0) Report(error);
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

  // One line on standard error naming a failed write of standard output, unless its reader has
  // left on purpose (a broken pipe).
  static void Report(int error);

  Os::Channel which_;
  std::mutex mutex_;
};

// Constant-initialised where the mutex is (POSIX); before main everywhere, and nothing writes
// earlier.
Channel out(Os::kOut);
Channel err(Os::kErr);

void Channel::Report(int error) {
  if (Os::IsBrokenPipe(error)) return;
  SO::TLine text;
  SO::TBuffer b;
  SO::Init(b, text);
  SO::WrStr(b, "Zemblaro: Write error: ");
  std::array<char, 64> reason;
  Os::ErrorText(error, reason);
  SO::WrStr(b, reason);
  SO::WrLn(b);
  (void)err.WriteLocked({text.data(), b.l});
}

// Writes the calling thread's pending partial lines of both channels.
void Flush() {
  out.Flush();
  err.Flush();
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
  out.AwaitWriter(until);
  err.AwaitWriter(until);
  return true;
}

// The backstop's exit code: an event that came while the run was ending ends it with 9.
int BackstopCode() {
  return lateEvents.load() != 0 ? 9 : 255;
}

// The widest field IO_WrLngCard pads to: a number and its blanks fit one composed line.
constexpr std::uint32_t kMaxWidth = 100;

int paramCount = 0;
char** paramVector = nullptr;

constexpr std::size_t kMaxFinalisers = 16;
std::array<void (*)(), kMaxFinalisers> finalisers{};
// Finalisers are registered on the main thread during start-up and run on whichever thread
// halts first; the count publishes them to it.
std::atomic<std::size_t> finaliserCount{0};

}  // namespace

void IO_Begin() {
  Os::BeginChannels();
}

void IO_WrStr(std::span<const char> s) {
  out.Write(s);
}

void IO_WrLn() {
  out.Write(std::span<const char>("\n", 1));
}

void IO_WrLngCard(std::uint32_t x, std::uint32_t w) {
  SO::TLine s;
  SO::TBuffer b;
  SO::Init(b, s);
  SO::WrLngCard(b, x, static_cast<std::int32_t>(std::min<std::uint32_t>(w, kMaxWidth)));
  out.Write(s);
}

bool IO_Failed() {
  return outError.load() != 0;
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
  err.Write(s);
  err.Write(std::span<const char>("\n", 1));
  HALT(9);
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
  Os::ArmBackstop(static_cast<unsigned>(kBackstop.count()), BackstopCode);
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
    Os::Park();
  }
  Flush();
  // An event that arrived while the run was ending ends the process itself, with 9, once its
  // line is written or its grace is over.
  if (ownsExit && lateEvents.load() != 0) Os::Park();
  // Output that was lost never ends the run with 0.
  if (code == 0 && (outError.load() != 0 || lineLost.load())) code = 255;
  Os::Exit(code);
}
