// The command line end to end: the golden table, the self-test report, console signals and
// blocked and broken channels.
//
// The golden table, cli/cases.txt, holds one case a line: parameters, standard output, standard
// error and exit code, separated by tabs, in groups of the same path separated by blank lines.
// Parameters are separated by blanks, '' is an empty one; @cwd=N runs the case in a directory
// whose path has N characters (@cwd=deleted: in one that has been removed), @out=full writes
// standard output to /dev/full, @out=closed closes it, @out=gone and @err=gone make the channel
// a pipe whose reader has gone (the run ends at its next line to it: the display's second line,
// say), and @posix marks a case that Windows cannot meet (its own directory lookup; a working
// directory is neither removed nor longer than MAX_PATH there). In every field \r, \n and \s stand for CR, LF and a blank,
// {text*N} for N copies of text, $T for the ticks line (its digits masked), $D for the working
// directory and $NAME for the text of a line "=NAME text" (a name ends at the first character
// that is no upper-case letter). REPORT is the tst report that the tests below run.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "tests/cli/Harness.h"

namespace {

// The program under test is a Windows one, run under Wine.
constexpr bool kWindows = ZEMBLARO_WINDOWS;

// Expands the names, then the repetitions, then the escapes of a field of the table.
std::string Expand(std::string f, const std::map<std::string, std::string>& defs) {
  static const std::regex name("\\$([A-Z]+)"), repeat("\\{([^{}*]*)\\*([0-9]+)\\}");
  std::smatch m;
  while (std::regex_search(f, m, name)) f.replace(m[0].first, m[0].second, defs.at(m[1]));
  while (std::regex_search(f, m, repeat)) {
    std::string copies;
    for (int n = std::stoi(m[2]); n > 0; --n) copies += m[1];
    f.replace(m[0].first, m[0].second, copies);
  }
  std::string r;
  for (std::size_t i = 0; i < f.size(); ++i) {
    const char e = f[i] == '\\' && i + 1 < f.size() ? f[++i] : 0;
    r += e == 0 ? f[i] : e == 'r' ? '\r' : e == 'n' ? '\n' : e == 's' ? ' ' : e;
  }
  return r;
}

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  std::istringstream in(s);
  for (std::string part; std::getline(in, part, sep);) parts.push_back(part);
  return parts;
}

// A path under base of exactly n characters, in components of at most 255.
std::string PathOf(const std::string& base, std::size_t n) {
  std::string path = base;
  while (path.size() < n)
    path += "/" + std::string(n - path.size() > 256 ? 200 : n - path.size() - 1, 'd');
  return path;
}

// The names the table defines ("=NAME text"), and T.
std::map<std::string, std::string> Definitions() {
  std::map<std::string, std::string> defs = {{"T", "Ticks: #\r\n"}};
  std::ifstream in(ZEMBLARO_CASES);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind('=', 0) == 0)
      defs[line.substr(1, line.find(' ') - 1)] = line.substr(line.find(' ') + 1);
  }
  return defs;
}

