// Hexadecimal digit strings nibble by nibble, without arithmetic.
//
// Byte i of a cardinal (least significant first) holds nibble 2i in its low four bits and
// nibble 2i+1 in its high four bits, so every byte is exactly two hexadecimal digits. A text
// ends at its first '\0' or at the end of its span, whichever comes first.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <span>

#include "arith/LC.h"

namespace LCC0 {

// x := the value of the hexadecimal text s (digits 0-9, A-F, a-f).
//
// The text is read from its right end: the last character is nibble 0, the one before it
// nibble 1, and so on, and only the last 2 * x.size() characters are read. Characters further
// left are neither read nor validated, so a text longer than x is no failure: x gets the
// value of its last 2 * x.size() digits (the full value modulo 256^x.size()). A text shorter
// than that leaves the upper nibbles at zero.
//
// Returns false
// - when the text is empty: x unchanged;
// - when one of the characters read is no hexadecimal digit: that character counts as the
//   nibble 0 and the others are still converted, so every byte of x is written with a
//   complete but meaningless value.
// Otherwise true, with every byte of x written.
[[nodiscard]] bool MkCard(LC::ByteCard x, std::span<const char> s);

// s := the hexadecimal text of x: upper-case digits, most significant first, no leading
// zeros, "0" for zero; a '\0' follows when s has room for it. x is only read.
//
// Returns true when every significant digit fits; a text that fills s exactly has no
// terminator (2 * x.size() characters always suffice). Returns false when s is too short: s
// then holds the most significant digits that fit, filling it completely, with no terminator.
// An empty s gets nothing and gives false.
[[nodiscard]] bool MkStr(std::span<char> s, LC::CByteCard x);

}  // namespace LCC0

