// The whole tst report, both exhaustive loops included, compared exactly (milliseconds masked),
// with every processor and with one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/Harness.h"

namespace {

// The full report of a passing run: the operands and results in hexadecimal, and the sixteen
// progress lines 0, 10000000, ..., F0000000 of each loop.
std::string ExpectedReport() {
  std::string progress;
  const char* digits = "0123456789ABCDEF";
  progress += "0\r\n";
  for (int i = 1; i < 16; ++i) progress += std::string(1, digits[i]) + "0000000\r\n";
  return "Test10: begin\r\n  INC( CF, 11 ) = E0\r\nTest10: end #ms\r\n"
         "Test11: begin\r\n  FFFFEFEF + 1111 = 100000100\r\nTest11: end #ms\r\n"
         "Test20: begin\r\n  DEC( FFFE, FF ) = FEFF\r\nTest20: end #ms\r\n"
         "Test21: begin\r\n  100 - 1 = FF\r\nTest21: end #ms\r\n"
         "Test30: begin\r\n  FFFF * FF = FEFF01\r\nTest30: end #ms\r\n"
         "Test40: begin\r\n  FF0001 DIV FF = 10000\r\n  FF0001 MOD FF = 1\r\nTest40: end #ms\r\n"
         "Test51: begin\r\n" +
         progress + "Test51: end #ms\r\n" + "Test52: begin\r\n" + progress + "Test52: end #ms\r\n" +
         "Ticks: #\r\n";
}

TEST(SlowTst, FullReportWithEveryProcessorAndWithOne) {
  for (const std::vector<int>& cpus : {std::vector<int>{}, std::vector<int>{0}}) {
    cli::Options o;
    o.args = {"tst"};
    o.cpus = cpus;
    o.timeoutMs = 900000;
    const auto r = cli::Run(o);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(cli::MaskMillis(r.out), ExpectedReport()) << cpus.size() << " cpus given";
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.code, 255);
  }
}

}  // namespace
