// The free space of the store's disk is looked at before anything is copied:
// changes that cannot fit start no copy and say how much is missing, while
// files that did not change cost nothing.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/BackupRun.h"
#include "engine/SpaceCheck.h"
#include "platform/ShownFormat.h"
#include "support/FaultyFileSystem.h"
#include "support/KeptDay.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

TEST(SpaceCheckTest, ChangesThatDoNotFitStartNoCopyAndSayWhatIsMissing) {
  FaultyFileSystem disk;
  StoreFixture f(disk);
  f.Write("big.bin", std::string(100000, 'x'));
  disk.freeSpace = 50000;
  EXPECT_EQ(f.Backup(), BackupOutcome::kNoSpace);
  ASSERT_EQ(f.host.logged.size(), 3u);
  EXPECT_EQ(f.host.logged[0], "Préparation de la sauvegarde ...");
  const std::string& said = f.host.logged[1];
  EXPECT_EQ(said.rfind(
                "Espace insuffisant sur le disque de sauvegarde (" + f.root + ") : jusqu'à 97,", 0),
            0u)
      << said;
  EXPECT_NE(said.find("pour 48,8 Ko libres, il manque 4"), std::string::npos) << said;
  EXPECT_NE(said.find("réduisez le nombre de journées mémorisées (30 actuellement)"),
            std::string::npos);
  EXPECT_EQ(f.host.logged[2], "Fin de la sauvegarde !");
  EXPECT_EQ(f.host.errorWindow, std::vector<std::string>{said});
  EXPECT_TRUE(f.Days().empty());
  EXPECT_FALSE(std::filesystem::exists(f.DayFolder("01032006")));
  EXPECT_EQ(f.station.lastBackupDate, KeptDay("31/12/2002"));

  // Room enough: the same changes go in. The next day only the new file
  // counts, not the one already stored.
  disk.freeSpace = 200000;
  EXPECT_EQ(f.Backup(), BackupOutcome::kCompleted);
  f.SetDay(2, 3, 2006);
  f.Write("small.txt", std::string(1000, 's'));
  disk.freeSpace = 20000;
  EXPECT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(f.RestoreDay("02032006").files, f.Snapshot());
}

std::string Logged(uint64_t bytes) {
  return ByteSizeText(static_cast<int64_t>(bytes), SizeStyle::kLogged);
}

TEST(SpaceCheckTest, SizesAreSaidInTheUnitThatFits) {
  EXPECT_EQ(Logged(0), "0 octets");
  EXPECT_EQ(Logged(1023), "1023 octets");
  EXPECT_EQ(Logged(1536), "1,5 Ko");
  EXPECT_EQ(Logged(3ull * 1024 * 1024), "3,0 Mo");
  EXPECT_EQ(Logged(1536ull * 1024 * 1024), "1,5 Go");
  EXPECT_EQ(Logged(5ull << 50), "5120,0 To");
}

}  // namespace
}  // namespace varnoket::test
