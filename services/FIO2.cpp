#include "services/FIO2.h"

#include <cstdint>

#include "core/SO.h"
#include "platform/Platform.h"
#include "platform/Runtime.h"

namespace FIO2 {

void GetDirX(std::span<char> t) {
  const auto size = static_cast<std::uint32_t>(t.size());
  const std::uint32_t n = GetCurrentDirectoryA(size, t.data());
  if (n != 0 && n <= size) return;
  SO::TLine s;
  SO::TBuffer b;
  SO::Init(b, s);
  if (n == 0) {
    SO::WrStr(b, "GetDirX: GetCurrentDirectory failed, error ");
    SO::WrLngCard(b, GetLastError(), 1);
  } else {
    SO::WrStr(b, "GetDirX: Provided buffer too small, required size ");
    SO::WrLngCard(b, n, 1);
  }
  Fatal(s);
}

void Fatal(std::span<const char> s) {
  IO_WrStr("FIO2.Fatal: ");
  IO_WrStr(s);
  IO_WrLn();
  HALT(9);
}

}  // namespace FIO2
