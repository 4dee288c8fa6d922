#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

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
  ini.ReplaceSection("params", {});
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
  EXPECT_THROW(ini.ReplaceSection("PARAMS", {}), IniError);
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

// The copies kept aside for `path`, by name.
std::vector<std::string> KeptCopies(const std::string& path) {
  std::vector<std::string> copies;
  const std::filesystem::path file(path);
  for (const auto& e : std::filesystem::directory_iterator(file.parent_path())) {
    const std::string name = e.path().filename().string();
    if (name.rfind(file.filename().string() + ".unreadable-", 0) == 0) {
      copies.push_back(e.path().string());
    }
  }
  std::sort(copies.begin(), copies.end());
  return copies;
}

TEST(IniFileTest, AWriteKeepsWhatAnotherWriterAddedSinceTheLoad) {
  TempDir dir;
  PosixFileSystem fs;
  const std::string path = dir / "s.ini";
  WriteFile(path, "[PARAMS]\r\nLASTBACKUP=01/01/2003\r\n");
  IniFile program(fs, path);
  IniFile other(fs, path);  // stands for the command-line program
  other.WriteString("PARAMS", "RESTORE_DIR", "/r");
  WriteFile(path, ReadFile(path) + "[HAND]\r\nNOTE=by hand\r\n");

  program.WriteString("PARAMS", "LASTBACKUP", "02/02/2004");
  EXPECT_EQ(ReadFile(path),
            "[PARAMS]\r\nLASTBACKUP=02/02/2004\r\nRESTORE_DIR=/r\r\n[HAND]\r\nNOTE=by hand\r\n");
  // What the write read is what the object now answers.
  EXPECT_EQ(program.ReadString("HAND", "NOTE"), std::optional<std::string>("by hand"));

  // The other writer's stale copy does not undo the date either.
  other.ReplaceSection("DIRECTORIES", {{"D1", "/home"}});
  other.ReplaceSection("HAND", {});
  EXPECT_EQ(ReadFile(path),
            "[PARAMS]\r\nLASTBACKUP=02/02/2004\r\nRESTORE_DIR=/r\r\n[DIRECTORIES]\r\nD1=/home\r\n");
}

TEST(IniFileTest, TwoProcessesWritingTheirOwnKeysLoseNone) {
  TempDir dir;
  const std::string path = dir / "shared.ini";
  WriteFile(path, "[PARAMS]\r\nKEEP=me\r\n");
  constexpr int kWrites = 200;
  std::vector<pid_t> children;
  for (const char* key : {"FIRST", "SECOND"}) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      int code = 0;
      try {
        PosixFileSystem fs;
        IniFile ini(fs, path);
        // A key of its own per write: a write that undid another one would
        // lose a key for good.
        for (int i = 0; i < kWrites; ++i) {
          ini.WriteString("PARAMS", key + std::to_string(i), std::to_string(i));
        }
      } catch (...) {
        code = 1;
      }
      _exit(code);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  PosixFileSystem fs;
  const IniFile ini(fs, path);
  EXPECT_EQ(ini.ReadString("PARAMS", "KEEP"), std::optional<std::string>("me"));
  int lost = 0;
  for (const std::string key : {"FIRST", "SECOND"}) {
    for (int i = 0; i < kWrites; ++i) {
      lost += ini.ReadString("PARAMS", key + std::to_string(i)) != std::to_string(i);
    }
  }
  EXPECT_EQ(lost, 0);
  EXPECT_EQ(ini.lines().size(), 2u + 2 * kWrites);
}

TEST(IniFileTest, AFileThatIsNoTextIsKeptAsideAndNeverOverwritten) {
  TempDir dir;
  PosixFileSystem fs;
  const std::string path = dir / "s.ini";
  const std::string zeroed(4096, '\0');  // what a crash can leave
  WriteFile(path, zeroed);
  IniFile ini(fs, path);
  EXPECT_TRUE(ini.lines().empty());
  const auto copies = KeptCopies(path);
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(ini.keptAsideAs(), copies[0]);
  EXPECT_EQ(ReadFile(copies[0]), zeroed);
  EXPECT_FALSE(std::filesystem::exists(path));
  ini.WriteString("PARAMS", "LASTBACKUP", "31/12/2002");
  EXPECT_EQ(ReadFile(path), "[PARAMS]\r\nLASTBACKUP=31/12/2002\r\n");

  // Garbage again, found by a write this time: kept aside under a new name
  // (the first copy is untouched) and the write starts from what was loaded.
  const std::string binary("[PARAMS]\r\n\x01\x02\x1b\xff", 14);
  WriteFile(path, binary);
  ini.WriteString("PARAMS", "EXCLUSIONS", "*.tmp");
  const auto after = KeptCopies(path);
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(ReadFile(copies[0]), zeroed);
  EXPECT_NE(ini.keptAsideAs(), copies[0]);
  EXPECT_EQ(ReadFile(ini.keptAsideAs()), binary);
  EXPECT_EQ(ReadFile(path), "[PARAMS]\r\nLASTBACKUP=31/12/2002\r\nEXCLUSIONS=*.tmp\r\n");
}

TEST(IniFileTest, AnEmptyFileHasNoKeysAndStaysWhereItIs) {
  TempDir dir;
  PosixFileSystem fs;
  WriteFile(dir / "e.ini", "");
  IniFile ini(fs, dir / "e.ini");
  EXPECT_TRUE(ini.Reload());
  EXPECT_TRUE(ini.lines().empty());
  EXPECT_EQ(ini.keptAsideAs(), "");
  EXPECT_TRUE(KeptCopies(dir / "e.ini").empty());
  EXPECT_EQ(ini.ReadString("PARAMS", "RACINE"), std::nullopt);
}

TEST(IniFileTest, TextInAnyOneByteCharacterSetIsSettingsText) {
  EXPECT_TRUE(IsSettingsText(""));
  EXPECT_TRUE(IsSettingsText("[PARAMS]\r\nD1=/home/r\xe9sum\xe9\tx\f\v\r\n\x1a"));
  EXPECT_TRUE(IsSettingsText("D1=/home/r\xc3\xa9sum\xc3\xa9\n"));
  EXPECT_FALSE(IsSettingsText(std::string("D1=/x\0", 6)));
  EXPECT_FALSE(IsSettingsText("D1=/x\x01"));
  EXPECT_FALSE(IsSettingsText("\x1b[0m"));
}

TEST(IniFileTest, AWriteThatCannotLockOrReadChangesNothing) {
  TempDir dir;
  FaultyFileSystem fs;
  const std::string original = "[PARAMS]\r\nRACINE=/old\r\n";
  WriteFile(dir / "p.ini", original);
  IniFile ini(fs, dir / "p.ini");

  // The file is there but cannot be read now: writing would lose its keys.
  fs.failReads = EIO;
  EXPECT_THROW(ini.WriteString("PARAMS", "RACINE", "/new"), IniError);
  fs.failReads = 0;
  EXPECT_EQ(ReadFile(dir / "p.ini"), original);

  // The lock's place is taken by a folder: no lock, no write.
  std::filesystem::remove(dir / "p.ini.lock");
  std::filesystem::create_directory(dir / "p.ini.lock");
  try {
    ini.WriteString("PARAMS", "RACINE", "/new");
    FAIL() << "the write did not throw";
  } catch (const IniError& e) {
    EXPECT_NE(std::string(e.what()).find("verrouiller"), std::string::npos) << e.what();
  }
  EXPECT_EQ(ReadFile(dir / "p.ini"), original);
  EXPECT_EQ(fs.writeCount, 0);
}

}  // namespace
}  // namespace varnoket
