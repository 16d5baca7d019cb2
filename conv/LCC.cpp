// Digit strings in bases 2 to 36.
//
// Routes, each giving the bytes of the plain per-digit method:
// - Base 16 with x of up to 8 bytes and texts of up to 8 digits (the self-test's shape): the
//   one-word routes of LCC0::detail.
// - MkCard, x of up to 8 bytes: the value in one word, with the overflow of every multiply
//   and add tested as the plain method would meet it; powers of two shift digits in.
// - MkCard, x of up to kMaxBytes: 64-bit limbs, a whole word of digits per multiply-add as
//   long as a bound shows the chunk cannot overflow, digit by digit near the capacity.
// - MkCard, larger x: the plain method through LC::Mpl and LC::Inc.
// - MkStr, powers of two: digits are bit fields, written straight to their places.
// - MkStr, other bases: the largest power of the base that fits a word divides the limbs, and
//   each remainder gives that many digits through divisions by a constant.
#include "conv/LCC.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "arith/Lib2.h"
#include "conv/LCC0.h"
#include "support/Runtime.h"

namespace {

static_assert(std::endian::native == std::endian::little,
              "cardinals are loaded into words and limbs least significant byte first");

__extension__ typedef unsigned __int128 U128;
using u64 = std::uint64_t;

constexpr std::uint8_t kNoDigit = 36;
// Largest capacity of x for which MkCard works on limbs of its own.
constexpr std::size_t kMaxBytes = LCC::kStrMaxBytes;
constexpr std::size_t kMaxLimbs = kMaxBytes / 8;

// The digit value of c: 0 to 35, or kNoDigit for a character that is no digit in any base.
constexpr std::uint8_t Digit(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') u = static_cast<unsigned char>(u - 'a' + 'A');
  if (u < 'A') return u >= '0' && u <= '9' ? static_cast<std::uint8_t>(u - '0') : kNoDigit;
  return u <= 'Z' ? static_cast<std::uint8_t>(u - 'A' + 10) : kNoDigit;
}

// The character of the digit x (x < b <= 36).
constexpr char Char(std::uint8_t x) {
  return static_cast<char>(x < 10 ? '0' + x : 'A' + (x - 10));
}

// Puts the first l characters of s (at most its capacity) in reverse order.
void Invert(std::span<char> s, std::uint32_t l) {
  const std::size_t m = l < s.size() ? l : s.size();
  if (m < 2) return;
  for (std::size_t i = 0; i < m / 2; ++i) std::swap(s[i], s[m - 1 - i]);
}

constexpr std::array<std::uint8_t, 256> kDigit = [] {
  std::array<std::uint8_t, 256> t{};
  for (std::size_t c = 0; c < t.size(); ++c) t[c] = Digit(static_cast<char>(c));
  return t;
}();

constexpr std::array<char, 36> kChar = [] {
  std::array<char, 36> t{};
  for (std::size_t d = 0; d < t.size(); ++d) t[d] = Char(static_cast<std::uint8_t>(d));
  return t;
}();

inline std::uint8_t DigitAt(std::span<const char> s, std::size_t i) {
  return kDigit[static_cast<unsigned char>(s[i])];
}

// What each base needs: its shift when it is a power of two, and the largest power of it that
// fits a word with the reciprocal that divides by that power.
struct TBase {
  unsigned shift = 0;  // log2 b for a power of two, else 0
  unsigned k = 0;      // digits per word: the largest k with b^k < 2^64
  u64 big = 0;         // b^k
  unsigned norm = 0;   // leading zero bits of big
};

constexpr TBase MakeBase(unsigned b) {
  TBase r;
  if (b < 2) return r;
  r.shift = (b & (b - 1)) == 0 ? static_cast<unsigned>(std::countr_zero(b)) : 0;
  r.big = b;
  r.k = 1;
  while (r.big <= ~u64{0} / b) {
    r.big *= b;
    ++r.k;
  }
  r.norm = static_cast<unsigned>(std::countl_zero(r.big));
  return r;
}

constexpr std::array<TBase, 37> kBase = [] {
  std::array<TBase, 37> t{};
  for (unsigned b = 0; b < t.size(); ++b) t[b] = MakeBase(b);
  return t;
}();

// ---- Words -----------------------------------------------------------------------------------

// The eight binary characters of the byte v, its top bit in the low byte.
u64 BinChars(std::uint8_t v) {
  u64 x = v;
  x = (x | x << 28) & 0x0000000F0000000Fu;
  x = (x | x << 14) & 0x0003000300030003u;
  x = (x | x << 7) & 0x0101010101010101u;  // bit i in byte i
  return __builtin_bswap64(x) | 0x3030303030303030u;
}

// ---- MkCard routes ---------------------------------------------------------------------------

// x of at most 8 bytes. The value lives in one word; mask is 256^n - 1.
[[gnu::noinline]] bool MkCard_Word(LC::ByteCard x, std::span<const char> s, std::uint8_t b) {
  const std::size_t n = x.size(), cap = s.size();
  std::size_t i = 0;

  if (const unsigned k = kBase[b].shift; k != 0) {
    // Shift the digits in; no overflow is possible while the digits hold at most 8n bits.
    u64 v = 0;
    std::uint8_t d;
    while (i < cap && (d = DigitAt(s, i)) < b) {
      v = v << k | d;
      ++i;
    }
    const bool end = i == cap || s[i] == '\0';
    if (i == 0 && end) return false;
    if (i * k <= 8 * n) {
      LCC0::detail::StoreWord(x, v);
      return end;
    }
    i = 0;  // leading zeros or an overflow: the exact loop decides
  }

  const u64 mask = n >= 8 ? ~u64{0} : (u64{1} << (8 * n)) - 1;
  u64 v = 0;
  std::uint8_t d;
  while (i < cap && (d = DigitAt(s, i)) < b) {
    u64 p;
    if (__builtin_mul_overflow(v, u64{b}, &p) || p > mask) {  // the multiply loses its top
      LCC0::detail::StoreWord(x, p & mask);
      return false;
    }
    if (__builtin_add_overflow(p, u64{d}, &v) || v > mask) {  // the add carries out
      LCC0::detail::StoreWord(x, v & mask);
      return false;
    }
    ++i;
  }
  const bool end = i == cap || s[i] == '\0';
  if (i == 0 && end) return false;
  LCC0::detail::StoreWord(x, v);
  return end;
}

// x of 9 to kMaxBytes bytes, on limbs L of its own.
[[gnu::noinline]] bool MkCard_Limbs(LC::ByteCard x, std::span<const char> s, std::uint8_t b) {
  const std::size_t n = x.size(), cap = s.size();
  std::size_t m = 0;  // digits before the first non-digit
  while (m < cap && DigitAt(s, m) < b) ++m;
  const bool end = m == cap || s[m] == '\0';
  if (m == 0 && end) return false;

  const std::size_t nl = (n + 7) / 8;
  const unsigned topBits = static_cast<unsigned>(8 * n - 64 * (nl - 1));  // 1 to 64
  u64 L[kMaxLimbs];
  std::fill(L, L + nl, u64{0});
  // Bits above 8n fall away with the bytes above n.
  const auto write = [&] { std::memcpy(x.data(), L, n); };

  // Whole words of digits: L := L * b^cnt + c while a bound keeps the result below 256^n.
  // The value only grows from digit to digit, so a chunk that ends in range never overflowed
  // on the way.
  const unsigned k = kBase[b].k;
  const u64 bb = u64{b} * b;
  std::size_t t = 0;  // limbs in use
  std::size_t pos = 0;
  while (pos < m) {
    const std::size_t cnt = m - pos < k ? m - pos : k;
    // Two digits per step halve the multiply-add chain.
    std::size_t j = cnt % 2;
    u64 c = j != 0 ? DigitAt(s, pos) : 0;
    for (; j < cnt; j += 2) {
      c = c * bb + (u64{DigitAt(s, pos + j)} * b + DigitAt(s, pos + j + 1));
    }
    u64 p = kBase[b].big;
    if (cnt < k) {
      p = 1;
      for (j = 0; j < cnt; ++j) p *= b;
    }
    if (t > 0) {
      // value < (top + 1) * 2^(64(t-1)), so the result is below (top + 1) * p * 2^(64(t-1)).
      const unsigned room = static_cast<unsigned>(8 * n - 64 * (t - 1));
      const U128 bound = static_cast<U128>(L[t - 1]) * p + p;
      if (room < 128 && bound > (static_cast<U128>(1) << room)) break;
    }
    u64 carry = c;
    for (std::size_t j = 0; j < t; ++j) {
      const U128 q = static_cast<U128>(L[j]) * p + carry;
      L[j] = static_cast<u64>(q);
      carry = static_cast<u64>(q >> 64);
    }
    if (carry != 0) L[t++] = carry;
    pos += cnt;
  }

  // Near the capacity: one digit at a time, as the plain method meets the overflow.
  for (; pos < m; ++pos) {
    u64 carry = 0;
    for (std::size_t j = 0; j < nl; ++j) {
      const U128 q = static_cast<U128>(L[j]) * b + carry;
      L[j] = static_cast<u64>(q);
      carry = static_cast<u64>(q >> 64);
    }
    if (carry != 0 || (topBits < 64 && L[nl - 1] >> topBits != 0)) {
      write();
      return false;
    }
    carry = DigitAt(s, pos);
    for (std::size_t j = 0; j < nl && carry != 0; ++j) {
      L[j] += carry;
      carry = L[j] < carry ? 1 : 0;
    }
    if (carry != 0 || (topBits < 64 && L[nl - 1] >> topBits != 0)) {
      write();
      return false;
    }
  }
  write();
  return end;
}

// ---- MkStr routes ----------------------------------------------------------------------------

// Powers of two: digit j is the bit field [j*k, j*k + k) of x; x holds n significant bytes.
bool MkStr_Pow2(std::span<char> s, LC::CByteCard x, std::uint8_t b) {
  const unsigned k = kBase[b].shift;
  const std::size_t cap = s.size();
  const std::size_t n = x.size();
  const unsigned mask = b - 1u;

  if (n <= 8) {
    const u64 v = LCC0::detail::LoadWord(x);
    const unsigned bits = 64 - static_cast<unsigned>(std::countl_zero(v));
    const std::uint32_t l = bits == 0 ? 1 : (bits + k - 1) / k;
    if (l <= cap) {
      for (std::uint32_t j = 0; j < l; ++j) s[l - 1 - j] = kChar[(v >> (k * j)) & mask];
      if (l < cap) s[l] = '\0';
      return true;
    }
    for (std::size_t j = 0; j < cap; ++j) s[j] = kChar[(v >> (k * j)) & mask];
    return false;
  }

  const auto digit = [&](std::size_t j) {
    const std::size_t o = j * k, i = o / 8;
    unsigned w = x[i];
    if (i + 1 < n) w |= unsigned{x[i + 1]} << 8;
    return kChar[(w >> (o % 8)) & mask];
  };
  const std::uint8_t top = x[n - 1];
  const unsigned topBits = 32 - static_cast<unsigned>(std::countl_zero(unsigned{top}));
  const std::size_t bits = 8 * (n - 1) + topBits;
  const std::size_t l = (bits + k - 1) / k;
  if (l > cap) {
    for (std::size_t j = 0; j < cap; ++j) s[j] = digit(j);
    return false;
  }
  char* p = s.data();
  if (k == 1) {
    for (unsigned j = topBits; j-- > 0;) *p++ = static_cast<char>('0' + ((top >> j) & 1));
    for (std::size_t i = n - 1; i-- > 0; p += 8) {
      const u64 w = BinChars(x[i]);
      std::memcpy(p, &w, 8);
    }
  } else if (k == 4) {
    if (top >= 16) *p++ = kChar[top >> 4];
    *p++ = kChar[top & 15];
    for (std::size_t i = n - 1; i-- > 0; p += 2) {
      p[0] = kChar[x[i] >> 4];
      p[1] = kChar[x[i] & 15];
    }
  } else {
    for (std::size_t j = l; j-- > 0;) *p++ = digit(j);
  }
  if (l < cap) s[l] = '\0';
  return true;
}

// Other bases: the value in limbs L[0..t), t <= 1 for a value below 2^64. Digits are produced
// least significant first and put in reading order at the end, as the plain method does; each
// division by b^k of the limbs yields k digits through divisions by the constant B.
template <unsigned B>
bool MkStr_Base(std::span<char> s, u64* L, std::size_t t) {
  static constexpr TBase kB = MakeBase(B);
  constexpr unsigned k = kB.k;
  constexpr unsigned h = k / 2;
  constexpr u64 half = [] {
    u64 p = 1;
    for (unsigned i = 0; i < h; ++i) p *= B;
    return p;
  }();
  const std::size_t cap = s.size();
  std::uint32_t l = 0;

  // Appends the digit character c; false when s is full.
  const auto put = [&](char c) {
    if (l >= cap) return false;
    s[l] = c;
    ++l;
    return true;
  };

  while (t > 1) {
    // L := L div b^k, r := L mod b^k, dividing (L << norm) by (b^k << norm) with the
    // reciprocal (Moeller and Granlund, "Improved division by invariant integers", alg. 4).
    static constexpr LC::detail::Reciprocal kRec(kB.big << kB.norm);
    const auto divide = [](u64 u1, u64 u0, u64& r) { return kRec.Divide(u1, u0, r); };
    u64 r = 0;
    if constexpr (kB.norm == 0) {
      for (std::size_t i = t; i-- > 0;) L[i] = divide(r, L[i], r);
    } else {
      r = L[t - 1] >> (64 - kB.norm);
      for (std::size_t i = t; i-- > 0;) {
        const u64 lo = i > 0 ? L[i - 1] >> (64 - kB.norm) : 0;
        L[i] = divide(r, L[i] << kB.norm | lo, r);
      }
      r >>= kB.norm;
    }
    if (L[t - 1] == 0) --t;  // a quotient by less than 2^64 loses at most one limb

    // The k digits of r, zeros included: more digits follow. Two halves, two chains.
    u64 lo = r % half, hi = r / half;
    if (l + k <= cap) {
      for (unsigned j = 0; j < h; ++j, lo /= B) s[l + j] = kChar[lo % B];
      for (unsigned j = h; j < k; ++j, hi /= B) s[l + j] = kChar[hi % B];
      l += k;
    } else {
      for (unsigned j = 0; j < h; ++j, lo /= B)
        if (!put(kChar[lo % B])) return false;
      for (unsigned j = h; j < k; ++j, hi /= B)
        if (!put(kChar[hi % B])) return false;
    }
  }

  // The rest is below 2^64, and not zero after a division (the quotient of at least 2^64 by
  // b^k): the loop runs at least once, so zero as the whole number is the digit 0.
  u64 v = t != 0 ? L[0] : 0;
  do {
    if (!put(kChar[v % B])) return false;
    v /= B;
  } while (v != 0);
  if (l < cap) s[l] = '\0';
  Invert(s, l);
  return true;
}

using StrFn = bool (*)(std::span<char>, u64*, std::size_t);

template <std::size_t... I>
constexpr std::array<StrFn, sizeof...(I)> MakeStrTable(std::index_sequence<I...>) {
  // Powers of two and the invalid bases get no entry of their own.
  constexpr auto entry = [](std::size_t b) { return b >= 3 && (b & (b - 1)) != 0 ? b : 3; };
  return {(entry(I) == I ? &MkStr_Base<static_cast<unsigned>(entry(I))> : nullptr)...};
}

constexpr std::array<StrFn, 37> kStrFn = MakeStrTable(std::make_index_sequence<37>{});

// The plain method through LC, for capacities beyond the limb routes.
[[gnu::noinline]] bool MkCard_Plain(LC::ByteCard x, std::span<const char> s, std::uint8_t b) {
  // Stores the digit value of c in y; true when it is a digit of base b.
  const auto eval = [b](std::uint8_t& y, char c) {
    y = Digit(c);
    return y < b;
  };

  const std::uint32_t n = s.empty() ? 0 : Strings_Length(s);
  if (n == 0) return false;
  Lib2::Fill(x, 0);
  const std::array<std::uint8_t, 1> base{b};
  std::array<std::uint8_t, 1> y{};
  for (std::uint32_t i = 0; i < n; ++i) {
    if (!eval(y[0], s[i])) return false;
    if (!LC::Mpl(x, base)) return false;
    if (!LC::Inc(x, y)) return false;
  }
  return true;
}

// Every MkStr but the one-word hexadecimal route.
[[gnu::noinline]] bool MkStr_Any(std::span<char> s, LC::CByteCard x, std::uint8_t b) {
  std::size_t n = x.size();
  if (n > 8) {
    while (n > 0 && x[n - 1] == 0) --n;
  }
  if (kBase[b].shift != 0) return MkStr_Pow2(s, x.first(n), b);

  if (n <= 8) {
    u64 v = LCC0::detail::LoadWord(x.first(n));
    return kStrFn[b](s, &v, v != 0 ? 1 : 0);
  }
  if (n > LCC::kStrMaxBytes) return false;
  u64 L[kMaxLimbs];
  const std::size_t t = (n + 7) / 8;
  L[t - 1] = 0;
  std::memcpy(L, x.data(), n);
  return kStrFn[b](s, L, t);
}

}  // namespace

