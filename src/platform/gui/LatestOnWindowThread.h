// A value another thread gives often (a hint, a figure) and the window's
// thread shows: posted, never waited for, and a value still waiting is
// replaced by a newer one, so that a fast giver cannot flood the window's
// events nor wait on a window that is busy. A post keeps its order with the
// other calls queued to the same target.
#pragma once

#include <QMetaObject>
#include <QObject>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/gui/WindowThread.h"

namespace varnoket {

template <typename T>
class LatestOnWindowThread {
 public:
  // `show` runs on the window's thread with each value taken. The posts go
  // to `target`: once it is gone, a value still waiting is dropped with it.
  LatestOnWindowThread(QObject& target, std::function<void(T&)> show)
      : target_(target), show_(std::move(show)) {}
  LatestOnWindowThread(const LatestOnWindowThread&) = delete;
  LatestOnWindowThread& operator=(const LatestOnWindowThread&) = delete;

  // From any thread; shown at once on the window's thread.
  void Post(T value) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      const bool posted = waiting_.has_value();
      waiting_ = std::move(value);
      if (posted) return;
    }
    if (OnWindowThreadNow()) {
      ShowWaiting();
    } else {
      QMetaObject::invokeMethod(
          &target_, [this] { ShowWaiting(); }, Qt::QueuedConnection);
    }
  }

  // On the window's thread: shows the value still waiting, if any.
  void ShowWaiting() {
    std::optional<T> value;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      value.swap(waiting_);
    }
    if (value) show_(*value);
  }

 private:
  QObject& target_;
  const std::function<void(T&)> show_;
  std::mutex mutex_;
  std::optional<T> waiting_;
};

}  // namespace varnoket
