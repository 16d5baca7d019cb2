// A test-only program: runs the start-up of zemblaro, then holds the run open at one chosen
// point so that the end-to-end signal tests can interrupt it there. Its first parameter picks
// the point; the start-up sees no parameters.
//
//   hold     the main body has returned and the termination chain is running (held open)
//   partial  the main thread has a partial line pending
//   busy     the main thread keeps writing whole lines
//   return   the chain runs on the signal thread while the main body returns
//   fatal    the chain runs on the signal thread while the main thread gives up with a message
#include <pthread.h>
#include <time.h>

#include <atomic>
#include <cstring>

#include "driver/Zemblaro.h"
#include "support/Lib3.h"
#include "support/Runtime.h"

namespace {

constexpr long kHoldMs = 10000;  // longer than any test waits for its signal

pthread_t mainThread;
std::atomic<bool> chainOnOtherThread{false};
Lib3::TProc displaced = nullptr;

void SleepMs(long ms) {
  timespec ts{ms / 1000, (ms % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0) {
  }
}

long NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000L + ts.tv_nsec / 1000000L;
}

// Heads the termination chain in "hold": announces itself and stays until the signal comes.
void HoldChain() {
  IO_WrStr("Probe: chain held\n");
  SleepMs(kHoldMs);
  displaced();
}

// Heads the termination chain in "return" and "fatal": when the signal thread runs the chain,
// lets the main thread go on to its end and gives it time to get there.
void LetMainEnd() {
  if (pthread_equal(pthread_self(), mainThread) == 0) {
    chainOnOtherThread.store(true);
    SleepMs(300);
    IO_WrStr("Probe: chain done\n");
  }
  displaced();
}

void AwaitChainOnOtherThread() {
  const long until = NowMs() + kHoldMs;
  while (!chainOnOtherThread.load() && NowMs() < until) SleepMs(1);
}

}  // namespace

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "";
  mainThread = pthread_self();
  Lib_SetParams(1, argv);
  Zemblaro::StartUp();
  if (std::strcmp(mode, "hold") == 0) {
    Lib3::Terminate(HoldChain, displaced);
  } else if (std::strcmp(mode, "partial") == 0) {
    IO_WrStr("Probe: ready\n");
    IO_WrStr("Test52: end ");
    SleepMs(kHoldMs);
    IO_WrStr("0ms\n");
  } else if (std::strcmp(mode, "busy") == 0) {
    const long until = NowMs() + kHoldMs;
    while (NowMs() < until) IO_WrStr("Probe: busy\n");
  } else if (std::strcmp(mode, "return") == 0 || std::strcmp(mode, "fatal") == 0) {
    Lib3::Terminate(LetMainEnd, displaced);
    IO_WrStr("Probe: ready\n");
    AwaitChainOnOtherThread();
    if (mode[0] == 'f') Zemblaro::Fatal("Probe: fatal");
  }
  HALT(0);
}
