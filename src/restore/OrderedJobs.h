// Runs the items of a walk (a restore, a check of the store) on a WorkerPool
// while everything the host sees stays on the caller's thread and in the
// walk's order: an item's work runs on a worker and touches only the file
// system and its own data; its finish step (report lines, counts) runs on the
// caller's thread once the item and every item added before it are done. The
// message pump runs after each item handed out and while waiting, and a
// bounded number of items is in flight, so memory stays flat on a large day.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "platform/WorkerPool.h"
#include "restore/RestoreHost.h"

namespace varnoket {

// A host for the work of one item: keeps its report lines for the finish
// step, has no pump and never asks to stop.
class HeldReport final : public RestoreHost {
 public:
  void Report(const std::string& line) override { lines.push_back(line); }

  std::vector<std::string> lines;
};

class OrderedJobs {
 public:
  // How long a wait for the oldest item lasts before the pump runs again.
  static constexpr std::chrono::milliseconds kPumpInterval{20};

  // `workers` threads (0: one per core); at most twice as many items in
  // flight. `host` is called from the caller's thread only.
  OrderedJobs(unsigned workers, RestoreHost& host);
  // Waits for the work under way; finish steps not yet run are dropped.
  ~OrderedJobs();
  OrderedJobs(const OrderedJobs&) = delete;
  OrderedJobs& operator=(const OrderedJobs&) = delete;

  // Hands `work` to a worker, once fewer items than the bound are in flight
  // (finishing the oldest ones meanwhile), then runs the pump once. An
  // exception thrown by `work` comes out of the call that finishes it.
  void Add(std::function<void()> work, std::function<void()> finish);
  // An item whose work was done on the caller's thread: `finish` runs in its
  // turn, after the items added before it.
  void AddDone(std::function<void()> finish);
  // Finishes every item, pumping while waiting.
  void Drain();

  size_t Limit() const { return limit_; }

 private:
  struct Item {
    std::future<void> done;  // not valid for an item added done
    std::function<void()> finish;
  };

  // Finishes the items at the head that are done, without waiting.
  void FinishReady();
  // Waits for the oldest item, pumping between short waits, and finishes it.
  void FinishOldest();
  void FinishFront();

  RestoreHost& host_;
  std::deque<Item> items_;
  size_t limit_;
  // Declared last so that it goes first: its threads end before the items.
  WorkerPool pool_;
};

}  // namespace varnoket
