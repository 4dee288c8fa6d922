#include "engine/SourceScan.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>
#include <string_view>

#include "engine/DamagedCopies.h"
#include "engine/FileRecord.h"
#include "engine/InternalCheck.h"
#include "engine/LeftOut.h"
#include "engine/StoreLayout.h"
#include "engine/StoredCopies.h"
#include "engine/Wildcard.h"
#include "platform/DosDate.h"
#include "platform/MessageText.h"
#include "platform/PathContainment.h"
#include "platform/Translation.h"
#include "settings/SettingsKeys.h"

namespace varnoket {

namespace {

constexpr size_t kReadChunk = 256 * 1024;  // a whole number of checksum blocks

// The walk lists the files (their size as the folder listing gave it, in
// digest.size, until they are read) and the empty directories' records.
struct Walk {
  BackupContext& ctx;
  std::deque<ScannedFile>& files;
  std::vector<std::string> directoryRecords;
  // The store's folder when it exists: never walked, whatever name (a bind
  // mount, a listed link) reaches it.
  std::optional<FolderId> store;
  // Every folder walked so far. A folder met again (a bind mount that loops
  // back up the tree, a second name of a folder already saved) is not
  // walked twice.
  std::set<FolderId> walked;
};

// A restore refuses a recorded path that holds a control byte (a list is
// outside input, and such bytes can hide what a name is), so no such name is
// recorded in the first place.
bool RecordableName(std::string_view name) {
  return name.find('|') == std::string_view::npos && !HasControlByte(name);
}

void LogUnrecordable(const BackupContext& ctx, const std::string& path) {
  ctx.Log("ATTENTION: Le nom (" + ShownText(path) +
          ") contient un caractère qu'une liste de fichiers ne peut pas contenir (|, retour "
          "chariot, saut de ligne ou autre caractère de contrôle). Non sauvegardé !");
}

std::string ProgressHint(const std::string& directory) {
  // The last 40 characters of the folder, as the tray hint has little room.
  const size_t from = directory.size() > 40 ? directory.size() - 40 : 0;
  return FillText(VK_TR_NOOP("Messages", "Preparation de (...%s)"), {directory.substr(from, 40)});
}

// False, with one log line, for the store and for a folder already walked.
bool MayWalk(Walk& walk, const std::string& directory, const FolderId& id) {
  if (walk.store && id == *walk.store) {
    walk.ctx.Log("ATTENTION: Le répertoire (" + ShownText(directory) +
                 ") contient les sauvegardes : il n'est pas sauvegardé.");
    return false;
  }
  if (!walk.walked.insert(id).second) {
    walk.ctx.Log("ATTENTION: Le répertoire (" + ShownText(directory) +
                 ") a déjà été parcouru par un autre chemin (boucle ou montage) : il n'est pas "
                 "sauvegardé une seconde fois.");
    return false;
  }
  return true;
}

void BuildDirectoryList(Walk& walk, const std::string& directory, const FolderId& id) {
  VARNOKET_CHECK(!directory.empty(), "Nom de répertoire vide dans BuildDirectoryList() !!");
  if (!MayWalk(walk, directory, id)) return;
  BackupContext& ctx = walk.ctx;
  const PathRules& rules = ctx.rules;
  ctx.host.SetTrayHint(ProgressHint(directory));
  ctx.Pump();

  const std::string folder = rules.EnsureTrailingSeparator(directory);
  const auto entries = ctx.fs.ListDirectory(folder);
  if (entries &&
      std::any_of(entries->begin(), entries->end(),
                  [](const DirEntry& e) { return e.name == kCacheTagName; }) &&
      IsTaggedCache(ctx.fs, directory)) {
    ctx.Log(CacheFolderLine(directory));
    ++ctx.leftOut.cacheFolders;
    return;
  }
  const uint64_t sizeLimit = SizeLimitBytes(ctx.station.maxFileMegabytes);
  // A folder that cannot be listed counts as empty; "." and ".." count as
  // entries, so an empty folder counts two.
  const size_t count = entries ? entries->size() + 2 : 0;
  if (entries) {
    for (const DirEntry& e : *entries) {
      if (e.isDirectory || !e.isRegularFile) continue;  // fifos, devices, dangling links
      if (!IsIncluded(e, ctx.station.exclusions)) continue;
      if (!RecordableName(e.name)) {
        LogUnrecordable(ctx, folder + e.name);
        continue;
      }
      if (sizeLimit > 0 && e.size > sizeLimit) {
        ctx.Log(LargeFileLine(folder + e.name, e.size, ctx.station.maxFileMegabytes));
        ++ctx.leftOut.largeFiles;
        ctx.leftOut.largeBytes += e.size;
        continue;
      }
      ScannedFile found;
      found.path = folder + e.name;
      found.digest.size = static_cast<int64_t>(e.size);
      walk.files.push_back(std::move(found));
    }
  }
  if (count > 2) {
    for (const DirEntry& e : *entries) {
      // Linked folders are not walked: a link may lead back up the tree.
      if (!e.isDirectory || e.isSymlink || e.hidden || e.system) continue;
      if (!RecordableName(e.name)) {
        LogUnrecordable(ctx, folder + e.name);
        continue;
      }
      BuildDirectoryList(walk, folder + e.name, FolderId{e.device, e.inode});
    }
    return;
  }
  const std::string self = rules.RemoveTrailingSeparator(folder);
  const auto info = ctx.fs.Stat(self);
  if (info && info->isDirectory && !info->hidden && !info->system) {
    walk.directoryRecords.push_back(BuildLine(rules, folder, *info, true, 0, kDirectoryStoredName));
  }
}

// Reads one file whole: its digest, date and attributes as they were when it
// was opened. False when it cannot be read.
bool ReadFile(BackupContext& ctx, ScannedFile& file, bool withHash, std::vector<char>& buffer,
              DigestBuilder& digest) {
  std::unique_ptr<FileStream> stream;
  try {
    stream = ctx.fs.OpenRead(file.path);
  } catch (const StreamError&) {
    return false;
  }
  const auto opened = stream ? ctx.fs.StatStream(*stream) : std::nullopt;
  if (!opened || !opened->isRegularFile) return false;
  file.attributes = opened->attributes;
  file.fileDate = opened->dosDate;
  const auto size = static_cast<int64_t>(opened->size);
  // A file whose size moved since the walk may now match any other size.
  digest.Reset(withHash || size != file.digest.size);
  int64_t remaining = size;
  try {
    while (remaining > 0) {
      const size_t want = static_cast<size_t>(std::min<int64_t>(remaining, kReadChunk));
      const size_t got = stream->Read(buffer.data(), want);
      if (got == 0) break;  // the file shrank while it was read
      digest.Update(buffer.data(), got);
      remaining -= static_cast<int64_t>(got);
      ctx.Pump();
    }
  } catch (const StreamError&) {
    return false;
  }
  file.digest = digest.Finish();
  file.readable = true;
  return true;
}

bool LoadPreviousList(BackupContext& ctx) {
  ctx.previousFileList.clear();
  ctx.previousListFolder.clear();
  const std::string& last = ctx.station.lastBackupDate;
  if (last.empty()) return true;
  const StoreLayout layout = ctx.Layout();
  std::string folder;
  if (last.size() >= 10) {
    const std::string name = last.substr(0, 2) + last.substr(3, 2) + last.substr(6, 4);
    if (ctx.fs.IsFile(layout.FileListPath(layout.DayFolder(name)))) folder = layout.DayFolder(name);
  }
  if (folder.empty()) {
    Day day;
    if (!ParseDayText(last, day)) return false;
    const long origin = DayNumber(day);
    for (int k = 1; k <= RaiseToFloor(kDaysKeptKey, ctx.daysKept); ++k) {
      const std::string candidate = layout.DayFolder(DayFromNumber(origin - k));
      if (ctx.fs.IsFile(layout.FileListPath(candidate))) {
        folder = candidate;
        break;
      }
    }
  }
  if (folder.empty()) return true;  // every file counts as new
  auto lines = ReadListFile(ctx.fs, layout.FileListPath(folder));
  if (!lines) {
    ctx.Log("ERREUR: impossible de lire la liste de fichiers (" + layout.FileListPath(folder) +
            ")");
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
NamingResult NameFiles(BackupContext& ctx, const ScanDetails& details) {
  if (ctx.previousFileList.empty()) {
    return AssignStoredNames(ctx.rules, details.files, ctx.previousFileList);
  }
  const StoreLayout layout = ctx.Layout();
  const StoredCopies copies = StoredCopies::Find(
      ctx.fs, layout, ctx.rules.FileName(ctx.previousListFolder), [&ctx] { ctx.Pump(); });
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

std::string BuildLine(const PathRules& rules, const std::string& directory, const DirEntry& entry,
                      bool directoryRecord, uint32_t checksum, const std::string& storedName) {
  VARNOKET_CHECK(!directory.empty() && rules.IsRecordablePath(directory),
                 "Path incorrect dans BuildLine()!");
  if (directoryRecord) {
    return FormatDirectoryRecord(std::string_view(directory).substr(0, directory.size() - 1),
                                 entry.attributes, entry.dosDate);
  }
  return FormatFileRecord(static_cast<int64_t>(entry.size), checksum, storedName,
                          directory + entry.name, entry.attributes, entry.dosDate);
}

bool ScanSources(BackupContext& ctx, ScanDetails& details) {
  VARNOKET_CHECK(!ctx.backupRoot.empty(), "La racine de partage est vide !");
  VARNOKET_CHECK(!ctx.stationName.empty(), "Le nom reseau du PC est vide !");
  ctx.currentFileList.clear();
  ctx.changedFiles.clear();
  ctx.recopiedFiles.clear();
  ctx.currentFileList.shrink_to_fit();
  details.files.clear();
  ctx.leftOut = LeftOutCounts();

  Walk walk{ctx, details.files, {}, FolderIdOf(ctx.fs, ctx.backupRoot), {}};
  try {
    for (const std::string& listed : ctx.station.backupDirectories) {
      // "/a//b/" and "/a/./b" must give the same records, and stored names
      // without empty or "." components, as "/a/b".
      const std::string dir = ctx.rules.style() == PathStyle::kPosix
                                  ? ctx.rules.RemoveTrailingSeparator(
                                        std::filesystem::path(listed).lexically_normal().string())
                                  : listed;
      const auto id = ctx.rules.IsAbsolute(dir) ? FolderIdOf(ctx.fs, dir) : std::nullopt;
      if (!id) {
        ctx.host.FocusDirectoryList();
        ctx.dialogs.Warning(
            FillText(VK_TR_NOOP("Messages",
                                "Le repertoire (%s) à été déplacé ou supprimé !\r\nVeuillez "
                                "modifier la liste des répertoires en conséquence sinon aucune "
                                "sauvegarde ne pourra être effectuée !"),
                     {listed}));
        return false;
      }
      BuildDirectoryList(walk, dir, *id);
    }
  } catch (const RunStopped&) {
    throw;
  } catch (const std::exception&) {
    return false;
  }

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

  std::vector<char> buffer(kReadChunk);
  DigestBuilder digest(true);
  for (ScannedFile& f : details.files) {
    if (!ReadFile(ctx, f, shared(f.digest.size), buffer, digest)) {
      ctx.Log("ERREUR: impossible de lire le fichier (" + f.path +
              ") une autre application utilise exclusivement ce fichier ou y écris en ce moment");
      f.readable = false;
    }
  }
  sizes = {};

  if (!LoadPreviousList(ctx)) return false;
  SortOrdinal(ctx.previousFileList);

  NamingResult naming = NameFiles(ctx, details);
  std::vector<std::string>& records = naming.records;
  records.reserve(records.size() + walk.directoryRecords.size());
  records.insert(records.end(), std::make_move_iterator(walk.directoryRecords.begin()),
                 std::make_move_iterator(walk.directoryRecords.end()));
  walk.directoryRecords = {};
  // Sort the records and carry the positions of the changed ones along.
  std::vector<uint32_t> order(records.size());
  for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&records](uint32_t a, uint32_t b) { return records[a] < records[b]; });
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

  std::sort(details.files.begin(), details.files.end(),
            [](const ScannedFile& a, const ScannedFile& b) { return a.path < b.path; });
  return true;
}

}  // namespace varnoket
