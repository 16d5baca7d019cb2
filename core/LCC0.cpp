// Hexadecimal digit strings nibble by nibble.
//
// A cardinal of up to 8 bytes whose text is at most 8 valid digits goes through one machine
// word (Hex8.h); every other case takes the nibble-by-nibble loop, out of line so that the
// word route keeps its registers. Both give the same bytes.
#include "core/LCC0.h"

#include <cstddef>
#include <cstdint>

#include "Hex8.h"
#include "core/Text.h"

namespace {

// The nibble-by-nibble conversions, for every shape.
[[gnu::noinline]] bool MkCard_Nibbles(LC::ByteCard x, std::span<const char> s) {
  const std::size_t n = x.size();
  std::uint32_t l = Text::Length(s);
  if (l == 0) return false;
  bool ok = true;
  // Delivers the next nibble from the right end of the text; 0 once the text is used up.
  const auto get = [&](std::uint8_t& y) {
    if (l > 0) {
      --l;
      y = Text::Digit(s[l]);
      if (y >= 16) {
        y = 0;
        ok = false;
      }
    } else {
      y = 0;
    }
  };
  for (std::size_t i = 0; i < n; ++i) {
    std::uint8_t y = 0;
    std::uint8_t z = 0;
    get(y);
    get(z);
    x[i] = static_cast<std::uint8_t>(z * 16 + y);
  }
  return ok;
}

[[gnu::noinline]] bool MkStr_Nibbles(std::span<char> s, LC::CByteCard x) {
  const std::size_t cap = s.size();
  const std::size_t n = x.size();
  bool ok = true;
  std::size_t l = 0;
  // Appends the digit of nibble y; leading zero nibbles are skipped, digits beyond s dropped.
  const auto put = [&](std::uint8_t y) {
    if (y == 0 && l == 0) return;
    if (l < cap) {
      s[l] = Text::kDigits[y];
      ++l;
    } else {
      ok = false;
    }
  };
  for (std::size_t i = n; i-- > 0;) {
    put(static_cast<std::uint8_t>(x[i] >> 4));
    put(static_cast<std::uint8_t>(x[i] & 0x0F));
  }
  if (l == 0) {
    s[0] = '0';
    l = 1;
  }
  if (l < cap) s[l] = '\0';
  return ok;
}

}  // namespace

namespace LCC0 {

bool MkCard(LC::ByteCard x, std::span<const char> s) {
  bool ok;
  return Hex8::GetCard(x, s, false, ok) ? ok : MkCard_Nibbles(x, s);
}

bool MkStr(std::span<char> s, LC::CByteCard x) {
  if (s.empty()) return false;  // not even "0" fits
  return Hex8::PutCard(s, x) || MkStr_Nibbles(s, x);
}

}  // namespace LCC0
