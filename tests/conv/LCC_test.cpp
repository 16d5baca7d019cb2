// LCC: digit strings in bases 2 to 36. Documented and hand-worked cases, the plain reference
// (itself checked against GMP) on random capacities, texts and values in every base, failures
// included, and the round trip.
#include "conv/LCC.h"

#include <gmp.h>
#include <gtest/gtest.h>

#include <array>
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

std::string Contents(const Guarded<char>& s) {
  const std::vector<char> v = s.contents();
  return std::string(v.begin(), v.end());
}

std::vector<char> Text(const std::string& t, std::size_t cap) {
  std::vector<char> s(cap, '\0');
  std::memcpy(s.data(), t.data(), t.size() < cap ? t.size() : cap);
  return s;
}

// 256^n + delta in base b, as GMP writes it (a value near the capacity of n bytes).
std::string NearCapacity(std::size_t n, long delta, int b) {
  Mpz z;
  mpz_ui_pow_ui(z.get(), 256, n);
  if (delta >= 0) {
    mpz_add_ui(z.get(), z.get(), static_cast<unsigned long>(delta));
  } else {
    mpz_sub_ui(z.get(), z.get(), static_cast<unsigned long>(-delta));
  }
  return convtest::GmpStr(z.get(), b);
}

TEST(LCC, MkCardDocumentedCases) {
  struct Case {
    std::string text;
    std::uint8_t b;
    std::size_t n;
    bool ok;
    Bytes x;
  };
  const Case cases[] = {
      {"0", 10, 4, true, {0, 0, 0, 0}},
      {"ff", 16, 1, true, {0xFF}},
      {"FF", 16, 1, true, {0xFF}},
      {"fF", 16, 1, true, {0xFF}},
      {"z", 36, 1, true, {35}},
      {"Z", 36, 1, true, {35}},
      {"zz", 36, 2, true, {0x0F, 0x05}},  // 35 * 36 + 35 = 1295
      {"z", 35, 1, false, {0}},           // no digit at position 0: x cleared
      {"12a", 10, 2, false, {12, 0}},
      {" 12", 10, 2, false, {0, 0}},
      {"1 2", 10, 2, false, {1, 0}},
      {"12 ", 10, 2, false, {12, 0}},
      {"+1", 10, 1, false, {0}},
      {"-1", 10, 1, false, {0}},
      {"1\xe9", 36, 1, false, {1}},  // codes above 127 are no digits
      {"255", 10, 1, true, {255}},
      {"256", 10, 1, false, {0}},      // 250 + 6 carries out
      {"257", 10, 1, false, {1}},      // 250 + 7 mod 256
      {"1000", 10, 1, false, {232}},   // 100 * 10 = 1000 loses its top: 1000 mod 256
      {"999", 10, 1, false, {222}},    // 99 * 10 = 990, 990 mod 256
      {"9999z", 10, 1, false, {222}},  // the overflow comes before the bad character
      {"00000000000000000000000000000000000001", 2, 1, true, {1}},
      {"11111111", 2, 1, true, {255}},
      {"100000000", 2, 1, false, {0}},  // 128 * 2 = 256
      {"FFFFFFFF", 16, 4, true, {0xFF, 0xFF, 0xFF, 0xFF}},
      {"100000000", 16, 4, false, {0, 0, 0, 0}},
      {"000000000FFFFFFFF", 16, 4, true, {0xFF, 0xFF, 0xFF, 0xFF}},
      {"18446744073709551615", 10, 8, true, {255, 255, 255, 255, 255, 255, 255, 255}},
      {"18446744073709551616", 10, 8, false, {0, 0, 0, 0, 0, 0, 0, 0}},
      {"18446744073709551620", 10, 8, false, {4, 0, 0, 0, 0, 0, 0, 0}},  // 2^64 + 4
      {"18446744073709551616", 10, 9, true, {0, 0, 0, 0, 0, 0, 0, 0, 1}},
      {"340282366920938463463374607431768211455", 10, 16, true, Bytes(16, 0xFF)},
      {"340282366920938463463374607431768211456", 10, 16, false, Bytes(16, 0)},
      {"340282366920938463463374607431768211457",
       10,
       16,
       false,
       {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    Guarded<std::uint8_t> x(c.n, 0x77);
    const auto s = Text(c.text, 400);
    EXPECT_EQ(LCC::MkCard(x.span(), s, c.b), c.ok) << c.text << " base " << int{c.b};
    EXPECT_EQ(x.contents(), c.x) << c.text << " base " << int{c.b};
    EXPECT_TRUE(x.GuardsIntact());
  }
}

TEST(LCC, MkCardReadsUpToTerminatorOrEndOfArray) {
  Guarded<std::uint8_t> x(2, 0x77);
  const std::vector<char> a = {'1', '2', '\0', 'x', '9'};  // the x is never looked at
  EXPECT_TRUE(LCC::MkCard(x.span(), a, 10));
  EXPECT_EQ(x.contents(), (Bytes{12, 0}));
  const std::vector<char> full = {'1', '2', '3'};  // fills its array: no terminator
  EXPECT_TRUE(LCC::MkCard(x.span(), full, 10));
  EXPECT_EQ(x.contents(), (Bytes{123, 0}));
  for (const std::size_t n : {1u, 4u, 8u, 9u, 128u, 1100u}) {
    Guarded<std::uint8_t> y(n, 0x77);
    const std::vector<char> empty = {'\0', '5'};
    EXPECT_FALSE(LCC::MkCard(y.span(), empty, 10));
    EXPECT_EQ(y.contents(), Bytes(n, 0x77));
    EXPECT_FALSE(LCC::MkCard(y.span(), std::span<const char>(), 10));
    EXPECT_EQ(y.contents(), Bytes(n, 0x77));
  }
}

TEST(LCC, MkStrDocumentedCases) {
  struct Case {
    Bytes x;
    std::uint8_t b;
    std::size_t cap;
    bool ok;
    std::string out;  // the whole array afterwards; '.' is an untouched byte
  };
  const Case cases[] = {
      {{0, 0, 0, 0}, 10, 4, true, std::string("0\0..", 4)},
      {{0}, 7, 1, true, "0"},
      {{255}, 16, 4, true, std::string("FF\0.", 4)},
      {{35}, 36, 2, true, std::string("Z\0", 2)},
      {{0x0F, 0x05}, 36, 3, true, std::string("ZZ\0", 3)},
      {{255}, 2, 9, true, std::string("11111111\0", 9)},
      {{254}, 10, 2, false, "45"},  // the lowest digits, least significant first
      {{254}, 10, 3, true, "254"},
      {{254}, 10, 4, true, std::string("254\0", 4)},
      {{0x34, 0x12}, 16, 3, false, "432"},
      {{0x34, 0x12}, 16, 4, true, "1234"},
      {{0xFF, 0xFF, 0xFF, 0xFF}, 10, 11, true, std::string("4294967295\0", 11)},
      {{0, 0, 0, 0, 0, 0, 0, 0, 1}, 10, 21, true, std::string("18446744073709551616\0", 21)},
      {{0, 0, 0, 0, 0, 0, 0, 0, 1}, 10, 5, false, "61615"},
      {{0, 0, 0, 0, 0, 0, 0, 0, 1},
       3,
       42,
       true,
       std::string("11112220022122120101211020120210210211221\0", 42)},
      {{0, 0, 0, 0, 0, 0, 0, 0, 1}, 8, 23, true, std::string("2000000000000000000000\0", 23)},
      {{0, 0, 0, 0, 0, 0, 0, 0, 1}, 32, 14, true, std::string("G000000000000\0", 14)},
  };
  for (const Case& c : cases) {
    Guarded<char> s(c.cap, '.');
    EXPECT_EQ(LCC::MkStr(s.span(), c.x, c.b), c.ok) << c.out;
    EXPECT_EQ(Contents(s), c.out);
    EXPECT_TRUE(s.GuardsIntact());
  }
}

TEST(LCC, MkStrPowersOfTheBase) {
  // 10^40: the digit 1 and forty zeros, which cross chunk boundaries.
  Mpz z;
  mpz_ui_pow_ui(z.get(), 10, 40);
  const Bytes x = convtest::FromMpz(z.get(), 17);
  Guarded<char> s40(40, '.');
  EXPECT_FALSE(LCC::MkStr(s40.span(), x, 10));
  EXPECT_EQ(Contents(s40), std::string(40, '0'));
  Guarded<char> s41(41, '.');
  EXPECT_TRUE(LCC::MkStr(s41.span(), x, 10));
  EXPECT_EQ(Contents(s41), "1" + std::string(40, '0'));

  // 2^256 needs 257 binary digits; 2^256 - 1 fills 256 characters exactly.
  Bytes big(128, 0);
  big[32] = 1;
  Guarded<char> s(256, '.');
  EXPECT_FALSE(LCC::MkStr(s.span(), big, 2));
  EXPECT_EQ(Contents(s), std::string(256, '0'));
  Bytes max(128, 0);
  for (std::size_t i = 0; i < 32; ++i) max[i] = 0xFF;
  Guarded<char> t(256, '.');
  EXPECT_TRUE(LCC::MkStr(t.span(), max, 2));
  EXPECT_EQ(Contents(t), std::string(256, '1'));
  EXPECT_TRUE(t.GuardsIntact());
}

TEST(LCC, BadBasesAreRefusedWithDestinationUnchanged) {
  const Bytes x = {0x39, 0x30, 0, 0};
  const std::vector<char> text = {'1', '0', '\0'};
  for (const int base : {0, 1, 37, 38, 255}) {
    const auto b = static_cast<std::uint8_t>(base);
    Guarded<char> s(16, '.');
    EXPECT_FALSE(LCC::MkStr(s.span(), x, b));
    EXPECT_EQ(Contents(s), std::string(16, '.'));
    for (const std::size_t n : {1u, 4u, 16u, 1100u}) {
      Guarded<std::uint8_t> y(n, 0x77);
      EXPECT_FALSE(LCC::MkCard(y.span(), text, b));
      EXPECT_EQ(y.contents(), Bytes(n, 0x77));
    }
  }
}

// A random digit of base b in random letter case.
char RandomDigitChar(std::mt19937_64& rng, unsigned b) {
  const auto d = static_cast<unsigned>(rng() % b);
  const char c = ref::Char(d);
  return d >= 10 && rng() % 2 == 0 ? static_cast<char>(c - 'A' + 'a') : c;
}

// A character that is no digit of base b.
char RandomNonDigit(std::mt19937_64& rng, unsigned b) {
  for (;;) {
    const auto c = static_cast<char>(rng() % 256);
    if (c != '\0' && ref::Digit(c) >= b) return c;
  }
}

// Random texts of base b: random digits, values near the capacity of n bytes, leading
// zeros, sometimes one bad character (a blank half of the time) at a random place, and
// digits after the terminator that must not be read.
std::vector<char> RandomText(std::mt19937_64& rng, unsigned b, std::size_t n, std::string& shown) {
  std::string t;
  switch (rng() % 3) {
    case 0: {
      const std::size_t len = rng() % 321;
      for (std::size_t i = 0; i < len; ++i) t += RandomDigitChar(rng, b);
      break;
    }
    case 1:
      t = NearCapacity(n, static_cast<long>(rng() % 7) - 3, static_cast<int>(b));
      break;
    default: {
      // About as many digits as 256^n has, give or take three.
      Mpz z;
      mpz_ui_pow_ui(z.get(), 256, n);
      const std::size_t digits = convtest::GmpStr(z.get(), static_cast<int>(b)).size();
      const std::size_t more = rng() % 7;
      const std::size_t len = digits + more > 3 ? digits + more - 3 : 0;
      for (std::size_t i = 0; i < len; ++i) t += RandomDigitChar(rng, b);
      break;
    }
  }
  if (rng() % 3 == 0) t.insert(0, rng() % 20, '0');
  for (char& c : t) {
    if (c >= 'A' && c <= 'Z' && rng() % 2 == 0) c = static_cast<char>(c - 'A' + 'a');
  }
  if (!t.empty() && rng() % 4 == 0) {
    t[rng() % t.size()] = rng() % 2 == 0 ? ' ' : RandomNonDigit(rng, b);
  }
  std::size_t cap = 1 + rng() % 300;
  if (rng() % 8 == 0) cap = t.size() > 0 ? t.size() : 1;  // a text that fills its array
  std::vector<char> s(cap, '\0');
  for (std::size_t i = 0; i < cap; ++i) s[i] = i < t.size() ? t[i] : '\0';
  for (std::size_t i = t.size() + 1; i < cap; ++i) s[i] = RandomDigitChar(rng, b);
  shown = t.substr(0, cap);
  return s;
}

// The reference against GMP on values: what it stores after success, after a bad character
// (the value of the digits before it) and whether it reports an overflow.
TEST(LCC, ReferenceMatchesGmp) {
  std::mt19937_64 rng(0x1CC1);
  for (unsigned b = 2; b <= 36; ++b) {
    for (int iter = 0; iter < 150; ++iter) {
      const std::size_t n = 1 + rng() % 130;
      std::string t;
      const auto s = RandomText(rng, b, n, t);
      Bytes x(n, 0x5A);
      const bool ok = ref::MkCard(x, s, static_cast<std::uint8_t>(b));

      std::size_t valid = 0;
      while (valid < t.size() && ref::Digit(t[valid]) < b) ++valid;
      Mpz z, limit;
      if (valid > 0) {
        ASSERT_EQ(mpz_set_str(z.get(), t.substr(0, valid).c_str(), static_cast<int>(b)), 0);
      }
      mpz_ui_pow_ui(limit.get(), 256, n);
      const bool fits = mpz_cmp(z.get(), limit.get()) < 0;
      if (t.empty()) {
        EXPECT_FALSE(ok);
        EXPECT_EQ(x, Bytes(n, 0x5A));
        continue;
      }
      EXPECT_EQ(ok, fits && valid == t.size()) << t << " base " << b;
      if (fits) {
        EXPECT_EQ(x, convtest::FromMpz(z.get(), n)) << t << " base " << b;
      }

      const Bytes y = convtest::RandomCard(rng, n);
      convtest::ToMpz(z.get(), y);
      const std::string expected = convtest::GmpStr(z.get(), static_cast<int>(b));
      std::vector<char> out(expected.size() + 1, '.');
      ASSERT_TRUE(ref::MkStr(out, y, static_cast<std::uint8_t>(b)));
      EXPECT_EQ(std::string(out.data()), expected);
    }
  }
}

TEST(LCC, MkCardAgreesWithReference) {
  std::mt19937_64 rng(0x1CC2);
  for (unsigned b = 2; b <= 36; ++b) {
    for (int iter = 0; iter < 600; ++iter) {
      const std::size_t n = 1 + rng() % 130;
      std::string t;
      const auto s = RandomText(rng, b, n, t);
      const auto fill = static_cast<std::uint8_t>(rng());
      Guarded<std::uint8_t> x(n, fill);
      Bytes xr(n, fill);
      const bool ok = LCC::MkCard(x.span(), s, static_cast<std::uint8_t>(b));
      ASSERT_EQ(ok, ref::MkCard(xr, s, static_cast<std::uint8_t>(b))) << t << " base " << b;
      ASSERT_EQ(x.contents(), xr) << t << " base " << b << " n " << n;
      ASSERT_TRUE(x.GuardsIntact());
    }
  }
}

TEST(LCC, MkStrAgreesWithReference) {
  std::mt19937_64 rng(0x1CC3);
  for (unsigned b = 2; b <= 36; ++b) {
    for (int iter = 0; iter < 300; ++iter) {
      const std::size_t n = 1 + rng() % 130;
      const Bytes x = convtest::RandomCard(rng, n);
      Mpz z;
      convtest::ToMpz(z.get(), x);
      const std::string digits = convtest::GmpStr(z.get(), static_cast<int>(b));
      std::size_t cap = 1 + rng() % 300;
      if (rng() % 2 == 0) cap = digits.size() + rng() % 3 - 1;  // one short, exact, one over
      if (cap == 0) cap = 1;
      Guarded<char> s(cap, '.');
      std::vector<char> sr(cap, '.');
      const Bytes before = x;
      const bool ok = LCC::MkStr(s.span(), x, static_cast<std::uint8_t>(b));
      ASSERT_EQ(ok, ref::MkStr(sr, x, static_cast<std::uint8_t>(b))) << digits;
      ASSERT_EQ(s.contents(), sr) << digits << " base " << b << " cap " << cap;
      ASSERT_TRUE(s.GuardsIntact());
      ASSERT_EQ(x, before);
      ASSERT_EQ(ok, digits.size() <= cap);
    }
  }
}

// Cardinals of up to 9 bytes and short arrays, where the one-word routes work: every base,
// texts of 0 to 24 characters with bad characters anywhere, characters after the terminator.
TEST(LCC, SmallCardinalsAgreeWithReference) {
  std::mt19937_64 rng(0x1CC7);
  for (unsigned b = 2; b <= 36; ++b) {
    for (int iter = 0; iter < 1500; ++iter) {
      const std::size_t n = 1 + rng() % 9;
      const std::size_t cap = 1 + rng() % 24;
      std::vector<char> text(cap);
      const std::size_t len = rng() % (cap + 1);
      for (std::size_t i = 0; i < cap; ++i) {
        text[i] = i == len ? '\0' : RandomDigitChar(rng, b);
        if (i < len && rng() % 3 == 0 && i < 2) text[i] = '0';
      }
      if (len > 0 && rng() % 4 == 0) text[rng() % len] = RandomNonDigit(rng, b);
      const auto fill = static_cast<std::uint8_t>(rng());
      Guarded<std::uint8_t> x(n, fill);
      Bytes xr(n, fill);
      ASSERT_EQ(LCC::MkCard(x.span(), text, static_cast<std::uint8_t>(b)),
                ref::MkCard(xr, text, static_cast<std::uint8_t>(b)))
          << std::string(text.begin(), text.end()) << " base " << b;
      ASSERT_EQ(x.contents(), xr) << std::string(text.begin(), text.end()) << " base " << b;
      ASSERT_TRUE(x.GuardsIntact());

      const Bytes v = convtest::RandomCard(rng, n);
      Guarded<char> s(cap, '.');
      std::vector<char> sr(cap, '.');
      ASSERT_EQ(LCC::MkStr(s.span(), v, static_cast<std::uint8_t>(b)),
                ref::MkStr(sr, v, static_cast<std::uint8_t>(b)));
      ASSERT_EQ(s.contents(), sr) << " base " << b << " cap " << cap;
      ASSERT_TRUE(s.GuardsIntact());
    }
  }
}

// Round trip through both conversions with the capacities the driver uses.
TEST(LCC, RoundTripInEveryBase) {
  std::mt19937_64 rng(0x1CC4);
  for (unsigned b = 2; b <= 36; ++b) {
    for (int iter = 0; iter < 200; ++iter) {
      LC::TCardMax x{};
      const Bytes v = convtest::RandomCard(rng, x.size());
      std::copy(v.begin(), v.end(), x.begin());
      std::array<char, 1025> s{};
      ASSERT_TRUE(LCC::MkStr(s, x, static_cast<std::uint8_t>(b)));
      LC::TCardMax y{};
      y.fill(0xEE);
      ASSERT_TRUE(LCC::MkCard(y, s, static_cast<std::uint8_t>(b))) << s.data();
      ASSERT_EQ(x, y) << s.data() << " base " << b;
    }
  }
}

// The self-test's shape: 4-byte values in base 16 through a 128-character string.
TEST(LCC, RoundTrip32BitHex) {
  const std::vector<std::uint32_t> values = convtest::Samples32(0x1CC5);
  std::array<char, 128> s{};
  Mpz z;
  for (const std::uint32_t v : values) {
    std::uint32_t x = v;
    std::uint32_t y = ~v;
    ASSERT_TRUE(LCC::MkStr(s, std::span(reinterpret_cast<const std::uint8_t*>(&x), 4), 16));
    mpz_set_ui(z.get(), v);
    ASSERT_EQ(std::string(s.data()), convtest::GmpStr(z.get(), 16));
    ASSERT_TRUE(LCC::MkCard(std::span(reinterpret_cast<std::uint8_t*>(&y), 4), s, 16));
    ASSERT_EQ(y, v);
  }
}

// Capacities beyond the limb routes: MkCard goes the plain way through LC, MkStr writes powers
// of two of any length and refuses other bases for values longer than kStrMaxBytes.
TEST(LCC, VeryLargeCapacities) {
  std::mt19937_64 rng(0x1CC6);
  const std::size_t n = LCC::kStrMaxBytes + 40;
  for (const unsigned b : {2u, 10u, 16u, 36u}) {
    for (int iter = 0; iter < 6; ++iter) {
      std::string t;
      const auto s = RandomText(rng, b, rng() % 2 == 0 ? n : 120, t);
      Guarded<std::uint8_t> x(n, 0x42);
      Bytes xr(n, 0x42);
      ASSERT_EQ(LCC::MkCard(x.span(), s, static_cast<std::uint8_t>(b)),
                ref::MkCard(xr, s, static_cast<std::uint8_t>(b)));
      ASSERT_EQ(x.contents(), xr) << t;
    }
  }
  Bytes x(n, 0);
  for (std::size_t i = 0; i < n; ++i) x[i] = static_cast<std::uint8_t>(rng());
  x[n - 1] = 0x81;
  for (const unsigned b : {2u, 8u, 32u}) {
    std::vector<char> sr(8 * n + 1, '.');
    Guarded<char> s(8 * n + 1, '.');
    ASSERT_TRUE(ref::MkStr(sr, x, static_cast<std::uint8_t>(b)));
    ASSERT_TRUE(LCC::MkStr(s.span(), x, static_cast<std::uint8_t>(b)));
    EXPECT_EQ(s.contents(), sr);
  }
  Guarded<char> s(10000, '.');
  EXPECT_FALSE(LCC::MkStr(s.span(), x, 10));
  EXPECT_EQ(Contents(s), std::string(10000, '.'));
  // The same value kept to kStrMaxBytes significant bytes in a larger array is converted.
  Bytes y = x;
  for (std::size_t i = LCC::kStrMaxBytes; i < n; ++i) y[i] = 0;
  std::vector<char> sr(10000, '.');
  Guarded<char> t(10000, '.');
  ASSERT_TRUE(ref::MkStr(sr, y, 10));
  ASSERT_TRUE(LCC::MkStr(t.span(), y, 10));
  EXPECT_EQ(t.contents(), sr);
}

}  // namespace
