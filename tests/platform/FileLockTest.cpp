#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/FileSystem.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(FileLockTest, OneHolderAtATimeWithinAndAcrossProcesses) {
  TempDir dir;
  PosixFileSystem fs;
  const std::string path = dir / "station.lock";
  std::unique_ptr<FileLock> first;
  ASSERT_EQ(fs.LockFile(path, false, first), LockStatus::kAcquired);
  ASSERT_TRUE(first->WriteHolder("pid=1\r\n"));
  EXPECT_EQ(ReadFile(path), "pid=1\r\n");

  std::unique_ptr<FileLock> second;
  EXPECT_EQ(fs.LockFile(path, false, second), LockStatus::kBusy);
  EXPECT_EQ(second, nullptr);

  // Another process sees it taken too, and gets it once the holder lets go.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    PosixFileSystem childFs;
    std::unique_ptr<FileLock> lock;
    _exit(childFs.LockFile(path, false, lock) == LockStatus::kBusy ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  first.reset();
  EXPECT_EQ(fs.LockFile(path, false, second), LockStatus::kAcquired);
  // Taking the lock does not wipe what the previous holder wrote.
  EXPECT_EQ(ReadFile(path), "pid=1\r\n");
}

TEST(FileLockTest, ALockHeldByADeadProcessIsFree) {
  TempDir dir;
  const std::string path = dir / "station.lock";
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    PosixFileSystem childFs;
    std::unique_ptr<FileLock> lock;
    if (childFs.LockFile(path, false, lock) != LockStatus::kAcquired) _exit(1);
    _exit(0);  // dies holding it
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  PosixFileSystem fs;
  std::unique_ptr<FileLock> lock;
  EXPECT_EQ(fs.LockFile(path, false, lock), LockStatus::kAcquired);
}

TEST(FileLockTest, BytesOfOneFileCarrySeparateLocksSharedOrExclusive) {
  TempDir dir;
  PosixFileSystem fs;
  const std::string path = dir / "station.lock";
  const LockRequest byte0{0, 1, false, false, false};
  const LockRequest shared1{1, 1, true, false, true};
  const LockRequest exclusive1{1, 1, false, false, false};
  std::unique_ptr<FileLock> writer, readerA, readerB, other;

  // A read-only request never creates the file.
  EXPECT_EQ(fs.LockRange(path, shared1, readerA), LockStatus::kFailed);
  EXPECT_FALSE(std::filesystem::exists(path));

  ASSERT_EQ(fs.LockRange(path, byte0, writer), LockStatus::kAcquired);
  ASSERT_EQ(fs.LockRange(path, shared1, readerA), LockStatus::kAcquired);
  ASSERT_EQ(fs.LockRange(path, shared1, readerB), LockStatus::kAcquired);
  EXPECT_EQ(fs.LockRange(path, byte0, other), LockStatus::kBusy);
  EXPECT_EQ(fs.LockRange(path, exclusive1, other), LockStatus::kBusy);
  // The whole file meets every byte.
  EXPECT_EQ(fs.LockFile(path, false, other), LockStatus::kBusy);
  EXPECT_FALSE(readerA->WriteHolder("opened for reading"));

  readerA.reset();
  EXPECT_EQ(fs.LockRange(path, exclusive1, other), LockStatus::kBusy);  // readerB still reads
  readerB.reset();
  EXPECT_EQ(fs.LockRange(path, exclusive1, other), LockStatus::kAcquired);
  EXPECT_EQ(fs.LockRange(path, shared1, readerA), LockStatus::kBusy);
  writer.reset();
  other.reset();
  EXPECT_EQ(fs.LockFile(path, false, other), LockStatus::kAcquired);
}

TEST(FileLockTest, AFolderOrALinkIsNoLock) {
  TempDir dir;
  PosixFileSystem fs;
  std::filesystem::create_directory(dir / "folder.lock");
  std::unique_ptr<FileLock> lock;
  EXPECT_EQ(fs.LockFile(dir / "folder.lock", false, lock), LockStatus::kFailed);
  WriteFile(dir / "target", "precious");
  std::filesystem::create_symlink(dir / "target", dir / "link.lock");
  EXPECT_EQ(fs.LockFile(dir / "link.lock", false, lock), LockStatus::kFailed);
  EXPECT_EQ(ReadFile(dir / "target"), "precious");
  EXPECT_EQ(fs.LockFile(dir / "missing-folder/x.lock", false, lock), LockStatus::kFailed);
}

}  // namespace
}  // namespace varnoket
