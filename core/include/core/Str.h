// The string services: decimal numbers, comparison, copying and deletion on character arrays.
// A text ends at its first '\0' or at the end of its span.
#pragma once

#include <cstdint>
#include <span>

// The value of s in decimal: an optional '+', then one or more digits 0-9, and a value below
// 2^32. ok is false otherwise (a leading '-', a blank, an empty text, an overflow), and the value
// is then 0.
std::uint32_t Str_StrToCard(std::span<const char> s, bool& ok);
// 0 when the two texts are equal character for character, 1 otherwise.
std::int32_t Str_Compare(std::span<const char> a, std::span<const char> b);
// Copies the text of src into dst, cut to dst's length, terminated when there is room.
void Str_Copy(std::span<char> dst, std::span<const char> src);
// Removes count characters from position start, moving the rest (terminator included) up;
// nothing when start is at or beyond the end of the text.
void Strings_Delete(std::span<char> s, std::uint32_t start, std::uint32_t count);
