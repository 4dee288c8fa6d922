// The built program itself, started as a person or the update logic starts
// it: a second start while the machine's instance marker is held ends
// quietly; a downloaded update that finds the old program still running
// says so and replaces nothing; without a display the program says what to
// use instead.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/InstanceLock.h"
#include "support/TempDir.h"

namespace varnoket::test {
namespace {

struct Result {
  int exitCode = -1;
  std::string output;  // stdout and stderr together
};

// Runs `program` with no display and waits for it (up to a minute).
Result RunProgram(const std::string& program) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(pipeFds[1], 1);
    ::dup2(pipeFds[1], 2);
    ::close(pipeFds[0]);
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    ::unsetenv("QT_QPA_PLATFORM");
    ::alarm(60);
    ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  Result result;
  char buffer[512];
  ssize_t n;
  while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) {
    result.output.append(buffer, static_cast<size_t>(n));
  }
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string CopyProgram(const std::string& to) {
  std::filesystem::create_directories(std::filesystem::path(to).parent_path());
  std::filesystem::copy_file(VARNOKET_PROGRAM, to);
  return to;
}

TEST(ProgramEntry, SecondStartsStaleUpdatesAndMissingDisplays) {
  TempDir dir;
  const std::string installed = CopyProgram(dir / "prog/varnoket");
  const auto before = std::filesystem::file_size(installed);
  InstanceLock lock;
  if (!lock.TryAcquire()) GTEST_SKIP() << "a copy of the program runs on this machine";

  // Free marker, no display: the program says what to use instead.
  lock.Release();
  const Result headless = RunProgram(installed);
  EXPECT_EQ(headless.exitCode, 2);
  EXPECT_NE(headless.output.find("varnoket-cli"), std::string::npos) << headless.output;

  // Marker held: a second start ends without a word after its probes.
  ASSERT_TRUE(lock.TryAcquire());
  const Result second = RunProgram(installed);
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_EQ(second.output, "");

  // A downloaded update that finds the old program still running.
  const std::string update = CopyProgram(dir / "prog/upload/_FILE1.exe");
  const Result stale = RunProgram(update);
  EXPECT_EQ(stale.exitCode, 0);
  EXPECT_NE(stale.output.find("Impossible d'effectuer la mise à jour l'ancien programme sur ce "
                              "poste ne s'est pas arrêté correctement !"),
            std::string::npos)
      << stale.output;
  EXPECT_FALSE(std::filesystem::exists(dir / "prog/__newver.$$$"));
  EXPECT_EQ(std::filesystem::file_size(installed), before);
}

}  // namespace
}  // namespace varnoket::test
