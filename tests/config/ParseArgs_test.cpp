#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "arith/Lib2.h"
#include "config/Config.h"
#include "support/Lib3.h"
#include "tests/config/Params.h"
#include "tests/support/ChildRun.h"

using config_test::Params;
using testing_support::RunInChild;

namespace {

std::string Text(const Config::TNumStr& s) {
  std::size_t n = 0;
  while (n < s.size() && s[n] != '\0') ++n;
  return std::string(s.data(), n);
}

// The record as it stands before the command line is read, then the parse.
void Parse() {
  Lib2::Fill(Config::data, 0);
  Config::data.ba = 10;
  Config::data.br = 10;
  Config::ParseArgs();
}

struct Expected {
  Config::TAction act = Config::aNull;
  std::uint32_t ba = 10;
  std::uint32_t br = 10;
  bool dbg = false;
  bool vrb = false;
  std::string arg;
  std::string brg;

  Expected& Act(Config::TAction x) {
    act = x;
    return *this;
  }
  Expected& Ba(std::uint32_t x) {
    ba = x;
    return *this;
  }
  Expected& Br(std::uint32_t x) {
    br = x;
    return *this;
  }
  Expected& Dbg(bool x) {
    dbg = x;
    return *this;
  }
  Expected& Vrb(bool x) {
    vrb = x;
    return *this;
  }
  Expected& Arg(std::string x) {
    arg = std::move(x);
    return *this;
  }
  Expected& Brg(std::string x) {
    brg = std::move(x);
    return *this;
  }
};

void ExpectParse(const std::vector<std::string>& args, const Expected& e) {
  std::string line;
  for (const auto& a : args) line += "[" + a + "]";
  Params p(args);
  Parse();
  const auto& d = Config::data;
  EXPECT_EQ(d.act, e.act) << line;
  EXPECT_EQ(d.ba, e.ba) << line;
  EXPECT_EQ(d.br, e.br) << line;
  EXPECT_EQ(d.dbg, e.dbg) << line;
  EXPECT_EQ(d.vrb, e.vrb) << line;
  EXPECT_EQ(Text(d.arg), e.arg) << line;
  EXPECT_EQ(Text(d.brg), e.brg) << line;
}

TEST(ParseArgs, NothingGivenKeepsTheDefaults) {
  ExpectParse({}, Expected());
}

TEST(ParseArgs, KeywordsMatchByTheLongestCommonStartEarlierWinningTies) {
  using Config::TAction;
  struct Case {
    const char* word;
    TAction act;
  };
  const Case cases[] = {
      {"add", Config::aAdd},      {"ADD", Config::aAdd},  {"a", Config::aAdd},
      {"addition", Config::aAdd}, {"aXX", Config::aAdd},  {"sub", Config::aSub},
      {"subtract", Config::aSub}, {"s", Config::aSub},    {"SuB", Config::aSub},
      {"m", Config::aMul},  // tie between mul and mod: the earlier one
      {"mx", Config::aMul},       {"mu", Config::aMul},   {"mo", Config::aMod},
      {"MOD", Config::aMod},      {"mod1", Config::aMod}, {"dog", Config::aDiv},
      {"d", Config::aDiv},        {"div", Config::aDiv},
  };
  for (const auto& c : cases)
    ExpectParse({c.word, "1", "2"}, Expected().Act(c.act).Arg("1").Brg("2"));
  for (const char* word : {"tst", "test", "t", "TsX"})
    ExpectParse({word}, Expected().Act(Config::aTst));
}

TEST(ParseArgs, OptionsAroundTheActionAndAfterTheNumbers) {
  ExpectParse({"-v", "-d"}, Expected().Dbg(true).Vrb(true));
  ExpectParse({"/v", "/d", "-v", "-d"}, Expected().Dbg(true).Vrb(true));
  ExpectParse({"add", "-v", "1", "2", "-d"},
              Expected().Act(Config::aAdd).Dbg(true).Vrb(true).Arg("1").Brg("2"));
  ExpectParse({"-b", "16", "sub", "-r", "2", "ff", "1", "-b", "8"},
              Expected().Act(Config::aSub).Ba(8).Br(2).Arg("ff").Brg("1"));
  ExpectParse({"tst", "-v"}, Expected().Act(Config::aTst).Vrb(true));
}

TEST(ParseArgs, BaseValuesAreTheNextParameterWhateverItsClass) {
  ExpectParse({"-b", "-16"}, Expected().Ba(16));
  ExpectParse({"-b", "+16"}, Expected().Ba(16));
  ExpectParse({"-b", "/16"}, Expected().Ba(16));
}

TEST(ParseArgs, BaseValuesAreNotRangeChecked) {
  ExpectParse({"-b", "99", "-r", "0"}, Expected().Ba(99).Br(0));
  ExpectParse({"-b", "4294967295"}, Expected().Ba(4294967295u));
  ExpectParse({"-b", "000000000000000000000000000000000000000007"}, Expected().Ba(7));
  ExpectParse({"-b", "1", "-b", "2"}, Expected().Ba(2));
}

TEST(ParseArgs, NumbersAreStoredAsTyped) {
  ExpectParse({"mul", "0x1F", "zz!"}, Expected().Act(Config::aMul).Arg("0x1F").Brg("zz!"));
  ExpectParse({"div", "", ""}, Expected().Act(Config::aDiv));  // empty texts are plain arguments
  ExpectParse({"mod", "-", "/"}, Expected().Act(Config::aMod).Arg("-").Brg("/"));
  const std::string full(256, '9');  // fills the field: no terminator, nothing lost
  ExpectParse({"add", full, "1"}, Expected().Act(Config::aAdd).Arg(full).Brg("1"));
}

// Errors end the run: compare the standard error text byte for byte in a child.
std::string ErrorOf(const std::vector<std::string>& args) {
  Params p(args);
  const auto r = RunInChild([] {
    Lib3::Begin();
    Parse();
  });
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.code, 255);
  return r.err;
}

TEST(ParseArgs, CutOperandsAndBaseValuesAreInvalidNumbers) {
  const std::string cutLine = "Error: Invalid number: '" + std::string(104, '1') + "\r\n";
  const std::string digits(300, '1');
  EXPECT_EQ(ErrorOf({"add", digits, "2"}), cutLine);
  EXPECT_EQ(ErrorOf({"add", "2", digits}), cutLine);
  EXPECT_EQ(ErrorOf({"-b", std::string(257, '0') + "16"}),
            "Error: Invalid number: '" + std::string(104, '0') + "\r\n");
  EXPECT_EQ(ErrorOf({"-r", "+" + std::string(298, '0') + "2"}),
            "Error: Invalid number: '+" + std::string(103, '0') + "\r\n");
  // An over-long option value is still an option value: the cut text is what is refused.
  EXPECT_EQ(ErrorOf({"-b", "-" + std::string(256, '0') + "5"}),
            "Error: Invalid number: '" + std::string(104, '0') + "\r\n");
}

TEST(ParseArgs, OtherUsesOfACutParameterStayAsTheyAre) {
  // The action keyword looks at three characters only.
  ExpectParse({"subtract" + std::string(300, 'x'), "1", "2"},
              Expected().Act(Config::aSub).Arg("1").Brg("2"));
  // A cut option is still an invalid option, quoted as far as the buffer goes.
  EXPECT_EQ(ErrorOf({"-" + std::string(400, 'q')}),
            "Error: Invalid option: '" + std::string(104, 'q') + "\r\n");
}

}  // namespace
