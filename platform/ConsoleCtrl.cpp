#include "platform/ConsoleCtrl.h"

#include <signal.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "platform/Platform.h"

namespace {

constexpr std::size_t kMaxHandlers = 8;

// The handler list, oldest first. Installation and removal run on any thread; the signal thread
// reads the list under the same lock.
std::mutex listMutex;
std::array<PHANDLER_ROUTINE, kMaxHandlers> handlers{};
std::size_t handlerCount = 0;
bool threadStarted = false;

// The signals the thread awaits; set before the thread starts and only read afterwards.
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

// Offers the event to the handlers, newest first; true when one of them took it.
bool Dispatch(WinCon_CTRL_TYPE ct) {
  std::array<PHANDLER_ROUTINE, kMaxHandlers> list{};
  std::size_t n = 0;
  {
    std::lock_guard lock(listMutex);
    list = handlers;
    n = handlerCount;
  }
  for (std::size_t i = n; i > 0; --i) {
    if (list[i - 1](ct) != 0) return true;
  }
  return false;
}

// No handler took the event: the signal's default action, which ends the process. The signal
// is unblocked on this thread only, so it is delivered here and now.
void DefaultAction(int sig) {
  struct sigaction dfl {};
  dfl.sa_handler = SIG_DFL;
  sigemptyset(&dfl.sa_mask);
  sigaction(sig, &dfl, nullptr);
  sigset_t one;
  sigemptyset(&one);
  sigaddset(&one, sig);
  pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
  pthread_kill(pthread_self(), sig);
  pthread_sigmask(SIG_BLOCK, &one, nullptr);
}

// One event's thread: offers the event to the handlers, or gives the signal its default action.
void* HandleSignal(void* arg) {
  const auto sig = static_cast<int>(reinterpret_cast<std::intptr_t>(arg));
  if (!Dispatch(EventOf(sig))) DefaultAction(sig);
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

// Blocks the signals in the calling thread and starts the thread that awaits them. A signal
// that the process inherited as ignored (nohup) stays ignored and is not awaited.
bool StartSignalThread() {
  sigemptyset(&awaited);
  for (int sig : {SIGINT, SIGQUIT, SIGHUP, SIGTERM}) {
    struct sigaction current {};
    if (sigaction(sig, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    sigaddset(&awaited, sig);
  }
  sigset_t old;
  if (pthread_sigmask(SIG_BLOCK, &awaited, &old) != 0) return false;
  pthread_t thread{};
  if (Platform::threadStart(&thread, AwaitSignals, nullptr) != 0) {
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return false;
  }
  pthread_detach(thread);
  return true;
}

}  // namespace

std::int32_t SetConsoleCtrlHandler(PHANDLER_ROUTINE routine, std::int32_t add) {
  if (routine == nullptr) return 0;
  std::lock_guard lock(listMutex);
  if (add == 0) {
    for (std::size_t i = handlerCount; i > 0; --i) {
      if (handlers[i - 1] != routine) continue;
      for (std::size_t j = i; j < handlerCount; ++j) handlers[j - 1] = handlers[j];
      handlers[--handlerCount] = nullptr;
      return 1;
    }
    return 0;
  }
  if (handlerCount == kMaxHandlers) return 0;
  // The handler joins the list before the thread starts, so no early signal finds it empty.
  handlers[handlerCount++] = routine;
  if (!threadStarted) {
    if (!StartSignalThread()) {
      handlers[--handlerCount] = nullptr;
      return 0;
    }
    threadStarted = true;
  }
  return 1;
}
