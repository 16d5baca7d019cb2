// Digit strings in every base, valid or not, on random capacities: both conversions must give
// the plain reference's flag and every byte of the destination (poison around it included),
// and every success must agree with GMP.
#include <gmpxx.h>

#include <cstdint>
#include <string>
#include <vector>

#include "conv/LCC.h"
#include "fuzz/FuzzInput.h"
#include "tests/conv/RefLCC.h"

namespace {

constexpr std::size_t kPoison = 8;
constexpr std::uint8_t kPoisonByte = 0xA5;

// A character that is usually a digit of base b (either case), sometimes anything at all.
char TextChar(fuzz::Input& in, unsigned b) {
  const std::uint8_t k = in.Byte();
  if (k < 16) return static_cast<char>(in.Byte());  // any byte, '\0' and codes above 127 too
  const unsigned d = k % b;
  char c = ref::Char(d);
  if (d >= 10 && (k & 1)) c = static_cast<char>(c - 'A' + 'a');
  return c;
}

void FuzzMkCard(fuzz::Input& in, std::uint8_t b) {
  const std::size_t cap = in.Range(1, 130);
  const std::size_t len = in.Range(0, 320);
  const std::size_t scap = in.Range(1, 330);
  std::vector<char> s(scap, '\0');
  const unsigned alphabet = b >= 2 && b <= 36 ? b : 36;
  for (std::size_t i = 0; i < len && i < scap; ++i) s[i] = TextChar(in, alphabet);

  std::vector<std::uint8_t> lc(cap + 2 * kPoison, kPoisonByte);
  in.Card(std::span<std::uint8_t>(lc.data() + kPoison, cap));
  std::vector<std::uint8_t> rf = lc;
  const bool okLc = LCC::MkCard(std::span<std::uint8_t>(lc.data() + kPoison, cap), s, b);
  const bool okRef = ref::MkCard(std::span<std::uint8_t>(rf.data() + kPoison, cap), s, b);
  fuzz::Check(okLc == okRef);
  fuzz::Check(lc == rf);
  if (!okLc) return;
  mpz_class want;
  const std::string text(s.data(), ref::Length(s));
  fuzz::Check(mpz_set_str(want.get_mpz_t(), text.c_str(), b) == 0);
  mpz_class got;
  mpz_import(got.get_mpz_t(), cap, -1, 1, 0, 0, lc.data() + kPoison);
  fuzz::Check(got == want);
}

void FuzzMkStr(fuzz::Input& in, std::uint8_t b) {
  const std::size_t cap = in.Range(1, 130);
  const std::size_t scap = in.Range(1, 300);
  std::vector<std::uint8_t> x(cap);
  in.Card(x);
  const std::vector<std::uint8_t> x0 = x;
  std::vector<char> lc(scap + 2 * kPoison, static_cast<char>(kPoisonByte));
  for (std::size_t i = 0; i < scap; ++i) lc[kPoison + i] = static_cast<char>(in.Byte());
  std::vector<char> rf = lc;
  const bool okLc = LCC::MkStr(std::span<char>(lc.data() + kPoison, scap), x, b);
  const bool okRef = ref::MkStr(std::span<char>(rf.data() + kPoison, scap), x, b);
  fuzz::Check(okLc == okRef);
  fuzz::Check(lc == rf);
  fuzz::Check(x == x0);  // the caller's number never changes
  if (!okLc) return;
  mpz_class v;
  mpz_import(v.get_mpz_t(), cap, -1, 1, 0, 0, x.data());
  const std::string want = v.get_str(-static_cast<int>(b));
  const std::string got(lc.data() + kPoison,
                        ref::Length(std::span<const char>(lc.data() + kPoison, scap)));
  fuzz::Check(got == want);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::uint8_t mode = in.Byte();
  // Mostly valid bases, sometimes 0, 1, 37 and beyond.
  const std::uint8_t b =
      (mode & 0x0E) == 0 ? in.Byte() : static_cast<std::uint8_t>(2 + in.Byte() % 35);
  if (mode & 1) {
    FuzzMkStr(in, b);
  } else {
    FuzzMkCard(in, b);
  }
  return 0;
}
