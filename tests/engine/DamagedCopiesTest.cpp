// Damage heals: an unchanged file whose stored copy is missing (deleted, its
// day folder gone, cut short) or was found damaged by a check is stored
// again by the next run, once, and the new day restores it.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/DamagedCopies.h"
#include "engine/FileRecord.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

// Counts the looks (Stat) at paths below the folders of `days` other than
// at their lists.
class CountingFileSystem final : public PosixFileSystem {
 public:
  using FileSystem::Stat;
  std::optional<DirEntry> Stat(const std::string& path, FsStatus& why) override {
    for (const std::string& day : days) {
      if (path.rfind(day + "/", 0) == 0 && !path.ends_with("/filelist.txt")) ++stats;
    }
    return PosixFileSystem::Stat(path, why);
  }
  std::vector<std::string> days;
  long stats = 0;
};

class DamagedCopiesTest : public ::testing::Test {
 protected:
  std::string Stored(const std::string& day, const std::string& relative) const {
    return f.DayFolder(day) + "/" + f.ctx.rules.StoredName(f.source + "/" + relative);
  }
  std::string StoredName(const std::string& relative) const {
    return f.ctx.rules.StoredName(f.source + "/" + relative);
  }
  bool Logged(const std::string& line) const {
    const auto& logged = f.host.logged;
    return std::find(logged.begin(), logged.end(), line) != logged.end();
  }
  // Backs up a day on which `changed` was edited; the day must restore the
  // whole source.
  void BackUpDay(int day, const std::string& changed) {
    f.SetDay(day, 3, 2006);
    f.Write(changed, "edited on day " + std::to_string(day));
    ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted) << day;
    const auto restored = f.RestoreDay(DayFolderName({day, 3, 2006}));
    EXPECT_EQ(restored.errors, 0) << day;
    EXPECT_EQ(restored.files, f.Snapshot()) << day;
  }
  std::string DamagedFile() const {
    return f.ctx.Layout().StationFolder() + "/" + kDamagedCopiesName;
  }

  StoreFixture f;
};

TEST_F(DamagedCopiesTest, AMissingOrCutShortCopyOfAnUnchangedFileIsStoredAgain) {
  f.Write("kept.txt", "never changes");
  f.Write("deleted.txt", "its copy will be deleted by hand");
  f.Write("cut.txt", "its copy will be cut short");
  f.Write("twin-a.txt", "twins sharing one copy");
  f.Write("twin-b.txt", "twins sharing one copy");
  BackUpDay(1, "edited.txt");
  fsys::remove(Stored("01032006", "deleted.txt"));
  fsys::resize_file(Stored("01032006", "cut.txt"), 13);
  fsys::remove(Stored("01032006", "twin-a.txt"));

  BackUpDay(2, "edited.txt");
  EXPECT_TRUE(Logged("Copies absentes ou endommagées stockées à nouveau : 3 fichier(s)."));
  EXPECT_TRUE(fsys::exists(Stored("02032006", "deleted.txt")));
  EXPECT_TRUE(fsys::exists(Stored("02032006", "cut.txt")));
  EXPECT_TRUE(fsys::exists(Stored("02032006", "twin-a.txt")));
  EXPECT_FALSE(fsys::exists(Stored("02032006", "twin-b.txt")));  // still one copy for both
  EXPECT_FALSE(fsys::exists(Stored("02032006", "kept.txt")));

  // Healed: the next run stores none of them again.
  BackUpDay(3, "edited.txt");
  EXPECT_FALSE(fsys::exists(Stored("03032006", "deleted.txt")));
  EXPECT_FALSE(fsys::exists(Stored("03032006", "twin-a.txt")));
  EXPECT_FALSE(Logged("Copies absentes ou endommagées stockées à nouveau : 3 fichier(s)."));
}

TEST_F(DamagedCopiesTest, ADayFolderLostWithItsCopiesMakesThemStoredAgain) {
  f.Write("old.txt", "stored on the first day only");
  BackUpDay(1, "edited.txt");
  BackUpDay(2, "edited.txt");
  fsys::remove_all(f.DayFolder("01032006"));

  BackUpDay(3, "edited.txt");
  EXPECT_TRUE(Logged("Copies absentes ou endommagées stockées à nouveau : 1 fichier(s)."));
  EXPECT_TRUE(fsys::exists(Stored("03032006", "old.txt")));
}

