#include "cli/CliCommon.h"

#include <algorithm>
#include <iostream>

#include "cli/Startup.h"
#include "engine/DayFolders.h"

namespace varnoket {

namespace {

constexpr const char* kUsage =
    "usage: varnoket-cli [--program-folder DIR] [--station NAME] backup\n"
    "       varnoket-cli [--program-folder DIR] [--station NAME] days\n"
    "       varnoket-cli [--program-folder DIR] [--station NAME] restore DAY [--to DIR] "
    "[--existing replace|keep-both|skip] [PATH ...]\n"
    "       varnoket-cli [--program-folder DIR] [--station NAME] verify [DAY]\n"
    "       varnoket-cli [--program-folder DIR] [--station NAME] versions PATH\n"
    "       varnoket-cli [--program-folder DIR] [--station NAME] find PATTERN [DAY]\n"
    "       varnoket-cli [--program-folder DIR] [--station NAME] changes DAY\n"
    "\n"
    "  --program-folder DIR  the folder that holds VARNOKET.INI (default: the program's own)\n"
    "  --station NAME        work on the backups of another workstation (restore, days, verify,\n"
    "                        versions, find, changes)\n"
    "  --workers N           compress and decode on at most N threads (default: the WORKERS\n"
    "                        setting of VARNOKET.INI, else one per core)\n"
    "  --existing WHAT       where a restored file meets a different file: replace it (default),\n"
    "                        keep-both (the restored copy goes beside it), or skip it\n"
    "  DAY                   a backup day as dd/mm/yyyy\n"
    "  PATTERN               a file name with * and ?, letters of either case\n";

}  // namespace

const char* UsageText() {
  return kUsage;
}

int Usage(const std::string& problem) {
  if (!problem.empty()) std::cerr << "varnoket-cli: " << problem << "\n";
  std::cerr << kUsage;
  return 2;
}

bool LoadDays(const CliOptions& o, StoreLayout& layout, std::vector<std::string>& folders,
              unsigned* workers) {
  FileSystem& fs = DefaultFileSystem();
  auto s = LoadProgramSide(fs, o.programFolder, o.station);
  if (!s) return false;
  layout = StoreLayout(PathRules(PathStyle::kPosix), s->program.backupRoot, s->stationName);
  folders = SortedDayFolders(fs, layout.rules(), layout.StationFolder());
  if (workers != nullptr) {
    *workers = static_cast<unsigned>(o.workers >= 0 ? o.workers : s->program.workers);
  }
  return true;
}

int FindDayOrSay(const std::vector<std::string>& folders, const std::string& text) {
  Day d;
  if (ParseDayText(text, d)) {
    const auto it = std::find(folders.begin(), folders.end(), DayFolderName(d));
    if (it != folders.end()) return static_cast<int>(it - folders.begin());
  }
  std::cerr << "Aucune sauvegarde du " << text << " pour ce poste.\n";
  return -1;
}

std::string DayTextOfFolder(const std::string& folder) {
  return DayTextOfKey(DayKey(folder));
}

}  // namespace varnoket
