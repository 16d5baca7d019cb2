// Digit strings in bases 2 to 36.
//
// Routes, each giving the bytes of the plain per-digit method:
// - Base 16 with x of up to 8 bytes and texts of up to 8 digits (the self-test's shape): the
//   one-word routes of Hex8.h.
// - MkCard, x of up to 8 bytes: the value in one word, with the overflow of every multiply
//   and add tested as the plain method would meet it; powers of two shift digits in.
// - MkCard, x of up to LC::kStackBytes: 64-bit limbs, a whole word of digits per multiply-add
//   as long as a bound shows the chunk cannot overflow, digit by digit near the capacity.
// - MkCard, larger x: the plain method through LC::Mpl and LC::Inc.
// - MkStr, powers of two: digits are bit fields, written straight to their places.
// - MkStr, other bases: the largest power of the base that fits a word divides the limbs, and
//   each remainder gives that many digits.
#include "core/LCC.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "Hex8.h"
#include "Word.h"
#include "core/Lib2.h"
#include "core/Text.h"

namespace {

using Word::Limb;

constexpr std::size_t kMaxLimbs = LC::kStackBytes / 8;

inline std::uint8_t DigitAt(std::span<const char> s, std::size_t i) {
  return Text::Digit(s[i]);
}

// Does the text end at index i: at the end of s or at a '\0'?
inline bool EndsAt(std::span<const char> s, std::size_t i) {
  return i == s.size() || s[i] == '\0';
}

// What a base needs: its shift when it is a power of two; otherwise the largest power of it
// that fits a word, with the reciprocal that divides the limbs by that power, and what takes a
// word's digits one by one.
struct TBase {
  unsigned shift = 0;                    // log2 b for a power of two, else 0
  unsigned k = 0;                        // digits per word: the largest k with b^k < 2^64
  Limb big = 0;                          // b^k
  unsigned norm = 0;                     // leading zero bits of big
  Word::Reciprocal rec{Limb{1} << 63};   // of big << norm
  unsigned halfNorm = 0;                 // leading zero bits of b^(k / 2)
  Word::Reciprocal half{Limb{1} << 63};  // of b^(k / 2) << halfNorm, which splits a word's digits
  Limb magic = 0;  // 2^64 / b + 1: mulhi(v, magic) is v / b for v < 2^58, as b <= 36
};

constexpr TBase MakeBase(unsigned b) {
  TBase r;
  if (b < 2) return r;
  r.shift = (b & (b - 1)) == 0 ? static_cast<unsigned>(std::countr_zero(b)) : 0;
  r.big = b;
  r.k = 1;
  while (r.big <= ~Limb{0} / b) {
    r.big *= b;
    ++r.k;
  }
  r.norm = static_cast<unsigned>(std::countl_zero(r.big));
  r.rec = Word::Reciprocal(r.big << r.norm);
  Limb half = 1;
  for (unsigned i = 0; i < r.k / 2; ++i) half *= b;
  r.halfNorm = static_cast<unsigned>(std::countl_zero(half));
  r.half = Word::Reciprocal(half << r.halfNorm);
  r.magic = ~Limb{0} / b + 1;
  return r;
}

constexpr std::array<TBase, 37> kBase = [] {
  std::array<TBase, 37> t{};
  for (unsigned b = 0; b < t.size(); ++b) t[b] = MakeBase(b);
  return t;
}();

// The eight binary characters of the byte v, its top bit in the low byte.
Limb BinChars(std::uint8_t v) {
  Limb x = v;
  x = (x | x << 28) & 0x0000000F0000000Fu;
  x = (x | x << 14) & 0x0003000300030003u;
  x = (x | x << 7) & 0x0101010101010101u;  // bit i in byte i
  return Word::Swap(x) | 0x3030303030303030u;
}

// ---- MkCard routes ---------------------------------------------------------------------------

// x of at most 8 bytes. The value lives in one word; mask is 256^n - 1.
[[gnu::noinline]] bool MkCard_Word(LC::ByteCard x, std::span<const char> s, std::uint8_t b) {
  const std::size_t n = x.size(), cap = s.size();
  std::size_t i = 0;

  if (const unsigned k = kBase[b].shift; k != 0) {
    // Shift the digits in; no overflow is possible while the digits hold at most 8n bits.
    Limb v = 0;
    std::uint8_t d;
    while (i < cap && (d = DigitAt(s, i)) < b) {
      v = v << k | d;
      ++i;
    }
    const bool end = EndsAt(s, i);
    if (i == 0 && end) return false;
    if (i * k <= 8 * n) {
      Word::StN(x.data(), n, v);
      return end;
    }
    i = 0;  // leading zeros or an overflow: the exact loop decides
  }

  const Limb mask = n >= 8 ? ~Limb{0} : (Limb{1} << (8 * n)) - 1;
  Limb v = 0;
  std::uint8_t d;
  while (i < cap && (d = DigitAt(s, i)) < b) {
    Limb p;
    if (__builtin_mul_overflow(v, Limb{b}, &p) || p > mask) {  // the multiply loses its top
      Word::StN(x.data(), n, p & mask);
      return false;
    }
    if (__builtin_add_overflow(p, Limb{d}, &v) || v > mask) {  // the add carries out
      Word::StN(x.data(), n, v & mask);
      return false;
    }
    ++i;
  }
  const bool end = EndsAt(s, i);
  if (i == 0 && end) return false;
  Word::StN(x.data(), n, v);
  return end;
}

// x of 9 to LC::kStackBytes bytes, on limbs L of its own.
[[gnu::noinline]] bool MkCard_Limbs(LC::ByteCard x, std::span<const char> s, std::uint8_t b) {
  const std::size_t n = x.size(), cap = s.size();
  std::size_t m = 0;  // digits before the first non-digit
  while (m < cap && DigitAt(s, m) < b) ++m;
  const bool end = EndsAt(s, m);
  if (m == 0 && end) return false;

  const std::size_t nl = Word::Limbs(n);
  const auto topBits = static_cast<unsigned>(8 * n - 64 * (nl - 1));  // 1 to 64
  Limb L[kMaxLimbs];
  std::fill(L, L + nl, Limb{0});
  // Bits above 8n fall away with the bytes above n.
  const auto write = [&] { Word::StLimbs(x.data(), n, L); };
  const auto over = [&](Limb carry) {
    return carry != 0 || (topBits < 64 && L[nl - 1] >> topBits != 0);
  };

  // Whole words of digits: L := L * b^cnt + c while a bound keeps the result below 256^n.
  // The value only grows from digit to digit, so a chunk that ends in range never overflowed
  // on the way.
  const unsigned k = kBase[b].k;
  const Limb bb = Limb{b} * b;
  std::size_t t = 0;  // limbs in use
  std::size_t pos = 0;
  while (pos < m) {
    const std::size_t cnt = std::min<std::size_t>(m - pos, k);
    // Two digits per step halve the multiply-add chain.
    std::size_t j = cnt % 2;
    Limb c = j != 0 ? DigitAt(s, pos) : 0;
    for (; j < cnt; j += 2) c = c * bb + (Limb{DigitAt(s, pos + j)} * b + DigitAt(s, pos + j + 1));
    Limb p = kBase[b].big;
    if (cnt < k) {
      p = 1;
      for (j = 0; j < cnt; ++j) p *= b;
    }
    if (t > 0) {
      // value < (top + 1) * 2^(64(t-1)), so the result is below (top + 1) * p * 2^(64(t-1)).
      const auto room = static_cast<unsigned>(8 * n - 64 * (t - 1));
      // bound - 1 = top * p + p - 1 as (hi, lo), at least 2^room exactly when bound > 2^room.
      Limb lo = 0;
      Limb hi = Word::MulWide(L[t - 1], p, lo);
      lo += p - 1;
      hi += lo < p - 1;
      if (room < 64 ? (hi | lo >> room) != 0 : room < 128 && hi >> (room - 64) != 0) break;
    }
    for (j = 0; j < t; ++j) L[j] = Word::MulCarry(L[j], p, c);
    if (c != 0) L[t++] = c;
    pos += cnt;
  }

  // Near the capacity: one digit at a time, as the plain method meets the overflow.
  for (; pos < m; ++pos) {
    Limb carry = 0;
    for (std::size_t j = 0; j < nl; ++j) L[j] = Word::MulCarry(L[j], b, carry);
    if (over(carry)) break;
    carry = 0;
    L[0] = Word::AddC(L[0], DigitAt(s, pos), carry);
    for (std::size_t j = 1; j < nl && carry != 0; ++j) L[j] = Word::AddC(L[j], 0, carry);
    if (over(carry)) break;
  }
  write();
  return pos == m && end;
}

// The plain method through LC, for capacities beyond the limb routes.
[[gnu::noinline]] bool MkCard_Plain(LC::ByteCard x, std::span<const char> s, std::uint8_t b) {
  const std::uint32_t n = Text::Length(s);
  if (n == 0) return false;
  Lib2::Fill(x, 0);
  const std::array<std::uint8_t, 1> base{b};
  std::array<std::uint8_t, 1> y{};
  for (std::uint32_t i = 0; i < n; ++i) {
    y[0] = Text::Digit(s[i]);
    if (y[0] >= b || !LC::Mpl(x, base) || !LC::Inc(x, y)) return false;
  }
  return true;
}

// ---- MkStr routes ----------------------------------------------------------------------------

// Powers of two: digit j is the bit field [j*k, j*k + k) of x; x holds n significant bytes.
bool MkStr_Pow2(std::span<char> s, LC::CByteCard x, std::uint8_t b) {
  const unsigned k = kBase[b].shift;
  const std::size_t cap = s.size();
  const std::size_t n = x.size();
  const unsigned mask = b - 1u;

  if (n <= 8) {
    const Limb v = Word::LdN(x.data(), n);
    const unsigned bits = 64 - static_cast<unsigned>(std::countl_zero(v));
    const std::uint32_t l = bits == 0 ? 1 : (bits + k - 1) / k;
    for (std::size_t j = 0; j < std::min<std::size_t>(l, cap); ++j) {
      s[l <= cap ? l - 1 - j : j] = Text::kDigits[(v >> (k * j)) & mask];
    }
    if (l < cap) s[l] = '\0';
    return l <= cap;
  }

  const auto digit = [&](std::size_t j) {
    const std::size_t o = j * k, i = o / 8;
    unsigned w = x[i];
    if (i + 1 < n) w |= unsigned{x[i + 1]} << 8;
    return Text::kDigits[(w >> (o % 8)) & mask];
  };
  const std::uint8_t top = x[n - 1];
  const unsigned topBits = 32 - static_cast<unsigned>(std::countl_zero(unsigned{top}));
  const std::size_t l = (8 * (n - 1) + topBits + k - 1) / k;
  if (l > cap) {
    for (std::size_t j = 0; j < cap; ++j) s[j] = digit(j);
    return false;
  }
  char* p = s.data();
  if (k == 1) {
    for (unsigned j = topBits; j-- > 0;) *p++ = static_cast<char>('0' + ((top >> j) & 1));
    for (std::size_t i = n - 1; i-- > 0; p += 8) {
      Word::St(p, BinChars(x[i]));
    }
  } else if (k == 4) {
    if (top >= 16) *p++ = Text::kDigits[top >> 4];
    *p++ = Text::kDigits[top & 15];
    for (std::size_t i = n - 1; i-- > 0; p += 2) {
      p[0] = Text::kDigits[x[i] >> 4];
      p[1] = Text::kDigits[x[i] & 15];
    }
  } else {
    for (std::size_t j = l; j-- > 0;) *p++ = digit(j);
  }
  if (l < cap) s[l] = '\0';
  return true;
}

// Other bases: the value in limbs L[0..t), t <= 1 for a value below 2^64. Digits are produced
// least significant first and put in reading order at the end, as the plain method does; each
// division of the limbs by b^k (Moeller and Granlund's reciprocal) yields k digits. Inlined
// into each caller, so that a caller passing constants gets a routine of its own.
[[gnu::always_inline]] inline bool MkStr_Digits(std::span<char> s, Limb* L, std::size_t t,
                                                unsigned b, const TBase& base) {
  const std::size_t cap = s.size();
  std::size_t l = 0;
  // The character of the digit v mod b, for v < 2^58; v := v div b.
  const auto next = [&](Limb& v) {
    Limb lo = 0;
    const Limb q = Word::MulWide(v, base.magic, lo);
    const char c = Text::kDigits[v - q * b];
    v = q;
    return c;
  };

  while (t > 1) {
    // L := L div b^k, r := L mod b^k, dividing (L << norm) by (b^k << norm); without the
    // shifts when b^k has its top bit set, as 10^19 has.
    Limb r = Word::IntoHigh(L[t - 1], base.norm);
    for (std::size_t i = t; base.norm == 0 && i-- > 0;) L[i] = base.rec.Divide(r, L[i], r);
    for (std::size_t i = t; base.norm != 0 && i-- > 0;) {
      const Limb lo = i > 0 ? Word::IntoHigh(L[i - 1], base.norm) : 0;
      L[i] = base.rec.Divide(r, L[i] << base.norm | lo, r);
    }
    r >>= base.norm;
    if (L[t - 1] == 0) --t;  // a quotient by less than 2^64 loses at most one limb

    // The k digits of r, zeros included (more digits follow), from two halves small enough for
    // the division by multiplication; as many as fit when s is short of room.
    Limb lo;
    Limb hi = base.half.Divide(Word::IntoHigh(r, base.halfNorm), r << base.halfNorm, lo);
    lo >>= base.halfNorm;
    const std::size_t m = std::min<std::size_t>(base.k, cap - l);
    const std::size_t h = std::min<std::size_t>(base.k / 2, m);
    for (std::size_t j = 0; j < h; ++j) s[l + j] = next(lo);
    for (std::size_t j = h; j < m; ++j) s[l + j] = next(hi);
    l += m;
    if (m < base.k) return false;
  }

  // The rest is below 2^64, and not zero after a division (the quotient of at least 2^64 by
  // b^k): the loop runs at least once, so zero as the whole number is the digit 0.
  Limb v = t != 0 ? L[0] : 0;
  do {
    if (l == cap) return false;
    if (v >> 58 != 0) {  // too large for next: a plain division first
      s[l++] = Text::kDigits[v % b];
      v /= b;
    } else {
      s[l++] = next(v);
    }
  } while (v != 0);
  if (l < cap) s[l] = '\0';
  std::reverse(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(l));
  return true;
}

// Base 10, by far the most asked for, gets its constants folded into its own copy.
bool MkStr_Base(std::span<char> s, Limb* L, std::size_t t, std::uint8_t b) {
  static constexpr TBase kTen = MakeBase(10);
  if (b == 10) return MkStr_Digits(s, L, t, 10, kTen);
  return MkStr_Digits(s, L, t, b, kBase[b]);
}

// Every MkStr but the one-word hexadecimal route.
[[gnu::noinline]] bool MkStr_Any(std::span<char> s, LC::CByteCard x, std::uint8_t b) {
  const std::size_t n = LC::Len0(x);
  if (kBase[b].shift != 0) return MkStr_Pow2(s, x.first(n), b);
  if (n > LC::kStackBytes) return false;
  Limb L[kMaxLimbs];
  Word::LdLimbs(L, x.data(), n);
  return MkStr_Base(s, L, Word::Limbs(n), b);
}

}  // namespace

namespace LCC {

// Both conversions try the self-test's shape first (base 16, x of up to 8 bytes, s of at least
// 8 characters, at most 8 digits) in a few instructions, and leave every other case to
// routes that are not inlined, so that this path carries no large frame.

bool MkCard(LC::ByteCard x, std::span<const char> s, std::uint8_t b) {
  // A value too large for x overflows the plain method's way, on the routes below.
  if (bool ok; b == 16 && Hex8::GetCard(x, s, true, ok)) return ok;
  if (b < 2 || b > 36) return false;
  if (x.size() <= 8) return MkCard_Word(x, s, b);
  if (x.size() <= LC::kStackBytes) return MkCard_Limbs(x, s, b);
  return MkCard_Plain(x, s, b);
}

bool MkStr(std::span<char> s, LC::CByteCard x, std::uint8_t b) {
  if (b == 16 && Hex8::PutCard(s, x)) return true;
  if (b < 2 || b > 36) return false;
  return MkStr_Any(s, x, b);
}

}  // namespace LCC
