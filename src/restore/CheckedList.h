// A day's list read as outside input. A store may have been written by
// another machine, copied from elsewhere or damaged on its disk: before a
// restore writes anything, or a check compares anything, each line must be
// a whole record whose numbers are numbers of their kind, whose path is
// absolute and names one place only (no "." or "..", no control byte) inside
// a folder of the day's set, and whose stored name stays inside a day
// folder. A line that is not is an unreadable line: named and counted, never
// restored. So is every record of a path that the list names twice with
// different contents, since nothing says which one is right, and a last line
// that lacks its line end, since the list was cut there.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/DaySet.h"
#include "engine/FileRecord.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "restore/RecordedContent.h"

namespace varnoket {

// One record of a list, checked, with its values.
struct ListEntry : FileRecord {
  size_t line = 0;  // its line in the list, from 1 (0: not read from a list)

  RecordedContent Content() const { return RecordedContent{size, checksum}; }
};

enum class LineFault {
  kNone,
  kCut,             // fewer than seven fields, or no line end after the last line
  kBadNumber,       // a size, checksum, attribute word or date that is no number of its kind
  kBadLastField,    // a seventh field other than 0 or 1
  kBadPath,         // not absolute, an empty, "." or ".." name, or a control byte
  kBadStoredName,   // a stored name that would leave the day folder
  kOutsideSet,      // a path outside every folder the day's run walked
  kTwiceDifferent,  // a path the list names twice with different contents
};

// What a person is told about a fault (French; marked for the catalogue).
const char* LineFaultText(LineFault fault);

struct LineCheck {
  LineFault fault = LineFault::kNone;
  ListEntry entry;  // the values, when fault is kNone
};

// Checks one line (without its line end) against `rules` and `set`.
LineCheck CheckListLine(std::string_view line, const PathRules& rules, const DaySet& set);

// A line of the list that gives nothing to restore.
struct UnreadableLine {
  std::string text;  // the line as read, control bytes shown (ShownText)
  std::string path;  // its path field when it has one, for choosing by path
  LineFault fault = LineFault::kCut;
  size_t line = 0;  // its line in the list, from 1
};

struct CheckedList {
  std::vector<ListEntry> entries;          // the sound records, in list order
  std::vector<UnreadableLine> unreadable;  // in list order too
};

// Reads and checks a whole list. nullopt when the file cannot be read.
// Empty lines are no records and are passed over.
std::optional<CheckedList> ReadCheckedList(FileSystem& fs, const std::string& path,
                                           const PathRules& rules, const DaySet& set);

}  // namespace varnoket
