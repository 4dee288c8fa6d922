// The stored copies of the days before a run, found while the run walks its
// sources.
//
// Both walks list folders and read entries' sizes, one of the store, one of
// the sources, and neither needs the other: on a machine of several cores
// the store's walk takes a core the source walk leaves idle, so that a run
// in which nothing changed is not the sum of two walks. With one worker
// (the person asked for one core) it is made on the caller's thread when
// asked for, as before.
#pragma once

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <string>

#include "engine/StoreLayout.h"
#include "engine/StoredCopies.h"
#include "platform/FileSystem.h"
#include "platform/WorkerPool.h"

namespace varnoket {

class StoredCopiesAhead {
 public:
  // Starts the walk of the days up to `lastDay` (a day folder's name; none
  // when empty) on a thread of its own when `ahead`.
  StoredCopiesAhead(FileSystem& fs, StoreLayout layout, std::string lastDay, bool ahead);
  // A walk still running is stopped at its next folder and waited for.
  ~StoredCopiesAhead();
  StoredCopiesAhead(const StoredCopiesAhead&) = delete;
  StoredCopiesAhead& operator=(const StoredCopiesAhead&) = delete;

  // The copies of the days up to `lastDay`: those the walk found if it went
  // up to that day, else found now. `pump` runs while the caller waits.
  StoredCopies Take(const std::string& lastDay, const std::function<void()>& pump);

 private:
  struct Abandoned {};

  FileSystem& fs_;
  const StoreLayout layout_;
  const std::string lastDay_;
  std::atomic<bool> abandoned_{false};
  StoredCopies found_;
  std::future<void> done_;
  // Declared last so that it goes first: its thread ends before what it uses.
  std::unique_ptr<WorkerPool> pool_;
};

}  // namespace varnoket
