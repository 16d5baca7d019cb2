// End-to-end runs of the command line: help, every parse error, bases, keyword matching,
// option positions, the verbose display and the current-directory limits.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/cli/Harness.h"

namespace {

const std::string kTicks = "Ticks: #\r\n";

const std::string kHelp =
    "(* zemblaro v9 (2026-09-10): Testbed for large cardinal arithmetics. *)\r\n"
    "syntax = 'zemblaro' { option } [ action [ num num ] ] .\r\n"
    "option = '-h'      (* show this info and exit *)\r\n"
    "       | '-b' num  (* set argument base to num *)\r\n"
    "       | '-r' num  (* set result base to num *)\r\n"
    "       | '-d'      (* switch on debug mode *)\r\n"
    "       | '-v'      (* switch on verbose mode *) .\r\n"
    "action = 'tst' | 'add' | 'sub' | 'mul' | 'div' | 'mod' .\r\n";

// What a text channel makes of a text: every line feed goes out as CR LF.
std::string Channel(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// Standard error after a command-line error: both lines composed in 128 characters, the CR LF
// inside leaving as CR CR LF, then the line end of the fatal-error exit.
std::string ErrorOutput(const std::string& first) {
  const std::string text = first + "\r\nTry 'zemblaro -h' for help.";
  return Channel(text.substr(0, 128)) + "\r\n";
}

std::string Describe(const std::vector<std::string>& args) {
  std::string s;
  for (const auto& a : args) s += " [" + (a.size() > 20 ? a.substr(0, 20) + "..." : a) + "]";
  return s.empty() ? "(none)" : s;
}

// Display fields that differ from what a plain "-v" shows, by label.
using Shown = std::map<std::string, std::string>;

// The display for the working directory dir, every line cut at 128 characters.
std::string Display(const std::string& dir, const Shown& changed) {
  Shown s = {{"dbg", "0"},   {"vrb", "1"}, {"ba", "10"}, {"br", "10"},
             {"act", "nul"}, {"arg", ""},  {"brg", ""}};
  for (const auto& [label, value] : changed) s.at(label) = value;
  const std::vector<std::string> lines = {
      "zemblaro v9 (2026-09-10): Testbed for large cardinal arithmetics.",
      "config",
      "  prg 'zemblaro'",
      "  ver 9",
      "  ext '2026-09-10'",
      "  dir '" + dir + "'",
      "  dbg " + s["dbg"],
      "  vrb " + s["vrb"],
      "  ba  " + s["ba"],
      "  br  " + s["br"],
      "  act '" + s["act"] + "'",
      "  arg '" + s["arg"] + "'",
      "  brg '" + s["brg"] + "'",
  };
  std::string out;
  for (const auto& l : lines) out += l.substr(0, 128) + "\r\n";
  return out;
}

class ConfigCli : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/zemblaro-config-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = std::filesystem::canonical(pattern).string();
  }
  static void TearDownTestSuite() { std::filesystem::remove_all(dir_); }

  // Runs the program in the test's own working directory.
  static cli::Result Run(const std::vector<std::string>& args, const std::string& cwd = dir_) {
    cli::Options o;
    o.args = args;
    o.cwd = cwd;
    o.timeoutMs = 60000;
    return cli::Run(o);
  }

  // A directory inside the test's one whose path has exactly len characters.
  static std::string DirOfLength(std::size_t len) {
    const std::string path = dir_ + "/" + std::string(len - dir_.size() - 1, 'p');
    std::filesystem::create_directory(path);
    return path;
  }

  static std::string dir_;
};

std::string ConfigCli::dir_;

TEST_F(ConfigCli, HelpFromEverySpellingAndPositionEndsWithCodeZero) {
  const std::vector<std::vector<std::string>> cases = {
      {"-h"},        {"/h"},        {"-?"},
      {"/?"},        {"-h", "foo"}, {"-h", "add", "1"},
      {"-h", "-x"},  {"-?", "-b"},  {"-v", "-h"},  // no display before the help
      {"-d", "/?"},  {"add", "-h"}, {"add", "1", "2", "-h"},
      {"tst", "/h"},
  };
  for (const auto& args : cases) {
    const auto r = Run(args);
    EXPECT_EQ(cli::MaskMillis(r.out), kHelp + kTicks) << Describe(args);
    EXPECT_EQ(r.err, "") << Describe(args);
    EXPECT_EQ(r.code, 0) << Describe(args);
  }
}

