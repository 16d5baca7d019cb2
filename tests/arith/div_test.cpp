// Division paths that random operands almost never reach: the long-divisor method's rare
// corrections (a quotient-digit estimate one too large after its test, and an estimate whose
// remainder overflows a word), every normalising shift, and the one-word divisor paths.
// Results are checked against GMP, with Div into separate arrays and Dvd in place.
#include <gtest/gtest.h>

#include "arith/LC.h"
#include "tests/arith/ArithTest.h"

namespace arith_test {
namespace {

const mpz_class kB = Pow256(8);  // one 64-bit limb

Card Bytes(const mpz_class& v, std::size_t cap) {
  return FromMpz(v, cap);
}

// Divides a by b with Div (separate arrays) and with Dvd (quotient in place) and compares both
// with GMP. Capacities are the exact significant lengths plus slack.
void ExpectDivision(const mpz_class& a, const mpz_class& b, const std::string& what) {
  const std::size_t la = LenOf(a), lb = LenOf(b), slack = 3;
  const Card x = Bytes(a, la + slack), y = Bytes(b, lb);
  Card z(la + slack, 0x99), r(lb + slack, 0x99);
  ASSERT_TRUE(LC::Div(x, y, z, r)) << what;
  EXPECT_EQ(ToMpz(z), a / b) << what;
  EXPECT_EQ(ToMpz(r), a % b) << what;
  Card xd = x, rd(lb, 0x99);
  ASSERT_TRUE(LC::Dvd(xd, y, rd)) << what;
  EXPECT_EQ(ToMpz(xd), a / b) << what;
  EXPECT_EQ(ToMpz(rd), a % b) << what;
}

mpz_class Limbs(std::initializer_list<mpz_class> high_first) {
  mpz_class v = 0;
  for (const auto& l : high_first) v = v * kB + l;
  return v;
}

TEST(DivideLong, EstimateRemainderOverflowsAWord) {
  const mpz_class top = kB / 2, max = kB - 1;
  // q-hat starts at 2^64 - 1 with r-hat = 2^64 + 2^63 - 2: the correction test must not run.
  const mpz_class y1 = Limbs({top, max, max});
  ExpectDivision(y1 * kB - 1, y1, "q-hat capped");
  // q-hat starts at 2^64 - 1 with r-hat = 1, one correction lifts r-hat to 2^64: the test must
  // stop there although the truncated r-hat would ask for another.
  const mpz_class y2 = Limbs({max, max, 0});
  ExpectDivision(Limbs({max - 1, 2, 0, 0}), y2, "r-hat reaches 2^64");
}

// Dividends whose top quotient digit is estimated exactly from the top three limbs of the
// (normalised) dividend and the top two of the divisor, while the lower limbs make it one too
// large: the multiply-and-subtract goes negative and must be added back.
TEST(DivideLong, EstimateOneTooLargeIsAddedBack) {
  Rng rng(0xADDBAC);
  auto limb = [&]() { return mpz_class(std::to_string(rng.Next())); };
  for (int i = 0; i < 400; ++i) {
    const unsigned s = static_cast<unsigned>(rng.Below(64));    // normalising shift
    const std::size_t n = rng.Range(3, 8);                      // divisor limbs
    const mpz_class vh = Limbs({kB / 2 + limb() / 2, limb()});  // normalised top two limbs
    const mpz_class q = 1 + mpz_class(limb() % (kB - 1));
    const mpz_class low = Pow256(8 * (n - 2));
    // Lower divisor limbs: non-zero, low s bits clear; lower dividend limbs below q times them.
    mpz_class vl = (limb() * Pow256(8 * (n - 3)) + 1) % low;
    vl -= vl % (mpz_class(1) << s);
    if (vl == 0) vl = mpz_class(1) << s;
    mpz_class ul = (limb() * Pow256(8 * (n - 3))) % (q * vl < low ? q * vl : low);
    ul -= ul % (mpz_class(1) << s);
    const mpz_class v = vh * low + vl, u = q * vh * low + ul;
    ASSERT_EQ(u / v, q - 1) << "the case must need the add-back";
    // Shift back by s and put k random limbs below.
    const std::size_t k = rng.Below(3);
    mpz_class lower = 0;
    for (std::size_t j = 0; j < k; ++j) lower = lower * kB + limb();
    lower -= lower % (mpz_class(1) << s);
    const mpz_class a = (u * Pow256(8 * k) + lower) >> s, b = v >> s;
    ExpectDivision(a, b, "case " + std::to_string(i));
  }
}

// Divisors of one to six limbs whose top limb has each possible number of leading zero bits,
// and dividends of up to eight limbs more, all bytes FFH or random.
TEST(DivideLong, EveryNormalisingShift) {
  Rng rng(0x5A1F7);
  for (std::size_t n = 1; n <= 6; ++n) {
    for (unsigned s = 0; s < 64; ++s) {
      mpz_class b = (mpz_class(1) << (63 - s)) | (mpz_class(std::to_string(rng.Next())) >> s);
      for (std::size_t j = 1; j < n; ++j) b = b * kB + mpz_class(std::to_string(rng.Next()));
      for (std::size_t m = 0; m <= 8; m += 4) {
        mpz_class a = 0;
        for (std::size_t j = 0; j < n + m; ++j) a = a * kB + mpz_class(std::to_string(rng.Next()));
        ExpectDivision(a, b, "n " + std::to_string(n) + " s " + std::to_string(s));
        ExpectDivision(Pow256(8 * (n + m)) - 1, b, "all FF");
        ExpectDivision(b * (b + 1), b, "exact");
      }
    }
  }
}

// The native paths: dividend and divisor of one to eight bytes, against 64-bit arithmetic.
TEST(DivideShort, EveryLengthPairAgainstNativeDivision) {
  Rng rng(0x64);
  for (std::size_t lx = 1; lx <= 9; ++lx) {
    for (std::size_t ly = 1; ly <= 8; ++ly) {
      for (int i = 0; i < 200; ++i) {
        Card x(lx), y(ly);
        for (auto& b : x) b = rng.Byte();
        for (auto& b : y) b = rng.Byte();
        if (i % 7 == 0) y.back() = 0;  // shorter than its capacity, maybe zero
        const mpz_class a = ToMpz(x), b = ToMpz(y);
        Card z(lx, 0x99), r(ly, 0x99);
        const bool ok = LC::Div(x, y, z, r);
        if (b == 0) {
          EXPECT_FALSE(ok);
          EXPECT_EQ(z, Card(lx, 0x99));
          continue;
        }
        ASSERT_TRUE(ok) << Hex(x) << " / " << Hex(y);
        EXPECT_EQ(ToMpz(z), a / b) << Hex(x) << " / " << Hex(y);
        EXPECT_EQ(ToMpz(r), a % b) << Hex(x) << " / " << Hex(y);
      }
    }
  }
}

}  // namespace
}  // namespace arith_test
