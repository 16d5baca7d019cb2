#include "output/SO.h"

#include <gmp.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace {

constexpr char kPoison = '\x5A';

// A 128-character array with poisoned margins on both sides; the margins must survive.
struct Guarded {
  static constexpr std::size_t kCap = 128;
  static constexpr std::size_t kMargin = 16;
  std::array<char, kMargin + kCap + kMargin> raw;
  Guarded() { raw.fill(kPoison); }
  std::span<char> Array() { return std::span<char>(raw).subspan(kMargin, kCap); }
  bool MarginsIntact() const {
    for (std::size_t i = 0; i < kMargin; ++i) {
      if (raw[i] != kPoison || raw[kMargin + kCap + i] != kPoison) return false;
    }
    return true;
  }
};

std::span<const char> Text(const std::string& s) {
  return {s.data(), s.size()};
}

// The buffer's text as the program's string convention reads it, checked against the invariants.
std::string Contents(const SO::TBuffer& b) {
  EXPECT_LE(b.l, b.m);
  if (b.l < b.m) {
    EXPECT_EQ(b.s[b.l], '\0') << "no terminator after " << b.l << " characters";
  }
  return std::string(b.s, b.l);
}

// ---- Model: the whole text, then cut at the capacity -------------------------------------------

std::string Aligned(const std::string& s, std::int64_t w, const SO::TConfig& c) {
  const auto width = static_cast<std::size_t>(w < 0 ? -w : w);
  if (s.size() > width && c.c) return std::string(width, '?');
  if (s.size() >= width) return s;
  const std::string fill(width - s.size(), w > 0 ? c.p : c.s);
  return w > 0 ? fill + s : s + fill;
}

TEST(SO, InitBindsEmptiesAndSetsDefaults) {
  Guarded g;
  SO::TBuffer b;
  SO::Init(b, g.Array());
  EXPECT_EQ(g.Array()[0], '\0');  // the empty text before anything is written
  EXPECT_EQ(b.m, 128u);
  EXPECT_EQ(b.l, 0u);
  EXPECT_EQ(b.s, g.Array().data());
  EXPECT_EQ(b.c.p, ' ');
  EXPECT_EQ(b.c.s, ' ');
  EXPECT_FALSE(b.c.c);
  EXPECT_EQ(g.Array()[1], kPoison);  // Init touches the first character only
}

TEST(SO, CapacityIsTheWholeArrayAndTheRestIsDropped) {
  Guarded g;
  SO::TBuffer b;
  SO::Init(b, g.Array());
  for (int i = 0; i < 129; ++i) SO::WrChar(b, static_cast<char>('a' + i % 26));
  EXPECT_EQ(b.l, 128u);
  std::string expected;
  for (int i = 0; i < 128; ++i) expected += static_cast<char>('a' + i % 26);
  EXPECT_EQ(Contents(b), expected);
  EXPECT_TRUE(g.MarginsIntact());

  // Every writer drops silently once the array is full.
  SO::WrStr(b, "x");
  SO::WrCharRep(b, 'x', 5);
  SO::WrStrAdj(b, "x", 9);
  SO::WrLngCard(b, 123, -9);
  SO::WrLn(b);
  EXPECT_EQ(Contents(b), expected);
  EXPECT_TRUE(g.MarginsIntact());

  // Clear empties and the array takes text again.
  SO::Clear(b);
  EXPECT_EQ(Contents(b), "");
  SO::WrStr(b, "ok");
  EXPECT_EQ(Contents(b), "ok");
}

TEST(SO, EachWriterIsCutMidwayAtTheCapacity) {
  struct Case {
    const char* name;
    void (*write)(SO::TBuffer&);
    const char* kept;  // what fits after 125 characters
  };
  const Case cases[] = {
      {"WrStr", [](SO::TBuffer& b) { SO::WrStr(b, "abcdef"); }, "abc"},
      {"WrCharRep", [](SO::TBuffer& b) { SO::WrCharRep(b, '*', 10); }, "***"},
      {"WrStrAdj fill", [](SO::TBuffer& b) { SO::WrStrAdj(b, "xy", 6); }, "   "},
      {"WrStrAdj text", [](SO::TBuffer& b) { SO::WrStrAdj(b, "xyzw", -6); }, "xyz"},
      {"WrLngCard", [](SO::TBuffer& b) { SO::WrLngCard(b, 4294967295u, 1); }, "429"},
      {"WrLn",
       [](SO::TBuffer& b) {
         SO::WrStr(b, "ab");
         SO::WrLn(b);
       },
       "ab\r"},
  };
  for (const auto& c : cases) {
    Guarded g;
    SO::TBuffer b;
    SO::Init(b, g.Array());
    SO::WrCharRep(b, '.', 125);
    c.write(b);
    EXPECT_EQ(Contents(b), std::string(125, '.') + c.kept) << c.name;
    EXPECT_TRUE(g.MarginsIntact()) << c.name;
  }
}

