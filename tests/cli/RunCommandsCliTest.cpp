// The commands around a backup as a person sets them from a shell: kept as
// typed in the program settings (the store's station file cannot name one),
// refused when they cannot be kept, and each failure in the exit code.
#include <gtest/gtest.h>

#include <string>

#include "cli/StoreCliFixture.h"

namespace varnoket::test {
namespace {

class RunCommandsCliTest : public StoreCliFixture {};

TEST_F(RunCommandsCliTest, CommandsAreKeptAsTypedAndTheirFailuresSaidByTheExitCode) {
  WriteFile(src + "/a.txt", "alpha");
  const std::string seen = tmp / "seen.txt";
  // Shell syntax the settings file must keep: separators, quotes, an equals
  // sign, a semicolon and a hash.
  const std::string before = "echo \"x=1; #not a comment\" >> " + seen;
  CliOutput set = Cli("config before-command " + Quoted(before));
  ASSERT_EQ(set.code, 0) << set.out;
  EXPECT_NE(set.out.find("Commande avant la sauvegarde : " + before + " (au plus 10 minute(s))"),
            std::string::npos)
      << set.out;
  ASSERT_EQ(Cli("config after-command " + Quoted("echo $VARNOKET_OUTCOME >> " + seen)).code, 0);
  ASSERT_EQ(Cli("config after-limit 3").code, 0);
  EXPECT_NE(Cli("config").out.find("Commande après la sauvegarde : echo $VARNOKET_OUTCOME >> " +
                                   seen + " (au plus 3 minute(s))"),
            std::string::npos);

  // The same commands written in the station's file on the store are not
  // commands: nothing there is run.
  std::string station = ReadFile(Station() + "/PC.ini");
  station.insert(station.find("[DIRECTORIES]"), "COMMANDE_AVANT=touch " + (tmp / "owned") + "\r\n");
  WriteFile(Station() + "/PC.ini", station);

  const CliOutput backup = Cli("backup");
  ASSERT_EQ(backup.code, 0) << backup.out;
  EXPECT_EQ(ReadFile(seen), "x=1; #not a comment\ncompleted\n");
  EXPECT_FALSE(std::filesystem::exists(tmp / "owned"));

  // An after-command that fails: the day is saved, the code says the command.
  ASSERT_EQ(Cli("config after-command false").code, 0);
  const CliOutput after = Cli("backup");
  EXPECT_EQ(after.code, 9) << after.out;
  EXPECT_NE(after.out.find("ERREUR: la commande après la sauvegarde a échoué (code 1)."),
            std::string::npos)
      << after.out;

  // A before-command that fails: no run, code 1.
  ASSERT_EQ(Cli("config before-command " + Quoted("exit 3")).code, 0);
  WriteFile(src + "/b.txt", "beta");
  const CliOutput cancelled = Cli("backup");
  EXPECT_EQ(cancelled.code, 1) << cancelled.out;
  EXPECT_EQ(cancelled.out.find("Début de la sauvegarde"), std::string::npos) << cancelled.out;

  // Refused: a limit out of range, a command on two lines. The file stays.
  const std::string ini = ReadFile(tmp / "prog/VARNOKET.INI");
  EXPECT_EQ(Cli("config before-limit 0").code, 1);
  EXPECT_EQ(Cli("config after-limit 1441").code, 1);
  EXPECT_EQ(Cli("config before-command " + Quoted("true\nrm -rf /")).code, 1);
  EXPECT_EQ(ReadFile(tmp / "prog/VARNOKET.INI"), ini);

  // "" removes a command.
  ASSERT_EQ(Cli("config before-command ''").code, 0);
  ASSERT_EQ(Cli("config after-command ''").code, 0);
  EXPECT_EQ(Cli("backup").code, 0);
  EXPECT_EQ(Cli("config").out.find("Commande"), std::string::npos);
}

}  // namespace
}  // namespace varnoket::test
