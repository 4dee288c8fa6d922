#include "restore/VerifyDay.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "engine/DaySet.h"
#include "engine/FileRecord.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"
#include "restore/CheckedList.h"
#include "restore/OrderedJobs.h"
#include "restore/ProvenCopy.h"
#include "restore/StoredFileLookup.h"

namespace varnoket {

namespace {

// What one record's check found.
struct Check {
  ListEntry entry;
  size_t copies = 0;                   // copies decoded
  std::optional<std::string> line;     // the problem, when there is one
  std::optional<std::string> badCopy;  // the first copy met, when it is bad
};

std::string ProblemLine(const std::string& day, const CopyProof& proof, const ListEntry& e) {
  switch (proof.verdict) {
    case CopyVerdict::kProven:
      break;
    case CopyVerdict::kUnreadable:
      return FillText(VK_TR_NOOP("Messages", "%s : copie illisible (%s, %s) pour %s"),
                      {day, proof.path, std::strerror(proof.systemError), e.fullPath});
    case CopyVerdict::kDamaged:
      if (proof.damagedBlock != 0) {
        return FillText(
            VK_TR_NOOP("Messages", "%s : copie endommagée (%s, bloc %s à l'octet %s) pour %s"),
            {day, proof.path, std::to_string(proof.damagedBlock), std::to_string(proof.damagedByte),
             e.fullPath});
      }
      return FillText(VK_TR_NOOP("Messages", "%s : copie endommagée (%s) pour %s"),
                      {day, proof.path, e.fullPath});
    case CopyVerdict::kTruncated:
      return FillText(VK_TR_NOOP("Messages", "%s : copie tronquée (%s) pour %s"),
                      {day, proof.path, e.fullPath});
    case CopyVerdict::kDifferent:
      return FillText(VK_TR_NOOP("Messages",
                                 "%s : contenu différent (%s : taille %s, somme %s ; liste : "
                                 "taille %s, somme %s) pour %s"),
                      {day, proof.path, std::to_string(RecordedSize(proof.size)),
                       std::to_string(proof.checksum), std::to_string(e.size),
                       std::to_string(e.checksum), e.fullPath});
  }
  return {};
}

void CheckRecord(FileSystem& fs, const StoreLayout& layout,
                 const std::vector<std::string>& dayFolders, size_t dayIndex, WorkerPool& blocks,
                 Check& check) {
  const std::string& day = dayFolders[dayIndex];
  const auto candidates =
      StoredCopyCandidates(fs, layout, dayFolders, dayIndex, check.entry.storedName);
  if (candidates.empty()) {
    check.line = FillText(VK_TR_NOOP("Messages", "%s : copie absente (%s) pour %s"),
                          {day, check.entry.storedName, check.entry.fullPath});
    return;
  }
  std::optional<CopyProof> first;
  for (const std::string& candidate : candidates) {
    const CopyProof proof = ProveCopy(fs, candidate, check.entry.Content(), &blocks);
    ++check.copies;
    if (proof.verdict == CopyVerdict::kProven) break;
    if (!first) first = proof;
    if (check.copies == candidates.size()) {
      check.line = ProblemLine(day, *first, check.entry);
    }
  }
  // The copy the lookup meets first is the one to store again, unless it
  // merely could not be read (a refused access is no damage).
  if (first && first->verdict != CopyVerdict::kUnreadable) check.badCopy = first->path;
}

// The day folder that holds `copyPath`, a stored file path of `layout`.
std::string DayOfCopy(const StoreLayout& layout, const std::vector<std::string>& dayFolders,
                      const std::string& copyPath, const std::string& storedName) {
  for (const std::string& day : dayFolders) {
    if (layout.StoredFilePath(layout.DayFolder(day), storedName) == copyPath) return day;
  }
  return {};
}

}  // namespace

VerifyCounts VerifyDay(FileSystem& fs, const StoreLayout& layout,
                       const std::vector<std::string>& dayFolders, size_t dayIndex,
                       RestoreHost& host, unsigned workers) {
  VerifyCounts counts;
  auto problem = [&counts, &host](const std::string& text) {
    ++counts.problems;
    host.Report(text);
  };
  const std::string day = dayIndex < dayFolders.size() ? dayFolders[dayIndex] : "";
  const std::string dayFolder = layout.DayFolder(day);
  const std::string listPath = layout.FileListPath(dayFolder);
  const DaySet set = ReadDaySet(fs, layout, dayFolder);
  const auto list = day.empty() ? std::nullopt : ReadCheckedList(fs, listPath, layout.rules(), set);
  if (!list) {
    problem(
        FillText(VK_TR_NOOP("Messages", "ERREUR: impossible de lire le fichier (%s)"), {listPath}));
    return counts;
  }
  counts.listRead = true;
  WorkerPool blocks(workers);  // for large copies; outlives the jobs that use it
  OrderedJobs jobs(workers, host);
  // The problems in the order of the list: each unreadable line before the
  // first record that follows it.
  auto next = list->unreadable.begin();
  auto sayUnreadableUpTo = [&](size_t lineNumber) {
    for (; next != list->unreadable.end() && next->line < lineNumber; ++next) {
      jobs.AddDone(
          [&problem, said = FillText(VK_TR_NOOP("Messages", "%s : ligne illisible (%s) : %s"),
                                     {day, Translate(kMessagesContext, LineFaultText(next->fault)),
                                      next->text})] { problem(said); });
    }
  };
  for (const ListEntry& entry : list->entries) {
    if (entry.IsDirectory() || !entry.offered) continue;
    sayUnreadableUpTo(entry.line);
    ++counts.checked;
    auto check = std::make_shared<Check>();
    check->entry = entry;
    jobs.Add([check, &fs, &layout, &dayFolders, dayIndex,
              &blocks] { CheckRecord(fs, layout, dayFolders, dayIndex, blocks, *check); },
             [check, &problem, &counts, &layout, &dayFolders] {
               counts.copies += check->copies;
               if (check->line) problem(*check->line);
               if (check->badCopy) {
                 counts.badCopies.emplace_back(
                     DayOfCopy(layout, dayFolders, *check->badCopy, check->entry.storedName),
                     check->entry.storedName);
               }
             });
  }
  sayUnreadableUpTo(SIZE_MAX);
  jobs.Drain();
  return counts;
}

}  // namespace varnoket
