// The file at the top of a backup store that says "this folder is a store",
// and which one: VARNOKET.STORE holds a random store id and the date the
// store was made (format in docs/store-format.md). A run writes only below a
// root that carries the marker the program recorded, so an empty mount point
// (the disk is not plugged in) or another disk mounted there is never taken
// for the store.
#pragma once

#include <optional>
#include <string>

#include "platform/FileSystem.h"

namespace varnoket {

inline constexpr const char* kStoreMarkerName = "VARNOKET.STORE";

struct StoreMarker {
  std::string id;       // 32 lower-case hexadecimal digits
  std::string created;  // "yyyy-mm-dd hh:mm:ss", UTC
};

// The marker's file text: "[STORE]", "ID=...", "CREATED=...", CR LF line ends.
std::string StoreMarkerText(const StoreMarker& marker);
// The marker a text holds; nullopt when it names no valid id.
std::optional<StoreMarker> ParseStoreMarker(const std::string& text);

// root/VARNOKET.STORE
std::string StoreMarkerPath(const std::string& root);
// The marker of the store at `root`; nullopt when there is none or it cannot
// be read as one.
std::optional<StoreMarker> ReadStoreMarker(FileSystem& fs, const std::string& root);

// True when `root` holds something under the marker's name that cannot be
// read as a marker: a failing disk, or a file of another kind. Marking such a
// root fails, and the person must hear why, not that the folder is read-only.
bool HasUnreadableMarker(FileSystem& fs, const std::string& root);
// What the person is told then.
std::string UnreadableMarkerText(const std::string& root);

// A fresh random store id.
std::string NewStoreId();

// Makes `root` a store: keeps the marker already there, or writes a new one
// (to a temporary file renamed into place, so a failed write leaves no half
// marker). The marker in place; nullopt when none could be written. Called
// when a store folder is configured, by the dialog and the command line, and
// by a run that finds a store made before markers existed.
std::optional<StoreMarker> MarkStore(FileSystem& fs, const std::string& root);

}  // namespace varnoket
