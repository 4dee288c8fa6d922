// Readers and the writer of a station share its lock file: a run in progress
// stops no reader, a reader stops only the merge of the oldest days (the run
// goes on and a later run merges), a reader may wait for a merge to end, and
// an older copy of the program that locks the whole file still keeps new
// writers out.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <thread>

#include "engine/StationLock.h"
#include "engine/StationReadLock.h"
#include "support/FaultyFileSystem.h"
#include "support/LockWaiters.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

// A second process that takes a lock, says whether it got it, and holds it
// until it is told to let go; then it may leave a mark and ends.
class LockHolder {
 public:
  // `take` runs in the child and returns true when it holds its lock (the
  // lock lives in the objects `take` keeps alive through `keep`).
  LockHolder(const std::function<bool(std::shared_ptr<void>& keep)>& take,
             std::string markWhenDone = {}) {
    if (::pipe(ready_) != 0 || ::pipe(release_) != 0) throw std::runtime_error("pipe");
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork");
    if (pid_ == 0) {
      std::shared_ptr<void> keep;
      const char ok = take(keep) ? 1 : 0;
      if (::write(ready_[1], &ok, 1) != 1) _exit(2);
      char byte;
      if (::read(release_[0], &byte, 1) != 1) _exit(3);
      if (!markWhenDone.empty()) std::ofstream(markWhenDone) << "released";
      _exit(0);  // the kernel lets the lock go with the process
    }
    char ok = 0;
    holds_ = ::read(ready_[0], &ok, 1) == 1 && ok == 1;
  }
  ~LockHolder() {
    Release();
    for (int fd : {ready_[0], ready_[1], release_[0], release_[1]}) ::close(fd);
  }
  bool holds() const { return holds_; }
  void Release() {
    if (pid_ <= 0) return;
    const char go = 1;
    if (::write(release_[1], &go, 1) == 1) {
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
    pid_ = 0;
  }

 private:
  int ready_[2] = {-1, -1};
  int release_[2] = {-1, -1};
  pid_t pid_ = 0;
  bool holds_ = false;
};

class StationReadLockTest : public ::testing::Test {
 protected:
  StationReadLockTest() { f.daysKept = 2; }
  StoreLayout Layout() const { return f.ctx.Layout(); }
  std::string LockPath() const { return Layout().StationFolder() + "/VARNOKET.LOCK"; }
  StationLock Writer(FileSystem& fs) {
    return LockStation(fs, Layout(), f.ctx.machine, LocalDateTime{2006, 3, 2, 13, 0, 0, 0});
  }
  void BackUpDay(int day) {
    f.SetDay(day, 3, 2006);
    f.Write("day.txt", "day " + std::to_string(day));
    f.Write("keep-" + std::to_string(day) + ".txt", "kept from day " + std::to_string(day));
    ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted) << day;
  }
  bool Logged(const std::string& start) const {
    for (const auto& line : f.host.logged) {
      if (line.rfind(start, 0) == 0) return true;
    }
    return false;
  }

  StoreFixture f;
};

TEST_F(StationReadLockTest, ARunInProgressStopsNoReaderAndStillKeepsOtherWritersOut) {
  BackUpDay(1);
  LockHolder run([&](std::shared_ptr<void>& keep) {
    auto lock = std::make_shared<StationLock>(Writer(DefaultFileSystem()));
    keep = lock;
    return lock->status == StationLockStatus::kAcquired;
  });
  ASSERT_TRUE(run.holds());
  // Readers share their byte, opening the lock file for reading only.
  const StationReadLock first = LockStationForReading(f.fs, Layout(), false);
  const StationReadLock second = LockStationForReading(f.fs, Layout(), false);
  EXPECT_EQ(first.status, ReadLockStatus::kHeld);
  EXPECT_EQ(second.status, ReadLockStatus::kHeld);
  EXPECT_FALSE(first.local);
  ASSERT_NE(first.held, nullptr);
  EXPECT_FALSE(first.held->WriteHolder("a reader never writes the holder"));
  EXPECT_EQ(Writer(f.fs).status, StationLockStatus::kBusy);
  run.Release();
  // Readers stop no writer either.
  EXPECT_EQ(Writer(f.fs).status, StationLockStatus::kAcquired);
}

TEST_F(StationReadLockTest, AReaderPostponesTheMergeTheRunGoesOnAndALaterRunMerges) {
  BackUpDay(1);
  BackUpDay(2);
  std::vector<std::string> copies;  // every file a reader may be reading
  for (const auto& e : fsys::recursive_directory_iterator(Layout().StationFolder())) {
    if (e.is_regular_file()) copies.push_back(e.path().string());
  }
  {
    LockHolder reader([&](std::shared_ptr<void>& keep) {
      auto lock = std::make_shared<StationReadLock>(
          LockStationForReading(DefaultFileSystem(), Layout(), false));
      keep = lock;
      return lock->status == ReadLockStatus::kHeld;
    });
    ASSERT_TRUE(reader.holds());
    BackUpDay(3);
    EXPECT_TRUE(
        Logged("Fusion des jours les plus anciens reportée : une restauration ou une "
               "vérification lit la sauvegarde."));
    EXPECT_EQ(f.Days(), (std::vector<std::string>{"01032006", "02032006", "03032006"}));
    for (const auto& path : copies) EXPECT_TRUE(fsys::exists(path)) << path;
    EXPECT_EQ(f.RestoreDay("03032006").files, f.Snapshot());
  }
  // No reader: the run merges as it always did.
  BackUpDay(4);
  EXPECT_FALSE(Logged("Fusion des jours les plus anciens reportée"));
  EXPECT_EQ(f.Days(), (std::vector<std::string>{"02032006", "03032006", "04032006"}));
  EXPECT_EQ(f.RestoreDay("04032006").files, f.Snapshot());
}

