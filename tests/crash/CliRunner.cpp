#include "crash/CliRunner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/Faketime.h"

namespace varnoket::crash {

CliRunner::CliRunner(std::string cli, std::string programFolder, std::string station,
                     std::string outputFile)
    : cli_(std::move(cli)),
      programFolder_(std::move(programFolder)),
      station_(std::move(station)),
      outputFile_(std::move(outputFile)) {}

bool CliRunner::AdoptOrphans() {
  return ::prctl(PR_SET_CHILD_SUBREAPER, 1) == 0;
}

// Preloaded straight into the tool, without the package's wrapper (see
// support/Faketime.h).
std::string CliRunner::FaketimeLibrary() {
  return test::FaketimeLibrary();
}

bool CliRunner::HaveFaketime() {
  return !FaketimeLibrary().empty();
}

RunResult CliRunner::Run(const std::vector<std::string>& args) {
  std::vector<std::string> argv{cli_, "--program-folder", programFolder_, "--station", station_};
  argv.insert(argv.end(), args.begin(), args.end());
  return Start(std::move(argv), false, -1);
}

RunResult CliRunner::Backup(const std::string& isoDay, double killAfterMs) {
  fakeTime_ = "@" + isoDay + " 14:00:00";
  return Start({cli_, "--program-folder", programFolder_, "--station", station_, "backup"}, true,
               killAfterMs);
}

RunResult CliRunner::Start(std::vector<std::string> argv, bool fakeDate, double killAfterMs) {
  std::vector<char*> cargv;
  for (auto& a : argv) cargv.push_back(a.data());
  cargv.push_back(nullptr);
  const std::string output = outputFile_;
  const std::string fakeTime = fakeTime_;
  const std::string library = fakeDate ? FaketimeLibrary() : std::string();

  RunResult result;
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid < 0) {
    result.output = "fork failed";
    return result;
  }
  if (pid == 0) {
    ::setpgid(0, 0);
    const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
      ::dup2(fd, 1);
      ::dup2(fd, 2);
    }
    // The stored files' dates are read as they are; only the clock is faked.
    if (fakeDate) {
      ::setenv("NO_FAKE_STAT", "1", 1);
      ::setenv("FAKETIME", fakeTime.c_str(), 1);
      ::setenv("LD_PRELOAD", library.c_str(), 1);
    }
    ::execvp(cargv[0], cargv.data());
    ::_exit(127);
  }
  ::setpgid(pid, pid);  // also in the parent, so that the kill below never misses the group

  int status = 0;
  for (;;) {
    const pid_t done = ::waitpid(pid, &status, killAfterMs < 0 ? 0 : WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) break;
    const double elapsed =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (killAfterMs >= 0 && elapsed >= killAfterMs) {
      ::kill(-pid, SIGKILL);
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      // A run that ended just before the signal counts as ended by itself.
      result.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
      break;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  // The date wrapper's child, adopted once the wrapper died: wait until every
  // process of the group is gone, so nothing writes to the store any more.
  while (::waitpid(-pid, nullptr, 0) > 0 || errno == EINTR) {
  }
  result.milliseconds =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (!result.killed && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (!result.killed && WIFSIGNALED(status)) result.exitCode = 128 + WTERMSIG(status);

  std::ifstream in(output, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  result.output = text.str();
  return result;
}

}  // namespace varnoket::crash
