#include <gtest/gtest.h>

#include <QMenu>
#include <QWidget>
#include <filesystem>
#include <vector>

#include "desktop/gui/DisabledWindows.h"
#include "desktop/gui/QtFolderPicker.h"
#include "support/FakeDialogs.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

TEST(QtFolderPicker, OtherWindowsAreDisabledWhileOpenAndRestoredAfter) {
  test::TempDir dir;
  test::FakeDialogs dialogs;
  std::filesystem::create_directories(dir / "data");
  std::filesystem::create_directory_symlink(dir / "data", dir / "link");
  QWidget main, already;
  main.show();
  already.setEnabled(false);
  already.show();

  bool mainEnabledInside = true;
  QFileDialog::Options seen;
  QString seenTitle;
  QtFolderPicker picker(dialogs, [&](const QString& title, QFileDialog::Options options) {
    mainEnabledInside = main.isEnabled();
    seen = options;
    seenTitle = title;
    return QString::fromStdString(dir / "link");
  });

  EXPECT_EQ(picker.BrowseForFolder("Choisissez un répertoire", false), dir / "data");
  EXPECT_FALSE(mainEnabledInside);
  EXPECT_EQ(seenTitle, QString::fromUtf8("Choisissez un répertoire"));
  EXPECT_TRUE(seen.testFlag(QFileDialog::ShowDirsOnly));
  EXPECT_TRUE(seen.testFlag(QFileDialog::DontResolveSymlinks));
  EXPECT_TRUE(seen.testFlag(QFileDialog::ReadOnly));
  EXPECT_TRUE(main.isEnabled());
  EXPECT_FALSE(already.isEnabled());

  picker.BrowseForFolder("t", true);
  EXPECT_FALSE(seen.testFlag(QFileDialog::ReadOnly));
}

TEST(QtFolderPicker, CancelGivesEmptyAndWindowsComeBackAfterAThrow) {
  test::FakeDialogs dialogs;
  QWidget main;
  main.show();
  QtFolderPicker cancelled(dialogs, [](const QString&, QFileDialog::Options) { return QString(); });
  EXPECT_EQ(cancelled.BrowseForFolder("t", false), "");

  QtFolderPicker failing(dialogs, [](const QString&, QFileDialog::Options) -> QString {
    throw std::runtime_error("picker failed");
  });
  EXPECT_THROW(failing.BrowseForFolder("t", false), std::runtime_error);
  EXPECT_TRUE(main.isEnabled());
}

TEST(DisabledWindows, WindowDestroyedMeanwhileIsSkipped) {
  auto gone = std::make_unique<QWidget>();
  QWidget kept;
  {
    DisabledWindows disabled;
    EXPECT_FALSE(kept.isEnabled());
    gone.reset();
  }
  EXPECT_TRUE(kept.isEnabled());
}

TEST(DisabledWindows, WindowsOwnedByAnotherComeBackWhateverTheOrder) {
  // The order in which the application lists its windows is its own; with
  // many menus owned by one window some come after it, some before.
  QWidget main;
  main.show();
  std::vector<QMenu*> menus;
  for (int i = 0; i < 16; ++i) menus.push_back(new QMenu(&main));
  QWidget ownedOff;
  ownedOff.setParent(&main, Qt::Window);
  ownedOff.setEnabled(false);
  {
    DisabledWindows disabled;
    for (QMenu* menu : menus) EXPECT_FALSE(menu->isEnabled());
  }
  EXPECT_TRUE(main.isEnabled());
  for (QMenu* menu : menus) EXPECT_TRUE(menu->isEnabled());
  EXPECT_FALSE(ownedOff.isEnabled());
}

}  // namespace
}  // namespace varnoket
