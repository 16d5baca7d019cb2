// The tst action's quick cases: the base checks before any test, and an interrupt during the
// exhaustive loop. The whole report is checked by slow_tst_test.cpp.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/cli/Harness.h"

namespace {

// What the six arithmetic tests write, the milliseconds masked.
const std::string kArithmeticReport =
    "Test10: begin\r\n  INC( CF, 11 ) = E0\r\nTest10: end #ms\r\n"
    "Test11: begin\r\n  FFFFEFEF + 1111 = 100000100\r\nTest11: end #ms\r\n"
    "Test20: begin\r\n  DEC( FFFE, FF ) = FEFF\r\nTest20: end #ms\r\n"
    "Test21: begin\r\n  100 - 1 = FF\r\nTest21: end #ms\r\n"
    "Test30: begin\r\n  FFFF * FF = FEFF01\r\nTest30: end #ms\r\n"
    "Test40: begin\r\n  FF0001 DIV FF = 10000\r\n  FF0001 MOD FF = 1\r\nTest40: end #ms\r\n";

// Whether text is progress lines (eight hexadecimal digits each) followed by the signal line and
// the ticks line.
bool EndsWithInterrupt(const std::string& text) {
  const std::string tail = "ConSigs: Signal received, terminating.\r\nTicks: #\r\n";
  if (text.size() < tail.size() || text.substr(text.size() - tail.size()) != tail) return false;
  const std::string lines = text.substr(0, text.size() - tail.size());
  if (lines.size() % 10 != 0) return false;
  for (std::size_t i = 0; i < lines.size(); i += 10) {
    if (lines.compare(i + 8, 2, "\r\n") != 0) return false;
    for (std::size_t j = i; j < i + 8; ++j) {
      if (std::string("0123456789ABCDEF").find(lines[j]) == std::string::npos) return false;
    }
  }
  return true;
}

TEST(Tst, BaseChecksComeBeforeAnyTest) {
  const struct {
    std::vector<std::string> args;
    const char* err;
  } cases[] = {
      {{"-b", "1", "tst"}, "Zemblaro: Invalid argument base\r\n"},
      {{"-r", "37", "tst"}, "Zemblaro: Invalid result base\r\n"},
  };
  for (const auto& c : cases) {
    const auto r = cli::Run(c.args);
    EXPECT_EQ(cli::MaskMillis(r.out), "\r\nTicks: #\r\n") << c.args[1];
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.code, 255);
  }
}

// An interrupt while the worker threads convert ends the run at once, through the signal line
// and the ticks line, whether the loop runs on several threads or on the main thread alone.
TEST(Tst, InterruptDuringTheExhaustiveLoopEndsTheRunPromptly) {
  for (const std::vector<int>& cpus : {std::vector<int>{}, std::vector<int>{0}}) {
    cli::Options o;
    o.args = {"tst"};
    o.cpus = cpus;
    o.signal = SIGINT;
    o.signalAfterOutput = "Test51: begin\r\n0\r\n";
    o.signalDelayMs = 300;
    o.timeoutMs = 120000;
    const auto r = cli::Run(o);
    const std::string out = cli::MaskMillis(r.out);
    const std::string prefix = kArithmeticReport + "Test51: begin\r\n0\r\n";
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(out.substr(0, prefix.size()), prefix) << out;
    // Test51 has sixteen blocks; the run ends long before its end line.
    EXPECT_TRUE(EndsWithInterrupt(out.substr(std::min(prefix.size(), out.size())))) << out;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.code, 255);
  }
}

}  // namespace
