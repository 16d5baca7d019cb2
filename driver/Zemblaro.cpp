#include "driver/Zemblaro.h"

#include <array>
#include <cassert>
#include <cstdint>
#include <string_view>

#include "Exhaustive.h"
#include "config/Config.h"
#include "core/LCC.h"
#include "core/LCC0.h"
#include "core/SO.h"
#include "core/Tmr0.h"
#include "platform/Platform.h"
#include "platform/Runtime.h"
#include "services/ConSigs.h"
#include "services/Lib3.h"
#include "services/Ticks.h"

namespace Zemblaro {

void StartUp() {
  Lib3::Begin();
  Ticks::Begin();
  ConSigs::Begin();
  Config::Begin();
}

void Fatal(std::span<const char> s) {
  // Once standard output has failed, its next line would end the run before the message.
  if (!IO_Failed()) IO_WrLn();
  Lib_FatalError(s);
}

// ---- Arithmetic actions ---------------------------------------------------------------------

namespace {

// What tells the actions apart, by TAction from aAdd: the name that heads their messages, the
// operator text, and the failure of the operation itself.
struct TActionDesc {
  std::string_view name;
  std::string_view opText;
  std::string_view opFailed;
};
constexpr TActionDesc kActions[] = {{"Add", " + ", "Result too large"},
                                    {"Sub", " - ", "Result not cardinal"},
                                    {"Mul", " * ", "Result too large"},
                                    {"Div", " DIV ", "Division by zero"},
                                    {"Mod", " MOD ", "Division by zero"}};
static_assert(std::size(kActions) == Config::kLastAction - Config::aAdd + 1,
              "one description for each arithmetic action");

// Ends the run with the message "<name>: <what>".
[[noreturn]] void Fail(std::string_view name, std::string_view what) {
  SO::TLine s;
  SO::TBuffer b;
  SO::Init(b, s);
  SO::WrStr(b, name);
  SO::WrStr(b, ": ");
  SO::WrStr(b, what);
  Fatal(s);
}

// Runs the arithmetic action a on the operand strings s and t as typed, in the configured bases
// (both already checked to lie in 2..36). Writes one result line "s op t = result" on standard
// output, or ends the run through Fatal with the action's message: first operand, second
// operand, (Sub) the sign of the difference, the operation, the result string.
void Act(Config::TAction a, std::span<const char> s, std::span<const char> t) {
  assert(a >= Config::aAdd && a <= Config::kLastAction && "an arithmetic action");
  const TActionDesc& desc = kActions[a - Config::aAdd];
  const auto ba = static_cast<std::uint8_t>(Config::data.ba);
  const auto br = static_cast<std::uint8_t>(Config::data.br);
  LC::TCardMax x;
  LC::TCardMax y;
  LC::TCardMax z;
  LC::TCardMax m;
  Config::TNumStr r;
  if (!LCC::MkCard(x, s, ba)) Fail(desc.name, "Invalid 1st argument");
  if (!LCC::MkCard(y, t, ba)) Fail(desc.name, "Invalid 2nd argument");
  bool ok;
  LC::CByteCard result = x;
  switch (a) {
    case Config::aAdd:
      ok = LC::Inc(x, y);
      break;
    case Config::aSub:
      // After the comparison the subtraction cannot fail.
      ok = LC::Cmp(x, y) >= 0 && LC::Dec(x, y);
      break;
    case Config::aMul:
      ok = LC::Mul(x, y, z);
      result = z;
      break;
    case Config::aDiv:  // the same division for both, the quotient or the remainder shown
    case Config::aMod:
      ok = LC::Div(x, y, z, m);
      result = a == Config::aDiv ? LC::CByteCard(z) : LC::CByteCard(m);
      break;
    case Config::aNull:  // no arithmetic: Run never passes these
    case Config::aTst:
      return;
  }
  if (!ok) Fail(desc.name, desc.opFailed);
  if (!LCC::MkStr(r, result, br)) Fail(desc.name, "Result string too short");
  IO_WrStr(s);
  IO_WrStr(desc.opText);
  IO_WrStr(t);
  IO_WrStr(" = ");
  IO_WrStr(r);
  IO_WrLn();
}

// ---- Self-test suite ------------------------------------------------------------------------

// Runs a test's body between "<name>: begin" and "<name>: end <ms>ms"; the time covers the
// test's output and the "end " text.
template <typename Body>
void Timed(std::string_view name, Body body) {
  IO_WrStr(name);
  IO_WrStr(": begin");
  IO_WrLn();
  const std::uint32_t t0 = GetTickCount();
  body();
  IO_WrStr(name);
  IO_WrStr(": end ");
  IO_WrLngCard(Tmr0::Diff(t0, GetTickCount()), 1);
  IO_WrStr("ms");
  IO_WrLn();
}

// The operands, least significant byte first, each with the capacity it is passed with.
constexpr std::array<std::uint8_t, 2> k11H{0x11, 0x00};
constexpr std::array<std::uint8_t, 4> kFFFFEFEFH{0xEF, 0xEF, 0xFF, 0xFF};
constexpr std::array<std::uint8_t, 4> k1111H{0x11, 0x11, 0x00, 0x00};
constexpr std::array<std::uint8_t, 2> kFFH2{0xFF, 0x00};
constexpr std::array<std::uint8_t, 2> k100H{0x00, 0x01};
constexpr std::array<std::uint8_t, 1> k1H{0x01};
constexpr std::array<std::uint8_t, 2> kFFFFH{0xFF, 0xFF};
constexpr std::array<std::uint8_t, 4> kFF0001H{0x01, 0x00, 0xFF, 0x00};
constexpr std::array<std::uint8_t, 1> kFFH1{0xFF};

// "  INC( x, y ) = result" for the in-place tests: the operands before the operation, the result
// after it, so a failure closes the line that names them.
void InPlace(std::string_view prefix, LC::ByteCard x, LC::CByteCard y,
             bool (*op)(LC::ByteCard, LC::CByteCard), std::string_view failed) {
  IO_WrStr(prefix);
  detail::WrHex(x);
  IO_WrStr(", ");
  detail::WrHex(y);
  IO_WrStr(" ) = ");
  if (!op(x, y)) Fatal(failed);
  detail::WrHex(x);
  IO_WrLn();
}

// "  x op y = z".
void WrStep(LC::CByteCard x, std::span<const char> op, LC::CByteCard y, LC::CByteCard z) {
  IO_WrStr("  ");
  detail::WrHex(x);
  IO_WrStr(op);
  detail::WrHex(y);
  IO_WrStr(" = ");
  detail::WrHex(z);
  IO_WrLn();
}

// "  x op y = z" for the three-operand tests, z of type Z; nothing of the line when op fails.
template <typename Z>
void Step(LC::CByteCard x, std::string_view opText, LC::CByteCard y,
          bool (*op)(LC::CByteCard, LC::CByteCard, LC::ByteCard), std::string_view failed) {
  Z z{};
  if (!op(x, y, z)) Fatal(failed);
  WrStep(x, opText, y, z);
}

// Every 32-bit value, with a progress line every 2^28 values.
template <const detail::RoundTrip& rt>
void CheckAll32() {
  detail::CheckRoundTrips<rt>(0, std::uint64_t{1} << 32, std::uint32_t{1} << 28, detail::Workers());
}

void Test10() {
  Timed("Test10", [] {
    LC::TCard01 x{0xCF};
    InPlace("  INC( ", x, k11H, LC::Inc, "Test10: Inc failed");
  });
}

void Test11() {
  Timed("Test11",
        [] { Step<LC::TCard05>(kFFFFEFEFH, " + ", k1111H, LC::Add, "Test11: Add failed"); });
}

void Test20() {
  Timed("Test20", [] {
    LC::TCard02 x{0xFE, 0xFF};
    InPlace("  DEC( ", x, kFFH2, LC::Dec, "Test20: Dec failed");
  });
}

void Test21() {
  Timed("Test21", [] { Step<LC::TCard01>(k100H, " - ", k1H, LC::Sub, "Test21: Sub failed"); });
}

void Test30() {
  Timed("Test30", [] { Step<LC::TCard03>(kFFFFH, " * ", kFFH2, LC::Mul, "Test30: Mul failed"); });
}

void Test40() {
  Timed("Test40", [] {
    LC::TCard03 z{};
    LC::TCard02 r{};
    if (!LC::Div(kFF0001H, kFFH1, z, r)) Fatal("Test40: Div failed");
    WrStep(kFF0001H, " DIV ", kFFH1, z);
    WrStep(kFF0001H, " MOD ", kFFH1, r);
  });
}

void Test51() {
  Timed("Test51", CheckAll32<detail::kLcc0RoundTrip>);
}

void Test52() {
  Timed("Test52", CheckAll32<detail::kLccRoundTrip>);
}

}  // namespace

void Run() {
  const Config::TDataDesc& d = Config::data;
  if (d.ba < 2 || d.ba > 36) Fatal("Zemblaro: Invalid argument base");
  if (d.br < 2 || d.br > 36) Fatal("Zemblaro: Invalid result base");
  if (d.act < Config::aTst || d.act > Config::kLastAction)
    Fatal("Zemblaro: Action not implemented");
  if (d.act != Config::aTst) {
    Act(d.act, d.arg, d.brg);
    return;
  }
  Test10();
  Test11();
  Test20();
  Test21();
  Test30();
  Test40();
  Test51();
  Test52();
}

}  // namespace Zemblaro
