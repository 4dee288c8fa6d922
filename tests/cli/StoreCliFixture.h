// A program folder and a marked store with one station "PC" that backs up
// one source folder, for tests that run varnoket-cli over several days: each
// backup's day is given a folder name of the test's choosing, as if it had
// been made that day.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "cli/CliRunner.h"
#include "settings/StoreMarker.h"
#include "support/TempDir.h"

namespace varnoket::test {

class StoreCliFixture : public ::testing::Test {
 protected:
  explicit StoreCliFixture(int daysKept = 30) {
    WriteFile(tmp / "prog/VARNOKET.INI", "[PARAMS]\r\nRACINE=" + (tmp / "store") +
                                             "\r\nMAXSAVE=" + std::to_string(daysKept) + "\r\n");
    std::filesystem::create_directories(tmp / "store");
    MarkStore(DefaultFileSystem(), tmp / "store");
    WriteFile(tmp / "store/PC/PC.ini",
              "[PARAMS]\r\nLASTBACKUP=31/12/2002\r\n[DIRECTORIES]\r\nD1=" + src + "\r\n");
    prog = "--program-folder " + Quoted(tmp / "prog") + " --station PC ";
  }

  CliOutput Cli(const std::string& args, const std::string& cwd = "") {
    return RunTool(prog + args, cwd, true);
  }
  // Backs up now and moves the new day to `folder` (ddmmyyyy), so that the
  // next backup makes a later day.
  void BackUpAs(const std::string& folder) {
    const CliOutput r = Cli("backup");
    ASSERT_EQ(r.code, 0) << r.out;
    MoveNewDayTo(folder);
  }
  // Moves the day the last backup made to `folder` (ddmmyyyy) and records
  // that day as the last backup, as a run made that day would.
  void MoveNewDayTo(const std::string& folder) {
    for (const auto& e : std::filesystem::directory_iterator(Station())) {
      const std::string name = e.path().filename().string();
      if (name.size() == 8 && name.find_first_not_of("0123456789") == std::string::npos &&
          moved.count(name) == 0) {
        std::filesystem::rename(e.path(), Station() + "/" + folder);
        std::string settings = ReadFile(Station() + "/PC.ini");
        const size_t at = settings.find("LASTBACKUP=");
        ASSERT_NE(at, std::string::npos) << settings;
        settings.replace(at + 11, 10,
                         folder.substr(0, 2) + "/" + folder.substr(2, 2) + "/" + folder.substr(4));
        WriteFile(Station() + "/PC.ini", settings);
        moved.insert(folder);
        return;
      }
    }
    FAIL() << "no new day after the backup";
  }
  std::string Station() const { return tmp / "store/PC"; }
  std::string Day(const std::string& folder) const { return Station() + "/" + folder; }
  std::string Stored(const std::string& folder, const std::string& path) const {
    return Day(folder) + "/_" + path + ".ZZ";
  }

  TempDir tmp;
  std::string src = tmp / "src";
  std::string prog;
  std::set<std::string> moved;  // the day folders made so far, under their new names
};

}  // namespace varnoket::test
