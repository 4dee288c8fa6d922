#include "platform/PathContainment.h"

#include <filesystem>

namespace varnoket {
namespace {

// "/a//b/./c/" -> "/a/b/c"; "/" stays "/".
std::string NormalForm(const std::string& path) {
  std::string normal = std::filesystem::path(path).lexically_normal().string();
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

// The folder holding `path` (absolute, in normal form, not "/").
std::string ParentOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

}  // namespace

std::optional<FolderId> FolderIdOf(FileSystem& fs, const std::string& path) {
  const auto entry = fs.Stat(path);
  if (!entry || !entry->isDirectory) return std::nullopt;
  return FolderId{entry->device, entry->inode};
}

std::string PathContainment::Resolved(const std::string& path) {
  // The path as written first: ".." after a link means the link target's
  // parent, which only the system knows.
  if (auto whole = fs_.Resolve(path)) return *whole;
  const std::string normal = NormalForm(path);
  if (normal.empty() || normal.front() != '/') return normal;
  std::string head = normal;
  std::string tail;
  while (head != "/") {
    const size_t slash = head.rfind('/');
    const std::string name = head.substr(slash + 1);
    tail = tail.empty() ? name : rules_.Join(name, tail);
    head = ParentOf(head);
    if (auto existing = fs_.Resolve(head)) return rules_.Join(*existing, tail);
  }
  return normal;
}

bool PathContainment::IsSameOrBelow(const std::string& path, const std::string& ancestor) {
  const std::string below = Resolved(path);
  const std::string above = Resolved(ancestor);
  if (rules_.IsSameOrBelow(below, above)) return true;
  // Another name of the same folder: compare identities up the parents.
  const auto target = FolderIdOf(fs_, above);
  if (!target || below.empty() || below.front() != '/') return false;
  for (std::string current = below;; current = ParentOf(current)) {
    const auto id = FolderIdOf(fs_, current);
    if (id && *id == *target) return true;
    if (current == "/") return false;
  }
}

FolderRelation PathContainment::RelationOf(const std::string& folder, const std::string& other) {
  if (IsSameOrBelow(folder, other)) return FolderRelation::kSameOrInside;
  if (IsSameOrBelow(other, folder)) return FolderRelation::kHolds;
  return FolderRelation::kUnrelated;
}

}  // namespace varnoket
