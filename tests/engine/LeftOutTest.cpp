// What a run leaves out besides the exclusion filters: folders tagged as
// caches with the standard signature, and files above the backup set's size
// limit; each said in the log, and counted in the log's last lines. Anything
// that only looks like a cache is backed up.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/BackupRun.h"
#include "engine/LeftOut.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

const std::string kSignature = "Signature: 8a477f597d28d172789f06886806bc55";

bool Logged(const StoreFixture& f, const std::string& line) {
  return std::find(f.host.logged.begin(), f.host.logged.end(), line) != f.host.logged.end();
}

bool Mentions(const StoreFixture& f, const std::string& part) {
  return std::any_of(f.host.logged.begin(), f.host.logged.end(),
                     [&](const std::string& l) { return l.find(part) != std::string::npos; });
}

// The paths a day restores, below the source folder.
std::vector<std::string> RestoredBelowSource(StoreFixture& f, const std::string& day) {
  std::vector<std::string> paths;
  for (const auto& [path, bytes] : f.RestoreDay(day).files) {
    paths.push_back(path.substr(f.source.size() + 1));
  }
  return paths;
}

TEST(LeftOutTest, TaggedCacheFoldersAreLeftOutAndAnythingLikeOneIsKept) {
  StoreFixture f;
  f.Write("doc.txt", "kept");
  // The tag, with the comment tools usually write after the signature.
  f.Write("thumbs/CACHEDIR.TAG", kSignature + "\n# This file is a cache directory tag.\n");
  f.Write("thumbs/a.png", "cached");
  f.Write("thumbs/deep/b.png", "cached too");
  f.Write("build/obj/CACHEDIR.TAG", kSignature);
  f.Write("build/obj/x.o", "object");
  f.Write("build/main.c", "int main;");
  // A wrong signature, a tag in the wrong case, a signature cut short, a
  // folder only named like a cache: all backed up.
  f.Write("wrong/CACHEDIR.TAG", "Signature: 8a477f597d28d172789f06886806bc56");
  f.Write("wrong/w.txt", "w");
  f.Write("lower/cachedir.tag", kSignature);
  f.Write("short/CACHEDIR.TAG", kSignature.substr(0, 30));
  f.Write("Cache/c.txt", "c");

  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_TRUE(Logged(f, "Le répertoire (" + f.source +
                            "/thumbs) est un cache (CACHEDIR.TAG) : il n'est pas sauvegardé."));
  EXPECT_TRUE(Logged(f, "Le répertoire (" + f.source +
                            "/build/obj) est un cache (CACHEDIR.TAG) : il n'est pas sauvegardé."));
  EXPECT_EQ(std::count_if(f.host.logged.begin(), f.host.logged.end(),
                          [](const std::string& l) { return l.find("est un cache") != l.npos; }),
            2);
  ASSERT_GE(f.host.logged.size(), 2u);
  EXPECT_EQ(f.host.logged[f.host.logged.size() - 2],
            "Laissés de côté : 2 répertoire(s) de cache (CACHEDIR.TAG).");
  EXPECT_EQ(
      RestoredBelowSource(f, "01032006"),
      (std::vector<std::string>{"Cache/c.txt", "build/main.c", "doc.txt", "lower/cachedir.tag",
                                "short/CACHEDIR.TAG", "wrong/CACHEDIR.TAG", "wrong/w.txt"}));

  // A run with no change still says what it left out.
  f.SetDay(2, 3, 2006);
  ASSERT_EQ(f.Backup(), BackupOutcome::kNoChange);
  EXPECT_EQ(f.host.logged[f.host.logged.size() - 2],
            "Laissés de côté : 2 répertoire(s) de cache (CACHEDIR.TAG).");
}

TEST(LeftOutTest, AListedFolderThatIsACacheIsLeftOutWhole) {
  StoreFixture f;
  f.Write("CACHEDIR.TAG", kSignature);
  f.Write("a.txt", "a");
  ASSERT_EQ(f.Backup(), BackupOutcome::kNoChange);
  EXPECT_TRUE(f.ctx.currentFileList.empty());
  EXPECT_TRUE(Logged(f, "Le répertoire (" + f.source +
                            ") est un cache (CACHEDIR.TAG) : il n'est pas sauvegardé."));
}

TEST(LeftOutTest, FilesAboveTheSizeLimitAreLeftOutAndCounted) {
  StoreFixture f;
  const uint64_t mb = 1024 * 1024;
  f.Write("at-limit.bin", std::string(mb, 'a'));
  f.Write("d/above.bin", std::string(mb + 1, 'b'));
  f.Write("d/far-above.bin", std::string(3 * mb, 'c'));
  f.Write("cache/CACHEDIR.TAG", kSignature);

  f.station.maxFileMegabytes = 1;
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_TRUE(Logged(f, "Le fichier (" + f.source + "/d/above.bin) fait " + std::to_string(mb + 1) +
                            " octets, plus que la limite de 1 Mo : il n'est pas sauvegardé."));
  EXPECT_EQ(f.host.logged[f.host.logged.size() - 2],
            "Laissés de côté : 1 répertoire(s) de cache (CACHEDIR.TAG), 2 fichier(s) de plus "
            "de 1 Mo (" +
                std::to_string(4 * mb + 1) + " octets).");
  EXPECT_EQ(RestoredBelowSource(f, "01032006"), std::vector<std::string>{"at-limit.bin"});

  // No limit: every size is kept, and nothing is said.
  f.Remove("cache");
  f.station.maxFileMegabytes = 0;
  f.SetDay(2, 3, 2006);
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(f.host.logged.back(), "Fin de la sauvegarde !");
  EXPECT_FALSE(Mentions(f, "Laissés de côté"));
  EXPECT_FALSE(Mentions(f, "plus que la limite"));
  EXPECT_EQ(RestoredBelowSource(f, "02032006"),
            (std::vector<std::string>{"at-limit.bin", "d/above.bin", "d/far-above.bin"}));
}

}  // namespace
TEST(LeftOutTest, FilesTheExclusionFiltersTakeAreCountedByFilterInEveryRun) {
  StoreFixture f;
  f.Write("music/a.mp3", "aaaa");
  f.Write("music/B.MP3", "bb");
  f.Write("films/c.mpg", "cccccc");
  f.Write("letter.txt", "kept");
  f.station.exclusions = {"*.mp3", "*.mpg", "*.tmp"};
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(f.host.logged[f.host.logged.size() - 2],
            "Laissés de côté : 3 fichier(s) exclu(s) par les filtres (*.mp3 : 2, *.mpg : 1 ; 12 "
            "octets).");
  EXPECT_EQ(RestoredBelowSource(f, "01032006"), std::vector<std::string>{"letter.txt"});
  // The person's choice, not a problem: the run is complete.
  EXPECT_EQ(f.ctx.leftOut.Problems(), 0);

  // Said again by a run that finds no change.
  f.SetDay(2, 3, 2006);
  ASSERT_EQ(f.Backup(), BackupOutcome::kNoChange);
  EXPECT_NE(f.host.logged[f.host.logged.size() - 2].find("*.mp3 : 2, *.mpg : 1"),
            std::string::npos);
}

}  // namespace varnoket::test
