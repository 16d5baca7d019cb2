// The command-line parser in process. The input's bytes, cut at each '\0', are the parameters,
// the invocation name first: any count, length and bytes. Each parameter sits in an allocation of
// its own that ends with its terminator, and the record and the message in allocations of their
// own, so ASan reports a read past a parameter or a write past the record or its 128-character
// message. A run's numbers must be whole parameters as typed, never cut to their arrays, and an
// error must have its head and, unless its 128 characters are full, its hint.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "config/Config.h"
#include "platform/Runtime.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto text = [](std::span<const char> s) {
    return std::string(s.begin(), std::find(s.begin(), s.end(), '\0'));
  };
  std::vector<std::string> params;
  std::vector<std::unique_ptr<char[]>> store;
  std::vector<char*> argv;
  for (std::size_t i = 0; i < size; i += params.back().size() + 1) {
    const auto* p = reinterpret_cast<const char*>(data + i);
    params.emplace_back(p, strnlen(p, size - i));
    store.emplace_back(new char[params.back().size() + 1]);
    argv.push_back(std::strcpy(store.back().get(), params.back().c_str()));
  }
  argv.push_back(nullptr);
  Lib_SetParams(static_cast<int>(store.size()), argv.data());
  const auto d = std::make_unique<Config::TDataDesc>();
  const auto msg = std::make_unique<SO::TLine>();
  const Config::TParseEnd end = Config::ParseArgs(*d, *msg);
  const auto typed = [&](std::span<const char> n) {
    return d->act < Config::aAdd
               ? text(n).empty()
               : std::find(params.begin() + 1, params.end(), text(n)) != params.end();
  };
  const std::string m = text(*msg);
  if ((end == Config::TParseEnd::kRun && !(typed(d->arg) && typed(d->brg))) ||
      (end == Config::TParseEnd::kError &&
       !(m.starts_with("Error: ") &&
         (m.size() == 128 || m.ends_with("Try 'zemblaro -h' for help."))))) {
    std::fprintf(stderr, "the parse broke a property\n"), std::abort();
  }
  return 0;
}
