// Outside fuzzing builds each target is linked with this main, which runs it over the files of
// the directories named on the command line, so that the seed corpus is replayed as a test.
#include <dirent.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  int files = 0;
  for (int i = 1; i < argc; ++i) {
    DIR* dir = opendir(argv[i]);
    for (dirent* e; dir != nullptr && (e = readdir(dir)) != nullptr;) {
      if (e->d_name[0] == '.') continue;
      std::ifstream in(std::string(argv[i]) + "/" + e->d_name, std::ios::binary);
      const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++files;
    }
    if (dir != nullptr) closedir(dir);
  }
  std::printf("replayed %d inputs\n", files);
  return files > 0 ? 0 : 1;
}
