// What a restore or a check of the store needs from whoever runs it (the
// restore window, the command-line tool, a test): a place for the report
// lines, a message pump, and whether the user has asked to stop. The restore
// never calls a window; the data it works on (file system, store layout,
// days) is passed as plain values beside the host.
#pragma once

#include <string>

namespace varnoket {

class RestoreHost {
 public:
  virtual ~RestoreHost() = default;

  // One line of the report, as it is written.
  virtual void Report(const std::string& /*line*/) {}
  // Lets pending window events run between blocks of work.
  virtual void ProcessMessages() {}
  // True once the user has asked to stop: a run stops after the item in
  // progress.
  virtual bool StopRequested() const { return false; }
};

}  // namespace varnoket
