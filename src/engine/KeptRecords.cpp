#include "engine/KeptRecords.h"

#include <algorithm>

#include "engine/FileRecord.h"
#include "engine/LeftOut.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"

namespace varnoket {

namespace {

bool BelowAny(const PathRules& rules, std::string_view path,
              const std::vector<std::string>& folders) {
  return std::any_of(folders.begin(), folders.end(),
                     [&](const std::string& folder) { return rules.IsSameOrBelow(path, folder); });
}

bool PreviousHasBelow(const PathRules& rules, const std::vector<std::string>& previousList,
                      const std::string& folder) {
  return std::any_of(previousList.begin(), previousList.end(), [&](const std::string& line) {
    // The folder's own record (it was empty) is nothing to keep.
    const auto rec = ViewFileRecord(line);
    return rec && rules.IsSameOrBelow(rec->fullPath, folder) &&
           !rules.Equal(rules.RemoveTrailingSeparator(rec->fullPath), folder);
  });
}

}  // namespace

std::vector<std::string> VanishedFolders(BackupContext& ctx, const std::vector<std::string>& listed,
                                         const DaySet& previousSet) {
  std::vector<std::string> vanished;
  for (const std::string& folder : listed) {
    const auto entries = ctx.fs.ListDirectory(folder);
    const bool empty = entries && entries->empty();
    const auto before = previousSet.fileSystems.find(folder);
    const auto now = ctx.listedFileSystems.find(folder);
    const bool moved = before != previousSet.fileSystems.end() &&
                       now != ctx.listedFileSystems.end() && before->second != now->second;
    if (!empty && !moved) continue;
    if (!PreviousHasBelow(ctx.rules, ctx.previousFileList, folder)) continue;
    ctx.Log(FillText(
        moved ? VK_TR_NOOP("Messages",
                           "ATTENTION: Le dossier à sauvegarder (%s) n'est plus sur le même disque "
                           "qu'à la sauvegarde précédente (disque non monté ou partage non "
                           "connecté ?) : ce que la sauvegarde précédente y avait trouvé est "
                           "gardé. Retirez-le de la liste pour ne plus le sauvegarder.")
              : VK_TR_NOOP("Messages",
                           "ATTENTION: Le dossier à sauvegarder (%s) est vide (disque non monté "
                           "ou partage non connecté ?) : ce que la sauvegarde précédente y avait "
                           "trouvé est gardé. Retirez-le de la liste pour ne plus le "
                           "sauvegarder."),
        {ShownText(folder)}));
    ctx.leftOut.Add(LeftOutCause::kVanishedFolder);
    // Tomorrow's run compares with the disk it was on, not with this one.
    if (before != previousSet.fileSystems.end()) ctx.listedFileSystems[folder] = before->second;
    vanished.push_back(folder);
  }
  return vanished;
}

void DropBelow(const PathRules& rules, const std::vector<std::string>& folders,
               std::deque<ScannedFile>& files, std::vector<FileRecord>& directoryRecords) {
  if (folders.empty()) return;
  files.erase(
      std::remove_if(files.begin(), files.end(),
                     [&](const ScannedFile& f) { return BelowAny(rules, f.path, folders); }),
      files.end());
  directoryRecords.erase(
      std::remove_if(directoryRecords.begin(), directoryRecords.end(),
                     [&](const FileRecord& rec) { return BelowAny(rules, rec.fullPath, folders); }),
      directoryRecords.end());
}

void KeepPreviousRecords(const PathRules& rules, const std::vector<std::string>& folders,
                         const std::vector<std::string>& previousList,
                         std::vector<FileRecord>& records, std::vector<std::string>& carried) {
  if (folders.empty()) return;
  for (const std::string& line : previousList) {
    const auto view = ViewFileRecord(line);
    if (!view || !BelowAny(rules, view->fullPath, folders)) continue;
    if (auto rec = ParseFileRecord(line)) {
      records.push_back(std::move(*rec));
    } else {
      carried.push_back(line);
    }
  }
}

}  // namespace varnoket
