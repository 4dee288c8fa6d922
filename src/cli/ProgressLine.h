// The progress of a backup, a restore or a check on a terminal: one line,
// rewritten in place, with the files and bytes done, the rate and the time
// left. Lines of the report still scroll above it. Off a terminal (a pipe, a
// file, a service's journal) the line is never drawn and report lines are
// printed as they come.
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

namespace varnoket {

struct ProgressCounts {
  int64_t filesDone = 0;
  int64_t filesTotal = 0;
  int64_t bytesDone = 0;
  int64_t bytesTotal = 0;
};

// "Fichiers 12/340  35,2 Mo/1,2 Go  8,1 Mo/s  reste 2 min 30 s" after
// `seconds` of work. The rate and the time left are left out until a second
// has passed and some bytes are done, since an estimate from nothing misleads.
std::string ProgressText(const ProgressCounts& counts, double seconds);

class ProgressLine {
 public:
  // `terminal`: draw the line (standard output is a terminal); `width`: the
  // terminal's columns, the line is cut to fit so it never wraps.
  ProgressLine(std::ostream& out, bool terminal, int width);
  // For standard output: a terminal or not, and its width.
  static ProgressLine ForStandardOutput();
  ~ProgressLine() { Clear(); }

  bool terminal() const { return terminal_; }

  // Counts to show; drawn at most ten times a second unless `now` is set.
  void Update(const ProgressCounts& counts, bool now = false);
  // A free text on the line (the scan's folder before any file is counted).
  void Show(const std::string& text);
  // A line of the report, printed above the progress line.
  void Print(const std::string& line);
  // Removes the line (before the summary, or before text on standard error).
  void Clear();

 private:
  void Draw(const std::string& text);

  std::ostream& out_;
  bool terminal_;
  size_t width_;
  std::string shown_;  // the text on the line now; "" when none is drawn
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point drawn_{};
};

}  // namespace varnoket
