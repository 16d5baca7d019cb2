// The self-test suite: the arithmetic tests' report lines, WrHex, and the exhaustive loop driven
// through its seam with converters that fail at chosen values.
#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "driver/Exhaustive.h"
#include "driver/Zemblaro.h"
#include "support/Platform.h"
#include "support/Runtime.h"
#include "tests/support/ChildRun.h"

using testing_support::RunInChild;
namespace detail = Zemblaro::detail;

namespace {

std::string Hex(std::uint32_t v) {
  std::string s;
  do {
    s.insert(s.begin(), "0123456789ABCDEF"[v % 16]);
    v /= 16;
  } while (v != 0);
  return s;
}

// ---- Report lines of the arithmetic tests --------------------------------------------------

TEST(SelfTest, ArithmeticTestsWriteTheirOperandsAndResults) {
  const auto r = RunInChild([] {
    // Every reading is 3 ms after the previous one, and the counter wraps during Test10.
    Platform::tickSource = [] {
      static std::uint32_t t = 0xFFFFFFFEu;
      t += 3;
      return t - 3;
    };
    Zemblaro::Test10();
    Zemblaro::Test11();
    Zemblaro::Test20();
    Zemblaro::Test21();
    Zemblaro::Test30();
    Zemblaro::Test40();
    IO_Flush();
  });
  EXPECT_EQ(r.out,
            "Test10: begin\r\n  INC( CF, 11 ) = E0\r\nTest10: end 3ms\r\n"
            "Test11: begin\r\n  FFFFEFEF + 1111 = 100000100\r\nTest11: end 3ms\r\n"
            "Test20: begin\r\n  DEC( FFFE, FF ) = FEFF\r\nTest20: end 3ms\r\n"
            "Test21: begin\r\n  100 - 1 = FF\r\nTest21: end 3ms\r\n"
            "Test30: begin\r\n  FFFF * FF = FEFF01\r\nTest30: end 3ms\r\n"
            "Test40: begin\r\n  FF0001 DIV FF = 10000\r\n  FF0001 MOD FF = 1\r\n"
            "Test40: end 3ms\r\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.code, 0);
}

TEST(SelfTest, WrHexWritesSignificantDigitsOrQuestionMarks) {
  struct Case {
    std::vector<std::uint8_t> x;
    std::string text;
  };
  std::vector<std::uint8_t> allFF(128, 0xFF);
  std::vector<std::uint8_t> wideFF(allFF);
  wideFF.push_back(0);  // 129 bytes, but only 128 significant
  std::vector<std::uint8_t> tooWide(129, 0);
  tooWide[128] = 1;
  const std::vector<Case> cases = {
      {{0}, "0"},
      {std::vector<std::uint8_t>(129, 0), "0"},
      {{0x11, 0x00}, "11"},
      {{0x00, 0x00, 0x00, 0x10}, "10000000"},
      {{0x0A, 0x0B, 0x0C}, "C0B0A"},
      {allFF, std::string(256, 'F')},
      {wideFF, std::string(256, 'F')},
      {tooWide, "???"},
  };
  for (const auto& c : cases) {
    const auto r = RunInChild([&] {
      Zemblaro::WrHex(c.x);
      IO_Flush();
    });
    EXPECT_EQ(r.out, c.text) << c.x.size() << " bytes";
  }
}

// ---- The exhaustive loop, through its seam ---------------------------------------------------

// Where the fake converters go wrong. A test sets these before the child is forked.
struct Faults {
  std::vector<std::uint32_t> str;    // MkStr fails
  std::vector<std::uint32_t> card;   // MkCard fails
  std::vector<std::uint32_t> wrong;  // MkCard reads back the value with bit 16 flipped
  std::vector<std::uint32_t> slow;   // MkStr dawdles first, so other threads run ahead
};
Faults faults;

// Visits per value of the range, counted by the fake MkStr.
constexpr std::uint32_t kRange = 1u << 20;
constexpr std::uint32_t kBlock = 1u << 16;
std::uint32_t rangeFirst = 0;
std::array<std::atomic<std::uint8_t>, kRange> visits;
std::atomic<std::uint32_t> outside{0};
bool meeting = false;  // whether MkStr waits for another thread at meetAt
std::uint32_t meetAt = 0;
std::atomic<bool> met{false};

bool In(const std::vector<std::uint32_t>& list, std::uint32_t v) {
  return std::find(list.begin(), list.end(), v) != list.end();
}

// At meetAt, waits up to 2 s for a call on a value of another chunk, which only another thread
// can make meanwhile, and writes whether one came.
void Meet(std::uint32_t v) {
  if (v == meetAt) {
    for (int i = 0; i < 2000 && !met.load(); ++i) usleep(1000);
    if (met.load()) {
      IO_WrStr("met");
    } else {
      IO_WrStr("alone");
    }
    IO_WrLn();
  } else if ((v ^ meetAt) >= detail::kChunk) {
    met.store(true);
  }
}

bool FakeMkStr(std::span<char> s, std::span<const std::uint8_t> x) {
  if (x.size() != 4) return false;
  std::uint32_t v = 0;
  for (std::size_t i = 4; i-- > 0;) v = v << 8 | x[i];
  if (v - rangeFirst < kRange) {
    visits[v - rangeFirst].fetch_add(1, std::memory_order_relaxed);
  } else {
    outside.fetch_add(1, std::memory_order_relaxed);
  }
  if (In(faults.slow, v)) usleep(100000);
  if (meeting) Meet(v);
  if (In(faults.str, v)) return false;
  const std::string h = Hex(v);
  std::copy(h.begin(), h.end(), s.begin());
  s[h.size()] = '\0';
  return true;
}

bool FakeMkCard(std::span<std::uint8_t> y, std::span<const char> s) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < s.size() && s[i] != '\0'; ++i) {
    const char c = s[i];
    v = v * 16 + static_cast<std::uint32_t>(c <= '9' ? c - '0' : c - 'A' + 10);
  }
  if (In(faults.card, v)) return false;
  if (In(faults.wrong, v)) v ^= 0x10000u;
  for (std::size_t i = 0; i < 4; ++i) y[i] = static_cast<std::uint8_t>(v >> (8 * i));
  return true;
}

