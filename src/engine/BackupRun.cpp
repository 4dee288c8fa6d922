#include "engine/BackupRun.h"

#include <sys/stat.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <set>

#include "engine/BZip2.h"
#include "engine/ContentDigest.h"
#include "engine/DayFolders.h"
#include "engine/FileRecord.h"
#include "engine/Scheduler.h"
#include "engine/SourceScan.h"
#include "engine/StationCleanup.h"
#include "engine/StationLock.h"
#include "platform/DosDate.h"
#include "platform/IniFile.h"
#include "platform/MessageText.h"

namespace varnoket {

namespace {

// Passes a source file's bytes to the compressor and keeps the digest of
// exactly the bytes that were compressed.
class DigestingStream final : public Stream {
 public:
  explicit DigestingStream(Stream& inner)
      : inner_(inner), digest_(std::make_unique<DigestBuilder>(true)) {}
  size_t Read(void* buffer, size_t count) override {
    size_t got = 0;
    try {
      got = inner_.Read(buffer, count);
    } catch (const StreamError&) {
      sourceFailed_ = true;
      throw;
    }
    // The compressor asks for exactly what is left: less means the file
    // was cut short meanwhile.
    if (got < count) sourceFailed_ = true;
    digest_->Update(buffer, got);
    return got;
  }
  size_t Write(const void*, size_t) override { throw StreamError("Invalid stream operation"); }
  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    const int64_t pos = inner_.Seek(offset, origin);
    if (pos == 0) digest_ = std::make_unique<DigestBuilder>(true);  // a read from the start
    return pos;
  }
  ContentDigest Finish() { return digest_->Finish(); }
  // The source, not the copy, stopped the compression.
  bool sourceFailed() const { return sourceFailed_; }

 private:
  Stream& inner_;
  std::unique_ptr<DigestBuilder> digest_;
  bool sourceFailed_ = false;
};

// A failure the user must know of: in the log and in the error window.
void ReportError(const BackupContext& ctx, const std::string& text) {
  ctx.Log(text);
  ctx.host.ShowErrorWindow(text);
}

// The copy step of one run: the queue of records to store (ctx.changedFiles,
// which grows when a file must get a copy of its own), the stored files
// written so far under temporary names, and the repairs that keep the day's
// list true when a file cannot be stored or changed since the scan.
class CopyStep {
 public:
  CopyStep(BackupContext& ctx, const ScanDetails& details, std::string dayFolder)
      : ctx_(ctx),
        queue_(ctx.changedFiles),
        details_(details),
        dayFolder_(std::move(dayFolder)),
        layout_(ctx.Layout()) {}

  // Stored files left in a day folder by a run whose file list is not the
  // one compared with (a stopped run, or a list removed to start again)
  // would shadow older copies: every record whose name is there is stored
  // again.
  void RequeueStaleNames() {
    if (!ctx_.fs.IsDirectory(dayFolder_) || ctx_.previousListFolder == dayFolder_) return;
    QueuedNames();
    auto& list = ctx_.currentFileList;
    for (uint32_t j = 0; j < list.size(); ++j) {
      const auto rec = ViewFileRecord(list[j]);
      if (!rec || rec->IsDirectory() || queuedNames_.count(std::string(rec->storedName)) != 0) {
        continue;
      }
      if (!ctx_.fs.Exists(layout_.StoredFilePath(dayFolder_, std::string(rec->storedName)))) {
        continue;
      }
      staleNames_.emplace(rec->storedName);
      queuedNames_.emplace(rec->storedName);
      queue_.push_back(j);
    }
    std::sort(queue_.begin(), queue_.end());  // positions in a sorted list: ordinal order
  }

