// The one-word shape of both hexadecimal converters (cardinals of up to 8 bytes, arrays of at
// least 8 characters, texts of up to 8 digits) against the plain reference: every byte value
// at every position of texts of each length, ended by a terminator or by the array, with bytes
// after the terminator that must not count; and every digit count written into arrays whose
// bytes after the terminator must survive.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "conv/LCC.h"
#include "conv/LCC0.h"
#include "tests/conv/ConvTestUtil.h"
#include "tests/conv/RefLCC.h"

namespace {

using convtest::Guarded;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kCapacities[] = {1, 2, 3, 4, 5, 8};

std::string Show(const std::vector<char>& s) {
  std::string out;
  for (const char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F) {
      out += c;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", u);
      out += hex;
    }
  }
  return out;
}

// Both MkCards of s into each capacity: flag and every byte of x as the reference gives them.
void ExpectMkCardsAsReference(const std::vector<char>& s) {
  for (const std::size_t n : kCapacities) {
    Guarded<std::uint8_t> x(n, 0x5A);
    Bytes xr(n, 0x5A);
    ASSERT_EQ(LCC0::MkCard(x.span(), s), ref::MkCard0(xr, s)) << Show(s) << " n=" << n;
    ASSERT_EQ(x.contents(), xr) << Show(s) << " n=" << n;
    ASSERT_TRUE(x.GuardsIntact());

    Guarded<std::uint8_t> y(n, 0x5A);
    Bytes yr(n, 0x5A);
    ASSERT_EQ(LCC::MkCard(y.span(), s, 16), ref::MkCard(yr, s, 16)) << Show(s) << " n=" << n;
    ASSERT_EQ(y.contents(), yr) << Show(s) << " n=" << n;
    ASSERT_TRUE(y.GuardsIntact());
  }
}

// Texts of 0 to 10 digits in arrays of 8 to 16 characters, then each of the 256 byte values
// at each position in turn: in the text (a non-digit, a letter beyond F, a code above 127, a
// terminator that shortens it), in place of the terminator (lengthening it) and after it.
TEST(HexWordRoute, MkCardEveryByteAtEveryPosition) {
  const std::string digits = "7aF0b1E9c5";
  // After the terminator: digits, and codes that carry when a letter's 9 is added.
  const std::string tail =
      "5\xFF"
      "f\xF7"
      "0\xC9"
      "A\xE6";
  for (const std::size_t cap : {8u, 9u, 10u, 16u}) {
    for (std::size_t len = 0; len <= cap && len <= digits.size(); ++len) {
      std::vector<char> base(cap);
      for (std::size_t i = 0; i < cap; ++i) {
        base[i] = i < len ? digits[i] : i == len ? '\0' : tail[i % tail.size()];
      }
      ExpectMkCardsAsReference(base);
      for (std::size_t p = 0; p < cap; ++p) {
        for (unsigned b = 0; b < 256; ++b) {
          std::vector<char> s = base;
          s[p] = static_cast<char>(b);
          ExpectMkCardsAsReference(s);
          if (HasFatalFailure()) return;
        }
      }
    }
  }
}

// Values of every digit count, zero and the largest of each included, written into arrays
// of 8 to 16 characters prefilled with junk: the whole array as the reference leaves it.
TEST(HexWordRoute, MkStrEveryDigitCount) {
  std::vector<std::uint64_t> values = {0};
  for (unsigned k = 1; k <= 16; ++k) {
    const std::uint64_t top = k == 16 ? ~std::uint64_t{0} : (std::uint64_t{1} << (4 * k)) - 1;
    values.push_back(top);
    values.push_back((top >> 4) + 1);                                  // 10...0
    values.push_back(0x9A0F3C5E7B1D2864u & top);                       // digits and letters
    values.push_back((0x9A0F3C5E7B1D2864u & top) | ((top >> 4) + 1));  // no leading zero lost
  }
  for (const std::size_t n : kCapacities) {
    for (const std::uint64_t v : values) {
      if (n < 8 && v >> (8 * n) != 0) continue;
      Bytes x(n);
      for (std::size_t i = 0; i < n; ++i) x[i] = static_cast<std::uint8_t>(v >> (8 * i));
      for (const std::size_t cap : {8u, 9u, 10u, 16u}) {
        std::vector<char> junk(cap);
        for (std::size_t i = 0; i < cap; ++i) junk[i] = "#\xA7z\x01"[i % 4];
        Guarded<char> s(cap);
        std::copy(junk.begin(), junk.end(), s.span().begin());
        std::vector<char> sr = junk;
        ASSERT_EQ(LCC0::MkStr(s.span(), x), ref::MkStr0(sr, x)) << std::hex << v << " cap " << cap;
        ASSERT_EQ(s.contents(), sr) << std::hex << v << " n=" << n << " cap " << cap;
        ASSERT_TRUE(s.GuardsIntact());

        Guarded<char> t(cap);
        std::copy(junk.begin(), junk.end(), t.span().begin());
        std::vector<char> tr = junk;
        ASSERT_EQ(LCC::MkStr(t.span(), x, 16), ref::MkStr(tr, x, 16)) << std::hex << v;
        ASSERT_EQ(t.contents(), tr) << std::hex << v << " n=" << n << " cap " << cap;
        ASSERT_TRUE(t.GuardsIntact());
      }
    }
  }
}

}  // namespace
