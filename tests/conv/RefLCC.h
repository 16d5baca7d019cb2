// Plain byte-by-byte reference of the digit-string conversions, the oracle for the exact
// destination contents after success and after every kind of failure. It follows the
// documented algorithms step by step with its own one-byte multiply, add and divide, so it
// depends on nothing in the program. Test use only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace ref {

// 0-9 and A-Z in either case give 0 to 35; every other character 36.
inline std::uint8_t Digit(char c) {
  unsigned u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') u = u - 'a' + 'A';
  if (u < 'A') return u >= '0' && u <= '9' ? static_cast<std::uint8_t>(u - '0') : 36;
  return u <= 'Z' ? static_cast<std::uint8_t>(u - 'A' + 10) : 36;
}

inline char Char(unsigned d) {
  return static_cast<char>(d < 10 ? '0' + d : 'A' + d - 10);
}

inline std::size_t Length(std::span<const char> s) {
  std::size_t n = 0;
  while (n < s.size() && s[n] != '\0') ++n;
  return n;
}

inline std::size_t Len0(std::span<const std::uint8_t> x) {
  std::size_t l = x.size();
  while (l > 0 && x[l - 1] == 0) --l;
  return l;
}

// x := x * b through a copy, as the in-place multiplication does: the product's bytes above
// the significant length of the old x; false when the last carry finds no byte left, x then
// holding the product modulo 256^capacity.
inline bool MplByte(std::span<std::uint8_t> x, std::uint8_t b) {
  const std::vector<std::uint8_t> w(x.begin(), x.end());
  std::size_t lx = x.size();
  while (lx > 1 && w[lx - 1] == 0) --lx;  // the length that counts zero as one byte
  for (auto& e : x) e = 0;
  unsigned c = 0;
  for (std::size_t i = 0; i < lx; ++i) {
    const unsigned t = x[i] + w[i] * unsigned{b} + c;
    x[i] = static_cast<std::uint8_t>(t);
    c = t >> 8;
  }
  if (c == 0) return true;
  if (x.size() > lx) {
    x[lx] = static_cast<std::uint8_t>(c);
    return true;
  }
  return false;
}

// x := x + y; false when the carry runs out of bytes, x then wrapped.
inline bool IncByte(std::span<std::uint8_t> x, std::uint8_t y) {
  if (y == 0) return true;
  unsigned c = y;
  for (std::size_t i = 0; i < x.size(); ++i) {
    const unsigned t = x[i] + c;
    x[i] = static_cast<std::uint8_t>(t);
    c = t >> 8;
    if (c == 0) return true;
  }
  return false;
}

// x := x div b, returning x mod b.
inline std::uint8_t DvdByte(std::span<std::uint8_t> x, std::uint8_t b) {
  unsigned r = 0;
  for (std::size_t i = x.size(); i-- > 0;) {
    const unsigned t = r * 256 + x[i];
    x[i] = static_cast<std::uint8_t>(t / b);
    r = t % b;
  }
  return static_cast<std::uint8_t>(r);
}

inline bool MkCard(std::span<std::uint8_t> x, std::span<const char> s, std::uint8_t b) {
  if (b < 2 || b > 36) return false;
  const std::size_t n = Length(s);
  if (n == 0) return false;
  for (auto& e : x) e = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t y = Digit(s[i]);
    if (y >= b) return false;
    if (!MplByte(x, b)) return false;
    if (!IncByte(x, y)) return false;
  }
  return true;
}

inline void Invert(std::span<char> s, std::size_t l) {
  const std::size_t m = l < s.size() ? l : s.size();
  for (std::size_t i = 0; i < m / 2; ++i) {
    const char t = s[i];
    s[i] = s[m - 1 - i];
    s[m - 1 - i] = t;
  }
}

inline bool MkStr(std::span<char> s, std::span<const std::uint8_t> x, std::uint8_t b) {
  std::vector<std::uint8_t> w(x.begin(), x.end());
  if (b < 2 || b > 36) return false;
  std::size_t l = 0;
  do {
    const std::uint8_t r = DvdByte(w, b);
    if (l >= s.size()) return false;
    s[l++] = Char(r);
  } while (Len0(w) != 0);
  if (l < s.size()) s[l] = '\0';
  Invert(s, l);
  return true;
}

// Hexadecimal by nibbles.
inline bool MkCard0(std::span<std::uint8_t> x, std::span<const char> s) {
  std::size_t l = Length(s);
  if (l == 0) return false;
  bool ok = true;
  const auto get = [&]() -> unsigned {
    if (l == 0) return 0;
    const std::uint8_t d = Digit(s[--l]);
    if (d < 16) return d;
    ok = false;
    return 0;
  };
  for (auto& e : x) {
    const unsigned lo = get();
    const unsigned hi = get();
    e = static_cast<std::uint8_t>(hi * 16 + lo);
  }
  return ok;
}

// An empty s gives false without a write (there is no s[0] to hold the digit 0).
inline bool MkStr0(std::span<char> s, std::span<const std::uint8_t> x) {
  if (s.empty()) return false;
  bool ok = true;
  std::size_t l = 0;
  const auto put = [&](unsigned y) {
    if (y == 0 && l == 0) return;
    if (l < s.size()) {
      s[l++] = Char(y);
    } else {
      ok = false;
    }
  };
  for (std::size_t i = x.size(); i-- > 0;) {
    put(x[i] >> 4);
    put(x[i] & 15u);
  }
  if (l == 0) s[l++] = '0';
  if (l < s.size()) s[l] = '\0';
  return ok;
}

}  // namespace ref
