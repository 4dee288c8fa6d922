// `restore DAY [--to DIR] [--existing replace|keep-both|skip] [PATH ...]`:
// a day's files and empty folders back to their places or below DIR, through
// the same restore execution as the restore window: each file proven against
// its record before it takes its place, every line of the list checked as
// outside input, nothing written outside DIR.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliText.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "cli/ProgressLine.h"
#include "engine/DaySet.h"
#include "platform/MessageText.h"
#include "platform/PathContainment.h"
#include "platform/Translation.h"
#include "platform/TypedPath.h"
#include "restore/CheckedList.h"
#include "restore/RestoreCountsText.h"
#include "restore/RestoreExecution.h"

namespace varnoket {

namespace {

int PrintSummary(const RestoreRunTotals& t) {
  std::cout << ForTerminal(OutcomeCountsText(t)) << "\n";
  if (t.errors == 0) {
    std::cout << ForTerminal(
                     FillText(VK_TR_NOOP("Messages",
                                         "Opération terminée : %s fichiers ou dossiers "
                                         "restaurés pour un total de %s octets !"),
                              {std::to_string(t.restoredCount), std::to_string(t.restoredBytes)}))
              << "\n";
    return 0;
  }
  std::cout << ForTerminal(FillText(VK_TR_NOOP("Messages",
                                               "ATTENTION %s fichiers ou répertoires n'ont pas "
                                               "pu être correctement restaurés !"),
                                    {std::to_string(t.errors)}))
            << "\n";
  return 1;
}

// What the command line asked.
struct RestoreRequest {
  std::string to;
  ExistingFilePolicy policy = ExistingFilePolicy::kReplace;
  std::vector<std::string> paths;
};

// 0, or the exit code of a wrong command line after saying why.
int ParseRequest(const std::vector<std::string>& args, RestoreRequest& r) {
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--to") {
      // An empty value is an unset variable, not "in place": refused, since
      // in place would write over the person's newer files.
      if (++i >= args.size() || args[i].empty())
        return Usage("restore", CliText(VK_TR_NOOP("Cli", "--to veut un dossier")));
      r.to = AbsolutePath(args[i]);
    } else if (args[i] == "--existing") {
      const auto parsed = ++i < args.size() ? ParseExistingFilePolicy(args[i]) : std::nullopt;
      if (!parsed)
        return Usage("restore",
                     CliText(VK_TR_NOOP("Cli", "--existing veut replace, keep-both ou skip")));
      r.policy = *parsed;
    } else if (args[i].empty()) {
      return Usage("restore", CliText(VK_TR_NOOP("Cli", "un PATH ne peut pas être vide")));
    } else {
      r.paths.push_back(AbsolutePath(args[i]));
    }
  }
  return 0;
}

// Which records a restore takes: all of them, or those at or below one of
// the paths asked for. It remembers which paths matched something.
class WantedPaths {
 public:
  WantedPaths(const PathRules& rules, const std::vector<std::string>& paths)
      : rules_(rules), paths_(paths), matched_(paths.size(), false) {}

  bool operator()(const std::string& path) {
    if (paths_.empty()) return true;
    bool any = false;
    for (size_t i = 0; i < paths_.size(); ++i) {
      if (rules_.IsSameOrBelow(path, paths_[i])) matched_[i] = any = true;
    }
    return any;
  }

  // Says which paths matched nothing; false when one did not.
  bool SayUnmatched() const {
    bool all = true;
    for (size_t i = 0; i < paths_.size(); ++i) {
      if (matched_[i]) continue;
      std::cerr << ForTerminal(FillText(VK_TR_NOOP("Messages",
                                                   "Rien de ce jour ne se trouve à (%s) : aucun "
                                                   "fichier ni dossier restauré pour ce chemin."),
                                        {paths_[i]}))
                << "\n";
      all = false;
    }
    return all;
  }

 private:
  const PathRules& rules_;
  const std::vector<std::string>& paths_;
  std::vector<bool> matched_;
};

