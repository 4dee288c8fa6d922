#include <gtest/gtest.h>

#include "engine/FileRecord.h"
#include "restore/DayFileTree.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using NodeId = StateTree::NodeId;

class DayFileTreeTest : public ::testing::Test {
 protected:
  DayFileTreeTest() {
    tree.SetStateRecursion(true);
    tree.SetStateIgnore(0);
  }

  // Writes the lines as filelist.txt (CR LF) and loads them.
  bool Load(const std::vector<std::string>& lines, PathStyle style) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    test::WriteFile(path, text);
    return LoadDayFileList(
        fs, path, tree, PathRules(style), [this] { ++pumps; }, {}, &unreadable);
  }

  // The node reached from the top level by these texts, or kNoNode.
  NodeId Find(std::initializer_list<std::string> texts) const {
    NodeId at = StateTree::kNoNode;
    for (const auto& t : texts) {
      NodeId next = StateTree::kNoNode;
      for (NodeId c : tree.Children(at)) {
        if (tree.Text(c) == t) next = c;
      }
      if (next == StateTree::kNoNode) return next;
      at = next;
    }
    return at;
  }

  std::vector<std::string> Texts(NodeId parent) const {
    std::vector<std::string> texts;
    for (NodeId c : tree.Children(parent)) texts.push_back(tree.Text(c));
    return texts;
  }

  std::vector<std::string> FilePaths(NodeId node) const {
    std::vector<std::string> paths;
    if (const FileNodeList* files = tree.Files(node)) {
      for (const auto& e : *files) paths.push_back(e.FullPath);
    }
    return paths;
  }

  test::TempDir dir;
  std::string path = dir / "filelist.txt";
  test::FaultyFileSystem fs;
  StateTree tree;
  std::vector<UnreadableLine> unreadable;
  int pumps = 0;
};

TEST_F(DayFileTreeTest, PlacesDriveAndShareRecordsWithTheirFields) {
  ASSERT_TRUE(Load({"12|590|__srv\\share\\d\\f.ZZ|\\\\srv\\share\\d\\f|32|1234567|0",
                    "3|97|C_\\a.txt.ZZ|C:\\a.txt|33|-5|0"},
                   PathStyle::kWindows));
  EXPECT_EQ(Texts(StateTree::kNoNode), (std::vector<std::string>{"C:", "\\\\srv"}));
  const NodeId c = Find({"C:"});
  ASSERT_NE(c, StateTree::kNoNode);
  ASSERT_EQ(tree.Files(c)->size(), 1u);
  const FileNode& a = tree.Files(c)->front();
  EXPECT_EQ(a.FullPath, "C:\\a.txt");
  EXPECT_EQ(a.StoredName, "C_\\a.txt.ZZ");
  EXPECT_EQ(a.Attributes, 33);
  EXPECT_EQ(a.FileDate, -5);
  EXPECT_EQ(a.State, 0);
  ASSERT_TRUE(a.Content.has_value());
  EXPECT_EQ(a.Content->size, 3);
  EXPECT_EQ(a.Content->checksum, 97u);

  const NodeId d = Find({"\\\\srv", "share", "d"});
  ASSERT_NE(d, StateTree::kNoNode);
  EXPECT_EQ(FilePaths(d), std::vector<std::string>{"\\\\srv\\share\\d\\f"});
  EXPECT_EQ(tree.Files(d)->front().FileDate, 1234567);
  EXPECT_EQ(tree.Files(Find({"\\\\srv"})), nullptr);
  for (NodeId n : tree.PreOrder()) EXPECT_EQ(tree.State(n), kStateUnticked);
  // One pump per path level: 2 for C:\a.txt, 4 for the share's file.
  EXPECT_EQ(pumps, 6);

  // Built with recursion on: ticking the top ticks every entry below.
  tree.SetState(Find({"\\\\srv"}), kStateTicked);
  EXPECT_EQ(tree.Files(d)->front().State, kStateTicked);
  EXPECT_EQ(tree.State(d), kStateTicked);
}

