// The history views over real backups made by the engine on faked days: a
// file's versions, the search by name in one day and in all, and what
// changed on a day.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "restore/DayChanges.h"
#include "restore/FileVersions.h"
#include "restore/NameSearch.h"
#include "support/FaultyFileSystem.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

// Five days of one backup set:
//   day 1  a.txt "v1", keep.txt, gone.txt, docs/Report.ODT, node/ (empty folder)
//   day 2  a.txt changed, gone.txt deleted, new.txt added
//   day 3  a.txt unchanged; node becomes a file
//   day 4  a.txt deleted
//   day 5  a.txt created again with the content it had on day 2
// tick.txt grows every day so that each run has something to store.
class HistoryTest : public ::testing::Test {
 protected:
  HistoryTest() {
    a = f.Write("a.txt", "v1");
    keep = f.Write("keep.txt", "same every day");
    gone = f.Write("gone.txt", "deleted on day 2");
    report = f.Write("docs/Report.ODT", "report");
    node = f.source + "/node";
    fsys::create_directories(node);
    Run(1);
    f.Write("a.txt", "v2 longer");
    f.Remove("gone.txt");
    newer = f.Write("new.txt", "new on day 2");
    Run(2);
    f.Remove("node");
    f.Write("node", "a file now");
    Run(3);
    f.Remove("a.txt");
    Run(4);
    f.Write("a.txt", "v2 longer");
    Run(5);
    days = f.Days();
  }

  void Run(int day) {
    f.Write("tick.txt", std::string(static_cast<size_t>(day), 't'));
    f.SetDay(day, 3, 2006);
    ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  }

  static std::vector<std::string> DaysOf(const FileHistory& h) {
    std::vector<std::string> out;
    for (const auto& v : h.versions) out.push_back(v.dayFolder);
    return out;
  }

  static std::vector<std::string> PathsOf(const std::vector<FoundFile>& files) {
    std::vector<std::string> out;
    for (const auto& file : files) out.push_back(file.fullPath + " @" + file.dayFolder);
    return out;
  }

  std::vector<std::string> Changes(size_t dayIndex) {
    const auto c = ChangesOfDay(f.fs, f.ctx.Layout(), days, dayIndex);
    EXPECT_TRUE(c.has_value());
    std::vector<std::string> out;
    if (!c) return out;
    const char* kinds[] = {"+ ", "~ ", "- "};
    for (const auto& change : c->changes) {
      out.push_back(kinds[static_cast<int>(change.kind)] + change.fullPath);
    }
    return out;
  }

  StoreFixture f;
  std::string a, keep, gone, report, node, newer;
  std::vector<std::string> days;
};

TEST_F(HistoryTest, VersionsAreTheDaysWhereTheRecordDiffersFromTheDayBefore) {
  ASSERT_EQ(days,
            (std::vector<std::string>{"01032006", "02032006", "03032006", "04032006", "05032006"}));
  // Changed on day 2, unchanged on day 3, absent on day 4, back on day 5.
  const FileHistory history = FileVersions(f.fs, f.ctx.Layout(), days, a);
  EXPECT_EQ(DaysOf(history), (std::vector<std::string>{"01032006", "02032006", "05032006"}));
  ASSERT_EQ(history.versions.size(), 3u);
  EXPECT_EQ(history.versions[0].size, 2);
  EXPECT_EQ(history.versions[1].size, 9);
  EXPECT_EQ(history.versions[2].size, 9);
  EXPECT_NE(history.versions[0].checksum, history.versions[1].checksum);
  EXPECT_TRUE(history.folderDays.empty());
  EXPECT_TRUE(history.unreadableDays.empty());

  EXPECT_EQ(DaysOf(FileVersions(f.fs, f.ctx.Layout(), days, keep)),
            std::vector<std::string>{"01032006"});
  // A file gone since still has the versions it had.
  EXPECT_EQ(DaysOf(FileVersions(f.fs, f.ctx.Layout(), days, gone)),
            std::vector<std::string>{"01032006"});

  // A path no day records, and one that only begins a recorded path.
  EXPECT_FALSE(FileVersions(f.fs, f.ctx.Layout(), days, f.source + "/nothing").Recorded());
  EXPECT_FALSE(FileVersions(f.fs, f.ctx.Layout(), days, f.source + "/a.tx").Recorded());
}

TEST_F(HistoryTest, FolderDaysAreSaidApartFromTheFileVersions) {
  const FileHistory history = FileVersions(f.fs, f.ctx.Layout(), days, node);
  EXPECT_TRUE(history.Recorded());
  EXPECT_EQ(history.folderDays, (std::vector<std::string>{"01032006", "02032006"}));
  EXPECT_EQ(DaysOf(history), std::vector<std::string>{"03032006"});
}

TEST_F(HistoryTest, AnUnreadableListIsNamedAndTheNextDayIsComparedWithTheLastOneRead) {
  FaultyFileSystem faulty;
  const std::string day2List = f.ctx.Layout().FileListPath(f.DayFolder("02032006"));
  faulty.rule = [&](FsCall kind, const std::string& path) {
    return kind == FsCall::kOpenRead && path == day2List ? EIO : 0;
  };
  const FileHistory history = FileVersions(faulty, f.ctx.Layout(), days, a);
  EXPECT_EQ(history.unreadableDays, std::vector<std::string>{"02032006"});
  // Day 3 holds the second content, which day 1 did not.
  EXPECT_EQ(DaysOf(history), (std::vector<std::string>{"01032006", "03032006", "05032006"}));
}

