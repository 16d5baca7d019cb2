// End-to-end runs of the five arithmetic actions: exact result lines and failure messages, and
// a differential run against GMP over random actions, bases and operands.
#include <gmp.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tests/cli/Harness.h"

namespace {

const std::string kTicks = "Ticks: #\r\n";

// What a run must leave: the result line, or the empty line before a fatal message.
struct Expected {
  std::string out;
  std::string err;
};

Expected Success(const std::string& line) {
  return {line + "\r\n" + kTicks, ""};
}
Expected Failure(const std::string& message) {
  return {"\r\n" + kTicks, message + "\r\n"};
}

void ExpectRun(const std::vector<std::string>& args, const Expected& e) {
  const auto r = cli::Run(args);
  std::string shown;
  for (const auto& a : args) shown += "[" + a + "] ";
  EXPECT_EQ(cli::MaskMillis(r.out), e.out) << shown;
  EXPECT_EQ(r.err, e.err) << shown;
  EXPECT_EQ(r.code, 255) << shown;
}

TEST(Actions, ResultLines) {
  const std::string f256(256, 'F');
  const std::string oneThen128Zeros = "1" + std::string(128, '0');  // 256^64 in base 16
  const std::string twoTo255 = "8" + std::string(63, '0');          // 2^255 in base 16
  struct Case {
    std::vector<std::string> args;
    std::string line;
  };
  const Case cases[] = {
      {{"add", "1", "2"}, "1 + 2 = 3"},
      {{"sub", "5", "5"}, "5 - 5 = 0"},
      {{"sub", "10", "3"}, "10 - 3 = 7"},
      {{"mul", "12", "12"}, "12 * 12 = 144"},
      {{"div", "17", "5"}, "17 DIV 5 = 3"},
      {{"mod", "17", "5"}, "17 MOD 5 = 2"},
      {{"div", "0", "7"}, "0 DIV 7 = 0"},
      {{"mod", "3", "7"}, "3 MOD 7 = 3"},
      {{"add", "007", "1"}, "007 + 1 = 8"},
      {{"-b", "16", "-r", "16", "add", "a", "1"}, "a + 1 = B"},
      {{"-b", "16", "-r", "16", "add", "ff", "1"}, "ff + 1 = 100"},
      {{"-b", "16", "-r", "16", "add", "fF", "00A"}, "fF + 00A = 109"},
      {{"-b", "16", "add", "ff", "1"}, "ff + 1 = 256"},
      {{"-r", "36", "add", "35", "0"}, "35 + 0 = Z"},
      {{"-b", "2", "-r", "8", "mul", "101", "11"}, "101 * 11 = 17"},
      {{"-b", "36", "-r", "2", "sub", "z", "Y"}, "z - Y = 1"},
      // 2^1024 - 1 (F and 204 digits V in base 32) is the largest operand.
      {{"-b", "32", "-r", "16", "div", "F" + std::string(204, 'V'), "1"},
       "F" + std::string(204, 'V') + " DIV 1 = " + f256},
      // The largest value plus zero still fits.
      {{"-b", "16", "-r", "16", "add", f256, "0"}, f256 + " + 0 = " + f256},
      // A result of exactly 256 digits is written in full.
      {{"-b", "16", "-r", "2", "mul", twoTo255, "1"},
       twoTo255 + " * 1 = 1" + std::string(255, '0')},
  };
  for (const auto& c : cases) ExpectRun(c.args, Success(c.line));
}

TEST(Actions, FailureMessages) {
  const std::string f256(256, 'F');
  const std::string oneThen128Zeros = "1" + std::string(128, '0');
  const std::string twoTo255 = "8" + std::string(63, '0');
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"add", "x", "y"}, "Add: Invalid 1st argument"},  // both invalid: only the first
      {{"add", "1", "y"}, "Add: Invalid 2nd argument"},
      {{"sub", "", "1"}, "Sub: Invalid 1st argument"},
      {{"mul", "1", ""}, "Mul: Invalid 2nd argument"},
      {{"div", "1 ", "1"}, "Div: Invalid 1st argument"},
      {{"mod", "1", "+1"}, "Mod: Invalid 2nd argument"},
      {{"-b", "16", "add", "g", "1"}, "Add: Invalid 1st argument"},
      {{"-b", "2", "add", "1", "2"}, "Add: Invalid 2nd argument"},
      {{"sub", "5", "6"}, "Sub: Result not cardinal"},
      {{"div", "5", "0"}, "Div: Division by zero"},
      {{"mod", "5", "000"}, "Mod: Division by zero"},
      {{"-b", "16", "add", f256, "1"}, "Add: Result too large"},
      {{"-b", "16", "mul", oneThen128Zeros, oneThen128Zeros}, "Mul: Result too large"},
      // 2^256 needs 257 binary digits.
      {{"-b", "16", "-r", "2", "mul", twoTo255, "2"}, "Mul: Result string too short"},
      {{"-b", "16", "-r", "2", "add", twoTo255, twoTo255}, "Add: Result string too short"},
      {{"-b", "16", "-r", "2", "sub", f256, "0"}, "Sub: Result string too short"},
      {{"-b", "16", "-r", "2", "div", f256, "1"}, "Div: Result string too short"},
      {{"-b", "16", "-r", "2", "mod", f256, "1" + std::string(200, '0')},
       "Mod: Result string too short"},
      // 2^1024 (G and 204 zeros in base 32) does not fit the 128-byte operands.
      {{"-b", "32", "add", "1", "g" + std::string(204, '0')}, "Add: Invalid 2nd argument"},
      {{"-b", "32", "sub", "G" + std::string(204, '0'), "1"}, "Sub: Invalid 1st argument"},
  };
  for (const auto& c : cases) ExpectRun(c.args, Failure(c.message));
}

