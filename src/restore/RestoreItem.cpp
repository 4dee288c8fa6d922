#include "restore/RestoreItem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

#include "engine/BZip2.h"
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
      report("Fichier-> " + entry.fullPath + " (déjà à jour)");
      result.status = RestoreStatus::kRestored;
      result.bytes = *size;
      return result;
    }
  }
  report("Fichier-> " + entry.fullPath);

  const auto stored = FindStoredFile(fs, layout, dayFolders, dayIndex, entry.storedName);
  if (!stored) {
    report(
        "---> ERREUR: Fichier compressé absent ! Soit il à été effacé,soit il n'a pas pu être "
        "sauvegardé <---");
    result.status = RestoreStatus::kMissingStored;
    return result;
  }

  const std::string folder = layout.rules().ParentWithSeparator(destination);
  if (folder.empty() || !fs.CreateDirectories(folder)) {
    if (const size_t limit = layout.rules().ExceededLengthLimit(folder)) {
      report("---> ERREUR: Nom de répertoire de plus de " + std::to_string(limit) +
             " caractères ! Impossible de le recréer (" + folder + ") ! <---");
    } else {
      report("---> ERREUR: Impossible de recréer le répertoire (" + folder + ") ! <---");
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
      report("---> ERREUR: Impossible de recréer le fichier car le nom de destination dépasse " +
             std::to_string(limit) + " caractères. (" + entry.fullPath + ")  ! <---");
    } else {
      report("---> ERREUR: Impossible de recréer le fichier (" + entry.fullPath +
             ") Vérifiez l'espace disque disponible et si le fichier n'est pas actuellement "
             "utilisé par une autre application ! <---");
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
