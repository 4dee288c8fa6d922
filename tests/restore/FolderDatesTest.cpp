// The window's restore run gives the empty folders the list records their
// date and mode once everything below them is in place, the deepest first,
// and never through a link put in a folder's place while the run went on.
// (Folders that were there already: tests/cli/RestoreMetadataCliTest.)
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>

#include "engine/BZip2.h"
#include "platform/DosDate.h"
#include "restore/RestoreRun.h"
#include "support/FaultyFileSystem.h"
#include "support/RecordedBytes.h"
#include "support/RecordingRestoreHost.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using test::ReadFile;
using test::WriteFile;
namespace fsys = std::filesystem;

// A local time with even seconds, as a list can keep it.
std::time_t LocalTime(int year, int month, int day, int hour) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = 20;
  t.tm_sec = 30;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

struct stat StatOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st;
}

void Touch(const std::string& path, std::time_t when) {
  const timespec times[2] = {{when, 0}, {when, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

class FolderDatesTest : public ::testing::Test {
 protected:
  FolderDatesTest() : layout(rules, tmp / "store", "PC"), ctx(fs, layout, days) {
    tree.SetStateRecursion(true);
  }

  // The node of a directory, with every missing node above it (state 1).
  StateTree::NodeId Dir(const std::string& path) {
    StateTree::NodeId node = tree.Children(StateTree::kNoNode).empty()
                                 ? tree.AddChild(StateTree::kNoNode, "/", kStateUnticked)
                                 : tree.Children(StateTree::kNoNode)[0];
    for (const auto& name : fsys::path(path).relative_path()) {
      StateTree::NodeId found = tree.FindChild(node, name.string(), false);
      node =
          found != StateTree::kNoNode ? found : tree.AddChild(node, name.string(), kStateUnticked);
    }
    return node;
  }
  // An empty folder as the list records it.
  StateTree::NodeId Recorded(const std::string& path, uint32_t mode, std::time_t when) {
    const StateTree::NodeId node = Dir(path);
    tree.SetFolderRecord(node, RecordedFolder{static_cast<int32_t>(mode), DosDateFromTime(when)});
    return node;
  }
  // A file of `dir` whose stored copy holds `bytes`, recorded with the older
  // day's date.
  void File(StateTree::NodeId dir, const std::string& fullPath, const std::string& bytes) {
    const std::string name = rules.StoredName(fullPath);
    MemoryStream in(bytes);
    MemoryStream copy;
    CompressFile(in, copy);
    WriteFile(tmp / ("store/PC/01032006/" + name), copy.data());
    tree.EnsureFiles(dir).push_back(FileNode{fullPath, name, 0100600, DosDateFromTime(olderDay),
                                             kStateUnticked, test::ContentOf(bytes)});
  }
  RestoreRunTotals RunTicked(const std::string& top) {
    tree.SetState(Dir(top), kStateTicked);
    return RunRestore(tree, ctx, host);
  }

  test::TempDir tmp;
  std::string out = tmp / "out";
  PathRules rules{PathStyle::kPosix};
  StoreLayout layout;
  std::vector<std::string> days{"01032006"};
  test::FaultyFileSystem fs;
  RestoreRunContext ctx;
  StateTree tree;
  test::RecordingRestoreHost host;
  const std::time_t recordedDay = LocalTime(2021, 6, 15, 10);
  const std::time_t olderDay = LocalTime(2019, 2, 3, 8);
};

TEST_F(FolderDatesTest, RecordedFoldersGetTheirDateAndModeOnceEverythingBelowIsRestored) {
  fsys::create_directories(out + "/kept");
  WriteFile(out + "/kept/same.txt", "same");
  Recorded(out + "/empty", 040750, recordedDay);
  // A record above a file: what comes into the folder must not leave the
  // restore's time on it.
  File(Recorded(out + "/box", 040700, olderDay), out + "/box/f.txt", "inside");
  // A folder that was there, not recorded, whose file is already as
  // recorded: nothing is written into it and nothing changes its date.
  File(Dir(out + "/kept"), out + "/kept/same.txt", "same");
  Touch(out + "/kept/same.txt", olderDay);
  Touch(out + "/kept", olderDay);

  const RestoreRunTotals t = RunTicked(out);
  EXPECT_EQ(t.errors, 0) << testing::PrintToString(host.lines);
  EXPECT_EQ(t.upToDate, 1);
  EXPECT_EQ(StatOf(out + "/empty").st_mode & 07777, 0750u);
  EXPECT_EQ(StatOf(out + "/empty").st_mtime, recordedDay);
  EXPECT_EQ(StatOf(out + "/box").st_mode & 07777, 0700u);
  EXPECT_EQ(StatOf(out + "/box").st_mtime, olderDay);
  EXPECT_EQ(ReadFile(out + "/box/f.txt"), "inside");
  EXPECT_EQ(StatOf(out + "/kept").st_mtime, olderDay);
}

TEST_F(FolderDatesTest, TheDeepestFolderIsSetFirstAndAWindowsWordGivesNoMode) {
  Recorded(out + "/a", 040500, recordedDay);
  Recorded(out + "/a/b", 040755, recordedDay);
  Recorded(out + "/a/b/c", 040700, olderDay);
  // The attribute word of a list written on Windows (a directory: 16).
  Recorded(out + "/w", 16, olderDay);
  // There already, and replaced: its date is set, its mode stays.
  fsys::create_directories(out + "/w");
  fsys::permissions(out + "/w", fsys::perms::owner_all);
  std::vector<std::string> calls;
  fs.rule = [&calls](test::FsCall kind, const std::string& path) {
    if (kind == test::FsCall::kSetAttributes) calls.push_back("mode " + path);
    if (kind == test::FsCall::kSetFileDate) calls.push_back("date " + path);
    return 0;
  };

  EXPECT_EQ(RunTicked(out).errors, 0);
  // A parent whose mode would close it to its owner comes after its
  // children; folders of equal depth keep the order of the walk.
  const std::vector<std::string> expected{
      "mode " + out + "/a/b/c", "date " + out + "/a/b/c", "mode " + out + "/a/b",
      "date " + out + "/a/b",   "mode " + out + "/a",     "date " + out + "/a",
      "date " + out + "/w",
  };
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(StatOf(out + "/a").st_mode & 07777, 0500u);
  EXPECT_EQ(StatOf(out + "/w").st_mode & 07777, 0700u);
  EXPECT_EQ(StatOf(out + "/w").st_mtime, olderDay);
  fsys::permissions(out + "/a", fsys::perms::owner_all);
}

TEST_F(FolderDatesTest, ALinkPutInAFoldersPlaceDuringTheRunIsNotFollowed) {
  const std::string outside = tmp / "outside";
  Recorded(tmp.path() + "/direct", 040755, recordedDay);
  Dir(tmp.path() + "/p");
  Recorded(tmp.path() + "/p/rec", 040755, recordedDay);
  // Restored last, once the folders above are made: just before its file
  // takes its place, someone puts links where two of them stand.
  File(Dir(tmp.path() + "/z"), tmp.path() + "/z/f.txt", "last");
  // Below another folder, and in place.
  for (const std::string& root : {out, std::string()}) {
    ctx.destinationRoot = root;
    const std::string base = root + tmp.path();
    fsys::create_directories(outside + "/rec");
    for (const std::string& d : {outside, outside + "/rec"}) {
      fsys::permissions(d, fsys::perms::owner_all);
      Touch(d, olderDay);
    }
    bool swapped = false;
    fs.rule = [&](test::FsCall kind, const std::string&) {
      if (kind == test::FsCall::kRename && !swapped) {
        swapped = true;
        fsys::remove_all(base + "/direct");
        fsys::create_directory_symlink(outside, base + "/direct");
        fsys::remove_all(base + "/p");
        fsys::create_directory_symlink(outside, base + "/p");
      }
      return 0;
    };

    EXPECT_EQ(RunTicked(tmp.path()).errors, 0) << testing::PrintToString(host.lines);
    ASSERT_TRUE(swapped);
    EXPECT_EQ(ReadFile(base + "/z/f.txt"), "last");
    // In place, "p/rec" is the folder the link leads to: the record is
    // given where the person's own link now says the folder is.
    for (const std::string& d : {outside, outside + "/rec"}) {
      const bool followed = root.empty() && d == outside + "/rec";
      EXPECT_EQ(StatOf(d).st_mtime, followed ? recordedDay : olderDay) << d;
      EXPECT_EQ(StatOf(d).st_mode & 07777, followed ? 0755u : 0700u) << d;
    }
  }
}

}  // namespace
}  // namespace varnoket
