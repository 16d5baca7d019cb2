// The word layer of the computation, internal to it: 64-bit limbs with their carries, borrows
// and products, and cardinals loaded and stored in words. A cardinal is a little-endian byte
// array on every host: a little-endian host loads a word with memcpy as it stands, a big-endian
// one swaps its bytes. This file is the only one that knows the host's byte order and word size.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

static_assert(std::endian::native == std::endian::little || std::endian::native == std::endian::big,
              "a word's bytes are in one order or its reverse");

namespace Word {

using Limb = std::uint64_t;

// ---- The double-width product, sum and division ---------------------------------------------
// Everything wider than a limb is built on these three. A compiler with a 128-bit integer type
// (gcc and clang on 64-bit targets) does them natively; elsewhere they are put together from
// 32-bit halves, as portable multi-precision libraries do.

#ifdef __SIZEOF_INT128__

__extension__ typedef unsigned __int128 Wide;

// x * y: the high limb returned, the low one in lo.
constexpr Limb MulWide(Limb x, Limb y, Limb& lo) {
  const Wide p = static_cast<Wide>(x) * y;
  lo = static_cast<Limb>(p);
  return static_cast<Limb>(p >> 64);
}

// (hi, lo) += (h, l) modulo 2^128; returns the carry out of hi.
constexpr Limb AddWide(Limb& hi, Limb& lo, Limb h, Limb l) {
  const Wide a = static_cast<Wide>(hi) << 64 | lo;
  const Wide t = a + (static_cast<Wide>(h) << 64 | l);
  lo = static_cast<Limb>(t);
  hi = static_cast<Limb>(t >> 64);
  return t < a;
}

// (hi, lo) -= (h, l) modulo 2^128; returns the borrow out of hi.
constexpr Limb SubWide(Limb& hi, Limb& lo, Limb h, Limb l) {
  const Wide a = static_cast<Wide>(hi) << 64 | lo, b = static_cast<Wide>(h) << 64 | l;
  const Wide t = a - b;
  lo = static_cast<Limb>(t);
  hi = static_cast<Limb>(t >> 64);
  return a < b;
}

// (u1 * 2^64 + u0) div d; requires u1 < d.
constexpr Limb DivWide(Limb u1, Limb u0, Limb d) {
  return static_cast<Limb>(((static_cast<Wide>(u1) << 64) | u0) / d);
}

#else

constexpr Limb kLow32 = 0xFFFFFFFFu;

constexpr Limb MulWide(Limb x, Limb y, Limb& lo) {
  const Limb xl = x & kLow32, xh = x >> 32, yl = y & kLow32, yh = y >> 32;
  const Limb ll = xl * yl, lh = xl * yh, hl = xh * yl;
  const Limb mid = (ll >> 32) + (lh & kLow32) + (hl & kLow32);  // below 3 * 2^32
  lo = mid << 32 | (ll & kLow32);
  return xh * yh + (lh >> 32) + (hl >> 32) + (mid >> 32);
}

constexpr Limb AddWide(Limb& hi, Limb& lo, Limb h, Limb l) {
  lo += l;
  const Limb t = hi + h;
  hi = t + (lo < l);
  return (t < h) | (hi < t);
}

constexpr Limb SubWide(Limb& hi, Limb& lo, Limb h, Limb l) {
  const Limb b = lo < l;
  lo -= l;
  const Limb t = hi - h;
  const Limb borrow = (hi < h) | (t < b);
  hi = t - b;
  return borrow;
}

// Two steps of 32-bit digits with a normalised divisor, after H. S. Warren, "Hacker's Delight"
// (divlu): each digit's estimate from the divisor's top half is at most two too large.
constexpr Limb DivWide(Limb u1, Limb u0, Limb d) {
  const auto s = static_cast<unsigned>(std::countl_zero(d));
  d <<= s;
  u1 = u1 << s | ((u0 >> 1) >> (63 - s));
  u0 <<= s;
  const Limb d1 = d >> 32, d0 = d & kLow32;
  // The digit of (u, next) by d, where u < d; u := the remainder.
  const auto digit = [d, d1, d0](Limb& u, Limb next) {
    Limb q = u / d1, r = u - q * d1;
    while (q >> 32 != 0 || q * d0 > (r << 32 | next)) {
      --q;
      r += d1;
      if (r >> 32 != 0) break;
    }
    u = (u << 32 | next) - q * d;
    return q;
  };
  const Limb q1 = digit(u1, u0 >> 32);
  return q1 << 32 | digit(u1, u0 & kLow32);
}

#endif

// x + y + c (c is 0 or 1); c := the carry out. The incoming carry goes on only through a sum
// of all ones, so the chain from carry to carry is one select (a cmov), not an add and a test.
inline Limb AddC(Limb x, Limb y, Limb& c) {
  const Limb s = x + y;
  const Limb t = s + c;
  c = s == ~Limb{0} ? c : static_cast<Limb>(s < x);
  return t;
}

// x - y - b (b is 0 or 1); b := the borrow out.
inline Limb SubB(Limb x, Limb y, Limb& b) {
  const Limb d = x - y;
  const Limb t = d - b;
  b = static_cast<Limb>(x < y) | static_cast<Limb>(d < b);
  return t;
}

// The low limb of x * y + a + c; c := its high limb. The sum always fits two limbs.
inline Limb MulAdd(Limb x, Limb y, Limb a, Limb& c) {
  Limb lo;
  Limb hi = MulWide(x, y, lo);
  lo += a;
  hi += lo < a;
  lo += c;
  hi += lo < c;
  c = hi;
  return lo;
}

// The low limb of x * y + c; c := its high limb: one add-with-carry chain, for a row of
// limbs multiplied by one (the row of a subtraction is better served by MulAdd).
inline Limb MulCarry(Limb x, Limb y, Limb& c) {
  Limb lo;
  Limb hi = MulWide(x, y, lo);
  AddWide(hi, lo, 0, c);
  c = hi;
  return lo;
}

// (c2, c1, c0) += x * y, a step of one column's sum in Comba's multiplication; the sum must fit
// three limbs.
inline void MulAcc(Limb x, Limb y, Limb& c0, Limb& c1, Limb& c2) {
  Limb lo;
  const Limb hi = MulWide(x, y, lo);
  c2 += AddWide(c1, c0, hi, lo);
}

// For 0 <= s < 64: what a shift of the two-limb (hi, lo) by s moves from one limb into the
// other. Left: lo >> (64 - s); right: hi << (64 - s); both 0 for s = 0, where a shift by 64
// would be undefined.
inline Limb IntoHigh(Limb lo, unsigned s) {
  return (lo >> 1) >> (63 - s);
}
inline Limb IntoLow(Limb hi, unsigned s) {
  return (hi << 1) << (63 - s);
}

// The bytes of x in reverse order.
constexpr std::uint16_t Swap(std::uint16_t x) {
  return __builtin_bswap16(x);
}
constexpr std::uint32_t Swap(std::uint32_t x) {
  return __builtin_bswap32(x);
}
constexpr Limb Swap(Limb x) {
  return __builtin_bswap64(x);
}

// x as a little-endian number: x itself on a little-endian host, its bytes swapped otherwise.
template <typename T>
constexpr T Little(T x) {
  if constexpr (std::endian::native == std::endian::big) return Swap(x);
  return x;
}

// The unsigned number of type T (16, 32 or 64 bits) stored least significant byte first at p.
template <typename T>
inline T Ld(const void* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return Little(v);
}

// Stores v at p, least significant byte first.
template <typename T>
inline void St(void* p, T v) {
  v = Little(v);
  std::memcpy(p, &v, sizeof v);
}

// The n bytes (0 <= n <= 8) at p as a number. Two overlapping loads instead of a loop: the
// overlapped bytes land on the same bit positions in both; a width of 8, 4 or 2 is one load.
inline Limb LdN(const std::uint8_t* p, std::size_t n) {
  if (n >= 4) return Ld<std::uint32_t>(p) | Limb{Ld<std::uint32_t>(p + n - 4)} << (8 * (n - 4));
  if (n >= 2) return Ld<std::uint16_t>(p) | Limb{Ld<std::uint16_t>(p + n - 2)} << (8 * (n - 2));
  return n != 0 ? p[0] : 0;
}

// Stores the low n bytes (0 <= n <= 8) of v at p; nothing beyond p[n - 1] is written.
inline void StN(std::uint8_t* p, std::size_t n, Limb v) {
  if (n >= 4) {
    St(p, static_cast<std::uint32_t>(v));
    St(p + n - 4, static_cast<std::uint32_t>(v >> (8 * (n - 4))));
  } else if (n >= 2) {
    St(p, static_cast<std::uint16_t>(v));
    St(p + n - 2, static_cast<std::uint16_t>(v >> (8 * (n - 2))));
  } else if (n != 0) {
    p[0] = static_cast<std::uint8_t>(v);
  }
}

// Limb k of the n-byte array at p, zero at and above the array's end.
inline Limb LdLimb(const std::uint8_t* p, std::size_t n, std::size_t k) {
  const std::size_t b = 8 * k;
  if (b + 8 <= n) return Ld<Limb>(p + b);
  return b < n ? LdN(p + b, n - b) : 0;
}

// Stores limb k of the n-byte array at p, dropping the bytes beyond the array.
inline void StLimb(std::uint8_t* p, std::size_t n, std::size_t k, Limb v) {
  const std::size_t b = 8 * k;
  if (b + 8 <= n) {
    St(p + b, v);
  } else if (b < n) {
    StN(p + b, n - b, v);
  }
}

inline constexpr std::size_t Limbs(std::size_t bytes) {
  return (bytes + 7) / 8;
}

// L[0 .. Limbs(n)) := the n bytes at p, the top limb zero-extended.
inline void LdLimbs(Limb* L, const std::uint8_t* p, std::size_t n) {
  if (n == 0) return;  // an empty array may have no address to copy from
  if constexpr (std::endian::native == std::endian::little) {
    L[Limbs(n) - 1] = 0;
    std::memcpy(L, p, n);
  } else {
    for (std::size_t k = 0; k < Limbs(n); ++k) L[k] = LdLimb(p, n, k);
  }
}

// The n bytes at p := the low n bytes of L[0 .. Limbs(n)).
inline void StLimbs(std::uint8_t* p, std::size_t n, const Limb* L) {
  if (n == 0) return;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, L, n);
  } else {
    for (std::size_t k = 0; k < Limbs(n); ++k) StLimb(p, n, k, L[k]);
  }
}

