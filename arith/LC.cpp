// Large cardinal arithmetic on byte arrays.
//
// The arithmetic runs on 64-bit words ("limbs") loaded from and stored to the byte arrays with
// memcpy, least significant limb first: limb k of an array of n bytes is bytes 8k .. 8k+7, the
// top limb zero-extended when n is not a multiple of 8. Carries are found by comparison. The
// byte-level contracts in LC.h (flags, wrapped values, untouched bytes) are what the tests hold
// this code to, against a plain byte-by-byte rendering of the same operations.
#include "arith/LC.h"

#include <bit>
#include <cassert>
#include <cstring>

#include "arith/Lib2.h"

namespace LC {

namespace {

using u64 = std::uint64_t;
using u32 = std::uint32_t;
using u16 = std::uint16_t;
__extension__ typedef unsigned __int128 u128;

constexpr bool kLittle = std::endian::native == std::endian::little;
static_assert(kLittle || std::endian::native == std::endian::big, "mixed-endian host");

inline u64 FromLE(u64 v) {
  return kLittle ? v : __builtin_bswap64(v);
}
inline u32 FromLE(u32 v) {
  return kLittle ? v : __builtin_bswap32(v);
}
inline u16 FromLE(u16 v) {
  return kLittle ? v : __builtin_bswap16(v);
}

template <typename T>
inline T Ld(const std::uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return FromLE(v);
}

template <typename T>
inline void St(std::uint8_t* p, T v) {
  v = FromLE(v);  // the swap is its own inverse
  std::memcpy(p, &v, sizeof v);
}

inline u64 Ld64(const std::uint8_t* p) {
  return Ld<u64>(p);
}
inline void St64(std::uint8_t* p, u64 v) {
  St<u64>(p, v);
}

// The n bytes (0 <= n <= 8) from p as a number. Two overlapping loads instead of a loop: the
// overlapped bytes land on the same bit positions in both.
inline u64 LdN(const std::uint8_t* p, std::size_t n) {
  if (n >= 4) {
    return Ld<u32>(p) | (u64{Ld<u32>(p + n - 4)} << (8 * (n - 4)));
  }
  if (n >= 2) return Ld<u16>(p) | (u64{Ld<u16>(p + n - 2)} << (8 * (n - 2)));
  return n != 0 ? p[0] : 0;
}

// Stores the low n bytes (0 <= n <= 8) of v at p; nothing beyond p[n - 1] is written.
inline void StN(std::uint8_t* p, std::size_t n, u64 v) {
  if (n >= 4) {
    St<u32>(p, static_cast<u32>(v));
    St<u32>(p + n - 4, static_cast<u32>(v >> (8 * (n - 4))));
  } else if (n >= 2) {
    St<u16>(p, static_cast<u16>(v));
    St<u16>(p + n - 2, static_cast<u16>(v >> (8 * (n - 2))));
  } else if (n != 0) {
    p[0] = static_cast<std::uint8_t>(v);
  }
}

// Limb k of the n-byte array at p (zero at and above the array's end).
inline u64 Limb(const std::uint8_t* p, std::size_t n, std::size_t k) {
  const std::size_t b = 8 * k;
  if (b + 8 <= n) return Ld64(p + b);
  return b < n ? LdN(p + b, n - b) : 0;
}

// Stores limb k of the n-byte array at p, dropping the bytes that lie beyond the array.
inline void StLimb(std::uint8_t* p, std::size_t n, std::size_t k, u64 v) {
  const std::size_t b = 8 * k;
  if (b + 8 <= n) {
    St64(p + b, v);
  } else if (b < n) {
    StN(p + b, n - b, v);
  }
}

inline std::size_t Limbs(std::size_t bytes) {
  return (bytes + 7) / 8;
}

inline std::size_t Len0Of(const std::uint8_t* p, std::size_t n) {
  while (n >= 8) {
    const u64 w = Ld64(p + n - 8);
    if (w != 0) return n - static_cast<std::size_t>(std::countl_zero(w)) / 8;
    n -= 8;
  }
  const u64 w = LdN(p, n);
  return w != 0 ? static_cast<std::size_t>(71 - std::countl_zero(w)) / 8 : 0;
}

inline std::size_t Len0Of(CByteCard x) {
  return Len0Of(x.data(), x.size());
}
inline std::size_t LenOf(CByteCard x) {
  const std::size_t l = Len0Of(x);
  return l != 0 ? l : 1;
}

// Compares the first n bytes at a and b as numbers.
inline std::int32_t CmpN(const std::uint8_t* a, const std::uint8_t* b, std::size_t n) {
  while (n >= 8) {
    const u64 u = Ld64(a + n - 8), v = Ld64(b + n - 8);
    if (u != v) return u < v ? -1 : 1;
    n -= 8;
  }
  const u64 u = LdN(a, n), v = LdN(b, n);
  if (u != v) return u < v ? -1 : 1;
  return 0;
}

// Compares x div 256^off with y, given their significant lengths lx and ly (Len0).
inline std::int32_t CmpShifted(const std::uint8_t* x, std::size_t lx, std::size_t off,
                               const std::uint8_t* y, std::size_t ly) {
  const std::size_t lh = lx > off ? lx - off : 0;
  if (lh != ly) return lh < ly ? -1 : 1;
  return CmpN(x + off, y, ly);
}

// Writes v (held in a word) into the n-byte array p, clearing the bytes above it; the caller
// has made sure v fits.
inline void StWord(std::uint8_t* p, std::size_t n, u64 v) {
  if (n <= 8) {
    StN(p, n, v);
  } else {
    St64(p, v);
    std::memset(p + 8, 0, n - 8);
  }
}

// Does v fit into n bytes under the Len convention (zero needs one byte)?
inline bool FitsLen(u64 v, std::size_t n) {
  return n >= 8 || (n != 0 && (v >> (8 * n)) == 0);
}

// Does v fit into n bytes under the Len0 convention (zero needs none)?
inline bool FitsLen0(u64 v, std::size_t n) {
  return n >= 8 || (v >> (8 * n)) == 0;
}

// x[0 .. n) += y[0 .. n); returns the carry out of byte n - 1. Each word of y is read before the
// same word of x is written, so y may be the same array as x.
inline bool AddIn(std::uint8_t* x, const std::uint8_t* y, std::size_t n) {
  bool c = false;
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const u64 a = Ld64(x + i), b = Ld64(y + i);
    const u64 s = a + b;
    const u64 t = s + static_cast<u64>(c);
    c = (s < a) | (t < s);
    St64(x + i, t);
  }
  const std::size_t t = n - i;
  if (t != 0) {
    const u64 s = LdN(x + i, t) + LdN(y + i, t) + static_cast<u64>(c);
    StN(x + i, t, s);
    c = (s >> (8 * t)) != 0;
  }
  return c;
}

// x[0 .. n) -= y[0 .. n); returns the borrow out of byte n - 1. Same aliasing as AddIn.
inline bool SubIn(std::uint8_t* x, const std::uint8_t* y, std::size_t n) {
  bool c = false;
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const u64 a = Ld64(x + i), b = Ld64(y + i);
    const u64 d = a - b;
    const u64 t = d - static_cast<u64>(c);
    c = (a < b) | (d < static_cast<u64>(c));
    St64(x + i, t);
  }
  const std::size_t t = n - i;
  if (t != 0) {
    const u64 a = LdN(x + i, t), b = LdN(y + i, t) + static_cast<u64>(c);
    StN(x + i, t, a - b);
    c = a < b;
  }
  return c;
}

