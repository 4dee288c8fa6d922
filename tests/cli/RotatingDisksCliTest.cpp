// Two backup disks in turn at one mount point, as people rotate them: each
// is a real ext4 image on a loop device, swapped under the same folder. The
// tool writes to the one that is plugged in, skips the other with a line,
// keeps one backup set across both, and reads from the one named.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "cli/CliRunner.h"
#include "store-disk/LoopDisk.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

class RotatingDisksCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(tmp / "src/report.txt", "first words\n");
    fsys::create_directories(tmp / "prog");
    diskA = std::make_unique<LoopDisk>(tmp / "a.img", point, 32);
    if (!diskA->Mounted()) GTEST_SKIP() << diskA->why();
    prog = "--program-folder " + Quoted(tmp / "prog") + " --station PC ";
    const CliOutput configured = Cli("config store " + Quoted(point));
    ASSERT_EQ(configured.code, 0) << configured.out;
    ASSERT_EQ(Cli("add " + Quoted(tmp / "src")).code, 0);
  }

  CliOutput Cli(const std::string& args) { return RunTool(prog + args, "", true); }

  // Puts disk B (made on first use) in place of A, or A in place of B.
  void PlugB() {
    ASSERT_TRUE(diskA->Unplug());
    if (!diskB) {
      diskB = std::make_unique<LoopDisk>(tmp / "b.img", point, 32);
      ASSERT_TRUE(diskB->Mounted()) << diskB->why();
    } else {
      ASSERT_TRUE(diskB->Plug());
    }
  }
  void PlugA() {
    ASSERT_TRUE(diskB->Unplug());
    ASSERT_TRUE(diskA->Plug());
  }
  // The day folders of the station on the disk plugged in now.
  size_t Days() const {
    size_t days = 0;
    if (!fsys::exists(point + "/PC")) return 0;
    for (const auto& e : fsys::directory_iterator(point + "/PC")) {
      const std::string name = e.path().filename().string();
      days += name.size() == 8 && name.find_first_not_of("0123456789") == std::string::npos;
    }
    return days;
  }

  TempDir tmp;
  std::string point = tmp / "media/BACKUP";
  std::unique_ptr<LoopDisk> diskA;
  std::unique_ptr<LoopDisk> diskB;
  std::string prog;
};

TEST_F(RotatingDisksCliTest, EachDiskIsWrittenWhenItIsThereAndTheSetFollowsTheLatestEdit) {
  ASSERT_EQ(Cli("backup").code, 0);
  ASSERT_EQ(Days(), 1u);

  // Disk B at the same mount point joins the list under its own marker.
  PlugB();
  CliOutput added = Cli("config store add " + Quoted(point));
  ASSERT_EQ(added.code, 0) << added.out;
  EXPECT_NE(added.out.find("Disque de sauvegarde B : " + point), std::string::npos) << added.out;
  EXPECT_EQ(Days(), 0u);

  // A is away: skipped with a line, B gets a whole backup of its own.
  CliOutput run = Cli("backup");
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_NE(run.out.find("Disque A (" + point + ") : absent"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Disque B (" + point + ") : sauvegarde terminée"), std::string::npos)
      << run.out;
  EXPECT_EQ(Days(), 1u);
  CliOutput status = Cli("status");
  EXPECT_NE(status.out.find("Disque A (" + point + ") : absent"), std::string::npos) << status.out;
  EXPECT_NE(status.out.find("Disque B (" + point + ") : branché"), std::string::npos) << status.out;

  // The set edited while B is plugged in reaches A when A comes back, and A
  // is backed up with it.
  WriteFile(tmp / "mail/inbox.txt", "new folder\n");
  ASSERT_EQ(Cli("add " + Quoted(tmp / "mail")).code, 0);
  PlugA();
  WriteFile(tmp / "src/report.txt", "second words, longer\n");
  run = Cli("backup");
  ASSERT_EQ(run.code, 0) << run.out;
  EXPECT_NE(run.out.find("gardé sur ce poste, plus récent"), std::string::npos) << run.out;
  EXPECT_NE(ReadFile(point + "/PC/PC.ini").find(tmp / "mail"), std::string::npos);

  // Reading names the disk: A is here, B is not.
  CliOutput restoreA = Cli("--store A restore " + Quoted(Cli("--store A days").out.substr(0, 10)) +
                           " --to " + Quoted(tmp / "out"));
  ASSERT_EQ(restoreA.code, 0) << restoreA.out;
  EXPECT_EQ(ReadFile(tmp / "out" + tmp.path() + "/src/report.txt"), "second words, longer\n");
  EXPECT_EQ(ReadFile(tmp / "out" + tmp.path() + "/mail/inbox.txt"), "new folder\n");
  EXPECT_EQ(Cli("--store B days").code, 6);
  EXPECT_EQ(Cli("--store C days").code, 2);

  // Neither disk: nothing is written in the empty mount point.
  ASSERT_TRUE(diskA->Unplug());
  run = Cli("backup");
  EXPECT_EQ(run.code, 6) << run.out;
  EXPECT_TRUE(fsys::is_empty(point));
}

TEST_F(RotatingDisksCliTest, ACopiedDiskImageOrANestedFolderIsRefusedAndNothingIsWritten) {
  ASSERT_EQ(Cli("backup").code, 0);
  const std::string before = ReadFile(tmp / "prog/VARNOKET.INI");
  // A byte copy of disk A carries A's marker: the same store twice.
  ASSERT_TRUE(diskA->Unplug());
  fsys::copy_file(tmp / "a.img", tmp / "copy.img");
  ASSERT_TRUE(diskA->Plug());
  LoopDisk copy(tmp / "copy.img", tmp / "media/COPY", 0);
  CliOutput refused = Cli("config store add " + Quoted(tmp / "media/COPY"));
  EXPECT_EQ(refused.code, 1) << refused.out;
  EXPECT_NE(refused.out.find("porte le marqueur du disque de sauvegarde A"), std::string::npos)
      << refused.out;
  // A folder inside the store, and a folder of the backup set.
  fsys::create_directories(point + "/inside");
  refused = Cli("config store add " + Quoted(point + "/inside"));
  EXPECT_EQ(refused.code, 1) << refused.out;
  EXPECT_NE(refused.out.find("l'un dans l'autre"), std::string::npos) << refused.out;
  refused = Cli("config store add " + Quoted(tmp / "src"));
  EXPECT_EQ(refused.code, 1) << refused.out;
  // The first store moved inside another disk of the list.
  fsys::create_directories(tmp / "media/other");
  ASSERT_EQ(Cli("config store add " + Quoted(tmp / "media/other")).code, 0);
  const std::string listed = ReadFile(tmp / "prog/VARNOKET.INI");
  fsys::create_directories(tmp / "media/other/sub");
  refused = Cli("config store " + Quoted(tmp / "media/other/sub"));
  EXPECT_EQ(refused.code, 1) << refused.out;
  EXPECT_NE(refused.out.find("l'un dans l'autre"), std::string::npos) << refused.out;
  EXPECT_EQ(ReadFile(tmp / "prog/VARNOKET.INI"), listed);
  ASSERT_EQ(Cli("config store remove B").code, 0);
  EXPECT_EQ(ReadFile(tmp / "prog/VARNOKET.INI"), before);
  EXPECT_FALSE(fsys::exists(tmp / "src/VARNOKET.STORE"));
}

}  // namespace
}  // namespace varnoket::test