TEST(Cli, GoldenTable) {
  const std::string base = cli::ScratchDir();
  ASSERT_FALSE(base.empty());
  std::map<std::string, std::string> defs = Definitions();
  std::ifstream in(ZEMBLARO_CASES);
  ASSERT_TRUE(in.is_open());
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.empty() || line[0] == '=') continue;
    const auto field = Split(line, '\t');
    ASSERT_EQ(field.size(), 4u) << "line " << number;
    if (kWindows && line.starts_with("@posix")) continue;
    cli::Options o;
    o.cwd = base;
    for (const std::string& p : Split(field[0], ' ')) {
      if (p == "@cwd=deleted") {
        o.cwd = PathOf(base, base.size() + 3);
        o.cwdGone = true;
      } else if (p.rfind("@cwd=", 0) == 0) {  // Windows writes the path as Z:\... in N characters
        o.cwd = PathOf(base, std::stoul(p.substr(5)) - (kWindows ? 2 : 0));
      } else if (p.rfind("@out=", 0) == 0) {
        o.out = p[5] == 'f' ? cli::Out::kFull : p[5] == 'c' ? cli::Out::kClosed : cli::Out::kGone;
      } else if (p == "@err=gone") {
        o.errGone = true;
      } else if (p != "@posix") {
        o.args.push_back(p == "''" ? "" : Expand(p, defs));
      }
    }
    defs["D"] = o.cwd;
    // Windows's form of it, its backslashes doubled for the table's escapes.
    if (kWindows) defs["D"] = "Z:" + std::regex_replace(o.cwd, std::regex("/"), "\\\\");
    const cli::Result r = cli::Run(o);
    EXPECT_EQ(cli::Mask(r.out), Expand(field[1], defs)) << "line " << number << ": " << line;
    EXPECT_EQ(r.err, Expand(field[2], defs)) << "line " << number << ": " << line;
    EXPECT_EQ(r.code, std::stoi(field[3])) << "line " << number << ": " << line;
  }
  EXPECT_EQ(std::system(("rm -rf " + base).c_str()), 0);
}

TEST(Slow, FullReport) {
  cli::Options o;
  o.args = {"tst"};
  o.timeoutMs = 1200000;
  const cli::Result r = cli::Run(o);
  EXPECT_EQ(cli::Mask(r.out), Expand("$REPORT", Definitions()) + "Ticks: #\r\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.code, 255);
}

// A reader that stopped reading keeps the pipe full until the process has ended; an event ends
// the run all the same. With the main thread blocked in a write, the event's thread gives up the
// channel's lock at its grace (0.4 s); with the main thread computing and the pipe full, the
// event's own write blocks and the backstop (0.9 s) ends the run. A second event while the first
// ends gives 9. What reached the pipe is the report's first whole lines.
TEST(Cli, SignalsEndARunWhoseOutputIsBlocked) {
  const std::string report = Expand("$REPORT", Definitions());
  const struct {
    std::size_t room;  // the pipe's: the report up to Test11's step line, or Test51's first
    std::vector<cli::Signal> signals;
    int code;
    long long withinMs;
  } cases[] = {
      {100, {{SIGINT, "= 100000100\r\n", 20}}, 255, 700},
      {100, {{SIGINT, "= 100000100\r\n", 20}, {SIGINT, "", 100}}, 9, 800},
      {373, {{SIGINT, "Test51: begin\r\n0\r\n", 20}}, 255, 1500},
  };
  for (const auto& c : cases) {
    if (kWindows && c.signals.size() > 1) continue;  // Wine has no event while a handler runs
    cli::Options o;
    o.args = {"tst"};
    o.out = cli::Out::kFilled;
    o.room = c.room;
    o.signals = c.signals;
    o.timeoutMs = 5000;
    const cli::Result r = cli::Run(o);
    EXPECT_GE(r.msAfterSignal, 0) << c.room;
    EXPECT_LT(r.msAfterSignal, c.withinMs) << c.room;
    EXPECT_EQ(r.code, c.code) << c.room;
    EXPECT_TRUE(r.out.size() > 20 && r.out.ends_with("\r\n") &&
                report.starts_with(cli::Mask(r.out)))
        << r.out;
  }
}

// tst interrupted a few seconds in: the report so far in whole lines, then the signal line and
// the ticks line.
TEST(Cli, AnInterruptEndsTheSelfTest) {
  cli::Options o;
  o.args = {"tst"};
  o.signals = {{SIGINT, "Test51: begin\r\n", 2000}};
  const cli::Result r = cli::Run(o);
  const std::string out = cli::Mask(r.out), end = cli::kSignalLine + "Ticks: #\r\n";
  EXPECT_TRUE(out.find("Test51: begin\r\n0\r\n") != std::string::npos && out.ends_with(end) &&
              Expand("$REPORT", Definitions()).starts_with(out.substr(0, out.size() - end.size())))
      << ::testing::PrintToString(out);
  EXPECT_EQ(r.err + std::to_string(r.code), "255");
}

}  // namespace
