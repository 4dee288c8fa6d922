// Runs that could not save everything: a folder that cannot be listed, a
// listed folder that is suddenly empty, a file that changes while it is
// read. Each keeps what was stored before, names what it left out and ends
// "completed with N left out"; none passes for a deletion or for a success.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/BackupRun.h"
#include "engine/FileRecord.h"
#include "support/FaultyFileSystem.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

int Logged(const StoreFixture& f, const std::string& part) {
  return static_cast<int>(
      std::count_if(f.host.logged.begin(), f.host.logged.end(),
                    [&](const std::string& l) { return l.find(part) != std::string::npos; }));
}

// Exclusions and caches are the person's choice; a pipe or a link that
// leads nowhere is a problem the outcome names. Hidden folders follow the
// set's setting; the desktop's caches are left out either way.
TEST(LeftOutRunTest, ExclusionsHiddenFoldersCachesAndSpecialFiles) {
  StoreFixture f;
  f.station.exclusions = {"*.tmp"};
  f.Write("REPORT.TMP", "excluded");
  f.Write("X.TMP/inside.txt", "kept: folders are never filtered");
  f.Write(".hidden/secret.txt", "hidden folder");
  f.Write(".profile", "hidden files are kept");
  f.Write(".cache/thumb.png", "a desktop cache");
  f.Write(".local/share/Trash/files/old.txt", "in the trash");
  f.Write(".local/share/mail/inbox", "mail");
  ASSERT_EQ(::mkfifo((f.source + "/pipe").c_str(), 0644), 0);
  fsys::create_symlink(f.source + "/nowhere", f.source + "/dangling");
  fsys::create_symlink(f.source + "/X.TMP", f.source + "/loop");
  const auto paths = [&f](const std::string& day) {
    std::vector<std::string> found;
    for (const auto& l : f.FileList(day)) found.push_back(ParseFileRecord(l)->fullPath);
    std::sort(found.begin(), found.end());
    return found;
  };
  const auto loggedCount = [&f](const std::string& part) {
    return std::count_if(f.host.logged.begin(), f.host.logged.end(),
                         [&](const std::string& l) { return l.find(part) != std::string::npos; });
  };

  f.station.includeHidden = false;
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompletedWithLeftOut);
  EXPECT_EQ(paths("01032006"),
            (std::vector<std::string>{f.source + "/.profile", f.source + "/X.TMP/inside.txt"}));
  EXPECT_EQ(loggedCount("Sauvegarde terminée avec 2 élément(s) non sauvegardé(s)"), 1);
  EXPECT_EQ(loggedCount("Le dossier caché (" + f.source + "/.hidden)"), 1);
  EXPECT_EQ(loggedCount("Le dossier caché (" + f.source + "/.local)"), 1);
  EXPECT_EQ(loggedCount("1 dossier(s) caché(s)"), 0);  // .cache counts as a cache
  EXPECT_EQ(loggedCount("2 dossier(s) caché(s)"), 1);
  EXPECT_EQ(loggedCount("(" + f.source + "/pipe) est un tube"), 1);
  EXPECT_EQ(loggedCount("(" + f.source + "/dangling) ne mène à aucun fichier"), 1);

  f.host.logged.clear();
  f.SetDay(2, 3, 2006);
  f.station.includeHidden = true;
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompletedWithLeftOut);
  EXPECT_EQ(paths("02032006"),
            (std::vector<std::string>{f.source + "/.hidden/secret.txt",
                                      f.source + "/.local/share/mail/inbox", f.source + "/.profile",
                                      f.source + "/X.TMP/inside.txt"}));
  EXPECT_EQ(loggedCount("dossier(s) caché(s)"), 0);
  EXPECT_EQ(loggedCount("2 répertoire(s) de cache du bureau"), 1);
}

