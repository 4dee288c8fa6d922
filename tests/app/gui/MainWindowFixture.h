// The main window with its configuration, help, error and filter windows,
// over a temporary program folder and store, a hand-written mount table (so
// a folder can be a network share or a RAM disk), scripted message boxes, a
// scripted folder picker and a clock the test moves.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/RecordingNotifier.h"
#include "app/gui/ProgramWindows.h"
#include "desktop/gui/TrayIcon.h"
#include "platform/Clock.h"
#include "platform/DriveInfo.h"
#include "restore/gui/TriStateTreeView.h"
#include "settings/StoreMarker.h"
#include "support/FakeDialogs.h"
#include "support/TempDir.h"
#include "support/gui/FakeFolderPicker.h"

namespace varnoket::test {

class MainWindowFixture : public ::testing::Test {
 protected:
  MainWindowFixture() : base_(std::filesystem::canonical(dir_.path()).string()) {
    table_ = "21 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n";
    programFolder_ = base_ + "/prog";
    std::filesystem::create_directories(programFolder_);
    programPath_ = programFolder_ + "/varnoket";
    root_ = base_ + "/store";
    std::filesystem::create_directories(root_);
    MarkStore(DefaultFileSystem(), root_);
    autostart_ = {base_ + "/xdg/autostart", base_ + "/home/.config/autostart"};
    clock_.Set({2026, 3, 10, 14, 0, 0, 0});
  }

  ~MainWindowFixture() override { Destroy(); }

  // Ends the program's windows (a test may then start them again with
  // Make): the main window first, then the windows it points at.
  void Destroy() {
    windows_.reset();
    form_ = nullptr;
    config_ = nullptr;
    help_ = nullptr;
    restoreReport_ = nullptr;
    restore_ = nullptr;
    viewLog_ = nullptr;
    error_ = nullptr;
    addExclusion_ = nullptr;
  }

  // Mounts a file system of `fsType` on base/name in the mount table.
  std::string Mount(const std::string& fsType, const std::string& name) {
    const std::string point = base_ + "/" + name;
    std::filesystem::create_directories(point);
    table_ += "40 21 0:50 / " + point + " rw - " + fsType + " none rw\n";
    return point;
  }

  void WriteProgramSettings(const std::string& root, int hour = 13, int minute = 0, int days = 30) {
    WriteFile(programFolder_ + "/VARNOKET.INI",
              "[PARAMS]\r\nRACINE=" + root + "\r\nHEURE=" + std::to_string(hour) + "\r\nMINUTE=" +
                  std::to_string(minute) + "\r\nMAXSAVE=" + std::to_string(days) + "\r\n");
  }

  std::string StationIni() const { return root_ + "/POSTE1/POSTE1.ini"; }

  void WriteStationSettings(const std::vector<std::string>& dirs,
                            const std::string& last = "09/03/2026") {
    std::string text = "[PARAMS]\r\nLASTBACKUP=" + last + "\r\n[DIRECTORIES]\r\n";
    for (size_t i = 0; i < dirs.size(); ++i) {
      text += "D" + std::to_string(i + 1) + "=" + dirs[i] + "\r\n";
    }
    WriteFile(StationIni(), text);
  }

  // A second disk, B, marked at `diskB` and listed after the store at
  // root_; one folder with one file to back up; then the windows.
  bool MakeWithTwoDisks(const std::string& diskB) {
    std::filesystem::create_directories(diskB);
    const std::optional<StoreMarker> marker = MarkStore(DefaultFileSystem(), diskB);
    if (!marker) return false;
    WriteFile(base_ + "/docs/a.txt", "alpha");
    WriteProgramSettings(root_);
    WriteFile(programFolder_ + "/VARNOKET.INI", ReadFile(programFolder_ + "/VARNOKET.INI") +
                                                    "[STOCKAGES]\r\nS2=B|" + marker->id + "|" +
                                                    diskB + "\r\n");
    WriteStationSettings({base_ + "/docs"});
    Make();
    ShowAndSettle();
    return true;
  }