TEST(SO, TextThatFillsItsArrayIsAppendedWhole) {
  const std::array<char, 5> full{'h', 'e', 'l', 'l', 'o'};  // no terminator
  std::array<char, 16> s;
  SO::TBuffer b;
  SO::Init(b, s);
  SO::WrStr(b, full);
  SO::WrStrAdj(b, full, -7);
  EXPECT_EQ(Contents(b), "hellohello  ");
}

TEST(SO, AlignmentBothWaysAndOverflowMarking) {
  struct Case {
    const char* text;
    std::int32_t w;
    bool mark;
    const char* expected;
  };
  const Case cases[] = {
      {"ab", 5, false, "   ab"},  {"ab", -5, false, "ab   "}, {"ab", 1, false, "ab"},
      {"ab", 0, false, "ab"},     {"ab", -2, false, "ab"},    {"", 3, false, "   "},
      {"", -3, false, "   "},     {"", 0, false, ""},         {"abc", 2, true, "??"},
      {"abc", -2, true, "??"},    {"abc", 3, true, "abc"},    {"abc", 0, true, ""},
      {"abc", -5, true, "abc  "}, {"abc", 5, true, "  abc"},  {"abc", 1, false, "abc"},
  };
  for (const auto& c : cases) {
    std::array<char, 32> s;
    SO::TBuffer b;
    SO::Init(b, s);
    b.c.c = c.mark;
    SO::WrStr(b, "[");
    SO::WrStrAdj(b, Text(c.text), c.w);
    SO::WrStr(b, "]");
    EXPECT_EQ(Contents(b), std::string("[") + c.expected + "]")
        << '"' << c.text << "\" width " << c.w << " marking " << c.mark;
  }
}

TEST(SO, FillCharactersComeFromTheSettingsAndClearKeepsThem) {
  std::array<char, 32> s;
  SO::TBuffer b;
  SO::Init(b, s);
  b.c.p = '0';
  b.c.s = '.';
  SO::WrLngCard(b, 42, 6);
  SO::WrStrAdj(b, "x", -3);
  EXPECT_EQ(Contents(b), "000042x..");
  b.c.c = true;
  SO::Clear(b);
  SO::WrLngCard(b, 123456, 3);
  SO::WrLngCard(b, 7, 3);
  EXPECT_EQ(Contents(b), "???007");
}

TEST(SO, ExtremeWidthsStayInsideTheArray) {
  for (const bool mark : {false, true}) {
    for (const std::int32_t w : {std::numeric_limits<std::int32_t>::min(), -100000, 100000,
                                 std::numeric_limits<std::int32_t>::max()}) {
      Guarded g;
      SO::TBuffer b;
      SO::Init(b, g.Array());
      b.c.c = mark;
      SO::WrStrAdj(b, "abc", w);
      EXPECT_EQ(b.l, 128u) << w;
      const std::string text = Contents(b);
      if (w > 0) {
        EXPECT_EQ(text, std::string(128, ' ')) << w;
      } else {
        EXPECT_EQ(text, "abc" + std::string(125, ' ')) << w;
      }
      EXPECT_TRUE(g.MarginsIntact()) << w;
    }
  }
}

TEST(SO, EmptyArrayTakesNothing) {
  SO::TBuffer b;
  SO::Init(b, std::span<char>());
  SO::WrChar(b, 'a');
  SO::WrStr(b, "abc");
  SO::WrCharRep(b, 'a', 3);
  SO::WrLn(b);
  SO::Clear(b);
  EXPECT_EQ(b.m, 0u);
  EXPECT_EQ(b.l, 0u);
}

