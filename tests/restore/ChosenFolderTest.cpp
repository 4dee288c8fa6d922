// Restoring below a chosen folder: each ticked item lands directly in it
// with only its own name and what lies below it, the report names where each
// file went, two items that would share a place are found before anything
// is written, and a link in the chosen folder still cannot lead a file out.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "engine/BZip2.h"
#include "restore/ChosenFolderPath.h"
#include "restore/RestoreRun.h"
#include "restore/TickedDestinations.h"
#include "support/RecordedBytes.h"
#include "support/RecordingRestoreHost.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using test::ReadFile;
using test::WriteFile;
namespace fsys = std::filesystem;

TEST(PathInChosenFolderTest, KeepsOnlyWhatLiesBelowTheTickedItemsFolder) {
  const PathRules rules(PathStyle::kPosix);
  const std::string doc = "/home/anna/Documents/report.odt";
  EXPECT_EQ(PathInChosenFolder(rules, "/tmp/out", "/home/anna/Documents", doc),
            "/tmp/out/report.odt");
  EXPECT_EQ(PathInChosenFolder(rules, "/tmp/out", "/home/anna", doc),
            "/tmp/out/Documents/report.odt");
  EXPECT_EQ(PathInChosenFolder(rules, "/tmp/out/", "/home/anna", doc),
            "/tmp/out/Documents/report.odt");
  EXPECT_EQ(PathInChosenFolder(rules, "/tmp/out", "/", "/home"), "/tmp/out/home");
  // An item at the top of the tree keeps its whole path.
  EXPECT_EQ(PathInChosenFolder(rules, "/tmp/out", "", doc), "/tmp/out" + doc);
  // Windows style: the drive's folder is cut off like any other.
  EXPECT_EQ(
      PathInChosenFolder(PathRules(PathStyle::kWindows), "D:\\out", "C:\\Data", "C:\\data\\a.txt"),
      "D:\\out\\a.txt");
}

TEST(PathInChosenFolderTest, APathNotCleanlyBelowTheFolderHasNoPlace) {
  const PathRules rules(PathStyle::kPosix);
  EXPECT_EQ(PathInChosenFolder(rules, "/tmp/out", "/home/anna", "/home/anna"), std::nullopt);
  EXPECT_EQ(PathInChosenFolder(rules, "/tmp/out", "/home/ann", "/home/anna/x"), std::nullopt);
  EXPECT_EQ(PathInChosenFolder(rules, "/tmp/out", "/home/anna", "/home/bob/x"), std::nullopt);
  EXPECT_EQ(PathInChosenFolder(rules, "/tmp/out", "/home/anna", "/home/anna/../../etc/passwd"),
            std::nullopt);
  EXPECT_EQ(PathInChosenFolder(rules, "/tmp/out", "/home/anna", "/home/anna/./x"), std::nullopt);
  EXPECT_EQ(PathInChosenFolder(rules, "/tmp/out", "/home/anna", "/home/anna//x"), std::nullopt);
}

class ChosenFolderRunTest : public ::testing::Test {
 protected:
  ChosenFolderRunTest()
      : layout(rules, tmp / "store", "PC"), ctx(DefaultFileSystem(), layout, days) {
    tree.SetStateRecursion(true);
    ctx.destinationRoot = out;
    ctx.tickedItemsAtTop = true;
    fsys::create_directories(out);
  }

  StateTree::NodeId Dir(const std::string& path) {
    StateTree::NodeId node = StateTree::kNoNode;
    std::vector<std::string> names{"/"};
    for (const auto& part : fsys::path(path).relative_path()) names.push_back(part.string());
    for (const std::string& name : names) {
      StateTree::NodeId found = StateTree::kNoNode;
      for (const auto child : tree.Children(node)) {
        if (tree.Text(child) == name) found = child;
      }
      node = found != StateTree::kNoNode ? found : tree.AddChild(node, name, kStateUnticked);
    }
    return node;
  }

  // A file of the folder `dir` stands for, its copy stored in the one day.
  void File(const std::string& dir, const std::string& name, const std::string& bytes,
            bool ticked = false) {
    const std::string fullPath = dir + "/" + name;
    const std::string stored = rules.StoredName(fullPath);
    MemoryStream in(bytes);
    MemoryStream packed;
    CompressFile(in, packed);
    WriteFile(tmp / ("store/PC/01032006/" + stored), packed.data());
    tree.EnsureFiles(Dir(dir)).push_back(FileNode{fullPath, stored, 0100600, 0,
                                                  ticked ? kStateTicked : kStateUnticked,
                                                  test::ContentOf(bytes)});
  }

  // Ticks the one file `name` of `dir`, as the window does.
  void TickFile(const std::string& dir, const std::string& name) {
    for (FileNode& f : tree.EnsureFiles(Dir(dir))) {
      if (f.FullPath == dir + "/" + name) f.State = kStateTicked;
    }
    tree.SetState(Dir(dir), kStatePartly);
  }

