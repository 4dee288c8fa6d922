// The restore run over a tick tree: which directories are made and counted,
// how failures are counted, the stop request, and the summary each outcome
// gives. Partial ticks are covered through the window.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "engine/BZip2.h"
#include "restore/RestoreRun.h"
#include "restore/RestoreSummary.h"
#include "support/Holes.h"
#include "support/RecordedBytes.h"
#include "support/RecordingRestoreHost.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using test::ReadFile;
using test::WriteFile;
namespace fsys = std::filesystem;

class RestoreRunTest : public ::testing::Test {
 protected:
  RestoreRunTest() : layout(rules, tmp / "store", "PC"), ctx(DefaultFileSystem(), layout, days) {
    tree.SetStateRecursion(true);
  }

  // The node of a directory, with every missing node above it (state 1).
  StateTree::NodeId Dir(const std::string& path) {
    StateTree::NodeId node = StateTree::kNoNode;
    std::string rest = path.substr(1);
    std::vector<std::string> names{"/"};
    for (size_t cut; (cut = rest.find('/')) != std::string::npos; rest.erase(0, cut + 1)) {
      names.push_back(rest.substr(0, cut));
    }
    if (!rest.empty()) names.push_back(rest);
    for (const std::string& name : names) {
      StateTree::NodeId found = StateTree::kNoNode;
      for (const auto child : tree.Children(node)) {
        if (tree.Text(child) == name) found = child;
      }
      node = found != StateTree::kNoNode ? found : tree.AddChild(node, name, kStateUnticked);
    }
    return node;
  }

  // A file of `dir` whose stored copy holds `bytes` in the one day folder.
  void File(StateTree::NodeId dir, const std::string& fullPath, const std::string& bytes,
            bool stored = true) {
    const std::string name = rules.StoredName(fullPath);
    if (stored) {
      MemoryStream in(bytes);
      MemoryStream out;
      CompressFile(in, out);
      WriteFile(tmp / ("store/PC/01032006/" + name), out.data());
    }
    tree.EnsureFiles(dir).push_back(
        FileNode{fullPath, name, 0100600, 0, kStateUnticked, test::ContentOf(bytes)});
  }

  test::TempDir tmp;
  PathRules rules{PathStyle::kPosix};
  StoreLayout layout;
  std::vector<std::string> days{"01032006"};
  RestoreRunContext ctx;
  StateTree tree;
  test::RecordingRestoreHost host;
  std::vector<std::string>& lines = host.lines;
};

TEST_F(RestoreRunTest, TickedDirectoriesAreMadeAndCountedOnlyWhenMissingTopLevelNever) {
  const std::string out = tmp / "out";
  fsys::create_directories(out + "/exists");
  const auto top = Dir(out);
  Dir(out + "/exists");
  Dir(out + "/new/deeper");
  File(top, out + "/f.bin", std::string(70000, 'z'));
  // Ticking the root ticks every node: "/" and the existing folders above
  // `out` are there already, so only new and new/deeper count.
  tree.SetState(tree.Children(StateTree::kNoNode)[0], kStateTicked);

  const RestoreRunTotals t = RunRestore(tree, ctx, host);
  EXPECT_EQ(t.errors, 0);
  EXPECT_EQ(t.restoredCount, 3);  // two folders and one file
  EXPECT_EQ(t.restoredBytes, 70000);
  EXPECT_TRUE(fsys::is_directory(out + "/new/deeper"));
  EXPECT_EQ(
      SummaryOf(t).text,
      "Opération terminée : 3 fichiers ou dossiers restaurés pour un total de 70000 octets !");
  EXPECT_FALSE(SummaryOf(t).warning);
}

