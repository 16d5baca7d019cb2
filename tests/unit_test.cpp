// The library in process: the properties of LC, LCC and LCC0 (tests/Props.h) on seeded random
// cases and, labelled slow, every 32-bit value through both converters; then what the command
// line cannot reach, or too rarely: the digit primitives and reciprocals, SO's settings, the
// string services, how runs end, the exhaustive loop's seam and the signal adapter.
#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <charconv>
#include <cstdio>
#include <functional>
#include <map>
#include <thread>

#include "Word.h"
#include "Exhaustive.h"
#include "services/SO.h"
#include "services/ConSigs.h"
#include "services/Lib3.h"
#include "platform/Platform.h"
#include "services/Ticks.h"
#include "tests/Props.h"
#include "tests/cli/Harness.h"

namespace {

using Child = cli::Result;

Child InChild(std::function<void()> body) {
  cli::Options o;
  o.body = std::move(body);
  return cli::Run(o);
}

const std::string kSignal = "ConSigs: Signal received, terminating.\r\n";

void SleepMs(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// A still clock, so the ticks line reads "Ticks: 0", and the chain that every run has.
void BeginChain() {
  Platform::tickSource = [] { return 5000u; };
  Lib3::Begin();
  Ticks::Begin();
}

// ---- The properties of LC, LCC and LCC0 (tests/Props.h) -----------------------------------

#if defined(__SANITIZE_ADDRESS__)
constexpr int kCases = 40000;  // the sanitizers run the same paths, slower
#else
constexpr int kCases = 200000;
#endif

TEST(Props, LcAgreesWithGmp) {
  gen::Source g(20261207);
  std::map<std::string, int> outcomes;  // operation and flag: the draw reaches both flags
  for (int i = 0; i < kCases; ++i) {
    const props::LcCase c = props::Draw(g, 130);
    ASSERT_EQ(props::Check(c), "") << "case " << i;
    ++outcomes[props::kOpName[c.op] + std::to_string(props::Expect(c).ok)];
  }
  for (const char* op : props::kOpName) {
    EXPECT_GE(outcomes[op + std::string("0")], kCases / 200) << op;
    EXPECT_GE(outcomes[op + std::string("1")], kCases / 200) << op;
  }
}

TEST(Props, ConversionsAgreeWithGmp) {
  gen::Source g(20261208);
  for (int i = 0; i < kCases / 2; ++i) ASSERT_EQ(props::Check(props::Draw(g)), "") << "case " << i;
}

// Every 32-bit value through both converters as the self-test runs them: the text is the
// standard library's, in upper case, and reads back to the value. Returns the first failing
// value of [from, to), or to.
TEST(Slow, ConvertersRoundTripEvery32BitValue) {
  std::atomic<std::uint64_t> failed{1ull << 32};  // a failing value found, 2^32 while none
  std::vector<std::thread> quarters;
  for (std::uint64_t q = 0; q < 4; ++q) {
    quarters.emplace_back([&failed, q] {
      for (std::uint64_t v = q << 30; v < (q + 1) << 30 && v < failed; ++v) {
        std::array<char, 128> s, t;
        std::array<char, 17> want{};
        const std::array x = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16),
                              std::uint8_t(v >> 24)};
        std::array<std::uint8_t, 4> y, z;
        std::to_chars(want.data(), want.data() + 16, v, 16);
        for (char* c = want.data(); *c != '\0'; ++c)
          *c = static_cast<char>(*c >= 'a' ? *c - 32 : *c);
        if (!LCC0::MkStr(s, x) || !LCC0::MkCard(y, s) || !LCC::MkStr(t, x, 16) ||
            !LCC::MkCard(z, t, 16) || y != x || z != x || std::strcmp(s.data(), want.data()) != 0 ||
            std::strcmp(t.data(), want.data()) != 0) {
          failed = std::min<std::uint64_t>(failed, v);
        }
      }
    });
  }
  for (auto& q : quarters) q.join();
  EXPECT_EQ(failed, 1ull << 32);
}

// ---- Arithmetic ------------------------------------------------------------------------------