// Adds 1 (c) into x from byte i on, as far as the carry runs; false when it leaves x.
inline bool CarryUp(std::uint8_t* x, std::size_t n, std::size_t i) {
  for (; i + 8 <= n; i += 8) {
    const u64 w = Ld64(x + i) + 1;
    St64(x + i, w);
    if (w != 0) return true;
  }
  for (; i < n; ++i) {
    if (++x[i] != 0) return true;
  }
  return false;
}

// Takes 1 (a borrow) from x from byte i on, as far as the borrow runs; false when it leaves x.
inline bool BorrowUp(std::uint8_t* x, std::size_t n, std::size_t i) {
  for (; i + 8 <= n; i += 8) {
    const u64 w = Ld64(x + i);
    St64(x + i, w - 1);
    if (w != 0) return true;
  }
  for (; i < n; ++i) {
    if (x[i]-- != 0) return true;
  }
  return false;
}

// ---- Multiplication -------------------------------------------------------------------------

// z := x * y, schoolbook on limbs, with lx and ly the Len0 lengths of x and y and z's capacity
// at least Len(x) + Len(y) - 1. That bound keeps the product below 256^(nz + 1), at most one
// byte more than z holds: the limbs of z that lie wholly inside it are worked on in place and
// the partial top limb (with room for that extra byte) in a local. Rows run from the top limb of
// x down, and each reads its limb of x before it writes z from that limb upward, so z may be the
// same array as x. Returns false when the product's top byte does not fit.
bool MulCore(const std::uint8_t* x, std::size_t lx, const std::uint8_t* y, std::size_t ly,
             std::uint8_t* z, std::size_t nz, bool zIsX) {
  if (lx == 0 || ly == 0) {
    Lib2::Fill(ByteCard(z, nz), 0);
    return true;
  }
  // Above x's significant bytes z holds only zeros from here on (when z is x, x's own bytes there
  // are zero already).
  const std::size_t keep = zIsX ? lx : 0;
  if (nz > keep) std::memset(z + keep, 0, nz - keep);

  const std::size_t nzf = nz / 8, tail = nz % 8;
  u64 top = LdN(z + 8 * nzf, tail);
  auto zl = [&](std::size_t k) -> u64 { return k < nzf ? Ld64(z + 8 * k) : top; };
  auto zs = [&](std::size_t k, u64 v) {
    if (k < nzf) {
      St64(z + 8 * k, v);
    } else {
      top = v;
    }
  };

  const std::size_t nx = Limbs(lx), ny = Limbs(ly);
  for (std::size_t i = nx; i-- > 0;) {
    const u64 t = Limb(x, lx, i);
    zs(i, 0);
    if (t == 0) continue;
    u64 c = 0;
    const std::size_t jend = ny < nzf + 1 - i ? ny : nzf + 1 - i;
    for (std::size_t j = 0; j < jend; ++j) {
      const u128 p = static_cast<u128>(t) * Limb(y, ly, j) + zl(i + j) + c;
      zs(i + j, static_cast<u64>(p));
      c = static_cast<u64>(p >> 64);
    }
    // Everything above limb nzf is zero in every partial product, so the carry stops there.
    for (std::size_t k = i + jend; c != 0 && k <= nzf; ++k) {
      const u64 s = zl(k) + c;
      zs(k, s);
      c = s < c;
    }
    assert(c == 0 && "product exceeds its bound");
  }
  StN(z + 8 * nzf, tail, top);
  return (top >> (8 * tail)) == 0;
}

