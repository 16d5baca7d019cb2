// Fill: sets every byte of a variable to one value.
#pragma once

#include <cstdint>
#include <span>
#include <type_traits>

#include "support/Runtime.h"

namespace Lib2 {

// Sets every byte of x, from the first to the last, to v.
inline void Fill(std::span<std::uint8_t> x, std::uint8_t v) {
  Lib_Fill(x.data(), x.size(), v);
}

// Sets every byte of the whole variable x (a record, an array, a number) to v.
template <typename T>
requires std::is_trivially_copyable_v<T>
inline void Fill(T& x, std::uint8_t v) {
  Lib_Fill(&x, sizeof x, v);
}

}  // namespace Lib2
