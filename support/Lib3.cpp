#include "support/Lib3.h"

#include "support/Runtime.h"

namespace Lib3 {

namespace {
std::uint8_t rc = 255;
TProc term = Halt;

// The runtime's finaliser for this module: starts the chain.
void Finally() {
  DoneModule();
}
}  // namespace

void Begin() {
  Lib_AddFinaliser(Finally);
  InitModule();
}

void InitModule() {
  rc = 255;
  term = Halt;
}

void FatalError(std::span<const char> s) {
  Lib_FatalError(s);
}

void SetReturnCode(std::uint8_t x) {
  rc = x;
}

void Terminate(TProc p, TProc& old) {
  old = term;
  term = p;
}

void Halt() {
  HALT(rc);
}

void DoneModule() {
  term();
}

}  // namespace Lib3
