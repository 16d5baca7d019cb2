// Return code and termination chain: every end of a run goes through the chain of exit
// procedures headed by term, which always ends in the module's halt with rc, so the exit code of
// every run is rc at that moment.
#pragma once

#include <cstdint>
#include <span>

namespace Lib3 {

using TProc = void (*)();

// Registers the module's finaliser with the runtime; rc := 255; term := the halt with rc.
// Called once by Zemblaro::StartUp, first, before anything can halt.
void Begin();

// Writes s and a line end on standard error and halts; rc is not changed.
[[noreturn]] void FatalError(std::span<const char> s);
// rc := x, unless another thread already ends the run.
void SetReturnCode(std::uint8_t x);
// old := term; term := p. p must call old as its last step.
void Terminate(TProc p, TProc& old);

}  // namespace Lib3
