#include "services/SO.h"

#include <array>

#include "core/Text.h"
#include "platform/Runtime.h"

namespace SO {

namespace {
// Restores the terminator after the text when the array has room for it.
void Terminate(TBuffer& b) {
  if (b.l < b.m) b.s[b.l] = '\0';
}
}  // namespace

void Init(TBuffer& b, std::span<char> s) {
  if (!s.empty()) s[0] = '\0';
  b.m = s.size() < kMaxCapacity ? static_cast<std::uint32_t>(s.size()) : kMaxCapacity;
  b.s = s.data();
  b.l = 0;
  b.c = TConfig{' ', ' ', false};
}

void Clear(TBuffer& b) {
  b.l = 0;
  Terminate(b);
}

void WrChar(TBuffer& b, char c) {
  if (b.l >= b.m) return;
  b.s[b.l++] = c;
  Terminate(b);
}

void WrCharRep(TBuffer& b, char c, std::uint32_t n) {
  const std::uint32_t room = b.m - b.l;
  if (n > room) n = room;
  for (std::uint32_t i = 0; i < n; ++i) b.s[b.l++] = c;
  Terminate(b);
}

void WrStr(TBuffer& b, std::span<const char> s) {
  for (char c : s) {
    if (c == '\0' || b.l >= b.m) break;
    b.s[b.l++] = c;
  }
  Terminate(b);
}

void WrStrAdj(TBuffer& b, std::span<const char> s, std::int32_t w) {
  // 64 bits: |INT32_MIN| and the difference both fit.
  const std::int64_t len = Strings_Length(s);
  const std::int64_t width = w < 0 ? -static_cast<std::int64_t>(w) : w;
  const std::int64_t fill = width - len;
  if (fill < 0 && b.c.c) {
    WrCharRep(b, '?', static_cast<std::uint32_t>(width));
    return;
  }
  if (w > 0 && fill > 0) WrCharRep(b, b.c.p, static_cast<std::uint32_t>(fill));
  WrStr(b, s);
  if (w < 0 && fill > 0) WrCharRep(b, b.c.s, static_cast<std::uint32_t>(fill));
}

void WrCard(TBuffer& b, std::uint16_t x, std::int32_t w) {
  WrLngCard(b, x, w);
}

void WrLngCard(TBuffer& b, std::uint32_t x, std::int32_t w) {
  std::array<char, 16> t{};
  CardToStr(x, t, 10);
  WrStrAdj(b, t, w);
}

void WrLn(TBuffer& b) {
  WrChar(b, '\r');
  WrChar(b, '\n');
}

char Char(std::uint32_t d) {
  return d < Text::kNoDigit ? Text::kDigits[d] : '?';
}

void CardToStr(std::uint32_t x, std::span<char> s, std::uint32_t base) {
  if (base < 2) base = 2;
  std::array<char, 32> t{};  // least significant digit first
  std::size_t n = 0;
  do {
    t[n++] = Char(x % base);
    x /= base;
  } while (x != 0 && n < t.size());
  std::size_t i = 0;
  for (; i < n && i < s.size(); ++i) s[i] = t[n - 1 - i];
  if (i < s.size()) s[i] = '\0';
}

}  // namespace SO
