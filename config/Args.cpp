#include "config/Args.h"

#include "core/Str.h"
#include "core/Text.h"
#include "platform/Runtime.h"

namespace Args {

TSym sym = symNull;
TStr str{};
std::uint32_t len = 0;
bool cut = false;

namespace {
std::uint32_t cnt = 0;  // number of parameters, the invocation name not counted
std::uint32_t idx = 0;  // number of the parameter read last; 0 after Reset

// str := parameter n, cut to str's length; cut tells whether anything was dropped. One
// character more than str holds is enough to know.
void Fetch(std::uint32_t n) {
  std::array<char, sizeof(TStr) + 1> t;
  Lib_ParamStr(t, n);
  cut = Text::Length(t) > str.size();
  Str_Copy(str, t);
}
}  // namespace

void Reset() {
  cnt = Lib_ParamCount();
  idx = 0;
  sym = symNull;
  Fetch(0);
  len = Text::Length(str);
}

void Read() {
  ++idx;
  if (idx > cnt) {
    str[0] = '\0';
    len = 0;
    cut = false;
    sym = symEOA;
    return;
  }
  Fetch(idx);
  const std::uint32_t l = Text::Length(str);
  if (l > 1 && (str[0] == '-' || str[0] == '/')) {
    Strings_Delete(str, 0, 1);
    len = l - 1;
    sym = symOpt;
  } else {
    len = l;
    sym = symArg;
  }
}

}  // namespace Args
