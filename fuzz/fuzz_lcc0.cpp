// Hexadecimal by nibbles: arbitrary text into random capacities must give the plain reference's
// flag and bytes, and every number written must read back unchanged and agree with GMP.
#include <gmpxx.h>

#include <cstdint>
#include <string>
#include <vector>

#include "conv/LCC0.h"
#include "fuzz/FuzzInput.h"
#include "tests/conv/RefLCC.h"

namespace {

constexpr std::size_t kPoison = 8;
constexpr std::uint8_t kPoisonByte = 0xA5;

void FuzzText(fuzz::Input& in) {
  const std::size_t cap = in.Range(1, 40);
  const std::size_t scap = in.Range(1, 100);
  std::vector<char> s(scap);
  for (auto& c : s) c = static_cast<char>(in.Byte());
  std::vector<std::uint8_t> lc(cap + 2 * kPoison, kPoisonByte);
  in.Card(std::span<std::uint8_t>(lc.data() + kPoison, cap));
  std::vector<std::uint8_t> rf = lc;
  const bool okLc = LCC0::MkCard(std::span<std::uint8_t>(lc.data() + kPoison, cap), s);
  const bool okRef = ref::MkCard0(std::span<std::uint8_t>(rf.data() + kPoison, cap), s);
  fuzz::Check(okLc == okRef);
  fuzz::Check(lc == rf);
}

void FuzzRoundTrip(fuzz::Input& in) {
  const std::size_t cap = in.Range(1, 40);
  const std::size_t scap = in.Range(1, 90);
  std::vector<std::uint8_t> x(cap);
  in.Card(x);
  std::vector<char> s(scap + 2 * kPoison, static_cast<char>(kPoisonByte));
  const std::span<char> text(s.data() + kPoison, scap);
  const bool okStr = LCC0::MkStr(text, x);
  for (std::size_t i = 0; i < kPoison; ++i) {
    fuzz::Check(s[i] == static_cast<char>(kPoisonByte));
    fuzz::Check(s[kPoison + scap + i] == static_cast<char>(kPoisonByte));
  }
  mpz_class v;
  mpz_import(v.get_mpz_t(), cap, -1, 1, 0, 0, x.data());
  const std::string want = v.get_str(-16);
  fuzz::Check(okStr == (want.size() <= scap));
  const std::string got(text.data(), ref::Length(text));
  if (!okStr) {
    fuzz::Check(got == want.substr(0, scap));  // the most significant digits that fit
    return;
  }
  fuzz::Check(got == want);
  std::vector<std::uint8_t> y(cap, 0x5A);
  fuzz::Check(LCC0::MkCard(y, text));
  fuzz::Check(y == x);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  if (in.Byte() & 1) {
    FuzzRoundTrip(in);
  } else {
    FuzzText(in);
  }
  return 0;
}
