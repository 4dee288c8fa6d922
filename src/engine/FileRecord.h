// The file-list record: one line of seven fields separated by "|",
//   Size|Checksum|StoredName|FullPath|Attributes|FileDate|0
// with "*" as the stored name of an empty directory. A day's records, in
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

struct FileRecord {
  std::string size;        // low 32 bits of the size, as a signed number
  std::string checksum;    // unsigned 32-bit weighted sum
  std::string storedName;  // "*" for a directory record
  std::string fullPath;
  std::string attributes;
  std::string fileDate;  // packed DOS date, signed
  std::string last;      // "0" in every record this program writes

  bool IsDirectory() const { return storedName == kDirectoryStoredName; }
  // The "Size|Checksum|" key that finds records of equal content.
  std::string ContentKey() const { return size + "|" + checksum + "|"; }
  std::string Format() const;
};

// The seven fields of a record as views into its line, for the loops that
// look at every record of a list and must not copy them.
struct RecordView {
  std::string_view size, checksum, storedName, fullPath, attributes, fileDate, last;
  bool IsDirectory() const { return storedName == kDirectoryStoredName; }
};
// Same rules as ParseFileRecord.
std::optional<RecordView> ViewFileRecord(std::string_view line);

// Formats a file record from its values.
std::string FormatFileRecord(int64_t size, uint32_t checksum, std::string_view storedName,
                             std::string_view fullPath, uint32_t attributes, int32_t fileDate);
// Formats an empty directory's record.
std::string FormatDirectoryRecord(std::string_view fullPath, uint32_t attributes, int32_t fileDate);

// Cuts a record into its fields: nullopt for records of 10 characters or
// fewer or with fewer than seven fields (such lines are skipped wherever
// lists are compared). Fields after the seventh are ignored.
std::optional<FileRecord> ParseFileRecord(std::string_view line);

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
