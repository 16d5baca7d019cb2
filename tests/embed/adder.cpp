// Adds two decimal numbers with zemblaro's core: adder 123 456 prints 579.
#include <cstdio>
#include <cstring>

#include "core/LC.h"
#include "core/LCC.h"

int main(int argc, char** argv) {
  LC::TCardMax x, y;
  std::array<char, 320> sum;
  if (argc != 3 || !LCC::MkCard(x, {argv[1], std::strlen(argv[1])}, 10) ||
      !LCC::MkCard(y, {argv[2], std::strlen(argv[2])}, 10) || !LC::Inc(x, y) ||
      !LCC::MkStr(sum, x, 10)) {
    return 1;
  }
  std::printf("%s\n", sum.data());
}
