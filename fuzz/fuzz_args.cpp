// The command-line parser on arbitrary parameter vectors. Each input runs the program's start-up
// in a child process, since every outcome but a plain return ends the process; the child must
// end in one of the documented ways, with exactly the documented output for it.
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "driver/Zemblaro.h"
#include "fuzz/FuzzInput.h"
#include "support/Platform.h"
#include "support/Runtime.h"
#include "tests/support/ChildRun.h"

namespace {

constexpr int kParsed = 100;  // the child's code when the parser returned

// Runs the start-up with the given parameters in a child; kParsed when the parser returned.
testing_support::ChildResult RunParser(std::vector<std::string>& params) {
  return testing_support::RunInChild([&] {
    std::vector<char*> argv;
    for (auto& p : params) argv.push_back(p.data());
    argv.push_back(nullptr);
    Platform::dirSource = [](std::uint32_t n, char* buf) -> std::uint32_t {
      constexpr char kDir[] = "/fuzz";
      if (n < sizeof kDir) return sizeof kDir;
      std::memcpy(buf, kDir, sizeof kDir);
      return sizeof kDir - 1;
    };
    Lib_SetParams(static_cast<int>(params.size()), argv.data());
    Zemblaro::StartUp();
    IO_Flush();
    _exit(kParsed);
  });
}

const std::string kHelp =
    "(* zemblaro v9 (2026-09-10): Testbed for large cardinal arithmetics. *)\r\n"
    "syntax = 'zemblaro' { option } [ action [ num num ] ] .\r\n"
    "option = '-h'      (* show this info and exit *)\r\n"
    "       | '-b' num  (* set argument base to num *)\r\n"
    "       | '-r' num  (* set result base to num *)\r\n"
    "       | '-d'      (* switch on debug mode *)\r\n"
    "       | '-v'      (* switch on verbose mode *) .\r\n"
    "action = 'tst' | 'add' | 'sub' | 'mul' | 'div' | 'mod' .\r\n";

bool IsTicks(const std::string& s) {
  const std::string head = "Ticks: ";
  if (s.size() < head.size() + 3 || s.compare(0, head.size(), head) != 0) return false;
  if (s.compare(s.size() - 2, 2, "\r\n") != 0) return false;
  for (std::size_t i = head.size(); i + 2 < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
  }
  return true;
}

// An error is "Error: " and one of the six messages, with or without the quoted parameter,
// then the second line, composed in one 128-character buffer whose CR LF leaves the error
// channel as CR CR LF. Undoing the channel's LF -> CR LF gives back the buffer and the final
// line end; a buffer cut at 128 characters has lost the second line's end.
bool IsError(const std::string& err) {
  std::string raw;
  for (std::size_t i = 0; i < err.size(); ++i) {
    if (err[i] == '\r' && i + 1 < err.size() && err[i + 1] == '\n') continue;
    raw.push_back(err[i]);
  }
  if (raw.empty() || raw.back() != '\n' || raw.size() - 1 > 128) return false;
  static const char* messages[] = {"Invalid option",      "Invalid number",
                                   "Invalid action",      "1st number expected",
                                   "2nd number expected", "Unexpected argument"};
  bool known = false;
  for (const char* m : messages) {
    const std::string head = std::string("Error: ") + m;
    if (raw.compare(0, head.size(), head) == 0 &&
        (raw.size() == head.size() || raw[head.size()] == '\r' || raw[head.size()] == ':')) {
      known = true;
    }
  }
  const std::string tail = "\r\nTry 'zemblaro -h' for help.\n";
  const bool whole =
      raw.size() >= tail.size() && raw.compare(raw.size() - tail.size(), tail.size(), tail) == 0;
  return known && (whole || raw.size() - 1 == 128);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Parameters are the input's pieces between '\0' bytes; the first byte picks a common
  // leading word so that the action and option paths are reached quickly.
  std::vector<std::string> params = {"zemblaro"};
  static const char* lead[] = {"", "-v", "add", "tst", "-b", "-r", "-d", "mod"};
  fuzz::Input in(data, size);
  const std::uint8_t first = in.Byte();
  if (first < 8 && lead[first][0] != '\0') params.emplace_back(lead[first]);
  std::string cur;
  while (in.Left() > 0 && params.size() < 12) {
    const char c = static_cast<char>(in.Byte());
    if (c == '\0') {
      params.push_back(cur);
      cur.clear();
    } else if (cur.size() < 400) {
      cur.push_back(c);
    }
  }
  if (!cur.empty()) params.push_back(cur);

  const auto o = RunParser(params);
  switch (o.code) {
    case 0:  // help
      fuzz::Check(o.err.empty());
      fuzz::Check(o.out.size() > kHelp.size() && o.out.compare(0, kHelp.size(), kHelp) == 0 &&
                  IsTicks(o.out.substr(kHelp.size())));
      break;
    case 255:  // a command-line error: nothing displayed, only the ticks line
      fuzz::Check(IsTicks(o.out));
      fuzz::Check(IsError(o.err));
      break;
    case kParsed:  // returned: nothing on standard error, the display or nothing at all
      fuzz::Check(o.err.empty());
      fuzz::Check(o.out.empty() ||
                  o.out.rfind("zemblaro v9 (2026-09-10): Testbed for large cardinal "
                              "arithmetics.\r\nconfig\r\n",
                              0) == 0);
      break;
    default:
      __builtin_trap();  // a crash, a sanitizer report or an undocumented exit code
  }
  return 0;
}
