// The digit alphabet of every conversion and the length of a text. Digit values 0 to 35 are the
// characters 0-9 and A-Z, read in either case and written in upper case.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <span>

namespace Text {

// The character of each digit value.
inline constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// The value of a character that is no digit: no base reaches it.
inline constexpr std::uint8_t kNoDigit = 36;

// The digit value of every character.
inline constexpr std::array<std::uint8_t, 256> kValue = [] {
  std::array<std::uint8_t, 256> t{};
  t.fill(kNoDigit);
  for (std::uint8_t d = 0; d < 36; ++d) {
    t[static_cast<unsigned char>(kDigits[d])] = d;
    t[static_cast<unsigned char>(kDigits[d] | 0x20)] = d;  // the lower-case letter; a digit stays
  }
  return t;
}();

// The digit value of c: 0 to 35, or kNoDigit.
inline std::uint8_t Digit(char c) {
  return kValue[static_cast<unsigned char>(c)];
}

// The number of characters before the first '\0', or the span's length when there is none.
inline std::uint32_t Length(std::span<const char> s) {
  if (s.empty()) return 0;  // memchr wants a real address even for no bytes
  const void* end = std::memchr(s.data(), '\0', s.size());
  return static_cast<std::uint32_t>(end != nullptr ? static_cast<const char*>(end) - s.data()
                                                   : static_cast<std::ptrdiff_t>(s.size()));
}

}  // namespace Text
