// A profile (INI) file: "[SECTION]" lines and "KEY=VALUE" lines, CR LF line
// ends. Sections and keys are matched without regard to case. Every write
// reaches the disk at once: the whole file goes to a temporary file in the same
// folder, is flushed and renamed over the old one.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"

namespace varnoket {

class IniError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class IniFile {
 public:
  IniFile(FileSystem& fs, std::string path);

  const std::string& path() const { return path_; }
  // Reads the file again from the disk. False when it cannot be read; the
  // file then behaves as an empty one.
  bool Reload();

  // The value of the first line of `section` whose key is `key`, the text
  // after the first "=" as written; nullopt when absent.
  std::optional<std::string> ReadString(const std::string& section, const std::string& key) const;
  // The value read as a whole number; `fallback` when absent or not a number.
  int ReadInteger(const std::string& section, const std::string& key, int fallback) const;
  // Every key line of `section` in file order, as the text "key=value" with
  // the blanks around the key left out. Lines without "=" are left out.
  std::vector<std::string> SectionLines(const std::string& section) const;
  bool HasSection(const std::string& section) const;

  // Sets a key (replacing the first line of that key, or appending the key at
  // the end of its section, or appending the section at the end of the file)
  // and writes the file. Throws IniError with the system's reason on failure;
  // the file on disk is then unchanged.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  // Removes a whole section and writes the file; throws IniError on failure.
  void EraseSection(const std::string& section);
  // Removes a whole section and writes it again at the end of the file with
  // these keys, in one write, so a crash never leaves the section half
  // written. No keys: the section is removed. Throws IniError on failure.
  void ReplaceSection(const std::string& section,
                      const std::vector<std::pair<std::string, std::string>>& keys);

  // The file's lines as they stand in memory.
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  void Save();
  // Writes `lines` as the file; they become lines_ only once on disk.
  void SaveLines(std::vector<std::string> lines);

  FileSystem& fs_;
  std::string path_;
  std::vector<std::string> lines_;
};

}  // namespace varnoket
