// The machine's copy of the backup set, which a disk plugged in while the
// others are away takes its set from: an edit saved on a disk that does not
// count its saves still outranks the older set of the next disk, and the
// empty set of a new disk is never kept.
#include <gtest/gtest.h>

#include "settings/KeptBackupSet.h"
#include "support/FakeDialogs.h"
#include "support/TempDir.h"

namespace varnoket::test {
namespace {

StationSettings SetOf(std::vector<std::string> folders, int version) {
  StationSettings set;
  set.directories = folders;
  set.backupDirectories = folders;
  set.setVersion = version;
  return set;
}

TEST(KeptBackupSet, TheLatestEditOutranksTheNextDisksSetAndANewDisksEmptySetIsNeverKept) {
  TempDir tmp;
  FileSystem& fs = DefaultFileSystem();
  FakeDialogs dialogs;
  const std::string program = tmp / "VARNOKET.INI";
  EXPECT_EQ(ReadKeptSet(fs, dialogs, program, "PC"), nullptr);

  // A new disk's file: nothing in it, never saved.
  EXPECT_EQ(SetRank(SetOf({}, 0)), -1);
  EXPECT_FALSE(KeepBackupSet(fs, dialogs, program, "PC", SetOf({}, 0)));
  EXPECT_EQ(ReadKeptSet(fs, dialogs, program, "PC"), nullptr);

  // The set of a disk that counts no saves, then an edit of it.
  ASSERT_TRUE(KeepBackupSet(fs, dialogs, program, "PC", SetOf({"/home/a"}, 0)));
  ASSERT_TRUE(KeepBackupSet(fs, dialogs, program, "PC", SetOf({"/home/a", "/home/b"}, 0)));
  const auto kept = ReadKeptSet(fs, dialogs, program, "PC");
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(kept->backupDirectories, (std::vector<std::string>{"/home/a", "/home/b"}));
  // The next disk still holds the first set, counted 0: the edit wins.
  EXPECT_GT(SetRank(*kept), SetRank(SetOf({"/home/a"}, 0)));

  // A set counted higher elsewhere replaces it with its own count.
  ASSERT_TRUE(KeepBackupSet(fs, dialogs, program, "PC", SetOf({"/srv"}, 7)));
  EXPECT_EQ(ReadKeptSet(fs, dialogs, program, "PC")->setVersion, 7);
  EXPECT_EQ(ReadFile(tmp / "ENSEMBLES/PC/PC.ini").find("/home/b"), std::string::npos);
}

}  // namespace
}  // namespace varnoket::test