// Restores what `wanted` takes of the day's checked list, its progress on
// the terminal's line.
RestoreRunTotals RestoreDay(FileSystem& fs, const StoreLayout& layout,
                            const std::vector<std::string>& folders, size_t index, unsigned workers,
                            const RestoreRequest& request, const CheckedList& list,
                            WantedPaths& wanted) {
  const PathRules& rules = layout.rules();
  ProgressLine progressLine = ProgressLine::ForStandardOutput();
  ProgressCounts progress;
  if (progressLine.terminal()) {
    for (const ListEntry& e : list.entries) {
      if (e.IsDirectory() || !e.offered || !wanted(e.fullPath)) continue;
      ++progress.filesTotal;
      progress.bytesTotal += e.RecordedBytes();
    }
    progressLine.Update(progress, true);
  }

  RestoreRunContext ctx(fs, layout, folders);
  ctx.dayIndex = index;
  ctx.workers = workers;
  ctx.policy = request.policy;
  ctx.destinationRoot = request.to;
  ConsoleRestoreHost host(progressLine);
  RestoreExecution run(ctx, host);
  for (const UnreadableLine& line : list.unreadable) {
    // A line whose path names no place may have been any file: it concerns
    // every restore.
    if (!rules.IsCleanAbsolutePath(line.path) || wanted(line.path)) run.Unreadable(line);
  }
  for (const ListEntry& e : list.entries) {
    if (!e.offered || !wanted(e.fullPath)) continue;
    if (e.IsDirectory()) {
      run.Folder(RestoreDestination(ctx, e.fullPath), true, e.fullPath,
                 RecordedFolder{e.attributes, e.fileDate});
      continue;
    }
    RestoreEntry entry{e.fullPath, e.storedName, e.attributes, e.fileDate, e.Content()};
    run.File(std::move(entry), [&progress, &progressLine, bytes = e.RecordedBytes()] {
      ++progress.filesDone;
      progress.bytesDone += bytes;
      progressLine.Update(progress);
    });
  }
  const RestoreRunTotals totals = run.Finish();
  progressLine.Clear();
  return totals;
}

}  // namespace

int RestoreCommand(const CliOptions& o) {
  if (o.args.empty()) return Usage("restore", CliText(VK_TR_NOOP("Cli", "restore veut un DAY")));
  RestoreRequest request;
  if (const int wrong = ParseRequest(o.args, request)) return wrong;
  StoreLayout layout(PathRules(), "", "");
  std::vector<std::string> folders;
  unsigned workers = 0;
  if (const int failed = LoadDays(o, layout, folders, &workers)) return failed;
  const int index = FindDayOrSay(folders, o.args[0], layout);
  if (index < 0) return 1;
  const PathRules& rules = layout.rules();
  FileSystem& fs = DefaultFileSystem();
  // Files restored into the store would mix with its stored copies, and a
  // later merge of days could take them for its own: refused however the
  // folder is written (relative, or through a link).
  if (!request.to.empty() && PathContainment(fs).IsSameOrBelow(request.to, layout.root())) {
    std::cerr << ForTerminal(FillText(VK_TR_NOOP("Messages",
                                                 "Le dossier de destination (%s) se trouve dans "
                                                 "le dossier des sauvegardes (%s) : choisissez "
                                                 "un dossier en dehors."),
                                      {request.to, layout.root()}))
              << "\n";
    return 2;
  }
  const std::string dayFolder = layout.DayFolder(folders[static_cast<size_t>(index)]);
  const std::string listPath = layout.FileListPath(dayFolder);
  const auto list = ReadCheckedList(fs, listPath, rules, ReadDaySet(fs, layout, dayFolder));
  if (!list) {
    std::cerr << ForTerminal(FillText(VK_TR_NOOP("Messages", "Impossible de lire le fichier (%s)"),
                                      {listPath}))
              << "\n";
    return 1;
  }

  WantedPaths wanted(rules, request.paths);
  const RestoreRunTotals totals =
      RestoreDay(fs, layout, folders, static_cast<size_t>(index), workers, request, *list, wanted);
  int code = PrintSummary(totals);
  if (!wanted.SayUnmatched()) code = 1;
  return code;
}

}  // namespace varnoket