// Word routes for texts of at most eight hexadecimal digits and for cardinals of at most eight
// bytes, shared with LCC. They write the first eight bytes of a text with one store and read
// them with one load of the same place and width, so a text read back right after it was
// written comes straight from the store in flight (narrow stores read back by a wide load, or
// the reverse, wait for the stores to reach the cache).
namespace LCC0::detail {

static_assert(std::endian::native == std::endian::little, "texts are loaded as words");

// Writes the hexadecimal text of v into s, which has at least 8 characters: upper-case digits,
// most significant first, no leading zeros, "0" for zero, then '\0' when s has room. Bytes
// after the terminator keep their values (the first eight bytes are stored as one word).
inline void PutHex8(std::span<char> s, std::uint32_t v) {
  std::uint64_t x = v;
  x = (x | x << 16) & 0x0000FFFF0000FFFFu;
  x = (x | x << 8) & 0x00FF00FF00FF00FFu;
  x = (x | x << 4) & 0x0F0F0F0F0F0F0F0Fu;  // nibble i in byte i
  const std::uint64_t letters = ((x + 0x0606060606060606u) >> 4) & 0x0101010101010101u;
  x += 0x3030303030303030u + letters * 7;  // '0' + d, and 7 more from '9' + 1 to 'A'
  const std::uint32_t l = v == 0 ? 1 : (35 - static_cast<std::uint32_t>(std::countl_zero(v))) / 4;
  const std::uint64_t w = __builtin_bswap64(x) >> (8 * (8 - l));  // first digit in byte 0
  if (l == 8) {
    std::memcpy(s.data(), &w, 8);
    if (s.size() > 8) s[8] = '\0';
    return;
  }
  std::uint64_t old;
  std::memcpy(&old, s.data(), 8);
  const std::uint64_t text = (std::uint64_t{2} << (8 * l + 7)) - 1;  // digits and terminator
  const std::uint64_t merged = w | (old & ~text);
  std::memcpy(s.data(), &merged, 8);
}

// Reads the text at the start of s, which has at least 8 characters, when it is at most 8
// characters long: l := its length, w := its characters (character i in byte i, zero bytes
// from byte l on). False for a longer text.
inline bool GetText8(std::span<const char> s, std::uint32_t& l, std::uint64_t& w) {
  std::uint64_t c;
  std::memcpy(&c, s.data(), 8);
  // The lowest set bit marks the first zero byte exactly (higher ones may be false).
  const std::uint64_t zero = (c - 0x0101010101010101u) & ~c & 0x8080808080808080u;
  if (zero != 0) {
    l = static_cast<std::uint32_t>(std::countr_zero(zero)) / 8;
    w = c & ((std::uint64_t{1} << (8 * l)) - 1);
    return true;
  }
  if (s.size() > 8 && s[8] != '\0') return false;
  l = 8;
  w = c;
  return true;
}

// The value of the last m (1 to 8, at most l) characters of the l-character text w (as
// GetText8 delivers it) read as hexadecimal digits; a character that is no hexadecimal digit
// counts as 0 and clears ok, else ok is set.
inline std::uint32_t HexValue(std::uint64_t w, std::uint32_t l, std::uint32_t m, bool& ok) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u, kHigh = 0x8080808080808080u;
  // The last character in byte 0, the one before it in byte 1, and so on; only m of them.
  const std::uint64_t used = m == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * m)) - 1;
  const std::uint64_t u = __builtin_bswap64(w << (8 * (8 - l))) & used;
  // Per byte, with the top bit as the flag: t >= lo is (t + 0x80 - lo) & 0x80 for t < 0x80.
  const std::uint64_t t = u & ~kHigh;
  const std::uint64_t digit = (t + 0x50 * kOnes) & ~(t + 0x46 * kOnes);           // '0' to '9'
  const std::uint64_t a = t | 0x20 * kOnes;                                       // A-F as a-f
  const std::uint64_t letter = (a + 0x1F * kOnes) & ~(a + 0x19 * kOnes) & kHigh;  // 'a' to 'f'
  const std::uint64_t valid = (digit | letter) & ~u & kHigh & used;
  ok = valid == (kHigh & used);
  std::uint64_t d = ((u & 0x0F * kOnes) + (letter >> 7) * 9) & ((valid >> 7) * 0x0F);
  d = (d | d >> 4) & 0x00FF00FF00FF00FFu;  // nibble j at bit 4j
  d = (d | d >> 8) & 0x0000FFFF0000FFFFu;
  return static_cast<std::uint32_t>(d | d >> 16);
}

// The value of the n <= 8 bytes of x, read in one load where the width allows: x was most
// likely just stored as one word.
inline std::uint64_t LoadWord(LC::CByteCard x) {
  const std::uint8_t* p = x.data();
  switch (x.size()) {
    case 8: {
      std::uint64_t v;
      std::memcpy(&v, p, 8);
      return v;
    }
    case 4: {
      std::uint32_t v;
      std::memcpy(&v, p, 4);
      return v;
    }
    case 2: {
      std::uint16_t v;
      std::memcpy(&v, p, 2);
      return v;
    }
    default: {
      std::uint64_t v = 0;
      for (std::size_t i = 0; i < x.size(); ++i) v |= std::uint64_t{p[i]} << (8 * i);
      return v;
    }
  }
}

// Writes the low x.size() <= 8 bytes of v into x, in as few stores as the width allows: a
// caller reading x back as one word right away must find one store to forward from.
inline void StoreWord(LC::ByteCard x, std::uint64_t v) {
  std::uint8_t* p = x.data();
  switch (x.size()) {
    case 8:
      std::memcpy(p, &v, 8);
      return;
    case 4: {
      const auto w = static_cast<std::uint32_t>(v);
      std::memcpy(p, &w, 4);
      return;
    }
    case 2: {
      const auto w = static_cast<std::uint16_t>(v);
      std::memcpy(p, &w, 2);
      return;
    }
    default:
      for (std::size_t i = 0; i < x.size(); ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
  }
}

}  // namespace LCC0::detail
