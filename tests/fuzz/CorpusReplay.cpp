// The fuzz targets as tests: every seed of the corpus folders named on the
// command line goes once through the target's checks, which abort on the
// first that fails. A folder with no seed fails too: a test that read
// nothing has shown nothing.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Set up once before the first input, by the targets that need it.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS_FOLDER...\n", argv[0]);
    return 2;
  }
  if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
  for (int a = 1; a < argc; ++a) {
    std::vector<std::filesystem::path> seeds;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(argv[a], error)) {
      if (entry.is_regular_file()) seeds.push_back(entry.path());
    }
    if (error || seeds.empty()) {
      std::fprintf(stderr, "%s: no seed read (%s)\n", argv[a], error.message().c_str());
      return 1;
    }
    for (const auto& seed : seeds) {
      std::ifstream in(seed, std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
      if (!in.good() && !in.eof()) {
        std::fprintf(stderr, "%s: unreadable\n", seed.c_str());
        return 1;
      }
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%s: %zu seeds checked\n", argv[a], seeds.size());
  }
  return 0;
}
