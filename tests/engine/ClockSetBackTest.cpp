// A clock set back: a run finds backup days later than today and refuses to
// write, naming the newest of them so the user sees how far the clock is
// behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

// Lists folders in name order, whatever the disk's own order: "10032006"
// (10 March) then "20042006" (20 April), the newest day last.
class NameOrderFileSystem final : public PosixFileSystem {
 public:
  using FileSystem::ListDirectory;
  std::optional<std::vector<DirEntry>> ListDirectory(const std::string& dir,
                                                     FsStatus& why) override {
    auto entries = PosixFileSystem::ListDirectory(dir, why);
    if (entries) {
      std::sort(entries->begin(), entries->end(),
                [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    }
    return entries;
  }
};

TEST(ClockSetBack, TheRefusalNamesTheNewestBackupDay) {
  NameOrderFileSystem disk;
  StoreFixture f(disk);
  for (const auto& [day, month] : {std::pair{10, 3}, std::pair{20, 4}}) {
    f.Write("a.txt", "on " + std::to_string(day));
    f.SetDay(day, month, 2006);
    ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  }
  ASSERT_EQ(f.Days(), (std::vector<std::string>{"10032006", "20042006"}));

  f.SetDay(5, 3, 2006);
  f.Write("b.txt", "b");
  EXPECT_EQ(f.Backup(), BackupOutcome::kFailed);
  ASSERT_EQ(f.host.errorWindow.size(), 1u);
  EXPECT_NE(f.host.errorWindow[0].find("plus récente que la date du jour existe (20/04/2006)"),
            std::string::npos)
      << f.host.errorWindow[0];
  EXPECT_FALSE(std::filesystem::exists(f.DayFolder("05032006")));
}

}  // namespace
}  // namespace varnoket::test
