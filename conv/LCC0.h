// Hexadecimal digit strings nibble by nibble, without arithmetic.
//
// INTERFACE DRAFT: declarations fixed so that other modules can be written against them; the
// contracts and implementation are being completed in conv/.
#pragma once

#include <span>

#include "arith/LC.h"

namespace LCC0 {

// x := the value of the hexadecimal text s.
[[nodiscard]] bool MkCard(LC::ByteCard x, std::span<const char> s);
// s := the hexadecimal text of x.
[[nodiscard]] bool MkStr(std::span<char> s, LC::CByteCard x);

}  // namespace LCC0
