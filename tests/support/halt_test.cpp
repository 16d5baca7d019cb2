#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/Lib3.h"
#include "support/Platform.h"
#include "support/Runtime.h"
#include "support/Ticks.h"
#include "tests/support/ChildRun.h"

using testing_support::RunInChild;

namespace {

void Say(const char* s) {
  IO_WrStr(std::span<const char>(s, std::char_traits<char>::length(s)));
}

TEST(Halt, FinalisersRunNewestFirstAndOnce) {
  auto r = RunInChild([] {
    Lib_AddFinaliser([] { Say("1"); });
    Lib_AddFinaliser([] { Say("2"); });
    Lib_AddFinaliser([] { Say("3"); });
    HALT(4);
  });
  EXPECT_EQ(r.out, "321");
  EXPECT_EQ(r.code, 4);
}

TEST(Halt, SecondHaltWhileTheChainRunsEndsAtOnceWithItsOwnCode) {
  auto r = RunInChild([] {
    Lib_AddFinaliser([] { Say("old"); });  // must not run: the process ends inside the newer one
    Lib_AddFinaliser([] {
      Say("new");
      HALT(7);
    });
    HALT(9);
  });
  EXPECT_EQ(r.out, "new");
  EXPECT_EQ(r.code, 7);
}

TEST(Lib3, ExitCodeIsRcAtTheEndOfTheChain) {
  struct Case {
    int setRc;  // -1: leave it
    int haltCode;
    int expected;
  };
  const Case cases[] = {{-1, 9, 255}, {-1, 0, 255}, {0, 9, 0}, {3, 9, 3}};
  for (const auto& c : cases) {
    auto r = RunInChild([&] {
      Lib3::Begin();
      if (c.setRc >= 0) Lib3::SetReturnCode(static_cast<std::uint8_t>(c.setRc));
      HALT(c.haltCode);
    });
    EXPECT_EQ(r.code, c.expected) << "rc " << c.setRc << " halt " << c.haltCode;
  }
}

Lib3::TProc displaced = nullptr;

TEST(Lib3, NewestExitProcedureRunsFirstAndPassesOn) {
  auto r = RunInChild([] {
    Lib3::Begin();
    Lib3::Terminate(
        [] {
          Say("A");
          displaced();
        },
        displaced);
    Lib3::SetReturnCode(42);
    HALT(9);
  });
  EXPECT_EQ(r.out, "A");
  EXPECT_EQ(r.code, 42);
}

TEST(Lib3, FatalErrorWritesToStandardErrorAndKeepsRc) {
  auto r = RunInChild([] {
    Lib3::Begin();
    Lib3::FatalError("Error: x");
  });
  EXPECT_EQ(r.err, "Error: x\r\n");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.code, 255);
}

std::uint32_t fakeTicks[2];
int fakeTickReads = 0;

TEST(Ticks, LineIsLastAndSurvivesAWrappingCounter) {
  auto r = RunInChild([] {
    fakeTicks[0] = 0xFFFFFFF0u;
    fakeTicks[1] = 0x10u;
    Platform::tickSource = [] { return fakeTicks[fakeTickReads++ < 1 ? 0 : 1]; };
    Lib3::Begin();
    Ticks::Begin();
    Say("result");
    IO_WrLn();
    HALT(9);
  });
  EXPECT_EQ(r.out, "result\r\nTicks: 32\r\n");
  EXPECT_EQ(r.code, 255);
}

TEST(Ticks, PartialLineIsEndedBeforeTheTicksLineOnlyByWhatWasWritten) {
  // The ticks line follows whatever is pending on the line; the program's Fatal ends the line
  // itself before halting.
  auto r = RunInChild([] {
    Platform::tickSource = [] { return 1000u; };
    Lib3::Begin();
    Ticks::Begin();
    IO_WrLn();
    Lib_FatalError("Zemblaro: Action not implemented");
  });
  EXPECT_EQ(r.out, "\r\nTicks: 0\r\n");
  EXPECT_EQ(r.err, "Zemblaro: Action not implemented\r\n");
  EXPECT_EQ(r.code, 255);
}

}  // namespace
