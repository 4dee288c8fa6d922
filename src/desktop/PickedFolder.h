// What the folder picker hands back for the entry the user chose: the folder
// itself, or, when the user picked a symbolic link, the folder it points at,
// so the checks that follow judge the real place.
#pragma once

#include <string>

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

namespace varnoket {

// "" stays "" (the picker was cancelled). A link that cannot be read is
// reported through `dialogs` and the chosen path is kept.
std::string ResolvePickedFolder(FileSystem& fs, const std::string& chosen, Dialogs& dialogs);

}  // namespace varnoket
