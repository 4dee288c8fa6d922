// The message boxes as a person meets them, read on screen: the
// configuration window's refusals, the boxes every window shows through
// QtDialogs, and the restore's question about files already there.
#include <gtest/gtest.h>

#include <QLocale>
#include <string>

#include "ShownLanguage.h"
#include "platform/DriveInfo.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"
#include "platform/gui/language/ProgramLanguage.h"
#include "restore/gui/RestoreChoiceBoxes.h"
#include "restore/gui/RestoreWindow.h"
#include "settings/ConfigurationRules.h"
#include "settings/gui/ConfigurationDialog.h"
#include "support/TempDir.h"
#include "support/gui/FakeFolderPicker.h"
#include "ui/gui/QtDialogs.h"

namespace varnoket {
namespace {

using test::BoxTexts;
using test::Either;
using test::ExpectShownInLanguage;
using test::TextsOfNextBox;

class BoxesLanguageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InstallProgramLanguage(QLocale::system()); }
  static void TearDownTestSuite() { InstallProgramLanguage(QLocale::c()); }

  static void ExpectBoxInLanguage(const BoxTexts& box, const std::string& where) {
    ExpectShownInLanguage(box.title, where + ", title");
    ExpectShownInLanguage(box.text, where + ", text");
    for (const std::string& button : box.buttons) {
      if (button != "OK") ExpectShownInLanguage(button, where + ", button " + button);
    }
  }
};

TEST_F(BoxesLanguageTest, TheConfigurationWindowsRefusalsAreInTheLanguage) {
  test::TempDir dir;
  PosixFileSystem fs;
  QtDialogs dialogs;
  test::FakeFolderPicker picker;
  DriveInfo drives;
  ConfigurationDialog form(fs, dialogs, picker, drives, dir.path());

  // A folder that is not there: an error box with the path kept as it is.
  picker.answers.push_back(dir.path() + "/gone");
  const BoxTexts gone = TextsOfNextBox([&] { form.ChooseBackupRoot(); });
  ExpectBoxInLanguage(gone, "the refused folder's box");
  EXPECT_EQ(gone.title, Either("Erreur", "Error"));
  EXPECT_NE(gone.text.find(dir.path() + "/gone"), std::string::npos) << gone.text;
  EXPECT_EQ(gone.buttons, std::vector<std::string>{"OK"});
}

TEST_F(BoxesLanguageTest, TheBoxesButtonsAndTitlesAreInTheLanguage) {
  QtDialogs dialogs;
  const BoxTexts question =
      TextsOfNextBox([&] { dialogs.Warning(kRootChangeWarning, DialogButtons::kOkCancel); });
  ExpectBoxInLanguage(question, "the store change question");
  EXPECT_EQ(question.title, Either("Avertissement", "Warning"));
  EXPECT_EQ(question.buttons, (std::vector<std::string>{"OK", Either("Annuler", "Cancel")}));

  const BoxTexts yesNo = TextsOfNextBox(
      [&] { dialogs.Error(FillText(kRootNotAccessible, {"/media/x"}), DialogButtons::kYesNo); });
  EXPECT_EQ(yesNo.buttons, (std::vector<std::string>{Either("Oui", "Yes"), Either("Non", "No")}));
  EXPECT_EQ(yesNo.text, Either("Le répertoire (/media/x) n'est pas accessible !",
                               "The folder (/media/x) is not accessible!"));
}

TEST_F(BoxesLanguageTest, TheRestoresQuestionOnExistingFilesIsInTheLanguage) {
  DesktopExistingFilesQuestion question(nullptr);
  const BoxTexts box = TextsOfNextBox([&] { question.Ask(3); });
  ExpectBoxInLanguage(box, "the existing files question");
  EXPECT_EQ(box.buttons,
            (std::vector<std::string>{Either("&Remplacer", "&Replace"),
                                      Either("&Garder les deux", "&Keep both"),
                                      Either("&Ignorer", "&Skip"), Either("Annuler", "Cancel")}));
  EXPECT_EQ(box.text.rfind("3 ", 0), 0u) << box.text;
}

TEST_F(BoxesLanguageTest, TheRestoreWindowsComposedRefusalsAreInTheLanguage) {
  // What the restore window hands to its boxes, translated as QtDialogs
  // shows it.
  for (const std::string& text :
       {MissingStationFolderText("/media/x/STATION"), UnreadableFileListText("/media/x/list"),
        DestinationInStoreText("/media/x/a", "/media/x"), DestinationNotAFolderText("/tmp/a"),
        SharedDestinationText("/tmp/a"), std::string(kNoDayText), std::string(kChangeDayQuestion),
        std::string(kNoFileChosenText), std::string(kNoDayChosenText)})
    ExpectShownInLanguage(TranslateMessage(text), text);
}

TEST_F(BoxesLanguageTest, FileErrorsShownInABoxAreInTheLanguage) {
  // A settings file the program cannot read, a folder in its place: the
  // error's text goes to a box whole, the path and the system's reason (in
  // the system's language) inside it.
  test::TempDir dir;
  PosixFileSystem fs;
  const std::string path = dir.path() + "/settings.ini";
  ASSERT_TRUE(fs.CreateDirectories(path));
  IniFile ini(fs, path);
  std::string what;
  try {
    ini.WriteString("Section", "Key", "1");
  } catch (const IniError& e) {
    what = e.what();
  }
  ASSERT_FALSE(what.empty());
  const std::string shown = TranslateMessage(what);
  EXPECT_EQ(
      shown.rfind(Either("Impossible de lire le fichier ", "Cannot read the file ") + path, 0), 0u)
      << shown;
}

}  // namespace
}  // namespace varnoket