// z := x + y on the n >= 1 whole limbs stored at each address; returns the carry out of the top
// limb. Each limb of x and y is read before the same limb of z is written, so z may be the same
// array as x or y.
#if defined(__x86_64__) && defined(__LP64__) && defined(__GNUC__)

// One add-with-carry chain, which compilers do not make of the portable loop: an odd limb first,
// then pairs, with an index that counts up to zero by inc, which leaves the carry flag alone.
inline Limb AddLimbs(std::uint8_t* z, const std::uint8_t* x, const std::uint8_t* y, std::size_t n) {
  Limb t, u;
  std::uint8_t c;
  auto i = -static_cast<std::ptrdiff_t>(n);  // the arrays are addressed from their ends
  __asm__ volatile(
      "testb $1, %b[i]\n\t"  // clears the carry flag
      "jz 2f\n\t"
      "movq (%[x],%[i],8), %[t]\n\t"
      "addq (%[y],%[i],8), %[t]\n\t"
      "movq %[t], (%[z],%[i],8)\n\t"
      "incq %[i]\n\t"
      "jz 3f\n"
      "2:\n\t"
      "movq (%[x],%[i],8), %[t]\n\t"
      "movq 8(%[x],%[i],8), %[u]\n\t"
      "adcq (%[y],%[i],8), %[t]\n\t"
      "adcq 8(%[y],%[i],8), %[u]\n\t"
      "movq %[t], (%[z],%[i],8)\n\t"
      "movq %[u], 8(%[z],%[i],8)\n\t"
      "incq %[i]\n\t"
      "incq %[i]\n\t"
      "jnz 2b\n"
      "3:\n\t"
      "setc %[c]"
      : [i] "+r"(i), [t] "=&r"(t), [u] "=&r"(u), [c] "=r"(c)
      : [x] "r"(x + 8 * n), [y] "r"(y + 8 * n), [z] "r"(z + 8 * n)
      : "cc", "memory");
  return c;
}