TEST(LeftOutRunTest, AFolderThatCannotBeListedKeepsWhatTheDayBeforeRecordedBelowIt) {
  FaultyFileSystem disk;
  StoreFixture f(disk);
  const std::string letter = f.Write("docs/letter.txt", "monday's letter");
  f.Write("docs/deep/notes.txt", "notes");
  f.Write("other.txt", "other");
  const auto monday = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);

  // Tuesday the folder cannot be listed; what it holds changed meanwhile.
  f.SetDay(2, 3, 2006);
  f.Remove("docs/deep/notes.txt");
  const std::string fresh = f.Write("fresh.txt", "new beside it");
  const std::string docs = f.source + "/docs";
  disk.rule = [&](FsCall kind, const std::string& path) {
    return kind == FsCall::kList && (path == docs || path == docs + "/") ? EACCES : 0;
  };
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompletedWithLeftOut);
  EXPECT_EQ(Logged(f, "ERREUR: impossible de lire le répertoire (" + docs +
                          ") : " + std::strerror(EACCES)),
            1);
  EXPECT_EQ(Logged(f, "Sauvegarde terminée avec 1 élément(s) non sauvegardé(s)"), 1);
  disk.rule = nullptr;
  auto tuesday = monday;
  tuesday[fresh] = "new beside it";
  // Unknown today is not deleted: the folder restores as last seen.
  EXPECT_EQ(f.RestoreDay("02032006").files, tuesday);

  // Readable again, the day records what the folder holds now.
  f.SetDay(3, 3, 2006);
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(f.RestoreDay("03032006").files, f.Snapshot());
  EXPECT_EQ(f.RestoreDay("03032006").files.count(letter), 1u);
}

TEST(LeftOutRunTest, AListedFolderFoundEmptyKeepsItsFilesUntilItLeavesTheSet) {
  StoreFixture f;
  f.daysKept = 2;
  const std::string photos = f.source + "/photos";
  f.Write("photos/2005/beach.jpg", "sand");
  f.Write("photos/cat.jpg", "cat");
  f.Write("notes.txt", "notes");
  f.station.backupDirectories = {photos, f.source};
  f.station.directories = f.station.backupDirectories;
  const auto first = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);

  // Its disk is not mounted: the folder is empty, day after day, longer
  // than the days kept.
  fsys::remove_all(photos);
  fsys::create_directories(photos);
  auto expected = first;
  for (int day = 2; day <= 4; ++day) {
    f.SetDay(day, 3, 2006);
    f.Write("notes.txt", "notes of day " + std::to_string(day));
    expected[f.source + "/notes.txt"] = "notes of day " + std::to_string(day);
    ASSERT_EQ(f.Backup(), BackupOutcome::kCompletedWithLeftOut) << day;
    EXPECT_EQ(Logged(f, "ATTENTION: Le dossier à sauvegarder (" + photos + ") est vide"), 1);
    const std::string folder = "0" + std::to_string(day) + "032006";
    EXPECT_EQ(f.RestoreDay(folder).files, expected) << folder;
  }
  EXPECT_EQ(f.Days(), (std::vector<std::string>{"03032006", "04032006"}));

  // Taken out of the set, it is no longer saved, and nothing is said.
  f.station.backupDirectories = {f.source};
  f.station.directories = f.station.backupDirectories;
  f.SetDay(5, 3, 2006);
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(Logged(f, "est vide"), 0);
  EXPECT_EQ(f.RestoreDay("05032006").files, f.Snapshot());
}

// What the day keeps below an empty folder is the previous list's, line for
// line: a line there that no restore would take is carried as it stands, in
// the list's order, and the day's list stays ordinally sorted.
TEST(LeftOutRunTest, AKeptFolderCarriesTheLinesNoRestoreTakesAsTheyStand) {
  StoreFixture f;
  const std::string photos = f.source + "/photos";
  f.Write("photos/cat.jpg", "cat");
  f.Write("notes.txt", "notes");
  f.station.backupDirectories = {photos, f.source};
  f.station.directories = f.station.backupDirectories;
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const std::string damaged = "12x|7|_/odd|" + photos + "/odd.jpg|0|0|0";
  {
    std::ofstream list(f.DayFolder("01032006") + "/filelist.txt", std::ios::binary | std::ios::app);
    list << damaged << "\r\n";
  }
  const std::vector<std::string> before = f.FileList("01032006");

  fsys::remove_all(photos);
  fsys::create_directories(photos);
  f.SetDay(2, 3, 2006);
  f.Write("notes.txt", "new notes");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompletedWithLeftOut);
  const std::vector<std::string> after = f.FileList("02032006");
  EXPECT_EQ(std::count(after.begin(), after.end(), damaged), 1);
  for (const std::string& line : before) {
    if (line.find(photos + "/") != std::string::npos) {
      EXPECT_EQ(std::count(after.begin(), after.end(), line), 1) << line;
    }
  }
  EXPECT_TRUE(std::is_sorted(after.begin(), after.end())) << "the list is ordinally sorted";
  EXPECT_EQ(after.size(), before.size());
}