TEST_F(ConfigCli, EachParseErrorWritesItsTwoLinesOnStandardError) {
  struct Case {
    std::vector<std::string> args;
    std::string first;
  };
  const Case cases[] = {
      {{"-H"}, "Error: Invalid option: 'H'"},
      {{"-help"}, "Error: Invalid option: 'help'"},
      {{"-bx"}, "Error: Invalid option: 'bx'"},
      {{"--v"}, "Error: Invalid option: '-v'"},
      {{"-x"}, "Error: Invalid option: 'x'"},
      {{"add", "1", "2", "/x"}, "Error: Invalid option: 'x'"},
      {{"-"}, "Error: Invalid action: '-'"},
      {{"/"}, "Error: Invalid action: '/'"},
      {{"foo", "-h"}, "Error: Invalid action: 'foo'"},
      {{"nul"}, "Error: Invalid action: 'nul'"},
      {{"x"}, "Error: Invalid action: 'x'"},
      {{"-v", "x"}, "Error: Invalid action: 'x'"},
      {{""}, "Error: Invalid action"},  // an empty parameter: nothing to quote
      {{"-b"}, "Error: Invalid number"},
      {{"-v", "-r"}, "Error: Invalid number"},
      {{"-b", ""}, "Error: Invalid number"},
      {{"-b", "1x"}, "Error: Invalid number: '1x'"},
      {{"-b", "--16"}, "Error: Invalid number: '-16'"},
      {{"-b", " 16"}, "Error: Invalid number: ' 16'"},
      {{"-r", "4294967296"}, "Error: Invalid number: '4294967296'"},
      {{"add"}, "Error: 1st number expected"},
      {{"add", "-v"}, "Error: 1st number expected"},
      {{"add", "1"}, "Error: 2nd number expected"},
      {{"add", "1", "-v", "2"}, "Error: 2nd number expected: 'v'"},
      {{"mul", "1", "/d", "2"}, "Error: 2nd number expected: 'd'"},
      {{"tst", "5"}, "Error: Unexpected argument: '5'"},
      {{"tst", ""}, "Error: Unexpected argument"},
      {{"add", "1", "2", "3"}, "Error: Unexpected argument: '3'"},
      {{"add", "1", "2", "-v", "3"}, "Error: Unexpected argument: '3'"},
      {{"-v", "-d", "add", "1", "-x"}, "Error: 2nd number expected: 'x'"},
  };
  for (const auto& c : cases) {
    const auto r = Run(c.args);
    EXPECT_EQ(cli::MaskMillis(r.out), kTicks) << Describe(c.args);  // no display, even with -v
    EXPECT_EQ(r.err, ErrorOutput(c.first)) << Describe(c.args);
    EXPECT_EQ(r.code, 255) << Describe(c.args);
  }
}

TEST_F(ConfigCli, LongOffendingParametersAreCutAt128Characters) {
  // 74 characters fit both lines exactly; 80 cut the second; 200 lose it altogether.
  for (const std::size_t n : {74u, 80u, 101u, 103u, 104u, 200u}) {
    const std::string text(n, 'z');
    const auto r = Run({"-" + text});
    EXPECT_EQ(r.err, ErrorOutput("Error: Invalid option: '" + text + "'")) << n;
    EXPECT_EQ(cli::MaskMillis(r.out), kTicks) << n;
    EXPECT_EQ(r.code, 255) << n;
  }
  const auto r = Run({"-" + std::string(200, 'z')});
  EXPECT_EQ(r.err, "Error: Invalid option: '" + std::string(104, 'z') + "\r\n");
}

