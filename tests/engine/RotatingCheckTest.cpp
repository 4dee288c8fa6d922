// Old copies decoded in rotation after each run: a pass decodes every copy of
// the older days once, spread over the runs the period gives; a copy that
// rotted since it was written is found, named with the days that rely on it
// and stored again by the next run, whose day restores byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "engine/BackupRun.h"
#include "engine/DamagedCopies.h"
#include "engine/RotationState.h"
#include "support/StoreFixture.h"
#include "support/TestBytes.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

// The copies the rotation's log line says this run decoded; -1 without one.
int CopiesRead(const StoreFixture& f) {
  static const std::regex line("Vérification des anciennes copies : ([0-9]+) copie\\(s\\) relue");
  for (const std::string& l : f.host.logged) {
    std::smatch m;
    if (std::regex_search(l, m, line)) return std::stoi(m[1]);
  }
  return -1;
}

// A byte in the middle of a stored copy flipped, as a disk that rots does.
void Rot(const std::string& copy) {
  std::fstream file(copy, std::ios::in | std::ios::out | std::ios::binary);
  const auto size = static_cast<std::streamoff>(fsys::file_size(copy));
  file.seekg(size / 2);
  const char c = static_cast<char>(file.get());
  file.seekp(size / 2);
  file.put(static_cast<char>(c ^ 0x5a));
}

TEST(RotatingCheckTest, APassDecodesEachOldCopyOnceOverThePeriod) {
  StoreFixture f;
  f.ctx.rotationDays = 3;
  for (int i = 0; i < 12; ++i) {
    f.Write("file" + std::to_string(i) + ".bin", RandomBytes(20000, static_cast<unsigned>(i)));
  }
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(CopiesRead(f), -1);  // today's copies were checked as they were written

  // No change from then on: the pass covers the 12 copies of the first day,
  // about a third at each run.
  int read = 0;
  int runs = 0;
  RotationState state;
  do {
    f.SetDay(2 + runs, 3, 2006);
    ASSERT_EQ(f.Backup(), BackupOutcome::kNoChange);
    const int now = CopiesRead(f);
    ASSERT_GT(now, 0);
    EXPECT_LE(now, 5);
    read += now;
    ++runs;
    state = ReadRotationState(f.fs, f.ctx.Layout());
  } while (state.doneBegun.empty() && runs < 6);
  EXPECT_EQ(read, 12);
  EXPECT_GE(runs, 3);
  EXPECT_LE(runs, 4);
  EXPECT_EQ(state.doneBegun, "02/03/2006");
  EXPECT_TRUE(state.passBegun.empty());

  // The next pass starts at the first copy again.
  f.SetDay(10, 3, 2006);
  ASSERT_EQ(f.Backup(), BackupOutcome::kNoChange);
  EXPECT_GT(CopiesRead(f), 0);
  EXPECT_EQ(ReadRotationState(f.fs, f.ctx.Layout()).passBegun, "10/03/2006");
}

TEST(RotatingCheckTest, ARottedCopyIsNamedWithItsDaysAndStoredAgain) {
  StoreFixture f;
  f.ctx.rotationDays = 1;  // every old copy at every run
  const std::string kept = RandomBytes(300000, 7);
  f.Write("kept.bin", kept);
  f.Write("changes.txt", "first");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  f.SetDay(2, 3, 2006);
  f.Write("changes.txt", "second");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(CopiesRead(f), 2);

  const std::string copy = f.ctx.Layout().StoredFilePath(
      f.DayFolder("01032006"), f.ctx.rules.StoredName(f.source + "/kept.bin"));
  ASSERT_TRUE(fsys::exists(copy));
  Rot(copy);
  f.SetDay(3, 3, 2006);
  f.Write("changes.txt", "third");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const auto named = std::find_if(f.host.logged.begin(), f.host.logged.end(), [&](const auto& l) {
    return l.find("copie endommagée (" + copy + ")") != std::string::npos;
  });
  ASSERT_NE(named, f.host.logged.end());
  EXPECT_NE(named->find("ne le restaurent plus : 01/03/2006, 02/03/2006, 03/03/2006."),
            std::string::npos)
      << *named;
  ASSERT_EQ(f.host.errorWindow.size(), 1u);
  EXPECT_NE(f.host.errorWindow[0].find("1 copie(s) endommagée(s)"), std::string::npos);
  EXPECT_TRUE(DamagedCopies::Read(f.fs, f.ctx.Layout())
                  .Lists("01032006", f.ctx.rules.StoredName(f.source + "/kept.bin")));

  // The file has not changed: the next run stores it again, and its day
  // restores the file's own bytes.
  f.SetDay(4, 3, 2006);
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const RestoredDay day = f.RestoreDay("04032006");
  EXPECT_EQ(day.errors, 0);
  EXPECT_EQ(day.files.at(f.source + "/kept.bin"), kept);
}

// The rotation's file is outside input: whatever it holds, a run goes on
// and the file ends up sound.
TEST(RotatingCheckTest, AStateFileOfAnyContentStartsANewPass) {
  StoreFixture f;
  f.ctx.rotationDays = 1;
  f.Write("a.txt", "alpha");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const std::string path = f.ctx.Layout().StationFolder() + "/" + kRotationName;
  for (const std::string& text :
       {std::string("PASS=99/99/2006|12\r\nNEXT=../../etc|3\r\n"), std::string("NEXT=01032006|x"),
        std::string("PASS=01/03/2006|18446744073709551616\r\nDONE=|\r\n"),
        std::string("PASS=01/03/2006|5\r\nNEXT=01032006|999999999\r\n"), std::string(5000, '\0')}) {
    WriteFile(path, text);
    f.SetDay(f.clock.Now().day + 1, 3, 2006);
    ASSERT_EQ(f.Backup(), BackupOutcome::kNoChange) << text;
    const RotationState state = ReadRotationState(f.fs, f.ctx.Layout());
    EXPECT_FALSE(state.doneBegun.empty()) << text;
    EXPECT_TRUE(f.host.errorWindow.empty()) << text;
  }
}

}  // namespace
}  // namespace varnoket::test
