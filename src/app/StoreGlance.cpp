#include "app/StoreGlance.h"

#include "engine/ActivityLog.h"

namespace varnoket {

std::optional<StoreFacts> StoreGlance::Read(const std::string& root, const std::string& logPath,
                                            std::chrono::milliseconds wait) {
  return question_.Ask(
      root + '\n' + logPath,
      [&fs = fs_, root, logPath] {
        StoreFacts facts;
        facts.run = LastRunOutcomeOfLog(ReadWholeFile(fs, logPath));
        if (fs.IsDirectory(root)) facts.freeBytes = fs.FreeSpace(root);
        return facts;
      },
      wait);
}

}  // namespace varnoket
