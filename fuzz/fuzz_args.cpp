// The start-up on arbitrary parameters, split from the input at '\0' bytes, in a child: it ends
// with the parser's return, the help text (exit code 0) or a command-line error (255), with
// only the ticks line on standard output then.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "driver/Zemblaro.h"
#include "tests/Child.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> params = {"zemblaro", ""};
  for (std::size_t i = 0; i < size && params.size() < 12; ++i) {
    if (data[i] == 0) params.emplace_back();
    if (data[i] != 0 && params.back().size() < 400) params.back() += static_cast<char>(data[i]);
  }
  const Child c = InChild([&] {
    std::vector<char*> argv;
    for (auto& p : params) argv.push_back(p.data());
    Lib_SetParams(static_cast<int>(argv.size()), argv.data());
    Zemblaro::StartUp();
    _exit(100);
  });
  const bool ticks = c.out.rfind("Ticks: ", 0) == 0 && c.out.find("\r\n") == c.out.size() - 2;
  const bool ok = c.code == 100 ? c.err.empty()
                  : c.code == 0 ? c.err.empty() && c.out.rfind("(* zemblaro v9", 0) == 0
                                : c.code == 255 && ticks && c.err.rfind("Error: ", 0) == 0;
  if (!ok) std::abort();
  return 0;
}
