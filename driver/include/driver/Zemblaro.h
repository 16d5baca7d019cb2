// The main module: start-up order, base checks, dispatch and the fatal-message exit; the
// actions and the self-tests behind the dispatch are its own.
#pragma once

#include <span>

namespace Zemblaro {

// Brings every module up in the fixed start-up order; may end the run (help, errors).
void StartUp();
// Checks both bases and runs the configured action: one arithmetic action, or the self-tests,
// each of which writes "<name>: begin", its step lines and "<name>: end <ms>ms" on standard
// output and ends the run through Fatal when it fails.
void Run();
// Writes a line end (CR LF) on standard output, unless a write to it has failed, then s and a
// line end on standard error, and halts.
[[noreturn]] void Fatal(std::span<const char> s);

}  // namespace Zemblaro
