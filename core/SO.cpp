#include "core/SO.h"

#include <array>

#include "core/LCC.h"
#include "core/Text.h"

namespace SO {

namespace {
// Restores the terminator after the text when the array has room for it.
void Terminate(TBuffer& b) {
  if (b.l < b.m) b.s[b.l] = '\0';
}

// Appends n blanks, as many as fit.
void WrBlanks(TBuffer& b, std::int64_t n) {
  for (; n > 0 && b.l < b.m; --n) b.s[b.l++] = ' ';
  Terminate(b);
}
}  // namespace

void Init(TBuffer& b, std::span<char> s) {
  if (!s.empty()) s[0] = '\0';
  b.m = s.size() < kMaxCapacity ? static_cast<std::uint32_t>(s.size()) : kMaxCapacity;
  b.s = s.data();
  b.l = 0;
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

void WrStr(TBuffer& b, std::span<const char> s) {
  for (char c : s) {
    if (c == '\0' || b.l >= b.m) break;
    b.s[b.l++] = c;
  }
  Terminate(b);
}

void WrStrAdj(TBuffer& b, std::span<const char> s, std::int32_t w) {
  // 64 bits: |INT32_MIN| and the difference both fit.
  const std::int64_t width = w < 0 ? -static_cast<std::int64_t>(w) : w;
  const std::int64_t fill = width - Text::Length(s);
  if (w > 0) WrBlanks(b, fill);
  WrStr(b, s);
  if (w < 0) WrBlanks(b, fill);
}

void WrCard(TBuffer& b, std::uint16_t x, std::int32_t w) {
  WrLngCard(b, x, w);
}

void WrLngCard(TBuffer& b, std::uint32_t x, std::int32_t w) {
  std::array<char, 16> t;
  (void)LCC::MkStr(t, x, 10);  // sixteen characters always suffice
  WrStrAdj(b, t, w);
}

void WrLn(TBuffer& b) {
  WrChar(b, '\r');
  WrChar(b, '\n');
}

}  // namespace SO