constexpr detail::RoundTrip kFake{FakeMkStr, FakeMkCard, "Fake: MkStr failed",
                                  "Fake: MkCard failed", "Fake: Wrong result"};

// The progress lines of the blocks up to and including the one holding `last`.
std::string Progress(std::uint32_t first, std::uint32_t last) {
  std::string s;
  for (std::uint32_t b = first; b - first <= last - first; b += kBlock) s += Hex(b) + "\r\n";
  return s;
}

testing_support::ChildResult RunLoop(std::uint32_t first, unsigned threads) {
  rangeFirst = first;
  return RunInChild([=] {
    detail::CheckRoundTrips<kFake>(first, kRange, kBlock, threads);
    std::uint32_t once = 0;
    for (const auto& n : visits) once += n.load() == 1;
    IO_WrStr("once ");
    IO_WrLngCard(once, 1);
    IO_WrStr(" outside ");
    IO_WrLngCard(outside.load(), 1);
    IO_WrLn();
  });
}

const unsigned kThreads[] = {1, 2, 5};

TEST(SelfTestLoop, PassingRangeVisitsEveryValueOnceWithOneProgressLinePerBlock) {
  faults = {};
  for (std::uint32_t first : {0u, 0xFFF00000u}) {
    for (unsigned threads : kThreads) {
      const auto r = RunLoop(first, threads);
      EXPECT_EQ(r.out, Progress(first, first + (kRange - 1)) + "once 1048576 outside 0\r\n")
          << Hex(first) << ", " << threads << " threads";
      EXPECT_EQ(r.err, "");
      EXPECT_EQ(r.code, 0);
    }
  }
}