  // Stores every queued record. False when a write failed and the run stops.
  bool Run() {
    for (size_t i = 0; i < queue_.size(); ++i) {
      char hint[96];
      std::snprintf(hint, sizeof hint, "Sauvegarde en cours Fichier %zu sur %zu", i + 1,
                    queue_.size());
      ctx_.host.SetTrayHint(hint);
      ctx_.Pump();
      const auto rec = ParseFileRecord(ctx_.currentFileList[queue_[i]]);
      if (!rec || rec->IsDirectory()) continue;
      if (!StoreOne(*rec, i)) return false;
    }
    return true;
  }

  // Puts every stored file under its own name, then flushes them to the disk.
  bool Commit() {
    // The day's old list, if any, must not describe the folder while its
    // files are being replaced.
    const std::string list = layout_.FileListPath(dayFolder_);
    if (ctx_.fs.Exists(list) && !ctx_.fs.DeleteFile(list)) return false;
    for (; renamed_ < written_.size(); ++renamed_) {
      const std::string target = TargetOf(written_[renamed_]);
      if (!ctx_.fs.Rename(TempPath(target, written_[renamed_]), target)) return false;
    }
    return ctx_.fs.SyncFileSystem(dayFolder_);
  }

  // Removes the temporary files of a run that stopped.
  void Discard() {
    for (size_t i = renamed_; i < written_.size(); ++i) {
      ctx_.fs.DeleteFile(TempPath(TargetOf(written_[i]), written_[i]));
    }
    written_.clear();
    renamed_ = 0;
  }

  int64_t bytes() const { return bytes_; }
  int32_t files() const { return files_; }

 private:
  // Where the stored file of queue entry `index` goes.
  std::string TargetOf(size_t index) const {
    const auto rec = ViewFileRecord(ctx_.currentFileList[queue_[index]]);
    return layout_.StoredFilePath(dayFolder_, std::string(rec->storedName));
  }

  // Named after this process, so that two writers never share a name and
  // the next run knows a dead run's leftovers for what they are.
  std::string TempPath(const std::string& target, size_t index) const {
    return ctx_.rules.ParentWithSeparator(target) + PartialCopyName(ctx_.machine.pid, index);
  }

  bool StoreOne(const FileRecord& rec, size_t index) {
    const std::string target = layout_.StoredFilePath(dayFolder_, rec.storedName);
    std::unique_ptr<FileStream> source;
    try {
      source = ctx_.fs.OpenRead(rec.fullPath);
    } catch (const StreamError&) {
    }
    if (!source) {
      SkipUnreadable(rec);
      return true;
    }
    bytes_ += source->Size();
    ++files_;

    const std::string temp = TempPath(target, index);
    size_t limit = ctx_.rules.ExceededLengthLimit(target);
    if (limit == 0) limit = ctx_.rules.ExceededLengthLimit(temp);
    if (limit != 0) {
      char text[64];
      std::snprintf(text, sizeof text, "%zu", limit);
      ctx_.Log(std::string("ATTENTION: Le chemin du fichier compressé dépasse ") + text +
               " caractères (" + target + "). Fichier non sauvegardé !");
      NotStored(rec);
      return true;
    }

    DigestingStream digesting(*source);
    try {
      if (!ctx_.fs.CreateDirectories(ctx_.rules.ParentWithSeparator(target))) {
        throw StreamError("mkdir");
      }
      if (ctx_.fs.Exists(temp)) ctx_.fs.ClearAttributes(temp);
      auto out = ctx_.fs.Create(temp);
      CompressFile(digesting, *out, [this] { ctx_.Pump(); });
      // The copy is as readable as its source and no more.
      if (const auto from = ctx_.fs.StatStream(*source)) {
        ctx_.fs.SetStreamPermissions(*out, 0600 | (from->attributes & 0044));
      }
      out->Close();
    } catch (const RunStopped&) {
      ctx_.fs.DeleteFile(temp);
      throw;
    } catch (const std::exception&) {
      ctx_.fs.DeleteFile(temp);
      if (digesting.sourceFailed()) {
        // A file that fails while it is read is skipped as one that cannot
        // be opened: the store is fine and the other files still go.
        SkipUnreadable(rec);
        return true;
      }
      ReportError(ctx_, FillText("ERREUR: impossible d'écrire le fichier compressé (%s). Vérifiez "
                                 "l'espace disque disponible ou les droits en écriture !",
                                 {target}));
      return false;
    }
    written_.push_back(index);

    const ContentDigest stored = digesting.Finish();
    const ScannedFile* scanned = details_.Find(rec.fullPath);
    const bool same = scanned != nullptr && scanned->digest.size == stored.size &&
                      scanned->digest.checksum == stored.checksum &&
                      (!scanned->digest.hasHash || scanned->digest.hash == stored.hash);
    if (!same) ChangedSinceScan(rec, stored, *source);
    return true;
  }

