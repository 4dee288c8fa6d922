// The window program's side of the update check: the two download
// components (the version file, then the release files), the tray picture,
// the error window and the scheduler's timer.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "update/UpdateHost.h"

class QTimer;

namespace varnoket {

class ErrorWindow;
class HttpDownload;
class TrayIcon;

struct GuiUpdateHostParts {
  TrayIcon* tray = nullptr;
  QTimer* timer = nullptr;
  // The error window once the program has made it (nullptr before).
  std::function<ErrorWindow*()> errorWindow;
  // Removes the tray icon and ends the program.
  std::function<void()> endProgram;
  // The on-line probe; none: never on line.
  std::function<bool()> isOnline;
  std::function<bool(const std::string& program, bool minimised)> startProgram;
};

class GuiUpdateHost final : public UpdateHost {
 public:
  explicit GuiUpdateHost(GuiUpdateHostParts parts);
  ~GuiUpdateHost() override;

  bool IsOnline() override;
  bool Fetch(const std::string& url, const std::string& fileName, bool binary) override;
  void ProcessMessages() override;
  bool StartProgram(const std::string& program, bool minimised) override;
  void EndProcess() override;
  void ShowError(const std::string& text) override;
  void SetTrayImage(int index) override;
  void StartTimer() override;

 private:
  GuiUpdateHostParts parts_;
  std::unique_ptr<HttpDownload> versionDownload_;
  std::unique_ptr<HttpDownload> releaseDownload_;
  bool downloadOk_ = true;
};

}  // namespace varnoket
