#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <filesystem>

#include "platform/MessageText.h"
#include "platform/PathRules.h"
#include "settings/ConfigurationRules.h"
#include "settings/NumberField.h"
#include "settings/StationSettings.h"
#include "settings/StoreInBackedUpFolder.h"
#include "settings/StoreMarker.h"
#include "settings/gui/ConfigurationDialog.h"
#include "support/FakeDialogs.h"
#include "support/KeptDay.h"
#include "support/TempDir.h"
#include "support/gui/FakeFolderPicker.h"

namespace varnoket {
namespace {

using test::DialogKind;
using test::FakeDialogs;
using test::FakeFolderPicker;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

namespace fs = std::filesystem;

struct FakeOwner : ConfigOwner {
  std::string StationName() const override { return name; }
  StationSettings& Station() override { return station; }
  void ConfigurationSaved() override { ++saved; }
  std::string name = "POSTE1";
  StationSettings station;
  int saved = 0;
};

// A medium that refuses new files, whoever runs the tests.
class WriteProtectedFileSystem : public PosixFileSystem {
 public:
  std::unique_ptr<FileStream> Create(const std::string& path) override {
    if (path.ends_with(kWriteTestName)) throw StreamError(path + ": Read-only file system");
    return PosixFileSystem::Create(path);
  }
};

// A program folder and folders to choose, over a mount table of the test's
// own: the machine's disk at "/", a network mount and a USB stick.
class ConfigurationDialogTest : public ::testing::Test {
 protected:
  ConfigurationDialogTest()
      : base_(fs::canonical(dir_.path()).string()),
        program_(base_ + "/prog"),
        drives_(base_ + "/mountinfo", base_ + "/block") {
    fs::create_directories(program_);
    fs::create_directories(base_ + "/nfs");
    fs::create_directories(base_ + "/usb");
    fs::create_directories(base_ + "/store");
    fs::create_directories(base_ + "/other");
    WriteFile(base_ + "/block/sdb/removable", "1\n");
    fs::create_directories(base_ + "/block/sdb/sdb1");
    table_ =
        "21 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
        "40 21 0:50 / " +
        base_ +
        "/nfs rw - nfs4 srv:/export rw\n"
        "41 21 8:17 / " +
        base_ + "/usb rw - vfat /dev/sdb1 rw\n";
    WriteFile(base_ + "/mountinfo", table_);
  }

