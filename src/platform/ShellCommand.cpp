#include "platform/ShellCommand.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/UniqueFd.h"

extern char** environ;

namespace varnoket {

namespace {

using SteadyClock = std::chrono::steady_clock;

// This program's environment with `extra` set over it.
std::vector<std::string> EnvironmentWith(const ShellEnvironment& extra) {
  std::vector<std::string> result;
  for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
    const std::string entry(*e);
    const std::string name = entry.substr(0, entry.find('='));
    bool replaced = false;
    for (const auto& [key, value] : extra) replaced = replaced || key == name;
    if (!replaced) result.push_back(entry);
  }
  for (const auto& [key, value] : extra) result.push_back(key + "=" + value);
  return result;
}

// Cuts what the command writes into lines, within the limits.
class OutputLines {
 public:
  OutputLines(const ShellCommandLimits& limits, const std::function<void(const std::string&)>& out)
      : limits_(limits), out_(out) {}

  void Add(const char* data, size_t size, ShellCommandResult& result) {
    result.outputBytes += size;
    for (size_t i = 0; i < size; ++i) {
      if (data[i] == '\n') {
        Flush(result);
      } else if (line_.size() < limits_.lineBytes) {
        line_.push_back(data[i]);
      } else {
        cut_ = true;
      }
    }
  }

  void Flush(ShellCommandResult& result) {
    if (!line_.empty() && line_.back() == '\r') line_.pop_back();
    if (cut_) line_ += " [...]";
    if (handed_ < limits_.lines) {
      out_(line_);
      ++handed_;
    } else {
      ++result.linesLeftOut;
    }
    line_.clear();
    cut_ = false;
  }

  bool Pending() const { return !line_.empty() || cut_; }

 private:
  const ShellCommandLimits& limits_;
  const std::function<void(const std::string&)>& out_;
  std::string line_;
  bool cut_ = false;
  size_t handed_ = 0;
};

pid_t Spawn(const std::string& command, const ShellEnvironment& extra, int outputFd,
            std::string& error) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, outputFd, STDERR_FILENO);
  // A group of its own, so that a time limit ends what the shell started
  // too; signals at their defaults, whatever this program set.
  sigset_t all;
  sigfillset(&all);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  const std::vector<std::string> environment = EnvironmentWith(extra);
  std::vector<char*> envp;
  for (const auto& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  char shell[] = "/bin/sh";
  char dashC[] = "-c";
  char* argv[] = {shell, dashC, const_cast<char*>(command.c_str()), nullptr};
  pid_t pid = -1;
  const int failed = posix_spawn(&pid, shell, &actions, &attributes, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (failed != 0) {
    error = std::strerror(failed);
    return -1;
  }
  return pid;
}

// SIGTERM to the whole group, then SIGKILL once the grace has passed.
int EndGroup(pid_t pid, std::chrono::milliseconds grace) {
  ::kill(-pid, SIGTERM);
  const auto deadline = SteadyClock::now() + grace;
  int status = 0;
  while (true) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) return 0;
    if (SteadyClock::now() >= deadline) {
      ::kill(-pid, SIGKILL);
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      break;
    }
    ::usleep(20000);
  }
  // Whatever the shell left behind in its group goes too.
  ::kill(-pid, SIGKILL);
  return status;
}

}  // namespace

ShellCommandResult RunShellCommand(const std::string& command, const ShellEnvironment& extra,
                                   const ShellCommandLimits& limits,
                                   const std::function<void(const std::string&)>& onLine,
                                   const std::function<bool()>& stop) {
  ShellCommandResult result;
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) {
    result.startError = std::strerror(errno);
    return result;
  }
  UniqueFd readEnd(ends[0]);
  UniqueFd writeEnd(ends[1]);
  const pid_t pid = Spawn(command, extra, writeEnd.get(), result.startError);
  writeEnd.Close();  // the command's copy is the only writer left
  if (pid < 0) return result;

  OutputLines lines(limits, onLine);
  const auto deadline = SteadyClock::now() + limits.timeLimit;
  int status = 0;
  bool exited = false;
  bool open = true;
  char buffer[8192];
  while (!exited) {
    if (stop && stop()) {
      result.end = ShellCommandEnd::kStopped;
      status = EndGroup(pid, limits.grace);
      break;
    }
    if (SteadyClock::now() >= deadline) {
      result.end = ShellCommandEnd::kTimedOut;
      status = EndGroup(pid, limits.grace);
      break;
    }
    if (open) {
      pollfd p{readEnd.get(), POLLIN, 0};
      if (::poll(&p, 1, 100) > 0) {
        const ssize_t n = ::read(readEnd.get(), buffer, sizeof buffer);
        if (n > 0) lines.Add(buffer, static_cast<size_t>(n), result);
        if (n == 0) open = false;
      }
    } else {
      ::usleep(50000);
    }
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    exited = done == pid;
  }
  // What was written before the end, without waiting for a writer the
  // shell left running.
  if (open && ::fcntl(readEnd.get(), F_SETFL, O_NONBLOCK) == 0) {
    ssize_t n;
    while ((n = ::read(readEnd.get(), buffer, sizeof buffer)) > 0) {
      lines.Add(buffer, static_cast<size_t>(n), result);
    }
  }
  if (lines.Pending()) lines.Flush(result);
  if (exited) {
    if (WIFEXITED(status)) {
      result.end = ShellCommandEnd::kExited;
      result.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
      result.end = ShellCommandEnd::kSignaled;
      result.signal = WTERMSIG(status);
    }
  }
  return result;
}

}  // namespace varnoket