TEST_F(DayFileTreeTest, EachFileKeepsTheSizeAndChecksumOfItsOwnRecord) {
  ASSERT_TRUE(Load({"30|3000|_/d/c.ZZ|/d/c|33188|0|0", "-10|10|_/d/a.ZZ|/d/a|33188|0|0",
                    "2x|20|_/d/b.ZZ|/d/b|33188|0|0"},
                   PathStyle::kPosix));
  const FileNodeList* files = tree.Files(Find({"/", "d"}));
  ASSERT_NE(files, nullptr);
  // A size that is no number proves nothing: that file is not offered.
  ASSERT_EQ(FilePaths(Find({"/", "d"})), (std::vector<std::string>{"/d/a", "/d/c"}));
  ASSERT_TRUE((*files)[0].Content.has_value());
  EXPECT_EQ((*files)[0].Content->size, -10);
  EXPECT_EQ((*files)[0].Content->checksum, 10u);
  ASSERT_TRUE((*files)[1].Content.has_value());
  EXPECT_EQ((*files)[1].Content->size, 30);
  EXPECT_EQ((*files)[1].Content->checksum, 3000u);
  ASSERT_EQ(unreadable.size(), 1u);
  EXPECT_EQ(unreadable[0].fault, LineFault::kBadNumber);
  EXPECT_EQ(unreadable[0].path, "/d/b");
}

TEST_F(DayFileTreeTest, SortsWithoutRegardToCaseAndMergesNodesAcrossCase) {
  ASSERT_TRUE(
      Load({"1|1|C_\\zeta\\y.ZZ|C:\\zeta\\y|32|0|0", "1|1|C_\\DOCS\\y.ZZ|C:\\DOCS\\y|32|0|0",
            "1|1|C_\\Docs\\x.ZZ|C:\\Docs\\x|32|0|0", "1|1|C_\\été\\z.ZZ|C:\\été\\z|32|0|0",
            "1|1|C_\\ÉTÉ\\z.ZZ|C:\\ÉTÉ\\z|32|0|0", "1|1|C_\\b\\z.ZZ|C:\\b\\z|32|0|0"},
           PathStyle::kWindows));
  const NodeId c = Find({"C:"});
  // Siblings in the sorted order; the node takes the name of the record that
  // sorts first (x before y); accented letters stay apart and sort by byte.
  EXPECT_EQ(Texts(c), (std::vector<std::string>{"b", "Docs", "zeta", "ÉTÉ", "été"}));
  EXPECT_EQ(FilePaths(Find({"C:", "Docs"})),
            (std::vector<std::string>{"C:\\Docs\\x", "C:\\DOCS\\y"}));
}

TEST_F(DayFileTreeTest, DirectoryRecordsMakeNodesAndHideFilesOfTheSameName) {
  ASSERT_TRUE(
      Load({"0|0|*|C:\\a\\empty|16|1569196700|0", "5|9|C_\\a\\B.ZZ|C:\\a\\B|32|0|0",
            "5|9|C_\\a\\b\\c.txt.ZZ|C:\\a\\b\\c.txt|32|0|0", "5|9|C_\\a\\b!.ZZ|C:\\a\\b!|32|0|0"},
           PathStyle::kWindows));
  const NodeId a = Find({"C:", "a"});
  // "b\c.txt" sorts before the file "B" ('\' < '|'), so the node comes first.
  EXPECT_EQ(Texts(a), (std::vector<std::string>{"b", "empty"}));
  EXPECT_EQ(FilePaths(a), std::vector<std::string>{"C:\\a\\b!"});
  EXPECT_EQ(tree.Files(Find({"C:", "a", "empty"})), nullptr);
  // The record's date and attributes stay with its node, for the restore;
  // the folders above it and those that hold files have none.
  const auto& record = tree.FolderRecord(Find({"C:", "a", "empty"}));
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->attributes, 16);
  EXPECT_EQ(record->fileDate, 1569196700);
  EXPECT_FALSE(tree.FolderRecord(a).has_value());
  EXPECT_FALSE(tree.FolderRecord(Find({"C:", "a", "b"})).has_value());
  EXPECT_EQ(FilePaths(Find({"C:", "a", "b"})), std::vector<std::string>{"C:\\a\\b\\c.txt"});
}

