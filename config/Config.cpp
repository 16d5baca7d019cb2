#include "config/Config.h"

#include "arith/Lib2.h"
#include "support/Runtime.h"

namespace Config {

TDataDesc data;

namespace {
// Seven 3-character keywords indexed by TAction, without terminators.
[[maybe_unused]] constexpr char acts[] = "nultstaddsubmuldivmod";
}  // namespace

void InitModule() {
  Lib2::Fill(data, 0);
  Str_Copy(data.prg, kPrgName);
  data.ver = kVersion;
  Str_Copy(data.ext, kDate);
  data.ba = 10;
  data.br = 10;
}

void Begin() { InitModule(); }

}  // namespace Config
