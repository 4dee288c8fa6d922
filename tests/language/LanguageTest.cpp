// The program's language follows the locale the test runs under (CTest runs
// this test under an English, a German and the C locale); VARNOKET_TEST_LANGUAGE
// names the language the windows must then show: "en" or "fr".
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTextBrowser>
#include <string>

#include "ShownLanguage.h"
#include "platform/DosDate.h"
#include "platform/DriveInfo.h"
#include "platform/FileSystem.h"
#include "platform/MessageText.h"
#include "platform/ShownFormat.h"
#include "platform/Translation.h"
#include "platform/gui/language/ProgramLanguage.h"
#include "restore/ShownValues.h"
#include "settings/ConfigurationRules.h"
#include "settings/gui/ConfigurationDialog.h"
#include "support/FakeDialogs.h"
#include "support/TempDir.h"
#include "support/gui/FakeFolderPicker.h"
#include "ui/gui/HelpWindow.h"

namespace varnoket {
namespace {

using test::Either;
using test::ExpectedLanguage;

class LanguageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InstallProgramLanguage(QLocale::system()); }
  static void TearDownTestSuite() { InstallProgramLanguage(QLocale::c()); }

  template <typename W>
  static std::string TextOf(QWidget& window, const char* name) {
    auto* widget = window.findChild<W*>(QString::fromUtf8(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget == nullptr ? "" : widget->text().toStdString();
  }
};

TEST_F(LanguageTest, TheLocaleChoosesTheCatalogue) {
  const std::string language = ExpectedLanguage() == "en" ? "en" : "";
  EXPECT_EQ(CatalogueLanguageFor(QLocale::system()).toStdString(), language)
      << QLocale::system().name().toStdString();
  EXPECT_EQ(CatalogueLanguageFor(QLocale(QStringLiteral("en_GB"))).toStdString(), "en");
  EXPECT_EQ(CatalogueLanguageFor(QLocale(QStringLiteral("de_DE"))).toStdString(), "");
  EXPECT_EQ(CatalogueLanguageFor(QLocale(QStringLiteral("fr_CA"))).toStdString(), "");
}

TEST_F(LanguageTest, TheConfigurationDialogShowsItsTextsInTheLanguage) {
  test::TempDir dir;
  PosixFileSystem fs;
  test::FakeDialogs dialogs;
  test::FakeFolderPicker picker;
  DriveInfo drives;
  ConfigurationDialog form(fs, dialogs, picker, drives, dir.path());

  EXPECT_EQ(form.toolTip().toStdString(), Either("Ecran de configuration", "Configuration screen"));
  EXPECT_EQ(TextOf<QLabel>(form, "VKLabel1"),
            Either("Dossier commun qui contiendra les sauvegardes",
                   "Shared folder that will hold the backups"));
  EXPECT_EQ(TextOf<QPushButton>(form, "VKBitBtn3"),
            Either("&Valider et mémoriser", "&Confirm and save"));
  EXPECT_EQ(TextOf<QPushButton>(form, "BitBtnFermer"), Either("&Fermer", "&Close"));
  // The folder picker's title is the window's text too.
  form.ChooseBackupRoot();
  ASSERT_EQ(picker.titles.size(), 1u);
  EXPECT_EQ(picker.titles[0], Either("Choisissez un répertoire", "Choose a folder"));
}

TEST_F(LanguageTest, TheHelpGuideIsInTheLanguage) {
  HelpWindow help;
  help.ShowHelp();
  auto* guide = help.findChild<QTextBrowser*>(QStringLiteral("RichEdit1"));
  ASSERT_NE(guide, nullptr);
  const std::string text = guide->toPlainText().toStdString();
  EXPECT_NE(text.find(Either("UTILISATION", "USING THE PROGRAM")), std::string::npos);
  EXPECT_EQ(text.find(Either("INSTALLATION AND SETUP", "INSTALLATION ET CONFIGURATION")),
            std::string::npos);
  EXPECT_EQ(help.windowTitle().toStdString(), Either("Aide Varnoket", "Varnoket Help"));
}

TEST_F(LanguageTest, QtsOwnDialogsSpeakTheProgramsLanguage) {
  // French for a locale without a catalogue: Qt's dialogs must not fall back
  // to English when the program's texts around them are French.
  QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text().toStdString(),
            Either("Annuler", "Cancel"));
  // The folder picker as the program opens it, Qt's own dialog.
  QFileDialog picker(nullptr, QStringLiteral("x"));
  picker.setOption(QFileDialog::DontUseNativeDialog);
  picker.setFileMode(QFileDialog::Directory);
  EXPECT_EQ(TextOf<QLabel>(picker, "lookInLabel"), Either("Voir dans :", "Look in:"));
}

TEST_F(LanguageTest, SizesFollowTheLanguageAndDatesTheLocale) {
  EXPECT_EQ(ByteSizeText(1536 * 1024, SizeStyle::kShort), Either("1,5 Mo", "1.5 MB"));
  EXPECT_EQ(ByteSizeText(12, SizeStyle::kShort), Either("12 o", "12 B"));
  EXPECT_EQ(ByteSizeText(int64_t{1234567}, SizeStyle::kExact),
            Either("1 234 567 o", "1,234,567 B"));
  // A logged size stays French under every locale.
  EXPECT_EQ(ByteSizeText(1536, SizeStyle::kLogged), "1,5 Ko");

  // Month first in the United States only; the C locale keeps the French form.
  const std::string locale = QLocale::system().name().toStdString();
  std::string day = "08/12/2026";
  std::string time = "08/12/2026 14:05:06";
  if (locale == "en_US") {
    day = "12/8/26";
    time = "12/8/26 2:05:06 PM";
  } else if (locale == "de_DE") {
    day = "08.12.26";
    time = "08.12.26 14:05:06";
  }
  EXPECT_EQ(DayFolderText("08122026"), day) << locale;
  EXPECT_EQ(DosDateText(PackDosDate(LocalDateTime{2026, 12, 8, 14, 5, 6, 0})), time) << locale;
}

TEST_F(LanguageTest, TheCoreMessagesAreShownInTheLanguage) {
  // A fixed refusal, and one composed with a path (the path is kept).
  EXPECT_EQ(TranslateMessage(kChooseRootFirst),
            Either(kChooseRootFirst, "You must choose a folder before confirming!"));
  EXPECT_EQ(TranslateMessage(FillText(kRootNotAccessible, {"/media/clé (2)"})),
            Either("Le répertoire (/media/clé (2)) n'est pas accessible !",
                   "The folder (/media/clé (2)) is not accessible!"));
}

}  // namespace
}  // namespace varnoket
