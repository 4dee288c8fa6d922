// One file back from the store: only a copy proven to be the recorded
// content takes the destination's place, whatever the store holds.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "engine/BZip2.h"
#include "platform/DosDate.h"
#include "restore/RestoreItem.h"
#include "support/BlockwiseCopy.h"
#include "support/FaultyFileSystem.h"
#include "support/RecordedBytes.h"
#include "support/RecordingRestoreHost.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

namespace fsys = std::filesystem;
using test::ContentOf;
using test::ReadFile;
using test::WriteFile;

std::string Compressed(const std::string& bytes) {
  MemoryStream in(bytes);
  MemoryStream out;
  CompressFile(in, out);
  return out.data();
}

size_t EntriesIn(const std::string& folder) {
  return static_cast<size_t>(
      std::distance(fsys::directory_iterator(folder), fsys::directory_iterator()));
}

class RestoreItemTest : public ::testing::Test {
 protected:
  RestoreItemTest() : layout(PathRules(PathStyle::kPosix), tmp / "store", "PC") {}

  // Puts a stored copy of `bytes` under `name` in a day folder.
  void Store(const std::string& day, const std::string& name, const std::string& bytes) {
    WriteFile(tmp / ("store/PC/" + day + "/" + name), bytes);
  }
  RestoreItemResult Restore(const RestoreEntry& e, size_t dayIndex, const std::string& to,
                            const std::string& confinedTo = {}, WorkerPool* blocks = nullptr) {
    lines.clear();
    return RestoreItem(fs, layout, days, dayIndex, e, to, host, confinedTo, {}, blocks);
  }

  test::TempDir tmp;
  test::FaultyFileSystem fs;
  StoreLayout layout;
  std::vector<std::string> days{"01032006", "02032006", "03032006"};
  test::RecordingRestoreHost host;
  std::vector<std::string>& lines = host.lines;
};

