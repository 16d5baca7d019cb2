// Exhaustive round trips of a converter pair over a range of 32-bit values.
//
// The values are checked in blocks. Each block is shared out among worker threads, yet what is
// written is exactly what one thread counting upward would write: the block's progress line
// before any value of it is checked, and on a failure the diagnosis of the smallest failing
// value, with nothing of any later block.
//
// How the smallest failure is found: workers take small chunks of the block in ascending order
// from one atomic counter and keep the smallest failing value seen by anyone in an atomic
// minimum. A worker stops at its own first failure (its later chunks hold only larger values)
// and takes no chunk that starts past the minimum. Every chunk starting at or below the final
// minimum is therefore checked in full up to its first failure, so the minimum is exact.
//
// Workers take no lock and write nothing: a console signal, handled on a thread of its own,
// can end the process at any moment. Everything lives in fixed storage on the calling thread's
// stack; no heap is used.
#pragma once

#include <array>
#include <atomic>
#include <cassert>
#include <cstdint>
#include <span>

#include "core/LCC.h"
#include "core/LCC0.h"
#include "driver/Zemblaro.h"
#include "platform/Platform.h"
#include "platform/Runtime.h"

namespace Zemblaro::detail {

// A converter pair under test and the messages its failures end the run with.
struct RoundTrip {
  bool (*mkStr)(std::span<char> s, std::span<const std::uint8_t> x);
  bool (*mkCard)(std::span<std::uint8_t> y, std::span<const char> s);
  std::span<const char> strFailed;
  std::span<const char> cardFailed;
  std::span<const char> wrongResult;
};

enum class Outcome : std::uint8_t { kPass, kStrFailed, kCardFailed, kWrong };

using TStr128 = std::array<char, 128>;

// A failing value and what went wrong; s and y are what the converters left, for the diagnosis.
struct Failure {
  std::uint32_t x = 0;
  Outcome kind = Outcome::kPass;
  TStr128 s{};
  LC::TCard04 y{};
};

inline constexpr unsigned kMaxWorkers = 256;
// Values per chunk taken from the shared counter: small enough that a block splits evenly,
// large enough that the counter is touched rarely.
inline constexpr std::uint32_t kChunk = 4096;

// The workers for this process: one per processor it may run on, at most kMaxWorkers.
inline unsigned Workers() {
  const unsigned n = Platform::ProcessorCount();
  return n < kMaxWorkers ? n : kMaxWorkers;
}

// Checks the n values from v on (v + n - 1 <= FFFFFFFFH). Returns the number that passed; when
// that is less than n, f describes the failure of the next value.
// The pair is a template argument, so that the converters are called directly and, with
// link-time optimisation, inlined into the loop: the call overhead would be a fifth of the time.
template <const RoundTrip& rt>
[[gnu::flatten]] inline std::uint32_t CheckRun(std::uint32_t v, std::uint32_t n, TStr128& s,
                                               Failure& f) {
  LC::TCard04 y;
  // One counter: the value itself, up to v + n, which wraps to 0 after FFFFFFFFH.
  std::uint32_t u = v;
  for (const std::uint32_t end = v + n; u != end; ++u) {
    const LC::TCard04 x = LC::Card04(u);
    Outcome kind;
    if (!rt.mkStr(s, x)) {
      kind = Outcome::kStrFailed;
    } else if (!rt.mkCard(y, s)) {
      kind = Outcome::kCardFailed;
    } else if (y != x) {
      kind = Outcome::kWrong;
    } else {
      continue;
    }
    f.x = u;
    f.kind = kind;
    f.s = s;
    f.y = y;
    break;
  }
  return u - v;
}

// One block being checked: the shared counter, the shared minimum and one result per worker.
struct Block {
  std::uint32_t first;                              // the block's first value
  std::uint32_t n;                                  // its number of values, at least 1
  alignas(64) std::atomic<std::uint64_t> next{0};   // offset of the next chunk to take
  alignas(64) std::atomic<std::uint64_t> least{0};  // offset of the smallest failure, n: none
  std::array<Failure, kMaxWorkers> failures;
  std::array<bool, kMaxWorkers> failed{};
};

template <const RoundTrip& rt>
inline void Work(Block& b, unsigned w) {
  TStr128 s{};
  for (;;) {
    const std::uint64_t off = b.next.fetch_add(kChunk, std::memory_order_relaxed);
    if (off >= b.n || off > b.least.load(std::memory_order_relaxed)) return;
    const auto len = static_cast<std::uint32_t>(b.n - off < kChunk ? b.n - off : kChunk);
    const auto start = static_cast<std::uint32_t>(b.first + off);
    const std::uint32_t passed = CheckRun<rt>(start, len, s, b.failures[w]);
    if (passed < len) {
      b.failed[w] = true;
      const std::uint64_t mine = off + passed;
      std::uint64_t cur = b.least.load(std::memory_order_relaxed);
      while (mine < cur && !b.least.compare_exchange_weak(cur, mine, std::memory_order_relaxed)) {
      }
      return;
    }
  }
}

struct WorkerArg {
  Block* block;
  unsigned w;
};

template <const RoundTrip& rt>
inline Platform::ThreadResult WorkerMain(void* p) {
  const auto* a = static_cast<const WorkerArg*>(p);
  Work<rt>(*a->block, a->w);
  return {};
}

// Checks the n values from first on (1 <= n, first + n - 1 <= FFFFFFFFH) on up to `threads`
// threads, the calling one included. Returns false when every value passed; otherwise true with
// f the failure of the smallest failing value.
template <const RoundTrip& rt>
inline bool CheckBlock(std::uint32_t first, std::uint32_t n, unsigned threads, Failure& f) {
  if (threads < 1) threads = 1;
  if (threads > kMaxWorkers) threads = kMaxWorkers;
  Block b;
  b.first = first;
  b.n = n;
  b.least.store(n, std::memory_order_relaxed);
  std::array<Platform::Thread, kMaxWorkers> ids;
  std::array<WorkerArg, kMaxWorkers> args;
  std::array<bool, kMaxWorkers> started{};
  for (unsigned w = 1; w < threads; ++w) {
    args[w] = {&b, w};
    // A worker that cannot be started leaves its share to the others.
    started[w] = Platform::threadStart(&ids[w], WorkerMain<rt>, &args[w]) == 0;
  }
  Work<rt>(b, 0);
  for (unsigned w = 1; w < threads; ++w) {
    if (started[w]) Platform::JoinThread(ids[w]);
  }
  const std::uint64_t least = b.least.load(std::memory_order_relaxed);
  if (least >= n) return false;
  const auto x = static_cast<std::uint32_t>(first + least);
  for (unsigned w = 0; w < threads; ++w) {
    if (b.failed[w] && b.failures[w].x == x) {
      f = b.failures[w];
      return true;
    }
  }
  // The minimum is some worker's failure. Were it not, the value still failed: a wrong result
  // with nothing to show is reported rather than a pass.
  assert(false && "the smallest failure is no worker's");
  f = Failure{};
  f.x = x;
  f.kind = Outcome::kWrong;
  return true;
}

// Writes the hexadecimal digits of x (upper case, no leading zeros, "0" for zero) with no line
// end; x has at most 128 bytes.
inline void WrHex(std::span<const std::uint8_t> x) {
  std::array<char, 256> s{};  // the one-word route reads the bytes after the text to keep them
  [[maybe_unused]] const bool ok = LCC0::MkStr(s, x);
  assert(ok && "the suite's numbers have at most 128 bytes, 256 digits");
  IO_WrStr(s);
}

// Writes what a failure shows and ends the run with its message.
[[noreturn]] inline void Report(const RoundTrip& rt, const Failure& f) {
  switch (f.kind) {
    case Outcome::kStrFailed:
      Fatal(rt.strFailed);
    case Outcome::kCardFailed:
      Fatal(rt.cardFailed);
    default:
      break;
  }
  IO_WrStr(" x = ");
  WrHex(LC::Card04(f.x));
  IO_WrLn();
  IO_WrStr(" s = ");
  IO_WrStr(f.s);
  IO_WrLn();
  IO_WrStr(" y = ");
  WrHex(f.y);
  IO_WrLn();
  Fatal(rt.wrongResult);
}

// Converts each of the count values from first on to a string and back (first + count <= 2^32),
// writing a progress line with the first value of each block of `block` values, and ends the run
// through Fatal at the smallest value that fails.
template <const RoundTrip& rt>
inline void CheckRoundTrips(std::uint32_t first, std::uint64_t count, std::uint32_t block,
                            unsigned threads) {
  assert(block != 0 && "a block of no values would never end the loop");
  for (std::uint64_t done = 0; done < count; done += block) {
    const auto start = static_cast<std::uint32_t>(first + done);
    WrHex(LC::Card04(start));
    IO_WrLn();
    const auto n = static_cast<std::uint32_t>(count - done < block ? count - done : block);
    Failure f;
    if (CheckBlock<rt>(start, n, threads, f)) Report(rt, f);
  }
}

// The two pairs tst checks: LCC0, and LCC in base 16.
inline bool Lcc16MkStr(std::span<char> s, std::span<const std::uint8_t> x) {
  return LCC::MkStr(s, x, 16);
}
inline bool Lcc16MkCard(std::span<std::uint8_t> y, std::span<const char> s) {
  return LCC::MkCard(y, s, 16);
}
inline constexpr RoundTrip kLcc0RoundTrip{LCC0::MkStr, LCC0::MkCard, "Test51: MkStr failed",
                                          "Test51: MkCard failed", "Test51: Wrong result"};
inline constexpr RoundTrip kLccRoundTrip{Lcc16MkStr, Lcc16MkCard, "Test52: MkStr failed",
                                         "Test52: MkCard failed", "Test52: Wrong result"};

}  // namespace Zemblaro::detail
