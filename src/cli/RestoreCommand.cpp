// `restore DAY [--to DIR] [--existing replace|keep-both|skip] [PATH ...]`:
// a day's files and empty folders back to their places or below DIR.
#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "cli/ProgressLine.h"
#include "engine/FileRecord.h"
#include "platform/MessageText.h"
#include "platform/PathContainment.h"
#include "platform/Translation.h"
#include "restore/OrderedJobs.h"
#include "restore/RestoreChoice.h"

namespace varnoket {

namespace {

struct RestoreCounts {
  int errors = 0;
  int folders = 0;  // folders made
  int created = 0;
  int upToDate = 0;
  int replaced = 0;
  int keptBoth = 0;
  int skipped = 0;
  int64_t bytes = 0;

  void Add(const RestoreChoiceResult& r) {
    bytes += r.bytes;
    switch (r.outcome) {
      case RestoreOutcome::kCreated:
        ++created;
        break;
      case RestoreOutcome::kUpToDate:
        ++upToDate;
        break;
      case RestoreOutcome::kReplaced:
        ++replaced;
        break;
      case RestoreOutcome::kKeptBoth:
        ++keptBoth;
        break;
      case RestoreOutcome::kSkipped:
        ++skipped;
        break;
      case RestoreOutcome::kFailed:
        ++errors;
        break;
    }
  }
  int Restored() const { return folders + created + upToDate + replaced + keptBoth; }
};

int PrintSummary(const RestoreCounts& c) {
  std::cout << "Fichiers : " << c.created << " créé(s), " << c.upToDate
            << " laissé(s) tel(s) quel(s) (déjà à jour), " << c.replaced << " remplacé(s), "
            << c.keptBoth << " restauré(s) à côté du fichier existant, " << c.skipped
            << " ignoré(s)\n";
  if (c.errors == 0) {
    std::cout << "Opération terminée : " << c.Restored()
              << " fichiers ou dossiers restaurés pour un total de " << c.bytes << " octets !\n";
    return 0;
  }
  std::cout << "ATTENTION " << c.errors
            << " fichiers ou répertoires n'ont pas pu être correctement restaurés !\n";
  return 1;
}

}  // namespace

int RestoreCommand(const CliOptions& o) {
  if (o.args.empty()) return Usage("restore needs a DAY");
  std::string to;
  ExistingFilePolicy policy = ExistingFilePolicy::kReplace;
  std::vector<std::string> paths;
  for (size_t i = 1; i < o.args.size(); ++i) {
    if (o.args[i] == "--to") {
      if (++i >= o.args.size()) return Usage("--to needs a folder");
      to = o.args[i];
    } else if (o.args[i] == "--existing") {
      const auto parsed = ++i < o.args.size() ? ParseExistingFilePolicy(o.args[i]) : std::nullopt;
      if (!parsed) return Usage("--existing needs replace, keep-both or skip");
      policy = *parsed;
    } else {
      paths.push_back(o.args[i]);
    }
  }
  StoreLayout layout(PathRules(), "", "");
  std::vector<std::string> folders;
  unsigned workers = 0;
  if (!LoadDays(o, layout, folders, &workers)) return 2;
  const int index = FindDayOrSay(folders, o.args[0]);
  if (index < 0) return 1;
  const PathRules& rules = layout.rules();
  for (auto& p : paths) p = rules.RemoveTrailingSeparator(p);
  FileSystem& fs = DefaultFileSystem();
  if (!to.empty()) {
    to = rules.RemoveTrailingSeparator(to);
    // Files restored into the store would mix with its stored copies, and a
    // later merge of days could take them for its own.
    if (!layout.root().empty() && PathContainment(fs).IsSameOrBelow(to, layout.root())) {
      std::cerr << ForTerminal(FillText(VK_TR_NOOP("Messages",
                                                   "Le dossier de destination (%s) se trouve dans "
                                                   "le dossier des sauvegardes (%s) : choisissez "
                                                   "un dossier en dehors."),
                                        {to, layout.root()}))
                << "\n";
      return 2;
    }
  }
  const std::string listPath = layout.FileListPath(layout.DayFolder(folders[index]));
  const auto lines = ReadListFile(fs, listPath);
  if (!lines) {
    std::cerr << ForTerminal(FillText(VK_TR_NOOP("Messages", "Impossible de lire le fichier (%s)"),
                                      {listPath}))
              << "\n";
    return 1;
  }

  const auto wanted = [&](const FileRecord& rec) {
    return rec.last != "1" &&
           (paths.empty() || std::any_of(paths.begin(), paths.end(), [&](const std::string& p) {
              return rules.IsSameOrBelow(rec.fullPath, p);
            }));
  };
  ProgressLine progressLine = ProgressLine::ForStandardOutput();
  ProgressCounts progress;
  if (progressLine.terminal()) {
    for (const std::string& line : *lines) {
      const auto rec = ParseFileRecord(line);
      if (!rec || rec->IsDirectory() || !wanted(*rec)) continue;
      ++progress.filesTotal;
      progress.bytesTotal += RecordedBytes(*rec);
    }
    progressLine.Update(progress, true);
  }

  RestoreCounts counts;
  ConsoleRestoreHost host(progressLine);
  // Files are decoded on the workers; every line is printed in the list's
  // order, and a folder is made before any file below it is handed out.
  OrderedJobs jobs(workers, host);
  for (const std::string& line : *lines) {
    const auto rec = ParseFileRecord(line);
    if (!rec || !wanted(*rec)) continue;
    const std::string destination = to.empty() ? rec->fullPath : to + rec->fullPath;
    if (rec->IsDirectory()) {
      const bool existed = fs.IsDirectory(destination);
      const bool made = existed || fs.CreateDirectories(destination);
      jobs.AddDone([&, path = rec->fullPath, destination, existed, made] {
        host.Report("Répertoire-> " + path);
        if (existed) return;
        if (made) {
          ++counts.folders;
        } else {
          host.Report("---> ERREUR: Impossible de recréer le répertoire (" + destination +
                      ") ! <---");
          ++counts.errors;
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
        host.Report("---> ERREUR: enregistrement illisible (" + line + ") <---");
        ++counts.errors;
      });
      continue;
    }
    auto held = std::make_shared<HeldReport>();
    auto result = std::make_shared<RestoreChoiceResult>();
    jobs.Add(
        [&fs, &layout, &folders, index, entry, destination, policy, held, result] {
          *result = RestoreWithChoice(fs, layout, folders, static_cast<size_t>(index), entry,
                                      destination, policy, *held);
        },
        [&, held, result, bytes = RecordedBytes(*rec)] {
          for (const auto& l : held->lines) host.Report(l);
          counts.Add(*result);
          ++progress.filesDone;
          progress.bytesDone += bytes;
          progressLine.Update(progress);
        });
  }
  jobs.Drain();
  progressLine.Clear();
  return PrintSummary(counts);
}

}  // namespace varnoket
