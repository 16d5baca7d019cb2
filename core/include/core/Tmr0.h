#pragma once

#include <cstdint>

namespace Tmr0 {

// Milliseconds from tick reading t0 to the later reading t1, modulo 2^32: a counter that wrapped
// once in between still gives the true interval.
constexpr std::uint32_t Diff(std::uint32_t t0, std::uint32_t t1) {
  return t1 - t0;
}

}  // namespace Tmr0
