// The word layer of the computation, internal to it: 64-bit limbs with their carries, borrows
// and products, and cardinals loaded and stored in words. A cardinal is a little-endian byte
// array, and so is every host this builds for: a word is loaded with memcpy as it stands.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#ifndef __SIZEOF_INT128__
#error "zemblaro needs unsigned __int128 (gcc or clang on a 64-bit target)"
#endif

static_assert(std::endian::native == std::endian::little,
              "cardinals are loaded into words least significant byte first");

namespace Word {

using Limb = std::uint64_t;
__extension__ typedef unsigned __int128 Wide;

// x + y + c (c is 0 or 1); c := the carry out.
inline Limb AddC(Limb x, Limb y, Limb& c) {
  const Limb s = x + y;
  const Limb t = s + c;
  c = static_cast<Limb>(s < x) | static_cast<Limb>(t < s);
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
  const Wide p = static_cast<Wide>(x) * y + a + c;
  c = static_cast<Limb>(p >> 64);
  return static_cast<Limb>(p);
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

template <typename T>
inline T Ld(const std::uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <typename T>
inline void St(std::uint8_t* p, T v) {
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

// The bytes in reverse order.
inline Limb Swap(Limb x) {
  return __builtin_bswap64(x);
}

// Division of a two-limb number by a normalised limb d (top bit set) with a precomputed
// reciprocal, after N. Moeller and T. Granlund, "Improved division by invariant integers".
struct Reciprocal {
  Limb d, v;
  constexpr explicit Reciprocal(Limb dn)
      : d(dn), v(static_cast<Limb>(((Wide{~dn} << 64) | ~Limb{0}) / dn)) {}

  // (u1 * 2^64 + u0) div d and mod d; requires u1 < d.
  constexpr Limb Divide(Limb u1, Limb u0, Limb& r) const {
    const Wide p = static_cast<Wide>(v) * u1 + ((static_cast<Wide>(u1 + 1) << 64) | u0);
    Limb q1 = static_cast<Limb>(p >> 64);
    const auto q0 = static_cast<Limb>(p);
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
    const Wide t = static_cast<Wide>(v) * d0;
    const auto t1 = static_cast<Limb>(t >> 64), t0 = static_cast<Limb>(t);
    p += t1;
    if (p < t1) {
      --v;
      if (p > d1 || (p == d1 && t0 >= d0)) --v;
    }
  }

  // (u2, u1, u0) div (d1, d0), the remainder into r; requires (u2, u1) < (d1, d0).
  Limb Divide(Limb u2, Limb u1, Limb u0, Wide& r) const {
    const Wide qq = static_cast<Wide>(v) * u2 + ((static_cast<Wide>(u2) << 64) | u1);
    auto q = static_cast<Limb>(qq >> 64);
    const auto q0 = static_cast<Limb>(qq);
    const Wide d = (static_cast<Wide>(d1) << 64) | d0;
    const Limb r1 = u1 - q * d1;
    Wide rr = ((static_cast<Wide>(r1) << 64) | u0) - static_cast<Wide>(d0) * q - d;
    ++q;
    if (static_cast<Limb>(rr >> 64) >= q0) {
      --q;
      rr += d;
    }
    if (rr >= d) [[unlikely]] {
      ++q;
      rr -= d;
    }
    r = rr;
    return q;
  }
};

}  // namespace Word
