// The main module: start-up order, base checks, dispatch and the fatal-message exit.
#pragma once

#include <cstdint>
#include <span>

#include "config/Config.h"

namespace Zemblaro {

// Brings every module up in the fixed start-up order; may end the run (help, errors).
void StartUp();
// Checks both bases and runs the configured action.
void Run();
// Writes a line end (CR LF) on standard output, unless a write to it has failed, then s and a
// line end on standard error, and halts.
[[noreturn]] void Fatal(std::span<const char> s);

// Runs the arithmetic action a (aAdd to aMod) on the operand strings s and t as typed, in the
// configured bases (both already checked to lie in 2..36). Writes one result line
// "s op t = result" on standard output, or ends the run through Fatal with the action's message:
// first operand, second operand, (Sub) the sign of the difference, the operation, the result
// string.
void Act(Config::TAction a, std::span<const char> s, std::span<const char> t);

// ---- Self-test suite ------------------------------------------------------------------------
// Each test writes "<name>: begin", its step lines, and "<name>: end <ms>ms" with the
// milliseconds it took, all on standard output; a failing test ends the run through Fatal.
// Test10..Test40 apply one operation of LC to fixed operands and print them in hexadecimal.
void Test10();
void Test11();
void Test20();
void Test21();
void Test30();
void Test40();
// Convert every 32-bit value to a hexadecimal string and back, through LCC0 (Test51) and
// through LCC in base 16 (Test52), with a progress line every 2^28 values; the first value that
// fails is diagnosed and ends the run. They use every processor the process may run on.
void Test51();
void Test52();
// Writes the hexadecimal digits of x (upper case, no leading zeros, "0" for zero) with no line
// end; x has at most 128 bytes.
void WrHex(std::span<const std::uint8_t> x);

}  // namespace Zemblaro
