#include "core/Str.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "core/Text.h"

std::uint32_t Str_StrToCard(std::span<const char> s, bool& ok) {
  const std::uint32_t len = Text::Length(s);
  std::uint32_t i = 0;
  if (i < len && s[i] == '+') ++i;
  ok = false;
  if (i == len) return 0;
  std::uint64_t value = 0;
  for (; i < len; ++i) {
    if (s[i] < '0' || s[i] > '9') return 0;
    value = value * 10 + static_cast<std::uint64_t>(s[i] - '0');
    if (value > 0xFFFFFFFFu) return 0;
  }
  ok = true;
  return static_cast<std::uint32_t>(value);
}

std::int32_t Str_Compare(std::span<const char> a, std::span<const char> b) {
  const auto text = a.first(Text::Length(a));
  return text.size() == Text::Length(b) && std::equal(text.begin(), text.end(), b.begin()) ? 0 : 1;
}

void Str_Copy(std::span<char> dst, std::span<const char> src) {
  const std::uint32_t n = Text::Length(src);
  const std::size_t m = n < dst.size() ? n : dst.size();
  if (m != 0) std::memmove(dst.data(), src.data(), m);
  if (m < dst.size()) dst[m] = '\0';
}

void Strings_Delete(std::span<char> s, std::uint32_t start, std::uint32_t count) {
  const std::uint32_t len = Text::Length(s);
  if (start >= len) return;
  if (count > len - start) count = len - start;
  // Move the tail (and the terminator, when there is one) up over the removed characters.
  const std::size_t tail = len - start - count;
  std::memmove(s.data() + start, s.data() + start + count, tail);
  // A text that filled its array and lost nothing still fills it: no terminator to move.
  if (start + tail < s.size()) s[start + tail] = '\0';
}
