// varnoket: the program a person starts. Decides the role the process plays
// (the installed program, or a downloaded new version putting itself in
// place), keeps a second copy of the same user from running (a second start
// brings the running copy's window forward instead), and runs the windows.
#include <QApplication>
#include <QMessageBox>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "app/UpdateRole.h"
#include "app/gui/VarnoketProgram.h"
#include "desktop/SystemLog.h"
#include "platform/DriveInfo.h"
#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/InstanceLock.h"
#include "platform/InstanceLockSocket.h"
#include "platform/MessageText.h"
#include "platform/PathRules.h"
#include "platform/Process.h"
#include "platform/ProductName.h"
#include "platform/ProgramPath.h"
#include "platform/Translation.h"
#include "platform/gui/language/ProgramLanguage.h"
#include "settings/SettingsFolder.h"

// A test build of the program (the hand-over test) replaces these: its own
// update address and key, a quick scheduler, short hand-over waits, and a
// local server taken as on line whatever the machine's routes are.
#ifndef VARNOKET_PROGRAM_UPDATE_URL
#define VARNOKET_PROGRAM_UPDATE_URL VARNOKET_UPDATE_URL
#endif
#ifndef VARNOKET_PROGRAM_PUBLIC_KEY
#define VARNOKET_PROGRAM_PUBLIC_KEY VARNOKET_UPDATE_PUBLIC_KEY
#endif

namespace varnoket {
namespace {

// The title of the box that ends a start gone wrong.
constexpr const char* kStartErrorTitle = QT_TRANSLATE_NOOP("varnoket::StartError", "ERREUR");

// A line said on the terminal before any window, in the person's language.
void SayOnTerminal(const char* french) {
  std::cerr << "varnoket: " << TranslateMessage(french) << "\n";
}

// "ERREUR: <problem>" for the terminal, in the person's language.
std::string ErrorLine(const std::string& french) {
  return TranslateMessage(FillText(VK_TR_NOOP("Messages", "ERREUR: %s"), {french}));
}

bool HasDisplay() {
  return !EnvironmentValue("DISPLAY").empty() || !EnvironmentValue("WAYLAND_DISPLAY").empty() ||
         !EnvironmentValue("QT_QPA_PLATFORM").empty();
}

// The update role's two "ERREUR" boxes: it has no windows of its own, so a
// box needs an application object made for it (and a terminal line where
// no display exists).
class UpdateRoleDialogs final : public Dialogs {
 public:
  UpdateRoleDialogs(int& argc, char** argv) : argc_(argc), argv_(argv) {}

  DialogAnswer Error(const std::string& text, DialogButtons) override {
    Show(text);
    return DialogAnswer::kOk;
  }
  DialogAnswer Warning(const std::string& text, DialogButtons) override {
    Show(text);
    return DialogAnswer::kOk;
  }
  void Information(const std::string& text) override { Show(text); }
  void Message(const std::string& text) override { Show(text); }

 private:
  void Show(const std::string& text) {
    std::cerr << "ERREUR: " << text << "\n";
    if (!HasDisplay()) return;
    if (QCoreApplication::instance() == nullptr)
      app_ = std::make_unique<QApplication>(argc_, argv_);
    QMessageBox box(QMessageBox::NoIcon, "ERREUR", QString::fromStdString(text), QMessageBox::Ok);
    box.exec();
  }

