// `status`: where this station's backups stand, without the window program:
// the last success as the window title says it, the days kept, the size of
// the station's backups and how the latest run ended. Reads only.
#include <iostream>
#include <optional>
#include <string>

#include "app/LastRunOutcome.h"
#include "app/LastSuccess.h"
#include "app/RunStatus.h"
#include "app/StoreAges.h"
#include "cli/CliDialogs.h"
#include "cli/CliText.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "cli/Startup.h"
#include "cli/Units.h"
#include "engine/ActivityLog.h"
#include "engine/DayFolders.h"
#include "engine/RotationState.h"
#include "engine/StoreCheck.h"
#include "platform/MessageText.h"
#include "platform/ShownFormat.h"
#include "platform/Translation.h"
#include "restore/ShownValues.h"

namespace varnoket {

namespace {

// The command's texts.
constexpr const char* kStationLine = VK_TR_NOOP("Messages", "Poste : %s");
constexpr const char* kDaysLine = VK_TR_NOOP("Messages", "Journées mémorisées : %s sur %s au plus");
constexpr const char* kSizeLine =
    VK_TR_NOOP("Messages", "Taille des sauvegardes du poste : %s (%s)");
constexpr const char* kLastRunLine = VK_TR_NOOP("Messages", "Dernière exécution : %s");
constexpr const char* kUnreadableStationFile =
    VK_TR_NOOP("Messages",
               "Le fichier des réglages du poste (%s) ne peut pas être lu : la date de la "
               "dernière sauvegarde qu'il garde est inconnue.");

constexpr const char* kStoreReadLine = VK_TR_NOOP("Messages", "Disque de sauvegarde lu : %s (%s)");
constexpr const char* kRotationDone =
    VK_TR_NOOP("Messages", "Anciennes copies : toutes relues lors de la passe du %s au %s");
constexpr const char* kRotationFirst =
    VK_TR_NOOP("Messages", "Anciennes copies : première passe de relecture en cours depuis le %s");
constexpr const char* kRotationNever =
    VK_TR_NOOP("Messages", "Anciennes copies : aucune relue jusqu'ici");
constexpr const char* kRotationOff =
    VK_TR_NOOP("Messages", "Anciennes copies : pas de relecture tournante (VERIF_JOURS=0)");

// `text` (one of the above) in the person's language.
std::string StatusTr(const char* text) {
  return Translate(kMessagesContext, text);
}

// When every old copy was last decoded by the checks in rotation.
std::string RotationLine(const RotationState& state, int rotationDays) {
  if (!state.doneBegun.empty())
    return FillText(StatusTr(kRotationDone), {state.doneBegun, state.doneEnded});
  if (rotationDays <= 0) return StatusTr(kRotationOff);
  if (!state.passBegun.empty()) return FillText(StatusTr(kRotationFirst), {state.passBegun});
  return StatusTr(kRotationNever);
}

// What the station file says for the status; a file that cannot be read is
// said as such, never as "no backup yet".
struct StationFileView {
  std::optional<Day> lastBackup = kNoBackupDay;
  std::optional<bool> includeHidden;
  std::string problem;
};

StationFileView ReadStationFile(FileSystem& fs, const StoreLayout& layout) {
  StationFileView view;
  const std::string path = StationSettingsPath(layout.rules(), layout.root(), layout.station());
  const auto entry = fs.Stat(path);
  if (!entry) return view;
  CommandDialogs dialogs;
  StationSettings station;
  if (!entry->isRegularFile || !fs.ReadFile(path) ||
      !LoadStationSettings(fs, dialogs, station, layout.root(), layout.station(), layout.rules())) {
    view.problem = FillText(StatusTr(kUnreadableStationFile), {path});
  } else {
    view.lastBackup = station.lastBackupDate;
    view.includeHidden = station.includeHidden;
  }
  return view;
}

// Several disks in turn: each one's presence and last success, then the
// reminders for those long away.
void PrintStoreAges(const std::vector<StoreAge>& ages, int alertDays, const LocalDateTime& now) {
  for (const StoreAge& age : ages) {
    std::cout << ForTerminal(StorePresenceLine(age)) << "\n"
              << "  " << ForTerminal(LastSuccessText(age.lastSuccess, now)) << "\n";
  }
  for (const std::string& reminder : StoreReminders(ages, alertDays, now))
    std::cout << ForTerminal(reminder) << "\n";
}

}  // namespace

int StatusCommand(const CliOptions& o) {
  if (!o.args.empty()) {
    return Usage("status", CliText(VK_TR_NOOP("Cli", "status ne prend aucun argument")));
  }
  FileSystem& fs = DefaultFileSystem();
  auto s = LoadProgramSide(fs, o.programFolder, o.station, o.store);
  if (!s) return 2;
  const PathRules rules(PathStyle::kPosix);
  const StoreLayout layout(rules, s->program.backupRoot, s->stationName);
  // An unplugged disk, or another one in its place, is said first: what
  // follows is then read from whatever the folder holds now.
  const StoreCheck store = CheckStore(fs, layout, ActiveStoreId(fs, s->program));
  const bool present = store.state == StoreState::kPresent || store.state == StoreState::kUnmarked;

  const StationFileView stationFile = ReadStationFile(fs, layout);
  std::optional<Day> lastBackup = stationFile.lastBackup;
  const std::string& stationProblem = stationFile.problem;
  const std::optional<bool>& includeHidden = stationFile.includeHidden;
  const std::vector<std::string> dayFolders = SortedDayFolders(fs, rules, layout.StationFolder());
  const size_t days = dayFolders.size();
  // Each backup day is a run that completed: the newest one is a success
  // even when the settings file does not say so (lost, replaced, reset).
  const LocalDateTime now = SystemClock().Now();
  if (!dayFolders.empty()) {
    const std::optional<Day> newest = ParseKeptDate(DayTextOfFolder(dayFolders.back()));
    const auto recorded = DaysSinceLastSuccess(lastBackup, now);
    const auto fromDays = DaysSinceLastSuccess(newest, now);
    if (fromDays && (!recorded || *fromDays < *recorded)) lastBackup = newest;
  }
  const auto bytes = static_cast<int64_t>(
      FolderBytes(fs, rules, rules.RemoveTrailingSeparator(layout.StationFolder())));
  const std::string logPath = layout.LogPath();
  const LastRunOutcome run = LastRunOutcomeOfLog(ReadWholeFile(fs, logPath));

  // Several disks in turn: the age counts on the most recent one, and the
  // days and size below are those of the disk read.
  std::vector<StoreAge> ages;
  if (!s->program.otherStores.empty()) {
    ages = StoreAges(fs, s->program, s->stationName, lastBackup, now);
    lastBackup = NewestSuccess(ages, now);
  }

  std::cout << FillText(StatusTr(kStationLine), {s->stationName}) << "\n";
  if (!ages.empty()) {
    std::cout << ForTerminal(
                     FillText(kStoreReadLine, {ActiveStoreName(s->program), s->program.backupRoot}))
              << "\n";
  }
  if (!present) std::cout << ForTerminal(store.message) << "\n";
  if (!stationProblem.empty()) std::cout << stationProblem << "\n";
  std::cout << ForTerminal(LastSuccessText(lastBackup, now)) << "\n"
            << FillText(StatusTr(kDaysLine),
                        {std::to_string(days), std::to_string(s->program.daysKept)})
            << "\n"
            << FillText(StatusTr(kSizeLine), {ByteSizeText(bytes, SizeStyle::kShort),
                                              ByteSizeText(bytes, SizeStyle::kExact)})
            << "\n";
  if (includeHidden) std::cout << HiddenFoldersLine(*includeHidden) << "\n";
  std::cout << FillText(StatusTr(kLastRunLine), {LastRunText(run, logPath)}) << "\n";
  // The window program holds today's run when the person stopped it; this
  // tool cannot know, and says the schedule's own answer.
  std::cout << ForTerminal(NextBackupText(now, lastBackup, s->program.preferredHour,
                                          s->program.preferredMinute, false))
            << "\n"
            << ForTerminal(FreeSpaceText(present ? fs.FreeSpace(layout.root()) : std::nullopt))
            << "\n";
  if (present) {
    std::cout << RotationLine(ReadRotationState(fs, layout), s->program.rotationDays) << "\n";
  }
  PrintStoreAges(ages, ReadKey(*s->program.file, kAlertDaysKey), now);
  return 0;
}

}  // namespace varnoket
