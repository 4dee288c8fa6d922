// A filelist.txt of any bytes read by the streamed list reader, which cuts
// lines across its 1 MiB read blocks without holding the whole text: it must
// give exactly the lines the in-memory cutting gives, also when a block ends
// inside the input (the input then follows a long first line that puts the
// block's end at an offset the input chooses).
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "MemoryFileSystem.h"
#include "engine/FileRecord.h"
#include "platform/FileSystem.h"
#include "platform/TextLines.h"

namespace varnoket {
namespace {

constexpr size_t kReadBlock = size_t{1} << 20;

void CheckStreamed(std::string text) {
  // In memory: the reader reaches the file through its open-file calls as
  // it would on the disk.
  static fuzz::MemoryFileSystem fs;
  const std::string path = fuzz::TargetFolder() + "/filelist.txt";
  const std::vector<std::string> lines = SplitLines(text);
  fs.files[path] = std::move(text);
  const auto streamed = ReadListFile(fs, path);
  FUZZ_CHECK(streamed.has_value() && *streamed == lines);
}

}  // namespace
}  // namespace varnoket

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace varnoket;
  const std::string_view text = fuzz::AsText(data, size);
  CheckStreamed(std::string(text));
  // The long line costs a megabyte of copying and reading: one input in
  // eight (by its first byte) pays it, its second byte placing the block end.
  if (size < 2 || data[0] % 8 != 0) return 0;
  const size_t inFirstBlock = std::min<size_t>(data[1], size);
  CheckStreamed(std::string(kReadBlock - inFirstBlock, 'y') + std::string(text));
  return 0;
}
