// Digit-string conversions beside GMP: the self-test's round trip (a 4-byte cardinal, base 16,
// a 128-character string) over consecutive 32-bit values, and full 128-byte values.
#include <benchmark/benchmark.h>
#include <gmp.h>

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <span>

#include "core/LC.h"
#include "core/LCC.h"
#include "core/LCC0.h"

namespace {

[[maybe_unused]] std::span<const std::uint8_t> Card(const std::uint32_t& v) {
  return {reinterpret_cast<const std::uint8_t*>(&v), 4};
}
std::span<std::uint8_t> Card(std::uint32_t& v) {
  return {reinterpret_cast<std::uint8_t*>(&v), 4};
}

// As the self-test runs it: x to s, s back to y, y compared with x. The argument is the
// first value; 0 gives mostly short texts, 0x80000000 the eight digits of most values.
void BM_LCC_RoundTrip(benchmark::State& state) {
  auto v = static_cast<std::uint32_t>(state.range(0));
  std::array<char, 128> s{};
  for (auto _ : state) {
    std::uint32_t x = v, y = 0;
    if (!LCC::MkStr(s, Card(x), 16) || !LCC::MkCard(Card(y), s, 16) || y != x) std::abort();
    benchmark::DoNotOptimize(y);
    ++v;
  }
}
BENCHMARK(BM_LCC_RoundTrip)->Arg(0)->Arg(0x80000000);

void BM_LCC0_RoundTrip(benchmark::State& state) {
  auto v = static_cast<std::uint32_t>(state.range(0));
  std::array<char, 128> s{};
  for (auto _ : state) {
    std::uint32_t x = v, y = 0;
    if (!LCC0::MkStr(s, Card(x)) || !LCC0::MkCard(Card(y), s) || y != x) std::abort();
    benchmark::DoNotOptimize(y);
    ++v;
  }
}
BENCHMARK(BM_LCC0_RoundTrip)->Arg(0)->Arg(0x80000000);

void BM_Gmp_RoundTrip(benchmark::State& state) {
  auto v = static_cast<std::uint32_t>(state.range(0));
  std::array<char, 128> s{};
  mpz_t x, y;
  mpz_init(x);
  mpz_init(y);
  for (auto _ : state) {
    mpz_set_ui(x, v);
    mpz_get_str(s.data(), -16, x);
    if (mpz_set_str(y, s.data(), 16) != 0 || mpz_cmp(x, y) != 0) std::abort();
    ++v;
  }
  mpz_clear(x);
  mpz_clear(y);
}
BENCHMARK(BM_Gmp_RoundTrip)->Arg(0)->Arg(0x80000000);

// For scale: the standard library's conversions of one machine word.
void BM_StdCharconv_RoundTrip(benchmark::State& state) {
  auto v = static_cast<std::uint32_t>(state.range(0));
  std::array<char, 128> s{};
  for (auto _ : state) {
    const auto r = std::to_chars(s.data(), s.data() + s.size(), v, 16);
    std::uint32_t y = 0;
    std::from_chars(s.data(), r.ptr, y, 16);
    if (y != v) std::abort();
    ++v;
  }
}
BENCHMARK(BM_StdCharconv_RoundTrip)->Arg(0)->Arg(0x80000000);

// A full 128-byte value: random bytes under a top byte of 0xFF (309 decimal digits).
LC::TCardMax FullValue() {
  std::mt19937_64 rng(1024);
  LC::TCardMax x{};
  for (auto& e : x) e = static_cast<std::uint8_t>(rng());
  x.back() = 0xFF;
  return x;
}

void BM_LCC_MkStrFull(benchmark::State& state) {
  const auto b = static_cast<std::uint8_t>(state.range(0));
  const LC::TCardMax x = FullValue();
  std::array<char, 1024> s{};
  for (auto _ : state) {
    if (!LCC::MkStr(s, x, b)) std::abort();
    benchmark::DoNotOptimize(s.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_LCC_MkStrFull)->Arg(2)->Arg(10)->Arg(16);

void BM_Gmp_GetStrFull(benchmark::State& state) {
  const int b = static_cast<int>(state.range(0));
  const LC::TCardMax x = FullValue();
  std::array<char, 1030> s{};
  mpz_t z;
  mpz_init(z);
  mpz_import(z, x.size(), -1, 1, 0, 0, x.data());
  for (auto _ : state) {
    mpz_get_str(s.data(), -b, z);
    benchmark::DoNotOptimize(s.data());
    benchmark::ClobberMemory();
  }
  mpz_clear(z);
}
BENCHMARK(BM_Gmp_GetStrFull)->Arg(2)->Arg(10)->Arg(16);

// The 309 decimal digits of the full value read back into a 128-byte cardinal.
std::array<char, 1024> FullDecimal() {
  const LC::TCardMax x = FullValue();
  std::array<char, 1024> s{};
  if (!LCC::MkStr(s, x, 10) || std::strlen(s.data()) != 309) std::abort();
  return s;
}

void BM_LCC_MkCardDecimal309(benchmark::State& state) {
  const auto s = FullDecimal();
  LC::TCardMax y{};
  for (auto _ : state) {
    if (!LCC::MkCard(y, s, 10)) std::abort();
    benchmark::DoNotOptimize(y.data());
    benchmark::ClobberMemory();
  }
  if (y != FullValue()) std::abort();
}
BENCHMARK(BM_LCC_MkCardDecimal309);

void BM_Gmp_SetStrDecimal309(benchmark::State& state) {
  const auto s = FullDecimal();
  mpz_t z;
  mpz_init2(z, 1100);
  for (auto _ : state) {
    if (mpz_set_str(z, s.data(), 10) != 0) std::abort();
    benchmark::DoNotOptimize(z);
  }
  mpz_clear(z);
}
BENCHMARK(BM_Gmp_SetStrDecimal309);

}  // namespace

BENCHMARK_MAIN();
