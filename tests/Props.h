// The contracts of LC, LCC and LCC0 as properties, written once: the random tests and the fuzz
// targets draw cases with gen::Source and check them here. Every expected flag and byte, after
// success and after failure, is derived from GMP's values and the documented failure rules
// (the result modulo 256^capacity, unchanged, all zero); the arrays of a call sit between poison
// bytes that must survive, and parameters that are the same array share one.
#pragma once

#include <algorithm>
#include <bit>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "core/LC.h"
#include "core/LCC.h"
#include "core/LCC0.h"
#include "tests/Gen.h"

namespace props {

using namespace gen;

// The arrays of one call, each between poison bytes in one buffer.
class Arena {
 public:
  explicit Arena(const std::vector<Bytes>& slots) {
    for (const Bytes& s : slots) {
      buf.resize(buf.size() + 16, 0xA5);
      at_.push_back(buf.size());
      buf.insert(buf.end(), s.begin(), s.end());
    }
    buf.resize(buf.size() + 16, 0xA5);
  }
  std::uint8_t* Slot(std::size_t i) { return buf.data() + at_[i]; }
  Bytes buf;  // equal buffers: equal slots and intact poison

 private:
  std::vector<std::size_t> at_;
};

struct Outcome {
  bool ok = false;
  std::vector<Bytes> slots;  // every slot after the call
};

// The bytes of x in hexadecimal, the capacity shown by the leading 1.
inline std::string Hex(const Bytes& x) {
  return Str(Val(x) + Pow256(x.size()), 16);
}

// Runs a call on the arena of pre and compares flag, slots and poison with e.
template <typename Call>
std::string Compare(const std::string& what, const std::vector<Bytes>& pre, const Outcome& e,
                    Call call) {
  Arena a(pre);
  const bool ok = call(a);
  if (ok == e.ok && a.buf == Arena(e.slots).buf) return {};
  std::string m = what + ": flag " + std::to_string(ok) + ", expected " + std::to_string(e.ok);
  for (std::size_t s = 0; s < pre.size(); ++s) {
    m += "\n  slot " + std::to_string(s) + ": " + Hex(pre[s]) + " became " +
         Hex(Bytes(a.Slot(s), a.Slot(s) + pre[s].size())) + ", not " + Hex(e.slots[s]);
  }
  return m;
}

// ---- LC -------------------------------------------------------------------------------------

enum Op { kCpy, kInc, kDec, kAdd, kSub, kMul, kMpl, kDiv, kDvd, kOps };
inline constexpr const char* kOpName[] = {"Cpy", "Inc",  "Dec", "Add", "Sub",
                                          "Mul", "Mpl", "Div", "Dvd"};

// Slot of each parameter; the first pattern of each operation has every array distinct, the
// others are every way its contract lets (or refuses to let) parameters be the same array.
using Pattern = std::vector<std::size_t>;
inline const std::vector<Pattern>& Patterns(Op op) {
  static const std::vector<Pattern> two = {{0, 1}, {0, 0}};
  static const std::vector<Pattern> three = {{0, 1, 2}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}, {0, 0, 0}};
  static const std::vector<Pattern> div = {{0, 1, 2, 3}, {0, 1, 0, 2}, {0, 1, 2, 0}, {0, 1, 2, 1},
                                           {0, 1, 1, 2}, {0, 1, 2, 2}, {0, 0, 1, 2}, {0, 1, 0, 1},
                                           {0, 0, 1, 0}, {0, 0, 0, 1}};
  static const std::vector<Pattern> dvd = {{0, 1, 2}, {0, 1, 1}, {0, 1, 0}, {0, 0, 1}};
  return op == kDiv ? div : op == kDvd ? dvd : op <= kDec || op == kMpl ? two : three;
}

struct LcCase {
  Op op;
  Pattern p;
  std::vector<Bytes> pre;  // each slot before the call
  unsigned nulls = 0;      // slots of capacity 0 passed as default-constructed spans
};

// Half the empty slots of a case become default-constructed spans. Those share their null
// pointer, so they are one array: the pattern names them all by the first.
inline unsigned DrawNulls(Source& g, const std::vector<Bytes>& pre, Pattern& p) {
  unsigned nulls = 0;
  for (std::size_t s = 0; s < pre.size(); ++s) {
    if (pre[s].empty() && g.Below(2) == 0) nulls |= 1u << s;
  }
  for (std::size_t& k : p) {
    if (nulls >> k & 1) k = static_cast<std::size_t>(std::countr_zero(nulls));
  }
  return nulls;
}

