// The scan that precedes every backup run: it walks the backup set, describes
// every file and empty directory as a file-list record, reads the previous
// file list and decides which files must be stored today and under which
// stored name.
//
// Stored names follow one rule above all: within one day's list, every record
// that carries a given stored name has the same content, confirmed by a
// SHA-256 of the bytes the checksum was computed from. The name made from a
// path belongs first to the file at that path.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/BackupContext.h"
#include "engine/ContentDigest.h"
#include "platform/FileSystem.h"

namespace varnoket {

// One file of the backup set as the scan read it.
struct ScannedFile {
  std::string path;
  uint32_t attributes = 0;
  int32_t fileDate = 0;
  ContentDigest digest;
  bool readable = false;
};

// What the scan knows beyond the three lists, for the copy that follows.
struct ScanDetails {
  // A deque grows without copying what it holds: no doubled peak of memory.
  std::deque<ScannedFile> files;  // sorted by path once the scan is over
  // The file read for `path`, or nullptr.
  const ScannedFile* Find(const std::string& path) const;
};

// Fills ctx.currentFileList, ctx.carriedLines, ctx.previousFileList and
// ctx.changedFiles.
// False when the run must stop (a missing backup directory has been shown to
// the user; an unreadable previous list has been logged).
bool ScanSources(BackupContext& ctx, ScanDetails& details);

// The record of a file or of an empty directory. `directory` is the parent
// path ending with its separator (for a directory record, the directory's
// own path with its separator). Asserts that `directory` is a path the file
// list can hold.
FileRecord BuildRecord(const PathRules& rules, const std::string& directory, const DirEntry& entry,
                       bool directoryRecord, uint32_t checksum, const std::string& storedName);

// Decides the stored names and the files to store, from the files read now
// and the previous list. `copyUsable` tells whether the copy that a stored
// name of the previous list stands for can still be restored; a file whose
// copy cannot is stored again even though it did not change. Without it
// every copy can. Exposed for tests; ScanSources calls it.
struct NamingResult {
  std::vector<FileRecord> records;  // file records, unsorted
  std::vector<uint32_t> queued;     // positions of the records stored today
  // Those of them that did not change: their copy was missing or damaged.
  std::vector<uint32_t> recopied;
};
NamingResult AssignStoredNames(
    const PathRules& rules, const std::deque<ScannedFile>& files,
    const std::vector<std::string>& previousList,
    const std::function<bool(std::string_view storedName)>& copyUsable = {});

}  // namespace varnoket