// Length test and product, shared by Mul and MulC once the aliasing tests have passed.
bool MulChecked(CByteCard x, CByteCard y, ByteCard z) {
  const std::size_t lx = Len0Of(x), ly = Len0Of(y);
  const std::size_t need = (lx != 0 ? lx : 1) + (ly != 0 ? ly : 1) - 1;
  if (z.size() < need) return false;
  return MulCore(x.data(), lx, y.data(), ly, z.data(), z.size(), z.data() == x.data());
}

// ---- Division -------------------------------------------------------------------------------

using detail::Reciprocal;

// Limb k of x * 2^s (0 <= s < 64), x of lx significant bytes.
inline u64 ShiftedLimb(const std::uint8_t* x, std::size_t lx, std::size_t k, unsigned s) {
  const u64 lo = k != 0 ? Limb(x, lx, k - 1) : 0;
  return (Limb(x, lx, k) << s) | ((lo >> 1) >> (63 - s));
}

// Quotient into z, remainder returned: divisor d of one limb, dividend of lx > 8 significant
// bytes. Quotient limbs are stored from the top down, each after the dividend limbs it depends
// on have been read, so z may be the same array as x. The quotient must fit into z.
u64 DivByLimb(const std::uint8_t* x, std::size_t lx, u64 d, std::uint8_t* z, std::size_t nz) {
  const unsigned s = static_cast<unsigned>(std::countl_zero(d));
  const Reciprocal rec(d << s);
  const std::size_t nx = Limbs(lx);
  if (nz > 8 * nx) std::memset(z + 8 * nx, 0, nz - 8 * nx);
  u64 r = (Limb(x, lx, nx - 1) >> 1) >> (63 - s);
  for (std::size_t k = nx; k-- > 0;) {
    const u64 q = rec.Divide(r, ShiftedLimb(x, lx, k, s), r);
    StLimb(z, nz, k, q);
  }
  return r >> s;
}

