// The store's marker file: what it holds, that configuring a store twice
// keeps its id, that a failed write leaves neither a half marker nor its
// temporary file, and that no station file is made below an unmarked root.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <regex>

#include "settings/StationSettings.h"
#include "settings/StoreMarker.h"
#include "support/FakeDialogs.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fsys::directory_iterator(folder)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(StoreMarkerTest, MarkingWritesAnIdAndDateOnceAndKeepsThemAfter) {
  TempDir dir;
  const auto first = MarkStore(DefaultFileSystem(), dir.path());
  ASSERT_TRUE(first);
  EXPECT_TRUE(std::regex_match(first->id, std::regex("[0-9a-f]{32}")));
  EXPECT_TRUE(std::regex_match(first->created, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")));
  EXPECT_EQ(ReadFile(dir / "VARNOKET.STORE"),
            "[STORE]\r\nID=" + first->id + "\r\nCREATED=" + first->created + "\r\n");
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"VARNOKET.STORE"});

  const auto again = MarkStore(DefaultFileSystem(), dir.path());
  ASSERT_TRUE(again);
  EXPECT_EQ(again->id, first->id);
  EXPECT_EQ(again->created, first->created);

  TempDir other;
  const auto second = MarkStore(DefaultFileSystem(), other.path());
  ASSERT_TRUE(second);
  EXPECT_NE(second->id, first->id);
}

TEST(StoreMarkerTest, OnlyATextWithAWholeHexadecimalIdIsAMarker) {
  const std::string id = "0123456789ABCDEF0123456789abcdef";
  const auto upper = ParseStoreMarker("[STORE]\nid = " + id + "\ncreated=2026-01-02 03:04:05\n");
  ASSERT_TRUE(upper);
  EXPECT_EQ(upper->id, "0123456789abcdef0123456789abcdef");
  EXPECT_EQ(upper->created, "2026-01-02 03:04:05");
  EXPECT_FALSE(ParseStoreMarker(""));
  EXPECT_FALSE(ParseStoreMarker("[STORE]\r\nID=0123456789abcdef\r\n"));
  EXPECT_FALSE(ParseStoreMarker("[STORE]\r\nID=" + id.substr(1) + "g\r\n"));
  EXPECT_FALSE(ParseStoreMarker("[STORE]\r\nIDENT=" + id + "\r\n"));
}

TEST(StoreMarkerTest, AFailedWriteLeavesNoMarkerAndNoTemporaryFile) {
  TempDir dir;
  FaultyFileSystem disk;
  disk.failWrites = ENOSPC;
  EXPECT_FALSE(MarkStore(disk, dir.path()));
  EXPECT_TRUE(Names(dir.path()).empty());

  // A failing rename after the link failed too (a disk without hard links):
  // the temporary copy goes, no marker stays.
  disk.failWrites = 0;
  disk.rule = [](FsCall kind, const std::string&) {
    return kind == FsCall::kLink || kind == FsCall::kRename ? EIO : 0;
  };
  EXPECT_FALSE(MarkStore(disk, dir.path()));
  EXPECT_TRUE(Names(dir.path()).empty());
}

TEST(StoreMarkerTest, WithoutHardLinksTheMarkerIsRenamedIntoPlace) {
  TempDir dir;
  FaultyFileSystem disk;
  disk.rule = [](FsCall kind, const std::string&) { return kind == FsCall::kLink ? EPERM : 0; };
  const auto marker = MarkStore(disk, dir.path());
  ASSERT_TRUE(marker);
  EXPECT_EQ(ReadStoreMarker(DefaultFileSystem(), dir.path())->id, marker->id);
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"VARNOKET.STORE"});
}

TEST(StoreMarkerTest, TheStationFileIsMadeOnlyBelowAMarkedRoot) {
  TempDir dir;
  FakeDialogs dialogs;
  const PathRules rules(PathStyle::kPosix);
  StationSettings station;
  EXPECT_FALSE(LoadStationSettings(DefaultFileSystem(), dialogs, station, dir.path(), "PC", rules));
  EXPECT_TRUE(Names(dir.path()).empty());
  EXPECT_TRUE(dialogs.calls().empty());

  ASSERT_TRUE(MarkStore(DefaultFileSystem(), dir.path()));
  EXPECT_TRUE(LoadStationSettings(DefaultFileSystem(), dialogs, station, dir.path(), "PC", rules));
  EXPECT_TRUE(fsys::exists(dir / "PC/PC.ini"));
}

}  // namespace
}  // namespace varnoket::test
