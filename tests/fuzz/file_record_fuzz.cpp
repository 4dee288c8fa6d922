// The file-list readers on any bytes: a record line cut into its fields and
// written back, a whole filelist.txt cut into lines and joined again, and the
// search of an ordered list by key prefix that finds records of equal
// content. (The streamed reader of a list file has a target of its own,
// list_file: its read buffer makes it much slower per input.)
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

// The field as a number when it is written exactly as the writer writes that
// number (plain decimal, no leading zero or "+").
template <typename Int>
bool ReadCanonical(std::string_view field, Int& value) {
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  return error == std::errc() && end == field.data() + field.size() &&
         std::to_string(value) == field;
}

void CheckRecord(std::string_view line) {
  const auto view = ViewFileRecord(line);
  const auto record = ParseFileRecord(line);
  FUZZ_CHECK(view.has_value() == record.has_value());
  const bool sevenFields = NthBar(line, 6) != std::string_view::npos;
  // Only short lines and lines with fewer than seven fields are skipped.
  FUZZ_CHECK(record.has_value() == (line.size() > 10 && sevenFields));
  if (!record) return;

  FUZZ_CHECK(view->size == record->size && view->checksum == record->checksum &&
             view->storedName == record->storedName && view->fullPath == record->fullPath &&
             view->attributes == record->attributes && view->fileDate == record->fileDate &&
             view->last == record->last);
  FUZZ_CHECK(view->IsDirectory() == record->IsDirectory());
  // The record is the line's first seven fields, as written.
  const std::string formatted = record->Format();
  FUZZ_CHECK(formatted == line.substr(0, NthBar(line, 7)));
  FUZZ_CHECK(record->ContentKey() == line.substr(0, NthBar(line, 2) + 1));

  // A record the writer could have made is written back by it byte for byte.
  int32_t size = 0;
  uint32_t checksum = 0;
  uint32_t attributes = 0;
  int32_t fileDate = 0;
  if (record->last == "0" && ReadCanonical(record->size, size) &&
      ReadCanonical(record->checksum, checksum) && ReadCanonical(record->attributes, attributes) &&
      ReadCanonical(record->fileDate, fileDate)) {
    FUZZ_CHECK(FormatFileRecord(size, checksum, record->storedName, record->fullPath, attributes,
                                fileDate) == formatted);
    if (record->IsDirectory() && size == 0 && checksum == 0) {
      FUZZ_CHECK(FormatDirectoryRecord(record->fullPath, attributes, fileDate) == formatted);
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
    if (const auto record = ViewFileRecord(line)) {
      keys.push_back(std::string(record->size) + "|" + std::string(record->checksum) + "|");
    }
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

}  // namespace
}  // namespace varnoket

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace varnoket;
  const std::string_view text = fuzz::AsText(data, size);
  CheckLines(text);
  std::vector<std::string> lines = SplitLines(text);
  for (const std::string& line : lines) CheckRecord(line);
  CheckOrderedSearch(std::move(lines));
  return 0;
}
