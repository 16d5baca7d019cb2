// Runs the built zemblaro binary and captures both channels and the exit code as exact bytes.
#pragma once

#include <string>
#include <vector>

namespace cli {

struct Options {
  std::vector<std::string> args;  // parameters after the program name
  std::string cwd;                // working directory; empty: the test's own
  std::vector<std::string> env;   // the child's whole environment ("NAME=value")
  std::string binary;             // empty: the zemblaro built alongside the tests
  int signal = 0;                 // a signal to send the child, 0 for none
  int signalDelayMs = 0;          // sent this long after the trigger below
  std::string signalAfterOutput;  // trigger: this text has appeared on standard output
  std::vector<int> cpus;          // CPU affinity of the child; empty: inherited
  int timeoutMs = 600000;         // the child is killed (SIGKILL) after this long
};

struct Result {
  std::string out;  // standard output, byte for byte
  std::string err;  // standard error, byte for byte
  int code = -1;    // exit code, or 128 + signal number when a signal ended the child
  bool timedOut = false;
};

Result Run(const Options& options);
Result Run(std::vector<std::string> args);

// The path of the zemblaro binary under test.
std::string BinaryPath();

// Replaces the digits of "Ticks: N" and of a self-test's ": end Nms" with "#",
// so that outputs with elapsed milliseconds can be compared exactly.
std::string MaskMillis(const std::string& text);

}  // namespace cli
