// The digit primitives over every operand combination, the one-byte operations against native
// integers, and Fill.
#include <gtest/gtest.h>

#include "arith/LC.h"
#include "arith/Lib2.h"
#include "tests/arith/ArithTest.h"

namespace arith_test {
namespace {

using LC::detail::Cmp0;
using LC::detail::Dec0;
using LC::detail::Inc0;
using LC::detail::Mul0;

TEST(Primitives, DocumentedCorners) {
  std::uint8_t x = 0xFF, z = 0xFF, c8 = 0xFF;
  bool c = true;
  Inc0(x, 0xFF, c);
  EXPECT_EQ(x, 0xFF);
  EXPECT_TRUE(c);
  x = 0x7F;
  Inc0(x, 0x80, c);
  EXPECT_EQ(x, 0x00);
  EXPECT_TRUE(c);
  x = 0x00;
  Dec0(x, 0xFF, c);
  EXPECT_EQ(x, 0x00);
  EXPECT_TRUE(c);
  x = 0x05;
  c = false;
  Dec0(x, 0x05, c);
  EXPECT_EQ(x, 0x00);
  EXPECT_FALSE(c);
  Mul0(0xFF, 0xFF, z, c8);
  EXPECT_EQ(z, 0xFF);
  EXPECT_EQ(c8, 0xFF);
}

TEST(Primitives, EveryByteAndCarry) {
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      EXPECT_EQ(Cmp0(static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b)),
                (a > b) - (a < b));
      for (int ci = 0; ci < 2; ++ci) {
        std::uint8_t x = static_cast<std::uint8_t>(a);
        bool c = ci != 0;
        Inc0(x, static_cast<std::uint8_t>(b), c);
        ASSERT_EQ(x + 256 * c, a + b + ci);
        x = static_cast<std::uint8_t>(a);
        c = ci != 0;
        Dec0(x, static_cast<std::uint8_t>(b), c);
        ASSERT_EQ(x - 256 * c, a - b - ci);
      }
      // The accumulating digit and the carry at their corners and a few inside values.
      for (int zc : {0x0000, 0x0001, 0x7F80, 0x8000, 0x01FE, 0xFE01, 0xFFFF, 0x00FF, 0xFF00}) {
        std::uint8_t z = static_cast<std::uint8_t>(zc >> 8), c = static_cast<std::uint8_t>(zc);
        const int t = z + a * b + c;
        Mul0(static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b), z, c);
        ASSERT_EQ(z + 256 * c, t);
      }
    }
  }
}

// Every pair of one-byte operands through each operation, against native arithmetic on the
// documented rules: in-place forms wrap, three-operand forms leave z as documented.
TEST(OneByteOperands, AgainstNativeIntegers) {
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      const Card x = {static_cast<std::uint8_t>(a)}, y = {static_cast<std::uint8_t>(b)};
      const std::string at = std::to_string(a) + ", " + std::to_string(b);
      EXPECT_EQ(LC::Cmp(x, y), (a > b) - (a < b)) << at;

      Card w = x;
      EXPECT_EQ(LC::Inc(w, y), a + b < 256) << at;
      EXPECT_EQ(w[0], (a + b) & 0xFF) << at;
      w = x;
      EXPECT_EQ(LC::Dec(w, y), b <= a) << at;
      EXPECT_EQ(w[0], (a - b) & 0xFF) << at;

      Card z1 = {0x5A}, z2 = {0x5A, 0x5A};
      EXPECT_EQ(LC::Add(x, y, z1), a + b < 256) << at;
      EXPECT_EQ(z1[0], (a + b) & 0xFF) << at;
      ASSERT_TRUE(LC::Add(x, y, z2)) << at;
      EXPECT_EQ(z2[0] + 256 * z2[1], a + b) << at;

      z1 = {0x5A};
      EXPECT_EQ(LC::Sub(x, y, z1), b <= a) << at;
      EXPECT_EQ(z1[0], b <= a ? a - b : 0x5A) << at;

      z1 = {0x5A};
      z2 = {0x5A, 0x5A};
      EXPECT_EQ(LC::Mul(x, y, z1), a * b < 256) << at;
      EXPECT_EQ(z1[0], (a * b) & 0xFF) << at;
      ASSERT_TRUE(LC::Mul(x, y, z2)) << at;
      EXPECT_EQ(z2[0] + 256 * z2[1], a * b) << at;
      w = x;
      EXPECT_EQ(LC::Mpl(w, y), a * b < 256) << at;
      EXPECT_EQ(w[0], (a * b) & 0xFF) << at;

      z1 = {0x5A};
      Card r = {0x5A};
      EXPECT_EQ(LC::Div(x, y, z1, r), b != 0) << at;
      EXPECT_EQ(z1[0], b != 0 ? a / b : 0x5A) << at;
      EXPECT_EQ(r[0], b != 0 ? a % b : 0x5A) << at;
      w = x;
      r = {0x5A};
      EXPECT_EQ(LC::Dvd(w, y, r), b != 0) << at;
      EXPECT_EQ(w[0], b != 0 ? a / b : a) << at;
      EXPECT_EQ(r[0], b != 0 ? a % b : 0x5A) << at;

      w = {0x5A};
      ASSERT_TRUE(LC::Cpy(w, y)) << at;
      EXPECT_EQ(w[0], b) << at;
    }
  }
}

TEST(Fill, EveryByteOfTheVariable) {
  LC::TCardMax x;
  for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<std::uint8_t>(i + 1);
  Lib2::Fill(std::span<std::uint8_t>(x), 0);
  EXPECT_EQ(LC::Len0(x), 0u);
  EXPECT_EQ(x, LC::TCardMax{});
  struct Rec {
    std::uint32_t a;
    std::uint8_t b[3];
  } rec{};
  Lib2::Fill(rec, 0xC3);
  EXPECT_EQ(rec.a, 0xC3C3C3C3u);
  EXPECT_EQ(rec.b[2], 0xC3);
  // A span fills its own bytes and nothing next to them.
  Card buf(10, 0x11);
  Lib2::Fill(std::span(buf).subspan(2, 5), 0xEE);
  EXPECT_EQ(Hex(buf), "111111EEEEEEEEEE1111");
}

}  // namespace
}  // namespace arith_test
