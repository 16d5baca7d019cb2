#include "services/Lib3.h"

#include <atomic>
#include <cassert>

#include "platform/Runtime.h"

namespace Lib3 {

namespace {
// Written on the main thread (help) and read by whichever thread ends the run.
std::atomic<std::uint8_t> rc{255};

// The chain's last link: HALT with rc.
[[noreturn]] void Halt() {
  HALT(rc.load(std::memory_order_relaxed));
}

TProc term = Halt;

// The runtime's finaliser for this module: starts the chain.
void Finally() {
  term();
}
}  // namespace

void Begin() {
  // The runtime's table has room for many more than this program's one finaliser.
  [[maybe_unused]] const bool registered = Lib_AddFinaliser(Finally);
  assert(registered && "no room for the finaliser that runs the chain");
  rc.store(255, std::memory_order_relaxed);
  term = Halt;
}

void FatalError(std::span<const char> s) {
  Lib_FatalError(s);
}

void SetReturnCode(std::uint8_t x) {
  // Once a console event owns the run's end, the help path's code would report its lost text as
  // written.
  if (!Lib_ExitOwnedElsewhere()) rc.store(x, std::memory_order_relaxed);
}

void Terminate(TProc p, TProc& old) {
  assert(p != nullptr && "every link of the chain calls the next, down to the halt");
  old = term;
  term = p;
}

}  // namespace Lib3