// ---- Differential run against GMP -----------------------------------------------------------

std::string ToString(const mpz_t z, int base) {
  std::vector<char> buf(mpz_sizeinbase(z, base) + 2);
  mpz_get_str(buf.data(), -base, z);  // upper-case digits
  return buf.data();
}

struct Operand {
  std::string text;
  bool valid;
};

// A random operand of up to 1100 bits in base b, with random letter case and leading zeros,
// sometimes empty or with one character that is no digit of the base. Kept to 256 characters,
// the longest number the command line passes on.
Operand RandomOperand(std::mt19937_64& rng, int b, mpz_t value) {
  std::uniform_int_distribution<int> pick(0, 99);
  const int kind = pick(rng);
  if (kind < 2) {
    mpz_set_ui(value, 0);
    return {"", false};
  }
  std::string text;
  do {
    const auto bits = std::uniform_int_distribution<int>(0, 1100)(rng);
    const int shape = pick(rng);
    if (shape < 10) {
      mpz_set_ui(value, 0);
    } else if (shape < 20) {
      mpz_ui_pow_ui(value, 2, static_cast<unsigned long>(bits));
      mpz_sub_ui(value, value, 1);  // all ones
    } else {
      mpz_set_ui(value, 0);
      for (int i = 0; i < bits; i += 64) {
        mpz_mul_2exp(value, value, 64);
        mpz_add_ui(value, value, rng());
      }
      mpz_fdiv_r_2exp(value, value, static_cast<mp_bitcnt_t>(bits));
    }
    text = ToString(value, b);
    const int zeros = pick(rng) < 15 ? std::uniform_int_distribution<int>(1, 4)(rng) : 0;
    text.insert(0, static_cast<std::size_t>(zeros), '0');
  } while (text.size() > 256);
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z' && (rng() & 1)) c = static_cast<char>(c - 'A' + 'a');
  }
  bool valid = mpz_sizeinbase(value, 2) <= 1024;
  if (kind < 8) {
    // One character that is no digit of this base, never a leading option character.
    const char* bad = " .#Z*_";
    char c = bad[rng() % 6];
    if (c == 'Z' && b == 36) c = '.';
    const auto at = static_cast<std::size_t>(rng() % (text.size() + 1));
    if (at < 256) {
      text.insert(at, 1, c);
      if (text.size() > 256) text.pop_back();
      valid = false;
    }
  }
  return {text, valid};
}

