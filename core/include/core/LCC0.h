// Hexadecimal digit strings nibble by nibble, without arithmetic.
//
// Byte i of a cardinal (least significant first) holds nibble 2i in its low four bits and
// nibble 2i+1 in its high four bits, so every byte is exactly two hexadecimal digits. A text
// ends at its first '\0' or at the end of its span, whichever comes first.
#pragma once

#include <span>

#include "core/LC.h"

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
