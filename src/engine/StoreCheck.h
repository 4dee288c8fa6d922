// Whether the store a run is about to write is really there: the disk that
// carries it may be unplugged (its mount point is then an empty folder of the
// system disk) or another disk may be mounted in its place. A run, and the
// program's start, write below the root only once this check says so; an
// absent store is left exactly as found.
#pragma once

#include <string>

#include "engine/StoreLayout.h"
#include "platform/FileSystem.h"
#include "platform/Translation.h"

namespace varnoket {

// What a person is told when the store's disk is not there.
inline constexpr const char* kStoreAbsentText =
    VK_TR_NOOP("Messages", "Disque de sauvegarde absent");

enum class StoreState {
  kPresent,     // the marker is there and is the recorded one (or none is recorded)
  kAbsent,      // no root, or a root without marker and without this station's backups
  kOtherDisk,   // a marker with another id than the recorded one
  kUnmarked,    // a store made before markers: this station's backup days, no marker
  kUnreadable,  // a marker is there but cannot be read: the disk is failing
};

struct StoreCheck {
  StoreState state = StoreState::kAbsent;
  std::string id;       // the marker's id when there is one
  std::string message;  // for kAbsent, kOtherDisk, kUnreadable: the one line to show
};

// Looks at the root of `layout` (reading only). `recordedId` is the id the
// program recorded for its store, "" when none is recorded yet.
StoreCheck CheckStore(FileSystem& fs, const StoreLayout& layout, const std::string& recordedId);

// The check, then, for a store made before markers existed, its marker
// written (kPresent and its new id on success; kUnmarked and no id when the
// marker could not be written).
StoreCheck CheckAndMarkStore(FileSystem& fs, const StoreLayout& layout,
                             const std::string& recordedId);

}  // namespace varnoket
