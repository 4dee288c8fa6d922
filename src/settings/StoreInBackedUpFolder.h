// The rule that keeps the store out of the backup set: a store inside one of
// the folders it backs up would save its own copies again at every run. The
// configuration window and `varnoket-cli config store` both ask it.
#pragma once

#include <string>

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Translation.h"

namespace varnoket {

inline constexpr const char* kStoreInBackedUpFolder = VK_TR_NOOP(
    "Messages",
    "Le dossier à sauvegarder (%s) contient le répertoire des sauvegardes choisi (%s) : les "
    "sauvegardes se sauvegarderaient elles-mêmes. Choisissez un répertoire en dehors des "
    "dossiers à sauvegarder, ou retirez d'abord ce dossier de la liste.");

// The first folder of the station's backup set kept under `root` that is
// `candidate` or holds it; "" when none, when `root` is "" or holds no set
// for the station yet, or when that set cannot be read (said through
// `dialogs`).
std::string BackedUpFolderHolding(FileSystem& fs, Dialogs& dialogs, const std::string& root,
                                  const std::string& station, const std::string& candidate);

// The refusal (kStoreInBackedUpFolder, filled in) of `choice` as the store:
// checked against the set in use under `currentRoot` and against the one
// `choice` itself already holds (a store chosen again). "" when accepted.
std::string StoreInBackedUpFolderRefusal(FileSystem& fs, Dialogs& dialogs,
                                         const std::string& currentRoot, const std::string& station,
                                         const std::string& choice);

}  // namespace varnoket