// Quotient into z and remainder into r: Knuth's algorithm D (TAOCP vol. 2, 4.3.1) on 64-bit
// limbs, for a divisor of ly > 8 significant bytes (at most kDivMaxDivisor) and x >= y. Only a
// window of n + 1 limbs of the normalised dividend is held (n the divisor's limbs); the rest is
// read from x as the window slides down. Quotient limbs are stored from the top down once the
// dividend limbs they overwrite have been read, so z may be the same array as x. The quotient
// must fit into z. Returns false (r unchanged) when the remainder does not fit into r.
[[gnu::noinline]] bool DivKnuth(const std::uint8_t* x, std::size_t lx, const std::uint8_t* y,
                                std::size_t ly, std::uint8_t* z, std::size_t nz, ByteCard r) {
  constexpr std::size_t kMax = kDivMaxDivisor / 8;
  u64 v[kMax];
  u64 w[kMax + 1];
  const std::size_t n = Limbs(ly), nx = Limbs(lx);

  // D1. [Normalise.] Shift y left until its top limb has its top bit set; shift x as much.
  const unsigned s = static_cast<unsigned>(std::countl_zero(Limb(y, ly, n - 1)));
  for (std::size_t k = 0; k < n; ++k) v[k] = ShiftedLimb(y, ly, k, s);
  const Reciprocal rec(v[n - 1]);
  // The normalised dividend u has nx + 1 limbs; the window w holds u[j .. j + n].
  for (std::size_t k = 0; k <= n; ++k) w[k] = ShiftedLimb(x, lx, nx - n + k, s);

  // D2. [Initialise j.] The quotient has limbs 0 .. nx - n; z's limbs above are zero.
  const std::size_t jtop = nx - n;
  if (nz > 8 * (jtop + 1)) std::memset(z + 8 * (jtop + 1), 0, nz - 8 * (jtop + 1));
  for (std::size_t j = jtop + 1; j-- > 0;) {
    // D3. [Calculate q-hat.] From the window's top two limbs, corrected with the third so that
    // q-hat exceeds the true digit by at most 1.
    u64 qhat, rhat;
    bool rhatBig = false;  // rhat >= 2^64: the correction test cannot succeed
    if (w[n] >= v[n - 1]) {
      qhat = ~u64{0};
      rhat = w[n - 1] + v[n - 1];
      rhatBig = rhat < w[n - 1];
    } else {
      qhat = rec.Divide(w[n], w[n - 1], rhat);
    }
    while (!rhatBig &&
           static_cast<u128>(qhat) * v[n - 2] > ((static_cast<u128>(rhat) << 64) | w[n - 2])) {
      --qhat;
      const u64 r2 = rhat + v[n - 1];
      rhatBig = r2 < rhat;
      rhat = r2;
    }

    // D4. [Multiply and subtract.] w := w - qhat * v.
    u64 mulCarry = 0;
    bool borrow = false;
    for (std::size_t i = 0; i < n; ++i) {
      const u128 p = static_cast<u128>(qhat) * v[i] + mulCarry;
      mulCarry = static_cast<u64>(p >> 64);
      const u64 lo = static_cast<u64>(p);
      const u64 d = w[i] - lo;
      const u64 t = d - static_cast<u64>(borrow);
      borrow = (w[i] < lo) | (d < static_cast<u64>(borrow));
      w[i] = t;
    }
    const u128 sub = static_cast<u128>(mulCarry) + static_cast<u64>(borrow);
    const bool negative = static_cast<u128>(w[n]) < sub;
    w[n] = static_cast<u64>(w[n] - sub);

    // D5. [Test remainder.] D6. [Add back.] Rare: q-hat was one too large.
    if (negative) {
      --qhat;
      bool c = false;
      for (std::size_t i = 0; i < n; ++i) {
        const u64 a = w[i] + v[i];
        const u64 t = a + static_cast<u64>(c);
        c = (a < v[i]) | (t < a);
        w[i] = t;
      }
      w[n] += static_cast<u64>(c);  // the carry out of the top cancels the borrow
    }
    assert(w[n] == 0 && "remainder exceeds the divisor");

    // D7. [Loop on j.] Store the digit, then slide the window one limb down.
    StLimb(z, nz, j, qhat);
    if (j != 0) {
      std::memmove(w + 1, w, n * sizeof w[0]);
      w[0] = ShiftedLimb(x, lx, j - 1, s);
    }
  }

  // D8. [Unnormalise.] The remainder is w[0 .. n) shifted right by s.
  for (std::size_t k = 0; k < n; ++k) {
    const u64 hi = k + 1 < n ? w[k + 1] : 0;
    w[k] = (w[k] >> s) | ((hi << 1) << (63 - s));
  }
  std::size_t lr = n * 8;
  while (lr > 1 && ((w[(lr - 1) / 8] >> (8 * ((lr - 1) % 8))) & 0xFF) == 0) --lr;
  if (r.size() < lr) return false;
  for (std::size_t k = 0; k < Limbs(r.size()); ++k) StLimb(r.data(), r.size(), k, k < n ? w[k] : 0);
  return true;
}

