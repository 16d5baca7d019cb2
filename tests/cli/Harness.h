// Runs the built zemblaro binary, or a piece of the program, in a forked child, and captures both
// channels and the exit code as exact bytes.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace cli {

inline const std::string kSignalLine = "ConSigs: Signal received, terminating.\r\n";

// How many times slower than this machine an emulator runs the program (its toolchain names
// it): a child's time limit stretches by it. Waits and bounds do not: they are measured against
// the program's own clock, the grace of an interrupt and its backstop.
inline constexpr int kSlowdown = ZEMBLARO_SLOWDOWN;

inline void SleepMs(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// A signal sent delayMs after `after` has appeared on standard output (after the previous
// signal, or the start, when empty; on a filled pipe, once the child has written to it and then
// nothing for 50 ms).
struct Signal {
  int number;
  std::string after;
  int delayMs;
};

// Standard output: a pipe read as the child writes, /dev/full, none at all, a pipe whose reader
// has gone, or a pipe with room for `room` bytes that is not read until the child has ended.
enum class Out { kPipe, kFull, kClosed, kGone, kFilled };

struct Options {
  std::vector<std::string> args;  // zemblaro's parameters
  std::function<void()> body;     // run in the child instead of zemblaro; returning exits with 0
  std::string cwd;                // made and entered one component at a time: may exceed PATH_MAX
  bool cwdGone = false;           // removed once entered
  std::vector<Signal> signals;
  Out out = Out::kPipe;
  std::size_t room = 100;  // of a filled pipe
  bool errGone = false;    // standard error a pipe whose reader has gone
  int timeoutMs = 120000;
};

struct Result {
  std::string out, err;          // both channels, byte for byte, at most 1 MiB each
  int code = -1;                 // exit code, or 128 + the signal that ended the child
  long long msAfterSignal = -1;  // from the first signal to the child's end
};

Result Run(const Options& o);

}  // namespace cli
