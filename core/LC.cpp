// Large cardinal arithmetic on byte arrays.
//
// The arithmetic runs on 64-bit limbs loaded from and stored to the byte arrays (Word.h),
// least significant limb first: limb k of an array of n bytes is bytes 8k .. 8k+7, the top limb
// zero-extended when n is not a multiple of 8. The byte-level contracts in LC.h (flags, wrapped
// values, untouched bytes) are what the tests hold this code to.
#include "core/LC.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>

#include "Word.h"
#include "core/Lib2.h"

namespace LC {

namespace {

using Word::AddC;
using Word::IntoHigh;
using Word::IntoLow;
using Word::Ld;
using Word::LdLimb;
using Word::LdN;
using Word::Limb;
using Word::Limbs;
using Word::MulAdd;
using Word::St;
using Word::StLimb;
using Word::StN;
using Word::SubB;
using Word::SubWide;

// Clears the n bytes from p on.
inline void Clear(std::uint8_t* p, std::size_t n) {
  Lib2::Fill(ByteCard(p, n), 0);
}

// The significant bytes of w: 0 for zero.
inline std::size_t BytesOf(Limb w) {
  return static_cast<std::size_t>(71 - std::countl_zero(w)) / 8;
}

inline std::size_t Len0Of(const std::uint8_t* p, std::size_t n) {
  while (n >= 8) {
    const auto w = Ld<Limb>(p + n - 8);
    if (w != 0) return n - static_cast<std::size_t>(std::countl_zero(w)) / 8;
    n -= 8;
  }
  const Limb w = LdN(p, n);
  return w != 0 ? BytesOf(w) : 0;
}

inline std::size_t Len0Of(CByteCard x) {
  return Len0Of(x.data(), x.size());
}
inline std::size_t LenOf(CByteCard x) {
  return std::max<std::size_t>(Len0Of(x), 1);
}

// Compares the first n bytes at a and b as numbers.
inline std::int32_t CmpN(const std::uint8_t* a, const std::uint8_t* b, std::size_t n) {
  while (n >= 8) {
    const auto u = Ld<Limb>(a + n - 8), v = Ld<Limb>(b + n - 8);
    if (u != v) return u < v ? -1 : 1;
    n -= 8;
  }
  const Limb u = LdN(a, n), v = LdN(b, n);
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
inline void StWord(std::uint8_t* p, std::size_t n, Limb v) {
  StN(p, std::min<std::size_t>(n, 8), v);
  if (n > 8) Clear(p + 8, n - 8);
}

// r := v when it fits under the Len convention (zero needs one byte); false, r unchanged,
// otherwise.
inline bool StoreLen(ByteCard r, Limb v) {
  const std::size_t n = r.size();
  if (n < 8 && (n == 0 || (v >> (8 * n)) != 0)) return false;
  StWord(r.data(), n, v);
  return true;
}

// Does v fit into n bytes under the Len0 convention (zero needs none)?
inline bool FitsLen0(Limb v, std::size_t n) {
  return n >= 8 || (v >> (8 * n)) == 0;
}

// z[0 .. n) := x[0 .. n) + y[0 .. n), or - with Sub; returns the carry or borrow out of byte n - 1.
// Each limb of x and y is read before the same limb of z is written, so z may be the same array
// as x or y.
template <bool Sub>
inline bool AddN(std::uint8_t* z, const std::uint8_t* x, const std::uint8_t* y, std::size_t n) {
  Limb c = 0;
  std::size_t i = 0;
  // Sums take Word::AddLimbs, with its chain for x86-64; differences, whose speed nothing asks
  // for, keep the portable loop.
  if constexpr (Sub) {
    for (; i + 8 <= n; i += 8) St(z + i, SubB(Ld<Limb>(x + i), Ld<Limb>(y + i), c));
  } else if (n >= 8) {
    i = n - n % 8;
    c = Word::AddLimbs(z, x, y, i / 8);
  }
  if (i == n) return c != 0;
  // The partial top limb has room above its bytes, where the carry or the borrow shows.
  const Limb a = LdN(x + i, n - i), b = LdN(y + i, n - i);
  const Limb t = Sub ? a - b - c : a + b + c;
  StN(z + i, n - i, t);
  return (t >> (8 * (n - i))) != 0;
}

// Adds 1 (with Sub: takes 1) into x from byte i on, as far as the carry (the borrow) runs; false
// when it leaves x.
template <bool Sub>
bool CarryUp(std::uint8_t* x, std::size_t n, std::size_t i) {
  constexpr Limb kStop = Sub ? 0 : ~Limb{0};  // the value a word carries (borrows) on from
  for (; i + 8 <= n; i += 8) {
    const auto w = Ld<Limb>(x + i);
    St(x + i, Sub ? w - 1 : w + 1);
    if (w != kStop) return true;
  }
  for (; i < n; ++i) {
    const std::uint8_t b = x[i];
    x[i] = static_cast<std::uint8_t>(Sub ? b - 1 : b + 1);
    if (b != static_cast<std::uint8_t>(kStop)) return true;
  }
  return false;
}

// x := x + y (with Sub: x - y) in place. A y longer than x leaves the result wrapped modulo x's
// capacity, and fails.
template <bool Sub>
bool IncDec(ByteCard x, CByteCard y) {
  const std::size_t ly = Len0Of(y), nx = x.size();
  const bool c = AddN<Sub>(x.data(), x.data(), y.data(), std::min(ly, nx));
  return ly <= nx && (!c || CarryUp<Sub>(x.data(), nx, ly));
}

// ---- Multiplication -------------------------------------------------------------------------

// The product routes below share their terms: lx and ly are the Len0 lengths of x and y, both
// non-zero, and z's capacity is at least Len(x) + Len(y) - 1. That bound keeps the product below
// 256^(nz + 1), at most one byte more than z holds. Each returns false when that byte is lost.

// Operands of at most this many limbs are multiplied from copies on the stack.
constexpr std::size_t kMulLimbs = kStackBytes / 8;

// (c2, c1, c0) += u[0] * v[0] + u[1] * v[-1] + ..., m terms taken in pairs: an odd m reads one
// limb beyond each end, u[m] and v[-m], which the caller keeps zero. Pairs keep the loop's exit
// branch to one per two products without a remainder step.
inline void MulColumn(const Limb* u, const Limb* v, std::size_t m, Limb& c0, Limb& c1, Limb& c2) {
  for (m = (m + 1) / 2; m != 0; --m, u += 2, v -= 2) {
    Word::MulAcc(u[0], v[0], c0, c1, c2);
    Word::MulAcc(u[1], *(v - 1), c0, c1, c2);
  }
}

// p[0 .. na + nb) := a * b for na >= nb >= 1, by Comba's method (product scanning): column k, the
// sum of a[i] * b[k - i], is gathered in three limbs, its low limb stored and the upper two
// carried into column k + 1. Columns grow while b's limbs come in, hold nb terms while a's pass,
// and shrink; a[na] and b[-1] are zero.
void MulComba(const Limb* a, std::size_t na, const Limb* b, std::size_t nb, Limb* p) {
  Limb c0 = 0, c1 = 0, c2 = 0;
  const auto store = [&](std::size_t k) {
    p[k] = c0;
    c0 = c1;
    c1 = c2;
    c2 = 0;
  };
  std::size_t k = 0;
  for (; k + 1 < nb; ++k) MulColumn(a, b + k, k + 1, c0, c1, c2), store(k);
  for (; k < na; ++k) MulColumn(a + k + 1 - nb, b + nb - 1, nb, c0, c1, c2), store(k);
  for (; k + 1 < na + nb; ++k) {
    MulColumn(a + k + 1 - nb, b + nb - 1, na + nb - 1 - k, c0, c1, c2), store(k);
  }
  p[k] = c0;
}

// z := x * y, schoolbook on limbs in rows, for operands too long for MulComba's copies: the
// limbs of z that lie wholly inside it are worked on in place and the partial top limb (with
// room for the extra byte) in a local. Rows run from the top limb of x down, and each reads its
// limb of x before it writes z from that limb upward, so z may be the same array as x.
bool MulRows(const std::uint8_t* x, std::size_t lx, const std::uint8_t* y, std::size_t ly,
             std::uint8_t* z, std::size_t nz, bool zIsX) {
  // Above x's significant bytes z holds only zeros from here on (when z is x, x's own bytes there
  // are zero already).
  const std::size_t keep = zIsX ? lx : 0;
  if (nz > keep) Clear(z + keep, nz - keep);

  const std::size_t nzf = nz / 8, tail = nz % 8;
  Limb top = LdN(z + 8 * nzf, tail);
  auto zl = [&](std::size_t k) { return k < nzf ? Ld<Limb>(z + 8 * k) : top; };
  auto zs = [&](std::size_t k, Limb v) {
    if (k < nzf) {
      St(z + 8 * k, v);
    } else {
      top = v;
    }
  };

  const std::size_t nx = Limbs(lx), ny = Limbs(ly);
  for (std::size_t i = nx; i-- > 0;) {
    const Limb t = LdLimb(x, lx, i);
    zs(i, 0);
    if (t == 0) continue;
    Limb c = 0;
    // The row's limbs inside z in place, then the partial top limb (i + jend can reach nzf).
    const std::size_t jend = std::min(ny, nzf + 1 - i), jin = std::min(jend, nzf - i);
    std::uint8_t* row = z + 8 * i;
    for (std::size_t j = 0; j < jin; ++j) {
      St(row + 8 * j, MulAdd(t, LdLimb(y, ly, j), Ld<Limb>(row + 8 * j), c));
    }
    if (jin < jend) top = MulAdd(t, LdLimb(y, ly, jin), top, c);
    // Everything above limb nzf is zero in every partial product, so the carry stops there.
    for (std::size_t k = i + jend; c != 0 && k <= nzf; ++k) {
      Limb carry = 0;
      zs(k, AddC(zl(k), c, carry));
      c = carry;
    }
    assert(c == 0 && "product exceeds its bound");
  }
  StN(z + 8 * nzf, tail, top);
  return (top >> (8 * tail)) == 0;
}

// Length test and product, shared by Mul and Mpl once the aliasing tests have passed.
bool MulChecked(CByteCard x, CByteCard y, ByteCard z) {
  const std::size_t lx = Len0Of(x), ly = Len0Of(y);
  if (z.size() + 1 < std::max<std::size_t>(lx, 1) + std::max<std::size_t>(ly, 1)) return false;
  if (lx == 0 || ly == 0) {
    Lib2::Fill(z, 0);
    return true;
  }
  const std::size_t na = Limbs(lx), nb = Limbs(ly);
  if (na > kMulLimbs || nb > kMulLimbs) {
    return MulRows(x.data(), lx, y.data(), ly, z.data(), z.size(), z.data() == x.data());
  }
  // Copies with a zero limb at either end, as MulComba reads them; they also take x by value
  // when z is x.
  Limb u[kMulLimbs + 2], v[kMulLimbs + 2], p[2 * kMulLimbs];
  u[0] = u[na + 1] = v[0] = v[nb + 1] = 0;
  Word::LdLimbs(u + 1, x.data(), lx);
  Word::LdLimbs(v + 1, y.data(), ly);
  if (na >= nb) {
    MulComba(u + 1, na, v + 1, nb, p);
  } else {
    MulComba(v + 1, nb, u + 1, na, p);
  }
  // The product has at most one byte more than z holds.
  const std::size_t nz = z.size(), np = std::min(nz, 8 * (na + nb));
  Word::StLimbs(z.data(), np, p);
  if (nz > np) Clear(z.data() + np, nz - np);
  return nz >= 8 * (na + nb) || (p[nz / 8] >> (8 * (nz % 8))) == 0;
}

// ---- Division -------------------------------------------------------------------------------

// Limb k of x * 2^s (0 <= s < 64), x of lx significant bytes.
inline Limb ShiftedLimb(const std::uint8_t* x, std::size_t lx, std::size_t k, unsigned s) {
  return (LdLimb(x, lx, k) << s) | (k != 0 ? IntoHigh(LdLimb(x, lx, k - 1), s) : 0);
}

// Quotient into z, remainder returned: divisor d of one limb, dividend of lx > 8 significant
// bytes. Quotient limbs are stored from the top down, each after the dividend limbs it depends
// on have been read, so z may be the same array as x. The quotient must fit into z.
Limb DivByLimb(const std::uint8_t* x, std::size_t lx, Limb d, std::uint8_t* z, std::size_t nz) {
  const auto s = static_cast<unsigned>(std::countl_zero(d));
  const Word::Reciprocal rec(d << s);
  const std::size_t nx = Limbs(lx);
  if (nz > 8 * nx) Clear(z + 8 * nx, nz - 8 * nx);
  Limb r = IntoHigh(LdLimb(x, lx, nx - 1), s);
  for (std::size_t k = nx; k-- > 0;) StLimb(z, nz, k, rec.Divide(r, ShiftedLimb(x, lx, k, s), r));
  return r >> s;
}

// w[0 .. m) -= q * v[0 .. m); returns what is left to subtract at limb m. The borrow rides in
// the product's high limb: q * v[i] + c <= 2^128 - 2^64, so its high limb is 2^64 - 1 only with
// a zero low limb, which borrows nothing.
inline Limb SubMul(Limb* w, const Limb* v, std::size_t m, Limb q) {
  Limb c = 0;
  for (std::size_t i = 0; i < m; ++i) {
    const Limb lo = MulAdd(q, v[i], 0, c);
    Limb b = 0;
    w[i] = SubB(w[i], lo, b);
    c += b;
  }
  return c;
}

// Quotient into z and remainder into r: Knuth's algorithm D (TAOCP vol. 2, 4.3.1) on 64-bit
// limbs, for a divisor of ly > 8 significant bytes (at most kDivMaxDivisor) and x >= y, with
// each quotient digit from a 3-by-2 division as in GMP's mpn_sbpi1_div_qr. Only the partial
// remainder of the normalised dividend is held: its top limb in a register, the rest in a window
// that slides down a buffer twice the longest divisor, moved back to the top when it reaches the
// bottom; the dividend's limbs are read from x one by one as the window takes them in. Quotient
// limbs are stored from the top down once the dividend limbs they overwrite have been read, so z
// may be the same array as x. The quotient must fit into z. Returns false (r unchanged) when the
// remainder does not fit into r.
[[gnu::noinline]] bool DivKnuth(const std::uint8_t* x, std::size_t lx, const std::uint8_t* y,
                                std::size_t ly, std::uint8_t* z, std::size_t nz, ByteCard r) {
  constexpr std::size_t kMax = kDivMaxDivisor / 8, kBuf = 2 * kMax;
  Limb v[kMax];
  Limb buf[kBuf];
  const std::size_t n = Limbs(ly), nx = Limbs(lx);

  // D1. [Normalise.] Shift y left until its top limb has its top bit set; shift x as much.
  const auto s = static_cast<unsigned>(std::countl_zero(LdLimb(y, ly, n - 1)));
  for (std::size_t k = 0; k < n; ++k) v[k] = ShiftedLimb(y, ly, k, s);
  const Limb d1 = v[n - 1], d0 = v[n - 2];
  const Word::Reciprocal3by2 rec(d1, d0);
  // The normalised dividend u has nx + 1 limbs, u[k] = x[k] << s | x[k - 1] >> (64 - s), made
  // from the top down with xk = x[k] for the next u[k].
  Limb xk = LdLimb(x, lx, nx - 1);
  // Before digit j the partial remainder is u[j + 1 .. j + n]: u[j + n] in r1, the others in
  // w[1 .. n). It starts as the top n limbs of u, below y since u's top limb is below 2^s.
  const std::size_t jtop = nx - n;
  Limb r1 = IntoHigh(xk, s);
  Limb* w = buf + kBuf - n;
  for (std::size_t k = nx - 1; k > jtop; --k) {
    const Limb lo = LdLimb(x, lx, k - 1);
    w[k - jtop] = (xk << s) | IntoHigh(lo, s);
    xk = lo;
  }

  // D2. [Initialise j.] The quotient has limbs 0 .. jtop; z's limbs above are zero.
  if (nz > 8 * (jtop + 1)) Clear(z + 8 * (jtop + 1), nz - 8 * (jtop + 1));
  for (std::size_t j = jtop + 1; j-- > 0;) {
    const Limb lo = j != 0 ? LdLimb(x, lx, j - 1) : 0;
    w[0] = (xk << s) | IntoHigh(lo, s);
    xk = lo;

    Limb q;
    if (r1 == d1 && w[n - 1] == d0) [[unlikely]] {
      // D3 needs its top two limbs below (d1, d0). At equality the digit is 2^64 - 1: no more
      // as the partial remainder is below y, no less as d1 >= 2^63. D4 then runs over all n
      // limbs and leaves the remainder below y, no add-back.
      q = ~Limb{0};
      [[maybe_unused]] const Limb c = SubMul(w, v, n, q);
      assert(c == r1 && "remainder exceeds the divisor");
      r1 = w[n - 1];
    } else {
      // D3. [Calculate q-hat.] The window's top three limbs by y's top two: at most one too
      // large, and the top two limbs of what is left of the window.
      Limb rt1, rt0;
      q = rec.Divide(r1, w[n - 1], w[n - 2], rt1, rt0);
      // D4. [Multiply and subtract.] q * v[0 .. n - 2) from the window's lower limbs, the
      // borrow out of them taken from the top two.
      const Limb c = SubMul(w, v, n - 2, q);
      const bool negative = SubWide(rt1, rt0, 0, c);
      w[n - 2] = rt0;
      r1 = rt1;
      // D5. [Test remainder.] D6. [Add back.] Rare: q was one too large.
      if (negative) [[unlikely]] {
        --q;
        Limb carry = 0;
        for (std::size_t i = 0; i + 1 < n; ++i) w[i] = AddC(w[i], v[i], carry);
        r1 += d1 + carry;  // the carry out cancels the borrow
      }
    }

    // D7. [Loop on j.] Store the digit; the window slides one limb down.
    StLimb(z, nz, j, q);
    if (j != 0) {
      if (w == buf) {
        std::memmove(buf + kBuf - n + 1, buf, (n - 1) * sizeof buf[0]);
        w = buf + kBuf - n;
      } else {
        --w;
      }
    }
  }

  // D8. [Unnormalise.] The remainder is w[0 .. n) shifted right by s.
  w[n - 1] = r1;
  for (std::size_t k = 0; k < n; ++k) w[k] = (w[k] >> s) | (k + 1 < n ? IntoLow(w[k + 1], s) : 0);
  std::size_t top = n - 1;
  while (top != 0 && w[top] == 0) --top;
  // Len: a zero remainder takes one byte, hence the | 1.
  const std::size_t lr = 8 * top + BytesOf(w[top] | 1);
  if (r.size() < lr) return false;
  const std::size_t nr = r.size();
  for (std::size_t k = 0; k < n && 8 * k < nr; ++k) StLimb(r.data(), nr, k, w[k]);
  if (nr > 8 * n) Clear(r.data() + 8 * n, nr - 8 * n);
  return true;
}

// r := the value of the lx significant bytes at x, when Len fits r (the Cpy rule); x may be
// r's own bytes.
inline bool StoreBytes(ByteCard r, const std::uint8_t* x, std::size_t lx) {
  if (r.size() < std::max<std::size_t>(lx, 1)) return false;
  if (r.data() != x && lx != 0) std::memmove(r.data(), x, lx);
  Clear(r.data() + lx, r.size() - lx);
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
  return IncDec<false>(x, y);
}

bool Dec(ByteCard x, CByteCard y) {
  return IncDec<true>(x, y);
}

bool Add(CByteCard x, CByteCard y, ByteCard z) {
  if (z.data() == x.data()) return Inc(z, y);
  if (z.data() == y.data()) return Inc(z, x);
  const std::size_t nz = z.size();
  // An operand no longer than z is taken at its capacity, its high zeros added as they stand: only
  // a longer one needs its significant length.
  const std::size_t lx = x.size() <= nz ? x.size() : Len0Of(x);
  const std::size_t ly = y.size() <= nz ? y.size() : Len0Of(y);
  if (std::max<std::size_t>(lx, 1) > nz) return false;
  // z := (x + y) mod 256^nz, y cut to z's capacity: the bytes that both operands have are added,
  // the longer one's others copied, and the carry runs up from there.
  const std::size_t lyz = std::min(ly, nz), lb = std::min(lx, lyz), la = std::max(lx, lyz);
  const bool c = AddN<false>(z.data(), x.data(), y.data(), lb);
  if (la > lb) std::memcpy(z.data() + lb, (lx > lyz ? x.data() : y.data()) + lb, la - lb);
  Clear(z.data() + la, nz - la);
  const bool carried = !c || CarryUp<false>(z.data(), nz, lb);  // also when y is cut
  return carried && ly <= nz;
}

bool Sub(CByteCard x, CByteCard y, ByteCard z) {
  const std::size_t lx = Len0Of(x), ly = Len0Of(y), nz = z.size();
  const auto limb = [&](std::size_t k, Limb& b) {
    return SubB(LdLimb(x.data(), lx, k), LdLimb(y.data(), ly, k), b);
  };
  // First pass, nothing written: y <= x, and no byte of x - y at or above index nz.
  Limb b = 0, above = 0;
  for (std::size_t k = 0; k < Limbs(std::max(lx, ly)); ++k) {
    const Limb t = limb(k, b);
    if (8 * k + 8 > nz) above |= 8 * k >= nz ? t : t >> (8 * (nz - 8 * k));
  }
  if (b != 0 || above != 0 || nz == 0) return false;  // a zero difference needs one byte too
  // Second pass: the difference into z, each limb read before it is written (z may be x or y).
  for (std::size_t k = 0; k < Limbs(nz); ++k) StLimb(z.data(), nz, k, limb(k, b));
  return true;
}

// ---- Multiplication -------------------------------------------------------------------------

bool Mul(CByteCard x, CByteCard y, ByteCard z) {
  if (z.data() == x.data() || z.data() == y.data()) return false;
  return MulChecked(x, y, z);
}

bool Mpl(ByteCard x, CByteCard y) {
  // Both product routes take x by value: one copies it, the other reads each limb of x before it
  // writes over it.
  if (x.data() == y.data()) return false;
  return MulChecked(x, y, x);
}

// ---- Division -------------------------------------------------------------------------------

bool Div(CByteCard x, CByteCard y, ByteCard z, ByteCard r) {
  if (z.data() == y.data() || r.data() == z.data()) return false;
  const std::size_t ly = Len0Of(y);
  if (ly == 0 || ly > kDivMaxDivisor) return false;
  const std::size_t lx = Len0Of(x), nz = z.size();

  if (lx <= 8 && ly <= 8) {  // one native division
    const Limb a = LdN(x.data(), lx), d = LdN(y.data(), ly);
    const Limb q = a / d, m = a % d;
    if (!FitsLen0(q, nz)) {
      Lib2::Fill(z, 0);
      return false;
    }
    StWord(z.data(), nz, q);
    return StoreLen(r, m);
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
    return StoreLen(r, DivByLimb(x.data(), lx, LdN(y.data(), ly), z.data(), nz));
  }
  return DivKnuth(x.data(), lx, y.data(), ly, z.data(), nz, r);
}

bool Dvd(ByteCard x, CByteCard y, ByteCard r) {
  return Div(x, y, x, r);
}

}  // namespace LC
