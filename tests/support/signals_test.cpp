// Console signals: the handler's events, the signal adapter and the halt of a run that two
// threads end at once. Each case runs in a forked child, since the handler ends the process.
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <time.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <string>
#include <thread>

#include "support/ConSigs.h"
#include "support/ConsoleCtrl.h"
#include "support/Lib3.h"
#include "support/Platform.h"
#include "support/Runtime.h"
#include "support/Ticks.h"
#include "tests/support/ChildRun.h"

using testing_support::RunInChild;

namespace {

const std::string kSignalLine = "ConSigs: Signal received, terminating.\r\n";

void Say(const std::string& s) {
  IO_WrStr(std::span<const char>(s.data(), s.size()));
}

void SleepMs(long ms) {
  timespec ts{ms / 1000, (ms % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0) {
  }
}

// Waits up to five seconds for flag; true when it was set.
bool Await(const std::atomic<bool>& flag) {
  for (int i = 0; i < 5000 && !flag.load(); ++i) SleepMs(1);
  return flag.load();
}

// The start-up that every run has before a console event can arrive, with a still clock so
// that the ticks line reads "Ticks: 0".
void BeginChain() {
  Platform::tickSource = [] { return 5000u; };
  Lib3::Begin();
  Ticks::Begin();
}

TEST(SignalsHandler, HandledEventsWriteTheLineAndEndThroughTheChain) {
  // Every value from 0 to 6 but the log-off event.
  for (WinCon_CTRL_TYPE ct : {0u, 1u, 2u, 3u, 4u, 6u}) {
    auto r = RunInChild([&] {
      BeginChain();
      Say("before\n");
      (void)ConSigs::Handler(ct);
      Say("handler returned\n");
      HALT(0);
    });
    EXPECT_EQ(r.out, "before\r\n" + kSignalLine + "Ticks: 0\r\n") << "event " << ct;
    EXPECT_EQ(r.err, "") << "event " << ct;
    EXPECT_EQ(r.code, 255) << "event " << ct;
  }
}

TEST(SignalsHandler, LogOffAndValuesAboveSixAreLeftToThePlatform) {
  for (WinCon_CTRL_TYPE ct : {5u, 7u, 8u, 0x80000000u, 0xFFFFFFFFu}) {
    auto r = RunInChild([&] {
      BeginChain();
      const std::int32_t handled = ConSigs::Handler(ct);
      Say(handled == 0 ? "not handled\n" : "handled\n");
      HALT(9);
    });
    EXPECT_EQ(r.out, "not handled\r\nTicks: 0\r\n") << "event " << ct;
    EXPECT_EQ(r.code, 255) << "event " << ct;
  }
}

TEST(SignalsHandler, FailedInstallationWritesItsLineAndEndsThroughTheChain) {
  auto r = RunInChild([] {
    BeginChain();
    Platform::ctrlThreadStart = [](pthread_t*, void* (*)(void*)) { return EAGAIN; };
    ConSigs::Begin();
    Say("installed\n");
    HALT(0);
  });
  EXPECT_EQ(r.out, "ConSigs: Installation failed.\r\nTicks: 0\r\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.code, 255);
}

TEST(SignalsHandler, EventOnAnotherThreadIsTheLastLineBeforeTheTicksLine) {
  // The main thread has a partial line pending and another thread keeps writing: neither the
  // partial line nor anything written after the event reaches standard output, and the
  // handler's line is a line of its own.
  auto r = RunInChild([] {
    BeginChain();
    Say("Test51: end 3ms\n");
    Say("Test52: end ");
    std::thread writer([] {
      for (;;) Say("more\n");
    });
    SleepMs(20);
    std::thread signal([] { (void)ConSigs::Handler(CTRL_C_EVENT); });
    for (;;) SleepMs(1000);
  });
  const std::string head = "Test51: end 3ms\r\n";
  const std::string tail = kSignalLine + "Ticks: 0\r\n";
  ASSERT_GE(r.out.size(), head.size() + tail.size()) << r.out;
  EXPECT_EQ(r.out.substr(0, head.size()), head);
  EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
  // Only whole "more" lines lie between.
  const std::string middle = r.out.substr(head.size(), r.out.size() - head.size() - tail.size());
  EXPECT_EQ(middle.size() % 6, 0u);
  for (std::size_t i = 0; i + 6 <= middle.size(); i += 6) {
    ASSERT_EQ(middle.substr(i, 6), "more\r\n") << "at " << i;
  }
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.code, 255);
}

// ---- The adapter -------------------------------------------------------------------------

std::atomic<std::uint32_t> seenEvent{0};
std::atomic<bool> seen{false};
std::atomic<bool> seenOffMain{false};
pthread_t mainThread;

std::int32_t Record(WinCon_CTRL_TYPE ct) {
  seenEvent.store(ct);
  seenOffMain.store(pthread_equal(pthread_self(), mainThread) == 0);
  seen.store(true);
  return 1;
}

// Sends sig to the process and waits until a handler recorded an event.
bool SendAndAwait(int sig) {
  seen.store(false);
  kill(getpid(), sig);
  return Await(seen);
}

TEST(SignalsAdapter, EachSignalArrivesAsItsEventOnAThreadOfItsOwn) {
  auto r = RunInChild([] {
    mainThread = pthread_self();
    if (SetConsoleCtrlHandler(Record, 1) == 0) Say("install failed\n");
    const struct {
      int sig;
      const char* name;
    } signals[] = {{SIGINT, "INT"}, {SIGQUIT, "QUIT"}, {SIGHUP, "HUP"}, {SIGTERM, "TERM"}};
    for (const auto& s : signals) {
      if (!SendAndAwait(s.sig)) {
        Say(std::string(s.name) + " lost\n");
        continue;
      }
      Say(std::string(s.name) + " " + std::to_string(seenEvent.load()) +
          (seenOffMain.load() ? " off main\n" : " on main\n"));
    }
    HALT(0);
  });
  EXPECT_EQ(r.out, "INT 0 off main\r\nQUIT 1 off main\r\nHUP 2 off main\r\nTERM 6 off main\r\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.code, 0);
}

TEST(SignalsAdapter, ThreadsStartedLaterInheritTheBlockedSignals) {
  auto r = RunInChild([] {
    if (SetConsoleCtrlHandler(Record, 1) == 0) Say("install failed\n");
    std::thread worker([] {
      sigset_t mask;
      pthread_sigmask(SIG_BLOCK, nullptr, &mask);
      for (int sig : {SIGINT, SIGQUIT, SIGHUP, SIGTERM}) Say(sigismember(&mask, sig) ? "b" : "-");
      IO_Flush();
    });
    worker.join();
    HALT(0);
  });
  EXPECT_EQ(r.out, "bbbb");
  EXPECT_EQ(r.err, "");
}

TEST(SignalsAdapter, FailedThreadStartReportsZeroAndLeavesTheMaskAlone) {
  auto r = RunInChild([] {
    Platform::ctrlThreadStart = [](pthread_t*, void* (*)(void*)) { return EAGAIN; };
    Say(SetConsoleCtrlHandler(Record, 1) == 0 ? "0 " : "1 ");
    sigset_t mask;
    pthread_sigmask(SIG_BLOCK, nullptr, &mask);
    Say(sigismember(&mask, SIGINT) ? "blocked\n" : "open\n");
    HALT(0);
  });
  EXPECT_EQ(r.out, "0 open\r\n");
  EXPECT_EQ(r.err, "");
}

std::int32_t PassOn(WinCon_CTRL_TYPE ct) {
  Say("pass " + std::to_string(ct) + "\n");
  return 0;
}

TEST(SignalsAdapter, HandlersAreAskedNewestFirstUntilOneTakesTheEvent) {
  auto r = RunInChild([] {
    mainThread = pthread_self();
    if (SetConsoleCtrlHandler(Record, 1) == 0) Say("install failed\n");
    if (SetConsoleCtrlHandler(PassOn, 1) == 0) Say("second install failed\n");
    if (!SendAndAwait(SIGINT)) Say("lost\n");
    if (SetConsoleCtrlHandler(PassOn, 0) == 0) Say("remove failed\n");
    if (SetConsoleCtrlHandler(PassOn, 0) != 0) Say("removed twice\n");
    if (!SendAndAwait(SIGQUIT)) Say("lost\n");
    Say("recorded " + std::to_string(seenEvent.load()) + "\n");
    HALT(0);
  });
  EXPECT_EQ(r.out, "pass 0\r\nrecorded 1\r\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.code, 0);
}

TEST(SignalsAdapter, AnEventNoHandlerTakesGetsTheSignalsDefaultAction) {
  for (int sig : {SIGINT, SIGTERM}) {
    auto r = RunInChild([&] {
      if (SetConsoleCtrlHandler(PassOn, 1) == 0) Say("install failed\n");
      kill(getpid(), sig);
      SleepMs(5000);
      HALT(0);
    });
    EXPECT_EQ(r.out, "pass " + std::to_string(sig == SIGINT ? 0 : 6) + "\r\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.code, 128 + sig);
  }
}

TEST(SignalsAdapter, ASignalIgnoredFromTheStartStaysIgnored) {
  // As under nohup: the hangup is not the program's to handle.
  auto r = RunInChild([] {
    signal(SIGHUP, SIG_IGN);
    if (SetConsoleCtrlHandler(Record, 1) == 0) Say("install failed\n");
    kill(getpid(), SIGHUP);
    SleepMs(100);
    Say(seen.load() ? "HUP handled\n" : "HUP ignored\n");
    if (!SendAndAwait(SIGTERM)) Say("lost\n");
    Say("recorded " + std::to_string(seenEvent.load()) + "\n");
    HALT(0);
  });
  EXPECT_EQ(r.out, "HUP ignored\r\nrecorded 6\r\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.code, 0);
}

}  // namespace
