// Consolidation over many days: after every run each kept day restores what
// its source held that day, and the station holds no stored copy that no
// kept day's list names.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <filesystem>
#include <random>
#include <set>

#include "engine/DayFolders.h"
#include "engine/DaySet.h"
#include "engine/FileRecord.h"
#include "support/KeptDay.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

// Every stored copy of a day folder that no kept day's list names, every
// empty folder in a day folder and every station subfolder that is no day.
std::vector<std::string> NeededByNoKeptDay(StoreFixture& f) {
  std::set<std::string> named;
  const auto days = f.Days();
  for (const auto& day : days) {
    for (const auto& line : f.FileList(day)) {
      const auto rec = ParseFileRecord(line);
      if (rec && !rec->IsDirectory()) named.insert(rec->storedName);
    }
  }
  std::vector<std::string> found;
  for (const auto& e : fsys::directory_iterator(f.ctx.Layout().StationFolder())) {
    const std::string name = e.path().filename().string();
    if (e.is_directory() && std::find(days.begin(), days.end(), name) == days.end()) {
      found.push_back("folder " + name);
    }
  }
  for (const auto& day : days) {
    const fsys::path base = f.DayFolder(day);
    for (const auto& e : fsys::recursive_directory_iterator(base)) {
      const std::string rel = fsys::relative(e.path(), base).string();
      if (e.is_directory()) {
        if (fsys::is_empty(e.path())) found.push_back("empty folder " + day + "/" + rel);
      } else if (rel != kFileListName && rel != kDaySetName && named.count(rel) == 0) {
        found.push_back(day + "/" + rel);
      }
    }
  }
  return found;
}

// A backup set changed day after day by a seeded generator: renames,
// deletions, new files, twins that later part, contents that come back.
class ChangingSet {
 public:
  ChangingSet(StoreFixture& f, unsigned seed) : f_(f), gen_(seed) {
    for (int i = 0; i < 12; ++i) Write("f" + std::to_string(i) + ".txt", NewContent());
    Write("sub/twin-a.txt", "the same bytes twice");
    Write("other/twin-b.txt", "the same bytes twice");
  }

  void ChangeOneDay(int day) {
    for (int i = 0; i < 2; ++i) Rename(Pick(), "r" + std::to_string(++counter_) + ".txt");
    if (files_.size() > 8) Delete(Pick());
    Write("n" + std::to_string(++counter_) + ".txt", NewContent());
    const std::string changed = Pick();
    Write(changed, gen_() % 2 == 0 ? past_[gen_() % past_.size()] : NewContent());
    if (day % 3 == 0) Write("t" + std::to_string(++counter_) + ".txt", contents_[Pick()]);
    // The first twins part: one goes, the other is renamed later.
    if (day == 4) Delete("sub/twin-a.txt");
    if (day == 7) Rename("other/twin-b.txt", "moved-twin.txt");
  }

 private:
  std::string NewContent() { return "content " + std::to_string(gen_() % 1000000); }
  std::string Pick() {
    auto it = files_.begin();
    std::advance(it, static_cast<long>(gen_() % files_.size()));
    return *it;
  }
  void Write(const std::string& relative, std::string content) {
    const std::string path = f_.Write(relative, content);
    // A date of its own for every write: a change never hides behind an
    // equal size, checksum and date.
    time_ += 2;
    struct utimbuf times {
      time_, time_
    };
    EXPECT_EQ(::utime(path.c_str(), &times), 0);
    files_.insert(relative);
    contents_[relative] = content;
    past_.push_back(content);
  }
  void Rename(const std::string& from, const std::string& to) {
    if (files_.count(from) == 0) return;
    fsys::rename(f_.source + "/" + from, f_.source + "/" + to);
    files_.erase(from);
    files_.insert(to);
    contents_[to] = contents_[from];
    contents_.erase(from);
  }
  void Delete(const std::string& relative) {
    if (files_.count(relative) == 0) return;
    f_.Remove(relative);
    files_.erase(relative);
    contents_.erase(relative);
  }

  StoreFixture& f_;
  std::mt19937 gen_;
  std::set<std::string> files_;
  std::map<std::string, std::string> contents_;
  std::vector<std::string> past_;
  std::time_t time_ = 1141000000;
  int counter_ = 0;
};

class RetentionTest : public ::testing::TestWithParam<int> {};

TEST_P(RetentionTest, EveryKeptDayRestoresAndNoCopyOutlivesTheDaysThatNeedIt) {
  StoreFixture f;
  f.daysKept = GetParam();
  ChangingSet set(f, 20240 + static_cast<unsigned>(GetParam()));
  std::map<std::string, std::map<std::string, std::string>> expected;
  for (int day = 1; day <= 20; ++day) {
    if (day > 1) set.ChangeOneDay(day);
    f.SetDay(day, 3, 2006);
    expected[DayFolderName({day, 3, 2006})] = f.Snapshot();
    ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted) << "day " << day;
    const auto days = f.Days();
    EXPECT_EQ(days.size(), static_cast<size_t>(std::min(day, f.daysKept))) << "day " << day;
    for (const auto& kept : days) {
      const RestoredDay restored = f.RestoreDay(kept);
      EXPECT_EQ(restored.errors, 0) << "day " << day << ", kept " << kept;
      EXPECT_EQ(restored.files, expected[kept]) << "day " << day << ", kept " << kept;
    }
    EXPECT_EQ(NeededByNoKeptDay(f), std::vector<std::string>{}) << "day " << day;
  }
}

