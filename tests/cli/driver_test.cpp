#include <gtest/gtest.h>

#include "tests/cli/Harness.h"

namespace {

TEST(Cli, NoParametersEndsWithActionNotImplemented) {
  const auto r = cli::Run(std::vector<std::string>{});
  EXPECT_EQ(cli::MaskMillis(r.out), "\r\nTicks: #\r\n");
  EXPECT_EQ(r.err, "Zemblaro: Action not implemented\r\n");
  EXPECT_EQ(r.code, 255);
}

}  // namespace
