#include "services/Ticks.h"

#include <cstdint>

#include "core/Tmr0.h"
#include "platform/Platform.h"
#include "platform/Runtime.h"
#include "services/Lib3.h"

namespace Ticks {

namespace {
std::uint32_t t0 = 0;
Lib3::TProc oldExit = nullptr;

void DoneModule() {
  const std::uint32_t elapsed = Tmr0::Diff(t0, GetTickCount());
  IO_WrStr("Ticks: ");
  IO_WrLngCard(elapsed, 1);
  IO_WrLn();
  oldExit();
}
}  // namespace

void Begin() {
  t0 = GetTickCount();
  Lib3::Terminate(DoneModule, oldExit);
}

}  // namespace Ticks
