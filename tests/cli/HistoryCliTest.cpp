// varnoket-cli's history commands (versions, find, changes) and the restore
// choices, on a store the engine filled over several faked days.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "cli/CliRunner.h"
#include "support/StoreFixture.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

struct CliRun : CliOutput {
  bool Says(const std::string& text) const { return out.find(text) != std::string::npos; }
};

// Runs the tool with `args`, from the folder `cwd` when one is given.
CliRun Cli(const std::string& args, const std::string& cwd = "") {
  return CliRun{RunTool(args, cwd, true)};
}

// A 64 KiB file system at `at` while it lives (mounting needs privileges).
struct SmallDisk {
  explicit SmallDisk(const std::string& where) : at(where) {
    mounted = ::mount("tmpfs", at.c_str(), "tmpfs", 0, "size=64k") == 0;
  }
  ~SmallDisk() {
    if (mounted) ::umount2(at.c_str(), MNT_DETACH);
  }
  std::string at;
  bool mounted = false;
};

// Three days: on 02/03 a.txt changes and gone.txt is deleted, on 03/03
// new.txt appears.
class HistoryCliTest : public ::testing::Test {
 protected:
  HistoryCliTest() {
    a = f.Write("a.txt", "first");
    gone = f.Write("docs/Gone.TXT", "deleted on day 2");
    f.Write("b.dat", "bravo");
    EXPECT_EQ(f.Backup(), BackupOutcome::kCompleted);
    f.Write("a.txt", "second, longer");
    f.Remove("docs/Gone.TXT");
    f.SetDay(2, 3, 2006);
    EXPECT_EQ(f.Backup(), BackupOutcome::kCompleted);
    newer = f.Write("new.txt", "day three");
    f.SetDay(3, 3, 2006);
    EXPECT_EQ(f.Backup(), BackupOutcome::kCompleted);
    WriteFile(f.tmp / "prog/VARNOKET.INI", "[PARAMS]\r\nRACINE=" + f.root + "/\r\nMAXSAVE=30\r\n");
    prog = "--program-folder " + (f.tmp / "prog") + " --station " + f.stationName + " ";
  }

  StoreFixture f;
  std::string a, gone, newer, prog;
};

TEST_F(HistoryCliTest, VersionsPrintsEachDayWhereTheFileChanged) {
  const CliRun r = Cli(prog + "versions " + Quoted(a));
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_TRUE(r.Says("01/03/2006  5 octets  modifié le ")) << r.out;
  EXPECT_TRUE(r.Says("02/03/2006  14 octets  modifié le ")) << r.out;
  EXPECT_FALSE(r.Says("03/03/2006")) << r.out;
  EXPECT_TRUE(r.Says("2 version(s) du fichier " + a)) << r.out;

  // A trailing separator and a relative spelling reach the same record.
  const CliRun relative = Cli(prog + "versions a.txt/", f.source);
  EXPECT_EQ(relative.code, 0) << relative.out;
  EXPECT_TRUE(relative.Says("2 version(s) du fichier " + a)) << relative.out;
  // So do "." and a doubled separator in an absolute path, as in a restore.
  const CliRun spelled = Cli(prog + "versions " + Quoted(f.source + "/.//a.txt"));
  EXPECT_EQ(spelled.code, 0) << spelled.out;
  EXPECT_TRUE(spelled.Says("2 version(s) du fichier " + a)) << spelled.out;

  const CliRun none = Cli(prog + "versions " + Quoted(f.source + "/never.txt"));
  EXPECT_EQ(none.code, 1);
  EXPECT_TRUE(
      none.Says("Aucune sauvegarde conservée n'enregistre le chemin (" + f.source + "/never.txt)."))
      << none.out;
  EXPECT_EQ(Cli(prog + "versions").code, 2);
}

TEST_F(HistoryCliTest, FindSearchesOneDayOrEveryDayWithoutRegardToCase) {
  CliRun r = Cli(prog + "find '*.txt'");
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_TRUE(r.Says("03/03/2006  14 octets  " + a + "\n")) << r.out;
  // Deleted since: found in the last day that had it.
  EXPECT_TRUE(r.Says("01/03/2006  16 octets  " + gone + "\n")) << r.out;
  EXPECT_TRUE(r.Says("03/03/2006  9 octets  " + newer + "\n")) << r.out;
  EXPECT_TRUE(r.Says("3 fichier(s) trouvé(s)")) << r.out;

  r = Cli(prog + "find '?one.*' 02/03/2006");
  EXPECT_EQ(r.code, 1) << r.out;
  EXPECT_TRUE(r.Says("Aucun fichier ne correspond à (?one.*).")) << r.out;
  r = Cli(prog + "find 'GONE.*' 01/03/2006");
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_TRUE(r.Says("1 fichier(s) trouvé(s)")) << r.out;
  EXPECT_EQ(Cli(prog + "find '*' 09/09/2009").code, 1);
}

