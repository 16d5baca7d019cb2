// One-word routes for texts of at most eight hexadecimal digits and for cardinals of at most
// eight bytes: the self-test's shape, which LCC0 and LCC's base 16 share. Internal to the
// computation layer. They write the first eight bytes of a text with one store and read them
// with one load of the same place and width, so a text read back right after it was written
// comes straight from the store in flight (narrow stores read back by a wide load, or the
// reverse, wait for the stores to reach the cache).
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <span>

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

#include "Word.h"

namespace Hex8 {

inline constexpr std::uint64_t kEach = 0x0101010101010101u;  // one in every byte

// The eight nibbles of v, one per byte, the most significant in byte 0.
inline std::uint64_t Nibbles(std::uint32_t v) {
  std::uint64_t x = std::uint64_t{v >> 16} << 32 | (v & 0xFFFF);  // halves at bits 0 and 32
  x = (x | x << 8) & 0x00FF00FF00FF00FFu;
  x = (x | x << 4) & 0x0F * kEach;  // nibble i in byte i
  return Word::Swap(x);
}

// 1 in each byte of d that is 10 to 15, 0 in each that is 0 to 9.
inline std::uint64_t Letters(std::uint64_t d) {
  return ((d + 0x06 * kEach) >> 4) & kEach;
}

// The upper-case digit character of each byte of d, every byte a nibble.
inline std::uint64_t DigitChars(std::uint64_t d) {
  return d + 0x30 * kEach + Letters(d) * 7;  // '0' + d, and 7 more from '9' + 1 to 'A'
}

// A nibble per byte of c: the digit's value in each byte before the first non-digit.
inline std::uint64_t CharNibbles(std::uint64_t c) {
  // Bit 6 marks a letter. Only a byte of F7H or more carries, into bytes after a non-digit.
  return (c + 9 * ((c >> 6) & kEach)) & 0x0F * kEach;
}

// The value whose nibble 7 - i is byte i of d, every byte a nibble: Nibbles undone.
inline std::uint32_t PackNibbles(std::uint64_t d) {
  // t: byte 2k * 16 + byte 2k + 1 in the low byte of 16-bit lane k; u: lane 0 * 256 + lane 1
  // at bit 0, lane 2 * 256 + lane 3 at bit 32 (products and shifts drop the rest).
  const std::uint64_t t = (d * 0x1001) >> 8 & 0x00FF00FF00FF00FFu;
  const std::uint64_t u = (t * 0x1000001) >> 16;
  return static_cast<std::uint32_t>(u << 16 | u >> 32);
}

// A route works on one word of eight characters, byte 0 first. Chars(v): the digits of v, upper
// case, the most significant first, leading zeros included. Read(c, v): the number of digits
// before the first byte of c that is none (8 for none), with v := the value of the eight bytes
// taken as digits (meaningless from that byte on). Plain uses 64-bit arithmetic on every host;
// Sse2 spreads and compares the bytes in vector lanes where the compiler targets SSE2 (x86-64:
// its lanes are little-endian, as Word::Swap assumes here).
struct Plain {
  static std::uint64_t Chars(std::uint32_t v) { return DigitChars(Nibbles(v)); }
  static std::uint32_t Read(std::uint64_t c, std::uint32_t& v) {
    const std::uint64_t d = CharNibbles(c);
    v = PackNibbles(d);
    // d written back matches c (letters in either case: bit 5 aside where d >= 10) in each byte
    // before the first non-digit and not in that one.
    const std::uint64_t diff = (c ^ DigitChars(d)) & ~(Letters(d) << 5);
    return static_cast<std::uint32_t>(std::countr_zero(diff)) / 8;  // 8 for no difference
  }
};

#if defined(__SSE2__) && defined(__x86_64__)
struct Sse2 {
  static std::uint64_t Chars(std::uint32_t v) {
    // Byte 2k and 2k + 1 get the high and the low nibble of the value's byte 3 - k.
    const __m128i b = _mm_cvtsi32_si128(static_cast<int>(Word::Swap(v)));
    const __m128i d =
        _mm_and_si128(_mm_unpacklo_epi8(_mm_srli_epi16(b, 4), b), _mm_set1_epi8(0x0F));
    const __m128i letter = _mm_cmpgt_epi8(d, _mm_set1_epi8(9));
    const __m128i c = _mm_add_epi8(_mm_add_epi8(d, _mm_set1_epi8('0')),
                                   _mm_and_si128(letter, _mm_set1_epi8('A' - '9' - 1)));
    return static_cast<std::uint64_t>(_mm_cvtsi128_si64(c));
  }
  static std::uint32_t Read(std::uint64_t c, std::uint32_t& v) {
    const __m128i x = _mm_cvtsi64_si128(static_cast<long long>(c));  // bytes 8 to 15 zero
    // Each range moved to the top of a signed byte, so that one compare tests it: the decimal
    // digits, and the letters A-F once bit 5 is cleared.
    const __m128i dec =
        _mm_cmpgt_epi8(_mm_add_epi8(x, _mm_set1_epi8(0x7F - '9')), _mm_set1_epi8(0x7F - 10));
    const __m128i letter = _mm_cmpgt_epi8(
        _mm_add_epi8(_mm_and_si128(x, _mm_set1_epi8(~0x20)), _mm_set1_epi8(0x7F - 'F')),
        _mm_set1_epi8(0x7F - 6));
    const auto good = static_cast<std::uint8_t>(_mm_movemask_epi8(_mm_or_si128(dec, letter)));
    // A letter's low nibble plus 9 is its value.
    const __m128i d = _mm_and_si128(_mm_add_epi8(x, _mm_and_si128(letter, _mm_set1_epi8(9))),
                                    _mm_set1_epi8(0x0F));
    // Lane k * 0x1001 has nibble 2k * 16 + nibble 2k + 1 in its high byte. The empty lanes'
    // factor differs, so that the compiler keeps one multiply instead of a shift and an add.
    const __m128i p = _mm_srli_epi16(
        _mm_mullo_epi16(d, _mm_set_epi16(1, 1, 1, 1, 0x1001, 0x1001, 0x1001, 0x1001)), 8);
    v = Word::Swap(static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(p, p))));
    // A full word of digits, the common case, needs no count.
    return good == 0xFF ? 8 : static_cast<std::uint32_t>(std::countr_zero(good + 1u));
  }
};
using Route = Sse2;
#else
using Route = Plain;
#endif

