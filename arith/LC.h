// Large cardinals: unsigned integers as byte arrays in base 256, least significant byte first,
// whose length is their capacity. No sign, no stored length, no terminator.
//
// INTERFACE DRAFT: declarations fixed so that other modules can be written against them; the
// contracts and implementation are being completed in arith/.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace LC {

using ByteCard = std::span<std::uint8_t>;         // destination or in-out operand
using CByteCard = std::span<const std::uint8_t>;  // read operand

using TCardMax = std::array<std::uint8_t, 128>;
using TCard01 = std::array<std::uint8_t, 1>;
using TCard02 = std::array<std::uint8_t, 2>;
using TCard03 = std::array<std::uint8_t, 3>;
using TCard05 = std::array<std::uint8_t, 5>;

std::uint32_t Len0(CByteCard x);
std::uint32_t Len(CByteCard x);
[[nodiscard]] bool Cpy(ByteCard x, CByteCard y);
std::int32_t Cmp(CByteCard x, CByteCard y);
[[nodiscard]] bool Inc(ByteCard x, CByteCard y);
[[nodiscard]] bool Add(CByteCard x, CByteCard y, ByteCard z);
[[nodiscard]] bool Dec(ByteCard x, CByteCard y);
[[nodiscard]] bool Sub(CByteCard x, CByteCard y, ByteCard z);
[[nodiscard]] bool Mul(CByteCard x, CByteCard y, ByteCard z);
[[nodiscard]] bool Mpl(ByteCard x, CByteCard y);
[[nodiscard]] bool Div(CByteCard x, CByteCard y, ByteCard z, ByteCard r);
[[nodiscard]] bool Dvd(ByteCard x, CByteCard y, ByteCard r);

namespace detail {
std::uint32_t LenI(CByteCard x, std::uint32_t i);
void Inc0(std::uint8_t& x, std::uint8_t y, bool& c);
void Dec0(std::uint8_t& x, std::uint8_t y, bool& c);
std::int32_t Cmp0(std::uint8_t x, std::uint8_t y);
void Mul0(std::uint8_t x, std::uint8_t y, std::uint8_t& z, std::uint8_t& c);
[[nodiscard]] bool MulC(CByteCard x, CByteCard y, ByteCard z);
}  // namespace detail

}  // namespace LC