  void SkipUnreadable(const FileRecord& rec) {
    ctx_.Log("ERREUR: impossible de lire le fichier (" + rec.fullPath +
             ") une autre application utilise exclusivement ce fichier ou y écris en ce moment");
    NotStored(rec);
  }

  // The file changed between the scan and its copy: its record now describes
  // what was stored, and the files that shared its name get their own.
  void ChangedSinceScan(const FileRecord& rec, const ContentDigest& stored, FileStream& source) {
    uint32_t attributes = 0;
    int32_t date = 0;
    if (const auto now = ctx_.fs.StatStream(source)) {
      attributes = now->attributes;
      date = now->dosDate;
    }
    const std::string updated = FormatFileRecord(stored.size, stored.checksum, rec.storedName,
                                                 rec.fullPath, attributes, date);
    ReplaceRecord(rec.fullPath, updated);
    GiveOwnNamesToSharers(rec);
  }

  // The content could not be stored today: the file keeps its previous
  // record when that record's copy stays valid, else it leaves today's list.
  void NotStored(const FileRecord& rec) {
    QueuedNames().erase(rec.storedName);
    GiveOwnNamesToSharers(rec);
    std::string replacement;
    if (auto prev = PreviousRecord(rec.fullPath)) {
      const bool nameFree =
          queuedNames_.count(prev->storedName) == 0 && staleNames_.count(prev->storedName) == 0;
      const std::string ownerPath = ctx_.rules.PathOfStoredName(prev->storedName);
      const bool ownerAbsent = ownerPath.empty() || details_.Find(ownerPath) == nullptr;
      if (nameFree && (ownerAbsent || ownerPath == rec.fullPath)) replacement = prev->Format();
    }
    ReplaceRecord(rec.fullPath, replacement);
  }

  void GiveOwnNamesToSharers(const FileRecord& rec) {
    auto& list = ctx_.currentFileList;
    for (uint32_t j = 0; j < list.size(); ++j) {
      const auto view = ViewFileRecord(list[j]);
      if (!view || view->storedName != rec.storedName || view->fullPath == rec.fullPath) continue;
      auto other = ParseFileRecord(list[j]);
      other->storedName = ctx_.rules.StoredName(other->fullPath);
      list[j] = other->Format();
      if (QueuedNames().insert(other->storedName).second) queue_.push_back(j);
    }
  }

  // An empty replacement takes the record out of the day's list; the entry
  // stays, empty, so that queued positions keep their meaning.
  void ReplaceRecord(const std::string& path, const std::string& replacement) {
    for (std::string& line : ctx_.currentFileList) {
      const auto r = ViewFileRecord(line);
      if (!r || r->IsDirectory() || r->fullPath != path) continue;
      line = replacement;
      return;
    }
  }

  std::optional<FileRecord> PreviousRecord(const std::string& path) const {
    for (const std::string& line : ctx_.previousFileList) {
      const auto r = ViewFileRecord(line);
      if (r && !r->IsDirectory() && r->fullPath == path &&
          ctx_.rules.IsSafeStoredName(r->storedName)) {
        return ParseFileRecord(line);
      }
    }
    return std::nullopt;
  }

