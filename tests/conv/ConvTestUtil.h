// Helpers shared by the conversion tests: destinations inside poisoned guard zones, GMP
// values of byte cardinals, random digit texts.
#pragma once

#include <gmp.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace convtest {

constexpr std::size_t kGuard = 16;
constexpr std::uint8_t kPoison = 0xA5;

// A destination of n elements between two guard zones of poison.
template <typename T>
class Guarded {
 public:
  explicit Guarded(std::size_t n, T fill = static_cast<T>(kPoison))
      : buf_(n + 2 * kGuard, static_cast<T>(kPoison)), n_(n) {
    for (auto& e : span()) e = fill;
  }
  std::span<T> span() { return std::span<T>(buf_).subspan(kGuard, n_); }
  std::vector<T> contents() const {
    const auto first = buf_.begin() + static_cast<std::ptrdiff_t>(kGuard);
    return std::vector<T>(first, first + static_cast<std::ptrdiff_t>(n_));
  }
  bool GuardsIntact() const {
    for (std::size_t i = 0; i < kGuard; ++i) {
      if (buf_[i] != static_cast<T>(kPoison)) return false;
      if (buf_[kGuard + n_ + i] != static_cast<T>(kPoison)) return false;
    }
    return true;
  }

 private:
  std::vector<T> buf_;
  std::size_t n_;
};

// RAII mpz_t.
class Mpz {
 public:
  Mpz() { mpz_init(z_); }
  ~Mpz() { mpz_clear(z_); }
  Mpz(const Mpz&) = delete;
  Mpz& operator=(const Mpz&) = delete;
  mpz_ptr get() { return z_; }

 private:
  mpz_t z_;
};

// z := the value of the cardinal x (least significant byte first).
inline void ToMpz(mpz_ptr z, std::span<const std::uint8_t> x) {
  mpz_import(z, x.size(), -1, 1, 0, 0, x.data());
}

// The bytes of z modulo 256^n, least significant first.
inline std::vector<std::uint8_t> FromMpz(mpz_srcptr z, std::size_t n) {
  Mpz m;
  mpz_fdiv_r_2exp(m.get(), z, 8 * n);
  std::vector<std::uint8_t> out(n, 0);
  std::size_t count = 0;
  std::vector<std::uint8_t> tmp(mpz_sizeinbase(m.get(), 256) + 1, 0);
  mpz_export(tmp.data(), &count, -1, 1, 0, 0, m.get());
  for (std::size_t i = 0; i < count && i < n; ++i) out[i] = tmp[i];
  return out;
}

// The upper-case digits of z in base b, as GMP writes them.
inline std::string GmpStr(mpz_srcptr z, int b) {
  std::string s(mpz_sizeinbase(z, b) + 2, '\0');
  mpz_get_str(s.data(), -b, z);
  s.resize(std::char_traits<char>::length(s.c_str()));
  return s;
}

// A random cardinal of n bytes whose significant length is itself random (0 to n), so that
// short values, zero and full-width values all come up.
inline std::vector<std::uint8_t> RandomCard(std::mt19937_64& rng, std::size_t n) {
  std::vector<std::uint8_t> x(n, 0);
  const std::size_t sig = std::uniform_int_distribution<std::size_t>(0, n)(rng);
  for (std::size_t i = 0; i < sig; ++i) x[i] = static_cast<std::uint8_t>(rng());
  if (sig > 0 && rng() % 4 == 0) x[sig - 1] = 0xFF;
  return x;
}

// 32-bit values for the self-test's round trip: every boundary of the digit count and the
// top value, then random samples.
inline std::vector<std::uint32_t> Samples32(std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::vector<std::uint32_t> values;
  for (int k = 0; k < 32; ++k) {
    const std::uint32_t p = std::uint32_t{1} << k;
    values.insert(values.end(), {p - 1, p, p + 1});
  }
  values.push_back(0xFFFFFFFFu);
  for (int i = 0; i < 300000; ++i) values.push_back(static_cast<std::uint32_t>(rng()));
  return values;
}

}  // namespace convtest
