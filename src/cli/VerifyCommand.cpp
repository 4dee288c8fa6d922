// `verify [DAY]`: every stored copy a day (or every day) relies on is decoded
// and compared with the day's list; problems are printed, then the counts.
// On a terminal the progress line moves on as each day is done.
#include <iostream>
#include <set>
#include <utility>
#include <vector>

#include "cli/CliText.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "cli/ProgressLine.h"
#include "engine/DamagedCopies.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"
#include "restore/VerifyDay.h"

namespace varnoket {

int VerifyCommand(const CliOptions& o) {
  if (o.args.size() > 1)
    return Usage("verify", CliText(VK_TR_NOOP("Cli", "verify prend un seul DAY")));
  StoreLayout layout(PathRules(), "", "");
  std::vector<std::string> folders;
  unsigned workers = 0;
  if (const int failed = LoadDays(o, layout, folders, &workers)) return failed;
  if (folders.empty()) {
    // Nothing checked is no "0 problems".
    SayNoBackupDays(layout);
    return 1;
  }
  std::vector<size_t> days;
  if (o.args.empty()) {
    for (size_t i = 0; i < folders.size(); ++i) days.push_back(i);
  } else {
    const int index = FindDayOrSay(folders, o.args[0], layout);
    if (index < 0) return 1;
    days.push_back(static_cast<size_t>(index));
  }
  ProgressLine line = ProgressLine::ForStandardOutput();
  ProgressCounts progress;
  std::vector<ProgressCounts> dayTotals;
  if (line.terminal()) {
    for (size_t d : days) {
      dayTotals.push_back(DayListTotals(layout, folders[d]));
      progress.filesTotal += dayTotals.back().filesTotal;
      progress.bytesTotal += dayTotals.back().bytesTotal;
    }
    line.Update(progress, true);
  }
  size_t checked = 0;
  size_t copies = 0;
  size_t problems = 0;
  size_t daysRead = 0;
  // The bad copies found, each noted once for the next run to store its
  // file again.
  std::set<std::pair<std::string, std::string>> bad;
  ConsoleRestoreHost host(line);
  for (size_t i = 0; i < days.size(); ++i) {
    const VerifyCounts c = VerifyDay(DefaultFileSystem(), layout, folders, days[i], host, workers);
    checked += c.checked;
    copies += c.copies;
    problems += c.problems;
    if (c.listRead) ++daysRead;
    bad.insert(c.badCopies.begin(), c.badCopies.end());
    if (line.terminal()) {
      progress.filesDone += dayTotals[i].filesTotal;
      progress.bytesDone += dayTotals[i].bytesTotal;
      line.Update(progress, true);
    }
  }
  line.Clear();
  size_t noted = 0;
  for (const auto& [day, storedName] : bad) {
    if (RecordDamagedCopy(DefaultFileSystem(), layout, day, storedName)) ++noted;
  }
  if (!bad.empty()) {
    std::cout << ForTerminal(FillText(
                     VK_TR_NOOP("Messages",
                                "%s copie(s) endommagée(s) sur %s notée(s) dans (%s) : la "
                                "prochaine sauvegarde stockera à nouveau leurs fichiers s'ils "
                                "n'ont pas changé."),
                     {std::to_string(noted), std::to_string(bad.size()),
                      layout.rules().Join(layout.StationFolder(), kDamagedCopiesName)}))
              << "\n";
  }
  std::cout << ForTerminal(FillText(VK_TR_NOOP("Messages",
                                               "%s jour(s), %s fichier(s) vérifié(s), %s "
                                               "copie(s) décodée(s), %s problème(s)"),
                                    {std::to_string(daysRead), std::to_string(checked),
                                     std::to_string(copies), std::to_string(problems)}))
            << "\n";
  return problems == 0 ? 0 : 1;
}

}  // namespace varnoket
