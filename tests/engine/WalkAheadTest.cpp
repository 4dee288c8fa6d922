// The walk of the backup set with its folders listed ahead on the workers:
// the day's list and the log are those of the walk on one thread, whatever
// the walk meets (folders it cannot list, hidden and cache folders, links,
// a folder met twice, the store inside the set), the store is never listed,
// and a run told to end during the walk leaves no worker behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>

#include "engine/BackupRun.h"
#include "engine/LeftOut.h"
#include "support/FaultyFileSystem.h"
#include "support/StopFromOutside.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

bool Logged(const std::vector<std::string>& log, const std::string& line) {
  return std::find(log.begin(), log.end(), line) != log.end();
}

// A tree several levels deep and wide, with every kind of folder the walk
// handles on its own way.
void WriteTree(StoreFixture& f) {
  for (int a = 0; a < 6; ++a) {
    for (int b = 0; b < 5; ++b) {
      const std::string folder = "t" + std::to_string(a) + "/u" + std::to_string(b);
      f.Write(folder + "/f.txt", folder);
      f.Write(folder + "/deep/er/g.txt", "deep " + folder);
    }
  }
  fsys::create_directories(f.source + "/t2/empty");
  f.Write(".hidden/h.txt", "hidden");
  f.Write("locked/l.txt", "never listed");
  f.Write("cache/CACHEDIR.TAG", std::string(kCacheTagSignature));
  f.Write("cache/c.bin", "cached");
  fsys::create_directory_symlink(f.source + "/t1", f.source + "/link-to-t1");
}

TEST(WalkAheadTest, TheListAndTheLogAreThoseOfTheWalkOnOneThread) {
  FaultyFileSystem disk;
  StoreFixture f(disk);
  WriteTree(f);
  // The store inside the set, and a folder of the set listed a second time.
  f.station.backupDirectories = {f.tmp.path(), f.source + "/t3"};
  std::mutex listedMutex;
  std::set<std::string> listed;
  disk.rule = [&](FsCall kind, const std::string& path) {
    if (kind != FsCall::kList) return 0;
    std::lock_guard<std::mutex> hold(listedMutex);
    listed.insert(path);
    return path.find("/locked") != std::string::npos ? EACCES : 0;
  };

  std::vector<std::string> list, log;
  for (unsigned workers : {1u, 2u, 3u}) {
    f.ctx.workers = workers;
    f.ctx.redoToday = workers > 1;
    listed.clear();
    ASSERT_EQ(f.Backup(), BackupOutcome::kCompletedWithLeftOut) << workers << " worker(s)";
    // The walk lists a folder by its name and a separator; the run's own
    // listings of the store (its days, its resume folder) have none.
    for (const std::string& folder : listed) {
      EXPECT_FALSE(folder.rfind(f.root, 0) == 0 && folder.back() == '/')
          << folder << " listed, " << workers << " worker(s)";
    }
    if (workers == 1) {
      list = f.FileList("01032006");
      log = f.host.logged;
      continue;
    }
    EXPECT_EQ(f.FileList("01032006"), list) << workers << " workers";
    EXPECT_EQ(f.host.logged, log) << workers << " workers";
  }
  // What the walk met, as one thread saw it.
  EXPECT_TRUE(std::any_of(list.begin(), list.end(), [&f](const std::string& line) {
    return line.find("|" + f.source + "/t5/u4/deep/er/g.txt|") != std::string::npos;
  }));
  EXPECT_TRUE(std::any_of(list.begin(), list.end(), [&f](const std::string& line) {
    return line.find("|" + f.source + "/t2/empty|") != std::string::npos;
  }));
  EXPECT_TRUE(Logged(log, "ERREUR: impossible de lire le répertoire (" + f.source +
                              "/locked) : " + std::strerror(EACCES) +
                              " ; ce que la sauvegarde précédente y avait trouvé est gardé."));
  EXPECT_TRUE(Logged(log, "ATTENTION: Le répertoire (" + f.root +
                              ") contient les sauvegardes : il n'est pas sauvegardé."));
  EXPECT_TRUE(Logged(log, "ATTENTION: Le répertoire (" + f.source +
                              "/t3) a déjà été parcouru par un autre chemin (boucle ou montage) "
                              ": il n'est pas sauvegardé une seconde fois."));
  disk.rule = nullptr;
}

// The 20th folder listed asks the run to end, and later listings wait until
// the run has seen it, so that the stop comes with listings ahead in flight.
TEST(WalkAheadTest, ARunToldToEndDuringTheWalkLeavesNoWorkerBehind) {
  FaultyFileSystem disk;
  StoreFixture f(disk);
  for (int i = 0; i < 200; ++i) f.Write("d" + std::to_string(i) + "/f", "x");
  StopFromOutside host;
  BackupContext ctx(disk, f.clock, host, f.dialogs, f.station);
  ctx.backupRoot = f.root;
  ctx.stationName = f.stationName;
  ctx.workers = 3;
  int lists = 0;  // counted under the file system's lock
  disk.rule = [&](FsCall kind, const std::string& path) {
    if (kind != FsCall::kList || path.rfind(f.source, 0) != 0) return 0;
    if (++lists == 20) host.stop = true;
    if (lists > 20) host.seen.wait(false);
    return 0;
  };
  const size_t threads = ThreadCount();
  EXPECT_EQ(RunBackup(ctx), BackupOutcome::kStopped);
  EXPECT_EQ(ThreadCount(threads), threads);
  EXPECT_LT(lists, 201);
  EXPECT_TRUE(f.Days().empty());
  disk.rule = nullptr;
}

}  // namespace
}  // namespace varnoket::test
