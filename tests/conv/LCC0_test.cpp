// LCC0: hexadecimal by nibbles. Documented cases, the reference on random capacities and
// texts, GMP on values, invalid characters at every position, the 32-bit round trip.
#include "conv/LCC0.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/conv/ConvTestUtil.h"
#include "tests/conv/RefLCC.h"

namespace {

using convtest::Guarded;
using convtest::Mpz;
using Bytes = std::vector<std::uint8_t>;

std::vector<char> Text(const std::string& t, std::size_t cap) {
  std::vector<char> s(cap, '\0');
  std::memcpy(s.data(), t.data(), t.size() < cap ? t.size() : cap);
  return s;
}

TEST(LCC0, MkCardDocumentedCases) {
  struct Case {
    const char* text;
    std::size_t n;
    bool ok;
    Bytes x;
  };
  const Case cases[] = {
      {"ff", 1, true, {0xFF}},
      {"FF", 1, true, {0xFF}},
      {"1FF", 1, true, {0xFF}},  // only the last two characters are read
      {"100", 1, true, {0x00}},
      {"G1", 1, false, {0x01}},  // the bad character counts as nibble 0
      {"1G", 1, false, {0x10}},
      {"0", 4, true, {0, 0, 0, 0}},
      {" 1", 1, false, {0x01}},
      {"1234", 4, true, {0x34, 0x12, 0, 0}},
      {"aBcDeF", 3, true, {0xEF, 0xCD, 0xAB}},
      {"x1234", 2, true, {0x34, 0x12}},  // the x is never read
      {"12345", 2, true, {0x45, 0x23}},  // value modulo 256^2
      {"-5", 2, false, {0x05, 0x00}},
      {"1:2", 2, false, {0x02, 0x01}},
      {"abcdef0123456789", 8, true, {0x89, 0x67, 0x45, 0x23, 0x01, 0xEF, 0xCD, 0xAB}},
      {"1z", 9, false, {0x10, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    Guarded<std::uint8_t> x(c.n);
    const auto s = Text(c.text, 64);
    EXPECT_EQ(LCC0::MkCard(x.span(), s), c.ok) << c.text;
    EXPECT_EQ(x.contents(), c.x) << c.text;
    EXPECT_TRUE(x.GuardsIntact()) << c.text;
  }
}

TEST(LCC0, MkCardEmptyTextLeavesXUnchanged) {
  for (std::size_t n : {1u, 4u, 9u}) {
    Guarded<std::uint8_t> x(n, 0x77);
    const std::vector<char> s = {'\0', '1', '2'};  // characters after the terminator are no text
    EXPECT_FALSE(LCC0::MkCard(x.span(), s));
    EXPECT_EQ(x.contents(), Bytes(n, 0x77));
    EXPECT_TRUE(x.GuardsIntact());
  }
  Guarded<std::uint8_t> x(4, 0x77);
  EXPECT_FALSE(LCC0::MkCard(x.span(), std::span<const char>()));
  EXPECT_EQ(x.contents(), Bytes(4, 0x77));
}

TEST(LCC0, MkStrDocumentedCases) {
  struct Case {
    Bytes x;
    std::size_t cap;
    bool ok;
    std::string out;  // the whole array afterwards; '.' stands for an untouched byte
  };
  const Case cases[] = {
      {{0, 0, 0, 0}, 4, true, std::string("0\0..", 4)},
      {{0}, 1, true, "0"},
      {{0x11, 0x00}, 4, true, std::string("11\0.", 4)},
      {{0, 0, 0, 0x10}, 9, true, std::string("10000000\0", 9)},
      {{0xFF, 0xFF, 0xFF, 0xFF}, 8, true, "FFFFFFFF"},  // full, no terminator
      {{0xFF, 0xFF, 0xFF, 0xFF}, 7, false, "FFFFFFF"},
      {{0x21, 0x43, 0x65, 0x07}, 3, false, "765"},  // the most significant digits that fit
      {{0xAB}, 2, true, "AB"},
      {{0x0A}, 2, true, std::string("A\0", 2)},
      {{0x01, 0, 0, 0, 0, 0x10}, 12, true, std::string("100000000001", 12)},
      {{0x01, 0, 0, 0, 0, 0x10}, 5, false, "10000"},
      {{0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01},
       16,
       true,
       std::string("123456789ABCDEF\0", 16)},
  };
  for (const Case& c : cases) {
    Guarded<char> s(c.cap, '.');
    EXPECT_EQ(LCC0::MkStr(s.span(), c.x), c.ok) << c.out;
    const std::vector<char> got = s.contents();
    EXPECT_EQ(std::string(got.begin(), got.end()), c.out);
    EXPECT_TRUE(s.GuardsIntact());
  }
  Guarded<char> s(0);
  const Bytes zero(4, 0);
  EXPECT_FALSE(LCC0::MkStr(s.span(), zero));
  EXPECT_TRUE(s.GuardsIntact());
}

// The reference itself agrees with GMP on values: a text that fits is GMP's upper-case hex.
TEST(LCC0, ReferenceMatchesGmp) {
  std::mt19937_64 rng(0x1CC0);
  for (int iter = 0; iter < 3000; ++iter) {
    const std::size_t n = 1 + rng() % 40;
    const Bytes x = convtest::RandomCard(rng, n);
    Mpz z;
    convtest::ToMpz(z.get(), x);
    std::vector<char> s(2 * n + 1, '.');
    ASSERT_TRUE(ref::MkStr0(s, x));
    EXPECT_EQ(std::string(s.data()), convtest::GmpStr(z.get(), 16));
    Bytes y(n, 0x5A);
    ASSERT_TRUE(ref::MkCard0(y, s));
    EXPECT_EQ(y, x);
  }
}

// Random capacities of x and s, random values and texts: flag and every byte as the
// reference gives them.
TEST(LCC0, AgreesWithReference) {
  std::mt19937_64 rng(0x1CC01);
  const std::string alphabet = "0123456789abcdefABCDEF";
  const std::string junk = " +-gGzZ:@`/\x7f\x80\xb1\xc1\xe6\xff\t";
  for (int iter = 0; iter < 20000; ++iter) {
    const std::size_t n = 1 + rng() % 40;
    const std::size_t cap = 1 + rng() % 40;

    const Bytes x = convtest::RandomCard(rng, n);
    Guarded<char> s(cap, '.');
    std::vector<char> sr(cap, '.');
    const bool ok = LCC0::MkStr(s.span(), x);
    ASSERT_EQ(ok, ref::MkStr0(sr, x));
    ASSERT_EQ(s.contents(), sr);
    ASSERT_TRUE(s.GuardsIntact());

    std::string t;
    const std::size_t len = rng() % 90;
    for (std::size_t i = 0; i < len; ++i) t += alphabet[rng() % alphabet.size()];
    if (len > 0 && rng() % 3 == 0) t[rng() % len] = junk[rng() % junk.size()];
    const auto text = Text(t, 1 + rng() % 100);
    Guarded<std::uint8_t> y(n, 0x3C);
    Bytes yr(n, 0x3C);
    ASSERT_EQ(LCC0::MkCard(y.span(), text), ref::MkCard0(yr, text)) << t;
    ASSERT_EQ(y.contents(), yr) << t;
    ASSERT_TRUE(y.GuardsIntact());
  }
}

// A bad character at each position of a text longer than x: only the last 2n characters are
// read, and a bad one counts as the digit 0. The expected value comes from GMP on the text
// with that character replaced by 0.
TEST(LCC0, InvalidCharacterAtEachPosition) {
  std::mt19937_64 rng(0x1CC02);
  const std::string digits = "0123456789abcdefABCDEF";
  for (const std::size_t n : {1u, 2u, 3u, 4u, 5u, 8u, 9u, 17u}) {
    for (const std::size_t len : {std::size_t{1}, 2 * n - 1, 2 * n, 2 * n + 3}) {
      std::string t;
      for (std::size_t i = 0; i < len; ++i) t += digits[rng() % digits.size()];
      for (std::size_t p = 0; p < len; ++p) {
        std::string bad = t;
        bad[p] = 'g';
        std::string zeroed = t;
        zeroed[p] = '0';
        Mpz z;
        ASSERT_EQ(mpz_set_str(z.get(), zeroed.c_str(), 16), 0);
        Guarded<std::uint8_t> x(n, 0x11);
        const auto s = Text(bad, len + 1);
        EXPECT_EQ(LCC0::MkCard(x.span(), s), p + 2 * n < len) << bad << " n=" << n;
        EXPECT_EQ(x.contents(), convtest::FromMpz(z.get(), n)) << bad << " n=" << n;
        EXPECT_TRUE(x.GuardsIntact());
      }
    }
  }
}

// Texts longer than the number's nibbles give the value of their last 2n digits.
TEST(LCC0, LongTextsGiveTheValueModuloCapacity) {
  std::mt19937_64 rng(0x1CC03);
  for (int iter = 0; iter < 2000; ++iter) {
    const std::size_t n = 1 + rng() % 12;
    std::string t;
    const std::size_t len = 2 * n + 1 + rng() % 40;
    for (std::size_t i = 0; i < len; ++i) t += "0123456789ABCDEFabcdef"[rng() % 22];
    Mpz z;
    ASSERT_EQ(mpz_set_str(z.get(), t.c_str(), 16), 0);
    Guarded<std::uint8_t> x(n);
    const auto s = Text(t, len);  // fills the array: no terminator
    EXPECT_TRUE(LCC0::MkCard(x.span(), s));
    EXPECT_EQ(x.contents(), convtest::FromMpz(z.get(), n)) << t;
  }
}

// The self-test's property on random samples and every boundary of the digit count: the
// text is GMP's, and it reads back to the same value.
TEST(LCC0, RoundTrip32BitSamples) {
  const std::vector<std::uint32_t> values = convtest::Samples32(0x1CC04);
  std::array<char, 128> s{};
  Mpz z;
  for (const std::uint32_t v : values) {
    std::uint32_t x = v;
    std::uint32_t y = ~v;
    ASSERT_TRUE(LCC0::MkStr(s, std::span(reinterpret_cast<const std::uint8_t*>(&x), 4)));
    mpz_set_ui(z.get(), v);
    ASSERT_EQ(std::string(s.data()), convtest::GmpStr(z.get(), 16));
    ASSERT_TRUE(LCC0::MkCard(std::span(reinterpret_cast<std::uint8_t*>(&y), 4), s));
    ASSERT_EQ(y, v);
  }
}

}  // namespace
