// Replays a fuzz target's corpus without libFuzzer, so that every build checks its properties:
// each file under the folders given is one input, and a broken property aborts as it would
// under the fuzzer. An empty corpus, which would check nothing, fails.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  int inputs = 0;
  for (int i = 1; i < argc; ++i) {
    for (const auto& f : std::filesystem::recursive_directory_iterator(argv[i])) {
      std::ifstream in(f.path(), std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(in), {}};
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++inputs;
    }
  }
  return inputs == 0;
}
