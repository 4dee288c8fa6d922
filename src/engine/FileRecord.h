// The file-list record: one line of seven fields separated by "|",
//   Size|Checksum|StoredName|FullPath|Attributes|FileDate|0
// with "*" as the stored name of an empty directory and "1" in the last
// field of a record not offered for restore. A day's records, in
// ordinal order, form its filelist.txt. Also the list helpers the engine and
// the restore share: cutting a record, ordinal order, search by key prefix.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnoket {

constexpr char kFieldSeparator = '|';
constexpr const char* kDirectoryStoredName = "*";

// A record's values. Lists are outside input: a line becomes a record only
// through ParseFileRecord. Lines are written by Format and by
// FormatFileRecord and FormatDirectoryRecord (a new record's line from its
// values), which share one writer.
struct FileRecord {
  int32_t size = 0;        // the low 32 bits of the size, signed, as lists keep them
  uint32_t checksum = 0;   // weighted sum of the content
  std::string storedName;  // "*" for a directory record
  std::string fullPath;
  int32_t attributes = 0;  // the attribute word's 32 bits (this program writes them unsigned)
  int32_t fileDate = 0;    // packed DOS date
  bool offered = true;     // the seventh field: "0" offered for restore, "1" not

  bool IsDirectory() const { return storedName == kDirectoryStoredName; }
  // Bytes as recorded: the low 32 bits of the size, unsigned.
  int64_t RecordedBytes() const { return static_cast<int64_t>(static_cast<uint32_t>(size)); }
  // Whether `other` records the same content (size and checksum).
  bool SameContent(const FileRecord& other) const {
    return size == other.size && checksum == other.checksum;
  }
  bool operator==(const FileRecord& other) const;
  bool operator!=(const FileRecord& other) const { return !(*this == other); }
  // The record's line, as every copy of the program writes it.
  std::string Format() const;
  // Format().size(), without making the line.
  size_t FormattedLength() const;
};

// The low 32 bits of a size, as the size field keeps them: a 3 GiB file
// shows a negative size, as every copy of the program writes it.
int32_t RecordedSize(int64_t size);

// Where a record's line stands in a list, for the loops that look at every
// record of a list only to find a path or a stored name and must not copy
// it: its stored name and path as views into the line. Any line of seven
// fields or more is cut; its numbers are read by ParseFileRecord alone.
struct RecordView {
  std::string_view storedName, fullPath;
  bool IsDirectory() const { return storedName == kDirectoryStoredName; }
};
std::optional<RecordView> ViewFileRecord(std::string_view line);
// The path field of a line that may be cut anywhere (the fourth field, up to
// the next "|" or the line's end), for naming a line that is no record; empty
// when the line does not reach it.
std::string_view PathFieldOf(std::string_view line);

// A new record from a file's values, offered for restore.
FileRecord FileRecordOf(int64_t size, uint32_t checksum, std::string_view storedName,
                        std::string_view fullPath, uint32_t attributes, int32_t fileDate);
// A new record of an empty directory.
FileRecord DirectoryRecordOf(std::string_view fullPath, uint32_t attributes, int32_t fileDate);
// Their lines.
std::string FormatFileRecord(int64_t size, uint32_t checksum, std::string_view storedName,
                             std::string_view fullPath, uint32_t attributes, int32_t fileDate);
std::string FormatDirectoryRecord(std::string_view fullPath, uint32_t attributes, int32_t fileDate);

// The ordinal order of the lines two records format to (CompareOrdinal of
// their Format()), without formatting them: a day's records are kept in the
// order its list is written in. Returns -1, 0 or 1.
int CompareRecordLines(const FileRecord& a, const FileRecord& b);

// Why a line is no record.
enum class RecordFault {
  kNone,
  kCut,          // 10 characters or fewer, or fewer than seven fields
  kBadNumber,    // a size, checksum, attribute word or date that is no number of its kind
  kBadLastField  // a seventh field other than "0" or "1"
};

// The one reader of a record line: its first seven fields, with the size,
// the date (signed 32 bits), the checksum (unsigned) and the attribute word
// (either reading of 32 bits) written as decimal numbers of their kind
// (ParseDecimal's rules), and a seventh field of "0" or "1". Fields after the
// seventh are ignored. nullopt otherwise, with the reason in `fault`.
std::optional<FileRecord> ParseFileRecord(std::string_view line, RecordFault* fault = nullptr);

// Appends the pieces of `text` cut at every `separator` to `pieces`:
// "a|b|" gives "a", "b" and "".
void SplitFields(std::string_view text, char separator, std::vector<std::string>& pieces);

// Byte-wise comparison as unsigned values; a shorter text before any text it
// begins. Returns -1, 0 or 1.
int CompareOrdinal(std::string_view a, std::string_view b);
void SortOrdinal(std::vector<std::string>& list);

// Bisection for a record that begins with `key` in an ordinally sorted list:
// the index of some such record, or -1.
int FindByPrefix(std::string_view key, const std::vector<std::string>& list);

class FileSystem;
// Reads a list file line by line (as platform/TextLines cuts it) without holding the
// whole text beside the lines; nullopt when it cannot be read.
std::optional<std::vector<std::string>> ReadListFile(FileSystem& fs, const std::string& path);

}  // namespace varnoket
