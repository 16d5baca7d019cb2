// The properties of LC, LCC and LCC0 (tests/Props.h), the case drawn from the fuzzer's bytes: the
// coverage of the library guides what the random test draws blindly.
#include <cstdio>
#include <cstdlib>

#include "tests/Props.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  props::Source g;
  g.fed = {data, size};
  const std::string e = g.Below(2) == 0 ? Check(props::Draw(g, 130)) : Check(props::Draw(g));
  if (!e.empty()) std::fprintf(stderr, "%s\n", e.c_str()), std::abort();
  return 0;
}