namespace LCC {

// Both conversions try the self-test's shape first (base 16, x of up to 8 bytes, s of at least
// 8 characters, at most 8 digits) in a few instructions, and leave every other case to
// routes that are not inlined, so that this path carries no large frame.

bool MkCard(LC::ByteCard x, std::span<const char> s, std::uint8_t b) {
  std::uint32_t l, v;
  if (b == 16 && x.size() <= 8 && s.size() >= 8 && LCC0::detail::GetHex8(s, l, v)) {
    if (l == 0) return false;
    if (4 * l <= 8 * x.size()) {
      LCC0::detail::StoreWord(x, v);
      return true;
    }
  }
  if (b < 2 || b > 36) return false;
  if (x.size() <= 8) return MkCard_Word(x, s, b);
  if (x.size() <= kMaxBytes) return MkCard_Limbs(x, s, b);
  return MkCard_Plain(x, s, b);
}

bool MkStr(std::span<char> s, LC::CByteCard x, std::uint8_t b) {
  if (b == 16 && x.size() <= 8 && s.size() >= 8) {
    const u64 v = LCC0::detail::LoadWord(x);
    if (v >> 32 == 0) {
      LCC0::detail::PutHex8(s, static_cast<std::uint32_t>(v));
      return true;
    }
  }
  if (b < 2 || b > 36) return false;
  return MkStr_Any(s, x, b);
}

}  // namespace LCC