// r := the value of the lx significant bytes at x, when Len fits r (the Cpy rule); x may be
// r's own bytes.
inline bool StoreBytes(ByteCard r, const std::uint8_t* x, std::size_t lx) {
  const std::size_t need = lx != 0 ? lx : 1;
  if (r.size() < need) return false;
  if (r.data() != x && lx != 0) std::memmove(r.data(), x, lx);
  std::memset(r.data() + lx, 0, r.size() - lx);
  return true;
}

}  // namespace

// ---- Lengths, copy, comparison --------------------------------------------------------------

std::uint32_t Len0(CByteCard x) {
  return static_cast<std::uint32_t>(Len0Of(x));
}

std::uint32_t Len(CByteCard x) {
  return static_cast<std::uint32_t>(LenOf(x));
}

bool Cpy(ByteCard x, CByteCard y) {
  return StoreBytes(x, y.data(), Len0Of(y));
}

std::int32_t Cmp(CByteCard x, CByteCard y) {
  const std::size_t lx = Len0Of(x), ly = Len0Of(y);
  if (lx != ly) return lx < ly ? -1 : 1;
  return CmpN(x.data(), y.data(), lx);
}

// ---- Addition and subtraction ---------------------------------------------------------------

bool Inc(ByteCard x, CByteCard y) {
  const std::size_t ly = Len0Of(y), nx = x.size();
  if (ly > nx) {
    (void)AddIn(x.data(), y.data(), nx);  // the sum's low bytes; the rest is lost
    return false;
  }
  if (!AddIn(x.data(), y.data(), ly)) return true;
  return CarryUp(x.data(), nx, ly);
}

bool Dec(ByteCard x, CByteCard y) {
  const std::size_t ly = Len0Of(y), nx = x.size();
  if (ly > nx) {
    (void)SubIn(x.data(), y.data(), nx);  // the difference wrapped modulo x's capacity
    return false;
  }
  if (!SubIn(x.data(), y.data(), ly)) return true;
  return BorrowUp(x.data(), nx, ly);
}

bool Add(CByteCard x, CByteCard y, ByteCard z) {
  if (z.data() == x.data()) return Inc(z, y);
  if (z.data() == y.data()) return Inc(z, x);
  const std::size_t lx = Len0Of(x), ly = Len0Of(y), nz = z.size();
  if ((lx != 0 ? lx : 1) > nz) return false;
  // z := (x + y) mod 256^nz in one pass, y cut to z's capacity.
  const std::size_t lyz = ly < nz ? ly : nz;
  bool c = false;
  const std::size_t nl = Limbs(nz);
  for (std::size_t k = 0; k < nl; ++k) {
    const u64 a = Limb(x.data(), lx, k), b = Limb(y.data(), lyz, k);
    const std::size_t b0 = 8 * k;
    if (b0 + 8 <= nz) {
      const u64 s = a + b;
      const u64 t = s + static_cast<u64>(c);
      c = (s < a) | (t < s);
      St64(z.data() + b0, t);
    } else {
      const std::size_t t = nz - b0;
      const u64 s = a + b + static_cast<u64>(c);
      StN(z.data() + b0, t, s);
      c = (s >> (8 * t)) != 0;
    }
  }
  return !c && ly <= nz;
}

