#include "engine/StationCleanup.h"

#include <algorithm>

#include "engine/DayFolders.h"
#include "platform/MachineIdentity.h"

namespace varnoket {

namespace {

constexpr const char* kPartialPrefix = ".vk-part-";
constexpr const char* kReplacingMarker = ".tmp-";

bool AllDigits(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

long NumberOr0(const std::string& digits) {
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
    } else if (IsTemporaryName(e.name) && fs.DeleteFile(path)) {
      ++counts.temporaries;
    }
  }
}

}  // namespace

std::string PartialCopyName(long pid, size_t index) {
  return kPartialPrefix + std::to_string(pid) + "-" + std::to_string(index);
}

bool IsTemporaryName(const std::string& name, long* pid) {
  if (name.rfind(kPartialPrefix, 0) == 0) {
    const std::string rest = name.substr(std::char_traits<char>::length(kPartialPrefix));
    if (pid != nullptr) *pid = NumberOr0(rest.substr(0, rest.find('-')));
    return true;
  }
  const size_t at = name.rfind(kReplacingMarker);
  if (at == std::string::npos || at == 0) return false;
  const std::string digits = name.substr(at + std::char_traits<char>::length(kReplacingMarker));
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
