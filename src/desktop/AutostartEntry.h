// The start-up entry that makes the program start at every logon: on this
// desktop an XDG autostart entry (a ".desktop" file), written by
// AutostartEntry with the properties of the program's shortcut component; and
// the resolution of a picked shortcut back to what it points at.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

namespace varnoket {

class AutostartEntryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class AutostartEntry {
 public:
  explicit AutostartEntry(FileSystem& fs = DefaultFileSystem()) : fs_(fs) {}

  std::string ShortcutFile;
  std::string Target;
  std::string WorkingDir;
  std::string Description;
  std::string Arguments;
  std::string IconLocation;
  uint16_t IconNumber = 0;

  // Writes ShortcutFile, replacing an existing one; throws AutostartEntryError
  // "Unable to create .lnk file" when it cannot be saved.
  void WriteLink();

 private:
  FileSystem& fs_;
};

// One argument of an Exec line, quoted as desktop entries want it.
std::string QuoteExecArgument(const std::string& argument);

struct ResolvedShortcut {
  std::string target;
  std::string arguments;
  std::string workingDir;
};

// Reads a shortcut back: a symbolic link gives its target (absolute), a
// desktop entry its program, arguments and folder. False, with `out`
// unchanged, for anything else. A file that cannot be read as it should is
// reported with the message box "Erreur dans la tentative de récupération
// du raccourci (<path>) !".
bool ResolveShortcut(FileSystem& fs, const std::string& path, ResolvedShortcut& out,
                     Dialogs& dialogs);

}  // namespace varnoket