  int& argc_;
  char** argv_;
  std::unique_ptr<QApplication> app_;
};

// The update role waits for real and starts the program as a detached child.
class ProcessUpdateRoleHost final : public UpdateRoleHost {
 public:
  void Sleep(int milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
  bool Start(const std::string& program) override { return StartDetached(program); }
};

int RunUpdate(const std::string& programPath, bool anotherInstance, bool localDrive, int& argc,
              char** argv) {
  UpdateRoleDialogs dialogs(argc, argv);
  ProcessUpdateRoleHost host;
  UpdateRoleEnv env(DefaultFileSystem(), dialogs, host);
  env.programPath = programPath;
  env.localDrive = localDrive;
  env.anotherInstanceRunning = anotherInstance;
#ifdef VARNOKET_PROGRAM_LOCAL_WAIT_MS
  env.localWaitMs = VARNOKET_PROGRAM_LOCAL_WAIT_MS;
#endif
#ifdef VARNOKET_PROGRAM_NETWORK_WAIT_MS
  env.networkWaitMs = VARNOKET_PROGRAM_NETWORK_WAIT_MS;
#endif
  try {
    RunUpdateRole(env);
  } catch (const std::exception& e) {
    // The update program has no window of its own: the error box says it.
    dialogs.Error(e.what(), DialogButtons::kOk);
    return 1;
  }
  return 0;
}

// Asks this user's running copy to bring its window forward; true when it
// answered, and this start has nothing more to do.
bool RunningCopyAnswered(const InstanceLock& lock) {
  switch (AskRunningCopyToShow(lock.SocketPath(), 10000)) {
    case ShowAnswer::kShown:
      return true;
    case ShowAnswer::kBusy:
      SayOnTerminal(VK_TR_NOOP("Messages",
                               "le programme tourne déjà et fait une sauvegarde ; sa fenêtre "
                               "s'ouvrira à la fin de celle-ci."));
      return true;
    case ShowAnswer::kNoAnswer:
      break;  // it may be ending right now
  }
  return false;
}

// Why the program cannot run unmarked, or "". A place passed over for the
// marker (a runtime folder of someone else's, say) is the session's fault
// to mend: the program runs, and the system log says where its marker is.
std::string MarkerProblem(const InstanceLock& lock, InstanceLockStatus status) {
  if (status == InstanceLockStatus::kNoSafePlace) {
    std::string problem = VK_TR_NOOP(
        "Messages",
        "Aucun dossier sûr de cet utilisateur ne peut recevoir le marqueur du programme.");
    for (const std::string& why : lock.Refusals()) problem += "\r\n" + why;
    return problem;
  }
  if (!lock.Refusals().empty()) {
    std::string line =
        "Le marqueur du programme est placé dans (" + ShownText(lock.Folder()) + ") : ";
    for (size_t i = 0; i < lock.Refusals().size(); ++i) {
      line += (i == 0 ? "" : " ; ") + lock.Refusals()[i];
    }
    WriteSystemLog(line + ".");
  }
  return {};
}

// The application, its windows and its tray, until it ends; its exit code.
int RunWindows(int& argc, char** argv, const std::string& programPath,
               const std::string& programFolder, const InstanceLock& lock,
               const std::string& lockProblem) {
  QApplication app(argc, argv);
  // English for an English locale, French otherwise; the logs stay French.
  InstallProgramLanguage();
  QApplication::setApplicationName(kProductName);
  QApplication::setQuitOnLastWindowClosed(false);
  const auto startError = [](const std::string& french) {
    std::cerr << ErrorLine(french) << "\n";
    QMessageBox box(QMessageBox::NoIcon,
                    QCoreApplication::translate("varnoket::StartError", kStartErrorTitle),
                    QString::fromStdString(TranslateMessage(french)), QMessageBox::Ok);
    box.exec();
    return 1;
  };
  if (!lockProblem.empty()) return startError(lockProblem);
  const SettingsPlace place = FindSettingsPlace(DefaultFileSystem(), programFolder);
  if (!place.problem.empty()) return startError(place.problem);
  int code = 0;
  {
    ProgramBuildSettings settings;
    settings.updateUrl = VARNOKET_PROGRAM_UPDATE_URL;
    settings.publicKeyHex = VARNOKET_PROGRAM_PUBLIC_KEY;
#ifdef VARNOKET_PROGRAM_TIMER_MS
    settings.timerIntervalMs = VARNOKET_PROGRAM_TIMER_MS;
#endif
#ifdef VARNOKET_PROGRAM_ASSUME_ONLINE
    settings.assumeOnline = true;
#endif
#ifdef VARNOKET_PROGRAM_ANSWER_BOXES
    settings.answerBoxes = true;
#endif
    settings.installed = place.installed;
    settings.secondStartSocket = lock.SocketPath();
    VarnoketProgram program(programPath, place.folder, settings);
    program.Start();
    code = QApplication::exec();
  }
  return code;
}

}  // namespace
}  // namespace varnoket

int main(int argc, char** argv) {
  using namespace varnoket;
  const std::string programPath = OwnProgramPath();
  const PathRules rules(PathStyle::kPosix);
  const std::string programFolder = ProgramFolderOf(programPath);
  // The lines said on the terminal before the windows start are in the
  // person's language too; installed again once the application runs.
  InstallProgramLanguage();

  InstanceLock lock;
  const auto wait = [] { std::this_thread::sleep_for(std::chrono::milliseconds(500)); };
  const bool update = RoleOf(programPath) == ProgramRole::kUpdate;
  InstanceLockStatus status = lock.TryAcquire();
  if (status == InstanceLockStatus::kHeld && !update && RunningCopyAnswered(lock)) return 0;
  if (status == InstanceLockStatus::kHeld) status = ProbeInstance(lock, 9, wait);
  DriveInfo drives;
  const bool localDrive = !IsRemotePath(drives, programPath);

  if (update) {
    return RunUpdate(programPath, status == InstanceLockStatus::kHeld, localDrive, argc, argv);
  }
  if (status == InstanceLockStatus::kHeld) {
    SayOnTerminal(VK_TR_NOOP("Messages",
                             "le programme tourne déjà pour cet utilisateur mais ne répond pas ; "
                             "rien n'est ouvert."));
    return 1;
  }
  // A copy started from the network while an update is being put in place
  // would run the program file that is about to be replaced.
  if (!localDrive && DefaultFileSystem().Stat(rules.Join(programFolder, kExchangeFileName))) {
    return 0;
  }
  // Running unmarked would let a second copy run beside this one.
  const std::string lockProblem = MarkerProblem(lock, status);
  if (!HasDisplay()) {
    if (!lockProblem.empty()) {
      std::cerr << ErrorLine(lockProblem) << "\n";
      return 1;
    }
    SayOnTerminal(VK_TR_NOOP("Messages",
                             "aucun affichage (DISPLAY) n'est disponible ; le programme a besoin "
                             "d'un bureau.\nSans bureau, utilisez varnoket-cli (backup, days, "
                             "restore, verify)."));
    return 2;
  }
  const int code = RunWindows(argc, argv, programPath, programFolder, lock, lockProblem);
  lock.Release();
  return code;
}
