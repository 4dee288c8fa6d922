// The copy step of a backup run: every queued record's source is read once,
// in queue order, cut into pieces that a pool of workers compresses, and the
// stored copies are written in that same order under temporary names in the
// station's resume folder (ResumeCopies), noted there as they are completed,
// and renamed into the day folder when the whole step succeeded.
//
// The step also keeps the day's list true when a file cannot be stored or
// changed since the scan: such a record keeps its previous copy, leaves the
// list, or describes what was stored, and the files that shared its stored
// name get their own.
#pragma once

#include <cstdint>
#include <deque>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/BZip2Blocks.h"
#include "engine/BackupContext.h"
#include "engine/BlockCheck.h"
#include "engine/ContentDigest.h"
#include "engine/CopyCheck.h"
#include "engine/FileRecord.h"
#include "engine/ResumeCopies.h"
#include "engine/RunProgress.h"
#include "engine/SourceScan.h"
#include "platform/WorkerPool.h"

namespace varnoket {

class PieceQueue;

class CopyStep {
 public:
  CopyStep(BackupContext& ctx, const ScanDetails& details, std::string dayFolder);
  ~CopyStep();

  // Stored files left in a day folder by a run whose file list is not the
  // one compared with (a stopped run, or a list removed to start again)
  // would shadow older copies: every record whose name is there is stored
  // again.
  void RequeueStaleNames();

  // Stores every queued record. False when a write failed and the run stops.
  // Throws RunStopped when the program ends meanwhile.
  //
  // New copies are checked as the run goes: each batch is flushed to the
  // disk, read back and decoded on the workers, a large copy block by block
  // as its blocks are written. A copy that gives its record's content is
  // noted for a later run to adopt; one that does not is logged, removed,
  // and its record not listed today (the file keeps its previous copy, or
  // is stored again by the next run).
  bool Run();
  // Puts every stored file under its own name, then flushes them to the
  // disk; the first operation that failed, with its reason.
  FsStatus Commit();
  // The run stops: partial copies are removed, whole ones noted for the next
  // run to adopt.
  void Discard();
  // The day's list is written: nothing is left to resume.
  void Finished();

  int64_t bytes() const { return bytes_; }
  int32_t files() const { return files_; }
  size_t adopted() const { return resume_.adopted(); }
  size_t checked() const { return checkedCount_; }
  size_t badCopies() const { return badCopies_; }

 private:
  // How much of a large source is compressed between two flushes of its
  // copy, after each of which the blocks written meanwhile are checked.
  static constexpr uint64_t kBlockGroup = uint64_t{8} << 20;
  // How far into a large source its copy goes, checked, before it is first
  // noted; then at twice that, and from kPartStep on whenever its checked
  // blocks went kPartStep further. That is half a flush group, so every
  // flush brings a note even when its checks are taken in two goes, and a
  // run stopped in a large file loses at most the blocks of about one flush
  // (a note is one journal line; the flush it follows is made anyway).
  static constexpr uint64_t kFirstPart = uint64_t{2} << 20;
  static constexpr uint64_t kPartStep = kBlockGroup / 2;

  enum class Outcome { kCopying, kAdopted, kUnreadable, kTooLong, kWriteFailed };

  // Where a copy stands after one of its blocks: what a part note says.
  struct BlockEnd {
    uint64_t source = 0;     // source bytes in the copy
    uint64_t copyBytes = 0;  // whole bytes of the copy written
    BZip2StreamJoiner::State stream;
    uint32_t storedSum = 0;  // their weighted sum
  };

