#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "engine/BZip2.h"
#include "platform/DosDate.h"
#include "restore/RestoreItem.h"
#include "support/RecordingRestoreHost.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using test::ReadFile;
using test::WriteFile;

std::string Compressed(const std::string& bytes) {
  MemoryStream in(bytes);
  MemoryStream out;
  CompressFile(in, out);
  return out.data();
}

class RestoreItemTest : public ::testing::Test {
 protected:
  RestoreItemTest() : layout(PathRules(PathStyle::kPosix), tmp / "store", "PC") {}

  // Puts a stored copy of `bytes` under `name` in a day folder.
  void Store(const std::string& day, const std::string& name, const std::string& bytes) {
    WriteFile(tmp / ("store/PC/" + day + "/" + name), bytes);
  }
  RestoreItemResult Restore(const RestoreEntry& e, size_t dayIndex, const std::string& to) {
    lines.clear();
    return RestoreItem(DefaultFileSystem(), layout, days, dayIndex, e, to, host);
  }

  test::TempDir tmp;
  StoreLayout layout;
  std::vector<std::string> days{"01032006", "02032006", "03032006"};
  test::RecordingRestoreHost host;
  std::vector<std::string>& lines = host.lines;
};

TEST_F(RestoreItemTest, TakesTheChosenDayFirstThenTheNewestOlderDayNeverALaterOne) {
  Store("01032006", "_/a.ZZ", Compressed("day one"));
  Store("02032006", "_/a.ZZ", Compressed("day two"));
  Store("03032006", "_/a.ZZ", Compressed("day three"));
  Store("03032006", "_/later-only.ZZ", Compressed("later"));
  const std::string dest = tmp / "out/a";
  RestoreEntry e{"/a", "_/a.ZZ", 0100640, DosDateFromTime(1141200000)};
  EXPECT_EQ(Restore(e, 1, dest).status, RestoreStatus::kRestored);
  EXPECT_EQ(ReadFile(dest), "day two");
  EXPECT_EQ(lines, std::vector<std::string>{"Fichier-> /a"});
  std::filesystem::remove(tmp / "store/PC/02032006/_/a.ZZ");
  EXPECT_EQ(Restore(e, 1, dest).bytes, 7);
  EXPECT_EQ(ReadFile(dest), "day one");
  struct stat st {};
  ASSERT_EQ(::stat(dest.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(DosDateFromTime(st.st_mtime), e.fileDate);

  RestoreEntry later{"/b", "_/later-only.ZZ", 0100644, 0};
  EXPECT_EQ(Restore(later, 1, tmp / "out/b").status, RestoreStatus::kMissingStored);
  EXPECT_EQ(lines.back(),
            "---> ERREUR: Fichier compressé absent ! Soit il à été effacé,soit il n'a pas pu être "
            "sauvegardé <---");
}

TEST_F(RestoreItemTest, ADamagedOrTruncatedCopyNeverReplacesTheFileOnDisk) {
  const std::string full = Compressed(std::string(100000, 'x') + "tail");
  Store("01032006", "_/cut.ZZ", full.substr(0, full.size() / 2));
  Store("01032006", "_/noise.ZZ", "this is not a compressed stream at all");
  for (const char* name : {"_/cut.ZZ", "_/noise.ZZ"}) {
    const std::string dest = tmp / "out/existing.txt";
    WriteFile(dest, "precious");
    EXPECT_EQ(Restore({"/existing.txt", name, 0100644, 0}, 0, dest).status,
              RestoreStatus::kFileFailed)
        << name;
    EXPECT_EQ(ReadFile(dest), "precious") << name;
    EXPECT_EQ(
        lines.back().rfind("---> ERREUR: Impossible de recréer le fichier (/existing.txt)", 0), 0u);
    // No temporary file stays beside the destination.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp / "out"),
                            std::filesystem::directory_iterator()),
              1);
  }
}

TEST_F(RestoreItemTest, StoredNamesThatLeaveTheDayFolderAreRefused) {
  WriteFile(tmp / "store/PC/secret.ZZ", Compressed("outside the day"));
  WriteFile(tmp / "elsewhere.ZZ", Compressed("outside the store"));
  for (const std::string& name :
       std::vector<std::string>{"../secret.ZZ", tmp / "elsewhere.ZZ", "_/../../secret.ZZ"}) {
    EXPECT_EQ(Restore({"/x", name, 0100644, 0}, 2, tmp / "out/x").status,
              RestoreStatus::kMissingStored)
        << name;
  }
  EXPECT_FALSE(std::filesystem::exists(tmp / "out/x"));
}

TEST_F(RestoreItemTest, AReadOnlyFileIsReplacedAndAFolderThatCannotBeMadeIsReported) {
  Store("01032006", "_/ro.ZZ", Compressed("fresh"));
  const std::string dest = tmp / "out/ro.txt";
  WriteFile(dest, "old");
  ::chmod(dest.c_str(), 0444);
  EXPECT_EQ(Restore({"/ro.txt", "_/ro.ZZ", 0100444, 0}, 0, dest).status, RestoreStatus::kRestored);
  EXPECT_EQ(ReadFile(dest), "fresh");

  WriteFile(tmp / "blocker", "a file where a folder should be");
  EXPECT_EQ(Restore({"/f", "_/ro.ZZ", 0100644, 0}, 0, tmp / "blocker/sub/f").status,
            RestoreStatus::kFolderFailed);
  EXPECT_EQ(lines.back(), "---> ERREUR: Impossible de recréer le répertoire (" +
                              (tmp / "blocker/sub/") + ") ! <---");
}

}  // namespace
}  // namespace varnoket
