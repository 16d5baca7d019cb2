// Outside fuzzing builds every target is linked with this main, which runs the target over the
// files named on the command line (or the files of the directories named), so that the seed
// corpus is replayed as an ordinary test.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int RunFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return 1;
  std::vector<std::uint8_t> bytes;
  std::uint8_t buf[4096];
  ssize_t n;
  while ((n = read(fd, buf, sizeof buf)) > 0) bytes.insert(bytes.end(), buf, buf + n);
  close(fd);
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int files = 0;
  for (int i = 1; i < argc; ++i) {
    struct stat st {};
    if (stat(argv[i], &st) != 0) return 1;
    if (S_ISDIR(st.st_mode)) {
      DIR* dir = opendir(argv[i]);
      if (dir == nullptr) return 1;
      while (dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.') continue;
        if (RunFile(std::string(argv[i]) + "/" + e->d_name) != 0) return 1;
        ++files;
      }
      closedir(dir);
    } else {
      if (RunFile(argv[i]) != 0) return 1;
      ++files;
    }
  }
  std::printf("replayed %d inputs\n", files);
  return files > 0 ? 0 : 1;
}
