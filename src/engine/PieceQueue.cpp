#include "engine/PieceQueue.h"

#include <chrono>

namespace varnoket {

namespace {

// Enough queued work to keep every worker busy while the reader fills the
// next piece, and no more: memory stays a fixed amount per worker.
constexpr size_t kPiecesPerWorker = 3;
constexpr uint64_t kInputBytesPerWorker = uint64_t{3} << 20;
constexpr size_t kEntriesPerWorker = 64;

// How often the caller's pump runs while it waits for a worker.
constexpr auto kPiecePumpInterval = std::chrono::milliseconds(40);

}  // namespace

PieceQueue::PieceQueue(WorkerPool& pool, std::function<void()> pump)
    : pool_(pool), pump_(std::move(pump)) {}

// The jobs own their input and output: a queue dropped part way (a stopped
// run) leaves nothing for a job still queued or running to write into.
PieceQueue::~PieceQueue() = default;

bool PieceQueue::HasRoom() const {
  // Files without pieces (adopted, unreadable) still hold their state until
  // their turn comes.
  if (entries_.size() >= kEntriesPerWorker * pool_.size()) return false;
  // One piece is always allowed, however large: a file of long runs makes
  // pieces of tens of megabytes that must still go through.
  if (piecesInFlight_ == 0) return true;
  return piecesInFlight_ < kPiecesPerWorker * pool_.size() &&
         bytesInFlight_ < kInputBytesPerWorker * pool_.size();
}

void PieceQueue::AddPiece(size_t file, std::string input, bool first, bool last) {
  Pending p;
  p.entry = Entry{Kind::kPiece, file, first, last, false, std::make_shared<CompressedPiece>()};
  p.inputBytes = input.size();
  auto out = p.entry.piece;
  auto data = std::make_shared<std::string>(std::move(input));
  p.done = pool_.Submit([out, data] {
    *out = CompressPiece(data->data(), data->size());
    data->clear();
    data->shrink_to_fit();
  });
  ++piecesInFlight_;
  bytesInFlight_ += p.inputBytes;
  entries_.push_back(std::move(p));
}

void PieceQueue::AddEnd(size_t file) {
  Pending p;
  p.entry = Entry{Kind::kEnd, file, false, true, false, nullptr};
  entries_.push_back(std::move(p));
}

PieceQueue::Entry PieceQueue::TakeOldest() {
  Pending p = std::move(entries_.front());
  entries_.pop_front();
  if (p.entry.kind == Kind::kPiece) {
    --piecesInFlight_;
    bytesInFlight_ -= p.inputBytes;
    while (p.done.wait_for(kPiecePumpInterval) != std::future_status::ready) {
      if (pump_) pump_();
    }
    try {
      p.done.get();
    } catch (const std::exception&) {
      p.entry.failed = true;
    }
  }
  return p.entry;
}

}  // namespace varnoket