  // One file from the moment its source is opened until its copy is closed.
  struct Copy {
    FileRecord record;
    std::string target;  // its place in the day folder
    std::string temp;    // where it is written, or the adopted copy
    Outcome outcome = Outcome::kCopying;
    size_t lengthLimit = 0;  // for kTooLong
    std::unique_ptr<FileStream> source;
    std::unique_ptr<FileStream> out;
    std::unique_ptr<DigestBuilder> digest;
    BlockCutter cutter;
    BZip2StreamJoiner joiner;
    std::string piece;  // input read since the last cut
    int64_t size = 0;   // the source's size when it was opened
    int64_t left = 0;   // bytes still to read
    bool firstPiece = true;
    // Where the source's queued pieces end, oldest first (source offsets).
    std::deque<uint64_t> pieceEnds;
    uint64_t base = 0;               // the source offset this run's reading began at
    uint64_t inCopy = 0;             // source bytes whose blocks are in the copy
    uint64_t copyBytes = 0;          // bytes written to the copy
    uint64_t nextPart = 0;           // inCopy at which to note how far the copy went
    int systemError = 0;             // why the source could not be read (kUnreadable)
    std::optional<DirEntry> opened;  // the source as it was when opened
    // A copy of several blocks: the checks of its blocks, handed to the
    // workers as they reach the disk, and the blocks written since the last
    // flush (their input bytes). A copy of one block is checked whole.
    std::shared_ptr<std::vector<PendingBlockCheck>> blocks;
    std::vector<WrittenBlock> unflushed;
    uint64_t unflushedBytes = 0;
    uint64_t flushedAt = 0;      // inCopy at the last flush
    std::vector<BlockEnd> ends;  // after each block of *blocks, then of unflushed
    size_t checked = 0;          // blocks of *blocks proven, from the first
    uint32_t checkedSum = 0;     // what they decoded to, prefix included
    bool blockFailed = false;    // one was not: no more notes
    WeightedSum storedSum;       // of the copy's bytes written so far
    CheckedPrefix prefix;        // what a stopped run proved
    uint64_t noted = 0;          // source bytes the last part note holds
  };

  void AdoptNotedCopies();
  // Adds the files queued since the last call to the progress's totals.
  void CountQueued();
  void ReportProgress() { ctx_.host.ShowProgress(progress_); }
  void StartFile(size_t index, PieceQueue& pieces);
  // Reads up to the next cut or the end of the source; false when the
  // source is done (whole, or failed).
  bool ReadPiece(size_t index, Copy& copy, PieceQueue& pieces);
  void WritePiece(Copy& copy, const CompressedPiece& piece, bool first, bool last);
  void AddWrittenBlock(Copy& copy, const WrittenBlock& block, const BlockEnd& end);
  // Flushes the copy to the disk and checks the blocks written meanwhile
  // whose bits are all there; `closing`: the copy ends here (the run
  // stops), and its last block's bits are written out to check it too.
  void FlushBlocks(Copy& copy, bool closing = false);
  // Hands a copy's check to the pool that checks copies; a large copy's
  // blocks are decoded on the workers when there are several.
  std::future<void> SubmitCopyCheck(const std::string& copy, const FileRecord& record,
                                    std::shared_ptr<CopyCheckResult> result);
  // The pool that checks whole copies: their own beside the compression,
  // or, with one worker, that worker between its compressions (one core,
  // as the person asked). A check there runs after every job handed in
  // before it, and never waits for one handed in after it.
  WorkerPool& CheckPool() { return checkPool_ ? *checkPool_ : *blockPool_; }
  // Hands the checks of `blocks` of the copy at `temp` to the workers.
  void SubmitBlockChecks(const std::string& temp, std::vector<WrittenBlock>& blocks,
                         std::vector<PendingBlockCheck>& checks);
  // The file's last entry came: closes its copy and keeps the list true.
  bool FinishFile(size_t index, Copy& copy);
  void CloseQuietly(Copy& copy);
  // Takes in the checks of the copy's blocks that are done (all of them,
  // waiting, with `wait`) and notes how far the proven blocks go, for a run
  // that stops to leave to the next one: when they reach the next note's
  // place, or with `wait`.
  void TakeBlockChecks(Copy& copy, bool wait);
  void NotePart(Copy& copy, const BlockEnd& end);
  // Carries on from the part of this file's copy that a stopped run left,
  // when the source is still what it read and the part's bytes still what
  // it wrote: writes on after them, and reads the source up to there for
  // its digest. False when it could not (the copy then starts afresh).
  bool ResumeFromPart(Copy& copy, const PartNote& part);
  // True when the source changed while it was read: the copy is dropped and
  // the file queued again, up to kReadAttempts reads, after which it keeps
  // its previous copy (or stays out of the list) with a warning.
  bool ReadAgainWhenTorn(size_t index, Copy& copy);