// The span of slot s of a case in an arena.
inline std::span<std::uint8_t> SpanOf(Arena& a, const Bytes& pre, unsigned nulls, std::size_t s) {
  return {nulls >> s & 1 ? nullptr : a.Slot(s), pre.size()};
}

// What the documentation says op leaves, from GMP's values.
inline Outcome Expect(const LcCase& c) {
  const Pattern& p = c.p;
  Outcome e{false, c.pre};
  const auto v = [&](std::size_t k) { return Val(c.pre[p[k]]); };
  const auto cap = [&](std::size_t k) { return c.pre[p[k]].size(); };
  const auto put = [&](std::size_t k, const mpz_class& x) { e.slots[p[k]] = Put(x, cap(k)); };
  const auto wrap = [&](std::size_t k, const mpz_class& x) {  // wrapped result, ok when it fits
    put(k, x);
    e.ok = x >= 0 && x < Pow256(cap(k));
  };
  const mpz_class x = v(0), y = v(1);
  const Op op = c.op;
  if (op == kCpy && Len(y) <= cap(0)) wrap(0, y);
  if (op == kInc) wrap(0, x + y);
  if (op == kDec) wrap(0, x - y);
  // z the same array as x or as y makes Add an Inc; else a too long x leaves z alone.
  if (op == kAdd && (p[2] == p[0] || p[2] == p[1] || Len(x) <= cap(2))) wrap(2, x + y);
  if (op == kSub && x >= y && Len(x - y) <= cap(2)) wrap(2, x - y);
  if (op == kMul || op == kMpl) {
    const std::size_t z = op == kMpl ? 0 : 2;
    const bool refused = p[z] == p[1] || (op == kMul && p[z] == p[0]);
    if (!refused && cap(z) + 1 >= Len(x) + Len(y)) wrap(z, x * y);
  }
  if (op == kDiv || op == kDvd) {  // Dvd(x, y, r) is Div(x, y, x, r)
    const std::size_t z = op == kDiv ? 2 : 0, r = op == kDiv ? 3 : 2;
    if (p[z] == p[1] || p[r] == p[z] || y == 0 || Len0(y) > LC::kDivMaxDivisor) return e;
    const mpz_class q = x / y;
    put(z, q < Pow256(cap(z)) ? q : 0);
    if (q < Pow256(cap(z)) && Len(x % y) <= cap(r)) wrap(r, x % y);
  }
  return e;
}

inline bool Call(Op op, const std::vector<std::span<std::uint8_t>>& a) {
  if (op == kCpy) return LC::Cpy(a[0], a[1]);
  if (op == kInc) return LC::Inc(a[0], a[1]);
  if (op == kDec) return LC::Dec(a[0], a[1]);
  if (op == kAdd) return LC::Add(a[0], a[1], a[2]);
  if (op == kSub) return LC::Sub(a[0], a[1], a[2]);
  if (op == kMul) return LC::Mul(a[0], a[1], a[2]);
  if (op == kMpl) return LC::Mpl(a[0], a[1]);
  if (op == kDiv) return LC::Div(a[0], a[1], a[2], a[3]);
  return LC::Dvd(a[0], a[1], a[2]);
}

// A case of a random operation: an aliasing pattern (all distinct half of the time), slots of
// capacity 0 to maxCap with structured values, the second operand often next to the first, and
// a third of the time the destination's capacity put where the result stops fitting.
inline LcCase Draw(Source& g, std::size_t maxCap) {
  LcCase c{static_cast<Op>(g.Below(kOps)), {}, {}};
  const auto& ps = Patterns(c.op);
  c.p = ps[g.Below(2) == 0 ? 0 : g.Below(ps.size())];
  c.pre.resize(*std::max_element(c.p.begin(), c.p.end()) + 1);
  // Now and then long division's limits: dividends long enough to move its window back to the
  // top of its buffer, divisors beyond LC::kDivMaxDivisor.
  if ((c.op == kDiv || c.op == kDvd) && g.Below(100) == 0) maxCap = 9000;
  for (std::size_t s = 0; s < c.pre.size(); ++s) {
    const std::size_t cap = g.Below(16) == 0 ? g.Below(3) : 1 + g.Below(maxCap);
    c.pre[s] = s == 1 ? Near(g, cap, c.pre[0]) : Value(g, cap);
  }
  if (g.Below(3) == 0) {
    const mpz_class x = Val(c.pre[c.p[0]]), y = Val(c.pre[c.p[1]]);
    const bool divides = c.op == kDiv || c.op == kDvd, rem = divides && g.Below(2) == 0;
    const std::size_t k = rem                                               ? c.p.size() - 1
                          : c.op == kDiv || (c.op >= kAdd && c.op <= kMul) ? 2
                                                                            : 0;
    std::size_t need = Len(x + y);
    if (c.op == kCpy) need = Len(y);
    if (c.op == kDec || c.op == kSub) need = Len(x > y ? x - y : y - x);
    if (c.op >= kMul && c.op <= kMpl) need = Len(x) + Len(y) - 1;
    if (divides && y != 0) need = rem ? Len(x % y) : Len0(x / y);
    need = std::max(need + g.Below(3), std::size_t{1}) - 1;
    const std::size_t d = c.p[k];  // a destination that is also an operand keeps its value
    if (d == c.p[0] || d == c.p[1]) need = std::max(need, Len0(Val(c.pre[d])));
    c.pre[d].resize(need, 0);
  }
  c.nulls = DrawNulls(g, c.pre, c.p);
  return c;
}

