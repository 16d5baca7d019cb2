// The library in process, where GMP and fork are (the POSIX builds): the properties of LC, LCC
// and LCC0 (tests/Props.h) on seeded random cases; then, in forked children, what the command
// line cannot reach, or too rarely: how runs end, and the exhaustive loop's seam.
#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <map>
#include <thread>

#include "Exhaustive.h"
#include "Hex8.h"
#include "driver/Zemblaro.h"
#include "platform/Platform.h"
#include "services/ConSigs.h"
#include "services/Lib3.h"
#include "services/Ticks.h"
#include "tests/Props.h"
#include "tests/cli/Harness.h"

namespace {

using cli::kSignalLine;
using cli::SleepMs;

// ---- The properties of LC, LCC and LCC0 (tests/Props.h) -----------------------------------

constexpr int kCases = 200000;

TEST(Props, LcAgreesWithGmp) {
  props::Source g(20261207);
  for (int i = 0; i < kCases; ++i) ASSERT_EQ(props::Check(props::Draw(g, 130)), "") << "case " << i;
}

TEST(Props, ConversionsAgreeWithGmp) {
  props::Source g(20261208);
  for (int i = 0; i < kCases / 2; ++i) ASSERT_EQ(props::Check(props::Draw(g)), "") << "case " << i;
}

// Each one-word hexadecimal route (the portable one, and the vector one where the compiler
// targets it) reads as a plain per-character reading does: every byte value at every place of
// texts of 1 to 8 digits and just after them, in arrays of 8, 9 and 16 characters with digits
// behind the terminator. (The conversion property writes through the route in use, into junk.)
template <typename R>
void CheckHex8Route() {
  for (const std::size_t cap : {8u, 9u, 16u}) {
    for (std::size_t len = 1; len <= 8; ++len) {
      for (std::size_t at = 0; at <= std::min(len, cap - 1); ++at) {
        for (int b = 0; b < 256; ++b) {
          std::vector<char> s(cap, '7');
          std::copy_n("9aF0c3E1", len, s.begin());
          if (len < cap) s[len] = '\0';
          s[at] = static_cast<char>(b);
          std::uint32_t n = 0, value = 0, l, v;
          bool ok = true;
          for (int d; n < cap && s[n] != '\0'; ++n, value = value * 16 + unsigned(d))
            ok = (d = props::DigitOf(static_cast<std::uint8_t>(s[n]))) < 16 && ok;
          ok = ok && n <= 8;
          ASSERT_TRUE(Hex8::Get<R>(s, l, v) == ok && (!ok || (l == n && v == value))) << b << at;
        }
      }
    }
  }
}

TEST(Props, Hex8Routes) {
  CheckHex8Route<Hex8::Plain>();
  if constexpr (!std::is_same_v<Hex8::Route, Hex8::Plain>) CheckHex8Route<Hex8::Route>();
}

// ---- How runs end --------------------------------------------------------------------------

Lib3::TProc displaced = nullptr;
std::uint32_t n = 0;  // the ticks read so far

// Both channels and the exit code of a child that runs body and gets the signals, as
// "out|err|code".
std::string Ending(std::function<void()> body, std::vector<cli::Signal> signals = {},
                   cli::Out out = cli::Out::kPipe) {
  cli::Options o;
  o.body = [&body] { body(), HALT(0); }, o.signals = std::move(signals), o.out = out;
  const cli::Result c = cli::Run(o);
  return c.out + "|" + c.err + "|" + std::to_string(c.code);
}

// A still clock, so the ticks line reads "Ticks: 0", and the chain that every run has.
void BeginChain() {
  Platform::tickSource = [] { return 5000u; }, Lib3::Begin(), Ticks::Begin();
}

// The program's start-up with a still clock; link joins the chain; then the run is held open at
// one point, so that a signal can interrupt it there.
pthread_t mainThread;
std::atomic<bool> chainElsewhere{false};

void Start(Lib3::TProc link) {
  mainThread = pthread_self(), Platform::tickSource = [] { return 5000u; }, IO_Begin();
  Zemblaro::StartUp(), Lib3::Terminate(link, displaced), IO_WrStr("Probe: ready\n");
}

void HoldChain() {
  IO_WrStr("Probe: chain held\n"), SleepMs(10000), displaced();
}

// On the signal's thread: lets the main thread reach its end first.
void LetMainEnd() {
  if (pthread_equal(pthread_self(), mainThread) == 0)
    chainElsewhere = true, SleepMs(300), IO_WrStr("Probe: chain done\n");
  displaced();
}

void AwaitChain() {
  for (int i = 0; i < 10000 && !chainElsewhere; ++i) SleepMs(1);
}

TEST(Unit, HowRunsEnd) {
  const std::string ready = "Probe: ready\r\n", held = "Probe: chain held\r\n";
  const std::string tail = kSignalLine + "Probe: chain done\r\nTicks: 0\r\n||255";
  using enum cli::Out;
  const struct {
    void (*body)();
    std::string ending;
    std::vector<cli::Signal> signals = {};
    cli::Out out = kPipe;
  } cases[] = {
      // Ticks across a wrapping counter; a pending partial line goes out first; the exit code is
      // rc, which a fatal error leaves alone.
      {[] {
         Platform::tickSource = [] { return static_cast<std::uint32_t>(0xFFFFFFE8u + 0x10 * ++n); };
         Lib3::Begin(), Ticks::Begin(), Lib3::SetReturnCode(42), IO_WrStr("partial ");
         Lib3::FatalError("gone");
       },
       "partial Ticks: 16\r\n|gone\r\n|42"},
      // Once standard output has failed, a fatal message still reaches standard error.
      {[] { BeginChain(), IO_WrStr("lost\n"), Zemblaro::Fatal("Probe: gone"); },
       "|Zemblaro: Write error: No space left on device\r\nProbe: gone\r\n|255",
       {},
       kFull},
      // Help's code 0 never ends a run whose lines an interrupt could not write: another thread
      // holds standard output, blocked on a full pipe.
      {[] {
         BeginChain(), Lib3::SetReturnCode(0);
         std::thread([] { IO_WrStr(std::string(200, 'x') + "\n"); }).detach();
         SleepMs(100), (void)ConSigs::Handler(CTRL_C_EVENT);
       },
       "||255",
       {},
       kFilled},
      // The handler takes the events 0 to 6 but log-off.
      {[] {
         BeginChain();
         for (WinCon_CTRL_TYPE ct : {5u, 7u, ~0u}) IO_WrStr(ConSigs::Handler(ct) ? "+" : "-");
         IO_WrLn(), (void)ConSigs::Handler(CTRL_TYPE_4);
       },
       "---\r\n" + kSignalLine + "Ticks: 0\r\n||255"},
      // A signal that the run inherited as ignored (nohup) stays ignored.
      {[] {
         signal(SIGHUP, SIG_IGN), BeginChain(), ConSigs::Begin(), IO_WrStr("on\n"), SleepMs(300);
       },
       "on\r\nTicks: 0\r\n||255",
       {{SIGHUP, "on", 0}}},
      // A failed installation.
      {[] {
         BeginChain(), Platform::threadStart = [](auto...) { return EAGAIN; }, ConSigs::Begin();
       },
       "ConSigs: Installation failed.\r\nTicks: 0\r\n||255"},
      // While the main thread's chain runs, an event writes its line and ends the run with 9;
      {[] { Start(HoldChain), SleepMs(1000); },
       ready + held + kSignalLine + "||9",
       {{SIGTERM, held, 50}}},
      // so does a second event while the chain of the first runs.
      {[] { Start(HoldChain), SleepMs(1000); },
       ready + kSignalLine + held + kSignalLine + "||9",
       {{SIGINT, ready, 0}, {SIGHUP, held, 50}}},
      // A partial line of the main thread stays off the signal line; the chain's lines follow.
      {[] { Start(LetMainEnd), IO_WrStr("Test52: end "), SleepMs(10000); },
       ready + tail,
       {{SIGQUIT, ready, 200}}},
      // The main body setting its code or giving up during the signal's chain keeps the chain's
      // code and writes nothing more.
      {[] { Start(LetMainEnd), AwaitChain(), Lib3::SetReturnCode(0), Zemblaro::Fatal("x"); },
       ready + tail,
       {{SIGTERM, ready, 50}}},
  };
  for (const auto& c : cases) EXPECT_EQ(Ending(c.body, c.signals, c.out), c.ending);
}

// ---- The exhaustive loop, through its seam ---------------------------------------------------

namespace detail = Zemblaro::detail;
constexpr std::uint32_t kRange = 1u << 20, kBlock = 1u << 16;
// The faults of each value: s MkStr fails, c MkCard fails, w bit 16 flips, d it dawdles.
std::map<std::uint32_t, std::string> faults;
std::uint32_t first = 0;
std::array<std::atomic<std::uint8_t>, kRange + 1> visits;  // the last counts values outside

bool Has(std::uint32_t v, char kind) {
  const auto f = faults.find(v);
  return f != faults.end() && f->second.find(kind) != std::string::npos;
}

bool FakeStr(std::span<char> s, std::span<const std::uint8_t> x) {
  const auto v = Word::Ld<std::uint32_t>(x.data());
  ++visits[std::min(v - first, kRange)];
  if (Has(v, 'd')) SleepMs(100);
  std::snprintf(s.data(), s.size(), "%X", v);
  return !Has(v, 's');
}

bool FakeCard(std::span<std::uint8_t> y, std::span<const char> s) {
  auto v = static_cast<std::uint32_t>(std::strtoul(s.data(), nullptr, 16));
  const bool failed = Has(v, 'c');
  Word::St(y.data(), v ^ (Has(v, 'w') ? 0x10000u : 0));
  return !failed;
}

constexpr detail::RoundTrip kFake{FakeStr, FakeCard, "Fake: s", "Fake: c", "Fake: w"};

// 2^20 values from first on in blocks of 2^16, on 1, 2 and 5 threads: what one thread counting
// upward writes. Without a fault that is every block's progress line, with each value checked
// once; otherwise the progress up to the smallest failing value x, its diagnosis and message.
TEST(Unit, ExhaustiveLoop) {
  const struct {
    std::uint32_t first, x;
    std::string kind;  // of the smallest failure, as in faults; empty: no fault
    std::map<std::uint32_t, std::string> faults;
  } cases[] = {
      {0, 0, "", {}},
      {0xFFF00000, 0, "", {}},
      // Larger failures of other kinds in this block and later ones, reached first while the
      // smallest dawdles; both sides of a chunk boundary; the first and the last value.
      {0, 0x2ABCD, "w", {{0x2F000, "s"}, {0x71234, "c"}, {0x2ABCD, "wd"}, {0x2ABCE, "w"}}},
      {0, 0x50003, "s", {{0x50003, "sd"}, {0x5FFFF, "c"}, {0x90000, "c"}, {0x50004, "w"}}},
      {0, 0x30FFF, "w", {{0x31000, "s"}, {0x30FFF, "wd"}}},
      {0, 0x0, "c", {{0x80000, "s"}, {0x0, "cd"}, {0x1, "w"}}},
      {0xFFF00000, 0xFFF8FFFF, "s", {{0xFFF8FFFF, "s"}, {0xFFFFFFFE, "c"}, {0xFFFFFFFF, "w"}}},
      {0xFFF00000, 0xFFFFFFFF, "w", {{0xFFFFFFFF, "w"}}},
  };
  for (const auto& c : cases) {
    first = c.first, faults = c.faults;
    const std::uint32_t last = c.kind.empty() ? first + kRange - 1 : c.x;
    std::string out, x = props::Str(c.x, 16);
    for (std::uint32_t b = first; b - first <= last - first; b += kBlock)
      out += props::Str(b, 16) + "\r\n";
    if (c.kind == "w")
      out += " x = " + x + "\r\n s = " + x + "\r\n y = " + props::Str(c.x ^ 0x10000u, 16) + "\r\n";
    out += c.kind.empty() ? "1048576 once, 0 outside\r\n||0" : "\r\n|Fake: " + c.kind + "\r\n|9";
    for (const unsigned threads : {1u, 2u, 5u}) {
      EXPECT_EQ(Ending([=] {
                  detail::CheckRoundTrips<kFake>(first, kRange, kBlock, threads);
                  int once = 0;
                  for (std::uint32_t v = 0; v < kRange; ++v) once += visits[v] == 1;
                  IO_WrStr(std::to_string(once) + " once, " + std::to_string(visits[kRange]) +
                           " outside\n");
                }),
                out)
          << std::hex << c.first << " " << c.x << " on " << threads;
    }
  }
}

}  // namespace
