#include "platform/PathRules.h"

#include <filesystem>

#include "platform/AsciiText.h"

namespace varnoket {
namespace {

bool IsDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::string PathRules::Join(std::string_view a, std::string_view b) const {
  if (a.empty()) return std::string(b);
  std::string joined(a);
  const char sep = Separator();
  if (joined.back() == sep) {
    if (!b.empty() && b.front() == sep) b.remove_prefix(1);
  } else if (b.empty() || b.front() != sep) {
    joined += sep;
  }
  joined += b;
  return joined;
}

std::string PathRules::EnsureTrailingSeparator(std::string_view path) const {
  std::string result(path);
  if (result.empty() || result.back() != Separator()) result += Separator();
  return result;
}

std::string PathRules::RemoveTrailingSeparator(std::string_view path) const {
  // A lone separator is the root itself and keeps its meaning.
  if (path.size() > 1 && path.back() == Separator()) path.remove_suffix(1);
  return std::string(path);
}

std::string PathRules::StoredName(std::string_view fullPath) const {
  if (style_ == PathStyle::kPosix) {
    // The root becomes a folder named "_" inside the day folder.
    std::string name = "_";
    name += fullPath;
    name += kStoredSuffix;
    return name;
  }
  // "C:" becomes "C_" and "\\srv" becomes "__srv": the drive or the server
  // turns into an ordinary first folder.
  std::string name(fullPath);
  if (name.size() >= 2) {
    if (name[0] == '\\') name[0] = '_';
    name[1] = '_';
  }
  name += kStoredSuffix;
  return name;
}

std::string PathRules::PathOfStoredName(std::string_view storedName) const {
  if (storedName.size() < 5 || !storedName.ends_with(kStoredSuffix)) return {};
  std::string path(storedName.substr(0, storedName.size() - kStoredSuffix.size()));
  if (style_ == PathStyle::kPosix) {
    if (path[0] != '_' || path[1] != '/') return {};
    return path.substr(1);
  }
  if (path[1] != '_') return {};
  if (path[0] == '_') {
    path[0] = '\\';
    path[1] = '\\';
  } else {
    path[1] = ':';
  }
  return path;
}

size_t PathRules::ExceededLengthLimit(std::string_view path) const {
  if (path.size() > kMaxPathLength) return kMaxPathLength;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(Separator(), start);
    if (end == std::string_view::npos) end = path.size();
    if (end - start > kMaxNameLength) return kMaxNameLength;
    start = end + 1;
  }
  return 0;
}

bool PathRules::IsSafeStoredName(std::string_view storedName) const {
  if (storedName.empty()) return false;
  if (HasControlByte(storedName)) return false;
  if (style_ == PathStyle::kPosix) {
    if (storedName.front() == '/') return false;
  } else {
    if (storedName.front() == '\\' || storedName.front() == '/') return false;
    // A colon anywhere names a drive or an alternate stream.
    if (storedName.find(':') != std::string_view::npos) return false;
  }
  return OnlyNamesFrom(storedName, 0);
}

bool PathRules::OnlyNamesFrom(std::string_view path, size_t start) const {
  auto isSep = [this](char c) { return c == '/' || (style_ == PathStyle::kWindows && c == '\\'); };
  while (start <= path.size()) {
    size_t end = start;
    while (end < path.size() && !isSep(path[end])) ++end;
    const std::string_view part = path.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    if (end == path.size()) break;
    start = end + 1;
  }
  return true;
}

bool PathRules::IsRecordablePath(std::string_view path) const {
  if (style_ == PathStyle::kPosix) return !path.empty() && path.front() == '/';
  return path.size() >= 2 && (path[1] == ':' || path[1] == '\\');
}

bool PathRules::IsAbsolute(std::string_view path) const {
  if (style_ == PathStyle::kPosix) return !path.empty() && path.front() == '/';
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') return true;
  return path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && path[2] == '\\';
}

bool HasControlByte(std::string_view text) {
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7f) return true;
  }
  return false;
}

bool PathRules::IsCleanAbsolutePath(std::string_view path) const {
  if (!IsAbsolute(path) || HasControlByte(path)) return false;
  size_t start = 1;                                                    // POSIX: after the root "/"
  if (style_ == PathStyle::kWindows) start = path[0] == '\\' ? 2 : 3;  // "\\srv" or "C:\"
  if (start >= path.size()) return false;  // the root alone names nothing below it
  return OnlyNamesFrom(path, start);
}

bool PathRules::Equal(std::string_view a, std::string_view b) const {
  return style_ == PathStyle::kWindows ? EqualsIgnoreCase(a, b) : a == b;
}

bool PathRules::StartsWith(std::string_view path, std::string_view prefix) const {
  if (path.size() < prefix.size()) return false;
  return Equal(path.substr(0, prefix.size()), prefix);
}

std::string PathRules::ParentWithSeparator(std::string_view path) const {
  const size_t pos = style_ == PathStyle::kWindows ? path.find_last_of("\\:") : path.rfind('/');
  if (pos == std::string_view::npos) return {};
  return std::string(path.substr(0, pos + 1));
}

std::string PathRules::FileName(std::string_view path) const {
  const size_t pos = style_ == PathStyle::kWindows ? path.find_last_of("\\:") : path.rfind('/');
  if (pos == std::string_view::npos) return std::string(path);
  return std::string(path.substr(pos + 1));
}

std::string PathRules::LexicallyNormal(std::string_view path) const {
  if (style_ == PathStyle::kWindows) return std::string(path);
  return std::filesystem::path(path).lexically_normal().string();
}

bool PathRules::IsSameOrBelow(std::string_view path, std::string_view ancestor) const {
  if (ancestor.empty() || path.empty()) return path.empty() && ancestor.empty();
  const char sep = Separator();
  // Trailing separators do not count: "/a/b/" is "/a/b", and "/" (nothing
  // left) holds every absolute path.
  auto strip = [sep](std::string_view p) {
    while (!p.empty() && p.back() == sep) p.remove_suffix(1);
    return p;
  };
  const std::string_view base = strip(ancestor);
  const std::string_view below = strip(path);
  if (Equal(below, base)) return true;
  if (below.size() <= base.size() || !StartsWith(below, base)) return false;
  return below[base.size()] == sep;
}

}  // namespace varnoket
