// The contracts of LCC and LCC0 (tests/Props.h) on cases drawn from the fuzzer's input.
#include <cstdio>
#include <cstdlib>

#include "tests/Props.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  gen::Source g(data, size);
  const std::string error = props::Check(props::Draw(g));
  if (!error.empty()) std::fprintf(stderr, "%s\n", error.c_str()), std::abort();
  return 0;
}