TEST_F(ConfigCli, OverlongOperandsAndBaseValuesAreInvalidNumbers) {
  struct Case {
    std::vector<std::string> args;
    std::string quoted;  // the start of the cut text
  };
  const std::string ones(300, '1');
  const Case cases[] = {
      {{"add", ones, "2"}, ones},
      {{"sub", "2", ones}, ones},
      {{"-b", std::string(298, '0') + "16"}, std::string(256, '0')},  // would have been 0
      {{"-r", "+" + std::string(297, '0') + "2"}, "+" + std::string(255, '0')},
      {{"-b", "-" + std::string(300, '0') + "8"}, std::string(255, '0')},
  };
  for (const auto& c : cases) {
    const auto r = Run(c.args);
    EXPECT_EQ(r.err, ErrorOutput("Error: Invalid number: '" + c.quoted + "'")) << Describe(c.args);
    EXPECT_EQ(cli::MaskMillis(r.out), kTicks) << Describe(c.args);
    EXPECT_EQ(r.code, 255) << Describe(c.args);
  }
  // 256 characters are not cut: parsing accepts them (the base check then stops the run).
  const auto r = Run({"-b", "1", "add", std::string(256, '1'), std::string(256, '2')});
  EXPECT_EQ(r.err, "Zemblaro: Invalid argument base\r\n");
  EXPECT_EQ(r.code, 255);
}

TEST_F(ConfigCli, BasesAreParsedFreelyAndCheckedByTheDriverInOrder) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"-b", "99"}, "Zemblaro: Invalid argument base"},
      {{"-b", "99", "-r", "99"}, "Zemblaro: Invalid argument base"},
      {{"-r", "0", "-b", "0", "add", "1", "2"}, "Zemblaro: Invalid argument base"},
      {{"-b", "1", "tst"}, "Zemblaro: Invalid argument base"},
      {{"-r", "99"}, "Zemblaro: Invalid result base"},
      {{"-b", "36", "-r", "37"}, "Zemblaro: Invalid result base"},
      {{"-b", "36", "-r", "2"}, "Zemblaro: Action not implemented"},
      {{"-b", "37", "-b", "16"}, "Zemblaro: Action not implemented"},  // the later one counts
  };
  for (const auto& c : cases) {
    const auto r = Run(c.args);
    EXPECT_EQ(cli::MaskMillis(r.out), "\r\n" + kTicks) << Describe(c.args);
    EXPECT_EQ(r.err, c.message + "\r\n") << Describe(c.args);
    EXPECT_EQ(r.code, 255) << Describe(c.args);
  }
}

TEST_F(ConfigCli, VerboseDisplayWithoutAnAction) {
  struct Case {
    std::vector<std::string> args;
    Shown shown;
  };
  const Case cases[] = {
      {{"-v"}, {}},
      {{"/v", "-v"}, {}},
      {{"-v", "-d"}, {{"dbg", "1"}}},
      {{"-b", "16", "-v"}, {{"ba", "16"}}},
      {{"-b", "-16", "-v"}, {{"ba", "16"}}},
      {{"-b", "+16", "-v"}, {{"ba", "16"}}},
      {{"-v", "-r", "0002"}, {{"br", "2"}}},
  };
  for (const auto& c : cases) {
    const auto r = Run(c.args);
    EXPECT_EQ(cli::MaskMillis(r.out), Display(dir_, c.shown) + "\r\n" + kTicks) << Describe(c.args);
    EXPECT_EQ(r.err, "Zemblaro: Action not implemented\r\n") << Describe(c.args);
    EXPECT_EQ(r.code, 255) << Describe(c.args);
  }
}

TEST_F(ConfigCli, NoDisplayWithoutVerboseMode) {
  for (const auto& args : std::vector<std::vector<std::string>>{{}, {"-d"}, {"-d", "-d"}}) {
    const auto r = Run(args);
    EXPECT_EQ(cli::MaskMillis(r.out), "\r\n" + kTicks) << Describe(args);
    EXPECT_EQ(r.err, "Zemblaro: Action not implemented\r\n") << Describe(args);
    EXPECT_EQ(r.code, 255) << Describe(args);
  }
}

