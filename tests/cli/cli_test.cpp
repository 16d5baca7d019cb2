// The command line end to end: the golden table, a differential run against GMP, the self-test
// report, console signals and broken channels.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/Gen.h"
#include "tests/cli/Harness.h"

namespace {

const std::string kSignalLine = "ConSigs: Signal received, terminating.\r\n";

// Expands the escapes, repetitions and names of a field of the table.
std::string Expand(const std::string& f, const std::map<std::string, std::string>& defs) {
  std::string r;
  for (std::size_t i = 0; i < f.size(); ++i) {
    const std::size_t star = f.find('*', i), end = f.find('}', i);
    if (f[i] == '\\' && i + 1 < f.size()) {
      const char e = f[++i];
      r += e == 'r' ? '\r' : e == 'n' ? '\n' : e == 's' ? ' ' : e;
    } else if (f[i] == '{' && star < end && end != std::string::npos) {
      for (int n = std::stoi(f.substr(star + 1, end - star - 1)); n > 0; --n) {
        r += Expand(f.substr(i + 1, star - i - 1), defs);
      }
      i = end;
    } else if (f[i] == '$') {
      std::size_t j = i + 1;
      while (j < f.size() && f[j] >= 'A' && f[j] <= 'Z') ++j;
      r += Expand(defs.at(f.substr(i + 1, j - i - 1)), defs);
      i = j - 1;
    } else {
      r += f[i];
    }
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
  std::string line;
  int rows = 0;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.empty() || line[0] == '#' || line[0] == '=') continue;
    const auto field = Split(line, '\t');
    ASSERT_EQ(field.size(), 4u) << "line " << number;
    cli::Options o;
    o.cwd = base;
    for (const std::string& p : Split(field[0], ' ')) {
      if (p == "@cwd=deleted") {
        o.cwd = PathOf(base, base.size() + 3);
        o.cwdGone = true;
      } else if (p.rfind("@cwd=", 0) == 0) {
        o.cwd = PathOf(base, std::stoul(p.substr(5)));
      } else if (p.rfind("@out=", 0) == 0) {
        o.out = p[5] == 'f' ? cli::Out::kFull : p[5] == 'c' ? cli::Out::kClosed : cli::Out::kGone;
      } else if (p == "@err=gone") {
        o.errGone = true;
      } else {
        o.args.push_back(p == "''" ? "" : Expand(p, defs));
      }
    }
    defs["D"] = o.cwd;
    const cli::Result r = cli::Run(o);
    EXPECT_EQ(cli::Mask(r.out), Expand(field[1], defs)) << "line " << number << ": " << line;
    EXPECT_EQ(r.err, Expand(field[2], defs)) << "line " << number << ": " << line;
    EXPECT_EQ(r.code, std::stoi(field[3])) << "line " << number << ": " << line;
    ++rows;
  }
  EXPECT_GT(rows, 100);
  EXPECT_EQ(std::system(("rm -rf " + base).c_str()), 0);
}

