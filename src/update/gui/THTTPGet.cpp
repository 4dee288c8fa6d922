#include "update/gui/THTTPGet.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>

namespace varnoket {

// What one transfer shares between the component (GUI thread) and its worker.
// The worker reads only `request`, `stop` and the progress hand-shake.
struct THTTPGet::Transfer {
  HttpRequest request;
  std::function<void(QObject*, int64_t, int64_t)> onProgress;
  std::atomic<bool> stop{false};
  // The worker waits for each progress step to have run on the GUI thread,
  // or for a stop request, whichever comes first.
  std::mutex mutex;
  std::condition_variable progressDone;
  bool progressPending = false;
  // The sender of OnProgress; a child of the component, touched only on the GUI thread.
  QPointer<QObject> workerObject;

  void RequestStop() {
    {
      std::lock_guard lock(mutex);
      stop = true;
    }
    progressDone.notify_all();
  }
};

THTTPGet::THTTPGet(QObject* parent) : QObject(parent) {}

THTTPGet::~THTTPGet() {
  Cancel();
  // The worker stops within its poll interval. Whatever it posts meanwhile
  // is addressed to this object and dropped with it.
  JoinWorker();
}

void THTTPGet::JoinWorker() {
  if (worker_.joinable()) worker_.join();
}

void THTTPGet::Fetch() {
  if (running_) return;
  JoinWorker();

  auto transfer = std::make_shared<Transfer>();
  HttpRequest& request = transfer->request;
  request.acceptTypes = AcceptTypes;
  request.agent = Agent;
  request.url = URL;
  request.fileName = FileName;
  request.userName = UserName;
  request.password = Password;
  request.postQuery = PostQuery;
  request.referer = Referer;
  request.binaryData = BinaryData;
  request.useCache = UseCache;
  request.connectTimeoutSeconds = ConnectTimeoutSeconds;
  request.stallTimeoutSeconds = StallTimeoutSeconds;
  transfer->onProgress = OnProgress;
  auto* workerObject = new QObject(this);
  workerObject->setObjectName(QStringLiteral("THTTPGetThread"));
  transfer->workerObject = workerObject;

  running_ = transfer;
  try {
    worker_ = std::thread([this, transfer] {
      std::function<void(int64_t, int64_t)> progress;
      if (transfer->onProgress) {
        progress = [this, transfer](int64_t total, int64_t readed) {
          {
            std::lock_guard lock(transfer->mutex);
            transfer->progressPending = true;
          }
          QMetaObject::invokeMethod(
              this, [this, transfer, total, readed] { ProgressStep(transfer, total, readed); },
              Qt::QueuedConnection);
          std::unique_lock lock(transfer->mutex);
          transfer->progressDone.wait(
              lock, [&] { return !transfer->progressPending || transfer->stop.load(); });
        };
      }
      const HttpOutcome outcome = RunHttpTransfer(transfer->request, transfer->stop, progress);
      QMetaObject::invokeMethod(
          this, [this, transfer, outcome] { EndOfTransfer(transfer, outcome); },
          Qt::QueuedConnection);
    });
  } catch (const std::system_error&) {
    // No thread, no transfer: it ends at once, with failure.
    running_.reset();
    workerObject->deleteLater();
    succeeded_ = false;
    if (OnError) {
      const auto handler = OnError;
      handler(this);
    }
    return;
  }

  if (!WaitThread) return;
  // The end-of-transfer step arrives as a posted event, so waiting for the
  // next event (rather than spinning) is enough to see it.
  QPointer<THTTPGet> self(this);
  while (self && self->running_ == transfer)
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void THTTPGet::Cancel() {
  if (running_) running_->RequestStop();
}

void THTTPGet::ProgressStep(const std::shared_ptr<Transfer>& transfer, int64_t total,
                            int64_t readed) {
  // The handler may destroy the component; only `transfer` is used after it.
  if (!transfer->stop.load() && transfer->onProgress)
    transfer->onProgress(transfer->workerObject.data(), total, readed);
  {
    std::lock_guard lock(transfer->mutex);
    transfer->progressPending = false;
  }
  transfer->progressDone.notify_all();
}

void THTTPGet::EndOfTransfer(const std::shared_ptr<Transfer>& transfer,
                             const HttpOutcome& outcome) {
  if (running_ != transfer) return;
  JoinWorker();  // it posted this step as its last act
  succeeded_ = outcome.succeeded && !transfer->stop.load();

  QPointer<THTTPGet> self(this);
  if (succeeded_) {
    if (OnDoneFile) {
      const auto handler = OnDoneFile;
      handler(this, transfer->request.fileName, outcome.contentLength);
    }
  } else if (OnError) {
    const auto handler = OnError;
    handler(this);
  }
  if (!self) return;
  if (running_ == transfer) running_.reset();
  if (transfer->workerObject) transfer->workerObject->deleteLater();
}

}  // namespace varnoket
