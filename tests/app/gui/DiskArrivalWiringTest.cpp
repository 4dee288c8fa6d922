// A program started while the store's disk is unplugged: it says so once,
// loads nothing and writes nothing at the empty mount point, and when the
// disk is mounted (a bind mount of a folder that holds the store) it loads
// the backup set and makes the due backup at once.
#include <filesystem>

#include "app/gui/MainWindowFixture.h"
#include "support/BindMount.h"

namespace varnoket::test {
namespace {

class DiskArrivalWiringTest : public MainWindowFixture {
 protected:
  void Start() {
    std::filesystem::create_directories(disk_);
    std::filesystem::create_directories(media_);
    const std::optional<StoreMarker> marker = MarkStore(DefaultFileSystem(), disk_);
    ASSERT_TRUE(marker);
    WriteFile(base_ + "/docs/a.txt", "alpha");
    WriteFile(programFolder_ + "/VARNOKET.INI", "[PARAMS]\r\nRACINE=" + media_ +
                                                    "\r\nHEURE=13\r\nMINUTE=0\r\nMAXSAVE=30\r\n"
                                                    "STOREID=" +
                                                    marker->id + "\r\n");
    WriteFile(disk_ + "/POSTE1/POSTE1.ini",
              "[PARAMS]\r\nLASTBACKUP=09/03/2026\r\n"
              "[DIRECTORIES]\r\nD1=" +
                  base_ + "/docs\r\n");
    Make();
    ShowAndSettle();
  }

  std::string Title() const { return form_->windowTitle().toStdString(); }

  std::string disk_ = base_ + "/disk";
  std::string media_ = base_ + "/media";
};

TEST_F(DiskArrivalWiringTest, TheSetIsLoadedAndTheDueRunMadeWhenTheDiskIsMounted) {
  Start();
  EXPECT_TRUE(std::filesystem::is_empty(media_)) << "nothing written at the mount point";
  EXPECT_NE(Title().find("Disque de sauvegarde absent"), std::string::npos) << Title();
  EXPECT_EQ(notifications_.Summaries(), std::vector<std::string>{"Disque de sauvegarde absent"});
  EXPECT_EQ(DirectoryList()->count(), 0);

  // A mount that is not the disk: still absent, not told again.
  form_->MountsChanged();
  EXPECT_EQ(notifications_.sent.size(), 1u);
  EXPECT_TRUE(std::filesystem::is_empty(media_));

  BindMount disk(disk_, media_);
  if (!disk.Mounted()) GTEST_SKIP() << "this user may not mount (a bind mount was refused)";
  form_->MountsChanged();
  EXPECT_EQ(ListTexts(DirectoryList()), std::vector<std::string>{base_ + "/docs"});
  EXPECT_EQ(form_->LastOutcome(), BackupOutcome::kCompleted);
  EXPECT_TRUE(std::filesystem::exists(disk_ + "/POSTE1/10032026/filelist.txt"));
  EXPECT_NE(Title().find("Dernière sauvegarde réussie : 10/03/2026"), std::string::npos) << Title();
}

}  // namespace
}  // namespace varnoket::test
