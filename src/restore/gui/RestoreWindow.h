// The restore window: the user picks one backup day of this workstation,
// browses the directory tree the backup set had that day, ticks directories
// and files, and brings them back to their recorded places or below another
// folder, with a report window to follow the run and stop it. It also finds
// files by name, lists a file's versions and restores one, and shows what
// changed on the chosen day.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QtGlobal>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/StationReadLock.h"
#include "engine/StoreLayout.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/FolderPicker.h"
#include "platform/RunThread.h"
#include "platform/Translation.h"
#include "restore/ExistingFilesQuestion.h"
#include "restore/FileVersions.h"
#include "restore/NameSearch.h"
#include "restore/RestoreHost.h"
#include "restore/RestoreRun.h"
#include "restore/StateTree.h"
#include "restore/gui/ListWindow.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace varnoket {

class RestoreReportWindow;
class TriStateTreeView;

// The window title is ProductTitle(kRestoreTopic).
inline constexpr const char* kRestoreTopic =
    QT_TRANSLATE_NOOP("varnoket::RestoreWindow", "Restauration");
inline constexpr const char* kWaitNotice =
    QT_TRANSLATE_NOOP("varnoket::RestoreWindow", "Veuillez patienter ...");
inline constexpr const char* kChangeDayQuestion = VK_TR_NOOP(
    "Messages",
    "ATTENTION vous allez perdre vos sélections si vous en avez effectué ! Confirmez-vous ?");
inline constexpr const char* kRestoreQuestion = VK_TR_NOOP(
    "Messages",
    "ATTENTION : vous allez effectuer une restauration.\r\nTous les fichiers et répertoires "
    "choisis déjà présents sur votre poste seront remplacés !\r\nConfirmez-vous ?");
// Asked instead when no ticked file would replace one that stands.
inline constexpr const char* kRestoreNothingReplacedQuestion = VK_TR_NOOP(
    "Messages", "ATTENTION : vous allez effectuer une restauration.\r\nConfirmez-vous ?");
inline constexpr const char* kNoStationText =
    VK_TR_NOOP("Messages", "NomPCReseau non défini dans restauration !");
inline constexpr const char* kNoDayText = VK_TR_NOOP(
    "Messages",
    "Aucune sauvegarde n'a encore été effectuée pour ce poste ! Il n'y a rien à restaurer.");
inline constexpr const char* kStartText = VK_TR_NOOP("Messages", "Début de la restauration ...");
inline constexpr const char* kDestinationTitle =
    QT_TRANSLATE_NOOP("varnoket::RestoreWindow", "Choisissez le dossier où restaurer");
inline constexpr const char* kInPlaceText =
    QT_TRANSLATE_NOOP("varnoket::RestoreWindow", "à l'emplacement d'origine");
inline constexpr const char* kNoFileChosenText =
    VK_TR_NOOP("Messages", "Choisissez d'abord un fichier dans la liste des fichiers.");
inline constexpr const char* kNoDayChosenText =
    VK_TR_NOOP("Messages", "Choisissez d'abord une journée.");

// "Le répertoire de sauvegarde de ce poste (<folder>) n'existe pas ..."
std::string MissingStationFolderText(const std::string& stationFolder);
// "Impossible de lire le fichier (<path>)"
std::string UnreadableFileListText(const std::string& path);
// "Le dossier de destination (<folder>) se trouve dans le dossier des
// sauvegardes (<root>) : choisissez un dossier en dehors."
std::string DestinationInStoreText(const std::string& folder, const std::string& root);
// "Le dossier de destination (<folder>) n'est pas un dossier ..."
std::string DestinationNotAFolderText(const std::string& folder);
// Two ticked items would go to the same place in the chosen folder.
std::string SharedDestinationText(const std::string& destination);
// The warning of a day whose list holds lines that give nothing to restore.
std::string UnreadableLinesText(const std::vector<UnreadableLine>& lines);

// What the restore window works with, injected by the main window (and by
// tests, over temporary stores and scripted boxes).
struct RestoreWindowEnv {
  RestoreWindowEnv(FileSystem& fileSystem, Dialogs& boxes) : fs(fileSystem), dialogs(boxes) {}
  FileSystem& fs;
  Dialogs& dialogs;
  std::function<std::string()> backupRoot;  // the configuration's root
  // With several backup disks in turn, those plugged in now (name, root):
  // the window offers the choice when there are two or more. Empty: one.
  std::function<std::vector<std::pair<std::string, std::string>>()> storesHere;
  std::function<std::string()> stationName;
  std::function<unsigned()> workers;            // threads that decode; empty or 0: one per core
  std::function<void()> stopTimer, startTimer;  // the scheduler's timer
  // Runs pending events during a load and between blocks of a restore
  // done in place; empty: the application's event loop does.
  std::function<void()> pump;
  // Where the window's reads of the store and its restores are done. The
  // program gives them a thread of their own, so a disk or a share that
  // stops answering never freezes the window; null: in place, pumping.
  RunThread* runThread = nullptr;
  PathRules rules;  // how the store's paths are written
  // The boxes of the restore's choices; null: the desktop's own.
  FolderPicker* picker = nullptr;
  ExistingFilesQuestion* existingFiles = nullptr;
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
  // `fileIndex`: the file's place in the directory's list, whatever the
  // order the list is sorted in.
  void ToggleFile(int fileIndex);
  void TickAll();
  // The run: confirmation, the question about different files, every ticked
  // item, the summary.
  void StartRestore();
  void CloseWindow();

