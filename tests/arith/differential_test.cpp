// LC against GMP: random operands and capacities (1 to 130), every aliasing pattern, every
// failure row; flag, every byte of every array and the poison around them.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/arith/ArithTest.h"
#include "tests/arith/Model.h"
#include "tests/arith/Ops.h"

namespace arith_test {
namespace {

class Differential : public ::testing::TestWithParam<Op> {};

TEST_P(Differential, MatchesGmpAndTheFailureRules) {
  const Op op = GetParam();
  Rng rng(0x5EED0000u + static_cast<unsigned>(op));
  const int cases = 100000 / kScale;
  std::map<std::string, int> rows;
  int failures = 0;
  for (int i = 0; i < cases && failures < 10; ++i) {
    std::string row;
    const std::string err = Check<false>(op, Draw(op, rng, 130), &row);
    if (!err.empty()) {
      ++failures;
      ADD_FAILURE() << "case " << i << ": " << err;
    }
    ++rows[row];
  }
  // Every row of the operation's failure table was reached often enough to mean something.
  std::vector<std::string> want;
  switch (op) {
    case Op::kCpy:
      want = {"ok", "too long"};
      break;
    case Op::kInc:
    case Op::kDec:
      want = {"ok", "wrapped"};
      break;
    case Op::kAdd:
      want = {"ok", "x too long", "wrapped"};
      break;
    case Op::kSub:
      want = {"ok", "y > x", "too long"};
      break;
    case Op::kMul:
    case Op::kMulC:
    case Op::kMpl:
      want = {"ok", "same array", "lengths", "top byte lost"};
      break;
    case Op::kDiv:
      want = {"ok", "z is y", "r is z", "y zero", "quotient too long", "remainder too long"};
      break;
    case Op::kDvd:
      want = {"ok", "z is y", "r is z", "y zero", "remainder too long"};
      break;
  }
  for (const auto& w : want) EXPECT_GE(rows[w], 100 / kScale) << Name(op) << ": row " << w;
}

INSTANTIATE_TEST_SUITE_P(AllOps, Differential, ::testing::ValuesIn(kAllOps),
                         [](const auto& info) { return std::string(Name(info.param)); });

}  // namespace
}  // namespace arith_test
