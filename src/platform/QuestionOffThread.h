// A question about a disk asked on a thread of its own and waited for a
// moment only: a share that no longer answers must not hold the window's
// thread that asks. While a question waits for its answer, the same one is
// not asked again; its late answer is given to the next asker.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace varnoket {

template <typename T>
class QuestionOffThread {
 public:
  // The answer of `ask` about `subject` if it comes within `wait`. `ask`
  // must own what it reads (copies, or what lives as long as the program):
  // a thread waiting on a share that never answers again ends with the
  // program.
  std::optional<T> Ask(const std::string& subject, std::function<T()> ask,
                       std::chrono::milliseconds wait) {
    std::shared_ptr<Pending> pending = pending_;
    if (pending != nullptr) {
      std::lock_guard<std::mutex> lock(pending->mutex);
      if (!pending->answer) return std::nullopt;  // still silent
      pending_.reset();
      if (pending->subject == subject) return pending->answer;
    }
    pending = std::make_shared<Pending>();
    pending->subject = subject;
    pending_ = pending;
    std::thread([pending, ask = std::move(ask)] {
      T answer = ask();
      std::lock_guard<std::mutex> lock(pending->mutex);
      pending->answer = std::move(answer);
      pending->answered.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(pending->mutex);
    if (!pending->answered.wait_for(lock, wait, [&] { return pending->answer.has_value(); })) {
      return std::nullopt;
    }
    pending_.reset();
    return pending->answer;
  }

  // A question that did not answer in time still waits.
  bool Waiting() const {
    std::shared_ptr<Pending> pending = pending_;
    if (pending == nullptr) return false;
    std::lock_guard<std::mutex> lock(pending->mutex);
    return !pending->answer.has_value();
  }

 private:
  struct Pending {
    std::string subject;
    std::mutex mutex;
    std::condition_variable answered;
    std::optional<T> answer;
  };
  std::shared_ptr<Pending> pending_;
};

}  // namespace varnoket
