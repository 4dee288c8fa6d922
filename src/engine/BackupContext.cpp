#include "engine/BackupContext.h"

#include "engine/ActivityLog.h"

namespace varnoket {

void BackupContext::Log(const std::string& message) const {
  LogActivity(fs, Layout().LogPath(), message, clock);
  host.Logged(message);
}

void BackupContext::ReportError(const std::string& message) const {
  Log(message);
  host.ShowErrorWindow(message);
}

}  // namespace varnoket
