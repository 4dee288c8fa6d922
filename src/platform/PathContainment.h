// Whether one folder is another or lies inside it, decided by what the disk
// holds and not by how the two paths are spelt: "/data/Sauve" does not hold
// "/data/Sauvegardes", a symbolic link to "/data" holds it, and a bind mount
// of a folder is that folder.
//
// Both paths are first resolved (links, ".", ".." and doubled separators);
// a path that does not exist is resolved as far as its existing parents go.
// They are then compared on whole names, and finally by the system's
// identity (device and inode) of the folder named by `ancestor` against the
// resolved path and each of its parents, which catches a second name of the
// same folder (a bind mount) that no spelling reveals.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/FileSystem.h"
#include "platform/PathRules.h"

namespace varnoket {

// The system's identity of a folder, whatever name reaches it.
struct FolderId {
  uint64_t device = 0;
  uint64_t inode = 0;
  bool operator==(const FolderId&) const = default;
  bool operator<(const FolderId& other) const {
    return device != other.device ? device < other.device : inode < other.inode;
  }
};

// The identity of the folder at `path` (links followed); nullopt when it
// does not exist or is no folder.
std::optional<FolderId> FolderIdOf(FileSystem& fs, const std::string& path);

// Where a folder stands against another one.
enum class FolderRelation {
  kUnrelated,
  kSameOrInside,  // the folder is the other one or lies below it
  kHolds,         // the other one lies below the folder
};

class PathContainment {
 public:
  explicit PathContainment(FileSystem& fs) : fs_(fs) {}

  // The absolute path with links resolved as far as the disk has it: the
  // existing part resolved, the rest appended in normal form. A relative
  // path is returned in normal form only.
  std::string Resolved(const std::string& path);

  // True when `path` is `ancestor` or lies below it.
  bool IsSameOrBelow(const std::string& path, const std::string& ancestor);

  // Same or inside wins over holds: a folder is both only when the two are
  // one folder.
  FolderRelation RelationOf(const std::string& folder, const std::string& other);

 private:
  FileSystem& fs_;
  const PathRules rules_{PathStyle::kPosix};
};

}  // namespace varnoket
