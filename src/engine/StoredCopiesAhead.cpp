#include "engine/StoredCopiesAhead.h"

#include <chrono>
#include <utility>

namespace varnoket {

StoredCopiesAhead::StoredCopiesAhead(FileSystem& fs, StoreLayout layout, std::string lastDay,
                                     bool ahead)
    : fs_(fs), layout_(std::move(layout)), lastDay_(std::move(lastDay)) {
  if (!ahead || lastDay_.empty()) return;
  pool_ = std::make_unique<WorkerPool>(1);
  done_ = pool_->Submit([this] {
    try {
      found_ = StoredCopies::Find(fs_, layout_, lastDay_, [this] {
        if (abandoned_.load(std::memory_order_relaxed)) throw Abandoned();
      });
    } catch (const Abandoned&) {
      // The run stopped before it needed the copies.
    }
  });
}

StoredCopiesAhead::~StoredCopiesAhead() {
  abandoned_.store(true);
}

StoredCopies StoredCopiesAhead::Take(const std::string& lastDay,
                                     const std::function<void()>& pump) {
  if (!done_.valid() || lastDay != lastDay_) return StoredCopies::Find(fs_, layout_, lastDay, pump);
  try {
    while (done_.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
      if (pump) pump();
    }
  } catch (...) {
    abandoned_.store(true);
    throw;
  }
  done_.get();  // what the walk threw beyond a folder it could not list
  return std::move(found_);
}

}  // namespace varnoket
