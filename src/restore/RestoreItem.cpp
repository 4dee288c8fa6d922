#include "restore/RestoreItem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

#include "engine/BZip2.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"
#include "restore/StoredFileLookup.h"

namespace varnoket {

namespace {

std::string TempName(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  return folder + ".vk-restore-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
}

}  // namespace

RestoreItemResult RestoreItem(FileSystem& fs, const StoreLayout& layout,
                              const std::vector<std::string>& dayFolders, size_t dayIndex,
                              const RestoreEntry& entry, const std::string& destination,
                              RestoreHost& host) {
  auto report = [&host](const std::string& line) { host.Report(line); };
  RestoreItemResult result;
  if (entry.content) {
    if (const auto size = SizeWhenUpToDate(fs, destination, *entry.content, entry.fileDate)) {
      report(FillText(VK_TR_NOOP("Messages", "Fichier-> %s (déjà à jour)"), {entry.fullPath}));
      result.status = RestoreStatus::kRestored;
      result.bytes = *size;
      return result;
    }
  }
  report(FillText(VK_TR_NOOP("Messages", "Fichier-> %s"), {entry.fullPath}));

  const auto stored = FindStoredFile(fs, layout, dayFolders, dayIndex, entry.storedName);
  if (!stored) {
    report(VK_TR_NOOP("Messages",
                      "---> ERREUR: Fichier compressé absent ! Soit il à été effacé,soit "
                      "il n'a pas pu être sauvegardé <---"));
    result.status = RestoreStatus::kMissingStored;
    return result;
  }

  const std::string folder = layout.rules().ParentWithSeparator(destination);
  if (folder.empty() || !fs.CreateDirectories(folder)) {
    if (const size_t limit = layout.rules().ExceededLengthLimit(folder)) {
      report(FillText(VK_TR_NOOP("Messages",
                                 "---> ERREUR: Nom de répertoire de plus de %s "
                                 "caractères ! Impossible de le recréer (%s) ! <---"),
                      {std::to_string(limit), folder}));
    } else {
      report(FillText(
          VK_TR_NOOP("Messages", "---> ERREUR: Impossible de recréer le répertoire (%s) ! <---"),
          {folder}));
    }
    result.status = RestoreStatus::kFolderFailed;
    return result;
  }

  // The copy is decoded beside its destination and replaces it only once the
  // stream has ended properly: a damaged or truncated stored file never
  // takes the place of the file on disk.
  const std::string temp = TempName(folder);
  bool ok = false;
  if (!layout.rules().ExceededLengthLimit(destination)) {
    try {
      auto in = fs.OpenRead(*stored);
      auto out = fs.Create(temp);
      const DecompressResult r = DecompressFile(*in, *out, [&host] { host.ProcessMessages(); });
      out->Close();
      if (r.complete && fs.Rename(temp, destination)) {
        ok = true;
        result.bytes = r.bytesWritten;
      }
    } catch (const std::exception&) {
    }
  }
  if (!ok) {
    fs.DeleteFile(temp);
    if (const size_t limit = layout.rules().ExceededLengthLimit(destination)) {
      report(FillText(VK_TR_NOOP("Messages",
                                 "---> ERREUR: Impossible de recréer le fichier car "
                                 "le nom de destination dépasse %s caractères. (%s)  "
                                 "! <---"),
                      {std::to_string(limit), entry.fullPath}));
    } else {
      report(FillText(VK_TR_NOOP("Messages",
                                 "---> ERREUR: Impossible de recréer le fichier (%s) Vérifiez "
                                 "l'espace disque disponible et si le fichier n'est pas "
                                 "actuellement utilisé par une autre application ! <---"),
                      {entry.fullPath}));
    }
    result.status = RestoreStatus::kFileFailed;
    return result;
  }

  fs.SetFileDate(destination, entry.fileDate);
  // Only a POSIX mode word is applied; a list made elsewhere holds other bits.
  const auto mode = static_cast<uint32_t>(entry.attributes);
  if ((mode & S_IFMT) == S_IFREG) fs.SetAttributes(destination, mode);
  result.status = RestoreStatus::kRestored;
  return result;
}

}  // namespace varnoket
