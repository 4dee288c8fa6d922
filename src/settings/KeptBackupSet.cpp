#include "settings/KeptBackupSet.h"

#include "platform/PathRules.h"

namespace varnoket {

std::string KeptSetRoot(const std::string& programSettingsPath) {
  const PathRules rules(PathStyle::kPosix);
  return rules.Join(rules.RemoveTrailingSeparator(rules.ParentWithSeparator(programSettingsPath)),
                    kKeptSetsFolder);
}

std::unique_ptr<StationSettings> ReadKeptSet(FileSystem& fs, Dialogs& dialogs,
                                             const std::string& programSettingsPath,
                                             const std::string& station) {
  if (programSettingsPath.empty()) return nullptr;
  const PathRules rules(PathStyle::kPosix);
  const std::string root = KeptSetRoot(programSettingsPath);
  const auto entry = fs.Stat(StationSettingsPath(rules, root, station));
  if (!entry || !entry->isRegularFile) return nullptr;
  auto kept = std::make_unique<StationSettings>();
  // The file is there: the load only reads it (it creates files below a
  // marked store only, and this folder is none).
  if (!LoadStationSettings(fs, dialogs, *kept, root, station, rules)) return nullptr;
  return kept;
}

bool KeepBackupSet(FileSystem& fs, Dialogs& dialogs, const std::string& programSettingsPath,
                   const std::string& station, const StationSettings& set) {
  if (programSettingsPath.empty() || SetRank(set) < 0) return false;
  const PathRules rules(PathStyle::kPosix);
  const std::string root = KeptSetRoot(programSettingsPath);
  const std::string path = StationSettingsPath(rules, root, station);
  if (!fs.CreateDirectories(rules.RemoveTrailingSeparator(rules.ParentWithSeparator(path))))
    return false;
  StationSettings kept;
  // A set saved on a disk that does not count its saves yet (a single
  // disk's) keeps its count: the copy then counts the change itself, so the
  // edit still wins over the older set of the disk that comes next.
  StationSettings from;
  from.backupDirectories = set.backupDirectories;
  from.exclusions = set.exclusions;
  from.includeHidden = set.includeHidden;
  from.maxFileMegabytes = set.maxFileMegabytes;
  from.setVersion = set.setVersion;
  if (fs.Exists(path)) {
    if (!LoadStationSettings(fs, dialogs, kept, root, station, rules)) return false;
    const bool same = SameBackupSet(kept, set);
    if (same && kept.setVersion == set.setVersion) return true;
    if (!same && kept.setVersion >= set.setVersion && kept.setVersion < kSetVersionKey.high)
      from.setVersion = kept.setVersion + 1;
  } else {
    kept.path = path;
    kept.file = std::make_unique<IniFile>(fs, path);
  }
  try {
    CopyBackupSet(from, kept);
  } catch (const IniError&) {
    return false;
  }
  return true;
}

}  // namespace varnoket
