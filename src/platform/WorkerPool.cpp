#include "platform/WorkerPool.h"

namespace varnoket {

unsigned WorkerCount(unsigned requested) {
  unsigned cores = std::thread::hardware_concurrency();
  if (cores == 0) cores = 1;
  if (requested == 0 || requested > cores) return cores;
  return requested;
}

WorkerPool::WorkerPool(unsigned workers) {
  const unsigned count = WorkerCount(workers);
  threads_.reserve(count);
  for (unsigned i = 0; i < count; ++i) threads_.emplace_back([this] { Work(); });
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    closing_ = true;
    jobs_.clear();
  }
  wake_.notify_all();
  for (auto& t : threads_) t.join();
}

std::future<void> WorkerPool::Submit(std::function<void()> job) {
  std::packaged_task<void()> task(std::move(job));
  auto done = task.get_future();
  {
    std::lock_guard<std::mutex> hold(mutex_);
    jobs_.push_back(std::move(task));
  }
  wake_.notify_one();
  return done;
}

void WorkerPool::Work() {
  while (true) {
    std::packaged_task<void()> task;
    {
      std::unique_lock<std::mutex> hold(mutex_);
      wake_.wait(hold, [this] { return closing_ || !jobs_.empty(); });
      if (closing_) return;
      task = std::move(jobs_.front());
      jobs_.pop_front();
    }
    task();  // an exception is kept in the task's future
  }
}

}  // namespace varnoket
