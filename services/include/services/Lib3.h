// Return code and termination chain: every end of a run goes through the chain of exit
// procedures headed by term, which always ends in Lib3::Halt, so the exit code of every run is
// rc at that moment.
#pragma once

#include <cstdint>
#include <span>

namespace Lib3 {

using TProc = void (*)();

// Registers the module's finaliser with the runtime; rc := 255; term := Halt. Called once by
// main, before anything can halt.
void Begin();

// Writes s and a line end on standard error and halts; rc is not changed.
[[noreturn]] void FatalError(std::span<const char> s);
// rc := x, unless another thread already ends the run.
void SetReturnCode(std::uint8_t x);
// old := term; term := p. p must call old as its last step.
void Terminate(TProc p, TProc& old);
// HALT with rc.
[[noreturn]] void Halt();
// Calls term.
void DoneModule();

}  // namespace Lib3
