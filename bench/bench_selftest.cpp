// One block (2^28 values) of each exhaustive self-test loop, on one thread and on every
// processor, with the time per round trip (one value to a string and back). GMP's conversions
// run the same loop over fewer values beside them.
//
// ns_per_value is wall time per value: with several threads it is the block's time divided by
// its values, not the cost of one round trip on one core.
#include <benchmark/benchmark.h>
#include <gmp.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <span>

#include "Exhaustive.h"

namespace {

namespace detail = Zemblaro::detail;

// GMP's counterpart: import the bytes, write upper-case hexadecimal, read it back, export.
thread_local mpz_t gmpValue;
thread_local bool gmpReady = false;
mpz_ptr Gmp() {
  if (!gmpReady) {
    mpz_init2(gmpValue, 64);
    gmpReady = true;
  }
  return gmpValue;
}
bool GmpMkStr(std::span<char> s, std::span<const std::uint8_t> x) {
  mpz_import(Gmp(), x.size(), -1, 1, 0, 0, x.data());
  if (mpz_sizeinbase(Gmp(), 16) + 2 > s.size()) return false;
  mpz_get_str(s.data(), -16, Gmp());
  return true;
}
bool GmpMkCard(std::span<std::uint8_t> y, std::span<const char> s) {
  if (mpz_set_str(Gmp(), s.data(), 16) != 0) return false;
  if (mpz_sizeinbase(Gmp(), 256) > y.size()) return false;
  std::memset(y.data(), 0, y.size());
  mpz_export(y.data(), nullptr, -1, 1, 0, 0, Gmp());
  return true;
}

constexpr detail::RoundTrip kGmp{GmpMkStr, GmpMkCard, "", "", ""};

// Arg 0: threads, 0 meaning every processor the process may run on. Arg 1: log2 of the values.
template <const detail::RoundTrip& rt>
void RunBlock(benchmark::State& state) {
  const unsigned threads =
      state.range(0) == 0 ? detail::Workers() : static_cast<unsigned>(state.range(0));
  const auto n = static_cast<std::uint32_t>(std::uint64_t{1} << state.range(1));
  double seconds = 0;
  for (auto _ : state) {
    detail::Failure f;
    const auto t0 = std::chrono::steady_clock::now();
    const bool failed = detail::CheckBlock<rt>(0, n, threads, f);
    const auto t1 = std::chrono::steady_clock::now();
    seconds += std::chrono::duration<double>(t1 - t0).count();
    if (failed) state.SkipWithError("a value did not come back");
    benchmark::DoNotOptimize(f);
  }
  state.counters["threads"] = threads;
  state.counters["ns_per_value"] =
      seconds * 1e9 / (static_cast<double>(state.iterations()) * static_cast<double>(n));
}

void BM_Lcc0Block(benchmark::State& state) {
  RunBlock<detail::kLcc0RoundTrip>(state);
}
void BM_LccBlock(benchmark::State& state) {
  RunBlock<detail::kLccRoundTrip>(state);
}
void BM_GmpBlock(benchmark::State& state) {
  RunBlock<kGmp>(state);
}

BENCHMARK(BM_Lcc0Block)
    ->Args({1, 28})
    ->Args({0, 28})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LccBlock)
    ->Args({1, 28})
    ->Args({0, 28})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GmpBlock)
    ->Args({1, 24})
    ->Args({0, 24})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