TEST_F(HistoryCliTest, ChangesListsNewChangedAndGoneFiles) {
  CliRun r = Cli(prog + "changes 02/03/2006");
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_TRUE(r.Says("Modifié   " + a + "\nSupprimé  " + gone + "\n")) << r.out;
  EXPECT_TRUE(r.Says("Depuis le 01/03/2006 : 0 nouveau(x), 1 modifié(s), 1 supprimé(s)")) << r.out;
  r = Cli(prog + "changes 01/03/2006");
  EXPECT_TRUE(r.Says("Première sauvegarde conservée : 3 fichier(s)")) << r.out;
  r = Cli(prog + "changes 03/03/2006");
  EXPECT_EQ(r.out, "Nouveau   " + newer +
                       "\nDepuis le 02/03/2006 : 1 nouveau(x), 0 modifié(s), 0 supprimé(s)\n");
  EXPECT_EQ(Cli(prog + "changes 04/03/2006").code, 1);
}

TEST_F(HistoryCliTest, RestoreOfOneFileAndEachChoiceForADifferentFile) {
  const std::string out = f.tmp / "out";
  const std::string to = out + a;
  CliRun r = Cli(prog + "restore 01/03/2006 --to " + Quoted(out) + " " + Quoted(a));
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(ReadFile(to), "first");
  EXPECT_FALSE(fsys::exists(out + f.source + "/b.dat"));
  EXPECT_TRUE(
      r.Says("Fichiers : 1 créé(s), 0 laissé(s) tel(s) quel(s) (déjà à jour), 0 "
             "remplacé(s), 0 restauré(s) à côté du fichier existant, 0 ignoré(s)"))
      << r.out;

  // The day after, a.txt differs from what the disk now holds.
  const std::string day2 = "restore 02/03/2006 --to " + Quoted(out) + " ";
  r = Cli(prog + day2 + "--existing skip");
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(ReadFile(to), "first");
  EXPECT_TRUE(
      r.Says("Fichiers : 1 créé(s), 0 laissé(s) tel(s) quel(s) (déjà à jour), 0 "
             "remplacé(s), 0 restauré(s) à côté du fichier existant, 1 ignoré(s)"))
      << r.out;

  r = Cli(prog + day2 + "--existing keep-both");
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(ReadFile(to), "first");
  EXPECT_EQ(ReadFile(out + f.source + "/a (restauré du 02-03-2006).txt"), "second, longer");
  EXPECT_TRUE(
      r.Says("0 créé(s), 1 laissé(s) tel(s) quel(s) (déjà à jour), 0 remplacé(s), 1 "
             "restauré(s) à côté du fichier existant, 0 ignoré(s)"))
      << r.out;
  // Again: the first kept name is taken now.
  r = Cli(prog + day2 + "--existing keep-both " + Quoted(a));
  EXPECT_EQ(ReadFile(out + f.source + "/a (restauré du 02-03-2006) 2.txt"), "second, longer");

  r = Cli(prog + day2);  // replace, as without the option
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(ReadFile(to), "second, longer");
  EXPECT_TRUE(r.Says("0 créé(s), 1 laissé(s) tel(s) quel(s) (déjà à jour), 1 remplacé(s)"))
      << r.out;
  EXPECT_TRUE(r.Says("Opération terminée : 2 fichiers ou dossiers restaurés")) << r.out;
  EXPECT_EQ(Cli(prog + day2 + "--existing both").code, 2);
}

TEST_F(HistoryCliTest, ADestinationInsideTheStoreIsRefused) {
  for (const std::string& inside : {f.root, f.root + "/POSTE1/elsewhere"}) {
    const CliRun r = Cli(prog + "restore 01/03/2006 --to " + Quoted(inside));
    EXPECT_EQ(r.code, 2) << r.out;
    EXPECT_TRUE(r.Says("Le dossier de destination (" + inside +
                       ") se trouve dans le dossier des sauvegardes"))
        << r.out;
  }
  EXPECT_FALSE(fsys::exists(f.root + "/POSTE1/elsewhere"));
  EXPECT_FALSE(fsys::exists(f.root + f.source));
}

TEST_F(HistoryCliTest, AFullDestinationGivesTheErrorLinesAndNoHalfWrittenFile) {
  const std::string out = f.tmp / "small";
  fsys::create_directories(out);
  SmallDisk disk(out);
  if (!disk.mounted) GTEST_SKIP() << "a small file system cannot be mounted here";
  std::string big(300000, '\0');
  unsigned x = 1;
  for (char& c : big) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
  f.Write("big.bin", big);
  f.SetDay(4, 3, 2006);
  EXPECT_EQ(f.Backup(), BackupOutcome::kCompleted);
  const std::string to = out + f.source + "/big.bin";
  fsys::create_directories(out + f.source);
  WriteFile(to, "the file already there");
  for (const char* choice : {"replace", "keep-both"}) {
    const CliRun r = Cli(prog + "restore 04/03/2006 --to " + Quoted(out) + " --existing " + choice +
                         " " + Quoted(f.source + "/big.bin"));
    EXPECT_EQ(r.code, 1) << r.out;
    EXPECT_TRUE(r.Says("---> ERREUR: Impossible de recréer le fichier (" + f.source +
                       "/big.bin) Vérifiez l'espace disque disponible"))
        << r.out;
    EXPECT_TRUE(
        r.Says("ATTENTION 1 fichiers ou répertoires n'ont pas pu être correctement "
               "restaurés !"))
        << r.out;
    EXPECT_EQ(ReadFile(to), "the file already there");
    size_t names = 0;
    for ([[maybe_unused]] const auto& e : fsys::directory_iterator(out + f.source)) ++names;
    EXPECT_EQ(names, 1u);
  }
}

}  // namespace
}  // namespace varnoket::test
