#include "engine/ActivityLog.h"

#include <cstdio>
#include <cstring>

namespace varnoket {

// The log never keeps a handle open between calls, so another program can
// always read or move it.
void AppendLine(FileSystem& fs, const std::string& path, const std::string& line,
                const std::string& header, bool recreate) {
  try {
    if (recreate || !fs.Exists(path)) {
      const std::string first = header.empty() ? std::string() : header + "\r\n";
      if (!fs.AppendToFile(path, first, true)) return;
    }
    // One write call per line, so a line is not interleaved with another
    // writer's on an append-mode file.
    fs.AppendToFile(path, line + "\r\n", false);
  } catch (...) {
    // Even running out of memory must not reach the backup run from here.
  }
}

std::string DateTimeText(const LocalDateTime& t) {
  char text[48];
  if (t.hour == 0 && t.minute == 0 && t.second == 0 && t.millisecond == 0) {
    std::snprintf(text, sizeof text, "%.2d/%.2d/%.4d", t.day, t.month, t.year);
  } else {
    std::snprintf(text, sizeof text, "%.2d/%.2d/%.4d %.2d:%.2d:%.2d", t.day, t.month, t.year,
                  t.hour, t.minute, t.second);
  }
  return text;
}

void LogActivity(FileSystem& fs, const std::string& path, const std::string& message,
                 const Clock& clock) {
  try {
    const std::string line = DateTimeText(clock.Now()) + ";" + message;
    if (fs.Exists(path)) {
      AppendLine(fs, path, line, "", false);
    } else {
      AppendLine(fs, path, line, kLogHeader, true);
    }
  } catch (...) {
    // A clock or allocation failure loses the line, nothing more.
  }
}

std::string ReadWholeFile(FileSystem& fs, const std::string& path) {
  try {
    const auto text = fs.ReadFile(path);
    if (!text) return "";
    const size_t nul = text->find('\0');
    return nul == std::string::npos ? *text : text->substr(0, nul);
  } catch (...) {
    return "";
  }
}

}  // namespace varnoket