  // Restore below another folder (asks for it; a folder inside the store is
  // refused) or, with false, in place.
  void SetRestoreElsewhere(bool elsewhere);
  // "" while restoring in place.
  const std::string& DestinationRoot() const { return destinationRoot_; }

  // The kept versions of the file selected in the file list, in a list
  // window whose action restores the chosen one.
  void ShowVersions();
  // Restores one version of `fullPath` (in place or below the chosen
  // folder), asking first when a different file stands there.
  void RestoreVersion(const std::string& fullPath, const FileVersion& version);
  // The files whose name matches the search field, in the chosen day or in
  // every day, in a list window whose action opens the file's folder.
  void Search();
  // Shows `file`'s folder in the tree (changing day first when it comes
  // from another one) with the file selected in the list.
  void OpenFound(const FoundFile& file);
  // The files stored on the chosen day and those gone since the day before.
  void ShowDayChanges();
  // The file the file list has selected; "" when none.
  std::string SelectedFilePath() const;

  int RestoredCount() const { return restoredCount_; }
  int64_t RestoredBytes() const { return restoredBytes_; }
  bool RestoreRunning() const { return restoreRunning_.load(); }
  int PreviousDayIndex() const { return previousDayIndex_; }
  // The backup days offered, folder names, oldest first.
  const std::vector<std::string>& DayFolders() const { return dayFolders_; }
  TriStateTreeView& TreeView() { return *folderTree_; }
  // The list window opened last, while it is open.
  ListWindow* LastListWindow() const;

 protected:
  void showEvent(QShowEvent* event) override;
  // Every way of closing comes here (the button, the title bar, Escape).
  void reject() override;

 private:
  void BuildControls();
  // The choice among the disks here, hidden until there are two.
  void BuildStoreChoice();
  // The search by name: its field, its box for every day and its button.
  void BuildSearchControls();
  // The controls in their rows, the window at its first size.
  void LayOutControls();
  void ConnectControls();
  ListWindow* OpenListWindow(const char* objectName, const std::string& title,
                             const std::vector<std::string>& columns, const QString& action);
  // The policy for `different` files met at the destinations: replace
  // when there are none, else the user's answer; nullopt when cancelled.
  std::optional<ExistingFilePolicy> AskExistingFiles(size_t different);
  // False, after saying why, when something other than a folder stands at
  // `folder`.
  bool DestinationIsUsable(const std::string& folder);
  RestoreRunContext RunContext(ExistingFilePolicy policy) const;
  // The run of one version, on the work's thread.
  RestoreRunTotals RestoreOneVersion(const PlannedFile& file, size_t dayIndex,
                                     ExistingFilePolicy policy);
  void BeginRun();
  void EndRun(RestoreRunTotals totals, size_t tickedFiles);
  void ShowDestination();
  void PostCloseRequest();
  void Pump();
  // Runs `work` where env_.runThread says and returns once it has ended;
  // the report lines it wrote are all shown by then.
  void DoWork(const std::function<void()>& work);
  // A read of the store (a day's list, versions, a search) done by DoWork,
  // the window busy meanwhile so nothing pulls the tree from under it.
  // False when the window was asked to close meanwhile: it then closes
  // and the caller shows nothing.
  bool ReadStore(const std::function<void()>& read);
  // RestoreHost
  void Report(const std::string& line) override;
  void ProcessMessages() override;
  bool StopRequested() const override;
  bool Busy() const { return loading_ || running_; }
  void LoadDay(int index);
  bool AnythingTicked() const;
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
  // The lines of the loaded day's list that gave nothing to restore: said
  // at the load, and failures of every run they concern.
  std::vector<UnreadableLine> unreadable_;
  // The station's read lock, held while the window is open.
  StationReadLock readLock_;

  // The root the window reads: the disk chosen among those here, else the
  // configuration's.
  std::string Root() const;
  // Fills the disk choice (shown with two disks or more) at each opening.
  void FillStoreChoice();
  void ChooseStore(int index);
  std::vector<std::pair<std::string, std::string>> storesHere_;
  std::string chosenRoot_;

  int previousDayIndex_ = -1;
  // Cleared by the report window's stop button, read by the run's thread.
  std::atomic<bool> restoreRunning_{false};
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
  std::string destinationRoot_;
  std::unique_ptr<FolderPicker> ownPicker_;
  std::unique_ptr<ExistingFilesQuestion> ownQuestion_;
  QPointer<ListWindow> lastList_;

  QLabel* dayLabel_ = nullptr;
  QComboBox* dayCombo_ = nullptr;
  QLabel* storeLabel_ = nullptr;
  QComboBox* storeCombo_ = nullptr;
  QCheckBox* tickAllBox_ = nullptr;
  QLabel* treeLabel_ = nullptr;
  TriStateTreeView* folderTree_ = nullptr;
  QLabel* filesLabel_ = nullptr;
  QTreeWidget* fileList_ = nullptr;
  QPushButton* restoreButton_ = nullptr;
  QCheckBox* elsewhereBox_ = nullptr;
  QLabel* destinationLabel_ = nullptr;
  QLabel* elsewhereNote_ = nullptr;
  QLineEdit* searchEdit_ = nullptr;
  QCheckBox* allDaysBox_ = nullptr;
  QPushButton* searchButton_ = nullptr;
  QPushButton* changesButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
};

}  // namespace varnoket
