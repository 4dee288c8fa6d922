// The restore run on several workers: the bytes and the report are those of a
// run on one, a stop leaves only whole files behind, and a second restore of
// the same day leaves the files that are already there alone.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <filesystem>
#include <map>
#include <random>
#include <set>

#include "engine/BZip2.h"
#include "engine/Checksum.h"
#include "platform/DosDate.h"
#include "restore/RestoreRun.h"
#include "support/RecordingRestoreHost.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using test::ReadFile;
using test::WriteFile;
namespace fsys = std::filesystem;

const int32_t kRecordedDate = DosDateFromTime(1141200000);  // March 2006
constexpr const char* kUpToDate = " (déjà à jour)";

// Bytes that bzip2 cannot squeeze much, so that a file of a few megabytes
// spans several of its 900 k blocks.
std::string Noise(size_t size, unsigned seed) {
  std::mt19937 gen(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(gen() & 0xff);
  return bytes;
}

// The stored copy of `bytes`; the big ones are made once for every test.
std::string Compressed(const std::string& bytes) {
  static std::map<std::string, std::string> big;
  const bool isBig = bytes.size() > 100000;
  if (isBig) {
    if (const auto it = big.find(bytes); it != big.end()) return it->second;
  }
  MemoryStream in(bytes);
  MemoryStream out;
  CompressFile(in, out);
  if (isBig) big[bytes] = out.data();
  return out.data();
}

// Asks to stop at the given message pump; pumps run on the caller's thread
// after each file handed out and while it waits.
class StopAtPumpHost : public test::RecordingRestoreHost {
 public:
  void ProcessMessages() override {
    ++pumps;
    if (stopAtPump > 0 && pumps >= stopAtPump) stopped = true;
  }
  bool StopRequested() const override { return stopped; }

  int stopAtPump = 0;
  bool stopped = false;
};

class ParallelRestoreTest : public ::testing::Test {
 protected:
  ParallelRestoreTest()
      : layout(rules, tmp / "store", "PC"), ctx(DefaultFileSystem(), layout, days) {
    tree.SetStateRecursion(true);
  }

  // The node of a directory below `out`, with every missing node above it.
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

  // A file of `dir` whose stored copy holds `bytes`, recorded with its size,
  // checksum and date as the day's list gives them.
  void File(StateTree::NodeId dir, const std::string& fullPath, const std::string& bytes,
            bool stored = true) {
    const std::string name = rules.StoredName(fullPath);
    if (stored) WriteFile(tmp / ("store/PC/01032006/" + name), Compressed(bytes));
    WeightedSum sum;
    sum.Update(bytes.data(), bytes.size());
    FileNode node{fullPath, name, 0100640, kRecordedDate, kStateUnticked};
    node.Content = RecordedContent{static_cast<int32_t>(bytes.size()), sum.Value()};
    tree.EnsureFiles(dir).push_back(node);
    expected[fullPath] = bytes;
  }

  // Two folders of small files behind two files of several blocks, a missing
  // copy and a folder that cannot be made: the big files end last, the
  // report must still follow the walk.
  void MakeDay() {
    const auto top = Dir(out);
    File(top, out + "/big1.bin", Noise(1500000, 1));
    File(top, out + "/big2.bin", Noise(1000000, 2));
    File(top, out + "/missing.txt", "", false);
    expected.erase(out + "/missing.txt");
    for (const char* folder : {"/a", "/b/c"}) {
      const auto dir = Dir(out + folder);
      for (int i = 0; i < 12; ++i) {
        const std::string path = out + folder + "/f" + std::to_string(i) + ".txt";
        File(dir, path, "file " + path + std::string(static_cast<size_t>(i) * 100, 'x'));
      }
    }
    WriteFile(out + "/blocked", "a file where a folder should be");
    File(Dir(out + "/blocked"), out + "/blocked/in.txt", "never");
    expected.erase(out + "/blocked/in.txt");
    tree.SetState(top, kStateTicked);
  }

  RestoreRunTotals Run(unsigned workers, test::RecordingRestoreHost& on) {
    ctx.workers = workers;
    return RunRestore(tree, ctx, on);
  }

  // Every file below `out` but the one in the way of a folder: path -> bytes.
  std::map<std::string, std::string> Restored() const {
    std::map<std::string, std::string> files;
    for (const auto& e : fsys::recursive_directory_iterator(out)) {
      if (e.is_regular_file() && e.path() != out + "/blocked") {
        files[e.path().string()] = ReadFile(e.path().string());
      }
    }
    return files;
  }

  void ClearOut() {
    fsys::remove_all(out + "/a");
    fsys::remove_all(out + "/b");
    for (const char* name : {"/big1.bin", "/big2.bin"}) fsys::remove(out + name);
  }

  test::TempDir tmp;
  PathRules rules{PathStyle::kPosix};
  StoreLayout layout;
  std::vector<std::string> days{"01032006"};
  RestoreRunContext ctx;
  StateTree tree;
  std::string out = tmp / "out";
  std::map<std::string, std::string> expected;  // what a whole run restores
};

TEST_F(ParallelRestoreTest, ManyWorkersGiveTheBytesAndTheReportOfOne) {
  MakeDay();
  test::RecordingRestoreHost many;
  const RestoreRunTotals t = Run(4, many);
  EXPECT_FALSE(t.aborted);
  EXPECT_EQ(t.errors, 3);  // the missing copy, the folder in the way, the file inside it
  // The files, plus a, b and b/c made as folders.
  EXPECT_EQ(t.restoredCount, static_cast<int32_t>(expected.size()) + 3);
  EXPECT_EQ(Restored(), expected);
  EXPECT_GT(many.pumps, 0);

  ClearOut();
  test::RecordingRestoreHost one;
  const RestoreRunTotals t1 = Run(1, one);
  EXPECT_EQ(Restored(), expected);
  EXPECT_EQ(many.lines, one.lines);
  EXPECT_EQ(t1.restoredCount, t.restoredCount);
  EXPECT_EQ(t1.restoredBytes, t.restoredBytes);
  EXPECT_EQ(t1.errors, t.errors);

  // The walk's order: each folder's files, then its subfolders.
  ASSERT_GE(one.lines.size(), 5u);
  EXPECT_EQ(one.lines[0], "Fichier-> " + out + "/big1.bin");
  EXPECT_EQ(one.lines[1], "Fichier-> " + out + "/big2.bin");
  EXPECT_EQ(one.lines[2], "Fichier-> " + out + "/missing.txt");
  EXPECT_EQ(one.lines[4], "Fichier-> " + out + "/a/f0.txt");
  const std::vector<std::string> tail(one.lines.end() - 3, one.lines.end());
  EXPECT_EQ(tail,
            (std::vector<std::string>{"---> ERREUR: Un fichier occupe la place du répertoire (" +
                                          out + "/blocked/) : il n'est pas remplacé ! <---",
                                      "Fichier-> " + out + "/blocked/in.txt",
                                      "---> ERREUR: Un fichier occupe la place du répertoire (" +
                                          out + "/blocked/) : il n'est pas remplacé ! <---"}));
}

TEST_F(ParallelRestoreTest, AStopLetsTheFilesUnderWayEndAndLeavesNoPartFile) {
  MakeDay();
  test::RecordingRestoreHost whole;
  Run(2, whole);
  ClearOut();

  StopAtPumpHost host;
  host.stopAtPump = 3;
  const RestoreRunTotals t = Run(2, host);
  EXPECT_TRUE(t.aborted);
  // What was reported is the start of the whole run's report, and the files
  // it names are there whole; nothing else is, not even a temporary file.
  ASSERT_LE(host.lines.size(), whole.lines.size());
  EXPECT_TRUE(std::equal(host.lines.begin(), host.lines.end(), whole.lines.begin()));
  std::map<std::string, std::string> named;
  for (const std::string& line : host.lines) {
    const std::string path = line.substr(std::string("Fichier-> ").size());
    if (line.rfind("Fichier-> ", 0) == 0 && expected.count(path)) named[path] = expected[path];
  }
  EXPECT_FALSE(named.empty());
  EXPECT_LT(named.size(), expected.size());
  EXPECT_EQ(Restored(), named);
  EXPECT_EQ(t.restoredBytes, [&named] {
    int64_t sum = 0;
    for (const auto& [path, bytes] : named) sum += static_cast<int64_t>(bytes.size());
    return sum;
  }());
}

struct FileId {
  ino_t inode;
  int64_t mtimeNs;
  bool operator==(const FileId& o) const { return inode == o.inode && mtimeNs == o.mtimeNs; }
};

FileId IdOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return {st.st_ino, static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

TEST_F(ParallelRestoreTest, ASecondRestoreLeavesWhatIsThereAndRestoresWhatChanged) {
  MakeDay();
  test::RecordingRestoreHost first;
  const RestoreRunTotals t1 = Run(2, first);
  std::map<std::string, FileId> ids;
  for (const auto& [path, bytes] : expected) ids[path] = IdOf(path);

  test::RecordingRestoreHost second;
  const RestoreRunTotals t2 = Run(2, second);
  EXPECT_EQ(t2.restoredCount, t1.restoredCount - 3);  // the folders are there now
  EXPECT_EQ(t2.restoredBytes, t1.restoredBytes);
  EXPECT_EQ(t2.errors, t1.errors);
  EXPECT_EQ(Restored(), expected);
  for (const auto& [path, id] : ids) EXPECT_EQ(IdOf(path), id) << path;
  size_t upToDate = 0;
  for (const std::string& line : second.lines) {
    if (line.size() > std::string(kUpToDate).size() &&
        line.compare(line.size() - std::string(kUpToDate).size(), std::string::npos, kUpToDate) ==
            0) {
      EXPECT_EQ(line.rfind("Fichier-> ", 0), 0u) << line;
      ++upToDate;
    }
  }
  EXPECT_EQ(upToDate, expected.size());
  EXPECT_EQ(second.lines.size(), first.lines.size());
  EXPECT_EQ(second.lines[0], "Fichier-> " + out + "/big1.bin" + kUpToDate);

  // Same size and date, other bytes: only the checksum tells, and the file
  // comes back. A file whose date alone moved comes back too.
  const std::string changed = out + "/a/f3.txt";
  std::string bytes = expected[changed];
  bytes[0] = 'F';
  WriteFile(changed, bytes);
  struct utimbuf recorded {};
  recorded.actime = recorded.modtime = TimeFromDosDate(kRecordedDate);
  ASSERT_EQ(::utime(changed.c_str(), &recorded), 0);
  const std::string touched = out + "/b/c/f5.txt";
  recorded.modtime += 3600;
  ASSERT_EQ(::utime(touched.c_str(), &recorded), 0);

  test::RecordingRestoreHost third;
  Run(2, third);
  EXPECT_EQ(Restored(), expected);
  EXPECT_NE(IdOf(changed).inode, ids[changed].inode);
  EXPECT_EQ(IdOf(changed).mtimeNs, ids[changed].mtimeNs);
  std::set<std::string> rewritten;
  for (const std::string& line : third.lines) {
    if (line.rfind("Fichier-> ", 0) == 0 && line.find(kUpToDate) == std::string::npos) {
      rewritten.insert(line.substr(std::string("Fichier-> ").size()));
    }
  }
  EXPECT_EQ(rewritten, (std::set<std::string>{changed, touched, out + "/missing.txt",
                                              out + "/blocked/in.txt"}));
}

}  // namespace
}  // namespace varnoket
