#include "cli/CliCommon.h"

#include <algorithm>
#include <iostream>

#include "cli/CommandHelp.h"
#include "cli/ConsoleHost.h"
#include "cli/Startup.h"
#include "engine/DayFolders.h"
#include "engine/FileRecord.h"
#include "engine/StationReadLock.h"
#include "engine/StoreCheck.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"

namespace varnoket {

int Refuse(const std::string& text) {
  std::cerr << ForTerminal(text) << "\n";
  return kRefused;
}

int Usage(const std::string& problem) {
  if (!problem.empty()) std::cerr << "varnoket-cli: " << problem << "\n";
  std::cerr << UsageText();
  return 2;
}

int Usage(const std::string& command, const std::string& problem) {
  if (!problem.empty()) std::cerr << "varnoket-cli: " << problem << "\n";
  std::cerr << CommandUsage(command);
  return 2;
}

void HoldStationForReading(FileSystem& fs, const StoreLayout& layout) {
  // Held until the tool ends: no merge of a backup run deletes a copy this
  // command may read, and no false alarm comes from a merge half done.
  static StationReadLock held;
  held = LockStationForReading(fs, layout, false);
  if (held.status != ReadLockStatus::kBusy) return;
  std::cerr << ForTerminal(VK_TR_NOOP("Messages",
                                      "Une sauvegarde fusionne les jours les plus anciens : la "
                                      "lecture attend que la fusion se termine..."))
            << "\n";
  held = LockStationForReading(fs, layout, true);
}

int LoadDays(const CliOptions& o, StoreLayout& layout, std::vector<std::string>& folders,
             unsigned* workers) {
  FileSystem& fs = DefaultFileSystem();
  auto s = LoadProgramSide(fs, o.programFolder, o.station, o.store);
  if (!s) return kExitUsage;
  layout = StoreLayout(PathRules(PathStyle::kPosix), s->program.backupRoot, s->stationName);
  // An unplugged disk leaves an empty mount point: "no backup" would be a
  // lie there, and "0 problems" a worse one.
  const StoreCheck store = CheckStore(fs, layout, ActiveStoreId(fs, s->program));
  if (store.state == StoreState::kAbsent || store.state == StoreState::kOtherDisk ||
      store.state == StoreState::kUnreadable) {
    std::cerr << ForTerminal(store.message) << "\n";
    return kExitStoreAbsent;
  }
  HoldStationForReading(fs, layout);
  folders = SortedDayFolders(fs, layout.rules(), layout.StationFolder());
  if (workers != nullptr) {
    *workers = static_cast<unsigned>(o.workers >= 0 ? o.workers : s->program.workers);
  }
  return 0;
}

void SayNoBackupDays(const StoreLayout& layout) {
  std::cerr << ForTerminal(FillText(VK_TR_NOOP("Messages",
                                               "Aucune sauvegarde de ce poste n'a été trouvée "
                                               "dans (%s)."),
                                    {layout.StationFolder()}))
            << "\n";
}

int FindDayOrSay(const std::vector<std::string>& folders, const std::string& text,
                 const StoreLayout& layout) {
  Day d;
  if (ParseDayText(text, d)) {
    const auto it = std::find(folders.begin(), folders.end(), DayFolderName(d));
    if (it != folders.end()) return static_cast<int>(it - folders.begin());
    const std::string folder = layout.DayFolder(DayFolderName(d));
    if (const auto entry = DefaultFileSystem().Stat(folder); entry && entry->isSymlink) {
      std::cerr << ForTerminal(FillText(VK_TR_NOOP("Messages",
                                                   "Le dossier du %s (%s) est un lien "
                                                   "symbolique, pas un jour de sauvegarde : il "
                                                   "n'est pas lu."),
                                        {text, folder}))
                << "\n";
      return -1;
    }
  }
  std::cerr << ForTerminal(FillText(
                   VK_TR_NOOP("Messages", "Aucune sauvegarde du %s pour ce poste."), {text}))
            << "\n";
  return -1;
}

ProgressCounts DayListTotals(const StoreLayout& layout, const std::string& folder) {
  ProgressCounts totals;
  const auto lines =
      ReadListFile(DefaultFileSystem(), layout.FileListPath(layout.DayFolder(folder)));
  if (!lines) return totals;
  for (const std::string& line : *lines) {
    const auto rec = ParseFileRecord(line);
    if (!rec || rec->IsDirectory() || !rec->offered) continue;
    ++totals.filesTotal;
    totals.bytesTotal += rec->RecordedBytes();
  }
  return totals;
}

std::string DayTextOfFolder(const std::string& folder) {
  return DayTextOfKey(DayKey(folder));
}

}  // namespace varnoket
