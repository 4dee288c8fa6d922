#include "engine/FolderListingsAhead.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace varnoket {

namespace {

// Enough folders listed ahead that every worker finds the next one while the
// walk takes the oldest; few enough that the listings held stay small.
constexpr size_t kAheadPerWorker = 4;

}  // namespace

FolderListingsAhead::FolderListingsAhead(FileSystem& fs, unsigned workers) : fs_(fs) {
  if (workers <= 1) return;
  pool_ = std::make_unique<WorkerPool>(workers);
  bound_ = kAheadPerWorker * pool_->size();
}

FolderListingsAhead::~FolderListingsAhead() = default;

void FolderListingsAhead::Announce(std::vector<std::string> folders) {
  if (!pool_) return;
  announced_.insert(announced_.begin(), std::make_move_iterator(folders.begin()),
                    std::make_move_iterator(folders.end()));
  TopUp();
}

FolderListingsAhead::Listing FolderListingsAhead::Take(const std::string& folder,
                                                       const std::function<void()>& pump,
                                                       FsStatus* why) {
  const auto it = std::find_if(ahead_.begin(), ahead_.end(),
                               [&folder](const Pending& p) { return p.folder == folder; });
  if (it == ahead_.end()) {
    Forget(folder);
    FsStatus failure;
    Listing listing = fs_.ListDirectory(folder, failure);
    if (why != nullptr) *why = failure;
    return listing;
  }
  Pending pending = std::move(*it);
  ahead_.erase(it);
  TopUp();
  while (pending.done.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
    if (pump) pump();
  }
  pending.done.get();  // what the listing threw
  if (why != nullptr) *why = *pending.why;
  return std::move(*pending.listing);
}

void FolderListingsAhead::Forget(const std::string& folder) {
  const auto announced = std::find(announced_.begin(), announced_.end(), folder);
  if (announced != announced_.end()) {
    announced_.erase(announced);
    return;
  }
  // A listing made for nothing: its job keeps what it writes to alive.
  const auto it = std::find_if(ahead_.begin(), ahead_.end(),
                               [&folder](const Pending& p) { return p.folder == folder; });
  if (it != ahead_.end()) {
    ahead_.erase(it);
    TopUp();
  }
}

void FolderListingsAhead::TopUp() {
  while (ahead_.size() < bound_ && !announced_.empty()) {
    Pending pending{std::move(announced_.front()),
                    std::make_shared<Listing>(),
                    std::make_shared<FsStatus>(),
                    {}};
    announced_.pop_front();
    pending.done =
        pool_->Submit([&fs = fs_, folder = pending.folder, listing = pending.listing,
                       why = pending.why] { *listing = fs.ListDirectory(folder, *why); });
    ahead_.push_back(std::move(pending));
  }
}

}  // namespace varnoket
