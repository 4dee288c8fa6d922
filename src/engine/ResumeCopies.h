// The stored copies of a run that did not complete, kept for the next run.
//
// A first backup can take hours, and a laptop is shut down every evening: a
// run that threw its copies away when it stopped would never complete. So a
// run writes its copies into the station's resume folder, and notes each
// whole copy (after it is flushed to the disk) in the folder's journal with
// the source record it holds; once the copy is read back and decoded, it
// notes it again as checked. The next run adopts every noted copy whose
// source record is unchanged instead of compressing the file again (a copy
// a kill caught before its check is checked first), and removes the rest.
// Day lists only ever name copies renamed out of this folder into a day
// folder, so nothing here can reach a restore.
//
// A large file's copy is noted on the way too, once some of its blocks are
// on the disk and were read back and decoded: how far into the source it
// went, how many bytes of the copy hold those blocks (and their weighted
// sum), the state of the stream between two blocks, and the checksum share
// of the input they decoded to. The next run, if the source is as it was
// (size and change times) and those bytes still have their sum, carries on
// writing the same copy from there; only its new blocks are checked.
//
//   <station>/.vk-resume/journal.txt   per line, "copy-N<TAB>bytes<TAB>record"
//       for a checked copy, "flushed<TAB>copy-N<TAB>bytes<TAB>record" for
//       one that is whole on the disk and still to check, or "part<TAB>
//       copy-N<TAB>source offset<TAB>copy bytes<TAB>CRC<TAB>waiting bits<TAB>
//       their count<TAB>source size<TAB>modified ns<TAB>changed ns<TAB>
//       decoded sum<TAB>copy bytes' sum<TAB>line sum<TAB>path"; the line
//       sum is the weighted sum of the line without it, so a note that
//       changed on the disk is not taken
//   <station>/.vk-resume/copy-N        one bzip2 stream, as in a day folder
//                                      (its beginning, for a part)
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/BZip2Blocks.h"
#include "engine/FileRecord.h"
#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"

namespace varnoket {

inline constexpr const char* kResumeFolderName = ".vk-resume";
inline constexpr const char* kResumeJournalName = "journal.txt";

// How far a large file's copy went.
struct PartNote {
  std::string copy;           // its path
  uint64_t sourceOffset = 0;  // source bytes in the copy, up to a block's end
  uint64_t copyBytes = 0;     // the copy's bytes that hold them
  BZip2StreamJoiner::State stream;
  uint32_t decodedSum = 0;  // the weighted checksum of the source bytes they decode to
  uint32_t storedSum = 0;   // the weighted sum of those bytes of the copy
  // The source as it was read: it must be the same to carry on.
  uint64_t sourceSize = 0;
  int64_t modifiedNs = 0;
  int64_t changedNs = 0;
  std::string path;
};

// A noted copy a run may take instead of compressing its file again.
struct NotedCopy {
  std::string path;
  bool checked = false;  // read back and decoded before it was noted
};

class ResumeCopies {
 public:
  ResumeCopies(FileSystem& fs, const StoreLayout& layout);

  // Reads the journal a stopped run left. Lines cut short by a crash, and
  // notes whose copy is gone, are ignored.
  void Load();
  // Whole copies and parts the journal notes.
  size_t noted() const { return noted_.size() + parts_.size(); }

  // The noted copy of exactly this source content (path, size, checksum,
  // date; `bytes` is its whole size), if any. A copy is adopted once.
  std::optional<NotedCopy> Adopt(const FileRecord& record, int64_t bytes);
  // The outcome of the check an adopted copy still needed: a sound copy is
  // noted as checked, another is no longer adopted and goes with the rest.
  void Settle(const std::string& path, bool sound);
  // The part of the copy of the file at `path` (of `size` bytes) a stopped
  // run made, if any: kept for this run to carry on from.
  std::optional<PartNote> KeepPart(const std::string& path, uint64_t size);
  // Keeps only the adopted copies and the kept parts: the journal is
  // written again with their notes alone and every other file of the folder
  // is removed.
  void DropTheRest();

  // Where the next new copy is written.
  std::string NewCopyPath();
  // Notes a copy that is on the disk and was read back whole; the note is
  // kept until WriteNotes().
  void Note(const std::string& copyPath, const std::string& recordLine, int64_t bytes);
  // Notes a whole copy that is flushed to the disk but not yet checked: a
  // run killed before its check leaves the check to the next run, not the
  // compression.
  void NoteFlushed(const std::string& copyPath, const std::string& recordLine, int64_t bytes);
  // Appends the notes kept since the last call to the journal (the caller
  // flushes the disk). False when the disk refused: those copies stay,
  // unnoted, until the next run removes them.
  bool WriteNotes();
  // Notes how far a copy went (kept until WriteNotes(), as Note()); the
  // caller has flushed the copy's bytes to the disk first.
  void NotePart(const PartNote& part);
  std::string Folder() const;

  // The day's list is written: every copy went into the day folder, and
  // nothing is left to resume.
  void Clear();

  size_t adopted() const { return adopted_; }

 private:
  struct Noted {
    std::string copy;  // file name in the folder
    int64_t bytes = 0;
    FileRecord record;
    bool checked = true;
    bool adopted = false;
  };

  std::string JournalPath() const;
  // Takes a "part" line; false when it is no sound one.
  bool LoadPart(const std::string& line);
  // A whole copy's note ("copy-N<TAB>bytes<TAB>record"), if it is a sound one
  // and its copy is there.
  std::optional<Noted> LoadNote(std::string_view line);
  static std::string PartLine(const PartNote& part);
  static std::string NoteLine(const std::string& copy, int64_t bytes, const std::string& record);

  FileSystem& fs_;
  const StoreLayout& layout_;
  std::multimap<std::string, Noted> noted_;  // by the source's full path
  std::map<std::string, Noted*> byPath_;     // the same, by the copy's path
  std::map<std::string, PartNote> parts_;    // by copy name, the last note of each
  std::vector<PartNote> keptParts_;
  std::string pending_;  // notes not yet in the journal
  uint64_t nextNumber_ = 1;
  size_t adopted_ = 0;
  bool folderReady_ = false;
};

}  // namespace varnoket
