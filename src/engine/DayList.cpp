#include "engine/DayList.h"

#include <algorithm>

namespace varnoket {

void SortDayRecords(std::vector<FileRecord>& records) {
  std::sort(records.begin(), records.end(),
            [](const FileRecord& a, const FileRecord& b) { return CompareRecordLines(a, b) < 0; });
}

void DropTakenOut(std::vector<FileRecord>& records) {
  records.erase(std::remove_if(records.begin(), records.end(),
                               [](const FileRecord& r) { return r.fullPath.empty(); }),
                records.end());
  SortDayRecords(records);
}

void ForEachDayLine(const std::vector<FileRecord>& records, const std::vector<std::string>& carried,
                    const std::function<bool(std::string_view line)>& visit) {
  size_t c = 0;
  for (const FileRecord& record : records) {
    const std::string line = record.Format();
    for (; c < carried.size() && CompareOrdinal(carried[c], line) < 0; ++c) {
      if (!visit(carried[c])) return;
    }
    if (!visit(line)) return;
  }
  for (; c < carried.size(); ++c) {
    if (!visit(carried[c])) return;
  }
}

std::string DayListText(const std::vector<FileRecord>& records,
                        const std::vector<std::string>& carried) {
  size_t total = 0;
  for (const FileRecord& r : records) total += r.FormattedLength() + 2;
  for (const std::string& line : carried) total += line.size() + 2;
  std::string text;
  text.reserve(total);
  ForEachDayLine(records, carried, [&text](std::string_view line) {
    text += line;
    text += "\r\n";
    return true;
  });
  return text;
}

bool SameDayList(const std::vector<FileRecord>& records, const std::vector<std::string>& carried,
                 const std::vector<std::string>& lines) {
  if (records.size() + carried.size() != lines.size()) return false;
  size_t k = 0;
  bool same = true;
  ForEachDayLine(records, carried, [&](std::string_view line) {
    same = line == lines[k++];
    return same;
  });
  return same;
}

}  // namespace varnoket