TEST(SelfTestLoop, WorkersConvertSideBySide) {
  faults = {};
  meeting = true;
  meetAt = 0x100;
  for (unsigned threads : {2u, 5u}) {
    const auto r = RunLoop(0, threads);
    EXPECT_EQ(r.out, "0\r\nmet\r\n" + Progress(0x10000, kRange - 1) + "once 1048576 outside 0\r\n")
        << threads << " threads";
  }
  meeting = false;
}

TEST(SelfTestLoop, TheSmallestFailingValueIsDiagnosed) {
  enum Kind { kStr, kCard, kWrong };
  struct Case {
    const char* what;
    std::uint32_t first;
    Faults faults;
    std::uint32_t x;  // the smallest failing value
    Kind kind;
  };
  const std::vector<Case> cases = {
      // Larger failures of other kinds in the same and in later blocks, which other threads
      // reach first while the smallest dawdles.
      {"wrong result", 0, {{0x2F000}, {0x71234}, {0x2ABCD, 0x2ABCE}, {0x2ABCD}}, 0x2ABCD, kWrong},
      {"MkStr failure", 0, {{0x50003}, {0x5FFFF, 0x90000}, {0x50004}, {0x50003}}, 0x50003, kStr},
      {"MkCard failure", 0, {{0x50003}, {0x50001}, {0x50002}, {0x50001}}, 0x50001, kCard},
      {"first value", 0, {{0x80000}, {0x0}, {0x1}, {0x0}}, 0x0, kCard},
      {"last value", 0, {{}, {0xFFFFF}, {}, {}}, 0xFFFFF, kCard},
      // Both sides of a boundary between the chunks that threads take.
      {"chunk boundary", 0, {{0x31000}, {}, {0x30FFF}, {0x30FFF}}, 0x30FFF, kWrong},
      // A larger failure found after the smallest must not replace it.
      {"larger found later", 0, {{}, {0x33000}, {0x32FFF}, {0x33000}}, 0x32FFF, kWrong},
      {"last 32-bit value", 0xFFF00000u, {{}, {}, {0xFFFFFFFFu}, {}}, 0xFFFFFFFFu, kWrong},
      {"top MkStr failure",
       0xFFF00000u,
       {{0xFFF8FFFFu, 0xFFFA0000u}, {0xFFFFFFFEu}, {}, {}},
       0xFFF8FFFFu,
       kStr},
  };
  for (const auto& c : cases) {
    faults = c.faults;
    std::string expectOut = Progress(c.first, c.x);
    std::string expectErr;
    if (c.kind == kWrong) {
      expectOut +=
          " x = " + Hex(c.x) + "\r\n s = " + Hex(c.x) + "\r\n y = " + Hex(c.x ^ 0x10000u) + "\r\n";
      expectErr = "Fake: Wrong result\r\n";
    } else {
      expectErr = c.kind == kStr ? "Fake: MkStr failed\r\n" : "Fake: MkCard failed\r\n";
    }
    expectOut += "\r\n";  // Fatal's line end
    for (unsigned threads : kThreads) {
      const auto r = RunLoop(c.first, threads);
      EXPECT_EQ(r.out, expectOut) << c.what << ", " << threads << " threads";
      EXPECT_EQ(r.err, expectErr) << c.what << ", " << threads << " threads";
      EXPECT_EQ(r.code, 9) << c.what << ", " << threads << " threads";
    }
  }
}

TEST(SelfTestLoop, ProcessorCountFollowsTheAffinityMask) {
  const long online = sysconf(_SC_NPROCESSORS_ONLN);
  for (int cpus = 1; cpus <= 2 && cpus <= online; ++cpus) {
    const auto r = RunInChild([=] {
      cpu_set_t set;
      CPU_ZERO(&set);
      for (int c = 0; c < cpus; ++c) CPU_SET(static_cast<std::size_t>(c), &set);
      if (sched_setaffinity(0, sizeof set, &set) != 0) _exit(100);
      _exit(static_cast<int>(detail::ProcessorCount()));
    });
    EXPECT_EQ(r.code, cpus);
  }
}

}  // namespace
