// The pieces of the files a backup run is storing, compressed on a pool of
// workers and handed back strictly in the order they were queued, so that
// everything the run does with them (writing the stored copies, the log, the
// file-system calls) keeps one order whatever the timing of the workers.
//
// What is in flight is bounded in pieces and in input bytes; a caller asks
// HasRoom() before queueing and takes the oldest entry when there is none.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <string>

#include "engine/BZip2Blocks.h"
#include "platform/WorkerPool.h"

namespace varnoket {

class PieceQueue {
 public:
  enum class Kind {
    kPiece,  // compressed input of one file
    kEnd,    // the file's input ended (or failed): no more pieces of it
  };

  struct Entry {
    Kind kind = Kind::kEnd;
    size_t file = 0;  // the caller's number for the file
    bool first = false;
    bool last = false;
    bool failed = false;                     // the piece could not be compressed
    std::shared_ptr<CompressedPiece> piece;  // set for kPiece once taken
  };

  // Compresses on `pool`, which other work may share (the checks of the
  // blocks written): the run keeps one thread per core busy, not two.
  // `pump` runs while the caller waits.
  PieceQueue(WorkerPool& pool, std::function<void()> pump);
  ~PieceQueue();

  unsigned workers() const { return pool_.size(); }
  bool empty() const { return entries_.empty(); }
  // Whether another piece may be queued without going over the bounds.
  bool HasRoom() const;

  // Queues `input` of file `file` for compression. A file's pieces are
  // queued in order; `first` and `last` say where it starts and ends.
  void AddPiece(size_t file, std::string input, bool first, bool last);
  // Marks the end of a file's pieces for the caller's bookkeeping.
  void AddEnd(size_t file);

  // Waits (running the pump, which may throw) for the oldest entry and
  // takes it.
  Entry TakeOldest();

 private:
  struct Pending {
    Entry entry;
    uint64_t inputBytes = 0;
    std::future<void> done;
  };

  WorkerPool& pool_;
  std::function<void()> pump_;
  std::deque<Pending> entries_;
  size_t piecesInFlight_ = 0;
  uint64_t bytesInFlight_ = 0;
};

}  // namespace varnoket
