// A restore host for tests: keeps every report line, counts the message
// pumps, and asks to stop once a given number of lines has been reported.
#pragma once

#include <string>
#include <vector>

#include "restore/RestoreHost.h"

namespace varnoket::test {

class RecordingRestoreHost : public RestoreHost {
 public:
  void Report(const std::string& line) override { lines.push_back(line); }
  void ProcessMessages() override { ++pumps; }
  bool StopRequested() const override {
    return stopAfterLines > 0 && lines.size() >= stopAfterLines;
  }

  std::vector<std::string> lines;
  int pumps = 0;
  size_t stopAfterLines = 0;  // 0: never asks to stop
};

}  // namespace varnoket::test
