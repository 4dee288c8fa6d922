// The restore window: the user picks one backup day of this workstation,
// browses the directory tree the backup set had that day, ticks directories
// and files, and brings them back to their recorded places with a report
// window to follow the run and stop it.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/StoreLayout.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "restore/RestoreHost.h"
#include "restore/StateTree.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace varnoket {

class RestoreReportWindow;
class TriStateTreeView;

// The window title is ProductTitle(kRestoreTopic).
inline constexpr const char* kRestoreTopic = "Restauration";
inline constexpr const char* kWaitNotice = "Veuillez patienter ...";
inline constexpr const char* kChangeDayQuestion =
    "ATTENTION vous aller perdre vos selections si vous en avez effectué ! Confirmez vous ?";
inline constexpr const char* kRestoreQuestion =
    "ATTENTION : vous allez effectuer une restauration.\r\nTous les fichiers et répertoires "
    "choisis déjà présents sur votre poste seront remplacés !\r\nConfirmez vous ?";
inline constexpr const char* kNoStationText = "NomPCReseau non défini dans restauration !";
inline constexpr const char* kNoDayText =
    "Aucune sauvegarde n'a encore été effectuée pour ce poste ! Il n'y a rien a restaurer.";
inline constexpr const char* kStartText = "Début de la restauration ...";

// "Le répertoire de sauvegarde de ce poste (<folder>) n'existe pas ..."
std::string MissingStationFolderText(const std::string& stationFolder);
// "Impossible de lire le fichier (<path>)"
std::string UnreadableFileListText(const std::string& path);

// What the restore window works with, injected by the main window (and by
// tests, over temporary stores and scripted boxes).
struct RestoreWindowEnv {
  RestoreWindowEnv(FileSystem& fileSystem, Dialogs& boxes) : fs(fileSystem), dialogs(boxes) {}
  FileSystem& fs;
  Dialogs& dialogs;
  std::function<std::string()> backupRoot;  // the configuration's root
  std::function<std::string()> stationName;
  std::function<unsigned()> workers;            // threads that decode; empty or 0: one per core
  std::function<void()> stopTimer, startTimer;  // the scheduler's timer
  // Runs pending events during a load and between blocks of a restore;
  // empty: the application's event loop does.
  std::function<void()> pump;
  PathRules rules;  // how the store's paths are written
};

// The window hosts its own restore runs: the report window takes the lines,
// the application's events run between blocks, and the report window's stop
// button ends the run.
class RestoreWindow : public QDialog, private RestoreHost {
  Q_OBJECT

 public:
  // Builds the controls, centred on the screen, no run in progress.
  RestoreWindow(RestoreWindowEnv env, RestoreReportWindow& report, QWidget* parent = nullptr);
  ~RestoreWindow() override;

  // The opening checks and the day list; runs at each opening.
  void LoadDays();
  void SelectDay(int index);
  void ShowFolderFiles();
  void ToggleFile(int row);
  void TickAll();
  // The run: confirmation, every ticked item, the summary.
  void StartRestore();
  void CloseWindow();

  int RestoredCount() const { return restoredCount_; }
  int64_t RestoredBytes() const { return restoredBytes_; }
  bool RestoreRunning() const { return restoreRunning_; }
  int PreviousDayIndex() const { return previousDayIndex_; }
  // The backup days offered, folder names, oldest first.
  const std::vector<std::string>& DayFolders() const { return dayFolders_; }
  TriStateTreeView& TreeView() { return *folderTree_; }

 protected:
  void showEvent(QShowEvent* event) override;
  // Every way of closing comes here (the button, the title bar, Escape).
  void reject() override;

 private:
  void BuildControls();
  void PostCloseRequest();
  void Pump();
  // RestoreHost
  void Report(const std::string& line) override;
  void ProcessMessages() override;
  bool StopRequested() const override;
  bool Busy() const { return loading_ || running_; }
  void LoadDay(int index);
  void ClearFileList();
  void ClearTree();
  void SetDayControlsEnabled(bool enabled);
  // Applies what the user asked for while a load or a run lasted.
  void ApplyDeferred();
  int32_t DirectoryStateFromList(StateTree::NodeId node) const;

  RestoreWindowEnv env_;
  RestoreReportWindow& report_;
  std::optional<StoreLayout> layout_;
  std::vector<std::string> dayFolders_;

  int previousDayIndex_ = -1;
  bool restoreRunning_ = false;
  int32_t restoredCount_ = 0;
  int64_t restoredBytes_ = 0;

  // A day's load and a run pump events; a change of day or a close asked
  // for meanwhile waits for them, so the tree is never pulled from under
  // the work in progress.
  bool loading_ = false;
  bool running_ = false;
  std::optional<int> pendingDayIndex_;
  bool closePending_ = false;
  bool showQueued_ = false;
  bool centred_ = false;

  StateTree::NodeId listNode_ = StateTree::kNoNode;  // the node whose files are listed

  QLabel* dayLabel_ = nullptr;
  QComboBox* dayCombo_ = nullptr;
  QCheckBox* tickAllBox_ = nullptr;
  QLabel* treeLabel_ = nullptr;
  TriStateTreeView* folderTree_ = nullptr;
  QLabel* filesLabel_ = nullptr;
  QListWidget* fileList_ = nullptr;
  QPushButton* restoreButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
};

}  // namespace varnoket
