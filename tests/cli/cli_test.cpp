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
// directory is neither removed nor longer than MAX_PATH there). In every field \r, \n and \s stand
// for CR, LF and a blank, {text*N} for N copies of text, $T for the ticks line (its digits masked),
// $D for the working directory and $NAME for the text of a line "=NAME text" (a name ends at the
// first character that is no upper-case letter). REPORT is the tst report that the tests below run.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "tests/cli/Harness.h"

namespace {

// The program under test is a Windows one, run under Wine.
constexpr bool kWindows = ZEMBLARO_WINDOWS;

// The digits of "Ticks: N" and of a self-test's "end Nms" as "#".
std::string Mask(const std::string& text) {
  return std::regex_replace(text, std::regex("(Ticks: |: end )[0-9]+"), "$1#");
}

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
  for (std::string line; std::getline(in, line);)
    if (line.starts_with('='))
      defs[line.substr(1, line.find(' ') - 1)] = line.substr(line.find(' ') + 1);
  return defs;
}

TEST(Cli, GoldenTable) {
  // A new folder under $TMPDIR, or /tmp when it is not set.
  std::string base = std::filesystem::temp_directory_path() / "zemblaro-XXXXXX";
  ASSERT_NE(mkdtemp(base.data()), nullptr);
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
        o.cwd = PathOf(base, base.size() + 3), o.cwdGone = true;
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
    // Under Wine the directory's Windows form, its backslashes doubled for the table's escapes.
    defs["D"] = kWindows ? "Z:" + std::regex_replace(o.cwd, std::regex("/"), "\\\\") : o.cwd;
    const cli::Result r = cli::Run(o);
    EXPECT_EQ(Mask(r.out) + "|" + r.err + "|" + std::to_string(r.code),
              Expand(field[1] + "|" + field[2] + "|" + field[3], defs))
        << "line " << number << ": " << line;
  }
  std::filesystem::remove_all(base);
}

TEST(Slow, FullReport) {
  cli::Options o;
  o.args = {"tst"}, o.timeoutMs = 1200000;
  const cli::Result r = cli::Run(o);
  EXPECT_EQ(Mask(r.out) + "|" + r.err + std::to_string(r.code),
            Expand("$REPORT", Definitions()) + "Ticks: #\r\n|255");
}

// tst ended by an event. On a pipe that is read, a few seconds in: the report so far in whole
// lines, then the signal line and the ticks line. A reader that stopped reading keeps the pipe
// full until the process has ended, and the event ends the run all the same: with the main
// thread blocked in a write, the event's thread gives up the channel's lock at its grace (0.4 s);
// with the main thread computing, the event's own write blocks and the backstop (0.9 s) ends the
// run. A second event while the first ends gives 9. What reached the pipe is whole lines.
TEST(Cli, SignalsEndTheSelfTest) {
  const std::string report = Expand("$REPORT", Definitions()),
                    end = cli::kSignalLine + "Ticks: #\r\n";
  const struct {
    cli::Out out;
    std::size_t room;  // a filled pipe's: the report up to Test11's step line, or Test51's first
    std::vector<cli::Signal> signals;
    int code;
    long long withinMs;
  } cases[] = {
      {cli::Out::kPipe, 0, {{SIGINT, "Test51: begin\r\n0\r\n", 2000}}, 255, 700},
      {cli::Out::kFilled, 100, {{SIGINT, "= 100000100\r\n", 20}}, 255, 700},
      {cli::Out::kFilled, 100, {{SIGINT, "= 100000100\r\n", 20}, {SIGINT, "", 100}}, 9, 800},
      {cli::Out::kFilled, 373, {{SIGINT, "Test51: begin\r\n0\r\n", 20}}, 255, 1500},
  };
  for (const auto& c : cases) {
    if (kWindows && c.signals.size() > 1) continue;  // Wine has no event while a handler runs
    cli::Options o;
    o.args = {"tst"}, o.out = c.out, o.room = c.room, o.signals = c.signals, o.timeoutMs = 5000;
    const cli::Result r = cli::Run(o);
    const std::string out = Mask(r.out), tail = c.out == cli::Out::kPipe ? end : "";
    const std::string lines = out.substr(0, out.size() - std::min(out.size(), tail.size()));
    EXPECT_TRUE(r.msAfterSignal >= 0 && r.msAfterSignal < c.withinMs && r.code == c.code &&
                r.err.empty() && out.ends_with(tail) && lines.size() > 20 &&
                lines.ends_with("\r\n") && report.starts_with(lines))
        << c.room << ": " << r.msAfterSignal << " ms, code " << r.code << ", "
        << ::testing::PrintToString(r.out + r.err);
  }
}

}  // namespace
