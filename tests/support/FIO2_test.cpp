#include "support/FIO2.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "support/Lib3.h"
#include "support/Platform.h"
#include "support/Runtime.h"
#include "tests/support/ChildRun.h"

using testing_support::RunInChild;

namespace {

// The fake current directory, served by FakeDir with the adapter's contract.
std::string fakePath;

std::uint32_t FakeDir(std::uint32_t n, char* buf) {
  const auto len = static_cast<std::uint32_t>(fakePath.size());
  if (len + 1 > n) return len + 1;
  std::memcpy(buf, fakePath.c_str(), len + 1);
  return len;
}

class FIO2Test : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = Platform::dirSource;
    FIO2::InitModule();
  }
  void TearDown() override {
    Platform::dirSource = saved_;
    FIO2::InitModule();
  }

 private:
  std::uint32_t (*saved_)(std::uint32_t, char*) = nullptr;
};

TEST_F(FIO2Test, InitModuleClearsTheTableTheHookAndTheFlag) {
  for (auto& e : FIO2::detail::arr) {
    e.i = 0xBEEF;
    e.h = reinterpret_cast<FIO2::THandle*>(&e);
  }
  FIO2::SetHook([](std::span<const char>) {});
  FIO2::detail::lck = true;
  FIO2::InitModule();
  for (const auto& e : FIO2::detail::arr) {
    EXPECT_EQ(e.i, 0);
    EXPECT_EQ(e.h, nullptr);
  }
  EXPECT_EQ(FIO2::detail::hnd, nullptr);
  EXPECT_FALSE(FIO2::detail::lck);
}

TEST_F(FIO2Test, PathUpToOneLessThanTheArrayIsStoredTerminated) {
  for (const std::size_t len : {1u, 100u, 127u}) {
    fakePath = std::string(len, 'd');
    Platform::dirSource = FakeDir;
    std::array<char, 129> t;
    t.fill('#');
    FIO2::GetDirX(std::span<char>(t).first(128));
    EXPECT_EQ(std::string(t.data()), fakePath) << len;
    EXPECT_EQ(t[128], '#') << len;
  }
}

TEST_F(FIO2Test, PathThatFillsTheArrayEndsTheRunWithTheSizeNeeded) {
  fakePath = "/" + std::string(127, 'd');  // 128 characters, 129 with the terminator
  Platform::dirSource = FakeDir;
  const auto r = RunInChild([] {
    std::array<char, 128> t;
    FIO2::GetDirX(t);
    IO_WrStr("returned");
  });
  EXPECT_EQ(r.out, "FIO2.Fatal: GetDirX: Provided buffer too small, required size 129\r\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.code, 9);  // no return code of its own: the halt's when Lib3 is not up
}

TEST_F(FIO2Test, FailedLookupNamesTheErrorCode) {
  // A working directory that has been removed: getcwd fails with ENOENT.
  const auto r = RunInChild([] {
    char dir[] = "/tmp/fio2-testXXXXXX";
    if (mkdtemp(dir) == nullptr || chdir(dir) != 0 || rmdir(dir) != 0) _exit(99);
    std::array<char, 128> t;
    FIO2::GetDirX(t);
    IO_WrStr("returned");
  });
  EXPECT_EQ(r.out, "FIO2.Fatal: GetDirX: GetCurrentDirectory failed, error " +
                       std::to_string(ENOENT) + "\r\n");
  EXPECT_EQ(r.code, 9);
}

TEST_F(FIO2Test, FatalEndsWithLib3sReturnCode) {
  const auto r = RunInChild([] {
    Lib3::Begin();
    FIO2::Fatal("gone");
  });
  EXPECT_EQ(r.out, "FIO2.Fatal: gone\r\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.code, 255);
}

TEST_F(FIO2Test, HookGetsTheMessageAndANestedFatalOnlyPrints) {
  const auto r = RunInChild([] {
    FIO2::SetHook([](std::span<const char> s) {
      IO_WrStr("hook: ");
      IO_WrStr(s);
      IO_WrLn();
      FIO2::Fatal("again");  // returns: the run is already ending
      IO_WrStr("hook done");
      IO_WrLn();
    });
    FIO2::Fatal("first");
    IO_WrStr("Fatal returned");  // never: the first call halts after the hook
  });
  EXPECT_EQ(r.out, "FIO2.Fatal: first\r\nhook: first\r\nFIO2.Fatal: again\r\nhook done\r\n");
  EXPECT_EQ(r.code, 9);
}

TEST_F(FIO2Test, LookupFailureInsideAnEndingRunReturnsWithAnEmptyText) {
  fakePath = "/" + std::string(200, 'd');
  Platform::dirSource = FakeDir;
  const auto r = RunInChild([] {
    FIO2::detail::lck = true;  // a Fatal is already under way
    std::array<char, 128> t;
    t.fill('#');
    FIO2::GetDirX(t);
    if (t[0] == '\0') IO_WrStr("empty");
    IO_WrLn();
    HALT(3);
  });
  EXPECT_EQ(r.out,
            "FIO2.Fatal: GetDirX: Provided buffer too small, required size 202\r\nempty\r\n");
  EXPECT_EQ(r.code, 3);
}

}  // namespace