  // Creates the windows in the program's order and wires them.
  void Make() {
    WriteFile(base_ + "/mountinfo", table_);
    drives_ = std::make_unique<DriveInfo>(base_ + "/mountinfo", base_ + "/block");
    MainWindowEnv env(DefaultFileSystem(), boxes_ != nullptr ? *boxes_ : dialogs_, clock_, picker_,
                      *drives_);
    env.programPath = programPath_;
    env.stationName = "POSTE1";
    env.autostart = autostart_;
    env.trayAvailable = trayAvailable_;
    env.exitProgram = [this](int code) { exitCodes_.push_back(code); };
    if (recordNotifications_) env.notifier = &notifications_;
    env.log = [this](const std::string& line) { logLines_.push_back(line); };
    env.power = power_;
    windows_ = std::make_unique<ProgramWindows>(std::move(env), programFolder_);
    form_ = &windows_->Main();
    config_ = &windows_->Config();
    help_ = &windows_->Help();
    restoreReport_ = &windows_->RestoreReport();
    restore_ = &windows_->Restore();
    viewLog_ = &windows_->ViewLog();
    error_ = &windows_->Error();
    addExclusion_ = &windows_->AddExclusion();
  }

  // Shows the main window and lets the start-up checks (and the close they
  // may post) run.
  void ShowAndSettle() {
    form_->show();
    Settle();
  }

  static void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }

  // Runs `action` once `window` is on screen (inside its modal loop when
  // it is shown with exec).
  static void WhenShown(QWidget* window, std::function<void()> action) {
    auto* poll = new QTimer(window);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, window, [poll, window, action = std::move(action)] {
      if (!window->isVisible()) return;
      poll->stop();
      poll->deleteLater();
      action();
    });
    poll->start();
  }

  // Runs `action` once the restore window shows its newest day: it reads
  // the store on a thread of its own, the window's events running
  // meanwhile.
  void WhenRestoreReady(std::function<void()> action) {
    auto* poll = new QTimer(restore_);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, restore_, [this, poll, action = std::move(action)] {
      if (restore_->PreviousDayIndex() < 0 || !restore_->TreeView().isEnabled()) return;
      poll->stop();
      poll->deleteLater();
      action();
    });
    poll->start();
  }

  template <typename T>
  T* Find(const char* name) const {
    return form_->findChild<T*>(name);
  }

  QListWidget* DirectoryList() const { return Find<QListWidget>("VKListBoxRepertoires"); }
  QPushButton* SaveNow() const { return Find<QPushButton>("BitBtnSaveNow"); }

  std::vector<std::string> ListTexts(QListWidget* list) const {
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i) out.push_back(list->item(i)->text().toStdString());
    return out;
  }

  TempDir dir_;
  std::string base_;
  std::string table_;
  std::string programFolder_;
  std::string programPath_;
  std::string root_;
  AutostartFolders autostart_;
  bool trayAvailable_ = true;
  ManualClock clock_;
  FakeDialogs dialogs_;
  Dialogs* boxes_ = nullptr;  // other message boxes than dialogs_, set before Make
  FakeFolderPicker picker_;
  std::unique_ptr<DriveInfo> drives_;
  std::vector<int> exitCodes_;
  // Notifications are recorded unless a test wants the error window's.
  bool recordNotifications_ = true;
  RecordingNotifier notifications_;
  std::vector<std::string> logLines_;
  PowerSource* power_ = nullptr;  // none: mains power
  std::unique_ptr<ProgramWindows> windows_;
  MainWindow* form_ = nullptr;
  ConfigurationDialog* config_ = nullptr;
  HelpWindow* help_ = nullptr;
  RestoreReportWindow* restoreReport_ = nullptr;
  RestoreWindow* restore_ = nullptr;
  LogViewer* viewLog_ = nullptr;
  ErrorWindow* error_ = nullptr;
  ExclusionDialog* addExclusion_ = nullptr;
};

}  // namespace varnoket::test
