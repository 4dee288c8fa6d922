#include "engine/SourceReadPool.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "engine/ContentDigest.h"
#include "engine/SourceRead.h"
#include "platform/WorkerPool.h"

namespace varnoket {

namespace {

// A chunk costs far more to read than to hand out, and a large file goes
// alone, so that the workers share the bytes evenly.
constexpr size_t kFilesPerChunk = 256;
constexpr int64_t kBytesPerChunk = int64_t{4} << 20;
// Enough chunks handed out that a worker finds the next one while the
// caller reports the oldest.
constexpr size_t kChunksPerWorker = 4;
// How often the caller's pump runs while it waits for a worker.
constexpr auto kReadPumpInterval = std::chrono::milliseconds(20);

// Thrown on a worker, between two blocks, once the read is abandoned.
struct ReadAbandoned {};

// The files of a chunk that could not be read, in order, with the system's
// reason.
using Failures = std::vector<std::pair<size_t, int>>;

// What one worker reads with.
struct ReadTools {
  std::vector<char> buffer = std::vector<char>(kReadChunk);
  DigestBuilder digest{true};
};

class ParallelRead {
 public:
  ParallelRead(BackupContext& ctx, std::deque<ScannedFile>& files,
               const std::function<bool(int64_t)>& withHash)
      : ctx_(ctx), files_(files), withHash_(withHash), pool_(ctx.workers) {}
  // The running jobs end at their next block; then the pool (the first
  // member to go) drops the jobs not started and waits for the others.
  ~ParallelRead() { abandoned_.store(true); }
  ParallelRead(const ParallelRead&) = delete;
  ParallelRead& operator=(const ParallelRead&) = delete;

  void Run();

 private:
  struct Chunk {
    std::shared_ptr<Failures> failures;
    std::future<void> done;
  };

  // Hands out the files from `begin` on, as many as one chunk takes; returns
  // where the next chunk starts.
  size_t HandOut(size_t begin);
  // On a worker.
  void ReadChunk(size_t begin, size_t end, Failures& failures);
  // Waits for the oldest chunk, pumping meanwhile, and reports its failures.
  void FinishOldest();
  // The message pump; once it throws, the running jobs end at their next
  // block.
  void Pump();
  std::unique_ptr<ReadTools> TakeTools();
  void GiveBack(std::unique_ptr<ReadTools> tools);

  BackupContext& ctx_;
  std::deque<ScannedFile>& files_;
  const std::function<bool(int64_t)>& withHash_;
  std::atomic<bool> abandoned_{false};
  std::mutex toolsMutex_;
  std::vector<std::unique_ptr<ReadTools>> idleTools_;  // at most one per worker
  std::deque<Chunk> chunks_;                           // in flight, oldest first
  // Declared last so that it goes first: its threads end before what they use.
  WorkerPool pool_;
};

void ParallelRead::Run() {
  const size_t limit = kChunksPerWorker * pool_.size();
  size_t next = 0;
  while (next < files_.size() || !chunks_.empty()) {
    while (next < files_.size() && chunks_.size() < limit) next = HandOut(next);
    FinishOldest();
  }
}

size_t ParallelRead::HandOut(size_t begin) {
  size_t end = begin;
  int64_t bytes = 0;
  while (end < files_.size() && end - begin < kFilesPerChunk) {
    const int64_t size = std::max<int64_t>(files_[end].digest.size, 0);
    if (end > begin && bytes + size > kBytesPerChunk) break;
    bytes += size;
    ++end;
  }
  auto failures = std::make_shared<Failures>();
  std::future<void> done = pool_.Submit([this, begin, end, failures] {
    try {
      ReadChunk(begin, end, *failures);
    } catch (const ReadAbandoned&) {
      // The caller has stopped waiting for this chunk.
    }
  });
  chunks_.push_back(Chunk{std::move(failures), std::move(done)});
  return end;
}

void ParallelRead::ReadChunk(size_t begin, size_t end, Failures& failures) {
  // Given back however the chunk ends, for the next job on this worker.
  struct Borrowed {
    ParallelRead& read;
    std::unique_ptr<ReadTools> tools;
    ~Borrowed() { read.GiveBack(std::move(tools)); }
  } borrowed{*this, TakeTools()};
  ReadTools& tools = *borrowed.tools;
  const std::function<void()> afterBlock = [this] {
    if (abandoned_.load(std::memory_order_relaxed)) throw ReadAbandoned();
  };
  for (size_t i = begin; i < end; ++i) {
    afterBlock();
    ScannedFile& file = files_[i];
    const SourceReadOutcome outcome = ReadSourceBytes(ctx_.fs, file, withHash_(file.digest.size),
                                                      tools.buffer, tools.digest, afterBlock);
    if (!outcome.readable) failures.emplace_back(i, outcome.systemError);
  }
}

void ParallelRead::FinishOldest() {
  Chunk chunk = std::move(chunks_.front());
  chunks_.pop_front();
  while (chunk.done.wait_for(kReadPumpInterval) != std::future_status::ready) Pump();
  chunk.done.get();  // what the read threw beyond a file it could not read
  for (const auto& [index, error] : *chunk.failures) ReportUnreadable(ctx_, files_[index], error);
  Pump();
}

void ParallelRead::Pump() {
  try {
    ctx_.Pump();
  } catch (...) {
    abandoned_.store(true);
    throw;
  }
}

std::unique_ptr<ReadTools> ParallelRead::TakeTools() {
  {
    std::lock_guard<std::mutex> hold(toolsMutex_);
    if (!idleTools_.empty()) {
      std::unique_ptr<ReadTools> tools = std::move(idleTools_.back());
      idleTools_.pop_back();
      return tools;
    }
  }
  return std::make_unique<ReadTools>();
}

void ParallelRead::GiveBack(std::unique_ptr<ReadTools> tools) {
  std::lock_guard<std::mutex> hold(toolsMutex_);
  idleTools_.push_back(std::move(tools));
}

}  // namespace

void ReadSourceFiles(BackupContext& ctx, std::deque<ScannedFile>& files,
                     const std::function<bool(int64_t)>& withHash) {
  if (WorkerCount(ctx.workers) <= 1) {
    std::vector<char> buffer(kReadChunk);
    DigestBuilder digest(true);
    for (ScannedFile& f : files) ReadSourceFile(ctx, f, withHash(f.digest.size), buffer, digest);
    return;
  }
  ParallelRead(ctx, files, withHash).Run();
}

}  // namespace varnoket
