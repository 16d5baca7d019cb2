#include "config/Config.h"

#include <span>
#include <string>

#include "config/Args.h"
#include "config/Version.h"
#include "core/Lib2.h"
#include "core/Str.h"
#include "core/Text.h"
#include "platform/Runtime.h"
#include "services/FIO2.h"
#include "services/Lib3.h"

namespace Config {

TDataDesc data;

namespace {

// The 3-character keywords indexed by TAction, without terminators.
constexpr char acts[] = "nultstaddsubmuldivmod";
static_assert(sizeof acts == 3 * (kLastAction + 1) + 1, "one keyword for each action");

// The keyword of a; a value outside the table has none.
std::span<const char> Keyword(TAction a) {
  if (a > kLastAction) return {};
  return std::span<const char>(acts + 3 * a, 3);
}

// ---- ParseArgs and its nested procedures ----------------------------------------------------

// What a parse fills and how it ends, shared by the nested procedures. Each of them returns false
// once the parse has ended (help or an error), and the parse then stops.
struct TParse {
  TDataDesc& d;
  SO::TLine& msg;
  TParseEnd end;
};

// Composes "Error: " t, the current symbol's text in quotes when there is one, and a hint line,
// all in one 128-character text; ends the parse with it.
bool ParseArgs_Error(TParse& p, std::span<const char> t) {
  SO::TBuffer b;
  SO::Init(b, p.msg);
  SO::WrStr(b, "Error: ");
  SO::WrStr(b, t);
  if (Args::len > 0) {
    SO::WrStr(b, ": '");
    SO::WrStr(b, Args::str);
    SO::WrStr(b, "'");
  }
  SO::WrLn(b);
  SO::WrStr(b, "Try '");
  SO::WrStr(b, kPrgName);
  SO::WrStr(b, " -h' for help.");
  p.end = TParseEnd::kError;
  return false;
}

// The number of leading characters that s and t share, letter case ignored.
std::uint32_t ParseArgs_Common(std::span<const char> s, std::span<const char> t) {
  const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
  const std::uint32_t ls = Text::Length(s);
  const std::uint32_t lt = Text::Length(t);
  const std::uint32_t n = ls < lt ? ls : lt;
  for (std::uint32_t i = 0; i < n; ++i) {
    if (upper(s[i]) != upper(t[i])) return i;
  }
  return n;
}

// x := the action whose keyword shares the longest leading run with str; the earlier keyword
// wins a tie.
bool ParseArgs_GetAction(TParse& p, TAction& x) {
  x = aNull;
  std::uint32_t best = 0;
  for (std::uint8_t a = aTst; a <= kLastAction; ++a) {
    const std::uint32_t k = ParseArgs_Common(Keyword(static_cast<TAction>(a)), Args::str);
    if (k > best) {
      x = static_cast<TAction>(a);
      best = k;
    }
  }
  return x != aNull || ParseArgs_Error(p, "Invalid action");
}

// x := str as a decimal number. A cut parameter would give a number other than the one typed.
bool ParseArgs_GetCard(TParse& p, std::uint32_t& x) {
  bool ok = false;
  x = Str_StrToCard(Args::str, ok);
  return (ok && !Args::cut) || ParseArgs_Error(p, "Invalid number");
}

bool ParseArgs_Options(TParse& p) {
  while (Args::sym == Args::symOpt) {
    if (Str_Compare(Args::str, "?") == 0 || Str_Compare(Args::str, "h") == 0) {
      p.end = TParseEnd::kHelp;
      return false;
    } else if (Str_Compare(Args::str, "b") == 0) {
      Args::Read();
      if (!ParseArgs_GetCard(p, p.d.ba)) return false;
    } else if (Str_Compare(Args::str, "r") == 0) {
      Args::Read();
      if (!ParseArgs_GetCard(p, p.d.br)) return false;
    } else if (Str_Compare(Args::str, "d") == 0) {
      p.d.dbg = true;
    } else if (Str_Compare(Args::str, "v") == 0) {
      p.d.vrb = true;
    } else {
      return ParseArgs_Error(p, "Invalid option");
    }
    Args::Read();
  }
  return true;
}

bool ParseArgs_Action(TParse& p) {
  if (Args::sym != Args::symArg) return true;
  if (!ParseArgs_GetAction(p, p.d.act)) return false;
  Args::Read();
  return true;
}

// Copies the current plain argument into n. A cut operand would compute with a number other
// than the one typed.
bool ParseArgs_Number(TParse& p, TNumStr& n, std::span<const char> missing) {
  if (Args::sym != Args::symArg) return ParseArgs_Error(p, missing);
  if (Args::cut) return ParseArgs_Error(p, "Invalid number");
  Str_Copy(n, Args::str);
  Args::Read();
  return true;
}

bool ParseArgs_Arguments(TParse& p) {
  if (p.d.act < aAdd) return true;
  return ParseArgs_Number(p, p.d.arg, "1st number expected") &&
         ParseArgs_Number(p, p.d.brg, "2nd number expected");
}

// ---- Banner and display ---------------------------------------------------------------------

// Appends the one-line banner to b (no clearing, no line end).
void WrInfo(SO::TBuffer& b) {
  SO::WrStr(b, kPrgName);
  SO::WrStr(b, " v");
  SO::WrCard(b, static_cast<std::uint16_t>(kVersion), 0);
  SO::WrStr(b, " (");
  SO::WrStr(b, kDate);
  SO::WrStr(b, "): Testbed for large cardinal arithmetics.");
}

// Appends the selectable action keywords, "'tst' | 'add' | ... | 'mod'", to b.
void WrActs(SO::TBuffer& b) {
  for (std::uint8_t a = aTst; a <= kLastAction; ++a) {
    SO::WrChar(b, '\'');
    SO::WrStr(b, Keyword(static_cast<TAction>(a)));
    SO::WrChar(b, '\'');
    if (a != kLastAction) SO::WrStr(b, " | ");
  }
}

// Prints the help text.
void Help() {
  SO::TLine s;
  SO::TBuffer b;
  SO::Init(b, s);
  const auto line = [&] {
    IO_WrStr(s);
    IO_WrLn();
    SO::Clear(b);
  };
  SO::WrStr(b, "(* ");
  WrInfo(b);
  SO::WrStr(b, " *)");
  line();
  SO::WrStr(b, "syntax = '");
  SO::WrStr(b, kPrgName);
  SO::WrStr(b, "' { option } [ action [ num num ] ] .");
  line();
  for (const char* option : {"option = '-h'      (* show this info and exit *)",
                             "       | '-b' num  (* set argument base to num *)",
                             "       | '-r' num  (* set result base to num *)",
                             "       | '-d'      (* switch on debug mode *)",
                             "       | '-v'      (* switch on verbose mode *) ."}) {
    SO::WrStr(b, {option, std::char_traits<char>::length(option)});
    line();
  }
  SO::WrStr(b, "action = ");
  WrActs(b);
  SO::WrStr(b, " .");
  line();
}

// Prints the record on standard output, one field a line, when data.vrb is set; each line is
// cut at 128 characters.
void Show() {
  SO::TLine s;
  SO::TBuffer b;
  SO::Init(b, s);
  const auto out = [&] {
    if (!data.vrb) return;
    IO_WrStr(s);
    IO_WrLn();
  };
  const auto showHdr = [&] {
    SO::Clear(b);
    WrInfo(b);
    out();
    SO::Clear(b);
    SO::WrStr(b, "config");
    out();
  };
  const auto begin = [&](std::span<const char> n) {
    SO::Clear(b);
    SO::WrStr(b, "  ");
    SO::WrStrAdj(b, n, -3);
    SO::WrChar(b, ' ');
  };
  const auto showStr = [&](std::span<const char> n, std::span<const char> v) {
    begin(n);
    SO::WrChar(b, '\'');
    SO::WrStr(b, v);
    SO::WrChar(b, '\'');
    out();
  };
  const auto showCard = [&](std::span<const char> n, std::uint32_t v) {
    begin(n);
    SO::WrLngCard(b, v, 1);
    out();
  };
  showHdr();
  showStr("prg", data.prg);
  showCard("ver", data.ver);
  showStr("ext", data.ext);
  showStr("dir", data.dir);
  showCard("dbg", data.dbg ? 1 : 0);
  showCard("vrb", data.vrb ? 1 : 0);
  showCard("ba", data.ba);
  showCard("br", data.br);
  showStr("act", Keyword(data.act));
  showStr("arg", data.arg);
  showStr("brg", data.brg);
}

}  // namespace

TParseEnd ParseArgs(TDataDesc& d, SO::TLine& msg) {
  TParse p{d, msg, TParseEnd::kRun};
  Args::Reset();
  Args::Read();
  if (ParseArgs_Options(p) && ParseArgs_Action(p) && ParseArgs_Options(p) &&
      ParseArgs_Arguments(p) && ParseArgs_Options(p) && Args::sym != Args::symEOA) {
    ParseArgs_Error(p, "Unexpected argument");
  }
  return p.end;
}

// ---- Start-up -------------------------------------------------------------------------------

void Begin() {
  Lib2::Fill(data, 0);
  Str_Copy(data.prg, kPrgName);
  data.ver = kVersion;
  Str_Copy(data.ext, kDate);
  FIO2::GetDirX(data.dir);
  data.ba = 10;
  data.br = 10;
  SO::TLine msg;
  switch (ParseArgs(data, msg)) {
    case TParseEnd::kHelp:
      Help();
      Lib3::SetReturnCode(0);
      HALT(9);
    case TParseEnd::kError:
      Lib3::FatalError(msg);
    case TParseEnd::kRun:
      break;
  }
  Show();
}

}  // namespace Config
