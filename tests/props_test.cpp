// The properties of LC, LCC and LCC0 (tests/Props.h) on seeded random cases, exhaustively on
// one-byte operands, and on the steps of long division that random operands rarely reach.
#include <gtest/gtest.h>

#include <charconv>
#include <map>
#include <thread>

#include "tests/Props.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kCases = 40000;  // the sanitizers run the same paths, slower
#else
constexpr int kCases = 200000;
#endif

TEST(Props, LcAgreesWithGmp) {
  gen::Source g(20261207);
  std::map<std::string, int> outcomes;  // operation and flag: the draw reaches both flags
  for (int i = 0; i < kCases; ++i) {
    const props::LcCase c = props::Draw(g, 130);
    ASSERT_EQ(props::Check(c), "") << "case " << i;
    ++outcomes[props::kOpName[c.op] + std::to_string(props::Expect(c).ok)];
  }
  for (const char* op : props::kOpName) {
    EXPECT_GE(outcomes[op + std::string("0")], kCases / 200) << op;
    EXPECT_GE(outcomes[op + std::string("1")], kCases / 200) << op;
  }
}

TEST(Props, ConversionsAgreeWithGmp) {
  gen::Source g(20261208);
  for (int i = 0; i < kCases / 2; ++i) ASSERT_EQ(props::Check(props::Draw(g)), "") << "case " << i;
}

// The one-word hexadecimal routes (x of up to 8 bytes, s of 8 or more characters) with every
// byte value at every place of texts of up to 10 digits: in the text, in place of its terminator
// and after it, among bytes that carry when a letter's 9 is added.
TEST(Props, HexWordRoutesOnEveryByteAtEveryPlace) {
  // Digits, a terminator, then bytes that carry when a letter's 9 is added.
  const std::string tail =
      "5\xFF"
      "f\xF7"
      "0\xC9"
      "A\xE6";
  const std::string text = std::string("7aF0b1E9c5\0", 11) + tail + tail;
  for (const std::size_t cap : {8u, 9u, 16u}) {
    for (std::size_t len = 0; len <= std::min<std::size_t>(cap, 10); ++len) {
      for (std::size_t at = 0; at < std::min(cap, len + 3); ++at) {
        for (int c = 0; c < 256 * 6; ++c) {  // a byte value, the converter, the capacity of x
          gen::Bytes s(cap);
          std::copy_n(text.begin() + static_cast<std::ptrdiff_t>(10 - len), cap, s.begin());
          s[at] = static_cast<std::uint8_t>(c);
          const auto conv = c / 256 % 2 == 0 ? props::kMkCard : props::kMkCard0;
          const gen::Bytes x(std::size_t{1} << (c / 512 + (c >= 512 ? 1 : 0)), 0x5A);  // 1, 4, 8
          ASSERT_EQ(props::Check({conv, 16, x, s}), "");
        }
      }
    }
  }
}

// Every 32-bit value through both converters as the self-test runs them: the text is the
// standard library's, in upper case, and reads back to the value. Returns the first failing
// value of [from, to), or to.
std::uint64_t FirstFailure(std::uint64_t from, std::uint64_t to) {
  for (std::uint64_t v = from; v < to; ++v) {
    std::array<char, 128> s, t, want{};
    std::array<std::uint8_t, 4> x, y, z;
    for (std::size_t i = 0; i < 4; ++i) x[i] = static_cast<std::uint8_t>(v >> (8 * i));
    std::to_chars(want.data(), want.data() + 16, v, 16);
    for (char& c : want) c = static_cast<char>(c >= 'a' ? c - 32 : c);
    if (!LCC0::MkStr(s, x) || !LCC0::MkCard(y, s) || !LCC::MkStr(t, x, 16) ||
        !LCC::MkCard(z, t, 16) || y != x || z != x || std::strcmp(s.data(), want.data()) != 0 ||
        std::strcmp(t.data(), want.data()) != 0) {
      return v;
    }
  }
  return to;
}

TEST(Slow, ConvertersRoundTripEvery32BitValue) {
  std::uint64_t failed[4];
  std::vector<std::thread> threads;
  for (std::uint64_t q = 0; q < 4; ++q) {
    threads.emplace_back([&failed, q] { failed[q] = FirstFailure(q << 30, (q + 1) << 30); });
  }
  for (auto& t : threads) t.join();
  for (std::uint64_t q = 0; q < 4; ++q) EXPECT_EQ(failed[q], (q + 1) << 30);
}

}  // namespace
