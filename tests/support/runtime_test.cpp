#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "support/Runtime.h"
#include "support/Tmr0.h"
#include "tests/support/ChildRun.h"

using testing_support::RunInChild;

namespace {

std::span<const char> Text(const std::string& s) {
  return {s.data(), s.size()};
}

TEST(Channels, LineFeedBecomesCrLfAndOtherBytesPass) {
  struct Case {
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"a\n", "a\r\n"},
      {"a\r\nb", "a\r\r\nb"},  // a CR already there passes unchanged
      {"\n\n", "\r\n\r\n"},
      {"no end", "no end"},  // a partial line still leaves before the process ends
      {"\r", "\r"},
      {std::string("x\0y", 3), "x"},  // a text ends at its first NUL
  };
  for (const auto& c : cases) {
    auto r = RunInChild([&] {
      IO_WrStr(Text(c.text));
      HALT(0);
    });
    EXPECT_EQ(r.out, c.expected) << "stdout for " << c.text;
    EXPECT_EQ(r.code, 0);
    r = RunInChild([&] { Lib_FatalError(Text(c.text)); });
    EXPECT_EQ(r.err, c.expected + "\r\n") << "stderr for " << c.text;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.code, 9);
  }
}

TEST(Channels, TextThatFillsItsArrayIsWrittenWhole) {
  auto r = RunInChild([] {
    const std::array<char, 3> full{'a', 'b', 'c'};
    IO_WrStr(full);
    IO_WrLn();
    HALT(0);
  });
  EXPECT_EQ(r.out, "abc\r\n");
}

TEST(Channels, LinesOfBothChannelsKeepTheirOrder) {
  auto r = RunInChild([] {
    IO_WrStr("one");
    IO_WrLn();
    Lib_FatalError("two");
  });
  EXPECT_EQ(r.out, "one\r\n");
  EXPECT_EQ(r.err, "two\r\n");
  EXPECT_EQ(r.code, 9);
}

TEST(Channels, LngCardIsPaddedOnTheLeftAndNeverCut) {
  struct Case {
    std::uint32_t x;
    std::uint32_t w;
    const char* expected;
  };
  const Case cases[] = {
      {0, 1, "0"},
      {0, 0, "0"},
      {42, 5, "   42"},
      {12345, 3, "12345"},
      {4294967295u, 1, "4294967295"},
      {7, 2, " 7"},
  };
  for (const auto& c : cases) {
    auto r = RunInChild([&] {
      IO_WrLngCard(c.x, c.w);
      HALT(0);
    });
    EXPECT_EQ(r.out, c.expected) << c.x << " width " << c.w;
  }
}

TEST(Str, StrToCardAcceptsOnlyAPlusAndDigitsBelowTheBase) {
  struct Case {
    const char* text;
    std::uint32_t base;
    bool ok;
    std::uint32_t value;
  };
  const Case cases[] = {
      {"0", 10, true, 0},
      {"16", 10, true, 16},
      {"+16", 10, true, 16},
      {"0016", 10, true, 16},
      {"4294967295", 10, true, 4294967295u},
      {"4294967296", 10, false, 0},
      {"99999999999", 10, false, 0},
      {"", 10, false, 0},
      {"+", 10, false, 0},
      {"-16", 10, false, 0},
      {"-0", 10, false, 0},
      {" 16", 10, false, 0},
      {"16 ", 10, false, 0},
      {"1x", 10, false, 0},
      {"++1", 10, false, 0},
      {"A", 10, false, 0},
      {"FF", 16, true, 255},
      {"ff", 16, false, 0},  // upper case only
      {"FFFFFFFF", 16, true, 4294967295u},
      {"100000000", 16, false, 0},
      {"12", 2, false, 0},
      {"101", 1, true, 5},  // the base is clamped to 2..16
      {"G", 99, false, 0},
  };
  for (const auto& c : cases) {
    bool ok = !c.ok;
    const std::uint32_t v = Str_StrToCard(Text(c.text), c.base, ok);
    EXPECT_EQ(ok, c.ok) << '"' << c.text << "\" base " << c.base;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << '"' << c.text << '"';
    }
  }
}

TEST(Str, CompareCopyLengthDelete) {
  EXPECT_EQ(Str_Compare("h", "h"), 0);
  EXPECT_EQ(Str_Compare("h", "H"), 1);
  EXPECT_EQ(Str_Compare("b", "bx"), -1);
  EXPECT_EQ(Str_Compare("bx", "b"), 1);
  EXPECT_EQ(Str_Compare("", ""), 0);

  std::array<char, 4> small{'?', '?', '?', '?'};
  Str_Copy(small, "ab");
  EXPECT_EQ(std::string(small.data(), 3), std::string("ab\0", 3));
  Str_Copy(small, "abcdef");  // cut, no terminator
  EXPECT_EQ(std::string(small.data(), 4), "abcd");
  EXPECT_EQ(Strings_Length(small), 4u);

  std::array<char, 8> s{};
  Str_Copy(s, "-help");
  Strings_Delete(s, 0, 1);
  EXPECT_STREQ(s.data(), "help");
  Strings_Delete(s, 9, 1);  // beyond the end: nothing
  EXPECT_STREQ(s.data(), "help");
  std::array<char, 3> full{'-', 'a', 'b'};  // fills its array, no terminator
  Strings_Delete(full, 0, 1);
  EXPECT_EQ(std::string(full.data(), 3), std::string("ab\0", 3));
}

TEST(Params, CountAndCopyCutToTheArray) {
  char a0[] = "prog";
  char a1[] = "-v";
  char a2[] = "abcdefgh";
  char* argv[] = {a0, a1, a2, nullptr};
  Lib_SetParams(3, argv);
  EXPECT_EQ(Lib_ParamCount(), 2u);
  std::array<char, 5> s{};
  Lib_ParamStr(s, 0);
  EXPECT_STREQ(s.data(), "prog");
  Lib_ParamStr(s, 2);
  EXPECT_EQ(std::string(s.data(), 5), "abcde");
  Lib_ParamStr(s, 3);
  EXPECT_STREQ(s.data(), "");
  Lib_SetParams(0, nullptr);
}

TEST(Tmr0, DiffIsModuloTwoToThe32) {
  EXPECT_EQ(Tmr0::Diff(5, 5), 0u);
  EXPECT_EQ(Tmr0::Diff(0xFFFFFFF0u, 0x10u), 0x20u);
  EXPECT_EQ(Tmr0::Diff(0xFFFFFFFFu, 0u), 1u);
  EXPECT_EQ(Tmr0::Diff(100, 250), 150u);
}

}  // namespace
