// A plain byte-by-byte rendering of the cardinal operations, step by step as documented, for
// tests only: the oracle for the exact contents of every destination after a failure, and for
// the aliasing cases. Value parameters are real copies; division finds each quotient byte by
// repeated subtraction. Slow by design; never part of the program.
//
// An empty span reads as zero (Len 1) and a read beyond an array's end gives 0, the choice the
// program makes for empty arrays; no step writes outside an array.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace RefLC {

using Bytes = std::span<std::uint8_t>;
using CBytes = std::span<const std::uint8_t>;

inline std::uint8_t At(CBytes x, std::size_t i) {
  return i < x.size() ? x[i] : 0;
}

inline std::uint32_t Len0(CBytes x) {
  std::size_t l = x.size();
  while (l > 0 && x[l - 1] == 0) --l;
  return static_cast<std::uint32_t>(l);
}

inline std::uint32_t Len(CBytes x) {
  std::size_t l = x.size();
  while (l > 1 && x[l - 1] == 0) --l;
  return l == 0 ? 1 : static_cast<std::uint32_t>(l);
}

inline std::uint32_t LenI(CBytes x, std::uint32_t i) {
  if (i >= x.size()) return 0;
  std::size_t l = x.size();
  while (l > i && x[l - 1] == 0) --l;
  return static_cast<std::uint32_t>(l - i);
}

// Two-byte cells: the digit and the carry are the low and the high byte of a 16-bit value.
inline void Inc0(std::uint8_t& x, std::uint8_t y, bool& c) {
  const std::uint16_t v = static_cast<std::uint16_t>(x + y + (c ? 1 : 0));
  x = static_cast<std::uint8_t>(v & 0xFF);
  c = (v >> 8) != 0;
}

inline void Dec0(std::uint8_t& x, std::uint8_t y, bool& c) {
  const std::int16_t v = static_cast<std::int16_t>(x - y - (c ? 1 : 0));
  const std::uint16_t u = static_cast<std::uint16_t>(v);  // two's complement form
  x = static_cast<std::uint8_t>(u & 0xFF);
  c = (u >> 8) != 0;
}

inline std::int32_t Cmp0(std::uint8_t x, std::uint8_t y) {
  if (x < y) return -1;
  if (x > y) return 1;
  return 0;
}

inline void Mul0(std::uint8_t x, std::uint8_t y, std::uint8_t& z, std::uint8_t& c) {
  const std::uint16_t v = static_cast<std::uint16_t>(z + x * y + c);
  z = static_cast<std::uint8_t>(v & 0xFF);
  c = static_cast<std::uint8_t>(v >> 8);
}

inline void Fill(Bytes x, std::uint8_t v) {
  for (auto& b : x) b = v;
}

inline bool Cpy(Bytes x, CBytes y) {
  const std::size_t l = Len(y);
  if (x.size() < l) return false;
  for (std::size_t i = 0; i < l; ++i) x[i] = At(y, i);
  for (std::size_t i = l; i < x.size(); ++i) x[i] = 0;
  return true;
}

inline std::int32_t Cmp(CBytes x, CBytes y) {
  const std::size_t lx = Len(x), ly = Len(y);
  if (lx < ly) return -1;
  if (ly < lx) return 1;
  for (std::size_t k = lx; k-- > 0;) {
    const std::int32_t c = Cmp0(At(x, k), At(y, k));
    if (c != 0) return c;
  }
  return 0;
}

inline bool Inc(Bytes x, CBytes y) {
  const std::size_t l = Len0(y);
  bool c = false;
  std::size_t i = 0;
  for (; i < l; ++i) {
    if (i >= x.size()) return false;
    Inc0(x[i], y[i], c);
  }
  for (; c; ++i) {
    if (i >= x.size()) return false;
    Inc0(x[i], 0, c);
  }
  return true;
}

inline bool Dec(Bytes x, CBytes y) {
  const std::size_t l = Len0(y);
  bool c = false;
  std::size_t i = 0;
  for (; i < l; ++i) {
    if (i >= x.size()) return false;
    Dec0(x[i], y[i], c);
  }
  for (; c; ++i) {
    if (i >= x.size()) return false;
    Dec0(x[i], 0, c);
  }
  return true;
}

inline bool Add(CBytes x, CBytes y, Bytes z) {
  if (z.data() == x.data()) return Inc(z, y);
  if (z.data() == y.data()) return Inc(z, x);
  if (!Cpy(z, x)) return false;
  return Inc(z, y);
}

inline bool Sub(CBytes x, CBytes y, Bytes z) {
  std::vector<std::uint8_t> w(x.begin(), x.end());
  if (!Dec(w, y)) return false;
  return Cpy(z, w);
}

inline bool Mul(CBytes x, CBytes y, Bytes z) {
  if (z.data() == x.data()) return false;
  if (z.data() == y.data()) return false;
  const std::size_t lx = Len(x), ly = Len(y);
  if (z.size() < lx + ly - 1) return false;
  Fill(z, 0);
  for (std::size_t iy = 0; iy < ly; ++iy) {
    std::uint8_t c = 0;
    for (std::size_t ix = 0; ix < lx; ++ix) Mul0(At(x, ix), At(y, iy), z[iy + ix], c);
    if (c != 0) {
      if (z.size() > lx + iy) {
        z[lx + iy] = c;
      } else {
        return false;
      }
    }
  }
  return true;
}

// The private copy of x gets a buffer of its own even when x is empty, so that it is never
// mistaken for another empty array.
inline bool MulC(CBytes x, CBytes y, Bytes z) {
  std::vector<std::uint8_t> w(x.size() + 1);
  for (std::size_t i = 0; i < x.size(); ++i) w[i] = x[i];
  return Mul(Bytes(w.data(), x.size()), y, z);
}

inline bool Mpl(Bytes x, CBytes y) {
  return MulC(x, y, x);
}

inline std::int32_t Div_Cmp(CBytes x, std::uint32_t ix, CBytes y) {
  const std::size_t lx = LenI(x, ix), ly = Len0(y);
  if (lx < ly) return -1;
  if (ly < lx) return 1;
  for (std::size_t k = lx; k-- > 0;) {
    const std::int32_t c = Cmp0(x[ix + k], y[k]);
    if (c != 0) return c;
  }
  return 0;
}

inline void Div_Dec(Bytes x, std::uint32_t ix, CBytes y) {
  const std::size_t ly = Len0(y);
  bool c = false;
  for (std::size_t iy = 0; iy < ly; ++iy) Dec0(x[ix + iy], y[iy], c);
  if (c) Dec0(x[ix + ly], 0, c);
}

inline void Div_Inc(std::uint8_t& x) {
  x = static_cast<std::uint8_t>(x + 1);
}

inline bool Div(CBytes x, CBytes y, Bytes z, Bytes r) {
  std::vector<std::uint8_t> w(x.begin(), x.end());
  if (z.data() == y.data()) return false;
  if (r.data() == z.data()) return false;
  if (Len0(y) == 0) return false;
  Fill(z, 0);
  const std::uint32_t l = Len(w);
  for (std::uint32_t ix = l; ix-- > 0;) {
    while (Div_Cmp(w, ix, y) >= 0) {
      Div_Dec(w, ix, y);
      if (ix >= z.size()) return false;
      Div_Inc(z[ix]);
    }
  }
  return Cpy(r, w);
}

inline bool Dvd(Bytes x, CBytes y, Bytes r) {
  return Div(x, y, x, r);
}

}  // namespace RefLC
