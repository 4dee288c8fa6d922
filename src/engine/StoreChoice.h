// Which of the configured stores are here now, and which one a command works
// on: the one the person named, else the first one present, else the first.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/StoreCheck.h"
#include "platform/FileSystem.h"
#include "settings/ProgramSettings.h"
#include "settings/StoreList.h"

namespace varnoket {

// The check of one store of the list. A store after the first always
// carries the marker it was added with: one without a marker is not it.
StoreCheck CheckStoreEntry(FileSystem& fs, const StoreEntry& store, size_t index,
                           const std::string& station);
// Present, or a first store made before markers that a run will mark.
bool StoreUsable(const StoreCheck& check);

// Whether a store of the list (at its place in it) is here and usable.
// None: StoreUsable(CheckStoreEntry(...)), asked of the disk at once; a
// window gives one that never waits long on a disk that does not answer.
using StorePresenceCheck = std::function<bool(const StoreEntry& store, size_t index)>;

// The stores of AllStores(settings) that are here now, in list order.
std::vector<StoreEntry> StoresHere(FileSystem& fs, const ProgramSettings& settings,
                                   const std::string& station,
                                   const StorePresenceCheck& present = nullptr);

// Makes the store named `wanted` the one `settings` works on; with no name,
// the first store present (the first store when none is), as `present`
// tells. False, with `error` set, when no store has that name.
bool ChooseStore(FileSystem& fs, ProgramSettings& settings, const std::string& station,
                 const std::string& wanted, std::string& error,
                 const StorePresenceCheck& present = nullptr);

}  // namespace varnoket
