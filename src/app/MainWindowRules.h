// Small rules of the main window that need no screen: the version shown in
// its title, the program name that gets a start-up entry, and where that
// entry goes.
#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace varnoket {

// The name the program shows in the tray and writes in its start-up entry.
inline constexpr const char* kTrayProductName = "Varnoket";

// The text after "version" (any case) in a window title, trimmed and cut at
// its first blank; "" when the title names no version or nothing follows it
// up to a blank.
std::string VersionFromTitle(const std::string& title);

// Only the installed program, named "varnoket" in any case, registers itself
// to start at logon; a copy under another name (a test build, the update
// program) does not.
bool IsInstalledProgramName(const std::string& programPath);

// The two places a start-up entry can go: the system's, read by every user's
// session, and the user's own.
struct AutostartFolders {
  std::string system;  // first folder of XDG_CONFIG_DIRS (/etc/xdg) + "/autostart"
  std::string user;    // XDG_CONFIG_HOME (~/.config) + "/autostart"
};

// The folders as the desktop's environment gives them.
AutostartFolders DefaultAutostartFolders();

// The system folder when it exists and this user may write there; else the
// user's folder, created when it is missing; "" when neither can be used.
std::string ChooseStartupFolder(FileSystem& fs, const AutostartFolders& folders);

}  // namespace varnoket
