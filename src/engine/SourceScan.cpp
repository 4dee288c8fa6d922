#include "engine/SourceScan.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <set>
#include <string_view>

#include "engine/DamagedCopies.h"
#include "engine/DaySet.h"
#include "engine/FileRecord.h"
#include "engine/InternalCheck.h"
#include "engine/KeptRecords.h"
#include "engine/LeftOut.h"
#include "engine/SourceReadPool.h"
#include "engine/SourceWalk.h"
#include "engine/StoreLayout.h"
#include "engine/StoredCopies.h"
#include "engine/StoredCopiesAhead.h"
#include "engine/Wildcard.h"
#include "platform/DosDate.h"
#include "platform/MessageText.h"
#include "platform/PathContainment.h"
#include "platform/Translation.h"
#include "platform/WorkerPool.h"
#include "settings/SettingsKeys.h"

namespace varnoket {

namespace {

// The day folder of the newest list before this run, "" when there is none
// (or the station's date is not known).
std::string PreviousListFolder(BackupContext& ctx) {
  if (!ctx.station.lastBackupDate) return std::string();
  const Day& last = *ctx.station.lastBackupDate;
  const StoreLayout layout = ctx.Layout();
  if (ctx.fs.IsFile(layout.FileListPath(layout.DayFolder(last)))) return layout.DayFolder(last);
  const long origin = DayNumber(last);
  for (int k = 1; k <= RaiseToFloor(kDaysKeptKey, ctx.daysKept); ++k) {
    const std::string candidate = layout.DayFolder(DayFromNumber(origin - k));
    if (ctx.fs.IsFile(layout.FileListPath(candidate))) return candidate;
  }
  return std::string();
}

bool LoadPreviousList(BackupContext& ctx, const std::string& folder) {
  ctx.previousFileList.clear();
  ctx.previousListFolder.clear();
  if (folder.empty()) return true;  // every file counts as new
  const StoreLayout layout = ctx.Layout();
  auto lines = ReadListFile(ctx.fs, layout.FileListPath(folder));
  if (!lines) {
    ctx.Log(FillText(VK_TR_NOOP("Messages", "ERREUR: impossible de lire la liste de fichiers (%s)"),
                     {layout.FileListPath(folder)}));
    return false;
  }
  ctx.previousFileList = std::move(*lines);
  ctx.previousListFolder = folder;
  return true;
}

// The stored names of the files read, from the previous list. A name is
// kept only where its copy can still be restored: the newest day up to the
// previous one that holds it (found in one walk of the day folders) holds
// a copy that no check found damaged.
NamingResult NameFiles(BackupContext& ctx, const ScanDetails& details, StoredCopiesAhead& ahead) {
  if (ctx.previousFileList.empty()) {
    return AssignStoredNames(ctx.rules, details.files, ctx.previousFileList);
  }
  const StoreLayout layout = ctx.Layout();
  const StoredCopies copies =
      ahead.Take(ctx.rules.FileName(ctx.previousListFolder), [&ctx] { ctx.Pump(); });
  const DamagedCopies damaged = DamagedCopies::Read(ctx.fs, layout);
  return AssignStoredNames(ctx.rules, details.files, ctx.previousFileList,
                           [&](std::string_view name) {
                             const std::string* day = copies.NewestDayOf(name);
                             return day != nullptr && !damaged.Lists(*day, name);
                           });
}

}  // namespace

const ScannedFile* ScanDetails::Find(const std::string& path) const {
  auto it = std::lower_bound(files.begin(), files.end(), path,
                             [](const ScannedFile& f, const std::string& p) { return f.path < p; });
  return it != files.end() && it->path == path ? &*it : nullptr;
}

FileRecord BuildRecord(const PathRules& rules, const std::string& directory, const DirEntry& entry,
                       bool directoryRecord, uint32_t checksum, const std::string& storedName) {
  VARNOKET_CHECK(!directory.empty() && rules.IsRecordablePath(directory),
                 "Path incorrect dans BuildRecord()!");
  if (directoryRecord) {
    return DirectoryRecordOf(std::string_view(directory).substr(0, directory.size() - 1),
                             entry.attributes, entry.dosDate);
  }
  return FileRecordOf(static_cast<int64_t>(entry.size), checksum, storedName,
                      directory + entry.name, entry.attributes, entry.dosDate);
}

namespace {

// Puts the records into the day's list in order, and the positions of the
// queued and recopied files after them.
void ListSorted(BackupContext& ctx, std::vector<FileRecord> records, const NamingResult& naming) {
  std::vector<uint32_t> order(records.size());
  for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&records](uint32_t a, uint32_t b) {
    return CompareRecordLines(records[a], records[b]) < 0;
  });
  std::vector<uint32_t> sortedPosition(records.size());
  ctx.currentFileList.reserve(records.size());
  for (uint32_t k = 0; k < order.size(); ++k) {
    sortedPosition[order[k]] = k;
    ctx.currentFileList.push_back(std::move(records[order[k]]));
  }
  records = {};
  order = {};
  for (uint32_t q : naming.queued) ctx.changedFiles.push_back(sortedPosition[q]);
  std::sort(ctx.changedFiles.begin(), ctx.changedFiles.end());
  for (uint32_t q : naming.recopied) ctx.recopiedFiles.push_back(sortedPosition[q]);
}

