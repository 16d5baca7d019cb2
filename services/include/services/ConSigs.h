// Console signals: an interrupt from the console (Ctrl+C, Ctrl+Break, the console closing, a
// shutdown) ends the run the ordinary way, with a message and the termination chain.
#pragma once

#include <cstdint>
#include <span>

#include "platform/ConsoleCtrl.h"

namespace ConSigs {

// Installs Handler as the console control handler. When that fails, writes
// "ConSigs: Installation failed." and halts. Called once by Zemblaro::StartUp, before any
// other thread exists.
void Begin();

// The console control handler, called on the platform's own thread. Returns 0 (not handled) for
// CTRL_LOGOFF_EVENT and for every value above CTRL_SHUTDOWN_EVENT. Every other event writes
// "ConSigs: Signal received, terminating." and halts with 9 on the calling thread: the
// termination chain runs there and the process ends with the return code, or, when the run is
// already ending on another thread, the process ends at once with 9. Never returns for those.
std::int32_t Handler(WinCon_CTRL_TYPE ct);

}  // namespace ConSigs
