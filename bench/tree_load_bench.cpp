// tree-load-bench: how long the restore window takes to show a large day.
// Writes a filelist.txt of 200,000 records (POSIX paths in about 2,000
// folders, the record format of the backup) into a temporary folder, loads
// it into a StateTree as the restore window does, and prints the load time,
// the peak memory of the process and the time of ticking the whole tree.
// It prints figures only; it never fails because of a timing.
//
// The list is written by a forked child, so that the memory of writing it
// does not count in the peak of the load.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/FileRecord.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/TextLines.h"
#include "restore/DayFileTree.h"
#include "restore/StateTree.h"

namespace {

using varnoket::PathRules;
using varnoket::PathStyle;

constexpr int kAreas = 10;            // /home/alice/<area>
constexpr int kProjectsPerArea = 10;  // .../<project>
constexpr int kFoldersPerProject = 20;
constexpr int kFilesPerFolder = 100;  // 10 * 10 * 20 * 100 = 200,000 files

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Records of a home folder: documents, photos, source trees, each file with
// a plausible size, checksum, mode and date, in the ordinal order of a real list.
void WriteFileList(const std::string& path, int files) {
  static const char* kAreasNames[kAreas] = {"Documents", "Photos",   "Projets", "Musique",
                                            "Comptes",   "Courrier", "Travail", "Ecole",
                                            "Videos",    "Archives"};
  static const char* kExtensions[] = {".txt", ".doc", ".jpg", ".cpp", ".h", ".pdf", ".odt", ".xls"};
  const PathRules rules(PathStyle::kPosix);
  std::mt19937 random(42);
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(files) + 100);
  int made = 0;
  for (int a = 0; a < kAreas && made < files; ++a) {
    for (int p = 0; p < kProjectsPerArea && made < files; ++p) {
      for (int f = 0; f < kFoldersPerProject && made < files; ++f) {
        const std::string folder = "/home/alice/" + std::string(kAreasNames[a]) + "/projet_" +
                                   std::to_string(2000 + p) + "/dossier " + std::to_string(f) +
                                   (f % 3 == 0 ? " (copie)" : "");
        for (int n = 0; n < kFilesPerFolder && made < files; ++n, ++made) {
          const std::string name = "fichier_" + std::to_string(n) + "_version" +
                                   std::to_string(random() % 9) + kExtensions[random() % 8];
          const std::string full = folder + "/" + name;
          const auto size = static_cast<int64_t>(random() % 5000000);
          const auto date = static_cast<int32_t>(0x58000000u + random() % 0x01000000u);
          lines.push_back(varnoket::FormatFileRecord(size, static_cast<uint32_t>(random()),
                                                     rules.StoredName(full), full, 0100644, date));
        }
      }
      // An empty folder per project, as the scan records it.
      lines.push_back(varnoket::FormatDirectoryRecord("/home/alice/" + std::string(kAreasNames[a]) +
                                                          "/projet_" + std::to_string(2000 + p) +
                                                          "/vide",
                                                      040755, 0x58000000));
    }
  }
  varnoket::SortOrdinal(lines);
  varnoket::PosixFileSystem fs;
  if (!fs.WriteFileAtomic(path, varnoket::JoinLines(lines))) {
    std::fprintf(stderr, "tree-load-bench: cannot write %s\n", path.c_str());
    std::exit(2);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int files = argc > 1 ? std::atoi(argv[1]) : 200000;
  char folderTemplate[] = "/tmp/tree-load-bench-XXXXXX";
  if (mkdtemp(folderTemplate) == nullptr) {
    std::perror("mkdtemp");
    return 2;
  }
  const std::string folder = folderTemplate;
  const std::string listPath = folder + "/filelist.txt";

  const auto writeStart = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) {
    std::perror("fork");
    return 2;
  }
  if (child == 0) {
    WriteFileList(listPath, files);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 2;
  const double listMegabytes =
      static_cast<double>(std::filesystem::file_size(listPath)) / (1024.0 * 1024.0);
  std::printf("file list     %d records, %.1f MiB, written in %.2f s\n", files, listMegabytes,
              SecondsSince(writeStart));

  const double baseline = PeakMegabytes();
  varnoket::PosixFileSystem fs;
  varnoket::StateTree tree;
  tree.SetStateRecursion(true);
  tree.SetStateIgnore(0);
  long pumps = 0;
  const auto loadStart = std::chrono::steady_clock::now();
  const bool loaded = varnoket::LoadDayFileList(fs, listPath, tree, PathRules(PathStyle::kPosix),
                                                [&pumps] { ++pumps; });
  const double loadSeconds = SecondsSince(loadStart);
  if (!loaded) {
    std::fprintf(stderr, "tree-load-bench: cannot read %s\n", listPath.c_str());
    return 2;
  }
  size_t entries = 0;
  for (varnoket::StateTree::NodeId id = 0; static_cast<size_t>(id) < tree.NodeCount(); ++id) {
    if (const auto* list = tree.Files(id)) entries += list->size();
  }
  std::printf("load          %.3f s  (%zu nodes, %zu file entries, %ld pump calls)\n", loadSeconds,
              tree.NodeCount(), entries, pumps);
  std::printf("peak memory   %.1f MB  (%.1f MB before the load)\n", PeakMegabytes(), baseline);

  const auto tickStart = std::chrono::steady_clock::now();
  tree.SetState(tree.Children(varnoket::StateTree::kNoNode).front(), varnoket::kStateTicked);
  std::printf("tick the top  %.3f s\n", SecondsSince(tickStart));
  const auto untickStart = std::chrono::steady_clock::now();
  tree.SetState(tree.Children(varnoket::StateTree::kNoNode).front(), varnoket::kStateUnticked);
  std::printf("untick it     %.3f s\n", SecondsSince(untickStart));
  std::printf("targets       load < 3 s, peak < 300 MB\n");

  std::filesystem::remove_all(folder);
  return 0;
}
