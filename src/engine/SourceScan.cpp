#include "engine/SourceScan.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <unordered_map>

#include "engine/FileRecord.h"
#include "engine/InternalCheck.h"
#include "engine/StoreLayout.h"
#include "engine/Wildcard.h"
#include "platform/DosDate.h"

namespace varnoket {

namespace {

constexpr size_t kReadChunk = 256 * 1024;  // a whole number of checksum blocks

// A file found by the walk, before its content is read.
struct FoundFile {
  std::string path;
  uint64_t size;
};

struct Walk {
  BackupContext& ctx;
  std::vector<FoundFile> files;
  std::vector<std::string> directoryRecords;
};

bool RecordableName(std::string_view name) {
  return name.find_first_of("|\r\n") == std::string_view::npos;
}

std::string Printable(std::string_view name) {
  std::string out;
  for (char c : name) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

void LogUnrecordable(const BackupContext& ctx, const std::string& path) {
  ctx.Log("ATTENTION: Le nom (" + Printable(path) +
          ") contient un caractère qu'une liste de fichiers ne peut pas contenir (|, retour "
          "chariot ou saut de ligne). Non sauvegardé !");
}

std::string ProgressHint(const std::string& directory) {
  // The last 40 characters of the folder, as the tray hint has little room.
  const size_t from = directory.size() > 40 ? directory.size() - 40 : 0;
  return "Preparation de (..." + directory.substr(from, 40) + ")";
}

void BuildDirectoryList(Walk& walk, const std::string& directory) {
  VARNOKET_CHECK(!directory.empty(), "Nom de répertoire vide dans BuildDirectoryList() !!");
  BackupContext& ctx = walk.ctx;
  const PathRules& rules = ctx.rules;
  ctx.host.SetTrayHint(ProgressHint(directory));
  ctx.Pump();

  const std::string folder = rules.EnsureTrailingSeparator(directory);
  const auto entries = ctx.fs.ListDirectory(folder);
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
      walk.files.push_back({folder + e.name, e.size});
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
      BuildDirectoryList(walk, folder + e.name);
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
bool ReadFile(BackupContext& ctx, const FoundFile& found, bool withHash, std::vector<char>& buffer,
              ScannedFile& out) {
  out.path = found.path;
  std::unique_ptr<FileStream> stream;
  try {
    stream = ctx.fs.OpenRead(found.path);
  } catch (const StreamError&) {
    return false;
  }
  struct stat st {};
  if (!stream || ::fstat(stream->fd(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  out.attributes = st.st_mode;
  out.fileDate = DosDateFromTime(st.st_mtime);
  // A file whose size moved since the walk may now match any other size.
  DigestBuilder digest(withHash || static_cast<uint64_t>(st.st_size) != found.size);
  int64_t remaining = st.st_size;
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
  out.digest = digest.Finish();
  out.readable = true;
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
    for (int k = 1; k <= std::max(ctx.daysKept, 2); ++k) {
      const std::string candidate = layout.DayFolder(DayFromNumber(origin - k));
      if (ctx.fs.IsFile(layout.FileListPath(candidate))) {
        folder = candidate;
        break;
      }
    }
  }
  if (folder.empty()) return true;  // every file counts as new
  const auto text = ctx.fs.ReadFile(layout.FileListPath(folder));
  if (!text) {
    ctx.Log("ERREUR: impossible de lire la liste de fichiers (" + layout.FileListPath(folder) + ")");
    return false;
  }
  ctx.previousFileList = SplitLines(*text);
  ctx.previousListFolder = folder;
  return true;
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
  details.files.clear();

  Walk walk{ctx, {}, {}};
  try {
    for (const std::string& listed : ctx.station.backupDirectories) {
      // "/a//b/" and "/a/./b" must give the same records, and stored names
      // without empty or "." components, as "/a/b".
      const std::string dir = ctx.rules.style() == PathStyle::Posix
                                  ? ctx.rules.RemoveTrailingSeparator(
                                        std::filesystem::path(listed).lexically_normal().string())
                                  : listed;
      if (!ctx.rules.IsAbsolute(dir) || !ctx.fs.IsDirectory(dir)) {
        ctx.host.FocusDirectoryList();
        ctx.dialogs.Warning("Le repertoire (" + listed +
                            ") à été déplacé ou supprimé !\r\nVeuillez modifier la liste des "
                            "répertoires en conséquence sinon aucune sauvegarde ne pourra être "
                            "effectuée !");
        return false;
      }
      BuildDirectoryList(walk, dir);
    }
  } catch (const std::exception&) {
    return false;
  }

  // Only files of equal size can have equal content, so the strong hash is
  // computed only for sizes that more than one file has.
  std::unordered_map<uint64_t, uint32_t> sizeCount;
  sizeCount.reserve(walk.files.size());
  for (const FoundFile& f : walk.files) ++sizeCount[f.size];

  std::vector<char> buffer(kReadChunk);
  details.files.reserve(walk.files.size());
  for (const FoundFile& f : walk.files) {
    ScannedFile scanned;
    if (!ReadFile(ctx, f, sizeCount[f.size] > 1, buffer, scanned)) {
      ctx.Log("ERREUR: impossible de lire le fichier (" + f.path +
              ") une autre application utilise exclusivement ce fichier ou y écris en ce moment");
      scanned.readable = false;
    }
    details.files.push_back(std::move(scanned));
  }
  walk.files.clear();
  walk.files.shrink_to_fit();

  if (!LoadPreviousList(ctx)) return false;
  SortOrdinal(ctx.previousFileList);

  NamingResult naming = AssignStoredNames(ctx.rules, details.files, ctx.previousFileList);
  ctx.currentFileList = std::move(naming.records);
  ctx.currentFileList.insert(ctx.currentFileList.end(),
                             std::make_move_iterator(walk.directoryRecords.begin()),
                             std::make_move_iterator(walk.directoryRecords.end()));
  SortOrdinal(ctx.currentFileList);
  ctx.changedFiles = std::move(naming.queued);
  SortOrdinal(ctx.changedFiles);

  std::sort(details.files.begin(), details.files.end(),
            [](const ScannedFile& a, const ScannedFile& b) { return a.path < b.path; });
  return true;
}

}  // namespace varnoket
