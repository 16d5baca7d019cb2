#include "driver/Zemblaro.h"

#include "config/Args.h"
#include "config/Config.h"
#include "support/ConSigs.h"
#include "support/FIO2.h"
#include "support/Lib3.h"
#include "support/Runtime.h"
#include "support/Ticks.h"

namespace Zemblaro {

void StartUp() {
  Lib3::Begin();
  Ticks::Begin();
  ConSigs::Begin();
  Args::Begin();
  FIO2::Begin();
  Config::Begin();
}

void Run() {
  const Config::TDataDesc& d = Config::data;
  if (d.ba < 2 || d.ba > 36) Fatal("Zemblaro: Invalid argument base");
  if (d.br < 2 || d.br > 36) Fatal("Zemblaro: Invalid result base");
  // One unsigned comparison sends aNull and every value past aMod to the last row.
  switch (static_cast<unsigned>(d.act - 1u) < 6u ? d.act : Config::aNull) {
    default:
      Fatal("Zemblaro: Action not implemented");
  }
}

void Fatal(std::span<const char> s) {
  IO_WrLn();
  Lib_FatalError(s);
}

}  // namespace Zemblaro