  // The names stored today, gathered when first needed: the common run
  // never needs them.
  std::set<std::string>& QueuedNames() {
    if (!namesGathered_) {
      namesGathered_ = true;
      for (uint32_t j : queue_) {
        if (const auto v = ViewFileRecord(ctx_.currentFileList[j]))
          queuedNames_.emplace(v->storedName);
      }
    }
    return queuedNames_;
  }

  BackupContext& ctx_;
  std::vector<uint32_t>& queue_;  // positions in ctx.currentFileList
  const ScanDetails& details_;
  std::string dayFolder_;
  StoreLayout layout_;
  bool namesGathered_ = false;
  std::set<std::string> queuedNames_;
  std::set<std::string> staleNames_;  // names a stopped run left in the day folder
  std::vector<size_t> written_;       // queue entries stored under their temporary names
  size_t renamed_ = 0;                // how many of them are in place
  int64_t bytes_ = 0;
  int32_t files_ = 0;
};

// A backup day later than today means the clock went back; writing into an
// earlier folder would change what those later days restore.
std::string LaterDay(BackupContext& ctx, const Day& today) {
  std::vector<std::string> keys;
  ListDayFolders(ctx.fs, ctx.rules, ctx.Layout().StationFolder(), keys);
  const std::string todayKey = DayKey(DayFolderName(today));
  for (const auto& k : keys) {
    if (k > todayKey) return DayTextOfKey(k);
  }
  return {};
}

BackupOutcome RunSteps(BackupContext& ctx, const Day& today, const std::string& dayFolder) {
  ctx.Log("Préparation de la sauvegarde ...");
  ScanDetails details;
  if (!ScanSources(ctx, details)) {
    ctx.Log("La préparation de la sauvegarde à échoué. Sauvegarde interrompue.");
    return BackupOutcome::kFailed;
  }
  if (ctx.changedFiles.empty() && ctx.currentFileList == ctx.previousFileList) {
    ctx.station.lastBackupDate = DayText(today);
    ctx.Log("Aucune modification n'a été détectée.");
    return BackupOutcome::kNoChange;
  }
  if (const std::string later = LaterDay(ctx, today); !later.empty()) {
    ReportError(ctx, "ERREUR: une sauvegarde plus récente que la date du jour existe (" + later +
                         "). Vérifiez la date de ce poste. Sauvegarde interrompue.");
    return BackupOutcome::kFailed;
  }

  ConsolidateDayFolders(ctx);
  ctx.Pump();  // a merge stopped by the end of the program ends the run here
  ctx.host.SetTrayHint("Sauvegarde en cours...");
  ctx.Log("Début de la sauvegarde ...");
  if (!ctx.fs.CreateDirectories(dayFolder)) {
    const std::string text =
        FillText("Impossible de créer le répertoire de sauvegarde du jour (%s)", {dayFolder});
    ctx.Log(text);
    ctx.dialogs.Error(text);
    return BackupOutcome::kFailed;
  }

  CopyStep copy(ctx, details, dayFolder);
  copy.RequeueStaleNames();
  bool copied = false;
  try {
    copied = copy.Run();
  } catch (const RunStopped&) {
    copy.Discard();
    throw;
  }
  if (!copied) {
    copy.Discard();
    return BackupOutcome::kFailed;
  }

  const std::string listPath = ctx.Layout().FileListPath(dayFolder);
  bool saved = copy.Commit();
  if (saved) {
    details = ScanDetails();  // not needed any more: room for the list's text
    auto& list = ctx.currentFileList;
    list.erase(std::remove(list.begin(), list.end(), std::string()), list.end());
    SortOrdinal(list);
    saved = ctx.fs.WriteFileAtomic(listPath, JoinLines(list));
  }
  if (saved) {
    try {
      ctx.station.lastBackupDate = DayText(today);
      WriteLastBackup(ctx.station, ctx.station.lastBackupDate);
      char totals[512];
      std::snprintf(totals, sizeof totals,
                    "Sauvegarde terminée sur le poste %s Total Bytes=%" PRId64
                    " Total Fichiers distincts=%" PRId32
                    " (hors transferts FTP et répertoires vides)",
                    ctx.stationName.c_str(), copy.bytes(), copy.files());
      ctx.Log(totals);
    } catch (const std::exception&) {
      saved = false;
    }
  } else {
    copy.Discard();
  }
  if (!saved) {
    ReportError(ctx, FillText("Impossible de créer le fichier (%s) ou de mettre à jour le fichier "
                              "INI !\r\nVérifiez l'espace disque disponible sur le disque de "
                              "sauvegarde !",
                              {listPath}));
    return BackupOutcome::kFailed;
  }
  return BackupOutcome::kCompleted;
}

}  // namespace

