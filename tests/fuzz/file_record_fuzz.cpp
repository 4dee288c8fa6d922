// The file-list readers on any bytes: a record line read by the one parser
// (checked against its rules told again here) and written back, a whole filelist.txt cut into lines
// and joined again, and the search of an ordered list by key prefix that finds records of equal
// content, and the order of records without their lines. (The streamed reader of a list file has a
// target of its own, list_file: its read buffer makes it much slower per input.)
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "engine/FileRecord.h"
#include "platform/TextLines.h"

namespace varnoket {
namespace {

// The position of the n-th "|" of `line` (counting from 1), or npos.
size_t NthBar(std::string_view line, int n) {
  size_t at = std::string_view::npos;
  for (int i = 0; i < n; ++i) {
    at = line.find(kFieldSeparator, at + 1);
    if (at == std::string_view::npos) break;
  }
  return at;
}

// The field as a number of type Int, by from_chars alone; `canonical` tells
// whether it is written exactly as the writer writes that number.
template <typename Int>
bool ReadNumber(std::string_view field, Int& value, bool& canonical) {
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (field.empty() || error != std::errc() || end != field.data() + field.size()) return false;
  canonical = canonical && std::to_string(value) == field;
  return true;
}

std::string_view Field(std::string_view line, int n) {
  const size_t from = n == 0 ? 0 : NthBar(line, n) + 1;
  const size_t to = NthBar(line, n + 1);
  return line.substr(from, to == std::string_view::npos ? to : to - from);
}

void CheckRecord(std::string_view line) {
  const auto view = ViewFileRecord(line);
  RecordFault fault = RecordFault::kNone;
  const auto record = ParseFileRecord(line, &fault);
  const bool sevenFields = NthBar(line, 6) != std::string_view::npos;
  // The path of any line that reaches it, record or not.
  const bool reachesPath = NthBar(line, 3) != std::string_view::npos;
  FUZZ_CHECK(PathFieldOf(line) == (reachesPath ? Field(line, 3) : std::string_view()));
  // Only short lines and lines with fewer than seven fields are not cut.
  FUZZ_CHECK(view.has_value() == (line.size() > 10 && sevenFields));
  if (!view) {
    FUZZ_CHECK(!record && fault == RecordFault::kCut);
    return;
  }
  FUZZ_CHECK(view->storedName == Field(line, 2) && view->fullPath == Field(line, 3));

  // The parser's rules, told again with from_chars alone.
  bool canonical = true;
  int32_t size = 0;
  uint32_t checksum = 0;
  int64_t attributes = 0;
  int32_t fileDate = 0;
  const bool numbers = ReadNumber(Field(line, 0), size, canonical) &&
                       ReadNumber(Field(line, 1), checksum, canonical) &&
                       ReadNumber(Field(line, 4), attributes, canonical) &&
                       attributes >= INT32_MIN && attributes <= UINT32_MAX &&
                       ReadNumber(Field(line, 5), fileDate, canonical);
  const std::string_view last = Field(line, 6);
  FUZZ_CHECK(record.has_value() == (numbers && (last == "0" || last == "1")));
  if (!record) {
    FUZZ_CHECK(fault == (numbers ? RecordFault::kBadLastField : RecordFault::kBadNumber));
    return;
  }
  FUZZ_CHECK(fault == RecordFault::kNone);
  FUZZ_CHECK(record->size == size && record->checksum == checksum &&
             static_cast<uint32_t>(record->attributes) == static_cast<uint32_t>(attributes) &&
             record->fileDate == fileDate && record->offered == (last == "0"));
  FUZZ_CHECK(record->storedName == view->storedName && record->fullPath == view->fullPath);
  FUZZ_CHECK(view->IsDirectory() == record->IsDirectory());

  // What the writer makes reads back as the same record, and a line written
  // as the writer writes it is written back byte for byte.
  const std::string formatted = record->Format();
  FUZZ_CHECK(ParseFileRecord(formatted) == record);
  FUZZ_CHECK(record->FormattedLength() == formatted.size());
  if (canonical && attributes >= 0) {
    FUZZ_CHECK(formatted == line.substr(0, NthBar(line, 7)));
  }
  if (record->offered) {
    FUZZ_CHECK(FormatFileRecord(record->RecordedBytes(), checksum, record->storedName,
                                record->fullPath, static_cast<uint32_t>(attributes),
                                fileDate) == formatted);
    if (record->IsDirectory() && size == 0 && checksum == 0) {
      FUZZ_CHECK(FormatDirectoryRecord(record->fullPath, static_cast<uint32_t>(attributes),
                                       fileDate) == formatted);
    }
  }
}

void CheckLines(std::string_view text) {
  const std::vector<std::string> lines = SplitLines(text);
  for (const std::string& line : lines) FUZZ_CHECK(line.find('\n') == std::string::npos);
  // filelist.txt as the writer makes it from these lines reads back as them.
  FUZZ_CHECK(SplitLines(JoinLines(lines)) == lines);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

void CheckOrderedSearch(std::vector<std::string> lines) {
  std::vector<std::string> keys;
  for (const std::string& line : lines) {
    if (keys.size() >= 64) break;
    if (ViewFileRecord(line)) keys.push_back(std::string(line.substr(0, NthBar(line, 2) + 1)));
    keys.push_back(line.substr(0, line.size() / 2));
    // Just past the line in the order: found only when a longer line begins with it.
    keys.push_back(line + '\0');
  }
  SortOrdinal(lines);
  for (size_t i = 1; i < lines.size(); ++i) {
    FUZZ_CHECK(CompareOrdinal(lines[i - 1], lines[i]) <= 0);
    FUZZ_CHECK(CompareOrdinal(lines[i], lines[i - 1]) == -CompareOrdinal(lines[i - 1], lines[i]));
  }
  for (const std::string& key : keys) {
    const int found = FindByPrefix(key, lines);
    const bool present = std::any_of(lines.begin(), lines.end(),
                                     [&key](const std::string& l) { return StartsWith(l, key); });
    FUZZ_CHECK((found >= 0) == present);
    if (found >= 0) FUZZ_CHECK(StartsWith(lines[static_cast<size_t>(found)], key));
  }
}

// The run keeps a day's records in the order of their lines without
// writing them: any two records compare as their lines do.
void CheckRecordOrder(const std::vector<std::string>& lines) {
  std::vector<FileRecord> records;
  for (const std::string& line : lines) {
    if (records.size() >= 32) break;
    if (auto record = ParseFileRecord(line)) records.push_back(std::move(*record));
  }
  for (const FileRecord& a : records) {
    for (const FileRecord& b : records) {
      FUZZ_CHECK(CompareRecordLines(a, b) == CompareOrdinal(a.Format(), b.Format()));
    }
  }
}

}  // namespace
}  // namespace varnoket

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace varnoket;
  const std::string_view text = fuzz::AsText(data, size);
  CheckLines(text);
  std::vector<std::string> lines = SplitLines(text);
  for (const std::string& line : lines) CheckRecord(line);
  CheckRecordOrder(lines);
  CheckOrderedSearch(std::move(lines));
  return 0;
}
