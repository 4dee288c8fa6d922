#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>

#include "platform/DosDate.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FileSystemTest, ListsEntriesWithTypesSizesAndDates) {
  TempDir dir;
  PosixFileSystem fs;
  WriteFile(dir / "a.txt", "12345");
  WriteFile(dir / ".hidden", "");
  std::filesystem::create_directory(dir / "sub");
  std::filesystem::create_symlink(dir / "a.txt", dir / "link");
  std::filesystem::create_symlink(dir / "gone", dir / "dangling");
  const int32_t date = PackDosDate({2004, 3, 5, 13, 45, 58, 0});
  ASSERT_TRUE(fs.SetFileDate(dir / "a.txt", date));
  ASSERT_TRUE(fs.SetAttributes(dir / "a.txt", 0640));

  const auto entries = fs.ListDirectory(dir.path());
  ASSERT_TRUE(entries.has_value());
  std::map<std::string, DirEntry> byName;
  for (const auto& e : *entries) byName[e.name] = e;
  ASSERT_EQ(byName.size(), 5u);

  const DirEntry& file = byName["a.txt"];
  EXPECT_TRUE(file.isRegularFile);
  EXPECT_FALSE(file.isSymlink);
  EXPECT_FALSE(file.hidden);
  EXPECT_EQ(file.size, 5u);
  EXPECT_EQ(file.dosDate, date);
  EXPECT_EQ(file.attributes, static_cast<uint32_t>(S_IFREG | 0640));

  EXPECT_TRUE(byName[".hidden"].hidden);
  EXPECT_TRUE(byName["sub"].isDirectory);
  EXPECT_EQ(byName["sub"].size, 0u);
  // A link is described by its target, and flagged.
  EXPECT_TRUE(byName["link"].isSymlink);
  EXPECT_TRUE(byName["link"].isRegularFile);
  EXPECT_EQ(byName["link"].size, 5u);
  EXPECT_TRUE(byName["dangling"].isSymlink);
  EXPECT_FALSE(byName["dangling"].isRegularFile);

  EXPECT_FALSE(fs.ListDirectory(dir / "missing").has_value());
  EXPECT_TRUE(fs.IsDirectory(dir / "sub"));
  EXPECT_TRUE(fs.IsFile(dir / "link"));
  EXPECT_FALSE(fs.Exists(dir / "missing"));
}

TEST(FileSystemTest, CreatesFoldersWithTheirParents) {
  TempDir dir;
  PosixFileSystem fs;
  EXPECT_TRUE(fs.CreateDirectories(dir / "a/b/c"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "a/b/c"));
  EXPECT_TRUE(fs.CreateDirectories(dir / "a/b"));
  WriteFile(dir / "file", "x");
  // A failure carries the operation, the path and the system's reason.
  const FsStatus blocked = fs.CreateDirectories(dir / "file/sub");
  EXPECT_FALSE(blocked);
  EXPECT_EQ(blocked.op(), FsOp::kCreateFolder);
  EXPECT_EQ(blocked.path(), dir / "file/sub");
  EXPECT_EQ(blocked.systemError(), ENOTDIR);
  EXPECT_EQ(blocked.Reason(), std::strerror(ENOTDIR));
  // A failure the system gave no reason for still has one.
  EXPECT_EQ(FsStatus::Failed(FsOp::kSync, "/x", 0).systemError(), EIO);
  EXPECT_EQ(FsStatus().Reason(), "");
}

TEST(FileSystemTest, ClearAttributesMakesAFileWritableByItsOwner) {
  TempDir dir;
  PosixFileSystem fs;
  WriteFile(dir / "ro.txt", "x");
  ASSERT_TRUE(fs.SetAttributes(dir / "ro.txt", 0444));
  ASSERT_TRUE(fs.ClearAttributes(dir / "ro.txt"));
  EXPECT_EQ(ModeOf(dir / "ro.txt"), 0644u);
  EXPECT_FALSE(fs.ClearAttributes(dir / "missing"));
}

