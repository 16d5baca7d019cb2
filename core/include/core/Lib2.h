// Fill: sets every byte of a variable to one value.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>

namespace Lib2 {

// Sets every byte of x, from the first to the last, to v.
inline void Fill(std::span<std::uint8_t> x, std::uint8_t v) {
  if (!x.empty()) std::memset(x.data(), v, x.size());
}

template <typename T>
inline constexpr bool kIsSpan = false;
template <typename E, std::size_t N>
inline constexpr bool kIsSpan<std::span<E, N>> = true;

// Sets every byte of the whole variable x (a record, an array, a number) to v. A span is no
// such variable: it would lose its pointer, not clear its bytes, so it takes the overload above.
template <typename T>
requires(std::is_trivially_copyable_v<T> && !kIsSpan<T>) inline void Fill(T& x, std::uint8_t v) {
  std::memset(&x, v, sizeof x);
}

}  // namespace Lib2
