// varnoket-cli: the backup engine without a screen, for scripts, servers and
// checks. It reads and writes the same settings files and the same store as
// the window program.
#include <signal.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/ConsoleHost.h"
#include "cli/Startup.h"
#include "engine/BackupContext.h"
#include "engine/BackupRun.h"
#include "engine/DayFolders.h"
#include "engine/FileRecord.h"
#include "platform/StationName.h"
#include "restore/OrderedJobs.h"
#include "restore/RestoreItem.h"
#include "restore/VerifyDay.h"

namespace varnoket {
namespace {

constexpr const char* kUsage =
    "usage: varnoket-cli [--program-folder DIR] [--station NAME] backup\n"
    "       varnoket-cli [--program-folder DIR] [--station NAME] days\n"
    "       varnoket-cli [--program-folder DIR] [--station NAME] restore DAY [--to DIR] "
    "[PATH ...]\n"
    "       varnoket-cli [--program-folder DIR] [--station NAME] verify [DAY]\n"
    "\n"
    "  --program-folder DIR  the folder that holds VARNOKET.INI (default: the program's own)\n"
    "  --station NAME        work on the backups of another workstation (restore, days, verify)\n"
    "  --workers N           compress and decode on at most N threads (default: the WORKERS\n"
    "                        setting of VARNOKET.INI, else one per core)\n"
    "  DAY                   a backup day as dd/mm/yyyy\n";

// The exit codes of `backup`, documented in the README.
constexpr int kExitDone = 0;            // completed, or nothing changed
constexpr int kExitFailed = 1;          // stopped on an error
constexpr int kExitNoRun = 2;           // the settings allow no run
constexpr int kExitBusy = 3;            // another run holds the station
constexpr int kExitForeignStation = 4;  // the station folder is another machine's
constexpr int kExitStopped = 5;         // ended by a signal, stopped at a file boundary

struct Options {
  std::string programFolder;
  std::string station;
  int workers = -1;  // -1: as the settings say
  std::string command;
  std::vector<std::string> args;
};

bool ParseWorkers(const std::string& text, int& workers) {
  if (text.empty() || text.size() > 4 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  workers = std::stoi(text);
  return workers >= 1 && workers <= 1024;
}

int Usage(const std::string& problem) {
  if (!problem.empty()) std::cerr << "varnoket-cli: " << problem << "\n";
  std::cerr << kUsage;
  return 2;
}

int Backup(const Options& o) {
  FileSystem& fs = DefaultFileSystem();
  ConsoleDialogs dialogs;
  auto s = LoadForBackup(fs, dialogs, o.programFolder, o.station);
  if (!s) return kExitNoRun;
  if (!s->ownerProblem.empty()) {
    std::cerr << ForTerminal(s->ownerProblem) << "\n";
    return kExitForeignStation;
  }
  if (s->station.backupDirectories.empty()) {
    std::cerr << "Aucun répertoire à sauvegarder n'est configuré (" << s->station.path << ").\n";
    return 2;
  }
  SystemClock clock;
  ConsoleHost host;
  BackupContext ctx(fs, clock, host, dialogs, s->station);
  ctx.backupRoot = s->program.backupRoot;
  ctx.stationName = s->stationName;
  ctx.daysKept = s->program.daysKept;
  ctx.workers = static_cast<unsigned>(o.workers >= 0 ? o.workers : s->program.workers);
  // Ending the tool (a terminal's Ctrl+C, a shutdown, a service stop) stops
  // the run at the next file boundary, leaving the store as a stopped run
  // leaves it.
  struct sigaction action {};
  action.sa_handler = [](int) { ConsoleHost::stopSignal = 1; };
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);

  switch (RunBackup(ctx)) {
    case BackupOutcome::kCompleted:
    case BackupOutcome::kNoChange:
      return kExitDone;
    case BackupOutcome::kFailed:
      return kExitFailed;
    case BackupOutcome::kBusy:
      std::cerr << ForTerminal(ctx.refusal) << "\n";
      return kExitBusy;
    case BackupOutcome::kForeignStation:
      return kExitForeignStation;
    case BackupOutcome::kStopped:
      return kExitStopped;
    case BackupOutcome::kNotStarted:
    case BackupOutcome::kNoDirectories:
      break;
  }
  return kExitNoRun;
}

// The station's backup days, oldest first, as folder names; `workers`
// (when given) receives the threads to decode on.
bool Days(const Options& o, StoreLayout& layout, std::vector<std::string>& folders,
          unsigned* workers = nullptr) {
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

int ListDays(const Options& o) {
  StoreLayout layout(PathRules(), "", "");
  std::vector<std::string> folders;
  if (!Days(o, layout, folders)) return 2;
  for (const auto& f : folders) std::cout << DayTextOfKey(DayKey(f)) << "\n";
  return 0;
}

// The index of a "dd/mm/yyyy" day among the folders, or -1.
int FindDay(const std::vector<std::string>& folders, const std::string& text) {
  Day d;
  if (!ParseDayText(text, d)) return -1;
  auto it = std::find(folders.begin(), folders.end(), DayFolderName(d));
  return it == folders.end() ? -1 : static_cast<int>(it - folders.begin());
}

int Restore(const Options& o) {
  if (o.args.empty()) return Usage("restore needs a DAY");
  std::string to;
  std::vector<std::string> paths;
  for (size_t i = 1; i < o.args.size(); ++i) {
    if (o.args[i] == "--to") {
      if (++i >= o.args.size()) return Usage("--to needs a folder");
      to = o.args[i];
    } else {
      paths.push_back(o.args[i]);
    }
  }
  StoreLayout layout(PathRules(), "", "");
  std::vector<std::string> folders;
  unsigned workers = 0;
  if (!Days(o, layout, folders, &workers)) return 2;
  const int index = FindDay(folders, o.args[0]);
  if (index < 0) {
    std::cerr << "Aucune sauvegarde du " << o.args[0] << " pour ce poste.\n";
    return 1;
  }
  const PathRules& rules = layout.rules();
  for (auto& p : paths) p = rules.RemoveTrailingSeparator(p);
  FileSystem& fs = DefaultFileSystem();
  const std::string listPath = layout.FileListPath(layout.DayFolder(folders[index]));
  const auto text = fs.ReadFile(listPath);
  if (!text) {
    std::cerr << "Impossible de lire le fichier (" << listPath << ")\n";
    return 1;
  }
  if (!to.empty()) to = rules.RemoveTrailingSeparator(to);

  int errors = 0;
  int restored = 0;
  int64_t bytes = 0;
  ConsoleRestoreHost host;
  // Files are decoded on the workers; every line is printed in the list's
  // order, and a folder is made before any file below it is handed out.
  OrderedJobs jobs(workers, host);
  for (const std::string& line : SplitLines(*text)) {
    const auto rec = ParseFileRecord(line);
    if (!rec || rec->last == "1") continue;
    if (!paths.empty() && std::none_of(paths.begin(), paths.end(), [&](const std::string& p) {
          return rules.IsSameOrBelow(rec->fullPath, p);
        })) {
      continue;
    }
    const std::string destination = to.empty() ? rec->fullPath : to + rec->fullPath;
    if (rec->IsDirectory()) {
      const bool existed = fs.IsDirectory(destination);
      const bool made = existed || fs.CreateDirectories(destination);
      jobs.AddDone([&, path = rec->fullPath, destination, existed, made] {
        std::cout << "Répertoire-> " << path << "\n";
        if (existed) return;
        if (made) {
          ++restored;
        } else {
          std::cout << "---> ERREUR: Impossible de recréer le répertoire (" << destination
                    << ") ! <---\n";
          ++errors;
        }
      });
      continue;
    }
    RestoreEntry entry;
    entry.fullPath = rec->fullPath;
    entry.storedName = rec->storedName;
    entry.content = ParseRecordedContent(rec->size, rec->checksum);
    try {
      entry.attributes = static_cast<int32_t>(std::stoll(rec->attributes));
      entry.fileDate = static_cast<int32_t>(std::stoll(rec->fileDate));
    } catch (const std::exception&) {
      jobs.AddDone([&, line] {
        std::cout << "---> ERREUR: enregistrement illisible (" << line << ") <---\n";
        ++errors;
      });
      continue;
    }
    auto held = std::make_shared<HeldReport>();
    auto result = std::make_shared<RestoreItemResult>();
    jobs.Add(
        [&fs, &layout, &folders, index, entry, destination, held, result] {
          *result = RestoreItem(fs, layout, folders, static_cast<size_t>(index), entry, destination,
                                *held);
        },
        [&, held, result] {
          for (const auto& l : held->lines) host.Report(l);
          if (result->status == RestoreStatus::kRestored) {
            ++restored;
            bytes += result->bytes;
          } else {
            ++errors;
          }
        });
  }
  jobs.Drain();
  if (errors == 0) {
    std::cout << "Opération terminée : " << restored
              << " fichiers ou dossiers restaurés pour un total de " << bytes << " octets !\n";
    return 0;
  }
  std::cout << "ATTENTION " << errors
            << " fichiers ou répertoires n'ont pas pu être correctement restaurés !\n";
  return 1;
}

int Verify(const Options& o) {
  StoreLayout layout(PathRules(), "", "");
  std::vector<std::string> folders;
  unsigned workers = 0;
  if (!Days(o, layout, folders, &workers)) return 2;
  std::vector<size_t> days;
  if (o.args.empty()) {
    for (size_t i = 0; i < folders.size(); ++i) days.push_back(i);
  } else {
    const int index = FindDay(folders, o.args[0]);
    if (index < 0) {
      std::cerr << "Aucune sauvegarde du " << o.args[0] << " pour ce poste.\n";
      return 1;
    }
    days.push_back(static_cast<size_t>(index));
  }
  size_t checked = 0;
  size_t problems = 0;
  ConsoleRestoreHost host;
  for (size_t d : days) {
    const VerifyCounts c = VerifyDay(DefaultFileSystem(), layout, folders, d, host, workers);
    checked += c.checked;
    problems += c.problems;
  }
  std::cout << days.size() << " jour(s), " << checked << " fichier(s) vérifié(s), " << problems
            << " problème(s)\n";
  return problems == 0 ? 0 : 1;
}

int Main(int argc, char** argv) {
  Options o;
  std::vector<std::string> words(argv + 1, argv + argc);
  size_t i = 0;
  for (; i < words.size(); ++i) {
    if (words[i] == "--program-folder" || words[i] == "--station") {
      if (i + 1 >= words.size()) return Usage(words[i] + " needs a value");
      (words[i] == "--station" ? o.station : o.programFolder) = words[i + 1];
      ++i;
    } else if (words[i] == "--workers") {
      if (i + 1 >= words.size() || !ParseWorkers(words[i + 1], o.workers)) {
        return Usage("--workers needs a whole number from 1 to 1024");
      }
      ++i;
    } else if (words[i] == "-h" || words[i] == "--help") {
      std::cout << kUsage;
      return 0;
    } else {
      break;
    }
  }
  if (i >= words.size()) return Usage("");
  o.command = words[i];
  o.args.assign(words.begin() + static_cast<long>(i) + 1, words.end());
  if (o.programFolder.empty()) o.programFolder = ProgramFolder();
  if (o.station.empty()) o.station = GetStationName();
  if (o.command == "backup") return o.args.empty() ? Backup(o) : Usage("backup takes no argument");
  if (o.command == "days") return o.args.empty() ? ListDays(o) : Usage("days takes no argument");
  if (o.command == "restore") return Restore(o);
  if (o.command == "verify") return o.args.size() <= 1 ? Verify(o) : Usage("verify takes one DAY");
  return Usage("unknown command " + o.command);
}

}  // namespace
}  // namespace varnoket

int main(int argc, char** argv) {
  return varnoket::Main(argc, argv);
}
