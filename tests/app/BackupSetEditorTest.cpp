// The backup set's editing rules without a window: which picked folder joins
// the list and in which order, the question before one leaves, and the
// filters, over real folders and a hand-written mount table.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/BackupSetEditor.h"
#include "settings/StoreMarker.h"
#include "support/FakeDialogs.h"
#include "support/TempDir.h"
#include "support/gui/FakeFolderPicker.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

class BackupSetEditorTest : public ::testing::Test {
 protected:
  BackupSetEditorTest() : base_(fsys::canonical(dir_.path()).string()) {
    root_ = base_ + "/store";
    fsys::create_directories(root_);
    MarkStore(DefaultFileSystem(), root_);
    fsys::create_directories(base_ + "/ram");
    WriteFile(base_ + "/mountinfo",
              "21 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
              "40 21 0:50 / " +
                  base_ + "/ram rw - tmpfs none rw\n");
  }

  // Picks `folder` and tries to add it.
  bool Add(const std::string& folder) {
    picker_.answers = {folder};
    return editor_.AddDirectory(root_);
  }

  TempDir dir_;
  std::string base_;
  std::string root_;
  FakeDialogs dialogs_;
  FakeFolderPicker picker_;
  DriveInfo drives_{base_ + "/mountinfo", base_ + "/block"};
  StationSettings station_;
  BackupSetEditor editor_{DefaultFileSystem(), dialogs_, picker_, drives_, station_};
};

TEST_F(BackupSetEditorTest, AFolderJoinsOnlyWhenEveryRuleAllowsIt) {
  EXPECT_FALSE(editor_.AddDirectory(""));
  EXPECT_TRUE(picker_.titles.empty());  // no root: nothing asked
  EXPECT_FALSE(Add(""));                // cancelled: nothing said
  EXPECT_EQ(dialogs_.calls().size(), 1u);

  for (const std::string& refused : {base_ + "/missing", root_, base_, base_ + "/ram"}) {
    dialogs_.Clear();
    EXPECT_FALSE(Add(refused)) << refused;
    EXPECT_EQ(dialogs_.calls().size(), 1u) << refused;
  }
  EXPECT_TRUE(station_.directories.empty());

  fsys::create_directories(base_ + "/b");
  fsys::create_directories(base_ + "/A");
  dialogs_.Clear();
  EXPECT_TRUE(Add(base_ + "/b/"));
  EXPECT_TRUE(Add(base_ + "/A"));
  EXPECT_TRUE(dialogs_.calls().empty());
  // Sorted as the list shows them, the trailing separator dropped.
  EXPECT_EQ(station_.directories, (std::vector<std::string>{base_ + "/A", base_ + "/b"}));
  EXPECT_FALSE(Add(base_ + "/b"));
  EXPECT_EQ(dialogs_.Texts(DialogKind::Message),
            std::vector<std::string>{"Ce répertoire est déjà présent dans la liste !"});
}

TEST_F(BackupSetEditorTest, ADirectoryLeavesOnlyOnceTheUserAgrees) {
  station_.directories = {"/a", "/b"};
  dialogs_.QueueAnswer(DialogAnswer::kCancel);
  EXPECT_FALSE(editor_.RemoveDirectory(0));
  EXPECT_EQ(dialogs_.calls()[0].buttons, DialogButtons::kOkCancel);
  EXPECT_TRUE(editor_.RemoveDirectory(0));
  EXPECT_EQ(station_.directories, std::vector<std::string>{"/b"});
  EXPECT_FALSE(editor_.RemoveDirectory(5));
  EXPECT_EQ(dialogs_.calls().size(), 2u);
}

TEST_F(BackupSetEditorTest, FiltersKeepListOrderAndAreSavedToTheStationFile) {
  ASSERT_TRUE(LoadStationSettings(DefaultFileSystem(), dialogs_, station_, root_, "POSTE1",
                                  PathRules(PathStyle::kPosix)));
  station_.exclusions.clear();
  editor_.AddExclusion("*.tmp");
  editor_.AddExclusion("*.BAK");
  editor_.AddExclusion("*.log");
  EXPECT_EQ(station_.exclusions, (std::vector<std::string>{"*.BAK", "*.log", "*.tmp"}));
  editor_.RemoveExclusion(1);
  editor_.RemoveExclusion(9);
  EXPECT_EQ(station_.exclusions, (std::vector<std::string>{"*.BAK", "*.tmp"}));
  editor_.Save();
  const std::string ini = ReadFile(root_ + "/POSTE1/POSTE1.ini");
  EXPECT_NE(ini.find("*.BAK"), std::string::npos) << ini;
  EXPECT_EQ(ini.find("*.log"), std::string::npos) << ini;
}

}  // namespace
}  // namespace varnoket::test
