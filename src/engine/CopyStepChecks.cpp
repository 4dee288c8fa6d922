// The copy step's checks of what it wrote: every new copy is read back from
// the disk and decoded before it is noted for a later run or listed. Small
// copies are checked whole, in batches; a large copy's blocks are checked
// as soon as they are flushed, while the rest of the file is compressed.
#include <chrono>
#include <future>

#include "engine/CopyCheck.h"
#include "engine/CopyStep.h"

namespace varnoket {

void CopyStep::AddWrittenBlock(Copy& copy, const WrittenBlock& block, const BlockEnd& end) {
  copy.unflushed.push_back(block);
  copy.unflushedBytes += block.sourceBytes;
  copy.ends.push_back(end);
}

void CopyStep::FlushBlocks(Copy& copy, bool closing) {
  const BZip2StreamJoiner::State waiting = copy.joiner.Saved();
  if (closing && waiting.partialBits > 0) {
    // The last block's last bits, padded to a byte, so that it can be
    // checked too. A part note names the bytes before them only.
    const char last = static_cast<char>(waiting.partial << (8 - waiting.partialBits));
    copy.out->WriteBuffer(&last, 1);
  }
  // On the disk first: the check reads what the disk kept, not the cache.
  copy.out->Sync();
  copy.flushedAt = copy.inCopy;
  // A block whose last bits wait for the next block's to fill their byte
  // is checked with the next flush.
  std::vector<WrittenBlock> later;
  if (!closing && !copy.unflushed.empty() && copy.unflushed.back().endBit > copy.copyBytes * 8) {
    later.push_back(copy.unflushed.back());
    copy.unflushed.pop_back();
  }
  SubmitBlockChecks(copy.temp, copy.unflushed, *copy.blocks);
  copy.unflushed = std::move(later);
  copy.unflushedBytes = copy.unflushed.empty() ? 0 : copy.unflushed.front().sourceBytes;
}

void CopyStep::TakeBlockChecks(Copy& copy, bool wait) {
  const std::vector<PendingBlockCheck>& blocks = *copy.blocks;
  for (; copy.checked < blocks.size() && !copy.blockFailed; ++copy.checked) {
    const PendingBlockCheck& check = blocks[copy.checked];
    if (!wait && check.done.wait_for(std::chrono::seconds(0)) != std::future_status::ready) break;
    check.done.wait();
    if (!check.result->sound) {
      copy.blockFailed = true;  // the check of the whole copy will refuse it
      break;
    }
    copy.checkedSum += check.result->sum;
  }
  if (copy.checked == 0) return;
  const BlockEnd& end = copy.ends[copy.checked - 1];
  // A note of the whole source would be of no use: the copy is noted whole
  // once its last bytes are checked.
  if (end.source <= copy.noted || end.source >= static_cast<uint64_t>(copy.size)) return;
  if (wait || end.source >= copy.nextPart) NotePart(copy, end);
}

void CopyStep::SubmitBlockChecks(const std::string& temp, std::vector<WrittenBlock>& blocks,
                                 std::vector<PendingBlockCheck>& checks) {
  FileSystem& fs = ctx_.fs;
  for (const WrittenBlock& block : blocks) {
    auto result = std::make_shared<BlockCheckResult>();
    std::shared_future<void> done =
        blockPool_
            ->Submit([&fs, result, temp, block] { *result = CheckWrittenBlock(fs, temp, block); })
            .share();
    checks.push_back({block, result, std::move(done)});
  }
  blocks.clear();
}

void CopyStep::CloseBatch(bool pump) {
  // The batch before this one was checked meanwhile: its good copies are
  // noted, and the disk flush below makes those notes last.
  ConsumeChecks(pump);
  resume_.WriteNotes();
  if (batch_.empty()) return;
  // On the disk first: the check reads what the disk kept, not the cache.
  // Flushed, the copies are noted at once: a run killed before their
  // checks end leaves the next run the checks to make, not the compression.
  if (ctx_.fs.SyncFileSystem(resume_.Folder())) {
    for (const size_t index : batch_) {
      const Written& w = written_[index];
      resume_.NoteFlushed(w.temp, w.noteLine, w.bytes);
    }
    resume_.WriteNotes();
  }
  for (const size_t index : batch_) {
    Written& w = written_[index];
    auto result = std::make_shared<CopyCheckResult>(CopyCheckResult::kUnreadable);
    if (w.blocks) {
      // The blocks not yet checked, then what is around them.
      SubmitBlockChecks(w.temp, w.lastBlocks, *w.blocks);
      checking_.push_back(
          {index, result,
           CheckPool().Submit([&fs = ctx_.fs, result, blocks = w.blocks, temp = w.temp,
                               record = w.record, prefix = w.prefix] {
             *result = CheckCopyBlocks(fs, temp, record, prefix, *blocks);
           })});
    } else {
      checking_.push_back({index, result, SubmitCopyCheck(w.temp, w.record, result)});
    }
  }
  batch_.clear();
  batchBytes_ = 0;
}

void CopyStep::ConsumeChecks(bool pump) {
  while (!checking_.empty()) {
    Checking& c = checking_.front();
    while (c.done.wait_for(std::chrono::milliseconds(40)) != std::future_status::ready) {
      if (pump) ctx_.Pump();
    }
    TakeOldestCheck();
  }
}

bool CopyStep::TakeFinishedChecks() {
  bool any = false;
  while (!checking_.empty() &&
         checking_.front().done.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
    TakeOldestCheck();
    any = true;
  }
  return any;
}

void CopyStep::TakeOldestCheck() {
  const Checking& c = checking_.front();
  Written& w = written_[c.index];
  w.blocks.reset();
  if (*c.result == CopyCheckResult::kSame) {
    w.checked = true;
    ++checkedCount_;
    resume_.Note(w.temp, w.noteLine, w.bytes);
  } else {
    ctx_.Log("ERREUR: la copie compressée de (" + w.record.fullPath +
             ") relue après écriture ne redonne pas le fichier. Elle n'est pas gardée ; le "
             "fichier sera sauvegardé de nouveau.");
    ctx_.fs.DeleteFile(w.temp);
    w.refused = true;
    ++badCopies_;
    NotStored(w.record);
  }
  checking_.pop_front();
}

std::future<void> CopyStep::SubmitCopyCheck(const std::string& copy, const FileRecord& record,
                                            std::shared_ptr<CopyCheckResult> result) {
  // On the only worker, a copy is decoded whole: decoding its blocks as
  // jobs of that worker would wait for them behind itself.
  WorkerPool* blocks = checkPool_ ? blockPool_.get() : nullptr;
  return CheckPool().Submit([&fs = ctx_.fs, result = std::move(result), copy, record, blocks] {
    *result = CheckCopy(fs, copy, record, blocks);
  });
}

}  // namespace varnoket
