// Two `varnoket-cli backup` started together on one station, day after day:
// one runs, the other says who holds the station and leaves, and every day
// restores what the source held.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>

#include "settings/StoreMarker.h"
#include "support/Faketime.h"
#include "support/TempDir.h"

namespace varnoket::test {
namespace {

namespace fsys = std::filesystem;

struct Started {
  FILE* pipe = nullptr;
  std::string out;
  int code = -1;
};

Started Start(const std::string& command) {
  Started s;
  s.pipe = ::popen((command + " 2>&1").c_str(), "r");
  return s;
}

void Finish(Started& s) {
  if (s.pipe == nullptr) return;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, s.pipe)) > 0) s.out.append(buffer, n);
  const int status = ::pclose(s.pipe);
  s.pipe = nullptr;
  s.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::map<std::string, std::string> FilesBelow(const std::string& folder,
                                              const std::string& stripPrefix) {
  std::map<std::string, std::string> files;
  if (!fsys::exists(folder)) return files;
  for (const auto& e : fsys::recursive_directory_iterator(folder)) {
    if (e.is_regular_file()) {
      files[e.path().string().substr(stripPrefix.size())] = ReadFile(e.path().string());
    }
  }
  return files;
}

TEST(ConcurrentBackup, TwoRunsStartedTogetherOneRunsTheOtherSaysWhyAndEveryDayRestores) {
  const std::string faketime = FaketimeLibrary();
  if (faketime.empty()) GTEST_SKIP() << "the faketime package is needed to move through days";
  TempDir tmp;
  WriteFile(tmp / "prog/VARNOKET.INI",
            "[PARAMS]\r\nRACINE=" + (tmp / "store") + "\r\nHEURE=0\r\nMINUTE=0\r\nMAXSAVE=30\r\n");
  WriteFile(tmp / "store/PC/PC.ini",
            "[PARAMS]\r\nLASTBACKUP=31/12/2002\r\n[DIRECTORIES]\r\nD1=" + (tmp / "src") + "\r\n");
  MarkStore(DefaultFileSystem(), tmp / "store");
  const std::string cli =
      std::string(VARNOKET_CLI_PATH) + " --program-folder " + (tmp / "prog") + " --station PC ";

  std::map<std::string, std::map<std::string, std::string>> held;  // day -> source files
  std::mt19937 gen(7);
  for (int day = 2; day <= 4; ++day) {
    // Long enough to compress that the two runs overlap.
    std::string big(6 << 20, '\0');
    for (auto& c : big) c = static_cast<char>(gen());
    WriteFile(tmp / "src/big.bin", big);
    WriteFile(tmp / "src/note.txt", "day " + std::to_string(day));
    const std::string date = "2026-03-0" + std::to_string(day);
    held["0" + std::to_string(day) + "/03/2026"] = FilesBelow(tmp / "src", "");

    const std::string faked =
        "NO_FAKE_STAT=1 FAKETIME='@" + date + " 14:00:00' LD_PRELOAD=" + faketime + " ";
    Started first = Start(faked + cli + "backup");
    Started second = Start(faked + cli + "backup");
    Finish(first);
    Finish(second);
    const Started& ran = first.code == 0 ? first : second;
    const Started& refused = first.code == 0 ? second : first;
    ASSERT_EQ(ran.code, 0) << first.out << second.out;
    ASSERT_EQ(refused.code, 3) << refused.out;
    EXPECT_NE(ran.out.find("Sauvegarde terminée"), std::string::npos) << ran.out;
    EXPECT_NE(refused.out.find("Une sauvegarde de ce poste est déjà en cours (machine "),
              std::string::npos)
        << refused.out;
    EXPECT_EQ(refused.out.find("Préparation"), std::string::npos) << refused.out;
  }

  Started days = Start(cli + "days");
  Finish(days);
  ASSERT_EQ(days.out, "02/03/2026\n03/03/2026\n04/03/2026\n");
  for (const auto& [day, files] : held) {
    const std::string out = tmp / ("out-" + day.substr(0, 2));
    Started restore = Start(cli + "restore " + day + " --to " + out);
    Finish(restore);
    ASSERT_EQ(restore.code, 0) << restore.out;
    EXPECT_EQ(FilesBelow(out, out), files) << day;
  }
}

TEST(ConcurrentBackup, AnotherMachinesStationIsNeverWrittenButStaysReadable) {
  TempDir tmp;
  WriteFile(tmp / "prog/VARNOKET.INI",
            "[PARAMS]\r\nRACINE=" + (tmp / "store") + "\r\nHEURE=0\r\nMINUTE=0\r\nMAXSAVE=30\r\n");
  const std::string settings =
      "[PARAMS]\r\nLASTBACKUP=31/12/2002\r\n[DIRECTORIES]\r\nD1=" + (tmp / "src") + "\r\n";
  WriteFile(tmp / "store/PC/PC.ini", settings);
  MarkStore(DefaultFileSystem(), tmp / "store");
  WriteFile(tmp / "src/a.txt", "alpha");
  const std::string cli =
      std::string(VARNOKET_CLI_PATH) + " --program-folder " + (tmp / "prog") + " --station PC ";
  Started first = Start(cli + "backup");
  Finish(first);
  ASSERT_EQ(first.code, 0) << first.out;
  Started days = Start(cli + "days");
  Finish(days);

  // The station was made by another machine that had the same name.
  const std::string marker = "machine=0123456789abcdef0123456789abcdef\r\nhost=ancien\r\n";
  WriteFile(tmp / "store/PC/MACHINE.ID", marker);
  const std::string settingsNow = ReadFile(tmp / "store/PC/PC.ini");
  WriteFile(tmp / "src/a.txt", "changed");
  Started refused = Start(cli + "backup");
  Finish(refused);
  EXPECT_EQ(refused.code, 4) << refused.out;
  EXPECT_NE(refused.out.find("appartient à une autre machine (ancien, identifiant "),
            std::string::npos)
      << refused.out;
  EXPECT_EQ(ReadFile(tmp / "store/PC/MACHINE.ID"), marker);
  EXPECT_EQ(ReadFile(tmp / "store/PC/PC.ini"), settingsNow);

  // Restores stay open to every machine.
  Started restore = Start(cli + "restore " + days.out.substr(0, 10) + " --to " + (tmp / "out"));
  Finish(restore);
  EXPECT_EQ(restore.code, 0) << restore.out;
  EXPECT_EQ(ReadFile(tmp / ("out" + (tmp / "src/a.txt"))), "alpha");
}

}  // namespace
}  // namespace varnoket::test