INSTANTIATE_TEST_SUITE_P(DaysKept, RetentionTest, ::testing::Values(2, 3, 4));

TEST(Retention, ACopyOnlyTheRunsOwnListNamesStaysWithTheMergedDay) {
  // Day 2's list no longer has a.txt, and the station settings still name
  // day 1 as the last backup (their rewrite was lost): day 3 compares with
  // day 1, finds a.txt back unchanged and keeps its day 1 copy.
  StoreFixture f;
  f.daysKept = 2;
  const std::string a = f.Write("a.txt", "alpha");
  struct utimbuf times {
    1141000000, 1141000000
  };
  ASSERT_EQ(::utime(a.c_str(), &times), 0);
  f.Write("b.txt", "beta");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  f.SetDay(2, 3, 2006);
  const std::string aBytes = ReadFile(a);
  f.Remove("a.txt");
  f.Write("c.txt", "gamma");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);

  f.SetDay(3, 3, 2006);
  WriteFile(a, aBytes);
  ASSERT_EQ(::utime(a.c_str(), &times), 0);
  f.station.lastBackupDate = KeptDay("01/03/2006");
  const auto day3 = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(f.Days(), (std::vector<std::string>{"02032006", "03032006"}));
  const std::string stored = f.ctx.rules.StoredName(a);
  EXPECT_FALSE(fsys::exists(f.DayFolder("03032006") + "/" + stored));  // not stored again
  EXPECT_TRUE(fsys::exists(f.DayFolder("02032006") + "/" + stored));   // kept by the merge
  EXPECT_EQ(f.RestoreDay("03032006").files, day3);
}

TEST(Retention, ASecondRunTheSameDayMergesNoFurtherDay) {
  StoreFixture f;
  f.daysKept = 2;
  std::map<std::string, std::map<std::string, std::string>> expected;
  for (int day = 1; day <= 3; ++day) {
    f.SetDay(day, 3, 2006);
    f.Write("day" + std::to_string(day) + ".txt", "written on day " + std::to_string(day));
    expected[DayFolderName({day, 3, 2006})] = f.Snapshot();
    ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  }
  f.Write("later.txt", "written later on day 3");
  expected["03032006"] = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(f.Days(), (std::vector<std::string>{"02032006", "03032006"}));
  for (const auto& day : f.Days()) EXPECT_EQ(f.RestoreDay(day).files, expected[day]) << day;
}

// The real file system, except that one file cannot be read.
class OneUnreadableFile final : public PosixFileSystem {
 public:
  std::unique_ptr<FileStream> OpenRead(const std::string& path) override {
    if (path == blocked) throw StreamError("Permission denied");
    return PosixFileSystem::OpenRead(path);
  }
  using FileSystem::ReadFile;
  std::optional<std::string> ReadFile(const std::string& path, FsStatus& why) override {
    if (path == blocked) {
      why = FsStatus::Failed(FsOp::kRead, path, EACCES);
      return std::nullopt;
    }
    return PosixFileSystem::ReadFile(path, why);
  }
  std::string blocked;
};

TEST(Retention, AKeptListThatCannotBeReadStopsTheMergeUntilItCanBe) {
  OneUnreadableFile fs;
  StoreFixture f(fs);
  f.daysKept = 3;
  std::map<std::string, std::map<std::string, std::string>> expected;
  for (int day = 1; day <= 5; ++day) {
    f.SetDay(day, 3, 2006);
    f.Write("day" + std::to_string(day) + ".txt", "written on day " + std::to_string(day));
    // Day 2's list is kept (day 1 would merge into it) but is not the one
    // the run compares with.
    fs.blocked = day == 4 ? f.ctx.Layout().FileListPath(f.DayFolder("02032006")) : "";
    expected[DayFolderName({day, 3, 2006})] = f.Snapshot();
    ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted) << "day " << day;
    if (day == 4) {
      // Nothing merged: day 1 is whole, list and copies.
      EXPECT_EQ(f.Days(),
                (std::vector<std::string>{"01032006", "02032006", "03032006", "04032006"}));
      fs.blocked.clear();
      EXPECT_EQ(f.RestoreDay("01032006").files, expected["01032006"]);
    }
  }
  // Once readable, one merge per run: the oldest goes, the others restore.
  EXPECT_EQ(f.Days(), (std::vector<std::string>{"02032006", "03032006", "04032006", "05032006"}));
  for (const auto& day : f.Days()) EXPECT_EQ(f.RestoreDay(day).files, expected[day]) << day;
  EXPECT_EQ(NeededByNoKeptDay(f), std::vector<std::string>{});
}

}  // namespace
}  // namespace varnoket::test
