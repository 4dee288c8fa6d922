#include "app/StoreGlance.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include "engine/ActivityLog.h"

namespace varnoket {

struct StoreGlance::Pending {
  std::string root;
  std::string logPath;
  std::mutex mutex;
  std::condition_variable answered;
  std::optional<StoreFacts> facts;
};

std::optional<StoreFacts> StoreGlance::Read(const std::string& root, const std::string& logPath,
                                            std::chrono::milliseconds wait) {
  std::shared_ptr<Pending> pending = pending_;
  if (pending != nullptr) {
    std::unique_lock<std::mutex> lock(pending->mutex);
    if (!pending->facts) return std::nullopt;  // the store still does not answer
    // The late answer of an earlier read: good for the same store only.
    pending_.reset();
    if (pending->root == root && pending->logPath == logPath) return pending->facts;
  }
  pending = std::make_shared<Pending>();
  pending->root = root;
  pending->logPath = logPath;
  pending_ = pending;
  // The thread keeps what it works with alive; one waiting on a share that
  // never answers again ends with the program.
  std::thread([pending, &fs = fs_] {
    StoreFacts facts;
    facts.run = LastRunOutcomeOfLog(ReadWholeFile(fs, pending->logPath));
    if (fs.IsDirectory(pending->root)) facts.freeBytes = fs.FreeSpace(pending->root);
    std::lock_guard<std::mutex> lock(pending->mutex);
    pending->facts = std::move(facts);
    pending->answered.notify_all();
  }).detach();
  std::unique_lock<std::mutex> lock(pending->mutex);
  if (!pending->answered.wait_for(lock, wait, [&] { return pending->facts.has_value(); })) {
    return std::nullopt;
  }
  pending_.reset();
  return pending->facts;
}

bool StoreGlance::Waiting() const {
  std::shared_ptr<Pending> pending = pending_;
  if (pending == nullptr) return false;
  std::lock_guard<std::mutex> lock(pending->mutex);
  return !pending->facts.has_value();
}

}  // namespace varnoket
