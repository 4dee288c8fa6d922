// What the log viewer shows of a station's activity log: where the log lies,
// the refusals when it cannot be shown, and the grid rows made of its lines
// (date in the first column, message in the second). No widgets here, so the
// rules are tested without a screen.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Translation.h"

namespace varnoket {

inline constexpr const char* kConfigureRootFirstText =
    VK_TR_NOOP("Messages", "Veuillez d'abord configurer le répertoire de sauvegarde !");
inline constexpr const char* kNoLogYetText =
    VK_TR_NOOP("Messages", "Aucun fichier n'a encore été créé sur ce poste !");
// "%s" is the log's path.
inline constexpr const char* kCannotReadLogText =
    VK_TR_NOOP("Messages", "Impossible de lire le fichier log (%s)");

// A log line shorter than this (in characters) is never a row: it cannot hold
// a date and its separator.
inline constexpr size_t kShortestRowLine = 11;

struct LogRow {
  std::string date;
  std::string message;
  friend bool operator==(const LogRow&, const LogRow&) = default;
};

struct LogRows {
  // Data rows the grid gets: the file's lines less its header line. Lines that
  // make no row (a message's continuation line) leave rows at the bottom
  // unfilled, so rowCount may exceed filled.size().
  size_t rowCount = 0;
  // The rows to write, from the first data row down.
  std::vector<LogRow> filled;
};

// The grid rows of a log's text. The first line is the file's own header and
// is skipped; a later line makes a row when it is longer than 10 characters
// and holds ";": its first ";"-separated piece is the date, the second the
// message, and anything after a further ";" is not shown.
LogRows LogRowsFromText(std::string_view text);

// A row's date as the viewer shows it: the log's "dd/mm/yyyy hh:nn:ss" (or
// the date alone, at exactly midnight) in the installed short form of the
// locale (platform/ShownFormat.h); a date of another shape as it is.
std::string ShownLogDate(const std::string& logDate);

// Where the log is looked for: the store's root and the station's name,
// either of which may not be set yet, and the log's path, which the store's
// layout gives (<backupRoot>/<stationName>/LASTBACKUP.LOG) once both are.
struct LogPlace {
  std::string backupRoot;
  std::string stationName;
  std::string path;
};

enum class LogLoadOutcome {
  kNoStation,     // no station name: the viewer does nothing
  kNoBackupRoot,  // message kConfigureRootFirstText
  kNoFile,        // message kNoLogYetText
  kUnreadable,    // error box kCannotReadLogText with the path
  kLoaded,
};

struct LogLoad {
  LogLoadOutcome outcome = LogLoadOutcome::kNoStation;
  std::string path;     // the log's path once the root and station are known
  std::string refusal;  // the text shown to the user; empty for kNoStation and kLoaded
  LogRows rows;         // for Loaded only
};

// Runs the viewer's checks in their order and, when they pass, reads the log
// and makes its rows. The file is only read, never written.
LogLoad LoadLogRows(FileSystem& fs, const LogPlace& place);

}  // namespace varnoket