TEST_F(DayFileTreeTest, SkipsHiddenRecordsAndNamesEveryLineThatIsNoSoundRecord) {
  ASSERT_TRUE(Load({"", "a|b|c|d", "abcdefgh|1|2", "1|1|C_\\k\\one.ZZ|C:\\k\\one|32|0|1",
                    "1|1|C_\\k\\ten.ZZ|C:\\k\\ten|32|0|10", "1|1|C_a.ZZ|C:a.txt|32|0|0",
                    "1|1|C_\\k\\more.ZZ|C:\\k\\more|32|0|0|extra|fields"},
                   PathStyle::kWindows));
  // Field 7 "1" hides a record; fields after the seventh are dropped; an
  // empty line is no record at all.
  EXPECT_EQ(Texts(StateTree::kNoNode), std::vector<std::string>{"C:"});
  EXPECT_EQ(Texts(Find({"C:"})), std::vector<std::string>{"k"});
  EXPECT_EQ(FilePaths(Find({"C:", "k"})), std::vector<std::string>{"C:\\k\\more"});
  EXPECT_EQ(tree.Files(Find({"C:"})), nullptr);
  std::vector<LineFault> faults;
  for (const UnreadableLine& l : unreadable) faults.push_back(l.fault);
  EXPECT_EQ(faults, (std::vector<LineFault>{LineFault::kCut, LineFault::kCut,
                                            LineFault::kBadLastField, LineFault::kBadPath}));
}

TEST_F(DayFileTreeTest, BadRecordsAreLeftOutWithTheirFaultAndTheLoadGoesOn) {
  using namespace std::string_literals;
  const struct {
    std::string line;
    PathStyle style;
    LineFault fault;
  } cases[] = {
      {"1|1|C_\\k\\x.ZZ|C:\\k\\x|3x2|0|0", PathStyle::kWindows, LineFault::kBadNumber},
      {"1|1|C_\\k\\x.ZZ|C:\\k\\x|32||0", PathStyle::kWindows, LineFault::kBadNumber},
      {"1|1|C_\\k\\x.ZZ|C:\\k\\x|32|2147483648|0", PathStyle::kWindows, LineFault::kBadNumber},
      {"1|1|C_\\k\\x.ZZ|C:\\k\\x|+-3|0|0", PathStyle::kWindows, LineFault::kBadNumber},
      {"1|98|_/h/x.ZZ|/h/\x05\0\0copy|33189|1483174052|0"s, PathStyle::kPosix, LineFault::kBadPath},
      {"1|98|_/h/../x.ZZ|/h/x|33189|1483174052|0", PathStyle::kPosix, LineFault::kBadStoredName},
      {"1|98|_/h/x.ZZ|/h/../../etc/x|33189|1483174052|0", PathStyle::kPosix, LineFault::kBadPath},
      {"1|98|_/h/x.ZZ|h/x|33189|1483174052|0", PathStyle::kPosix, LineFault::kBadPath},
      {"0|0|*|C:|16|0|0", PathStyle::kWindows, LineFault::kBadPath},
      {"0|0|*|/|16877|0|0", PathStyle::kPosix, LineFault::kBadPath},
  };
  for (const auto& c : cases) {
    tree.Clear();
    unreadable.clear();
    ASSERT_TRUE(Load({c.line}, c.style));
    EXPECT_EQ(tree.NodeCount(), 0u) << c.line;
    ASSERT_EQ(unreadable.size(), 1u) << c.line;
    EXPECT_EQ(unreadable[0].fault, c.fault) << c.line;
    // Shown without its control bytes.
    EXPECT_EQ(unreadable[0].text.find_first_of("\x05"s + '\0'), std::string::npos);
  }
  tree.Clear();
  unreadable.clear();
  ASSERT_TRUE(Load({"1|1|C_\\k\\x.ZZ|C:\\k\\x|32|-2147483648|0"}, PathStyle::kWindows));
  EXPECT_EQ(tree.Files(Find({"C:", "k"}))->front().FileDate, INT32_MIN);
  EXPECT_TRUE(unreadable.empty());
}

