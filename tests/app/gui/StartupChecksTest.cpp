// The first showing of the main window: what a user meets at the first start,
// on a network copy, with a root that cannot be written, with a backup
// directory that holds the store, and with an empty or a filled backup set.
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

#include "app/gui/MainWindowFixture.h"
#include "support/KeptDay.h"

namespace varnoket::test {
namespace {

constexpr const char* kRootMissingMaster =
    "ATTENTION : \r\nLe répertoire devant contenir les sauvegardes n'est pas configuré !\r\n"
    "Cliquer sur OK pour faire apparaître l'écran de configuration !\r\n"
    "Tant que la configuration sera incomplète aucune sauvegarde ne pourra s'effectuer.";

using StartupChecksTest = MainWindowFixture;

std::string ParentText(const std::string& entry, const std::string& root) {
  return "Le dossier à sauvegarder (" + entry +
         ") est un dossier parent du répertoire de sauvegardes (" + root +
         ") ce qui est interdit ! Il va donc être supprimé de la liste.";
}

TEST_F(StartupChecksTest, FirstStartWarnsThenConfiguresAndRerunsUntilARootIsChosen) {
  Make();
  // The configuration dialog made the default settings file.
  EXPECT_EQ(ReadFile(programFolder_ + "/VARNOKET.INI"),
            "[PARAMS]\r\nRACINE=\r\nHEURE=13\r\nMINUTE=0\r\nMAXSAVE=30\r\n");
  EXPECT_EQ(form_->CurrentVersion(), "1.13");

  bool configShown = false;
  WhenShown(config_, [&] {
    configShown = config_->isVisible();
    config_->CloseWindow();  // closed without choosing
  });
  ShowAndSettle();
  EXPECT_TRUE(configShown);
  EXPECT_EQ(dialogs_.Texts(DialogKind::Warning), std::vector<std::string>{kRootMissingMaster});
  EXPECT_TRUE(form_->FirstShowPending());
  // Nothing to restore or read before a root is configured.
  form_->OpenRestoreWindow();
  form_->OpenLogViewer();
  EXPECT_EQ(
      dialogs_.Texts(DialogKind::Message),
      (std::vector<std::string>{"Veuillez d'abord configurer le répertoire de sauvegarde !",
                                "Veuillez d'abord configurer le répertoire de sauvegarde !"}));
  EXPECT_FALSE(restore_->isVisible());
  EXPECT_TRUE(form_->isVisible());
  EXPECT_FALSE(SaveNow()->isEnabled());
  EXPECT_TRUE(exitCodes_.empty());

  // The next showing runs the checks again; this time a root is chosen.
  form_->hide();
  dialogs_.Clear();
  picker_.answers = {root_};
  WhenShown(config_, [&] {
    config_->ChooseBackupRoot();
    config_->SaveConfiguration();
  });
  ShowAndSettle();
  EXPECT_EQ(dialogs_.Count(DialogKind::Warning), 1u);
  EXPECT_FALSE(form_->FirstShowPending());
  EXPECT_EQ(config_->Settings().backupRoot, root_);
  // The station file exists, the start-up entry is written, and with an
  // empty backup set the window stays open for the user.
  EXPECT_TRUE(std::filesystem::exists(StationIni()));
  EXPECT_TRUE(std::filesystem::exists(autostart_.user + "/varnoket.desktop"));
  EXPECT_TRUE(form_->isVisible());
  EXPECT_FALSE(SaveNow()->isEnabled());
  EXPECT_TRUE(Find<QPushButton>("BitBtnRestaurer")->isEnabled());
  EXPECT_EQ(form_->LastBackupDate(), KeptDay("31/12/2002"));
}

TEST_F(StartupChecksTest, NetworkCopyWithoutRootSaysSoAndEnds) {
  programFolder_ = Mount("nfs4", "net") + "/prog";
  std::filesystem::create_directories(programFolder_);
  programPath_ = programFolder_ + "/varnoket";
  Make();
  EXPECT_FALSE(form_->IsMasterStation());
  ShowAndSettle();
  ASSERT_EQ(dialogs_.Count(DialogKind::Error), 1u);
  EXPECT_NE(dialogs_.Texts(DialogKind::Error)[0].find("Le programme va se terminer ..."),
            std::string::npos);
  EXPECT_EQ(dialogs_.Count(DialogKind::Warning), 0u);
  EXPECT_EQ(exitCodes_, std::vector<int>{0});
  EXPECT_FALSE(form_->Tray().Visible());
  // Such a copy never offers the configuration.
  EXPECT_FALSE(Find<QPushButton>("BitBtnConfigurer")->isVisibleTo(form_));
  EXPECT_FALSE(form_->findChild<QAction*>("Configurer1")->isEnabled());
}

TEST_F(StartupChecksTest, RootThatCannotBeWrittenKeepsAMasterRunningAndEndsANetworkCopy) {
  // The store is there, but the write test's file cannot be made in it.
  std::filesystem::create_directories(root_ + "/_temp_.txt/blocker");
  const std::string badRoot = root_;
  WriteProgramSettings(badRoot);
  const std::string expected = "Impossible d'écrire dans le répertoire racine de sauvegarde (" +
                               badRoot +
                               ") !\r\nVeuillez vérifier que ce répertoire existe toujours, que "
                               "vous avez les droits d'accès en écriture et qu'il reste "
                               "suffisamment d'espace disque disponible !";
  Make();
  ShowAndSettle();
  EXPECT_EQ(dialogs_.Texts(DialogKind::Error), std::vector<std::string>{expected});
  EXPECT_TRUE(form_->FirstShowPending());
  EXPECT_TRUE(exitCodes_.empty());
  EXPECT_TRUE(form_->isVisible());

  // The same on a network copy: a second box, then the end.
  Destroy();
  dialogs_.Clear();
  programFolder_ = Mount("cifs", "share") + "/prog";
  std::filesystem::create_directories(programFolder_);
  programPath_ = programFolder_ + "/varnoket";
  WriteProgramSettings(badRoot);
  Make();
  ShowAndSettle();
  const auto errors = dialogs_.Texts(DialogKind::Error);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0], expected);
  EXPECT_EQ(errors[1].rfind("Le programme va se terminer ... \r\n", 0), 0u);
  EXPECT_EQ(exitCodes_, std::vector<int>{0});
}

