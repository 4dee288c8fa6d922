// Where the restore window's work is done. Its reads of the store and its
// restores run on the thread the program gives them (or in place, pumping
// the window's events, when it gives none): the window's thread only draws
// and takes clicks, so a disk or a share that stops answering leaves the
// window, its stop button and the rest of the program answering.
#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <QTimer>

#include "restore/gui/RestoreReportWindow.h"
#include "restore/gui/RestoreWindow.h"

namespace varnoket {

void RestoreWindow::Pump() {
  // A run on its own thread has nothing to pump: the window's thread runs
  // its events meanwhile.
  if (QThread::currentThread() != thread()) return;
  if (env_.pump) {
    env_.pump();
  } else {
    QCoreApplication::processEvents();
  }
}

void RestoreWindow::DoWork(const std::function<void()>& work) {
  if (env_.runThread == nullptr) {
    work();
    return;
  }
  env_.runThread->RunAndWait(work);
  // The report lines posted by the work's last steps, before what follows
  // (the summary) is said.
  QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

bool RestoreWindow::ReadStore(const std::function<void()>& read) {
  loading_ = true;
  try {
    DoWork(read);
  } catch (...) {
    loading_ = false;
    throw;
  }
  loading_ = false;
  if (closePending_) {
    ApplyDeferred();
    return false;
  }
  // A day chosen meanwhile is loaded once the caller has shown what it read.
  if (pendingDayIndex_) {
    QTimer::singleShot(0, this, [this] {
      if (!Busy()) ApplyDeferred();
    });
  }
  return true;
}

void RestoreWindow::Report(const std::string& line) {
  if (QThread::currentThread() == thread()) {
    report_.Write(line);
    return;
  }
  // Posted, not waited for: the lines arrive in their order, and the run
  // never waits on the window.
  QMetaObject::invokeMethod(
      this, [this, line] { report_.Write(line); }, Qt::QueuedConnection);
}

void RestoreWindow::ProcessMessages() {
  Pump();
}

bool RestoreWindow::StopRequested() const {
  return !restoreRunning_.load();
}

}  // namespace varnoket