inline std::string Check(const LcCase& c) {
  std::string name = kOpName[c.op] + std::string(" pattern");
  for (const std::size_t s : c.p) name += " " + std::to_string(s);
  const Bytes &x = c.pre[c.p[0]], &y = c.pre[c.p[1]];
  const mpz_class a = Val(x), b = Val(y);
  // The read-only operations on the same operands.
  if (LC::Len0(x) != Len0(a) || LC::Len(x) != Len(a) || LC::Cmp(x, y) != cmp(a, b)) {
    return name + ": Len0, Len or Cmp of " + Hex(x) + " and " + Hex(y);
  }
  return Compare(name, c.pre, Expect(c), [&](Arena& ar) {
    std::vector<std::span<std::uint8_t>> spans;
    for (const std::size_t s : c.p) spans.push_back(SpanOf(ar, c.pre[s], c.nulls, s));
    return Call(c.op, spans);
  });
}

// ---- LCC and LCC0 -----------------------------------------------------------------------------

enum Conv { kMkCard, kMkStr, kMkCard0, kMkStr0 };
inline constexpr const char* kConvName[] = {"LCC.MkCard", "LCC.MkStr", "LCC0.MkCard", "LCC0.MkStr"};

struct ConvCase {
  Conv conv;
  int b;  // the base for LCC
  Bytes x;
  Bytes s;  // the whole character array
  unsigned nulls = 0;
};

inline Outcome Expect(const ConvCase& c) {
  Outcome e{false, {c.x, c.s}};
  Bytes& x = e.slots[0];
  Bytes& s = e.slots[1];
  const auto n = static_cast<std::size_t>(std::find(c.s.begin(), c.s.end(), 0) - c.s.begin());
  const bool base = c.b >= 2 && c.b <= 36;
  const auto text = [&](const std::string& t) {  // s := t, a terminator when there is room
    std::copy(t.begin(), t.end(), s.begin());
    if (t.size() < s.size()) s[t.size()] = 0;
    e.ok = true;
  };
  if (c.conv == kMkCard && base && n != 0) {  // Horner's scheme, failing where it overflows
    mpz_class v = 0;
    std::size_t i = 0;
    for (; i < n && DigitOf(static_cast<char>(c.s[i])) < c.b; ++i) {
      if ((v *= c.b) >= Pow256(x.size()) ||
          (v += DigitOf(static_cast<char>(c.s[i]))) >= Pow256(x.size()))
        break;
    }
    x = Put(v, x.size());
    e.ok = i == n;
  }
  if (c.conv == kMkStr && base && (Len0(Val(c.x)) <= LCC::kStrMaxBytes || (c.b & (c.b - 1)) == 0)) {
    const std::string t = Str(Val(c.x), c.b);
    std::copy_n(t.rbegin(), std::min(t.size(), s.size()), s.begin());  // lowest digits first
    if (t.size() <= s.size()) text(t);
  }
  if (c.conv == kMkCard0 && n != 0) {  // the last 2n characters, from the right; a bad one is 0
    e.ok = true;
    for (std::size_t j = 0; j < 2 * x.size(); ++j) {
      int d = j < n ? DigitOf(static_cast<char>(c.s[n - 1 - j])) : 0;
      if (d >= 16) d = 0, e.ok = false;
      x[j / 2] = static_cast<std::uint8_t>(j % 2 == 0 ? d : x[j / 2] | d << 4);
    }
  }
  if (c.conv == kMkStr0) {
    const std::string t = Str(Val(c.x), 16);
    std::copy_n(t.begin(), std::min(t.size(), s.size()), s.begin());  // the top digits first
    if (t.size() <= s.size() && !s.empty()) text(t);
  }
  return e;
}

