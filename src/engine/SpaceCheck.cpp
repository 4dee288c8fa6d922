#include "engine/SpaceCheck.h"

#include <cstdio>

#include "engine/FileRecord.h"
#include "platform/MessageText.h"
#include "platform/ShownFormat.h"
#include "platform/Translation.h"

namespace varnoket {

uint64_t BytesToStore(const BackupContext& ctx, const ScanDetails& details) {
  uint64_t bytes = 0;
  for (const uint32_t position : ctx.changedFiles) {
    const FileRecord& record = ctx.currentFileList[position];
    bytes += record.FormattedLength() + 2;
    // The record keeps only the low 32 bits of a size; the scan has it whole.
    if (const ScannedFile* file = details.Find(record.fullPath)) {
      bytes += static_cast<uint64_t>(file->digest.size);
    }
  }
  for (const FileRecord& record : ctx.currentFileList) bytes += record.FormattedLength() + 2;
  for (const std::string& line : ctx.carriedLines) bytes += line.size() + 2;
  return bytes;
}

std::string NoSpaceText(BackupContext& ctx, uint64_t needed) {
  const auto free = ctx.fs.FreeSpace(ctx.backupRoot);
  if (!free || needed <= *free) return {};
  // Logged as well as shown: the sizes keep the logged style.
  const auto logged = [](uint64_t bytes) {
    return ByteSizeText(static_cast<int64_t>(bytes), SizeStyle::kLogged);
  };
  return FillText(
      VK_TR_NOOP("Messages",
                 "Espace insuffisant sur le disque de sauvegarde (%s) : jusqu'à %s à écrire pour "
                 "%s libres, il manque %s. Sauvegarde non commencée : réduisez le nombre de "
                 "journées mémorisées (%s actuellement) ou libérez de la place sur ce disque."),
      {ctx.backupRoot, logged(needed), logged(*free), logged(needed - *free),
       std::to_string(ctx.daysKept)});
}

}  // namespace varnoket
