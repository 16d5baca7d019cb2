// Operands with structure, GMP conversions, and a source of random words that is either a
// seeded generator (the random tests) or a fuzzer's input (the fuzz targets), so that both
// drive the same properties.
#pragma once

#include <gmpxx.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace gen {

using Bytes = std::vector<std::uint8_t>;

class Source {
 public:
  explicit Source(std::uint64_t seed) : rng_(seed) {}
  Source(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint64_t Next() {
    if (data_ == nullptr) return rng_();
    std::uint64_t v = 0;  // past the input's end every word is 0
    for (int i = 0; i < 8 && size_ > 0; ++i, --size_) v = v << 8 | *data_++;
    return v;
  }
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }

 private:
  std::mt19937_64 rng_;
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

inline mpz_class Val(const Bytes& x) {
  mpz_class v;
  if (!x.empty()) mpz_import(v.get_mpz_t(), x.size(), -1, 1, 0, 0, x.data());
  return v;
}

inline mpz_class Pow256(std::size_t n) {
  return mpz_class(1) << static_cast<mp_bitcnt_t>(8 * n);
}

// v modulo 256^cap (negative values wrap), least significant byte first.
inline Bytes Put(const mpz_class& v, std::size_t cap) {
  mpz_class w;
  mpz_fdiv_r_2exp(w.get_mpz_t(), v.get_mpz_t(), 8 * cap);
  Bytes x(cap + 8, 0);
  mpz_export(x.data(), nullptr, -1, 1, 0, 0, w.get_mpz_t());
  x.resize(cap);
  return x;
}

// Significant bytes: Len0 counts none for zero, Len one.
inline std::size_t Len0(const mpz_class& v) {
  return v == 0 ? 0 : (mpz_sizeinbase(v.get_mpz_t(), 2) + 7) / 8;
}
inline std::size_t Len(const mpz_class& v) {
  return std::max<std::size_t>(Len0(v), 1);
}

// Upper-case digits of v in base b, as GMP writes them.
inline std::string Str(const mpz_class& v, int b) {
  std::string s(mpz_sizeinbase(v.get_mpz_t(), b) + 2, '\0');
  mpz_get_str(s.data(), -b, v.get_mpz_t());
  s.resize(s.find('\0'));
  return s;
}

// The digit value of c, 0 to 35 for 0-9 and A-Z in either case, 36 for every other character.
inline int DigitOf(char c) {
  const char* k = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  const char u = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
  const char* f = u != '\0' ? std::strchr(k, u) : nullptr;
  return f != nullptr ? static_cast<int>(f - k) : 36;
}

// A value of cap bytes. Uniform random bytes almost never give a zero or all-ones word, so most
// values are built from runs of one and zero bits of 1 to 256 bits (GMP's mpn_random2), or are
// all ones, or a lone top bit with a few low bits; the significant length lands anywhere, at
// the capacity, or next to a 64-bit boundary.
inline Bytes Value(Source& g, std::size_t cap) {
  Bytes x(cap, 0);
  const std::size_t max = 8 * cap;
  std::size_t bits = g.Below(max + 1);
  if (g.Below(3) == 0) bits = max - std::min<std::size_t>(max, g.Below(9));
  if (g.Below(4) == 0) bits = std::min(max, 64 * (1 + g.Below(cap / 8 + 1)) + g.Below(3) - 1);
  const std::size_t shape = g.Below(5);  // 0 uniform bits, 1 all ones, 2 a top bit, else runs
  bool one = true;
  for (std::size_t i = bits; i > 0;) {
    std::size_t run = 1 + g.Below(std::size_t{2} << g.Below(8));
    if (shape == 0) {
      run = 1;
      one = g.Below(2) != 0;
    } else if (shape == 1 || shape == 2) {
      run = shape == 2 && i == bits ? 1 : i;
    }
    for (; run > 0 && i > 0; --run, --i) {
      if (one) x[(i - 1) / 8] = static_cast<std::uint8_t>(x[(i - 1) / 8] | 1u << (i - 1) % 8);
    }
    one = shape == 1 || (shape > 2 && !one);
  }
  if (shape == 2 && bits > 0) x[0] = static_cast<std::uint8_t>(x[0] | g.Below(4));
  return x;
}

// A second operand for other: often its neighbour (other + d) or its complement to the capacity
// (256^n - other + d, d in -2..2), where carries and borrows run through every limb.
inline Bytes Near(Source& g, std::size_t cap, const Bytes& other) {
  const mpz_class d = static_cast<long>(g.Below(5)) - 2;
  switch (g.Below(4)) {
    case 0:
      return Put(Val(other) + d, cap);
    case 1:
      return Put(Pow256(std::min(cap, other.size())) - Val(other) + d, cap);
    default:
      return Value(g, cap);
  }
}

}  // namespace gen
