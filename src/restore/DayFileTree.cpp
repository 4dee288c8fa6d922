#include "restore/DayFileTree.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "engine/FileRecord.h"
#include "platform/MessageText.h"
#include "restore/TextSearch.h"

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

// A decimal integer that fits 32 bits, with an optional sign; anything else
// raises the conversion error with the offending text.
int32_t ToInt32(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  const bool signTwice = digits.size() != text.size() && !digits.empty() && digits.front() == '-';
  int32_t value = 0;
  const char* end = digits.data() + digits.size();
  const auto [ptr, ec] = std::from_chars(digits.data(), end, value);
  if (digits.empty() || signTwice || ec != std::errc() || ptr != end) {
    // The message is read as a C string (what()): a NUL byte of the record
    // would cut off its end, so the quoted text stops there.
    throw std::runtime_error(FillText(kNotAnIntegerText, {text.substr(0, text.find('\0'))}));
  }
  return value;
}

unsigned char AsciiUpper(unsigned char c) {
  return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - ('a' - 'A')) : c;
}

// The order of the day's lines: letters a to z without regard to case,
// every other byte (accented letters included) by its value.
bool LessIgnoringAsciiCase(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = AsciiUpper(static_cast<unsigned char>(a[i]));
    const unsigned char y = AsciiUpper(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

// One line of the list once rewritten, with the content its record gave.
struct ListLine {
  std::string text;
  std::optional<RecordedContent> content;
};

// A record's fields in the order the restore reads them: FullPath,
// StoredName, Attributes, FileDate and the seventh field; the size and
// checksum go beside the text. Short lines and lines with fewer than seven
// fields stay as they are, with no content.
void RewriteLine(ListLine& listLine, std::vector<std::string>& fields) {
  std::string& line = listLine.text;
  if (line.size() <= 14) return;
  fields.clear();
  SplitFields(line, kFieldSeparator, fields);
  if (fields.size() < 7) return;
  listLine.content = ParseRecordedContent(fields[0], fields[1]);
  std::string rewritten;
  rewritten.reserve(line.size());
  rewritten += fields[3];
  for (const size_t i : {2, 4, 5, 6}) {
    rewritten += kFieldSeparator;
    rewritten += fields[i];
  }
  line = std::move(rewritten);
}

}  // namespace

bool LoadDayFileList(FileSystem& fs, const std::string& path, StateTree& tree,
                     const PathRules& rules, const std::function<void()>& pump) {
  std::vector<ListLine> lines;
  {
    // Read in one piece, through the file system's whole-file read so that
    // its faults reach the load too; the text goes once it is cut.
    const std::optional<std::string> text = fs.ReadFile(path);
    if (!text) return false;
    std::vector<std::string> cut = SplitLines(*text);
    lines.reserve(cut.size());
    for (std::string& line : cut) lines.push_back(ListLine{std::move(line), std::nullopt});
  }

  std::vector<std::string> fields;
  for (ListLine& line : lines) RewriteLine(line, fields);
  std::stable_sort(lines.begin(), lines.end(), [](const ListLine& a, const ListLine& b) {
    return LessIgnoringAsciiCase(a.text, b.text);
  });

  const TextSearch& sm = TextSearcher();
  for (ListLine& listLine : lines) {
    std::string& line = listLine.text;
    if (line.size() > 7) {
      int bars[4] = {};
      int from = 1;
      bool complete = true;
      for (int& bar : bars) {
        bar = sm.PosChar(kFieldSeparator, line, from);
        if (bar == 0) {
          complete = false;
          break;
        }
        from = bar + 1;
      }
      if (complete) {
        const std::string_view text(line);
        auto between = [&text](int left, int right) {
          return text.substr(static_cast<size_t>(left), static_cast<size_t>(right - left - 1));
        };
        const std::string_view last = text.substr(static_cast<size_t>(bars[3]), 2);
        if (last != "1") {
          FileNode entry;
          entry.FullPath = std::string(text.substr(0, static_cast<size_t>(bars[0] - 1)));
          entry.StoredName = std::string(between(bars[0], bars[1]));
          entry.Attributes = ToInt32(between(bars[1], bars[2]));
          entry.FileDate = ToInt32(between(bars[2], bars[3]));
          entry.State = 0;
          entry.Content = listLine.content;
          AddFileNode(tree, std::move(entry), std::string(), StateTree::kNoNode, rules, pump);
        }
      }
    }
    // The line is no longer needed; giving its memory back keeps the peak
    // of a large day near the size of the tree alone.
    std::string().swap(line);
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
      if (!inner) return;  // a directory record only makes its nodes
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
