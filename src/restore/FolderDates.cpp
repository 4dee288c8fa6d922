#include "restore/FolderDates.h"

#include <sys/stat.h>

#include <algorithm>

#include "platform/PathContainment.h"

namespace varnoket {

void FolderDates::Note(const std::string& destination, const RecordedFolder& record) {
  noted_.push_back(Noted{destination, record});
}

void FolderDates::Apply() {
  const char separator = rules_.Separator();
  const auto depth = [separator](const std::string& path) {
    return std::count(path.begin(), path.end(), separator);
  };
  std::stable_sort(noted_.begin(), noted_.end(), [&depth](const Noted& a, const Noted& b) {
    return depth(a.destination) > depth(b.destination);
  });
  PathContainment containment(fs_);
  for (const Noted& n : noted_) {
    // The walk saw a folder here; a link put in its place since would carry
    // the date and mode to whatever it points at.
    const auto there = fs_.Stat(n.destination);
    if (!there || !there->isDirectory || there->isSymlink) continue;
    if (!confinedTo_.empty() && !containment.IsSameOrBelow(n.destination, confinedTo_)) continue;
    // Only a POSIX directory mode is applied; a list made elsewhere holds
    // other bits.
    const auto mode = static_cast<uint32_t>(n.record.attributes);
    if ((mode & S_IFMT) == S_IFDIR) fs_.SetAttributes(n.destination, mode);
    fs_.SetFileDate(n.destination, n.record.fileDate);
  }
  noted_.clear();
}

}  // namespace varnoket
