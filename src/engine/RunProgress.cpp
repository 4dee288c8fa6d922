#include "engine/RunProgress.h"

#include <algorithm>

namespace varnoket {

int RunProgress::Percent() const {
  int64_t done = bytesDone;
  int64_t total = bytesTotal;
  if (total <= 0) {
    done = filesDone;
    total = filesTotal;
  }
  if (total <= 0) return 0;
  // A file that grew since the scan can take the bytes past the total.
  return static_cast<int>(std::clamp<int64_t>(done * 100 / total, 0, 100));
}

}  // namespace varnoket
