// --help and --version, on the tool and after each command: they answer and
// do nothing else.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRunner.h"
#include "cli/CommandHelp.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

TEST(HelpCli, EveryCommandAnswersHelpAndVersionWithoutRunning) {
  TempDir tmp;
  fsys::create_directories(tmp / "prog");
  const std::string prog = "--program-folder " + Quoted(tmp / "prog") + " ";
  const CliOutput all = RunTool("--help");
  ASSERT_EQ(all.code, 0);
  EXPECT_EQ(all.out, UsageText());
  const std::string version = "varnoket-cli " VARNOKET_VERSION "\n";
  EXPECT_EQ(RunTool("--version").out, version);

  const char* commands[] = {"config",   "add",    "remove", "exclude", "include",
                            "status",   "backup", "days",   "restore", "verify",
                            "versions", "find",   "changes"};
  for (const std::string command : commands) {
    const std::string line =
        "usage : varnoket-cli [--program-folder DIR] [--station NAME] " + command;
    // The whole usage names every command.
    EXPECT_NE(all.out.find(line.substr(8)), std::string::npos) << command;
    for (const std::string ask : {" --help", " -h", " x --help"}) {
      const CliOutput help = RunTool(prog + command + ask);
      EXPECT_EQ(help.code, 0) << command << ask;
      EXPECT_EQ(help.out.rfind(line, 0), 0u) << help.out;
      EXPECT_EQ(help.out, CommandUsage(command));
      EXPECT_EQ(help.err, "");
    }
    const CliOutput v = RunTool(prog + command + " --version");
    EXPECT_EQ(v.code, 0);
    EXPECT_EQ(v.out, version) << command;
  }
  // Nothing ran: not even the settings file was made.
  EXPECT_FALSE(fsys::exists(tmp / "prog/VARNOKET.INI"));

  const CliOutput unknown = RunTool(prog + "frobnicate --help");
  EXPECT_EQ(unknown.code, 2);
  EXPECT_NE(unknown.err.find("commande inconnue frobnicate"), std::string::npos);
  // A wrong command line shows that command's usage only.
  const CliOutput wrong = RunTool(prog + "add");
  EXPECT_EQ(wrong.code, 2);
  EXPECT_EQ(wrong.err, CommandUsage("add"));
}

}  // namespace
}  // namespace varnoket::test
