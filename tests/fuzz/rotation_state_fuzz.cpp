// A station's ROTATION.TXT of any bytes: what the reader takes is sound
// (real dates, a day folder's name, nowhere to go on without a pass), and
// what it took, written back and read again, is the same state.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "MemoryFileSystem.h"
#include "engine/DayFolders.h"
#include "engine/RotationState.h"
#include "engine/StoreLayout.h"

namespace varnoket {
namespace {

bool DayTextOrEmpty(const std::string& text) {
  Day day;
  return text.empty() || ParseDayText(text, day);
}

bool Same(const RotationState& a, const RotationState& b) {
  return a.passBegun == b.passBegun && a.passBytes == b.passBytes && a.nextDay == b.nextDay &&
         a.nextRecord == b.nextRecord && a.doneBegun == b.doneBegun && a.doneEnded == b.doneEnded;
}

}  // namespace
}  // namespace varnoket

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace varnoket;
  fuzz::MemoryFileSystem fs;
  const StoreLayout layout(PathRules(PathStyle::kPosix), fuzz::TargetFolder() + "/store", "ST");
  const std::string path = layout.StationFolder() + "/" + kRotationName;
  fs.files[path] = std::string(fuzz::AsText(data, size));

  const RotationState read = ReadRotationState(fs, layout);
  FUZZ_CHECK(DayTextOrEmpty(read.passBegun));
  FUZZ_CHECK(DayTextOrEmpty(read.doneBegun) && DayTextOrEmpty(read.doneEnded));
  FUZZ_CHECK(read.doneBegun.empty() == read.doneEnded.empty());
  FUZZ_CHECK(read.nextDay.empty() || (!read.passBegun.empty() && !DayKey(read.nextDay).empty()));

  FUZZ_CHECK(WriteRotationState(fs, layout, read));
  FUZZ_CHECK(Same(ReadRotationState(fs, layout), read));
  return 0;
}
