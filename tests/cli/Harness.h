// Runs the built zemblaro binary, the signal probe beside it, or a piece of the program in a
// forked child, and captures both channels and the exit code as exact bytes.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace cli {

// A signal sent delayMs after `after` has appeared on standard output (after the previous
// signal, or the start, when empty).
struct Signal {
  int number;
  std::string after;
  int delayMs;
};

enum class Out {
  kPipe,    // a pipe read as the child writes
  kFull,    // /dev/full
  kClosed,  // no standard output at all
  kGone,    // a pipe whose reader has gone
  kFilled,  // a pipe with room for 100 bytes, not read until the child has ended
};

struct Options {
  std::vector<std::string> args;
  std::string binary;          // empty: zemblaro
  std::function<void()> body;  // run in the child instead of a program; returning halts with 0
  std::string cwd;             // made and entered one component at a time: may exceed PATH_MAX
  bool cwdGone = false;        // removed once entered
  std::vector<Signal> signals;
  bool oneCpu = false;  // runs on the first processor only
  Out out = Out::kPipe;
  bool errGone = false;   // standard error a pipe whose reader has gone
  std::size_t limit = 0;  // stop reading standard output after this many bytes (0: never)
  int timeoutMs = 120000;
};

struct Result {
  std::string out;  // standard output, byte for byte
  std::string err;
  int code = -1;  // exit code, or 128 + the signal that ended the child
  bool timedOut = false;
  long msAfterSignal = -1;  // from the first signal to the child's end
};

Result Run(const Options& o);

// The zemblaro under test and a program built beside it.
std::string Binary(const std::string& name = "zemblaro");

// A new folder under $TMPDIR, or /tmp when it is not set.
std::string ScratchDir();

// The digits of "Ticks: N" and of a self-test's "end Nms" as "#".
std::string Mask(const std::string& text);

}  // namespace cli