// The reciprocals of division against their definitions and GMP's quotients, on random normalised
// divisors and on those where stepping the one-limb reciprocal down to two limbs meets its edge
// (d1 * v + d0 wraps to exactly d1), which random divisors reach once in 2^64.
TEST(Unit, ReciprocalsOfOneAndTwoLimbs) {
  gen::Source g(0xEDCE);
  const mpz_class b = gen::Pow256(8);
  const auto z = [&](Word::Wide v) -> mpz_class {
    return mpz_class(Word::Limb(v >> 64)) * b + Word::Limb(v);
  };
  for (int i = 0; i < 100000; ++i) {
    const Word::Limb d1 = g.Next() | Word::Limb{1} << 63, v1 = Word::Reciprocal(d1).v;
    const Word::Limb d0 = i % 2 == 0 ? d1 - d1 * v1 : g.Next(), u = g.Next() % d1;
    const Word::Limb u1 = g.Next(), u0 = g.Next();
    const Word::Reciprocal3by2 rec(d1, d0);
    const mpz_class d = z(Word::Wide{d1} << 64 | d0), n = (z(u) * b + z(u1)) * b + z(u0);
    Word::Wide r;
    Word::Limb r1;
    ASSERT_EQ(z(rec.v), (b * b * b - 1) / d - b) << i;
    const mpz_class q = z(rec.Divide(u, u1, u0, r)), q1 = z(Word::Reciprocal(d1).Divide(u, u0, r1));
    ASSERT_EQ(q * d + z(r), n) << i;
    ASSERT_LT(z(r), d) << i;
    ASSERT_EQ(q1 * z(d1) + z(r1), z(u) * b + z(u0)) << i;
    ASSERT_LT(r1, d1) << i;
  }
}

// ---- Output buffer and string services -------------------------------------------------------

// Texts in a buffer of 12 characters: cut at the end without a terminator, aligned both ways with
// their fills, overflow marking, the widest width; the digits of bases below 2 and above 35.
TEST(Unit, OutputBuffer) {
  const std::pair<std::function<void(SO::TBuffer&)>, std::string> cases[] = {
      {[](SO::TBuffer&) {}, ""},
      {[](SO::TBuffer& b) { SO::WrStr(b, "ab"), SO::Clear(b); }, ""},
      {[](SO::TBuffer& b) {
         SO::WrStr(b, "ab"), SO::Clear(b), SO::WrStr(b, "0123456789ABCD"), SO::WrChar(b, 'x');
       },
       "0123456789AB"},
      {[](SO::TBuffer& b) {
         SO::WrStrAdj(b, "ab", 4), SO::WrLn(b), SO::WrStrAdj(b, "d", INT32_MIN);
       },
       "  ab\r\nd     "},
      {[](SO::TBuffer& b) { SO::WrStrAdj(b, "abc", 2), SO::WrCard(b, 7, 3), SO::WrLngCard(b, 8, -3); },
       "abc  78  "},
  };
  for (const auto& [write, text] : cases) {
    std::array<char, 13> s;
    s.fill('#');
    SO::TBuffer b;
    SO::Init(b, std::span(s).first(12));
    write(b);
    EXPECT_EQ(std::string(s.data(), std::min<std::size_t>(b.l + 1, 13)),
              text + (b.l < 12 ? std::string(1, '\0') : "#"));
  }
}

TEST(Unit, StringServices) {
  std::array<char, 4> s{'-', 'a', 'b', 'c'};
  Strings_Delete(s, 0, 2);  // an array without a terminator
  EXPECT_EQ(std::string(s.data(), 4), std::string("bc\0c", 4));
  Strings_Delete(s, 2, 1);
  EXPECT_EQ(std::string(s.data(), 4), std::string("bc\0c", 4));
  Strings_Delete(s, 1, 2);  // more than is left after start
  EXPECT_EQ(std::string(s.data(), 4), std::string("b\0\0c", 4));
  struct {
    std::array<char, 4> text{'a', 'b', 'c', 'd'};
    char after = '#';
  } full;  // a text that fills its array loses nothing, and nothing past it is written
  Strings_Delete(full.text, 1, 0);
  EXPECT_EQ(std::string(full.text.data(), 5), "abcd#");
  static char* none[] = {nullptr};  // a process started without even argv[0]
  Lib_SetParams(0, none);
  EXPECT_EQ(Lib_ParamCount(), 0u);
}

// ---- How runs end --------------------------------------------------------------------------

Lib3::TProc displaced = nullptr;
std::atomic<bool> chainRuns{false};

// Both channels and the exit code of a child that runs body, as "out|err|code".
std::string Ending(std::function<void()> body) {
  const Child c = InChild(std::move(body));
  return c.out + "|" + c.err + "|" + std::to_string(c.code);
}

