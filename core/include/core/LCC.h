// Digit strings in bases 2 to 36.
//
// Digits 0-9 are the characters 0-9, digits 10-35 the letters A-Z, read in either case and
// written in upper case. A text ends at its first '\0' or at the end of its span, whichever
// comes first; a text that fills its span has no terminator. No sign, no prefix, no blanks.
//
// The results are those of the plain method through LC: MkCard multiplies by the base and adds
// each digit (LC::Mpl, LC::Inc), MkStr divides by the base once per digit (LC::Dvd). Inside,
// both take word-sized routes that reach the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/LC.h"

namespace LCC {

// Longest value MkStr converts: significant bytes of x (its working copy lives on the stack).
inline constexpr std::size_t kStrMaxBytes = LC::kStackBytes;

// x := the value of the digit string s in base b, read most significant digit first
// (Horner's scheme); leading zeros are allowed.
//
// Returns false
// - when b is outside 2 to 36, or s is empty (its first character is '\0'): x unchanged;
// - when the character at position i is no digit of base b (a blank, a sign, a letter too
//   high for b, a code above 127): x holds the value of the digits before position i;
// - when the value outgrows the capacity of x: x holds the value reached at that digit,
//   wrapped modulo 256^x.size(). For a digit d found after the value v so far, either v * b
//   does not fit (x then holds v * b mod 256^n and d is not added), or v * b fits and
//   v * b + d does not (x then holds v * b + d mod 256^n).
// Otherwise true, with every byte of x written (the bytes above the value cleared).
[[nodiscard]] bool MkCard(LC::ByteCard x, std::span<const char> s, std::uint8_t b);

// s := the digits of x in base b: most significant first, no leading zeros, "0" for zero,
// followed by '\0' when s has room for it. x is only read.
//
// Returns true when every digit fits; a text that fills s exactly has no terminator.
// Returns false
// - when b is outside 2 to 36: s unchanged;
// - when the digits outnumber the capacity of s: s holds the s.size() lowest digits in
//   production order, least significant first, with no terminator;
// - when x has more than kStrMaxBytes significant bytes and b is not a power of two: s
//   unchanged.
[[nodiscard]] bool MkStr(std::span<char> s, LC::CByteCard x, std::uint8_t b);

// s := the digits of the 32-bit x in base b: MkStr of its four bytes. Ten characters hold its
// decimal digits, eleven the terminator too.
[[nodiscard]] inline bool MkStr(std::span<char> s, std::uint32_t x, std::uint8_t b) {
  return MkStr(s, LC::Card04(x), b);
}

}  // namespace LCC
