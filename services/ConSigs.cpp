#include "services/ConSigs.h"

#include "platform/Runtime.h"

namespace ConSigs {

namespace {
// Writes "ConSigs: ", s and a line end on standard output.
void Message(std::span<const char> s) {
  IO_WrStr("ConSigs: ");
  IO_WrStr(s);
  IO_WrLn();
}
}  // namespace

void Begin() {
  if (SetConsoleCtrlHandler(Handler, 1) == 0) {
    Message("Installation failed.");
    HALT(9);
  }
}

std::int32_t Handler(WinCon_CTRL_TYPE ct) {
  if (ct > CTRL_SHUTDOWN_EVENT || ct == CTRL_LOGOFF_EVENT) return 0;
  // Silence the rest of the program first, so that the message and the chain's lines are the
  // last ones written.
  Lib_Interrupt();
  Message("Signal received, terminating.");
  HALT(9);
}

}  // namespace ConSigs