// Random sequences of writes against the model "whole text, then cut at the capacity".
TEST(SO, RandomWritesMatchTheCutWholeText) {
  std::mt19937 rng(20260910);
  const char* const words[] = {"", "a", "xy", "hello", "0123456789abcdefghij"};
  for (int round = 0; round < 2000; ++round) {
    Guarded g;
    SO::TBuffer b;
    SO::Init(b, g.Array());
    b.c.p = (rng() & 1) != 0 ? ' ' : '_';
    b.c.s = (rng() & 1) != 0 ? ' ' : '-';
    b.c.c = (rng() & 1) != 0;
    std::string whole;
    const int steps = static_cast<int>(rng() % 40);
    for (int i = 0; i < steps; ++i) {
      const std::string word = words[rng() % 5];
      const auto w = static_cast<std::int32_t>(rng() % 25) - 12;
      const std::uint32_t x = (rng() & 1) != 0 ? static_cast<std::uint32_t>(rng())
                                               : static_cast<std::uint32_t>(rng() % 100);
      switch (rng() % 7) {
        case 0:
          SO::WrChar(b, word.empty() ? 'z' : word[0]);
          whole += word.empty() ? 'z' : word[0];
          break;
        case 1:
          SO::WrCharRep(b, '#', static_cast<std::uint32_t>(w + 12));
          whole += std::string(static_cast<std::size_t>(w + 12), '#');
          break;
        case 2:
          SO::WrStr(b, Text(word));
          whole += word;
          break;
        case 3:
          SO::WrStrAdj(b, Text(word), w);
          whole += Aligned(word, w, b.c);
          break;
        case 4:
          SO::WrLngCard(b, x, w);
          whole += Aligned(std::to_string(x), w, b.c);
          break;
        case 5:
          SO::WrCard(b, static_cast<std::uint16_t>(x), w);
          whole += Aligned(std::to_string(static_cast<std::uint16_t>(x)), w, b.c);
          break;
        default:
          SO::WrLn(b);
          whole += "\r\n";
          break;
      }
      ASSERT_EQ(Contents(b), whole.substr(0, 128)) << "round " << round << " step " << i;
    }
    ASSERT_TRUE(g.MarginsIntact()) << "round " << round;
  }
}

TEST(SO, NumbersInDecimal) {
  struct Case {
    std::uint32_t x;
    std::int32_t w;
    const char* expected;
  };
  const Case cases[] = {
      {0, 1, "0"},
      {0, 0, "0"},
      {4294967295u, 1, "4294967295"},
      {4294967295u, 12, "  4294967295"},
      {4294967295u, -12, "4294967295  "},
      {1000000000, 0, "1000000000"},
      {9, -3, "9  "},
      {10, 3, " 10"},
  };
  for (const auto& c : cases) {
    std::array<char, 32> s;
    SO::TBuffer b;
    SO::Init(b, s);
    SO::WrLngCard(b, c.x, c.w);
    EXPECT_EQ(Contents(b), c.expected) << c.x << " width " << c.w;
  }
  std::array<char, 32> s;
  SO::TBuffer b;
  SO::Init(b, s);
  SO::WrCard(b, 65535, 0);
  SO::WrChar(b, ' ');
  SO::WrCard(b, 0, 2);
  EXPECT_EQ(Contents(b), "65535  0");
}

TEST(SO, CharGivesDigitsThenCapitals) {
  const std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  for (std::uint32_t d = 0; d < 36; ++d) EXPECT_EQ(SO::Char(d), alphabet[d]) << d;
}

TEST(SO, CardToStrMatchesGmpInEveryBase) {
  std::mt19937 rng(36);
  std::array<std::uint32_t, 6> fixed{0, 1, 255, 65535, 2147483648u, 4294967295u};
  for (std::uint32_t base = 2; base <= 36; ++base) {
    for (int i = 0; i < 300; ++i) {
      const std::uint32_t x = i < 6 ? fixed[static_cast<std::size_t>(i)]
                                    : static_cast<std::uint32_t>(rng()) >> (rng() % 32);
      char want[40];
      mpz_t z;
      mpz_init_set_ui(z, x);
      mpz_get_str(want, -static_cast<int>(base), z);  // upper-case digits
      mpz_clear(z);
      std::array<char, 33> got;
      got.fill(kPoison);
      SO::CardToStr(x, got, base);
      EXPECT_STREQ(got.data(), want) << x << " base " << base;
    }
  }
}

TEST(SO, CardToStrFillsOrTerminatesAndNeverOverruns) {
  std::array<char, 8> exact;
  SO::CardToStr(255, exact, 2);  // eight ones fill the array: no terminator
  EXPECT_EQ(std::string(exact.data(), exact.size()), "11111111");

  std::array<char, 32> ones;
  SO::CardToStr(4294967295u, ones, 2);
  EXPECT_EQ(std::string(ones.data(), ones.size()), std::string(32, '1'));

  std::array<char, 12> raw;
  raw.fill(kPoison);
  SO::CardToStr(4294967295u, std::span<char>(raw).subspan(2, 4), 10);  // too small: cut
  EXPECT_EQ(std::string(raw.data(), raw.size()),
            std::string(2, kPoison) + "4294" + std::string(6, kPoison));

  std::array<char, 4> hex;
  SO::CardToStr(255, hex, 16);
  EXPECT_STREQ(hex.data(), "FF");
}

}  // namespace
