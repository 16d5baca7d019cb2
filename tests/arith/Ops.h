// The operations that write cardinals, as data: which parameters each takes, the aliasing
// patterns to try (parameter -> arena slot), and one call through LC or through RefLC.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "arith/LC.h"
#include "tests/arith/ArithTest.h"
#include "tests/arith/RefLC.h"

namespace arith_test {

enum class Op { kCpy, kInc, kDec, kAdd, kSub, kMul, kMulC, kMpl, kDiv, kDvd };

inline constexpr Op kAllOps[] = {Op::kCpy, Op::kInc,  Op::kDec, Op::kAdd, Op::kSub,
                                 Op::kMul, Op::kMulC, Op::kMpl, Op::kDiv, Op::kDvd};

inline const char* Name(Op op) {
  switch (op) {
    case Op::kCpy:
      return "Cpy";
    case Op::kInc:
      return "Inc";
    case Op::kDec:
      return "Dec";
    case Op::kAdd:
      return "Add";
    case Op::kSub:
      return "Sub";
    case Op::kMul:
      return "Mul";
    case Op::kMulC:
      return "MulC";
    case Op::kMpl:
      return "Mpl";
    case Op::kDiv:
      return "Div";
    case Op::kDvd:
      return "Dvd";
  }
  return "?";
}

using Pattern = std::vector<std::size_t>;  // slot of each parameter, in parameter order

// Every way of making parameters the same array that the operation's contract names, allowed
// or refused; the first pattern has all arrays distinct.
inline std::vector<Pattern> Patterns(Op op) {
  switch (op) {
    case Op::kCpy:
    case Op::kInc:
    case Op::kDec:
    case Op::kMpl:
      return {{0, 1}, {0, 0}};
    case Op::kAdd:
    case Op::kSub:
    case Op::kMul:
    case Op::kMulC:
      return {{0, 1, 2}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}, {0, 0, 0}};
    case Op::kDiv:
      return {{0, 1, 2, 3}, {0, 1, 0, 2}, {0, 1, 2, 0}, {0, 1, 2, 1}, {0, 1, 1, 2},
              {0, 1, 2, 2}, {0, 0, 1, 2}, {0, 1, 0, 1}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    case Op::kDvd:
      return {{0, 1, 2}, {0, 1, 1}, {0, 1, 0}, {0, 0, 1}};
  }
  return {};
}

// Index of the parameter that the operation writes (for Div the quotient; r is parameter 3).
inline std::size_t DestParam(Op op) {
  switch (op) {
    case Op::kAdd:
    case Op::kSub:
    case Op::kMul:
    case Op::kMulC:
    case Op::kDiv:
      return 2;
    default:
      return 0;
  }
}

inline std::size_t Slots(const Pattern& p) {
  std::size_t n = 0;
  for (auto s : p) n = s + 1 > n ? s + 1 : n;
  return n;
}

// One call of op on the given spans (parameter order), through LC (Ref = false) or RefLC.
template <bool Ref>
bool Call(Op op, const std::vector<std::span<std::uint8_t>>& a) {
  if constexpr (Ref) {
    switch (op) {
      case Op::kCpy:
        return RefLC::Cpy(a[0], a[1]);
      case Op::kInc:
        return RefLC::Inc(a[0], a[1]);
      case Op::kDec:
        return RefLC::Dec(a[0], a[1]);
      case Op::kAdd:
        return RefLC::Add(a[0], a[1], a[2]);
      case Op::kSub:
        return RefLC::Sub(a[0], a[1], a[2]);
      case Op::kMul:
        return RefLC::Mul(a[0], a[1], a[2]);
      case Op::kMulC:
        return RefLC::MulC(a[0], a[1], a[2]);
      case Op::kMpl:
        return RefLC::Mpl(a[0], a[1]);
      case Op::kDiv:
        return RefLC::Div(a[0], a[1], a[2], a[3]);
      case Op::kDvd:
        return RefLC::Dvd(a[0], a[1], a[2]);
    }
  } else {
    switch (op) {
      case Op::kCpy:
        return LC::Cpy(a[0], a[1]);
      case Op::kInc:
        return LC::Inc(a[0], a[1]);
      case Op::kDec:
        return LC::Dec(a[0], a[1]);
      case Op::kAdd:
        return LC::Add(a[0], a[1], a[2]);
      case Op::kSub:
        return LC::Sub(a[0], a[1], a[2]);
      case Op::kMul:
        return LC::Mul(a[0], a[1], a[2]);
      case Op::kMulC:
        return LC::detail::MulC(a[0], a[1], a[2]);
      case Op::kMpl:
        return LC::Mpl(a[0], a[1]);
      case Op::kDiv:
        return LC::Div(a[0], a[1], a[2], a[3]);
      case Op::kDvd:
        return LC::Dvd(a[0], a[1], a[2]);
    }
  }
  return false;
}

// Calls op in arena with the parameters placed by pattern.
template <bool Ref>
bool CallIn(Op op, Arena& arena, const Pattern& p) {
  std::vector<std::span<std::uint8_t>> a;
  for (auto s : p) a.push_back(arena.Slot(s));
  return Call<Ref>(op, a);
}

}  // namespace arith_test
