// String output buffer: composes a text in a character array that the caller owns, from texts,
// repeated characters, aligned fields, decimal numbers and line ends, so that a message can be
// handed on in one piece. Nothing is allocated and nothing is written outside the bound array:
// whatever does not fit is dropped silently.
#pragma once

#include <cstdint>
#include <span>

namespace SO {

// The largest array a buffer can address; a longer array is used up to this many characters.
inline constexpr std::uint32_t kMaxCapacity = 65535;

// Formatting settings of a buffer.
struct TConfig {
  char p;  // fill written before a right-aligned text (positive width)
  char s;  // fill written after a left-aligned text (negative width)
  bool c;  // overflow marking: a text longer than its field becomes question marks
};

// One output buffer over a caller's array.
//
// Invariants: l <= m; characters 0 .. l-1 hold the text; when l < m character l is '\0'; when
// l == m the array is full and holds the text without a terminator (a complete text of
// length m). The whole array is capacity: no place is reserved for the terminator.
struct TBuffer {
  std::uint32_t m;  // capacity in characters
  char* s;          // the bound array; the caller owns it and keeps it alive
  std::uint32_t l;  // characters written so far
  TConfig c;        // formatting settings
};

// Binds b to s (capacity: s's length, at most kMaxCapacity), empties it and sets the default
// settings: blank fills, no overflow marking. An empty s gives a buffer that takes nothing.
void Init(TBuffer& b, std::span<char> s);
// Empties the text; the array and the settings stay.
void Clear(TBuffer& b);
// Appends c.
void WrChar(TBuffer& b, char c);
// Appends n copies of c.
void WrCharRep(TBuffer& b, char c, std::uint32_t n);
// Appends the text of s (up to its first '\0' or the end of s).
void WrStr(TBuffer& b, std::span<const char> s);
// Appends the text of s aligned in a field of |w| characters: w > 0 right-aligns (fill c.p on
// the left), w < 0 left-aligns (fill c.s on the right). A text that fills or exceeds the field
// is written unchanged, unless overflow marking is on and it is longer than the field: then
// |w| question marks are written instead.
void WrStrAdj(TBuffer& b, std::span<const char> s, std::int32_t w);
// Appends x in decimal, aligned as WrStrAdj does.
void WrCard(TBuffer& b, std::uint16_t x, std::int32_t w);
// Appends x in decimal, aligned as WrStrAdj does.
void WrLngCard(TBuffer& b, std::uint32_t x, std::int32_t w);
// Appends a carriage return and a line feed.
void WrLn(TBuffer& b);

// The digit character for d: '0'..'9' for 0..9, 'A'..'Z' for 10..35, '?' above 35.
char Char(std::uint32_t d);
// Writes the digits of x in base (taken as 2 when below 2) into s, most significant first,
// followed by '\0' when there is room. s should hold every digit (32 suffice for any base);
// digits beyond s's length are dropped rather than written outside it.
void CardToStr(std::uint32_t x, std::span<char> s, std::uint32_t base);

}  // namespace SO
