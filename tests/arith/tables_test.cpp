// Hand-worked cases for lengths, copy, comparison, add, subtract, multiply and divide: the
// boundaries where a byte-array implementation goes wrong (capacities that differ, zero
// operands, carries out of the top, aliasing, every failure with the bytes it leaves).
#include <gtest/gtest.h>

#include <vector>

#include "arith/LC.h"
#include "tests/arith/ArithTest.h"
#include "tests/arith/Ops.h"

namespace arith_test {
namespace {

using LC::detail::LenI;

struct LenCase {
  Card x;
  std::uint32_t len0, len;
};

TEST(Lengths, ScanFromTheTop) {
  const LenCase cases[] = {
      {{0x05, 0x00, 0x00}, 1, 1}, {{0x00, 0x01, 0x00}, 2, 2}, {{0x00}, 0, 1},
      {Card(128, 0), 0, 1},       {Card(3, 0xFF), 3, 3},      {{}, 0, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LC::Len0(c.x), c.len0) << Hex(c.x);
    EXPECT_EQ(LC::Len(c.x), c.len) << Hex(c.x);
  }
  // Every position of the top non-zero byte across word boundaries, in a 40-byte array.
  for (std::size_t top = 0; top < 40; ++top) {
    Card x(40, 0);
    x[top] = 0x80;
    if (top > 0) x[0] = 1;
    EXPECT_EQ(LC::Len0(x), top + 1);
    EXPECT_EQ(LC::Len(std::span(x).first(top + 1)), top + 1);
    EXPECT_EQ(LC::Len0(std::span(x).first(top)), top > 0 ? 1u : 0u);
  }
}

TEST(Lengths, LenIMeasuresTheUpperPart) {
  const Card x = {0x00, 0x01, 0x00};
  EXPECT_EQ(LenI(x, 0), 2u);
  EXPECT_EQ(LenI(x, 1), 1u);
  EXPECT_EQ(LenI(x, 2), 0u);
  EXPECT_EQ(LenI(x, 3), 0u);
  EXPECT_EQ(LenI(x, 0xFFFFFFFFu), 0u);
  const Card y = {0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0};
  EXPECT_EQ(LenI(y, 4), 6u);
  EXPECT_EQ(LenI(y, 10), 0u);
}

// One call on an arena: the parameters' slots before, the flag and the slots after.
struct Row {
  Op op;
  Pattern p;
  std::vector<Card> before;
  bool ok;
  std::vector<Card> after;
  const char* what;
};

void RunRows(const std::vector<Row>& rows) {
  for (const auto& r : rows) {
    Arena a(r.before);
    EXPECT_EQ(CallIn<false>(r.op, a, r.p), r.ok) << r.what;
    // An empty expectation means: unchanged.
    for (std::size_t s = 0; s < r.before.size(); ++s) {
      const Card& want = s < r.after.size() && !r.after[s].empty() ? r.after[s] : r.before[s];
      EXPECT_EQ(Hex(a.Contents(s)), Hex(want)) << r.what << ", slot " << s;
    }
    EXPECT_TRUE(a.PoisonIntact()) << r.what;
  }
}

const Pattern kXY = {0, 1}, kXX = {0, 0};
const Pattern kXYZ = {0, 1, 2}, kZisX = {0, 1, 0}, kZisY = {0, 1, 1}, kAll = {0, 0, 0};

TEST(Copy, FitsByLen) {
  Card big(128, 0);
  big[1] = 0x01;
  RunRows({
      {Op::kCpy, kXY, {{0xAA, 0xBB}, big}, true, {{0x00, 0x01}, big}, "0x0100 into 2 bytes"},
      {Op::kCpy, kXY, {{0xAA}, big}, false, {{0xAA}, big}, "0x0100 into 1 byte"},
      {Op::kCpy, kXY, {{0xAA}, Card(5, 0)}, true, {{0x00}, Card(5, 0)}, "zero into 1 byte"},
      {Op::kCpy, kXY, {{0xAA, 0xBB, 0xCC}, {0x05}}, true, {{0x05, 0, 0}, {0x05}}, "clears up"},
      {Op::kCpy, kXX, {{0x12, 0x34}}, true, {{0x12, 0x34}}, "onto itself"},
  });
}

TEST(Compare, ByValueNotCapacity) {
  EXPECT_EQ(LC::Cmp(Card{0x01, 0x00}, Card{0x01}), 0);
  EXPECT_EQ(LC::Cmp(Card{0x00, 0x01}, Card{0xFF}), 1);
  EXPECT_EQ(LC::Cmp(Card{0xFF}, Card{0x00, 0x01}), -1);
  EXPECT_EQ(LC::Cmp(Card(7, 0), Card(1, 0)), 0);
  EXPECT_EQ(LC::Cmp(Card{}, Card(3, 0)), 0);
  // A difference only in the lowest byte, below a long equal run.
  Card a(100, 0x77), b(100, 0x77);
  b[0] = 0x78;
  EXPECT_EQ(LC::Cmp(a, b), -1);
  EXPECT_EQ(LC::Cmp(b, a), 1);
  EXPECT_EQ(LC::Cmp(a, a), 0);
}

TEST(AddSubtract, DocumentedCases) {
  RunRows({
      {Op::kInc, kXY, {{0xCF}, {0x11, 0x00}}, true, {{0xE0}}, "y wider than x"},
      {Op::kInc, kXY, {{0xFF}, {0x01}}, false, {{0x00}}, "carry out of the top"},
      {Op::kInc, kXY, {{0x12}, Card(9, 0)}, true, {{0x12}}, "adding a long zero"},
      {Op::kInc, kXY, {{0xFF, 0xFF, 0x12}, {0x01}}, true, {{0, 0, 0x13}}, "carry runs"},
      {Op::kInc, kXY, {{0x01}, {0x00, 0x01}}, false, {{0x01}}, "y longer than x"},
      {Op::kInc, kXX, {{0x81, 0x40}}, true, {{0x02, 0x81}}, "doubling in place"},
      {Op::kInc, kXX, {{0x00, 0x80}}, false, {{0x00, 0x00}}, "doubling overflows"},
      {Op::kAdd,
       kXYZ,
       {{0xEF, 0xEF, 0xFF, 0xFF}, {0x11, 0x11, 0, 0}, Card(5, 0x99)},
       true,
       {{}, {}, {0x00, 0x01, 0x00, 0x00, 0x01}},
       "sum into 5 bytes"},
      {Op::kAdd,
       kXYZ,
       {{0xEF, 0xEF, 0xFF, 0xFF}, {0x11, 0x11, 0, 0}, Card(4, 0x99)},
       false,
       {{}, {}, {0x00, 0x01, 0x00, 0x00}},
       "sum wrapped in 4 bytes"},
      {Op::kAdd, kXYZ, {{0x00, 0x01}, {0x00}, {0x99}}, false, {{}, {}, {0x99}}, "x longer than z"},
      {Op::kAdd, kAll, {{0x03, 0x40}}, true, {{0x06, 0x80}}, "Add(x, x, x) doubles"},
      {Op::kAdd, kAll, {{0x03, 0x80}}, false, {{0x06, 0x00}}, "Add(x, x, x) wraps"},
      {Op::kAdd, {0, 0, 1}, {{0x80}, {0x55, 0x55}}, true, {{0x80}, {0x00, 0x01}}, "2x into z"},
      {Op::kAdd, kZisY, {{0x01}, {0xFF, 0x00}}, true, {{0x01}, {0x00, 0x01}}, "z is y"},
      {Op::kDec, kXY, {{0x00, 0x01}, {0x01}}, true, {{0xFF, 0x00}}, "borrow runs"},
      {Op::kDec, kXY, {{0xFE, 0xFF}, {0xFF, 0x00}}, true, {{0xFF, 0xFE}}, "borrow"},
      {Op::kDec, kXY, {{0x05}, {0x06}}, false, {{0xFF}}, "y > x wraps"},
      {Op::kDec, kXY, {{0x05}, {0x05, 0x01}}, false, {{0x00}}, "y longer than x"},
      {Op::kDec, kXX, {{0x12, 0x34}}, true, {{0, 0}}, "Dec(x, x)"},
      {Op::kSub, kXYZ, {{5}, {6}, {0x99}}, false, {{5}, {6}, {0x99}}, "y > x"},
      {Op::kSub, kXYZ, {{0x00, 0x01}, {0x01}, {0x99}}, true, {{}, {}, {0xFF}}, "narrower z"},
      {Op::kSub,
       kXYZ,
       {{0, 0, 1}, {1}, {0x99, 0x99}},
       true,
       {{}, {}, {0xFF, 0xFF}},
       "difference fits 2 bytes"},
      {Op::kSub, kXYZ, {{0, 0, 1}, {1}, {0x99}}, false, {{}, {}, {0x99}}, "and not 1 byte"},
      {Op::kSub, kZisX, {{0x10, 0x20}, {0x01, 0x02}}, true, {{0x0F, 0x1E}}, "z is x"},
      {Op::kSub, kZisY, {{0x10, 0x20}, {0x01, 0x02}}, true, {{}, {0x0F, 0x1E}}, "z is y"},
      {Op::kSub, kAll, {{0x10, 0x20}}, true, {{0, 0}}, "all one array"},
  });
}

TEST(Multiply, DocumentedCases) {
  Card y128(128, 0x01);
  RunRows({
      {Op::kMul,
       kXYZ,
       {{0xFF, 0xFF}, {0xFF, 0x00}, Card(3, 0x99)},
       true,
       {{}, {}, {0x01, 0xFF, 0xFE}},
       "2 by 1 significant bytes"},
      {Op::kMul,
       kXYZ,
       {{0xFF, 0xFF}, {0xFF, 0xFF}, Card(4, 0x99)},
       true,
       {{}, {}, {0x01, 0x00, 0xFE, 0xFF}},
       "full square"},
      {Op::kMul,
       kXYZ,
       {{0xFF, 0xFF}, {0xFF, 0xFF}, Card(3, 0x99)},
       false,
       {{}, {}, {0x01, 0x00, 0xFE}},
       "top byte lost"},
      {Op::kMul,
       kXYZ,
       {{0x01, 0x01}, {0x01, 0x01}, Card(2, 0x99)},
       false,
       {{}, {}, Card(2, 0x99)},
       "refused by lengths"},
      {Op::kMul, kZisX, {{0x02}, {0x03}}, false, {{0x02}, {0x03}}, "z is x"},
      {Op::kMul, kZisY, {{0x02}, {0x03}}, false, {{0x02}, {0x03}}, "z is y"},
      {Op::kMpl, kXY, {{0x34, 0x12, 0x00}, {0x01}}, true, {{0x34, 0x12, 0x00}}, "times one"},
      {Op::kMpl, kXY, {{0x34, 0x12, 0x00}, {0x00}}, true, {{0, 0, 0}}, "times zero"},
      {Op::kMpl, kXX, {{0x03, 0x00}}, false, {{0x03, 0x00}}, "no squaring in place"},
      {Op::kMpl, kXY, {{0x00, 0x01}, {0x00, 0x01}}, false, {{0x00, 0x01}}, "Mpl lengths"},
      {Op::kMpl, kXY, {{0x10, 0x10}, {0x10}}, false, {{0x00, 0x01}}, "Mpl top byte lost"},
      {Op::kMulC, kZisX, {{0x10, 0x10, 0}, {0x10}}, true, {{0x00, 0x01, 0x01}}, "MulC z = x"},
      {Op::kMul,
       kXYZ,
       {{0x00}, y128, Card(127, 0x99)},
       false,
       {{}, {}, Card(127, 0x99)},
       "zero counts one byte"},
      {Op::kMul,
       kXYZ,
       {{0x00}, y128, Card(128, 0x99)},
       true,
       {{}, {}, Card(128, 0)},
       "zero times long y"},
  });
}

TEST(Divide, DocumentedCases) {
  const Pattern d4 = {0, 1, 2, 3};
  Card ff(128, 0xFF), zero128(128, 0);
  RunRows({
      {Op::kDiv,
       d4,
       {{0x01, 0x00, 0xFF, 0x00}, {0xFF}, Card(3, 0x99), Card(2, 0x99)},
       true,
       {{}, {}, {0x00, 0x00, 0x01}, {0x01, 0x00}},
       "worked example"},
      {Op::kDiv, d4, {{0x05}, {0x07, 0x00}, {0x99}, {0x99}}, true, {{}, {}, {0}, {5}}, "x < y"},
      {Op::kDiv,
       d4,
       {{0x07, 0x03}, {0x07, 0x03}, {0x99}, {0x99}},
       true,
       {{}, {}, {1}, {0}},
       "x = y"},
      {Op::kDiv,
       d4,
       {{0x07}, {0x00, 0x00}, {0x99}, {0x99}},
       false,
       {{}, {}, {0x99}, {0x99}},
       "y = 0"},
      {Op::kDiv,
       d4,
       {{0x00, 0x00, 0x01}, {0x01}, {0x99, 0x99}, {0x99}},
       false,
       {{}, {}, {0x00, 0x00}, {0x99}},
       "quotient too long"},
      {Op::kDiv,
       d4,
       {{0xFF, 0x01}, {0x00, 0x02}, {0x99}, {0x99}},
       false,
       {{}, {}, {0x00}, {0x99}},
       "remainder too long"},
      {Op::kDiv,
       {0, 1, 0, 2},
       {{0x10, 0x01}, {0x10}, {0x99}},
       true,
       {{0x11, 0x00}, {}, {0x00}},
       "z is x"},
      {Op::kDiv, {0, 1, 1, 2}, {{0x10}, {0x10}, {0x99}}, false, {{0x10}, {0x10}, {0x99}}, "z is y"},
      {Op::kDiv, {0, 1, 2, 2}, {{0x10}, {0x10}, {0x99}}, false, {{0x10}, {0x10}, {0x99}}, "r is z"},
      {Op::kDvd, {0, 1, 0}, {{0x10}, {0x03}}, false, {{0x10}, {0x03}}, "Dvd(x, y, x)"},
      {Op::kDvd, {0, 0, 1}, {{0x10}, {0x99}}, false, {{0x10}, {0x99}}, "Dvd(x, x, r)"},
      {Op::kDvd, {0, 1, 1}, {{0x11, 0x01}, {0x10}}, true, {{0x11, 0x00}, {0x01}}, "Dvd(x,y,y)"},
      {Op::kDiv,
       d4,
       {ff, {0x01}, Card(128, 0x99), Card(1, 0x99)},
       true,
       {{}, {}, ff, {0}},
       "all FF by one"},
      {Op::kDiv,
       d4,
       {ff, ff, Card(128, 0x99), Card(128, 0x99)},
       true,
       {{},
        {},
        [] {
          Card c(128, 0);
          c[0] = 1;
          return c;
        }(),
        zero128},
       "all FF by itself"},
  });
}

// Parameters that share their first byte but not their capacity, and empty arrays.
TEST(Shapes, EmptyArraysReadAsZero) {
  Card x = {0x07, 0x00}, r = {0x99}, z(2, 0);
  std::span<std::uint8_t> none;
  EXPECT_FALSE(LC::Cpy(none, x));
  EXPECT_TRUE(LC::Cpy(x, none));
  EXPECT_EQ(Hex(x), "0000");
  EXPECT_TRUE(LC::Inc(none, x));  // adding zero writes nothing
  EXPECT_FALSE(LC::Inc(none, Card{1}));
  x = {0x07, 0x00};
  EXPECT_FALSE(LC::Div(x, none, z, r));  // an empty divisor is zero
  EXPECT_TRUE(LC::Div(none, x, z, r));
  EXPECT_EQ(r[0], 0);
  EXPECT_FALSE(LC::Div(x, Card{1}, z, none));  // a zero remainder needs a byte too
}

TEST(Divide, DivisorLimit) {
  // The longest divisor accepted works; one byte more is refused without a write.
  const std::size_t n = LC::kDivMaxDivisor;
  Card x(2 * n + 3, 0), y(n + 1, 0), z(n + 4, 0x99), r(n + 1, 0x99);
  Rng rng(99);
  for (auto& b : x) b = rng.Byte();
  for (std::size_t i = 0; i < n; ++i) y[i] = rng.Byte();
  y[n - 1] |= 1;
  ASSERT_TRUE(LC::Div(x, y, z, r));
  const mpz_class a = ToMpz(x), b = ToMpz(y);
  EXPECT_EQ(ToMpz(z), a / b);
  EXPECT_EQ(ToMpz(r), a % b);
  y[n] = 1;
  const Card z0 = z, r0 = r;
  EXPECT_FALSE(LC::Div(x, y, z, r));
  EXPECT_EQ(z, z0);
  EXPECT_EQ(r, r0);
}

}  // namespace
}  // namespace arith_test
