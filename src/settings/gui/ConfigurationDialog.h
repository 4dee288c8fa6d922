// The configuration dialog: where the owning station chooses the backup root,
// the number of backup days kept and the time of the daily backup. It loads
// the program settings file when created and holds those values for the
// whole program.
#pragma once

#include <QDialog>
#include <string>

#include "platform/Dialogs.h"
#include "platform/DriveInfo.h"
#include "platform/FileSystem.h"
#include "platform/FolderPicker.h"
#include "platform/QuestionOffThread.h"
#include "settings/NumberField.h"
#include "settings/ProgramSettings.h"
#include "settings/StationSettings.h"

class QLabel;
class QLineEdit;
class QCheckBox;
class QPushButton;
class QShowEvent;

namespace varnoket {

// The window title is ProductTitle(kConfigTopic).
inline constexpr const char* kConfigTopic =
    QT_TRANSLATE_NOOP("varnoket::ConfigurationDialog", "Configuration");
inline constexpr const char* kConfigHint =
    QT_TRANSLATE_NOOP("varnoket::ConfigurationDialog", "Ecran de configuration");
inline constexpr const char* kChooseFolderTitle =
    QT_TRANSLATE_NOOP("varnoket::ConfigurationDialog", "Choisissez un répertoire");

// What the configuration dialog reads and calls on the main window.
class ConfigOwner {
 public:
  virtual ~ConfigOwner() = default;
  virtual std::string StationName() const = 0;
  virtual StationSettings& Station() = 0;  // EnsureStationSettings works on it
  // End of a successful validation: the main window enables BitBtnSaveNow
  // exactly when BackupDirectories is not empty.
  virtual void ConfigurationSaved() = 0;
};

class ConfigurationDialog : public QDialog {
  Q_OBJECT
 public:
  // Loads (creating when missing) VARNOKET.INI in programFolder; a file that
  // cannot be created is reported with dialogs.Error(<reason>) and the dialog
  // goes on without a file.
  ConfigurationDialog(FileSystem& fs, Dialogs& dialogs, FolderPicker& picker, DriveInfo& drives,
                      std::string programFolder, QWidget* parent = nullptr);
  void SetOwner(ConfigOwner* owner);
  // backupRoot, preferredHour, preferredMinute, daysKept, IsOpen()
  const ProgramSettings& Settings() const;
  // For the choice of the disk the program works on (UseStore).
  ProgramSettings& Settings() { return settings_; }

  // Chooses a new backup root (checked; nothing saved yet).
  void ChooseBackupRoot();
  // Checks the fields, tests the root, saves and closes; nothing is written
  // when a check fails.
  void SaveConfiguration();
  // BitBtnFermer: closes without saving.
  void CloseWindow();

 protected:
  // Fills the fields from memory, forgetting whatever was typed and not saved.
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  // The controls in their rows, and their signals.
  void LayOutControls();
  QLineEdit* FieldOf(NumberFieldId field) const;
  // Checks the three numbers as typed: every wrong field is marked, the first
  // is focused with its text selected and its message shown. True when all
  // can be saved.
  bool CheckNumberFields();
  // The store folder still exists and lies outside the backup set; says why
  // not otherwise.
  bool CheckStoreFolder(const std::string& root, const std::string& station);

  FileSystem& fs_;
  Dialogs& dialogs_;
  FolderPicker& picker_;
  DriveInfo& drives_;
  ConfigOwner* owner_ = nullptr;
  ProgramSettings settings_;
  // Whether the chosen folder answers, asked before it is checked.
  QuestionOffThread<bool> rootQuestion_;

  QLabel* rootLabel_ = nullptr;
  QPushButton* chooseRootButton_ = nullptr;
  QLineEdit* rootEdit_ = nullptr;
  QLabel* note_ = nullptr;
  QCheckBox* networkStoreBox_ = nullptr;
  QLabel* daysKeptLabel_ = nullptr;
  QLineEdit* daysKeptEdit_ = nullptr;
  QLabel* hourLabel_ = nullptr;
  QLineEdit* hourEdit_ = nullptr;
  QLabel* minuteLabel_ = nullptr;
  QLineEdit* minuteEdit_ = nullptr;
  QPushButton* saveButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
};

}  // namespace varnoket
