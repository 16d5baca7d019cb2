#include "config/Args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/config/Params.h"

using config_test::Params;

namespace {

// The text of str as the program's string convention reads it.
std::string Str() {
  std::size_t n = 0;
  while (n < Args::str.size() && Args::str[n] != '\0') ++n;
  return std::string(Args::str.data(), n);
}

TEST(Args, EachParameterIsClassified) {
  struct Case {
    std::string param;
    Args::TSym sym;
    std::string str;
  };
  const Case cases[] = {
      {"-h", Args::symOpt, "h"},    {"/h", Args::symOpt, "h"},
      {"-?", Args::symOpt, "?"},    {"--v", Args::symOpt, "-v"},  // only one leading character goes
      {"//", Args::symOpt, "/"},    {"-help", Args::symOpt, "help"},
      {"-", Args::symArg, "-"},  // a lone option character is a plain argument
      {"/", Args::symArg, "/"},     {"", Args::symArg, ""},
      {"add", Args::symArg, "add"}, {"+16", Args::symArg, "+16"},
      {"a-b", Args::symArg, "a-b"}, {"\\h", Args::symArg, "\\h"},
  };
  for (const auto& c : cases) {
    Params p({c.param});
    Args::Reset();
    Args::Read();
    EXPECT_EQ(Args::sym, c.sym) << '"' << c.param << '"';
    EXPECT_EQ(Str(), c.str) << '"' << c.param << '"';
    EXPECT_EQ(Args::len, c.str.size()) << '"' << c.param << '"';
    EXPECT_FALSE(Args::cut) << '"' << c.param << '"';
  }
}

TEST(Args, ResetReadAndTheEndOfTheParameters) {
  Params p({"-b", "16", "add"});
  Args::Reset();
  EXPECT_EQ(Args::cnt, 3u);
  EXPECT_EQ(Args::idx, 0u);
  EXPECT_EQ(Args::sym, Args::symNull);
  EXPECT_EQ(Str(), "zemblaro-under-test");
  EXPECT_EQ(Args::len, 19u);

  Args::Read();
  EXPECT_EQ(Args::sym, Args::symOpt);
  Args::Read();
  EXPECT_EQ(Args::sym, Args::symArg);
  EXPECT_EQ(Str(), "16");
  Args::Read();
  EXPECT_EQ(Str(), "add");
  EXPECT_EQ(Args::idx, 3u);
  for (std::uint32_t i = 4; i < 7; ++i) {
    Args::Read();
    EXPECT_EQ(Args::sym, Args::symEOA);
    EXPECT_EQ(Str(), "");
    EXPECT_EQ(Args::len, 0u);
    EXPECT_EQ(Args::idx, i);  // goes on counting past the end
  }
  Args::Reset();
  Args::Read();
  EXPECT_EQ(Args::idx, 1u);
  EXPECT_EQ(Str(), "b");
}

TEST(Args, NoParametersGiveTheEndAtOnce) {
  Params p({});
  Args::Reset();
  EXPECT_EQ(Args::cnt, 0u);
  Args::Read();
  EXPECT_EQ(Args::sym, Args::symEOA);
}

TEST(Args, LongParametersAreCutTo256AndMarked) {
  const std::string exact(256, '7');
  const std::string longer = std::string(256, '8') + "9";
  const std::string longOption = "-" + std::string(300, 'o');
  Params p({exact, longer, "short", longOption});
  Args::Reset();

  Args::Read();  // exactly 256: whole, without a terminator, not cut
  EXPECT_EQ(Args::sym, Args::symArg);
  EXPECT_EQ(std::string(Args::str.data(), Args::str.size()), exact);
  EXPECT_EQ(Args::len, 256u);
  EXPECT_FALSE(Args::cut);

  Args::Read();  // 257: the first 256 only
  EXPECT_EQ(std::string(Args::str.data(), Args::str.size()), std::string(256, '8'));
  EXPECT_EQ(Args::len, 256u);
  EXPECT_TRUE(Args::cut);

  Args::Read();
  EXPECT_EQ(Str(), "short");
  EXPECT_FALSE(Args::cut);

  Args::Read();  // cut to 256, then the option character goes
  EXPECT_EQ(Args::sym, Args::symOpt);
  EXPECT_EQ(Str(), std::string(255, 'o'));
  EXPECT_EQ(Args::len, 255u);
  EXPECT_TRUE(Args::cut);

  Args::Read();
  EXPECT_EQ(Args::sym, Args::symEOA);
  EXPECT_FALSE(Args::cut);
}

}  // namespace