TEST_F(RestoreRunTest, FailuresAreCountedOnceEachAndTheRunGoesOn) {
  const std::string out = tmp / "out";
  WriteFile(out + "/blocked", "a file where a folder should be");
  const auto dir = Dir(out);
  const auto blocked = Dir(out + "/blocked");
  File(dir, out + "/missing.txt", "", false);
  File(blocked, out + "/blocked/inside.txt", "x");
  File(dir, out + "/fine.txt", "fine");
  tree.SetState(dir, kStateTicked);

  const RestoreRunTotals t = RunRestore(tree, ctx, host);
  // The missing copy, the folder in the way, and the file inside it.
  EXPECT_EQ(t.errors, 3);
  EXPECT_EQ(t.restoredCount, 1);
  EXPECT_EQ(ReadFile(out + "/fine.txt"), "fine");
  EXPECT_EQ(ReadFile(out + "/blocked"), "a file where a folder should be");
  const std::vector<std::string> expected{
      "Fichier-> " + out + "/missing.txt",
      "---> ERREUR: Fichier compressé absent ! Soit il a été effacé, soit il n'a pas pu être "
      "sauvegardé <---",
      "Fichier-> " + out + "/fine.txt",
      "---> ERREUR: Un fichier occupe la place du répertoire (" + out +
          "/blocked/) : il n'est pas remplacé ! <---",
      "Fichier-> " + out + "/blocked/inside.txt",
      "---> ERREUR: Un fichier occupe la place du répertoire (" + out +
          "/blocked/) : il n'est pas remplacé ! <---",
  };
  EXPECT_EQ(lines, expected);
  const RestoreSummary s = SummaryOf(t);
  EXPECT_TRUE(s.warning);
  EXPECT_EQ(s.text.rfind("ATTENTION 3 fichiers ou répertoires n'ont pas pu être correctement "
                         "restaurés !\r\nVeuillez vérifier que les chemins réseaux",
                         0),
            0u);
  EXPECT_NE(s.text.find("sur chacun des lecteurs contenant des fichiers à restaurer.\r\nSi tout "
                        "parait correct vérifiez également que des données sauvegardées n'ont "
                        "pas été déplacées ou supprimées sur la racine de partage"),
            std::string::npos);
}

// Asks to stop at the first message pump, which runs once the first file is
// handed out to a worker.
class StopAtFirstPumpHost : public test::RecordingRestoreHost {
 public:
  void ProcessMessages() override { ++pumps; }
  bool StopRequested() const override { return pumps > 0; }
};

TEST_F(RestoreRunTest, AStopAskedDuringAFileEndsTheRunAfterThatFile) {
  const std::string out = tmp / "out";
  fsys::create_directories(out);
  const auto dir = Dir(out);
  File(dir, out + "/a.bin", std::string(300000, 'a'));
  File(dir, out + "/b.bin", "b");
  tree.SetState(dir, kStateTicked);
  StopAtFirstPumpHost stopping;

  const RestoreRunTotals t = RunRestore(tree, ctx, stopping);
  EXPECT_TRUE(t.aborted);
  EXPECT_EQ(t.restoredCount, 1);  // the file in progress is finished, not cut
  EXPECT_EQ(ReadFile(out + "/a.bin"), std::string(300000, 'a'));
  EXPECT_FALSE(fsys::exists(out + "/b.bin"));
  EXPECT_EQ(stopping.lines, std::vector<std::string>{"Fichier-> " + out + "/a.bin"});
}

TEST_F(RestoreRunTest, ASparseFileComesBackWithItsHolesAndItsExactBytes) {
  if (!test::HolesKept(tmp.path())) GTEST_SKIP() << "no holes on " << tmp.path();
  const std::string out = tmp / "out";
  std::string image = std::string(65536, 'h') + std::string(16 << 20, '\0');
  image += std::string(5000, 't') + std::string(1 << 20, '\0');  // ends in a hole
  const auto dir = Dir(out);
  File(dir, out + "/disk.img", image);
  tree.SetState(dir, kStateTicked);

  const RestoreRunTotals t = RunRestore(tree, ctx, host);
  EXPECT_EQ(t.errors, 0) << testing::PrintToString(lines);
  EXPECT_EQ(t.restoredBytes, static_cast<int64_t>(image.size()));
  EXPECT_EQ(ReadFile(out + "/disk.img"), image);
  // Written whole it would take 17 MiB; the two runs of data take a few
  // blocks.
  EXPECT_LT(test::AllocatedBytes(out + "/disk.img"), 1 << 20);
}

TEST(RestoreNodePathTest, JoinsTheNodeTextsInEachStyle) {
  StateTree tree;
  const auto root = tree.AddChild(StateTree::kNoNode, "/", kStateUnticked);
  const auto home = tree.AddChild(tree.AddChild(root, "home", 1), "u", 1);
  EXPECT_EQ(NodePath(tree, root, PathRules(PathStyle::kPosix)), "/");
  EXPECT_EQ(NodePath(tree, home, PathRules(PathStyle::kPosix)), "/home/u");
  const auto share = tree.AddChild(tree.AddChild(StateTree::kNoNode, "\\\\srv", 1), "share", 1);
  const auto data = tree.AddChild(tree.AddChild(StateTree::kNoNode, "C:", 1), "Data", 1);
  EXPECT_EQ(NodePath(tree, share, PathRules(PathStyle::kWindows)), "\\\\srv\\share");
  EXPECT_EQ(NodePath(tree, data, PathRules(PathStyle::kWindows)), "C:\\Data");
}

}  // namespace
}  // namespace varnoket
