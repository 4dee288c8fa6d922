// The command-line tool as a script uses it: a program folder, a store, real
// files, exit codes and printed lines.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "cli/CliRunner.h"
#include "platform/StationName.h"
#include "settings/StoreMarker.h"
#include "support/TempDir.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

using RunResult = CliOutput;

RunResult RunCli(const std::string& args) {
  return RunTool(args, "", true);
}

class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    WriteFile(tmp / "prog/VARNOKET.INI", "[PARAMS]\r\nRACINE=" + (tmp / "store") +
                                             "/\r\nHEURE=13\r\nMINUTE=0\r\nMAXSAVE=30\r\n");
    fsys::create_directories(tmp / "store");
    MarkStore(DefaultFileSystem(), tmp / "store");
    prog = "--program-folder " + (tmp / "prog") + " --station PC ";
  }
  void UseSource() {
    WriteFile(tmp / "store/PC/PC.ini",
              "[PARAMS]\r\nLASTBACKUP=31/12/2002\r\n[DIRECTORIES]\r\nD1=" + (tmp / "src") + "\r\n");
  }
  std::string Today() {
    const RunResult r = RunCli(prog + "days");
    return r.out.substr(0, 10);
  }

  TempDir tmp;
  std::string prog;
};

TEST_F(CliTest, SettingsThatAllowNoRunExitWithTwo) {
  EXPECT_EQ(RunCli("--program-folder " + (tmp / "nowhere") + " backup").code, 2);
  const RunResult empty = RunCli(prog + "backup");
  EXPECT_EQ(empty.code, 2);
  EXPECT_TRUE(fsys::exists(tmp / "store/PC/PC.ini"));  // created as at start-up
  WriteFile(tmp / "prog/VARNOKET.INI", "[PARAMS]\r\nRACINE=\r\n");
  const RunResult noRoot = RunCli(prog + "backup");
  EXPECT_EQ(noRoot.code, 2);
  EXPECT_NE(noRoot.out.find("n'est pas configuré"), std::string::npos);
  EXPECT_EQ(RunCli(prog + "frobnicate").code, 2);
  // A root that is no folder (here a plain file) is no disk: exit 6, and
  // nothing is written.
  WriteFile(tmp / "root-file", "");
  WriteFile(tmp / "prog/VARNOKET.INI", "[PARAMS]\r\nRACINE=" + (tmp / "root-file") + "\r\n");
  const RunResult noDisk = RunCli(prog + "backup");
  EXPECT_EQ(noDisk.code, 6);
  EXPECT_NE(noDisk.out.find("Disque de sauvegarde absent (" + (tmp / "root-file") + ")"),
            std::string::npos);
  // A store that cannot be written into (a folder holds the test file's
  // name) stops at the write test, whoever runs the tool.
  fsys::create_directories(tmp / "store/_temp_.txt/blocker");
  WriteFile(tmp / "prog/VARNOKET.INI", "[PARAMS]\r\nRACINE=" + (tmp / "store") + "\r\n");
  const RunResult unwritable = RunCli(prog + "backup");
  EXPECT_EQ(unwritable.code, 2);
  EXPECT_NE(unwritable.out.find("Impossible d'écrire dans le répertoire racine de sauvegarde"),
            std::string::npos);
}

TEST_F(CliTest, SettingsFilesThatAreNoTextAreKeptAsideAndSaid) {
  const std::string zeroed("[PARAMS]\r\nLASTBACKUP=\0\0", 23);
  WriteFile(tmp / "store/PC/PC.ini", zeroed);
  const RunResult station = RunCli(prog + "backup");
  EXPECT_NE(station.out.find("Le fichier de paramètres (" + (tmp / "store/PC/PC.ini") +
                             ") était illisible : il a été mis de côté sous le nom (" +
                             (tmp / "store/PC/PC.ini.unreadable-")),
            std::string::npos)
      << station.out;
  std::vector<std::string> kept;
  for (const auto& e : fsys::directory_iterator(tmp / "store/PC")) {
    if (e.path().filename().string().rfind("PC.ini.unreadable-", 0) == 0) {
      kept.push_back(e.path().string());
    }
  }
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(ReadFile(kept[0]), zeroed);

  WriteFile(tmp / "prog/VARNOKET.INI", std::string(8, '\0'));
  const RunResult program = RunCli(prog + "backup");
  EXPECT_EQ(program.code, 2);  // the defaults name no root
  EXPECT_NE(program.out.find("(" + (tmp / "prog/VARNOKET.INI") + ") était illisible"),
            std::string::npos)
      << program.out;
}