// An argument base of 1 stops every action before it runs, so the display shows what parsing
// chose whatever the actions do.
TEST_F(ConfigCli, KeywordsAndOptionPositionsShownByTheDisplay) {
  struct Case {
    std::vector<std::string> args;
    Shown shown;
  };
  const Case cases[] = {
      {{"ADD", "1", "2"}, {{"act", "add"}, {"arg", "1"}, {"brg", "2"}}},
      {{"a", "1", "2"}, {{"act", "add"}, {"arg", "1"}, {"brg", "2"}}},
      {{"addition", "1", "2"}, {{"act", "add"}, {"arg", "1"}, {"brg", "2"}}},
      {{"subtract", "9", "8"}, {{"act", "sub"}, {"arg", "9"}, {"brg", "8"}}},
      {{"m", "1", "2"}, {{"act", "mul"}, {"arg", "1"}, {"brg", "2"}}},  // mul and mod tie: mul
      {{"mo", "1", "2"}, {{"act", "mod"}, {"arg", "1"}, {"brg", "2"}}},
      {{"dog", "1", "2"}, {{"act", "div"}, {"arg", "1"}, {"brg", "2"}}},
      {{"test"}, {{"act", "tst"}}},
      {{"T"}, {{"act", "tst"}}},
      {{"mul", "ff", "zz"}, {{"act", "mul"}, {"arg", "ff"}, {"brg", "zz"}}},  // numbers as typed
      {{"add", "-d", "7", "8", "-r", "5"},
       {{"dbg", "1"}, {"br", "5"}, {"act", "add"}, {"arg", "7"}, {"brg", "8"}}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"-b", "1", "-v"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    Shown shown = c.shown;
    shown["ba"] = "1";
    const auto r = Run(args);
    EXPECT_EQ(cli::MaskMillis(r.out), Display(dir_, shown) + "\r\n" + kTicks) << Describe(args);
    EXPECT_EQ(r.err, "Zemblaro: Invalid argument base\r\n") << Describe(args);
    EXPECT_EQ(r.code, 255) << Describe(args);
  }
}

TEST_F(ConfigCli, DisplayWithAnActionAndOptionsAfterTheNumbers) {
  const auto r = Run({"div", "100", "7", "-v", "-r", "37"});
  EXPECT_EQ(cli::MaskMillis(r.out),
            Display(dir_, {{"br", "37"}, {"act", "div"}, {"arg", "100"}, {"brg", "7"}}) + "\r\n" +
                kTicks);
  EXPECT_EQ(r.err, "Zemblaro: Invalid result base\r\n");
  EXPECT_EQ(r.code, 255);
}

TEST_F(ConfigCli, LongOperandIsShownCutWithoutItsClosingQuote) {
  const std::string n(200, '7');
  const auto r = Run({"-v", "-b", "0", "add", n, "1"});
  const std::string out = cli::MaskMillis(r.out);
  EXPECT_NE(out.find("\r\n  arg '" + std::string(121, '7') + "\r\n  brg '1'\r\n"),
            std::string::npos)
      << out;
  EXPECT_EQ(out, Display(dir_, {{"ba", "0"}, {"act", "add"}, {"arg", n}, {"brg", "1"}}) + "\r\n" +
                     kTicks);
  EXPECT_EQ(r.err, "Zemblaro: Invalid argument base\r\n");
}

TEST_F(ConfigCli, WorkingDirectoryUpTo127CharactersIsShownCutTo128) {
  for (const std::size_t len : {120u, 121u, 127u}) {
    const std::string dir = DirOfLength(len);
    const auto r = Run({"-v"}, dir);
    EXPECT_EQ(cli::MaskMillis(r.out), Display(dir, {}) + "\r\n" + kTicks) << len;
    EXPECT_EQ(r.err, "Zemblaro: Action not implemented\r\n") << len;
    EXPECT_EQ(r.code, 255) << len;
  }
}

TEST_F(ConfigCli, WorkingDirectoryOf128CharactersEndsTheRunBeforeParsing) {
  struct Case {
    std::size_t len;
    std::vector<std::string> args;
  };
  const Case cases[] = {{128, {}}, {128, {"-h"}}, {128, {"-x"}}, {128, {"-v"}}, {200, {}}};
  for (const auto& c : cases) {
    const auto r = Run(c.args, DirOfLength(c.len));
    EXPECT_EQ(cli::MaskMillis(r.out),
              "FIO2.Fatal: GetDirX: Provided buffer too small, required size " +
                  std::to_string(c.len + 1) + "\r\n" + kTicks)
        << c.len << Describe(c.args);
    EXPECT_EQ(r.err, "") << c.len << Describe(c.args);
    EXPECT_EQ(r.code, 255) << c.len << Describe(c.args);
  }
}

}  // namespace
