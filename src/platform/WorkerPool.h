// A fixed set of threads that run jobs handed to them, for work that keeps
// one core busy per job (compressing, decoding). The caller keeps the
// results' order and bounds what is in flight: Submit never blocks, and each
// job's future says when it is done and carries its exception.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace varnoket {

// The number of workers to use when the user set none (0) or set more than
// the machine has cores: every core, and at least one.
unsigned WorkerCount(unsigned requested);

class WorkerPool {
 public:
  // `workers` threads (0: one per core). The threads inherit the caller's
  // processor and disk priority.
  explicit WorkerPool(unsigned workers);
  // Drops the jobs no worker has started (their futures report a broken
  // promise), waits for the running ones and joins the threads.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  unsigned size() const { return static_cast<unsigned>(threads_.size()); }

  // Queues `job`; the future is ready when it ran, with its exception if it
  // threw one.
  std::future<void> Submit(std::function<void()> job);

 private:
  void Work();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::packaged_task<void()>> jobs_;
  bool closing_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace varnoket