TEST(Unit, HowRunsEnd) {
  // Finalisers run newest first; a halt in one ends the process at once with its code.
  // The table takes 16 finalisers and refuses the 17th.
  EXPECT_EQ(Ending([] {
              (void)Lib_AddFinaliser([] { IO_WrStr("1"); });
              (void)Lib_AddFinaliser([] { IO_WrStr("2"), HALT(7); });
              for (int i = 0; i < 14; ++i) IO_WrStr(Lib_AddFinaliser([] {}) ? "+" : "-");
              IO_WrStr(Lib_AddFinaliser([] { IO_WrStr("3"); }) ? "+" : "-");
              HALT(4);
            }),
            "++++++++++++++-2||7");
  // The newest exit procedure first, then ticks across a wrapping counter; the exit code is rc,
  // which a fatal error leaves alone.
  EXPECT_EQ(Ending([] {
              Platform::tickSource = [] {
                static std::uint32_t t = 0xFFFFFFE8u;
                return t += 0x10;
              };
              Lib3::Begin(), Ticks::Begin();
              Lib3::Terminate([] { IO_WrStr("A\n"), displaced(); }, displaced);
              Lib3::SetReturnCode(42);
              IO_WrStr("partial");
              Lib3::FatalError("gone");
            }),
            "partialA\r\nTicks: 16\r\n|gone\r\n|42");
  // The handler takes the events 0 to 6 but log-off.
  EXPECT_EQ(Ending([] {
              BeginChain();
              for (WinCon_CTRL_TYPE ct : {5u, 7u, ~0u}) IO_WrStr(ConSigs::Handler(ct) ? "+" : "-");
              IO_WrLn();
              (void)ConSigs::Handler(CTRL_TYPE_4);
            }),
            "---\r\n" + kSignal + "Ticks: 0\r\n||255");
  // A failed installation.
  EXPECT_EQ(Ending([] {
              BeginChain();
              Platform::threadStart = [](pthread_t*, void* (*)(void*), void*) { return EAGAIN; };
              ConSigs::Begin();
            }),
            "ConSigs: Installation failed.\r\nTicks: 0\r\n||255");
  // The help path's return code, set after an event took the run's end, no longer counts.
  EXPECT_EQ(Ending([] {
              BeginChain();
              Lib3::Terminate([] { chainRuns = true, SleepMs(200), displaced(); }, displaced);
              std::thread([] { (void)ConSigs::Handler(CTRL_C_EVENT); }).detach();
              while (!chainRuns) SleepMs(1);
              Lib3::SetReturnCode(0);
            }),
            kSignal + "Ticks: 0\r\n||255");
}

// ---- The exhaustive loop, through its seam ---------------------------------------------------

namespace detail = Zemblaro::detail;
constexpr std::uint32_t kRange = 1u << 20, kBlock = 1u << 16;
struct {
  std::vector<std::uint32_t> str, card, wrong, slow;  // MkStr fails, MkCard fails, bit 16 flips
} faults;
std::uint32_t first = 0;
std::array<std::atomic<std::uint8_t>, kRange + 1> visits;  // the last counts values outside
std::atomic<bool> met{false};
bool meet = false;        // whether value 9 waits for another thread to pass the first chunk
bool sideBySide = false;  // whether one did meanwhile

bool In(const std::vector<std::uint32_t>& list, std::uint32_t v) {
  return std::find(list.begin(), list.end(), v) != list.end();
}

bool FakeStr(std::span<char> s, std::span<const std::uint8_t> x) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v |= std::uint32_t{x[i]} << (8 * i);
  ++visits[std::min(v - first, kRange)];
  if (v - first >= detail::kChunk) met = true;  // only another thread gets there meanwhile
  for (int i = 0; meet && v == first + 9 && i < 10000 && !met; ++i) SleepMs(1);
  if (meet && v == first + 9) sideBySide = met;  // only this thread writes it
  if (In(faults.slow, v)) SleepMs(100);
  std::snprintf(s.data(), s.size(), "%X", v);
  return !In(faults.str, v);
}

bool FakeCard(std::span<std::uint8_t> y, std::span<const char> s) {
  auto v = static_cast<std::uint32_t>(std::strtoul(s.data(), nullptr, 16));
  v ^= In(faults.wrong, v) ? 0x10000u : 0;
  for (std::size_t i = 0; i < 4; ++i) y[i] = static_cast<std::uint8_t>(v >> (8 * i));
  return !In(faults.card, v);
}

constexpr detail::RoundTrip kFake{FakeStr, FakeCard, "Fake: MkStr failed", "Fake: MkCard failed",
                                  "Fake: Wrong result"};

// The progress lines of the blocks from first up to the one holding last.
std::string Progress(std::uint32_t last) {
  std::string s;
  for (std::uint32_t b = first; b - first <= last - first; b += kBlock)
    s += gen::Str(b, 16) + "\r\n";
  return s;
}

