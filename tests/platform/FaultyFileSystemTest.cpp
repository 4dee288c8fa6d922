// The fault-injecting file system the fault tests rely on: a sweep that
// never injected its fault, or injected it elsewhere, would prove nothing.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace varnoket::test {
namespace {

TEST(FaultyFileSystemTest, TheKthCallOfAllKindsFailsOnceWithItsErrorAndIsReported) {
  TempDir dir;
  FaultyFileSystem fs;
  fs.FailCall(3, EIO);
  EXPECT_TRUE(fs.CreateDirectories(dir / "a"));
  EXPECT_TRUE(fs.AppendToFile(dir / "a/log", "x", true));
  errno = 0;
  EXPECT_FALSE(fs.Rename(dir / "a/log", dir / "a/moved"));
  EXPECT_EQ(errno, EIO);
  EXPECT_TRUE(std::filesystem::exists(dir / "a/log"));  // the failed call did nothing
  EXPECT_TRUE(fs.Rename(dir / "a/log", dir / "a/moved"));
  EXPECT_TRUE(fs.Exists(dir / "a/moved"));  // asking is not counted

  EXPECT_EQ(fs.calls(), 4);
  EXPECT_EQ(fs.calls(FsCall::kRename), 2);
  ASSERT_EQ(fs.injected().size(), 1u);
  EXPECT_EQ(fs.injected()[0].kind, FsCall::kRename);
  EXPECT_EQ(fs.injected()[0].path, dir / "a/moved");
  EXPECT_EQ(fs.injected()[0].call, 3);
}

TEST(FaultyFileSystemTest, StreamsFailTheirWritesAndCloseAsPlannedAndStillGiveTheFileBack) {
  TempDir dir;
  FaultyFileSystem fs;
  fs.FailCall(FsCall::kStreamWrite, 2, ENOSPC, true);  // a disk that stays full
  auto out = fs.Create(dir / "copy");
  out->WriteBuffer("first", 5);
  EXPECT_THROW(out->WriteBuffer("second", 6), StreamError);
  EXPECT_THROW(out->WriteBuffer("third", 5), StreamError);
  EXPECT_TRUE(fs.DeleteFile(dir / "copy"));  // other kinds go through
  EXPECT_EQ(fs.injected().size(), 2u);

  fs.FailCall(FsCall::kStreamClose, 1, EIO);
  auto other = fs.Create(dir / "other");
  other->WriteBuffer("kept", 4);
  EXPECT_THROW(other->Close(), StreamError);
  EXPECT_FALSE(fs.StatStream(*other).has_value());  // the file is given back
  EXPECT_EQ(ReadFile(dir / "other"), "kept");

  fs.Disarm();
  auto in = fs.OpenRead(dir / "other");
  char buffer[4];
  in->ReadBuffer(buffer, 4);
  EXPECT_EQ(fs.calls(FsCall::kStreamRead), 1);
}

TEST(FaultyFileSystemTest, ARuleFailsChosenPathsAndStandingFaultsStay) {
  TempDir dir;
  WriteFile(dir / "locked", "x");
  WriteFile(dir / "free", "y");
  FaultyFileSystem fs;
  fs.rule = [&](FsCall kind, const std::string& path) {
    return kind == FsCall::kOpenRead && path == dir / "locked" ? EACCES : 0;
  };
  EXPECT_THROW(fs.OpenRead(dir / "locked"), StreamError);
  EXPECT_NE(fs.OpenRead(dir / "free"), nullptr);

  fs.failReads = EIO;
  EXPECT_FALSE(fs.ReadFile(dir / "free").has_value());
  EXPECT_FALSE(fs.ReadFile(dir / "free").has_value());
  fs.failReads = 0;
  EXPECT_EQ(fs.ReadFile(dir / "free"), std::optional<std::string>("y"));
}

}  // namespace
}  // namespace varnoket::test
