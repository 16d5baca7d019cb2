// Reads a fuzzer's input as a stream of small decisions; past its end every read gives 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace fuzz {

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }

  // A number in lo..hi.
  std::uint32_t Range(std::uint32_t lo, std::uint32_t hi) {
    const std::uint32_t v = static_cast<std::uint32_t>(Byte()) << 8 | Byte();
    return lo + v % (hi - lo + 1);
  }

  // Fills x with bytes drawn in one of the shapes that catch carry and length faults.
  void Card(std::span<std::uint8_t> x) {
    const std::uint8_t shape = Byte() % 6;
    const std::uint32_t len = x.empty() ? 0 : Range(0, static_cast<std::uint32_t>(x.size()));
    for (std::size_t i = 0; i < x.size(); ++i) {
      std::uint8_t v = 0;
      if (i < len) {
        switch (shape) {
          case 0:
            v = 0;
            break;
          case 1:
            v = 0xFF;
            break;
          case 2:
            v = i == 0 ? Byte() : 0;
            break;
          case 3:
            v = i + 1 == len ? static_cast<std::uint8_t>(Byte() | 0x80) : Byte();
            break;
          default:
            v = Byte();
            break;
        }
      }
      x[i] = v;
    }
  }

  std::size_t Left() const { return size_ - pos_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// Stops the run with a finding when cond is false; a plain abort is what the fuzzer and the
// replay both report.
inline void Check(bool cond) {
  if (!cond) __builtin_trap();
}

}  // namespace fuzz
