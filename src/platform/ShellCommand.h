// Running a command the person wrote (a command to quiesce a database before
// a backup, to start it again after) through /bin/sh, waited for within a
// time limit, its output handed back line by line.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace varnoket {

struct ShellCommandLimits {
  std::chrono::milliseconds timeLimit{std::chrono::minutes(10)};
  // Lines longer than this are cut; lines beyond the count are read (so the
  // command never blocks on a full pipe) and counted, not handed back.
  size_t lineBytes = 500;
  size_t lines = 200;
  // After the time limit, how long the command has between SIGTERM and SIGKILL.
  std::chrono::milliseconds grace{std::chrono::seconds(5)};
};

enum class ShellCommandEnd {
  kExited,      // exitCode holds its code (126: not executable, 127: not found)
  kSignaled,    // ended by a signal it did not get from us: signal holds it
  kTimedOut,    // still running at the time limit: ended (its whole group)
  kStopped,     // `stop` said so while it ran: ended (its whole group)
  kNotStarted,  // no process could be made: startError says why
};

struct ShellCommandResult {
  ShellCommandEnd end = ShellCommandEnd::kNotStarted;
  int exitCode = -1;
  int signal = 0;
  std::string startError;
  uint64_t outputBytes = 0;
  size_t linesLeftOut = 0;  // beyond ShellCommandLimits::lines

  bool Succeeded() const { return end == ShellCommandEnd::kExited && exitCode == 0; }
};

using ShellEnvironment = std::vector<std::pair<std::string, std::string>>;

// Runs `/bin/sh -c command` in a process group of its own, with the
// environment of this program plus `extra`, standard input from /dev/null
// and its standard output and error joined. Each line of that output goes to
// `onLine` (without its line end; a last line without one too), cut to the
// limits. `stop`, asked a few times a second, ends the command when it says
// true. Once the shell has ended, output still written by something it left
// running in the background is not waited for.
ShellCommandResult RunShellCommand(const std::string& command, const ShellEnvironment& extra,
                                   const ShellCommandLimits& limits,
                                   const std::function<void(const std::string&)>& onLine,
                                   const std::function<bool()>& stop);

}  // namespace varnoket