bool Sub(CByteCard x, CByteCard y, ByteCard z) {
  const std::size_t lx = Len0Of(x), ly = Len0Of(y), nz = z.size();
  const std::size_t nl = Limbs(lx > ly ? lx : ly);
  // First pass, nothing written: y <= x, and no byte of x - y at or above index nz.
  bool borrow = false;
  u64 above = 0;
  for (std::size_t k = 0; k < nl; ++k) {
    const u64 a = Limb(x.data(), lx, k), b = Limb(y.data(), ly, k);
    const u64 d = a - b;
    const u64 t = d - static_cast<u64>(borrow);
    borrow = (a < b) | (d < static_cast<u64>(borrow));
    const std::size_t b0 = 8 * k;
    if (b0 >= nz) {
      above |= t;
    } else if (b0 + 8 > nz) {
      above |= t >> (8 * (nz - b0));
    }
  }
  if (borrow || above != 0) return false;
  if (nz == 0) return false;  // a zero difference needs one byte too
  // Second pass: the difference into z, limb by limb, each limb read before it is written (z may
  // be x or y).
  borrow = false;
  const std::size_t nlz = Limbs(nz);
  for (std::size_t k = 0; k < nlz; ++k) {
    const u64 a = Limb(x.data(), lx, k), b = Limb(y.data(), ly, k);
    const u64 d = a - b;
    const u64 t = d - static_cast<u64>(borrow);
    borrow = (a < b) | (d < static_cast<u64>(borrow));
    StLimb(z.data(), nz, k, t);
  }
  return true;
}

// ---- Multiplication -------------------------------------------------------------------------

bool Mul(CByteCard x, CByteCard y, ByteCard z) {
  if (z.data() == x.data() || z.data() == y.data()) return false;
  return MulChecked(x, y, z);
}

bool Mpl(ByteCard x, CByteCard y) {
  return detail::MulC(x, y, x);
}

// ---- Division -------------------------------------------------------------------------------

bool Div(CByteCard x, CByteCard y, ByteCard z, ByteCard r) {
  if (z.data() == y.data() || r.data() == z.data()) return false;
  const std::size_t ly = Len0Of(y);
  if (ly == 0 || ly > kDivMaxDivisor) return false;
  const std::size_t lx = Len0Of(x), nz = z.size();

  if (lx <= 8 && ly <= 8) {  // one native division
    const u64 a = LdN(x.data(), lx), d = LdN(y.data(), ly);
    const u64 q = a / d, m = a % d;
    if (!FitsLen0(q, nz)) {
      Lib2::Fill(z, 0);
      return false;
    }
    StWord(z.data(), nz, q);
    if (!FitsLen(m, r.size())) return false;
    StWord(r.data(), r.size(), m);
    return true;
  }

  // The quotient has a byte at index nz or above exactly when x div 256^nz >= y.
  if (CmpShifted(x.data(), lx, nz, y.data(), ly) >= 0) {
    Lib2::Fill(z, 0);
    return false;
  }
  if (CmpShifted(x.data(), lx, 0, y.data(), ly) < 0) {
    // Quotient zero, remainder x. r first: z may be x, r is never z.
    const bool ok = StoreBytes(r, x.data(), lx);
    Lib2::Fill(z, 0);
    return ok;
  }
  if (ly <= 8) {
    const u64 m = DivByLimb(x.data(), lx, LdN(y.data(), ly), z.data(), nz);
    if (!FitsLen(m, r.size())) return false;
    StWord(r.data(), r.size(), m);
    return true;
  }
  return DivKnuth(x.data(), lx, y.data(), ly, z.data(), nz, r);
}

bool Dvd(ByteCard x, CByteCard y, ByteCard r) {
  return Div(x, y, x, r);
}

// ---- Private primitives ---------------------------------------------------------------------

namespace detail {

std::uint32_t LenI(CByteCard x, std::uint32_t i) {
  if (i >= x.size()) return 0;
  const std::size_t l = Len0Of(x);
  return l > i ? static_cast<std::uint32_t>(l - i) : 0;
}

void Inc0(std::uint8_t& x, std::uint8_t y, bool& c) {
  const unsigned t = unsigned{x} + y + static_cast<unsigned>(c);
  x = static_cast<std::uint8_t>(t);
  c = t >= 256;
}

void Dec0(std::uint8_t& x, std::uint8_t y, bool& c) {
  const int t = int{x} - y - static_cast<int>(c);
  x = static_cast<std::uint8_t>(t);
  c = t < 0;
}

std::int32_t Cmp0(std::uint8_t x, std::uint8_t y) {
  return x < y ? -1 : (x > y ? 1 : 0);
}

void Mul0(std::uint8_t x, std::uint8_t y, std::uint8_t& z, std::uint8_t& c) {
  const unsigned t = unsigned{z} + unsigned{x} * y + c;
  z = static_cast<std::uint8_t>(t);
  c = static_cast<std::uint8_t>(t >> 8);
}

bool MulC(CByteCard x, CByteCard y, ByteCard z) {
  if (z.data() == y.data()) return false;
  return MulChecked(x, y, z);
}

}  // namespace detail

}  // namespace LC
