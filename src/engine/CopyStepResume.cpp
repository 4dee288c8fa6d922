// The copy step's resume: the whole copies a stopped run noted are adopted
// instead of compressed again; a large file's copy is noted on the way, and
// a later run carries on from the last note instead of compressing the file
// again from its first byte.
#include <algorithm>
#include <chrono>
#include <future>
#include <memory>
#include <vector>

#include "engine/CopyCheck.h"
#include "engine/CopyStep.h"
#include "platform/MessageText.h"
#include "platform/ShownFormat.h"

namespace varnoket {

namespace {

constexpr size_t kResumeRead = 1 << 20;

}  // namespace

void CopyStep::AdoptNotedCopies() {
  resume_.Load();
  // The copies a kill caught between their flush and their check are
  // checked now, all at once on the workers.
  struct Check {
    size_t index;
    std::string copy;
    std::string path;
    std::shared_ptr<CopyCheckResult> result;
    std::future<void> done;
  };
  std::vector<Check> checks;
  if (resume_.noted() > 0) {
    for (size_t i = 0; i < queue_.size(); ++i) {
      const FileRecord* rec = &ctx_.currentFileList[queue_[i]];
      if (rec->fullPath.empty() || rec->IsDirectory()) continue;
      const ScannedFile* scanned = details_.Find(rec->fullPath);
      if (scanned == nullptr) continue;
      if (auto noted = resume_.Adopt(*rec, scanned->digest.size)) {
        if (noted->checked) {
          adoptedCopies_[i] = std::move(noted->path);
          continue;
        }
        auto result = std::make_shared<CopyCheckResult>(CopyCheckResult::kUnreadable);
        checks.push_back(
            {i, noted->path, rec->fullPath, result, SubmitCopyCheck(noted->path, *rec, result)});
      } else if (auto part = resume_.KeepPart(rec->fullPath, scanned->digest.size)) {
        parts_[i] = std::move(*part);
      }
    }
  }
  for (Check& c : checks) {
    while (c.done.wait_for(std::chrono::milliseconds(40)) != std::future_status::ready) {
      ctx_.Pump();
    }
    const bool sound = *c.result == CopyCheckResult::kSame;
    resume_.Settle(c.copy, sound);
    if (sound) {
      adoptedCopies_[c.index] = c.copy;
      ++checkedCount_;
    } else {
      ctx_.Log(
          FillText("ATTENTION: la copie de (%s) faite avant l'arrêt de la sauvegarde ne "
                   "redonne pas le fichier : elle est refaite.",
                   {ShownText(c.path)}));
    }
  }
  resume_.DropTheRest();
  if (resume_.adopted() > 0) {
    ctx_.Log("Reprise d'une sauvegarde interrompue : " + std::to_string(resume_.adopted()) +
             " copie(s) déjà faite(s) reprise(s) sans nouvelle compression.");
  }
}

void CopyStep::NotePart(Copy& copy, const BlockEnd& end) {
  copy.nextPart = std::min(2 * end.source, end.source + kPartStep);
  if (!copy.opened) return;
  // The blocks were flushed to the disk before they were checked.
  resume_.NotePart({copy.temp, end.source, end.copyBytes, end.stream, copy.checkedSum,
                    end.storedSum, copy.opened->size, copy.opened->modifiedNs,
                    copy.opened->changedNs, copy.record.fullPath});
  if (resume_.WriteNotes()) copy.noted = end.source;
}

bool CopyStep::ResumeFromPart(Copy& copy, const PartNote& part) {
  const std::optional<DirEntry>& now = copy.opened;
  if (!now || now->size != part.sourceSize || now->modifiedNs != part.modifiedNs ||
      now->changedNs != part.changedNs) {
    ctx_.fs.DeleteFile(part.copy);  // the source changed since: the part is of no use
    return false;
  }
  std::vector<char> buffer(kResumeRead);
  int64_t counted = 0;  // source bytes the progress took in
  // Reads `count` bytes of `from`, handing each piece to `take`.
  auto readAll = [&](Stream& from, uint64_t count, auto take) {
    while (count > 0) {
      const size_t want = static_cast<size_t>(std::min<uint64_t>(count, buffer.size()));
      const size_t got = from.Read(buffer.data(), want);
      if (got == 0) throw StreamError("short read");
      take(got);
      count -= got;
      ctx_.Pump();
    }
  };
  WeightedSum stored;
  try {
    // The blocks the stopped run proved, as it left them on the disk ...
    std::unique_ptr<FileStream> out = ctx_.fs.OpenWrite(part.copy);
    readAll(*out, part.copyBytes, [&](size_t got) { stored.Update(buffer.data(), got); });
    if (stored.Value() != part.storedSum) {
      ctx_.Log(
          FillText("ATTENTION: la copie commencée de (%s) a changé sur le disque depuis "
                   "l'arrêt de la sauvegarde : elle est refaite depuis le début.",
                   {ShownText(copy.record.fullPath)}));
      throw StreamError("changed");
    }
    // ... and only those: this run writes on after them.
    if (!ctx_.fs.SetStreamSize(*out, static_cast<int64_t>(part.copyBytes))) {
      throw StreamError("size");
    }
    // The source up to there, for the digest of the whole.
    readAll(*copy.source, part.sourceOffset, [&](size_t got) {
      copy.digest->Update(buffer.data(), got);
      progress_.bytesDone += static_cast<int64_t>(got);
      counted += static_cast<int64_t>(got);
    });
    copy.out = std::move(out);
  } catch (const StreamError&) {
    // The part is unreadable, changed, or the disk refuses: start afresh.
    progress_.bytesDone -= counted;
    ctx_.fs.DeleteFile(part.copy);
    return false;
  }
  copy.temp = part.copy;
  copy.joiner.Resume(part.stream);
  copy.firstPiece = false;
  copy.base = copy.inCopy = copy.flushedAt = copy.noted = part.sourceOffset;
  copy.copyBytes = part.copyBytes;
  copy.left = copy.size - static_cast<int64_t>(part.sourceOffset);
  copy.nextPart = std::min(2 * part.sourceOffset, part.sourceOffset + kPartStep);
  copy.storedSum = stored;
  copy.blocks = std::make_shared<std::vector<PendingBlockCheck>>();
  copy.prefix = {part.copyBytes * 8 + static_cast<uint64_t>(part.stream.partialBits),
                 part.sourceOffset, part.decodedSum, part.stream.combinedCrc, part.stream.partial};
  copy.checkedSum = part.decodedSum;
  ctx_.Log(
      FillText("Reprise de la copie de (%s) là où elle s'était arrêtée : %s sur %s déjà "
               "compressés.",
               {ShownText(copy.record.fullPath),
                ByteSizeText(static_cast<int64_t>(part.sourceOffset), SizeStyle::kLogged),
                ByteSizeText(copy.size, SizeStyle::kLogged)}));
  return true;
}

}  // namespace varnoket
