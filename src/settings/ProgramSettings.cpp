#include "settings/ProgramSettings.h"

#include <algorithm>

#include "platform/AsciiText.h"
#include "platform/MessageText.h"
#include "platform/PathRules.h"
#include "platform/Translation.h"

namespace varnoket {

std::string CleanBackupRoot(DriveInfo& drives, const std::string& raw, bool networkAllowed) {
  const PathRules posix(PathStyle::kPosix);
  std::string root = posix.RemoveTrailingSeparator(TrimBlanks(raw));
  // The store must not live on a share unless the person said so: every
  // station would then depend on the network being there at backup time.
  if (root.rfind("\\\\", 0) == 0) return {};
  if (!networkAllowed && IsRemotePath(drives, root)) return {};
  return root;
}

bool StoreIsOnNetwork(DriveInfo& drives, const ProgramSettings& settings) {
  return settings.networkStore && IsRemotePath(drives, settings.backupRoot);
}

std::vector<StoreEntry> AllStores(FileSystem& fs, const ProgramSettings& settings) {
  std::vector<StoreEntry> stores;
  // While the first store is the one worked on, backupRoot is its root.
  const std::string& first = settings.activeStore == 0 ? settings.backupRoot : settings.firstRoot;
  if (first.empty()) return stores;
  std::string firstId;
  if (settings.IsOpen()) firstId = ReadKey(IniFile(fs, settings.file->path()), kStoreIdKey);
  stores.push_back(StoreEntry{settings.firstStoreName, first, firstId});
  stores.insert(stores.end(), settings.otherStores.begin(), settings.otherStores.end());
  return stores;
}

void UseStore(ProgramSettings& settings, size_t index) {
  if (index > settings.otherStores.size()) return;
  settings.activeStore = index;
  settings.backupRoot = index == 0 ? settings.firstRoot : settings.otherStores[index - 1].root;
}

std::string ActiveStoreId(FileSystem& fs, const ProgramSettings& settings) {
  if (settings.activeStore > 0 && settings.activeStore <= settings.otherStores.size())
    return settings.otherStores[settings.activeStore - 1].id;
  if (!settings.IsOpen()) return {};
  return ReadKey(IniFile(fs, settings.file->path()), kStoreIdKey);
}

std::string ActiveStoreName(const ProgramSettings& settings) {
  if (settings.activeStore > 0 && settings.activeStore <= settings.otherStores.size())
    return settings.otherStores[settings.activeStore - 1].name;
  return settings.firstStoreName;
}

std::string KeptAsideNotice(const IniFile& file) {
  if (file.keptAsideAs().empty()) return {};
  return FillText(
      VK_TR_NOOP(
          "Messages",
          "Le fichier de paramètres (%s) était illisible : il a été mis de côté sous le nom (%s) "
          "et les valeurs par défaut sont utilisées."),
      {file.path(), file.keptAsideAs()});
}

ProgramSettings LoadProgramSettings(FileSystem& fs, DriveInfo& drives,
                                    const std::string& programFolder, std::string* error) {
  ProgramSettings settings;
  const std::string path = PathRules(PathStyle::kPosix).Join(programFolder, kProgramSettingsName);
  if (!fs.Exists(path)) {
    if (const FsStatus written = fs.WriteFileAtomic(path, DefaultProgramSettingsText()); !written) {
      if (error != nullptr) {
        *error = FillText(VK_TR_NOOP("Messages", "Impossible de créer le fichier %s : %s"),
                          {path, written.Reason()});
      }
      return settings;
    }
  }
  // Something other than a file under the settings' name, or a file that
  // cannot be read, is said as what it is: reading it as an empty file would
  // tell the person that nothing is configured.
  if (const auto entry = fs.Stat(path); entry && !entry->isRegularFile) {
    if (error != nullptr) {
      *error = FillText(VK_TR_NOOP("Messages",
                                   "Le fichier de paramètres (%s) n'est pas un fichier (un "
                                   "dossier ou autre chose porte son nom) : les réglages ne "
                                   "peuvent pas être lus."),
                        {path});
    }
    return settings;
  }
  if (FsStatus why; !fs.ReadFile(path, why)) {
    if (error != nullptr) {
      *error = FillText(
          VK_TR_NOOP("Messages", "Le fichier de paramètres (%s) ne peut pas être lu : %s."),
          {path, why.Reason()});
    }
    return settings;
  }
  settings.file = std::make_unique<IniFile>(fs, path);
  const IniFile& ini = *settings.file;
  settings.notice = KeptAsideNotice(ini);
  settings.networkStore = ReadKey(ini, kNetworkStoreKey) == 1;
  settings.backupRoot =
      CleanBackupRoot(drives, ReadKey(ini, kBackupRootKey), settings.networkStore);
  settings.firstRoot = settings.backupRoot;
  const std::string firstName(TrimBlanks(ReadKey(ini, kFirstStoreNameKey)));
  if (IsStoreName(firstName)) settings.firstStoreName = firstName;
  // Stores on a share are dropped as the first one is, unless allowed.
  for (StoreEntry& store :
       ReadOtherStores(ini, settings.firstStoreName, ReadKey(ini, kStoreIdKey))) {
    if (!CleanBackupRoot(drives, store.root, settings.networkStore).empty())
      settings.otherStores.push_back(std::move(store));
  }
  settings.preferredHour = ReadKey(ini, kPreferredHourKey);
  settings.preferredMinute = ReadKey(ini, kPreferredMinuteKey);
  settings.daysKept = ReadKey(ini, kDaysKeptKey);
  settings.workers = ReadKey(ini, kWorkersKey);
  settings.rotationDays = std::min(ReadKey(ini, kRotationDaysKey), kRotationDaysKey.high);
  settings.commands.before = TrimBlanks(ReadKey(ini, kBeforeCommandKey));
  settings.commands.after = TrimBlanks(ReadKey(ini, kAfterCommandKey));
  // A file may hold any number; more than a day is taken for a day.
  settings.commands.beforeMinutes =
      std::min(ReadKey(ini, kBeforeMinutesKey), kBeforeMinutesKey.high);
  settings.commands.afterMinutes = std::min(ReadKey(ini, kAfterMinutesKey), kAfterMinutesKey.high);
  return settings;
}

}  // namespace varnoket
