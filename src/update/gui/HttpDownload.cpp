#include "update/gui/HttpDownload.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <atomic>
#include <system_error>

namespace varnoket {

// What one transfer shares between the component (GUI thread) and its worker.
// The worker reads only `request` and `stop`.
struct HttpDownload::Transfer {
  HttpRequest request;
  std::atomic<bool> stop{false};

  void RequestStop() { stop = true; }
};

HttpDownload::HttpDownload(QObject* parent) : QObject(parent) {}

HttpDownload::~HttpDownload() {
  Cancel();
  // The worker stops within its poll interval. Whatever it posts meanwhile
  // is addressed to this object and dropped with it.
  JoinWorker();
}

void HttpDownload::JoinWorker() {
  if (worker_.joinable()) worker_.join();
}

void HttpDownload::Fetch() {
  if (running_) return;
  JoinWorker();

  auto transfer = std::make_shared<Transfer>();
  HttpRequest& request = transfer->request;
  request.acceptTypes = AcceptTypes;
  request.agent = Agent;
  request.url = URL;
  request.fileName = FileName;
  request.binaryData = BinaryData;
  request.useCache = UseCache;

  running_ = transfer;
  try {
    worker_ = std::thread([this, transfer] {
      const HttpOutcome outcome = RunHttpTransfer(transfer->request, transfer->stop);
      QMetaObject::invokeMethod(
          this, [this, transfer, outcome] { EndOfTransfer(transfer, outcome); },
          Qt::QueuedConnection);
    });
  } catch (const std::system_error&) {
    // No thread, no transfer: it ends at once, with failure.
    running_.reset();
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
  QPointer<HttpDownload> self(this);
  while (self && self->running_ == transfer)
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void HttpDownload::Cancel() {
  if (running_) running_->RequestStop();
}

void HttpDownload::EndOfTransfer(const std::shared_ptr<Transfer>& transfer,
                                 const HttpOutcome& outcome) {
  if (running_ != transfer) return;
  JoinWorker();  // it posted this step as its last act
  succeeded_ = outcome.succeeded && !transfer->stop.load();

  QPointer<HttpDownload> self(this);
  if (!succeeded_ && OnError) {
    const auto handler = OnError;
    handler(this);
  }
  if (!self) return;
  if (running_ == transfer) running_.reset();
}

}  // namespace varnoket