TEST(LeftOutRunTest, AFolderThatWasAlreadyEmptyIsNoWarning) {
  StoreFixture f;
  const std::string empty = f.source + "/empty";
  fsys::create_directories(empty);
  f.Write("a.txt", "a");
  f.station.backupDirectories = {empty, f.source};
  f.station.directories = f.station.backupDirectories;
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  f.SetDay(2, 3, 2006);
  f.Write("a.txt", "b");
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);
  EXPECT_EQ(Logged(f, "est vide"), 0);
}

// The copy is made from a second read of the file, after the scan's: a
// change during that read is a torn copy (old beginning, new end), which
// must never be stored.
TEST(LeftOutRunTest, AFileChangedWhileItIsCopiedIsReadAgainOrKeepsItsLastCopy) {
  FaultyFileSystem disk;
  StoreFixture f(disk);
  const std::string once = f.Write("once.bin", std::string(300000, 'a'));
  const std::string always = f.Write("always.bin", std::string(300000, 'x'));
  const auto monday = f.Snapshot();
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompleted);

  f.SetDay(2, 3, 2006);
  WriteFile(once, std::string(300000, 'b'));
  WriteFile(always, std::string(300000, 'y'));
  const std::string fresh = f.Write("fresh.bin", std::string(300000, 'f'));
  int onceChanges = 0;
  int alwaysChanges = 0;
  int freshChanges = 0;
  disk.rule = [&](FsCall kind, const std::string& path) {
    // Only the copy step's reads: they come after the day's folder exists.
    if (kind != FsCall::kStreamRead || disk.calls(FsCall::kCreateDirectories) == 0) return 0;
    if (path == once && onceChanges == 0) {
      ++onceChanges;
      WriteFile(once, std::string(300000, 'c'));
    } else if (path == always) {
      ++alwaysChanges;
      WriteFile(always, std::string(300000 + alwaysChanges, 'z'));
    } else if (path == fresh) {
      ++freshChanges;
      WriteFile(fresh, std::string(300000 + freshChanges, 'g'));
    }
    return 0;
  };
  ASSERT_EQ(f.Backup(), BackupOutcome::kCompletedWithLeftOut);
  disk.rule = nullptr;
  EXPECT_EQ(onceChanges, 1);
  EXPECT_GE(alwaysChanges, 3);
  EXPECT_EQ(Logged(f, "(" + always + ") a changé pendant chacune de ses 3 lectures"), 1);
  EXPECT_EQ(Logged(f, "(" + fresh + ") a changé pendant chacune de ses 3 lectures"), 1);
  EXPECT_EQ(Logged(f, "(" + once + ")"), 0);
  EXPECT_EQ(Logged(f, "Sauvegarde terminée avec 2 élément(s) non sauvegardé(s)"), 1);

  const auto restored = f.RestoreDay("02032006");
  EXPECT_EQ(restored.errors, 0);
  // Read again whole: the new content, never half of each.
  EXPECT_EQ(restored.files.at(once), std::string(300000, 'c'));
  // Kept changing: the last whole copy stays, a new file waits for a still one.
  EXPECT_EQ(restored.files.at(always), monday.at(always));
  EXPECT_EQ(restored.files.count(fresh), 0u);
  EXPECT_EQ(f.RestoreDay("01032006").files, monday);
}

}  // namespace
}  // namespace varnoket::test
