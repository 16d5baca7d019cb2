// What the command line cannot reach, or too rarely: the digit primitives, every pair of one-byte
// operands, SO's settings, the string services, the halt chain, FIO2's hook, the exhaustive
// loop's seam, and console events through the handler and the signal adapter.
#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>

#include "arith/Word.h"
#include "driver/Exhaustive.h"
#include "output/SO.h"
#include "support/ConSigs.h"
#include "support/FIO2.h"
#include "support/Lib3.h"
#include "support/Platform.h"
#include "support/Ticks.h"
#include "tests/Props.h"
#include "tests/cli/Harness.h"

namespace {

using Child = cli::Result;

Child InChild(std::function<void()> body) {
  cli::Options o;
  o.body = std::move(body);
  return cli::Run(o);
}

void SleepMs(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// A still clock, so the ticks line reads "Ticks: 0", and the chain that every run has.
void BeginChain() {
  Platform::tickSource = [] { return 5000u; };
  Lib3::Begin();
  Ticks::Begin();
}

// ---- Arithmetic ------------------------------------------------------------------------------

TEST(Unit, DigitPrimitivesOnEveryByte) {
  for (int v = 0; v < 0x20000; ++v) {
    const auto x = static_cast<std::uint8_t>(v), y = static_cast<std::uint8_t>(v >> 8);
    const int c = v >> 16;
    std::uint8_t a = x, s = x, z = static_cast<std::uint8_t>(x ^ y), m = y;
    bool ca = c != 0, cs = c != 0;
    LC::detail::Inc0(a, y, ca), LC::detail::Dec0(s, y, cs), LC::detail::Mul0(x, y, z, m);
    ASSERT_EQ(a + 256 * ca, x + y + c);
    ASSERT_EQ(s - 256 * cs, x - y - c);
    ASSERT_EQ(z + 256 * m, (x ^ y) + x * y + y);
    ASSERT_EQ(LC::detail::Cmp0(x, y), (x > y) - (x < y));
  }
}

TEST(Unit, EveryPairOfOneByteOperands) {
  for (int op = 0; op < props::kOps; ++op) {
    props::LcCase c{static_cast<props::Op>(op), props::Patterns(static_cast<props::Op>(op))[0], {}};
    c.pre.assign(c.p.size(), gen::Bytes{0x5C});
    for (unsigned v = 0; v < 0x10000; ++v) {
      c.pre[0][0] = static_cast<std::uint8_t>(v);
      c.pre[1][0] = static_cast<std::uint8_t>(v >> 8);
      ASSERT_EQ(props::Check(c), "");
    }
  }
}

// The reciprocals of division against their definitions and GMP's quotients, on random normalised
// divisors and on those where stepping the one-limb reciprocal down to two limbs meets its edge
// (d1 * v + d0 wraps to exactly d1), which random divisors reach once in 2^64.
TEST(Unit, ReciprocalsOfOneAndTwoLimbs) {
  gen::Source g(0xEDCE);
  const mpz_class b = gen::Pow256(8);
  const auto big = [](Word::Limb v) { return mpz_class(static_cast<unsigned long>(v)); };
  for (int i = 0; i < 100000; ++i) {
    const Word::Limb d1 = g.Next() | Word::Limb{1} << 63, v1 = Word::Reciprocal(d1).v;
    const Word::Limb d0 = i % 2 == 0 ? d1 - d1 * v1 : g.Next();
    const Word::Reciprocal3by2 rec(d1, d0);
    const mpz_class d = big(d1) * b + big(d0), u2 = big(g.Next()) % big(d1);
    ASSERT_EQ(big(rec.v), (b * b * b - 1) / d - b) << i;
    const mpz_class u = (u2 * b + big(g.Next())) * b + big(g.Next());
    Word::Wide r;
    const Word::Limb q = rec.Divide(static_cast<Word::Limb>(u2.get_ui()),
                                    static_cast<Word::Limb>(mpz_class(u / b % b).get_ui()),
                                    static_cast<Word::Limb>(mpz_class(u % b).get_ui()), r);
    ASSERT_EQ(big(q), u / d) << i;
    ASSERT_EQ(big(static_cast<Word::Limb>(r >> 64)) * b + big(static_cast<Word::Limb>(r)), u % d)
        << i;
    Word::Limb r1;
    ASSERT_EQ(big(Word::Reciprocal(d1).Divide(d0 % d1, d1 ^ d0, r1)),
              (big(d0 % d1) * b + big(d1 ^ d0)) / big(d1));
  }
}

// ---- Output buffer and string services -------------------------------------------------------

TEST(Unit, OutputBufferOfTwelveCharacters) {
  const std::pair<std::function<void(SO::TBuffer&)>, std::string> cases[] = {
      {[](SO::TBuffer& b) { SO::WrStr(b, "0123456789ABCDEF"); }, "0123456789AB"},
      {[](SO::TBuffer& b) { SO::WrStr(b, "ab"), SO::Clear(b), SO::WrChar(b, 'c'); }, "c"},
      {[](SO::TBuffer& b) { SO::WrCharRep(b, '-', 3), SO::WrLn(b), SO::WrCharRep(b, '=', 99); },
       "---\r\n======="},
      {[](SO::TBuffer& b) {
         SO::WrStrAdj(b, "ab", 4), SO::WrStrAdj(b, "cd", -3), SO::WrChar(b, '|');
       },
       "  abcd |"},
      {[](SO::TBuffer& b) { SO::WrStrAdj(b, "abc", 2), SO::WrStrAdj(b, "d", INT32_MIN); },
       "abcd        "},
      {[](SO::TBuffer& b) {
         b.c = {'0', '.', true};
         SO::WrStrAdj(b, "abc", 2), SO::WrStrAdj(b, "7", 3), SO::WrStrAdj(b, "8", -3);
       },
       "??0078.."},
      {[](SO::TBuffer& b) { SO::WrCard(b, 65535, -6), SO::WrLngCard(b, 4294967295u, 1); },
       "65535 429496"},
  };
  for (const auto& [write, text] : cases) {
    std::array<char, 13> s;
    s.fill('#');
    SO::TBuffer b;
    SO::Init(b, std::span(s).first(12));
    EXPECT_EQ(s[0], '\0');
    write(b);
    EXPECT_EQ(std::string(s.data(), std::min<std::size_t>(b.l, 12)), text);
    EXPECT_EQ(b.l, text.size());
    EXPECT_EQ(s[12], '#');
    EXPECT_TRUE(b.l == 12 || s[b.l] == '\0') << text;
  }
  std::array<char, 3> t{'#', '#', '#'};
  SO::CardToStr(5, t, 1);  // a base below 2 counts as 2
  EXPECT_EQ(std::string(t.data(), 3), "101");
  SO::CardToStr(35, t, 36);
  EXPECT_EQ(std::string(t.data(), 2), std::string("Z\0", 2));
  EXPECT_EQ(std::string() + SO::Char(35) + SO::Char(36) + SO::Char(9), "Z?9");
}

TEST(Unit, StringServices) {
  const struct {
    const char* text;
    std::uint32_t base;
    std::int64_t value;  // -1: refused
  } cases[] = {
      {"+16", 10, 16},        {"0016", 10, 16},      {"4294967295", 10, 4294967295},
      {"", 10, -1},           {"+", 10, -1},         {"-0", 10, -1},
      {"4294967296", 10, -1}, {"FF", 16, 255},       {"fF", 16, -1},
      {"12", 2, -1},          {"100000000", 16, -1}, {"9", 9, -1},
      {"101", 1, 5},          {"F", 99, 15},         {"G", 99, -1}};  // the base is kept to 2..16
  for (const auto& c : cases) {
    bool ok = false;
    const std::uint32_t v = Str_StrToCard({c.text, std::strlen(c.text)}, c.base, ok);
    EXPECT_EQ(ok ? std::int64_t{v} : -1, c.value) << c.text << " base " << c.base;
    EXPECT_TRUE(ok || v == 0) << c.text;
  }
  EXPECT_EQ(Str_Compare("b", "bx"), -1);
  EXPECT_EQ(Str_Compare("bx", "b"), 1);
  EXPECT_EQ(Str_Compare("\xe9", "a"), 1);  // codes above 127 are not negative
  EXPECT_EQ(Str_Compare("a", "b"), -1);
  std::array<char, 4> s{'-', 'a', 'b', 'c'};
  Strings_Delete(s, 0, 2);  // an array without a terminator
  EXPECT_EQ(std::string(s.data(), 4), std::string("bc\0c", 4));
  Strings_Delete(s, 2, 1);
  EXPECT_EQ(std::string(s.data(), 4), std::string("bc\0c", 4));
}

// ---- How runs end --------------------------------------------------------------------------

Lib3::TProc displaced = nullptr;
std::atomic<bool> chainRuns{false};

// Runs that end the process, each in a child: what it writes on both channels, its exit code.
TEST(Unit, HowRunsEnd) {
  const struct {
    const char* what;
    void (*body)();
    const char* out;
    const char* err;
    int code;
  } cases[] = {
      {"finalisers run newest first; a halt in one ends the process at once with its code",
       [] {
         Lib_AddFinaliser([] { IO_WrStr("1"); });
         Lib_AddFinaliser([] { IO_WrStr("2"), HALT(7); });
         Lib_AddFinaliser([] { IO_WrStr("3"); });
         HALT(4);
       },
       "32", "", 7},
      {"the newest exit procedure first, then ticks across a wrap; rc survives a fatal error",
       [] {
         Platform::tickSource = [] {
           static std::uint32_t t = 0xFFFFFFE8u;
           return t += 0x10;
         };
         Lib3::Begin(), Ticks::Begin();
         Lib3::Terminate([] { IO_WrStr("A\n"), displaced(); }, displaced);
         Lib3::SetReturnCode(42);
         IO_WrStr("partial");
         Lib3::FatalError("gone");
       },
       "partialA\r\nTicks: 16\r\n", "gone\r\n", 42},
      {"FIO2's hook runs once; a lookup failing inside it leaves an empty text",
       [] {
         for (auto& e : FIO2::detail::arr) e = {7, reinterpret_cast<FIO2::THandle*>(&e)};
         FIO2::detail::lck = true;
         FIO2::InitModule();
         for (const auto& e : FIO2::detail::arr) {
           if (e.i != 0 || e.h != nullptr || FIO2::detail::lck) IO_WrStr("not cleared\n");
         }
         FIO2::SetHook([](std::span<const char> s) {
           IO_WrStr("hook "), IO_WrStr(s), IO_WrLn();
           Platform::dirSource = [](std::uint32_t, char*) { return 300u; };
           std::array<char, 4> t{'x'};
           FIO2::GetDirX(t);
           IO_WrStr(std::string(t[0] == '\0' ? "empty\n" : "not empty\n"));
         });
         FIO2::Fatal("first");
       },
       "FIO2.Fatal: first\r\nhook first\r\nFIO2.Fatal: GetDirX: Provided buffer too small, "
       "required size 300\r\nempty\r\n",
       "", 9},
      {"WrHex of 129 significant bytes", [] { Zemblaro::WrHex(gen::Put(gen::Pow256(128), 129)); },
       "???", "", 0},
      {"the handler takes events 0 to 6 but log-off",
       [] {
         BeginChain();
         for (const WinCon_CTRL_TYPE ct : {5u, 7u, 0xFFFFFFFFu})
           IO_WrStr(ConSigs::Handler(ct) ? "+" : "-");
         IO_WrLn();
         (void)ConSigs::Handler(CTRL_TYPE_4);
       },
       "---\r\nConSigs: Signal received, terminating.\r\nTicks: 0\r\n", "", 255},
      {"a failed installation",
       [] {
         BeginChain();
         Platform::threadStart = [](pthread_t*, void* (*)(void*), void*) { return EAGAIN; };
         ConSigs::Begin();
       },
       "ConSigs: Installation failed.\r\nTicks: 0\r\n", "", 255},
      {"the help path's return code, set after an event took the run's end",
       [] {
         BeginChain();
         Lib3::Terminate([] { chainRuns = true, SleepMs(200), displaced(); }, displaced);
         std::thread([] { (void)ConSigs::Handler(CTRL_C_EVENT); }).detach();
         while (!chainRuns) SleepMs(1);
         Lib3::SetReturnCode(0);
       },
       "ConSigs: Signal received, terminating.\r\nTicks: 0\r\n", "", 255},
  };
  for (const auto& c : cases) {
    const Child r = InChild(c.body);
    EXPECT_EQ(r.out, c.out) << c.what;
    EXPECT_EQ(r.err, c.err) << c.what;
    EXPECT_EQ(r.code, c.code) << c.what;
  }
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

Child Loop(unsigned threads) {
  return InChild([=] {
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
      const Child c = Loop(threads);
      EXPECT_EQ(c.out, Progress(first + kRange - 1) + "1048576 once, 0 outside" +
                           (threads > 1 ? ", side by side\r\n" : "\r\n"))
          << threads;
      EXPECT_EQ(c.code, 0);
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
      const Child r = Loop(threads);
      EXPECT_EQ(r.out, out + "\r\n") << c.message << ", " << threads << " threads";
      EXPECT_EQ(r.err, "Fake: " + std::string(c.message) + "\r\n") << threads << " threads";
      EXPECT_EQ(r.code, 9);
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

std::int32_t PassOn(WinCon_CTRL_TYPE ct) {
  IO_WrStr("pass " + std::to_string(ct) + "\n");
  return 0;
}

// Sends sig to the process and writes the event a handler took within ms.
void Send(int sig, int ms = 5000) {
  seen = -1;
  kill(getpid(), sig);
  for (int i = 0; i < ms && seen < 0; ++i) SleepMs(1);
  IO_WrStr(std::to_string(seen) + "\n");
}

TEST(Unit, SignalsArriveAsEventsOffTheMainThread) {
  Child c = InChild([] {
    mainThread = pthread_self();
    signal(SIGHUP, SIG_IGN);  // as under nohup: stays ignored
    if (SetConsoleCtrlHandler(nullptr, 1) != 0 || SetConsoleCtrlHandler(Record, 1) == 0) return;
    if (SetConsoleCtrlHandler(PassOn, 1) == 0) return;
    Send(SIGINT);  // through PassOn to Record
    if (SetConsoleCtrlHandler(PassOn, 0) == 0 || SetConsoleCtrlHandler(PassOn, 0) != 0) return;
    Send(SIGQUIT), Send(SIGTERM), Send(SIGHUP, 200);
  });
  EXPECT_EQ(c.out, "pass 0\r\n100\r\n101\r\n106\r\n-1\r\n");
  // A failed start leaves the mask alone; an event no handler takes gets the default action.
  c = InChild([] {
    Platform::threadStart = [](pthread_t*, void* (*)(void*), void*) { return EAGAIN; };
    const int installed = SetConsoleCtrlHandler(PassOn, 1);
    sigset_t mask;
    pthread_sigmask(SIG_BLOCK, nullptr, &mask);
    IO_WrStr(std::to_string(installed) + (sigismember(&mask, SIGINT) ? " blocked\n" : " open\n"));
  });
  EXPECT_EQ(c.out, "0 open\r\n");
  c = InChild([] {
    if (SetConsoleCtrlHandler(PassOn, 1) == 0) return;
    kill(getpid(), SIGTERM);
    SleepMs(5000);
  });
  EXPECT_EQ(c.out + std::to_string(c.code), "pass 6\r\n" + std::to_string(128 + SIGTERM));
}

}  // namespace
