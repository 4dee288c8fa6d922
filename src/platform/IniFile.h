// A profile (INI) file: "[SECTION]" lines and "KEY=VALUE" lines, CR LF line
// ends. Sections and keys are matched without regard to case.
//
// Other processes (the command-line program, a hand edit) may change the file
// while this one runs, so a write never puts back what was read at start:
// under an exclusive lock on "<file>.lock" (beside the file, never removed)
// it reads the file again, changes only its own key or section in what it
// read and writes the whole file to a temporary file in the same folder,
// flushed and renamed over the old one.
//
// A file that is not settings text (it holds a NUL byte or a control byte
// no text editor writes) is never overwritten: it is renamed to
// "<file>.unreadable-<yyyymmdd-hhmmss>" (with "-2", "-3"... when that name is
// taken) and the file reads as empty; keptAsideAs() names the copy so the
// caller can tell the user. Any other byte is accepted, including text in a
// one-byte character set, and an empty file is a file without keys.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
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
  // Reads the file again from the disk. False when it cannot be read or is
  // not settings text (then kept aside when it can be); the file then
  // behaves as an empty one.
  bool Reload();
  // The name the last unreadable contents were kept aside under, by the load
  // or by a write; "" when none was.
  const std::string& keptAsideAs() const { return keptAsideAs_; }

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
  // in the file as it is on disk now, and writes it. Throws IniError with the
  // system's reason on failure (the lock, the read or the write); the file on
  // disk is then unchanged. After a write, lines() is what the disk holds.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  // Removes a whole section and writes it again at the end of the file with
  // these keys, in one write, so a crash never leaves the section half
  // written. No keys: the section is removed. Throws IniError on failure.
  void ReplaceSection(const std::string& section,
                      const std::vector<std::pair<std::string, std::string>>& keys);

  // The file's lines as they stand in memory.
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  // Under the lock: reads the file, lets `change` edit its lines (false:
  // nothing to write) and writes them.
  void Update(const std::function<bool(std::vector<std::string>&)>& change);
  // The exclusive lock of the read-modify-write; nullptr on a file system
  // without locks (the write then goes on unlocked). Throws IniError.
  std::unique_ptr<FileLock> Lock();
  // The lines on disk now (none for a missing file). Unreadable contents are
  // kept aside and `lines_` stands for them. Throws IniError.
  std::vector<std::string> LinesOnDisk();
  // Renames the file out of the way; throws IniError when it cannot.
  void KeepAside();
  // Writes `lines` as the file; they become lines_ only once on disk.
  void SaveLines(std::vector<std::string> lines);

  FileSystem& fs_;
  std::string path_;
  std::vector<std::string> lines_;
  std::string keptAsideAs_;
};

// True for contents a settings file may hold: no NUL byte and no control
// byte other than tab, line feed, vertical tab, form feed, carriage return
// and the old end-of-text mark (Ctrl-Z).
bool IsSettingsText(std::string_view text);

}  // namespace varnoket
