#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/IniFile.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using test::FaultyFileSystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(IniFileTest, ReadsSectionsAndKeysWithoutRegardToCase) {
  TempDir dir;
  PosixFileSystem fs;
  WriteFile(dir / "a.ini",
            "top=ignored\n"
            "  [ Params ]  \r\n"
            "; a comment\r\n"
            "  Racine = /data/x \r\n"
            "racine=second\r\n"
            "Heure= 7 \r\n"
            "Minute=12abc\n"
            "MaxSave=-3\r\n"
            "no equals here\r\n"
            "[OTHER]\r\n"
            "HEURE=99");
  const IniFile ini(fs, dir / "a.ini");
  // The first line of a key wins; the value is kept as written.
  EXPECT_EQ(ini.ReadString("PARAMS", "RACINE"), std::optional<std::string>(" /data/x "));
  EXPECT_EQ(ini.ReadString("params", "top"), std::nullopt);
  EXPECT_EQ(ini.ReadInteger("PARAMS", "HEURE", 13), 7);
  EXPECT_EQ(ini.ReadInteger("PARAMS", "MINUTE", 5), 5);
  EXPECT_EQ(ini.ReadInteger("PARAMS", "MAXSAVE", 30), -3);
  EXPECT_EQ(ini.ReadInteger("PARAMS", "ABSENT", 42), 42);
  EXPECT_EQ(ini.ReadInteger("other", "heure", 0), 99);
  EXPECT_TRUE(ini.HasSection("other"));
  EXPECT_FALSE(ini.HasSection("DIRECTORIES"));
  EXPECT_EQ(ini.SectionLines("PARAMS"),
            (std::vector<std::string>{"Racine= /data/x ", "racine=second", "Heure= 7 ",
                                      "Minute=12abc", "MaxSave=-3"}));
}

TEST(IniFileTest, WritesKeepForeignLinesAndSurviveAReload) {
  TempDir dir;
  PosixFileSystem fs;
  WriteFile(dir / "s.ini",
            "; made by hand\n"
            "[PARAMS]\n"
            "lastbackup=01/01/2003\n"
            "junk line\n"
            "\n"
            "[DIRECTORIES]\n"
            "D1=/home\n");
  IniFile ini(fs, dir / "s.ini");
  ini.WriteString("Params", "LASTBACKUP", "05/03/2004");
  ini.WriteString("PARAMS", "EXCLUSIONS", "*.mp3");
  ini.WriteString("RESTORE", "X", "1");
  EXPECT_EQ(ReadFile(dir / "s.ini"),
            "; made by hand\r\n"
            "[PARAMS]\r\n"
            "LASTBACKUP=05/03/2004\r\n"
            "junk line\r\n"
            "EXCLUSIONS=*.mp3\r\n"
            "\r\n"
            "[DIRECTORIES]\r\n"
            "D1=/home\r\n"
            "[RESTORE]\r\n"
            "X=1\r\n");
  IniFile again(fs, dir / "s.ini");
  EXPECT_EQ(again.lines(), ini.lines());
  EXPECT_EQ(again.ReadString("params", "lastbackup"), std::optional<std::string>("05/03/2004"));
}

TEST(IniFileTest, ErasingAndReplacingSections) {
  TempDir dir;
  PosixFileSystem fs;
  WriteFile(dir / "s.ini", "[DIRECTORIES]\r\nA=/x\r\n[PARAMS]\r\nK=v\r\n[directories]\r\nB=/y\r\n");
  IniFile ini(fs, dir / "s.ini");
  ini.ReplaceSection("DIRECTORIES", {{"D1", "/x"}, {"D2", "/y"}});
  EXPECT_EQ(ReadFile(dir / "s.ini"), "[PARAMS]\r\nK=v\r\n[DIRECTORIES]\r\nD1=/x\r\nD2=/y\r\n");
  ini.ReplaceSection("DIRECTORIES", {});
  EXPECT_EQ(ReadFile(dir / "s.ini"), "[PARAMS]\r\nK=v\r\n");
  ini.EraseSection("params");
  EXPECT_EQ(ReadFile(dir / "s.ini"), "");
  EXPECT_TRUE(ini.lines().empty());
}

TEST(IniFileTest, AFailedWriteThrowsAndChangesNothing) {
  TempDir dir;
  FaultyFileSystem fs;
  const std::string original = "[PARAMS]\r\nRACINE=/old\r\n";
  WriteFile(dir / "p.ini", original);
  IniFile ini(fs, dir / "p.ini");
  const auto before = ini.lines();
  fs.failWrites = ENOSPC;
  try {
    ini.WriteString("PARAMS", "RACINE", "/new");
    FAIL() << "the write did not throw";
  } catch (const IniError& e) {
    EXPECT_NE(std::string(e.what()).find("No space left on device"), std::string::npos) << e.what();
  }
  EXPECT_THROW(ini.EraseSection("PARAMS"), IniError);
  EXPECT_EQ(ini.lines(), before);
  EXPECT_EQ(ini.ReadString("PARAMS", "RACINE"), std::optional<std::string>("/old"));
  EXPECT_EQ(ReadFile(dir / "p.ini"), original);
}

TEST(IniFileTest, AWriteIntoAReadOnlyFolderThrows) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  TempDir dir;
  PosixFileSystem fs;
  const std::string original = "[PARAMS]\r\nRACINE=/old\r\n";
  WriteFile(dir / "ro/p.ini", original);
  IniFile ini(fs, dir / "ro/p.ini");
  ASSERT_EQ(::chmod((dir / "ro").c_str(), 0555), 0);
  EXPECT_THROW(ini.WriteString("PARAMS", "RACINE", "/new"), IniError);
  EXPECT_EQ(ReadFile(dir / "ro/p.ini"), original);
  EXPECT_EQ(ini.ReadString("PARAMS", "RACINE"), std::optional<std::string>("/old"));
}

TEST(IniFileTest, AMissingFileReadsAsEmptyAndIsCreatedByAWrite) {
  TempDir dir;
  PosixFileSystem fs;
  IniFile ini(fs, dir / "new.ini");
  EXPECT_FALSE(ini.Reload());
  EXPECT_TRUE(ini.lines().empty());
  EXPECT_EQ(ini.ReadString("PARAMS", "LASTBACKUP"), std::nullopt);
  ini.WriteString("PARAMS", "LASTBACKUP", "31/12/2002");
  EXPECT_EQ(ReadFile(dir / "new.ini"), "[PARAMS]\r\nLASTBACKUP=31/12/2002\r\n");
  EXPECT_TRUE(ini.Reload());
}

}  // namespace
}  // namespace varnoket
