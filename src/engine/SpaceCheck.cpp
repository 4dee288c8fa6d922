#include "engine/SpaceCheck.h"

#include <cstdio>

#include "engine/FileRecord.h"
#include "platform/MessageText.h"

namespace varnoket {

uint64_t BytesToStore(const BackupContext& ctx, const ScanDetails& details) {
  uint64_t bytes = 0;
  for (const uint32_t position : ctx.changedFiles) {
    const std::string& line = ctx.currentFileList[position];
    bytes += line.size() + 2;
    const auto record = ParseFileRecord(line);
    if (!record) continue;
    // The record keeps only the low 32 bits of a size; the scan has it whole.
    if (const ScannedFile* file = details.Find(record->fullPath)) {
      bytes += static_cast<uint64_t>(file->digest.size);
    }
  }
  for (const std::string& line : ctx.currentFileList) bytes += line.size() + 2;
  return bytes;
}

std::string NoSpaceText(BackupContext& ctx, uint64_t needed) {
  const auto free = ctx.fs.FreeSpace(ctx.backupRoot);
  if (!free || needed <= *free) return {};
  return FillText(
      "Espace insuffisant sur le disque de sauvegarde (%s) : jusqu'à %s à écrire pour %s "
      "libres, il manque %s. Sauvegarde non commencée : réduisez le nombre de journées "
      "mémorisées (%s actuellement) ou libérez de la place sur ce disque.",
      {ctx.backupRoot, SizeText(needed), SizeText(*free), SizeText(needed - *free),
       std::to_string(ctx.daysKept)});
}

std::string SizeText(uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + " octets";
  static constexpr const char* kUnits[] = {"Ko", "Mo", "Go", "To"};
  double value = static_cast<double>(bytes) / 1024.0;
  size_t unit = 0;
  while (value >= 1024.0 && unit + 1 < std::size(kUnits)) {
    value /= 1024.0;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
  std::string out(text);
  for (char& c : out) {
    if (c == '.') c = ',';
  }
  return out;
}

}  // namespace varnoket