#else

inline Limb AddLimbs(std::uint8_t* z, const std::uint8_t* x, const std::uint8_t* y, std::size_t n) {
  Limb c = 0;
  for (std::size_t i = 0; i < 8 * n; i += 8) St(z + i, AddC(Ld<Limb>(x + i), Ld<Limb>(y + i), c));
  return c;
}

#endif

// Division of a two-limb number by a normalised limb d (top bit set) with a precomputed
// reciprocal, after N. Moeller and T. Granlund, "Improved division by invariant integers".
struct Reciprocal {
  Limb d, v;
  constexpr explicit Reciprocal(Limb dn) : d(dn), v(DivWide(~dn, ~Limb{0}, dn)) {}

  // (u1 * 2^64 + u0) div d and mod d; requires u1 < d.
  constexpr Limb Divide(Limb u1, Limb u0, Limb& r) const {
    // (q1, q0) := v * u1 + (u1 + 1, u0), modulo 2^128.
    Limb q0 = 0;
    Limb q1 = MulWide(v, u1, q0);
    AddWide(q1, q0, u1 + 1, u0);
    Limb rr = u0 - q1 * d;
    if (rr > q0) {
      --q1;
      rr += d;
    }
    if (rr >= d) {
      ++q1;
      rr -= d;
    }
    r = rr;
    return q1;
  }
};

