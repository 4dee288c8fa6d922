#include "engine/ActivityLog.h"

#include "platform/UniqueFd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace varnoket {

namespace {

// The log never keeps a handle open between calls, so another program can
// always read or move it.
bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

void AppendLine(const std::string& path, const std::string& line, const std::string& header,
                bool recreate) {
  try {
    if (recreate || !FileExists(path)) {
      UniqueFd created(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
      if (!created.ok()) return;
      const std::string first = header + "\r\n";
      if (!header.empty() && !WriteAll(created.get(), first.data(), first.size())) return;
      if (!created.Close()) return;
    }
    UniqueFd appended(::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
    if (!appended.ok()) return;
    // One write call per line, so a line is not interleaved with another
    // writer's on an append-mode file.
    const std::string text = line + "\r\n";
    WriteAll(appended.get(), text.data(), text.size());
    appended.Close();
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

void LogActivity(const std::string& path, const std::string& message, const Clock& clock) {
  try {
    const std::string line = DateTimeText(clock.Now()) + ";" + message;
    if (FileExists(path)) {
      AppendLine(path, line, "", false);
    } else {
      AppendLine(path, line, kLogHeader, true);
    }
  } catch (...) {
    // A clock or allocation failure loses the line, nothing more.
  }
}

std::string ReadWholeFile(const std::string& path) {
  try {
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.ok()) return "";
    std::string text;
    char chunk[16384];
    while (true) {
      const ssize_t n = ::read(file.get(), chunk, sizeof chunk);
      if (n < 0) {
        if (errno == EINTR) continue;
        return "";
      }
      if (n == 0) break;
      const auto* nul = static_cast<const char*>(std::memchr(chunk, '\0', static_cast<size_t>(n)));
      if (nul != nullptr) {
        text.append(chunk, static_cast<size_t>(nul - chunk));
        break;
      }
      text.append(chunk, static_cast<size_t>(n));
    }
    return text;
  } catch (...) {
    return "";
  }
}

}  // namespace varnoket