TEST_F(DayFileTreeTest, UnreadableListLeavesTheTreeEmpty) {
  EXPECT_FALSE(LoadDayFileList(fs, dir / "missing.txt", tree, PathRules(PathStyle::kPosix)));
  EXPECT_EQ(tree.NodeCount(), 0u);
  test::WriteFile(path, "");
  EXPECT_TRUE(LoadDayFileList(fs, path, tree, PathRules(PathStyle::kPosix)));
  EXPECT_EQ(tree.NodeCount(), 0u);
  test::WriteFile(path, "1|1|_/a/b.ZZ|/a/b|32|0|0\r\n");
  fs.failReads = EACCES;
  EXPECT_FALSE(LoadDayFileList(fs, path, tree, PathRules(PathStyle::kPosix)));
  EXPECT_EQ(tree.NodeCount(), 0u);
}

TEST_F(DayFileTreeTest, PosixPathsHangBelowOneTopLevelNodeAndKeepTheirCase) {
  const PathRules rules(PathStyle::kPosix);
  auto file = [&rules](const std::string& p) {
    return FormatFileRecord(10, 77, rules.StoredName(p), p, 0100644, 1000);
  };
  ASSERT_TRUE(Load(
      {file("/home/u/docs/y"), file("/home/u/Docs/x"), file("/home/u/a.txt"), file("relative/x"),
       file("/a"), FormatDirectoryRecord("/home/u/empty", 040755, 7), file("/home/u/Docs")},
      PathStyle::kPosix));
  EXPECT_EQ(Texts(StateTree::kNoNode), std::vector<std::string>{"/"});
  const NodeId top = Find({"/"});
  EXPECT_EQ(Texts(top), std::vector<std::string>{"home"});
  EXPECT_EQ(FilePaths(top), std::vector<std::string>{"/a"});
  const NodeId u = Find({"/", "home", "u"});
  EXPECT_EQ(Texts(u), (std::vector<std::string>{"Docs", "docs", "empty"}));
  // The file /home/u/Docs sorts after the folder of that name and is hidden by it.
  EXPECT_EQ(FilePaths(u), std::vector<std::string>{"/home/u/a.txt"});
  ASSERT_EQ(FilePaths(Find({"/", "home", "u", "docs"})),
            std::vector<std::string>{"/home/u/docs/y"});
  const FileNode& x = tree.Files(Find({"/", "home", "u", "Docs"}))->front();
  EXPECT_EQ(x.StoredName, "_/home/u/Docs/x.ZZ");
  EXPECT_EQ(x.Attributes, 0100644);
  EXPECT_EQ(x.FileDate, 1000);
}

TEST_F(DayFileTreeTest, AddFileNodeContinuesFromAPlacedPrefix) {
  const PathRules rules(PathStyle::kWindows);
  const NodeId c = tree.AddChild(StateTree::kNoNode, "C:", kStateUnticked);
  FileNode entry;
  entry.FullPath = "C:\\x\\y\\f";
  entry.StoredName = "C_\\x\\y\\f.ZZ";
  int calls = 0;
  AddFileNode(tree, entry, "C:\\", c, rules, [&calls] { ++calls; });
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(FilePaths(Find({"C:", "x", "y"})), std::vector<std::string>{"C:\\x\\y\\f"});
  // A prefix longer than the path places nothing.
  entry.FullPath = "C:\\z";
  AddFileNode(tree, entry, "C:\\zzzzzz", c, rules);
  EXPECT_EQ(Texts(c), std::vector<std::string>{"x"});
  EXPECT_EQ(tree.Files(c), nullptr);
}

}  // namespace
}  // namespace varnoket
