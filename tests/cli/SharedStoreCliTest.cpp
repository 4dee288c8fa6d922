// varnoket-cli's readers beside a writer: a restore or a check holds off the
// merge of the oldest days (the backup goes on without it), waits for a
// merge under way instead of reporting copies it is deleting, and the damage
// a check finds is stored again by the next run.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "cli/StoreCliFixture.h"
#include "engine/DamagedCopies.h"
#include "engine/StationReadLock.h"
#include "support/LockWaiters.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

class SharedStoreCliTest : public StoreCliFixture {
 protected:
  SharedStoreCliTest() : StoreCliFixture(2) {}

  std::vector<std::string> Days() {
    std::vector<std::string> days;
    for (const auto& e : fsys::directory_iterator(Station())) {
      if (fsys::exists(e.path() / "filelist.txt")) days.push_back(e.path().filename().string());
    }
    std::sort(days.begin(), days.end());
    return days;
  }

  StoreLayout layout{PathRules(PathStyle::kPosix), tmp / "store", "PC"};
};

TEST_F(SharedStoreCliTest, AReaderHoldsOffTheMergeAndWaitsForOneUnderWay) {
  for (int i = 0; i < 10; ++i) {
    WriteFile(src + "/f" + std::to_string(i) + ".txt", "first day " + std::to_string(i));
  }
  BackUpAs("01012025");
  WriteFile(src + "/f0.txt", "second day");
  BackUpAs("02012025");
  WriteFile(src + "/f1.txt", "third day");

  {
    // A restore of the oldest day is reading: today's run must not merge it.
    const StationReadLock reading = LockStationForReading(DefaultFileSystem(), layout, false);
    ASSERT_EQ(reading.status, ReadLockStatus::kHeld);
    const CliOutput run = Cli("backup");
    EXPECT_EQ(run.code, 0) << run.out;
    EXPECT_NE(run.out.find("Fusion des jours les plus anciens reportée"), std::string::npos)
        << run.out;
    ASSERT_EQ(Days().size(), 3u);
    EXPECT_EQ(Days()[0], "01012025");
    const CliOutput restore = Cli("restore 01/01/2025 --to " + Quoted(tmp / "oldest"));
    EXPECT_EQ(restore.code, 0) << restore.out;
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(ReadFile(tmp / "oldest" + src + "/f" + std::to_string(i) + ".txt"),
                "first day " + std::to_string(i));
    }
  }

  // A merge under way: a check waits for its end rather than report the
  // copies it is moving as missing.
  std::unique_ptr<FileLock> merging;
  ASSERT_EQ(LockStationForDeletion(DefaultFileSystem(), layout, merging), LockStatus::kAcquired);
  CliOutput verify;
  std::thread reader([&] { verify = Cli("verify"); });
  const std::string lockPath = Station() + "/VARNOKET.LOCK";
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!SomeoneWaitsFor(lockPath) && std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(SomeoneWaitsFor(lockPath));
  merging.reset();
  reader.join();
  EXPECT_EQ(verify.code, 0) << verify.out;
  EXPECT_NE(verify.out.find("la lecture attend que la fusion se termine"), std::string::npos)
      << verify.out;
  EXPECT_NE(verify.out.find(", 0 problème(s)"), std::string::npos);
}

TEST_F(SharedStoreCliTest, DamageACheckFindsIsStoredAgainByTheNextRun) {
  WriteFile(src + "/a.txt", "alpha, never changed");
  WriteFile(src + "/b.txt", "bravo");
  BackUpAs("01012025");
  const std::string copy = Station() + "/01012025/_" + src + "/a.txt.ZZ";
  const std::string whole = ReadFile(copy);
  WriteFile(copy, whole.substr(0, whole.size() - 4));

  const CliOutput check = Cli("verify");
  EXPECT_EQ(check.code, 1);
  EXPECT_NE(check.out.find("01012025 : copie tronquée (" + copy + ")"), std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("1 copie(s) endommagée(s) sur 1 notée(s)"), std::string::npos);
  EXPECT_EQ(ReadFile(Station() + "/" + kDamagedCopiesName), "01012025|_" + src + "/a.txt.ZZ\r\n");

  // The source did not change; the next run stores it again all the same,
  // and the new day restores it.
  const CliOutput run = Cli("backup");
  EXPECT_EQ(run.code, 0) << run.out;
  EXPECT_NE(run.out.find("Copies absentes ou endommagées stockées à nouveau : 1 fichier(s)."),
            std::string::npos)
      << run.out;
  const std::vector<std::string> days = Days();
  ASSERT_EQ(days.size(), 2u);
  const std::string today = days[0] == "01012025" ? days[1] : days[0];
  const std::string todayText =
      today.substr(0, 2) + "/" + today.substr(2, 2) + "/" + today.substr(4, 4);
  const CliOutput restore = Cli("restore " + todayText + " --to " + Quoted(tmp / "out"));
  EXPECT_EQ(restore.code, 0) << restore.out;
  EXPECT_EQ(ReadFile(tmp / "out" + src + "/a.txt"), "alpha, never changed");
  EXPECT_EQ(Cli("verify " + todayText).code, 0);
  // The old day keeps its damage, and says so.
  EXPECT_EQ(Cli("verify 01/01/2025").code, 1);
}

}  // namespace
}  // namespace varnoket::test
