// Runs the built varnoket-cli as a script would, keeping its standard output
// and standard error apart.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "support/TempDir.h"

namespace varnoket::test {

struct CliOutput {
  int code = -1;
  std::string out;
  std::string err;
};

inline std::string Quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// `args` is passed to the shell as written; `cwd` (when given) is the
// working folder. `merged`: standard error goes into `out` too, in the order
// a terminal would show the lines.
inline CliOutput RunTool(const std::string& args, const std::string& cwd = "",
                         bool merged = false) {
  TempDir errors;
  const std::string errPath = errors / "stderr";
  std::string command = std::string(VARNOKET_CLI_PATH) + " " + args +
                        (merged ? " 2>&1" : " 2>" + Quoted(errPath)) + " </dev/null";
  if (!cwd.empty()) command = "cd " + Quoted(cwd) + " && " + command;
  CliOutput r;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return r;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
  const int status = ::pclose(pipe);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  try {
    r.err = ReadFile(errPath);
  } catch (...) {
  }
  return r;
}

}  // namespace varnoket::test
