#include "restore/RestoreItem.h"

#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <optional>
#include <utility>

#include "platform/MachineIdentity.h"
#include "platform/MessageText.h"
#include "platform/PathContainment.h"
#include "platform/Translation.h"
#include "restore/ProvenCopy.h"
#include "restore/RestoreFailureText.h"
#include "restore/SparseTarget.h"
#include "restore/StoredFileLookup.h"

namespace varnoket {

namespace {

// How many taken names a new temporary file may meet before giving up.
constexpr int kTemporaryAttempts = 10000;

// A new file beside the destination, under a name of this process's that
// nothing stands under: a file of the person's that happens to bear such a
// name is never emptied.
std::unique_ptr<FileStream> CreateTemporary(FileSystem& fs, const std::string& folder,
                                            std::string& temp) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 1;; ++attempt) {
    temp =
        folder + ".vk-restore-" + std::to_string(ThisProcessId()) + "-" + std::to_string(++counter);
    try {
      return fs.CreateNew(temp);
    } catch (const StreamError& e) {
      if (e.systemError() != EEXIST || attempt >= kTemporaryAttempts) throw;
    }
  }
}

struct Written {
  bool done = false;
  int64_t bytes = 0;
  int systemError = 0;  // when writing the destination failed
  CopyProof refused;    // the newest copy's verdict when none was proven
  size_t tried = 0;
};

// Decodes the candidates in turn into a new temporary file until one is
// proven, and moves that one into place.
Written WriteProvenCopy(FileSystem& fs, const std::vector<std::string>& candidates,
                        const RecordedContent& content, const std::string& folder,
                        const std::string& destination, RestoreHost& host, WorkerPool* blocks) {
  Written w;
  for (const std::string& candidate : candidates) {
    std::string temp;
    try {
      std::unique_ptr<FileStream> out;
      std::optional<SparseTarget> target;
      // Zeros filling whole blocks become holes; the proof sums every byte
      // decoded, those passed over included. A second decoding pass starts
      // over in a new file.
      auto fresh = [&]() -> Stream& {
        if (out) {
          out.reset();
          fs.DeleteFile(temp);
        }
        out = CreateTemporary(fs, folder, temp);
        return target.emplace(fs, *out);
      };
      Stream& first = fresh();
      const CopyProof proof = DecodeAndProve(
          fs, candidate, first, content, [&host] { host.ProcessMessages(); },
          DecodeBlocksWith{blocks, fresh});
      ++w.tried;
      if (proof.verdict != CopyVerdict::kProven) {
        out.reset();
        fs.DeleteFile(temp);
        if (w.tried == 1) w.refused = proof;
        continue;
      }
      target->Finish();
      out->Close();
      if (const FsStatus renamed = fs.Rename(temp, destination); !renamed) {
        w.systemError = renamed.systemError();
        fs.DeleteFile(temp);
        return w;
      }
      w.done = true;
      w.bytes = proof.size;
      return w;
    } catch (const StreamError& e) {
      // Creating, writing, sizing or closing the new file failed: the fault is the
      // destination's, and no other copy would fare better.
      w.systemError = e.systemError();
      if (!temp.empty()) fs.DeleteFile(temp);
      return w;
    }
  }
  return w;
}