  // The paths below `out`, relative to it.
  std::vector<std::string> Written() {
    std::vector<std::string> paths;
    for (const auto& e : fsys::recursive_directory_iterator(out)) {
      paths.push_back(fsys::relative(e.path(), out).string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
  }

  test::TempDir tmp;
  std::string out = tmp / "out";
  PathRules rules{PathStyle::kPosix};
  StoreLayout layout;
  std::vector<std::string> days{"01032006"};
  RestoreRunContext ctx;
  StateTree tree;
  test::RecordingRestoreHost host;
};

TEST_F(ChosenFolderRunTest, AFileTickedAloneAndATickedFolderLandDirectlyInTheFolder) {
  File("/home/anna/Documents", "report.odt", "the report");
  File("/home/anna/Documents", "other.odt", "not ticked");
  File("/home/anna/Documents/sub", "deep.txt", "deep");
  TickFile("/home/anna/Documents", "report.odt");
  RestoreRunTotals t = RunRestore(tree, ctx, host);
  EXPECT_EQ(t.errors, 0);
  EXPECT_EQ(Written(), std::vector<std::string>{"report.odt"});
  EXPECT_EQ(ReadFile(out + "/report.odt"), "the report");
  // The report names where the file went.
  EXPECT_EQ(host.lines, std::vector<std::string>{"Fichier-> " + out + "/report.odt"});

  fsys::remove_all(out);
  fsys::create_directories(out);
  host.lines.clear();
  for (FileNode& f : tree.EnsureFiles(Dir("/home/anna/Documents"))) f.State = kStateUnticked;
  tree.SetState(Dir("/home/anna/Documents"), kStateTicked);
  t = RunRestore(tree, ctx, host);
  EXPECT_EQ(t.errors, 0);
  EXPECT_EQ(Written(),
            (std::vector<std::string>{"Documents", "Documents/other.odt", "Documents/report.odt",
                                      "Documents/sub", "Documents/sub/deep.txt"}));
  EXPECT_EQ(ReadFile(out + "/Documents/sub/deep.txt"), "deep");
  EXPECT_EQ(host.lines, (std::vector<std::string>{"Fichier-> " + out + "/Documents/report.odt",
                                                  "Fichier-> " + out + "/Documents/other.odt",
                                                  "Fichier-> " + out + "/Documents/sub/deep.txt"}));

  // The planned files, which the question about different files counts,
  // are the same places.
  const std::vector<PlannedFile> planned = TickedFiles(tree, ctx);
  ASSERT_EQ(planned.size(), 3u);
  EXPECT_EQ(planned[0].destination, out + "/Documents/report.odt");
  EXPECT_EQ(planned[2].destination, out + "/Documents/sub/deep.txt");
}

TEST_F(ChosenFolderRunTest, WithoutTheTopLayoutTheWholeRecordedPathIsKept) {
  // The command line's way: below the folder, the whole recorded path.
  ctx.tickedItemsAtTop = false;
  File("/home/anna/Documents", "report.odt", "the report");
  TickFile("/home/anna/Documents", "report.odt");
  EXPECT_EQ(RunRestore(tree, ctx, host).errors, 0);
  EXPECT_EQ(ReadFile(out + "/home/anna/Documents/report.odt"), "the report");
  EXPECT_EQ(host.lines, std::vector<std::string>{"Fichier-> /home/anna/Documents/report.odt"});
  EXPECT_EQ(TickedDestinations(tree, ctx).SharedDestination(), std::nullopt);
}

TEST_F(ChosenFolderRunTest, ItemsThatWouldShareAPlaceAreFound) {
  File("/home/anna", "a.txt", "anna's");
  File("/home/bob", "a.txt", "bob's");
  File("/home/bob", "b.txt", "b");
  File("/srv/Documents", "x.txt", "x");
  File("/home/anna/Documents", "y.txt", "y");
  TickFile("/home/anna", "a.txt");
  TickFile("/home/bob", "b.txt");
  EXPECT_EQ(TickedDestinations(tree, ctx).SharedDestination(), std::nullopt);
  TickFile("/home/bob", "a.txt");
  EXPECT_EQ(TickedDestinations(tree, ctx).SharedDestination(), out + "/a.txt");

  // A ticked folder and another ticked folder of the same name.
  for (const char* dir : {"/home/anna", "/home/bob"}) {
    for (FileNode& f : tree.EnsureFiles(Dir(dir))) f.State = kStateUnticked;
  }
  tree.SetState(Dir("/home/bob"), kStateUnticked);
  tree.SetState(Dir("/home/anna"), kStateUnticked);
  tree.SetState(Dir("/srv/Documents"), kStateTicked);
  EXPECT_EQ(TickedDestinations(tree, ctx).SharedDestination(), std::nullopt);
  tree.SetState(Dir("/home/anna/Documents"), kStateTicked);
  EXPECT_EQ(TickedDestinations(tree, ctx).SharedDestination(), out + "/Documents");
}

TEST_F(ChosenFolderRunTest, ALinkInTheChosenFolderCannotLeadAFileOut) {
  const std::string elsewhere = tmp / "elsewhere";
  fsys::create_directories(elsewhere);
  ASSERT_EQ(::symlink(elsewhere.c_str(), (out + "/Documents").c_str()), 0);
  File("/home/anna/Documents", "report.odt", "the report");
  tree.SetState(Dir("/home/anna/Documents"), kStateTicked);
  const RestoreRunTotals t = RunRestore(tree, ctx, host);
  EXPECT_EQ(t.errors, 2);  // the folder and the file in it
  EXPECT_EQ(t.created, 0);
  EXPECT_TRUE(fsys::is_empty(elsewhere));
  EXPECT_NE(std::find(host.lines.begin(), host.lines.end(),
                      "---> ERREUR: Le fichier (" + out +
                          "/Documents/report.odt) sortirait du dossier de destination (" + out +
                          ") : il n'est pas restauré ! <---"),
            host.lines.end())
      << ::testing::PrintToString(host.lines);
}

}  // namespace
}  // namespace varnoket