TEST_F(StartupChecksTest, ADirectoryHoldingTheStoreIsDroppedOnePerStart) {
  WriteProgramSettings(root_);
  std::filesystem::create_directories(base_ + "/docs");
  std::filesystem::create_directories(base_ + "/sto");
  std::filesystem::create_directory_symlink(base_, base_ + "/to-base");
  // "/sto" and "/st" only begin like the root; the folder and a link to it
  // hold it.
  WriteStationSettings({base_ + "/docs", base_, base_ + "/st", base_ + "/sto", base_ + "/to-base"});
  Make();
  ShowAndSettle();
  auto warnings = dialogs_.Texts(DialogKind::Warning);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0], ParentText(base_, root_));
  const std::vector<std::string> kept = {base_ + "/docs", base_ + "/st", base_ + "/sto"};
  std::vector<std::string> expected = kept;
  expected.push_back(base_ + "/to-base");
  EXPECT_EQ(ListTexts(DirectoryList()), expected);
  std::string ini = ReadFile(StationIni());
  EXPECT_NE(ini.find("D1=" + base_ + "/docs\r\nD2=" + base_ + "/st\r\nD3=" + base_ + "/sto\r\n"),
            std::string::npos);

  // The next start removes the link, the one after that nothing.
  for (const bool linkLeft : {true, false}) {
    Destroy();
    dialogs_.Clear();
    Make();
    ShowAndSettle();
    warnings = dialogs_.Texts(DialogKind::Warning);
    if (linkLeft) {
      EXPECT_EQ(warnings, std::vector<std::string>{ParentText(base_ + "/to-base", root_)});
    } else {
      EXPECT_TRUE(warnings.empty());
    }
    EXPECT_EQ(ListTexts(DirectoryList()), kept);
  }
}

