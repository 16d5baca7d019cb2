// The command-line parser in process. The input's bytes, cut at each '\0', are the parameters,
// the invocation name first: any count, length and bytes. Each parameter sits in an allocation
// of its own that ends with its terminator, so ASan reports any read past it. The message is a
// line of its own on the heap, so a write past its 128 characters is reported too.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "config/Config.h"
#include "platform/Runtime.h"

namespace {

std::string Text(std::span<const char> s) {
  return {s.begin(), std::find(s.begin(), s.end(), '\0')};
}

void Require(bool ok, const char* what) {
  if (!ok) std::fprintf(stderr, "%s\n", what), std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::unique_ptr<char[]>> store;
  std::vector<std::string> params;
  for (std::size_t i = 0; i < size;) {
    const auto* end = static_cast<const std::uint8_t*>(std::memchr(data + i, 0, size - i));
    const std::size_t j = end != nullptr ? static_cast<std::size_t>(end - data) : size;
    params.emplace_back(reinterpret_cast<const char*>(data + i), j - i);
    store.emplace_back(new char[j - i + 1]);
    std::memcpy(store.back().get(), params.back().c_str(), j - i + 1);
    i = j + 1;
  }
  std::vector<char*> argv;
  for (auto& p : store) argv.push_back(p.get());
  argv.push_back(nullptr);
  Lib_SetParams(static_cast<int>(store.size()), argv.data());

  // Twice, from the defaults: a parse depends on the parameters alone.
  Config::TDataDesc d[2];
  Config::TParseEnd end[2];
  std::unique_ptr<Config::TLine> msg[2];
  for (int k : {0, 1}) {
    std::memset(&d[k], 0, sizeof d[k]);
    d[k].ba = d[k].br = 10;
    std::strcpy(d[k].dir.data(), "dir");
    msg[k] = std::make_unique<Config::TLine>();
    end[k] = Config::ParseArgs(d[k], *msg[k]);
  }
  Require(end[0] == end[1] && std::memcmp(&d[0], &d[1], sizeof d[0]) == 0 &&
              (end[0] != Config::TParseEnd::kError || *msg[0] == *msg[1]),
          "two parses of one command line differ");
  Require(Text(d[0].dir) == "dir" && Text(d[0].prg).empty(), "the parse wrote outside its fields");

  const auto given = [&](const std::string& t) {
    return std::find(params.begin() + (params.empty() ? 0 : 1), params.end(), t) != params.end();
  };
  switch (end[0]) {
    case Config::TParseEnd::kRun:
      // The numbers are whole parameters, as typed; without an action there are none.
      Require(d[0].act <= Config::aMod, "no such action");
      Require(d[0].act >= Config::aAdd ? given(Text(d[0].arg)) && given(Text(d[0].brg))
                                       : Text(d[0].arg).empty() && Text(d[0].brg).empty(),
              "the numbers are not the parameters as typed");
      break;
    case Config::TParseEnd::kHelp:
      Require(given("-h") || given("/h") || given("-?") || given("/?"), "help nobody asked for");
      break;
    case Config::TParseEnd::kError: {
      const std::string m = Text(*msg[0]);
      const std::string hint = "\r\nTry 'zemblaro -h' for help.";
      Require(m.rfind("Error: ", 0) == 0, "an error message without its head");
      Require(m.size() == 128 || (m.size() >= hint.size() &&
                                  m.compare(m.size() - hint.size(), hint.size(), hint) == 0),
              "an error message cut short of its 128 characters");
      break;
    }
  }
  return 0;
}