// The checks of the place a file is written to, its folder made on the way:
// the status of a refusal, its line reported, or nothing.
std::optional<RestoreStatus> CheckDestination(FileSystem& fs, const PathRules& rules,
                                              const std::string& destination,
                                              const std::string& folder,
                                              const std::string& confinedTo,
                                              const std::string& shown, RestoreHost& host) {
  // The chosen folder is resolved once per thread, not for each file; each
  // file's folder is resolved every time, so a link put there meanwhile is
  // seen. A folder not found below it by name is asked again the thorough
  // way (another name of the same folder, a bind mount).
  thread_local std::pair<std::string, std::string> root;  // (chosen, resolved)
  PathContainment containment(fs);
  auto outside = [&] {
    if (confinedTo.empty()) return false;
    if (root.first != confinedTo) root = {confinedTo, containment.Resolved(confinedTo)};
    if (rules.IsSameOrBelow(containment.Resolved(folder), root.second)) return false;
    return !containment.IsSameOrBelow(folder, confinedTo);
  };
  if (outside()) {
    host.Report(OutsideDestinationLine(destination, confinedTo));
    return RestoreStatus::kOutsideDestination;
  }
  const FsStatus made = folder.empty() ? FsStatus() : fs.CreateDirectories(folder);
  if (folder.empty() || !made) {
    host.Report(FolderFailedLine(folder, made.systemError(), rules.ExceededLengthLimit(folder)));
    return RestoreStatus::kFolderFailed;
  }
  // Made now: a link met on the way shows in the folder's resolved path.
  if (outside()) {
    host.Report(OutsideDestinationLine(destination, confinedTo));
    return RestoreStatus::kOutsideDestination;
  }
  if (const size_t limit = rules.ExceededLengthLimit(destination)) {
    host.Report(FillText(VK_TR_NOOP("Messages",
                                    "---> ERREUR: Impossible de recréer le fichier car "
                                    "le nom de destination dépasse %s caractères. (%s)  "
                                    "! <---"),
                         {std::to_string(limit), shown}));
    return RestoreStatus::kFileFailed;
  }
  if (const auto there = fs.Stat(destination); there && there->isDirectory && !there->isSymlink) {
    host.Report(FolderInTheWayLine(destination));
    return RestoreStatus::kFileFailed;
  }
  return std::nullopt;
}

}  // namespace

RestoreItemResult RestoreItem(FileSystem& fs, const StoreLayout& layout,
                              const std::vector<std::string>& dayFolders, size_t dayIndex,
                              const RestoreEntry& entry, const std::string& destination,
                              RestoreHost& host, const std::string& confinedTo,
                              const std::string& shownPath, WorkerPool* blocks) {
  auto report = [&host](const std::string& line) { host.Report(line); };
  const std::string& shown = shownPath.empty() ? entry.fullPath : shownPath;
  RestoreItemResult result;
  if (entry.content) {
    if (const auto size = SizeWhenUpToDate(fs, destination, *entry.content, entry.fileDate)) {
      report(FillText(VK_TR_NOOP("Messages", "Fichier-> %s (déjà à jour)"), {shown}));
      result.status = RestoreStatus::kRestored;
      result.bytes = *size;
      return result;
    }
  }
  report(FillText(VK_TR_NOOP("Messages", "Fichier-> %s"), {shown}));

  const auto candidates = StoredCopyCandidates(fs, layout, dayFolders, dayIndex, entry.storedName);
  if (candidates.empty()) {
    report(VK_TR_NOOP("Messages",
                      "---> ERREUR: Fichier compressé absent ! Soit il a été effacé, soit "
                      "il n'a pas pu être sauvegardé <---"));
    result.status = RestoreStatus::kMissingStored;
    return result;
  }
  if (!entry.content) {
    // Only a record whose content is known can prove a copy.
    report(FillText(VK_TR_NOOP("Messages",
                               "---> ERREUR: Enregistrement illisible pour (%s) : fichier non "
                               "restauré. <---"),
                    {shown}));
    result.status = RestoreStatus::kCopyRefused;
    return result;
  }

  const PathRules& rules = layout.rules();
  const std::string folder = rules.ParentWithSeparator(destination);
  if (const auto refused =
          CheckDestination(fs, rules, destination, folder, confinedTo, shown, host)) {
    result.status = *refused;
    return result;
  }

  const Written w =
      WriteProvenCopy(fs, candidates, *entry.content, folder, destination, host, blocks);
  if (!w.done) {
    if (w.tried > 0 && w.systemError == 0) {
      report(RefusedCopyLine(w.refused, *entry.content, w.tried));
      result.status = RestoreStatus::kCopyRefused;
    } else {
      report(FileWriteFailedLine(shown, w.systemError));
      result.status = RestoreStatus::kFileFailed;
    }
    return result;
  }
  result.bytes = w.bytes;
  fs.SetFileDate(destination, entry.fileDate);
  // Only a POSIX mode word is applied; a list made elsewhere holds other bits.
  const auto mode = static_cast<uint32_t>(entry.attributes);
  if ((mode & S_IFMT) == S_IFREG) fs.SetAttributes(destination, mode);
  result.status = RestoreStatus::kRestored;
  return result;
}

}  // namespace varnoket
