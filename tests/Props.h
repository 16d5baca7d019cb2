// The contracts of LC, LCC and LCC0 as properties, written once: the random tests draw cases from
// a Source and check them here. Every expected flag and byte, after success and after failure, is
// derived from GMP's values and the documented failure rules
// (the result modulo 256^capacity, unchanged, all zero); the arrays of a call sit between poison
// bytes that must survive, and parameters that are the same array share one.
#pragma once

#include <gmpxx.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "core/LC.h"
#include "core/LCC.h"
#include "core/LCC0.h"

namespace props {

using Bytes = std::vector<std::uint8_t>;

// Words from a seeded generator; while fed holds bytes (a fuzzer's input), up to eight of them.
struct Source : std::mt19937_64 {
  using std::mt19937_64::mt19937_64;
  std::span<const std::uint8_t> fed;
  std::uint64_t Next() {
    std::uint64_t v = fed.empty() ? (*this)() : 0;
    for (int i = 0; i < 8 && !fed.empty(); ++i, fed = fed.subspan(1)) v = v << 8 | fed[0];
    return v;
  }
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
};

// ---- GMP's side -------------------------------------------------------------------------------

inline mpz_class Val(const Bytes& x) {
  mpz_class v;
  if (!x.empty()) mpz_import(v.get_mpz_t(), x.size(), -1, 1, 0, 0, x.data());
  return v;
}

inline mpz_class Pow256(std::size_t n) {
  return mpz_class(1) << static_cast<mp_bitcnt_t>(8 * n);
}

// v modulo 256^cap (negative values wrap), least significant byte first.
inline Bytes Put(const mpz_class& v, std::size_t cap) {
  mpz_class w;
  mpz_fdiv_r_2exp(w.get_mpz_t(), v.get_mpz_t(), 8 * cap);
  Bytes x(cap + 8, 0);
  mpz_export(x.data(), nullptr, -1, 1, 0, 0, w.get_mpz_t());
  x.resize(cap);
  return x;
}

// Significant bytes: Len0 counts none for zero, Len one.
inline std::size_t Len0(const mpz_class& v) {
  return v == 0 ? 0 : (mpz_sizeinbase(v.get_mpz_t(), 2) + 7) / 8;
}
inline std::size_t Len(const mpz_class& v) {
  return std::max<std::size_t>(Len0(v), 1);
}

// Upper-case digits of v in base b, as GMP writes them.
inline std::string Str(const mpz_class& v, int b) {
  std::string s(mpz_sizeinbase(v.get_mpz_t(), b) + 2, '\0');
  mpz_get_str(s.data(), -b, v.get_mpz_t());
  return s.substr(0, s.find('\0'));
}

// The digit value of c, 0 to 35 for 0-9 and A-Z in either case, 36 for every other character.
inline int DigitOf(std::uint8_t c) {
  const char* k = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  const char* f = c != 0 ? std::strchr(k, c >= 'a' && c <= 'z' ? c - 32 : c) : nullptr;
  return f != nullptr ? static_cast<int>(f - k) : 36;
}

// ---- Operands ---------------------------------------------------------------------------------

// A value of cap bytes. Uniform random bytes almost never give a zero or all-ones word, so most
// values are built from runs of one and zero bits of 1 to 256 bits (GMP's mpn_random2), or are
// all ones, or a lone top bit with a few low bits; the significant length lands anywhere, at
// the capacity, or next to a 64-bit boundary.
inline Bytes Value(Source& g, std::size_t cap) {
  Bytes x(cap, 0);
  const std::size_t max = 8 * cap;
  std::size_t bits = g.Below(max + 1);
  if (g.Below(3) == 0) bits = max - std::min<std::size_t>(max, g.Below(9));
  if (g.Below(4) == 0) bits = std::min(max, 64 * (1 + g.Below(cap / 8 + 1)) + g.Below(3) - 1);
  const std::size_t shape = g.Below(5);  // 0 uniform bits, 1 all ones, 2 a top bit, else runs
  bool one = true;
  for (std::size_t i = bits; i > 0;) {
    std::size_t run = shape == 0 ? 1 : shape > 2 ? 1 + g.Below(std::size_t{2} << g.Below(8)) : i;
    if (shape == 0) one = g.Below(2) != 0;
    if (shape == 2 && i == bits) run = 1;
    for (; run > 0 && i > 0; --run, --i) {
      if (one) x[(i - 1) / 8] = static_cast<std::uint8_t>(x[(i - 1) / 8] | 1u << (i - 1) % 8);
    }
    one = shape == 1 || (shape > 2 && !one);
  }
  if (shape == 2 && bits > 0) x[0] = static_cast<std::uint8_t>(x[0] | g.Below(4));
  return x;
}

// A second operand for other: often its neighbour (other + d) or its complement to the capacity
// (256^n - other + d, d in -2..2), where carries and borrows run through every limb.
inline Bytes Near(Source& g, std::size_t cap, const Bytes& other) {
  const mpz_class d = static_cast<long>(g.Below(5)) - 2;
  const std::size_t how = g.Below(4);
  if (how == 0) return Put(Val(other) + d, cap);
  if (how == 1) return Put(Pow256(std::min(cap, other.size())) - Val(other) + d, cap);
  return Value(g, cap);
}

// ---- Calls and their outcomes -----------------------------------------------------------------

// The arrays of one call, each between poison bytes in one buffer; slots in nulls (all empty)
// are passed as default-constructed spans. Equal buffers: equal slots and intact poison.
struct Arena {
  Arena(const std::vector<Bytes>& slots, unsigned nulls = 0) : nulls(nulls) {
    for (const Bytes& s : slots) {
      buf.resize(buf.size() + 16, 0xA5);
      at.push_back(buf.size());
      buf.insert(buf.end(), s.begin(), s.end());
    }
    buf.resize(buf.size() + 16, 0xA5);
  }
  std::span<std::uint8_t> Span(std::size_t i, std::size_t size) {
    return {nulls >> i & 1 ? nullptr : buf.data() + at[i], size};
  }
  Bytes buf;
  std::vector<std::size_t> at;
  unsigned nulls;
};

struct Outcome {
  bool ok = false;
  std::vector<Bytes> slots;  // every slot after the call
};

// Half the empty slots of a case become default-constructed spans. Those share their null
// pointer, so they are one array: the pattern p names them all by the first.
inline unsigned DrawNulls(Source& g, const std::vector<Bytes>& pre, std::vector<std::size_t>& p) {
  unsigned nulls = 0;
  for (std::size_t s = 0; s < pre.size(); ++s)
    nulls |= pre[s].empty() && g.Below(2) == 0 ? 1u << s : 0;
  for (std::size_t& k : p)
    k = nulls >> k & 1 ? static_cast<std::size_t>(std::countr_zero(nulls)) : k;
  return nulls;
}

// Runs a call on the arena of pre and compares flag, slots and poison with e.
template <typename Call>
std::string Compare(const std::string& what, const std::vector<Bytes>& pre, unsigned nulls,
                    const Outcome& e, Call call) {
  Arena a(pre, nulls);
  const bool ok = call(a);
  if (ok == e.ok && a.buf == Arena(e.slots).buf) return {};
  std::string m = what + ": flag " + std::to_string(ok) + ", expected " + std::to_string(e.ok);
  for (std::size_t s = 0; s < pre.size(); ++s) m += ", slot " + Str(Val(e.slots[s]), 16);
  return m + " expected";
}

// ---- LC -------------------------------------------------------------------------------------

enum Op { kCpy, kInc, kDec, kAdd, kSub, kMul, kMpl, kDiv, kDvd, kOps };
inline constexpr const char* kOpName[] = {"Cpy", "Inc", "Dec", "Add", "Sub",
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

// What the documentation says op leaves, from GMP's values.
inline Outcome Expect(const LcCase& c) {
  const Pattern& p = c.p;
  Outcome e{false, c.pre};
  const auto cap = [&](std::size_t k) { return c.pre[p[k]].size(); };
  const auto put = [&](std::size_t k, const mpz_class& x) { e.slots[p[k]] = Put(x, cap(k)); };
  const auto wrap = [&](std::size_t k, const mpz_class& x) {  // wrapped result, ok when it fits
    put(k, x);
    e.ok = x >= 0 && x < Pow256(cap(k));
  };
  const mpz_class x = Val(c.pre[p[0]]), y = Val(c.pre[p[1]]);
  const Op op = c.op;
  if (op == kCpy && Len(y) <= cap(0)) wrap(0, y);
  if (op == kInc) wrap(0, x + y);
  if (op == kDec) wrap(0, x - y);
  // z the same array as x or as y makes Add an Inc; else a too long x leaves z alone.
  if (op == kAdd && (p[2] == p[0] || p[2] == p[1] || Len(x) <= cap(2))) wrap(2, x + y);
  if (op == kSub && x >= y && Len(x - y) <= cap(2)) wrap(2, x - y);
  const std::size_t z = op == kMpl || op == kDvd ? 0 : 2, r = op == kDiv ? 3 : 2;
  if ((op == kMul || op == kMpl) && p[z] != p[1] && (op == kMpl || p[z] != p[0]) &&
      cap(z) + 1 >= Len(x) + Len(y)) {
    wrap(z, x * y);
  }
  // Dvd(x, y, r) is Div(x, y, x, r).
  if ((op == kDiv || op == kDvd) && p[z] != p[1] && p[r] != p[z] && y != 0 &&
      Len0(y) <= LC::kDivMaxDivisor) {
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
  const bool divides = c.op == kDiv || c.op == kDvd;
  // Now and then operands beyond the stack buffers: dividends long enough to move long division's
  // window back to the top of its buffer, divisors beyond LC::kDivMaxDivisor, factors too long
  // for the copies of multiplication.
  if ((divides || c.op == kMul || c.op == kMpl) && g.Below(100) == 0) maxCap = 9000;
  for (std::size_t s = 0; s < c.pre.size(); ++s) {
    const std::size_t cap = g.Below(16) == 0 ? g.Below(3) : 1 + g.Below(maxCap);
    c.pre[s] = s == 1 ? Near(g, cap, c.pre[0]) : Value(g, cap);
  }
  // Now and then a divisor whose top limbs d1, d0 meet the edge of its reciprocal's refinement:
  // d1 * v + d0 = d1 modulo 2^64, with v the reciprocal of d1; random divisors do once in 2^64.
  if (divides && g.Below(8) == 0) {
    const mpz_class b = Pow256(8), d1 = b / 2 + Val(Value(g, 8)) % (b / 2);
    mpz_class d0 = (d1 - d1 * ((b * b - 1) / d1 - b)) % b;
    if (d0 < 0) d0 += b;
    const std::size_t k = 2 + g.Below(maxCap / 8);  // the divisor's limbs
    c.pre[1] = Put(((d1 * b + d0) << 64 * (k - 2)) + Val(Value(g, 8 * (k - 2))), 8 * k);
  }
  if (g.Below(3) == 0) {
    const mpz_class x = Val(c.pre[c.p[0]]), y = Val(c.pre[c.p[1]]);
    const bool rem = divides && g.Below(2) == 0;
    const std::size_t d = c.p[rem                                              ? c.p.size() - 1
                              : c.op == kDiv || (c.op >= kAdd && c.op <= kMul) ? 2
                                                                               : 0];
    std::size_t need = c.op == kCpy                   ? Len(y)
                       : c.op == kDec || c.op == kSub ? Len(x > y ? x - y : y - x)
                       : c.op == kMul || c.op == kMpl ? Len(x) + Len(y) - 1
                       : divides && y != 0            ? rem ? Len(x % y) : Len0(x / y)
                                                      : Len(x + y);
    need = std::max(need + g.Below(3), std::size_t{1}) - 1;
    // A destination that is also an operand keeps its value.
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
  // The read-only operations on the same operands.
  if (LC::Len0(x) != Len0(Val(x)) || LC::Len(x) != Len(Val(x)) ||
      LC::Cmp(x, y) != cmp(Val(x), Val(y)))
    return name + ": Len0, Len or Cmp of " + Str(Val(x), 16) + " and " + Str(Val(y), 16);
  return Compare(name, c.pre, c.nulls, Expect(c), [&](Arena& a) {
    std::vector<std::span<std::uint8_t>> spans;
    for (const std::size_t s : c.p) spans.push_back(a.Span(s, c.pre[s].size()));
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
  Bytes &x = e.slots[0], &s = e.slots[1];
  const auto n = static_cast<std::size_t>(std::find(c.s.begin(), c.s.end(), 0) - c.s.begin());
  const bool base = c.b >= 2 && c.b <= 36;
  // s := the digits t; lowest first (MkStr) or highest first (MkStr0) when they do not fit.
  const auto text = [&](const std::string& t, bool lowest) {
    const std::size_t m = std::min(t.size(), s.size());
    lowest ? std::copy_n(t.rbegin(), m, s.begin()) : std::copy_n(t.begin(), m, s.begin());
    if (t.size() > s.size() || s.empty()) return;
    std::copy(t.begin(), t.end(), s.begin());
    if (t.size() < s.size()) s[t.size()] = 0;
    e.ok = true;
  };
  if (c.conv == kMkCard && base && n != 0) {  // Horner's scheme, failing where it overflows
    mpz_class v = 0;
    std::size_t i = 0;
    for (; i < n && DigitOf(c.s[i]) < c.b; ++i) {
      if ((v *= c.b) >= Pow256(x.size()) || (v += DigitOf(c.s[i])) >= Pow256(x.size())) break;
    }
    x = Put(v, x.size());
    e.ok = i == n;
  }
  if (c.conv == kMkStr && base && (Len0(Val(c.x)) <= LCC::kStrMaxBytes || (c.b & (c.b - 1)) == 0))
    text(Str(Val(c.x), c.b), true);
  if (c.conv == kMkCard0 && n != 0) {  // the last 2n characters, from the right; a bad one is 0
    e.ok = true;
    for (std::size_t j = 0; j < 2 * x.size(); ++j) {
      int d = j < n ? DigitOf(c.s[n - 1 - j]) : 0;
      if (d >= 16) d = 0, e.ok = false;
      x[j / 2] = static_cast<std::uint8_t>(j % 2 == 0 ? d : x[j / 2] | d << 4);
    }
  }
  if (c.conv == kMkStr0) text(Str(Val(c.x), 16), false);
  return e;
}

// A conversion case. Texts are GMP's digits of structured values, of values next to the
// capacity and of powers of the base, with leading zeros, either letter case, sometimes a
// character that is no digit (a blank, a sign, '/', ':', '@', '[', '`', '{', 0x01, a letter too
// high, a code above 127), ended by a terminator with junk behind it or filling their array. A
// quarter of the cases take the self-test's shape: base 16, x of 1 to 8 bytes, s of 8 or more.
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
    for (char& ch : t) ch = g.Below(2) == 0 && ch >= 'A' ? static_cast<char>(ch + 32) : ch;
    const char bad =
        g.Below(2) == 0 ? static_cast<char>(g.Next()) : " +-/:@[`{\x01\xe9gGzZ"[g.Below(15)];
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
  return Compare(what, {c.x, c.s}, c.nulls, Expect(c), [&](Arena& a) {
    const std::span<std::uint8_t> x = a.Span(0, c.x.size());
    const std::span<char> s(reinterpret_cast<char*>(a.Span(1, c.s.size()).data()), c.s.size());
    const auto b = static_cast<std::uint8_t>(c.b);
    if (c.conv == kMkCard) return LCC::MkCard(x, s, b);
    if (c.conv == kMkStr) return LCC::MkStr(s, x, b);
    if (c.conv == kMkCard0) return LCC0::MkCard(x, s);
    return LCC0::MkStr(s, x);
  });
}

}  // namespace props