// Random actions, bases, letter cases, leading zeros and bad characters, with operands of up to
// 1100 bits, against the lines and messages that GMP's values call for.
TEST(Cli, ActionsAgreeWithGmp) {
  gen::Source g(20261206);
  const char* names[] = {"add", "sub", "mul", "div", "mod"};
  const char* ops[] = {" + ", " - ", " * ", " DIV ", " MOD "};
  const mpz_class limit = gen::Pow256(128);
  std::map<std::string, int> seen;  // the draw must reach every kind of outcome
  for (int run = 0; run < 500; ++run) {
    const auto act = g.Below(5);
    const int ba = static_cast<int>(2 + g.Below(35)), br = static_cast<int>(2 + g.Below(35));
    std::string text[2], fail;
    mpz_class v[2];
    for (int k : {0, 1}) {
      text[k] = g.Below(8) == 0 ? "0" : gen::Str(gen::Val(gen::Value(g, 1 + g.Below(137))), ba);
      text[k].insert(0, g.Below(4) == 0 ? 1 + g.Below(3) : 0, '0');
      for (char& c : text[k]) c = g.Below(2) == 0 && c >= 'A' ? static_cast<char>(c + 32) : c;
      if (g.Below(16) == 0) text[k].insert(g.Below(text[k].size() + 1), 1, " .#*_"[g.Below(5)]);
      text[k].resize(g.Below(50) == 0 ? 0 : std::min<std::size_t>(text[k].size(), 256));
      const bool digits =
          std::all_of(text[k].begin(), text[k].end(), [&](char c) { return gen::DigitOf(c) < ba; });
      if (digits && !text[k].empty()) v[k] = mpz_class(text[k], ba);
      if (fail.empty() && (!digits || text[k].empty() || v[k] >= limit)) {
        fail = k == 0 ? "Invalid 1st argument" : "Invalid 2nd argument";
      }
    }
    mpz_class z = v[0] * v[1];
    if (act < 2) z = act == 0 ? mpz_class(v[0] + v[1]) : mpz_class(v[0] - v[1]);
    if (fail.empty() && act >= 3) {
      if (v[1] == 0) fail = "Division by zero";
      if (v[1] != 0) z = act == 3 ? mpz_class(v[0] / v[1]) : mpz_class(v[0] % v[1]);
    }
    if (fail.empty() && act == 1 && z < 0) fail = "Result not cardinal";
    if (fail.empty() && z >= limit) fail = "Result too large";
    if (fail.empty() && gen::Str(z, br).size() > 256) fail = "Result string too short";
    ++seen[fail];
    cli::Options o;
    o.args = {"-b", std::to_string(ba), "-r", std::to_string(br), names[act], text[0], text[1]};
    const cli::Result r = cli::Run(o);
    const std::string line = text[0] + ops[act] + text[1] + " = " + gen::Str(z, br) + "\r\n";
    ASSERT_EQ(cli::Mask(r.out), (fail.empty() ? line : "\r\n") + "Ticks: #\r\n") << run;
    const std::string title = {static_cast<char>(names[act][0] - 32), names[act][1], names[act][2]};
    ASSERT_EQ(r.err, fail.empty() ? "" : title + ": " + fail + "\r\n") << run;
    ASSERT_EQ(r.code, 255) << run;
  }
  EXPECT_EQ(seen.size(), 7u);  // a result and each of the six kinds of message
  for (const auto& [kind, n] : seen) EXPECT_GE(n, 5) << kind;
}

// Whether text is whole lines, each a line of known, the signal line or a ticks line.
bool LinesOf(const std::string& text, const std::string& known) {
  const std::string masked = cli::Mask(text);
  std::size_t from = 0;
  for (std::size_t end; (end = masked.find("\r\n", from)) != std::string::npos; from = end + 2) {
    const std::string line = masked.substr(from, end + 2 - from);
    if (line != kSignalLine && line != "Ticks: #\r\n" &&
        ("\n" + known).find("\n" + line) == std::string::npos) {
      return false;
    }
  }
  return from == masked.size();
}

// Each console signal, at a different point of tst, with every processor or with one: the
// report as far as it got, in whole lines, then the signal line and the ticks line.
TEST(Cli, TstInterruptedByEachSignal) {
  const cli::Signal cases[] = {{SIGINT, "Test40: end ", 0},
                               {SIGTERM, "", 200},
                               {SIGQUIT, "Test51: begin\r\n0\r\n", 0},
                               {SIGHUP, "Test51: begin\r\n0\r\n", 300}};
  for (const cli::Signal& s : cases) {
    cli::Options o;
    o.args = {"tst"};
    o.signals = {s};
    o.oneCpu = s.number == SIGQUIT;
    const cli::Result r = cli::Run(o);
    const std::string out = cli::Mask(r.out), tail = kSignalLine + "Ticks: #\r\n";
    ASSERT_GE(out.size(), tail.size()) << s.number;
    const std::string before = out.substr(0, out.size() - tail.size());
    EXPECT_EQ(out.substr(before.size()), tail) << s.number;
    const std::string report = Expand("$REPORT", Definitions());
    EXPECT_TRUE(report.rfind(before, 0) == 0 && LinesOf(before, report)) << s.number << ": " << out;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.code, 255);
  }
}

TEST(Slow, FullReportWithEveryProcessorAndWithOne) {
  for (const bool one : {false, true}) {
    cli::Options o;
    o.args = {"tst"};
    o.oneCpu = one;
    o.timeoutMs = 1200000;
    const cli::Result r = cli::Run(o);
    EXPECT_EQ(cli::Mask(r.out), Expand("$REPORT", Definitions()) + "Ticks: #\r\n") << one;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.code, 255);
  }
}

