#include "app/gui/GuiUpdateHost.h"

#include <QCoreApplication>
#include <QTimer>

#include "desktop/gui/TrayIcon.h"
#include "ui/gui/ErrorWindow.h"
#include "update/gui/HttpDownload.h"

namespace varnoket {

GuiUpdateHost::GuiUpdateHost(GuiUpdateHostParts parts) : parts_(std::move(parts)) {
  versionDownload_ = std::make_unique<HttpDownload>();
  releaseDownload_ = std::make_unique<HttpDownload>();
  releaseDownload_->BinaryData = true;
  for (HttpDownload* get : {versionDownload_.get(), releaseDownload_.get()}) {
    get->AcceptTypes = "*/*";
    get->Agent = "Quendralith FileDownload";
    get->UseCache = false;
    get->WaitThread = true;
    get->OnError = [this](HttpDownload*) { downloadOk_ = false; };
  }
}

GuiUpdateHost::~GuiUpdateHost() = default;

bool GuiUpdateHost::IsOnline() {
  return parts_.isOnline && parts_.isOnline();
}

bool GuiUpdateHost::Fetch(const std::string& url, const std::string& fileName, bool binary) {
  HttpDownload& get = binary ? *releaseDownload_ : *versionDownload_;
  downloadOk_ = true;
  get.URL = url;
  get.FileName = fileName;
  get.Fetch();
  return downloadOk_;
}

void GuiUpdateHost::ProcessMessages() {
  QCoreApplication::processEvents();
}

bool GuiUpdateHost::StartProgram(const std::string& program, bool minimised) {
  return parts_.startProgram && parts_.startProgram(program, minimised);
}

void GuiUpdateHost::EndProcess() {
  if (parts_.endProgram) parts_.endProgram();
}

void GuiUpdateHost::ShowError(const std::string& text) {
  ErrorWindow* window = parts_.errorWindow ? parts_.errorWindow() : nullptr;
  if (window != nullptr) window->ShowError(text);
}

void GuiUpdateHost::SetTrayImage(int index) {
  if (parts_.tray != nullptr) parts_.tray->SetImageIndex(index);
}

void GuiUpdateHost::StartTimer() {
  if (parts_.timer != nullptr) parts_.timer->start();
}

}  // namespace varnoket