TEST_F(StartupChecksTest, AnAbsentDiskIsSaidInTheTitleAndNothingIsWrittenThere) {
  const std::string mountPoint = base_ + "/media/disk";
  std::filesystem::create_directories(mountPoint);
  WriteProgramSettings(mountPoint);
  Make();
  ShowAndSettle();
  const std::string text = "Disque de sauvegarde absent (" + mountPoint + ")";
  EXPECT_NE(form_->windowTitle().toStdString().find(text), std::string::npos);
  // The tray shows the start of it (its hints are short).
  const std::string hint = form_->Tray().Hint();
  EXPECT_GE(hint.size(), 40u);
  EXPECT_EQ(text.rfind(hint, 0), 0u) << hint;
  EXPECT_TRUE(dialogs_.calls().empty());
  EXPECT_TRUE(std::filesystem::is_empty(mountPoint));
  EXPECT_TRUE(ListTexts(DirectoryList()).empty());
  EXPECT_FALSE(Find<QPushButton>("BitBtnSaveNow")->isEnabled());
  EXPECT_TRUE(form_->FirstShowPending());  // looked for again at the next showing
}

TEST_F(StartupChecksTest, AStoreReachedThroughALinkHasTheSameParents) {
  std::filesystem::create_directories(base_ + "/sto");
  root_ = base_ + "/store-link";
  std::filesystem::create_directory_symlink(base_ + "/store", root_);
  WriteProgramSettings(root_);
  WriteStationSettings({base_ + "/sto", base_ + "/store"});
  Make();
  ShowAndSettle();
  EXPECT_EQ(dialogs_.Texts(DialogKind::Warning),
            std::vector<std::string>{ParentText(base_ + "/store", root_)});
  EXPECT_EQ(ListTexts(DirectoryList()), std::vector<std::string>{base_ + "/sto"});
}

TEST_F(StartupChecksTest, AFilledBackupSetHidesTheWindowIntoTheTray) {
  WriteProgramSettings(root_);
  std::filesystem::create_directories(base_ + "/docs");
  WriteStationSettings({base_ + "/docs"}, "5/3/2026");
  Make();
  ShowAndSettle();
  EXPECT_TRUE(dialogs_.calls().empty());
  EXPECT_TRUE(SaveNow()->isEnabled());
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(form_->LastBackupDate(), KeptDay("05/03/2026"));
  EXPECT_TRUE(form_->Tray().Visible());
  // Shown again from the tray, it stays (the checks have passed).
  form_->ShowMainWindow();
  Settle();
  EXPECT_TRUE(form_->isVisible());
}

TEST_F(StartupChecksTest, WithoutANotificationAreaTheWindowIsNeverHidden) {
  trayAvailable_ = false;
  WriteProgramSettings(root_);
  std::filesystem::create_directories(base_ + "/docs");
  WriteStationSettings({base_ + "/docs"});
  Make();
  ShowAndSettle();
  EXPECT_TRUE(form_->isVisible());
  form_->close();
  Settle();
  EXPECT_TRUE(form_->isVisible());
}

TEST_F(StartupChecksTest, ClosingHidesAndQuittingAsksFirst) {
  WriteProgramSettings(root_);
  Make();
  ShowAndSettle();
  ASSERT_TRUE(form_->isVisible());
  Find<QPushButton>("BitBtnFermer")->click();
  Settle();
  EXPECT_FALSE(form_->isVisible());
  EXPECT_TRUE(exitCodes_.empty());

  dialogs_.QueueAnswer(DialogAnswer::kCancel);
  form_->Quit();
  EXPECT_TRUE(exitCodes_.empty());
  // The window's own button asks the same question. OK:
  Find<QPushButton>("BitBtnQuitter")->click();
  EXPECT_TRUE(exitCodes_.empty());  // once the tray's event is over
  Settle();
  EXPECT_FALSE(form_->Tray().Visible());
  EXPECT_EQ(dialogs_.Texts(DialogKind::Warning),
            (std::vector<std::string>{"Êtes-vous sûr de vouloir quitter Varnoket ?",
                                      "Êtes-vous sûr de vouloir quitter Varnoket ?"}));
  EXPECT_EQ(exitCodes_, std::vector<int>{0});
}

TEST_F(StartupChecksTest, F1AnywhereShowsTheHelp) {
  WriteProgramSettings(root_);
  Make();
  ShowAndSettle();
  ASSERT_FALSE(help_->isVisible());
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier);
  QApplication::sendEvent(DirectoryList(), &release);
  EXPECT_TRUE(help_->isVisible());
}

}  // namespace
}  // namespace varnoket::test
