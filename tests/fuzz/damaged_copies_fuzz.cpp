// A station's DAMAGED.TXT of any bytes, with the days a run keeps and a
// copy a check records: the reader lists exactly the lines that parse, the
// pruning keeps exactly those of kept days (and changes nothing when run
// again), and a recorded copy is either refused, leaving the file as it was,
// or appended as one line that the reader then lists.
//
// Input: a first line of kept day folder names separated by ",", a second
// line "day|stored name" to record, then the file.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "MemoryFileSystem.h"
#include "engine/DamagedCopies.h"
#include "engine/FileRecord.h"
#include "engine/StoreLayout.h"
#include "platform/TextLines.h"

namespace varnoket {
namespace {

// Whether the reader lists a line, as the day and name its first "|" cuts.
bool Listed(const DamagedCopies& read, std::string_view line) {
  const size_t bar = line.find('|');
  return bar != std::string_view::npos && read.Lists(line.substr(0, bar), line.substr(bar + 1));
}

bool KeptDay(const std::vector<std::string>& days, std::string_view line) {
  return std::find(days.begin(), days.end(), line.substr(0, line.find('|'))) != days.end();
}

}  // namespace
}  // namespace varnoket

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace varnoket;
  std::string_view input = fuzz::AsText(data, size);
  std::vector<std::string> days;
  std::string_view dayLine = fuzz::TakeUntil(input, '\n');
  while (!dayLine.empty()) days.emplace_back(fuzz::TakeUntil(dayLine, ','));
  std::string_view record = fuzz::TakeUntil(input, '\n');
  const std::string text(input);

  fuzz::MemoryFileSystem fs;
  const StoreLayout layout(PathRules(PathStyle::kPosix), fuzz::TargetFolder() + "/store", "ST");
  const std::string path = layout.StationFolder() + "/" + kDamagedCopiesName;
  fs.files[path] = text;

  const DamagedCopies read = DamagedCopies::Read(fs, layout);
  const std::vector<std::string> lines = SplitLines(text);

  // Recording: refused and nothing written, or exactly one line more.
  const size_t bar = record.find('|');
  if (bar != std::string_view::npos) {
    const std::string day(record.substr(0, bar));
    const std::string name(record.substr(bar + 1));
    if (RecordDamagedCopy(fs, layout, day, name)) {
      FUZZ_CHECK(fs.files[path] == text + day + "|" + name + "\r\n");
      // The line it added may run on from a last line without its end.
      if (text.empty() || text.back() == '\n') {
        FUZZ_CHECK(DamagedCopies::Read(fs, layout).Lists(day, name));
      }
    } else {
      FUZZ_CHECK(fs.files[path] == text);
    }
    fs.files[path] = text;
  }

  // Pruning keeps exactly the listed lines of kept days, in their order.
  FUZZ_CHECK(PruneDamagedCopies(fs, layout, days));
  std::vector<std::string> expected;
  for (const std::string& line : lines) {
    if (Listed(read, line) && KeptDay(days, line)) expected.push_back(line);
  }
  const auto pruned = fs.files.find(path);
  if (expected.empty()) {
    FUZZ_CHECK(pruned == fs.files.end());
    return 0;
  }
  FUZZ_CHECK(pruned != fs.files.end());
  const std::string after = pruned->second;
  FUZZ_CHECK(after == (expected.size() < lines.size() ? JoinLines(expected) : text));
  FUZZ_CHECK(PruneDamagedCopies(fs, layout, days));
  FUZZ_CHECK(fs.files[path] == after);
  return 0;
}
