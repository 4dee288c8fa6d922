// The HTTP download component: fetches one address into a local file on a
// worker thread and reports the end of the transfer through its events on
// the GUI thread. With WaitThread set, Fetch returns only once the transfer
// has ended and its events have run, while the caller's events keep running.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "update/HttpTransfer.h"

namespace varnoket {

class HttpDownload : public QObject {
  Q_OBJECT

 public:
  explicit HttpDownload(QObject* parent = nullptr);
  // Cancels a running transfer and waits for its worker to leave (at most a
  // fraction of a second); its events never reach a destroyed component.
  ~HttpDownload() override;

  // Read when Fetch starts; changes during a transfer do not affect it.
  std::string AcceptTypes = "*/*";
  std::string Agent = "Quendralith FileDownload";
  bool BinaryData = false;
  std::string URL;
  bool UseCache = false;
  std::string FileName;
  bool WaitThread = false;

  // A transfer ended with failure.
  std::function<void(HttpDownload* sender)> OnError;

  // Starts a transfer with the current properties; does nothing while one runs.
  void Fetch();
  // Asks the running transfer to stop; it then ends with failure.
  void Cancel();
  bool Running() const { return running_ != nullptr; }
  // The result of the last finished transfer.
  bool Succeeded() const { return succeeded_; }

 private:
  struct Transfer;

  void EndOfTransfer(const std::shared_ptr<Transfer>& transfer, const HttpOutcome& outcome);
  void JoinWorker();

  std::shared_ptr<Transfer> running_;
  std::thread worker_;
  bool succeeded_ = false;
};

}  // namespace varnoket
