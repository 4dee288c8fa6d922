// `config`, `config store DIR`, `config time HH:MM`, `config days N`: the
// program settings the configuration dialog edits, with the dialog's checks
// and texts; `config before-command|after-command CMD` and
// `config before-limit|after-limit MIN`: the commands run around each run.
// A refused value leaves the settings file as it was.
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#include "cli/CliDialogs.h"
#include "cli/CliText.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "platform/AsciiText.h"
#include "platform/MessageText.h"
#include "platform/PathRules.h"
#include "platform/Translation.h"
#include "platform/TypedPath.h"
#include "settings/ConfigurationRules.h"
#include "settings/NumberField.h"
#include "settings/ProgramSettings.h"
#include "settings/StationSettings.h"
#include "settings/StoreInBackedUpFolder.h"
#include "settings/StoreMarker.h"

namespace varnoket {

namespace {

// The command's own texts (the refusals are the dialog's).
constexpr const char* kShowRoot = VK_TR_NOOP("Messages", "Dossier des sauvegardes : %s");
constexpr const char* kShowOtherStore =
    VK_TR_NOOP("Messages", "Disque de sauvegarde suivant, %s : %s");
constexpr const char* kRootNotSet = VK_TR_NOOP("Messages", "(non configuré)");
constexpr const char* kShowTime = VK_TR_NOOP("Messages", "Heure de la sauvegarde quotidienne : %s");
constexpr const char* kShowDays = VK_TR_NOOP("Messages", "Journées successives mémorisées : %s");
constexpr const char* kShowBefore =
    VK_TR_NOOP("Messages", "Commande avant la sauvegarde : %s (au plus %s minute(s))");
constexpr const char* kShowAfter =
    VK_TR_NOOP("Messages", "Commande après la sauvegarde : %s (au plus %s minute(s))");
constexpr const char* kNoCommand = VK_TR_NOOP("Messages", "(aucune)");
constexpr const char* kShowNetwork = VK_TR_NOOP(
    "Messages", "Dossier des sauvegardes sur un partage réseau : permis (avec son verrou)");
constexpr const char* kOnOrOff =
    VK_TR_NOOP("Messages", "network-store prend on (permettre un partage réseau) ou off.");
constexpr const char* kMinutesRange = VK_TR_NOOP(
    "Messages", "Le temps d'une commande doit être un nombre de minutes entre 1 et 1440 !");
constexpr const char* kCommandLines =
    VK_TR_NOOP("Messages", "Une commande tient sur une seule ligne.");

void Show(const ProgramSettings& s) {
  char time[16];
  std::snprintf(time, sizeof time, "%02d:%02d", s.preferredHour, s.preferredMinute);
  const auto tr = [](const char* text) { return Translate(kMessagesContext, text); };
  std::cout << FillText(tr(kShowRoot), {s.firstRoot.empty() ? tr(kRootNotSet) : s.firstRoot})
            << "\n";
  for (const StoreEntry& other : s.otherStores)
    std::cout << FillText(tr(kShowOtherStore), {other.name, other.root}) << "\n";
  std::cout << FillText(tr(kShowTime), {time}) << "\n"
            << FillText(tr(kShowDays), {std::to_string(s.daysKept)}) << "\n";
  if (s.networkStore) std::cout << ForTerminal(tr(kShowNetwork)) << "\n";
  // The commands, once one is set.
  if (s.commands.before.empty() && s.commands.after.empty()) return;
  const auto command = [&](const char* text, const std::string& value, int minutes) {
    std::cout << ForTerminal(FillText(
                     tr(text), {value.empty() ? tr(kNoCommand) : value, std::to_string(minutes)}))
              << "\n";
  };
  command(kShowBefore, s.commands.before, s.commands.beforeMinutes);
  command(kShowAfter, s.commands.after, s.commands.afterMinutes);
}

// A command is kept as typed, on one line of the settings file; "" removes it.
int SetCommand(FileSystem& fs, ProgramSettings& settings, const TextKey& key,
               const std::string& typed, std::string& kept) {
  if (typed.find_first_of("\r\n") != std::string::npos) return Refuse(kCommandLines);
  const std::string command(TrimBlanks(typed));
  fs.ClearAttributes(settings.file->path());
  WriteKey(*settings.file, key, command);
  kept = command;
  return 0;
}

// On: the store may be on a network share (each run then needs the share's
// own lock). Off: a store on a share is dropped when the settings are read,
// as it always was.
int SetNetworkStore(FileSystem& fs, ProgramSettings& settings, const std::string& typed) {
  if (typed != "on" && typed != "off") return Refuse(kOnOrOff);
  fs.ClearAttributes(settings.file->path());
  WriteKey(*settings.file, kNetworkStoreKey, typed == "on" ? "1" : "0");
  settings.networkStore = typed == "on";
  return 0;
}

int SetMinutes(FileSystem& fs, ProgramSettings& settings, const NumberKey& key,
               const std::string& typed, int& kept) {
  const NumberFieldRule rule{key.low, key.high, kMinutesRange};
  if (typed.empty() || !NumberFieldAccepts(rule, typed)) return Refuse(kMinutesRange);
  fs.ClearAttributes(settings.file->path());
  WriteKey(*settings.file, key, typed);
  ParseWholeNumber(typed, kept);
  return 0;
}

// The dialog's choice of a root, then its validation with the other fields
// as they are in memory.
int SetStore(FileSystem& fs, ProgramSettings& settings, const CliOptions& o,
             const std::string& typed) {
  if (o.station.empty()) return Refuse(kNoStationName);
  const std::string choice = AbsolutePath(typed);
  DriveInfo drives;
  const RootChoiceCheck check = CheckBackupRootChoice(fs, drives, choice, settings.networkStore);
  if (check.refusal != RootRefusal::None) return Refuse(check.text);
  if (const std::string nested = NestingRefusal(fs, settings.otherStores, choice); !nested.empty())
    return Refuse(nested);
  // The set in use now and the one the new store already holds (a store
  // chosen again) must not back the store up.
  CommandDialogs setReader;
  const std::string inSet =
      StoreInBackedUpFolderRefusal(fs, setReader, settings.backupRoot, o.station, choice);
  if (!inSet.empty()) return Refuse(inSet);
  if (!CanWriteInFolder(fs, choice)) return Refuse(kRootNotWritable);
  // As the dialog: the marker says this folder is the store, and the id
  // kept in the settings that it is this one.
  const std::optional<StoreMarker> marker = MarkStore(fs, choice);
  if (!marker) {
    return Refuse(HasUnreadableMarker(fs, choice) ? UnreadableMarkerText(choice)
                                                  : std::string(kRootNotWritable));
  }
  // Another disk of the list, plugged in turn at this folder, is not the first.
  for (const StoreEntry& other : settings.otherStores) {
    if (other.id == marker->id) return Refuse(FillText(kOtherDiskOfTheList, {choice}));
  }
  const ConfigurationFields fields{choice, std::to_string(settings.preferredHour),
                                   std::to_string(settings.preferredMinute),
                                   std::to_string(settings.daysKept)};
  WriteProgramSettings(fs, settings, fields);
  WriteKey(*settings.file, kStoreIdKey, marker->id);
  ApplyProgramSettings(settings, fields);
  CommandDialogs dialogs;
  StationSettings station;
  const PathRules rules(PathStyle::kPosix);
  if (!EnsureStationSettings(fs, dialogs, station,
                             StationSettingsPath(rules, settings.backupRoot, o.station),
                             settings.backupRoot)) {
    return kRefused;
  }
  return 0;
}

// Each number is checked as the dialog's field checks what is typed, and
// only its own keys are written: the store and the other numbers stay as
// the file holds them.
int SetTime(FileSystem& fs, ProgramSettings& settings, const std::string& typed) {
  const size_t colon = typed.find(':');
  const std::string hour = typed.substr(0, colon);
  std::string minute = colon == std::string::npos ? "" : typed.substr(colon + 1);
  if (hour.empty()) return Refuse(kEnterHour);
  if (!NumberFieldAccepts(kHourRule, hour)) return Refuse(kHourRule.message);
  if (minute.empty()) minute = std::to_string(kPreferredMinuteKey.fallback);
  if (!NumberFieldAccepts(kMinuteRule, minute)) return Refuse(kMinuteRule.message);
  fs.ClearAttributes(settings.file->path());
  WriteKey(*settings.file, kPreferredHourKey, hour);
  WriteKey(*settings.file, kPreferredMinuteKey, minute);
  ParseWholeNumber(hour, settings.preferredHour);
  ParseWholeNumber(minute, settings.preferredMinute);
  return 0;
}

int SetDays(FileSystem& fs, ProgramSettings& settings, const std::string& typed) {
  if (typed.empty()) return Refuse(kEnterDays);
  if (!NumberFieldAccepts(kDaysKeptRule, typed)) return Refuse(kDaysKeptRule.message);
  fs.ClearAttributes(settings.file->path());
  WriteKey(*settings.file, kDaysKeptKey, typed);
  // As the dialog's validation: a 1 is kept in the file and used as 2.
  ParseWholeNumber(typed, settings.daysKept);
  settings.daysKept = RaiseToFloor(kDaysKeptKey, settings.daysKept);
  return 0;
}

bool IsStoreListAction(const std::vector<std::string>& args) {
  return args.size() >= 2 && args[0] == "store" &&
         (args[1] == "add" || args[1] == "remove" || args[1] == "list");
}

}  // namespace

int ConfigCommand(const CliOptions& o) {
  const bool storeList = IsStoreListAction(o.args);
  if (!storeList && (o.args.size() == 1 || o.args.size() > 2)) return Usage("config", "");
  FileSystem& fs = DefaultFileSystem();
  DriveInfo drives;
  std::string error;
  ProgramSettings settings = LoadProgramSettings(fs, drives, o.programFolder, &error);
  if (!settings.IsOpen()) {
    return Refuse(Translate(kMessagesContext, kIniNotInitialised) + " (" +
                  JoinPath(o.programFolder, kProgramSettingsName) + ": " + error + ")");
  }
  if (!settings.notice.empty()) std::cerr << ForTerminal(settings.notice) << "\n";
  if (o.args.empty()) {
    Show(settings);
    return 0;
  }
  if (storeList) {
    try {
      return StoreListCommand(o, fs, settings);
    } catch (const IniError& e) {
      return Refuse(e.what());
    }
  }
  const std::string& what = o.args[0];
  const std::string& value = o.args[1];
  int code = 0;
  try {
    if (what == "store") {
      code = SetStore(fs, settings, o, value);
    } else if (what == "time") {
      code = SetTime(fs, settings, value);
    } else if (what == "days") {
      code = SetDays(fs, settings, value);
    } else if (what == "network-store") {
      code = SetNetworkStore(fs, settings, value);
    } else if (what == "before-command") {
      code = SetCommand(fs, settings, kBeforeCommandKey, value, settings.commands.before);
    } else if (what == "after-command") {
      code = SetCommand(fs, settings, kAfterCommandKey, value, settings.commands.after);
    } else if (what == "before-limit") {
      code = SetMinutes(fs, settings, kBeforeMinutesKey, value, settings.commands.beforeMinutes);
    } else if (what == "after-limit") {
      code = SetMinutes(fs, settings, kAfterMinutesKey, value, settings.commands.afterMinutes);
    } else {
      return Usage("config", CliText(VK_TR_NOOP("Cli",
                                                "config règle store, time, days, network-store, "
                                                "before-command, after-command, before-limit ou "
                                                "after-limit, pas %s"),
                                     {what}));
    }
  } catch (const IniError& e) {
    return Refuse(e.what());
  }
  if (code == 0) Show(settings);
  return code;
}

}  // namespace varnoket
