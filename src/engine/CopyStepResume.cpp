// The copy step's part notes: a large file's copy is noted on the way, and a
// later run carries on from the last note instead of compressing the file
// again from its first byte.
#include <algorithm>
#include <vector>

#include "engine/CopyStep.h"
#include "platform/MessageText.h"
#include "platform/ShownFormat.h"

namespace varnoket {

namespace {

constexpr size_t kResumeRead = 1 << 20;

}  // namespace

void CopyStep::NotePart(Copy& copy) {
  copy.nextPart = std::min(2 * copy.inCopy, copy.inCopy + kPartStep);
  if (!copy.opened) return;
  // The blocks on the disk before the note that names them.
  if (!ctx_.fs.SyncFileSystem(resume_.Folder())) return;
  resume_.NotePart({copy.temp, copy.inCopy, copy.copyBytes, copy.joiner.Saved(), copy.opened->size,
                    copy.opened->modifiedNs, copy.opened->changedNs, copy.record.fullPath});
  resume_.WriteNotes();
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
  try {
    // The blocks the stopped run made, into this run's copy ...
    const auto in = ctx_.fs.OpenRead(part.copy);
    if (ctx_.fs.Exists(copy.temp)) ctx_.fs.ClearAttributes(copy.temp);
    copy.out = ctx_.fs.Create(copy.temp);
    readAll(*in, part.copyBytes, [&](size_t got) { copy.out->WriteBuffer(buffer.data(), got); });
    // ... and the source up to there, for the digest of the whole.
    readAll(*copy.source, part.sourceOffset, [&](size_t got) {
      copy.digest->Update(buffer.data(), got);
      progress_.bytesDone += static_cast<int64_t>(got);
      counted += static_cast<int64_t>(got);
    });
  } catch (const StreamError&) {
    // The part is unreadable or the disk refuses: start from the beginning.
    progress_.bytesDone -= counted;
    copy.out.reset();
    ctx_.fs.DeleteFile(copy.temp);
    ctx_.fs.DeleteFile(part.copy);
    return false;
  }
  copy.joiner.Resume(part.stream);
  copy.firstPiece = false;
  copy.base = copy.inCopy = part.sourceOffset;
  copy.copyBytes = part.copyBytes;
  copy.left = copy.size - static_cast<int64_t>(part.sourceOffset);
  // This run's copy holds what the part held: noted so before the part goes.
  NotePart(copy);
  ctx_.fs.DeleteFile(part.copy);
  ctx_.Log(
      FillText("Reprise de la copie de (%s) là où elle s'était arrêtée : %s sur %s déjà "
               "compressés.",
               {copy.record.fullPath,
                ByteSizeText(static_cast<int64_t>(part.sourceOffset), SizeStyle::kLogged),
                ByteSizeText(copy.size, SizeStyle::kLogged)}));
  return true;
}

}  // namespace varnoket