// Division of a three-limb number by a normalised two-limb one, (d1, d0) with the top bit of d1
// set, with the precomputed reciprocal v = floor((2^192 - 1) / (d1 * 2^64 + d0)) - 2^64;
// algorithms 5 and 6 of the same paper. Its quotient is exact, and the top two limbs of the
// remainder come with it.
struct Reciprocal3by2 {
  Limb d1, d0, v;
  Reciprocal3by2(Limb hi, Limb lo) : d1(hi), d0(lo), v(Reciprocal(hi).v) {
    // v starts as the reciprocal of d1 alone and is stepped down to take d0 in.
    Limb p = d1 * v + d0;
    if (p < d0) {
      --v;
      if (p >= d1) {
        --v;
        p -= d1;
      }
      p -= d1;
    }
    Limb t0 = 0;
    const Limb t1 = MulWide(v, d0, t0);
    p += t1;
    if (p < t1) {
      --v;
      if (p > d1 || (p == d1 && t0 >= d0)) --v;
    }
  }

  // (u2, u1, u0) div (d1, d0), the remainder into (r1, r0); requires (u2, u1) < (d1, d0).
  Limb Divide(Limb u2, Limb u1, Limb u0, Limb& r1, Limb& r0) const {
    // (q, q0) := v * u2 + (u2, u1).
    Limb q0 = 0;
    Limb q = MulWide(v, u2, q0);
    AddWide(q, q0, u2, u1);
    // (r1, r0) := (u1 - q * d1, u0) - q * d0 - (d1, d0), modulo 2^128.
    Limb t0 = 0;
    const Limb t1 = MulWide(d0, q, t0);
    r1 = u1 - q * d1;
    r0 = u0;
    SubWide(r1, r0, t1, t0);
    SubWide(r1, r0, d1, d0);
    ++q;
    if (r1 >= q0) {
      --q;
      AddWide(r1, r0, d1, d0);
    }
    if (Limb h = r1, l = r0; !SubWide(h, l, d1, d0)) [[unlikely]] {  // (r1, r0) >= (d1, d0)
      ++q;
      r1 = h;
      r0 = l;
    }
    return q;
  }
};

}  // namespace Word
