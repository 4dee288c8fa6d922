#include "platform/gui/WindowThread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <QThread>
#include <atomic>
#include <exception>
#include <thread>

namespace varnoket {

bool OnWindowThreadNow() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app == nullptr || QThread::currentThread() == app->thread();
}

void OnWindowThread(const std::function<void()>& call) {
  if (OnWindowThreadNow()) {
    call();
    return;
  }
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [&call] { call(); }, Qt::BlockingQueuedConnection);
}

void OffWindowThread::RunAndWait(const std::function<void()>& work) {
  if (!OnWindowThreadNow()) {
    work();
    return;
  }
  std::atomic<bool> done{false};
  std::exception_ptr failure;
  // Lives on the window's thread: the call posted to it at the end wakes
  // the wait below (and is dropped with it if never delivered).
  QObject waker;
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    done.store(true);
    QMetaObject::invokeMethod(
        &waker, [] {}, Qt::QueuedConnection);
  });
  // Not a nested event loop: a request to end the program (which leaves
  // every loop at once) must still wait here for the run to stop at its
  // next file, as the run's own stop check asks.
  while (!done.load()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  worker.join();
  if (failure) std::rethrow_exception(failure);
}

DialogAnswer WindowThreadDialogs::Error(const std::string& text, DialogButtons buttons) {
  DialogAnswer answer = RefusalOf(buttons);
  OnWindowThread([&] { answer = shown_.Error(text, buttons); });
  return answer;
}

DialogAnswer WindowThreadDialogs::Warning(const std::string& text, DialogButtons buttons) {
  DialogAnswer answer = RefusalOf(buttons);
  OnWindowThread([&] { answer = shown_.Warning(text, buttons); });
  return answer;
}

void WindowThreadDialogs::Information(const std::string& text) {
  OnWindowThread([&] { shown_.Information(text); });
}

void WindowThreadDialogs::Message(const std::string& text) {
  OnWindowThread([&] { shown_.Message(text); });
}

}  // namespace varnoket
