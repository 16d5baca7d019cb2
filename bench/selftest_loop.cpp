// The self-test's exhaustive loop on one thread over a range of values, for instruction counts:
//   selftest_loop lcc0|lcc START [COUNT]   (START and COUNT in hexadecimal, COUNT 100000 unless
//   given). The loop runs in RunLoop alone, so that callgrind can count just it
//   (--toggle-collect='*RunLoop*').
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Exhaustive.h"

namespace {

namespace detail = Zemblaro::detail;

// The n values from first on, as tst checks them on one processor; true on a failure.
template <const detail::RoundTrip& rt>
[[gnu::noinline]] bool RunLoop(std::uint32_t first, std::uint32_t n, detail::Failure& f) {
  return detail::CheckBlock<rt>(first, n, 1, f);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: selftest_loop lcc0|lcc START [COUNT]  (hexadecimal)\n");
    return 2;
  }
  const auto first = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 16));
  const auto n = static_cast<std::uint32_t>(argc == 4 ? std::strtoul(argv[3], nullptr, 16)
                                                      : std::uint32_t{1} << 20);
  detail::Failure f;
  bool failed;
  if (std::strcmp(argv[1], "lcc0") == 0) {
    failed = RunLoop<detail::kLcc0RoundTrip>(first, n, f);
  } else if (std::strcmp(argv[1], "lcc") == 0) {
    failed = RunLoop<detail::kLccRoundTrip>(first, n, f);
  } else {
    std::fprintf(stderr, "unknown pair: %s\n", argv[1]);
    return 2;
  }
  if (failed) std::printf("failed at %08X\n", static_cast<unsigned>(f.x));
  return failed ? 1 : 0;
}