TEST(FileSystemTest, CopyKeepsContentModeAndDateAndHonoursOverwrite) {
  TempDir dir;
  PosixFileSystem fs;
  WriteFile(dir / "src", "new contents");
  ASSERT_TRUE(fs.SetAttributes(dir / "src", 0600));
  const int32_t date = PackDosDate({2001, 9, 9, 9, 9, 8, 0});
  ASSERT_TRUE(fs.SetFileDate(dir / "src", date));
  WriteFile(dir / "dst", "old");

  const FsStatus taken = fs.CopyFile(dir / "src", dir / "dst", false);
  EXPECT_EQ(taken.systemError(), EEXIST);
  EXPECT_EQ(taken.path(), dir / "dst");
  EXPECT_EQ(ReadFile(dir / "dst"), "old");

  EXPECT_TRUE(fs.CopyFile(dir / "src", dir / "dst", true));
  EXPECT_EQ(ReadFile(dir / "dst"), "new contents");
  EXPECT_EQ(ModeOf(dir / "dst"), 0600u);
  EXPECT_EQ(fs.Stat(dir / "dst")->dosDate, date);

  // A failed copy leaves neither a target nor a half-written temporary.
  EXPECT_FALSE(fs.CopyFile(dir / "missing", dir / "other", true));
  EXPECT_FALSE(fs.CopyFile(dir / "src", dir / "nofolder/dst", true));
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"dst", "src"}));
}

TEST(FileSystemTest, AtomicWriteReplacesTheFileAndLeavesNoTemporary) {
  TempDir dir;
  PosixFileSystem fs;
  WriteFile(dir / "settings.ini", "old");
  ASSERT_TRUE(fs.SetAttributes(dir / "settings.ini", 0600));
  EXPECT_TRUE(fs.WriteFileAtomic(dir / "settings.ini", "new\r\n"));
  EXPECT_EQ(ReadFile(dir / "settings.ini"), "new\r\n");
  EXPECT_EQ(ModeOf(dir / "settings.ini"), 0600u);
  EXPECT_TRUE(fs.WriteFileAtomic(dir / "fresh.ini", ""));
  EXPECT_EQ(fs.ReadFile(dir / "fresh.ini"), std::optional<std::string>(""));
  const FsStatus nowhere = fs.WriteFileAtomic(dir / "nofolder/x.ini", "x");
  EXPECT_EQ(nowhere.op(), FsOp::kWrite);
  EXPECT_EQ(nowhere.systemError(), ENOENT);
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"fresh.ini", "settings.ini"}));
  EXPECT_TRUE(fs.SyncFileSystem(dir.path()));
  EXPECT_TRUE(fs.SyncFileSystem(dir / "fresh.ini"));
}

TEST(FileSystemTest, AtomicWriteRespectsAReadOnlyFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes read-only files";
  TempDir dir;
  PosixFileSystem fs;
  WriteFile(dir / "ro.ini", "kept");
  ASSERT_TRUE(fs.SetAttributes(dir / "ro.ini", 0444));
  EXPECT_EQ(fs.WriteFileAtomic(dir / "ro.ini", "lost").systemError(), EACCES);
  EXPECT_EQ(ReadFile(dir / "ro.ini"), "kept");
}

TEST(FileSystemTest, CreatedStreamsTruncate) {
  TempDir dir;
  PosixFileSystem fs;
  WriteFile(dir / "f", "long old contents");
  {
    auto out = fs.Create(dir / "f");
    out->WriteBuffer("ab", 2);
    out->Close();
  }
  EXPECT_EQ(ReadFile(dir / "f"), "ab");
  EXPECT_THROW(fs.OpenRead(dir / "missing"), StreamError);
  EXPECT_FALSE(fs.ReadFile(dir / "missing").has_value());
  EXPECT_FALSE(fs.ReadFile(dir.path()).has_value());
}

