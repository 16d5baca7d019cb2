// Hexadecimal digit strings nibble by nibble.
//
// Both conversions have a route for small cardinals (up to 8 bytes) that works on one machine
// word, and the nibble-by-nibble loop for every other width; the two give the same bytes.
// The word route stores the digits with whole-word stores and reads them back byte by byte:
// a byte load is served from a wider store still in flight, a wide load from narrow stores is
// not, and the self-test reads every text back right after writing it.
#include "conv/LCC0.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

static_assert(std::endian::native == std::endian::little,
              "the word routes load and store cardinals least significant byte first");

// The digit value of c in the widest alphabet: 0-9 and A-Z (either case) give 0 to 35, every
// other character 0xFF.
constexpr std::uint8_t Digit(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') u = static_cast<unsigned char>(u - 'a' + 'A');
  if (u >= '0' && u <= '9') return static_cast<std::uint8_t>(u - '0');
  if (u >= 'A' && u <= 'Z') return static_cast<std::uint8_t>(u - 'A' + 10);
  return 0xFF;
}

// The upper-case character of the nibble x (0 to 15).
constexpr char Char(std::uint8_t x) {
  return static_cast<char>(x < 10 ? '0' + x : 'A' + (x - 10));
}

// For every character code: its nibble, or kBad for a character that is no hexadecimal digit.
// kBad's low four bits are zero, so a bad character counts as the nibble 0 once masked.
constexpr std::uint8_t kBad = 0x10;
constexpr std::array<std::uint8_t, 256> kNibble = [] {
  std::array<std::uint8_t, 256> t{};
  for (std::size_t c = 0; c < t.size(); ++c) {
    const std::uint8_t d = Digit(static_cast<char>(c));
    t[c] = d < 16 ? d : kBad;
  }
  return t;
}();

std::uint32_t Length(std::span<const char> s) {
  std::uint32_t l = 0;
  while (l < s.size() && s[l] != '\0') ++l;
  return l;
}

// The value of the n <= 8 bytes of x.
std::uint64_t LoadWord(LC::CByteCard x) {
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

// Writes the low x.size() <= 8 bytes of v into x, in as few stores as the width allows.
void StoreWord(LC::ByteCard x, std::uint64_t v) {
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

// The eight hexadecimal characters of v, most significant first in memory order (the
// character of nibble 7 in the lowest byte of the result).
std::uint64_t HexChars(std::uint32_t v) {
  std::uint64_t x = v;
  x = (x | x << 16) & 0x0000FFFF0000FFFFu;
  x = (x | x << 8) & 0x00FF00FF00FF00FFu;
  x = (x | x << 4) & 0x0F0F0F0F0F0F0F0Fu;  // nibble i in byte i
  const std::uint64_t letters = ((x + 0x0606060606060606u) >> 4) & 0x0101010101010101u;
  x += 0x3030303030303030u + letters * 7;  // '0' + d, and 'A' - '0' - 10 = 7 more for letters
  return __builtin_bswap64(x);
}

// Stores the l (1 to 8) characters held in the low bytes of w at p.
void StoreChars(char* p, std::uint64_t w, std::uint32_t l) {
  if (l == 8) {
    std::memcpy(p, &w, 8);
  } else if (l >= 4) {  // two overlapping halves
    const auto lo = static_cast<std::uint32_t>(w);
    const auto hi = static_cast<std::uint32_t>(w >> (8 * (l - 4)));
    std::memcpy(p, &lo, 4);
    std::memcpy(p + l - 4, &hi, 4);
  } else if (l >= 2) {
    const auto lo = static_cast<std::uint16_t>(w);
    const auto hi = static_cast<std::uint16_t>(w >> (8 * (l - 2)));
    std::memcpy(p, &lo, 2);
    std::memcpy(p + l - 2, &hi, 2);
  } else {
    p[0] = static_cast<char>(w);
  }
}

}  // namespace

namespace LCC0 {

bool MkCard(LC::ByteCard x, std::span<const char> s) {
  std::uint32_t l = Length(s);
  if (l == 0) return false;
  const std::size_t n = x.size();

  if (n <= 8) {
    const std::uint32_t m = l < 2 * n ? l : static_cast<std::uint32_t>(2 * n);
    std::uint64_t v = 0;
    std::uint32_t seen = 0;
    for (std::uint32_t j = 0; j < m; ++j) {
      const std::uint8_t d = kNibble[static_cast<unsigned char>(s[l - 1 - j])];
      seen |= d;
      v |= static_cast<std::uint64_t>(d & 0x0F) << (4 * j);
    }
    StoreWord(x, v);
    return (seen & kBad) == 0;
  }

  bool ok = true;
  // Delivers the next nibble from the right end of the text; 0 once the text is used up.
  const auto get = [&](std::uint8_t& y) {
    if (l > 0) {
      --l;
      y = Digit(s[l]);
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

bool MkStr(std::span<char> s, LC::CByteCard x) {
  const std::size_t cap = s.size();
  if (cap == 0) return false;  // not even "0" fits
  const std::size_t n = x.size();

  if (n <= 8) {
    const std::uint64_t v = LoadWord(x);
    if (v >> 32 == 0) {
      const auto v32 = static_cast<std::uint32_t>(v);
      // Significant nibbles; zero has one, the digit 0.
      const std::uint32_t l =
          v32 == 0 ? 1 : (35 - static_cast<std::uint32_t>(std::countl_zero(v32))) / 4;
      const std::uint64_t w = HexChars(v32) >> (8 * (8 - l));  // first digit in the low byte
      if (l <= cap) {
        StoreChars(s.data(), w, l);
        if (l < cap) s[l] = '\0';
        return true;
      }
      for (std::size_t i = 0; i < cap; ++i) s[i] = static_cast<char>(w >> (8 * i));
      return false;
    }
  }

  bool ok = true;
  std::size_t l = 0;
  // Appends the digit of nibble y; leading zero nibbles are skipped, digits beyond s dropped.
  const auto put = [&](std::uint8_t y) {
    if (y == 0 && l == 0) return;
    if (l < cap) {
      s[l] = Char(y);
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

}  // namespace LCC0
