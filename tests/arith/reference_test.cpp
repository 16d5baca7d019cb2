// The byte-by-byte reference RefLC against the GMP model, and LC against RefLC byte for byte:
// the same call on two identical arenas must leave identical arenas. This is where the odd
// shapes are tried that the model does not describe: parameters that share their first byte
// but not their capacity, and empty arrays.
#include <gtest/gtest.h>

#include "tests/arith/ArithTest.h"
#include "tests/arith/Model.h"
#include "tests/arith/Ops.h"

namespace arith_test {
namespace {

class Reference : public ::testing::TestWithParam<Op> {};

TEST_P(Reference, MatchesGmpAndTheFailureRules) {
  const Op op = GetParam();
  Rng rng(0x2EF00000u + static_cast<unsigned>(op));
  // Repeated subtraction and byte-by-byte products are slow: fewer cases for those.
  const bool slow =
      op == Op::kDiv || op == Op::kDvd || op == Op::kMul || op == Op::kMulC || op == Op::kMpl;
  const int cases = (slow ? 3000 : 20000) / kScale;
  int failures = 0;
  for (int i = 0; i < cases && failures < 10; ++i) {
    const std::string err = Check<true>(op, Draw(op, rng, 130));
    if (!err.empty()) {
      ++failures;
      ADD_FAILURE() << "case " << i << ": " << err;
    }
  }
}

// One call of op on two identical arenas, through LC and through RefLC, each parameter given
// as the first len[k] bytes of its slot.
std::string Twin(Op op, const Pattern& p, const std::vector<Card>& slots,
                 const std::vector<std::size_t>& len, Arena& a, Arena& b) {
  a.Load(slots);
  b.Load(slots);
  std::vector<std::span<std::uint8_t>> sa, sb;
  for (std::size_t k = 0; k < p.size(); ++k) {
    sa.push_back(a.Slot(p[k]).first(len[k]));
    sb.push_back(b.Slot(p[k]).first(len[k]));
  }
  const bool fa = Call<false>(op, sa), fb = Call<true>(op, sb);
  if (fa == fb && a.Raw() == b.Raw()) return {};
  std::string msg =
      std::string(Name(op)) + " LC " + std::to_string(fa) + " RefLC " + std::to_string(fb) + "\n";
  for (std::size_t k = 0; k < p.size(); ++k) {
    msg += "  param " + std::to_string(k) + " slot " + std::to_string(p[k]) + " len " +
           std::to_string(len[k]) + "\n";
  }
  for (std::size_t s = 0; s < slots.size(); ++s) {
    msg += "  slot " + std::to_string(s) + " before " + Hex(slots[s]) + "\n    LC     " +
           Hex(a.Contents(s)) + "\n    RefLC  " + Hex(b.Contents(s)) + "\n";
  }
  return msg;
}

TEST_P(Reference, LcLeavesTheSameBytesAsTheReference) {
  const Op op = GetParam();
  Rng rng(0x7A1E0000u + static_cast<unsigned>(op));
  const int cases = 20000 / kScale;
  int failures = 0;
  for (int i = 0; i < cases && failures < 10; ++i) {
    const Case c = Draw(op, rng, rng.OneIn(4) ? 130 : 24);
    std::vector<std::size_t> len;
    for (auto s : c.p) len.push_back(c.pre[s].size());
    // A parameter that shares its slot may see only a prefix of it (same first byte, other
    // capacity); now and then any parameter is empty.
    for (std::size_t k = 0; k < len.size(); ++k) {
      bool shared = false;
      for (std::size_t j = 0; j < len.size(); ++j) shared |= j != k && c.p[j] == c.p[k];
      if (shared && rng.OneIn(3)) len[k] = rng.Range(0, len[k]);
      if (rng.OneIn(40)) len[k] = 0;
    }
    Arena a(c.pre), b(c.pre);
    const std::string err = Twin(op, c.p, c.pre, len, a, b);
    if (!err.empty()) {
      ++failures;
      ADD_FAILURE() << "case " << i << ": " << err;
    }
  }
}

// Every pair of one-byte operands, every aliasing pattern, destinations of one and two bytes.
TEST_P(Reference, LcLeavesTheSameBytesForEveryOneByteOperandPair) {
  const Op op = GetParam();
  const auto patterns = Patterns(op);
  int failures = 0;
  Arena la(std::vector<Card>{}), ra(std::vector<Card>{});
  for (const Pattern& p : patterns) {
    const std::size_t n = Slots(p);
    for (unsigned caps = 0; caps < (1u << (n > 2 ? n - 2 : 0)); ++caps) {
      // Slots 0 and 1 hold the operands; the others are destinations of 1 or 2 bytes,
      // pre-filled with a recognisable pattern.
      std::vector<Card> slots(n);
      for (std::size_t s = 0; s < n; ++s)
        slots[s] = Card(s < 2 ? 1 : 1 + ((caps >> (s - 2)) & 1), 0x5A);
      std::vector<std::size_t> len;
      for (auto s : p) len.push_back(slots[s].size());
      for (unsigned x = 0; x < 256 && failures < 10; ++x) {
        for (unsigned y = 0; y < (n > 1 ? 256u : 1u); ++y) {
          slots[0][0] = static_cast<std::uint8_t>(x);
          if (n > 1) slots[1][0] = static_cast<std::uint8_t>(y);
          const std::string err = Twin(op, p, slots, len, la, ra);
          if (!err.empty()) {
            ++failures;
            ADD_FAILURE() << err;
          }
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllOps, Reference, ::testing::ValuesIn(kAllOps),
                         [](const auto& info) { return std::string(Name(info.param)); });

}  // namespace
}  // namespace arith_test
