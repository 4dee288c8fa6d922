#include "engine/SourceWalk.h"

#include <algorithm>

#include "engine/FileRecord.h"
#include "engine/InternalCheck.h"
#include "engine/LeftOut.h"
#include "engine/Wildcard.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"

namespace varnoket {

namespace {

std::string ProgressHint(const std::string& directory) {
  // The last 40 characters of the folder, as the tray hint has little room.
  const size_t from = directory.size() > 40 ? directory.size() - 40 : 0;
  return FillText(VK_TR_NOOP("Messages", "Préparation de (...%s)"), {directory.substr(from, 40)});
}

// A name a list of files cannot hold; "%s" is the path.
constexpr const char* kForbiddenNameLine =
    VK_TR_NOOP("Messages",
               "ATTENTION: Le nom (%s) contient un caractère qu'une liste de fichiers ne peut pas "
               "contenir (|, retour chariot, saut de ligne ou autre caractère de contrôle). Non "
               "sauvegardé !");

// Logs one entry left out and counts it.
void LeftOut(SourceWalk& walk, LeftOutCause cause, const std::string& line) {
  walk.ctx.Log(line);
  walk.ctx.leftOut.Add(cause);
}

// False, with one log line, for the store and for a folder already walked.
bool MayWalk(SourceWalk& walk, const std::string& directory, const FolderId& id) {
  if (walk.store && id == *walk.store) {
    walk.ctx.Log(FillText(VK_TR_NOOP("Messages",
                                     "ATTENTION: Le répertoire (%s) contient les sauvegardes : il "
                                     "n'est pas sauvegardé."),
                          {ShownText(directory)}));
    return false;
  }
  if (!walk.walked.insert(id).second) {
    walk.ctx.Log(
        FillText(VK_TR_NOOP("Messages",
                            "ATTENTION: Le répertoire (%s) a déjà été parcouru par un autre "
                            "chemin (boucle ou montage) : il n'est pas sauvegardé une "
                            "seconde fois."),
                 {ShownText(directory)}));
    return false;
  }
  return true;
}

// Whether the walk enters a subfolder, before it knows whether the folder's
// id is new: the same answer for the listings made ahead and for the walk.
bool EntersSubfolder(const SourceWalk& walk, const std::string& path, const DirEntry& e) {
  return !e.isSymlink && RecordableName(e.name) && !IsDesktopCacheFolder(path) &&
         (!e.hidden || walk.ctx.station.includeHidden) && !e.system &&
         !(walk.store && FolderId{e.device, e.inode} == *walk.store);
}

// A subfolder: walked, or left out with its cause.
void Subfolder(SourceWalk& walk, const std::string& path, const DirEntry& e) {
  const std::string shown = ShownText(path);
  if (e.isSymlink) {
    // A link may lead back up the tree, or anywhere: it is not followed.
    LeftOut(
        walk, LeftOutCause::kFolderLink,
        FillText(VK_TR_NOOP("Messages",
                            "Le lien symbolique (%s) mène à un répertoire : il n'est pas suivi."),
                 {shown}));
  } else if (!RecordableName(e.name)) {
    LeftOut(walk, LeftOutCause::kForbiddenName, FillText(kForbiddenNameLine, {shown}));
  } else if (IsDesktopCacheFolder(path)) {
    LeftOut(
        walk, LeftOutCause::kDesktopCache,
        FillText(VK_TR_NOOP("Messages",
                            "Le répertoire (%s) est un cache du bureau : il n'est pas sauvegardé."),
                 {shown}));
  } else if (e.hidden && !walk.ctx.station.includeHidden) {
    LeftOut(walk, LeftOutCause::kHiddenFolder,
            FillText(VK_TR_NOOP("Messages",
                                "Le dossier caché (%s) n'est pas sauvegardé : le jeu de sauvegarde "
                                "laisse de côté les dossiers cachés."),
                     {shown}));
  } else if (!e.system) {
    WalkFolder(walk, path, FolderId{e.device, e.inode});
  }
}

// Tells the listings ahead which subfolders of `folder` the walk enters.
void AnnounceSubfolders(SourceWalk& walk, const std::string& folder,
                        const std::vector<DirEntry>& entries) {
  std::vector<std::string> next;
  for (const DirEntry& e : entries) {
    if (e.isDirectory && EntersSubfolder(walk, folder + e.name, e)) {
      next.push_back(walk.ctx.rules.EnsureTrailingSeparator(folder + e.name));
    }
  }
  walk.ahead.Announce(std::move(next));
}

// An entry that is neither a folder nor a file: a link that leads nowhere,
// or a pipe, a socket, a device.
void OtherEntry(SourceWalk& walk, const std::string& path, const DirEntry& e) {
  const std::string shown = ShownText(path);
  if (e.isSymlink) {
    LeftOut(walk, LeftOutCause::kBrokenLink,
            FillText(VK_TR_NOOP("Messages",
                                "ATTENTION: Le lien symbolique (%s) ne mène à aucun fichier "
                                "(cassé ou en boucle) : il n'est pas sauvegardé."),
                     {shown}));
  } else {
    LeftOut(walk, LeftOutCause::kSpecialFile,
            FillText(VK_TR_NOOP("Messages",
                                "ATTENTION: (%s) est un tube, une socket ou un "
                                "périphérique : il n'est pas sauvegardé."),
                     {shown}));
  }
}

}  // namespace

bool RecordableName(std::string_view name) {
  return name.find('|') == std::string_view::npos && !HasControlByte(name);
}

void WalkFolder(SourceWalk& walk, const std::string& directory, const FolderId& id) {
  VARNOKET_CHECK(!directory.empty(), "Nom de répertoire vide dans BuildDirectoryList() !!");
  BackupContext& ctx = walk.ctx;
  const PathRules& rules = ctx.rules;
  const std::string folder = rules.EnsureTrailingSeparator(directory);
  if (!MayWalk(walk, directory, id)) {
    walk.ahead.Forget(folder);
    return;
  }
  ctx.host.SetTrayHint(ProgressHint(directory));
  ctx.Pump();

  FsStatus unlisted;
  const auto entries = walk.ahead.Take(
      folder, [&ctx] { ctx.Pump(); }, &unlisted);
  if (!entries) {
    // Not an empty folder: what it held is simply not known today.
    LeftOut(walk, LeftOutCause::kUnreadableFolder,
            FillText(VK_TR_NOOP("Messages",
                                "ERREUR: impossible de lire le répertoire (%s) : %s ; ce que la "
                                "sauvegarde précédente y avait trouvé est gardé."),
                     {ShownText(directory), unlisted.Reason()}));
    walk.unreadableFolders.push_back(rules.RemoveTrailingSeparator(folder));
    return;
  }
  if (std::any_of(entries->begin(), entries->end(),
                  [](const DirEntry& e) { return e.name == kCacheTagName; }) &&
      IsTaggedCache(ctx.fs, directory)) {
    LeftOut(walk, LeftOutCause::kCacheFolder, CacheFolderLine(directory));
    return;
  }
  AnnounceSubfolders(walk, folder, *entries);
  const uint64_t sizeLimit = SizeLimitBytes(ctx.station.maxFileMegabytes);
  for (const DirEntry& e : *entries) {
    if (e.isDirectory) continue;
    const std::string path = folder + e.name;
    if (!e.isRegularFile) {
      OtherEntry(walk, path, e);
      continue;
    }
    if (const auto filter = ExcludingFilter(e, ctx.station.exclusions)) {
      ctx.leftOut.Add(LeftOutCause::kExcluded);
      ctx.leftOut.excludedBytes += e.size;
      ++ctx.leftOut.excludedByFilter[ctx.station.exclusions[*filter]];
      continue;
    }
    if (!RecordableName(e.name)) {
      LeftOut(walk, LeftOutCause::kForbiddenName, FillText(kForbiddenNameLine, {ShownText(path)}));
      continue;
    }
    if (sizeLimit > 0 && e.size > sizeLimit) {
      LeftOut(walk, LeftOutCause::kLargeFile,
              LargeFileLine(path, e.size, ctx.station.maxFileMegabytes));
      ctx.leftOut.largeBytes += e.size;
      continue;
    }
    ScannedFile found;
    found.path = path;
    found.digest.size = static_cast<int64_t>(e.size);
    walk.files.push_back(std::move(found));
  }
  if (!entries->empty()) {
    for (const DirEntry& e : *entries) {
      if (e.isDirectory) Subfolder(walk, folder + e.name, e);
    }
    return;
  }
  const std::string self = rules.RemoveTrailingSeparator(folder);
  const auto info = ctx.fs.Stat(self);
  if (info && info->isDirectory && !info->system) {
    walk.directoryRecords.push_back(
        BuildRecord(rules, folder, *info, true, 0, kDirectoryStoredName));
  }
}

}  // namespace varnoket