BackupOutcome RunBackup(BackupContext& ctx) {
  ctx.refusal.clear();
  if (ctx.backupRoot.empty() || ctx.stationName.empty()) return BackupOutcome::kNotStarted;
  if (ctx.station.backupDirectories.empty()) {
    ctx.host.EnableTimer();
    return BackupOutcome::kNoDirectories;
  }
  const LocalDateTime now = ctx.clock.Now();
  const Day today{now.day, now.month, now.year};
  const StoreLayout layout = ctx.Layout();
  // Nothing of the station is touched, its log included, before this run
  // is the station's only writer.
  StationLock lock = LockStation(ctx.fs, layout, ctx.machine, now);
  switch (lock.status) {
    case StationLockStatus::kAcquired:
      break;
    case StationLockStatus::kBusy:
      // Not an error: the caller says so and tries again later.
      ctx.refusal = lock.message;
      return BackupOutcome::kBusy;
    case StationLockStatus::kForeignStation:
    case StationLockStatus::kFailed:
      ctx.refusal = lock.message;
      ctx.host.ShowErrorWindow(lock.message);
      return lock.status == StationLockStatus::kFailed ? BackupOutcome::kFailed
                                                       : BackupOutcome::kForeignStation;
  }

  ctx.host.SetTrayImage(1);
  ctx.host.SetMenuItemsEnabled(false, false);
  ctx.host.SetTrayHint("Préparation de sauvegarde en cours...");
  ctx.fs.DeleteFile(layout.LogPath());
  ctx.host.DisableWindows();
  if (!lock.message.empty()) ctx.Log(lock.message);
  if (!lock.previousRunEnded) {
    const CleanupCounts removed = RemoveLeftovers(ctx.fs, layout, DayFolderName(today));
    if (removed.temporaries + removed.folders > 0) {
      ctx.Log("Nettoyage d'une sauvegarde interrompue : " + std::to_string(removed.temporaries) +
              " fichier(s) temporaire(s) et " + std::to_string(removed.folders) +
              " dossier(s) sans liste de fichiers supprimés.");
    }
  }
  if (ctx.redoToday) {
    ctx.redoToday = false;
    RemoveTodayFileList(ctx.fs, layout, now);
  }

  BackupOutcome outcome = BackupOutcome::kFailed;
  try {
    outcome = RunSteps(ctx, today, layout.DayFolder(today));
  } catch (const RunStopped&) {
    ctx.Log("Sauvegarde interrompue : le programme se termine.");
    outcome = BackupOutcome::kStopped;
  } catch (const std::exception& e) {
    ReportError(ctx, std::string("ERREUR: ") + e.what());
  }

  ctx.host.RestoreWindows();
  ctx.Log("Fin de la sauvegarde !");
  if (outcome == BackupOutcome::kCompleted || outcome == BackupOutcome::kNoChange) {
    lock.MarkEnded();
  }
  ctx.host.SetTrayImage(0);
  ctx.host.SetMenuItemsEnabled(ctx.masterStation, true);
  ctx.host.SetTrayHint("Quendralith Backup");
  return outcome;
}

}  // namespace varnoket