TEST_F(StationReadLockTest, AReaderThatWaitsGetsTheStationOnceTheMergeEnds) {
  BackUpDay(1);
  const std::string mark = f.tmp / "merge-ended";
  LockHolder merge(
      [&](std::shared_ptr<void>& keep) {
        auto lock = std::make_shared<std::unique_ptr<FileLock>>();
        keep = lock;
        return LockStationForDeletion(DefaultFileSystem(), Layout(), *lock) ==
               LockStatus::kAcquired;
      },
      mark);
  ASSERT_TRUE(merge.holds());
  EXPECT_EQ(LockStationForReading(f.fs, Layout(), false).status, ReadLockStatus::kBusy);

  auto waiting = std::async(std::launch::async, [&] {
    StationReadLock read = LockStationForReading(f.fs, Layout(), true);
    return std::make_pair(read.status, fsys::exists(mark));
  });
  // The merge ends only once the reader waits for it in the kernel.
  while (!SomeoneWaitsFor(LockPath())) std::this_thread::yield();
  merge.Release();
  const auto [status, afterMerge] = waiting.get();
  EXPECT_EQ(status, ReadLockStatus::kHeld);
  EXPECT_TRUE(afterMerge);
}

TEST_F(StationReadLockTest, AnOlderProgramsWholeFileLockAndANewWriterKeepEachOtherOut) {
  BackUpDay(1);
  {
    LockHolder older([&](std::shared_ptr<void>& keep) {
      auto lock = std::make_shared<std::unique_ptr<FileLock>>();
      keep = lock;
      return DefaultFileSystem().LockFile(LockPath(), false, *lock) == LockStatus::kAcquired;
    });
    ASSERT_TRUE(older.holds());
    EXPECT_EQ(Writer(f.fs).status, StationLockStatus::kBusy);
    EXPECT_EQ(LockStationForReading(f.fs, Layout(), false).status, ReadLockStatus::kBusy);
  }
  StationLock writer = Writer(f.fs);
  ASSERT_EQ(writer.status, StationLockStatus::kAcquired);
  LockHolder older([&](std::shared_ptr<void>& keep) {
    auto lock = std::make_shared<std::unique_ptr<FileLock>>();
    keep = lock;
    return DefaultFileSystem().LockFile(LockPath(), false, *lock) == LockStatus::kAcquired;
  });
  EXPECT_FALSE(older.holds());
}

TEST(StationReadLock, WithoutLocksOnTheStoreTheStandInCarriesThemAndAReadOnlyStoreNeedsNone) {
  FaultyFileSystem disk;
  StoreFixture f(disk);
  const StoreLayout layout = f.ctx.Layout();
  const std::string lockPath = layout.StationFolder() + "/VARNOKET.LOCK";
  std::string why;
  const std::string standIn = LocalStandInLockPath(disk, layout.StationFolder(), why);
  ASSERT_NE(standIn, "") << why;
  f.Write("a.txt", "a");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);

  // A file system that refuses every lock: the readers and the merge of
  // this machine meet on the stand-in.
  disk.rule = [&](FsCall kind, const std::string& path) {
    return kind == FsCall::kLock && path == lockPath ? ENOLCK : 0;
  };
  {
    const StationReadLock read = LockStationForReading(disk, layout, false);
    EXPECT_EQ(read.status, ReadLockStatus::kHeld);
    EXPECT_TRUE(read.local);
    std::unique_ptr<FileLock> deletion;
    EXPECT_EQ(LockStationForDeletion(disk, layout, deletion), LockStatus::kBusy);
  }
  std::unique_ptr<FileLock> deletion;
  EXPECT_EQ(LockStationForDeletion(disk, layout, deletion), LockStatus::kAcquired);
  deletion.reset();

  // A read-only store whose lock file is missing: no lock, and the reader
  // goes on.
  fsys::remove(lockPath);
  disk.rule = [&](FsCall kind, const std::string& path) {
    return kind == FsCall::kLock && path == lockPath ? EROFS : 0;
  };
  const StationReadLock read = LockStationForReading(disk, layout, true);
  EXPECT_EQ(read.status, ReadLockStatus::kNone);
  EXPECT_EQ(read.held, nullptr);
  EXPECT_FALSE(fsys::exists(lockPath));
  // The merge cannot lock either, and the log can say why.
  std::string refusal;
  EXPECT_EQ(LockStationForDeletion(disk, layout, deletion, &refusal), LockStatus::kFailed);
  EXPECT_EQ(refusal, std::strerror(EROFS));
  fsys::remove(standIn);
}

}  // namespace
}  // namespace varnoket::test
