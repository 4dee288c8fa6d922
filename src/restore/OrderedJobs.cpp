#include "restore/OrderedJobs.h"

#include <utility>

namespace varnoket {

namespace {

bool IsReady(const std::future<void>& done) {
  return !done.valid() || done.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

}  // namespace

OrderedJobs::OrderedJobs(unsigned workers, RestoreHost& host)
    : host_(host), limit_(2 * static_cast<size_t>(WorkerCount(workers))), pool_(workers) {}

OrderedJobs::~OrderedJobs() = default;

void OrderedJobs::Add(std::function<void()> work, std::function<void()> finish) {
  FinishReady();
  while (items_.size() >= limit_) FinishOldest();
  items_.push_back(Item{pool_.Submit(std::move(work)), std::move(finish)});
  host_.ProcessMessages();
}

void OrderedJobs::AddDone(std::function<void()> finish) {
  items_.push_back(Item{std::future<void>(), std::move(finish)});
  FinishReady();
}

void OrderedJobs::Drain() {
  while (!items_.empty()) FinishOldest();
}

void OrderedJobs::FinishReady() {
  while (!items_.empty() && IsReady(items_.front().done)) FinishFront();
}

void OrderedJobs::FinishOldest() {
  std::future<void>& done = items_.front().done;
  while (done.valid() && done.wait_for(kPumpInterval) != std::future_status::ready) {
    host_.ProcessMessages();
  }
  FinishFront();
}

void OrderedJobs::FinishFront() {
  Item item = std::move(items_.front());
  items_.pop_front();
  if (item.done.valid()) item.done.get();  // the work's exception, if it threw one
  if (item.finish) item.finish();
}

}  // namespace varnoket
