// LC beside GMP on the same values. The argument is the operand's significant length in bytes
// (operands live in 128-byte arrays as in the command-line actions, so 64 is "half-full").
//   build/bench/bench/bench_arith --benchmark_repetitions=5 --benchmark_report_aggregates_only
#include <benchmark/benchmark.h>
#include <gmp.h>

#include <cstring>
#include <random>
#include <vector>

#include "core/LC.h"

namespace {

using Card = std::vector<std::uint8_t>;

// A value of len significant bytes (top byte non-zero) in an array of capacity cap.
Card Value(std::size_t len, std::size_t cap, std::uint64_t seed) {
  std::mt19937_64 g(seed);
  Card x(cap, 0);
  for (std::size_t i = 0; i < len; ++i) x[i] = static_cast<std::uint8_t>(g());
  if (len != 0 && x[len - 1] == 0) x[len - 1] = 1;
  return x;
}

Card AllFF(std::size_t len, std::size_t cap) {
  Card x(cap, 0);
  std::memset(x.data(), 0xFF, len);
  return x;
}

struct Mpz {
  mpz_t v;
  Mpz() { mpz_init2(v, 4096); }
  explicit Mpz(const Card& x) : Mpz() { mpz_import(v, x.size(), -1, 1, 0, 0, x.data()); }
  ~Mpz() { mpz_clear(v); }
};

std::size_t Arg(const benchmark::State& s) {
  return static_cast<std::size_t>(s.range(0));
}

// ---- Addition: x += y (LC::Inc), z = x + y (LC::Add), mpz_add -------------------------------

void BM_LC_Inc(benchmark::State& s) {
  Card x = Value(Arg(s), 128, 1);
  const Card y = Value(Arg(s), 128, 2);
  for (auto _ : s) {
    benchmark::DoNotOptimize(LC::Inc(x, y));
    benchmark::ClobberMemory();
  }
}
void BM_LC_Add(benchmark::State& s) {
  const Card x = Value(Arg(s), 128, 1), y = Value(Arg(s), 128, 2);
  Card z(128);
  for (auto _ : s) {
    benchmark::DoNotOptimize(LC::Add(x, y, z));
    benchmark::ClobberMemory();
  }
}
void BM_GMP_add(benchmark::State& s) {
  Mpz x(Value(Arg(s), 128, 1)), y(Value(Arg(s), 128, 2)), z;
  for (auto _ : s) {
    mpz_add(z.v, x.v, y.v);
    benchmark::ClobberMemory();
  }
}

// ---- Multiplication: z = x * y into 256 bytes --------------------------------------------------

void BM_LC_Mul(benchmark::State& s) {
  const Card x = Value(Arg(s), 128, 3), y = Value(Arg(s), 128, 4);
  Card z(256);
  for (auto _ : s) {
    benchmark::DoNotOptimize(LC::Mul(x, y, z));
    benchmark::ClobberMemory();
  }
}
void BM_GMP_mul(benchmark::State& s) {
  Mpz x(Value(Arg(s), 128, 3)), y(Value(Arg(s), 128, 4)), z;
  for (auto _ : s) {
    mpz_mul(z.v, x.v, y.v);
    benchmark::ClobberMemory();
  }
}

// ---- Division of a 128-byte value by a divisor of the argument's length ------------------------

void LCDiv(benchmark::State& s, const Card& x, const Card& y) {
  Card z(128), r(128);
  for (auto _ : s) {
    benchmark::DoNotOptimize(LC::Div(x, y, z, r));
    benchmark::ClobberMemory();
  }
}
void GMPDiv(benchmark::State& s, const Card& x, const Card& y) {
  Mpz a(x), b(y), q, r;
  for (auto _ : s) {
    mpz_tdiv_qr(q.v, r.v, a.v, b.v);
    benchmark::ClobberMemory();
  }
}

// Dividend 128 bytes of FFH.
void BM_LC_Div_AllFF(benchmark::State& s) {
  LCDiv(s, AllFF(128, 128), Value(Arg(s), 128, 5));
}
void BM_GMP_tdiv_qr_AllFF(benchmark::State& s) {
  GMPDiv(s, AllFF(128, 128), Value(Arg(s), 128, 5));
}
// Random dividend of 128 significant bytes (full) or 64 (half-full), divisor half its length.
void BM_LC_Div_Half(benchmark::State& s) {
  LCDiv(s, Value(Arg(s), 128, 6), Value((Arg(s) + 1) / 2, 128, 7));
}
void BM_GMP_tdiv_qr_Half(benchmark::State& s) {
  GMPDiv(s, Value(Arg(s), 128, 6), Value((Arg(s) + 1) / 2, 128, 7));
}

// ---- Dvd: x := x div b in place, remainder in one byte; as a digit conversion does
// ---------------

void BM_LC_Dvd(benchmark::State& s) {
  const Card x0 = Value(Arg(s), Arg(s), 8);
  Card x = x0;
  const LC::TCard01 base = {16};
  LC::TCard01 r{};
  for (auto _ : s) {
    std::memcpy(x.data(), x0.data(), x.size());
    benchmark::DoNotOptimize(LC::Dvd(x, base, r));
    benchmark::ClobberMemory();
  }
}
void BM_GMP_tdiv_q_ui(benchmark::State& s) {
  Mpz x(Value(Arg(s), Arg(s), 8)), q;
  for (auto _ : s) {
    benchmark::DoNotOptimize(mpz_tdiv_q_ui(q.v, x.v, 16));
    benchmark::ClobberMemory();
  }
}

}  // namespace

BENCHMARK(BM_LC_Inc)->Arg(64)->Arg(128);
BENCHMARK(BM_LC_Add)->Arg(64)->Arg(128);
BENCHMARK(BM_GMP_add)->Arg(64)->Arg(128);
BENCHMARK(BM_LC_Mul)->Arg(64)->Arg(128);
BENCHMARK(BM_GMP_mul)->Arg(64)->Arg(128);
BENCHMARK(BM_LC_Div_AllFF)->Arg(1)->Arg(8)->Arg(9)->Arg(64);
BENCHMARK(BM_GMP_tdiv_qr_AllFF)->Arg(1)->Arg(8)->Arg(9)->Arg(64);
BENCHMARK(BM_LC_Div_Half)->Arg(64)->Arg(128);
BENCHMARK(BM_GMP_tdiv_qr_Half)->Arg(64)->Arg(128);
BENCHMARK(BM_LC_Dvd)->Arg(4)->Arg(128);
BENCHMARK(BM_GMP_tdiv_q_ui)->Arg(4)->Arg(128);

BENCHMARK_MAIN();
