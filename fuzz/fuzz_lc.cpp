// The cardinal operations on random capacities, values and aliasing: every flag and every byte
// (poison around each array included) must equal the plain reference, and every success must
// hold the value GMP computes.
#include <gmpxx.h>

#include <array>
#include <cstdint>
#include <vector>

#include "arith/LC.h"
#include "fuzz/FuzzInput.h"
#include "tests/arith/RefLC.h"

namespace {

constexpr std::size_t kPoison = 8;
constexpr std::uint8_t kPoisonByte = 0xA5;

enum Op { kCpy, kInc, kDec, kAdd, kSub, kMul, kMulC, kMpl, kDiv, kDvd, kOps };
constexpr std::size_t kParams[kOps] = {2, 2, 2, 3, 3, 3, 3, 2, 4, 3};

struct Arena {
  std::vector<std::vector<std::uint8_t>> slots;  // each: poison, array, poison
  std::span<std::uint8_t> Slot(std::size_t i) {
    return {slots[i].data() + kPoison, slots[i].size() - 2 * kPoison};
  }
};

mpz_class Value(std::span<const std::uint8_t> x) {
  mpz_class v;
  mpz_import(v.get_mpz_t(), x.size(), -1, 1, 0, 0, x.data());
  return v;
}

template <bool Ref>
bool Call(Op op, std::array<std::span<std::uint8_t>, 4>& a) {
  if constexpr (Ref) {
    switch (op) {
      case kCpy:
        return RefLC::Cpy(a[0], a[1]);
      case kInc:
        return RefLC::Inc(a[0], a[1]);
      case kDec:
        return RefLC::Dec(a[0], a[1]);
      case kAdd:
        return RefLC::Add(a[0], a[1], a[2]);
      case kSub:
        return RefLC::Sub(a[0], a[1], a[2]);
      case kMul:
        return RefLC::Mul(a[0], a[1], a[2]);
      case kMulC:
        return RefLC::MulC(a[0], a[1], a[2]);
      case kMpl:
        return RefLC::Mpl(a[0], a[1]);
      case kDiv:
        return RefLC::Div(a[0], a[1], a[2], a[3]);
      default:
        return RefLC::Dvd(a[0], a[1], a[2]);
    }
  } else {
    switch (op) {
      case kCpy:
        return LC::Cpy(a[0], a[1]);
      case kInc:
        return LC::Inc(a[0], a[1]);
      case kDec:
        return LC::Dec(a[0], a[1]);
      case kAdd:
        return LC::Add(a[0], a[1], a[2]);
      case kSub:
        return LC::Sub(a[0], a[1], a[2]);
      case kMul:
        return LC::Mul(a[0], a[1], a[2]);
      case kMulC:
        return LC::detail::MulC(a[0], a[1], a[2]);
      case kMpl:
        return LC::Mpl(a[0], a[1]);
      case kDiv:
        return LC::Div(a[0], a[1], a[2], a[3]);
      default:
        return LC::Dvd(a[0], a[1], a[2]);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const auto op = static_cast<Op>(in.Byte() % kOps);
  const std::size_t params = kParams[op];
  // Parameter i goes to a slot already used or to the next new one: every aliasing pattern,
  // allowed or refused, is reachable.
  std::array<std::size_t, 4> slotOf{};
  std::size_t slots = 0;
  for (std::size_t i = 0; i < params; ++i) {
    slotOf[i] = in.Byte() % (slots + 1);
    if (slotOf[i] == slots) ++slots;
  }
  Arena lc;
  for (std::size_t s = 0; s < slots; ++s) {
    const std::size_t cap = in.Range(1, 130);
    std::vector<std::uint8_t> buf(cap + 2 * kPoison, kPoisonByte);
    in.Card(std::span<std::uint8_t>(buf.data() + kPoison, cap));
    lc.slots.push_back(std::move(buf));
  }
  Arena ref = lc;

  std::array<std::span<std::uint8_t>, 4> a{};
  std::array<std::span<std::uint8_t>, 4> b{};
  std::array<mpz_class, 4> v;
  for (std::size_t i = 0; i < params; ++i) {
    a[i] = lc.Slot(slotOf[i]);
    b[i] = ref.Slot(slotOf[i]);
    v[i] = Value(a[i]);
  }
  const bool okLc = Call<false>(op, a);
  const bool okRef = Call<true>(op, b);
  fuzz::Check(okLc == okRef);
  for (std::size_t s = 0; s < slots; ++s) fuzz::Check(lc.slots[s] == ref.slots[s]);
  if (!okLc) return 0;

  // A success holds the exact result.
  switch (op) {
    case kCpy:
      fuzz::Check(Value(a[0]) == v[1]);
      break;
    case kInc:
      fuzz::Check(Value(a[0]) == v[0] + v[1]);
      break;
    case kDec:
      fuzz::Check(Value(a[0]) == v[0] - v[1]);
      break;
    case kAdd:
      fuzz::Check(Value(a[2]) == v[0] + v[1]);
      break;
    case kSub:
      fuzz::Check(Value(a[2]) == v[0] - v[1]);
      break;
    case kMul:
    case kMulC:
      fuzz::Check(Value(a[2]) == v[0] * v[1]);
      break;
    case kMpl:
      fuzz::Check(Value(a[0]) == v[0] * v[1]);
      break;
    case kDiv:
      fuzz::Check(Value(a[2]) == v[0] / v[1]);
      fuzz::Check(Value(a[3]) == v[0] % v[1]);
      break;
    default:
      fuzz::Check(Value(a[0]) == v[0] / v[1]);
      fuzz::Check(Value(a[2]) == v[0] % v[1]);
      break;
  }
  return 0;
}
