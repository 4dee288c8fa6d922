// How far a backup run's copy has gone, for whoever shows it (the main
// window's progress bar, the tray's tooltip, the terminal's progress line).
// Bytes are source bytes read; a large file moves the figures while it
// compresses, not only when it ends.
#pragma once

#include <cstdint>
#include <string>

namespace varnoket {

struct RunProgress {
  int64_t filesDone = 0;
  int64_t filesTotal = 0;
  int64_t bytesDone = 0;
  int64_t bytesTotal = 0;
  std::string currentFile;  // the source file being copied; empty between files

  // 0 to 100, from the bytes (from the files when there are no bytes to read).
  int Percent() const;
};

}  // namespace varnoket
