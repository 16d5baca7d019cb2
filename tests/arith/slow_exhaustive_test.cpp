// Every two-byte by one-byte operand pair through every operation, with destinations of one to
// three bytes: LC must leave the same bytes as the byte-by-byte reference (itself checked
// against GMP in reference_test), or for division, whose reference is far too slow for this,
// as native division and the failure rules give them. The aliasing patterns get every
// one-byte pair in reference_test; here the arrays are distinct. Long: labelled slow.
#include <gtest/gtest.h>

#include "tests/arith/ArithTest.h"
#include "tests/arith/Ops.h"

namespace arith_test {
namespace {

// Div(x, y, z, r) on arrays of at most 3 bytes as the documented rules leave them.
bool NativeDiv(const Card& x, const Card& y, Card& z, Card& r) {
  auto val = [](const Card& c) {
    unsigned v = 0;
    for (std::size_t i = c.size(); i-- > 0;) v = v * 256 + c[i];
    return v;
  };
  auto put = [](Card& c, unsigned v) {
    for (auto& b : c) {
      b = static_cast<std::uint8_t>(v);
      v >>= 8;
    }
  };
  const unsigned a = val(x), b = val(y);
  if (b == 0) return false;
  const unsigned q = a / b, m = a % b;
  if (q >> (8 * z.size()) != 0) {
    put(z, 0);
    return false;
  }
  put(z, q);
  if (m >> (8 * r.size()) != 0) return false;
  put(r, m);
  return true;
}

class TwoByOne : public ::testing::TestWithParam<Op> {};

TEST_P(TwoByOne, SameBytesAsTheReference) {
  const Op op = GetParam();
  int failures = 0;
  {
    const Pattern p = Patterns(op).front();
    const std::size_t n = Slots(p);
    // Destination capacities 1 to 3 for each destination slot (slots 2 and 3).
    const unsigned variants = n == 4 ? 9 : (n == 3 ? 3 : 1);
    Arena la(std::vector<Card>{}), ra(std::vector<Card>{});
    for (unsigned v = 0; v < variants && failures < 10; ++v) {
      std::vector<Card> slots(n);
      for (std::size_t s = 2; s < n; ++s) slots[s] = Card(1 + (s == 2 ? v % 3 : v / 3), 0x5A);
      for (unsigned a = 0; a < 65536 && failures < 10; ++a) {
        slots[0] = {static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(a >> 8)};
        for (unsigned b = 0; b < (n > 1 ? 256u : 1u); ++b) {
          if (n > 1) slots[1] = {static_cast<std::uint8_t>(b)};
          la.Load(slots);
          bool fr;
          if (op == Op::kDiv || op == Op::kDvd) {
            std::vector<Card> want = slots;
            Card& z = op == Op::kDiv ? want[2] : want[0];
            fr = NativeDiv(slots[0], slots[1], z, want[op == Op::kDiv ? 3 : 2]);
            ra.Load(want);
          } else {
            ra.Load(slots);
            fr = CallIn<true>(op, ra, p);
          }
          const bool fl = CallIn<false>(op, la, p);
          if (fl != fr || la.Raw() != ra.Raw()) {
            ++failures;
            ADD_FAILURE() << Name(op) << " x " << a << " y " << b << " variant " << v << ": LC "
                          << fl << " RefLC " << fr;
          }
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllOps, TwoByOne, ::testing::ValuesIn(kAllOps),
                         [](const auto& info) { return std::string(Name(info.param)); });

}  // namespace
}  // namespace arith_test
