// The main module: start-up order, base checks, dispatch and the fatal-message exit.
#pragma once

#include <span>

namespace Zemblaro {

// Brings every module up in the fixed start-up order; may end the run (help, errors).
void StartUp();
// Checks both bases and runs the configured action.
void Run();
// Ends the current line on standard output, writes s on standard error and halts.
[[noreturn]] void Fatal(std::span<const char> s);

}  // namespace Zemblaro
