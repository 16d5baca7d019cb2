// Digit strings in bases 2 to 36 through the arithmetic of LC.
//
// INTERFACE DRAFT: declarations fixed so that other modules can be written against them; the
// contracts and implementation are being completed in conv/.
#pragma once

#include <cstdint>
#include <span>

#include "arith/LC.h"

namespace LCC {

// x := the value of the digit string s in base b.
[[nodiscard]] bool MkCard(LC::ByteCard x, std::span<const char> s, std::uint8_t b);
// s := the digits of x in base b; the caller's x is never changed.
[[nodiscard]] bool MkStr(std::span<char> s, LC::CByteCard x, std::uint8_t b);

}  // namespace LCC