// Walks every folder of the set; false (the person told) when one of them
// is gone, or when the walk failed.
bool WalkListedFolders(BackupContext& ctx, SourceWalk& walk,
                       std::vector<std::string>& listedFolders) {
  ctx.listedFileSystems.clear();
  try {
    for (const std::string& listed : ctx.station.backupDirectories) {
      // "/a//b/" and "/a/./b" must give the same records, and stored names
      // without empty or "." components, as "/a/b".
      const std::string dir =
          ctx.rules.style() == PathStyle::kPosix
              ? ctx.rules.RemoveTrailingSeparator(ctx.rules.LexicallyNormal(listed))
              : listed;
      const auto id = ctx.rules.IsAbsolute(dir) ? FolderIdOf(ctx.fs, dir) : std::nullopt;
      if (!id) {
        ctx.host.FocusDirectoryList();
        ctx.dialogs.Warning(
            FillText(VK_TR_NOOP("Messages",
                                "Le répertoire (%s) a été déplacé ou supprimé !\r\nVeuillez "
                                "modifier la liste des répertoires en conséquence sinon aucune "
                                "sauvegarde ne pourra être effectuée !"),
                     {listed}));
        return false;
      }
      listedFolders.push_back(dir);
      if (const auto fileSystem = ctx.fs.FileSystemId(dir)) {
        ctx.listedFileSystems[dir] = *fileSystem;
      }
      WalkFolder(walk, dir, *id);
    }
  } catch (const RunStopped&) {
    throw;
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

}  // namespace

bool ScanSources(BackupContext& ctx, ScanDetails& details) {
  VARNOKET_CHECK(!ctx.backupRoot.empty(), "La racine de partage est vide !");
  VARNOKET_CHECK(!ctx.stationName.empty(), "Le nom réseau du PC est vide !");
  ctx.currentFileList.clear();
  ctx.carriedLines.clear();
  ctx.changedFiles.clear();
  ctx.recopiedFiles.clear();
  ctx.currentFileList.shrink_to_fit();
  details.files.clear();
  ctx.leftOut = LeftOutCounts();

  // The store's days are walked beside the sources when there is a core for it.
  const std::string previous = PreviousListFolder(ctx);
  StoredCopiesAhead ahead(ctx.fs, ctx.Layout(),
                          previous.empty() ? std::string() : ctx.rules.FileName(previous),
                          WorkerCount(ctx.workers) > 1);
  FolderListingsAhead listings(ctx.fs, WorkerCount(ctx.workers));
  SourceWalk walk{ctx, details.files, {}, FolderIdOf(ctx.fs, ctx.backupRoot), {}, {}, listings};
  std::vector<std::string> listedFolders;
  if (!WalkListedFolders(ctx, walk, listedFolders)) return false;

  if (!LoadPreviousList(ctx, previous)) return false;
  SortOrdinal(ctx.previousFileList);
  // A listed folder that vanished, and a folder that could not be listed,
  // keep what the previous day recorded below them.
  std::vector<std::string> kept = VanishedFolders(
      ctx, listedFolders,
      ctx.previousListFolder.empty() ? DaySet{}
                                     : ReadDaySet(ctx.fs, ctx.Layout(), ctx.previousListFolder));
  DropBelow(ctx.rules, kept, details.files, walk.directoryRecords);
  kept.insert(kept.end(), walk.unreadableFolders.begin(), walk.unreadableFolders.end());

  // Only files of equal size can have equal content, so the strong hash is
  // computed only for sizes that more than one file has.
  std::vector<int64_t> sizes;
  sizes.reserve(details.files.size());
  for (const ScannedFile& f : details.files) sizes.push_back(f.digest.size);
  std::sort(sizes.begin(), sizes.end());
  auto shared = [&sizes](int64_t size) {
    const auto range = std::equal_range(sizes.begin(), sizes.end(), size);
    return range.second - range.first > 1;
  };
  ReadSourceFiles(ctx, details.files, shared);
  sizes = {};

  NamingResult naming = NameFiles(ctx, details, ahead);
  std::vector<FileRecord>& records = naming.records;
  records.reserve(records.size() + walk.directoryRecords.size());
  records.insert(records.end(), std::make_move_iterator(walk.directoryRecords.begin()),
                 std::make_move_iterator(walk.directoryRecords.end()));
  walk.directoryRecords = {};
  KeepPreviousRecords(ctx.rules, kept, ctx.previousFileList, records, ctx.carriedLines);
  ListSorted(ctx, std::move(records), naming);

  std::sort(details.files.begin(), details.files.end(),
            [](const ScannedFile& a, const ScannedFile& b) { return a.path < b.path; });
  return true;
}

}  // namespace varnoket