  std::unique_ptr<ConfigurationDialog> MakeForm(FileSystem* fileSystem = nullptr) {
    auto form = std::make_unique<ConfigurationDialog>(fileSystem ? *fileSystem : fs_, dialogs_,
                                                      picker_, drives_, program_);
    form->SetOwner(&owner_);
    return form;
  }
  template <typename W>
  W* Find(QWidget& form, const char* name) {
    auto* widget = form.findChild<W*>(QString::fromUtf8(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  std::string Text(QWidget& form, const char* name) {
    return Find<QLineEdit>(form, name)->text().toStdString();
  }
  void SetText(QWidget& form, const char* name, const char* text) {
    Find<QLineEdit>(form, name)->setText(QString::fromUtf8(text));
  }
  void Choose(ConfigurationDialog& form, const std::string& path) {
    picker_.answers.push_back(path);
    form.ChooseBackupRoot();
  }
  std::string Ini() { return ReadFile(program_ + "/VARNOKET.INI"); }

  TempDir dir_;
  std::string base_;
  std::string program_;
  std::string table_;
  DriveInfo drives_;
  PosixFileSystem fs_;
  FakeDialogs dialogs_;
  FakeFolderPicker picker_;
  FakeOwner owner_;
};

TEST_F(ConfigurationDialogTest, CreationWritesTheDefaultFileAndShowingFillsTheFieldsFromMemory) {
  auto form = MakeForm();
  EXPECT_EQ(Ini(), DefaultProgramSettingsText());
  EXPECT_TRUE(dialogs_.calls().empty());
  EXPECT_EQ(form->windowTitle().toStdString(), "Varnoket - Configuration");
  EXPECT_EQ(form->toolTip().toStdString(), "Ecran de configuration");
  EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(Find<QLabel>(*form, "VKLabel1")->text().toStdString(),
            "Dossier commun qui contiendra les sauvegardes");
  EXPECT_TRUE(Find<QLabel>(*form, "VKLabel1")->font().bold());
  auto* choose = Find<QPushButton>(*form, "BitBtnChoixRep");
  EXPECT_EQ(choose->text().toStdString(), "&Choisir");
  EXPECT_EQ(choose->toolTip().toStdString(), "Sélection du dossier de sauvegardes");
  EXPECT_TRUE(Find<QLineEdit>(*form, "EditChemin")->isReadOnly());
  EXPECT_EQ(Find<QLabel>(*form, "Label2")->text().toStdString(),
            "Nombre maximum de journées successives mémorisées");
  EXPECT_EQ(Find<QLabel>(*form, "Label3")->text().toStdString(),
            "Heure préférée de sauvegarde quotidienne (0 à 23)");
  EXPECT_EQ(Find<QLabel>(*form, "Label1")->text().toStdString(),
            "Minute préférée de sauvegarde quotidienne (0 à 59)");
  EXPECT_EQ(Find<QPushButton>(*form, "VKBitBtn3")->text().toStdString(), "&Valider et mémoriser");
  EXPECT_EQ(Find<QPushButton>(*form, "VKBitBtn3")->toolTip().toStdString(),
            "Mémoriser la configuration");
  EXPECT_EQ(Find<QPushButton>(*form, "BitBtnFermer")->text().toStdString(), "&Fermer");
  EXPECT_EQ(Find<QPushButton>(*form, "BitBtnFermer")->toolTip().toStdString(), "Fermer la fenêtre");

  form->show();
  EXPECT_EQ(Text(*form, "EditChemin"), "");
  EXPECT_EQ(Text(*form, "MaxSave"), "30");
  EXPECT_EQ(Text(*form, "HeurePref"), "13");
  EXPECT_EQ(Text(*form, "EditMinute"), "0");
  // What was typed and not validated is forgotten at the next showing.
  SetText(*form, "HeurePref", "5");
  form->CloseWindow();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(form->result(), QDialog::Rejected);
  form->show();
  EXPECT_EQ(Text(*form, "HeurePref"), "13");
  EXPECT_EQ(Ini(), DefaultProgramSettingsText());
}

TEST_F(ConfigurationDialogTest, ALoadedDaysCountAboveTheTypingRangeIsShownUntouched) {
  WriteFile(program_ + "/VARNOKET.INI",
            "[PARAMS]\r\nRACINE=" + base_ + "/store/\r\nHEURE=22\r\nMINUTE=45\r\nMAXSAVE=500\r\n");
  auto form = MakeForm();
  form->show();
  EXPECT_EQ(Text(*form, "EditChemin"), base_ + "/store");
  EXPECT_EQ(Text(*form, "MaxSave"), "500");
  EXPECT_EQ(Text(*form, "HeurePref"), "22");
  EXPECT_EQ(Text(*form, "EditMinute"), "45");
  EXPECT_TRUE(dialogs_.calls().empty());
  // Validation checks what was typed: the loaded count is saved as it is.
  form->SaveConfiguration();
  for (const std::string& said : dialogs_.Texts(DialogKind::Message)) ADD_FAILURE() << said;
  for (const std::string& said : dialogs_.Texts(DialogKind::Error)) ADD_FAILURE() << said;
  for (const std::string& said : dialogs_.Texts(DialogKind::Warning)) ADD_FAILURE() << said;
  EXPECT_EQ(owner_.saved, 1);
  EXPECT_NE(Ini().find("MAXSAVE=500"), std::string::npos) << Ini();
}

TEST_F(ConfigurationDialogTest, AFileThatCannotBeCreatedIsReportedAndValidationStopsAtOnce) {
  WriteFile(base_ + "/plain", "");
  program_ = base_ + "/plain/prog";
  auto form = MakeForm();
  ASSERT_EQ(dialogs_.Count(DialogKind::Error), 1u);
  EXPECT_NE(dialogs_.Texts(DialogKind::Error)[0].find("VARNOKET.INI"), std::string::npos);
  EXPECT_FALSE(form->Settings().IsOpen());
  dialogs_.Clear();
  form->show();
  form->SaveConfiguration();
  EXPECT_EQ(dialogs_.Texts(DialogKind::Error), std::vector<std::string>{kIniNotInitialised});
  EXPECT_EQ(dialogs_.calls().size(), 1u);
}

TEST_F(ConfigurationDialogTest, ValidationChecksTheFieldsInOrderAndMovesTheFocus) {
  auto form = MakeForm();
  form->show();
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

  owner_.name.clear();
  form->SaveConfiguration();
  EXPECT_EQ(dialogs_.Texts(DialogKind::Error),
            std::vector<std::string>{"Nom réseau du poste non encore défini !"});
  owner_.name = "POSTE1";
  dialogs_.Clear();

  form->SaveConfiguration();
  EXPECT_EQ(dialogs_.Texts(DialogKind::Message),
            std::vector<std::string>{"Vous devez choisir un répertoire avant de valider !"});
  EXPECT_TRUE(Find<QPushButton>(*form, "BitBtnChoixRep")->hasFocus());

  Choose(*form, base_ + "/store");
  SetText(*form, "HeurePref", "");
  SetText(*form, "EditMinute", "");
  SetText(*form, "MaxSave", "");
  dialogs_.Clear();
  form->SaveConfiguration();
  EXPECT_EQ(dialogs_.Texts(DialogKind::Message),
            std::vector<std::string>{"Veuillez saisir une heure avant de valider."});
  EXPECT_TRUE(Find<QLineEdit>(*form, "HeurePref")->hasFocus());
  EXPECT_EQ(Text(*form, "EditMinute"), "");

  SetText(*form, "HeurePref", "8");
  dialogs_.Clear();
  form->SaveConfiguration();
  EXPECT_EQ(Text(*form, "EditMinute"), "0");
  EXPECT_EQ(dialogs_.Texts(DialogKind::Message),
            std::vector<std::string>{"Veuillez saisir un nombre de jours avant de valider."});
  EXPECT_TRUE(Find<QLineEdit>(*form, "MaxSave")->hasFocus());
  EXPECT_EQ(Ini(), DefaultProgramSettingsText());
  EXPECT_EQ(owner_.saved, 0);
  EXPECT_TRUE(form->isVisible());
}

TEST_F(ConfigurationDialogTest, TypingIsNeverInterruptedAndWrongNumbersAreShownAtValidation) {
  auto form = MakeForm();
  form->show();
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  Choose(*form, base_ + "/store");
  dialogs_.Clear();
  auto* days = Find<QLineEdit>(*form, "MaxSave");
  auto* hour = Find<QLineEdit>(*form, "HeurePref");
  auto* minute = Find<QLineEdit>(*form, "EditMinute");

  // Every key is kept, whatever it makes of the text, and no box opens.
  hour->clear();
  QTest::keyClicks(hour, "25");
  minute->clear();
  QTest::keyClicks(minute, "1e3");
  days->clear();
  QTest::keyClicks(days, "-1");
  EXPECT_EQ(hour->text(), "25");
  EXPECT_EQ(minute->text(), "1e3");
  EXPECT_EQ(days->text(), "-1");
  EXPECT_TRUE(dialogs_.calls().empty());

  // At validation: one message, the first wrong field's, naming it and its
  // range; every wrong field marked; the first focused with its text selected.
  form->SaveConfiguration();
  EXPECT_EQ(dialogs_.Texts(DialogKind::Message), std::vector<std::string>{kHourRule.message});
  EXPECT_EQ(dialogs_.calls().size(), 1u);
  EXPECT_TRUE(hour->hasFocus());
  EXPECT_EQ(hour->selectedText(), "25");
  for (QLineEdit* field : {hour, minute, days}) {
    EXPECT_TRUE(field->property("wrongValue").toBool()) << field->objectName().toStdString();
    EXPECT_TRUE(field->styleSheet().contains("red")) << field->objectName().toStdString();
  }
  EXPECT_EQ(Ini(), DefaultProgramSettingsText());
  EXPECT_EQ(owner_.saved, 0);

  // Typing in a marked field takes its mark away; the others keep theirs and
  // the next validation names the next one.
  hour->clear();
  QTest::keyClicks(hour, "7");
  EXPECT_FALSE(hour->property("wrongValue").toBool());
  EXPECT_TRUE(hour->styleSheet().isEmpty());
  dialogs_.Clear();
  form->SaveConfiguration();
  EXPECT_EQ(dialogs_.Texts(DialogKind::Message), std::vector<std::string>{kMinuteRule.message});
  EXPECT_TRUE(minute->hasFocus());
  EXPECT_FALSE(hour->property("wrongValue").toBool());

  // Pasted text, a blank around a number, a number too large for any field.
  minute->setText(QString::fromUtf8("12 "));
  days->setText(QStringLiteral("99999999999"));
  dialogs_.Clear();
  form->SaveConfiguration();
  EXPECT_EQ(dialogs_.Texts(DialogKind::Message), std::vector<std::string>{kMinuteRule.message});
  minute->setText(QStringLiteral("30"));
  dialogs_.Clear();
  form->SaveConfiguration();
  EXPECT_EQ(dialogs_.Texts(DialogKind::Message), std::vector<std::string>{kDaysKeptRule.message});
  EXPECT_TRUE(days->hasFocus());
  EXPECT_EQ(Ini(), DefaultProgramSettingsText());

  // All right at last: saved, and no mark left.
  days->setText(QStringLiteral("45"));
  dialogs_.Clear();
  form->SaveConfiguration();
  EXPECT_TRUE(dialogs_.Texts(DialogKind::Message).empty());
  EXPECT_EQ(owner_.saved, 1);
  EXPECT_NE(Ini().find("HEURE=7"), std::string::npos) << Ini();
  EXPECT_NE(Ini().find("MINUTE=30"), std::string::npos) << Ini();
  for (QLineEdit* field : {hour, minute, days}) {
    EXPECT_FALSE(field->property("wrongValue").toBool()) << field->objectName().toStdString();
  }
}

TEST_F(ConfigurationDialogTest, AStoreInsideABackedUpFolderIsRefusedWithTheCommandLineText) {
  // The set in use (under the current store) backs up base_/other, and a
  // later choice of a folder inside it would save the store into itself.
  auto form = MakeForm();
  form->show();
  Choose(*form, base_ + "/store");
  form->SaveConfiguration();
  ASSERT_EQ(owner_.saved, 1);
  const std::string setPath =
      StationSettingsPath(PathRules(PathStyle::kPosix), base_ + "/store", "POSTE1");
  ASSERT_TRUE(fs::exists(setPath));
  {
    StationSettings set;
    ASSERT_TRUE(LoadStationSettings(fs_, dialogs_, set, base_ + "/store", "POSTE1",
                                    PathRules(PathStyle::kPosix)));
    set.directories = {base_ + "/other"};
    ASSERT_TRUE(SaveBackupSet(dialogs_, set));
  }
  fs::create_directories(base_ + "/other/inner");
  const std::string iniBefore = Ini();
  const std::string refusal =
      FillText(kStoreInBackedUpFolder, {base_ + "/other", base_ + "/other/inner"});

  // Chosen with the picker: refused at once, the field keeps the store.
  dialogs_.Clear();
  Choose(*form, base_ + "/other/inner");
  EXPECT_EQ(dialogs_.Texts(DialogKind::Warning), std::vector<std::string>{refusal});
  EXPECT_EQ(Text(*form, "EditChemin"), base_ + "/store");

  // Already in the field when the set changed: refused at validation, nothing
  // written and no marker left in the refused folder.
  SetText(*form, "EditChemin", (base_ + "/other/inner").c_str());
  dialogs_.Clear();
  form->SaveConfiguration();
  EXPECT_EQ(dialogs_.Texts(DialogKind::Warning), std::vector<std::string>{refusal});
  EXPECT_EQ(Ini(), iniBefore);
  EXPECT_EQ(owner_.saved, 1);
  EXPECT_TRUE(fs::is_empty(base_ + "/other/inner"));
}

TEST_F(ConfigurationDialogTest, AStoreFolderGoneWhileTheWindowWasOpenIsSaidAndNothingWritten) {
  fs::create_directories(base_ + "/gone");
  auto form = MakeForm();
  form->show();
  Choose(*form, base_ + "/gone");
  ASSERT_EQ(Text(*form, "EditChemin"), base_ + "/gone");
  fs::remove(base_ + "/gone");
  dialogs_.Clear();
  form->SaveConfiguration();
  EXPECT_EQ(dialogs_.Texts(DialogKind::Message),
            std::vector<std::string>{FillText(kRootGone, {base_ + "/gone"})});
  EXPECT_EQ(Ini(), DefaultProgramSettingsText());
  EXPECT_EQ(owner_.saved, 0);
  EXPECT_FALSE(fs::exists(base_ + "/gone"));
  EXPECT_TRUE(form->isVisible());
}

TEST_F(ConfigurationDialogTest, ValidationWritesTheTextsAsTypedAndCreatesTheStationFile) {
  auto form = MakeForm();
  form->show();
  const std::string root = base_ + "/store";
  Choose(*form, root);
  EXPECT_TRUE(dialogs_.calls().empty());  // no root yet: nothing to confirm
  EXPECT_EQ(picker_.titles, std::vector<std::string>{"Choisissez un répertoire"});
  EXPECT_EQ(picker_.newStyles, std::vector<bool>{true});
  SetText(*form, "MaxSave", "1");
  SetText(*form, "HeurePref", "07");
  SetText(*form, "EditMinute", "");
  fs::permissions(program_ + "/VARNOKET.INI", fs::perms::owner_read);

  form->SaveConfiguration();
  EXPECT_TRUE(dialogs_.calls().empty());
  // The chosen folder is marked as the store, and its id recorded.
  const auto marker = ReadStoreMarker(DefaultFileSystem(), root);
  ASSERT_TRUE(marker);
  EXPECT_EQ(Ini(), "[PARAMS]\r\nRACINE=" + root +
                       "\r\nHEURE=07\r\nMINUTE=0\r\nMAXSAVE=1\r\nSTOREID=" + marker->id + "\r\n");
  EXPECT_EQ(form->Settings().backupRoot, root);
  EXPECT_EQ(form->Settings().preferredHour, 7);
  EXPECT_EQ(form->Settings().preferredMinute, 0);
  EXPECT_EQ(form->Settings().daysKept, 2);
  EXPECT_EQ(Text(*form, "MaxSave"), "2");
  EXPECT_FALSE(fs::exists(root + "/_temp_.txt"));

  const std::string station = root + "/POSTE1/POSTE1.ini";
  EXPECT_EQ(ReadFile(station), "[PARAMS]\r\nLASTBACKUP=31/12/2002\r\nDOSSIERS_CACHES=1\r\n");
  EXPECT_EQ(owner_.station.path, station);
  EXPECT_TRUE(owner_.station.file != nullptr);
  EXPECT_EQ(owner_.station.lastBackupDate, KeptDay("31/12/2002"));
  EXPECT_EQ(owner_.saved, 1);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(form->result(), QDialog::Accepted);
}

TEST_F(ConfigurationDialogTest, ChangingAnExistingRootAsksAndCancelKeepsTheOldOne) {
  WriteFile(program_ + "/VARNOKET.INI", "[PARAMS]\r\nRACINE=" + base_ + "/store\r\n");
  auto form = MakeForm();
  form->show();
  dialogs_.QueueAnswer(DialogAnswer::kCancel);
  Choose(*form, base_ + "/other");
  ASSERT_EQ(dialogs_.calls().size(), 1u);
  EXPECT_EQ(dialogs_.calls()[0].kind, DialogKind::Warning);
  EXPECT_EQ(dialogs_.calls()[0].text, kRootChangeWarning);
  EXPECT_EQ(dialogs_.calls()[0].buttons, DialogButtons::kOkCancel);
  EXPECT_EQ(Text(*form, "EditChemin"), base_ + "/store");

  dialogs_.QueueAnswer(DialogAnswer::kOk);
  Choose(*form, base_ + "/other");
  EXPECT_EQ(Text(*form, "EditChemin"), base_ + "/other");
  // Nothing is saved until validation.
  EXPECT_EQ(form->Settings().backupRoot, base_ + "/store");
}

TEST_F(ConfigurationDialogTest, RootsThatAreMissingRemoteOrOnNoPresentDriveAreRefused) {
  auto form = MakeForm();
  form->show();
  Choose(*form, "");  // cancelled
  EXPECT_TRUE(dialogs_.calls().empty());

  Choose(*form, base_ + "/missing");
  EXPECT_EQ(
      dialogs_.Texts(DialogKind::Error),
      std::vector<std::string>{"Le répertoire (" + base_ + "/missing) n'est pas accessible !"});
  dialogs_.Clear();
  Choose(*form, base_ + "/nfs");
  EXPECT_EQ(dialogs_.Texts(DialogKind::Message), std::vector<std::string>{kRootOnShare});
  EXPECT_EQ(Text(*form, "EditChemin"), "");

  // A stick with its medium is a local drive.
  dialogs_.Clear();
  Choose(*form, base_ + "/usb");
  EXPECT_TRUE(dialogs_.calls().empty());
  EXPECT_EQ(Text(*form, "EditChemin"), base_ + "/usb");

  // No mount holds the folder any more: no drive is present there.
  WriteFile(base_ + "/mountinfo", "40 21 0:50 / " + base_ + "/nfs rw - nfs4 srv:/export rw\n");
  SetText(*form, "EditChemin", "");
  Choose(*form, base_ + "/store");
  EXPECT_EQ(dialogs_.Texts(DialogKind::Message), std::vector<std::string>{kRootNotLocal});
  EXPECT_EQ(Text(*form, "EditChemin"), "");
}

TEST_F(ConfigurationDialogTest, AWriteProtectedRootIsRefusedAtValidationNotWhenChosen) {
  WriteProtectedFileSystem protectedFs;
  auto form = MakeForm(&protectedFs);
  form->show();
  Choose(*form, base_ + "/store");
  EXPECT_EQ(Text(*form, "EditChemin"), base_ + "/store");
  EXPECT_TRUE(dialogs_.calls().empty());
  form->SaveConfiguration();
  EXPECT_EQ(dialogs_.Texts(DialogKind::Message), std::vector<std::string>{kRootNotWritable});
  EXPECT_EQ(Ini(), DefaultProgramSettingsText());
  EXPECT_EQ(form->Settings().backupRoot, "");
  EXPECT_EQ(owner_.saved, 0);
  EXPECT_TRUE(form->isVisible());
}

TEST_F(ConfigurationDialogTest, AStationFileThatCannotBeCreatedKeepsTheDialogOpen) {
  auto form = MakeForm();
  form->show();
  const std::string root = base_ + "/store";
  WriteFile(root + "/POSTE1", "a file where the station folder should be");
  Choose(*form, root);
  form->SaveConfiguration();
  ASSERT_EQ(dialogs_.Count(DialogKind::Error), 1u);
  EXPECT_EQ(dialogs_.Texts(DialogKind::Error)[0].rfind("Le fichier ini (" + root, 0), 0u);
  // The settings were saved before the station file was tried.
  EXPECT_EQ(form->Settings().backupRoot, root);
  EXPECT_EQ(owner_.saved, 0);
  EXPECT_TRUE(form->isVisible());
}

}  // namespace
}  // namespace varnoket