  void SkipUnreadable(const FileRecord& rec, int systemError);
  FileRecord ChangedSinceScan(const FileRecord& rec, const ContentDigest& stored,
                              FileStream& source);
  void NotStored(const FileRecord& rec);
  void GiveOwnNamesToSharers(const FileRecord& rec);
  void ReplaceRecord(const std::string& path, const FileRecord& replacement);
  std::optional<FileRecord> PreviousRecord(const std::string& path) const;
  std::set<std::string>& QueuedNames();

  BackupContext& ctx_;
  std::vector<uint32_t>& queue_;  // positions in ctx.currentFileList
  const ScanDetails& details_;
  std::string dayFolder_;
  StoreLayout layout_;
  ResumeCopies resume_;
  std::map<size_t, std::string> adoptedCopies_;  // queue entry -> noted copy
  std::map<size_t, PartNote> parts_;             // queue entry -> part to carry on from
  std::map<size_t, Copy> copies_;                // the files in flight
  bool namesGathered_ = false;
  std::set<std::string> queuedNames_;
  std::set<std::string> staleNames_;  // names a stopped run left in the day folder
  std::map<uint32_t, int> reads_;     // list position -> reads of a source that kept changing
  // Copies that are whole: their place in the day folder, where they are,
  // the record they hold, and how far the check went.
  struct Written {
    std::string target;
    std::string temp;
    FileRecord record;
    bool checked = false;
    bool refused = false;  // the check turned it down: removed, not listed
    int64_t bytes = 0;     // the source's size, for the note
    std::string noteLine;  // the record as the note gives it
    // A copy checked by blocks: its blocks' checks, its last blocks,
    // checked once the batch is flushed, and where the checks began.
    std::shared_ptr<std::vector<PendingBlockCheck>> blocks;
    std::vector<WrittenBlock> lastBlocks;
    CheckedPrefix prefix;
  };
  // A check running on the workers.
  struct Checking {
    size_t index;  // in written_
    std::shared_ptr<CopyCheckResult> result;
    std::future<void> done;
  };

  // Checks the copies closed since the last batch (after flushing them to
  // the disk), once the previous batch's checks are taken in.
  void CloseBatch(bool pump);
  // Waits for the checks under way and takes their results in order.
  void ConsumeChecks(bool pump);
  // Takes the results of the oldest checks that are done, without waiting;
  // true when it took any.
  bool TakeFinishedChecks();
  void TakeOldestCheck();

  std::vector<Written> written_;
  size_t renamed_ = 0;         // how many of them are in place
  size_t next_ = 0;            // the next queue entry to start
  std::vector<size_t> batch_;  // copies closed and not yet flushed
  int64_t batchBytes_ = 0;
  std::deque<Checking> checking_;
  // Compresses the pieces and decodes the blocks of large copies for their
  // checks, in the order they are handed in, so that the two never
  // compete for the cores; declared first so that it outlives the checks
  // that wait on it.
  std::unique_ptr<WorkerPool> blockPool_;
  std::unique_ptr<WorkerPool> checkPool_;  // decodes the copies read back; none with one worker
  size_t checkedCount_ = 0;
  size_t badCopies_ = 0;
  int64_t bytes_ = 0;
  int32_t files_ = 0;
  RunProgress progress_;
  size_t counted_ = 0;  // queue entries whose bytes progress_ counts
};

}  // namespace varnoket
