#include "engine/CopyStep.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <future>

#include "engine/CopyCheck.h"
#include "engine/LeftOut.h"
#include "engine/PieceQueue.h"
#include "engine/SourceRead.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"
#include "platform/WorkerPool.h"

namespace varnoket {

namespace {

// What one read of a source asks for: small enough to keep the cut search
// and the digest in the processor's cache.
constexpr size_t kReadSize = 65536;

// New copies are flushed to the disk, read back and noted in batches of this
// much source or this many files: a crash loses at most about that much
// work, and the flushes cost little beside the compression.
constexpr int64_t kBatchBytes = int64_t{8} << 20;
constexpr size_t kBatchFiles = 1000;

}  // namespace

CopyStep::CopyStep(BackupContext& ctx, const ScanDetails& details, std::string dayFolder)
    : ctx_(ctx),
      queue_(ctx.changedFiles),
      details_(details),
      dayFolder_(std::move(dayFolder)),
      layout_(ctx.Layout()),
      resume_(ctx.fs, layout_) {}

CopyStep::~CopyStep() = default;

void CopyStep::RequeueStaleNames() {
  if (!ctx_.fs.IsDirectory(dayFolder_) || ctx_.previousListFolder == dayFolder_) return;
  QueuedNames();
  auto& list = ctx_.currentFileList;
  for (uint32_t j = 0; j < list.size(); ++j) {
    const FileRecord& rec = list[j];
    if (rec.fullPath.empty() || rec.IsDirectory() || queuedNames_.count(rec.storedName) != 0) {
      continue;
    }
    if (!ctx_.fs.Exists(layout_.StoredFilePath(dayFolder_, rec.storedName))) continue;
    staleNames_.emplace(rec.storedName);
    queuedNames_.emplace(rec.storedName);
    queue_.push_back(j);
  }
  std::sort(queue_.begin(), queue_.end());  // positions in a sorted list: ordinal order
}

void CopyStep::CountQueued() {
  for (; counted_ < queue_.size(); ++counted_) {
    const FileRecord& rec = ctx_.currentFileList[queue_[counted_]];
    if (rec.fullPath.empty() || rec.IsDirectory()) continue;
    ++progress_.filesTotal;
    const ScannedFile* scanned = details_.Find(rec.fullPath);
    if (scanned != nullptr) progress_.bytesTotal += static_cast<int64_t>(scanned->digest.size);
  }
}

bool CopyStep::Run() {
  blockPool_ = std::make_unique<WorkerPool>(ctx_.workers);
  if (blockPool_->size() > 1) checkPool_ = std::make_unique<WorkerPool>(ctx_.workers);
  AdoptNotedCopies();
  CountQueued();
  ReportProgress();
  PieceQueue pieces(*blockPool_, [this] { ctx_.Pump(); });
  constexpr size_t kNone = SIZE_MAX;
  size_t reading = kNone;  // the entry whose source is being read
  while (true) {
    if (pieces.HasRoom()) {
      if (reading != kNone) {
        if (!ReadPiece(reading, copies_.at(reading), pieces)) reading = kNone;
        continue;
      }
      if (next_ < queue_.size()) {
        StartFile(next_, pieces);
        if (copies_.count(next_) != 0 && copies_.at(next_).outcome == Outcome::kCopying) {
          reading = next_;
        }
        ++next_;
        continue;
      }
    }
    if (pieces.empty()) {
      if (reading != kNone || next_ < queue_.size()) continue;
      // Every copy is made: the last ones are checked, and a copy turned
      // down may have given files that shared its name copies of their own
      // to make.
      CloseBatch(true);
      ConsumeChecks(true);
      resume_.WriteNotes();
      if (next_ < queue_.size()) continue;
      progress_.currentFile.clear();
      progress_.bytesDone = std::max(progress_.bytesDone, progress_.bytesTotal);
      ReportProgress();
      break;
    }
    const PieceQueue::Entry entry = pieces.TakeOldest();
    Copy& copy = copies_.at(entry.file);
    if (entry.kind == PieceQueue::Kind::kPiece) {
      // A piece the library could not compress (no memory) makes a copy
      // that cannot be written, like one the disk refuses.
      if (entry.failed) copy.outcome = Outcome::kWriteFailed;
      if (copy.outcome == Outcome::kCopying)
        WritePiece(copy, *entry.piece, entry.first, entry.last);
      continue;
    }
    const bool ok = FinishFile(entry.file, copy);
    copies_.erase(entry.file);
    ++progress_.filesDone;
    ReportProgress();
    if (!ok) return false;
    if (batchBytes_ >= kBatchBytes || batch_.size() >= kBatchFiles) CloseBatch(true);
    // Copies checked meanwhile are noted at once: a large file's note must
    // not wait for the next batch, or a crash before it loses the file.
    if (TakeFinishedChecks()) resume_.WriteNotes();
  }
  if (badCopies_ > 0) {
    ctx_.host.ShowErrorWindow(FillText(kCopiesRefused, {std::to_string(badCopies_)}));
  }
  return true;
}

void CopyStep::StartFile(size_t index, PieceQueue& pieces) {
  ctx_.host.SetTrayHint(FillText(VK_TR_NOOP("Messages", "Sauvegarde en cours Fichier %s sur %s"),
                                 {std::to_string(index + 1), std::to_string(queue_.size())}));
  ctx_.Pump();
  const FileRecord rec = ctx_.currentFileList[queue_[index]];  // the list may change below
  if (rec.fullPath.empty() || rec.IsDirectory()) return;
  CountQueued();
  progress_.currentFile = rec.fullPath;
  ReportProgress();
  Copy& copy = copies_[index];
  copy.record = rec;
  copy.target = layout_.StoredFilePath(dayFolder_, rec.storedName);
  if (const auto adopted = adoptedCopies_.find(index); adopted != adoptedCopies_.end()) {
    copy.temp = adopted->second;
    copy.outcome = Outcome::kAdopted;
    if (const ScannedFile* scanned = details_.Find(rec.fullPath)) {
      progress_.bytesDone += static_cast<int64_t>(scanned->digest.size);
    }
    pieces.AddEnd(index);
    return;
  }
  try {
    copy.source = ctx_.fs.OpenRead(rec.fullPath);
    copy.opened = ctx_.fs.StatStream(*copy.source);
  } catch (const StreamError& e) {
    copy.systemError = e.systemError();
  }
  if (!copy.source) {
    copy.outcome = Outcome::kUnreadable;
    pieces.AddEnd(index);
    return;
  }
  copy.size = copy.source->Size();
  copy.left = copy.size;
  copy.lengthLimit = ctx_.rules.ExceededLengthLimit(copy.target);
  if (copy.lengthLimit != 0) {
    copy.outcome = Outcome::kTooLong;
    pieces.AddEnd(index);
    return;
  }
  if (!ctx_.fs.CreateDirectories(ctx_.rules.ParentWithSeparator(copy.target))) {
    copy.outcome = Outcome::kWriteFailed;
    pieces.AddEnd(index);
    return;
  }
  copy.temp = resume_.NewCopyPath();
  // The strong hash is compared only where the scan took one (files that
  // must be told apart for sure); elsewhere it would only cost time.
  const ScannedFile* scanned = details_.Find(rec.fullPath);
  const bool withHash = scanned == nullptr || scanned->digest.hasHash;
  copy.digest = std::make_unique<DigestBuilder>(withHash);
  copy.nextPart = kFirstPart;
  if (const auto part = parts_.find(index); part != parts_.end()) {
    if (!ResumeFromPart(copy, part->second)) {
      copy.source->Seek(0, SeekOrigin::kBegin);
      copy.digest->Reset(withHash);
    }
    parts_.erase(part);
  }
}

bool CopyStep::ReadPiece(size_t index, Copy& copy, PieceQueue& pieces) {
  ctx_.Pump();
  std::vector<uint64_t> cuts;
  char buffer[kReadSize];
  try {
    while (copy.left > 0) {
      const size_t want = static_cast<size_t>(std::min<int64_t>(copy.left, kReadSize));
      const size_t got = copy.source->Read(buffer, want);
      // Less than what is left means the file was cut short meanwhile.
      if (got == 0) throw StreamError("short read");
      copy.digest->Update(buffer, got);
      const uint64_t start = copy.cutter.fed();
      cuts.clear();
      copy.cutter.Feed(buffer, got, cuts);
      copy.left -= static_cast<int64_t>(got);
      progress_.bytesDone += static_cast<int64_t>(got);
      ReportProgress();
      size_t taken = 0;
      for (const uint64_t cut : cuts) {
        const size_t at = static_cast<size_t>(cut - start);
        copy.piece.append(buffer + taken, at - taken);
        taken = at;
        copy.pieceEnds.push_back(copy.base + cut);
        pieces.AddPiece(index, std::move(copy.piece), copy.firstPiece, false);
        copy.piece.clear();
        copy.firstPiece = false;
      }
      copy.piece.append(buffer + taken, got - taken);
      if (!cuts.empty()) return true;  // let the queue say whether there is room
    }
  } catch (const StreamError& e) {
    // A file that fails while it is read is skipped as one that cannot be
    // opened: the store is fine and the other files still go.
    copy.systemError = e.systemError();
    copy.outcome = Outcome::kUnreadable;
    copy.piece.clear();
    pieces.AddEnd(index);
    return false;
  }
  copy.pieceEnds.push_back(copy.base + copy.cutter.fed());
  pieces.AddPiece(index, std::move(copy.piece), copy.firstPiece, true);
  copy.piece.clear();
  pieces.AddEnd(index);
  return false;
}

void CopyStep::WritePiece(Copy& copy, const CompressedPiece& piece, bool first, bool last) {
  try {
    if (first) {
      if (ctx_.fs.Exists(copy.temp)) ctx_.fs.ClearAttributes(copy.temp);
      copy.out = ctx_.fs.Create(copy.temp);
    }
    if (first && last) {
      // A file of one block: the piece's stream is the stored file.
      copy.out->WriteBuffer(piece.stream.data(), piece.stream.size());
      return;
    }
    std::string bytes;
    if (first) {
      copy.joiner.Begin(bytes);
      copy.blocks = std::make_shared<std::vector<PendingBlockCheck>>();
    }
    // The copy's bits so far, whole bytes and those waiting.
    auto bitsOut = [&] {
      return (copy.copyBytes + bytes.size()) * 8 + copy.joiner.Saved().partialBits;
    };
    const uint64_t firstBit = bitsOut();
    copy.joiner.Add(piece, bytes);
    const uint64_t endBit = bitsOut();
    if (last) copy.joiner.Finish(bytes);
    copy.out->WriteBuffer(bytes.data(), bytes.size());
    copy.storedSum.Update(bytes.data(), bytes.size());
    copy.copyBytes += bytes.size();
    const uint64_t from = copy.inCopy;
    copy.inCopy = copy.pieceEnds.front();
    copy.pieceEnds.pop_front();
    if (endBit > firstBit) {
      AddWrittenBlock(copy, {firstBit, endBit, piece.blockCrc, from, copy.inCopy - from},
                      {copy.inCopy, copy.copyBytes, copy.joiner.Saved(), copy.storedSum.Value()});
    }
    if (last) return;
    TakeBlockChecks(copy, false);
    // Flushed, and so checked, every few MB, and when the next note is due.
    if (copy.unflushedBytes >= kBlockGroup ||
        (copy.inCopy >= copy.nextPart && copy.flushedAt < copy.nextPart)) {
      FlushBlocks(copy);
    }
  } catch (const std::exception&) {
    copy.outcome = Outcome::kWriteFailed;
  }
}

void CopyStep::CloseQuietly(Copy& copy) {
  if (copy.out) {
    try {
      copy.out->Close();
    } catch (const std::exception&) {
    }
    copy.out.reset();
  }
}

bool CopyStep::FinishFile(size_t index, Copy& copy) {
  const FileRecord& rec = copy.record;
  switch (copy.outcome) {
    case Outcome::kAdopted: {
      const ScannedFile* scanned = details_.Find(rec.fullPath);
      bytes_ += scanned != nullptr ? scanned->digest.size : 0;
      ++files_;
      // Checked before it was noted, or before this run adopted it.
      written_.push_back({copy.target, copy.temp, rec, true, false, 0, {}, nullptr, {}, {}});
      return true;
    }
    case Outcome::kUnreadable:
      if (copy.out) {
        CloseQuietly(copy);
        ctx_.fs.DeleteFile(copy.temp);
      }
      SkipUnreadable(rec, copy.systemError);
      return true;
    case Outcome::kTooLong: {
      bytes_ += copy.size;
      ++files_;
      ctx_.leftOut.Add(LeftOutCause::kNameTooLong);
      ctx_.Log(std::string("ATTENTION: Le chemin du fichier compressé dépasse ") +
               std::to_string(copy.lengthLimit) + " caractères (" + copy.target +
               "). Fichier non sauvegardé !");
      NotStored(rec);
      return true;
    }
    case Outcome::kCopying:
      if (ReadAgainWhenTorn(index, copy)) return true;
      bytes_ += copy.size;
      ++files_;
      try {
        // The copy is as readable as its source and no more.
        if (const auto from = ctx_.fs.StatStream(*copy.source)) {
          ctx_.fs.SetStreamPermissions(*copy.out, 0600 | (from->attributes & 0044));
        }
        copy.out->Close();
        copy.out.reset();
        break;
      } catch (const std::exception&) {
        copy.outcome = Outcome::kWriteFailed;
      }
      [[fallthrough]];
    case Outcome::kWriteFailed:
      CloseQuietly(copy);
      if (!copy.temp.empty()) ctx_.fs.DeleteFile(copy.temp);
      ctx_.ReportError(
          FillText(VK_TR_NOOP("Messages",
                              "ERREUR: impossible d'écrire le fichier compressé (%s). Vérifiez "
                              "l'espace disque disponible ou les droits en écriture !"),
                   {copy.target}));
      return false;
  }
  const ContentDigest stored = copy.digest->Finish();
  const ScannedFile* scanned = details_.Find(rec.fullPath);
  const bool same = scanned != nullptr && scanned->digest.size == stored.size &&
                    scanned->digest.checksum == stored.checksum &&
                    (!scanned->digest.hasHash || scanned->digest.hash == stored.hash);
  FileRecord record = same ? rec : ChangedSinceScan(rec, stored, *copy.source);
  std::string noteLine = record.Format();
  written_.push_back({copy.target, copy.temp, std::move(record), false, false, stored.size,
                      std::move(noteLine), std::move(copy.blocks), std::move(copy.unflushed),
                      copy.prefix});
  batch_.push_back(written_.size() - 1);
  batchBytes_ += stored.size;
  return true;
}

bool CopyStep::ReadAgainWhenTorn(size_t index, Copy& copy) {
  const auto now = ctx_.fs.StatStream(*copy.source);
  if (!copy.opened || !now || SameStamp(*copy.opened, *now)) return false;
  // Part old, part new: a state of the file that never was.
  const uint32_t position = queue_[index];
  if (++reads_[position] < kReadAttempts) {
    CloseQuietly(copy);
    ctx_.fs.DeleteFile(copy.temp);
    queue_.push_back(position);
    return true;
  }
  // Stored as read, it would restore bytes the file never held: it keeps
  // its previous copy, if it has one, until a run finds it still.
  CloseQuietly(copy);
  ctx_.fs.DeleteFile(copy.temp);
  ctx_.Log("ATTENTION: le fichier (" + ShownText(copy.record.fullPath) +
           ") a changé pendant chacune de ses " + std::to_string(kReadAttempts) +
           " lectures : il n'est pas sauvegardé (sa version précédente, s'il en a une, est "
           "gardée).");
  ctx_.leftOut.Add(LeftOutCause::kKeptChanging);
  NotStored(copy.record);
  return true;
}

FsStatus CopyStep::Commit() {
  // The day's old list, if any, must not describe the folder while its
  // files are being replaced.
  const std::string list = layout_.FileListPath(dayFolder_);
  if (ctx_.fs.Exists(list)) {
    if (FsStatus deleted = ctx_.fs.DeleteFile(list); !deleted) return deleted;
  }
  for (; renamed_ < written_.size(); ++renamed_) {
    const Written& w = written_[renamed_];
    if (w.refused) continue;
    if (FsStatus renamed = ctx_.fs.Rename(w.temp, w.target); !renamed) return renamed;
  }
  return ctx_.fs.SyncFileSystem(dayFolder_);
}

void CopyStep::Discard() {
  for (auto& [index, copy] : copies_) {
    if (copy.out) {
      // A large file's blocks already on the disk are checked, and those
      // proven stay for the next run.
      if (copy.outcome == Outcome::kCopying && copy.blocks && !copy.blockFailed) {
        try {
          FlushBlocks(copy, true);
        } catch (const std::exception&) {
        }
        TakeBlockChecks(copy, true);
      }
      CloseQuietly(copy);
      if (copy.noted == 0) ctx_.fs.DeleteFile(copy.temp);
    }
  }
  copies_.clear();
  if (!blockPool_) return;  // the run never started
  // The whole copies are checked and noted for the next run: a stop loses
  // none of them. Nothing here may pump: the program is ending.
  CloseBatch(false);
  ConsumeChecks(false);
  resume_.WriteNotes();
  ctx_.fs.SyncFileSystem(resume_.Folder());
}

void CopyStep::Finished() {
  resume_.Clear();
}

}  // namespace varnoket
