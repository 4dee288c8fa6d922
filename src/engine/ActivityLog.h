// The activity log of the latest backup run (LASTBACKUP.LOG in the station
// folder): a header line, then one "date-time;message" line per step, CR LF
// line ends. Writing it must never disturb the run, so every failure is
// swallowed and the line is lost.
#pragma once

#include <string>

#include "platform/Clock.h"
#include "platform/FileSystem.h"

namespace varnoket {

inline constexpr const char* kLogHeader = "DATE;MESSAGE";

// Appends `line` and CR LF to the text file `path`. When the file is missing,
// or `recreate` is set, it is first created empty and given `header` as its
// first line (unless `header` is empty). The file is opened and closed within
// the call. Never throws; a folder that does not exist leaves no file.
void AppendLine(FileSystem& fs, const std::string& path, const std::string& line,
                const std::string& header, bool recreate);

// "dd/mm/yyyy hh:nn:ss"; exactly midnight (00:00:00.000) gives the date alone.
std::string DateTimeText(const LocalDateTime& t);

// Appends "<date-time of now>;<message>" to the log `path`, starting the file
// with kLogHeader when it does not exist yet. Never throws.
void LogActivity(FileSystem& fs, const std::string& path, const std::string& message,
                 const Clock& clock);

// The text of a file up to its first NUL byte; "" when it cannot be read.
std::string ReadWholeFile(FileSystem& fs, const std::string& path);

}  // namespace varnoket
