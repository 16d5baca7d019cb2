#include <gtest/gtest.h>

#include <regex>

#include "tests/cli/Harness.h"

namespace {

TEST(Cli, NoParametersEndsWithActionNotImplemented) {
  const auto r = cli::Run(std::vector<std::string>{});
  EXPECT_TRUE(std::regex_match(r.out, std::regex("\r\nTicks: [0-9]+\r\n"))) << r.out;
  EXPECT_EQ(r.err, "Zemblaro: Action not implemented\r\n");
  EXPECT_EQ(r.code, 255);
}

}  // namespace
