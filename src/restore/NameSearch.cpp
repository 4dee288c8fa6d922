#include "restore/NameSearch.h"

#include <algorithm>
#include <map>

#include "engine/FileRecord.h"
#include "engine/Wildcard.h"
#include "platform/AsciiText.h"
#include "restore/ListScan.h"

namespace varnoket {

namespace {

// Matches the names of a day's file records against one pattern, reusing
// its buffer from line to line.
class NameMatcher {
 public:
  NameMatcher(const PathRules& rules, const std::string& pattern)
      : separators_(rules.style() == PathStyle::kWindows ? "\\:" : "/") {
    pattern_ = UpperAscii(pattern);
  }

  // The record of `line` when it is a file offered for restore whose name
  // matches.
  std::optional<FileRecord> Match(std::string_view line) {
    // The name first, on the line itself: most lines do not match.
    const auto view = ViewFileRecord(line);
    if (!view || view->IsDirectory()) return std::nullopt;
    const size_t cut = view->fullPath.find_last_of(separators_);
    const std::string_view name =
        cut == std::string_view::npos ? view->fullPath : view->fullPath.substr(cut + 1);
    name_.assign(name);
    UpperAsciiInPlace(name_);
    if (!MatchWildcard(name_, pattern_)) return std::nullopt;
    auto rec = ParseFileRecord(line);
    if (!rec || !rec->offered) return std::nullopt;
    return rec;
  }

 private:
  const char* separators_;
  std::string pattern_;
  std::string name_;
};

FoundFile Found(FileRecord&& rec, const std::string& dayFolder) {
  FoundFile f;
  f.fullPath = std::move(rec.fullPath);
  f.dayFolder = dayFolder;
  f.size = rec.size;
  f.fileDate = rec.fileDate;
  return f;
}

bool OrdinalLess(const FoundFile& a, const FoundFile& b) {
  return CompareOrdinal(a.fullPath, b.fullPath) < 0;
}

}  // namespace

std::optional<std::vector<FoundFile>> FindFilesInDay(FileSystem& fs, const StoreLayout& layout,
                                                     const std::string& dayFolder,
                                                     const std::string& pattern) {
  NameMatcher matcher(layout.rules(), pattern);
  std::vector<FoundFile> files;
  const bool read = ForEachListLine(fs, layout.FileListPath(layout.DayFolder(dayFolder)),
                                    [&](std::string_view line) {
                                      if (auto rec = matcher.Match(line)) {
                                        files.push_back(Found(std::move(*rec), dayFolder));
                                      }
                                    });
  if (!read) return std::nullopt;
  std::sort(files.begin(), files.end(), OrdinalLess);
  return files;
}

NameSearchResult FindFilesInAllDays(FileSystem& fs, const StoreLayout& layout,
                                    const std::vector<std::string>& dayFolders,
                                    const std::string& pattern) {
  NameSearchResult result;
  std::map<std::string, FoundFile> latest;
  // Oldest first, so that each later day's record takes the place of the
  // one before.
  for (const std::string& folder : dayFolders) {
    const auto files = FindFilesInDay(fs, layout, folder, pattern);
    if (!files) {
      result.unreadableDays.push_back(folder);
      continue;
    }
    for (const FoundFile& f : *files) latest[f.fullPath] = f;
  }
  for (auto& [path, file] : latest) result.files.push_back(std::move(file));
  std::sort(result.files.begin(), result.files.end(), OrdinalLess);
  return result;
}

}  // namespace varnoket
