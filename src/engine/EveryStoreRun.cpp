#include "engine/EveryStoreRun.h"

#include <memory>

#include "engine/StoreChoice.h"
#include "platform/DriveInfo.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"
#include "settings/KeptBackupSet.h"
#include "settings/StoreMarker.h"

namespace varnoket {
namespace {

constexpr const char* kStoreAway = VK_TR_NOOP(
    "Messages", "Disque de sauvegarde %s absent (%s) : il sera sauvegardé quand il reviendra.");
constexpr const char* kStoreInSet = VK_TR_NOOP(
    "Messages",
    "Le dossier à sauvegarder (%s) contient le disque de sauvegarde %s (%s) : ce disque n'est pas "
    "écrit. Retirez-le de la liste des disques ou ce dossier de l'ensemble à sauvegarder.");
constexpr const char* kSetNotCopied = VK_TR_NOOP(
    "Messages",
    "L'ensemble à sauvegarder n'a pas pu être écrit sur le disque de sauvegarde %s (%s) : %s. Ce "
    "disque n'est pas écrit.");
constexpr const char* kStationFileMissing = VK_TR_NOOP(
    "Messages",
    "Les réglages du poste n'ont pu être ni lus ni créés sur le disque de sauvegarde %s (%s) : ce "
    "disque n'est pas écrit.");
constexpr const char* kStoreRunStarts =
    VK_TR_NOOP("Messages", "Sauvegarde sur le disque %s (%s) :");
constexpr const char* kSetTakenFromMachine = VK_TR_NOOP(
    "Messages",
    "L'ensemble à sauvegarder gardé sur ce poste, plus récent que celui du disque, est désormais "
    "celui de tous les disques.");
constexpr const char* kSetNotKept = VK_TR_NOOP(
    "Messages",
    "La copie de l'ensemble à sauvegarder gardée sur ce poste n'a pas pu être écrite (%s).");
constexpr const char* kSetTaken = VK_TR_NOOP(
    "Messages",
    "L'ensemble à sauvegarder modifié en dernier, celui du disque %s, est désormais celui de "
    "tous les disques.");

// A store of the list other than the one the program works on.
struct OtherStore {
  StoreEntry entry;
  bool present = false;
  std::string problem;  // set: it is not written
  std::unique_ptr<StationSettings> station;
};

void Tell(BackupContext& ctx, const std::string& text, bool error) {
  ctx.host.Logged(text);
  if (error) ctx.host.ShowErrorWindow(text);
}

// Each other store looked at, and the station settings of those present
// read (created on a store that has none yet).
std::vector<OtherStore> LookAtOthers(BackupContext& ctx, const std::vector<StoreEntry>& stores,
                                     size_t home) {
  std::vector<OtherStore> others;
  for (size_t i = 0; i < stores.size(); ++i) {
    if (i == home) continue;
    OtherStore other;
    other.entry = stores[i];
    const StoreCheck check = CheckStoreEntry(ctx.fs, stores[i], i, ctx.stationName);
    other.present = StoreUsable(check);
    const int holder = FindRootAncestor(ctx.fs, ctx.station.backupDirectories, stores[i].root);
    if (!other.present) {
      other.problem = FillText(kStoreAway, {stores[i].name, stores[i].root});
    } else if (holder >= 0) {
      // Not even its station file is made there.
      other.problem =
          FillText(kStoreInSet, {ctx.station.backupDirectories[static_cast<size_t>(holder)],
                                 stores[i].name, stores[i].root});
      Tell(ctx, other.problem, true);
    } else {
      other.station = std::make_unique<StationSettings>();
      if (!LoadStationSettings(ctx.fs, ctx.dialogs, *other.station, stores[i].root, ctx.stationName,
                               ctx.rules)) {
        other.problem = FillText(kStationFileMissing, {stores[i].name, stores[i].root});
      }
    }
    others.push_back(std::move(other));
  }
  return others;
}

// The set saved most often among the stores present, the one in memory and
// the machine's own copy becomes every one's. A store the program works on
// that is away is not written: its path may be another disk's now.
void SameSetEverywhere(BackupContext& ctx, std::vector<OtherStore>& others, bool homeHere) {
  const StationSettings* newest = &ctx.station;
  std::string from;
  int rank = SetRank(ctx.station);
  for (const OtherStore& other : others) {
    if (other.problem.empty() && SetRank(*other.station) > rank) {
      newest = other.station.get();
      from = FillText(kSetTaken, {other.entry.name});
      rank = SetRank(*other.station);
    }
  }
  const auto kept = ReadKeptSet(ctx.fs, ctx.dialogs, ctx.programSettingsPath, ctx.stationName);
  if (kept && SetRank(*kept) > rank) {
    newest = kept.get();
    from = kSetTakenFromMachine;
  }
  if (homeHere) {
    try {
      // From now on each edit of the set counts, so the latest one wins.
      if (newest == &ctx.station) {
        CountSetSaves(ctx.station);
      } else {
        CopyBackupSet(*newest, ctx.station);
        newest = &ctx.station;
        ctx.host.BackupSetChanged();
      }
    } catch (const IniError& e) {
      // The store the program works on keeps its own set; the others get it.
      Tell(ctx, e.what(), true);
    }
  }
  if (!from.empty()) Tell(ctx, from, false);
  for (OtherStore& other : others) {
    if (!other.problem.empty()) continue;
    // A store inside a folder of the set would back itself up.
    const int holder = FindRootAncestor(ctx.fs, newest->backupDirectories, other.entry.root);
    if (holder >= 0) {
      other.problem = FillText(kStoreInSet, {newest->backupDirectories[static_cast<size_t>(holder)],
                                             other.entry.name, other.entry.root});
      Tell(ctx, other.problem, true);
      continue;
    }
    if (SameBackupSet(*other.station, *newest) && other.station->setVersion == newest->setVersion)
      continue;
    try {
      CopyBackupSet(*newest, *other.station);
    } catch (const IniError& e) {
      other.problem = FillText(kSetNotCopied, {other.entry.name, other.entry.root, e.what()});
      Tell(ctx, other.problem, true);
    }
  }
  if (!ctx.programSettingsPath.empty() && SetRank(*newest) >= 0 &&
      !KeepBackupSet(ctx.fs, ctx.dialogs, ctx.programSettingsPath, ctx.stationName, *newest)) {
    // The disks keep their sets; only a disk plugged in alone later may
    // miss the latest edit.
    Tell(ctx, FillText(kSetNotKept, {KeptSetRoot(ctx.programSettingsPath)}), false);
  }
}

void RecordSuccess(BackupContext& ctx, const std::string& root, const Day& day) {
  if (ctx.programSettingsPath.empty()) return;
  const auto marker = ReadStoreMarker(ctx.fs, root);
  if (!marker) return;
  try {
    IniFile program(ctx.fs, ctx.programSettingsPath);
    RecordStoreSuccess(program, marker->id, day);
  } catch (const IniError&) {
    // Not recorded: the status says an older day until the next success.
  }
}

StoreRun RunOn(BackupContext& ctx, const StoreEntry& entry, bool named) {
  // With several stores, each run's lines follow the name of its store.
  if (named) ctx.host.Logged(FillText(kStoreRunStarts, {entry.name, entry.root}));
  StoreRun run;
  run.name = entry.name;
  run.root = entry.root;
  run.outcome = RunBackup(ctx);
  run.refusal = ctx.refusal;
  run.afterCommandFailed = ctx.afterCommandFailed;
  run.beforeCommandFailed = ctx.beforeCommandFailed;
  run.leftOut = ctx.leftOut;
  if (BackedUp(run.outcome) && ctx.station.lastBackupDate) {
    RecordSuccess(ctx, entry.root, *ctx.station.lastBackupDate);
  }
  return run;
}

// A context for another store, with the settings of the caller's.
void RunOnOther(BackupContext& ctx, const ProgramSettings& program, OtherStore& other,
                bool redoToday, std::vector<StoreRun>& runs) {
  BackupContext store(ctx.fs, ctx.clock, ctx.host, ctx.dialogs, *other.station);
  store.rules = ctx.rules;
  store.backupRoot = other.entry.root;
  store.stationName = ctx.stationName;
  store.daysKept = ctx.daysKept;
  store.masterStation = ctx.masterStation;
  store.redoToday = redoToday;
  store.programSettingsPath = ctx.programSettingsPath;
  store.storeId = other.entry.id;
  store.commands = ctx.commands;
  store.rotationDays = ctx.rotationDays;
  store.workers = ctx.workers;
  DriveInfo drives;
  store.storeOnNetwork = program.networkStore && IsRemotePath(drives, other.entry.root);
  runs.push_back(RunOn(store, other.entry, true));
}

bool EndsThePass(BackupOutcome outcome) {
  return outcome == BackupOutcome::kStopped || outcome == BackupOutcome::kCancelled;
}

}  // namespace

bool BackedUp(BackupOutcome outcome) {
  return outcome == BackupOutcome::kCompleted || outcome == BackupOutcome::kNoChange ||
         outcome == BackupOutcome::kCompletedWithLeftOut;
}

std::vector<StoreRun> RunBackupOnEveryStore(BackupContext& ctx, const ProgramSettings& program,
                                            bool everyStore) {
  const std::vector<StoreEntry> stores = AllStores(ctx.fs, program);
  const size_t home = program.activeStore < stores.size() ? program.activeStore : 0;
  const StoreEntry homeEntry =
      stores.empty() ? StoreEntry{program.firstStoreName, ctx.backupRoot, ""} : stores[home];
  if (home > 0) ctx.storeId = homeEntry.id;
  // The person's "back up again today" holds for every store (the run of
  // the store worked on clears the flag when it has used it).
  const bool redoToday = ctx.redoToday;
  // One store: its set is the set, and the machine keeps a copy of it for a
  // disk added later. Several: the newest set becomes every one's first.
  std::vector<OtherStore> others;
  if (stores.size() > 1) {
    if (everyStore) others = LookAtOthers(ctx, stores, home);
    const bool homeHere = StoreUsable(CheckStoreEntry(ctx.fs, homeEntry, home, ctx.stationName));
    SameSetEverywhere(ctx, others, homeHere);
  } else if (ctx.station.file) {
    KeepBackupSet(ctx.fs, ctx.dialogs, ctx.programSettingsPath, ctx.stationName, ctx.station);
  }
  if (stores.size() <= 1 || !everyStore) return {RunOn(ctx, homeEntry, stores.size() > 1)};

  std::vector<StoreRun> runs;
  auto other = others.begin();
  for (size_t i = 0; i < stores.size(); ++i) {
    if (!runs.empty() && EndsThePass(runs.back().outcome)) break;
    if (i == home) {
      runs.push_back(RunOn(ctx, homeEntry, true));
      continue;
    }
    OtherStore& store = *other++;
    if (store.problem.empty()) {
      RunOnOther(ctx, program, store, redoToday, runs);
      continue;
    }
    if (!store.present) Tell(ctx, store.problem, false);
    StoreRun skipped;
    skipped.name = store.entry.name;
    skipped.root = store.entry.root;
    skipped.outcome = store.present ? BackupOutcome::kFailed : BackupOutcome::kStoreAbsent;
    skipped.refusal = store.problem;
    runs.push_back(std::move(skipped));
  }
  return runs;
}

std::string StoreRunLine(const StoreRun& run) {
  const char* said = VK_TR_NOOP("Messages", "Disque %s (%s) : sauvegarde non lancée");
  switch (run.outcome) {
    case BackupOutcome::kCompleted:
      said = VK_TR_NOOP("Messages", "Disque %s (%s) : sauvegarde terminée");
      break;
    case BackupOutcome::kNoChange:
      said = VK_TR_NOOP("Messages",
                        "Disque %s (%s) : aucune modification depuis sa dernière sauvegarde");
      break;
    case BackupOutcome::kCompletedWithLeftOut:
      said = VK_TR_NOOP("Messages",
                        "Disque %s (%s) : sauvegarde terminée avec des éléments non sauvegardés");
      break;
    case BackupOutcome::kStoreAbsent:
      said = VK_TR_NOOP("Messages", "Disque %s (%s) : absent, rien n'y a été écrit");
      break;
    case BackupOutcome::kStopped:
    case BackupOutcome::kCancelled:
      said = VK_TR_NOOP("Messages", "Disque %s (%s) : sauvegarde interrompue");
      break;
    case BackupOutcome::kBusy:
      said = VK_TR_NOOP("Messages", "Disque %s (%s) : une autre sauvegarde y travaille");
      break;
    case BackupOutcome::kFailed:
    case BackupOutcome::kNoSpace:
    case BackupOutcome::kForeignStation:
      said = VK_TR_NOOP("Messages", "Disque %s (%s) : ÉCHEC de la sauvegarde");
      break;
    case BackupOutcome::kNotStarted:
    case BackupOutcome::kNoDirectories:
      break;
  }
  return FillText(said, {run.name, run.root});
}

BackupOutcome CombinedOutcome(const std::vector<StoreRun>& runs) {
  // From the worst down: the first one any store had is the pass's.
  static constexpr BackupOutcome kOrder[] = {BackupOutcome::kFailed,
                                             BackupOutcome::kNoSpace,
                                             BackupOutcome::kForeignStation,
                                             BackupOutcome::kBusy,
                                             BackupOutcome::kStopped,
                                             BackupOutcome::kCancelled,
                                             BackupOutcome::kNoDirectories,
                                             BackupOutcome::kNotStarted,
                                             BackupOutcome::kCompletedWithLeftOut,
                                             BackupOutcome::kCompleted,
                                             BackupOutcome::kNoChange};
  for (BackupOutcome outcome : kOrder) {
    for (const StoreRun& run : runs) {
      if (run.outcome == outcome) return outcome;
    }
  }
  return BackupOutcome::kStoreAbsent;
}

}  // namespace varnoket
