// A test-only program: the start-up of zemblaro, then the run held open at one point, so that
// the end-to-end signal tests can interrupt it there. Its first parameter picks the point:
//   hold     after 1 s the main body returns and its termination chain is held open
//   partial  the main thread has a partial line pending
//   busy     the main thread keeps writing whole lines
//   return   the chain runs on the signal's thread while the main body returns
//   fatal    the chain runs on the signal's thread while the main thread gives up
#include <pthread.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "driver/Zemblaro.h"
#include "services/Lib3.h"
#include "platform/Runtime.h"

namespace {

pthread_t mainThread;
std::atomic<bool> chainElsewhere{false};
Lib3::TProc displaced = nullptr;

void SleepMs(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void HoldChain() {
  IO_WrStr("Probe: chain held\n");
  SleepMs(10000);
  displaced();
}

// On the signal's thread: lets the main thread reach its end first.
void LetMainEnd() {
  if (pthread_equal(pthread_self(), mainThread) == 0) {
    chainElsewhere.store(true);
    SleepMs(300);
    IO_WrStr("Probe: chain done\n");
  }
  displaced();
}

}  // namespace

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "";
  mainThread = pthread_self();
  IO_Begin();
  Lib_SetParams(1, argv);
  Zemblaro::StartUp();
  Lib3::Terminate(std::strcmp(mode, "hold") == 0 ? HoldChain : LetMainEnd, displaced);
  IO_WrStr("Probe: ready\n");
  if (std::strcmp(mode, "hold") == 0) SleepMs(1000);
  if (std::strcmp(mode, "partial") == 0) {
    IO_WrStr("Test52: end ");
    SleepMs(10000);
  }
  for (int i = 0; std::strcmp(mode, "busy") == 0 && i < 1000000; ++i) IO_WrStr("Probe: busy\n");
  for (int i = 0; (mode[0] == 'r' || mode[0] == 'f') && i < 10000 && !chainElsewhere; ++i)
    SleepMs(1);
  if (std::strcmp(mode, "fatal") == 0) Zemblaro::Fatal("Probe: fatal");
  HALT(0);
}
