#include "settings/StationSettings.h"

#include <algorithm>

#include "platform/AsciiText.h"
#include "platform/MessageText.h"
#include "platform/PathContainment.h"
#include "platform/PathRules.h"
#include "platform/Translation.h"
#include "settings/NumberField.h"
#include "settings/ProgramSettings.h"
#include "settings/StoreMarker.h"

namespace varnoket {
namespace {

std::string ValueAfterEquals(const std::string& line) {
  const size_t eq = line.find('=');
  return std::string(TrimBlanks(std::string_view(line).substr(eq + 1)));
}

void SetOption(std::vector<std::pair<std::string, std::string>>& options, const std::string& name,
               std::string value) {
  for (auto& [key, v] : options) {
    if (key == name) {
      v = std::move(value);
      return;
    }
  }
  options.emplace_back(name, std::move(value));
}

int NextSetVersion(int version) {
  return version < kSetVersionKey.high ? version + 1 : version;
}

void WriteSetVersion(StationSettings& settings, int version) {
  WriteKey(*settings.file, kSetVersionKey, std::to_string(version));
  settings.setVersion = version;
  settings.countsSaves = true;
}

// A save of the set, counted when the file counts them.
void CountSave(StationSettings& settings) {
  if (settings.countsSaves) WriteSetVersion(settings, NextSetVersion(settings.setVersion));
}

}  // namespace

std::string StationSettingsPath(const PathRules& rules, const std::string& root,
                                const std::string& station) {
  return rules.Join(rules.Join(root, station), station + ".ini");
}

bool EnsureStationSettings(FileSystem& fs, Dialogs& dialogs, StationSettings& settings,
                           const std::string& path, const std::string& root) {
  if (fs.Exists(path)) return true;
  // Below an unmarked root (the empty mount point of an unplugged disk) the
  // file would land on the system disk and show an empty backup set.
  if (!ReadStoreMarker(fs, root)) return false;
  const std::string folder = PathRules().ParentWithSeparator(path);
  bool created = folder.empty() || fs.CreateDirectories(folder);
  if (created) {
    try {
      auto file = std::make_unique<IniFile>(fs, path);
      WriteKey(*file, kLastBackupKey, kNoBackupDate);
      // A new set walks hidden folders: mail, keys and settings live there.
      WriteKey(*file, kIncludeHiddenKey, std::to_string(kIncludeHiddenForNewSets));
      settings.file = std::move(file);
      settings.path = path;
      settings.lastBackupDate = kNoBackupDay;
    } catch (const IniError&) {
      created = false;
    }
  }
  if (!created) {
    dialogs.Error(FillText(VK_TR_NOOP("Messages",
                                      "Le fichier ini (%s) n'a pas pu être créé !\r\n"
                                      "Vérifiez vos droits d'accès au répertoire (%s)"),
                           {path, root}));
  }
  return created;
}

bool LoadStationSettings(FileSystem& fs, Dialogs& dialogs, StationSettings& settings,
                         const std::string& root, const std::string& station,
                         const PathRules& rules) {
  const std::string path = StationSettingsPath(rules, root, station);
  settings.path = path;
  if (!fs.Exists(path) && !EnsureStationSettings(fs, dialogs, settings, path, root)) return false;
  // Unreadable reads as empty: defaults everywhere, no directory.
  settings.file = std::make_unique<IniFile>(fs, path);
  const IniFile& ini = *settings.file;
  if (const std::string notice = KeptAsideNotice(ini); !notice.empty()) dialogs.Warning(notice);

  // A key counts when the line starts with its name, so a longer key that
  // begins with the name is taken for it; the last such line wins.
  auto is = [](const std::string& line, const auto& key) {
    return StartsWithIgnoreCase(line, key.name);
  };
  settings.maxFileMegabytes = kMaxFileSizeKey.fallback;
  settings.includeHidden = kIncludeHiddenKey.fallback != 0;
  settings.setVersion = kSetVersionKey.fallback;
  settings.countsSaves = false;
  std::string lastBackup = kNoBackupDate;
  for (const std::string& line : ini.SectionLines(kParamsSection)) {
    if (is(line, kLastBackupKey)) {
      lastBackup = ValueAfterEquals(line);
    } else if (is(line, kExclusionsKey)) {
      settings.exclusions = FromCommaText(ValueAfterEquals(line));
      SortAsDisplayed(settings.exclusions);
    } else if (is(line, kMaxFileSizeKey)) {
      int limit = kMaxFileSizeKey.fallback;
      if (!ParseWholeNumber(ValueAfterEquals(line), limit)) limit = kMaxFileSizeKey.fallback;
      settings.maxFileMegabytes = RaiseToFloor(kMaxFileSizeKey, limit);
    } else if (is(line, kIncludeHiddenKey)) {
      int include = kIncludeHiddenKey.fallback;
      if (!ParseWholeNumber(ValueAfterEquals(line), include)) include = kIncludeHiddenKey.fallback;
      settings.includeHidden = include != 0;
    } else if (is(line, kRestoreDirKey)) {
      SetOption(settings.restoreOptions, kRestoreDirKey.name, ValueAfterEquals(line));
    } else if (is(line, kRestoreViaFtpKey)) {
      SetOption(settings.restoreOptions, kRestoreViaFtpKey.name, ValueAfterEquals(line));
    }
  }

  // The save count is a key of this program's own: read by its exact name,
  // as it is written, so a line that only begins with it changes nothing.
  if (const auto count = ini.ReadString(kParamsSection, kSetVersionKey.name)) {
    settings.countsSaves = true;
    int version = kSetVersionKey.fallback;
    if (!ParseWholeNumber(std::string(TrimBlanks(*count)), version))
      version = kSetVersionKey.fallback;
    settings.setVersion = RaiseToFloor(kSetVersionKey, version);
  }

  // Directory keys are not interpreted: the list box order decides the
  // numbering at the next save.
  settings.directories.clear();
  for (const std::string& line : ini.SectionLines(kDirectoriesSection)) {
    settings.directories.push_back(ValueAfterEquals(line));
  }
  SortAsDisplayed(settings.directories);
  settings.backupDirectories = settings.directories;
  settings.lastBackupDate = ParseKeptDate(lastBackup).value_or(kNoBackupDay);
  return true;
}

bool SaveBackupSet(Dialogs& dialogs, StationSettings& settings) {
  if (!settings.file) return true;
  std::vector<std::pair<std::string, std::string>> keys;
  keys.reserve(settings.directories.size());
  for (size_t i = 0; i < settings.directories.size(); ++i) {
    std::string key = kDirectoryKeyPrefix;
    key += std::to_string(i + 1);  // (not "D" + ...: GCC 12 warns wrongly at -O3)
    keys.emplace_back(std::move(key), settings.directories[i]);
  }
  try {
    // One write for the whole section: a crash cannot leave it half written.
    settings.file->ReplaceSection(kDirectoriesSection, keys);
    settings.backupDirectories = settings.directories;
    WriteKey(*settings.file, kExclusionsKey, ToCommaText(settings.exclusions));
    CountSave(settings);
  } catch (const IniError&) {
    dialogs.Error(VK_TR_NOOP("Messages",
                             "Une erreur s'est produite lors de la mise à jour des paramètres !\r\n"
                             "Veuillez contacter votre administrateur système !"));
    return false;
  }
  return true;
}

void WriteIncludeHidden(StationSettings& settings, bool include) {
  if (!settings.file) throw IniError(kIniNotInitialised);
  WriteKey(*settings.file, kIncludeHiddenKey, include ? "1" : "0");
  settings.includeHidden = include;
  CountSave(settings);
}

void CountSetSaves(StationSettings& settings) {
  if (!settings.file) throw IniError(kIniNotInitialised);
  if (!settings.countsSaves) WriteSetVersion(settings, settings.setVersion);
}

int SetRank(const StationSettings& set) {
  return set.setVersion == 0 && set.backupDirectories.empty() ? -1 : set.setVersion;
}

bool SameBackupSet(const StationSettings& a, const StationSettings& b) {
  return a.backupDirectories == b.backupDirectories && a.exclusions == b.exclusions &&
         a.includeHidden == b.includeHidden && a.maxFileMegabytes == b.maxFileMegabytes;
}

void CopyBackupSet(const StationSettings& from, StationSettings& to) {
  if (!to.file) throw IniError(kIniNotInitialised);
  std::vector<std::pair<std::string, std::string>> keys;
  // The saved set, not a list box's edits in progress.
  for (size_t i = 0; i < from.backupDirectories.size(); ++i)
    keys.emplace_back(kDirectoryKeyPrefix + std::to_string(i + 1), from.backupDirectories[i]);
  to.file->ReplaceSection(kDirectoriesSection, keys);
  to.directories = from.backupDirectories;
  to.backupDirectories = from.backupDirectories;
  WriteKey(*to.file, kExclusionsKey, ToCommaText(from.exclusions));
  to.exclusions = from.exclusions;
  WriteKey(*to.file, kIncludeHiddenKey, from.includeHidden ? "1" : "0");
  to.includeHidden = from.includeHidden;
  WriteKey(*to.file, kMaxFileSizeKey, std::to_string(from.maxFileMegabytes));
  to.maxFileMegabytes = from.maxFileMegabytes;
  // The count last: a copy cut short keeps the older count, and is made
  // again by the next run.
  WriteSetVersion(to, from.setVersion);
}

void WriteLastBackup(StationSettings& settings, const Day& date) {
  if (!settings.file) throw IniError(kIniNotInitialised);
  WriteKey(*settings.file, kLastBackupKey, DayText(date));
  settings.lastBackupDate = date;
}

int FindRootAncestor(FileSystem& fs, const std::vector<std::string>& directories,
                     const std::string& root) {
  PathContainment containment(fs);
  for (size_t i = 0; i < directories.size(); ++i) {
    if (containment.IsSameOrBelow(root, directories[i])) return static_cast<int>(i);
  }
  return -1;
}

void SortAsDisplayed(std::vector<std::string>& items) {
  std::stable_sort(items.begin(), items.end(), [](const std::string& a, const std::string& b) {
    return CompareIgnoreCase(a, b) < 0;
  });
}

}  // namespace varnoket
