// String output buffer: composes a text in a character array that the caller owns, from texts,
// aligned fields, decimal numbers and line ends, so that a message can be handed on in one
// piece. Nothing is allocated and nothing is written outside the bound array:
// whatever does not fit is dropped silently.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace SO {

// A composed text: every message, help line and display line is built in one of these, and
// what does not fit is dropped.
using TLine = std::array<char, 128>;

// The largest array a buffer can address; a longer array is used up to this many characters.
inline constexpr std::uint32_t kMaxCapacity = 65535;

// One output buffer over a caller's array.
//
// Invariants: l <= m; characters 0 .. l-1 hold the text; when l < m character l is '\0'; when
// l == m the array is full and holds the text without a terminator (a complete text of
// length m). The whole array is capacity: no place is reserved for the terminator.
struct TBuffer {
  std::uint32_t m;  // capacity in characters
  char* s;          // the bound array; the caller owns it and keeps it alive
  std::uint32_t l;  // characters written so far
};

// Binds b to s (capacity: s's length, at most kMaxCapacity) and empties it. An empty s gives a
// buffer that takes nothing.
void Init(TBuffer& b, std::span<char> s);
// Empties the text; the array stays.
void Clear(TBuffer& b);
// Appends c.
void WrChar(TBuffer& b, char c);
// Appends the text of s (up to its first '\0' or the end of s).
void WrStr(TBuffer& b, std::span<const char> s);
// Appends the text of s aligned in a field of |w| characters: w > 0 right-aligns it (blanks on
// the left), w < 0 left-aligns it (blanks on the right). A text that fills or exceeds the field
// is written unchanged.
void WrStrAdj(TBuffer& b, std::span<const char> s, std::int32_t w);
// Appends x in decimal, aligned as WrStrAdj does.
void WrCard(TBuffer& b, std::uint16_t x, std::int32_t w);
// Appends x in decimal, aligned as WrStrAdj does.
void WrLngCard(TBuffer& b, std::uint32_t x, std::int32_t w);
// Appends a carriage return and a line feed.
void WrLn(TBuffer& b);

}  // namespace SO
