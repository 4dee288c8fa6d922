#include "engine/BackupRun.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <set>

#include "engine/CopyStep.h"
#include "engine/DamagedCopies.h"
#include "engine/DayFolders.h"
#include "engine/DayList.h"
#include "engine/DaySet.h"
#include "engine/FileRecord.h"
#include "engine/ResumeCopies.h"
#include "engine/RotatingCheck.h"
#include "engine/RunCommands.h"
#include "engine/Scheduler.h"
#include "engine/SourceScan.h"
#include "engine/SpaceCheck.h"
#include "engine/StationCleanup.h"
#include "engine/StationLock.h"
#include "engine/StationReadLock.h"
#include "engine/StoreCheck.h"
#include "platform/DosDate.h"
#include "platform/IniFile.h"
#include "platform/MessageText.h"
#include "platform/TextLines.h"
#include "platform/Translation.h"
#include "settings/StoreMarker.h"

namespace varnoket {

namespace {

// A backup day later than today means the clock went back; writing into an
// earlier folder would change what those later days restore. Returns the
// newest backup day when it is later than today, so that the user is told
// how far the clock is behind; "" otherwise.
std::string LaterDay(BackupContext& ctx, const Day& today) {
  std::vector<std::string> keys;
  ListDayFolders(ctx.fs, ctx.rules, ctx.Layout().StationFolder(), keys);
  const auto newest = std::max_element(keys.begin(), keys.end());
  if (newest == keys.end() || *newest <= DayKey(DayFolderName(today))) return {};
  return DayTextOfKey(*newest);
}

// How many of the files stored again for a missing or damaged copy have
// their new copy in the day folder now that the copies are in place (a copy
// refused by its check, or a file that could not be read, has none).
// Before the day's list is sorted: the positions still hold.
size_t RecopiedFilesStored(BackupContext& ctx, const std::string& dayFolder) {
  size_t stored = 0;
  const StoreLayout layout = ctx.Layout();
  for (const uint32_t position : ctx.recopiedFiles) {
    const FileRecord& rec = ctx.currentFileList[position];
    if (!rec.fullPath.empty() && !rec.IsDirectory() &&
        ctx.fs.IsFile(layout.StoredFilePath(dayFolder, rec.storedName))) {
      ++stored;
    }
  }
  return stored;
}

// The list of damaged copies keeps only the days that are still backup
// days. It is rewritten only while no reader holds the station: a check
// records what it finds there as it goes, and the rewrite would lose it.
void PruneDamagedCopiesList(BackupContext& ctx) {
  const StoreLayout layout = ctx.Layout();
  if (!ctx.fs.Exists(ctx.rules.Join(layout.StationFolder(), kDamagedCopiesName))) return;
  std::unique_ptr<FileLock> noReader;
  if (LockStationForDeletion(ctx.fs, layout, noReader) != LockStatus::kAcquired) return;
  PruneDamagedCopies(ctx.fs, layout, SortedDayFolders(ctx.fs, ctx.rules, layout.StationFolder()));
}

// The scan, and the runs that end with it: nothing changed, or a later day
// exists. Nothing when the copy must follow.
std::optional<BackupOutcome> ScanSteps(BackupContext& ctx, const Day& today, ScanDetails& details) {
  ctx.Log("Préparation de la sauvegarde ...");
  if (!ScanSources(ctx, details)) {
    ctx.Log("La préparation de la sauvegarde a échoué. Sauvegarde interrompue.");
    return BackupOutcome::kFailed;
  }
  if (ctx.changedFiles.empty() &&
      SameDayList(ctx.currentFileList, ctx.carriedLines, ctx.previousFileList)) {
    ctx.station.lastBackupDate = today;
    ResumeCopies(ctx.fs, ctx.Layout()).Clear();  // what a stopped run kept is of no use now
    ctx.Log("Aucune modification n'a été détectée.");
    return BackupOutcome::kNoChange;
  }
  if (const std::string later = LaterDay(ctx, today); !later.empty()) {
    ctx.ReportError(FillText(VK_TR_NOOP("Messages",
                                        "ERREUR: une sauvegarde plus récente que la "
                                        "date du jour existe (%s). Vérifiez la date de "
                                        "ce poste. Sauvegarde interrompue."),
                             {later}));
    return BackupOutcome::kFailed;
  }
  return std::nullopt;
}

// The merge of the oldest days, the space check and the day's folder before
// the copy; nothing when the copy may start.
std::optional<BackupOutcome> PrepareCopy(BackupContext& ctx, const ScanDetails& details,
                                         const std::string& dayFolder) {
  ConsolidateDayFolders(ctx);
  ctx.Pump();  // a merge stopped by the end of the program ends the run here
  // After the merge, which may have freed room: the copy starts only when
  // the changes fit.
  if (const std::string noSpace = NoSpaceText(ctx, BytesToStore(ctx, details)); !noSpace.empty()) {
    ctx.refusal = noSpace;
    ctx.ReportError(noSpace);
    return BackupOutcome::kNoSpace;
  }
  ctx.host.SetTrayHint(VK_TR_NOOP("Messages", "Sauvegarde en cours..."));
  ctx.Log("Début de la sauvegarde ...");
  if (!ctx.fs.CreateDirectories(dayFolder)) {
    const std::string text = FillText(
        VK_TR_NOOP("Messages", "Impossible de créer le répertoire de sauvegarde du jour (%s)"),
        {dayFolder});
    ctx.Log(text);
    ctx.dialogs.Error(text);
    return BackupOutcome::kFailed;
  }
  return std::nullopt;
}

// The copies in place, then the day's set and its list. Returns how many
// of the files stored again for a lost copy have their copy now; nothing
// when the day could not be written, `failure` then saying what failed.
std::optional<size_t> SaveDay(BackupContext& ctx, CopyStep& copy, ScanDetails& details,
                              const std::string& dayFolder, FsStatus& failure) {
  failure = copy.Commit();
  if (!failure) return std::nullopt;
  const size_t recopied = RecopiedFilesStored(ctx, dayFolder);
  details = ScanDetails();  // not needed any more: room for the list's text
  DropTakenOut(ctx.currentFileList);
  // The set first: a day folder whose list is there always has it.
  failure = WriteDaySet(ctx.fs, ctx.Layout(), dayFolder, ctx.station.backupDirectories,
                        ctx.listedFileSystems);
  if (failure) {
    failure = ctx.fs.WriteFileAtomic(ctx.Layout().FileListPath(dayFolder),
                                     DayListText(ctx.currentFileList, ctx.carriedLines));
  }
  if (!failure) return std::nullopt;
  copy.Finished();
  return recopied;
}

// The day's date, and the lines that close a saved day; false when the date
// could not be recorded.
bool RecordSavedDay(BackupContext& ctx, const Day& today, const CopyStep& copy, size_t recopied) {
  try {
    ctx.station.lastBackupDate = today;
    WriteLastBackup(ctx.station, today);
    if (recopied > 0) {
      ctx.Log("Copies absentes ou endommagées stockées à nouveau : " + std::to_string(recopied) +
              " fichier(s).");
    }
    char totals[512];
    std::snprintf(totals, sizeof totals,
                  "Sauvegarde terminée sur le poste %s Total Bytes=%" PRId64
                  " Total Fichiers distincts=%" PRId32 " (hors répertoires vides)",
                  ctx.stationName.c_str(), copy.bytes(), copy.files());
    ctx.Log(totals);
    ctx.Log("Vérification : " + std::to_string(copy.checked()) +
            " copie(s) relue(s) et décodée(s) sans erreur" +
            (copy.badCopies() > 0
                 ? ", " + std::to_string(copy.badCopies()) + " copie(s) refusée(s)."
                 : "."));
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

BackupOutcome RunSteps(BackupContext& ctx, const Day& today, const std::string& dayFolder) {
  ScanDetails details;
  if (const auto ended = ScanSteps(ctx, today, details)) return *ended;
  if (const auto refused = PrepareCopy(ctx, details, dayFolder)) return *refused;

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

  // A disk pulled out during the copy leaves its mount point, a folder of
  // the system disk, where the day's list must not be written.
  if (!ReadStoreMarker(ctx.fs, ctx.backupRoot)) {
    copy.Discard();
    ctx.refusal = FillText(
        "Le disque de sauvegarde (%s) a été retiré pendant la sauvegarde. Sauvegarde interrompue.",
        {ctx.backupRoot});
    ctx.ReportError(ctx.refusal);
    return BackupOutcome::kFailed;
  }
  FsStatus failure;
  const std::optional<size_t> recopied = SaveDay(ctx, copy, details, dayFolder, failure);
  if (!recopied) {
    copy.Discard();
    // What the disk refused, and why: a full disk, a disk that turned
    // read-only, a permission taken away.
    ctx.ReportError(FillText(VK_TR_NOOP("Messages",
                                        "ERREUR: impossible d'écrire (%s) sur le disque de "
                                        "sauvegarde : %s. La sauvegarde du jour n'est pas "
                                        "enregistrée."),
                             {failure.path(), failure.Reason()}));
    return BackupOutcome::kFailed;
  }
  if (!RecordSavedDay(ctx, today, copy, *recopied)) {
    ctx.ReportError(
        FillText(VK_TR_NOOP("Messages",
                            "Impossible de créer le fichier (%s) ou de mettre à jour le fichier "
                            "INI !\r\nVérifiez l'espace disque disponible sur le disque de "
                            "sauvegarde !"),
                 {ctx.Layout().FileListPath(dayFolder)}));
    return BackupOutcome::kFailed;
  }
  PruneDamagedCopiesList(ctx);
  return BackupOutcome::kCompleted;
}

// The id the program recorded for its store; "" when none is.
std::string RecordedStoreId(BackupContext& ctx) {
  if (ctx.storeId) return *ctx.storeId;
  if (ctx.programSettingsPath.empty()) return {};
  return ReadKey(IniFile(ctx.fs, ctx.programSettingsPath), kStoreIdKey);
}

void RecordStoreId(BackupContext& ctx, const std::string& recorded, const std::string& id) {
  if (ctx.storeId || ctx.programSettingsPath.empty() || id == recorded) return;
  try {
    IniFile program(ctx.fs, ctx.programSettingsPath);
    WriteKey(program, kStoreIdKey, id);
  } catch (const IniError&) {
    // Not recorded: the next run finds the same marker and tries again.
  }
}

// The outcome of a run whose store is not there or cannot be read; nothing
// when the run may go on.
std::optional<BackupOutcome> RefusedStore(BackupContext& ctx, const StoreCheck& store) {
  if (store.state == StoreState::kAbsent || store.state == StoreState::kOtherDisk) {
    ctx.refusal = store.message;
    ctx.host.Logged(store.message);
    ctx.host.SetTrayHint(store.message);
    ctx.host.EnableTimer();
    return BackupOutcome::kStoreAbsent;
  }
  if (store.state == StoreState::kUnreadable) {
    ctx.refusal = store.message;
    ctx.host.Logged(store.message);
    ctx.host.ShowErrorWindow(store.message);
    return BackupOutcome::kFailed;
  }
  return std::nullopt;
}

// The outcome of a run that could not become the station's only writer;
// nothing when it is.
std::optional<BackupOutcome> RefusedLock(BackupContext& ctx, const StationLock& lock) {
  switch (lock.status) {
    case StationLockStatus::kAcquired:
      return std::nullopt;
    case StationLockStatus::kBusy:
      // Not an error: the caller says so and tries again later. One line
      // in the log, in a single write that never mixes with the holder's.
      ctx.refusal = lock.message;
      ctx.Log(lock.message);
      return BackupOutcome::kBusy;
    case StationLockStatus::kForeignStation:
    case StationLockStatus::kFailed:
      break;
  }
  ctx.refusal = lock.message;
  ctx.host.ShowErrorWindow(lock.message);
  return lock.status == StationLockStatus::kFailed ? BackupOutcome::kFailed
                                                   : BackupOutcome::kForeignStation;
}

// Once the run holds the station: the tray and the windows, a new log, and
// what a run that stopped left behind.
void OpenRun(BackupContext& ctx, const StationLock& lock, bool marking, const LocalDateTime& now) {
  const StoreLayout layout = ctx.Layout();
  ctx.host.SetTrayImage(1);
  ctx.host.SetMenuItemsEnabled(false, false);
  ctx.host.SetTrayHint(VK_TR_NOOP("Messages", "Préparation de sauvegarde en cours..."));
  ctx.fs.DeleteFile(layout.LogPath());
  ctx.host.DisableWindows();
  if (!lock.message.empty()) ctx.Log(lock.message);
  if (marking) {
    ctx.Log(FillText("Le dossier de sauvegarde (%s) porte désormais son marqueur (%s).",
                     {layout.root(), kStoreMarkerName}));
  }
  if (!lock.previousRunEnded) {
    const CleanupCounts removed = RemoveLeftovers(ctx.fs, layout, DayFolderName(DayOf(now)));
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
}

// The before-command, the day's steps and the old copies' slice; a run
// stopped or cancelled on the way says so.
BackupOutcome RunHoldingStation(BackupContext& ctx, const Day& today) {
  BackupOutcome outcome = BackupOutcome::kFailed;
  try {
    if (RunBeforeCommand(ctx)) outcome = RunSteps(ctx, today, ctx.Layout().DayFolder(today));
    // After the day is saved, still under the station lock: the old copies'
    // slice for this run.
    if (outcome == BackupOutcome::kCompleted || outcome == BackupOutcome::kNoChange) {
      CheckOldCopiesSlice(ctx, today, RotationLimits{ctx.rotationDays});
    }
  } catch (const RunStopped&) {
    if (ctx.host.CancelRequested()) {
      ctx.Log(kCancelledLine);
      outcome = BackupOutcome::kCancelled;
    } else {
      ctx.Log(kStoppedLine);
      outcome = BackupOutcome::kStopped;
    }
  } catch (const std::exception& e) {
    ctx.ReportError(FillText(VK_TR_NOOP("Messages", "ERREUR: %s"), {e.what()}));
  }
  return outcome;
}

// The windows given back, what was left out, the after-command and the
// last line; the run's final outcome.
BackupOutcome CloseRun(BackupContext& ctx, BackupOutcome outcome, StationLock& lock) {
  ctx.host.RestoreWindows();
  if (ctx.leftOut.Any()) ctx.Log(LeftOutSummary(ctx.leftOut, ctx.station.maxFileMegabytes));
  const bool completed =
      outcome == BackupOutcome::kCompleted || outcome == BackupOutcome::kNoChange;
  // A day saved with entries missing is the day's backup, but not "done":
  // its own last line, and its own outcome, say what was left out.
  if (completed && ctx.leftOut.Problems() > 0) {
    ctx.Log(CompletedWithLeftOutLine(ctx.leftOut));
    outcome = BackupOutcome::kCompletedWithLeftOut;
  }
  // After every run that got this far, whatever its outcome, the before-
  // command's failure included: it is what starts a stopped service again.
  ctx.afterCommandFailed = !RunAfterCommand(ctx, outcome);
  ctx.Log("Fin de la sauvegarde !");
  if (completed) lock.MarkEnded();
  ctx.host.SetTrayImage(0);
  ctx.host.SetMenuItemsEnabled(ctx.masterStation, true);
  ctx.host.SetTrayHint(VK_TR_NOOP("Messages", "Varnoket"));
  return outcome;
}

}  // namespace

BackupOutcome RunBackup(BackupContext& ctx) {
  ctx.refusal.clear();
  if (ctx.backupRoot.empty() || ctx.stationName.empty()) return BackupOutcome::kNotStarted;
  const StoreLayout layout = ctx.Layout();
  // An unplugged disk leaves its empty mount point on the system disk:
  // nothing is written below a root that does not prove it is the store, not
  // even the log.
  const std::string recordedId = RecordedStoreId(ctx);
  StoreCheck store = CheckStore(ctx.fs, layout, recordedId);
  if (const auto refused = RefusedStore(ctx, store)) return *refused;
  if (ctx.station.backupDirectories.empty()) {
    ctx.host.EnableTimer();
    return BackupOutcome::kNoDirectories;
  }
  const LocalDateTime now = ctx.clock.Now();
  // Nothing of the station is touched, its log included, before this run
  // is the station's only writer.
  StationLock lock = LockStation(ctx.fs, layout, ctx.machine, now, ctx.storeOnNetwork);
  if (const auto refused = RefusedLock(ctx, lock)) return *refused;

  // A store made before markers is marked under the station lock, so two
  // runs that find it at once agree on one id.
  const bool marking = store.state == StoreState::kUnmarked;
  if (marking) store = CheckAndMarkStore(ctx.fs, layout, recordedId);
  if (store.state != StoreState::kPresent) {
    ctx.refusal = FillText(VK_TR_NOOP("Messages",
                                      "Impossible de créer le fichier (%s) ! Vérifiez l'espace "
                                      "disque disponible sur le disque "
                                      "de sauvegarde !"),
                           {StoreMarkerPath(layout.root())});
    ctx.host.ShowErrorWindow(ctx.refusal);
    return BackupOutcome::kFailed;
  }
  RecordStoreId(ctx, recordedId, store.id);

  OpenRun(ctx, lock, marking, now);
  ctx.leftOut = LeftOutCounts();
  ctx.afterCommandFailed = false;
  ctx.beforeCommandFailed = false;
  const BackupOutcome outcome = RunHoldingStation(ctx, DayOf(now));
  return CloseRun(ctx, outcome, lock);
}

}  // namespace varnoket
