#include "ui/LogRows.h"

#include "platform/MessageText.h"
#include "platform/ShownFormat.h"
#include "platform/TextLines.h"

namespace varnoket {

namespace {

// Characters, not bytes: an accented letter of a message is one character.
size_t CharacterCount(std::string_view utf8) {
  size_t count = 0;
  for (const char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

// The number `text` holds at [at, at + digits), or -1.
int NumberAt(const std::string& text, size_t at, size_t digits) {
  int value = 0;
  for (size_t i = at; i < at + digits; ++i) {
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

}  // namespace

std::string ShownLogDate(const std::string& logDate) {
  // dd/mm/yyyy, then " hh:nn:ss" unless the time is midnight.
  if ((logDate.size() != 10 && logDate.size() != 19) || logDate[2] != '/' || logDate[5] != '/')
    return logDate;
  LocalDateTime t;
  t.day = NumberAt(logDate, 0, 2);
  t.month = NumberAt(logDate, 3, 2);
  t.year = NumberAt(logDate, 6, 4);
  if (t.day < 1 || t.day > 31 || t.month < 1 || t.month > 12 || t.year < 0) return logDate;
  if (logDate.size() == 10) return ShownDate(t);
  if (logDate[10] != ' ' || logDate[13] != ':' || logDate[16] != ':') return logDate;
  t.hour = NumberAt(logDate, 11, 2);
  t.minute = NumberAt(logDate, 14, 2);
  t.second = NumberAt(logDate, 17, 2);
  if (t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 59)
    return logDate;
  return ShownDateTime(t);
}

LogRows LogRowsFromText(std::string_view text) {
  const std::vector<std::string> lines = SplitLines(text);
  LogRows rows;
  if (lines.empty()) return rows;
  rows.rowCount = lines.size() - 1;
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (CharacterCount(line) < kShortestRowLine) continue;
    const size_t first = line.find(';');
    if (first == std::string_view::npos) continue;
    const std::string_view rest = line.substr(first + 1);
    const size_t second = rest.find(';');
    rows.filled.push_back(
        LogRow{std::string(line.substr(0, first)), std::string(rest.substr(0, second))});
  }
  return rows;
}

LogLoad LoadLogRows(FileSystem& fs, const LogPlace& place) {
  LogLoad load;
  if (place.stationName.empty()) {
    load.outcome = LogLoadOutcome::kNoStation;
    return load;
  }
  if (place.backupRoot.empty()) {
    load.outcome = LogLoadOutcome::kNoBackupRoot;
    load.refusal = kConfigureRootFirstText;
    return load;
  }
  load.path = place.path;
  if (!fs.Exists(load.path)) {
    load.outcome = LogLoadOutcome::kNoFile;
    load.refusal = kNoLogYetText;
    return load;
  }
  const std::optional<std::string> text = fs.ReadFile(load.path);
  if (!text) {
    load.outcome = LogLoadOutcome::kUnreadable;
    load.refusal = FillText(kCannotReadLogText, {load.path});
    return load;
  }
  load.outcome = LogLoadOutcome::kLoaded;
  load.rows = LogRowsFromText(*text);
  return load;
}

}  // namespace varnoket
