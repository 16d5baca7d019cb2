// Adds two decimal numbers with zemblaro's core: adder 123 456 prints 579.
#include <cstdio>
#include <cstring>

#include "core/LC.h"
#include "core/LCC.h"

int main(int argc, char** argv) {
  LC::TCardMax x, y;
  std::array<char, 320> sum;
  const auto read = [](LC::ByteCard c, const char* s) {
    return LCC::MkCard(c, {s, strlen(s)}, 10);
  };
  if (argc != 3 || !read(x, argv[1]) || !read(y, argv[2]) || !LC::Inc(x, y)) return 1;
  if (LCC::MkStr(sum, x, 10)) std::printf("%s\n", sum.data());
}
