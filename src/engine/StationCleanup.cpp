#include "engine/StationCleanup.h"

#include <algorithm>
#include <string_view>

#include "engine/DayFolders.h"
#include "engine/FileRecord.h"
#include "platform/MachineIdentity.h"
#include "platform/PathRules.h"

namespace varnoket {

namespace {

// The partial copies of older versions: ".vk-part-<pid>-<n>".
constexpr std::string_view kPartialPrefix = ".vk-part-";
constexpr std::string_view kReplacingMarker = ".tmp-";

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

long NumberOr0(std::string_view digits) {
  // At most 18 digits fit a long: longer is no process number.
  if (digits.size() > 18) return 0;
  long n = 0;
  for (char c : digits) n = n * 10 + (c - '0');
  return n;
}

// Removes the temporaries of a tree (a day folder); links are not followed.
void RemoveTemporaries(FileSystem& fs, const PathRules& rules, const std::string& folder,
                       CleanupCounts& counts) {
  const auto entries = fs.ListDirectory(folder);
  if (!entries) return;
  for (const DirEntry& e : *entries) {
    const std::string path = rules.Join(folder, e.name);
    if (e.isDirectory && !e.isSymlink) {
      RemoveTemporaries(fs, rules, path, counts);
    } else if (e.isRegularFile && !e.isSymlink && IsTemporaryName(e.name) && fs.DeleteFile(path)) {
      ++counts.temporaries;
    }
  }
}

}  // namespace

bool IsTemporaryName(const std::string& name, long* pid) {
  const std::string_view n(name);
  if (n == kDirectoryStoredName || n.ends_with(kStoredSuffix)) return false;
  if (n.starts_with(kPartialPrefix)) {
    const std::string_view rest = n.substr(kPartialPrefix.size());
    const size_t dash = rest.find('-');
    if (dash != std::string_view::npos && AllDigits(rest.substr(0, dash)) &&
        AllDigits(rest.substr(dash + 1))) {
      if (pid != nullptr) *pid = NumberOr0(rest.substr(0, dash));
      return true;
    }
  }
  const size_t at = n.rfind(kReplacingMarker);
  if (at == std::string_view::npos || at == 0) return false;
  const std::string_view digits = n.substr(at + kReplacingMarker.size());
  if (!AllDigits(digits)) return false;
  if (pid != nullptr) *pid = NumberOr0(digits);
  return true;
}

CleanupCounts RemoveLeftovers(FileSystem& fs, const StoreLayout& layout,
                              const std::string& keepDay) {
  CleanupCounts counts;
  const PathRules& rules = layout.rules();
  const std::string station = layout.StationFolder();
  const auto entries = fs.ListDirectory(station);
  if (!entries) return counts;
  for (const DirEntry& e : *entries) {
    const std::string path = rules.Join(station, e.name);
    if (e.isDirectory && !e.isSymlink) {
      if (DayKey(e.name).empty()) continue;  // not ours to judge
      if (e.name != keepDay && !fs.Exists(layout.FileListPath(path))) {
        if (RemoveTree(fs, rules, path)) ++counts.folders;
        continue;
      }
      RemoveTemporaries(fs, rules, path, counts);
      continue;
    }
    long pid = 0;
    if (IsTemporaryName(e.name, &pid) && !ProcessAlive(pid) && fs.DeleteFile(path)) {
      ++counts.temporaries;
    }
  }
  return counts;
}

}  // namespace varnoket