std::string Loop(unsigned threads) {
  return Ending([=] {
    met = false;
    detail::CheckRoundTrips<kFake>(first, kRange, kBlock, threads);
    int once = 0;
    for (std::uint32_t v = 0; v < kRange; ++v) once += visits[v] == 1;
    IO_WrStr(std::to_string(once) + " once, " + std::to_string(visits[kRange]) + " outside" +
             (sideBySide ? ", side by side\n" : "\n"));
  });
}

TEST(Unit, ExhaustiveLoopVisitsEveryValueOnceOnEveryThread) {
  for (const std::uint32_t start : {0u, 0xFFF00000u}) {
    first = start;
    for (const unsigned threads : {1u, 2u, 5u}) {
      meet = threads > 1;
      EXPECT_EQ(Loop(threads), Progress(first + kRange - 1) + "1048576 once, 0 outside" +
                                   (threads > 1 ? ", side by side\r\n||0" : "\r\n||0"))
          << threads;
    }
  }
  meet = false;
}

TEST(Unit, ExhaustiveLoopDiagnosesTheSmallestFailure) {
  const struct {
    std::uint32_t first;
    decltype(faults) f;
    std::uint32_t x;  // the smallest failing value
    const char* message;
  } cases[] = {
      // Larger failures of other kinds in this block and later ones, reached first while the
      // smallest dawdles; both sides of a chunk boundary; the first and the last value.
      {0, {{0x2F000}, {0x71234}, {0x2ABCD, 0x2ABCE}, {0x2ABCD}}, 0x2ABCD, "Wrong result"},
      {0, {{0x50003}, {0x5FFFF, 0x90000}, {0x50004}, {0x50003}}, 0x50003, "MkStr failed"},
      {0, {{0x50003}, {0x50001}, {0x50002}, {0x50001}}, 0x50001, "MkCard failed"},
      {0, {{0x31000}, {}, {0x30FFF}, {0x30FFF}}, 0x30FFF, "Wrong result"},
      {0, {{0x80000}, {0x0}, {0x1}, {0x0}}, 0x0, "MkCard failed"},
      {0xFFF00000u, {{0xFFF8FFFFu}, {0xFFFFFFFEu}, {0xFFFFFFFFu}, {}}, 0xFFF8FFFFu, "MkStr failed"},
      {0xFFF00000u, {{}, {}, {0xFFFFFFFFu}, {}}, 0xFFFFFFFFu, "Wrong result"},
  };
  for (const auto& c : cases) {
    first = c.first;
    faults = c.f;
    std::string out = Progress(c.x);
    if (c.message[0] == 'W') {
      out += " x = " + gen::Str(c.x, 16) + "\r\n s = " + gen::Str(c.x, 16) +
             "\r\n y = " + gen::Str(c.x ^ 0x10000u, 16) + "\r\n";
    }
    for (const unsigned threads : {1u, 2u, 5u}) {
      EXPECT_EQ(Loop(threads), out + "\r\n|Fake: " + c.message + "\r\n|9") << threads;
    }
  }
  faults = {};
}

// ---- The signal adapter -----------------------------------------------------------------------

std::atomic<int> seen{-1};  // the last event a handler took, with 100 when off the main thread
pthread_t mainThread;

std::int32_t Record(WinCon_CTRL_TYPE ct) {
  seen = static_cast<int>(ct) + (pthread_equal(pthread_self(), mainThread) ? 0 : 100);
  return 1;
}

// Sends sig to the process and writes the event a handler took within ms.
void Send(int sig, int ms = 5000) {
  seen = -1;
  kill(getpid(), sig);
  for (int i = 0; i < ms && seen < 0; ++i) SleepMs(1);
  IO_WrStr(std::to_string(seen) + "\n");
}

TEST(Unit, SignalsArriveAsEventsOffTheMainThread) {
  EXPECT_EQ(Ending([] {
              mainThread = pthread_self();
              signal(SIGHUP, SIG_IGN);  // as under nohup: stays ignored
              if (SetConsoleCtrlHandler(nullptr, 1) != 0 || SetConsoleCtrlHandler(Record, 0) != 0 ||
                  SetConsoleCtrlHandler(Record, 1) == 0)
                return;
              Send(SIGINT), Send(SIGQUIT), Send(SIGTERM), Send(SIGHUP, 200);
            }),
            "100\r\n101\r\n106\r\n-1\r\n||0");
  // A failed start leaves the mask alone.
  EXPECT_EQ(Ending([] {
              Platform::threadStart = [](pthread_t*, void* (*)(void*), void*) { return EAGAIN; };
              const int installed = SetConsoleCtrlHandler(Record, 1);
              sigset_t mask;
              pthread_sigmask(SIG_BLOCK, nullptr, &mask);
              IO_WrStr(std::to_string(installed + sigismember(&mask, SIGINT)));
            }),
            "0||0");
}

}  // namespace
