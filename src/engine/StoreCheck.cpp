#include "engine/StoreCheck.h"

#include "engine/DayFolders.h"
#include "platform/MessageText.h"
#include "platform/Translation.h"
#include "settings/StoreMarker.h"

namespace varnoket {

StoreCheck CheckStore(FileSystem& fs, const StoreLayout& layout, const std::string& recordedId) {
  StoreCheck check;
  // Each text whole with its holes, so the windows can show it translated.
  const std::string absent =
      FillText(VK_TR_NOOP("Messages", "Disque de sauvegarde absent (%s)"), {layout.root()});
  if (layout.root().empty() || !fs.IsDirectory(layout.root())) {
    check.message = absent;
    return check;
  }
  if (const auto marker = ReadStoreMarker(fs, layout.root())) {
    check.id = marker->id;
    if (!recordedId.empty() && marker->id != recordedId) {
      check.state = StoreState::kOtherDisk;
      check.message = FillText(VK_TR_NOOP("Messages",
                                          "Disque de sauvegarde absent (%s) : le disque "
                                          "présent porte une autre sauvegarde."),
                               {layout.root()});
      return check;
    }
    check.state = StoreState::kPresent;
    return check;
  }
  if (fs.Exists(StoreMarkerPath(layout.root()))) {
    check.state = StoreState::kUnreadable;
    check.message = UnreadableMarkerText(layout.root());
    return check;
  }
  // Only a station folder with whole backup days proves that this folder is
  // the store: a station settings file alone may be what an older version
  // wrote in an empty mount point.
  std::vector<std::string> days;
  ListDayFolders(fs, layout.rules(), layout.StationFolder(), days);
  if (!days.empty()) {
    check.state = StoreState::kUnmarked;
    return check;
  }
  check.message = absent;
  return check;
}

StoreCheck CheckAndMarkStore(FileSystem& fs, const StoreLayout& layout,
                             const std::string& recordedId) {
  StoreCheck check = CheckStore(fs, layout, recordedId);
  if (check.state != StoreState::kUnmarked) return check;
  if (const auto marker = MarkStore(fs, layout.root())) {
    check.state = StoreState::kPresent;
    check.id = marker->id;
  }
  return check;
}

}  // namespace varnoket
