// End-to-end console signals: a signal sent to a running zemblaro, or to the probe program that
// holds a run open at a chosen point, ends the run with the signal line, then the ticks line as
// the last line, and exit code 255; one that arrives while the run is already ending ends the
// process at once with 9.
#include <gtest/gtest.h>
#include <signal.h>

#include <string>
#include <vector>

#include "tests/cli/Harness.h"

namespace {

const std::string kSignalLine = "ConSigs: Signal received, terminating.\r\n";

// "Ticks: ", one or more digits and a line end.
bool IsTicksLine(const std::string& line) {
  const std::string head = "Ticks: ";
  if (line.size() < head.size() + 3 || line.compare(0, head.size(), head) != 0) return false;
  if (line.compare(line.size() - 2, 2, "\r\n") != 0) return false;
  for (std::size_t i = head.size(); i < line.size() - 2; ++i) {
    if (line[i] < '0' || line[i] > '9') return false;
  }
  return true;
}

struct Sig {
  int number;
  const char* name;
};
const Sig kSignals[] = {
    {SIGINT, "SIGINT"}, {SIGTERM, "SIGTERM"}, {SIGQUIT, "SIGQUIT"}, {SIGHUP, "SIGHUP"}};

// The probe program, built beside zemblaro.
std::string ProbePath() {
  const std::string bin = cli::BinaryPath();
  return bin.substr(0, bin.rfind('/') + 1) + "signals_probe";
}

cli::Result RunProbe(const std::string& mode, int sig, const std::string& after, int delayMs) {
  cli::Options o;
  o.binary = ProbePath();
  o.args = {mode};
  o.signal = sig;
  o.signalAfterOutput = after;
  o.signalDelayMs = delayMs;
  o.timeoutMs = 60000;
  return cli::Run(o);
}

// Splits text after each CR LF; a last piece without one is kept as it is.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t end = text.find("\r\n", from);
    const std::size_t to = end == std::string::npos ? text.size() : end + 2;
    lines.push_back(text.substr(from, to - from));
    from = to;
  }
  return lines;
}

// The last two lines are the signal line and the ticks line; returns what comes before them.
std::string CheckEnding(const cli::Result& r, const std::string& label) {
  const auto lines = Lines(r.out);
  EXPECT_GE(lines.size(), 2u) << label << ": " << r.out;
  if (lines.size() < 2) return "";
  EXPECT_EQ(lines[lines.size() - 2], kSignalLine) << label;
  EXPECT_TRUE(IsTicksLine(lines.back())) << label << ": " << lines.back();
  return r.out.substr(0, r.out.size() - lines.back().size() - lines[lines.size() - 2].size());
}

// What a full tst run writes, line by line, with "#" for the milliseconds.
std::vector<std::string> FullTstReport() {
  std::vector<std::string> lines;
  auto test = [&](const std::string& name, std::vector<std::string> steps) {
    lines.push_back(name + ": begin\r\n");
    for (auto& s : steps) lines.push_back(s + "\r\n");
    lines.push_back(name + ": end #ms\r\n");
  };
  test("Test10", {"  INC( CF, 11 ) = E0"});
  test("Test11", {"  FFFFEFEF + 1111 = 100000100"});
  test("Test20", {"  DEC( FFFE, FF ) = FEFF"});
  test("Test21", {"  100 - 1 = FF"});
  test("Test30", {"  FFFF * FF = FEFF01"});
  test("Test40", {"  FF0001 DIV FF = 10000", "  FF0001 MOD FF = 1"});
  std::vector<std::string> progress{"0"};
  for (const char* d :
       {"1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B", "C", "D", "E", "F"}) {
    progress.push_back(std::string(d) + "0000000");
  }
  test("Test51", progress);
  test("Test52", progress);
  return lines;
}

// ---- zemblaro tst ------------------------------------------------------------------------