// The probe program holds a run open at a chosen point (see signals_probe.cpp).
cli::Result Probe(const std::string& mode, std::vector<cli::Signal> signals) {
  cli::Options o;
  o.binary = cli::Binary("signals_probe");
  o.args = {mode};
  o.signals = std::move(signals);
  return cli::Run(o);
}

TEST(Cli, SignalsAgainstTheProbe) {
  const std::string ready = "Probe: ready\r\n", held = "Probe: chain held\r\n";
  for (const int sig : {SIGINT, SIGQUIT, SIGHUP, SIGTERM}) {
    // While the main thread's chain runs, the event writes its line and ends the run with 9.
    cli::Result r = Probe("hold", {{sig, held, 50}});
    EXPECT_EQ(r.out, ready + held + kSignalLine) << sig;
    EXPECT_EQ(r.code, 9) << sig;
    // While the chain of an earlier event runs, a second event does the same.
    r = Probe("hold", {{SIGINT, ready, 0}, {sig, held, 50}});
    EXPECT_EQ(r.out, ready + kSignalLine + held + kSignalLine) << sig;
    EXPECT_EQ(r.code, 9) << sig;
    // A partial line of the main thread stays off the signal line; the chain's lines follow.
    const std::string tail = kSignalLine + "Probe: chain done\r\nTicks: #\r\n";
    r = Probe("partial", {{sig, ready, 200}});
    EXPECT_EQ(cli::Mask(r.out), ready + tail) << sig;
    EXPECT_EQ(r.code, 255) << sig;
    // Nothing of a busy main thread follows the signal line.
    r = Probe("busy", {{sig, ready, 100}});
    const std::string out = cli::Mask(r.out);
    std::string busy = ready;
    while (busy.size() < out.size() - tail.size()) busy += "Probe: busy\r\n";
    EXPECT_EQ(out, busy + tail) << sig;
    EXPECT_EQ(r.code, 255) << sig;
    // The main body returning, or giving up, during the signal's chain keeps the chain's code.
    for (const char* mode : {"return", "fatal"}) {
      r = Probe(mode, {{sig, ready, 50}});
      EXPECT_EQ(cli::Mask(r.out), ready + tail) << mode;
      EXPECT_EQ(r.err, "") << mode;
      EXPECT_EQ(r.code, 255) << mode;
    }
  }
}

// A signal while help waits on a full pipe: the exit code is 0 only when all eight help lines
// were written.
TEST(Cli, SignalDuringHelpOnAFullPipe) {
  cli::Options o;
  o.args = {"-h"};
  o.out = cli::Out::kFilled;
  o.signals = {{SIGINT, "", 300}};
  const cli::Result r = cli::Run(o);
  EXPECT_TRUE(LinesOf(r.out, Expand("$HELP", Definitions()))) << r.out;
  EXPECT_EQ(r.code, 255) << r.out;
}

// A reader that stopped reading keeps the pipe full until the process has ended: an event still
// ends the run within its grace, with 255, and a second one while the first ends with 9. What
// reached the pipe before it filled up is whole lines.
TEST(Cli, SignalsEndARunWhoseOutputIsBlocked) {
  for (const bool second : {false, true}) {
    cli::Options o;
    o.args = {"tst"};
    o.out = cli::Out::kFilled;
    o.signals = {{SIGINT, "", 300}};
    o.timeoutMs = 5000;
    if (second) o.signals.push_back({SIGINT, "", 100});
    const cli::Result r = cli::Run(o);
    EXPECT_GE(r.msAfterSignal, 0) << second;
    EXPECT_LT(r.msAfterSignal, 1500) << second;
    EXPECT_EQ(r.code, second ? 9 : 255);
    EXPECT_NE(r.out.find("Test10: begin"), std::string::npos);
    EXPECT_TRUE(LinesOf(r.out, Expand("$REPORT", Definitions()))) << r.out;
  }
}

// A reader that leaves ends the run at its next line: tst | head -c 100.
TEST(Cli, TstEndsWhenItsReaderLeaves) {
  cli::Options o;
  o.args = {"tst"};
  o.limit = 100;
  o.timeoutMs = 300000;  // two blocks of the loop, which the sanitizers slow down a lot
  const cli::Result r = cli::Run(o);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.code, 255);  // not 137: a run that goes on is killed at the timeout
}

}  // namespace