TEST_F(CliTest, BackupDaysVerifyAndRestoreRoundTrip) {
  WriteFile(tmp / "src/docs/a.txt", "alpha");
  WriteFile(tmp / "src/docs/b.txt", std::string(70000, 'b'));
  WriteFile(tmp / "src/other/c.txt", "gamma");
  fsys::create_directories(tmp / "src/empty");
  UseSource();

  const RunResult backup = RunCli(prog + "backup");
  ASSERT_EQ(backup.code, 0) << backup.out;
  EXPECT_NE(backup.out.find("Préparation de la sauvegarde ...\nDébut de la sauvegarde ..."),
            std::string::npos);
  EXPECT_NE(backup.out.find("Fin de la sauvegarde !"), std::string::npos);
  const std::string day = Today();
  ASSERT_EQ(day.size(), 10u);
  EXPECT_EQ(RunCli(prog + "backup").out.find("Aucune modification n'a été détectée."),
            std::string("Préparation de la sauvegarde ...\n").size());

  const std::string folder = day.substr(0, 2) + day.substr(3, 2) + day.substr(6, 4);
  const std::string stored = tmp / ("store/PC/" + folder + "/_" + (tmp / "src/docs/b.txt") + ".ZZ");
  ASSERT_TRUE(fsys::exists(stored));
  // Any bzip2 decoder gives the source back.
  EXPECT_EQ(
      std::system(
          ("bzip2 -dc '" + stored + "' | cmp -s - '" + (tmp / "src/docs/b.txt") + "'").c_str()),
      0);
  EXPECT_EQ(RunCli(prog + "verify").code, 0);

  // Only the docs folder, into another place.
  const RunResult partial =
      RunCli(prog + "restore " + day + " --to " + (tmp / "out") + " " + (tmp / "src/docs"));
  ASSERT_EQ(partial.code, 0) << partial.out;
  EXPECT_EQ(ReadFile(tmp / ("out" + (tmp / "src/docs/a.txt"))), "alpha");
  EXPECT_EQ(ReadFile(tmp / ("out" + (tmp / "src/docs/b.txt"))), std::string(70000, 'b'));
  EXPECT_FALSE(fsys::exists(tmp / ("out" + (tmp / "src/other/c.txt"))));
  EXPECT_NE(
      partial.out.find(
          "Opération terminée : 2 fichiers ou dossiers restaurés pour un total de 70005 octets !"),
      std::string::npos);

  // Everything, empty folder included.
  ASSERT_EQ(RunCli(prog + "restore " + day + " --to " + (tmp / "all")).code, 0);
  EXPECT_TRUE(fsys::is_directory(tmp / ("all" + (tmp / "src/empty"))));
  EXPECT_EQ(ReadFile(tmp / ("all" + (tmp / "src/other/c.txt"))), "gamma");
  EXPECT_EQ(RunCli(prog + "restore 01/01/1999").code, 1);
}

TEST_F(CliTest, ADamagedCopyIsFoundByVerifyAndNeverReplacesAFileOnRestore) {
  WriteFile(tmp / "src/a.txt", std::string(50000, 'a'));
  WriteFile(tmp / "src/b.txt", "bravo");
  UseSource();
  ASSERT_EQ(RunCli(prog + "backup").code, 0);
  const std::string day = Today();
  const std::string folder = day.substr(0, 2) + day.substr(3, 2) + day.substr(6, 4);
  const std::string stored = tmp / ("store/PC/" + folder + "/_" + (tmp / "src/a.txt") + ".ZZ");
  const std::string bytes = ReadFile(stored);
  WriteFile(stored, bytes.substr(0, bytes.size() - 10));

  const RunResult verify = RunCli(prog + "verify " + day);
  EXPECT_EQ(verify.code, 1);
  EXPECT_NE(verify.out.find("copie tronquée"), std::string::npos);

  WriteFile(tmp / "src/a.txt", "the user's current file");
  const RunResult restore = RunCli(prog + "restore " + day);
  EXPECT_EQ(restore.code, 1);
  EXPECT_EQ(ReadFile(tmp / "src/a.txt"), "the user's current file");
  EXPECT_EQ(ReadFile(tmp / "src/b.txt"), "bravo");
  EXPECT_NE(restore.out.find(
                "ATTENTION 1 fichiers ou répertoires n'ont pas pu être correctement restaurés !"),
            std::string::npos);
}

}  // namespace
}  // namespace varnoket::test
