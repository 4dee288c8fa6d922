#include "engine/BackupContext.h"

#include "engine/ActivityLog.h"

namespace varnoket {

void BackupContext::Log(const std::string& message) const {
  LogActivity(fs, Layout().LogPath(), message, clock);
  host.Logged(message);
}

}  // namespace varnoket
