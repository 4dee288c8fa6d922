// `varnoket-cli config`: the program settings shown and set from a shell,
// with the configuration window's checks; a refused value changes nothing.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRunner.h"
#include "platform/MessageText.h"
#include "settings/ConfigurationRules.h"
#include "settings/NumberField.h"
#include "settings/StoreMarker.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

// The id the store's marker holds, which the settings must record.
std::string StoreId(const std::string& root) {
  const auto marker = ParseStoreMarker(ReadFile(root + "/" + kStoreMarkerName));
  return marker ? marker->id : "(no marker)";
}

class ConfigCliTest : public ::testing::Test {
 protected:
  ConfigCliTest() : prog("--program-folder " + Quoted(tmp / "prog") + " --station PC ") {
    fsys::create_directories(tmp / "prog");
  }
  std::string Ini() const { return ReadFile(tmp / "prog/VARNOKET.INI"); }

  TempDir tmp;
  std::string prog;
};

TEST_F(ConfigCliTest, AFreshProgramFolderIsConfiguredValueByValue) {
  const CliOutput fresh = RunTool(prog + "config");
  ASSERT_EQ(fresh.code, 0) << fresh.err;
  EXPECT_EQ(fresh.out,
            "Dossier des sauvegardes : (non configuré)\n"
            "Heure de la sauvegarde quotidienne : 13:00\n"
            "Journées successives mémorisées : 30\n");
  EXPECT_EQ(Ini(), "[PARAMS]\r\nRACINE=\r\nHEURE=13\r\nMINUTE=0\r\nMAXSAVE=30\r\n");

  // A relative folder is taken from the working folder, as a picker would
  // give it: absolute and without its trailing separator.
  fsys::create_directories(tmp / "disk/store");
  const CliOutput store = RunTool(prog + "config store store/", tmp / "disk");
  ASSERT_EQ(store.code, 0) << store.err;
  EXPECT_NE(Ini().find("RACINE=" + (tmp / "disk/store") + "\r\n"), std::string::npos) << Ini();
  EXPECT_TRUE(fsys::exists(tmp / "disk/store/PC/PC.ini"));
  EXPECT_NE(store.out.find("Dossier des sauvegardes : " + (tmp / "disk/store") + "\n"),
            std::string::npos);

  ASSERT_EQ(RunTool(prog + "config time 7:05").code, 0);
  // A time without minutes is on the hour, as an empty minute field.
  EXPECT_NE(RunTool(prog + "config time 21").out.find("quotidienne : 21:00\n"), std::string::npos);
  ASSERT_EQ(RunTool(prog + "config time 07:30").code, 0);
  EXPECT_NE(RunTool(prog + "config days 45").out.find("mémorisées : 45\n"), std::string::npos);
  // The window keeps a typed 1 in the file and uses 2.
  EXPECT_NE(RunTool(prog + "config days 1").out.find("mémorisées : 2\n"), std::string::npos);
  EXPECT_EQ(Ini(), "[PARAMS]\r\nRACINE=" + (tmp / "disk/store") +
                       "\r\nHEURE=07\r\nMINUTE=30\r\nMAXSAVE=1\r\nSTOREID=" +
                       StoreId(tmp / "disk/store") + "\r\n");
  EXPECT_EQ(RunTool(prog + "config").out, "Dossier des sauvegardes : " + (tmp / "disk/store") +
                                              "\n"
                                              "Heure de la sauvegarde quotidienne : 07:30\n"
                                              "Journées successives mémorisées : 2\n");
}

TEST_F(ConfigCliTest, ARefusedValueSaysTheWindowsTextAndLeavesTheFileByteForByte) {
  fsys::create_directories(tmp / "store");
  fsys::create_directories(tmp / "data/inner");
  // A file written by hand: its spacing, an extra key and a days count above
  // what a person may type must all survive a refusal.
  const std::string ini = "[PARAMS]\r\nRACINE=" + (tmp / "store") +
                          "\r\nHEURE = 9\r\nMINUTE=15\r\nMAXSAVE=500\r\nALERTE=4\r\n";
  WriteFile(tmp / "prog/VARNOKET.INI", ini);
  WriteFile(tmp / "store/PC/PC.ini",
            "[PARAMS]\r\nLASTBACKUP=31/12/2002\r\n[DIRECTORIES]\r\nD1=" + (tmp / "data") + "\r\n");
  const std::string station = ReadFile(tmp / "store/PC/PC.ini");

  const std::string missing = tmp / "nowhere";
  const std::pair<std::string, std::string> refusals[] = {
      {"time 25:00", kHourRule.message},
      {"time 12:60", kMinuteRule.message},
      {"time x:10", kHourRule.message},
      {"time ''", kEnterHour},
      {"days 0", kDaysKeptRule.message},
      {"days trente", kDaysKeptRule.message},
      {"days 121", kDaysKeptRule.message},
      {"days ''", kEnterDays},
      {"store " + Quoted(missing), FillText(kRootNotAccessible, {missing})},
  };
  for (const auto& [args, text] : refusals) {
    const CliOutput r = RunTool(prog + "config " + args);
    EXPECT_EQ(r.code, 1) << args;
    EXPECT_EQ(r.err, text + "\n") << args;
    EXPECT_EQ(r.out, "") << args;
    EXPECT_EQ(Ini(), ini) << args;
  }

  // A store inside a folder the station backs up would back itself up.
  const CliOutput inside = RunTool(prog + "config store " + Quoted(tmp / "data/inner"));
  EXPECT_EQ(inside.code, 1);
  EXPECT_NE(inside.err.find("(" + (tmp / "data") + ")"), std::string::npos) << inside.err;
  EXPECT_EQ(Ini(), ini);
  EXPECT_EQ(ReadFile(tmp / "store/PC/PC.ini"), station);
  EXPECT_FALSE(fsys::exists(tmp / "data/inner/PC"));

  // So would one whose own set, from an earlier use, holds it.
  fsys::create_directories(tmp / "other");
  WriteFile(tmp / "other/PC/PC.ini", "[DIRECTORIES]\r\nD1=" + (tmp / "other") + "\r\n");
  EXPECT_EQ(RunTool(prog + "config store " + Quoted(tmp / "other")).code, 1);
  EXPECT_EQ(Ini(), ini);

  EXPECT_EQ(RunTool(prog + "config time").code, 2);
  EXPECT_EQ(RunTool(prog + "config colour blue").code, 2);
  EXPECT_EQ(Ini(), ini);
}

TEST_F(ConfigCliTest, AnotherStoreKeepsTheTimeAndTheDays) {
  fsys::create_directories(tmp / "old");
  fsys::create_directories(tmp / "new");
  WriteFile(tmp / "prog/VARNOKET.INI",
            "[PARAMS]\r\nRACINE=" + (tmp / "old") + "\r\nHEURE=6\r\nMINUTE=45\r\nMAXSAVE=500\r\n");
  const CliOutput r = RunTool(prog + "config store " + Quoted(tmp / "new"));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Ini(), "[PARAMS]\r\nRACINE=" + (tmp / "new") +
                       "\r\nHEURE=6\r\nMINUTE=45\r\nMAXSAVE=500\r\nSTOREID=" +
                       StoreId(tmp / "new") + "\r\n");
  // The write test leaves nothing behind.
  EXPECT_FALSE(fsys::exists(tmp / ("new/" + std::string(kWriteTestName))));
}

}  // namespace
}  // namespace varnoket::test
