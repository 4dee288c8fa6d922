#include "restore/DayFileTree.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "engine/FileRecord.h"
#include "platform/AsciiText.h"

namespace varnoket {

namespace {

// A failed internal check, in the form every check of the program takes:
// the text followed by " (unit, ligne n)".
[[noreturn]] void FailCheck(const char* text, int line) {
  const char* file = __FILE__;
  const char* slash = std::strrchr(file, '/');
  char suffix[256];
  std::snprintf(suffix, sizeof suffix, " (%s, ligne %d)", slash ? slash + 1 : file, line);
  throw std::runtime_error(std::string(text) + suffix);
}

// The order of the day's lines as the tree lists them: by the text
// "FullPath|StoredName|Attributes|FileDate|Last", compared without regard to
// the case of a to z. Built field by field, without the text.
bool EntryBefore(const ListEntry& a, const ListEntry& b) {
  const std::string_view pa = a.fullPath;
  const std::string_view pb = b.fullPath;
  const size_t n = std::min(pa.size(), pb.size());
  // Letters a to z without regard to case, every other byte (accented
  // letters included) by its value.
  if (const int c = CompareIgnoreCase(pa.substr(0, n), pb.substr(0, n)); c != 0) {
    return c < 0;
  }
  if (pa.size() != pb.size()) {
    // One path goes on where the other's separator "|" stands.
    const auto next = static_cast<unsigned char>(ToUpperAscii(pa.size() > n ? pa[n] : pb[n]));
    return pa.size() > n ? next < '|' : '|' < next;
  }
  auto tail = [](const ListEntry& e) {
    return e.storedName + "|" + std::to_string(e.attributes) + "|" + std::to_string(e.fileDate) +
           "|" + (e.offered ? "0" : "1");
  };
  return CompareIgnoreCase(tail(a), tail(b)) < 0;
}

}  // namespace

bool LoadDayFileList(FileSystem& fs, const std::string& path, StateTree& tree,
                     const PathRules& rules, const std::function<void()>& pump, const DaySet& set,
                     std::vector<UnreadableLine>* unreadable) {
  std::optional<CheckedList> list = ReadCheckedList(fs, path, rules, set);
  if (!list) return false;
  if (unreadable != nullptr) {
    for (UnreadableLine& line : list->unreadable) unreadable->push_back(std::move(line));
  }
  std::vector<ListEntry>& entries = list->entries;
  std::stable_sort(entries.begin(), entries.end(), EntryBefore);
  for (ListEntry& e : entries) {
    if (e.offered) {
      FileNode entry;
      entry.FullPath = std::move(e.fullPath);
      entry.StoredName = std::move(e.storedName);
      entry.Attributes = e.attributes;
      entry.FileDate = e.fileDate;
      entry.State = 0;
      entry.Content = e.Content();
      AddFileNode(tree, std::move(entry), std::string(), StateTree::kNoNode, rules, pump);
    }
    // The record is no longer needed; giving its memory back keeps the peak
    // of a large day near the size of the tree alone.
    std::string().swap(e.fullPath);
    std::string().swap(e.storedName);
  }
  return true;
}

void AddFileNode(StateTree& tree, FileNode entry, const std::string& prefix,
                 StateTree::NodeId parent, const PathRules& rules,
                 const std::function<void()>& pump) {
  const bool posix = rules.style() == PathStyle::kPosix;
  const char separator = rules.Separator();
  // Windows names ignore the case of a to z; POSIX names are exact, so two
  // folders that differ only in case stay two nodes.
  const bool ignoreCase = !posix;
  // The shortest path that names something below a root: "C:\x" style paths
  // need more than a drive ("C:"); a POSIX path more than "/".
  const size_t shortest = posix ? 2 : 3;

  size_t placed = prefix.size();
  StateTree::NodeId at = parent;
  // One turn per path level, as deep as the path goes, without recursion.
  for (;;) {
    const std::string& path = entry.FullPath;
    if (path.size() < shortest) FailCheck(kBadFileNameText, __LINE__);
    if (pump) pump();
    if (placed > path.size()) return;  // a prefix that is not this path's: no place for it

    std::string_view component;
    size_t next = 0;
    bool inner = false;
    if (posix && placed == 0) {
      // The single top-level node of POSIX paths; a relative path has no place.
      if (path.front() != '/') return;
      component = std::string_view(path).substr(0, 1);
      next = 1;
      inner = true;
    } else {
      const size_t from = posix ? placed : std::max<size_t>(3, placed + 1) - 1;
      const size_t found = path.find(separator, from);
      inner = found != std::string::npos;
      const size_t end = inner ? found : path.size();
      component = std::string_view(path).substr(placed, end - placed);
      next = found + 1;
    }

    StateTree::NodeId match = tree.FindChild(at, component, ignoreCase);
    if (inner || entry.StoredName == kDirectoryStoredName) {
      if (match == StateTree::kNoNode) {
        match = tree.AddChild(at, std::string(component), kStateUnticked);
      }
      if (!inner) {
        // A directory record only makes its nodes, and keeps its date and
        // mode for the folder's restore.
        tree.SetFolderRecord(match, RecordedFolder{entry.Attributes, entry.FileDate});
        return;
      }
      placed = next;
      at = match;
      continue;
    }
    // The last component of a file: listed in its directory unless a
    // directory node of that name stands there. A file with no directory
    // level above it (no separator after a drive) has no list to go in.
    if (match == StateTree::kNoNode && at != StateTree::kNoNode) {
      tree.EnsureFiles(at).push_back(std::move(entry));
    }
    return;
  }
}

}  // namespace varnoket