TEST(FileSystemTest, AppendsInOnePieceAndStartsANewFileOnlyWhenAsked) {
  TempDir dir;
  PosixFileSystem fs;
  const std::string log = dir / "LASTBACKUP.LOG";
  EXPECT_FALSE(fs.AppendToFile(log, "lost\r\n", false));  // appending never creates
  EXPECT_FALSE(std::filesystem::exists(log));

  ASSERT_TRUE(fs.AppendToFile(log, "HEAD\r\n", true));
  ASSERT_TRUE(fs.AppendToFile(log, "one\r\n", false));
  ASSERT_TRUE(fs.AppendToFile(log, "two\r\n", false));
  EXPECT_EQ(ReadFile(log), "HEAD\r\none\r\ntwo\r\n");
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(ModeOf(log), 0666u & ~mask);  // readable by others, unlike a stored copy

  ASSERT_TRUE(fs.AppendToFile(log, "", true));  // started again, empty
  EXPECT_EQ(ReadFile(log), "");

  EXPECT_FALSE(fs.AppendToFile(dir.path(), "x", false));
  EXPECT_FALSE(fs.AppendToFile(dir.path(), "x", true));
  EXPECT_FALSE(fs.AppendToFile(dir / "missing/x.log", "x", true));
}

// The stat and the permissions of an open stream are those of the file it
// holds, whatever its name has become, so that a file renamed between its
// opening and its copy cannot mix two files' properties.
TEST(FileSystemTest, AnOpenStreamIsStatedAndChangedThroughTheFileItHolds) {
  TempDir dir;
  PosixFileSystem fs;
  WriteFile(dir / "source", "12345");
  ASSERT_TRUE(fs.SetAttributes(dir / "source", 0640));
  const int32_t date = PackDosDate({2004, 3, 5, 13, 45, 58, 0});
  ASSERT_TRUE(fs.SetFileDate(dir / "source", date));
  auto in = fs.OpenRead(dir / "source");
  std::filesystem::rename(dir / "source", dir / "moved");
  WriteFile(dir / "source", "another file under the old name");

  const auto held = fs.StatStream(*in);
  ASSERT_TRUE(held.has_value());
  EXPECT_TRUE(held->isRegularFile);
  EXPECT_EQ(held->size, 5u);
  EXPECT_EQ(held->dosDate, date);
  EXPECT_EQ(held->attributes, static_cast<uint32_t>(S_IFREG | 0640));
  EXPECT_EQ(held->name, "source");

  auto out = fs.Create(dir / "copy");
  out->WriteBuffer("abc", 3);
  EXPECT_EQ(fs.StatStream(*out)->size, 3u);
  std::filesystem::rename(dir / "copy", dir / "copy-moved");
  ASSERT_TRUE(fs.SetStreamPermissions(*out, 0604));
  EXPECT_EQ(ModeOf(dir / "copy-moved"), 0604u);

  // A closed stream holds no file any more.
  out->Close();
  EXPECT_FALSE(fs.StatStream(*out).has_value());
  EXPECT_FALSE(fs.SetStreamPermissions(*out, 0600));
}

// A link's target is handed back as written, however long: the picked
// folder and the autostart entry resolve it against the link's own folder.
TEST(FileSystemTest, ReadsALinksTargetAsWrittenAndNothingForAFile) {
  TempDir dir;
  PosixFileSystem fs;
  std::string longTarget;
  while (longTarget.size() < 900) longTarget += "folder-of-a-long-name/";
  longTarget += "end";
  std::filesystem::create_symlink(longTarget, dir / "long");
  std::filesystem::create_symlink("../elsewhere", dir / "relative");
  WriteFile(dir / "plain", "x");

  EXPECT_EQ(fs.ReadLink(dir / "long"), longTarget);
  EXPECT_EQ(fs.ReadLink(dir / "relative"), "../elsewhere");
  EXPECT_FALSE(fs.ReadLink(dir / "plain").has_value());
  EXPECT_FALSE(fs.ReadLink(dir / "missing").has_value());
}

}  // namespace
}  // namespace varnoket
