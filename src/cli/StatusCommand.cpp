// `status`: where this station's backups stand, without the window program:
// the last success as the window title says it, the days kept, the size of
// the station's backups and how the latest run ended. Reads only.
#include <iostream>
#include <string>

#include "app/LastRunOutcome.h"
#include "app/LastSuccess.h"
#include "cli/CliDialogs.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "cli/Startup.h"
#include "cli/Units.h"
#include "engine/ActivityLog.h"
#include "engine/DayFolders.h"
#include "engine/StoreCheck.h"
#include "platform/MessageText.h"
#include "restore/ShownValues.h"

namespace varnoket {

namespace {

// The command's texts.
constexpr const char* kStationLine = "Poste : %s";
constexpr const char* kDaysLine = "Journées mémorisées : %s sur %s au plus";
constexpr const char* kSizeLine = "Taille des sauvegardes du poste : %s (%s)";
constexpr const char* kLastRunLine = "Dernière exécution : %s";
constexpr const char* kNoRun = "aucune pour l'instant";
constexpr const char* kCompleted = "terminée le %s";
constexpr const char* kCompletedWithErrors = "terminée le %s, avec une erreur : %s";
constexpr const char* kNoChange = "terminée le %s, aucune modification";
constexpr const char* kFailed = "échouée le %s : %s";
constexpr const char* kFailedNoReason = "échouée le %s (voir le journal %s)";
constexpr const char* kStopped = "interrompue le %s (le programme s'est terminé)";
constexpr const char* kUnfinished =
    "commencée, sans fin écrite (dernière ligne du %s) : en cours, ou arrêtée brutalement";

// Bytes of the regular files at and below `folder`; links are not followed.
int64_t FolderBytes(FileSystem& fs, const std::string& folder) {
  int64_t total = 0;
  const auto entries = fs.ListDirectory(folder);
  if (!entries) return 0;
  for (const DirEntry& e : *entries) {
    if (e.isSymlink) continue;
    const std::string path = folder + "/" + e.name;
    if (e.isDirectory) {
      total += FolderBytes(fs, path);
    } else if (e.isRegularFile) {
      total += static_cast<int64_t>(e.size);
    }
  }
  return total;
}

std::string LastRunText(const LastRunOutcome& r, const std::string& logPath) {
  switch (r.state) {
    case LastRunState::kNoLog:
      return kNoRun;
    case LastRunState::kCompleted:
      return r.error.empty() ? FillText(kCompleted, {r.when})
                             : FillText(kCompletedWithErrors, {r.when, r.error});
    case LastRunState::kNoChange:
      return FillText(kNoChange, {r.when});
    case LastRunState::kFailed:
      return r.error.empty() ? FillText(kFailedNoReason, {r.when, logPath})
                             : FillText(kFailed, {r.when, r.error});
    case LastRunState::kStopped:
      return FillText(kStopped, {r.when});
    case LastRunState::kUnfinished:
      return FillText(kUnfinished, {r.when});
  }
  return {};
}

}  // namespace

int StatusCommand(const CliOptions& o) {
  if (!o.args.empty()) return Usage("status", "status takes no argument");
  FileSystem& fs = DefaultFileSystem();
  auto s = LoadProgramSide(fs, o.programFolder, o.station);
  if (!s) return 2;
  const PathRules rules(PathStyle::kPosix);
  const StoreLayout layout(rules, s->program.backupRoot, s->stationName);
  // An unplugged disk, or another one in its place, is said first: what
  // follows is then read from whatever the folder holds now.
  const StoreCheck store = CheckStore(fs, layout, ReadKey(*s->program.file, kStoreIdKey));
  const bool present = store.state == StoreState::kPresent || store.state == StoreState::kUnmarked;

  std::string lastBackup = kNoBackupDate;
  if (fs.Exists(StationSettingsPath(rules, layout.root(), s->stationName))) {
    CommandDialogs dialogs;
    StationSettings station;
    if (LoadStationSettings(fs, dialogs, station, layout.root(), s->stationName, rules)) {
      lastBackup = station.lastBackupDate;
    }
  }
  const size_t days = SortedDayFolders(fs, rules, layout.StationFolder()).size();
  const int64_t bytes = FolderBytes(fs, rules.RemoveTrailingSeparator(layout.StationFolder()));
  const std::string logPath = layout.LogPath();
  const LastRunOutcome run = LastRunOutcomeOfLog(ReadWholeFile(fs, logPath));

  std::cout << FillText(kStationLine, {s->stationName}) << "\n";
  if (!present) std::cout << ForTerminal(store.message) << "\n";
  std::cout << LastSuccessText(lastBackup, SystemClock().Now()) << "\n"
            << FillText(kDaysLine, {std::to_string(days), std::to_string(s->program.daysKept)})
            << "\n"
            << FillText(kSizeLine, {HumanBytes(bytes), SizeText(bytes)}) << "\n"
            << FillText(kLastRunLine, {LastRunText(run, logPath)}) << "\n";
  return 0;
}

}  // namespace varnoket
