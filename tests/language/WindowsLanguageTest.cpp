// Every text a window carries (its title, labels, buttons, check boxes,
// tool tips and column headers) is in the shown language: one French text
// left under an English locale, or an English one under another locale,
// fails the window it is in.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTableWidget>
#include <QWidget>
#include <string>

#include "ShownLanguage.h"
#include "platform/DriveInfo.h"
#include "platform/FileSystem.h"
#include "platform/gui/language/ProgramLanguage.h"
#include "restore/gui/RestoreReportWindow.h"
#include "settings/gui/ConfigurationDialog.h"
#include "settings/gui/ExclusionDialog.h"
#include "support/FakeDialogs.h"
#include "support/TempDir.h"
#include "support/gui/FakeFolderPicker.h"
#include "ui/gui/ErrorWindow.h"
#include "ui/gui/LogViewer.h"

namespace varnoket {
namespace {

using test::ExpectShownInLanguage;

class WindowsLanguageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InstallProgramLanguage(QLocale::system()); }
  static void TearDownTestSuite() { InstallProgramLanguage(QLocale::c()); }

  // Checks every text of `window` that says something; returns how many.
  static int ExpectWindowInLanguage(QWidget& window, const std::string& name) {
    int checked = 0;
    const auto check = [&](const QString& text, const std::string& where) {
      // A lone word or a name ("OK", "Varnoket") is in no language.
      if (!test::LooksFrench(text.toStdString()) && !test::LooksEnglish(text.toStdString())) return;
      ExpectShownInLanguage(text.toStdString(), name + ", " + where);
      ++checked;
    };
    check(window.windowTitle(), "title");
    check(window.toolTip(), "tool tip");
    for (QWidget* child : window.findChildren<QWidget*>()) {
      const std::string where = child->objectName().toStdString();
      check(child->toolTip(), where + " tool tip");
      if (auto* label = qobject_cast<QLabel*>(child)) check(label->text(), where);
      if (auto* button = qobject_cast<QAbstractButton*>(child)) check(button->text(), where);
      if (auto* table = qobject_cast<QTableWidget*>(child)) {
        for (int column = 0; column < table->columnCount(); ++column) {
          if (const QTableWidgetItem* header = table->horizontalHeaderItem(column))
            check(header->text(), where + " header");
        }
      }
    }
    return checked;
  }
};

TEST_F(WindowsLanguageTest, TheSettingsWindowsAreWhollyInTheLanguage) {
  test::TempDir dir;
  PosixFileSystem fs;
  test::FakeDialogs dialogs;
  test::FakeFolderPicker picker;
  DriveInfo drives;
  ConfigurationDialog configuration(fs, dialogs, picker, drives, dir.path());
  EXPECT_GT(ExpectWindowInLanguage(configuration, "configuration"), 5);
  ExclusionDialog exclusions(dialogs);
  EXPECT_GT(ExpectWindowInLanguage(exclusions, "exclusions"), 1);
}

TEST_F(WindowsLanguageTest, TheReportAndLogWindowsAreWhollyInTheLanguage) {
  test::FakeDialogs dialogs;
  RestoreReportWindow report(dialogs);
  EXPECT_GT(ExpectWindowInLanguage(report, "restore report"), 1);
  ErrorWindow errors;
  EXPECT_GT(ExpectWindowInLanguage(errors, "error window"), 0);
  LogViewer log;
  EXPECT_GT(ExpectWindowInLanguage(log, "log viewer"), 0);
}

}  // namespace
}  // namespace varnoket