// Interrupts tst at the point `after` names and checks the whole output: the report as far as
// it got, whole lines only, then the signal line and the ticks line.
void InterruptTst(const std::string& after, int delayMs, const std::string& label) {
  const auto report = FullTstReport();
  for (const auto& s : kSignals) {
    cli::Options o;
    o.args = {"tst"};
    o.signal = s.number;
    o.signalAfterOutput = after;
    o.signalDelayMs = delayMs;
    o.timeoutMs = 120000;
    const auto r = cli::Run(o);
    const std::string what = label + " " + s.name;
    ASSERT_FALSE(r.timedOut) << what;
    EXPECT_EQ(r.code, 255) << what;
    EXPECT_EQ(r.err, "") << what;
    const auto before = Lines(cli::MaskMillis(CheckEnding(r, what)));
    ASSERT_LE(before.size(), report.size()) << what;
    for (std::size_t i = 0; i < before.size(); ++i) {
      EXPECT_EQ(before[i], report[i]) << what << ", line " << i;
    }
  }
}

TEST(SignalsCli, TstInterruptedAfterAShortDelay) {
  InterruptTst("", 200, "200 ms in");
}

TEST(SignalsCli, TstInterruptedBetweenTwoTests) {
  // The signal leaves as soon as Test40's end line is seen; by then the run is between Test40
  // and Test51 or just inside Test51.
  InterruptTst("Test40: end ", 0, "after Test40");
}

TEST(SignalsCli, TstInterruptedAtAProgressLine) {
  // Test51 writes its first progress line as its loop starts.
  InterruptTst("Test51: begin\r\n0\r\n", 0, "after a progress line");
}

// ---- The probe ---------------------------------------------------------------------------

TEST(SignalsCli, SignalWhileTheChainRunsEndsTheProcessWithNine) {
  for (const auto& s : kSignals) {
    const auto r = RunProbe("hold", s.number, "Probe: chain held\r\n", 50);
    EXPECT_EQ(r.out, "Probe: chain held\r\n" + kSignalLine) << s.name;
    EXPECT_EQ(r.err, "") << s.name;
    EXPECT_EQ(r.code, 9) << s.name;
  }
}

TEST(SignalsCli, PartialLineOfTheMainThreadStaysOffTheSignalLine) {
  for (const auto& s : kSignals) {
    const auto r = RunProbe("partial", s.number, "Probe: ready\r\n", 200);
    EXPECT_EQ(CheckEnding(r, s.name), "Probe: ready\r\n") << s.name;
    EXPECT_EQ(r.err, "") << s.name;
    EXPECT_EQ(r.code, 255) << s.name;
  }
}

TEST(SignalsCli, NothingOfTheMainThreadFollowsTheSignalLine) {
  for (const auto& s : kSignals) {
    const auto r = RunProbe("busy", s.number, "Probe: busy\r\n", 100);
    const auto before = Lines(CheckEnding(r, s.name));
    EXPECT_FALSE(before.empty()) << s.name;
    for (const auto& line : before) ASSERT_EQ(line, "Probe: busy\r\n") << s.name;
    EXPECT_EQ(r.err, "") << s.name;
    EXPECT_EQ(r.code, 255) << s.name;
  }
}

TEST(SignalsCli, MainThreadEndingDuringTheSignalThreadsChainKeepsTheReturnCode) {
  // The main body returns, or gives up with a message, while the signal thread runs the chain:
  // the chain finishes, the fatal message is not written, and the exit code stays 255.
  for (const char* mode : {"return", "fatal"}) {
    for (const auto& s : kSignals) {
      const std::string what = std::string(mode) + " " + s.name;
      const auto r = RunProbe(mode, s.number, "Probe: ready\r\n", 50);
      const auto lines = Lines(r.out);
      ASSERT_EQ(lines.size(), 4u) << what << ": " << r.out;
      EXPECT_EQ(lines[0], "Probe: ready\r\n") << what;
      EXPECT_EQ(lines[1], kSignalLine) << what;
      EXPECT_EQ(lines[2], "Probe: chain done\r\n") << what;
      EXPECT_TRUE(IsTicksLine(lines[3])) << what;
      EXPECT_EQ(r.err, "") << what;
      EXPECT_EQ(r.code, 255) << what;
    }
  }
}

}  // namespace
