// The configuration record: every setting of a run, from start-up to the action; the command
// line that fills it, with its help and error texts; the banner and the verbose display.
#pragma once

#include <array>
#include <cstdint>

#include "core/SO.h"

namespace Config {

// The actions, in the order of their keywords in acts.
enum TAction : std::uint8_t {
  aNull = 0,
  aTst = 1,
  aAdd = 2,
  aSub = 3,
  aMul = 4,
  aDiv = 5,
  aMod = 6
};
// The actions that run are aTst to kLastAction; from aAdd on they are arithmetic.
inline constexpr TAction kLastAction = aMod;

using TPthStr = std::array<char, 128>;
using TNumStr = std::array<char, 256>;

struct TDataDesc {
  std::array<char, 16> prg;  // program name
  std::uint32_t ver;         // version number
  std::array<char, 32> ext;  // the program's date text
  TPthStr dir;               // current directory at start-up
  bool dbg;                  // debug mode, "-d"
  bool vrb;                  // verbose mode, "-v"
  TAction act;               // the action to run
  std::uint32_t ba;          // argument base, "-b"
  std::uint32_t br;          // result base, "-r"
  TNumStr arg;               // first number, as typed
  TNumStr brg;               // second number, as typed
};

// Written only during start-up, read-only afterwards.
extern TDataDesc data;

// The program's identity; the record's prg, ver and ext are copies of kPrgName and of kVersion
// and kDate in the generated config/Version.h.
inline constexpr char kPrgName[] = "zemblaro";

// Clears data, sets the program's identity, the current directory (FIO2::GetDirX, which ends
// the run when it fails) and both bases 10, then parses the command line into it (ParseArgs)
// and, in verbose mode, shows the record, one field a line. Help ends the run with return code 0
// after the help text, an error with the message on standard error. Called once by
// Zemblaro::StartUp, at the end of start-up.
void Begin();

// How a parse of the command line ends.
enum class TParseEnd : std::uint8_t {
  kRun,    // the record is filled in: the run goes on
  kHelp,   // the help text was asked for: it is shown and the run ends with return code 0
  kError,  // the command line is wrong: the message goes to standard error, the run ends
};

// Parses the command line, { option } [ action [ num num ] ], as the runtime's parameters hold
// it, into d: dbg, vrb, act, ba, br, arg and brg. Writes nothing and ends nothing: it returns
// how the parse ends, and for kError the whole two-line message in msg, composed (and cut) in
// its 128 characters. Bases are not range-checked and numbers are stored as typed. An operand,
// or the value of "-b" or "-r", that was longer than a parameter can be is refused as
// "Invalid number" rather than used cut short.
[[nodiscard]] TParseEnd ParseArgs(TDataDesc& d, SO::TLine& msg);

}  // namespace Config
