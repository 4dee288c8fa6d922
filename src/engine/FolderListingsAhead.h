// The listings of the folders the source walk enters next, made on workers
// while the walk goes on.
//
// Listing a folder (reading its entries and each entry's status) is most of
// the walk's time, and the walk itself is the one serial part of a run in
// which nothing changed. The walk stays one thread, in its own order: it
// says which folders it will enter next, the workers list up to a bounded
// number of them ahead, and the walk takes each listing when it reaches the
// folder. Nothing else changes: the same folders are listed, the walk logs
// and decides in the same order, and a listing is as fresh as one taken a
// moment before. With one worker the walk lists each folder itself.
#pragma once

#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/WorkerPool.h"

namespace varnoket {

class FolderListingsAhead {
 public:
  using Listing = std::optional<std::vector<DirEntry>>;

  // Lists ahead on `workers` threads when that is more than one.
  FolderListingsAhead(FileSystem& fs, unsigned workers);
  // Waits for the listings running, drops those not started.
  ~FolderListingsAhead();
  FolderListingsAhead(const FolderListingsAhead&) = delete;
  FolderListingsAhead& operator=(const FolderListingsAhead&) = delete;

  // `folders` (each ending with its separator) are the ones the walk enters
  // next, in that order, before any folder it announced earlier.
  void Announce(std::vector<std::string> folders);
  // The listing of `folder` (ending with its separator): the one made ahead,
  // waited for while `pump` runs now and then, or one made now; `why`
  // (when given) says why there is none.
  Listing Take(const std::string& folder, const std::function<void()>& pump,
               FsStatus* why = nullptr);
  // The walk will not enter `folder` after all.
  void Forget(const std::string& folder);

 private:
  struct Pending {
    std::string folder;
    std::shared_ptr<Listing> listing;
    std::shared_ptr<FsStatus> why;
    std::future<void> done;
  };

  // Hands out the next announced folders while fewer than the bound are
  // listed ahead.
  void TopUp();

  FileSystem& fs_;
  std::deque<std::string> announced_;  // not handed out yet, in walk order
  std::deque<Pending> ahead_;          // handed out, oldest first
  size_t bound_ = 0;
  // Declared last so that it goes first: its threads end before what they use.
  std::unique_ptr<WorkerPool> pool_;
};

}  // namespace varnoket