// A value below 2^28 whose top bit is bit t has l = t / 4 + 1 digits. By t: the bits by which
// its characters move down, 8 * (8 - l) (kDrop); the bytes of the old word after its digits and
// terminator, from byte l + 1 on (kKeep).
inline constexpr auto kDrop = [] {
  std::array<std::uint8_t, 28> k{};
  for (unsigned t = 0; t < k.size(); ++t) k[t] = static_cast<std::uint8_t>(8 * (7 - t / 4));
  return k;
}();
inline constexpr auto kKeep = [] {
  std::array<std::uint64_t, 28> k{};
  for (unsigned t = 0; t < k.size(); ++t) k[t] = ~((std::uint64_t{2} << (8 * (t / 4) + 15)) - 1);
  return k;
}();

// Writes the hexadecimal text of v into s, which has at least 8 characters: upper-case digits,
// most significant first, no leading zeros, "0" for zero, then '\0' when s has room. Bytes
// after the terminator keep their values (the first eight bytes are stored as one word).
template <typename R = Route>
inline void Put(std::span<char> s, std::uint32_t v) {
  const std::uint64_t chars = R::Chars(v);
  if (v < 0x10000000) {
    const auto t = static_cast<unsigned>(std::bit_width(v | 1)) - 1;
    Word::St(s.data(), chars >> kDrop[t] | (Word::Ld<std::uint64_t>(s.data()) & kKeep[t]));
    return;
  }
  Word::St(s.data(), chars);
  if (s.size() > 8) s[8] = '\0';
}

// The one-word route for a cardinal: writes x's text as Put does when x has at most 8 bytes, a
// value below 2^32 and s at least 8 characters; false, s untouched, otherwise.
inline bool PutCard(std::span<char> s, std::span<const std::uint8_t> x) {
  if (x.size() > 8 || s.size() < 8) return false;
  const std::uint64_t v = Word::LdN(x.data(), x.size());
  if (v >> 32 != 0) return false;
  Put(s, static_cast<std::uint32_t>(v));
  return true;
}

// Reads the text at the start of s, which has at least 8 characters, when it is at most 8
// hexadecimal digits long: l := its length, v := its value (0 for the empty text). False for a
// longer text or a character that is no hexadecimal digit, l and v then meaningless.
template <typename R = Route>
inline bool Get(std::span<const char> s, std::uint32_t& l, std::uint32_t& v) {
  const auto c = Word::Ld<std::uint64_t>(s.data());
  l = R::Read(c, v);
  if (l == 8) return s.size() == 8 || s[8] == '\0';
  v = static_cast<std::uint32_t>(std::uint64_t{v} << (4 * l) >> 32);  // the first l digits
  return (c >> (8 * l) & 0xFF) == 0;  // byte l ends the text or is no digit
}

// The one-word route for reading a cardinal: takes the case when x has at most 8 bytes, s at
// least 8 characters and its text is at most 8 hexadecimal digits; then ok is false for the
// empty text (x untouched) and true otherwise, with x := the text's value modulo 256^x.size().
// With exact, a value that does not fit x is left to the caller's other route.
inline bool GetCard(std::span<std::uint8_t> x, std::span<const char> s, bool exact, bool& ok) {
  std::uint32_t l, v;
  if (x.size() > 8 || s.size() < 8 || !Get(s, l, v) || (exact && 4 * l > 8 * x.size())) {
    return false;
  }
  ok = l != 0;
  if (ok) Word::StN(x.data(), x.size(), v);
  return true;
}

}  // namespace Hex8