TEST_F(HistoryTest, SearchMatchesFileNamesWithWildcardsWithoutRegardToCase) {
  const auto day1 = FindFilesInDay(f.fs, f.ctx.Layout(), "01032006", "*.odt");
  ASSERT_TRUE(day1.has_value());
  EXPECT_EQ(PathsOf(*day1), std::vector<std::string>{report + " @01032006"});
  ASSERT_EQ(day1->size(), 1u);
  EXPECT_EQ((*day1)[0].size, 6);

  // "?" is one character: keep.txt and gone.txt do not match.
  EXPECT_EQ(PathsOf(*FindFilesInDay(f.fs, f.ctx.Layout(), "01032006", "?.TXT")),
            std::vector<std::string>{a + " @01032006"});
  // The name is matched, never the folders above it; a folder record is no file.
  EXPECT_TRUE(FindFilesInDay(f.fs, f.ctx.Layout(), "01032006", "docs*")->empty());
  EXPECT_TRUE(FindFilesInDay(f.fs, f.ctx.Layout(), "01032006", "node")->empty());
  EXPECT_EQ(PathsOf(*FindFilesInDay(f.fs, f.ctx.Layout(), "03032006", "NODE")),
            std::vector<std::string>{node + " @03032006"});
  EXPECT_FALSE(FindFilesInDay(f.fs, f.ctx.Layout(), "09092009", "*").has_value());
}

TEST_F(HistoryTest, SearchInEveryDayGivesEachPathOnceWithTheLatestDayThatRecordsIt) {
  const NameSearchResult result = FindFilesInAllDays(f.fs, f.ctx.Layout(), days, "*.txt");
  EXPECT_TRUE(result.unreadableDays.empty());
  EXPECT_EQ(PathsOf(result.files),
            (std::vector<std::string>{a + " @05032006", gone + " @01032006", keep + " @05032006",
                                      newer + " @05032006", f.source + "/tick.txt @05032006"}));
  // a.txt was absent on day 4: its latest record is day 5's; on day 4 alone
  // it is not found.
  EXPECT_TRUE(FindFilesInDay(f.fs, f.ctx.Layout(), "04032006", "a.txt")->empty());
}

TEST_F(HistoryTest, ChangesOfADayAreTheFilesNewChangedOrGoneSinceTheDayBefore) {
  const std::string tick = f.source + "/tick.txt";
  EXPECT_EQ(Changes(0), (std::vector<std::string>{"+ " + a, "+ " + report, "+ " + gone, "+ " + keep,
                                                  "+ " + tick}));
  EXPECT_EQ(Changes(1),
            (std::vector<std::string>{"~ " + a, "- " + gone, "+ " + newer, "~ " + tick}));
  // A folder that became a file is a new file.
  EXPECT_EQ(Changes(2), (std::vector<std::string>{"+ " + node, "~ " + tick}));
  EXPECT_EQ(Changes(3), (std::vector<std::string>{"- " + a, "~ " + tick}));
  EXPECT_EQ(Changes(4), (std::vector<std::string>{"+ " + a, "~ " + tick}));

  const auto first = ChangesOfDay(f.fs, f.ctx.Layout(), days, 0);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->previousDay, "");
  EXPECT_EQ(ChangesOfDay(f.fs, f.ctx.Layout(), days, 1)->previousDay, "01032006");
  EXPECT_FALSE(ChangesOfDay(f.fs, f.ctx.Layout(), days, days.size()).has_value());
}

// A record whose numbers are no numbers, or whose last field is unknown, is
// no record for any view, as for the restore: the views and the restore
// read lines through one reader.
TEST_F(HistoryTest, ALineNoRestoreWouldTakeIsFoundByNoView) {
  const std::string bad = f.source + "/bad.txt";
  const std::string odd = f.source + "/odd.txt";
  {
    std::ofstream list(f.DayFolder("05032006") + "/filelist.txt", std::ios::app | std::ios::binary);
    list << "12a|1|x.ZZ|" << bad << "|33188|0|0\r\n"
         << "5|1|x.ZZ|" << odd << "|33188|0|7\r\n";
  }
  EXPECT_EQ(PathsOf(*FindFilesInDay(f.fs, f.ctx.Layout(), "05032006", "*.txt")),
            (std::vector<std::string>{a + " @05032006", keep + " @05032006", newer + " @05032006",
                                      f.source + "/tick.txt @05032006"}));
  EXPECT_EQ(Changes(4), (std::vector<std::string>{"+ " + a, "~ " + f.source + "/tick.txt"}));
  EXPECT_TRUE(FileVersions(f.fs, f.ctx.Layout(), days, bad).versions.empty());
  EXPECT_TRUE(FileVersions(f.fs, f.ctx.Layout(), days, odd).versions.empty());
}

}  // namespace
}  // namespace varnoket::test
