// Runs the command-line tool as a child process: to its end for the
// read-only commands, and for a backup under a faked date, stopped with
// SIGKILL after a given delay. The tool runs in a process group of its own,
// and the test adopts orphans (child subreaper), so that a kill stops the
// date wrapper and the tool together and both are gone before the store is
// looked at.
#pragma once

#include <string>
#include <vector>

namespace varnoket::crash {

struct RunResult {
  bool killed = false;  // stopped by the test's SIGKILL
  int exitCode = -1;    // when it ended by itself
  double milliseconds = 0;
  std::string output;  // stdout and stderr together
};

class CliRunner {
 public:
  CliRunner(std::string cli, std::string programFolder, std::string station,
            std::string outputFile);

  // Makes this process adopt the orphans of its children. False when the
  // system refuses.
  static bool AdoptOrphans();
  // True when the faketime package's library is installed.
  static bool HaveFaketime();
  static std::string FaketimeLibrary();

  // `varnoket-cli --program-folder P --station S <args>` to its end.
  RunResult Run(const std::vector<std::string>& args);
  // A backup at 14:00 on `isoDay` (yyyy-mm-dd) under faketime; killed after
  // `killAfterMs` milliseconds unless that is negative or the run ends first.
  RunResult Backup(const std::string& isoDay, double killAfterMs);

 private:
  RunResult Start(std::vector<std::string> argv, bool fakeDate, double killAfterMs);

  std::string cli_;
  std::string programFolder_;
  std::string station_;
  std::string outputFile_;
  std::string fakeTime_;  // FAKETIME for the next backup
};

}  // namespace varnoket::crash