TEST(Actions, AgreeWithGmpOnRandomRuns) {
  const std::uint64_t seed = 20261206;
  std::mt19937_64 rng(seed);
  const char* names[] = {"add", "sub", "mul", "div", "mod"};
  const char* titles[] = {"Add", "Sub", "Mul", "Div", "Mod"};
  const char* ops[] = {" + ", " - ", " * ", " DIV ", " MOD "};
  mpz_t x, y, z, limit;
  mpz_inits(x, y, z, limit, nullptr);
  mpz_ui_pow_ui(limit, 2, 1024);
  int failures = 0;
  std::map<std::string, int> outcomes;  // how often each kind of line was expected
  for (int run = 0; run < 2000 && failures < 10; ++run) {
    const int action = static_cast<int>(rng() % 5);
    const int ba = static_cast<int>(2 + rng() % 35);
    const int br = static_cast<int>(2 + rng() % 35);
    const Operand s = RandomOperand(rng, ba, x);
    const Operand t = RandomOperand(rng, ba, y);
    const std::string title = titles[action];
    Expected e;
    if (!s.valid) {
      e = Failure(title + ": Invalid 1st argument");
      ++outcomes["invalid"];
    } else if (!t.valid) {
      e = Failure(title + ": Invalid 2nd argument");
      ++outcomes["invalid"];
    } else {
      std::string failed;
      switch (action) {
        case 0:
          mpz_add(z, x, y);
          if (mpz_cmp(z, limit) >= 0) failed = "Result too large";
          break;
        case 1:
          if (mpz_cmp(x, y) < 0) failed = "Result not cardinal";
          mpz_sub(z, x, y);
          break;
        case 2:
          mpz_mul(z, x, y);
          if (mpz_cmp(z, limit) >= 0) failed = "Result too large";
          break;
        default:
          if (mpz_sgn(y) == 0) {
            failed = "Division by zero";
          } else if (action == 3) {
            mpz_tdiv_q(z, x, y);
          } else {
            mpz_tdiv_r(z, x, y);
          }
      }
      if (!failed.empty()) {
        e = Failure(title + ": " + failed);
        ++outcomes[failed];
      } else {
        const std::string r = ToString(z, br);
        const bool tooShort = r.size() > 256;
        e = tooShort ? Failure(title + ": Result string too short")
                     : Success(s.text + ops[action] + t.text + " = " + r);
        ++outcomes[tooShort ? "too short" : "result"];
      }
    }
    const std::vector<std::string> args = {
        "-b", std::to_string(ba), "-r", std::to_string(br), names[action], s.text, t.text};
    const auto r = cli::Run(args);
    const bool same = cli::MaskMillis(r.out) == e.out && r.err == e.err && r.code == 255;
    if (!same) {
      ++failures;
      ADD_FAILURE() << "seed " << seed << " run " << run << ": " << names[action] << " -b " << ba
                    << " -r " << br << " [" << s.text << "] [" << t.text << "]\n  out: " << r.out
                    << "\n  expected: " << e.out << "\n  err: " << r.err
                    << "\n  expected: " << e.err;
    }
  }
  mpz_clears(x, y, z, limit, nullptr);
  // The draw reaches every kind of outcome, or the comparison above proves little.
  for (const char* kind : {"invalid", "Result too large", "Result not cardinal", "Division by zero",
                           "too short", "result"}) {
    EXPECT_GE(outcomes[kind], 5) << kind;
  }
}

}  // namespace