// A conversion case. Texts are GMP's digits of structured values, of values next to the
// capacity and of powers of the base, with leading zeros, either letter case, sometimes a
// character that is no digit (a blank, a sign, '/', ':', '@', '[', '`', '{', a letter too high,
// a code above 127), ended by a terminator with junk behind it or filling their array. A quarter
// of the cases take the self-test's shape: base 16, x of 1 to 8 bytes, s of 8 or more.
inline ConvCase Draw(Source& g) {
  ConvCase c{static_cast<Conv>(g.Below(4)), static_cast<int>(2 + g.Below(35)), {}, {}};
  const bool shape = g.Below(4) == 0, toText = c.conv == kMkStr || c.conv == kMkStr0;
  if (shape) c.b = 16;
  if (g.Below(40) == 0) c.b = std::vector<int>{0, 1, 37, 255}[g.Below(4)];
  const int b = c.conv <= kMkStr && c.b >= 2 && c.b <= 36 ? c.b : 16;
  const std::size_t cap = g.Below(30) == 0    ? 0
                          : shape             ? 1 + g.Below(8)
                          : g.Below(400) == 0 ? LC::kStackBytes - 4 + g.Below(8)
                                              : 1 + g.Below(130);
  mpz_class v = Val(Value(g, cap + (toText ? 0 : g.Below(3))));
  if (g.Below(4) == 0) v = Pow256(cap) + static_cast<long>(g.Below(3)) - 1;
  if (g.Below(8) == 0)
    mpz_ui_pow_ui(v.get_mpz_t(), static_cast<unsigned long>(b),
                  g.Below(8 * cap / std::bit_width(unsigned(b)) + 3));
  if (toText) {
    c.x = Put(v, cap);
    const std::size_t len = Str(Val(c.x), b).size() + g.Below(3) - 1;
    c.s.resize(g.Below(3) == 0            ? g.Below(300)
               : shape && g.Below(2) == 0 ? 8 * (1 + g.Below(16))
                                          : len);
    for (auto& ch : c.s) ch = static_cast<std::uint8_t>(g.Next());
  } else {
    c.x.resize(cap);
    for (auto& byte : c.x) byte = static_cast<std::uint8_t>(g.Next());  // what the call overwrites
    std::string t = std::string(g.Below(4) == 0 ? g.Below(4) : 0, '0') + Str(v, b);
    for (char& ch : t) {
      if (g.Below(2) == 0 && ch >= 'A') ch = static_cast<char>(ch + 32);
    }
    const char bad =
        g.Below(2) == 0 ? static_cast<char>(g.Next()) : " +-/:@[`{\xe9gGzZ"[g.Below(14)];
    if (g.Below(4) == 0) t.insert(g.Below(t.size() + 1), 1, bad);
    if (g.Below(20) == 0) t.clear();
    c.s = Bytes(t.begin(), t.end());
    c.s.resize(g.Below(3) == 0 ? t.size() : t.size() + 1 + g.Below(shape ? 200 : 8), 0);
    if (shape) c.s.resize(std::max<std::size_t>(c.s.size(), 8), 0);
    for (std::size_t i = t.size() + 1; i < c.s.size(); ++i)
      c.s[i] = static_cast<std::uint8_t>("7fZ\xff\xf7\xc9"[g.Below(6)]);
  }
  Pattern none;
  c.nulls = DrawNulls(g, {c.x, c.s}, none);
  return c;
}

inline std::string Check(const ConvCase& c) {
  const std::string what = kConvName[c.conv] + std::string(" base ") + std::to_string(c.b) +
                           " s '" + std::string(c.s.begin(), c.s.end()) + "'";
  return Compare(what, {c.x, c.s}, Expect(c), [&](Arena& a) {
    const std::span<std::uint8_t> x = SpanOf(a, c.x, c.nulls, 0);
    const std::span<char> s(reinterpret_cast<char*>(SpanOf(a, c.s, c.nulls, 1).data()), c.s.size());
    const auto b = static_cast<std::uint8_t>(c.b);
    if (c.conv == kMkCard) return LCC::MkCard(x, s, b);
    if (c.conv == kMkStr) return LCC::MkStr(s, x, b);
    if (c.conv == kMkCard0) return LCC0::MkCard(x, s);
    return LCC0::MkStr(s, x);
  });
}

}  // namespace props
