// Commands run through the shell for a person: their code, their output line
// by line within bounds, their environment, and their end when they take too
// long or the program ends, what they started in the background included.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ShellCommand.h"
#include "support/TempDir.h"

namespace varnoket::test {
namespace {

struct Ran {
  ShellCommandResult result;
  std::vector<std::string> lines;
};

Ran Shell(const std::string& command, const ShellCommandLimits& limits = {},
          const ShellEnvironment& env = {}, const std::function<bool()>& stop = {}) {
  Ran ran;
  ran.result = RunShellCommand(
      command, env, limits, [&](const std::string& line) { ran.lines.push_back(line); }, stop);
  return ran;
}

// Whether the process whose id a command wrote to `pidFile` is gone (a zombie
// nobody reaped counts as gone), given up to 5 s for a kill to land.
bool Gone(const std::string& pidFile) {
  std::ifstream in(pidFile);
  int pid = 0;
  if (!(in >> pid) || pid <= 0) {
    ADD_FAILURE() << "the command wrote no process id to " << pidFile;
    return false;
  }
  for (int i = 0; i < 100; ++i) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    std::getline(stat, text);
    const size_t close = text.rfind(')');
    if (close == std::string::npos || text.compare(close + 2, 1, "Z") == 0) return true;
    ::usleep(50000);
  }
  return false;
}

TEST(ShellCommandTest, CodesOutputAndEnvironmentComeBack) {
  Ran ok = Shell("echo one; echo two >&2; printf 'last without end\\r\\n'; printf tail", {},
                 {{"VARNOKET_OUTCOME", "completed"}});
  EXPECT_TRUE(ok.result.Succeeded());
  EXPECT_EQ(ok.lines, (std::vector<std::string>{"one", "two", "last without end", "tail"}));

  Ran env = Shell("echo \"$VARNOKET_OUTCOME:$PATH\"", {}, {{"VARNOKET_OUTCOME", "failed"}});
  ASSERT_EQ(env.lines.size(), 1u);
  EXPECT_EQ(env.lines[0], std::string("failed:") + std::getenv("PATH"));

  Ran failed = Shell("echo no; exit 3");
  EXPECT_EQ(failed.result.end, ShellCommandEnd::kExited);
  EXPECT_EQ(failed.result.exitCode, 3);
  EXPECT_FALSE(failed.result.Succeeded());

  TempDir tmp;
  const std::string script = tmp.path() + "/script.sh";
  std::ofstream(script) << "#!/bin/sh\necho ran\n";  // not made executable
  EXPECT_EQ(Shell(script).result.exitCode, 126);
  EXPECT_EQ(Shell(tmp.path() + "/missing").result.exitCode, 127);

  Ran killed = Shell("kill -9 $$");
  EXPECT_EQ(killed.result.end, ShellCommandEnd::kSignaled);
  EXPECT_EQ(killed.result.signal, SIGKILL);
}

// Megabytes of output are read to the end, so the command never blocks, but
// only the first lines, each cut, are handed on; the rest are counted.
TEST(ShellCommandTest, AFloodOfOutputIsBoundedAndCounted) {
  ShellCommandLimits limits;
  limits.lines = 5;
  limits.lineBytes = 10;
  Ran flood =
      Shell("head -c 3000000 /dev/zero | tr '\\0' 'x' | fold -w 1000; echo; echo done", limits);
  EXPECT_TRUE(flood.result.Succeeded());
  ASSERT_EQ(flood.lines.size(), 5u);
  EXPECT_EQ(flood.lines[0], "xxxxxxxxxx [...]");
  EXPECT_EQ(flood.result.linesLeftOut, 3001u - 5u);  // "done" is among them
  EXPECT_EQ(flood.result.outputBytes, 3000000u + 3000u + 5u);
}

// At the time limit, or when the program ends, the command and what it
// started are ended; a writer left in the background once the shell has
// ended on its own is not waited for.
TEST(ShellCommandTest, ALateOrStoppedCommandIsEndedWithItsChildren) {
  TempDir tmp;
  const std::string pid = tmp.path() + "/child.pid";
  ShellCommandLimits limits;
  limits.timeLimit = std::chrono::milliseconds(300);
  limits.grace = std::chrono::milliseconds(300);
  // The shell and its child ignore SIGTERM: the grace runs out and SIGKILL
  // follows.
  Ran late = Shell("trap '' TERM; sleep 60 & echo $! > " + pid + "; echo started; wait", limits);
  EXPECT_EQ(late.result.end, ShellCommandEnd::kTimedOut);
  EXPECT_EQ(late.lines, std::vector<std::string>{"started"});
  EXPECT_TRUE(Gone(pid));

  int asked = 0;
  Ran stopped =
      Shell("sleep 60 & echo $! > " + pid + "; wait", {}, {}, [&asked] { return ++asked > 3; });
  EXPECT_EQ(stopped.result.end, ShellCommandEnd::kStopped);
  EXPECT_TRUE(Gone(pid));

  Ran left = Shell("(sleep 2; echo late) & echo now");
  EXPECT_TRUE(left.result.Succeeded());
  EXPECT_EQ(left.lines, std::vector<std::string>{"now"});
}

}  // namespace
}  // namespace varnoket::test
