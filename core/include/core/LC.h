// Large cardinals: unsigned integers as byte arrays in base 256, least significant byte first,
// whose length is their capacity. No sign, no stored length, no terminator; every byte pattern
// is a valid number and high zero bytes may stand anywhere above the most significant non-zero
// byte.
//
// Conventions shared by every operation below:
// - A ByteCard is written by the operation, a CByteCard only read. Operands of one call may
//   have any capacities, independent of each other.
// - Two parameters are "the same array" when their .data() pointers are equal (whatever their
//   sizes). Arrays that overlap without sharing their first byte are not valid as two operands
//   of one call.
// - A parameter described as "taken by value" behaves as if copied on entry into a private
//   array: writes through other parameters never change what the operation reads from it.
// - Two length conventions: Len0 (zero has length 0) and Len (zero has length 1).
// - An empty span reads as zero and can hold only zero; a write never leaves a span's bounds.
// - Capacities are below 2^32. No operation allocates, throws or stops the program: a failure
//   is a false result, with the destinations as documented for that failure.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace LC {

using ByteCard = std::span<std::uint8_t>;         // destination or in-out operand
using CByteCard = std::span<const std::uint8_t>;  // read operand

using TCardMax = std::array<std::uint8_t, 128>;
using TCard01 = std::array<std::uint8_t, 1>;
using TCard02 = std::array<std::uint8_t, 2>;
using TCard03 = std::array<std::uint8_t, 3>;
using TCard04 = std::array<std::uint8_t, 4>;  // a 32-bit number
using TCard05 = std::array<std::uint8_t, 5>;

// The four bytes of the 32-bit v, least significant first.
constexpr TCard04 Card04(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
          static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

// Longest operand (significant bytes) an operation copies into a fixed stack buffer, here and
// in LCC: a longer one fails cleanly instead.
inline constexpr std::size_t kStackBytes = 4096;

// Longest divisor (significant bytes) that Div and Dvd accept: their working remainder lives
// in a fixed stack buffer. Only divisors longer than eight bytes use it.
inline constexpr std::size_t kDivMaxDivisor = kStackBytes;

// Significant length: index of the most significant non-zero byte plus 1; 0 for zero.
std::uint32_t Len0(CByteCard x);

// Significant length, never less than 1: zero has length 1 (also for an empty span).
std::uint32_t Len(CByteCard x);

// x := y. Fails when Len(y) exceeds the capacity of x; x is then unchanged (so a zero source
// always fits a non-empty x). On success the bytes of x above the value are cleared. x and y
// may be the same array.
[[nodiscard]] bool Cpy(ByteCard x, CByteCard y);

// -1, 0 or +1 as x <, =, > y by value; the capacities do not matter.
std::int32_t Cmp(CByteCard x, CByteCard y);

// x := x + y in place. y may be the same array as x (Inc(x, x) doubles x); y may have a larger
// capacity than x as long as the sum fits. Fails when x + y >= 256^capacity(x); x then holds
// (x + y) mod 256^capacity(x). Only bytes of x up to where the carry stops are written.
[[nodiscard]] bool Inc(ByteCard x, CByteCard y);

// z := x + y. Any of x, y, z may be the same array. If z is the same array as x this is
// Inc(z, y); otherwise, if z is the same array as y, Inc(z, x); otherwise it fails with z
// unchanged when Len(x) exceeds the capacity of z, and fails with z = (x + y) mod
// 256^capacity(z) when the sum does not fit into z.
[[nodiscard]] bool Add(CByteCard x, CByteCard y, ByteCard z);

// x := x - y in place. y may be the same array as x (Dec(x, x) gives zero). Fails exactly when
// y > x; x then holds (x - y) mod 256^capacity(x).
[[nodiscard]] bool Dec(ByteCard x, CByteCard y);

// z := x - y, x taken by value: any of x, y, z may be the same array. Fails when y > x or when
// Len(x - y) exceeds the capacity of z; z (and so x) is then unchanged.
[[nodiscard]] bool Sub(CByteCard x, CByteCard y, ByteCard z);

// z := x * y. Refused (false, nothing written) when z is the same array as x or as y, and when
// capacity(z) < Len(x) + Len(y) - 1 (a zero operand counts one byte: 0 times a long y can be
// refused although the product fits). Otherwise z is cleared and receives the product; it
// fails only when the product's top byte is lost (capacity(z) = Len(x) + Len(y) - 1 and
// x * y >= 256^capacity(z)), and z then holds x * y mod 256^capacity(z).
[[nodiscard]] bool Mul(CByteCard x, CByteCard y, ByteCard z);

// x := x * y, x taken by value: refused with x unchanged when y is the same array as x (no
// squaring in place) or when capacity(x) < Len(x) + Len(y) - 1; fails with x = x * y mod
// 256^capacity(x) when the product's top byte is lost.
[[nodiscard]] bool Mpl(ByteCard x, CByteCard y);

// z := x div y and r := x mod y, x taken by value. z may be the same array as x; r may be the
// same array as x or as y. Refused with z and r unchanged: z the same array as y, r the same
// array as z, y zero, or Len0(y) > kDivMaxDivisor. Other failures:
// - the quotient has a non-zero byte at an index >= capacity(z): z all zero, r unchanged;
// - Len(x mod y) exceeds capacity(r): z holds the complete quotient, r unchanged.
// With four separate arrays of equal capacity only a zero divisor fails.
[[nodiscard]] bool Div(CByteCard x, CByteCard y, ByteCard z, ByteCard r);

// x := x div y and r := the remainder of the old x, which is Div(x, y, x, r): refused with x and
// r unchanged when r or y is the same array as x, y is zero or Len0(y) > kDivMaxDivisor;
// Dvd(x, y, y) is allowed and leaves the remainder in y. Fails with x = quotient and r
// unchanged when the remainder does not fit into r. Cheapest when x and y both have at most
// eight significant bytes.
[[nodiscard]] bool Dvd(ByteCard x, CByteCard y, ByteCard r);

}  // namespace LC
