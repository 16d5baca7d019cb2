#include "platform/ConsoleCtrl.h"

#include <signal.h>

#include <cassert>
#include <cstdint>
#include <initializer_list>

#include "platform/Platform.h"

namespace {

// Set before the thread that calls it starts, and only read afterwards.
PHANDLER_ROUTINE handler = nullptr;
sigset_t awaited;

WinCon_CTRL_TYPE EventOf(int sig) {
  switch (sig) {
    case SIGINT:
      return CTRL_C_EVENT;
    case SIGQUIT:
      return CTRL_BREAK_EVENT;
    case SIGHUP:
      return CTRL_CLOSE_EVENT;
    default:
      return CTRL_SHUTDOWN_EVENT;  // SIGTERM
  }
}

// One event's thread. The handler takes every event that a signal maps to, so none is left to
// the signal's default action.
void* HandleSignal(void* arg) {
  (void)handler(EventOf(static_cast<int>(reinterpret_cast<std::intptr_t>(arg))));
  return nullptr;
}

// Each event gets a thread of its own, so that this one is free to take the next event while a
// handler still runs (its halt may wait for output); failing that, the event is handled here.
void* AwaitSignals(void*) {
  for (;;) {
    int sig = 0;
    if (sigwait(&awaited, &sig) != 0) continue;
    void* arg = reinterpret_cast<void*>(static_cast<std::intptr_t>(sig));
    pthread_t thread{};
    if (Platform::threadStart(&thread, HandleSignal, arg) == 0) {
      pthread_detach(thread);
    } else {
      HandleSignal(arg);
    }
  }
}

}  // namespace

std::int32_t SetConsoleCtrlHandler(PHANDLER_ROUTINE routine, [[maybe_unused]] std::int32_t add) {
  assert(routine != nullptr && add != 0 && "one handler is installed and never taken out");
  handler = routine;
  sigemptyset(&awaited);
  for (int sig : {SIGINT, SIGQUIT, SIGHUP, SIGTERM}) {
    struct sigaction current {};
    if (sigaction(sig, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    sigaddset(&awaited, sig);
  }
  sigset_t old;
  if (pthread_sigmask(SIG_BLOCK, &awaited, &old) != 0) return 0;
  pthread_t thread{};
  if (Platform::threadStart(&thread, AwaitSignals, nullptr) != 0) {
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return 0;
  }
  pthread_detach(thread);
  return 1;
}
