#include "driver/Zemblaro.h"
#include "platform/Runtime.h"

int main(int argc, char** argv) {
  IO_Begin();
  Lib_SetParams(argc, argv);
  Zemblaro::StartUp();
  Zemblaro::Run();
  HALT(0);
}