TEST_F(RestoreItemTest, TakesTheNewestCopyUpToTheChosenDayThatProvesToBeTheRecordedContent) {
  Store("01032006", "_/a.ZZ", Compressed("day one"));
  Store("02032006", "_/a.ZZ", Compressed("day two"));
  Store("03032006", "_/a.ZZ", Compressed("day three"));
  const std::string dest = tmp / "out/a";
  RestoreEntry e{"/a", "_/a.ZZ", 0100640, DosDateFromTime(1141200000), ContentOf("day two")};
  EXPECT_EQ(Restore(e, 1, dest).status, RestoreStatus::kRestored);
  EXPECT_EQ(ReadFile(dest), "day two");
  EXPECT_EQ(lines, std::vector<std::string>{"Fichier-> /a"});
  struct stat st {};
  ASSERT_EQ(::stat(dest.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(DosDateFromTime(st.st_mtime), e.fileDate);

  // The day's own copy lost: the older copy of that name holds an older
  // version, which never comes back under the newer one's record and date.
  fsys::remove(tmp / "store/PC/02032006/_/a.ZZ");
  WriteFile(dest, "edited since");
  EXPECT_EQ(Restore(e, 1, dest).status, RestoreStatus::kCopyRefused);
  EXPECT_EQ(ReadFile(dest), "edited since");
  EXPECT_EQ(EntriesIn(tmp / "out"), 1u);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(),
            "---> ERREUR: La copie compressée (" + (tmp / "store/PC/01032006/_/a.ZZ") +
                ") ne donne pas le contenu enregistré ce jour-là (taille 7, somme " +
                std::to_string(ContentOf("day one").checksum) + " au lieu de taille 7, somme " +
                std::to_string(e.content->checksum) + ") : fichier non restauré. <---");

  // An older copy that does hold the recorded content is taken, and a
  // later day's copy never is.
  RestoreEntry unchanged{"/a", "_/a.ZZ", 0100644, 0, ContentOf("day one")};
  EXPECT_EQ(Restore(unchanged, 1, dest).bytes, 7);
  EXPECT_EQ(ReadFile(dest), "day one");
  Store("03032006", "_/later-only.ZZ", Compressed("later"));
  RestoreEntry later{"/b", "_/later-only.ZZ", 0100644, 0, ContentOf("later")};
  EXPECT_EQ(Restore(later, 1, tmp / "out/b").status, RestoreStatus::kMissingStored);
  EXPECT_EQ(lines.back(),
            "---> ERREUR: Fichier compressé absent ! Soit il a été effacé, soit il n'a pas pu être "
            "sauvegardé <---");
}

TEST_F(RestoreItemTest, DamagedCutOrUnknownCopiesNeverReplaceTheFileOnDiskAndSayWhy) {
  const std::string bytes = std::string(100000, 'x') + "tail";
  const std::string full = Compressed(bytes);
  Store("01032006", "_/cut.ZZ", full.substr(0, full.size() / 2));
  Store("01032006", "_/noise.ZZ", "this is not a compressed stream at all");
  const std::string dest = tmp / "out/existing.txt";
  const struct {
    const char* name;
    const char* said;
  } cases[] = {{"_/cut.ZZ", "---> ERREUR: Copie compressée tronquée ("},
               {"_/noise.ZZ", "---> ERREUR: Copie compressée endommagée ("}};
  for (const auto& c : cases) {
    WriteFile(dest, "precious");
    EXPECT_EQ(Restore({"/existing.txt", c.name, 0100644, 0, ContentOf(bytes)}, 0, dest).status,
              RestoreStatus::kCopyRefused)
        << c.name;
    EXPECT_EQ(ReadFile(dest), "precious") << c.name;
    EXPECT_EQ(lines.back().rfind(c.said, 0), 0u) << lines.back();
    // No temporary file stays beside the destination.
    EXPECT_EQ(EntriesIn(tmp / "out"), 1u);
  }
  // A record without a known content proves nothing, so restores nothing.
  Store("01032006", "_/sound.ZZ", Compressed("sound"));
  EXPECT_EQ(Restore({"/existing.txt", "_/sound.ZZ", 0100644, 0}, 0, dest).status,
            RestoreStatus::kCopyRefused);
  EXPECT_EQ(ReadFile(dest), "precious");
}

TEST_F(RestoreItemTest, ALargeCopyWithADamagedBlockGivesWayToAnOlderSoundOne) {
  const std::string bytes = test::MixedBytes(7);
  test::BlockwiseCopy damaged = test::CompressByBlocks(bytes);
  damaged.stored[damaged.blockStarts[3] + 500] ^= 0x20;
  Store("01032006", "_/big.ZZ", test::CompressByBlocks(bytes).stored);
  Store("02032006", "_/big.ZZ", damaged.stored);
  const std::string dest = tmp / "out/big.bin";
  WriteFile(dest, "older edit");
  WorkerPool blocks(2);
  const RestoreEntry e{"/big.bin", "_/big.ZZ", 0100644, 0, ContentOf(bytes)};
  EXPECT_EQ(Restore(e, 1, dest, {}, &blocks).status, RestoreStatus::kRestored);
  EXPECT_TRUE(ReadFile(dest) == bytes);
  // The blocks decoded before the damaged one went to a file that is gone.
  EXPECT_EQ(EntriesIn(tmp / "out"), 1u);
  // Alone, the damaged copy restores nothing.
  fsys::remove(tmp / "store/PC/01032006/_/big.ZZ");
  WriteFile(dest, "precious");
  EXPECT_EQ(Restore(e, 1, dest, {}, &blocks).status, RestoreStatus::kCopyRefused);
  EXPECT_EQ(ReadFile(dest), "precious");
  EXPECT_EQ(lines.back().rfind("---> ERREUR: Copie compressée endommagée (", 0), 0u);
  EXPECT_EQ(EntriesIn(tmp / "out"), 1u);
}

TEST_F(RestoreItemTest, StoredNamesThatLeaveTheDayFolderAreRefused) {
  WriteFile(tmp / "store/PC/secret.ZZ", Compressed("outside the day"));
  WriteFile(tmp / "elsewhere.ZZ", Compressed("outside the store"));
  for (const std::string& name :
       std::vector<std::string>{"../secret.ZZ", tmp / "elsewhere.ZZ", "_/../../secret.ZZ"}) {
    EXPECT_EQ(
        Restore({"/x", name, 0100644, 0, ContentOf("outside the day")}, 2, tmp / "out/x").status,
        RestoreStatus::kMissingStored)
        << name;
  }
  EXPECT_FALSE(fsys::exists(tmp / "out/x"));
}

TEST_F(RestoreItemTest, EachWayOfFailingToWriteHasItsOwnCause) {
  Store("01032006", "_/ro.ZZ", Compressed("fresh"));
  const RecordedContent fresh = ContentOf("fresh");
  const std::string dest = tmp / "out/ro.txt";
  WriteFile(dest, "old");
  ::chmod(dest.c_str(), 0444);
  EXPECT_EQ(Restore({"/ro.txt", "_/ro.ZZ", 0100444, 0, fresh}, 0, dest).status,
            RestoreStatus::kRestored);
  EXPECT_EQ(ReadFile(dest), "fresh");

  WriteFile(tmp / "blocker", "a file where a folder should be");
  EXPECT_EQ(Restore({"/f", "_/ro.ZZ", 0100644, 0, fresh}, 0, tmp / "blocker/sub/f").status,
            RestoreStatus::kFolderFailed);
  EXPECT_EQ(lines.back(), "---> ERREUR: Un fichier occupe la place du répertoire (" +
                              (tmp / "blocker/sub/") + ") : il n'est pas remplacé ! <---");
  EXPECT_EQ(ReadFile(tmp / "blocker"), "a file where a folder should be");

  fsys::create_directories(tmp / "out/folder.txt/inside");
  EXPECT_EQ(Restore({"/f", "_/ro.ZZ", 0100644, 0, fresh}, 0, tmp / "out/folder.txt").status,
            RestoreStatus::kFileFailed);
  EXPECT_EQ(lines.back(), "---> ERREUR: Un dossier occupe la place du fichier (" +
                              (tmp / "out/folder.txt") + ") : il n'est pas remplacé ! <---");
  EXPECT_TRUE(fsys::is_directory(tmp / "out/folder.txt/inside"));

  // Refused access and a full disk, as the system answers them.
  for (const int error : {EACCES, ENOSPC}) {
    fs.rule = [error](test::FsCall call, const std::string&) {
      return call == test::FsCall::kCreate ? error : 0;
    };
    EXPECT_EQ(Restore({"/g", "_/ro.ZZ", 0100644, 0, fresh}, 0, tmp / "out/g").status,
              RestoreStatus::kFileFailed);
    const std::string start = error == EACCES ? "---> ERREUR: Accès refusé : impossible d'écrire"
                                              : "---> ERREUR: Impossible de recréer le fichier (";
    EXPECT_EQ(lines.back().rfind(start, 0), 0u) << lines.back();
    EXPECT_FALSE(fsys::exists(tmp / "out/g"));
  }

  // A file that ends in a hole, whose length the disk refuses (too large
  // for it): the proven bytes never take the destination's place cut short.
  const std::string tail = "head" + std::string(40000, '\0');
  Store("01032006", "_/tail.ZZ", Compressed(tail));
  WriteFile(tmp / "sized/t", "before");
  fs.rule = [](test::FsCall call, const std::string&) {
    return call == test::FsCall::kSetStreamSize ? EFBIG : 0;
  };
  EXPECT_EQ(Restore({"/t", "_/tail.ZZ", 0100644, 0, ContentOf(tail)}, 0, tmp / "sized/t").status,
            RestoreStatus::kFileFailed);
  EXPECT_EQ(lines.back().rfind("---> ERREUR: Impossible de recréer le fichier (/t) : ", 0), 0u)
      << lines.back();
  EXPECT_EQ(ReadFile(tmp / "sized/t"), "before");
  EXPECT_EQ(EntriesIn(tmp / "sized"), 1u);
  fs.rule = nullptr;
  EXPECT_EQ(Restore({"/t", "_/tail.ZZ", 0100644, 0, ContentOf(tail)}, 0, tmp / "sized/t").status,
            RestoreStatus::kRestored);
  EXPECT_EQ(ReadFile(tmp / "sized/t"), tail);
}

TEST_F(RestoreItemTest, NothingIsWrittenThroughALinkOutOfTheChosenFolderNorOverAFileOfOurNames) {
  Store("01032006", "_/a.ZZ", Compressed("restored"));
  const RestoreEntry e{"/docs/a", "_/a.ZZ", 0100644, 0, ContentOf("restored")};
  const std::string to = tmp / "to";
  fsys::create_directories(tmp / "outside");
  fsys::create_directories(to);
  fsys::create_symlink(tmp / "outside", to + "/docs");
  EXPECT_EQ(Restore(e, 0, to + "/docs/a", to).status, RestoreStatus::kOutsideDestination);
  EXPECT_TRUE(fsys::is_empty(tmp / "outside"));
  EXPECT_EQ(lines.back().rfind("---> ERREUR: Le fichier (" + to + "/docs/a) sortirait", 0), 0u);

  // Files of the person's that bear names like the restore's temporary ones
  // are never emptied or taken.
  fsys::remove(to + "/docs");
  fsys::create_directories(to + "/docs");
  for (int n = 1; n <= 200; ++n) {
    WriteFile(to + "/docs/.vk-restore-" + std::to_string(::getpid()) + "-" + std::to_string(n),
              "mine " + std::to_string(n));
  }
  EXPECT_EQ(Restore(e, 0, to + "/docs/a", to).status, RestoreStatus::kRestored);
  EXPECT_EQ(ReadFile(to + "/docs/a"), "restored");
  for (int n = 1; n <= 200; ++n) {
    EXPECT_EQ(
        ReadFile(to + "/docs/.vk-restore-" + std::to_string(::getpid()) + "-" + std::to_string(n)),
        "mine " + std::to_string(n));
  }
  EXPECT_EQ(EntriesIn(to + "/docs"), 201u);
}

}  // namespace
}  // namespace varnoket