TEST_F(DamagedCopiesTest, ACopyACheckFoundDamagedIsStoredAgainOnceAndItsLineGoesWithItsDay) {
  f.daysKept = 3;
  f.Write("a.txt", "found damaged by a check");
  BackUpDay(1, "edited.txt");
  const StoreLayout layout = f.ctx.Layout();
  // Refused: no day, another station's day, names no list holds.
  EXPECT_FALSE(RecordDamagedCopy(f.fs, layout, "1032006", StoredName("a.txt")));
  EXPECT_FALSE(RecordDamagedCopy(f.fs, layout, f.root + "/OTHER/01032006", StoredName("a.txt")));
  EXPECT_FALSE(RecordDamagedCopy(f.fs, layout, "01032006", "../a.txt.ZZ"));
  EXPECT_FALSE(RecordDamagedCopy(f.fs, layout, "01032006", "a|b.ZZ"));
  EXPECT_FALSE(fsys::exists(DamagedFile()));
  ASSERT_TRUE(RecordDamagedCopy(f.fs, layout, f.DayFolder("01032006"), StoredName("a.txt")));
  EXPECT_EQ(ReadFile(DamagedFile()), "01032006|" + StoredName("a.txt") + "\r\n");

  BackUpDay(2, "edited.txt");
  EXPECT_TRUE(Logged("Copies absentes ou endommagées stockées à nouveau : 1 fichier(s)."));
  EXPECT_TRUE(fsys::exists(Stored("02032006", "a.txt")));
  BackUpDay(3, "edited.txt");
  EXPECT_FALSE(fsys::exists(Stored("03032006", "a.txt")));
  // The damaged copy's day is merged away: its line goes, and the file with
  // it once empty.
  EXPECT_TRUE(fsys::exists(DamagedFile()));
  BackUpDay(4, "edited.txt");
  ASSERT_EQ(f.Days(), (std::vector<std::string>{"02032006", "03032006", "04032006"}));
  EXPECT_FALSE(fsys::exists(DamagedFile()));
  EXPECT_FALSE(fsys::exists(Stored("04032006", "a.txt")));
}

TEST_F(DamagedCopiesTest, LinesThatDoNotParseAreIgnoredAndPruned) {
  f.Write("a.txt", "a");
  f.Write("b.txt", "b");
  BackUpDay(1, "edited.txt");
  const std::string good = "01032006|" + StoredName("b.txt");
  WriteFile(DamagedFile(), std::string("garbage\r\n01032006|\r\n01032006|/abs.ZZ\r\n") +
                               "0103200x|" + StoredName("a.txt") + "\r\n" + "01032006|" +
                               StoredName("a.txt") + "|extra\r\n" + good + "\r\n" + "31122005|" +
                               StoredName("a.txt") + "\r\n" + std::string("\0\xff", 2));
  const DamagedCopies read = DamagedCopies::Read(f.fs, f.ctx.Layout());
  EXPECT_TRUE(read.Lists("01032006", StoredName("b.txt")));
  EXPECT_FALSE(read.Lists("01032006", StoredName("a.txt")));
  EXPECT_TRUE(read.Lists("31122005", StoredName("a.txt")));  // no backup day, but a copy's line

  BackUpDay(2, "edited.txt");
  EXPECT_FALSE(fsys::exists(Stored("02032006", "a.txt")));
  EXPECT_TRUE(fsys::exists(Stored("02032006", "b.txt")));
  EXPECT_EQ(ReadFile(DamagedFile()), good + "\r\n");
}

TEST(DamagedCopiesCost, TheRunLooksForCopiesInOneWalkNotOncePerFile) {
  CountingFileSystem disk;
  StoreFixture f(disk);
  for (int i = 0; i < 150; ++i) {
    f.Write("d" + std::to_string(i % 10) + "/" + std::to_string(i), "file " + std::to_string(i));
  }
  for (int day = 1; day <= 3; ++day) {
    f.SetDay(day, 3, 2006);
    f.Write("edited.txt", std::to_string(day));
    ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  }
  for (const auto& day : f.Days()) disk.days.push_back(f.DayFolder(day));
  f.SetDay(4, 3, 2006);
  f.Write("edited.txt", "4");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_LT(disk.stats, 30) << "looks into the older days for 150 unchanged files";
  disk.days.clear();
  EXPECT_EQ(f.RestoreDay("04032006").files, f.Snapshot());
}

}  // namespace
}  // namespace varnoket::test
