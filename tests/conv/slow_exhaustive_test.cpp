// Every 32-bit value through both converters, as the self-test runs them: the text equals the
// standard library's (in upper case) and reads back to the same value.
#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cstdint>
#include <span>

#include "conv/LCC.h"
#include "conv/LCC0.h"

namespace {

template <typename Trip>
void EveryValue(Trip trip) {
  std::array<char, 128> s{};
  std::array<char, 16> want{};
  std::uint32_t v = 0;
  do {
    std::uint32_t x = v, y = ~v;
    const std::span<const std::uint8_t> xs(reinterpret_cast<const std::uint8_t*>(&x), 4);
    const std::span<std::uint8_t> ys(reinterpret_cast<std::uint8_t*>(&y), 4);
    ASSERT_TRUE(trip(s, xs, ys)) << v;
    ASSERT_EQ(y, v);
    const auto r = std::to_chars(want.data(), want.data() + want.size(), v, 16);
    *r.ptr = '\0';
    for (char* p = want.data(); p != r.ptr; ++p) {
      if (*p >= 'a') *p = static_cast<char>(*p - 'a' + 'A');
    }
    ASSERT_STREQ(s.data(), want.data()) << v;
  } while (++v != 0);
}

TEST(ConvExhaustive, LCC0RoundTripOfEvery32BitValue) {
  EveryValue([](std::span<char> s, std::span<const std::uint8_t> x, std::span<std::uint8_t> y) {
    return LCC0::MkStr(s, x) && LCC0::MkCard(y, s);
  });
}

TEST(ConvExhaustive, LCCRoundTripOfEvery32BitValue) {
  EveryValue([](std::span<char> s, std::span<const std::uint8_t> x, std::span<std::uint8_t> y) {
    return LCC::MkStr(s, x, 16) && LCC::MkCard(y, s, 16);
  });
}

}  // namespace
