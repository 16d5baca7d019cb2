// The documented outcome of every cardinal operation, derived from GMP's values and the failure
// rules: the expected flag and the contents of every array after a call. Independent of LC and
// of RefLC, it is the oracle for both.
#pragma once

#include <string>
#include <vector>

#include "tests/arith/ArithTest.h"
#include "tests/arith/Ops.h"

namespace arith_test {

struct Expected {
  bool ok;
  std::vector<Card> slots;  // every slot after the call
  std::string row;          // the failure row (or "ok"), for the coverage count
};

// What the documentation says op leaves in each slot, from the slots' contents before the call.
inline Expected Model(Op op, const Pattern& p, const std::vector<Card>& pre) {
  Expected e{false, pre, ""};
  auto val = [&](std::size_t param) { return ToMpz(pre[p[param]]); };
  auto cap = [&](std::size_t param) { return pre[p[param]].size(); };
  auto put = [&](std::size_t param, const mpz_class& v) {
    e.slots[p[param]] = FromMpz(v, cap(param));
  };
  auto fail = [&](const char* row) {
    e.ok = false;
    e.row = row;
  };
  auto pass = [&]() {
    e.ok = true;
    e.row = "ok";
  };
  // x := x + y in place on parameter d.
  auto inc = [&](std::size_t d, std::size_t y) {
    const mpz_class s = val(d) + val(y);
    put(d, s);
    s < Pow256(cap(d)) ? pass() : fail("wrapped");
  };
  // z := x * y (z distinct from y), lengths in the Len convention.
  auto mul = [&](std::size_t x, std::size_t y, std::size_t z) {
    const mpz_class a = val(x), b = val(y);
    if (cap(z) < LenOf(a) + LenOf(b) - 1) return fail("lengths");
    const mpz_class prod = a * b;
    put(z, prod);
    prod < Pow256(cap(z)) ? pass() : fail("top byte lost");
  };
  auto div = [&](std::size_t x, std::size_t y, std::size_t z, std::size_t r) {
    if (p[z] == p[y]) return fail("z is y");
    if (p[r] == p[z]) return fail("r is z");
    const mpz_class a = val(x), b = val(y);
    if (b == 0) return fail("y zero");
    const mpz_class q = a / b, m = a % b;
    if (q >= Pow256(cap(z))) {
      put(z, 0);
      return fail("quotient too long");
    }
    put(z, q);
    if (LenOf(m) > cap(r)) return fail("remainder too long");
    put(r, m);
    pass();
  };

  switch (op) {
    case Op::kCpy:
      if (LenOf(val(1)) > cap(0)) return fail("too long"), e;
      put(0, val(1));
      pass();
      break;
    case Op::kInc:
      inc(0, 1);
      break;
    case Op::kDec: {
      const mpz_class a = val(0), b = val(1);
      put(0, a - b);
      b <= a ? pass() : fail("wrapped");
      break;
    }
    case Op::kAdd:
      if (p[2] == p[0]) {
        inc(2, 1);
      } else if (p[2] == p[1]) {
        inc(2, 0);
      } else if (LenOf(val(0)) > cap(2)) {
        fail("x too long");
      } else {
        const mpz_class s = val(0) + val(1);
        put(2, s);
        s < Pow256(cap(2)) ? pass() : fail("wrapped");
      }
      break;
    case Op::kSub: {
      const mpz_class a = val(0), b = val(1);
      if (b > a) return fail("y > x"), e;
      if (LenOf(a - b) > cap(2)) return fail("too long"), e;
      put(2, a - b);
      pass();
      break;
    }
    case Op::kMul:
      if (p[2] == p[0] || p[2] == p[1]) return fail("same array"), e;
      mul(0, 1, 2);
      break;
    case Op::kMulC:
      if (p[2] == p[1]) return fail("same array"), e;
      mul(0, 1, 2);
      break;
    case Op::kMpl:
      if (p[0] == p[1]) return fail("same array"), e;
      mul(0, 1, 0);
      break;
    case Op::kDiv:
      div(0, 1, 2, 3);
      break;
    case Op::kDvd:
      div(0, 1, 0, 2);
      break;
  }
  return e;
}

// A capacity for the destination near the boundary where op starts to fail.
inline std::size_t BoundaryCap(Op op, const Pattern& p, const std::vector<Card>& pre, Rng& rng) {
  auto val = [&](std::size_t param) { return ToMpz(pre[p[param]]); };
  const mpz_class a = val(0), b = val(1);
  std::size_t c = 1;
  switch (op) {
    case Op::kCpy:
      c = LenOf(b);
      break;
    case Op::kInc:
    case Op::kAdd:
      c = rng.OneIn(2) ? LenOf(a) : LenOf(a + b);
      break;
    case Op::kDec:
    case Op::kSub:
      c = a >= b ? LenOf(a - b) : LenOf(a);
      break;
    case Op::kMul:
    case Op::kMulC:
    case Op::kMpl:
      c = LenOf(a) + LenOf(b) - 1;
      break;
    case Op::kDiv:
    case Op::kDvd:
      c = b == 0 ? 1 : (rng.OneIn(2) ? Len0Of(a / b) : LenOf(a % b));
      break;
  }
  c = c + rng.Range(0, 2);
  return c > 1 ? c - 1 : 1;
}

// Resizes slot s to capacity c, keeping its low bytes (and so its value when c >= its Len).
inline void Resize(Card& s, std::size_t c) {
  s.resize(c, 0);
}

struct Case {
  Pattern p;
  std::vector<Card> pre;  // each slot's contents before the call
};

// A random case of op: an aliasing pattern (all distinct half of the time), slots of capacity
// 1 to maxCap, and one time in three the destination's capacity moved to where op starts to
// fail. Where the destination is also an operand its value is kept.
inline Case Draw(Op op, Rng& rng, std::size_t maxCap) {
  const auto patterns = Patterns(op);
  Case c{rng.OneIn(2) ? patterns[0] : patterns[rng.Below(patterns.size())], {}};
  const Pattern& p = c.p;
  auto& pre = c.pre;
  pre.resize(Slots(p));
  for (std::size_t s = 0; s < pre.size(); ++s) {
    const std::size_t cap = rng.Range(1, maxCap);
    pre[s] = s == 1 ? rng.ValueNear(cap, pre[0]) : rng.Value(cap);
  }
  const std::size_t d = p[DestParam(op)];
  if (rng.OneIn(3)) {
    std::size_t cap = BoundaryCap(op, p, pre, rng);
    bool operand = op == Op::kInc || op == Op::kDec || op == Op::kMpl || op == Op::kDvd;
    for (std::size_t k = 0; k < p.size(); ++k) operand |= k != DestParam(op) && p[k] == d;
    if (operand) {
      const std::size_t l = LenOf(ToMpz(pre[d]));
      cap = cap < l ? l : cap;
    }
    Resize(pre[d], cap);
  }
  if (op == Op::kDiv && rng.OneIn(3)) Resize(pre[p[3]], BoundaryCap(op, p, pre, rng));
  return c;
}

// Runs the case through LC (Ref = false) or RefLC and compares the flag, every slot and the
// poison with the model. Returns an empty text when everything matches, else a description.
template <bool Ref>
std::string Check(Op op, const Case& c, std::string* row = nullptr) {
  const Expected e = Model(op, c.p, c.pre);
  if (row != nullptr) *row = e.row;
  Arena arena(c.pre);
  const bool ok = CallIn<Ref>(op, arena, c.p);
  bool same = ok == e.ok && arena.PoisonIntact();
  for (std::size_t s = 0; s < c.pre.size(); ++s) same = same && arena.Contents(s) == e.slots[s];
  if (same) return {};
  std::string msg = std::string(Ref ? "RefLC::" : "LC::") + Name(op) + " row " + e.row + " flag " +
                    std::to_string(ok) + " expected " + std::to_string(e.ok) +
                    (arena.PoisonIntact() ? "" : " POISON HIT") + "\n";
  for (std::size_t s = 0; s < c.pre.size(); ++s) {
    msg += "  slot " + std::to_string(s) + " before " + Hex(c.pre[s]) + "\n    after  " +
           Hex(arena.Contents(s)) + "\n    expect " + Hex(e.slots[s]) + "\n";
  }
  return msg;
}

}  // namespace arith_test
