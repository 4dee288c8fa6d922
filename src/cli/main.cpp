// varnoket-cli: the backup engine without a screen, for scripts, servers and
// checks. It reads and writes the same settings files and the same store as
// the window program.
#include <signal.h>

#include <algorithm>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliText.h"
#include "cli/CommandHelp.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "cli/Startup.h"
#include "engine/BackupContext.h"
#include "engine/BackupRun.h"
#include "engine/DayFolders.h"
#include "engine/EveryStoreRun.h"
#include "engine/LeftOut.h"
#include "engine/RotatingCheck.h"
#include "engine/StationLock.h"
#include "engine/StoreCheck.h"
#include "platform/DecimalText.h"
#include "platform/MessageText.h"
#include "platform/ShownFormat.h"
#include "platform/StationName.h"
#include "platform/Translation.h"
#include "platform/gui/language/ProgramLanguage.h"

namespace varnoket {
namespace {

// The exit codes of `backup`, documented in the README.
constexpr int kExitDone = 0;            // completed, or nothing changed
constexpr int kExitFailed = 1;          // stopped on an error
constexpr int kExitNoRun = 2;           // the settings allow no run
constexpr int kExitBusy = 3;            // another run holds the station
constexpr int kExitForeignStation = 4;  // the station folder is another machine's
constexpr int kExitStopped = 5;         // ended by a signal, stopped at a file boundary
constexpr int kExitNoSpace = 7;         // the changes do not fit on the store's disk
constexpr int kExitLeftOut = 8;         // completed, with entries left out (named in the log)
constexpr int kExitAfterCommand = 9;    // the run ended, but the command after it failed

bool ParseWorkers(const std::string& text, int& workers) {
  if (text.empty() || text.size() > 4 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  return ParseDecimal(text, workers) && workers >= 1 && workers <= 1024;
}

// The settings of a run that writes the store, loaded as the program's
// start-up loads them; nullopt, with `code` set, after saying why there is
// no run.
std::optional<LoadedSettings> LoadForRun(const CliOptions& o, FileSystem& fs, Dialogs& dialogs,
                                         int& code) {
  {
    // Before the load writes its test file and the station file: not in the
    // empty mount point of an unplugged disk.
    const auto side = LoadProgramSide(fs, o.programFolder, o.station, o.store);
    code = kExitNoRun;
    if (!side) return std::nullopt;
    const StoreCheck store = CheckStore(
        fs, StoreLayout(PathRules(PathStyle::kPosix), side->program.backupRoot, o.station),
        ActiveStoreId(fs, side->program));
    if (store.state == StoreState::kAbsent || store.state == StoreState::kOtherDisk ||
        store.state == StoreState::kUnreadable) {
      std::cerr << ForTerminal(store.message) << "\n";
      code = kExitStoreAbsent;
      return std::nullopt;
    }
  }
  auto s = LoadForBackup(fs, dialogs, o.programFolder, o.station, o.store);
  if (s && !s->ownerProblem.empty()) {
    std::cerr << ForTerminal(s->ownerProblem) << "\n";
    code = kExitForeignStation;
    return std::nullopt;
  }
  return s;
}

// What a run on the console works with: the clock, the progress line, the
// host that prints the log, and the run's context over the loaded settings.
struct ConsoleRun {
  ConsoleRun(const CliOptions& o, FileSystem& fs, Dialogs& dialogs, LoadedSettings& s)
      : line(ProgressLine::ForStandardOutput()),
        progress(line),
        host(progress, line),
        ctx(fs, clock, host, dialogs, s.station) {
    ctx.backupRoot = s.program.backupRoot;
    ctx.stationName = s.stationName;
    ctx.workers = static_cast<unsigned>(o.workers >= 0 ? o.workers : s.program.workers);
    DriveInfo drives;
    ctx.storeOnNetwork = StoreIsOnNetwork(drives, s.program);
  }

  SystemClock clock;
  ProgressLine line;
  BackupProgress progress;
  ConsoleHost host;
  BackupContext ctx;
};

// Why the first store with that outcome did not run.
std::string RefusalOf(const std::vector<StoreRun>& runs, BackupOutcome outcome) {
  for (const StoreRun& run : runs) {
    if (run.outcome == outcome) return run.refusal;
  }
  return {};
}

// Ending the tool (a terminal's Ctrl+C, a shutdown, a service stop) stops a
// run at the next file boundary, leaving the store as a stopped run leaves it.
void StopOnSignals() {
  struct sigaction action {};
  action.sa_handler = [](int) { ConsoleHost::stopSignal = 1; };
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

// Loads the settings for a run and hands the options, the settings and a
// console run opened over them to `body`; the load's exit code when it
// fails.
template <typename Body>
int InConsoleRun(const CliOptions& o, Body body) {
  ConsoleDialogs dialogs;
  int code = 0;
  std::optional<LoadedSettings> s = LoadForRun(o, DefaultFileSystem(), dialogs, code);
  if (!s) return code;
  ConsoleRun run(o, DefaultFileSystem(), dialogs, *s);
  return body(o, *s, run);
}

int BackupIn(const CliOptions& o, const LoadedSettings& s, ConsoleRun& run) {
  BackupContext& ctx = run.ctx;
  ProgressLine& line = run.line;
  ctx.daysKept = s.program.daysKept;
  ctx.programSettingsPath = s.program.file->path();
  ctx.commands = s.program.commands;
  ctx.rotationDays = s.program.rotationDays;
  StopOnSignals();

  // Every store here, unless one was named.
  const std::vector<StoreRun> runs = RunBackupOnEveryStore(ctx, s.program, o.store.empty());
  const BackupOutcome outcome = CombinedOutcome(runs);
  line.Clear();
  if (runs.size() > 1) {
    for (const StoreRun& each : runs) std::cout << ForTerminal(StoreRunLine(each)) << "\n";
  }
  // A day saved in full, then a command after it that failed: the code says
  // the command (the log has both).
  const bool saved = outcome == BackupOutcome::kCompleted || outcome == BackupOutcome::kNoChange;
  const bool afterFailed = std::any_of(
      runs.begin(), runs.end(), [](const StoreRun& each) { return each.afterCommandFailed; });
  if (saved && afterFailed) return kExitAfterCommand;
  switch (outcome) {
    case BackupOutcome::kCompleted:
    case BackupOutcome::kNoChange:
      return kExitDone;
    case BackupOutcome::kCompletedWithLeftOut:
      for (const StoreRun& each : runs) {
        if (each.outcome == outcome)
          std::cerr << ForTerminal(CompletedWithLeftOutLine(each.leftOut)) << "\n";
      }
      return kExitLeftOut;
    case BackupOutcome::kFailed:
      return kExitFailed;
    case BackupOutcome::kBusy:
      std::cerr << ForTerminal(RefusalOf(runs, outcome)) << "\n";
      return kExitBusy;
    case BackupOutcome::kForeignStation:
      return kExitForeignStation;
    case BackupOutcome::kStopped:
    case BackupOutcome::kCancelled:
      return kExitStopped;
    case BackupOutcome::kStoreAbsent:
      std::cerr << ForTerminal(RefusalOf(runs, outcome)) << "\n";
      return kExitStoreAbsent;
    case BackupOutcome::kNoSpace:
      return kExitNoSpace;
    case BackupOutcome::kNoDirectories:
      // Said after the pass: with several disks, the set may come from
      // another one.
      std::cerr << ForTerminal(FillText(VK_TR_NOOP("Messages",
                                                   "Aucun répertoire à sauvegarder n'est "
                                                   "configuré (%s)."),
                                        {s.station.path}))
                << "\n";
      break;
    case BackupOutcome::kNotStarted:
      break;
  }
  return kExitNoRun;
}

// `verify --slice`: the next slice of the check of old copies that each run
// makes after its own work, by hand, under the station lock as a run.
int VerifySliceIn(const CliOptions&, const LoadedSettings& s, ConsoleRun& run) {
  BackupContext& ctx = run.ctx;
  ProgressLine& line = run.line;
  const LocalDateTime now = run.clock.Now();
  StationLock lock = LockStation(ctx.fs, ctx.Layout(), ctx.machine, now, ctx.storeOnNetwork);
  if (lock.status != StationLockStatus::kAcquired) {
    std::cerr << ForTerminal(lock.message) << "\n";
    return lock.status == StationLockStatus::kBusy ? kExitBusy : kExitFailed;
  }
  StopOnSignals();
  // By hand, a slice is made even when the runs make none.
  const int period =
      s.program.rotationDays > 0 ? s.program.rotationDays : kRotationDaysKey.fallback;
  const RotationSlice slice = CheckOldCopiesSlice(ctx, DayOf(now), RotationLimits{period});
  line.Clear();
  // A dead run's leftovers are still to be cleaned by the next run.
  if (lock.previousRunEnded) lock.MarkEnded();
  if (slice.copies + slice.unreadable == 0) {
    std::cout << ForTerminal(Translate(kMessagesContext,
                                       VK_TR_NOOP("Messages", "Aucune ancienne copie à vérifier.")))
              << "\n";
  }
  return slice.damaged + slice.unreadable == 0 ? kExitDone : kExitFailed;
}

int Backup(const CliOptions& o) {
  return InConsoleRun(o, BackupIn);
}

int VerifySlice(const CliOptions& o) {
  return InConsoleRun(o, VerifySliceIn);
}

int ListDays(const CliOptions& o) {
  StoreLayout layout(PathRules(), "", "");
  std::vector<std::string> folders;
  if (const int failed = LoadDays(o, layout, folders)) return failed;
  if (folders.empty()) SayNoBackupDays(layout);
  for (const auto& f : folders) std::cout << DayTextOfKey(DayKey(f)) << "\n";
  return 0;
}

int UnknownCommand(const std::string& command) {
  return Usage(CliText(VK_TR_NOOP("Cli", "commande inconnue %s"), {command}));
}

// A station name names one folder of the store, and nothing else.
bool IsStationName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.size() <= kMaxNameLength &&
         name.find('/') == std::string::npos && !HasControlByte(name);
}

// The options before the command, into `o`; `i` ends at the command. An
// exit code when the options already answered (--help, --version) or were
// wrong; nothing to go on with the command.
std::optional<int> ReadOptions(const std::vector<std::string>& words, size_t& i, CliOptions& o) {
  for (; i < words.size(); ++i) {
    if (words[i] == "--store") {
      if (i + 1 >= words.size() || !IsStoreName(words[i + 1])) {
        return Usage(CliText(VK_TR_NOOP(
            "Cli", "--store veut le nom d'un disque de sauvegarde (lettres, chiffres, - ou _)")));
      }
      o.store = words[++i];
    } else if (words[i] == "--program-folder" || words[i] == "--station") {
      // An empty value is an unset shell variable, not a choice: taken as
      // no option it would write beside the program or above the stations.
      if (i + 1 >= words.size() || words[i + 1].empty())
        return Usage(CliText(VK_TR_NOOP("Cli", "%s veut une valeur"), {words[i]}));
      if (words[i] == "--station" && !IsStationName(words[i + 1])) {
        return Usage(CliText(
            VK_TR_NOOP("Cli", "--station veut un nom de poste (sans '/', ni '.' ni '..')")));
      }
      (words[i] == "--station" ? o.station : o.programFolder) = words[i + 1];
      ++i;
    } else if (words[i] == "--workers") {
      if (i + 1 >= words.size() || !ParseWorkers(words[i + 1], o.workers)) {
        return Usage(CliText(VK_TR_NOOP("Cli", "--workers veut un nombre entier de 1 à 1024")));
      }
      ++i;
    } else if (words[i] == "-h" || words[i] == "--help") {
      std::cout << UsageText();
      return 0;
    } else if (words[i] == "--version") {
      std::cout << VersionLine() << "\n";
      return 0;
    } else {
      break;
    }
  }
  return std::nullopt;
}

int Main(int argc, char** argv) {
  CliOptions o;
  std::vector<std::string> words(argv + 1, argv + argc);
  size_t i = 0;
  if (const std::optional<int> answered = ReadOptions(words, i, o)) return *answered;
  if (i >= words.size()) return Usage("");
  o.command = words[i];
  o.args.assign(words.begin() + static_cast<long>(i) + 1, words.end());
  if (CommandUsage(o.command).empty()) return UnknownCommand(o.command);
  // After a command, --help and --version answer and do nothing else.
  for (const std::string& a : o.args) {
    if (a == "-h" || a == "--help") {
      std::cout << CommandUsage(o.command);
      return 0;
    }
    if (a == "--version") {
      std::cout << VersionLine() << "\n";
      return 0;
    }
  }
  if (o.programFolder.empty()) {
    o.programFolder = SettingsFolder();
    if (o.programFolder.empty()) return 2;
  }
  if (o.station.empty()) o.station = GetStationName();
  if (o.command == "backup")
    return o.args.empty() ? Backup(o)
                          : Usage(CliText(VK_TR_NOOP("Cli", "backup ne prend aucun argument")));
  if (o.command == "days")
    return o.args.empty() ? ListDays(o)
                          : Usage(CliText(VK_TR_NOOP("Cli", "days ne prend aucun argument")));
  if (o.command == "restore") return RestoreCommand(o);
  if (o.command == "verify") {
    if (std::find(o.args.begin(), o.args.end(), "--slice") == o.args.end()) return VerifyCommand(o);
    return o.args.size() == 1
               ? VerifySlice(o)
               : Usage("verify",
                       CliText(VK_TR_NOOP("Cli", "verify --slice ne prend rien d'autre")));
  }
  if (o.command == "versions") return VersionsCommand(o);
  if (o.command == "find") return FindCommand(o);
  if (o.command == "changes") return ChangesCommand(o);
  if (o.command == "config") return ConfigCommand(o);
  if (o.command == "add") return AddCommand(o);
  if (o.command == "remove") return RemoveCommand(o);
  if (o.command == "exclude") return ExcludeCommand(o);
  if (o.command == "hidden-folders") return HiddenFoldersCommand(o);
  if (o.command == "include") return IncludeCommand(o);
  if (o.command == "status") return StatusCommand(o);
  return UnknownCommand(o.command);
}

}  // namespace
}  // namespace varnoket

int main(int argc, char** argv) {
  // The tool speaks the windows' language: English under an English locale.
  varnoket::InstallProgramLanguage();
  // Its sizes follow the language, but its dates stay day first
  // (dd/mm/yyyy), the form it takes its days in.
  varnoket::SetShownConventions(varnoket::CurrentShownConventions());
  return varnoket::Main(argc, argv);
}
