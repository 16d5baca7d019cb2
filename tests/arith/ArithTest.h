// Helpers shared by the arith tests: random cardinals drawn to hit the interesting shapes,
// GMP conversions (least significant byte first), and an arena that places the arrays of one
// call between poison bytes.
#pragma once

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace arith_test {

using Card = std::vector<std::uint8_t>;

// Scales the random case counts down under the sanitizers, which run the same code paths.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr int kScale = 4;
#else
inline constexpr int kScale = 1;
#endif

inline mpz_class ToMpz(std::span<const std::uint8_t> x) {
  mpz_class v;
  if (!x.empty()) mpz_import(v.get_mpz_t(), x.size(), -1, 1, 0, 0, x.data());
  return v;
}

// v mod 256^cap as an array of capacity cap.
inline Card FromMpz(const mpz_class& v, std::size_t cap) {
  mpz_class w;
  mpz_fdiv_r_2exp(w.get_mpz_t(), v.get_mpz_t(), 8 * cap);
  Card out(cap + 1, 0);  // mpz_export writes nothing for zero; one spare byte for cap 0
  std::size_t n = 0;
  mpz_export(out.data(), &n, -1, 1, 0, 0, w.get_mpz_t());
  out.resize(cap);
  return out;
}

// Significant length of v in the Len0 and Len conventions.
inline std::size_t Len0Of(const mpz_class& v) {
  return v == 0 ? 0 : (mpz_sizeinbase(v.get_mpz_t(), 2) + 7) / 8;
}
inline std::size_t LenOf(const mpz_class& v) {
  return v == 0 ? 1 : Len0Of(v);
}

inline mpz_class Pow256(std::size_t n) {
  mpz_class p = 1;
  p <<= 8 * n;  // mpz_class shift: exact
  return p;
}

inline std::string Hex(std::span<const std::uint8_t> x) {
  static const char* d = "0123456789ABCDEF";
  std::string s;
  for (std::size_t i = x.size(); i-- > 0;) {
    s += d[x[i] >> 4];
    s += d[x[i] & 15];
  }
  return s.empty() ? "(empty)" : s;
}

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : g_(seed) {}
  std::uint64_t Next() { return g_(); }
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(g_() % n); }
  std::size_t Range(std::size_t lo, std::size_t hi) { return lo + Below(hi - lo + 1); }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(g_()); }
  bool OneIn(std::size_t n) { return Below(n) == 0; }

  // A cardinal of capacity cap: zero, one low byte, all bytes FFH, top byte set, a random
  // significant length, or a few significant bytes.
  Card Value(std::size_t cap) {
    Card x(cap, 0);
    if (cap == 0) return x;
    switch (Below(6)) {
      case 0:
        break;
      case 1:
        x[0] = Byte();
        break;
      case 2:
        for (auto& b : x) b = 0xFF;
        break;
      case 3:
        for (auto& b : x) b = Byte();
        if (x[cap - 1] == 0) x[cap - 1] = 1;
        break;
      case 4: {
        const std::size_t l = Range(1, cap);
        for (std::size_t i = 0; i < l; ++i) x[i] = Byte();
        break;
      }
      default: {
        const std::size_t l = Range(1, cap < 9 ? cap : 9);
        for (std::size_t i = 0; i < l; ++i) x[i] = Byte();
        break;
      }
    }
    return x;
  }

  // A value like Value, or one close to other (equal, or off by a little in its low byte).
  Card ValueNear(std::size_t cap, const Card& other) {
    if (!OneIn(4)) return Value(cap);
    Card x(cap, 0);
    for (std::size_t i = 0; i < cap && i < other.size(); ++i) x[i] = other[i];
    if (cap != 0 && !OneIn(2)) x[0] = static_cast<std::uint8_t>(x[0] + Range(0, 2) - 1);
    return x;
  }

 private:
  std::mt19937_64 g_;
};

// The arrays of one call, each between poison bytes in one buffer. Parameters that are "the
// same array" are given the same slot.
class Arena {
 public:
  static constexpr std::size_t kRed = 24;
  static constexpr std::uint8_t kPoison = 0xA5;

  explicit Arena(const std::vector<Card>& slots) { Load(slots); }

  // Lays the slots out anew (poison between them); reuses the buffer when the sizes match.
  void Load(const std::vector<Card>& slots) {
    std::size_t total = kRed;
    for (const auto& s : slots) total += s.size() + kRed;
    buf_.assign(total, kPoison);
    start_.clear();
    size_.clear();
    std::size_t at = kRed;
    for (const auto& s : slots) {
      start_.push_back(at);
      size_.push_back(s.size());
      for (std::size_t i = 0; i < s.size(); ++i) buf_[at + i] = s[i];
      at += s.size() + kRed;
    }
  }

  std::span<std::uint8_t> Slot(std::size_t i) { return {buf_.data() + start_[i], size_[i]}; }
  Card Contents(std::size_t i) const {
    return Card(buf_.begin() + static_cast<std::ptrdiff_t>(start_[i]),
                buf_.begin() + static_cast<std::ptrdiff_t>(start_[i] + size_[i]));
  }
  // True when no byte outside the slots has changed.
  bool PoisonIntact() const {
    std::size_t at = 0;
    for (std::size_t i = 0; i <= start_.size(); ++i) {
      const std::size_t end = i < start_.size() ? start_[i] : buf_.size();
      for (; at < end; ++at) {
        if (buf_[at] != kPoison) return false;
      }
      if (i < start_.size()) at = start_[i] + size_[i];
    }
    return true;
  }
  const std::vector<std::uint8_t>& Raw() const { return buf_; }

 private:
  std::vector<std::uint8_t> buf_;
  std::vector<std::size_t> start_, size_;
};

}  // namespace arith_test
