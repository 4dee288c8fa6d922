// How paths are written and compared. Two styles: Windows (drive letters and
// shares, "\" as separator, case-insensitive) and POSIX (the native one here).
// Every rule about the shape of a path lives here, written once.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varnoket {

// The ending of every stored copy's name.
inline constexpr std::string_view kStoredSuffix = ".ZZ";

enum class PathStyle { kWindows, kPosix };

// The longest path and the longest single name this system accepts.
constexpr size_t kMaxPathLength = 4095;
constexpr size_t kMaxNameLength = 255;

// True when `text` holds a byte below 0x20 or DEL (0x7f).
bool HasControlByte(std::string_view text);

class PathRules {
 public:
  explicit PathRules(PathStyle style = PathStyle::kPosix) : style_(style) {}

  PathStyle style() const { return style_; }
  char Separator() const { return style_ == PathStyle::kWindows ? '\\' : '/'; }

  // a + separator + b, without doubling a separator that a already ends with.
  std::string Join(std::string_view a, std::string_view b) const;
  std::string EnsureTrailingSeparator(std::string_view path) const;
  // Removes one trailing separator (but never reduces "/" or "C:\" to nothing
  // useful: "/" stays "/" in POSIX style).
  std::string RemoveTrailingSeparator(std::string_view path) const;

  // The name a file's compressed copy takes inside a day folder.
  // Windows: "C:\Data\a.txt" -> "C_\Data\a.txt.ZZ", "\\srv\s\a" -> "__srv\s\a.ZZ".
  // POSIX: "/home/a.txt" -> "_/home/a.txt.ZZ".
  std::string StoredName(std::string_view fullPath) const;
  // The path whose own stored name this is, or "" when no path gives it.
  std::string PathOfStoredName(std::string_view storedName) const;

  // A stored name that stays inside the day folder: not empty, not absolute,
  // no "." or ".." component, no empty component.
  bool IsSafeStoredName(std::string_view storedName) const;

  // True for a path the file list may record as a parent directory: Windows
  // style, second character ":" or "\"; POSIX style, starting with "/".
  bool IsRecordablePath(std::string_view path) const;
  bool IsAbsolute(std::string_view path) const;
  // An absolute path that names something below the root in one way only:
  // no empty, "." or ".." name, no separator at its end, and no control
  // byte (NUL, CR, LF, tab and the others below 0x20, DEL). What a list
  // read from the store must hold before anything is written at that path.
  bool IsCleanAbsolutePath(std::string_view path) const;

  // Paths compared as the style compares them (Windows without regard to
  // case for ASCII letters, POSIX exactly).
  bool Equal(std::string_view a, std::string_view b) const;
  // True when `prefix` is the first characters of `path` (case per style).
  bool StartsWith(std::string_view path, std::string_view prefix) const;

  // The folder part including its last separator (Windows: or ":");
  // empty when there is none.
  std::string ParentWithSeparator(std::string_view path) const;
  // The part after the last separator (Windows: or ":").
  std::string FileName(std::string_view path) const;
  // A POSIX path without "." names, ".." names that follow a name, and
  // doubled separators, by its text alone ("/a//b/./c/.." gives "/a/b/");
  // a Windows path as it stands.
  std::string LexicallyNormal(std::string_view path) const;

  // The limit a path exceeds (kMaxPathLength for the whole, kMaxNameLength
  // for one of its names), or 0 when the system can hold it.
  size_t ExceededLengthLimit(std::string_view path) const;

  // True when `path` equals `ancestor` or lies below it (component-wise).
  bool IsSameOrBelow(std::string_view path, std::string_view ancestor) const;

 private:
  // Whether `path` from `start` on is names joined by separators: none
  // empty, "." or "..".
  bool OnlyNamesFrom(std::string_view path, size_t start) const;

  PathStyle style_;
};

// `a` and `b` joined as this system writes paths.
inline std::string JoinPath(std::string_view a, std::string_view b) {
  return PathRules().Join(a, b);
}

}  // namespace varnoket
