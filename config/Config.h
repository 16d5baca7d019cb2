// The configuration record: every setting of a run, from start-up to the action.
#pragma once

#include <array>
#include <cstdint>

namespace Config {

// The actions, in the order of their keywords in acts.
enum TAction : std::uint8_t { aNull = 0, aTst = 1, aAdd = 2, aSub = 3, aMul = 4, aDiv = 5, aMod = 6 };

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

// The program's identity; the record's prg, ver and ext are copies.
inline constexpr char kPrgName[] = "zemblaro";
inline constexpr std::uint32_t kVersion = 9;
inline constexpr char kDate[] = "2026-09-10";

// Fills data with its values before the command line is read. Called once by main.
void Begin();
// Clears data and sets the values it has before the command line is read.
void InitModule();

}  // namespace Config
