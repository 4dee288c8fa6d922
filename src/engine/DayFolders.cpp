#include "engine/DayFolders.h"

#include <algorithm>

#include "engine/InternalCheck.h"
#include "engine/StoreLayout.h"

namespace varnoket {

std::string DayKey(const std::string& name) {
  if (name.size() != 8 ||
      !std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return {};
  }
  return name.substr(4, 4) + name.substr(2, 2) + name.substr(0, 2) + name;
}

std::string FolderOfKey(const std::string& key) { return key.size() >= 16 ? key.substr(8, 8) : ""; }

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
    if (!e.isDirectory || e.hidden || e.system) continue;
    if (pump) pump();
    const std::string key = DayKey(e.name);
    if (key.empty()) continue;
    if (!fs.IsFile(rules.Join(rules.Join(stationFolder, e.name), kFileListName))) continue;
    keys.push_back(key);
  }
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
  if (!entries) return mode == MergeMode::kMoveReplacing;
  bool ok = true;
  // Subfolders first, then the files, as a move of a whole tree goes.
  for (const DirEntry& e : *entries) {
    if (!e.isDirectory || e.isSymlink || e.hidden || e.system) continue;
    const bool merged = MergeDirectories(fs, rules, rules.Join(destination, e.name),
                                         rules.Join(source, e.name), mode, pump);
    if (!merged && mode == MergeMode::kShareMissing) return false;
    ok = ok && merged;
  }
  for (const DirEntry& e : *entries) {
    if (e.isDirectory && !e.isSymlink) continue;
    const std::string from = rules.Join(source, e.name);
    const std::string to = rules.Join(destination, e.name);
    if (mode == MergeMode::kShareMissing) {
      if (fs.Exists(to)) continue;
      if (!fs.CreateDirectories(destination)) return false;
      if (!fs.LinkFile(from, to) && !fs.CopyFile(from, to, false)) return false;
      continue;
    }
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
  if (mode == MergeMode::kMoveReplacing) fs.RemoveDirectory(source);
  return ok;
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
    VARNOKET_CHECK(!ctx.stationName.empty(), "Le nom reseau du PC est vide !");
    const StoreLayout layout = ctx.Layout();
    const std::string station = layout.StationFolder();
    std::vector<std::string> keys;
    ListDayFolders(ctx.fs, ctx.rules, station, keys, [&ctx] { ctx.Pump(); });
    std::sort(keys.begin(), keys.end());
    if (keys.size() < static_cast<size_t>(std::max(ctx.daysKept, 2))) return;

    const std::string older = layout.DayFolder(FolderOfKey(keys[0]));
    const std::string newer = layout.DayFolder(FolderOfKey(keys[1]));
    // The newer day first gains every stored file of the older one that it
    // lacks (a second name for the same file where the file system allows),
    // so that at every moment each remaining day restores exactly what it
    // restored before. Only then does the older day stop being a day and go.
    if (!MergeDirectories(ctx.fs, ctx.rules, newer, older, MergeMode::kShareMissing,
                          [&ctx] { ctx.Pump(); })) {
      return;  // the older day stays whole; the next run tries again
    }
    if (!ctx.fs.DeleteFile(layout.FileListPath(older))) return;
    RemoveTree(ctx.fs, ctx.rules, older);
  } catch (...) {
    // Consolidation never stops a run.
  }
}

}  // namespace varnoket
