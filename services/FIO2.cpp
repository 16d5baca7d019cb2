#include "services/FIO2.h"

#include <array>

#include "core/Lib2.h"
#include "services/SO.h"
#include "platform/Platform.h"
#include "platform/Runtime.h"

namespace FIO2 {

namespace detail {
std::array<TFileDesc, kFiles> arr{};
THook hnd = nullptr;
bool lck = false;
}  // namespace detail

using detail::arr;
using detail::hnd;
using detail::lck;

void Begin() {
  InitModule();
}

void InitModule() {
  Lib2::Fill(arr, 0);
  hnd = nullptr;
  lck = false;
}

void GetDirX(std::span<char> t) {
  const auto size = static_cast<std::uint32_t>(t.size());
  const std::uint32_t n = GetCurrentDirectoryA(size, t.data());
  if (n != 0 && n <= size) return;
  std::array<char, 128> s;
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
  // Only a Fatal already under way returns here: leave t an empty text rather than garbage.
  if (!t.empty()) t[0] = '\0';
}

void Fatal(std::span<const char> s) {
  IO_WrStr("FIO2.Fatal: ");
  IO_WrStr(s);
  IO_WrLn();
  if (lck) return;
  lck = true;
  if (hnd != nullptr) hnd(s);
  HALT(9);
}

void SetHook(THook p) {
  hnd = p;
}

}  // namespace FIO2
