#include "support/TestBytes.h"

#include <cstdlib>
#include <filesystem>
#include <random>

#include "support/TempDir.h"

namespace varnoket::test {

std::string RandomBytes(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(gen());
  return s;
}

std::string StandardCompress(const std::string& path) {
  const std::string out = path + ".std";
  const std::string command = "/bin/bzip2 -9 -c '" + path + "' > '" + out + "'";
  if (std::system(command.c_str()) != 0) return "(bzip2 failed)";
  std::string bytes = ReadFile(out);
  std::filesystem::remove(out);
  return bytes;
}

}  // namespace varnoket::test
