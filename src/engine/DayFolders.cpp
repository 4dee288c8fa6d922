#include "engine/DayFolders.h"

#include <algorithm>
#include <memory>

#include "engine/FileRecord.h"
#include "engine/InternalCheck.h"
#include "engine/StationReadLock.h"
#include "engine/StoreLayout.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"
#include "settings/SettingsKeys.h"

namespace varnoket {

std::string DayKey(const std::string& name) {
  if (name.size() != 8 ||
      !std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return {};
  }
  return name.substr(4, 4) + name.substr(2, 2) + name.substr(0, 2) + name;
}

std::string FolderOfKey(const std::string& key) {
  return key.size() >= 16 ? key.substr(8, 8) : "";
}

std::string DayTextOfKey(const std::string& key) {
  if (key.size() < 16) return {};
  return key.substr(8, 2) + "/" + key.substr(10, 2) + "/" + key.substr(12, 4);
}

void ListDayFolders(FileSystem& fs, const PathRules& rules, const std::string& stationFolder,
                    std::vector<std::string>& keys, const std::function<void()>& pump) {
  if (stationFolder.empty()) return;
  const auto entries = fs.ListDirectory(stationFolder);
  if (!entries) return;
  for (const DirEntry& e : *entries) {
    // A link in a day's place would make the store read, and a merge empty,
    // a folder that lies anywhere: no backup day.
    if (!e.isDirectory || e.isSymlink || e.hidden || e.system) continue;
    if (pump) pump();
    const std::string key = DayKey(e.name);
    if (key.empty()) continue;
    if (!fs.IsFile(rules.Join(rules.Join(stationFolder, e.name), kFileListName))) continue;
    keys.push_back(key);
  }
}

uint64_t FolderBytes(FileSystem& fs, const PathRules& rules, const std::string& folder) {
  uint64_t total = 0;
  std::vector<std::string> folders{folder};
  while (!folders.empty()) {
    const std::string next = std::move(folders.back());
    folders.pop_back();
    const auto entries = fs.ListDirectory(next);
    if (!entries) continue;
    for (const DirEntry& e : *entries) {
      if (e.isSymlink) continue;
      if (e.isDirectory) folders.push_back(rules.Join(next, e.name));
      if (e.isRegularFile) total += e.size;
    }
  }
  return total;
}

std::vector<std::string> SortedDayFolders(FileSystem& fs, const PathRules& rules,
                                          const std::string& stationFolder) {
  std::vector<std::string> keys;
  ListDayFolders(fs, rules, stationFolder, keys);
  std::sort(keys.begin(), keys.end());
  std::vector<std::string> folders;
  folders.reserve(keys.size());
  for (const auto& k : keys) folders.push_back(FolderOfKey(k));
  return folders;
}

bool MergeDirectories(FileSystem& fs, const PathRules& rules, const std::string& destination,
                      const std::string& source, MergeMode mode,
                      const std::function<void()>& pump) {
  VARNOKET_CHECK(!destination.empty() && !source.empty(),
                 "Nom de répertoire vide dans MergeDirectories() !!");
  if (pump) pump();
  const auto entries = fs.ListDirectory(source);
  if (!entries) return true;
  bool ok = true;
  // Subfolders first, then the files, as a move of a whole tree goes.
  for (const DirEntry& e : *entries) {
    if (!e.isDirectory || e.isSymlink || e.hidden || e.system) continue;
    ok = MergeDirectories(fs, rules, rules.Join(destination, e.name), rules.Join(source, e.name),
                          mode, pump) &&
         ok;
  }
  for (const DirEntry& e : *entries) {
    if (e.isDirectory && !e.isSymlink) continue;
    const std::string from = rules.Join(source, e.name);
    const std::string to = rules.Join(destination, e.name);
    if (fs.Exists(to)) {
      fs.ClearAttributes(to);
    } else {
      fs.CreateDirectories(destination);
    }
    // A rename moves the file at once; across file systems it is copied, and
    // the source is deleted only once its copy is in place, so a failed copy
    // loses nothing.
    if (!fs.Rename(from, to) && fs.CopyFile(from, to, true)) fs.DeleteFile(from);
  }
  fs.RemoveDirectory(source);
  return ok;
}

namespace {

// ShareWantedFiles below `source`, whose path relative to the top of the
// tree is `relative` ("" at the top).
bool ShareWantedBelow(FileSystem& fs, const PathRules& rules, const std::string& destination,
                      const std::string& source, const std::string& relative,
                      const std::unordered_set<std::string>& wanted,
                      const std::function<void()>& pump) {
  if (pump) pump();
  const auto entries = fs.ListDirectory(source);
  if (!entries) return false;  // what it holds may be wanted
  for (const DirEntry& e : *entries) {
    const std::string name = relative.empty() ? e.name : rules.Join(relative, e.name);
    const std::string from = rules.Join(source, e.name);
    const std::string to = rules.Join(destination, e.name);
    if (e.isDirectory && !e.isSymlink) {
      if (!ShareWantedBelow(fs, rules, to, from, name, wanted, pump)) return false;
      continue;
    }
    if (wanted.count(name) == 0 || fs.Exists(to)) continue;
    if (!fs.CreateDirectories(destination)) return false;
    if (!fs.LinkFile(from, to) && !fs.CopyFile(from, to, false)) return false;
  }
  return true;
}

void AddStoredNames(const std::vector<std::string>& lines, std::unordered_set<std::string>& names) {
  for (const std::string& line : lines) {
    const auto rec = ViewFileRecord(line);
    if (rec && !rec->IsDirectory()) names.emplace(rec->storedName);
  }
}

}  // namespace

bool ShareWantedFiles(FileSystem& fs, const PathRules& rules, const std::string& destination,
                      const std::string& source, const std::unordered_set<std::string>& wanted,
                      const std::function<void()>& pump) {
  VARNOKET_CHECK(!destination.empty() && !source.empty(),
                 "Nom de répertoire vide dans ShareWantedFiles() !!");
  return ShareWantedBelow(fs, rules, destination, source, "", wanted, pump);
}

bool RemoveTree(FileSystem& fs, const PathRules& rules, const std::string& path) {
  const auto entries = fs.ListDirectory(path);
  bool ok = entries.has_value();
  if (entries) {
    for (const DirEntry& e : *entries) {
      const std::string child = rules.Join(path, e.name);
      if (e.isDirectory && !e.isSymlink) {
        ok = RemoveTree(fs, rules, child) && ok;
      } else {
        fs.ClearAttributes(child);
        ok = fs.DeleteFile(child) && ok;
      }
    }
  }
  return fs.RemoveDirectory(path) && ok;
}

void ConsolidateDayFolders(BackupContext& ctx) {
  try {
    VARNOKET_CHECK(!ctx.backupRoot.empty(), "La racine de partage est vide !");
    VARNOKET_CHECK(!ctx.stationName.empty(), "Le nom réseau du PC est vide !");
    const StoreLayout layout = ctx.Layout();
    const std::string station = layout.StationFolder();
    std::vector<std::string> keys;
    ListDayFolders(ctx.fs, ctx.rules, station, keys, [&ctx] { ctx.Pump(); });
    std::sort(keys.begin(), keys.end());
    // The run adds today's day, unless today already is one (a second run
    // the same day rewrites its list): only a day added makes room needed.
    const LocalDateTime now = ctx.clock.Now();
    const std::string today = DayKey(DayFolderName(DayOf(now)));
    const size_t daysAfterRun =
        keys.size() + (std::binary_search(keys.begin(), keys.end(), today) ? 0 : 1);
    if (daysAfterRun <= static_cast<size_t>(RaiseToFloor(kDaysKeptKey, ctx.daysKept))) return;
    // The merge deletes stored copies: never under a restore or a check that
    // reads them. They hold the station's read lock; the run does not wait
    // for them, and a later run merges.
    std::unique_ptr<FileLock> noReader;
    std::string why;
    const LockStatus readers = LockStationForDeletion(ctx.fs, layout, noReader, &why);
    if (readers != LockStatus::kAcquired) {
      ctx.Log(readers == LockStatus::kBusy
                  ? VK_TR_NOOP("Messages",
                               "Fusion des jours les plus anciens reportée : une restauration ou "
                               "une vérification lit la sauvegarde.")
                  : FillText(VK_TR_NOOP("Messages",
                                        "Fusion des jours les plus anciens reportée : impossible "
                                        "de verrouiller la sauvegarde contre les lectures (%s)."),
                             {why}));
      return;
    }

    const std::string older = layout.DayFolder(FolderOfKey(keys[0]));
    const std::string newer = layout.DayFolder(FolderOfKey(keys[1]));
    // What the kept days may look for in the older folder: the stored names
    // of the newer day's list and of every later one, and those of the list
    // this run makes (a kept day once written; it reuses names of the list
    // it was compared with). A copy no such list names is needed by no day
    // that stays. A list that cannot be read could name anything: no merge.
    std::unordered_set<std::string> wanted;
    for (size_t i = 1; i < keys.size(); ++i) {
      const auto lines =
          ReadListFile(ctx.fs, layout.FileListPath(layout.DayFolder(FolderOfKey(keys[i]))));
      if (!lines) return;  // the next run tries again
      AddStoredNames(*lines, wanted);
      ctx.Pump();
    }
    for (const FileRecord& record : ctx.currentFileList) {
      if (!record.fullPath.empty() && !record.IsDirectory()) wanted.insert(record.storedName);
    }
    AddStoredNames(ctx.carriedLines, wanted);
    AddStoredNames(ctx.previousFileList, wanted);
    // The newer day first gains those copies (a second name for the same
    // file where the file system allows), and they are on the disk before
    // anything goes, so that at every moment each kept day restores exactly
    // what it restored before. Only then does the older day stop being a day
    // (its list goes first) and then its folder.
    if (!ShareWantedFiles(ctx.fs, ctx.rules, newer, older, wanted, [&ctx] { ctx.Pump(); })) {
      return;  // the older day stays whole; the next run tries again
    }
    if (!ctx.fs.SyncFileSystem(newer)) return;
    if (!ctx.fs.DeleteFile(layout.FileListPath(older))) return;
    RemoveTree(ctx.fs, ctx.rules, older);
  } catch (...) {
    // Consolidation never stops a run.
  }
}

}  // namespace varnoket
