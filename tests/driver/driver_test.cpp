#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "config/Config.h"
#include "driver/Zemblaro.h"
#include "support/Lib3.h"
#include "support/Platform.h"
#include "support/Runtime.h"
#include "support/Ticks.h"
#include "tests/support/ChildRun.h"

using testing_support::RunInChild;

namespace {

// The driver's body with a record set by the test, as the command line would set it.
testing_support::ChildResult RunDriver(std::uint32_t ba, std::uint32_t br, unsigned act) {
  return RunInChild([=] {
    Platform::tickSource = [] { return 0u; };
    Lib3::Begin();
    Ticks::Begin();
    Config::InitModule();
    Config::data.ba = ba;
    Config::data.br = br;
    Config::data.act = static_cast<Config::TAction>(act);
    Zemblaro::Run();
    HALT(0);
  });
}

TEST(Driver, BaseChecksComeFirstAndInOrder) {
  struct Case {
    std::uint32_t ba;
    std::uint32_t br;
    const char* message;
  };
  const Case cases[] = {
      {1, 10, "Zemblaro: Invalid argument base"},
      {0, 99, "Zemblaro: Invalid argument base"},  // only the first message
      {37, 10, "Zemblaro: Invalid argument base"},
      {4294967295u, 10, "Zemblaro: Invalid argument base"},
      {10, 37, "Zemblaro: Invalid result base"},
      {10, 1, "Zemblaro: Invalid result base"},
      {36, 0, "Zemblaro: Invalid result base"},
  };
  for (const auto& c : cases) {
    const auto r = RunDriver(c.ba, c.br, Config::aNull);
    EXPECT_EQ(r.err, std::string(c.message) + "\r\n") << c.ba << ", " << c.br;
    EXPECT_EQ(r.out, "\r\nTicks: 0\r\n");
    EXPECT_EQ(r.code, 255);
  }
}

TEST(Driver, ValidBasesReachTheDispatch) {
  // 2 and 36 pass both checks; with no action the dispatch gives its own message.
  for (auto [ba, br] : {std::pair{2u, 36u}, std::pair{36u, 2u}, std::pair{10u, 10u}}) {
    const auto r = RunDriver(ba, br, Config::aNull);
    EXPECT_EQ(r.err, "Zemblaro: Action not implemented\r\n") << ba << ", " << br;
    EXPECT_EQ(r.out, "\r\nTicks: 0\r\n");
    EXPECT_EQ(r.code, 255);
  }
}

TEST(Driver, ActionValuesOutsideTheTableAreNotImplemented) {
  for (unsigned act : {0u, 7u, 8u, 200u, 255u}) {
    const auto r = RunDriver(10, 10, act);
    EXPECT_EQ(r.err, "Zemblaro: Action not implemented\r\n") << act;
    EXPECT_EQ(r.code, 255);
  }
}

TEST(Driver, FatalEndsThePendingLineFirst) {
  auto r = RunInChild([] {
    Platform::tickSource = [] { return 0u; };
    Lib3::Begin();
    Ticks::Begin();
    IO_WrStr("partial");
    Zemblaro::Fatal("Some: message");
  });
  EXPECT_EQ(r.out, "partial\r\nTicks: 0\r\n");
  EXPECT_EQ(r.err, "Some: message\r\n");
  EXPECT_EQ(r.code, 255);
}

}  // namespace
